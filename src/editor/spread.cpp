#include "editor/spread.h"

#include <cmath>

namespace editor {

TLife ObjectLife(const project::TProjectDocument& doc, int slot) {
  TLife life;
  for (int32_t i = 1; i <= doc.FrameCount; ++i) {
    if (doc.Frames[size_t(i)].Slots[slot].Object == project::skNone) continue;
    if (life.First == 0) life.First = i;
    life.Last = i;
  }
  return life;
}

TLinearSpread::TLinearSpread(int32_t first, int32_t current, int32_t last, long double atFirst,
                             long double atCurrent, long double atLast)
    : first_(first), current_(current), last_(last), atFirst_(atFirst), atCurrent_(atCurrent) {
  if (first >= last) return;
  if (current == last) {
    down_ = double((atLast - atFirst) / (last - first));
  } else if (current == first) {
    up_ = double((atLast - atFirst) / (last - first));
  } else {
    up_ = double((atLast - atCurrent) / (last - current));
    down_ = double((atCurrent - atFirst) / (current - first));
  }
}

int64_t TLinearSpread::At(int32_t i) const {
  long double v = i > current_ ? (long double)(i - current_) * up_ + atCurrent_
                               : (long double)(i - first_) * down_ + atFirst_;
  return int64_t(std::nearbyintl(v));
}

}  // namespace editor
