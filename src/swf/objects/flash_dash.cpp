#include "swf/objects/flash_dash.h"

#include <algorithm>
#include <array>
#include <bit>
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

void TDashedOutline::Dash(int64_t dx, int64_t dy) {
  AppendStraightEdges(out_, dx, dy);
}

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
    if (pen_)
      Dash(RoundEven(ux * double(piece)), RoundEven(uy * double(piece)));
    else
      Gap(px_ + RoundEven(ux * double(pos + piece)), py_ + RoundEven(uy * double(pos + piece)));
    pos += piece;
    pen_ = !pen_;
  }
  px_ += dx;
  py_ += dy;
}

namespace {

// 1.5 * 2^52: adding it rounds to the nearest integer, ties to even, exactly
// for the curve coordinates (far below 2^51); taking it away again leaves
// that integer.
constexpr double kRoundMagic = 6755399441055744.0;

// The smallest search step of iteration i, 0.01 / i.
const std::array<double, kMaxIterations + 1> kMinSteps = [] {
  std::array<double, kMaxIterations + 1> steps{};
  for (int i = 1; i <= kMaxIterations; ++i) steps[size_t(i)] = kMinStep / i;
  return steps;
}();

// miss / C2 without waiting for the division: the reciprocal of C2 is split
// into a 27-bit head, whose product with a miss below 2^26 is exact, and a
// tail, so that the two products give the correctly rounded quotient in
// nearly every case. The division still runs and decides; it only leaves the
// chain of dependent steps, since the CPU goes on with the products while the
// comparison is pending.
class TDivisor {
 public:
  explicit TDivisor(double c2) : c2_(c2) {
    const double r = 1.0 / c2;
    head_ = std::bit_cast<double>(std::bit_cast<uint64_t>(r) & ~((uint64_t(1) << 26) - 1));
    tail_ = (r - head_) + std::fma(-c2, r, 1.0) / c2;
  }
  double C2() const { return c2_; }
  double Quotient(double miss) const {
    const double fast = miss * head_ + miss * tail_;
    if (fast != miss / c2_) [[unlikely]]
      return Divide(miss, c2_);
    return fast;
  }

 private:
  // Out of line, so that the compiler keeps the check a branch instead of
  // selecting the quotient, which would put the division back on the chain.
  [[gnu::noinline]] static double Divide(double a, double b) { return a / b; }

  double c2_, head_, tail_;
};

// A quadratic curve in its own frame: B(t) = t (Q t + 2 P1), from (0, 0)
// through the control point P1 to P2. Points are rounded to whole twips.
struct TCurveFrame {
  double P1X, P1Y, P2X, P2Y, QX, QY;
  TDivisor Divisor;

  // B(t) + 1.5 * 2^52: the rounded point, offset by the rounding constant.
  double BiasedX(double t) const { return (QX * t + 2.0 * P1X) * t + kRoundMagic; }
  double BiasedY(double t) const { return (QY * t + 2.0 * P1Y) * t + kRoundMagic; }
};

// The walk along one curve: the parameter and point of the last cut, the
// search step carried from piece to piece, and the part of a piece that
// reaches past the curve's end.
struct TCurveWalk {
  double T = 0, Dt = kInitialStep;
  double X = 0, Y = 0;
  int64_t Rem = 0;
};

// The step of iteration i for the miss (target - d): miss / C2, at least
// 0.01 / i in size. Nearly every step is the least one; the division only
// decides near the threshold, so the search can run ahead on the sign.
double SearchStep(const TDivisor& divisor, double miss, int i) {
  const double least = kMinSteps[size_t(i)];
  // Far enough below least * C2 that the rounded quotient is below least too.
  constexpr double kSafely = 1 - 0x1p-40;
  if (std::fabs(miss) < least * divisor.C2() * kSafely) {
    if (miss > 0) return least;
    return -least;
  }
  const double raw = divisor.Quotient(miss);
  return std::fabs(raw) < least ? std::copysign(least, raw) : raw;
}

double Squared(double dx, double dy) {
  return dx * dx + dy * dy;
}

// Searches the point at chord distance piece from the walk's point; returns
// its parameter tn and the point. At most kMaxIterations steps. The loop is
// one chain of dependent steps, so it keeps its state in locals and takes
// the rare cases (tn outside the curve) on a branch of their own.
double SearchPiece(const TCurveFrame& f, TCurveWalk& w, int64_t piece, double& x, double& y) {
  const double target = double(piece) * double(piece);
  // A biased point minus (bias + start) is the offset from the start, exact.
  const double startX = kRoundMagic + w.X, startY = kRoundMagic + w.Y;
  const double t = w.T;
  double dt = w.Dt;
  int64_t rem = w.Rem;
  double d = target, tn = t, bx = startX, by = startY;
  for (int i = 1; i <= kMaxIterations;) {
    // The first step is 0 (d starts at the target); after it d never equals
    // the target, or the search would have stopped, so every step has a sign.
    if (i > 1) dt += SearchStep(f.Divisor, target - d, i);
    tn = t + dt;
    bool atEnd = false;
    if (!(tn >= 0 && tn <= 1)) [[unlikely]] {
      atEnd = tn > 1;
      if (atEnd)
        rem = RoundEven(double(piece) - std::sqrt(Squared(f.P2X - w.X, f.P2Y - w.Y)));
      tn = atEnd ? 1 : 0;  // 0 keeps the point on the curve when the search runs away
    }
    bx = f.BiasedX(tn);
    by = f.BiasedY(tn);
    d = Squared(bx - startX, by - startY);
    ++i;
    if (rem != 0 && target < d) rem = 0;
    if (std::fabs(d - target) < kTolerance) break;
    if (atEnd && d < target) {
      // The piece is longer than what is left of the curve: every further
      // step is the same forward one and only moves dt. Take them without
      // evaluating the curve.
      const double forward = (target - d) / f.Divisor.C2();
      for (; i <= kMaxIterations; ++i)
        dt += std::fabs(forward) < kMinSteps[size_t(i)] ? kMinSteps[size_t(i)] : forward;
    }
  }
  w.Dt = dt;
  w.Rem = rem;
  x = bx - kRoundMagic;
  y = by - kRoundMagic;
  return tn;
}

// The control point of the sub-curve from t to tn, relative to its start,
// on one axis: where the tangents at both ends meet.
int64_t ControlOffset(double q, double p1, double delta, double t, double tn) {
  const double r = 2 * (q * t + p1), m = 2 * (q * tn + p1);
  if (r == m) return 0;
  return RoundEven(r * (delta - m * (tn - t)) / (r - m));
}

}  // namespace

