// Object commands and the canvas: new objects, removal, the object
// clipboard, images and sounds, pointing, selecting, dragging and keys.
#include "editor_fixture.h"
#include "support/pictures.h"

namespace {

using namespace editor;
using project::TEditMode;
using vtest::EditorTest;

class ObjectCommandsTest : public EditorTest {
 protected:
  std::vector<int32_t> FramesWith(int slot) {
    std::vector<int32_t> frames;
    for (int32_t i = 1; i <= Doc().FrameCount; ++i)
      if (Slot(i, slot).Object != project::skNone) frames.push_back(i);
    return frames;
  }
  std::vector<int32_t> Range(int32_t a, int32_t b) {
    std::vector<int32_t> r;
    for (int32_t i = a; i <= b; ++i) r.push_back(i);
    return r;
  }
  // The test's own folder, made once.
  const std::string& Dir() {
    if (dir_.empty()) dir_ = vtest::TestTempDir();
    return dir_;
  }
  std::string TempPath(const std::string& name) {
    std::ofstream(Dir() + "/" + name) << "x";
    return Dir() + "/" + name;
  }
  // A small JPEG: pictures are checked before they are taken.
  std::string PicturePath(const std::string& name) {
    const vtest::Bytes jpeg = vtest::MakeJpeg(4, 4, false);
    std::ofstream(Dir() + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    return Dir() + "/" + name;
  }

 private:
  std::string dir_;
};

TEST_F(ObjectCommandsTest, AnimationModeAsksForTheTargetFrames) {
  GoTo(5);
  prompts.Ranges.push_back(std::make_pair("5", "20"));
  ed->btnNewShapeClick(project::skRectangle);
  const TLimitsDialog& seen = prompts.RangeDialogsSeen.back();
  EXPECT_EQ(seen.Caption, "Specifying the Target Frames");
  EXPECT_EQ(seen.Info, "Object 1 - Rectangle will be inserted into the frames:");
  EXPECT_EQ(seen.From, "5");
  EXPECT_EQ(seen.To, "20");
  EXPECT_EQ(FramesWith(1), Range(5, 20));
  EXPECT_EQ(Doc().CurrentFrame, 5);
  EXPECT_EQ(ed->CurrentObject(), 1);
  EXPECT_EQ(P().ActivePage, TPage::Objects);
  EXPECT_TRUE(Doc().Modified);

  prompts.Ranges.push_back(std::make_pair("8", "12"));
  ed->btnNewShapeClick(project::skEllipse);
  EXPECT_EQ(FramesWith(2), Range(8, 12));
  EXPECT_EQ(Doc().CurrentFrame, 8);
  // Frame 8 lists slots 1 and 2: the new object is the current one.
  EXPECT_EQ(ed->CurrentObject(), 2);

  prompts.Ranges.push_back(std::make_pair("9", "3"));  // creates nothing
  ed->btnNewShapeClick(project::skDiamond);
  EXPECT_TRUE(FramesWith(3).empty());
  EXPECT_EQ(Doc().CurrentFrame, 9);

  prompts.Ranges.push_back(std::nullopt);
  project::TProjectDocument before = Doc();
  ed->btnNewShapeClick(project::skStar);
  EXPECT_EQ(Doc().Frames, before.Frames);
}

TEST_F(ObjectCommandsTest, OtherModesAskForConfirmation) {
  SetMode(TEditMode::emAllFrames);
  GoTo(6);
  ed->btnNewShapeClick(project::skCircle);
  EXPECT_EQ(prompts.Messages.back().Text,
            "Object 1 - Circle will be inserted to all of the frames.");
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Information);
  EXPECT_EQ(prompts.Messages.back().Buttons, TMsgButtons::OkCancel);
  EXPECT_EQ(FramesWith(1), Range(1, 20));
  EXPECT_EQ(Doc().CurrentFrame, 1);

