#include "gui/color_swatch.h"

#include <qdrawutil.h>

#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace gui {

TColorSwatch::TColorSwatch(int frameWidth, QWidget* parent)
    : QAbstractButton(parent), frameWidth_(frameWidth) {
  setAttribute(Qt::WA_Hover);  // repaint when the pointer enters and leaves
  setFixedSize(sizeHint());
}

void TColorSwatch::SetLook(const QColor& color, bool selected, const QColor& frame) {
  if (color == color_ && selected == selected_ && frame == frame_) return;
  color_ = color;
  selected_ = selected;
  frame_ = frame;
  update();
}

QSize TColorSwatch::sizeHint() const {
  return QSize(Size + 2 * frameWidth_, Size + 2 * frameWidth_);
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (frameWidth_ > 0 && frame_.isValid()) painter.fillRect(rect(), frame_);
  const QRect swatch(frameWidth_, frameWidth_, Size, Size);
  const QBrush fill(color_);
  if (selected_ || isDown()) {
    qDrawShadePanel(&painter, swatch, palette(), true, 1, &fill);
  } else if (underMouse() && isEnabled()) {
    qDrawShadePanel(&painter, swatch, palette(), false, 1, &fill);
  } else {
    painter.fillRect(swatch, fill);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
  }
  if (hasFocus()) {
    // Dotted, in black or white, whichever stands out on the colour.
    painter.setPen(QPen(color_.lightness() > 128 ? Qt::black : Qt::white, 1, Qt::DotLine));
    painter.drawRect(swatch.adjusted(2, 2, -3, -3));
  }
}

TSwatchGrid::TSwatchGrid(int first, int count, int columns, const QString& name, QWidget* parent)
    : QWidget(parent), first_(first), columns_(columns) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(1);  // 17-pixel swatches on an 18-pixel pitch
  for (int i = 0; i < count; ++i) {
    auto* swatch = new TColorSwatch(0, this);
    const int n = first + i;
    swatch->setObjectName(QString("RP%1").arg(n));
    swatch->setAccessibleName(QString("%1 %2").arg(name).arg(i + 1));
    swatch->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::NoFocus);
    swatch->installEventFilter(this);
    connect(swatch, &QAbstractButton::clicked, this, [this, n] { emit swatchClicked(n); });
    grid->addWidget(swatch, i / columns, i % columns);
    swatches_.push_back(swatch);
  }
}

TColorSwatch* TSwatchGrid::Swatch(int n) const {
  return n >= first_ && n <= Last() ? swatches_[size_t(n - first_)] : nullptr;
}

bool TSwatchGrid::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  int step = 0;
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Left:
      step = -1;
      break;
    case Qt::Key_Right:
      step = 1;
      break;
    case Qt::Key_Up:
      step = -columns_;
      break;
    case Qt::Key_Down:
      step = columns_;
      break;
    default:
      return false;
  }
  auto it = std::find(swatches_.begin(), swatches_.end(), watched);
  if (it != swatches_.end()) MoveFocus(size_t(it - swatches_.begin()), step);
  return true;
}

// The swatch that gets the focus becomes the grid's only tab stop, so Tab
// comes back to where the user left the grid.
void TSwatchGrid::MoveFocus(size_t from, int step) {
  const int to = int(from) + step;
  if (to < 0 || to >= int(swatches_.size())) return;
  TColorSwatch* next = swatches_[size_t(to)];
  next->setFocusPolicy(Qt::StrongFocus);
  next->setFocus(Qt::TabFocusReason);
  swatches_[from]->setFocusPolicy(Qt::NoFocus);
}

}  // namespace gui
