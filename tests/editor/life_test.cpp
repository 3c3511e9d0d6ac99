// Start-up and shut-down, settings, recent files, the project commands with
// their question, preview and export, and recovery from errors.
#include "editor_fixture.h"

namespace {

using namespace editor;
using project::TEditMode;
using vtest::EditorTest;
namespace fs = std::filesystem;

class LifeTest : public EditorTest {
 protected:
  const std::string& Dir() {
    if (dir_.empty()) dir_ = vtest::TestTempDir() + "/";
    return dir_;
  }
  std::vector<std::string> Recent() {
    std::vector<std::string> r;
    for (int n = 1; n <= 5; ++n) r.push_back(settings.Values["MRUD" + std::to_string(n)]);
    return r;
  }

 private:
  std::string dir_;
};

TEST_F(LifeTest, TheFirstRunCreatesTheSettingsAndFallsBackToTheProgramFolders) {
  EXPECT_EQ(window.WindowBounds.Left, 0);  // the work area's corner
  EXPECT_EQ(window.WindowBounds.Top, 0);
  Doc().ProgramDir = Dir() + "prog/";
  fs::create_directories(Dir() + "prog/Samples");
  ed->FormShow();
  EXPECT_TRUE(settings.Exists);
  EXPECT_EQ(Doc().ProjectDir, Dir() + "prog/Samples/");
  EXPECT_EQ(ed->PictureDir, Dir() + "prog/");
  EXPECT_EQ(window.WindowBounds.Left, 0);
  EXPECT_TRUE(P().Menu(miShowTips).Checked);
  EXPECT_FALSE(P().Menu(miRecentFiles).Enabled);

  fs::remove(Dir() + "prog/Samples");
  settings.Values = {
      {"LastDir", Dir() + "gone/"}, {"L", "40"}, {"T", "30"}, {"H", "500"}, {"Tips", "false"}};
  ed->Readini();
  EXPECT_EQ(Doc().ProjectDir, Dir() + "prog/");
  EXPECT_EQ(window.WindowBounds.Left, 40);
  EXPECT_EQ(window.WindowBounds.Top, 30);
  EXPECT_EQ(window.WindowBounds.Height, 600);  // W was missing: the rest is not read
  EXPECT_TRUE(P().Menu(miShowTips).Checked);

  settings.Values = {{"LastDir", Dir()}, {"LastPictureDir", Dir() + "prog"},
                     {"L", "1"},         {"T", "2"},
                     {"W", "900"},       {"H", "700"},
                     {"Tips", "false"}};
  ed->Readini();
  EXPECT_EQ(Doc().ProjectDir, Dir());
  EXPECT_EQ(ed->PictureDir, Dir() + "prog");
  EXPECT_EQ(window.WindowBounds, (TBounds{1, 2, 900, 700}));
  EXPECT_FALSE(P().Menu(miShowTips).Checked);
}

TEST_F(LifeTest, RecentFiles) {
  for (const char* p : {"/p/1.sw0", "/p/2.sw0", "/p/3.sw0"}) ed->mrud_write(p);
  ed->mrud_write("/p/1.sw0");  // already listed: stays where it is
  EXPECT_EQ(Recent(), (std::vector<std::string>{"/p/3.sw0", "/p/2.sw0", "/p/1.sw0", "", ""}));
  ed->mrud_write("/P/2.SW0");
  EXPECT_EQ(Recent()[0], "/p/3.sw0");
  for (const char* p : {"/p/4.sw0", "/p/5.sw0", "/p/6.sw0"}) ed->mrud_write(p);
  EXPECT_EQ(Recent(),
            (std::vector<std::string>{"/p/6.sw0", "/p/5.sw0", "/p/4.sw0", "/p/3.sw0", "/p/2.sw0"}));
  settings.Values = {{"MRUD1", "/a.sw0"}, {"MRUD2", "/b.sw0"}};
  ed->mrud_read();
  EXPECT_TRUE(P().Menu(miRecentFiles).Enabled);
  EXPECT_EQ(P().Menu(miRecent2).Caption, "&2 /b.sw0");
  EXPECT_TRUE(P().Menu(miRecent2).Visible);
  EXPECT_FALSE(P().Menu(miRecent3).Visible);
  EXPECT_EQ(P().Menu(miRecent3).Caption, "");
}

TEST_F(LifeTest, SaveAsOpenAndTheRecentFilesMenu) {
  Put(1, project::skStar, 1, 1);
  Doc().ProjectDir = Dir();
  prompts.Files.push_back(Dir() + "banner");
  ed->RzSaveasClick();
  const TFileDialogRequest& request = prompts.FileRequests.back();
  EXPECT_EQ(request.Filter, "sw0 - Vellumet Project Format|*.sw0");
  EXPECT_EQ(request.DefaultExt, ".sw0");
  EXPECT_TRUE(request.OverwritePrompt);
  EXPECT_EQ(request.FileName, "untitled");
  EXPECT_TRUE(fs::exists(Dir() + "banner.sw0"));
  EXPECT_EQ(Doc().ProjectFileName, Dir() + "banner.sw0");
  EXPECT_EQ(P().Caption, "banner.sw0");
  EXPECT_TRUE(P().Menu(miSaveProject).Enabled);
  EXPECT_EQ(Recent()[0], Dir() + "banner.sw0");

  ed->RzNewClick();
  EXPECT_TRUE(C(CBox7).Items.empty());
  prompts.Files.push_back(Dir() + "banner.sw0");
  ed->RzOpenClick();
  EXPECT_EQ(prompts.FileRequests.back().InitialDir, Dir());
  EXPECT_EQ(Slot(1, 1).Object, project::skStar);
  EXPECT_EQ(ed->EditMode(), TEditMode::emLocked);
  EXPECT_FALSE(Doc().Modified);
  EXPECT_FALSE(ed->JustOpened());
  EXPECT_FALSE(ed->History().CanUndo());
  EXPECT_EQ(P().StatusPanes[1].substr(0, 13), "Frame 1 of 20");

  prompts.Files.push_back(Dir() + "missing.sw0");
  ed->RzOpenClick();
  EXPECT_EQ(prompts.Messages.back().Text, "Error reading the file " + Dir() + "missing.sw0");
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Error);
  EXPECT_EQ(Doc().ProjectFileName, Dir() + "banner.sw0");
}

