// The File menu's exports in the window: the export dialog with its format,
// the movie written where the user chose, and the web page opened in the
// browser.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/qt_services.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;

std::string Head(const std::string& path, size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), std::streamsize(n));
  return s;
}

class ExportMenuTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  void SetUp() override {
    gui::TMainWindowSetup setup;
    setup.Args = {VELLUMET_SAMPLES_DIR "/shapes.sw0"};
    setup.Settings = std::make_unique<gui::TQtSettingsStore>(home_.filePath("settings.ini"));
    setup.OpenDocument = [this](const std::string& path) { opened_.push_back(path); };
    window_ = std::make_unique<gui::TfrmMain>(std::move(setup));
    window_->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  QAction* Act(const char* name) { return window_->Actions()->Action(name); }

  static vtest::TModalAction ChooseFormat(const QString& caption) {
    return [caption](QWidget* w) {
      auto* format = w->findChild<QComboBox*>("Format");
      ASSERT_NE(format, nullptr);
      format->setCurrentIndex(format->findText(caption));
      w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
  }
  static vtest::TModalAction ChooseVideo(double scale) {
    return [scale](QWidget* w) {
      auto* format = w->findChild<QComboBox*>("Format");
      ASSERT_NE(format, nullptr);
      format->setCurrentIndex(format->findText("WebM video (VP9)"));
      w->findChild<QDoubleSpinBox*>("Scale")->setValue(scale);
      w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
  }
  static vtest::TModalAction File(const QString& path) {
    return [path](QWidget* w) { vtest::ChooseFileIn(w, path); };
  }
  static vtest::TModalAction Acknowledge(QString* text) {
    return [text](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      *text = box->text();
      box->button(QMessageBox::Ok)->click();
    };
  }

  QTemporaryDir home_;
  std::vector<std::string> opened_;
  std::unique_ptr<gui::TfrmMain> window_;
};

TEST_F(ExportMenuTest, TheExportDialogWritesTheChosenFormat) {
  struct TCase {
    const char* Format;
    const char* Name;
    std::string Magic;
  };
  const TCase cases[] = {{"Animated GIF", "shapes.gif", "GIF89a"},
                         {"SWF movie", "shapes.swf", "CWS"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    QString target = home_.filePath(QString("out-%1").arg(c.Name));
    fs::create_directories(target.toStdString());
    QString message;
    {
      vtest::TModalScript script(
          {ChooseFormat(c.Format), File(target + "/shapes"), Acknowledge(&message)}, 60000);
      Act("actExport")->trigger();
    }
    std::string written = (target + "/" + c.Name).toStdString();
    EXPECT_EQ(message.toStdString(),
              std::string("File ") + c.Name + " has been successfully created!");
    EXPECT_EQ(Head(written, c.Magic.size()), c.Magic);
    if (c.Magic == "CWS")
      vtest::KeepSwfForParserCheck("export_menu_shapes.swf", vtest::ReadFile(written));
  }
}

TEST_F(ExportMenuTest, TheWebPageIsWrittenBesideTheMovieAndOpened) {
  QString target = home_.filePath("web/shapes");
  fs::create_directories(home_.filePath("web").toStdString());
  {
    vtest::TModalScript script({File(target)}, 60000);
    Act("actExportWeb")->trigger();
  }
  EXPECT_TRUE(fs::exists((target + ".swf").toStdString()));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], (target + ".web.html").toStdString());
  EXPECT_TRUE(fs::exists(home_.filePath("web/ruffle").toStdString()));
}

// Cancel clicked as a user does (through the progress dialog's window) in
// the middle of a video export: the export stops, says nothing and leaves
// no file, whole or partial.
TEST_F(ExportMenuTest, CancelStopsAVideoExportAndLeavesNoFile) {
  const QString dir = home_.filePath("cancelled");
  fs::create_directories(dir.toStdString());
  bool clicked = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (clicked || !progress || !progress->isVisible() || progress->value() <= 0 ||
        progress->labelText() != "Exporting...")
      return;
    clicked = true;
    auto* cancel = progress->findChild<QPushButton*>();
    const QPoint at = cancel->mapTo(progress, cancel->rect().center());
    QTest::mouseClick(progress->windowHandle(), Qt::LeftButton, {}, at);
  });
  watch.start(20);
  {
    vtest::TModalScript script({ChooseVideo(4), File(dir + "/long")}, 30000);
    Act("actExport")->trigger();
  }
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(fs::is_empty(dir.toStdString()));
}

}  // namespace
