#pragma once
// The preview window (caption "SWF Preview"): the whole movie playing in its
// own player on the web site's colour, a status bar of four panes with a
// strip of bars under them (what each frame adds to the file), the
// "Sizes" button that opens the size view with its choices,
// and the "Save SWF..." button that starts the export. It is made once and shown
// without blocking the editor; the first preview centres it on the screen,
// later previews leave it where the user put it.
#include <QWidget>
#include <array>
#include <functional>

#include "editor/interfaces.h"

class QLabel;
class QPushButton;
class QToolButton;
class QStatusBar;

namespace player {
class TPlayerWidget;
}

namespace gui {

class TFrameSizeBars;
class TFrameSizeWindow;

class TfrmSWF : public QWidget, public editor::IPreviewWindow {
  Q_OBJECT

 public:
  explicit TfrmSWF(QWidget* parent = nullptr);

  bool IsOpen() override;
  // Throws player::EPlayerError when the movie cannot be read; the window
  // then stays as it was.
  void Show(const editor::TPreviewRequest& request) override;
  // Stops the player and hides the window, without OnClosed.
  void Close() override;
  void Play() override;
  void Stop() override;
  void ShowMessage(const std::string& text) override;
  bool HasSaveButton() override { return true; }

  // The main window connects these to TEditor::SaveSWF and
  // TEditor::PreviewClosed.
  std::function<void()> OnSaveClicked;
  std::function<void()> OnClosed;
  // The player's count of pictures it cannot decode; the main window hands
  // it to TEditor::PreviewPicturesUndrawable.
  std::function<void(int)> OnPicturesUndrawable;
  // The mute toggle of the status bar; the main window keeps the choice in
  // the settings and gives it back with SetMuted.
  std::function<void(bool)> OnMutedChanged;
  void SetMuted(bool muted);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QStatusBar* MakeStatusBar();
  void SetSiteColor(uint32_t rgb);
  void CentrePlayer();
  void PlaceOnScreenCentre();

  QWidget* stage_ = nullptr;  // the client area above the status bar
  player::TPlayerWidget* player_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  std::array<QLabel*, 4> panes_{};
  QToolButton* mute_ = nullptr;
  QToolButton* sizes_ = nullptr;     // shows the size view
  TFrameSizeBars* strip_ = nullptr;  // under the panes; a click shows the size view
  TFrameSizeWindow* sizeView_ = nullptr;
  QPushButton* save_ = nullptr;
  bool placed_ = false;
};

}  // namespace gui
