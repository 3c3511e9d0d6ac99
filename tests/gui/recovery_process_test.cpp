// Recovery after the program was killed: a child process runs the editor
// window as the program does (offscreen, its own settings, state, cache and
// temporary folders), makes edits, waits for its copy and is killed with
// SIGKILL; the next child finds the copy, restores or discards it. The
// children are this test program again, running one of the roles below.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "gui/gui_support.h"
#include "gui/main_window.h"
#include "gui/property_panel.h"
#include "gui/qt_services.h"
#include "project/project_file.h"
#include "support/bytes.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// ---- The child: one run of the editor ---------------------------------------

std::string RecoveryFolder() {
  return Env("XDG_STATE_HOME") + "/vellumet/recovery/";
}

int CopiesIn(const std::string& folder) {
  int n = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) n += e.path().extension() == ".info";
  return n;
}

std::unique_ptr<gui::TfrmMain> StartEditor() {
  gui::TMainWindowSetup setup;
  if (!Env("CHILD_PROJECT").empty()) setup.Args = {Env("CHILD_PROJECT")};
  setup.Settings =
      std::make_unique<gui::TQtSettingsStore>(QString::fromStdString(Env("CHILD_SETTINGS")));
  setup.OpenDocument = [](const std::string&) {};
  auto window = std::make_unique<gui::TfrmMain>(std::move(setup));
  window->show();
  return window;
}

void TypeInto(gui::TfrmMain& window, editor::TCtl control, const QString& text) {
  QWidget* w = window.PanelView()->Control(control);
  auto* edit = qobject_cast<QLineEdit*>(w);
  if (!edit) edit = w->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, Qt::Key_Tab);
}

// Edits, waits for the copy, writes what Save would write, then waits to be
// killed.
void EditAndWait() {
  auto window = StartEditor();
  QTest::qWait(300);  // the command-line project opens once the window shows
  window->activateWindow();
  TypeInto(*window, editor::CDelay, "345");
  TypeInto(*window, editor::CWidth, "500");
  TypeInto(*window, editor::MainURL, "http://example.com/?a=1");
  ASSERT_TRUE(window->Editor().Doc().Modified);
  ASSERT_TRUE(QTest::qWaitFor([] { return CopiesIn(RecoveryFolder()) == 1; }, 60000));
  QTest::qWait(1500);  // any later copy is written too
  project::WriteProjectFile(window->Editor().Doc(), Env("CHILD_OUT") + ".sw0");
  vtest::WriteText(Env("CHILD_OUT") + ".ready", "");
  for (;;) QTest::qWait(1000);
}

// Answers the recovery dialog with the button CHILD_ANSWER (none expected
// when empty) and reports what the document then is.
void AnswerAndReport() {
  std::string answer = Env("CHILD_ANSWER");
  int rows = -1;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible()) return;
    poll.stop();
    rows = dialog->findChild<QListWidget*>("lstCopies")->count();
    QString button = QString::fromStdString(answer.empty() ? "btnLater" : answer);
    dialog->findChild<QPushButton*>(button)->click();
  });
  poll.start(20);
  auto window = StartEditor();
  if (answer.empty())
    QTest::qWait(3000);
  else
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rows >= 0 && !QApplication::activeModalWidget(); }, 60000));
  QTest::qWait(200);
  const project::TProjectDocument& doc = window->Editor().Doc();
  project::WriteProjectFile(doc, Env("CHILD_OUT") + ".sw0");
  std::ofstream(Env("CHILD_OUT") + ".txt")
      << "rows=" << rows << "\nmodified=" << doc.Modified << "\npath=" << doc.ProjectFileName
      << "\nsave=" << window->Editor().Panel().Menu(editor::miSaveProject).Enabled
      << "\ntitle=" << window->windowTitle().toStdString() << "\n";
}

TEST(RecoveryChild, DISABLED_Run) {
  // The test application keeps its state in a folder of its own; the child
  // uses the one its parent gave it, as the program would.
  std::string state = Env("XDG_STATE_HOME");
  vtest::GuiApp();
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  if (Env("CHILD_ROLE") == "edit") EditAndWait();
  if (Env("CHILD_ROLE") == "answer") AnswerAndReport();
}

// ---- The parent ---------------------------------------------------------------

class RecoveryProcessTest : public ::testing::Test {
 protected:
  std::string dir = vtest::TestTempDir();

