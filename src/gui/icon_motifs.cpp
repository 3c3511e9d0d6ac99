#include "gui/icon_motifs.h"

#include <cmath>
#include <numbers>

namespace gui::motif {

namespace {

TTone Faded(const TTone& tone, double alpha) {
  TTone faded = tone;
  faded.fill.setAlphaF(alpha);
  faded.ink.setAlphaF(alpha);
  return faded;
}

QPainterPath RoundedBox(TIconCanvas& c, double l, double t, double r, double b, double radius) {
  QPainterPath path;
  path.addRoundedRect(c.Box(l, t, r, b), c.Length(radius), c.Length(radius));
  return path;
}

QPainterPath Line(TIconCanvas& c, QPointF from, QPointF to) {
  QPainterPath path(c.At(from.x(), from.y()));
  path.lineTo(c.At(to.x(), to.y()));
  return path;
}

// Paper inked in the tone of what it belongs to, so its outline joins the rest.
TTone PaperIn(const TTone& t) {
  return {tone::kPaper.fill, t.ink};
}

// A floppy disk whose outline covers cells x..x+size and y..y+size.
void FloppyAt(TIconCanvas& c, const TTone& t, double x, double y, double size) {
  const double cut = std::round(size * 0.15);
  const double right = x + size;
  const double bottom = y + size;
  c.Shape(c.Polygon({{x, y}, {right - cut, y}, {right, y + cut}, {right, bottom}, {x, bottom}}), t);
  c.Shape(c.Rect(x + 3, y, right - 3, y + std::round(size * 0.3)), PaperIn(t));
  c.Shape(c.Rect(x + 2, y + std::round(size * 0.53), right - 2, bottom), PaperIn(t));
}

// A frame of the movie: a sheet with its picture area.
void FrameAt(TIconCanvas& c, const TTone& t, double x, double y, double size) {
  c.Shape(c.Rect(x, y, x + size, y + size), tone::kPaper);
  c.Shape(c.Rect(x + 2, y + 2, x + size - 2, y + size - 2), t);
}

}  // namespace

void Rectangle(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Rect(1, 3, 14, 12), t);
}

void RoundRect(TIconCanvas& c, const TTone& t) {
  c.Shape(RoundedBox(c, 1, 3, 14, 12, 3), t);
}

void Circle(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Ellipse(1, 1, 14, 14), t);
}

void Ellipse(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Ellipse(0, 3, 15, 12), t);
}

void Diamond(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{7.5, 0}, {15, 7.5}, {7.5, 15}, {0, 7.5}}), t);
}

void Star(TIconCanvas& c, const TTone& t) {
  constexpr double kOuter = 7.5;
  constexpr double kInner = 3.4;
  // Five points reach down only to cos 36 degrees of the radius; centring
  // the height rather than the circle balances the star in its square.
  const double centreY = 7.5 + kOuter * (1 - std::cos(std::numbers::pi / 5)) / 2;
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const double radius = i % 2 == 0 ? kOuter : kInner;
    const double angle = i * std::numbers::pi / 5;
    const QPointF point = c.At(7.5 + radius * std::sin(angle), centreY - radius * std::cos(angle));
    if (i == 0) {
      path.moveTo(point);
    } else {
      path.lineTo(point);
    }
  }
  path.closeSubpath();
  c.Shape(path, t);
}

void Text(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{1, 1}, {14, 1}, {14, 4}, {9, 4}, {9, 14}, {6, 14}, {6, 4}, {1, 4}}), t);
}

void Picture(TIconCanvas& c, const TTone& t) {
  const QPainterPath frame = c.Rect(0, 2, 15, 13);
  c.Shape(frame, tone::kPaper);
  c.Shape(c.Ellipse(9, 4, 12, 7), tone::kAmber);
  c.Shape(c.Polygon({{0, 13}, {5, 7}, {8, 10}, {10, 8}, {15, 13}}), t);
  c.Outline(frame, tone::kPaper.ink);
}

void Button(TIconCanvas& c, const TTone& t) {
  c.Shape(RoundedBox(c, 0, 1, 15, 10, 2.5), t);
  // The arrow pointer, its tip on the button; its long edges run at 45 degrees.
  c.Shape(c.Polygon({{6, 3}, {6, 13}, {8, 11}, {9, 14}, {11, 13}, {10, 10}, {13, 10}}),
          tone::kPaper);
}

void NewPage(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{2, 0}, {9, 0}, {13, 4}, {13, 15}, {2, 15}}), t);
  c.Shape(c.Polygon({{9, 0}, {9, 4}, {13, 4}}), t);
}

void OpenFolder(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{0, 1}, {5, 1}, {7, 3}, {14, 3}, {14, 13}, {0, 13}}), t);
  c.Shape(c.Rect(2, 5, 12, 11), tone::kPaper);
  c.Shape(c.Polygon({{0, 13}, {3, 7}, {15, 7}, {12, 13}}), t);
}