  SetMode(TEditMode::emLocked);
  GoTo(3);
  prompts.Answers.push_back(TMsgResult::Cancel);
  ed->btnNewShapeClick(project::skText);
  EXPECT_EQ(prompts.Messages.back().Text, "Object 2 - Text will be inserted into frame 3.");
  EXPECT_TRUE(FramesWith(2).empty());
  ed->btnNewShapeClick(project::skText);
  EXPECT_EQ(FramesWith(2), Range(3, 3));
}

TEST_F(ObjectCommandsTest, NewObjectsTakeTheLowestSlotFreeInEveryFrame) {
  Put(1, project::skRectangle, 20, 20);
  prompts.Ranges.push_back(std::make_pair("1", "1"));
  ed->btnNewShapeClick(project::skRectangle);
  EXPECT_EQ(FramesWith(2), Range(1, 1));

  for (int s = 1; s <= 255; ++s) EditSlot(1 + s % 20, s).Object = project::skEllipse;
  project::TProjectDocument before = Doc();
  ed->btnNewShapeClick(project::skRectangle);
  clipboard.Content = "[Object]\r\n1\r\n";
  ed->TBItem19Click();
  EXPECT_EQ(prompts.Messages.back().Text,
            "Could not add a new object. The maximal number of objects is 255.");
  EXPECT_EQ(prompts.Messages.size(), 2u);
  EXPECT_EQ(Doc().Frames, before.Frames);
}

TEST_F(ObjectCommandsTest, PicturesGetTheirFileInTheFramesTheModeReaches) {
  std::string file = PicturePath("photo.jpg");
  SetMode(TEditMode::emLocked);
  GoTo(4);
  prompts.Files.push_back(file);
  prompts.Ranges.push_back(std::make_pair("2", "6"));
  ed->btnPictureClick(TPictureButton::NewPicture);
  EXPECT_EQ(prompts.FileRequests.back().Filter,
            "All supported Graphic Files|*.jpg;*.jpeg;*.bmp|Bitmaps (*.BMP)|*.bmp|JPEG (*.JPG; "
            "*.JPEG; *.JPE; *.JFIF; *.JIF)|*.jpg;*.jpeg");
  EXPECT_EQ(FramesWith(1), Range(4, 4));
  EXPECT_EQ(Slot(4, 1).Text, file);
  EXPECT_EQ(Slot(3, 1).Text, "");
  EXPECT_EQ(ed->PictureDir, Dir());
  EXPECT_EQ(ed->CurrentObject(), 1);
  EXPECT_EQ(Doc().CurrentFrame, 4);

  SetMode(TEditMode::emAnimation);
  prompts.Files.push_back(file);
  prompts.Ranges.push_back(std::make_pair("2", "6"));
  ed->btnPictureClick(TPictureButton::NewButton);
  EXPECT_EQ(prompts.FileRequests.back().Filter, "Bitmaps (*.BMP)|*.bmp");
  EXPECT_EQ(FramesWith(2), Range(2, 6));
  for (int32_t i = 1; i <= 20; ++i) EXPECT_EQ(Slot(i, 2).Text, file) << i;
  EXPECT_EQ(ed->CurrentObject(), 2);
}

TEST_F(ObjectCommandsTest, RemovingAnObject) {
  Put(1, project::skRectangle, 1, 20);
  Put(2, project::skStar, 1, 5);
  Put(3, project::skCircle, 1, 1);
  Select(2);
  prompts.Answers.push_back(TMsgResult::No);
  ed->btnClearShapeLayerClick();
  EXPECT_EQ(prompts.Messages.back().Text,
            "Object 2 - Star will be removed from all frames. Continue?");
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Question);
  EXPECT_EQ(FramesWith(2), Range(1, 5));
  ed->btnClearShapeLayerClick();
  EXPECT_TRUE(FramesWith(2).empty());
  EXPECT_EQ(ed->CurrentObject(), 3);  // the selection kept its position

  SetMode(TEditMode::emLocked);
  ed->btnClearShapeLayerClick();  // the last entry: the first is selected
  EXPECT_EQ(prompts.Messages.back().Text,
            "Object 3 - Circle will be removed from the current frame. Continue?");
  EXPECT_EQ(ed->CurrentObject(), 1);
  GoTo(2);
  ed->btnClearShapeLayerClick();
  std::vector<int32_t> rest = Range(1, 20);
  rest.erase(rest.begin() + 1);
  EXPECT_EQ(FramesWith(1), rest);
  EXPECT_EQ(C(CBox7).ItemIndex, -1);
  EXPECT_FALSE(C(btnClearShapeLayer).Enabled);
}

