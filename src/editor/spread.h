#pragma once
// How animation mode spreads a value: linearly from the first frame of a
// range through the current frame to its last frame. The ends of the range
// and the current frame keep their values.
#include <cstdint>

#include "project/document.h"

namespace editor {

// The first and last frame in which a slot is not empty; 0, 0 when none.
struct TLife {
  int32_t First = 0, Last = 0;
};
TLife ObjectLife(const project::TProjectDocument& doc, int slot);

class TLinearSpread {
 public:
  // The slopes are computed in extended precision and kept as doubles.
  TLinearSpread(int32_t first, int32_t current, int32_t last, long double atFirst,
                long double atCurrent, long double atLast);
  // Whether frame i gets a new value: strictly inside the range, not the
  // current frame.
  bool Writes(int32_t i) const { return first_ < i && i < last_ && i != current_; }
  // The value of frame i, rounded to the nearest integer (halves to even).
  int64_t At(int32_t i) const;

 private:
  int32_t first_, current_, last_;
  long double atFirst_, atCurrent_;
  double up_ = 0, down_ = 0;
};

}  // namespace editor
