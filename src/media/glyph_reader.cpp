#include "media/glyph_reader.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

using platform::TCurveKind;
using platform::TFixedPoint;

constexpr double kFixedOne = 65536.0;

// Largest distance, in glyph units, between a cubic segment and the quadratic
// curves drawn for it (before the points are rounded to whole units).
constexpr double kCubicTolerance = 0.25;
constexpr int kMaxCubicPieces = 32;

struct TPointF {
  double X = 0, Y = 0;
};

TPointF ToUnits(const TFixedPoint& p) { return {p.X / kFixedOne, p.Y / kFixedOne}; }
int32_t RoundEven(double v) { return int32_t(std::nearbyint(v)); }

TPointF operator+(TPointF a, TPointF b) { return {a.X + b.X, a.Y + b.Y}; }
TPointF operator-(TPointF a, TPointF b) { return {a.X - b.X, a.Y - b.Y}; }
TPointF operator*(double k, TPointF a) { return {k * a.X, k * a.Y}; }

// Polyline: a straight line to each point.
void DrawPolyline(const std::vector<TFixedPoint>& points, TFixedPoint& current, TGlyphPen& pen) {
  for (const TFixedPoint& p : points) {
    pen.LineTo(FixedToInt(p.X), FixedToInt(p.Y));
    current = p;
  }
}

// Quadratic B-spline P1..Pn from the current point: the curve through control
// Pi ends at the midpoint of Pi and Pi+1, the last one at Pn.
void DrawQSpline(const std::vector<TFixedPoint>& points, TFixedPoint& current, TGlyphPen& pen) {
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const TFixedPoint& p = points[i];
    const TFixedPoint& next = points[i + 1];
    int32_t ax, ay;
    if (i + 2 < points.size()) {
      ax = RoundEven((double(p.X) + next.X) / 2 / kFixedOne);
      ay = RoundEven((double(p.Y) + next.Y) / 2 / kFixedOne);
    } else {
      ax = FixedToInt(next.X);
      ay = FixedToInt(next.Y);
    }
    pen.CurveTo(FixedToInt(p.X), FixedToInt(p.Y), ax, ay);
    current = next;
  }
}

TPointF CubicPoint(const TPointF c[4], double t) {
  const double u = 1 - t;
  return (u * u * u) * c[0] + (3 * u * u * t) * c[1] + (3 * u * t * t) * c[2] + (t * t * t) * c[3];
}

TPointF CubicTangent(const TPointF c[4], double t) {
  const double u = 1 - t;
  return (3 * u * u) * (c[1] - c[0]) + (6 * u * t) * (c[2] - c[1]) + (3 * t * t) * (c[3] - c[2]);
}

// A cubic segment as n quadratic curves over equal steps of t. One quadratic
// with control (3(P1 + P2) - (P0 + P3)) / 4 is off the cubic by at most
// sqrt(3)/36 |P3 - 3P2 + 3P1 - P0|, and the error falls with the cube of n.
void DrawCubic(const TPointF c[4], const TFixedPoint& end, TGlyphPen& pen) {
  const TPointF third = c[3] - 3.0 * c[2] + 3.0 * c[1] - c[0];
  const double error = std::sqrt(3.0) / 36.0 * std::hypot(third.X, third.Y);
  int pieces = int(std::ceil(std::cbrt(error / kCubicTolerance)));
  pieces = std::clamp(pieces, 1, kMaxCubicPieces);
  TPointF from = c[0];
  for (int i = 1; i <= pieces; ++i) {
    const double t0 = double(i - 1) / pieces, t1 = double(i) / pieces;
    const double step = (t1 - t0) / 3;
    const TPointF to = i == pieces ? c[3] : CubicPoint(c, t1);
    const TPointF c1 = from + step * CubicTangent(c, t0);
    const TPointF c2 = to - step * CubicTangent(c, t1);
    const TPointF control = 0.25 * (3.0 * (c1 + c2) - (from + to));
    if (i == pieces)
      pen.CurveTo(RoundEven(control.X), RoundEven(control.Y), FixedToInt(end.X), FixedToInt(end.Y));
    else
      pen.CurveTo(RoundEven(control.X), RoundEven(control.Y), RoundEven(to.X), RoundEven(to.Y));
    from = to;
  }
}

// Cubic segments (control, control, end; repeated) from the current point.
void DrawCSpline(const std::vector<TFixedPoint>& points, TFixedPoint& current, TGlyphPen& pen) {
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    const TPointF c[4] = {ToUnits(current), ToUnits(points[i]), ToUnits(points[i + 1]),
                          ToUnits(points[i + 2])};
    DrawCubic(c, points[i + 2], pen);
    current = points[i + 2];
  }
}

}  // namespace

int32_t FixedToInt(int32_t fixed) {
  if ((fixed & 0xFFFF) == 0) return fixed >> 16;
  return RoundEven(fixed / kFixedOne);
}

TLogFont MakeLogFont(std::string_view faceName, bool bold, bool italic, bool smallText) {
  TLogFont font;
  font.FaceName = std::string(faceName);
  font.Weight = bold ? 700 : 400;
  font.Italic = italic;
  font.Quality = smallText ? 3 : 4;
  return font;
}

std::shared_ptr<platform::TFontFace> SelectFont(const TLogFont& font) {
  return platform::TFontFace::Open(font.FaceName, font.Weight >= 700, font.Italic);
}

TFontMetricsRec ReadFontMetrics(const TLogFont& font) {
  const platform::TTextMetrics m = SelectFont(font)->Metrics(-font.Height);
  return {int16_t(m.Ascent), int16_t(m.Descent), int16_t(m.InternalLeading)};
}

int32_t ReadGlyph(platform::TFontFace& face, char16_t code, TGlyphPen& pen) {
  GlyphOutline(face.GlyphOutline(code), pen);
  return face.Advance(code);
}

void GlyphOutline(const platform::TGlyphOutline& outline, TGlyphPen& pen) {
  if (outline.empty()) return;
  for (const platform::TOutlinePolygon& polygon : outline) {
    pen.MoveTo(FixedToInt(polygon.Start.X), FixedToInt(polygon.Start.Y));
    TFixedPoint current = polygon.Start;
    for (const platform::TOutlineCurve& curve : polygon.Curves) {
      switch (curve.Kind) {
        case TCurveKind::Polyline: DrawPolyline(curve.Points, current, pen); break;
        case TCurveKind::QSpline: DrawQSpline(curve.Points, current, pen); break;
        case TCurveKind::CSpline: DrawCSpline(curve.Points, current, pen); break;
      }
    }
    pen.CloseShape();
  }
  pen.MakeMirror(false, true);
}

}  // namespace media