  // Starts a child in `role` with the shared folders; returns its pid.
  pid_t Start(const std::string& role, const std::string& out, const std::string& project = "",
              const std::string& answer = "") {
    fs::create_directories(dir + "/run");
    std::vector<std::string> env = {"CHILD_ROLE=" + role,
                                    "CHILD_OUT=" + dir + "/" + out,
                                    "CHILD_PROJECT=" + project,
                                    "CHILD_ANSWER=" + answer,
                                    "CHILD_SETTINGS=" + dir + "/settings.ini",
                                    "QT_QPA_PLATFORM=offscreen",
                                    "HOME=" + dir + "/home",
                                    "XDG_STATE_HOME=" + dir + "/state",
                                    "XDG_CACHE_HOME=" + dir + "/cache",
                                    "TMPDIR=" + dir + "/run",
                                    "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"};
    for (char** e = environ; *e; ++e)
      if (std::string v = *e; v.rfind("PATH=", 0) == 0 || v.rfind("LANG=", 0) == 0)
        env.push_back(v);
    std::vector<std::string> args = {"/proc/self/exe", "--gtest_also_run_disabled_tests",
                                     "--gtest_filter=RecoveryChild.DISABLED_Run"};
    auto pointers = [](std::vector<std::string>& strings) {
      std::vector<char*> p;
      for (std::string& s : strings) p.push_back(s.data());
      p.push_back(nullptr);
      return p;
    };
    std::vector<char*> argp = pointers(args), envp = pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string log = dir + "/" + out + ".log";
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    std::string exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argp.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // Waits for the child to end; its exit status.
  int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // Waits until the editing child has its copy, then kills it.
  void KillWhenReady(pid_t pid, const std::string& out) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!fs::exists(dir + "/" + out + ".ready") && std::chrono::steady_clock::now() < until) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        ADD_FAILURE() << "the editing child ended: " << vtest::ReadText(dir + "/" + out + ".log");
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(fs::exists(dir + "/" + out + ".ready"))
        << vtest::ReadText(dir + "/" + out + ".log");
    kill(pid, SIGKILL);
    EXPECT_EQ(Wait(pid), 128 + SIGKILL);
  }

  std::string Report(const std::string& out) { return vtest::ReadText(dir + "/" + out + ".txt"); }
  std::string Saved(const std::string& out) { return vtest::ReadText(dir + "/" + out + ".sw0"); }
  int Copies() { return CopiesIn(dir + "/state/vellumet/recovery/"); }
};

TEST_F(RecoveryProcessTest,
       AKilledEditorsWorkIsRestoredWhereItCameFromAndHiddenFromAnotherRunningOne) {
  std::string project = dir + "/work/banner.sw0";
  fs::create_directories(dir + "/work");
  fs::copy_file(VELLUMET_SAMPLES_DIR "/banner.sw0", project);
  std::string before = vtest::ReadText(project);
  vtest::WriteText(dir + "/settings.ini", "[General]\nAutosaveSeconds=1\n");

  pid_t editing = Start("edit", "edited", project);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!fs::exists(dir + "/edited.ready") && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // A second editor started meanwhile is not offered the first one's live copy.
  EXPECT_EQ(Wait(Start("answer", "second")), 0) << vtest::ReadText(dir + "/second.log");
  EXPECT_NE(Report("second").find("rows=-1\n"), std::string::npos) << Report("second");
  KillWhenReady(editing, "edited");
  EXPECT_EQ(Copies(), 1);

  EXPECT_EQ(Wait(Start("answer", "restored", "", "btnRestore")), 0)
      << vtest::ReadText(dir + "/restored.log");
  std::string report = Report("restored");
  EXPECT_NE(report.find("rows=1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("modified=1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("path=" + project + "\n"), std::string::npos) << report;
  EXPECT_NE(report.find("save=1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("title=banner.sw0* - Vellumet\n"), std::string::npos) << report;
  std::string edited = Saved("edited"), restored = Saved("restored");
  EXPECT_GT(edited.size(), 1000u);
  EXPECT_TRUE(vtest::SameBytes(vtest::Bytes(edited.begin(), edited.end()),
                               vtest::Bytes(restored.begin(), restored.end())));
  EXPECT_EQ(vtest::ReadText(project), before) << "the user's file is untouched";
}

TEST_F(RecoveryProcessTest, AKilledEditorsUntitledWorkIsRestoredAndADiscardedCopyIsGone) {
  vtest::WriteText(dir + "/settings.ini", "[General]\nAutosaveSeconds=1\n");
  KillWhenReady(Start("edit", "edited"), "edited");
  ASSERT_EQ(Copies(), 1);

  // The restoring editor ends without closing too: its own copy is left.
  EXPECT_EQ(Wait(Start("answer", "restored", "", "btnRestore")), 0)
      << vtest::ReadText(dir + "/restored.log");
  std::string report = Report("restored");
  EXPECT_NE(report.find("modified=1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("save=0\n"), std::string::npos) << report;
  EXPECT_NE(report.find("title=untitled.sw0* - Vellumet\n"), std::string::npos) << report;
  EXPECT_EQ(Saved("edited"), Saved("restored"));
  EXPECT_EQ(Copies(), 1);

  EXPECT_EQ(Wait(Start("answer", "discarded", "", "btnDiscard")), 0)
      << vtest::ReadText(dir + "/discarded.log");
  EXPECT_NE(Report("discarded").find("rows=1\n"), std::string::npos) << Report("discarded");
  EXPECT_NE(Report("discarded").find("modified=0\n"), std::string::npos);
  EXPECT_EQ(Copies(), 0);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir + "/state/vellumet/recovery/", ec))
    EXPECT_EQ(e.path().extension(), ".lock") << e.path();
}

}  // namespace
