// The File menu's exports in the window: the export dialog with its format,
// the movie written where the user chose, and the web page opened in the
// browser.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "gui/editor_window_fixture.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/qt_services.h"
#include "gui/status_bar.h"
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
    window_ = vtest::ShowEditorWindow(home_, {VELLUMET_SAMPLES_DIR "/shapes.sw0"},
                                      [this](const std::string& path) { opened_.push_back(path); });
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
  // Chooses `path` in the file dialog after noting its title and folder.
  static vtest::TModalAction File(const QString& path, QStringList* seen = nullptr) {
    return [path, seen](QWidget* w) {
      if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && seen)
        *seen << dialog->windowTitle() << dialog->directory().absolutePath();
      vtest::ChooseFileIn(w, path);
    };
  }
  gui::TMainStatusBar* Status() { return window_->Status(); }
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
                         {"HTML5 page", "shapes.html", "<!DOCTYPE html>"},
                         {"SWF movie", "shapes.swf", "CWS"}};
  // The first export starts in the project's folder, the next where the last went.
  QString startFolder = QDir(VELLUMET_SAMPLES_DIR).absolutePath();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    QString target = home_.filePath(QString("out-%1").arg(c.Name));
    fs::create_directories(target.toStdString());
    QString message;
    QStringList dialog;
    {
      vtest::TModalScript script(
          {ChooseFormat(c.Format), File(target + "/shapes", &dialog), Acknowledge(&message)},
          60000);
      Act("actExport")->trigger();
    }
    std::string written = (target + "/" + c.Name).toStdString();
    EXPECT_EQ(message.toStdString(),
              std::string("File ") + c.Name + " has been successfully created!");
    EXPECT_EQ(Head(written, c.Magic.size()), c.Magic);
    EXPECT_EQ(dialog, QStringList({QString("Export ") + c.Format, startFolder}));
    startFolder = target;
    window_->ShowState();
    EXPECT_EQ(Status()->Pane(0), QString("Exported ") + c.Name);
    auto* openFolder = Status()->findChild<QToolButton*>("OpenFolder");
    ASSERT_TRUE(openFolder && openFolder->isVisible());
    openFolder->click();
    EXPECT_EQ(opened_.back(), target.toStdString());
    if (c.Magic == "CWS")
      vtest::KeepSwfForParserCheck("export_menu_shapes.swf", vtest::ReadFile(written));
  }
}

TEST_F(ExportMenuTest, TheWebPageIsWrittenBesideTheMovieAndOpened) {
  QString target = home_.filePath("web/shapes");
  fs::create_directories(home_.filePath("web").toStdString());
  QStringList dialog;
  {
    vtest::TModalScript script({File(target, &dialog)}, 60000);
    Act("actExportWeb")->trigger();
  }
  EXPECT_TRUE(fs::exists((target + ".swf").toStdString()));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], (target + ".web.html").toStdString());
  EXPECT_EQ(dialog.value(0), "Export Web Page");
  window_->ShowState();
  EXPECT_EQ(Status()->Pane(0), "Exported shapes.swf and shapes.web.html");
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
