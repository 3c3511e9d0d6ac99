#pragma once
// Every command of the main window as one QAction, made in one place with
// its caption, shortcut text, hint and icon; the menus and the tool bar use
// the same actions. Enabling, ticks and captions come from the editor's menu
// state (Show).
#include <QObject>
#include <array>
#include <functional>

#include "editor/panel.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace editor {
class TEditor;
}

namespace gui {

class TMainActions : public QObject {
  Q_OBJECT

 public:
  // `after` runs after every command, so the window shows the new state;
  // `preview` opens the preview window.
  // Commands of the window itself, beside the editor's.
  struct TWindowCommands {
    std::function<void()> ExportMovie, ExportWebPage;
    std::function<void()> Preferences;
    std::function<void()> ExportAdPackage;
  };
  TMainActions(QMainWindow& window, editor::TEditor& editor, std::function<void()> after,
               TWindowCommands commands);
  void Show(const editor::TPropertyPanel& panel, project::TEditMode mode);
  QAction* Action(const QString& name) const;
  QAction* Item(editor::TMenuItem item) const { return items_[size_t(item)]; }
  QToolBar* ToolBar() const { return toolBar_; }

 private:
  QAction* Make(const char* name, const char* caption, const char* shortcut, int icon,
                std::function<void()> run);
  QAction* MakeItem(editor::TMenuItem item, const char* name, const char* shortcut, int icon);
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildModeItems(QMenu* menu);
  void BuildViewMenu();
  void BuildFramesMenu();
  void BuildObjectsMenu();
  void BuildHelpMenu();
  void BuildToolBar();

  QMainWindow& window_;
  editor::TEditor& editor_;
  std::function<void()> after_;
  TWindowCommands commands_;
  std::array<QAction*, editor::MenuCount> items_{};
  QMenu* recent_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  project::TEditMode shownMode_ = project::TEditMode::emAnimation;
  bool modeShown_ = false;
};

}  // namespace gui
