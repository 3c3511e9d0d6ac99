#include "editor/object_box.h"

#include <cmath>

namespace editor {

TObjectBox ObjectBox(const project::TShapeRec& r) {
  switch (r.Object) {
    case project::skCircle:
      return {int64_t(r.X) - r.Radius, int64_t(r.Y) - r.Radius, int64_t(r.X) + r.Radius,
              int64_t(r.Y) + r.Radius};
    case project::skStar:
      return {int64_t(r.X) - r.W, int64_t(r.Y) - r.W, int64_t(r.X) + r.W, int64_t(r.Y) + r.W};
    default:
      return {r.X, r.Y, int64_t(r.X) + r.W, int64_t(r.Y) + r.H};
  }
}

// The placement turns the object's offsets from its anchor by -Angle in the
// stage's y-down coordinates.
TOutline TurnedOutline(const project::TShapeRec& r) {
  const TObjectBox b = ObjectBox(r);
  const double a = double(r.Angle) * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  const auto turned = [&](int64_t x, int64_t y) {
    const double dx = double(x - r.X), dy = double(y - r.Y);
    return TStagePoint{r.X + c * dx + s * dy, r.Y - s * dx + c * dy};
  };
  return {turned(b.Left, b.Top), turned(b.Right, b.Top), turned(b.Right, b.Bottom),
          turned(b.Left, b.Bottom)};
}

}  // namespace editor
