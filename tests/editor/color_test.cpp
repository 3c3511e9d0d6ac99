// The colour dialog's logic and colour edits spread by the edit mode.
#include "editor_fixture.h"

namespace {

using namespace editor;
using project::RGB;
using project::TColor;
using project::TEditMode;
using vtest::EditorTest;

TEST(ColorDialog, ArithmeticOfThePicker) {
  EXPECT_EQ(MulDiv(255, 44, 88), 128);  // 127.5, halves to even
  EXPECT_EQ(MulDiv(255, 22, 88), 64);   // 63.75
  EXPECT_EQ(MulDiv(-60, 1, 8), -8);     // -7.5
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(ColorToHTMLColor(RGB(0, 128, 255)), "#0080FF");

  struct Row {
    int32_t h, s, v;
    TColor rgb;
    bool roundTrip;
  };
  const Row rows[] = {{0, 255, 255, RGB(255, 0, 0), true},
                      {120, 255, 255, RGB(0, 255, 0), true},
                      {180, 255, 255, RGB(0, 255, 255), true},
                      {240, 255, 128, RGB(0, 0, 128), true},
                      {300, 255, 255, RGB(255, 0, 255), true},
                      {0, 0, 77, RGB(77, 77, 77), true},
                      // p = 200 - 40000 div 255, t = 200 - 1200000 div 15300
                      {30, 200, 200, RGB(200, 122, 44), false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.h);
    EXPECT_EQ(HSVToRGB(r.h, r.s, r.v), r.rgb);
    if (r.roundTrip) {
      EXPECT_EQ(RGBToHSV(r.rgb), (THSV{r.h, r.s, r.v}));
    }
  }
  EXPECT_EQ(RGBToHSV(RGB(200, 122, 44)), (THSV{30, 199, 200}));
  EXPECT_EQ(HSVToRGB(400, 300, -5), RGB(0, 0, 0));  // limited first
  EXPECT_EQ(RGBToHSV(RGB(255, 0, 128)).H, 330);     // a negative hue turns round
}

TEST(ColorDialog, ThePickerReportsWhatTheUserPicks) {
  TColorPicker picker;
  picker.SetColor(RGB(255, 0, 0));
  EXPECT_EQ(picker.SquareMarkerX(), 88);
  EXPECT_EQ(picker.SquareMarkerY(), 0);
  EXPECT_EQ(picker.PickHue(44), RGB(0, 255, 255));
  EXPECT_EQ(picker.PickSquare(0, 88), RGB(0, 0, 0));
  EXPECT_EQ(picker.PickSquare(200, -9), RGB(0, 255, 255));  // held in the square
  EXPECT_EQ(picker.FieldChanged(0, "300"), RGB(255, 255, 255));
  EXPECT_EQ(picker.Fields()[0], "255");
  EXPECT_EQ(picker.FieldChanged(1, ""), std::nullopt);
  EXPECT_EQ(picker.FieldChanged(2, "12"), RGB(255, 255, 12));
  EXPECT_EQ(picker.FieldChanged(1, ""), std::nullopt);
  EXPECT_EQ(picker.Fields()[1], "");  // the field stays empty while the user types
  EXPECT_EQ(picker.FieldExit(1), RGB(255, 0, 12));
  EXPECT_EQ(picker.Fields()[1], "0");
  EXPECT_EQ(TColorPicker::HuePixel(0), RGB(255, 0, 0));
}

class ColorDialogTest : public testing::Test {
 protected:
  vtest::TFakePrompts prompts;
  TColorDialog dialog{prompts};
};

TEST_F(ColorDialogTest, TheCodeField) {
  struct Row {
    const char* text;
    TColor color;
    bool message;
  };
  const Row rows[] = {{"#F", RGB(240, 0, 0), false},        {"#12345", RGB(18, 52, 80), false},
                      {"#", RGB(0, 0, 0), false},           {"FF0000", RGB(255, 0, 0), false},
                      {"#0080FF", RGB(0, 128, 255), false}, {"#GG0000", RGB(0, 0, 0), true}};
  dialog.DialogColor = RGB(9, 9, 9);
  dialog.Open();
  dialog.CodeChanged("#F");  // not editing: ignored
  EXPECT_EQ(dialog.Preview, RGB(9, 9, 9));
  dialog.CodeEnter();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    size_t messages = prompts.Messages.size();
    dialog.CodeChanged(r.text);
    EXPECT_EQ(dialog.Preview, r.color);
    EXPECT_EQ(dialog.Picker.Color(), r.color);
    EXPECT_EQ(dialog.Code, r.text);
    EXPECT_EQ(prompts.Messages.size(), messages + (r.message ? 1 : 0));
  }
  EXPECT_EQ(prompts.Messages.back().Text,
            "#GG0000 is not a valid color value. Enter a HEX value (#RRGGBB).");
  EXPECT_EQ(prompts.Messages.back().Title, "Error");
  EXPECT_EQ(TColorDialog::CodeKey('f'), 'F');
  EXPECT_EQ(TColorDialog::CodeKey('#'), '#');
  EXPECT_EQ(TColorDialog::CodeKey('g'), 0);
  EXPECT_EQ(TColorDialog::CodeKey(0x16), 0x16);
  EXPECT_EQ(TColorDialog::CodeKey(0x01), 0x01);  // Ctrl+A selects, to type over
  EXPECT_EQ(TColorDialog::CodeKey(0x1A), 0);
}

