#pragma once
// The editor window on a new project, offscreen, with its settings in a
// temporary folder: the fixture of the tests that read the window as a
// keyboard or screen-reader user meets it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

#include "gui/canvas.h"
#include "gui/gui_support.h"
#include "gui/main_window.h"
#include "gui/palette_strip.h"
#include "gui/qt_services.h"

namespace vtest {

class EditorWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { GuiApp(); }

  void SetUp() override {
    gui::TMainWindowSetup setup;
    setup.Settings = std::make_unique<gui::TQtSettingsStore>(home_.filePath("settings.ini"));
    setup.OpenDocument = [](const std::string&) {};
    window_ = std::make_unique<gui::TfrmMain>(std::move(setup));
    window_->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  // A palette click; in animation mode the new object asks for its frames:
  // all of them.
  void AddObject(int kind) {
    TModalScript script({[](QWidget* dialog) {
      for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->text().remove('&') == "OK" && b->isVisible()) return b->click();
    }});
    window_->Canvas()->Palette()->Button(kind)->click();
  }

  QTemporaryDir home_;
  std::unique_ptr<gui::TfrmMain> window_;
};

}  // namespace vtest
