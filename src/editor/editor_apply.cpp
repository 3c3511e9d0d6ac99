// Applying the property panel to the model (CWidthChange) and spreading an
// edit over the frames by the edit mode; the link and font edits.
#include <algorithm>
#include <cmath>
#include <limits>

#include "editor/clipboard_text.h"
#include "editor/editor.h"
#include "editor/media_names.h"
#include "editor/narrow.h"
#include "editor/spread.h"
#include "platform/codepage.h"
#include "project/record_fields.h"

namespace editor {

using project::TEditMode;
using project::TFrameRec;
using project::TShapeRec;

namespace {

// The lowest bevel and band widths a frame's border takes.
constexpr int32_t kBevelMin = 1, kBandMin = 0;

std::string ModelText(const std::string& utf8) {
  std::string text = platform::Utf8ToCp1252(utf8);
  if (text.size() > project::MaxStringLength) text.resize(project::MaxStringLength);
  return text;
}

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

// ---- The window's field events ---------------------------------------------

void TEditor::SetText(TCtl control, const std::string& text) {
  if (panel_[control].Text == text) return;
  panel_[control].Text = text;
  if (control == EURL)
    EURLChange();
  else if (IsSpinField(control) || control == CWidth || control == CHeight || control == CDelay ||
           control == EText || control == MainURL)
    CWidthChange(control);
}

void TEditor::SetChecked(TCtl control, bool checked) {
  if (panel_[control].Checked == checked) return;
  panel_[control].Checked = checked;
  if (control == ChLoop || control == ChBox1 || control == ChBox3) CWidthChange(control);
}

void TEditor::SetItemIndex(TCtl control, int index) {
  TControlState& c = panel_[control];
  if (index < -1 || index >= int(c.Items.size()) || c.ItemIndex == index) return;
  c.ItemIndex = index;
  if (control == CBox7)
    CBox7Change(true);
  else if (control == CBox1 || control == CBox4 || control == CBox5 || control == CBox8)
    CWidthChange(control);
}

void TEditor::FieldExit(TCtl control) {
  SECheckExit(control);
  history_.EndRun();
}

void TEditor::FieldEscape(TCtl control) {
  if (history_.InRun(TypingKey(control)))
    Undo();
  else
    Unrecorded([&] { DAT(true); });
  history_.EndRun();
}

// ---- CWidthChange ----------------------------------------------------------

bool TEditor::CWidthChange(TCtl sender) {
  bool built = false;
  Command([&] { built = ApplyPanel(sender); }, TypingKey(sender));
  return built;
}

bool TEditor::ApplyPanel(TCtl sender) {
  if (updating_) return false;
  ClosePreview();
  int s = CurrentObject();
  doc_.Modify(true);
  if (IsSpinField(sender) && !ReadInteger(panel_[sender].Text)) return false;
  RecomputeBorderLimits();
  if (IsSpinField(sender)) ClampSpin(sender);
  if (sender == SE20 || sender == SE21 || sender == CBox4 || sender == CBox5)
    TieBorderWidths(sender);
  // Nothing applies while one of these is empty (or, pasted, not a number).
  for (TCtl c : {CWidth, CHeight, CDelay})
    if (!AllDigits(panel_[c].Text)) return false;
  FitStage();
  if (DigitsValue(CDelay) > 60000) panel_[CDelay].Text = "60000";

  project::TMovieSettings& m = EditSettings();
  m.MWidth = std::max(DigitsValue(CWidth), 1);
  m.MHeight = std::max(DigitsValue(CHeight), 1);
  m.MLoop = panel_[ChLoop].Checked ? 1 : 0;
  m.MainURL = ModelText(panel_[MainURL].Text);

  TFrameRec& f = EditFrame(doc_.CurrentFrame);
  f.Delay = std::max(DigitsValue(CDelay), 1);
  f.AddGrad = panel_[ChBox1].Checked ? 1 : 0;
  if (panel_[CBox1].ItemIndex >= 0) f.GradStyle = uint8_t(panel_[CBox1].ItemIndex);
  f.AddBorder = panel_[ChBox3].Checked ? 1 : 0;
  if (panel_[CBox4].ItemIndex >= 0) f.BorderInnerStyle = uint8_t(panel_[CBox4].ItemIndex);
  if (panel_[CBox5].ItemIndex >= 0) f.BorderOuterStyle = uint8_t(panel_[CBox5].ItemIndex);
  f.BevelW = SpinValue(SE20);
  f.BorderW = SpinValue(SE21);

  int32_t oldX = 0, oldY = 0;
  if (s > 0) {
    TShapeRec& r = EditSlot(doc_.CurrentFrame, s);
    if (panel_[CBox8].ItemIndex >= 0) r.Fill = uint8_t((panel_[CBox8].ItemIndex + 4) % 5);
    oldX = r.X;
    oldY = r.Y;
    r.Angle = SpinValue(SE7);
    r.X = SpinValue(SE11);
    r.Y = SpinValue(SE12);
    r.W = SpinValue(SE13);
    r.H = SpinValue(SE14);
    r.Radius = SpinValue(SE19);
    r.Border = SpinValue(SE15);
    r.Alpha = Narrow<uint8_t>(SpinValue(SE16));
    r.GrX = SpinValue(SE17);
    r.GrY = SpinValue(SE18);
    // The font fields of other kinds are dead data: the hidden text fields
    // are not written into them.
    if (r.Object == project::skText) {
      r.Spacing = SpinValue(SE9);
      r.FontSize = SpinValue(SE8);
      r.Text = ModelText(panel_[EText].Text);
    }
  }
  Propagate(sender, s, oldX, oldY);
  DAT(false);
  RebuildPreview(sender == CWidth || sender == CHeight);
  return true;
}

void TEditor::RecomputeBorderLimits() {
  SetBorderLimits(SpinValue(SE20), SpinValue(SE21));
}

// The bevel and the band between the bevels must fit into the stage height:
// each width's upper limit follows the other width.
void TEditor::SetBorderLimits(int64_t bevel, int64_t band) {
  int64_t h = doc_.Settings.MHeight;
  bool inner = panel_[CBox4].ItemIndex > 0, outer = panel_[CBox5].ItemIndex > 0;
  int64_t bevelMax, bandMax;
  if (inner && outer) {
    bevelMax = NearestDiv(h - 2 * band, 4);
    bandMax = NearestDiv(h - 4 * bevel, 2);
  } else if (inner || outer) {
    bevelMax = NearestDiv(h - 2 * band, 2);
    bandMax = NearestDiv(h - 2 * bevel, 2);
  } else {
    bevelMax = h;
    bandMax = NearestDiv(h, 2);
  }
  panel_[SE20].Min = kBevelMin;
  panel_[SE21].Min = kBandMin;
  panel_[SE20].Max = std::max(kBevelMin, Narrow<int32_t>(bevelMax));
  panel_[SE21].Max = std::max(kBandMin, Narrow<int32_t>(bandMax));
}

// The limit that ties the two widths holds in the document as well as in the
// panel: the width the edit did not touch gives way in the same edit, so the
// panel never shows a width the frame does not store.
void TEditor::TieBorderWidths(TCtl sender) {
  for (TCtl c : {SE20, SE21}) {
    if (c == sender) continue;
    RecomputeBorderLimits();
    ClampSpin(c);
  }
}

void TEditor::ClampSpin(TCtl c) {
  const TControlState& f = panel_[c];
  int32_t value = SpinValue(c);
  if (value < f.Min || value > f.Max)
    panel_[c].Text = std::to_string(std::clamp(value, f.Min, f.Max));
}

// A stage wider or taller than the canvas grows the window within the work
// area; what still does not fit is cut to the canvas.
void TEditor::FitStage() {
  IMainWindow& w = ports_.Window;
  int32_t width = DigitsValue(CWidth);
  if (width > w.CanvasWidth() - w.PaletteWidth() - 4) {
    TBounds b = w.Bounds();
    if (justOpened_) b.Left = workArea_.Left;
    b.Width = Narrow<int32_t>(int64_t(width) + b.Width + w.PaletteWidth() - w.CanvasWidth() + 4);
    if (workArea_.Right - workArea_.Left < b.Left + b.Width)
      b.Width = workArea_.Right - workArea_.Left - b.Left;
    w.SetBounds(b);
    int32_t usable = w.CanvasWidth() - w.PaletteWidth() - 4;
    if (width > usable) panel_[CWidth].Text = std::to_string(std::max(usable, 1));
  }
  int32_t height = DigitsValue(CHeight);
  if (height > w.CanvasHeight() - 4) {
    TBounds b = w.Bounds();
    if (justOpened_) b.Top = workArea_.Top;
    b.Height = Narrow<int32_t>(int64_t(height) + b.Height - w.CanvasHeight() + 4);
    if (workArea_.Bottom - workArea_.Top < b.Top + b.Height)
      b.Height = workArea_.Bottom - workArea_.Top - b.Top;
    w.SetBounds(b);
    int32_t usable = w.CanvasHeight() - 4;
    if (height > usable) panel_[CHeight].Text = std::to_string(std::max(usable, 1));
  }
}

int32_t TEditor::SpinValue(TCtl c) const {
  return ReadInteger(panel_[c].Text).value_or(panel_[c].Min);
}

int32_t TEditor::DigitsValue(TCtl c) const {
  const std::string& text = panel_[c].Text;
  if (!AllDigits(text)) return 0;
  int64_t value = 0;
  for (char ch : text) value = std::min<int64_t>(value * 10 + (ch - '0'), INT32_MAX);
  return int32_t(value);
}

// ---- Spreading an edit -----------------------------------------------------

void TEditor::Propagate(TCtl sender, int s, int32_t oldX, int32_t oldY) {
  if (mode_ == TEditMode::emLocked) return;
  bool all = mode_ == TEditMode::emAllFrames;
  int32_t k = doc_.CurrentFrame, count = doc_.FrameCount;

  auto copyFrame = [&](auto field) {
    auto value = Current().*field;
    for (int32_t i = 1; i <= count; ++i)
      if (i != k && doc_.Frames[size_t(i)].*field != value) EditFrame(i).*field = value;
  };
  auto spreadFrame = [&](auto field) {
    using T = std::remove_reference_t<decltype(Current().*field)>;
    auto v = [&](int32_t i) { return (long double)(doc_.Frames[size_t(i)].*field); };
    TLinearSpread spread(1, k, count, v(1), v(k), v(count));
    for (int32_t i = 2; i < count; ++i)
      if (spread.Writes(i)) EditFrame(i).*field = Narrow<T>(spread.At(i));
  };
  auto copySlot = [&](auto field) {
    auto value = Slot(k, s).*field;
    for (int32_t i = 1; i <= count; ++i)
      if (i != k && Slot(i, s).*field != value) EditSlot(i, s).*field = value;
  };
  // Returns the frames written.
  auto spreadSlot = [&](auto field) {
    using T = std::remove_reference_t<decltype(Slot(k, s).*field)>;
    std::vector<int32_t> written;
    TLife life = ObjectLife(doc_, s);
    auto v = [&](int32_t i) { return (long double)(Slot(i, s).*field); };
    TLinearSpread spread(life.First, k, life.Last, v(life.First), v(k), v(life.Last));
    for (int32_t i = life.First + 1; i < life.Last; ++i) {
      if (!spread.Writes(i)) continue;
      T value = Narrow<T>(spread.At(i));
      if (Slot(i, s).*field != value) EditSlot(i, s).*field = value;
      written.push_back(i);
    }
    return written;
  };
  auto slotField = [&](auto field, bool remeasure) {
    if (s <= 0) return;
    if (all) {
      copySlot(field);
      return;
    }
    for (int32_t i : spreadSlot(field))
      if (remeasure && Slot(i, s).Object == project::skText) MeasureTextObject(i, s);
  };

  switch (sender) {
    case CDelay:
      if (all) copyFrame(&TFrameRec::Delay);
      break;
    case ChBox1:
      copyFrame(&TFrameRec::AddGrad);
      break;
    case CBox1:
      copyFrame(&TFrameRec::GradStyle);
      break;
    case ChBox3:
      copyFrame(&TFrameRec::AddBorder);
      break;
    case CBox4:
      copyFrame(&TFrameRec::BorderInnerStyle);
      break;
    case CBox5:
      copyFrame(&TFrameRec::BorderOuterStyle);
      break;
    case SE20:
      all ? copyFrame(&TFrameRec::BevelW) : spreadFrame(&TFrameRec::BevelW);
      break;
    case SE21:
      all ? copyFrame(&TFrameRec::BorderW) : spreadFrame(&TFrameRec::BorderW);
      break;
    case CBox8:
      if (s > 0) copySlot(&TShapeRec::Fill);
      break;
    case SE7:
      slotField(&TShapeRec::Angle, false);
      break;
    case SE13:
      slotField(&TShapeRec::W, false);
      break;
    case SE14:
      slotField(&TShapeRec::H, false);
      break;
    case SE19:
      slotField(&TShapeRec::Radius, false);
      break;
    case SE15:
      slotField(&TShapeRec::Border, false);
      break;
    case SE16:
      slotField(&TShapeRec::Alpha, false);
      break;
    case SE17:
      slotField(&TShapeRec::GrX, false);
      break;
    case SE18:
      slotField(&TShapeRec::GrY, false);
      break;
    case SE9:
      slotField(&TShapeRec::Spacing, true);
      break;
    case SE8:
      slotField(&TShapeRec::FontSize, true);
      break;
    case SE11:
    case SE12:
      if (s <= 0) break;
      if (all)
        copySlot(sender == SE11 ? &TShapeRec::X : &TShapeRec::Y);
      else
        FollowOrInterpolatePosition(s, sender, oldX, oldY);
      break;
    case EText:
      if (s > 0 && Slot(k, s).Object == project::skText) copySlot(&TShapeRec::Text);
      break;
    default:
      break;
  }
}

// Moving an object in its first frame moves it in every later frame where it
// still stood at the old place; moving it in another frame bends its path
// through the new place.
void TEditor::FollowOrInterpolatePosition(int s, TCtl sender, int32_t oldX, int32_t oldY) {
  int32_t k = doc_.CurrentFrame;
  TLife life = ObjectLife(doc_, s);
  auto at = [&](int32_t i) -> const TShapeRec& { return Slot(i, s); };
  TLinearSpread spreadX(life.First, k, life.Last, at(life.First).X, at(k).X, at(life.Last).X);
  TLinearSpread spreadY(life.First, k, life.Last, at(life.First).Y, at(k).Y, at(life.Last).Y);
  int32_t newX = at(k).X, newY = at(k).Y;
  for (int32_t i = 1; i <= doc_.FrameCount; ++i) {
    if (i == k) continue;
    const TShapeRec& r = at(i);
    if (k == life.First && i > k && r.Object != project::skNone && r.X == oldX && r.Y == oldY) {
      if (sender == SE11)
        EditSlot(i, s).X = newX;
      else
        EditSlot(i, s).Y = newY;
    } else if (spreadX.Writes(i)) {
      int32_t x = Narrow<int32_t>(spreadX.At(i)), y = Narrow<int32_t>(spreadY.At(i));
      if (r.X != x || r.Y != y) {
        TShapeRec& e = EditSlot(i, s);
        e.X = x;
        e.Y = y;
      }
    }
  }
}

// ---- Link and font ---------------------------------------------------------

void TEditor::EURLChange() {
  Command(
      [&] {
        if (updating_) return;
        ClosePreview();
        int s = CurrentObject();
        if (s > 0) {
          std::string url = ModelText(panel_[EURL].Text);
          EditSlot(doc_.CurrentFrame, s).URL = url;
          if (mode_ == TEditMode::emAllFrames)
            for (int32_t i = 1; i <= doc_.FrameCount; ++i)
              if (Slot(i, s).URL != url) EditSlot(i, s).URL = url;
        }
        doc_.Modify(true);
      },
      TypingKey(EURL));
}

void TEditor::RZB1Click() {
  Command([&] {
    int s = CurrentObject();
    if (s <= 0 || Slot(doc_.CurrentFrame, s).Object != project::skText) return;
    const TShapeRec& r = Slot(doc_.CurrentFrame, s);
    TFontChoice font{platform::Cp1252ToUtf8(r.Font), r.FontSize, r.FontColor, r.FBold == 1,
                     r.FItalic == 1};
    if (!ports_.Prompts.FontDialog(font)) return;
    std::string face = ModelText(font.Name);
    int32_t size = std::clamp(font.Size, panel_[SE8].Min, panel_[SE8].Max);
    bool every = mode_ != TEditMode::emLocked;
    for (int32_t i = 1; i <= doc_.FrameCount; ++i) {
      if (i != doc_.CurrentFrame && !every) continue;
      TShapeRec& e = EditSlot(i, s);
      e.FBold = font.Bold ? 1 : 0;
      e.FItalic = font.Italic ? 1 : 0;
      e.Font = face;
      e.FontColor = font.Color;
      e.FontSize = size;
    }
    DAT(false);
    RebuildPreview();
    doc_.Modify(true);
  });
}

}  // namespace editor
