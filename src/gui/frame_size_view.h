#pragma once
// The preview's size view: what each frame adds to the movie file, as bars
// that climb to the file's size, the package limit of a chosen ad profile as
// a line, and when each frame has arrived at a chosen connection speed
// (frames that arrive after the movie comes to them are drawn in red). The
// figures are the editor's, measured from the build.
#include <QWidget>
#include <cstdint>
#include <vector>

#include "editor/frame_sizes.h"

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
  const std::vector<editor::TFrameSize>& Frames() const { return frames_; }
  uint64_t Budget() const { return budget_; }
  // The bar of frame i in widget coordinates.
  QRect BarRect(size_t i) const;
  QSize sizeHint() const override { return {360, 140}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  double Scale() const;  // pixels per byte
  QRect Plot() const;

  std::vector<editor::TFrameSize> frames_;
  uint64_t budget_ = 0;
  int64_t bitsPerSecond_ = 0;
};

class TFrameSizeWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TFrameSizeWindow(QWidget* parent = nullptr);
  // The movie's frames and its stage size (the ad size of the budget).
  void SetMovie(std::vector<editor::TFrameSize> frames, int width, int height);

 private:
  void ListProfiles();
  void Refresh();

  TFrameSizeBars* bars_ = nullptr;
  QComboBox* profile_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLabel* budget_ = nullptr;
  QLabel* summary_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace gui
