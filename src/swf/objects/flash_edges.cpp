#include "swf/objects/flash_edges.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/core/bit_math.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/shape_math.h"

namespace swf {

namespace {

constexpr int64_t kMaxDelta = TSWFStraightEdgeRecord::kMaxDelta;

int64_t CeilDiv(int64_t a, int64_t b) {
  return (a + b - 1) / b;
}

int32_t Negate(int32_t v) {
  return ClampToInt32(-int64_t(v));
}

TEdgePoint Offset(const TEdgePoint& p, int64_t dx, int64_t dy) {
  return {ClampToInt32(p.X + dx), ClampToInt32(p.Y + dy)};
}

}  // namespace

TSWFShapeRecord* AppendStraightEdges(TSWFShapeRecordList& records, int64_t dx, int64_t dy) {
  if (dx == 0 && dy == 0) return nullptr;
  const int64_t n =
      std::max(CeilDiv(std::llabs(dx), kMaxDelta), CeilDiv(std::llabs(dy), kMaxDelta));
  if (n == 1) {
    records.push_back(std::make_unique<TSWFStraightEdgeRecord>(int32_t(dx), int32_t(dy)));
    return records.back().get();
  }
  // Each piece is the difference of two rounded positions, so the pieces
  // add up exactly to the delta.
  const long double stepX = (long double)dx / n, stepY = (long double)dy / n;
  for (int64_t g = 1; g <= n; ++g) {
    const int32_t x = RoundEven(stepX * g) - RoundEven(stepX * (g - 1));
    const int32_t y = RoundEven(stepY * g) - RoundEven(stepY * (g - 1));
    records.push_back(std::make_unique<TSWFStraightEdgeRecord>(x, y));
  }
  return records.back().get();
}

TSWFShapeRecord* AppendCurvedEdges(TSWFShapeRecordList& records, int64_t cdx, int64_t cdy,
                                   int64_t adx, int64_t ady) {
  if (std::max({std::llabs(cdx), std::llabs(cdy), std::llabs(adx), std::llabs(ady)}) <= kMaxDelta) {
    records.push_back(std::make_unique<TSWFCurvedEdgeRecord>(int32_t(cdx), int32_t(cdy),
                                                             int32_t(adx), int32_t(ady)));
    return records.back().get();
  }
  // Split at the middle (de Casteljau), in the curve's own frame: start at
  // 0, control c, end c + a. The halves share the rounded middle point.
  auto half = [](int64_t v) { return int64_t(RoundEven((long double)v / 2)); };
  const int64_t endX = cdx + adx, endY = cdy + ady;
  const int64_t c1x = half(cdx), c1y = half(cdy);
  const int64_t c2x = half(cdx + endX), c2y = half(cdy + endY);
  const int64_t midX = half(c1x + c2x), midY = half(c1y + c2y);
  AppendCurvedEdges(records, c1x, c1y, midX - c1x, midY - c1y);
  return AppendCurvedEdges(records, c2x - midX, c2y - midY, endX - c2x, endY - c2y);
}

// Primitives scale their own arguments once and draw with scaling off.
class TFlashEdges::TScaleGuard {
 public:
  explicit TScaleGuard(TFlashEdges& edges)
      : edges_(edges), factor_(edges.CoordFactor()), saved_(edges.NoScale) {
    edges.NoScale = true;
  }
  ~TScaleGuard() { edges_.NoScale = saved_; }
  int32_t operator()(int32_t v) const { return ScaleCoord(v, factor_); }

