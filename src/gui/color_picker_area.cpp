#include "gui/color_picker_area.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "editor/color_dialog.h"

namespace gui {

using editor::TColorPicker;

namespace {

QRgb Rgb(project::TColor c) {
  return qRgb(project::Red(c), project::Green(c), project::Blue(c));
}

}  // namespace

TPickerArea::TPickerArea(TKind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setFixedSize(AreaSize() + QSize(2 * Margin, 2 * Margin));
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::CrossCursor);
}

void TPickerArea::SetPicker(const TColorPicker* picker) {
  picker_ = picker;
  update();
}

QSize TPickerArea::AreaSize() const {
  return kind_ == TKind::Square ? QSize(TColorPicker::SquareSize, TColorPicker::SquareSize)
                                : QSize(TColorPicker::HueWidth, TColorPicker::HueHeight);
}

QImage TPickerArea::AreaImage() const {
  QImage image(AreaSize(), QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      row[x] = Rgb(kind_ == TKind::Square ? picker_->SquarePixel(x, y) : TColorPicker::HuePixel(x));
  }
  return image;
}

QPoint TPickerArea::Marker() const {
  if (kind_ == TKind::Square) return {picker_->SquareMarkerX(), picker_->SquareMarkerY()};
  return {picker_->HueMarkerX(), TColorPicker::HueHeight / 2};
}

void TPickerArea::paintEvent(QPaintEvent*) {
  if (!picker_) return;
  QPainter painter(this);
  // One image pixel per logical pixel, scaled without smoothing, so the
  // area stays sharp at any device pixel ratio.
  painter.drawImage(QRect(QPoint(Margin, Margin), AreaSize()), AreaImage());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  const QPointF centre = QPointF(Marker()) + QPointF(Margin, Margin);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.drawEllipse(centre, 3.5, 3.5);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawEllipse(centre, 2.25, 2.25);
  if (hasFocus()) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void TPickerArea::PickAt(QPointF widgetPos) {
  emit picked(int(std::floor(widgetPos.x())) - Margin, int(std::floor(widgetPos.y())) - Margin);
}

void TPickerArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !picker_) return QWidget::mousePressEvent(event);
  PickAt(event->position());
}

void TPickerArea::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !picker_) return QWidget::mouseMoveEvent(event);
  PickAt(event->position());
}

void TPickerArea::keyPressEvent(QKeyEvent* event) {
  QPoint step;
  switch (event->key()) {
    case Qt::Key_Left:
      step = {-1, 0};
      break;
    case Qt::Key_Right:
      step = {1, 0};
      break;
    case Qt::Key_Up:
      step = {0, -1};
      break;
    case Qt::Key_Down:
      step = {0, 1};
      break;
    default:
      return QWidget::keyPressEvent(event);
  }
  if (!picker_ || (kind_ == TKind::Hue && step.x() == 0)) return QWidget::keyPressEvent(event);
  const QPoint to = Marker() + step;
  emit picked(to.x(), to.y());
}

}  // namespace gui
