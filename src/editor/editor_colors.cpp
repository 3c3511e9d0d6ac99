// A colour edit from a colour button of the property panel, spread by the
// edit mode; in animation mode colours run channel by channel.
#include <algorithm>

#include "editor/editor.h"
#include "editor/media_names.h"
#include "editor/spread.h"

namespace editor {

using project::TColor;
using project::TEditMode;
using project::TFrameRec;
using project::TShapeRec;

namespace {

struct TColorButton {
  TCtl Button;
  int Tag;
  TColor project::TMovieSettings::*Movie;
  TColor TFrameRec::*Frame;
  TColor TShapeRec::*Object;
};

const TColorButton kButtons[] = {
    {RzPanelWebsite, 1, &project::TMovieSettings::MSiteColor, nullptr, nullptr},
    {RZPaneBkgrColor, 2, &project::TMovieSettings::MBkgrColor, nullptr, nullptr},
    {RzShapeCL, 3, nullptr, nullptr, &TShapeRec::Color},
    {RzShapeBCL, 4, nullptr, nullptr, &TShapeRec::BorderColor},
    {RzGr1Col, 5, nullptr, nullptr, &TShapeRec::GrColor1},
    {RzGr2Col, 6, nullptr, nullptr, &TShapeRec::GrColor2},
    {RzFont, 7, nullptr, nullptr, &TShapeRec::FontColor},
    {RZGR1, 8, nullptr, &TFrameRec::GradCol1, nullptr},
    {RZGR2, 9, nullptr, &TFrameRec::GradCol2, nullptr},
    {RzBorderCL, 10, nullptr, &TFrameRec::BorderCol, nullptr},
    {RzH, 11, nullptr, &TFrameRec::BorderHighLightCol, nullptr},
    {RzS, 12, nullptr, &TFrameRec::BorderShadowCol, nullptr},
    {RzFrameBkgrColor, 13, nullptr, &TFrameRec::BkgrColor, nullptr},
};

const TColorButton* ButtonOfTag(int tag) {
  for (const TColorButton& b : kButtons)
    if (b.Tag == tag) return &b;
  return nullptr;
}

// Highlight: a third of the colour over two thirds of white; shadow: two
// thirds of the colour over black; each channel rounded, halves to even.
TColor Derived(TColor c, bool highlight) {
  auto channel = [highlight](int x) {
    int64_t v = highlight ? NearestDiv(67 * 255 + 33 * x, 100) : NearestDiv(66 * x, 100);
    return int(std::clamp<int64_t>(v, 0, 255));
  };
  return project::RGB(channel(project::Red(c)), channel(project::Green(c)),
                      channel(project::Blue(c)));
}

}  // namespace

int TEditor::ColorTag(TCtl button) {
  for (const TColorButton& b : kButtons)
    if (b.Button == button) return b.Tag;
  return 0;
}

void TEditor::RzColorDlgClick(int tag) {
  const TColorButton* button = ButtonOfTag(tag);
  if (!button || !panel_[button->Button].Enabled) return;
  Command([&] {
    int s = CurrentObject();
    int32_t k = doc_.CurrentFrame, count = doc_.FrameCount;
    if (button->Object && s < 1) return;
    TColor old = button->Movie   ? doc_.Settings.*button->Movie
                 : button->Frame ? Current().*button->Frame
                                 : Slot(k, s).*button->Object;
    colorDialog_.DialogColor = old;
    colorDialog_.Open();
    if (ports_.Prompts.ColorDialog(colorDialog_)) {
      TColor n = colorDialog_.DialogColor;
      doc_.Modify(true);
      // The frame fields this button writes: the border colour brings its
      // highlight and shadow along.
      std::vector<TColor TFrameRec::*> fields;
      if (button->Frame) fields.push_back(button->Frame);
      if (tag == 10) {
        fields.push_back(&TFrameRec::BorderHighLightCol);
        fields.push_back(&TFrameRec::BorderShadowCol);
      }
      if (tag == 2) {
        for (int32_t i = 1; i <= count; ++i)
          if (doc_.Frames[size_t(i)].BkgrColor == old) EditFrame(i).BkgrColor = n;
        EditSettings().MBkgrColor = n;
      } else if (button->Movie) {
        EditSettings().*button->Movie = n;
      } else if (button->Frame) {
        TFrameRec& f = EditFrame(k);
        f.*button->Frame = n;
        if (tag == 10) {
          f.BorderHighLightCol = Derived(n, true);
          f.BorderShadowCol = Derived(n, false);
        }
      } else {
        EditSlot(k, s).*button->Object = n;
      }
      if (mode_ == TEditMode::emAllFrames) {
        for (int32_t i = 1; i <= count; ++i) {
          if (i == k) continue;
          for (auto field : fields) EditFrame(i).*field = Current().*field;
          if (button->Object) EditSlot(i, s).*button->Object = n;
        }
      } else if (mode_ == TEditMode::emAnimation) {
        for (auto field : fields) {
          TColor first = doc_.Frames[1].*field, now = Current().*field,
                 last = doc_.Frames[size_t(count)].*field;
          for (int32_t i = 2; i < count; ++i) {
            if (i == k) continue;
            EditFrame(i).*field = i > k ? project::CalcGradient(now, last, i - k, count - k)
                                        : project::CalcGradient(first, now, i - 1, k - 1);
          }
        }
        if (button->Object) {
          TLife life = ObjectLife(doc_, s);
          TColor first = Slot(life.First, s).*button->Object, now = n,
                 last = Slot(life.Last, s).*button->Object;
          for (int32_t i = life.First + 1; i < life.Last; ++i) {
            if (i == k) continue;
            EditSlot(i, s).*button->Object =
                i > k ? project::CalcGradient(now, last, i - k, life.Last - k)
                      : project::CalcGradient(first, now, i - life.First, k - life.First);
          }
        }
      }
    }
    DAT(false);
    RebuildPreview();
  });
}

}  // namespace editor
