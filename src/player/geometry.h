#pragma once
// Plain geometry and colour values of the player: points and paths in twips,
// SWF matrices and colour transforms, and the hit tests that need no painter.
#include <cstdint>
#include <vector>

#include "swf/core/records.h"

namespace player {

struct TPointD {
  double X = 0, Y = 0;
  bool operator==(const TPointD&) const = default;
};

// Non-premultiplied colour.
struct TRGBA {
  uint8_t R = 0, G = 0, B = 0, A = 255;
  bool operator==(const TRGBA&) const = default;
};

// x' = A*x + C*y + TX, y' = B*x + D*y + TY (SWF: A = ScaleX, B = RotateSkew0,
// C = RotateSkew1, D = ScaleY); translation in twips.
struct TMatrix {
  double A = 1, B = 0, C = 0, D = 1, TX = 0, TY = 0;

  static TMatrix FromRec(const swf::TSWFMatrixRec& m);
  TPointD Map(TPointD p) const;
  // this after inner: the result maps a point through inner first.
  TMatrix operator*(const TMatrix& inner) const;
  bool Invert(TMatrix& out) const;
  bool operator==(const TMatrix&) const = default;
};

// c' = c * Mult + Add per channel, clamped to 0..255 (Mult 1.0 = 256 in the file).
struct TColorTransform {
  double Mult[4] = {1, 1, 1, 1};  // R, G, B, A
  double Add[4] = {0, 0, 0, 0};

  static TColorTransform FromRec(const swf::TSWFColorTransformRec& c);
  TRGBA Apply(TRGBA c) const;
  // this after inner.
  TColorTransform operator*(const TColorTransform& inner) const;
  bool IsIdentity() const;
  // Only the alpha multiplier differs from identity.
  bool IsAlphaOnly() const;
};

// One edge of a path: a straight line or a quadratic curve to To.
struct TSegment {
  bool Curved = false;
  TPointD Control;
  TPointD To;
};

struct TSubpath {
  TPointD Start;
  std::vector<TSegment> Segments;
  bool Closed = false;  // ends where it starts
};

using TPath = std::vector<TSubpath>;

struct TRectD {
  double Xmin = 0, Ymin = 0, Xmax = 0, Ymax = 0;
};

// Winding number of the closed path around p (curves flattened).
int WindingNumber(const TPath& path, TPointD p);
// True when p lies within halfWidth of the path's outline.
bool NearOutline(const TPath& path, TPointD p, double halfWidth);

}  // namespace player