TEST_F(LifeTest, TheUnsavedChangesQuestion) {
  ed->SetText(CDelay, "70");
  prompts.Answers.push_back(TMsgResult::Cancel);
  ed->RzNewClick();
  EXPECT_EQ(prompts.Messages.back().Text, "Project untitled.sw0 has been modified. Save it?");
  EXPECT_EQ(prompts.Messages.back().Buttons, TMsgButtons::YesNoCancel);
  EXPECT_EQ(Frame(1).Delay, 70);

  // Yes, but the save dialog is cancelled: the project is kept.
  prompts.Answers.push_back(TMsgResult::Yes);
  ed->RzNewClick();
  EXPECT_EQ(Frame(1).Delay, 70);
  EXPECT_TRUE(Doc().Modified);

  prompts.Answers.push_back(TMsgResult::No);
  ed->RzNewClick();
  EXPECT_EQ(Frame(1).Delay, 50);
  EXPECT_FALSE(Doc().Modified);

  ed->SetText(CDelay, "80");
  prompts.Answers.push_back(TMsgResult::Yes);
  prompts.Files.push_back(Dir() + "kept.sw0");
  ed->RzNewClick();
  EXPECT_TRUE(fs::exists(Dir() + "kept.sw0"));
  EXPECT_EQ(Frame(1).Delay, 50);
}

TEST_F(LifeTest, AFailedSaveSaysSoAndKeepsTheProjectModified) {
  ed->SetText(CDelay, "70");
  prompts.Files.push_back(Dir() + "no/such/folder/x.sw0");
  ed->RzSaveasClick();
  EXPECT_EQ(prompts.Messages.back().Text,
            "Error writing the file " + Dir() + "no/such/folder/x.sw0");
  EXPECT_TRUE(Doc().Modified);
  EXPECT_EQ(P().Caption, "untitled.sw0*");
  EXPECT_FALSE(P().Menu(miSaveProject).Enabled);
}

