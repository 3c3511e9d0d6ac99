#pragma once
// The preview's size view: what each frame adds to the movie file or to its
// HTML5 ad package, as bars that climb to the file's size, the package limit
// of a chosen ad profile as a line, and when each frame has arrived at a
// chosen connection speed (frames that arrive after the movie comes to them
// are drawn in red). The figures are measured from the builds themselves, on
// a worker thread: the bars fill in when they are ready.
#include <QThreadPool>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/frame_sizes.h"
#include "editor/interfaces.h"

class QComboBox;
class QLabel;

namespace gui {

// The bars: frame i's bar rises from the bytes before it to the bytes
// through it, so the last bar's top is the file's size.
class TFrameSizeBars : public QWidget {
  Q_OBJECT

 public:
  explicit TFrameSizeBars(QWidget* parent = nullptr);
  void SetFrames(std::vector<editor::TFrameSize> frames);
  void SetBudget(uint64_t bytes);  // 0: no line
  void SetSpeed(int64_t bitsPerSecond);
  // Compact: no caption and no limit text, small enough for a status bar.
  void SetCompact(bool compact);
  const std::vector<editor::TFrameSize>& Frames() const { return frames_; }
  uint64_t Budget() const { return budget_; }
  // The bar of frame i in widget coordinates.
  QRect BarRect(size_t i) const;
  QSize sizeHint() const override;

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  double Scale() const;  // pixels per byte
  QRect Plot() const;

  std::vector<editor::TFrameSize> frames_;
  uint64_t budget_ = 0;
  int64_t bitsPerSecond_ = 0;
  bool compact_ = false;
};

// The figures of one build: its frames, or why there are none.
struct TMeasuredFrames {
  std::vector<editor::TFrameSize> Frames;
  std::string Error;  // not empty: the build could not be measured
};

class TFrameSizeWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TFrameSizeWindow(QWidget* parent = nullptr);
  ~TFrameSizeWindow() override;  // waits for a measurement under way

  // Measures the request's movie (and its HTML5 package when that is shown)
  // off the window thread; what was measured of an earlier movie is dropped.
  void SetMovie(const editor::TPreviewRequest& request);
  // Shows the same bars on `strip` as well (the preview's compact strip).
  void AddStrip(TFrameSizeBars* strip);
  // The figures of what the view shows are in.
  bool Ready() const;

 signals:
  void measured();  // figures came in and are shown

 private:
  QString ShownKey() const;
  void ListProfiles();
  void Refresh();
  void Measure(const QString& key, std::function<TMeasuredFrames()> work);

  std::vector<TFrameSizeBars*> bars_;  // the view's own first, then the strips
  QComboBox* build_ = nullptr;         // the SWF movie or the HTML5 package
  QComboBox* profile_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLabel* budget_ = nullptr;
  QLabel* summary_ = nullptr;
  editor::TPreviewRequest movie_;
  // Of the current movie, by ShownKey: the SWF's and each profile's package.
  std::map<QString, TMeasuredFrames> measured_;
  std::set<QString> pending_;
  int generation_ = 0;  // counts movies, so late figures of an old one are dropped
  QThreadPool worker_;  // one thread, so measurements queue
};

}  // namespace gui
