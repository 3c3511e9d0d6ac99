#include "gui/icon_canvas.h"

#include <QLineF>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace gui {

namespace tone {
const TTone kBlue{QColor(0xbc, 0xd6, 0xf2), QColor(0x27, 0x5a, 0x94)};
const TTone kPaper{QColor(0xfa, 0xfa, 0xf7), QColor(0x4d, 0x57, 0x63)};
const TTone kAmber{QColor(0xf6, 0xd4, 0x83), QColor(0x8f, 0x62, 0x0c)};
const TTone kGreen{QColor(0xb4, 0xe0, 0xa6), QColor(0x2b, 0x74, 0x2f)};
const TTone kRed{QColor(0xf6, 0xb4, 0xac), QColor(0xb0, 0x30, 0x27)};
}  // namespace tone

namespace {

constexpr double kCells = 16;

// 1 pixel up to 27 pixels, 2 up to 43, 3 up to 59, ...
double StrokeFor(int pixels) {
  return std::max(1.0, std::floor(pixels / kCells + 0.25));
}

QPointF Normal(QPointF from, QPointF to) {
  const QPointF d = to - from;
  return QPointF(-d.y(), d.x()) / std::hypot(d.x(), d.y());
}

// Both sides of a polyline at the given distance, joined into one outline
// with square ends. Mitred joins keep the width through gentle bends (a
// flattened arc); a stroker's own outline of a curve overlaps itself and
// leaves slivers inside the band.
QPainterPath OffsetBand(const QPolygonF& line, double half) {
  QPolygonF points;
  for (const QPointF& point : line) {
    if (points.isEmpty() || QLineF(points.back(), point).length() > 1e-6) points << point;
  }
  if (points.size() < 2) return {};
  QPolygonF left;
  QPolygonF right;
  for (qsizetype i = 0; i < points.size(); ++i) {
    const QPointF in =
        Normal(points[std::max<qsizetype>(i - 1, 0)], points[std::max<qsizetype>(i, 1)]);
    const QPointF out =
        Normal(points[std::min(i, points.size() - 2)], points[std::min(i + 1, points.size() - 1)]);
    QPointF mitre = in + out;
    mitre *= 2 * half / QPointF::dotProduct(mitre, mitre);
    left << points[i] + mitre;
    right.prepend(points[i] - mitre);
  }
  QPainterPath band;
  band.addPolygon(left + right);
  band.closeSubpath();
  return band;
}

}  // namespace

TIconCanvas::TIconCanvas(QPainter& painter, int pixels)
    : painter_(painter), scale_(pixels / kCells), stroke_(StrokeFor(pixels)) {
  painter_.setRenderHint(QPainter::Antialiasing);
}

double TIconCanvas::Map(double u) const {
  if (u == std::floor(u)) return std::round(u * scale_) + stroke_ / 2;
  return (u + 0.5) * scale_;
}

QRectF TIconCanvas::Box(double left, double top, double right, double bottom) const {
  return QRectF(At(left, top), At(right, bottom));
}

QPainterPath TIconCanvas::Polygon(std::initializer_list<QPointF> cells) const {
  QPolygonF points;
  for (const QPointF& cell : cells) points << At(cell.x(), cell.y());
  QPainterPath path;
  path.addPolygon(points);
  path.closeSubpath();
  return path;
}

QPainterPath TIconCanvas::Rect(double left, double top, double right, double bottom) const {
  QPainterPath path;
  path.addRect(Box(left, top, right, bottom));
  return path;
}

QPainterPath TIconCanvas::Ellipse(double left, double top, double right, double bottom) const {
  QPainterPath path;
  path.addEllipse(Box(left, top, right, bottom));
  return path;
}

void TIconCanvas::Shape(const QPainterPath& path, const TTone& tone) {
  painter_.fillPath(path, tone.fill);
  Outline(path, tone.ink);
}

QPainterPath TIconCanvas::Band(const QPainterPath& centreLine, double width) const {
  // The outline is centred on the band's edge, so the band leaves room for
  // its outer half; a whole half width keeps the edges of a band along a
  // snapped centre line on the outline's own grid.
  const double half = std::round((Length(width) - stroke_) / 2);
  QPainterPath band;
  for (const QPolygonF& line : centreLine.toSubpathPolygons()) {
    band = band.united(OffsetBand(line, half));
  }
  return band;
}

void TIconCanvas::Outline(const QPainterPath& path, const QColor& ink) {
  QPen pen(ink, stroke_);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.strokePath(path, pen);
}

}  // namespace gui
