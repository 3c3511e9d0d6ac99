// Frame commands: navigation, insert, remove, reverse, counts and the frame
// clipboard.
#include "editor/clipboard_text.h"
#include "editor_fixture.h"

namespace {

using namespace editor;
using vtest::EditorTest;

class FrameCommandsTest : public EditorTest {
 protected:
  // n frames told apart by their delays: frame i has i x 10 ms.
  void Frames(int32_t n, int32_t current = 1) {
    Doc().SetFrameCount(n);
    for (int32_t i = 1; i <= n; ++i) Frame(i).Delay = i * 10;
    GoTo(current);
    Doc().Modify(false);
  }
  // The original number of each frame, from its delay.
  std::vector<int32_t> Order() {
    std::vector<int32_t> order;
    for (int32_t i = 1; i <= Doc().FrameCount; ++i) order.push_back(Frame(i).Delay / 10);
    return order;
  }
};

TEST_F(FrameCommandsTest, NavigationWrapsAroundAndClearsTheSelection) {
  struct Row {
    TNavigate where;
    int32_t from, to;
  };
  const Row rows[] = {{TNavigate::Next, 5, 1},  {TNavigate::Previous, 1, 5},
                      {TNavigate::Next, 2, 3},  {TNavigate::Previous, 4, 3},
                      {TNavigate::First, 4, 1}, {TNavigate::Last, 2, 5}};
  Frames(5);
  Put(1, project::skRectangle, 1, 5);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.from);
    GoTo(r.from);
    Doc().SelectedSlots.set(1);
    ed->RzFirstClick(r.where);
    EXPECT_EQ(Doc().CurrentFrame, r.to);
    EXPECT_TRUE(Doc().SelectedSlots.none());
    EXPECT_EQ(P().StatusPanes[1].substr(0, 12), "Frame " + std::to_string(r.to) + " of 5");
  }
  EXPECT_FALSE(Doc().Modified);
}

TEST_F(FrameCommandsTest, InsertCopiesTheCurrentFrameAndMakesTheCopyCurrent) {
  Frames(5, 3);
  Put(2, project::skStar, 3, 3);
  ed->RzInsertClick();
  EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2, 3, 3, 4, 5}));
  EXPECT_EQ(Frame(3), Frame(4));
  EXPECT_EQ(Slot(4, 2).Object, project::skStar);
  EXPECT_EQ(Doc().CurrentFrame, 4);
  EXPECT_EQ(C(CFrames).Text, "6");
  EXPECT_TRUE(Doc().Modified);
}

TEST_F(FrameCommandsTest, RemovingTheCurrentFrame) {
  Frames(5, 5);
  ed->RzDeleteClick();
  EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(Doc().CurrentFrame, 4);

  Frames(5, 2);
  ed->RzDeleteClick();
  EXPECT_EQ(Order(), (std::vector<int32_t>{1, 3, 4, 5}));
  EXPECT_EQ(Doc().CurrentFrame, 2);

  Frames(1);
  ed->RzDeleteClick();
  EXPECT_EQ(Doc().FrameCount, 1);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            "Could not remove this frame. The minimal number of frames is 1.");
  EXPECT_EQ(prompts.Messages[0].Icon, TMsgIcon::Warning);
  EXPECT_FALSE(Doc().Modified);
}

TEST_F(FrameCommandsTest, ReverseSwapsWholeFramesAndGoesToTheFirst) {
  Frames(5, 4);
  Put(7, project::skEllipse, 2, 2);
  ed->RzReverseClick();
  EXPECT_EQ(Order(), (std::vector<int32_t>{5, 4, 3, 2, 1}));
  EXPECT_EQ(Slot(4, 7).Object, project::skEllipse);
  EXPECT_EQ(Doc().CurrentFrame, 1);
}

TEST_F(FrameCommandsTest, MovingAFrameIsOneStepAndFollowsTheFrame) {
  struct Row {
    int32_t from, to;
    std::vector<int32_t> order;
  };
  const Row rows[] = {{2, 4, {1, 3, 4, 2, 5}},
                      {4, 2, {1, 4, 2, 3, 5}},
                      {1, 5, {2, 3, 4, 5, 1}},
                      {5, 1, {5, 1, 2, 3, 4}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.from);
    Frames(5, 3);
    Put(2, project::skStar, r.from, r.from);
    Doc().SelectedSlots.set(2);
    ed->MoveFrame(r.from, r.to);
    EXPECT_EQ(Order(), r.order);
    EXPECT_EQ(Slot(r.to, 2).Object, project::skStar);
    EXPECT_EQ(Doc().CurrentFrame, r.to);
    EXPECT_TRUE(Doc().SelectedSlots.none());
    EXPECT_TRUE(Doc().Modified);
    ed->Undo();
    EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Doc().CurrentFrame, 3);
  }
}

