// Recovery copies: what a copy holds, who may find it, copies cut short,
// and the autosave that writes them without touching the document's state.
#include <cstring>
#include <filesystem>

#include "editor/autosave.h"
#include "editor/recovery_offer.h"
#include "editor/recovery_store.h"
#include "editor_fixture.h"
#include "project/project_file.h"

namespace {

using namespace editor;
namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A small project with an object and an embedded picture, as Save writes it.
project::TProjectSnapshot SmallProject(const std::string& dir) {
  project::TProjectDocument doc;
  doc.TempDir = dir;
  doc.SetFrameCount(3);
  doc.CreateEmptyShape(2, project::skPicture, 1, 3, project::TEditMode::emAllFrames);
  vtest::WriteText(dir + "logo.bmp", std::string(300, 'B'));
  doc.Frames[2].Slots.Edit(2).Text = "logo.bmp";
  doc.Settings.MainURL = "http://example.com/";
  return project::TakeSnapshot(doc);
}

class RecoveryStoreTest : public testing::Test {
 protected:
  std::string dir = vtest::TestTempDir() + "/";
  std::string folder = dir + "state/recovery/";
  TRecoveryInfo info{"/home/a/Banner, \"final\"\n%.sw0", "Banner.sw0", 1765400000, 3};
};

TEST_F(RecoveryStoreTest, ACopyHoldsTheProjectAsSaveWritesItAndIsFoundOnlyOnceItsEditorEnded) {
  project::TProjectSnapshot snapshot = SmallProject(dir);
  project::WriteProjectFile(snapshot, dir + "saved.sw0");
  auto writer = std::make_unique<TRecoveryStore>(folder);
  writer->Write(snapshot, info);
  writer->Write(snapshot, info);  // the second write replaces the first

  TRecoveryStore other(folder);
  EXPECT_TRUE(other.FindLeftCopies().empty()) << "a running editor's copy is its own";
  writer.reset();  // the editor ends without removing its copy, as a killed one does

  std::vector<TRecoveryCopy> found = other.FindLeftCopies();
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(found[0].Readable()) << found[0].Problem;
  EXPECT_EQ(found[0].Info, info);
  EXPECT_EQ(vtest::ReadText(found[0].ProjectPath), vtest::ReadText(dir + "saved.sw0"));
  EXPECT_EQ(FilesIn(folder).size(), 3u) << "lock, info and one project file";

  TRecoveryStore third(folder);
  EXPECT_TRUE(third.FindLeftCopies().empty()) << "a copy being offered is offered once";
  other.Discard(found[0]);
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(RecoveryStoreTest, RemovingTheOwnCopyLeavesNothingToOffer) {
  {
    TRecoveryStore writer(folder);
    writer.Write(SmallProject(dir), info);
    writer.RemoveOwn();
    EXPECT_FALSE(writer.HasOwnCopy());
  }
  EXPECT_TRUE(TRecoveryStore(folder).FindLeftCopies().empty());
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(RecoveryStoreTest, ACopyCutShortAtAnyByteIsOfferedAsUnreadableAndDiscardedWithoutHarm) {
  {
    TRecoveryStore writer(folder);
    writer.Write(SmallProject(dir), info);
  }
  std::string infoFile, projectFile;
  for (const std::string& name : FilesIn(folder)) {
    if (name.ends_with(".info")) infoFile = folder + name;
    if (name.ends_with(".sw0")) projectFile = folder + name;
  }
  const std::string infoBytes = vtest::ReadText(infoFile);
  const std::string projectBytes = vtest::ReadText(projectFile);
  ASSERT_GT(projectBytes.size(), 400u);
  fs::create_directories(dir + "keep");
  auto check = [&](const std::string& file, const std::string& whole, size_t cut) {
    SCOPED_TRACE(file + " cut at " + std::to_string(cut));
    fs::copy(folder, dir + "keep",
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);
    vtest::WriteText(file, whole.substr(0, cut));
    TRecoveryStore finder(folder);
    std::vector<TRecoveryCopy> found = finder.FindLeftCopies();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].Readable());
    EXPECT_FALSE(found[0].Problem.empty());
    finder.Discard(found[0]);
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_EQ(FilesIn(dir + "keep").size(), 3u) << "nothing outside the folder goes";
    fs::copy(dir + "keep", folder,
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  };
  for (size_t cut = 0; cut < infoBytes.size(); ++cut) check(infoFile, infoBytes, cut);
  for (size_t cut = 0; cut < projectBytes.size(); cut += 7) check(projectFile, projectBytes, cut);
  check(projectFile, projectBytes, projectBytes.size() - 1);
}

TEST_F(RecoveryStoreTest, ALockWithoutACopyIsTidiedAwayAndForeignFilesStay) {
  fs::create_directories(folder);
  vtest::WriteText(folder + "0123abcd.lock", "");
  vtest::WriteText(folder + ".0123abcd.1.sw0.Xy12ab", "x");  // a write that never ended
  vtest::WriteText(folder + "notes.txt", "n");
  TRecoveryStore finder(folder);
  EXPECT_TRUE(finder.FindLeftCopies().empty());
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"notes.txt"});
}

