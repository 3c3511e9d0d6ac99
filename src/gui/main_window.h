#pragma once
// TfrmMain: the editor window. It composes the tool bar and menus, the canvas
// with the object palette, the property panel and the status bar, binds them
// to the editor's logic (TEditor) and implements what the logic asks of the
// window (IMainWindow). It keeps no copy of the model: after every user
// action it shows the editor's panel values.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/autosave.h"
#include "editor/editor.h"
#include "editor/recovery_store.h"
#include "editor/movie_builder.h"
#include "editor/screen_text_measurer.h"

namespace gui {

class TAutosaveHost;
class TCanvas;
class TExportFlow;
class TFrameTools;
class TMainActions;
class TMainStatusBar;
class TPropertyPanelView;

// What the window is made with; tests pass a temporary settings store.
struct TMainWindowSetup {
  std::vector<std::string> Args;                     // the command line's project
  std::unique_ptr<editor::ISettingsStore> Settings;  // default: the user's settings
  // Opens a document with the desktop (default: QDesktopServices).
  std::function<void(const std::string&)> OpenDocument;
  // Where recovery copies live (default: the user's state folder).
  std::string RecoveryFolder;
};

class TfrmMain : public QMainWindow, private editor::IMainWindow {
  Q_OBJECT

 public:
  explicit TfrmMain(TMainWindowSetup setup, QWidget* parent = nullptr);
  ~TfrmMain() override;

  editor::TEditor& Editor() { return *editor_; }
  TCanvas* Canvas() const { return canvas_; }
  TPropertyPanelView* PanelView() const { return panelView_; }
  TMainActions* Actions() const { return actions_; }
  TMainStatusBar* Status() const { return status_; }
  TFrameTools* FrameTools() const { return frameTools_; }
  editor::TAutosave& Autosave() { return *autosave_; }
  // Shows the editor's state: panel, menus, status bar, caption, canvas.
  void ShowState();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // editor::IMainWindow
  editor::TRect WorkArea() override;
  editor::TBounds Bounds() override;
  void SetBounds(const editor::TBounds& bounds) override;
  int32_t CanvasWidth() override;
  int32_t CanvasHeight() override;
  int32_t PaletteWidth() override;
  int32_t ScreenPixelsPerInch() override;
  void Beep() override;
  void ProcessEvents() override;
  void OpenDocument(const std::string& path) override { TryOpenDocument(path); }
  bool TryOpenDocument(const std::string& path) override;
  void ShowAbout() override;
  void RequestClose() override;

  void BuildCanvasEvents();
  bool KeyDown(QObject* watched, QKeyEvent* key);
  void KeepStageVisible();
  void ActivateLayouts();
  void MakeAutosave();
  // At start: the work other editors left unsaved.
  void OfferRecovery();
  void ShowPreferences();

  class TServices;
  std::unique_ptr<TServices> services_;
  std::unique_ptr<editor::TEditor> editor_;
  std::unique_ptr<TExportFlow> exports_;
  // Destroyed in this order's reverse: the worker ends before the store goes.
  std::unique_ptr<editor::TRecoveryStore> recovery_;
  std::unique_ptr<TAutosaveHost> autosaveHost_;
  std::unique_ptr<editor::TAutosave> autosave_;
  TMainWindowSetup setup_;
  TCanvas* canvas_ = nullptr;
  TPropertyPanelView* panelView_ = nullptr;
  TMainActions* actions_ = nullptr;
  TMainStatusBar* status_ = nullptr;
  TFrameTools* frameTools_ = nullptr;
  bool shown_ = false;
  bool closing_ = false;
};

}  // namespace gui