 private:
  TFlashEdges& edges_;
  int factor_;
  bool saved_;
};

TFlashEdges::TFlashEdges(TSWFShapeRecordList& records) : records_(records) {
  CurrentStyleRecord().HasFillStyle1 = true;
}

int TFlashEdges::CoordFactor() const {
  if (NoScale || !owner_) return 1;
  return owner_->CoordFactor();
}

TSWFStyleChangeRecord& TFlashEdges::CurrentStyleRecord() {
  if (records_.empty() || records_.back()->RecordKind() != rkStyleChange)
    records_.push_back(std::make_unique<TSWFStyleChangeRecord>());
  return static_cast<TSWFStyleChangeRecord&>(*records_.back());
}

TSWFStyleChangeRecord* TFlashEdges::MoveToTwips(int32_t x, int32_t y) {
  TSWFStyleChangeRecord& record = CurrentStyleRecord();
  CurrentPoint = {x, y};
  record.SetMoveTo(x, y);
  StartPoint = CurrentPoint;
  return &record;
}

TSWFStyleChangeRecord* TFlashEdges::MoveTo(int32_t x, int32_t y) {
  TSWFStyleChangeRecord& record = CurrentStyleRecord();
  // A move to the origin of a fresh list adds nothing.
  if (x == CurrentPoint.X && y == CurrentPoint.Y && records_.size() <= 1) return &record;
  const int f = CoordFactor();
  return MoveToTwips(ScaleCoord(x, f), ScaleCoord(y, f));
}

TSWFStyleChangeRecord* TFlashEdges::MoveDelta(int32_t dx, int32_t dy) {
  TSWFStyleChangeRecord& record = CurrentStyleRecord();
  if (dx == 0 && dy == 0) return &record;
  const int f = CoordFactor();
  const TEdgePoint target = Offset(CurrentPoint, int64_t(dx) * f, int64_t(dy) * f);
  return MoveToTwips(target.X, target.Y);
}

TSWFShapeRecord* TFlashEdges::LineTo(int32_t x, int32_t y) {
  const int f = CoordFactor();
  const TEdgePoint target{ScaleCoord(x, f), ScaleCoord(y, f)};
  TSWFShapeRecord* last = AppendStraightEdges(records_, int64_t(target.X) - CurrentPoint.X,
                                              int64_t(target.Y) - CurrentPoint.Y);
  CurrentPoint = target;
  return last;
}

TSWFShapeRecord* TFlashEdges::LineDelta(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return nullptr;
  const int f = CoordFactor();
  const int64_t sx = int64_t(dx) * f, sy = int64_t(dy) * f;
  TSWFShapeRecord* last = AppendStraightEdges(records_, sx, sy);
  CurrentPoint = Offset(CurrentPoint, sx, sy);
  return last;
}

TSWFShapeRecord* TFlashEdges::AppendCurve(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) {
  TSWFShapeRecord* last;
  if (cdx == 0 && cdy == 0)
    last = AppendStraightEdges(records_, adx, ady);
  else if (adx == 0 && ady == 0)
    last = AppendStraightEdges(records_, cdx, cdy);
  else if (cdy == 0 && ady == 0)
    last = AppendStraightEdges(records_, int64_t(cdx) + adx, 0);
  else if (cdx == 0 && adx == 0)
    last = AppendStraightEdges(records_, 0, int64_t(cdy) + ady);
  else
    last = AppendCurvedEdges(records_, cdx, cdy, adx, ady);
  CurrentPoint = Offset(CurrentPoint, int64_t(cdx) + adx, int64_t(cdy) + ady);
  return last;
}

TSWFShapeRecord* TFlashEdges::CurveDelta(int32_t controlDX, int32_t controlDY, int32_t anchorDX,
                                         int32_t anchorDY) {
  const int f = CoordFactor();
  return AppendCurve(ScaleCoord(controlDX, f), ScaleCoord(controlDY, f), ScaleCoord(anchorDX, f),
                     ScaleCoord(anchorDY, f));
}

TSWFShapeRecord* TFlashEdges::CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX,
                                      int32_t anchorY) {
  const int f = CoordFactor();
  const TEdgePoint anchor{ScaleCoord(anchorX, f), ScaleCoord(anchorY, f)};
  if (anchor == CurrentPoint) return nullptr;
  const int32_t cdx = ClampToInt32(int64_t(ScaleCoord(controlX, f)) - CurrentPoint.X);
  const int32_t cdy = ClampToInt32(int64_t(ScaleCoord(controlY, f)) - CurrentPoint.Y);
  const int32_t adx = ClampToInt32((int64_t(anchorX) - controlX) * f);
  const int32_t ady = ClampToInt32((int64_t(anchorY) - controlY) * f);
  TSWFShapeRecord* last = AppendCurve(cdx, cdy, adx, ady);
  CurrentPoint = anchor;
  return last;
}

TSWFShapeRecord* TFlashEdges::CloseShape() {
  if (CurrentPoint == StartPoint) return nullptr;
  TSWFShapeRecord* last = AppendStraightEdges(records_, int64_t(StartPoint.X) - CurrentPoint.X,
                                              int64_t(StartPoint.Y) - CurrentPoint.Y);
  CurrentPoint = StartPoint;
  return last;
}

TSWFShapeRecord* TFlashEdges::EndShape() {
  records_.push_back(std::make_unique<TSWFEndShapeRecord>());
  return records_.back().get();
}

void TFlashEdges::MakeRectangle(int32_t w, int32_t h) {
  LineDelta(w, 0);
  LineDelta(0, h);
  LineDelta(Negate(w), 0);
  LineDelta(0, Negate(h));
}

void TFlashEdges::MakeDiamond(int32_t w, int32_t h) {
  TScaleGuard scale(*this);
  const int64_t sw = scale(w), sh = scale(h);
  // Integer halves truncate toward zero on both sides, so the path closes
  // also for odd sizes.
  LineDelta(int32_t(sw / 2), int32_t(sh / 2));
  LineDelta(int32_t(-sw / 2), int32_t(sh / 2));
  LineDelta(int32_t(-sw / 2), int32_t(-sh / 2));
  LineDelta(int32_t(sw / 2), int32_t(-sh / 2));
}