TEST_F(ColorDialogTest, TheGradientCalculatorFollowsTheCurrentColourUntilFrozen) {
  EXPECT_EQ(TColorDialog::PaletteColor(25), RGB(255, 0, 136));
  EXPECT_EQ(dialog.StartFrame, clRed);
  dialog.DialogColor = RGB(0, 0, 0);
  dialog.Open();
  dialog.PickSquare(0, 0);  // white, at any hue
  EXPECT_EQ(dialog.Preview, RGB(255, 255, 255));
  EXPECT_EQ(dialog.Code, "#FFFFFF");
  EXPECT_EQ(dialog.Swatches[41], RGB(255, 255, 255));
  EXPECT_EQ(dialog.Swatches[90], RGB(0, 0, 255));
  EXPECT_EQ(dialog.Swatches[42], RGB(250, 250, 255));  // 255 - 255 / 49
  EXPECT_EQ(dialog.Swatches[65], RGB(130, 130, 255));  // 24 steps: 130.1
  for (int n = 42; n < 90; ++n)
    EXPECT_LT(project::Red(dialog.Swatches[size_t(n)]),
              project::Red(dialog.Swatches[size_t(n - 1)]));

  dialog.ClickSwatch(60);  // an intermediate colour freezes the gradient
  EXPECT_EQ(dialog.Target, TGradientTarget::Frozen);
  EXPECT_FALSE(dialog.FreezeEnabled);
  EXPECT_EQ(dialog.SelectedSwatch, 60);
  TColor kept = dialog.Swatches[41];
  dialog.ClickSwatch(14);  // palette blue
  EXPECT_EQ(dialog.Swatches[41], kept);
  EXPECT_EQ(dialog.Preview, RGB(0, 0, 255));

  dialog.ClickSwatch(TColorDialog::EndSwatch);
  EXPECT_EQ(dialog.Target, TGradientTarget::End);
  EXPECT_EQ(dialog.EndFrame, clRed);
  EXPECT_EQ(dialog.StartFrame, clBtnFace);
  dialog.ClickSwatch(17);  // red becomes the end
  EXPECT_EQ(dialog.Swatches[90], RGB(255, 0, 0));
  EXPECT_EQ(dialog.Swatches[TColorDialog::EndSwatch], RGB(255, 0, 0));
  dialog.FreezeClick();
  EXPECT_EQ(dialog.Target, TGradientTarget::Frozen);
  dialog.OkClick();
  EXPECT_EQ(dialog.DialogColor, RGB(255, 0, 0));
}

class ColorEditTest : public EditorTest {
 protected:
  void Frames(int32_t n, int32_t current) {
    Doc().SetFrameCount(n);
    GoTo(current);
  }
};

TEST_F(ColorEditTest, TheMovieBackgroundRecoloursFramesThatHadIt) {
  Frames(4, 1);
  Frame(3).BkgrColor = RGB(9, 9, 9);
  SetMode(TEditMode::emLocked);
  prompts.PickColor(RGB(0, 0, 255));
  ed->RzColorDlgClick(TEditor::ColorTag(RZPaneBkgrColor));
  EXPECT_EQ(Doc().Settings.MBkgrColor, RGB(0, 0, 255));
  for (int32_t i : {1, 2, 4}) EXPECT_EQ(Frame(i).BkgrColor, RGB(0, 0, 255));
  EXPECT_EQ(Frame(3).BkgrColor, RGB(9, 9, 9));
  EXPECT_EQ(C(RZPaneBkgrColor).Color, RGB(0, 0, 255));
  EXPECT_TRUE(Doc().Modified);
}