TEST_F(ObjectCommandsTest, CopyAndPasteAnObject) {
  Put(4, project::skStar, 1, 1);
  project::TShapeRec& star = EditSlot(1, 4);
  star.X = 100;
  star.Y = 40;
  star.Color = project::RGB(1, 2, 3);
  star.URL = "http://x";
  ed->DAT(false);
  ed->TBItem18Click();
  ASSERT_EQ(clipboard.Content.substr(0, 10), "[Object]\r\n");
  ed->EditMenuPopup();
  EXPECT_TRUE(P().Menu(miPasteObject).Enabled);

  ed->TBItem19Click();
  project::TShapeRec expected = Slot(1, 4);
  expected.X = expected.Y = 30;
  for (int32_t i = 1; i <= 20; ++i) EXPECT_EQ(Slot(i, 1), expected) << i;
  EXPECT_EQ(ed->CurrentObject(), 1);

  SetMode(TEditMode::emLocked);
  GoTo(3);
  ed->TBItem19Click();
  EXPECT_EQ(FramesWith(2), Range(3, 3));

  // A record naming no object kind, or cut short, changes nothing.
  project::TProjectDocument before = Doc();
  std::string text = clipboard.Content;
  clipboard.Content = "[Object]\r\n12" + text.substr(text.find("\r\n", 10));
  ed->TBItem19Click();
  clipboard.Content = text.substr(0, text.size() / 2);
  ed->TBItem19Click();
  EXPECT_EQ(Doc().Frames, before.Frames);
  EXPECT_EQ(window.Beeps, 2);
}

TEST_F(ObjectCommandsTest, PointingFindsTheHighestObjectUnderThePointer) {
  Put(2, project::skRectangle, 1, 1);  // (1, 1) 60 x 30
  Put(5, project::skRectangle, 1, 1);
  EditSlot(1, 5).X = 40;
  Put(7, project::skCircle, 1, 1);
  EditSlot(1, 7).X = EditSlot(1, 7).Y = 50;
  EditSlot(1, 7).Radius = 10;
  Put(9, project::skStar, 1, 1);  // centre (30, 30), outer radius 30
  EditSlot(1, 9).X = 300;
  struct Row {
    int32_t x, y;
    int slot;
  };
  const Row rows[] = {{10, 10, 2}, {45, 10, 5}, {41, 41, 7},  {40, 50, 0},
                      {1, 10, 0},  {61, 10, 5}, {329, 59, 9}, {330, 30, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y));
    EXPECT_EQ(ed->HitTest(r.x, r.y), r.slot);
  }
  ed->SWF1MouseMove(45, 10);
  EXPECT_EQ(P().StatusPanes[3], "Object 5 - Rectangle");
  EXPECT_EQ(P().Cursor, TCursor::HandPoint);
  ed->SWF1MouseMove(500, 50);
  EXPECT_EQ(P().StatusPanes[3], ed->ModeHint());
  EXPECT_EQ(P().Cursor, TCursor::Arrow);
}

TEST_F(ObjectCommandsTest, PressingSelectsAndHighlightsAndPressingBesideClearsIt) {
  Put(1, project::skRectangle, 1, 1);
  Put(2, project::skEllipse, 1, 1);
  EditSlot(1, 2).X = 200;
  ed->DAT(false);
  ed->SWF1MouseMove(210, 10);
  ed->SWF1MouseDown(210, 10);
  EXPECT_TRUE(ed->Dragging());
  EXPECT_EQ(ed->CurrentObject(), 2);
  EXPECT_TRUE(Doc().SelectedSlots.test(2));
  EXPECT_EQ(P().ActivePage, TPage::Objects);
  ed->SWF1MouseUp();
  ed->SWF1MouseDown(500, 50);
  EXPECT_FALSE(Doc().SelectedSlots.test(2));
  EXPECT_EQ(ed->CurrentObject(), 2);
  ed->SWF1MouseDown(500, 50);  // nothing highlighted: no refresh enables them again
  EXPECT_FALSE(P().Menu(miCopyObject).Enabled);
  EXPECT_FALSE(P().Menu(miDeleteObject).Enabled);
}