void ClosedFolder(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{0, 2}, {5, 2}, {7, 4}, {15, 4}, {15, 13}, {0, 13}}), t);
  c.Shape(c.Rect(0, 6, 15, 13), t);
}

void Floppy(TIconCanvas& c, const TTone& t) {
  FloppyAt(c, t, 1, 1, 13);
}

void FloppyAndPencil(TIconCanvas& c, const TTone& t) {
  FloppyAt(c, t, 0, 0, 11);
  // The pencil runs from the upper right down to its point at the lower left.
  const QPointF back(14.5, 6.5);
  const QPointF front(9.5, 11.5);
  const QPointF side(1.1, 1.1);
  const QPointF point(7.3, 13.7);
  c.Shape(c.Polygon({back - side, back + side, front + side, front - side}), tone::kAmber);
  c.Shape(c.Polygon({front - side, front + side, point}), PaperIn(tone::kAmber));
}

void PlayScreen(TIconCanvas& c, const TTone& t) {
  c.Shape(RoundedBox(c, 0, 1, 15, 14, 2), tone::kPaper);
  c.Shape(c.Polygon({{5, 4}, {11.5, 7.5}, {5, 11}}), t);
}

void StepForward(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{4, 2}, {12, 7.5}, {4, 13}}), t);
}

void SkipToEnd(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{2, 2}, {10, 7.5}, {2, 13}}), t);
  c.Shape(c.Rect(11, 2, 13, 13), t);
}

void FramePlus(TIconCanvas& c, const TTone& t) {
  FrameAt(c, t, 0, 0, 11);
  c.Shape(c.Polygon({{10, 7},
                     {12, 7},
                     {12, 10},
                     {15, 10},
                     {15, 12},
                     {12, 12},
                     {12, 15},
                     {10, 15},
                     {10, 12},
                     {7, 12},
                     {7, 10},
                     {10, 10}}),
          tone::kGreen);
}

void FrameMinus(TIconCanvas& c, const TTone& t) {
  FrameAt(c, t, 0, 0, 11);
  c.Shape(c.Rect(7, 10, 15, 12), tone::kRed);
}

void OppositeArrows(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Polygon({{0, 2}, {8, 2}, {8, 0}, {14, 3.5}, {8, 7}, {8, 5}, {0, 5}}), t);
  c.Shape(c.Polygon({{15, 10}, {7, 10}, {7, 8}, {1, 11.5}, {7, 15}, {7, 13}, {15, 13}}), t);
}

void MotionTrail(TIconCanvas& c, const TTone& t) {
  c.Shape(c.Ellipse(0, 11, 4, 15), Faded(t, 0.35));
  c.Shape(c.Ellipse(2, 6, 7, 11), Faded(t, 0.65));
  c.Shape(c.Ellipse(6, 0, 14, 8), t);
}

void Padlock(TIconCanvas& c, const TTone& t) {
  const QPointF left = c.At(5, 4);
  const QPointF right = c.At(10, 4);
  const double radius = (right.x() - left.x()) / 2;
  QPainterPath shackle(c.At(5, 8));
  shackle.lineTo(left);
  shackle.arcTo(QRectF(left.x(), left.y() - radius, 2 * radius, 2 * radius), 180, -180);
  shackle.lineTo(c.At(10, 8));
  c.Shape(c.Band(shackle, 3), tone::kPaper);
  c.Shape(RoundedBox(c, 2, 7, 13, 15, 1), t);
  c.Outline(Line(c, {7.5, 10}, {7.5, 12}), t.ink);
}

void FrameStack(TIconCanvas& c, const TTone& t) {
  FrameAt(c, t, 6, 0, 9);
  FrameAt(c, t, 3, 3, 9);
  FrameAt(c, t, 0, 6, 9);
}

void Cross(TIconCanvas& c, const TTone& t) {
  QPainterPath strokes = Line(c, {3, 3}, {12, 12});
  strokes.addPath(Line(c, {12, 3}, {3, 12}));
  c.Shape(c.Band(strokes, 4), t);
}

void TurnBack(TIconCanvas& c, const TTone& t) {
  const QPointF top = c.At(9, 4);
  const QPointF bottom = c.At(9, 12);
  const double radius = (bottom.y() - top.y()) / 2;
  QPainterPath path(c.At(4, 4));
  path.lineTo(top);
  path.arcTo(QRectF(top.x() - radius, top.y(), 2 * radius, 2 * radius), 90, -180);
  path.lineTo(c.At(3, 12));
  const QPainterPath head = c.Polygon({{0, 4}, {5, 0}, {5, 8}});
  c.Shape(c.Band(path, 4).united(head), t);
}

}  // namespace gui::motif
