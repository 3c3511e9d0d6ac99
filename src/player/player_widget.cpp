#include "player/player_widget.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "player/qt_audio_output.h"
#include "player/swf_reader.h"

namespace player {
namespace {

// The sound is written about 100 ms ahead; the timer keeps it fed.
constexpr int kAudioTickMs = 20;

}  // namespace

TPlayerWidget::TPlayerWidget(QWidget* parent) : QWidget(parent) {
  SetOpenLinks(true);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  clock_.start();
}

TPlayerWidget::~TPlayerWidget() = default;

void TPlayerWidget::SetOpenLinks(bool open) {
  linkOpener_ = nullptr;
  if (open) linkOpener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void TPlayerWidget::LoadMovie(const QString& path) {
  LoadMovie(std::make_shared<const TMovie>(ReadMovieFile(path.toStdString())));
}

void TPlayerWidget::LoadMovie(std::shared_ptr<const TMovie> movie) {
  auto timeline = std::make_unique<TTimeline>(movie);
  timeline->OnGetURL = [this](const std::string& url, const std::string& target) {
    const QString qurl = QString::fromStdString(url);
    emit urlRequested(qurl, QString::fromStdString(target));
    if (linkOpener_ && !linkOpener_(QUrl(qurl))) emit linkFailed(qurl);
  };
  if (sound_) {
    sound_->SetMovie(movie, timeline->Looping);
    timeline->Sounds = sound_.get();
  }
  timeline->Start();
  movie_ = std::move(movie);
  timeline_ = std::move(timeline);
  playback_ = std::make_unique<TPlayback>(*timeline_, sound_.get());
  renderer_.SetMovie(movie_);
  StartClock();
  paintedVersion_ = ~uint64_t(0);
  reportedUndrawable_ = -1;
  update();
}

void TPlayerWidget::SetBackgroundColor(int rgb) {
  background_ = rgb < 0 ? -1 : (rgb & 0xFFFFFF);
  update();
}

void TPlayerWidget::SetAudioEnabled(bool enabled) {
  if (enabled == AudioEnabled()) return;
  SetAudioOutput(enabled ? std::make_unique<TQtAudioOutput>() : nullptr);
}

// The movie plays on from where it is; its sounds begin with the next frame.
void TPlayerWidget::SetAudioOutput(std::unique_ptr<IAudioOutput> output) {
  if (timeline_) timeline_->Sounds = nullptr;
  playback_.reset();
  sound_.reset();
  output_ = std::move(output);
  if (output_) {
    sound_ = std::make_unique<TSoundEngine>(output_.get());
    sound_->SetMuted(muted_);
  }
  if (!timeline_) return;
  if (sound_) {
    sound_->SetMovie(movie_, timeline_->Looping);
    if (!timeline_->Playing()) sound_->PlayingChanged(false);
    sound_->FrameShown(timeline_->CurrentFrame(), false);  // a stream starts here
    timeline_->Sounds = sound_.get();
  }
  playback_ = std::make_unique<TPlayback>(*timeline_, sound_.get());
  StartClock();
}

void TPlayerWidget::SetMuted(bool muted) {
  muted_ = muted;
  if (sound_) sound_->SetMuted(muted);
}

void TPlayerWidget::StartClock() {
  if (playback_) playback_->Restart(clock_.nsecsElapsed());
  UpdateTimer();
}

void TPlayerWidget::UpdateTimer() {
  const bool playing = timeline_ && timeline_->Playing() && movie_->FrameRate > 0;
  const bool sounding = sound_ && !sound_->Silent();
  if (!playing && !sounding) {
    timer_.stop();
    return;
  }
  int interval = playing ? std::clamp(int(1000.0 / movie_->FrameRate / 2), 1, 50) : kAudioTickMs;
  if (sound_) interval = std::min(interval, kAudioTickMs);
  if (!timer_.isActive()) timer_.start(interval, Qt::PreciseTimer, this);
}

void TPlayerWidget::Play() {
  if (!timeline_) return;
  timeline_->Play();
  StartClock();
}

void TPlayerWidget::Stop() {
  if (timeline_) timeline_->Stop();
  if (sound_) sound_->StopAll();
  timer_.stop();
}

void TPlayerWidget::GotoFrame(int frame) {
  if (!timeline_) return;
  timeline_->GotoFrame(uint32_t(std::max(frame, 0)));
  if (timeline_->Playing()) StartClock();
  AfterChange();
}

int TPlayerWidget::CurrentFrame() const {
  return timeline_ ? int(timeline_->CurrentFrame()) : 0;
}
int TPlayerWidget::FrameCount() const {
  return movie_ ? int(movie_->FrameCount) : 0;
}
bool TPlayerWidget::IsPlaying() const {
  return timeline_ && timeline_->Playing();
}

QSize TPlayerWidget::sizeHint() const {
  return movie_ ? QSize(movie_->StageWidthPixels(), movie_->StageHeightPixels()) : QSize(468, 60);
}

// Playback follows a clock (playback.h), not the tick count, so it keeps
// the frame rate without drift whatever the timer's jitter.
void TPlayerWidget::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timer_.timerId()) return QWidget::timerEvent(event);
  if (playback_) playback_->Tick(clock_.nsecsElapsed());
  UpdateTimer();
  AfterChange();
}