// The canvas outlines the selected object where the movie shows it: around
// a circle's or star's centre, and turned about the anchor with the object.
TEST_F(ObjectCommandsTest, SelectionOutlineLiesAroundTheObjectAsShown) {
  struct Row {
    const char* name;
    project::TShapeKind kind;
    int32_t x, y, w, h, radius, angle;
    TOutline corners;  // top-left, top-right, bottom-right, bottom-left before turning
  } rows[] = {
      // clang-format off
      {"rectangle", project::skRectangle, 1, 1, 60, 30, 0, 0, {{{1, 1}, {61, 1}, {61, 31}, {1, 31}}}},
      {"circle", project::skCircle, 50, 50, 0, 0, 10, 0, {{{40, 40}, {60, 40}, {60, 60}, {40, 60}}}},
      {"star", project::skStar, 30, 30, 30, 12, 5, 0, {{{0, 0}, {60, 0}, {60, 60}, {0, 60}}}},
      {"turned 90", project::skRectangle, 10, 20, 30, 10, 0, 90,
       {{{10, 20}, {10, -10}, {20, -10}, {20, 20}}}},
      {"turned -90", project::skEllipse, 10, 20, 30, 10, 0, -90,
       {{{10, 20}, {10, 50}, {0, 50}, {0, 20}}}},
      // clang-format on
  };
  int slot = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Put(++slot, r.kind, 1, 2);
    project::TShapeRec& s = EditSlot(1, slot);
    s.X = r.x, s.Y = r.y, s.W = r.w, s.H = r.h, s.Radius = r.radius, s.Angle = r.angle;
    ASSERT_TRUE(Select(slot));
    if (!Doc().SelectedSlots.test(size_t(slot))) ed->CBox7Change(true);  // it was current already
    ASSERT_TRUE(Doc().SelectedSlots.test(size_t(slot)));
    const std::vector<TOutline> outlines = ed->SelectionOutlines();
    ASSERT_EQ(outlines.size(), 1u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(outlines[0][size_t(i)].X, r.corners[size_t(i)].X, 1e-9) << "corner " << i;
      EXPECT_NEAR(outlines[0][size_t(i)].Y, r.corners[size_t(i)].Y, 1e-9) << "corner " << i;
    }
  }
  ed->Panel1MouseDown();  // pressing beside the objects clears the selection
  EXPECT_TRUE(ed->SelectionOutlines().empty());
}

TEST_F(ObjectCommandsTest, DraggingMovesThroughTheEditModeAsOneStep) {
  Doc().SetFrameCount(4);
  Put(1, project::skRectangle, 1, 4);
  size_t steps = ed->History().StepCount();
  ed->SWF1MouseMove(10, 10);
  ed->SWF1MouseDown(10, 10);
  for (int32_t x = 11; x <= 40; ++x) ed->SWF1MouseMove(x, 12);
  ed->SWF1MouseUp();
  // On the object's first frame the later frames follow.
  EXPECT_EQ(SlotX(1), (std::vector<int32_t>{31, 31, 31, 31}));
  EXPECT_EQ(Slot(4, 1).Y, 3);
  EXPECT_EQ(ed->History().StepCount(), steps + 1);
  ed->Undo();
  EXPECT_EQ(SlotX(1), (std::vector<int32_t>{1, 1, 1, 1}));
  EXPECT_EQ(Slot(4, 1).Y, 1);

  // In a later frame the path bends through the new place.
  GoTo(3);
  ed->SWF1MouseMove(10, 10);
  ed->SWF1MouseDown(10, 10);
  ed->SWF1MouseMove(70, 10);
  ed->SWF1MouseUp();
  EXPECT_EQ(SlotX(1), (std::vector<int32_t>{1, 31, 61, 1}));

  SetMode(TEditMode::emAllFrames);
  ed->SWF1MouseMove(70, 10);
  ed->SWF1MouseDown(70, 10);
  ed->SWF1MouseMove(40, 10);
  ed->SWF1MouseUp();
  EXPECT_EQ(SlotX(1), (std::vector<int32_t>{31, 31, 31, 31}));
}

TEST_F(ObjectCommandsTest, ImagesInsideTheProgramFolderAreStoredRelativeToIt) {
  std::string program = Dir() + "/program/";
  std::filesystem::create_directories(program + "Buttons");
  std::filesystem::copy_file(PicturePath("arrow.bmp"), program + "Buttons/arrow.bmp");
  Doc().ProgramDir = program;
  Put(1, project::skButton, 1, 2);
  prompts.Files.push_back(program + "Buttons/arrow.bmp");
  ed->btnReplacePictureClick();
  EXPECT_EQ(prompts.FileRequests.back().InitialDir, program + "Buttons");
  EXPECT_EQ(Slot(1, 1).Text, "Buttons\\arrow.bmp");
  EXPECT_EQ(Slot(2, 1).Text, "Buttons\\arrow.bmp");
  EXPECT_EQ(C(EPL1).Text, "Buttons\\arrow.bmp");

  // The next dialog starts with the stored file, found in the program folder.
  ed->btnReplacePictureClick();
  EXPECT_EQ(prompts.FileRequests.back().FileName, program + "Buttons/arrow.bmp");

  SetMode(TEditMode::emLocked);
  ed->btnClearPictureClick();
  EXPECT_EQ(Slot(1, 1).Text, "");
  EXPECT_EQ(Slot(2, 1).Text, "Buttons\\arrow.bmp");
}

