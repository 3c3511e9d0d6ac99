// A drag and the typing into one field are each one edit of the document as
// it was when they began: whatever the number of moves or keystrokes, the
// frames end as if the final value had been set once, in one undo step. The
// border widths the panel shows are the stored ones; Esc in a field.
#include "editor_fixture.h"

namespace {

using namespace editor;
using project::TEditMode;
using vtest::EditorTest;

class EditRunsTest : public EditorTest {
 protected:
  // A star in frames 1..20 at (30, 30), moved to X 230 in frame 11; frame 1
  // is current, in animation mode.
  void StarWithABentPath() {
    Doc().SetFrameCount(20);
    Put(1, project::skStar, 1, 20);
    for (int32_t i = 1; i <= 20; ++i) {
      EditSlot(i, 1).X = EditSlot(i, 1).Y = 30;
      EditSlot(i, 1).W = 20;
    }
    GoTo(11);
    Select(1);
    ed->SetText(SE11, "230");
    ed->FieldExit(SE11);
    GoTo(1);
  }
  void DragBy(int32_t moves, const std::vector<std::pair<int32_t, int32_t>>& through = {}) {
    ed->SWF1MouseDown(30, 30);
    for (auto [x, y] : through) ed->SWF1MouseMove(x, y);
    for (int32_t i = 1; i <= moves; ++i) ed->SWF1MouseMove(30 + 40 * i / moves, 30);
    ed->SWF1MouseUp();
  }
};

TEST_F(EditRunsTest, DragsAndTypingGiveTheFramesOfTheFinalValueSetOnce) {
  StarWithABentPath();
  const std::vector<int32_t> bent = SlotX(1);
  // From frame 1 to the last frame (still at 30, which then follows) through
  // frame 1's new place: nearest(70 - (i - 1) x 40 / 19).
  const std::vector<int32_t> expected{70, 68, 66, 64, 62, 59, 57, 55, 53, 51,
                                      49, 47, 45, 43, 41, 38, 36, 34, 32, 70};
  struct Way {
    const char* name;
    std::function<void()> run;
  };
  const Way ways[] = {
      {"typed at once", [&] { ed->SetText(SE11, "70"); }},
      {"typed key by key",
       [&] {
         ed->SetText(SE11, "7");
         EXPECT_EQ(Slot(1, 1).X, 7);  // each key shows at once
         EXPECT_EQ(C(SE11).Text, "7");
         ed->SetText(SE11, "70");
       }},
      {"typed through an empty field",
       [&] {
         for (const char* t : {"", "-", "7", "70"}) ed->SetText(SE11, t);
       }},
      {"dragged in one move", [&] { DragBy(1); }},
      {"dragged in 40 moves", [&] { DragBy(40); }},
      {"dragged about first",
       [&] {
         DragBy(1, {{90, 50}, {0, 0}, {31, 29}});
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    size_t steps = ed->History().StepCount();
    way.run();
    ed->FieldExit(SE11);
    EXPECT_EQ(SlotX(1), expected);
    for (int32_t i = 1; i <= 20; ++i) ASSERT_EQ(Slot(i, 1).Y, 30) << i;
    EXPECT_EQ(C(SE11).Text, "70");
    EXPECT_EQ(ed->History().StepCount(), steps + 1);
    ed->Undo();
    EXPECT_EQ(SlotX(1), bent);
  }
}

TEST_F(EditRunsTest, AKeyThatFailsLeavesTheRunAsTheKeyBeforeLeftIt) {
  Put(1, project::skRectangle, 1, 1);
  Select(1);
  const int32_t x0 = Slot(1, 1).X;
  ed->SetText(SE11, "4");
  builder.Fail = true;
  ed->SetText(SE11, "45");
  EXPECT_EQ(Slot(1, 1).X, 4);
  EXPECT_EQ(window.Beeps, 1);
  builder.Fail = false;
  ed->SetText(SE11, "47");
  EXPECT_EQ(Slot(1, 1).X, 47);
  ed->Undo();  // still one step
  EXPECT_EQ(Slot(1, 1).X, x0);
}

TEST_F(EditRunsTest, AValueTypedOnTheWayLimitsNoOtherField) {
  Put(1, project::skRectangle, 1, 1);
  EditSlot(1, 1).W = 60;
  EditSlot(1, 1).H = 40;
  EditSlot(1, 1).Border = 5;
  ed->DAT(false);
  Select(1);
  // "1" limits the border to 1 for a moment; the width 10 leaves room for 5.
  for (const char* t : {"1", "10"}) ed->SetText(SE13, t);
  EXPECT_EQ(Slot(1, 1).W, 10);
  EXPECT_EQ(Slot(1, 1).Border, 5);
  EXPECT_EQ(C(SE15).Text, "5");
}

TEST_F(EditRunsTest, BorderFieldsShowWhatTheFrameStores) {
  auto shownIsStored = [this](const char* after) {
    SCOPED_TRACE(after);
    EXPECT_EQ(C(SE20).Text, std::to_string(Frame(Doc().CurrentFrame).BevelW));
    EXPECT_EQ(C(SE21).Text, std::to_string(Frame(Doc().CurrentFrame).BorderW));
  };
  // 60 pixels high, both bevel styles, band 3.
  ed->SetChecked(ChBox3, true);
  shownIsStored("ticking the border");
  ed->SetText(SE20, "14");  // the band's limit is then (60 - 56) / 2 = 2
  shownIsStored("bevel 14");
  EXPECT_EQ(Frame(1).BorderW, 2);
  ed->FieldExit(SE20);
  ed->SetText(SE21, "9");
  shownIsStored("band 9");
  EXPECT_EQ(Frame(1).BevelW, 14);
  ed->FieldExit(SE21);
  ed->SetText(CDelay, "60");  // another field leaves the widths alone
  shownIsStored("delay");
  EXPECT_EQ(Frame(1).BevelW, 14);
  EXPECT_EQ(Frame(1).BorderW, 2);
  ed->FieldExit(CDelay);
  ed->SetText(SE21, "0");
  ed->FieldExit(SE21);
  ed->SetText(SE20, "15");
  ed->FieldExit(SE20);
  shownIsStored("band 0, bevel 15");

  prompts.Answers.push_back(TMsgResult::No);  // do not save
  ed->RzNewClick();
  shownIsStored("a new project");
  EXPECT_EQ(C(SE21).Text, "3");
  ed->SetChecked(ChBox3, true);
  for (int32_t i = 1; i <= Doc().FrameCount; ++i) EXPECT_EQ(Frame(i).BorderW, 3) << i;

  // A width beyond the limits, as an older file may store it, shows as stored.
  Frame(1).BevelW = 40;
  ed->DAT(false);
  shownIsStored("a width beyond the limit");
}

TEST_F(EditRunsTest, EscInAFieldTakesBackItsTyping) {
  Put(1, project::skRectangle, 1, 1);
  Select(1);
  const int32_t x0 = Slot(1, 1).X;
  size_t steps = ed->History().StepCount();
  for (const char* t : {"4", "45"}) ed->SetText(SE11, t);
  ed->FieldEscape(SE11);
  EXPECT_EQ(Slot(1, 1).X, x0);
  EXPECT_EQ(C(SE11).Text, std::to_string(x0));
  EXPECT_EQ(ed->History().StepCount(), steps);
  EXPECT_EQ(window.CloseRequests, 0);

  ed->SetText(SE11, "-");  // nothing applied: the field shows the stored value again
  ed->FieldEscape(SE11);
  EXPECT_EQ(C(SE11).Text, std::to_string(x0));
}

}  // namespace
