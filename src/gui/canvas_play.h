#pragma once
// Playing on the canvas: from the current frame on, each frame for its Delay,
// through the editor's frame navigation, so that Stop leaves the editor on
// the frame shown, ready to edit. A click on the canvas or the frame strip
// stops it first.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace editor {
class TEditor;
}

namespace gui {

class TCanvasPlay : public QObject {
  Q_OBJECT

 public:
  // `after` runs after every frame step, so the window shows the new state.
  TCanvasPlay(editor::TEditor& editor, std::function<void()> after, QObject* parent = nullptr);
  void Play();
  void Stop();
  void Toggle() { Playing() ? Stop() : Play(); }
  bool Playing() const { return playing_; }
  // When the frame shown ends, in milliseconds since Play.
  qint64 FrameEnds() const { return due_; }
  // Mouse presses on `widget` stop the play before they act.
  void StopOnPress(QWidget* widget);

 signals:
  void playingChanged(bool playing);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Step();
  void WaitForCurrentFrame();

  editor::TEditor& editor_;
  std::function<void()> after_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool playing_ = false;
  qint64 due_ = 0;  // when the frame shown ends, on clock_
};

}  // namespace gui
