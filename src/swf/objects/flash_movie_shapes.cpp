// The shape members of TFlashMovie.
#include <algorithm>

#include "swf/objects/flash_edges.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/shape_math.h"

namespace swf {

namespace {

int32_t Span(int32_t from, int32_t to) {
  return ClampToInt32(int64_t(to) - from);
}

// A primitive in the box (x1, y1)-(x2, y2): bounds, a move to (startX, y1),
// then draw(edges, width, height) and the end of the outline.
template <class Draw>
TFlashShape& DrawInBox(TFlashShape& shape, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       int32_t startX, Draw draw) {
  shape.SetBounds(x1, y1, x2, y2);
  shape.Edges().MoveTo(startX, y1);
  draw(shape.Edges(), Span(x1, x2), Span(y1, y2));
  shape.Edges().EndShape();
  return shape;
}

}  // namespace

void TFlashMovie::MoveObjectBefore(const TBasedSWFObject& object, const TBasedSWFObject& anchor) {
  // Searched from the end: the anchor is mostly the object just made, and
  // only an object after it has to move. A search from the front made every
  // bitmap fill of a long movie walk the whole list.
  const auto last = std::find_if(objects_.rbegin(), objects_.rend(),
                                 [&](const auto& p) { return p.get() == &anchor; });
  if (last == objects_.rend()) return;
  const auto at = std::prev(last.base());
  const auto from = std::find_if(std::next(at), objects_.end(),
                                 [&](const auto& p) { return p.get() == &object; });
  if (from == objects_.end()) return;
  std::rotate(at, from, from + 1);
}

TFlashShape& TFlashMovie::AddShape(std::unique_ptr<TFlashShape> shape) {
  if (shape)
    shape->SetOwner(this);
  else
    shape = std::make_unique<TFlashShape>(this);
  return RegisterCharacter(std::move(shape), shapes_);
}

TFlashShape& TFlashMovie::AddRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return DrawInBox(AddShape(), x1, y1, x2, y2, x1,
                   [](TFlashEdges& edges, int32_t w, int32_t h) { edges.MakeRectangle(w, h); });
}

TFlashShape& TFlashMovie::AddRoundRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t r) {
  return DrawInBox(AddShape(), x1, y1, x2, y2, x1,
                   [r](TFlashEdges& edges, int32_t w, int32_t h) { edges.MakeRoundRect(w, h, r); });
}

TFlashShape& TFlashMovie::AddEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return DrawInBox(AddShape(), x1, y1, x2, y2, x1,
                   [](TFlashEdges& edges, int32_t w, int32_t h) { edges.MakeEllipse(w, h); });
}

TFlashShape& TFlashMovie::AddCircle(int32_t x, int32_t y, int32_t r) {
  return AddEllipse(ClampToInt32(int64_t(x) - r), ClampToInt32(int64_t(y) - r),
                    ClampToInt32(int64_t(x) + r), ClampToInt32(int64_t(y) + r));
}

TFlashShape& TFlashMovie::AddDiamond(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  // A diamond starts at its top corner.
  const int32_t top = ClampToInt32(x1 + int64_t(Span(x1, x2)) / 2);
  return DrawInBox(AddShape(), x1, y1, x2, y2, top,
                   [](TFlashEdges& edges, int32_t w, int32_t h) { edges.MakeDiamond(w, h); });
}

TFlashShape& TFlashMovie::AddStar(int32_t x, int32_t y, int32_t r1, int32_t r2, uint16_t numPoints,
                                  bool curved) {
  TFlashShape& shape = AddShape();
  const int64_t m = std::max(r1, r2);
  shape.SetBounds(ClampToInt32(x - m), ClampToInt32(y - m), ClampToInt32(x + m),
                  ClampToInt32(y + m));
  shape.Edges().MakeStar(x, y, r1, r2, numPoints, curved);
  shape.Edges().EndShape();
  return shape;
}

}  // namespace swf