TEST_F(LifeTest, ClosingAsksOnlyAboutUnsavedChangesAndWritesTheSettings) {
  EXPECT_TRUE(ed->FormClose());
  EXPECT_TRUE(prompts.Messages.empty());
  EXPECT_FALSE(settings.Exists);  // never read: the key does not exist yet
  ed->FormShow();
  EXPECT_TRUE(ed->FormClose());
  EXPECT_EQ(settings.Values["W"], "800");
  EXPECT_EQ(settings.Values["Tips"], "true");

  ed->SetText(CDelay, "70");
  prompts.Answers.push_back(TMsgResult::Cancel);
  EXPECT_FALSE(ed->FormClose());
  prompts.Answers.push_back(TMsgResult::No);
  EXPECT_TRUE(ed->FormClose());
}

TEST_F(LifeTest, TheCommandLineProjectOpensOnceAtTheFirstActivation) {
  prompts.Files.push_back(Dir() + "cmd.sw0");
  ed->RzSaveasClick();
  vtest::TFakeWindow w2;
  vtest::TFakePrompts p2;
  TEditor second({w2, p2, clipboard, settings, player, preview, builder, measurer});
  second.FormCreate({Dir() + "cmd.sw0"});
  EXPECT_EQ(second.Doc().ProjectFileName, "untitled.sw0");
  second.FormShow();
  second.FormActivate();
  EXPECT_EQ(second.Doc().ProjectFileName, Dir() + "cmd.sw0");
  second.RzNewClick();
  second.FormActivate();
  EXPECT_EQ(second.Doc().ProjectFileName, Dir() + "untitled.sw0");
}

TEST_F(LifeTest, PreviewAndExport) {
  ed->RzStartClick();
  ASSERT_EQ(preview.Shown.size(), 1u);
  const TPreviewRequest& shown = preview.Shown[0];
  EXPECT_EQ(shown.Width, 468);
  EXPECT_EQ(shown.BackgroundColor, 0xFFFFFFu);
  EXPECT_EQ(shown.SiteColor, 0x008080u);
  EXPECT_EQ(shown.Status, "File Size: 9 bytes");
  ASSERT_NE(shown.Document, nullptr);  // a copy: the size view measures it off the window thread
  EXPECT_NE(shown.Document.get(), &ed->Doc());
  EXPECT_EQ(shown.SwfFrames.size(), size_t(ed->Doc().FrameCount));
  EXPECT_EQ(P().StatusPanes[0], "OK");
  std::string movie = shown.MoviePath;
  EXPECT_TRUE(fs::exists(movie));

  prompts.Files.push_back(Dir() + "banner");
  ed->SaveSWF();
  EXPECT_EQ(prompts.FileRequests.back().FileName, "untitled");
  EXPECT_EQ(prompts.FileRequests.back().Filter, "SWF Flash (*.swf)|*.swf");
  EXPECT_TRUE(fs::exists(Dir() + "banner.swf"));
  EXPECT_EQ(builder.Pages.back(), Dir() + "banner.html");
  EXPECT_EQ(window.Opened.back(), Dir() + "banner.html");
  EXPECT_EQ(prompts.Messages.back().Text, "File banner.swf has been successfully created!");
  EXPECT_FALSE(preview.Open);
  EXPECT_FALSE(fs::exists(movie));

  // Without a save button in the preview the export follows at once.
  preview.SaveButton = false;
  prompts.Files.push_back(Dir() + "second.SWF");
  ed->RzStartClick();
  EXPECT_TRUE(fs::exists(Dir() + "second.SWF"));
  EXPECT_EQ(builder.Pages.back(), Dir() + "second.html");
}

// A desktop that cannot start the browser: help and the exported test page
// are named, so the user can open them by hand.
TEST_F(LifeTest, ABrowserThatDoesNotStartIsReportedWithThePage) {
  window.OpensDocuments = false;
  ed->HelpFile = Dir() + "help/Vellumet.html";
  ed->TBItem15Click();
  ASSERT_FALSE(prompts.Messages.empty());
  EXPECT_NE(prompts.Messages.back().Text.find(Dir() + "help/Vellumet.html"), std::string::npos);
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Warning);

  ed->RzStartClick();
  prompts.Files.push_back(Dir() + "banner");
  ed->SaveSWF();
  EXPECT_NE(prompts.Messages.back().Text.find(Dir() + "banner.html"), std::string::npos);
}