// The curve is walked in its own frame, cutting pieces whose chord has the
// piece length. Each drawn piece becomes a curve whose control point lies
// where the tangents at its ends meet.
void TDashedOutline::CurvedEdge(int64_t cx, int64_t cy, int64_t ax, int64_t ay) {
  const int64_t endX = cx + ax, endY = cy + ay;
  if (endX == 0 && endY == 0) {
    // A curve back to its start runs out to half its control point and
    // back along the same line.
    const int64_t hx = RoundEven(double(cx) / 2), hy = RoundEven(double(cy) / 2);
    StraightEdge(hx, hy);
    StraightEdge(-hx, -hy);
    return;
  }
  const TCurveFrame f{double(cx),
                      double(cy),
                      double(endX),
                      double(endY),
                      double(endX - 2 * cx),
                      double(endY - 2 * cy),
                      TDivisor(double(endX) * double(endX) + double(endY) * double(endY))};
  // A generous bound on the pieces: the search cannot stall a write, even
  // for curves it handles badly.
  const double hull = std::hypot(f.P1X, f.P1Y) + std::hypot(f.P2X - f.P1X, f.P2Y - f.P1Y);
  const double maxPieces = 1000 + 2.0 * double(pattern_.size()) * (hull / kTwipsPerPixel + 2);

  TCurveWalk w;
  for (int64_t pieces = 0; double(pieces) <= maxPieces; ++pieces) {
    const int64_t piece = NextPiece();
    double x, y;
    const double tn = SearchPiece(f, w, piece, x, y);
    const int64_t du = int64_t(x - w.X), dv = int64_t(y - w.Y);
    const int64_t ox = ControlOffset(f.QX, f.P1X, double(du), w.T, tn);
    const int64_t oy = ControlOffset(f.QY, f.P1Y, double(dv), w.T, tn);
    w.T = w.T + w.Dt;
    if (pen_)
      DashPiece(du, dv, ox, oy, piece);
    else
      Gap(px_ + du, py_ + dv);
    pen_ = !pen_;
    px_ += du;
    py_ += dv;
    w.X = x;
    w.Y = y;
    if (w.Rem > 0) {
      carry_ = w.Rem;
      return;
    }
  }
  // Out of pieces: finish the curve as it stands.
  const int64_t du = endX - int64_t(w.X), dv = endY - int64_t(w.Y);
  if (pen_)
    Dash(du, dv);
  else
    Gap(px_ + du, py_ + dv);
  px_ += du;
  py_ += dv;
  pen_ = !pen_;
}

// Long enough pieces that bend stay curves; the rest become lines.
void TDashedOutline::DashPiece(int64_t du, int64_t dv, int64_t ox, int64_t oy, int64_t piece) {
  const int64_t limit = TSWFStraightEdgeRecord::kMaxDelta;
  const bool fits =
      std::max({std::llabs(ox), std::llabs(oy), std::llabs(du - ox), std::llabs(dv - oy)}) <= limit;
  if (std::llabs(du) >= 20 && std::llabs(dv) >= 20 && piece >= 100 && ox + oy != 0 && fits)
    AppendCurvedEdges(out_, ox, oy, du - ox, dv - oy);
  else
    Dash(du, dv);
}

}  // namespace swf