TEST_F(FrameCommandsTest, MovesAndJumpsOutsideTheFramesChangeNothing) {
  const std::pair<int32_t, int32_t> moves[] = {{0, 2}, {2, 6}, {3, 3}, {-1, 1}, {6, 1}};
  Frames(5, 3);
  for (auto [from, to] : moves) ed->MoveFrame(from, to);
  for (int32_t frame : {0, 6, -2}) ed->GoToFrame(frame);
  EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Doc().CurrentFrame, 3);
  EXPECT_FALSE(Doc().Modified);
  ed->GoToFrame(5);
  EXPECT_EQ(Doc().CurrentFrame, 5);
  EXPECT_EQ(P().StatusPanes[1].substr(0, 12), "Frame 5 of 5");
}

TEST_F(FrameCommandsTest, SettingTheNumberOfFrames) {
  Frames(20, 12);
  prompts.Numbers.push_back("5");
  ed->CFramesChange();
  EXPECT_EQ(prompts.NumberDialogsSeen.back().Info, "Change the number of frames:");
  EXPECT_EQ(prompts.NumberDialogsSeen.back().Number, "20");
  EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Doc().CurrentFrame, 5);
  EXPECT_EQ(C(CFrames).Text, "5");

  Doc().Settings.MBkgrColor = project::RGB(0, 0, 255);
  prompts.Numbers.push_back("8");
  ed->CFramesChange();
  EXPECT_EQ(Doc().FrameCount, 8);
  EXPECT_EQ(Frame(8).BkgrColor, project::RGB(0, 0, 255));
  EXPECT_EQ(Frame(6).Delay, 50);
  EXPECT_EQ(P().StatusPanes[1].substr(0, 12), "Frame 5 of 8");

  prompts.Numbers.push_back("5000");  // the dialog's own limit
  ed->CFramesChange();
  EXPECT_EQ(Doc().FrameCount, 1000);

  int beeps = window.Beeps;
  prompts.Numbers.push_back("");  // no number: the command ends with a beep
  ed->CFramesChange();
  prompts.Numbers.push_back(std::nullopt);
  ed->CFramesChange();
  EXPECT_EQ(Doc().FrameCount, 1000);
  EXPECT_EQ(window.Beeps, beeps + 1);
}

TEST_F(FrameCommandsTest, InsertingEmptyFrames) {
  struct Row {
    TInsertWhere where;
    std::vector<int32_t> order;
    int32_t current;
  };
  const Row rows[] = {{TInsertWhere::BeforeFirst, {0, 0, 0, 1, 2, 3, 4}, 5},
                      {TInsertWhere::AfterLast, {1, 2, 3, 4, 0, 0, 0}, 2},
                      {TInsertWhere::AfterCurrent, {1, 2, 0, 0, 0, 3, 4}, 2}};
  for (const Row& r : rows) {
    Frames(4, 2);
    prompts.Numbers.push_back("3");
    ed->TBItem23Click(r.where);
    std::vector<int32_t> order = Order();
    for (int32_t& o : order)
      if (o == 5) o = 0;  // an empty frame: 50 ms
    EXPECT_EQ(order, r.order);
    EXPECT_EQ(Doc().CurrentFrame, r.current);
    EXPECT_EQ(C(CFrames).Text, "7");
    EXPECT_TRUE(Doc().Modified);
  }
  EXPECT_EQ(prompts.NumberDialogsSeen.back().Info, "Enter the number of frames to insert:");
  EXPECT_EQ(prompts.NumberDialogsSeen.back().Number, "20");
  Frames(4);
  prompts.Numbers.push_back("");
  ed->TBItem23Click(TInsertWhere::AfterLast);
  EXPECT_EQ(Doc().FrameCount, 4);
  EXPECT_FALSE(Doc().Modified);
}

TEST_F(FrameCommandsTest, RemovingARangeOfFrames) {
  struct Row {
    const char *from, *to;
    int32_t current, after;
    std::vector<int32_t> order;
  };
  const Row rows[] = {
      {"2", "4", 3, 1, {1, 5, 6, 7, 8, 9, 10}}, {"2", "4", 8, 5, {1, 5, 6, 7, 8, 9, 10}},
      {"1", "3", 2, 1, {4, 5, 6, 7, 8, 9, 10}}, {"9", "3", 1, 1, {1, 2, 10}},
      {"8", "40", 9, 7, {1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.from) + ".." + r.to);
    Frames(10, r.current);
    prompts.Ranges.push_back(std::make_pair(r.from, r.to));
    ed->TBItem24Click();
    EXPECT_EQ(Order(), r.order);
    EXPECT_EQ(Doc().CurrentFrame, r.after);
  }
  const TLimitsDialog& seen = prompts.RangeDialogsSeen.back();
  EXPECT_EQ(seen.Caption, "Specifying the Frames to be Deleted");
  EXPECT_EQ(seen.Info, "Select the frame interval to delete:");
  EXPECT_EQ(seen.Max, 10);
  EXPECT_EQ(seen.From, "1");

  Frames(10);
  prompts.Ranges.push_back(std::make_pair("1", "10"));
  ed->TBItem24Click();
  EXPECT_EQ(prompts.Messages.back().Text,
            "Could not remove all of the frames. At least 1 frame should remain.");
  prompts.Ranges.push_back(std::make_pair("", "4"));
  ed->TBItem24Click();
  EXPECT_EQ(Doc().FrameCount, 10);
  EXPECT_EQ(window.Beeps, 1);
}