TEST(RecoveryInfo, OnlyAWholeInfoTextIsRead) {
  TRecoveryInfo info{"", "untitled.sw0", 5, 20};
  std::string text = FormatRecoveryInfo(info, "0a.1.sw0", 12, 0xdeadbeef);
  std::string project;
  uint64_t size = 0;
  uint32_t crc = 0;
  EXPECT_EQ(ParseRecoveryInfo(text, project, size, crc), info);
  EXPECT_EQ(project, "0a.1.sw0");
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(crc, 0xdeadbeefu);
  struct {
    const char* From;
    const char* To;
  } lies[] = {{"Project=0a.1.sw0", "Project=../x.sw0"},
              {"Project=0a.1.sw0", "Project=/etc/0a.1.sw0"},
              {"Frames=20", "Frames=0"},
              {"Size=12", "Size=-1"},
              {"Crc=deadbeef", "Crc=dead"},
              {"Time=5", "Time=5\nTime=6"},
              {"Name=untitled.sw0", "Name=%4"}};
  for (const auto& lie : lies) {
    SCOPED_TRACE(lie.To);
    std::string bad = text;
    bad.replace(bad.find(lie.From), std::strlen(lie.From), lie.To);
    EXPECT_FALSE(ParseRecoveryInfo(bad, project, size, crc));
  }
}

// The worker runs when the test says so, as a thread would some time later.
class TScriptedHost : public IAutosaveHost {
 public:
  std::optional<int> Timer;
  std::function<void()> Work;
  std::function<void(const std::string&)> Done;
  std::vector<std::string> Warnings;
  void StartTimer(int seconds) override { Timer = seconds; }
  void StopTimer() override { Timer.reset(); }
  void RunOnWorker(std::function<void()> work,
                   std::function<void(const std::string&)> done) override {
    Work = std::move(work);
    Done = std::move(done);
  }
  void WaitForWorker() override {
    if (Work) Work();
    Work = nullptr;
    Done = nullptr;
  }
  void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
  // The timer runs out and the worker finishes.
  void Fire(TAutosave& autosave) {
    Timer.reset();
    autosave.TimerFired();
    if (!Work) return;
    std::string error;
    try {
      Work();
    } catch (const std::exception& e) {
      error = e.what();
    }
    Work = nullptr;
    auto done = std::move(Done);
    done(error);
  }
};

class AutosaveTest : public vtest::EditorTest {
 protected:
  AutosaveTest() {
    ed->FormShow();
    Doc().TempDir = dir;
  }
  std::unique_ptr<TAutosave> MakeAutosave() {
    return std::make_unique<TAutosave>(*ed, store, host, settings);
  }
  void Edit(const std::string& delay) {
    ed->SetText(CDelay, delay);
    ed->FieldExit(CDelay);
    autosave->AfterCommand();
  }
  bool HasCopy() {
    for (const std::string& name : FilesIn(folder))
      if (name.ends_with(".info")) return true;
    return false;
  }

  std::string dir = vtest::TestTempDir() + "/";
  std::string folder = dir + "recovery/";
  TRecoveryStore store{folder};
  TScriptedHost host;
  std::unique_ptr<TAutosave> autosave = MakeAutosave();
};

TEST_F(AutosaveTest, ACopyFollowsTheLastChangeAndLeavesTheDocumentsStateAsItWas) {
  EXPECT_EQ(autosave->Seconds(), TAutosave::DefaultSeconds);
  autosave->AfterCommand();
  EXPECT_FALSE(host.Timer) << "nothing unsaved, nothing to copy";
  Edit("700");
  Edit("710");
  ASSERT_EQ(host.Timer, TAutosave::DefaultSeconds);
  size_t steps = ed->History().StepCount();
  std::string caption = P().Caption;
  host.Fire(*autosave);
  EXPECT_TRUE(HasCopy());
  EXPECT_TRUE(Doc().Modified);
  EXPECT_EQ(P().Caption, caption);
  EXPECT_EQ(ed->History().StepCount(), steps);
  EXPECT_TRUE(ed->History().CanUndo());
  EXPECT_FALSE(host.Timer) << "the copy is up to date";

  Edit("720");
  EXPECT_TRUE(host.Timer);
  Doc().ProjectFileName = dir + "saved.sw0";
  ed->MenuClick(miSaveProjectAs);  // the save dialog is cancelled: still unsaved
  autosave->AfterCommand();
  EXPECT_TRUE(HasCopy());
  prompts.Files.push_back(dir + "saved.sw0");
  ed->MenuClick(miSaveProjectAs);
  autosave->AfterCommand();
  EXPECT_FALSE(HasCopy()) << "a save removes the copy";
  EXPECT_FALSE(host.Timer);
}

