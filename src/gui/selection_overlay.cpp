#include "gui/selection_overlay.h"

#include <QPainter>
#include <QPolygonF>

namespace gui {

namespace {

// Dark and light together stay visible on any colour of the movie.
const QColor kLine(0, 90, 200);
const QColor kHandleFill(255, 255, 255);

QPointF Point(const editor::TStagePoint& p, QPoint origin) {
  return {p.X + origin.x(), p.Y + origin.y()};
}

}  // namespace

TSelectionOverlay::TSelectionOverlay(QWidget* parent, QWidget* stage)
    : QWidget(parent), stage_(stage) {
  setObjectName("SelectionOverlay");
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void TSelectionOverlay::ShowOutlines(const std::vector<editor::TOutline>& outlines) {
  if (outlines == outlines_) return;
  outlines_ = outlines;
  update();
}

// The outline runs along the object's box; handles sit on its corners and
// the middles of its sides.
void TSelectionOverlay::paintEvent(QPaintEvent*) {
  if (outlines_.empty()) return;
  const QPoint origin = stage_->geometry().topLeft();
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const editor::TOutline& outline : outlines_) {
    QPolygonF box;
    for (const editor::TStagePoint& corner : outline) box << Point(corner, origin);
    p.setPen(QPen(kLine, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(box);
    p.setBrush(kHandleFill);
    for (int i = 0; i < 4; ++i) {
      const QPointF corner = box[i], middle = (box[i] + box[(i + 1) % 4]) / 2;
      for (QPointF at : {corner, middle}) {
        const QRectF handle(at.x() - kHandle / 2.0, at.y() - kHandle / 2.0, kHandle - 1,
                            kHandle - 1);
        p.drawRect(handle);
      }
    }
  }
}

}  // namespace gui
