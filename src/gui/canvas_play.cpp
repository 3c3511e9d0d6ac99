#include "gui/canvas_play.h"

#include <QEvent>
#include <QWidget>

#include "editor/editor.h"
#include "editor/frame_view.h"

namespace gui {

TCanvasPlay::TCanvasPlay(editor::TEditor& editor, std::function<void()> after, QObject* parent)
    : QObject(parent), editor_(editor), after_(std::move(after)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
}

void TCanvasPlay::Play() {
  if (playing_) return;
  playing_ = true;
  clock_.start();
  due_ = 0;
  WaitForCurrentFrame();
  emit playingChanged(true);
}

void TCanvasPlay::Stop() {
  if (!playing_) return;
  playing_ = false;
  timer_.stop();
  emit playingChanged(false);
}

// The next frame is due when the shown one's Delay has run out, counted from
// when it was due rather than from when it was drawn, so the play keeps time.
void TCanvasPlay::WaitForCurrentFrame() {
  const project::TProjectDocument& doc = editor_.Doc();
  due_ += editor::PlayedMilliseconds(doc.Frames[size_t(doc.CurrentFrame)].Delay);
  timer_.start(int(std::max<qint64>(0, due_ - clock_.elapsed())));
}

void TCanvasPlay::Step() {
  const int32_t next = editor::NextPlayedFrame(editor_.Doc(), editor_.Doc().CurrentFrame);
  if (next == 0) {
    playing_ = false;
    emit playingChanged(false);
    return;
  }
  editor_.GoToFrame(next);
  after_();
  // A frame that took longer to draw than its Delay does not pile up steps.
  if (due_ < clock_.elapsed() - 1000) due_ = clock_.elapsed();
  if (playing_) WaitForCurrentFrame();
}

void TCanvasPlay::StopOnPress(QWidget* widget) {
  widget->installEventFilter(this);
}

bool TCanvasPlay::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) Stop();
  return QObject::eventFilter(watched, event);
}

}  // namespace gui
