#include "swf/objects/flash_dash.h"

#include <algorithm>
#include <cmath>

#include "swf/objects/flash_edges.h"
#include "swf/objects/shape_math.h"

namespace swf {

namespace {

constexpr int64_t kTwipsPerPixel = 20;

// Curve pieces are searched by chord length; these bound the search.
constexpr double kInitialStep = 0.02;
constexpr double kMinStep = 0.01;
constexpr double kTolerance = 50;  // on squared twips
constexpr int kMaxIterations = 100;

struct TPointD {
  int64_t X = 0, Y = 0;
};

double SquaredDistance(const TPointD& a, const TPointD& b) {
  const double dx = double(a.X - b.X), dy = double(a.Y - b.Y);
  return dx * dx + dy * dy;
}

}  // namespace

bool IsUsableDashPattern(const std::vector<uint8_t>& pattern) {
  return std::any_of(pattern.begin(), pattern.end(), [](uint8_t v) { return v != 0; });
}

TDashedOutline::TDashedOutline(const std::vector<uint8_t>& pattern, TSWFShapeRecordList& out)
    : pattern_(pattern), out_(out) {}

int64_t TDashedOutline::NextPiece() {
  if (carry_ > 0) {
    const int64_t piece = carry_;
    carry_ = 0;
    pen_ = !pen_;
    return piece;
  }
  const int64_t piece = pattern_[position_ % pattern_.size()] * kTwipsPerPixel;
  ++position_;
  return piece;
}

void TDashedOutline::Convert(const TSWFShapeRecord& record) {
  switch (record.RecordKind()) {
    case rkEndShape:
      out_.push_back(std::make_unique<TSWFEndShapeRecord>());
      break;
    case rkStyleChange:
      StyleChange(static_cast<const TSWFStyleChangeRecord&>(record));
      break;
    case rkStraightEdge: {
      auto& e = static_cast<const TSWFStraightEdgeRecord&>(record);
      StraightEdge(e.X, e.Y);
      break;
    }
    case rkCurvedEdge: {
      auto& c = static_cast<const TSWFCurvedEdgeRecord&>(record);
      CurvedEdge(c.ControlX, c.ControlY, c.AnchorX, c.AnchorY);
      break;
    }
  }
}

// The outline pieces carry no fill: both fill sides take the source's
// fill style 0.
void TDashedOutline::StyleChange(const TSWFStyleChangeRecord& source) {
  auto sc = std::make_unique<TSWFStyleChangeRecord>();
  if (source.HasLineStyle && source.LineId() > 0) {
    sc->SetLineId(source.LineId());
    dashLine_ = source.LineId();
    sc->SetFill0Id(source.Fill0Id());
    sc->SetFill1Id(source.Fill0Id());
  }
  if (source.HasMoveTo) sc->SetMoveTo(source.X, source.Y);
  px_ = sc->HasMoveTo ? sc->X : 0;
  py_ = sc->HasMoveTo ? sc->Y : 0;
  out_.push_back(std::move(sc));
}

void TDashedOutline::Gap(int64_t x, int64_t y) {
  auto sc = std::make_unique<TSWFStyleChangeRecord>();
  sc->SetLineId(dashLine_);
  sc->SetMoveTo(ClampToInt32(x), ClampToInt32(y));
  out_.push_back(std::move(sc));
}

void TDashedOutline::Dash(int64_t dx, int64_t dy) { AppendStraightEdges(out_, dx, dy); }

void TDashedOutline::StraightEdge(int64_t dx, int64_t dy) {
  const int64_t length = RoundEven(std::sqrt(double(dx) * double(dx) + double(dy) * double(dy)));
  if (length == 0) return;
  const double ux = double(dx) / double(length), uy = double(dy) / double(length);
  for (int64_t pos = 0; pos < length;) {
    int64_t piece = NextPiece();
    if (pos + piece > length) {
      carry_ = pos + piece - length;
      piece = length - pos;
    }
    if (pen_) Dash(RoundEven(ux * double(piece)), RoundEven(uy * double(piece)));
    else Gap(px_ + RoundEven(ux * double(pos + piece)), py_ + RoundEven(uy * double(pos + piece)));
    pos += piece;
    pen_ = !pen_;
  }
  px_ += dx;
  py_ += dy;
}

// The curve is walked in its own frame, B(t) = t (Q t + 2 P1) with Q = P2 - 2 P1,
// cutting pieces whose chord has the piece length. Each drawn piece becomes
// a curve whose control point lies where the tangents at its ends meet.
void TDashedOutline::CurvedEdge(int64_t cx, int64_t cy, int64_t ax, int64_t ay) {
  const TPointD p1{cx, cy}, p2{cx + ax, cy + ay};
  const TPointD q{p2.X - 2 * p1.X, p2.Y - 2 * p1.Y};
  const double c2 = double(p2.X) * double(p2.X) + double(p2.Y) * double(p2.Y);
  if (c2 == 0) {
    // A curve back to its start runs out to half its control point and
    // back along the same line.
    const int64_t hx = RoundEven(double(cx) / 2), hy = RoundEven(double(cy) / 2);
    StraightEdge(hx, hy);
    StraightEdge(-hx, -hy);
    return;
  }
  auto at = [&](double t) {
    return TPointD{RoundEven((double(q.X) * t + 2.0 * double(p1.X)) * t),
                   RoundEven((double(q.Y) * t + 2.0 * double(p1.Y)) * t)};
  };
  // A generous bound on the pieces: the search cannot stall a write, even
  // for curves it handles badly.
  const double hull = std::hypot(double(p1.X), double(p1.Y)) +
                      std::hypot(double(p2.X - p1.X), double(p2.Y - p1.Y));
  const double maxPieces = 1000 + 2.0 * double(pattern_.size()) * (hull / kTwipsPerPixel + 2);

  double t = 0, dt = kInitialStep;
  TPointD pc;
  int64_t rem = 0;
  for (int64_t pieces = 0;; ++pieces) {
    if (double(pieces) > maxPieces) {  // finish the curve as it stands
      if (pen_) Dash(p2.X - pc.X, p2.Y - pc.Y);
      else Gap(px_ + p2.X - pc.X, py_ + p2.Y - pc.Y);
      px_ += p2.X - pc.X;
      py_ += p2.Y - pc.Y;
      pen_ = !pen_;
      return;
    }
    const int64_t piece = NextPiece();
    const double target = double(piece) * double(piece);
    double d = target, tn = t;
    TPointD pt;
    for (int i = 1; i <= kMaxIterations;) {
      double h = (target - d) / c2;
      if (std::fabs(h) < kMinStep / i) h = (h > 0 ? 1 : h < 0 ? -1 : 0) * kMinStep / i;
      dt += h;
      tn = t + dt;
      if (tn > 1) {
        tn = 1;
        rem = RoundEven(double(piece) - std::sqrt(SquaredDistance(p2, pc)));
      } else if (tn < 0) {
        tn = 0;  // keeps the point on the curve when the search runs away
      }
      pt = at(tn);
      d = SquaredDistance(pt, pc);
      ++i;
      if (rem != 0 && target < d) rem = 0;
      if (std::fabs(d - target) < kTolerance) break;
    }
    auto offset = [&](int64_t qa, int64_t p1a, int64_t delta) -> int64_t {
      const double r = 2 * (double(qa) * t + double(p1a)), m = 2 * (double(qa) * tn + double(p1a));
      if (r == m) return 0;
      return RoundEven(r * (double(delta) - m * (tn - t)) / (r - m));
    };
    const int64_t du = pt.X - pc.X, dv = pt.Y - pc.Y;
    const int64_t ox = offset(q.X, p1.X, du), oy = offset(q.Y, p1.Y, dv);
    t = t + dt;
    if (pen_) {
      const int64_t limit = TSWFStraightEdgeRecord::kMaxDelta;
      const bool fits = std::max({std::llabs(ox), std::llabs(oy), std::llabs(du - ox),
                                  std::llabs(dv - oy)}) <= limit;
      if (std::llabs(du) >= 20 && std::llabs(dv) >= 20 && piece >= 100 && ox + oy != 0 && fits)
        AppendCurvedEdges(out_, ox, oy, du - ox, dv - oy);
      else
        Dash(du, dv);
    } else {
      Gap(px_ + du, py_ + dv);
    }
    pen_ = !pen_;
    px_ += du;
    py_ += dv;
    pc = pt;
    if (rem > 0) break;
  }
  carry_ = rem;
}

}  // namespace swf
