#pragma once
// The drawing surface of one icon: a square of device pixels laid out as a
// 16 x 16 grid of cells. A whole coordinate u names a cell, and an outline at
// u covers the device pixels from the start of that cell on, so every
// horizontal and vertical edge lands on whole pixels (half pixels for the
// centre of an odd stroke) at any size. Fractional coordinates (centres,
// points of a star) map exactly. Shapes symmetric about the icon's centre
// pair cell a with cell 15 - a.
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <initializer_list>

namespace gui {

// The colours of a motif: a soft fill and the ink of its outline.
struct TTone {
  QColor fill;
  QColor ink;
};

// The restrained palette every icon draws from: soft fills light enough to
// read on a dark window, inks dark enough to read on a light one.
namespace tone {
extern const TTone kBlue;
extern const TTone kPaper;
extern const TTone kAmber;
extern const TTone kGreen;
extern const TTone kRed;
}  // namespace tone

class TIconCanvas {
 public:
  TIconCanvas(QPainter& painter, int pixels);

  // The outline width in device pixels: one width per icon size.
  double Stroke() const { return stroke_; }
  // A length of u cells in device pixels.
  double Length(double u) const { return u * scale_; }
  QPointF At(double x, double y) const { return {Map(x), Map(y)}; }
  // The centre line of a box whose outlines cover cells left..right and top..bottom.
  QRectF Box(double left, double top, double right, double bottom) const;
  QPainterPath Polygon(std::initializer_list<QPointF> cells) const;
  QPainterPath Rect(double left, double top, double right, double bottom) const;
  QPainterPath Ellipse(double left, double top, double right, double bottom) const;

  // Fills the path softly and outlines it.
  void Shape(const QPainterPath& path, const TTone& tone);
  // The outer edge of a band of the given width in cells along a centre
  // line (drawn in device pixels), as one shape to fill and outline.
  QPainterPath Band(const QPainterPath& centreLine, double width) const;
  void Outline(const QPainterPath& path, const QColor& ink);

 private:
  double Map(double u) const;

  QPainter& painter_;
  double scale_;
  double stroke_;
};

}  // namespace gui
