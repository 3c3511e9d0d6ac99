// Filling the property panel from the model (DAT), the edit modes and the
// field rules that do not write the model.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "editor/editor.h"
#include "editor/media_names.h"
#include "editor/narrow.h"
#include "platform/codepage.h"
#include "platform/folders.h"
#include "project/project_file.h"

namespace editor {

using project::TEditMode;
using project::TFrameRec;
using project::TShapeRec;

namespace {

// Sets a flag for the life of a scope, even when the scope ends in an error.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

// Texts, pictures and buttons take their size from what they show; the
// build writes it into the model.
bool HasDerivedSize(const TShapeRec& r) {
  return r.Object == project::skText || r.Object == project::skPicture ||
         r.Object == project::skButton;
}

// The list position of a fill kind ("No Fill" first).
int FillPosition(uint8_t fill) {
  return (fill + 1) % 5;
}

// An 8-bit list value as a list position; values the list does not hold
// select nothing.
int ListPosition(uint8_t value, size_t count) {
  return value < count ? int(value) : -1;
}

constexpr TCtl kLegendBlue[] = {
    SE11,       SE12,       SE13,     SE14, SE19, SE7,   SE16, RzShapeCL,
    RzShapeBCL, RzGr1Col,   RzGr2Col, SE17, SE18, SE15,  SE9,  RzFrameBkgrColor,
    SE20,       RzBorderCL, RzH,      RzS,  SE21, RZGR1, RZGR2};
constexpr TCtl kLegendOther[] = {CDelay,
                                 EURL,
                                 EPL3,
                                 CBox8,
                                 EPL2,
                                 EPL1,
                                 CBox4,
                                 CBox5,
                                 ChBox3,
                                 ChBox1,
                                 RZB1,
                                 btnClearShapeLayer,
                                 btnReplacePicture,
                                 btnClearPicture};

}  // namespace

char TEditor::CheckEditKey(char key) {
  return NumberFieldKey(key);
}

void TEditor::DAT(bool keepList) {
  TFlagScope guard(updating_);
  doc_.CurrentFrame = std::clamp(doc_.CurrentFrame, 1, doc_.FrameCount);
  UpdateCaption();
  FillMoviePage();
  FillFramePage();
  FillObjectList(keepList);
  MeasureFrameTexts(doc_.CurrentFrame);
  FillObjectPage();
}

// A name field: the stored name, a note when the file lives inside the
// project file (no folder in the name), or the empty text, also when the
// file is gone.
std::string TEditor::MediaName(const std::string& stored, const char* embedded,
                               const char* none) const {
  if (stored.empty() || project::ResolveMediaPath(stored, doc_.TempDir, doc_.ProgramDir).empty())
    return none;
  return HasFolder(stored) ? platform::Cp1252ToUtf8(stored) : embedded;
}

void TEditor::FillMoviePage() {
  const project::TMovieSettings& m = doc_.Settings;
  panel_.SiteColor = m.MSiteColor;
  panel_[RzPanelWebsite].Color = m.MSiteColor;
  panel_[RZPaneBkgrColor].Color = m.MBkgrColor;
  panel_[CWidth].Text = std::to_string(m.MWidth);
  panel_[CHeight].Text = std::to_string(m.MHeight);
  panel_[CFrames].Text = std::to_string(doc_.FrameCount);
  panel_[ChLoop].Checked = m.MLoop == 1;
  panel_[MainURL].Text = platform::Cp1252ToUtf8(m.MainURL);
  bool sound = !m.MBkgrSound.empty() && m.MBkgrSound != "0";
  panel_[EPL4].Text =
      MediaName(sound ? m.MBkgrSound : "", "=WAV file has been selected=", "=No sound selected=");
  panel_[btnReplaceBkgrSound].Hint = sound ? "Replace Sound..." : "Load Sound...";
}

void TEditor::FillFramePage() {
  const TFrameRec& f = Current();
  panel_[CDelay].Text = std::to_string(f.Delay);
  panel_[RzFrameBkgrColor].Color = f.BkgrColor;
  bool grad = f.AddGrad == 1;
  panel_[ChBox1].Checked = grad;
  panel_.Enable(CBox1, grad);
  panel_.ShowColor(RZGR1, grad, f.GradCol1);
  panel_.ShowColor(RZGR2, grad, f.GradCol2);
  panel_[CBox1].ItemIndex = ListPosition(f.GradStyle, panel_[CBox1].Items.size());
  bool border = f.AddBorder == 1;
  panel_[ChBox3].Checked = border;
  panel_.ShowColor(RzBorderCL, border, f.BorderCol);
  panel_.ShowColor(RzH, border, f.BorderHighLightCol);
  panel_.ShowColor(RzS, border, f.BorderShadowCol);
  for (TCtl c : {CBox4, CBox5, SE20, SE21}) panel_.Enable(c, border);
  panel_[CBox4].ItemIndex = ListPosition(f.BorderInnerStyle, 3);
  panel_[CBox5].ItemIndex = ListPosition(f.BorderOuterStyle, 3);
  // The limits follow the stored widths, and the fields show what the frame
  // stores even where an older file or the spreading put a width beyond them.
  SetBorderLimits(f.BevelW, f.BorderW);
  for (auto [c, width] : {std::pair{SE20, f.BevelW}, std::pair{SE21, f.BorderW}})
    panel_.SetSpin(c, std::min(panel_[c].Min, width), std::max(panel_[c].Max, width), width);
}

void TEditor::FillObjectList(bool keepList) {
  TControlState& box = panel_[CBox7];
  int position = box.ItemIndex;
  if (!keepList) {
    box.Items.clear();
    const project::TSlotArray& slots = Current().Slots;
    int last = slots.LastUsed();
    int preferred = -1;
    for (int n = 1; n <= last; ++n) {
      uint8_t kind = slots[n].Object;
      if (kind == project::skNone) continue;
      if (n == preferredSlot_) preferred = int(box.Items.size());
      box.Items.push_back("Object " + std::to_string(n) + std::string(project::KindSuffix(kind)));
    }
    if (position == -1 && !box.Items.empty()) position = 0;
    if (preferred >= 0) position = preferred;
    preferredSlot_ = 0;
  }
  if (box.Items.empty()) {
    position = -1;
  } else if (position < 0 || size_t(position) >= box.Items.size()) {
    position = 0;
  }
  box.ItemIndex = position;
  panel_.Enable(btnClearShapeLayer, position >= 0);
  panel_.Menu(miCopyObject).Enabled = position >= 0;
  panel_.Menu(miDeleteObject).Enabled = position >= 0;
}

void TEditor::MeasureFrameTexts(int32_t frame) {
  const project::TSlotArray& slots = doc_.Frames[size_t(frame)].Slots;
  int last = slots.LastUsed();
  for (int n = 1; n <= last; ++n)
    if (slots[n].Object == project::skText) MeasureTextObject(frame, n);
}

// W and H of a text object as the screen shows it: the text's extent plus
// its letter spacing (0.76 of a pixel per character and point of spacing)
// and a margin of 10 pixels. A pasted or loaded spacing may be any number, so
// the width stops at the 32-bit limits.
void TEditor::MeasureTextObject(int32_t frame, int slot) {
  const TShapeRec& r = Slot(frame, slot);
  TTextSize size;
  try {
    size = ports_.Measurer.MeasureText(r.Font, r.FontSize, doc_.ScreenPixelsPerInch, r.Text);
  } catch (const std::exception&) {
    return;  // no font to measure with: the extent stays as it was
  }
  long double spacing = (long double)r.Text.size() * ((long double)r.Spacing * 0.76L);
  long double width = (long double)size.Width + std::nearbyintl(spacing) + 10;
  int32_t w = int32_t(std::clamp<long double>(width, INT32_MIN, INT32_MAX));
  if (r.W == w && r.H == size.Height) return;
  TShapeRec& e = EditSlot(frame, slot);
  e.W = w;
  e.H = size.Height;
}

void TEditor::FillNoObject() {
  panel_[GrpFill].Visible = true;
  panel_[GrpText].Visible = false;
  panel_[GrpPicture].Visible = false;
  panel_[CBox8].ItemIndex = 0;
  panel_.Enable(CBox8, false);
  for (TCtl c : {SE11, SE12, SE13, SE14, SE15, SE16, SE19}) {
    panel_.Enable(c, false);
    panel_[c].Text.assign(1, '0');
  }
  panel_[SE7].LabelEnabled = false;
  panel_.Enable(SE17, false);
  panel_.Enable(SE18, false);
  for (TCtl c : {RzShapeCL, RzShapeBCL, RzGr1Col, RzGr2Col}) panel_.ShowColor(c, false, 0);
  panel_[SE19].Label = "Radius:";
  for (TCtl c : {EPL2, btnFillBitmap, btnClearFillBitmap}) panel_.Enable(c, false);
  panel_[EPL2].Text.clear();
}

void TEditor::FillObjectPage() {
  int s = CurrentObject();
  const TShapeRec* r = s > 0 ? &Slot(doc_.CurrentFrame, s) : nullptr;
  if (!r || r->Object < project::skRectangle || r->Object > project::skButton) {
    FillNoObject();
    return;
  }
  bool roundRect = r->Object == project::skRoundRect;
  bool circle = r->Object == project::skCircle;
  bool star = r->Object == project::skStar;
  int32_t canvasW = ports_.Window.CanvasWidth(), canvasH = ports_.Window.CanvasHeight();
  int32_t paletteW = ports_.Window.PaletteWidth();
  int32_t radiusMin = circle ? 1 : roundRect ? 2 : star ? 3 : 0;
  int32_t radiusMax = star ? 120 : roundRect ? std::min(r->W, r->H) / 2 : canvasH;
  int64_t borderMax = circle ? 2 * int64_t(r->Radius)
                      : star ? std::max(r->W, r->H)
                             : std::min(r->W, r->H);
  panel_.SetSpin(SE11, paletteW - canvasW, canvasW - paletteW, r->X);
  panel_.SetSpin(SE12, -canvasH, canvasH, r->Y);
  FillObjectSize(*r);
  panel_.SetSpin(SE19, radiusMin, radiusMax, r->Radius);
  panel_.SetSpin(SE15, 0, Narrow<int32_t>(borderMax), r->Border);
  for (TCtl c : {CBox8, SE11, SE12, SE15}) panel_.Enable(c, true);
  panel_.ShowColor(RzShapeCL, true, r->Color);
  panel_.ShowColor(RzShapeBCL, true, r->BorderColor);
  panel_.SetSpinValue(SE16, r->Alpha);
  panel_.SetSpinValue(SE17, r->GrX);
  panel_.SetSpinValue(SE18, r->GrY);
  FillKind(*r);
  if (r->Object <= project::skStar) FillFill(*r);
}

void TEditor::FillObjectSize(const TShapeRec& r) {
  const bool derived = HasDerivedSize(r);
  const int32_t min = r.Object == project::skRoundRect ? 2 : 0;
  int32_t maxW = ports_.Window.CanvasWidth() - ports_.Window.PaletteWidth();
  int32_t maxH = ports_.Window.CanvasHeight();
  if (derived) {
    maxW = std::max(maxW, r.W);
    maxH = std::max(maxH, r.H);
  }
  panel_.SetSpin(SE13, min, maxW, r.W);
  panel_.SetSpin(SE14, min, maxH, r.H);
}

void TEditor::ShowDerivedSize() {
  const int s = CurrentObject();
  if (s <= 0) return;
  const TShapeRec& r = Slot(doc_.CurrentFrame, s);
  if (HasDerivedSize(r)) FillObjectSize(r);
}

// The kind decides the group, the captions of the geometry fields and which
// of them can be edited.
void TEditor::FillKind(const TShapeRec& r) {
  using namespace project;
  bool centred = r.Object == skCircle || r.Object == skStar;
  bool image = r.Object == skPicture || r.Object == skButton;
  panel_[GrpFill].Visible = r.Object <= skStar;
  panel_[GrpText].Visible = r.Object == skText;
  panel_[GrpPicture].Visible = image;
  panel_[SE11].Label = centred ? "Xc:" : "X:";
  panel_[SE12].Label = centred ? "Yc:" : "Y:";
  panel_[SE11].Hint = centred ? "Center of circle on X axis" : "Horizontal coordinate";
  panel_[SE12].Hint = centred ? "Center of circle on Y axis" : "Vertical coordinate";
  bool star = r.Object == skStar;
  panel_[SE13].Label = star ? "R1:" : "W:";
  panel_[SE14].Label = star ? "R2:" : "H:";
  panel_[SE13].Hint = star ? "First radius (in pixels)" : "Object width (in pixels)";
  panel_[SE14].Hint = star ? "Second radius (in pixels)" : "Object height (in pixels)";
  panel_[SE19].Label = star ? "Points:" : "Radius:";
  bool sizeEditable = r.Object != skCircle && r.Object != skText && !image;
  for (TCtl c : {SE13, SE14}) {
    panel_.Enable(c, sizeEditable);
    if (image) panel_[c].LabelEnabled = true;
  }
  if (r.Object == skCircle) {
    panel_[SE13].Text.assign(1, '0');
    panel_[SE14].Text.assign(1, '0');
  }
  bool radius = r.Object == skRoundRect || r.Object == skCircle || star;
  panel_.Enable(SE19, radius);
  if (!radius) panel_[SE19].Text.assign(1, '0');
  bool angle = r.Object != skCircle;
  panel_.Enable(SE7, angle);
  if (angle)
    panel_.SetSpinValue(SE7, r.Angle);
  else
    panel_[SE7].Text.assign(1, '0');
  if (r.Object == skText) {
    panel_.Enable(SE16, true);
    panel_[EText].Text = platform::Cp1252ToUtf8(r.Text);
    panel_.ShowColor(RzFont, true, r.FontColor);
    panel_.SetSpinValue(SE8, r.FontSize);
    panel_.SetSpinValue(SE9, r.Spacing);
  }
  if (image) FillPicture(r);
}

void TEditor::FillPicture(const TShapeRec& r) {
  bool button = r.Object == project::skButton;
  panel_[GrpPicture].Label = button ? " Button " : " Picture ";
  panel_[EPL1].Label = button ? "Glyph:" : "Picture:";
  for (TCtl c : {EURL, EPL3, btnReplaceSoundEv, btnClearSoundEv}) panel_[c].Visible = button;
  panel_[btnClearPicture].Hint = button ? "Clear Glyph" : "Clear Picture";
  panel_[EPL1].Text = MediaName(r.Text, "=Image file has been selected=",
                                button ? "=No glyph selected=" : "=No picture selected=");
  const char* noun = button ? "Glyph..." : "Picture...";
  panel_[btnReplacePicture].Hint = std::string(r.Text.empty() ? "Load " : "Replace ") + noun;
  if (button) {
    panel_[EURL].Text = platform::Cp1252ToUtf8(r.URL);
    bool sound = !r.SoundEv.empty() && r.SoundEv != "0";
    panel_[EPL3].Text =
        MediaName(sound ? r.SoundEv : "", "=WAV file has been selected=", "=No sound selected=");
    panel_[btnReplaceSoundEv].Hint = sound ? "Replace Sound..." : "Load Sound...";
  }
  panel_.Enable(SE16, LowerExtension(r.Text) != ".bmp");
}

// The fill decides which colours, the gradient centre and the bitmap
// controls of a shape can be edited.
void TEditor::FillFill(const TShapeRec& r) {
  int position = FillPosition(r.Fill);
  panel_[CBox8].ItemIndex = position;
  bool solid = position == 1, gradient = position == 2 || position == 3;
  bool radial = position == 3, bitmap = position == 4;
  panel_.ShowColor(RzShapeCL, solid, r.Color);
  panel_.ShowColor(RzGr1Col, gradient, r.GrColor1);
  panel_.ShowColor(RzGr2Col, gradient, r.GrColor2);
  panel_.Enable(SE17, radial);
  panel_.Enable(SE18, radial);
  for (TCtl c : {EPL2, btnFillBitmap, btnClearFillBitmap}) panel_.Enable(c, bitmap);
  if (bitmap) {
    panel_[EPL2].Text = MediaName(r.Text, "=Image file has been selected=", "=No bitmap selected=");
    panel_[btnFillBitmap].Hint = r.Text.empty() ? "Load Bitmap..." : "Replace Bitmap...";
  } else {
    panel_[EPL2].Text.clear();
  }
  panel_.Enable(SE16, !(bitmap && LowerExtension(r.Text) == ".bmp"));
}

// ---- Edit modes ------------------------------------------------------------

void TEditor::RzLockClick() {
  history_.EndRun();  // an edit in the new mode stands alone
  switch (mode_) {
    case TEditMode::emAnimation:
      mode_ = TEditMode::emLocked;
      break;
    case TEditMode::emLocked:
      mode_ = TEditMode::emAllFrames;
      break;
    case TEditMode::emAllFrames:
      mode_ = TEditMode::emAnimation;
      break;
  }
  ApplyModeLook();
}

void TEditor::ChooseEditMode(TEditMode mode) {
  // Three steps make the round, so at most two reach any mode.
  for (int step = 0; step < 2 && mode_ != mode; ++step) RzLockClick();
}

void TEditor::ApplyModeLook() {
  struct TLook {
    const char* Pane;
    project::TColor PaneColor;
    const char* Hint;
    bool Ticked;
    project::TColor Blue, Other;
  };
  static const TLook kAnimation{"ANIMATION MODE", clBlue, "", true, clBlue, clWindowText};
  static const TLook kLocked{"LOCKED MODE", clRed,        "Only the current frame can be edited",
                             true,          clWindowText, clWindowText};
  static const TLook kAll{"ALL FRAMES EDITING",
                          clGreen,
                          "Sets the edited object's propery for all frames",
                          false,
                          clGreen,
                          clGreen};
  const TLook& look = mode_ == TEditMode::emAnimation ? kAnimation
                      : mode_ == TEditMode::emLocked  ? kLocked
                                                      : kAll;
  panel_.StatusPanes[2] = look.Pane;
  panel_.ModePaneColor = look.PaneColor;
  panel_.Menu(miLockFrames).Checked = look.Ticked;
  modeHint_ = look.Hint;
  panel_.StatusPanes[3] = modeHint_;
  for (TCtl c : kLegendBlue) panel_[c].LabelColor = look.Blue;
  for (TCtl c : kLegendOther) panel_[c].LabelColor = look.Other;
}

// ---- Leaving a field -------------------------------------------------------

void TEditor::SECheckExit(TCtl field) {
  TControlState& f = panel_[field];
  std::string text = f.Text;
  if (IsSpinField(field)) {
    std::optional<int32_t> value = ReadInteger(text);
    if (!value) {
      text = std::to_string(f.Min);
    } else if (*value < f.Min) {
      text = std::to_string(f.Min);
    } else if (*value > f.Max) {
      text = std::to_string(f.Max);
    }
  } else if (field == CWidth || field == CHeight || field == CDelay) {
    std::optional<int32_t> value = ReadInteger(text);
    if (text.find_first_not_of(' ') == std::string::npos || (value && *value == 0))
      text.assign(1, '1');
  } else {
    return;
  }
  if (text != f.Text) SetText(field, text);
}

}  // namespace editor
