#pragma once
// The colour dialog's swatches: a 17 x 17 button showing one colour, flat,
// raised while the pointer is over it and sunken when it is the selected one,
// optionally inside a coloured frame (the mark of the gradient end that
// follows the current colour). A grid of swatches on an 18-pixel pitch keeps
// a single tab stop and moves the focus with the arrow keys.
#include <QAbstractButton>
#include <QColor>
#include <vector>

namespace gui {

class TColorSwatch : public QAbstractButton {
  Q_OBJECT

 public:
  static constexpr int Size = 17;

  explicit TColorSwatch(int frameWidth = 0, QWidget* parent = nullptr);
  // An invalid frame colour draws no frame.
  void SetLook(const QColor& color, bool selected, const QColor& frame = QColor());
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int frameWidth_;
  QColor color_, frame_;
  bool selected_ = false;
};

class TSwatchGrid : public QWidget {
  Q_OBJECT

 public:
  // Swatches numbered first..first + count - 1 in reading order; each is
  // named "<name> <position in the grid>" for assistive tools.
  TSwatchGrid(int first, int count, int columns, const QString& name, QWidget* parent = nullptr);
  // By the swatch's number; nullptr outside the grid.
  TColorSwatch* Swatch(int n) const;
  int First() const { return first_; }
  int Last() const { return first_ + int(swatches_.size()) - 1; }

 signals:
  void swatchClicked(int n);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MoveFocus(size_t from, int step);

  int first_, columns_;
  std::vector<TColorSwatch*> swatches_;
};

}  // namespace gui
