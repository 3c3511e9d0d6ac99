// File > Export HTML5 Banner in the window: the dialog measures the real
// package as the options change, the package written is the one measured,
// and a package over its profile's limit is said before anything is written.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "exporters/ad_check.h"
#include "exporters/ad_package.h"
#include "gui/editor_window_fixture.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/qt_services.h"
#include "gui/status_bar.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;

class AdExportWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  void SetUp() override {
    // The user's own profiles: one no package fits, one every package fits.
    const std::string profiles = home_.filePath("config/vellumet/ad-profiles").toStdString();
    fs::create_directories(profiles);
    vtest::WriteText(profiles + "/tiny.json", "{\"maxPackageKB\": 3}");
    vtest::WriteText(profiles + "/roomy.json", "{\"maxPackageKB\": 400}");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    keptConfig_ = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("XDG_CONFIG_HOME", home_.filePath("config").toUtf8().constData(), 1);

    window_ = vtest::ShowEditorWindow(home_, {VELLUMET_SAMPLES_DIR "/shapes.sw0"},
                                      [this](const std::string& path) { opened_.push_back(path); });
  }
  void TearDown() override {
    window_.reset();
    if (keptConfig_)
      setenv("XDG_CONFIG_HOME", keptConfig_->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }

  void Export() { window_->Actions()->Action("actExportAdPackage")->trigger(); }

  // The readout once the dialog has measured the package for its options.
  static QString Measured(QWidget* dialog) {
    auto* size = dialog->findChild<QLabel*>("Size");
    auto* exportButton = dialog->findChild<QPushButton*>("Export");
    EXPECT_TRUE(QTest::qWaitFor([&] { return exportButton->isEnabled(); }, 60000));
    return size->text();
  }
  static void Choose(QWidget* dialog, const QString& profile) {
    dialog->findChild<QComboBox*>("Profile")->setCurrentText(profile);
  }
  static void Press(QWidget* dialog) { dialog->findChild<QPushButton*>("Export")->click(); }
  static vtest::TModalAction File(const QString& path) {
    return [path](QWidget* w) { vtest::ChooseFileIn(w, path); };
  }

  QTemporaryDir home_;
  std::optional<std::string> keptConfig_;
  std::vector<std::string> opened_;
  std::unique_ptr<gui::TfrmMain> window_;
};

TEST_F(AdExportWindowTest, TheReadoutFollowsTheOptionsAndTheWrittenPackageIsChecked) {
  const QString target = home_.filePath("out/shapes.zip");
  fs::create_directories(home_.filePath("out").toStdString());
  QString roomy, tiny, firstFrame, checkLines, done;
  auto dialog = [&](QWidget* w) {
    Choose(w, "tiny");
    tiny = Measured(w);
    Choose(w, "roomy");
    roomy = Measured(w);
    w->findChild<QSpinBox*>("BackupFrame")->setValue(1);
    firstFrame = Measured(w);
    checkLines = w->findChild<QPlainTextEdit*>("Check")->toPlainText();
    Press(w);
  };
  auto acknowledge = [&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    done = box->text();
    box->button(QMessageBox::Ok)->click();
  };
  {
    vtest::TModalScript script({dialog, File(target), acknowledge}, 60000);
    Export();
  }
  EXPECT_TRUE(tiny.endsWith("of 3.0 KB allowed: too big")) << tiny.toStdString();
  EXPECT_TRUE(roomy.endsWith("of 400.0 KB allowed")) << roomy.toStdString();
  EXPECT_NE(firstFrame, roomy) << "the backup picture's frame changes the package";
  EXPECT_TRUE(checkLines.contains("Accepted for roomy")) << checkLines.toStdString();
  EXPECT_TRUE(done.startsWith("File shapes.zip has been successfully created!"))
      << done.toStdString();

  const exporters::TAdPackage package = exporters::ReadAdPackage(target.toStdString());
  EXPECT_TRUE(
      exporters::AllPassed(exporters::CheckAdPackage(package, exporters::LoadAdProfile("roomy"))));
  EXPECT_TRUE(firstFrame.startsWith(
      QString::fromStdString(exporters::Kilobytes(fs::file_size(target.toStdString())))))
      << "the readout is the written package's size";

  // The status bar offers the package's folder.
  window_->ShowState();
  auto* openFolder = window_->Status()->findChild<QToolButton*>("OpenFolder");
  ASSERT_TRUE(openFolder && openFolder->isVisible());
  openFolder->click();
  EXPECT_EQ(opened_.back(), home_.filePath("out").toStdString());
}

TEST_F(AdExportWindowTest, APackageOverItsLimitIsSaidBeforeWriting) {
  const QString target = home_.filePath("shapes.zip");
  bool existedWhenAsked = true;
  QString question;
  auto dialog = [&](QWidget* w) {
    Choose(w, "tiny");
    Measured(w);
    Press(w);
  };
  auto refuse = [&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    question = box->text();
    existedWhenAsked = fs::exists(target.toStdString());
    box->button(QMessageBox::No)->click();
  };
  {
    vtest::TModalScript script({dialog, File(target), refuse}, 60000);
    Export();
  }
  EXPECT_TRUE(question.contains("over its profile's limit")) << question.toStdString();
  EXPECT_FALSE(existedWhenAsked);
  EXPECT_FALSE(fs::exists(target.toStdString())) << "refused: nothing written";
}

}  // namespace