TEST_F(ColorEditTest, CancelChangesNothingButRefreshes) {
  Doc().Modify(false);
  int builds = builder.FrameBuilds;
  prompts.Colors.push_back([](TColorDialog& d) {
    EXPECT_EQ(d.DialogColor, RGB(0, 128, 128));
    EXPECT_EQ(d.Code, "#008080");
    d.ClickSwatch(3);
    return false;
  });
  ed->RzColorDlgClick(1);
  EXPECT_EQ(Doc().Settings.MSiteColor, RGB(0, 128, 128));
  EXPECT_FALSE(Doc().Modified);
  EXPECT_EQ(builder.FrameBuilds, builds + 1);
  EXPECT_EQ(ed->History().StepCount(), 0u);
}

TEST_F(ColorEditTest, AllFramesCopiesOnlyTheEditedField) {
  Frames(3, 2);
  Put(1, project::skText, 1, 3);
  SetMode(TEditMode::emAllFrames);
  ed->SetChecked(ChBox1, true);
  prompts.PickColor(RGB(1, 2, 3));
  ed->RzColorDlgClick(TEditor::ColorTag(RZGR2));
  prompts.PickColor(RGB(4, 5, 6));
  ed->RzColorDlgClick(TEditor::ColorTag(RzFont));
  for (int32_t i = 1; i <= 3; ++i) {
    EXPECT_EQ(Frame(i).GradCol2, RGB(1, 2, 3));
    EXPECT_EQ(Frame(i).GradCol1, RGB(255, 255, 136));
    EXPECT_EQ(Slot(i, 1).FontColor, RGB(4, 5, 6));
  }
}

TEST_F(ColorEditTest, AnimationRunsFrameColoursOverTheMovie) {
  Frames(5, 3);
  for (int32_t i = 1; i <= 5; ++i) Frame(i).BkgrColor = RGB(0, 0, 0);
  prompts.PickColor(RGB(200, 100, 0));
  ed->RzColorDlgClick(TEditor::ColorTag(RzFrameBkgrColor));
  std::vector<TColor> colors;
  for (int32_t i = 1; i <= 5; ++i) colors.push_back(Frame(i).BkgrColor);
  EXPECT_EQ(colors,
            (std::vector<TColor>{0, RGB(100, 50, 0), RGB(200, 100, 0), RGB(100, 50, 0), 0}));
}

TEST_F(ColorEditTest, AnimationRunsObjectColoursOverTheObjectsLife) {
  Frames(10, 8);
  Put(2, project::skRectangle, 4, 8);
  for (int32_t i = 4; i <= 8; ++i) EditSlot(i, 2).Color = 0;
  ed->DAT(false);
  prompts.PickColor(RGB(0, 0, 90));
  ed->RzColorDlgClick(TEditor::ColorTag(RzShapeCL));
  std::vector<TColor> colors;
  for (int32_t i = 4; i <= 8; ++i) colors.push_back(Slot(i, 2).Color);
  EXPECT_EQ(colors,
            (std::vector<TColor>{0, RGB(0, 0, 22), RGB(0, 0, 45), RGB(0, 0, 68), RGB(0, 0, 90)}));
  EXPECT_EQ(Slot(9, 2).Color, 0);
}

TEST_F(ColorEditTest, TheBorderColourBringsItsHighlightAndShadow) {
  Frames(3, 2);
  ed->SetChecked(ChBox3, true);
  prompts.PickColor(RGB(255, 0, 136));
  SetMode(TEditMode::emLocked);
  ed->RzColorDlgClick(TEditor::ColorTag(RzBorderCL));
  EXPECT_EQ(Frame(2).BorderHighLightCol, RGB(255, 171, 216));
  EXPECT_EQ(Frame(2).BorderShadowCol, RGB(168, 0, 90));

  SetMode(TEditMode::emAllFrames);
  prompts.PickColor(RGB(0, 0, 0));
  ed->RzColorDlgClick(TEditor::ColorTag(RzBorderCL));
  for (int32_t i = 1; i <= 3; ++i) {
    EXPECT_EQ(Frame(i).BorderCol, RGB(0, 0, 0));
    EXPECT_EQ(Frame(i).BorderHighLightCol, RGB(171, 171, 171));
    EXPECT_EQ(Frame(i).BorderShadowCol, RGB(0, 0, 0));
  }
}

TEST_F(ColorEditTest, DisabledButtonsDoNothing) {
  prompts.PickColor(RGB(1, 1, 1));
  ed->RzColorDlgClick(TEditor::ColorTag(RZGR1));      // no gradient in this frame
  ed->RzColorDlgClick(TEditor::ColorTag(RzShapeCL));  // no current object
  EXPECT_EQ(prompts.Colors.size(), 1u);
  EXPECT_EQ(TEditor::ColorTag(SE11), 0);
}

}  // namespace
