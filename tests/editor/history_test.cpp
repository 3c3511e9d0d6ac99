// Undo and redo: every kind of command goes back to exactly the earlier
// document and forward to the later one; typing and dragging are one step;
// the modified flag follows the saved state.
#include "editor_fixture.h"
#include "support/pictures.h"

namespace {

using namespace editor;
using project::TEditMode;
using vtest::EditorTest;

struct TState {
  project::TMovieSettings Settings;
  std::vector<project::TFrameRec> Frames;
  int32_t FrameCount = 0, Current = 0;
  int Object = 0;
  bool operator==(const TState&) const = default;
};

class HistoryTest : public EditorTest {
 protected:
  HistoryTest() {
    Doc().SetFrameCount(6);
    Put(1, project::skRectangle, 1, 6);
    Put(2, project::skText, 2, 5);
    Put(3, project::skButton, 1, 3);
    EditSlot(3, 1).X = 40;
    file_ = Dir() + "/pic.jpg";  // a real picture: pictures are checked before they are taken
    const vtest::Bytes jpeg = vtest::MakeJpeg(4, 4, false);
    std::ofstream(file_, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    GoTo(3);
    Select(3);
    Doc().Modify(false);
  }
  TState State() {
    return {Doc().Settings, Doc().Frames, Doc().FrameCount, Doc().CurrentFrame,
            ed->CurrentObject()};
  }
  const std::string& Dir() {
    if (dir_.empty()) dir_ = vtest::TestTempDir();
    return dir_;
  }
  std::string file_;

 private:
  std::string dir_;
};

TEST_F(HistoryTest, EveryKindOfCommandIsUndoneAndRedoneExactly) {
  struct Row {
    const char* name;
    std::function<void()> setup;  // not part of the step
    std::function<void()> run;    // one command
  };
  auto none = [] {};
  auto all = [this] { SetMode(TEditMode::emAllFrames); };
  auto text = [this] { Select(2); };
  auto color = [this](project::TColor c, int tag) {
    return [this, c, tag] {
      prompts.PickColor(c);
      ed->RzColorDlgClick(tag);
    };
  };
  const Row rows[] = {
      {"X in animation mode", none, [&] { ed->SetText(SE11, "90"); }},
      {"angle in all frames", all, [&] { ed->SetText(SE7, "30"); }},
      {"width grows the stage", none, [&] { ed->SetText(CWidth, "600"); }},
      {"delay", none, [&] { ed->SetText(CDelay, "400"); }},
      {"gradient switch", none, [&] { ed->SetChecked(ChBox1, true); }},
      {"fill style", [&] { Select(1); }, [&] { ed->SetItemIndex(CBox8, 2); }},
      {"bevel over the movie", none, [&] { ed->SetText(SE20, "5"); }},
      {"link", all, [&] { ed->SetText(EURL, "http://v"); }},
      {"text", text, [&] { ed->SetText(EText, "Hi"); }},
      {"spacing", text, [&] { ed->SetText(SE9, "9"); }},
      {"font", text,
       [&] {
         prompts.Fonts.push_back(TFontChoice{"Mono", 20, 5, true, true});
         ed->RZB1Click();
       }},
      {"movie background", none, color(project::RGB(0, 0, 255), 2)},
      {"frame colour", none, color(project::RGB(0, 90, 0), 13)},
      {"border colour", [&] { all(), ed->SetChecked(ChBox3, true); },
       color(project::RGB(0, 90, 0), 10)},
      {"object colour", none, color(project::RGB(0, 90, 0), 4)},
      {"insert a frame", none, [&] { ed->RzInsertClick(); }},
      {"remove a frame", none, [&] { ed->RzDeleteClick(); }},
      {"reverse", none, [&] { ed->RzReverseClick(); }},
      {"move a frame", none, [&] { ed->MoveFrame(3, 5); }},
      {"fewer frames", none, [&] { prompts.Numbers.push_back("2"), ed->CFramesChange(); }},
      {"more frames", none, [&] { prompts.Numbers.push_back("9"), ed->CFramesChange(); }},
      {"frames before the first", none,
       [&] {
         prompts.Numbers.push_back("2");
         ed->TBItem23Click(TInsertWhere::BeforeFirst);
       }},
      {"frames after the current", none,
       [&] {
         prompts.Numbers.push_back("2");
         ed->TBItem23Click(TInsertWhere::AfterCurrent);
       }},
      {"remove a range", none,
       [&] {
         prompts.Ranges.push_back(std::make_pair("2", "4"));
         ed->TBItem24Click();
       }},
      {"paste a frame", [&] { GoTo(1), ed->TBItem25Click(), GoTo(4); },
       [&] { ed->TBItem26Click(); }},
      {"new shape", none,
       [&] {
         prompts.Ranges.push_back(std::make_pair("2", "5"));
         ed->btnNewShapeClick(project::skStar);
       }},
      {"new picture", none,
       [&] {
         prompts.Files.push_back(file_);
         prompts.Ranges.push_back(std::make_pair("1", "6"));
         ed->btnPictureClick(TPictureButton::NewPicture);
       }},
      {"remove an object", none, [&] { ed->btnClearShapeLayerClick(); }},
      {"paste an object", [&] { ed->TBItem18Click(); }, [&] { ed->TBItem19Click(); }},
      {"replace a glyph", none,
       [&] {
         prompts.Files.push_back(file_);
         ed->btnReplacePictureClick();
       }},
      {"clear a glyph", [&] { EditSlot(3, 3).Text = "x.bmp"; },
       [&] { ed->btnClearPictureClick(); }},
      {"button sound", none,
       [&] {
         prompts.Files.push_back(file_);
         ed->btnReplaceSoundEvClick(TSoundButton::ButtonSound);
       }},
      {"background sound", none,
       [&] {
         prompts.Files.push_back(file_);
         ed->btnReplaceSoundEvClick(TSoundButton::BackgroundSound);
       }},
      {"bitmap fill", [&] { Select(1), ed->SetItemIndex(CBox8, 4); },
       [&] {
         prompts.Files.push_back(file_);
         ed->btnPictureClick(TPictureButton::FillBitmap);
       }},
      {"drag",
       [&] {
         ed->SWF1MouseMove(70, 5);
         ed->SWF1MouseDown(70, 5);
       },
       [&] {
         ed->SWF1MouseMove(80, 20);
         ed->SWF1MouseMove(90, 30);
         ed->SWF1MouseUp();
       }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetMode(TEditMode::emAnimation);
    GoTo(3);
    Select(3);
    r.setup();
    TState before = State();
    size_t steps = ed->History().StepCount();
    r.run();
    TState after = State();
    ASSERT_FALSE(after == before) << "the command changed nothing";
    EXPECT_EQ(ed->History().StepCount(), steps + 1);
    GoTo(1);  // undo also brings back the frame and the object of the command
    ed->Undo();
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(Doc().CurrentFrame, before.Current);
    EXPECT_EQ(ed->CurrentObject(), before.Object);
    ed->Redo();
    EXPECT_TRUE(State() == after);
    ed->Undo();
    EXPECT_TRUE(State() == before);
  }
}

TEST_F(HistoryTest, TypingIntoOneFieldIsOneStepUntilTheFieldIsLeft) {
  for (const char* t : {"1", "12", "123"}) ed->SetText(SE12, t);
  EXPECT_EQ(ed->History().StepCount(), 1u);
  ed->FieldExit(SE12);
  ed->SetText(SE12, "12");
  ed->SetText(SE11, "7");
  EXPECT_EQ(ed->History().StepCount(), 3u);
  EXPECT_TRUE(P().Menu(miUndo).Enabled);
  EXPECT_FALSE(P().Menu(miRedo).Enabled);
  ed->Undo();
  ed->Undo();
  EXPECT_EQ(Slot(3, 3).Y, 123);
  EXPECT_TRUE(P().Menu(miRedo).Enabled);
  ed->Undo();
  EXPECT_EQ(Slot(3, 3).Y, 1);
  EXPECT_FALSE(P().Menu(miUndo).Enabled);
  // A new command drops what could have been redone.
  ed->SetText(SE7, "5");
  EXPECT_FALSE(ed->History().CanRedo());
}

TEST_F(HistoryTest, ModifiedFollowsTheSavedState) {
  ed->SetText(CDelay, "100");
  ed->FieldExit(CDelay);
  prompts.Files.push_back(Dir() + "/h.sw0");
  ed->RzSaveasClick();
  EXPECT_FALSE(Doc().Modified);
  EXPECT_TRUE(ed->History().CanUndo());  // saving keeps the history
  ed->SetText(CDelay, "200");            // after a save, typing starts a new step
  EXPECT_TRUE(Doc().Modified);
  ed->Undo();
  EXPECT_FALSE(Doc().Modified);
  EXPECT_EQ(Frame(3).Delay, 100);
  ed->Undo();
  EXPECT_TRUE(Doc().Modified);
  EXPECT_EQ(P().Caption, "h.sw0*");
  ed->Redo();
  EXPECT_FALSE(Doc().Modified);
  EXPECT_EQ(P().Caption, "h.sw0");
  ed->Undo();
  ed->SetText(SE7, "9");  // the saved state can no longer be reached
  ed->Undo();
  EXPECT_TRUE(Doc().Modified);

  Doc().Modify(false);
  ed->RzNewClick();
  EXPECT_FALSE(ed->History().CanUndo());
}

TEST_F(HistoryTest, TheHistoryKeepsTheLastHundredSteps) {
  for (int i = 0; i < 120; ++i) {
    ed->SetText(SE7, std::to_string(i % 50));
    ed->FieldExit(SE7);
  }
  EXPECT_EQ(ed->History().StepCount(), THistory::MaxSteps);
  while (ed->History().CanUndo()) ed->Undo();
  EXPECT_EQ(Slot(3, 3).Angle, 19);  // the value before the oldest kept step
  EXPECT_TRUE(Doc().Modified);
}

TEST_F(HistoryTest, AnUndoWhosePreviewFailsIsTakenBack) {
  ed->SetText(SE11, "90");
  TState after = State();
  builder.Fail = true;
  ed->Undo();
  EXPECT_TRUE(State() == after);
  EXPECT_TRUE(ed->History().CanUndo());
  EXPECT_EQ(window.Beeps, 1);
}

}  // namespace