// One 45-degree segment per row, starting at the rightmost point and going
// clockwise; a sign picks the direction of each term, 0 drops it.
void TFlashEdges::EllipseSegment(int i, int32_t w, int32_t h) {
  static constexpr int8_t kEllipseSignTable[8][4] = {
      {0, 1, -1, 1},  {-1, 1, -1, 0}, {-1, 0, -1, -1}, {-1, -1, 0, -1},
      {0, -1, 1, -1}, {1, -1, 1, 0},  {1, 0, 1, 1},    {1, 1, 0, 1}};
  constexpr long double k1 = 0.207L, k2 = 0.1465L;
  const int8_t* s = kEllipseSignTable[i];
  const long double kc = (i % 2 == 0) ? k1 : k2, ka = (i % 2 == 0) ? k2 : k1;
  // Truncation is symmetric about zero, so opposite segments cancel exactly.
  CurveDelta(TruncToInt(s[0] * kc * w), TruncToInt(s[1] * kc * h), TruncToInt(s[2] * ka * w),
             TruncToInt(s[3] * ka * h));
}

void TFlashEdges::MakeEllipse(int32_t w, int32_t h) {
  TScaleGuard scale(*this);
  const int32_t sw = scale(w), sh = scale(h);
  MoveDelta(sw, sh / 2);
  for (int i = 0; i < 8; ++i) EllipseSegment(i, sw, sh);
}

void TFlashEdges::MakeRoundRect(int32_t w, int32_t h, int32_t r) {
  TScaleGuard scale(*this);
  const int32_t sw = scale(w), sh = scale(h), sr = scale(r);
  const int32_t d = ClampToInt32(int64_t(sr) * 2);
  const int32_t innerW = ClampToInt32(int64_t(sw) - d), innerH = ClampToInt32(int64_t(sh) - d);
  MoveDelta(sw, sr);
  for (int i = 0; i < 8; ++i) {
    switch (i) {
      case 0:
        LineDelta(0, innerH);
        break;
      case 2:
        LineDelta(Negate(innerW), 0);
        break;
      case 4:
        LineDelta(0, Negate(innerH));
        break;
      case 6:
        LineDelta(innerW, 0);
        break;
      default:
        break;
    }
    EllipseSegment(i, d, d);
  }
}

void TFlashEdges::MakeStar(int32_t x, int32_t y, int32_t outerR, int32_t innerR, int numPoints,
                           bool curved) {
  TScaleGuard scale(*this);
  const int64_t cx = scale(x), cy = scale(y);
  const long double ro = scale(outerR), ri = scale(innerR);
  numPoints = std::clamp(numPoints, 2, 360);
  constexpr long double pi = std::numbers::pi_v<long double>;
  auto point = [&](long double angle, long double radius) {
    return TEdgePoint{ClampToInt32(cx + RoundEven(std::cos(angle) * radius)),
                      ClampToInt32(cy + RoundEven(std::sin(angle) * radius))};
  };
  const TEdgePoint top = point(-pi / 2, ro);
  MoveTo(top.X, top.Y);
  const double step = double(2 * pi / numPoints);
  double angle = double(-pi / 2);
  for (int k = 0; k < numPoints; ++k) {
    const TEdgePoint inner = point((long double)angle + (long double)step / 2, ri);
    angle = angle + step;
    const TEdgePoint outer = point(angle, ro);
    if (curved) {
      CurveTo(inner.X, inner.Y, outer.X, outer.Y);
    } else {
      LineTo(inner.X, inner.Y);
      LineTo(outer.X, outer.Y);
    }
  }
}

void TFlashEdges::MakeMirror(bool horizontal, bool vertical) {
  for (auto& record : records_) {
    switch (record->RecordKind()) {
      case rkStyleChange:
      case rkStraightEdge: {
        auto& r = static_cast<TSWFStraightEdgeRecord&>(*record);
        if (horizontal) r.X = Negate(r.X);
        if (vertical) r.Y = Negate(r.Y);
        break;
      }
      case rkCurvedEdge: {
        auto& r = static_cast<TSWFCurvedEdgeRecord&>(*record);
        if (horizontal) {
          r.ControlX = Negate(r.ControlX);
          r.AnchorX = Negate(r.AnchorX);
        }
        if (vertical) {
          r.ControlY = Negate(r.ControlY);
          r.AnchorY = Negate(r.AnchorY);
        }
        break;
      }
      case rkEndShape:
        break;
    }
  }
}

}  // namespace swf
