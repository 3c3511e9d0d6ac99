#pragma once
// The editor window on a new project, offscreen, with its settings in a
// temporary folder: the fixture of the tests that read the window as a
// keyboard or screen-reader user meets it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QToolButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/gui_support.h"
#include "gui/main_window.h"
#include "gui/palette_strip.h"
#include "gui/qt_services.h"

namespace vtest {

// The window on `args`, its settings in `home`, shown and settled; documents
// it opens in a new window go to `openDocument`.
inline std::unique_ptr<gui::TfrmMain> ShowEditorWindow(
    const QTemporaryDir& home, std::vector<std::string> args = {},
    std::function<void(const std::string&)> openDocument = [](const std::string&) {}) {
  gui::TMainWindowSetup setup;
  setup.Args = std::move(args);
  setup.Settings = std::make_unique<gui::TQtSettingsStore>(home.filePath("settings.ini"));
  setup.OpenDocument = std::move(openDocument);
  auto window = std::make_unique<gui::TfrmMain>(std::move(setup));
  window->show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  return window;
}

class EditorWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { GuiApp(); }

  void SetUp() override { window_ = ShowEditorWindow(home_); }

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