TEST_F(AutosaveTest, ASaveWhileTheWorkerWritesStillEndsWithoutACopy) {
  Edit("700");
  host.Timer.reset();
  autosave->TimerFired();
  ASSERT_TRUE(host.Work);
  prompts.Files.push_back(dir + "saved.sw0");
  ed->MenuClick(miSaveProjectAs);
  autosave->AfterCommand();
  host.Work();
  host.Done("");
  EXPECT_FALSE(HasCopy());
}

TEST_F(AutosaveTest, TheIntervalIsKeptInTheSettingsAndZeroWritesNothing) {
  Edit("700");
  host.Fire(*autosave);
  ASSERT_TRUE(HasCopy());
  autosave->SetSeconds(0);
  EXPECT_EQ(settings.Values[TAutosave::SettingName], "0");
  EXPECT_FALSE(HasCopy()) << "turning autosave off drops the copy";
  Edit("710");
  EXPECT_FALSE(host.Timer);
  host.Fire(*autosave);
  EXPECT_FALSE(HasCopy());
  EXPECT_EQ(MakeAutosave()->Seconds(), 0);

  autosave->SetSeconds(5);
  EXPECT_EQ(host.Timer, 5) << "unsaved work waiting gets its copy";
  EXPECT_EQ(MakeAutosave()->Seconds(), 5);
  settings.Values[TAutosave::SettingName] = "soon";
  EXPECT_EQ(MakeAutosave()->Seconds(), TAutosave::DefaultSeconds);
}

TEST_F(AutosaveTest, AFolderThatCannotBeWrittenWarnsOnceAndTheWorkStaysUnsaved) {
  fs::create_directories(dir);
  vtest::WriteText(dir + "blocked", "x");
  TRecoveryStore blocked(dir + "blocked/recovery/");
  TAutosave failing(*ed, blocked, host, settings);
  for (const char* delay : {"700", "710", "720"}) {
    Edit(delay);
    failing.AfterCommand();
    host.Fire(failing);
  }
  ASSERT_EQ(host.Warnings.size(), 1u);
  EXPECT_NE(host.Warnings[0].find("blocked"), std::string::npos) << host.Warnings[0];
  EXPECT_TRUE(Doc().Modified);
  EXPECT_TRUE(prompts.Messages.empty()) << "no message box";
}

TEST_F(AutosaveTest, ARestoredDocumentIsModifiedWithItsOriginalPathAndNoUndo) {
  struct TCase {
    std::string Original;  // "" for untitled
    bool SaveEnabled;
  } cases[] = {{dir + "work/Banner.sw0", true}, {"", false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Original);
    ed->MenuClick(miNewProject);
    prompts.Answers.push_back(TMsgResult::No);
    Edit("700");
    std::string name = c.Original.empty() ? "untitled.sw0" : "Banner.sw0";
    if (!c.Original.empty()) {
      Doc().ProjectFileName = c.Original;
      ed->DAT(false);
    }
    {
      TRecoveryStore crashed(dir + "left/");
      crashed.Write(project::TakeSnapshot(Doc()), {c.Original, name, 1, Doc().FrameCount});
    }
    project::WriteProjectFile(Doc(), dir + "expected.sw0");
    ed->MenuClick(miNewProject);
    prompts.Answers.push_back(TMsgResult::No);
    settings.Values.erase("MRUD1");

    TRecoveryStore finder(dir + "left/");
    TRecoveryOffer offer(*ed, *autosave, finder);
    ASSERT_TRUE(offer.Find());
    EXPECT_EQ(offer.Title(0), name);
    EXPECT_EQ(offer.Where(0), c.Original.empty() ? "untitled" : c.Original);
    ASSERT_TRUE(offer.Restore(0));
    EXPECT_TRUE(offer.Copies().empty()) << "this editor keeps the work now";
    EXPECT_TRUE(FilesIn(dir + "left/").empty());
    EXPECT_TRUE(HasCopy());

    EXPECT_TRUE(Doc().Modified);
    EXPECT_EQ(P().Caption, name + "*");
    EXPECT_EQ(fs::path(Doc().ProjectFileName).filename(), name);
    if (!c.Original.empty()) {
      EXPECT_EQ(Doc().ProjectFileName, c.Original);
    }
    EXPECT_EQ(P().Menu(miSaveProject).Enabled, c.SaveEnabled);
    EXPECT_FALSE(ed->History().CanUndo());
    EXPECT_FALSE(settings.Values.count("MRUD1")) << "the copy's path is no recent file";
    project::WriteProjectFile(Doc(), dir + "restored.sw0");
    EXPECT_EQ(vtest::ReadText(dir + "restored.sw0"), vtest::ReadText(dir + "expected.sw0"));

    Edit("800");
    ed->Undo();
    EXPECT_TRUE(Doc().Modified) << "undo back to the restored state is still unsaved";
  }
}

}  // namespace
