// The preview window inside the editor: it shows the whole movie, exports
// the same bytes as `vellumet export`, writes the test page, reports a target
// it cannot write, and keeps its movie apart from the canvas builds.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "editor/editor.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/preview_window.h"
#include "gui/qt_services.h"
#include "moviegen/export.h"
#include "platform/folders.h"
#include "player/player_widget.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> TempMovies() {
  std::set<std::string> found;
  for (const auto& e : fs::directory_iterator(platform::TempDir()))
    if (e.path().extension() == ".swf") found.insert(e.path().string());
  return found;
}

vtest::TModalAction SaveAs(const QString& path) {
  return [path](QWidget* w) { vtest::ChooseFileIn(w, path); };
}

vtest::TModalAction Acknowledge(QString* text) {
  return [text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    *text = box->text();
    box->button(QMessageBox::Ok)->click();
  };
}

class PreviewExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  void SetUp() override {
    gui::TMainWindowSetup setup;
    setup.Args = {kSample};
    setup.Settings = std::make_unique<gui::TQtSettingsStore>(home_.filePath("settings.ini"));
    setup.OpenDocument = [this](const std::string& path) { opened_.push_back(path); };
    window_ = std::make_unique<gui::TfrmMain>(std::move(setup));
    window_->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    ASSERT_EQ(window_->Editor().Doc().ProjectFileName, kSample);
  }

  gui::TfrmSWF* Preview() { return window_->findChild<gui::TfrmSWF*>(); }
  QAction* Act(const char* name) { return window_->Actions()->Action(name); }

  void OpenPreview() {
    Act("actPreview")->trigger();
    ASSERT_NE(Preview(), nullptr);
    ASSERT_TRUE(Preview()->isVisible());
  }

  // "Save SWF..." to `path`; returns the message the export showed.
  QString SaveFromPreview(const QString& path) {
    QString message;
    vtest::TModalScript script({SaveAs(path), Acknowledge(&message)});
    Preview()->findChild<QPushButton*>("SaveSWF")->click();
    return message;
  }

  static constexpr const char* kSample = VELLUMET_SAMPLES_DIR "/banner.sw0";
  QTemporaryDir home_;
  std::vector<std::string> opened_;
  std::unique_ptr<gui::TfrmMain> window_;
};

TEST_F(PreviewExportTest, ShowsTheMovieAndExportsTheBytesOfTheExportCommand) {
  std::set<std::string> before = TempMovies();
  OpenPreview();
  const project::TMovieSettings& m = window_->Editor().Doc().Settings;
  auto* player = Preview()->findChild<player::TPlayerWidget*>();
  EXPECT_EQ(player->size(), QSize(m.MWidth, m.MHeight));
  std::set<std::string> after = TempMovies();
  ASSERT_EQ(after.size(), before.size() + 1);
  std::string previewFile;
  for (const std::string& f : after)
    if (!before.count(f)) previewFile = f;
  QString size = QString("File Size: %1 bytes").arg(fs::file_size(previewFile));
  EXPECT_EQ(Preview()->findChild<QLabel*>("Pane2")->text(), size);

  QString target = home_.filePath("out/banner");
  fs::create_directories(home_.filePath("out").toStdString());
  EXPECT_EQ(SaveFromPreview(target), "File banner.swf has been successfully created!");
  EXPECT_FALSE(Preview()->isVisible());
  EXPECT_FALSE(fs::exists(previewFile));

  std::string reference = home_.filePath("ref/banner.swf").toStdString();
  fs::create_directories(home_.filePath("ref").toStdString());
  // fontconfig's caches live as long as the process: not a leak of ours.
  std::string command = "ASAN_OPTIONS=detect_leaks=0 " + std::string(VELLUMET_APP) + " export " +
                        kSample + " -o " + reference + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string exported = (target + ".swf").toStdString();
  EXPECT_EQ(ReadAll(exported), ReadAll(reference));
  std::string page = (target + ".html").toStdString();
  EXPECT_EQ(ReadAll(page), moviegen::TestPage(m, "banner.swf"));
  EXPECT_EQ(opened_, std::vector<std::string>{page});
  vtest::KeepSwfForParserCheck("preview_export_banner.swf", vtest::ReadFile(exported));
}

TEST_F(PreviewExportTest, ATargetThatCannotBeWrittenIsReported) {
  OpenPreview();
  EXPECT_EQ(SaveFromPreview("/proc/movie"), "Error writing the file movie.swf");
  EXPECT_TRUE(opened_.empty());
}

TEST_F(PreviewExportTest, CanvasBuildsWhileThePreviewIsOpenLeaveItsMovieAlone) {
  std::set<std::string> before = TempMovies();
  OpenPreview();
  Act("actNext")->trigger();  // a single-frame build for the canvas
  Act("actNext")->trigger();
  ASSERT_TRUE(Preview()->isVisible());
  QString target = home_.filePath("later");
  EXPECT_EQ(SaveFromPreview(target), "File later.swf has been successfully created!");
  EXPECT_GT(fs::file_size((target + ".swf").toStdString()), 100u);
  EXPECT_EQ(TempMovies(), before);  // closing the preview took its movie along
}

TEST_F(PreviewExportTest, ClosingThePreviewDeletesItsMovie) {
  std::set<std::string> before = TempMovies();
  OpenPreview();
  EXPECT_EQ(TempMovies().size(), before.size() + 1);
  Preview()->close();
  EXPECT_EQ(TempMovies(), before);
}

TEST_F(PreviewExportTest, TheMuteToggleIsKeptInTheSettings) {
  OpenPreview();
  auto* player = Preview()->findChild<player::TPlayerWidget*>();
  auto* mute = Preview()->findChild<QAbstractButton*>("Mute");
  ASSERT_NE(mute, nullptr);
  EXPECT_FALSE(player->Muted());
  mute->click();
  EXPECT_TRUE(player->Muted());
  QSettings stored(home_.filePath("settings.ini"), QSettings::IniFormat);
  EXPECT_EQ(stored.value("Muted").toString(), "1");
}

TEST_F(PreviewExportTest, APressWhileTheMovieIsBuiltStartsNoSecondBuild) {
  std::set<std::string> before = TempMovies();
  QTimer::singleShot(0, [this] {
    // Runs inside the build: the user's keys and clicks are dropped.
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
  });
  OpenPreview();
  EXPECT_TRUE(window_->isVisible());  // the Esc did not close the window
  EXPECT_EQ(TempMovies().size(), before.size() + 1);
  EXPECT_EQ(window_->Editor().Doc().ProjectFileName, kSample);  // Ctrl+N did nothing
}

}  // namespace
