#pragma once
// Stored fields may hold any 32-bit value (pasted or loaded), so sums and
// products of them are made in 64 bits and stop at the target type's limits.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace editor {

template <class T>
T Narrow(int64_t v) {
  return T(std::clamp<int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

}  // namespace editor