// The canvas's note on pictures it cannot decode goes with its frame but
// never takes back a later message; the preview's goes to its own pane.
TEST_F(LifeTest, PicturesThePlayersCannotDecodeAreSaidWhereTheyShow) {
  ed->CanvasPicturesUndrawable(1);
  EXPECT_EQ(P().StatusPanes[0],
            "A picture in this frame cannot be shown: its data cannot be decoded. Load another "
            "file for it on the Objects page.");
  ed->CanvasPicturesUndrawable(0);
  EXPECT_EQ(P().StatusPanes[0], "");
  ed->CanvasPicturesUndrawable(2);
  ed->RzStartClick();
  ed->CanvasPicturesUndrawable(0);
  EXPECT_EQ(P().StatusPanes[0], "OK");

  ed->PreviewPicturesUndrawable(0);
  ed->PreviewPicturesUndrawable(3);
  EXPECT_EQ(preview.Messages,
            std::vector<std::string>{"3 pictures in the movie cannot be shown: their data cannot "
                                     "be decoded. Load other files for them on the Objects page."});
}

TEST_F(LifeTest, AnEditClosesThePreviewAndAFailedCopyIsReported) {
  ed->RzStartClick();
  std::string movie = preview.Shown.back().MoviePath;
  ed->SetText(CDelay, "60");
  EXPECT_FALSE(preview.Open);
  EXPECT_FALSE(fs::exists(movie));

  ed->RzStartClick();
  prompts.Files.push_back(Dir() + "no/folder/x.swf");
  ed->SaveSWF();
  EXPECT_EQ(prompts.Messages.back().Text, "Error writing the file x.swf");
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Warning);
  EXPECT_EQ(P().StatusPanes[0], "OK");
  EXPECT_TRUE(builder.Pages.empty());
  EXPECT_TRUE(preview.Open);
}

TEST_F(LifeTest, AnErrorEndsTheCommandAndLeavesTheDocumentAsItWas) {
  Put(1, project::skRectangle, 1, 20);
  Select(1);
  project::TProjectDocument before = Doc();
  builder.Fail = true;
  ed->SetText(SE11, "77");
  ed->RzInsertClick();
  prompts.Ranges.push_back(std::make_pair("1", "20"));
  ed->btnNewShapeClick(project::skCircle);
  EXPECT_EQ(window.Beeps, 3);
  EXPECT_EQ(ed->Panel().StatusPanes[0], "the build failed");  // the user learns why
  EXPECT_EQ(Doc().Frames, before.Frames);
  EXPECT_EQ(Doc().FrameCount, 20);
  EXPECT_EQ(Doc().Modified, before.Modified);
  EXPECT_EQ(C(SE11).Text, "1");
  EXPECT_FALSE(ed->Updating());
  EXPECT_FALSE(ed->History().CanUndo());

  // Going to another frame still works, so a broken frame can be mended.
  ed->RzFirstClick(TNavigate::Next);
  EXPECT_EQ(Doc().CurrentFrame, 2);
  builder.Fail = false;
  ed->SetText(SE11, "77");
  EXPECT_EQ(Slot(2, 1).X, 77);
}

TEST_F(LifeTest, APreviewTheBuildRefusesSaysWhyInAMessage) {
  builder.Fail = true;
  ed->RzStartClick();
  ASSERT_FALSE(prompts.Messages.empty());
  EXPECT_EQ(prompts.Messages.back().Text, "the build failed");
  EXPECT_EQ(prompts.Messages.back().Icon, TMsgIcon::Warning);
  EXPECT_FALSE(preview.Open);
  EXPECT_EQ(ed->Panel().StatusPanes[0], "OK");
}

TEST_F(LifeTest, BuildWarningsAreShownAndTheFrameBackgroundGoesToThePlayer) {
  builder.Warnings = {"Too many objects in the movie. Only 255 is allowed."};
  Doc().Settings.MBkgrColor = project::RGB(1, 2, 3);
  Frame(1).BkgrColor = project::RGB(1, 2, 3);
  ed->RebuildPreview();
  EXPECT_EQ(prompts.Messages.back().Text, "Too many objects in the movie. Only 255 is allowed.");
  EXPECT_EQ(player.Background, 0x010203u);
  const std::string built = "FWS-frame" + std::to_string(builder.FrameBuilds);
  EXPECT_EQ(player.Loaded, std::vector<uint8_t>(built.begin(), built.end()));
}

}  // namespace
