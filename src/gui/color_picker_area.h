#pragma once
// The picker's saturation/value square (88 x 88) and hue bar (88 x 9),
// painted from the TColorPicker they show, with a ringed marker at the picked
// point. Pressing or dragging with the left button reports the point in the
// area's own pixels; with the keyboard focus, the arrow keys report the
// marker's neighbour.
#include <QWidget>

namespace editor {
class TColorPicker;
}

namespace gui {

class TPickerArea : public QWidget {
  Q_OBJECT

 public:
  enum class TKind { Square, Hue };

  explicit TPickerArea(TKind kind, QWidget* parent = nullptr);
  // nullptr paints an empty area.
  void SetPicker(const editor::TColorPicker* picker);
  // Room around the area, so that the marker shows whole at the edges.
  static constexpr int Margin = 4;

 signals:
  void picked(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QSize AreaSize() const;
  QImage AreaImage() const;
  QPoint Marker() const;
  void PickAt(QPointF widgetPos);

  TKind kind_;
  const editor::TColorPicker* picker_ = nullptr;
};

}  // namespace gui