TEST_F(FrameCommandsTest, TheFrameClipboardTextHoldsEveryUsedSlotNumber) {
  Frames(3, 2);
  Put(7, project::skRectangle, 3, 3);  // the highest slot of the project
  Put(2, project::skText, 2, 2);
  Frame(2).BkgrColor = project::RGB(255, 0, 0);
  ed->TBItem25Click();
  const std::string& text = clipboard.Content;
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 18u + 7 * 26);
  EXPECT_EQ(lines[0], "[Frame]");
  EXPECT_EQ(lines[1], "255");  // BkgrColor
  EXPECT_EQ(lines[2], "20");   // Delay
  EXPECT_EQ(lines[15], "0");
  EXPECT_EQ(lines[17], "7");
  EXPECT_EQ(lines[18], "[Object]");
  EXPECT_EQ(lines[19], "0");  // slot 1 is empty here
  EXPECT_EQ(lines[18 + 26], "[Object]");
  EXPECT_EQ(lines[19 + 26], "7");  // slot 2: a text
  EXPECT_EQ(lines[19 + 26 + 16], "Text");

  // Pasting over frame 1 writes slots 1..7 and keeps slots 8 and 9.
  Put(8, project::skCircle, 1, 1);
  Put(9, project::skStar, 1, 1);
  GoTo(1);
  ed->EditMenuPopup();
  EXPECT_TRUE(P().Menu(miPasteFrame).Enabled);
  EXPECT_FALSE(P().Menu(miPasteObject).Enabled);
  ed->TBItem26Click();
  EXPECT_EQ(Frame(1).BkgrColor, project::RGB(255, 0, 0));
  EXPECT_EQ(Frame(1).Delay, 20);
  EXPECT_EQ(Slot(1, 2).Object, project::skText);
  EXPECT_EQ(Slot(1, 8).Object, project::skCircle);
  EXPECT_EQ(Slot(1, 9).Object, project::skStar);
  EXPECT_EQ(P().ActivePage, TPage::CurrentFrame);
  EXPECT_TRUE(Doc().Modified);
}

TEST_F(FrameCommandsTest, PastingSkipsARecordWithAnAlteredMarker) {
  Frames(2, 1);
  for (int s = 1; s <= 4; ++s) Put(s, project::skRectangle, 1, 1);
  for (int s = 1; s <= 4; ++s) EditSlot(1, s).X = s * 100;
  ed->TBItem25Click();
  std::string text = clipboard.Content;
  size_t third = 0;
  for (int n = 0; n < 3; ++n) third = text.find("[Object]", third + 1);
  text.replace(third, 8, "[Objekt]");
  clipboard.Content = text;
  GoTo(2);
  ed->TBItem26Click();
  EXPECT_EQ(Slot(2, 1).X, 100);
  EXPECT_EQ(Slot(2, 3).Object, project::skNone);
  EXPECT_EQ(Slot(2, 4).X, 400);
}

TEST_F(FrameCommandsTest, AFrameTextThatDoesNotReadChangesNothing) {
  Frames(2, 2);
  Put(1, project::skRectangle, 2, 2);
  project::TProjectDocument before = Doc();
  const std::string bad[] = {"[Frame]\r\n255\r\nfifty\r\n",
                             "[Frame]\r\n1\r\n2\r\n0\r\n1\r\n5\r\n6\r\n0\r\n1\r\n2\r\n1\r\n3\r\n4"
                             "\r\n5\r\n6\r\n0\r\n0\r\n2\r\n[Object]\r\n1\r\n"};
  for (const std::string& text : bad) {
    clipboard.Content = text;
    ed->TBItem26Click();
    EXPECT_EQ(Doc().Frames, before.Frames);
    EXPECT_EQ(Doc().Modified, before.Modified);
  }
  EXPECT_EQ(window.Beeps, 2);
  clipboard.Content = "[Object]\r\n";  // not a frame: nothing happens
  ed->TBItem26Click();
  EXPECT_EQ(window.Beeps, 2);
}

}  // namespace
