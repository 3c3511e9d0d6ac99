// The preview window inside the editor: it shows the whole movie, exports
// the same bytes as `vellumet export`, writes the test page, reports a target
// it cannot write, and keeps its movie apart from the canvas builds.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
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
#include "exporters/ad_export.h"
#include "gui/frame_size_view.h"
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

// The size view's bars are the build's own bytes, frame by frame, for the
// SWF file and for the HTML5 package, measured off the window thread; its
// line is the chosen profile's limit for the stage's size. The strip beside
// "File Size" shows the same bars.
TEST_F(PreviewExportTest, TheSizeViewsBarsAddUpToTheFile) {
  const std::string profiles = home_.filePath("config/vellumet/ad-profiles").toStdString();
  fs::create_directories(profiles);
  vtest::WriteText(profiles + "/iab.json", "{\"maxPackageKB\": 3}");
  vtest::WriteText(profiles + "/roomy.json", "{\"maxPackageKB\": 40}");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string kept = old ? old : "";
  setenv("XDG_CONFIG_HOME", home_.filePath("config").toUtf8().constData(), 1);
  std::set<std::string> before = TempMovies();
  OpenPreview();
  std::string previewFile;
  for (const std::string& f : TempMovies())
    if (!before.count(f)) previewFile = f;

  auto* view = Preview()->findChild<gui::TFrameSizeWindow*>();
  auto* strip = Preview()->findChild<gui::TFrameSizeBars*>("SizeStrip");
  ASSERT_NE(strip, nullptr);
  EXPECT_TRUE(strip->isVisible());  // at once, without opening the view
  QTRY_VERIFY_WITH_TIMEOUT(view->Ready(), 30000);
  auto* bars = view->findChild<gui::TFrameSizeBars*>();
  const auto total = [](const std::vector<editor::TFrameSize>& frames) {
    uint64_t sum = 0;
    for (const editor::TFrameSize& frame : frames) sum += frame.Bytes;
    return sum;
  };
  const std::vector<editor::TFrameSize> frames = bars->Frames();
  ASSERT_EQ(int(frames.size()), window_->Editor().Doc().FrameCount);
  for (const editor::TFrameSize& frame : frames) EXPECT_GT(frame.Bytes, 0u);
  EXPECT_EQ(total(frames), fs::file_size(previewFile));
  EXPECT_EQ(strip->Frames(), frames);
  const QImage shown = strip->grab().toImage();
  EXPECT_NE(shown.pixelColor(strip->BarRect(frames.size() - 1).center()),
            shown.pixelColor(strip->width() - 1, 0));

  auto* sizes = Preview()->findChild<QAbstractButton*>("Sizes");
  QTest::mouseClick(strip, Qt::LeftButton);  // the strip opens the view with its choices
  ASSERT_TRUE(view->isVisible());
  EXPECT_TRUE(sizes->isChecked());
  // Each bar starts where the one before ends; the last reaches the file's size.
  for (size_t i = 1; i < frames.size(); ++i)
    EXPECT_LE(std::abs(bars->BarRect(i).bottom() - bars->BarRect(i - 1).top() + 1), 1) << i;
  const QImage painted = bars->grab().toImage();
  EXPECT_NE(painted.pixelColor(bars->BarRect(0).center()),
            painted.pixelColor(2, bars->height() - 2));

  EXPECT_EQ(bars->Budget(), 3000u);
  auto* profile = view->findChild<QComboBox*>("Profile");
  profile->setCurrentText("roomy");
  EXPECT_EQ(bars->Budget(), 40000u);
  auto* speed = view->findChild<QComboBox*>("Speed");
  auto* summary = view->findChild<QLabel*>("Summary");
  const QString fast = summary->text();
  speed->setCurrentIndex(0);
  EXPECT_NE(summary->text(), fast);  // slower: in later

  // The HTML5 package as the export makes it for the profile.
  view->findChild<QComboBox*>("Build")->setCurrentIndex(1);
  EXPECT_EQ(summary->text(), "Measuring...");
  QTRY_VERIFY_WITH_TIMEOUT(view->Ready(), 60000);
  exporters::TAdExportOptions options;
  options.Profile = "roomy";
  const exporters::TAdPackageBuild package =
      exporters::BuildAdPackage(previewFile, window_->Editor().Doc(), options);
  const std::vector<editor::TFrameSize> packaged = bars->Frames();
  ASSERT_EQ(packaged.size(), frames.size());
  EXPECT_EQ(total(packaged), package.Zip.size());
  EXPECT_GT(packaged[0].Bytes, frames[0].Bytes);  // the page's runtime comes first
  EXPECT_EQ(strip->Frames(), packaged);
  EXPECT_EQ(bars->Budget(), 40000u);

  Preview()->close();
  EXPECT_FALSE(view->isVisible());
  EXPECT_FALSE(sizes->isChecked());
  if (old)
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
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