// A hidden player is a closed preview: nothing of it is heard any more.
void TPlayerWidget::hideEvent(QHideEvent* event) {
  if (sound_) sound_->StopAll();
  QWidget::hideEvent(event);
}

// Repaints only when the display list changed since the last paint; a
// button's sound begins at once.
void TPlayerWidget::AfterChange() {
  if (sound_) {
    sound_->Pump();
    UpdateTimer();
  }
  if (timeline_ && timeline_->DisplayList().Version() != paintedVersion_) update();
  const bool hand = timeline_ && timeline_->OverButton();
  if (hand != handCursor_) {
    handCursor_ = hand;
    if (hand)
      setCursor(Qt::PointingHandCursor);
    else
      unsetCursor();
  }
}

QTransform TPlayerWidget::TwipsToWidget() const {
  return ShowAllTransform(*movie_, width(), height());
}

TPointD TPlayerWidget::ToTwips(QPointF widgetPos) const {
  const QPointF p = TwipsToWidget().inverted().map(widgetPos);
  return {p.x(), p.y()};
}

QPointF TPlayerWidget::ToStage(QPointF widgetPos) const {
  if (!movie_) return widgetPos;
  const TPointD t = ToTwips(widgetPos);
  return {(t.X - movie_->Stage.Xmin) / 20, (t.Y - movie_->Stage.Ymin) / 20};
}

void TPlayerWidget::SetUnderlay(uint16_t depth, TUnderlay paint) {
  underlayDepth_ = depth;
  underlay_ = std::move(paint);
  update();
}

void TPlayerWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QColor back = Qt::white;
  if (background_ >= 0)
    back = QColor::fromRgb(QRgb(background_));
  else if (movie_)
    back = QColor(movie_->Background.R, movie_->Background.G, movie_->Background.B);
  painter.fillRect(rect(), back);
  if (!timeline_) return;
  if (underlay_ && underlayDepth_ < 0xFFFF) {
    renderer_.Paint(painter, timeline_->DisplayList(), TwipsToWidget(), 0, underlayDepth_);
    underlay_(painter);
    renderer_.Paint(painter, timeline_->DisplayList(), TwipsToWidget(), underlayDepth_ + 1);
  } else {
    renderer_.Paint(painter, timeline_->DisplayList(), TwipsToWidget());
  }
  paintedVersion_ = timeline_->DisplayList().Version();
  const int undrawable = int(renderer_.UndrawableBitmaps().size());
  if (undrawable != reportedUndrawable_) emit undrawablePictures(reportedUndrawable_ = undrawable);
}

void TPlayerWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  if (timeline_) timeline_->PointerMove(ToTwips(pos));
  AfterChange();
  emit mouseMoved(ToStage(pos));
}

void TPlayerWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPointF pos = event->position();
  if (timeline_) timeline_->PointerDown(ToTwips(pos));
  AfterChange();
  emit mousePressed(ToStage(pos));
}

void TPlayerWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  const QPointF pos = event->position();
  if (timeline_) timeline_->PointerUp(ToTwips(pos));
  AfterChange();
  emit mouseReleased(ToStage(pos));
}

void TPlayerWidget::leaveEvent(QEvent* event) {
  if (timeline_ && movie_) timeline_->PointerMove({-1e9, -1e9});
  AfterChange();
  QWidget::leaveEvent(event);
}

}  // namespace player
