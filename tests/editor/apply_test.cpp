// Applying the property panel and spreading an edit over the frames.
#include "editor_fixture.h"

namespace {

using namespace editor;
using project::TEditMode;
using project::TShapeRec;
using vtest::EditorTest;

class ApplyTest : public EditorTest {
 protected:
  void Frames(int32_t n) {
    Doc().SetFrameCount(n);
    ed->DAT(false);
  }
};

TEST_F(ApplyTest, AnimationSpreadsAnObjectFieldOverItsLife) {
  struct Row {
    const char* name;
    int32_t frames, first, last, current;
    TCtl field;
    int32_t TShapeRec::*member;
    int32_t start, edited;
    std::vector<int32_t> expected;  // frames 1..frames, -1: the slot stays empty
  };
  const Row rows[] = {
      {"X through frame 3 of 1..5", 5, 1, 5, 3, SE11, &TShapeRec::X, 0, 100, {0, 50, 100, 50, 0}},
      {"X from the first frame: later frames follow",
       5,
       1,
       5,
       1,
       SE11,
       &TShapeRec::X,
       10,
       40,
       {40, 40, 40, 40, 40}},
      {"W of frames 3..9, current 6",
       11,
       3,
       9,
       6,
       SE13,
       &TShapeRec::W,
       60,
       90,
       {-1, -1, 60, 70, 80, 90, 80, 70, 60, -1, -1}},
      {"an object in one frame only",
       5,
       3,
       3,
       3,
       SE13,
       &TShapeRec::W,
       60,
       90,
       {-1, -1, 90, -1, -1}},
      {"the last frame of the life",
       5,
       1,
       5,
       5,
       SE7,
       &TShapeRec::Angle,
       0,
       40,
       {0, 10, 20, 30, 40}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Doc().Modify(false);
    ed->RzNewClick();
    Frames(r.frames);
    Put(2, project::skRectangle, r.first, r.last);
    for (int32_t i = r.first; i <= r.last; ++i) {
      EditSlot(i, 2).*r.member = r.start;
      EditSlot(i, 2).Y = r.start;
    }
    GoTo(r.current);
    ASSERT_TRUE(Select(2));
    ed->SetText(r.field, std::to_string(r.edited));
    for (int32_t i = 1; i <= r.frames; ++i) {
      SCOPED_TRACE(i);
      int32_t want = r.expected[size_t(i - 1)];
      if (want < 0) {
        EXPECT_EQ(Slot(i, 2).Object, project::skNone);
        EXPECT_EQ(Slot(i, 2).*r.member, 0);
      } else {
        EXPECT_EQ(Slot(i, 2).*r.member, want);
      }
    }
    // Y is spread together with X, and stays where it was.
    for (int32_t i = r.first; i <= r.last; ++i) EXPECT_EQ(Slot(i, 2).Y, r.start);
  }
}

TEST_F(ApplyTest, FollowingTakesOnlyFramesStillAtTheOldPlace) {
  Frames(5);
  Put(1, project::skRectangle, 1, 5);
  for (int32_t i = 1; i <= 5; ++i) EditSlot(i, 1).X = EditSlot(i, 1).Y = 10;
  EditSlot(4, 1).Y = 20;  // moved away in frame 4 already
  ed->DAT(false);
  ed->SetText(SE11, "40");
  // Frame 4 bends with the path from frame 1 to frame 5 as it stood before
  // frame 5 followed: 40 + 3 x (10 - 40) / 4 = 17.5.
  EXPECT_EQ(SlotX(1), (std::vector<int32_t>{40, 40, 40, 18, 40}));
  EXPECT_EQ(Slot(4, 1).Y, 10);
}

TEST_F(ApplyTest, AllFramesCopiesAndLockedTouchesOnlyTheCurrentFrame) {
  Frames(6);
  Put(4, project::skRectangle, 2, 4);
  GoTo(3);
  Select(4);
  SetMode(TEditMode::emAllFrames);
  ed->SetText(SE7, "45");
  for (int32_t i = 1; i <= 6; ++i) EXPECT_EQ(Slot(i, 4).Angle, 45) << i;
  EXPECT_EQ(Slot(6, 4).Object, project::skNone);

  SetMode(TEditMode::emLocked);
  project::TProjectDocument before = Doc();
  ed->SetText(SE7, "90");
  ed->SetText(SE11, "33");
  ed->SetText(CDelay, "700");
  ed->SetChecked(ChBox1, true);
  for (int32_t i = 1; i <= 6; ++i) {
    if (i == 3) continue;
    EXPECT_EQ(Frame(i), before.Frames[size_t(i)]) << i;
  }
  EXPECT_EQ(Slot(3, 4).Angle, 90);
  EXPECT_EQ(Slot(3, 4).X, 33);
  EXPECT_EQ(Frame(3).Delay, 700);
  EXPECT_EQ(Frame(3).AddGrad, 1);
}

TEST_F(ApplyTest, AnimationKeepsTheDelayButCopiesSwitches) {
  Frames(4);
  GoTo(2);
  ed->SetText(CDelay, "300");
  ed->SetChecked(ChBox1, true);
  ed->SetItemIndex(CBox1, 5);
  for (int32_t i = 1; i <= 4; ++i) {
    EXPECT_EQ(Frame(i).Delay, i == 2 ? 300 : 50);
    EXPECT_EQ(Frame(i).AddGrad, 1);
    EXPECT_EQ(Frame(i).GradStyle, 5);
  }
}

TEST_F(ApplyTest, BevelSpreadsOverTheMovieThroughTheCurrentFrame) {
  Frames(10);
  GoTo(4);
  ed->SetText(SE20, "7");
  std::vector<int32_t> bevels;
  for (int32_t i = 1; i <= 10; ++i) bevels.push_back(Frame(i).BevelW);
  EXPECT_EQ(bevels, (std::vector<int32_t>{1, 3, 5, 7, 6, 5, 4, 3, 2, 1}));
}

TEST_F(ApplyTest, BevelAndBorderLimitsFollowTheStageHeight) {
  // 60 pixels, both bevels, band 3: (60 - 6) / 4 = 13.5, halves to even.
  ed->SetText(SE20, "20");
  EXPECT_EQ(C(SE20).Max, 14);
  EXPECT_EQ(C(SE20).Text, "14");
  EXPECT_EQ(Frame(1).BevelW, 14);
  // Band limit with the bevel 14: (60 - 56) / 2 = 2.
  ed->SetText(SE21, "9");
  EXPECT_EQ(Frame(1).BorderW, 2);

  ed->SetItemIndex(CBox4, 0);  // one bevel left: (60 - 2 * 2) / 2
  ed->SetText(SE20, "40");
  EXPECT_EQ(Frame(1).BevelW, 28);
  ed->SetItemIndex(CBox5, 0);  // none: the whole height
  ed->SetText(SE20, "100");
  EXPECT_EQ(Frame(1).BevelW, 60);
}

TEST_F(ApplyTest, NumberFieldsAreCheckedWhileTyping) {
  ed->SetText(CDelay, "70000");
  EXPECT_EQ(Frame(1).Delay, 60000);
  EXPECT_EQ(C(CDelay).Text, "60000");

  Doc().Modify(false);
  ed->SetText(CWidth, "");
  ed->SetText(CDelay, "90");  // nothing applies while the width is empty
  EXPECT_EQ(Frame(1).Delay, 60000);
  EXPECT_EQ(Doc().Settings.MWidth, 468);
  EXPECT_TRUE(Doc().Modified);
  ed->SetText(CWidth, "3");
  EXPECT_EQ(Doc().Settings.MWidth, 3);
  EXPECT_EQ(Frame(1).Delay, 90);

  Put(1, project::skRectangle, 1, 1);
  Select(1);
  ed->SetText(SE16, "-");  // not applied yet
  EXPECT_EQ(Slot(1, 1).Alpha, 0);
  ed->SetText(SE16, "300");
  EXPECT_EQ(Slot(1, 1).Alpha, 255);
  EXPECT_EQ(C(SE16).Text, "255");
}

TEST_F(ApplyTest, LeavingAFieldPutsItBackInItsLimits) {
  Put(1, project::skRectangle, 1, 1);
  Select(1);
  struct Row {
    TCtl field;
    std::string typed, after;
  };
  const Row rows[] = {{SE16, "", "0"},     {SE16, "-", "0"},   {SE7, "-", "-360"},
                      {CWidth, "0", "1"},  {CDelay, " ", "1"}, {CHeight, "00", "1"},
                      {CDelay, "20", "20"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    ed->SetText(r.field, r.typed);
    ed->FieldExit(r.field);
    EXPECT_EQ(C(r.field).Text, r.after);
  }
  EXPECT_EQ(Slot(1, 1).Angle, -360);
  EXPECT_EQ(Frame(1).Delay, 20);
  EXPECT_EQ(Doc().Settings.MHeight, 1);
  EXPECT_EQ(TEditor::CheckEditKey('7'), '7');
  EXPECT_EQ(TEditor::CheckEditKey('a'), 0);
  EXPECT_EQ(TEditor::CheckEditKey('\b'), '\b');
}

TEST_F(ApplyTest, AWideStageGrowsTheWindowWithinTheWorkArea) {
  window.WindowBounds = {100, 50, 800, 600};
  // Canvas 776 x 229 with a 36-pixel palette: 736 x 225 usable.
  ed->SetText(CWidth, "900");
  EXPECT_EQ(window.WindowBounds.Width, 800 + 900 - 736);
  EXPECT_EQ(Doc().Settings.MWidth, 900);

  // The work area stops the window at its right edge (1280 - 100 left).
  ed->SetText(CWidth, "1400");
  EXPECT_EQ(window.WindowBounds.Width, 1180);
  int32_t usable = 1180 - 24 - 36 - 4;
  EXPECT_EQ(Doc().Settings.MWidth, usable);
  EXPECT_EQ(C(CWidth).Text, std::to_string(usable));
  EXPECT_EQ(player.Calls.back(), "goto 0");
  EXPECT_NE(std::find(player.Calls.begin(), player.Calls.end(), "refresh"), player.Calls.end());

  ed->SetText(CHeight, "2000");
  EXPECT_EQ(window.WindowBounds.Height, 1000 - 50);
  EXPECT_EQ(Doc().Settings.MHeight, 950 - 371 - 4);
}

TEST_F(ApplyTest, ThePanelShowsValuesWithinTheFieldLimitsAndTheNextEditStoresThem) {
  Put(1, project::skRectangle, 1, 1);
  EditSlot(1, 1).X = 5000;
  ed->DAT(false);
  EXPECT_EQ(C(SE11).Text, "740");
  ed->SetText(SE12, "9");
  EXPECT_EQ(Slot(1, 1).X, 740);
}

TEST_F(ApplyTest, TextExtentsAreMeasuredWithTheirSpacing) {
  Put(1, project::skText, 1, 3);
  Select(1);
  // "Text": 40 pixels wide in the fake, 4 x 0.76 = 3.04 for spacing 1.
  EXPECT_EQ(Slot(1, 1).W, 40 + 3 + 10);
  EXPECT_EQ(Slot(1, 1).H, 41);
  EXPECT_EQ(C(SE13).Text, "53");
  EXPECT_FALSE(C(SE13).Enabled);

  // Spacing spreads over the life and the touched frames are measured again.
  Frames(3);
  GoTo(3);
  Select(1);
  ed->SetText(SE9, "11");
  EXPECT_EQ(Slot(2, 1).Spacing, 6);
  EXPECT_EQ(Slot(2, 1).W, 40 + 18 + 10);  // 4 x 4.56 = 18.24
  ed->SetText(EText, "Hello");
  for (int32_t i = 1; i <= 3; ++i) EXPECT_EQ(Slot(i, 1).Text, "Hello");
}

// A pasted or loaded text may carry any spacing: its width stops at the
// 32-bit limits instead of overflowing.
TEST_F(ApplyTest, AnySpacingGivesAWidthWithinLimits) {
  Put(1, project::skText, 1, 1);
  // At spacing -20, "Text" (40 pixels in the fake) loses 4 x 15.2 pixels.
  const struct {
    int32_t Spacing, W;
  } rows[] = {{INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, {-20, 40 - 61 + 10}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Spacing);
    EditSlot(1, 1).Spacing = row.Spacing;
    ed->DAT(false);
    EXPECT_EQ(Slot(1, 1).W, row.W);
  }
}

TEST_F(ApplyTest, TheLinkGoesToAllFramesOnlyInAllFramesMode) {
  Frames(3);
  Put(1, project::skButton, 1, 3);
  Select(1);
  ed->SetText(EURL, "http://a");
  EXPECT_EQ(Slot(1, 1).URL, "http://a");
  EXPECT_EQ(Slot(2, 1).URL, "");
  SetMode(TEditMode::emAllFrames);
  int builds = builder.FrameBuilds;
  ed->SetText(EURL, "http://b");
  for (int32_t i = 1; i <= 3; ++i) EXPECT_EQ(Slot(i, 1).URL, "http://b");
  EXPECT_EQ(builder.FrameBuilds, builds);
  EXPECT_TRUE(Doc().Modified);
}

TEST_F(ApplyTest, TheFontDialogWritesEveryFrameUnlessLocked) {
  Frames(3);
  Put(1, project::skText, 1, 3);
  Select(1);
  prompts.Fonts.push_back(TFontChoice{"Courier New", 20, project::RGB(1, 2, 3), true, false});
  ed->RZB1Click();
  ASSERT_EQ(prompts.FontsSeen.size(), 1u);
  EXPECT_EQ(prompts.FontsSeen[0].Name, "Arial");
  EXPECT_EQ(prompts.FontsSeen[0].Size, 36);
  for (int32_t i = 1; i <= 3; ++i) {
    EXPECT_EQ(Slot(i, 1).Font, "Courier New");
    EXPECT_EQ(Slot(i, 1).FontSize, 20);
    EXPECT_EQ(Slot(i, 1).FBold, 1);
    EXPECT_EQ(Slot(i, 1).FontColor, project::RGB(1, 2, 3));
  }
  SetMode(TEditMode::emLocked);
  prompts.Fonts.push_back(TFontChoice{"Serif", 12, 0, false, true});
  ed->RZB1Click();
  EXPECT_EQ(Slot(1, 1).Font, "Serif");
  EXPECT_EQ(Slot(2, 1).Font, "Courier New");
  project::TProjectDocument before = Doc();
  prompts.Fonts.push_back(std::nullopt);
  ed->RZB1Click();
  EXPECT_EQ(Doc().Frames, before.Frames);
}

}  // namespace
