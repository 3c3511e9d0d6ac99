#pragma once
// The player widget: the embedded SWF player of the canvas and the preview.
// It loads a movie from a path (the file may go right after), plays it at
// its frame rate, shows it fitted into the widget ("ShowAll", 1:1 at the
// stage size) and reports the pointer in stage pixels. With its audio
// enabled (the preview; the editor's canvas stays silent) it plays the
// movie's sounds, and a stream's audio drives the frames.
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "player/audio_output.h"
#include "player/playback.h"
#include "player/renderer.h"
#include "player/sound_engine.h"
#include "player/timeline.h"

class QPainter;

namespace player {

class TPlayerWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TPlayerWidget(QWidget* parent = nullptr);
  ~TPlayerWidget() override;

  // Reads the whole file, shows frame 0 and starts playing. Throws
  // EPlayerError and keeps the current movie when the file cannot be read.
  void LoadMovie(const QString& path);
  void LoadMovie(std::shared_ptr<const TMovie> movie);
  // Colour 0xRRGGBB shown around the stage and where the movie leaves it
  // uncovered; a negative value shows the movie's own background colour.
  void SetBackgroundColor(int rgb);
  int BackgroundColor() const { return background_; }
  void Play();
  // Halts playback and silences every sound at once.
  void Stop();
  // 0-based.
  void GotoFrame(int frame);
  int CurrentFrame() const;
  int FrameCount() const;
  bool IsPlaying() const;
  // Opens GetURL links with the desktop's browser (on by default); the
  // urlRequested signal comes either way.
  void SetOpenLinks(bool open);
  // What opens a link instead of the desktop's browser (tests); it returns
  // false when the link could not be opened, and linkFailed follows.
  using TLinkOpener = std::function<bool(const QUrl&)>;
  void SetLinkOpener(TLinkOpener opener) { linkOpener_ = std::move(opener); }
  const TTimeline* Timeline() const { return timeline_.get(); }

  // Plays the movie's sounds on the sound device (off by default). Without a
  // device the movie plays silently after one warning.
  void SetAudioEnabled(bool enabled);
  bool AudioEnabled() const { return sound_ != nullptr; }
  // Plays the sounds into output instead (tests); null turns the sound off.
  void SetAudioOutput(std::unique_ptr<IAudioOutput> output);
  // Muted, the sounds go on unheard (a stream still drives the frames).
  void SetMuted(bool muted);
  bool Muted() const { return muted_; }
  // Painted over the objects up to `depth` and under the others (the editor's
  // onion skin under the current frame's objects); an empty one paints nothing.
  using TUnderlay = std::function<void(QPainter&)>;
  void SetUnderlay(uint16_t depth, TUnderlay paint);
  // Widget pixels to stage pixels.
  QPointF ToStage(QPointF widgetPos) const;
  QSize sizeHint() const override;

 signals:
  void mouseMoved(QPointF stagePos);
  void mousePressed(QPointF stagePos);
  void mouseReleased(QPointF stagePos);
  void urlRequested(const QString& url, const QString& target);
  void linkFailed(const QString& url);
  // After the first paint of a movie, and whenever the count changes: how
  // many of the movie's pictures met so far cannot be decoded, so they are
  // not shown.
  void undrawablePictures(int count);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  QTransform TwipsToWidget() const;
  TPointD ToTwips(QPointF widgetPos) const;
  void StartClock();
  // Runs the timer while the movie plays or a sound is still to be heard.
  void UpdateTimer();
  void AfterChange();

  std::shared_ptr<const TMovie> movie_;
  std::unique_ptr<TTimeline> timeline_;
  TRenderer renderer_;
  int background_ = -1;
  TLinkOpener linkOpener_;
  TUnderlay underlay_;
  uint16_t underlayDepth_ = 0;
  bool handCursor_ = false;
  std::unique_ptr<IAudioOutput> output_;
  std::unique_ptr<TSoundEngine> sound_;
  std::unique_ptr<TPlayback> playback_;
  bool muted_ = false;
  QBasicTimer timer_;
  QElapsedTimer clock_;
  uint64_t paintedVersion_ = ~uint64_t(0);
  int reportedUndrawable_ = -1;  // -1: not reported for this movie yet
};

}  // namespace player