TEST_F(ObjectCommandsTest, SoundsOfButtonsAndOfTheMovie) {
  std::string sound = TempPath("ding.wav");
  Put(1, project::skButton, 1, 3);
  prompts.Files.push_back(sound);
  int builds = builder.FrameBuilds;
  ed->btnReplaceSoundEvClick(TSoundButton::ButtonSound);
  EXPECT_EQ(prompts.FileRequests.back().Filter,
            "All supported Sound Files|*.wav;*.mp3|Wave-Files (*.wav)|*.wav|MP3 Files (*.mp3)|*.mp3");
  for (int32_t i = 1; i <= 20; ++i) EXPECT_EQ(Slot(i, 1).SoundEv, sound) << i;
  EXPECT_EQ(C(EPL3).Text, sound);
  EXPECT_EQ(builder.FrameBuilds, builds);
  ed->btnClearSoundEvClick(TSoundButton::ButtonSound);
  EXPECT_EQ(Slot(2, 1).SoundEv, "");

  prompts.Files.push_back(sound);
  ed->btnReplaceSoundEvClick(TSoundButton::BackgroundSound);
  EXPECT_EQ(Doc().Settings.MBkgrSound, sound);
  EXPECT_EQ(C(EPL4).Text, sound);
  ed->btnReplaceSoundEvClick(TSoundButton::BackgroundSound);  // cancelled
  EXPECT_EQ(prompts.FileRequests.back().FileName, sound);
  ed->btnClearSoundEvClick(TSoundButton::BackgroundSound);
  EXPECT_EQ(Doc().Settings.MBkgrSound, "");
}

TEST_F(ObjectCommandsTest, KeysOfTheMainWindow) {
  Put(1, project::skRectangle, 1, 1);
  prompts.Answers.push_back(TMsgResult::No);
  EXPECT_FALSE(ed->FormKeyDown(VK_DELETE, {}, false));
  EXPECT_TRUE(prompts.Messages.empty());
  EXPECT_TRUE(ed->FormKeyDown(VK_DELETE, {}, true));
  EXPECT_EQ(prompts.Messages.size(), 1u);

  EXPECT_TRUE(ed->FormKeyDown('C', {true, false, false}, false));
  EXPECT_EQ(clipboard.Content.substr(0, 8), "[Object]");
  EXPECT_TRUE(ed->FormKeyDown('V', {true, false, false}, false));  // the menu follows the clipboard
  EXPECT_EQ(Slot(1, 2).Object, project::skRectangle);
  EXPECT_TRUE(ed->FormKeyDown('Z', {true, false, false}, false));
  EXPECT_EQ(Slot(1, 2).Object, project::skNone);
  // A project without a file yet: Save As asks for a name (the fake cancels).
  EXPECT_TRUE(ed->FormKeyDown('S', {true, false, false}, false));
  EXPECT_EQ(prompts.FileRequests.size(), 1u);
  EXPECT_FALSE(ed->FormKeyDown('C', {true, true, false}, false));
  EXPECT_TRUE(ed->FormKeyDown(VK_ESCAPE, {}, false));
  EXPECT_EQ(window.CloseRequests, 1);
}

TEST_F(ObjectCommandsTest, ChoosingAnEntryTogglesItsHighlight) {
  Put(1, project::skRectangle, 1, 1);
  Put(2, project::skRectangle, 1, 1);
  Select(2);
  EXPECT_TRUE(Doc().SelectedSlots.test(2));
  ed->SetItemIndex(CBox7, 0);
  EXPECT_FALSE(Doc().SelectedSlots.test(2));
  EXPECT_TRUE(Doc().SelectedSlots.test(1));
  ed->CBox7Change(true);
  EXPECT_TRUE(Doc().SelectedSlots.none());
}

}  // namespace
