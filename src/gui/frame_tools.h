#pragma once
// The window's view of the whole movie beside the canvas: the frame strip in
// its dock, the onion skin and playing on the canvas, with their actions in
// the View menu and the tool bar. The choices (strip shown and where, its
// zoom, onion skin on and its frame count) are kept in the settings.
#include <QObject>
#include <functional>
#include <memory>

#include "gui/onion_skin.h"

class QAction;
class QDockWidget;
class QMainWindow;

namespace editor {
class ISettingsStore;
class TEditor;
}  // namespace editor

namespace gui {

class TCanvas;
class TCanvasPlay;
class TFrameStrip;
class TMainActions;

class TFrameTools : public QObject {
  Q_OBJECT

 public:
  TFrameTools(QMainWindow& window, editor::TEditor& editor, editor::ISettingsStore& settings,
              TCanvas& canvas, TMainActions& actions, std::function<void()> after);
  ~TFrameTools() override;
  // After every command: the strip and the onion skin follow the document.
  void Show();
  // Space on the canvas plays or stops, Ctrl+Shift+O turns the onion skin
  // on or off; true when the key was used. Any other key stops the play.
  bool KeyDown(int key, Qt::KeyboardModifiers mods, bool canvasFocused);

  TFrameStrip* Strip() const { return strip_; }
  QDockWidget* Dock() const { return dock_; }
  TOnionSkin& Onion() { return *onion_; }
  TCanvasPlay& Player() const { return *play_; }

 private:
  void BuildDock();
  void BuildActions();
  void SetOnion(bool on);
  void SetOnionCount(int count);
  std::string Read(const char* name, const char* fallback);
  void Write(const char* name, const std::string& value);

  QMainWindow& window_;
  editor::TEditor& editor_;
  editor::ISettingsStore& settings_;
  TCanvas& canvas_;
  TMainActions& actions_;
  std::function<void()> after_;
  QDockWidget* dock_ = nullptr;
  TFrameStrip* strip_ = nullptr;
  std::unique_ptr<TOnionSkin> onion_;
  TCanvasPlay* play_ = nullptr;
  QAction* onionAction_ = nullptr;
  QAction* playAction_ = nullptr;
};

}  // namespace gui
