// Autosave in the window: a copy leaves the title, the undo history and the
// focus as they were; Edit > Preferences... keeps the interval; the
// recovery dialog at start restores, discards or keeps the copies others
// left. Settings and state folders are temporary.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "editor/recovery_store.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/property_panel.h"
#include "gui/qt_services.h"
#include "project/project_file.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;

class AutosaveWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  void SetUp() override {
    QSettings(SettingsPath(), QSettings::IniFormat).setValue("AutosaveSeconds", "1");
  }

  QString SettingsPath() const { return home_.filePath("settings.ini"); }
  std::string Folder() const { return home_.filePath("recovery/").toStdString(); }

  void Open() {
    gui::TMainWindowSetup setup;
    setup.Settings = std::make_unique<gui::TQtSettingsStore>(SettingsPath());
    setup.OpenDocument = [](const std::string&) {};
    setup.RecoveryFolder = Folder();
    window_ = std::make_unique<gui::TfrmMain>(std::move(setup));
    window_->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  int Copies() const {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(Folder(), ec)) n += e.path().extension() == ".info";
    return n;
  }

  QLineEdit* Field(editor::TCtl c) {
    QWidget* w = window_->PanelView()->Control(c);
    auto* edit = qobject_cast<QLineEdit*>(w);
    return edit ? edit : w->findChild<QLineEdit*>();
  }

  // Types into the frame delay field and keeps the focus there.
  void Type(const QString& text) {
    QLineEdit* delay = Field(editor::CDelay);
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, text);
  }

  QTemporaryDir home_;
  std::unique_ptr<gui::TfrmMain> window_;
};

TEST_F(AutosaveWindowTest, ACopyLeavesTheTitleTheUndoHistoryAndTheFocusAsTheyWere) {
  Open();
  Type("345");
  QWidget* focus = QApplication::focusWidget();
  ASSERT_EQ(focus, Field(editor::CDelay));
  const QString title = window_->windowTitle();
  ASSERT_TRUE(title.contains('*'));
  const size_t steps = window_->Editor().History().StepCount();
  const int cursor = Field(editor::CDelay)->cursorPosition();

  ASSERT_TRUE(QTest::qWaitFor([&] { return Copies() == 1; }, 8000)) << "no copy written";
  QTest::qWait(50);
  EXPECT_EQ(window_->windowTitle(), title);
  EXPECT_EQ(window_->Editor().History().StepCount(), steps);
  EXPECT_EQ(QApplication::focusWidget(), focus);
  EXPECT_EQ(Field(editor::CDelay)->text(), "345");
  EXPECT_EQ(Field(editor::CDelay)->cursorPosition(), cursor);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // Typing on joins the same undo step: the copy did not end the run.
  QTest::keyClicks(Field(editor::CDelay), "6");
  EXPECT_EQ(window_->Editor().History().StepCount(), steps);
  EXPECT_EQ(window_->Editor().Doc().Frames[1].Delay, 3456);
}

TEST_F(AutosaveWindowTest, PreferencesKeepTheIntervalAndZeroWritesNoCopy) {
  Open();
  QAction* preferences = window_->Actions()->Action("actPreferences");
  ASSERT_NE(preferences, nullptr);
  {
    auto script = vtest::OnNextModal([](QWidget* dialog) {
      auto* spin = dialog->findChild<QSpinBox*>("spinAutosave");
      ASSERT_NE(spin, nullptr);
      EXPECT_EQ(spin->value(), 1);
      spin->setValue(0);
      qobject_cast<QDialog*>(dialog)->accept();
    });
    preferences->trigger();
  }
  EXPECT_EQ(QSettings(SettingsPath(), QSettings::IniFormat).value("AutosaveSeconds").toString(),
            "0");
  Type("345");
  QTest::qWait(1500);
  EXPECT_EQ(Copies(), 0);
  EXPECT_FALSE(fs::exists(Folder())) << "nothing at all is written";

  window_.reset();
  Open();
  {
    auto script = vtest::OnNextModal([](QWidget* dialog) {
      EXPECT_EQ(dialog->findChild<QSpinBox*>("spinAutosave")->value(), 0) << "kept";
      qobject_cast<QDialog*>(dialog)->reject();
    });
    preferences = window_->Actions()->Action("actPreferences");
    preferences->trigger();
  }
}

TEST_F(AutosaveWindowTest, TheRecoveryDialogDiscardsAnUnreadableCopyAndKeepsTheRestForLater) {
  std::string work = home_.filePath("work/").toStdString();
  project::TProjectDocument doc;
  doc.TempDir = work;
  doc.Frames[1].Delay = 777;
  for (const char* name : {"a.sw0", "b.sw0"}) {
    editor::TRecoveryStore left(Folder());
    left.Write(project::TakeSnapshot(doc), {"/banners/" + std::string(name), name, 1, 20});
  }
  // The other copy is cut short.
  std::string cut;
  for (const auto& e : fs::directory_iterator(Folder()))
    if (e.path().extension() == ".sw0" && cut.empty()) cut = e.path();
  vtest::WriteText(cut, vtest::ReadText(cut).substr(0, 100));

  int readable = -1, unreadable = -1;
  auto script = vtest::OnNextModal([&](QWidget* dialog) {
    auto* list = dialog->findChild<QListWidget*>("lstCopies");
    auto* restore = dialog->findChild<QPushButton*>("btnRestore");
    ASSERT_EQ(list->count(), 2);
    for (int row = 0; row < 2; ++row) {
      list->setCurrentRow(row);
      (restore->isEnabled() ? readable : unreadable) = row;
    }
    ASSERT_GE(readable, 0);
    ASSERT_GE(unreadable, 0);
    EXPECT_TRUE(list->item(unreadable)->text().contains("unreadable"));
    EXPECT_TRUE(list->item(readable)->text().contains("/banners/"));
    EXPECT_TRUE(list->item(readable)->text().contains("20 frames"));
    EXPECT_FALSE(list->item(readable)->icon().isNull());
    list->setCurrentRow(unreadable);
    dialog->findChild<QPushButton*>("btnDiscard")->click();
    EXPECT_EQ(list->count(), 1);
    dialog->findChild<QPushButton*>("btnLater")->click();
  });
  Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return script.Finished(); }, 8000));
  QTest::qWait(50);
  EXPECT_EQ(Copies(), 1) << "the readable copy waits for the next start";
  EXPECT_FALSE(window_->Editor().Doc().Modified);

  window_.reset();
  auto restore = vtest::OnNextModal(
      [](QWidget* dialog) { dialog->findChild<QPushButton*>("btnRestore")->click(); });
  Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return restore.Finished(); }, 8000));
  QTest::qWait(50);
  EXPECT_EQ(window_->Editor().Doc().Frames[1].Delay, 777);
  EXPECT_TRUE(window_->windowTitle().contains('*'));
  EXPECT_EQ(Copies(), 1) << "the window keeps its own copy of the restored work";
}

}  // namespace
