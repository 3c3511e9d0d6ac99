#include "player/geometry.h"

#include <algorithm>
#include <cmath>

namespace player {

TMatrix TMatrix::FromRec(const swf::TSWFMatrixRec& m) {
  TMatrix r;
  if (m.HasScale) {
    r.A = m.ScaleX / 65536.0;
    r.D = m.ScaleY / 65536.0;
  }
  if (m.HasRotate) {
    r.B = m.RotateSkew0 / 65536.0;
    r.C = m.RotateSkew1 / 65536.0;
  }
  r.TX = m.TranslateX;
  r.TY = m.TranslateY;
  return r;
}

TPointD TMatrix::Map(TPointD p) const {
  return {A * p.X + C * p.Y + TX, B * p.X + D * p.Y + TY};
}

TMatrix TMatrix::operator*(const TMatrix& in) const {
  TMatrix r;
  r.A = A * in.A + C * in.B;
  r.B = B * in.A + D * in.B;
  r.C = A * in.C + C * in.D;
  r.D = B * in.C + D * in.D;
  r.TX = A * in.TX + C * in.TY + TX;
  r.TY = B * in.TX + D * in.TY + TY;
  return r;
}

bool TMatrix::Invert(TMatrix& out) const {
  const double det = A * D - B * C;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  out.A = D / det;
  out.B = -B / det;
  out.C = -C / det;
  out.D = A / det;
  out.TX = -(out.A * TX + out.C * TY);
  out.TY = -(out.B * TX + out.D * TY);
  return true;
}

TColorTransform TColorTransform::FromRec(const swf::TSWFColorTransformRec& c) {
  TColorTransform t;
  if (c.HasMult) {
    t.Mult[0] = c.RedMult / 256.0;
    t.Mult[1] = c.GreenMult / 256.0;
    t.Mult[2] = c.BlueMult / 256.0;
    if (c.HasAlpha) t.Mult[3] = c.AlphaMult / 256.0;
  }
  if (c.HasAdd) {
    t.Add[0] = c.RedAdd;
    t.Add[1] = c.GreenAdd;
    t.Add[2] = c.BlueAdd;
    if (c.HasAlpha) t.Add[3] = c.AlphaAdd;
  }
  return t;
}

static uint8_t Channel(double v) {
  return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

TRGBA TColorTransform::Apply(TRGBA c) const {
  return {Channel(c.R * Mult[0] + Add[0]), Channel(c.G * Mult[1] + Add[1]),
          Channel(c.B * Mult[2] + Add[2]), Channel(c.A * Mult[3] + Add[3])};
}

TColorTransform TColorTransform::operator*(const TColorTransform& in) const {
  TColorTransform r;
  for (int i = 0; i < 4; ++i) {
    r.Mult[i] = Mult[i] * in.Mult[i];
    r.Add[i] = in.Add[i] * Mult[i] + Add[i];
  }
  return r;
}

bool TColorTransform::IsIdentity() const {
  for (int i = 0; i < 4; ++i)
    if (Mult[i] != 1 || Add[i] != 0) return false;
  return true;
}

bool TColorTransform::IsAlphaOnly() const {
  for (int i = 0; i < 3; ++i)
    if (Mult[i] != 1 || Add[i] != 0) return false;
  return Add[3] == 0;
}

namespace {

constexpr int kCurveSteps = 12;

TPointD QuadAt(TPointD p0, TPointD c, TPointD p1, double t) {
  const double u = 1 - t;
  return {u * u * p0.X + 2 * u * t * c.X + t * t * p1.X,
          u * u * p0.Y + 2 * u * t * c.Y + t * t * p1.Y};
}

// Calls f(a, b) for every straight piece of the subpath (curves flattened),
// closing it back to its start.
template <class F>
void ForEachLine(const TSubpath& sp, bool close, F&& f) {
  TPointD cur = sp.Start;
  for (const TSegment& s : sp.Segments) {
    if (!s.Curved) {
      f(cur, s.To);
    } else {
      TPointD prev = cur;
      for (int i = 1; i <= kCurveSteps; ++i) {
        const TPointD q = QuadAt(cur, s.Control, s.To, double(i) / kCurveSteps);
        f(prev, q);
        prev = q;
      }
    }
    cur = s.To;
  }
  if (close && !(cur == sp.Start)) f(cur, sp.Start);
}

}  // namespace

int WindingNumber(const TPath& path, TPointD p) {
  int winding = 0;
  for (const TSubpath& sp : path) {
    ForEachLine(sp, true, [&](TPointD a, TPointD b) {
      if (a.Y <= p.Y) {
        if (b.Y > p.Y && (b.X - a.X) * (p.Y - a.Y) - (p.X - a.X) * (b.Y - a.Y) > 0) ++winding;
      } else if (b.Y <= p.Y && (b.X - a.X) * (p.Y - a.Y) - (p.X - a.X) * (b.Y - a.Y) < 0) {
        --winding;
      }
    });
  }
  return winding;
}

bool NearOutline(const TPath& path, TPointD p, double halfWidth) {
  const double limit = halfWidth * halfWidth;
  bool near = false;
  for (const TSubpath& sp : path) {
    ForEachLine(sp, sp.Closed, [&](TPointD a, TPointD b) {
      const double dx = b.X - a.X, dy = b.Y - a.Y;
      const double len2 = dx * dx + dy * dy;
      double t = len2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = a.X + t * dx - p.X, ey = a.Y + t * dy - p.Y;
      if (ex * ex + ey * ey <= limit) near = true;
    });
  }
  return near;
}

}  // namespace player
