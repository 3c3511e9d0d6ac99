#include "swf/core/bit_math.h"

#include <cmath>
#include <limits>

namespace swf {

int32_t SingleToFixed(double x) {
  double scaled = std::trunc(double(float(x)) * 65536.0);
  if (!(scaled > -2147483648.0)) return std::numeric_limits<int32_t>::min();
  if (scaled > 2147483647.0) return std::numeric_limits<int32_t>::max();
  return int32_t(scaled);
}

float FixedToSingle(int32_t f) { return float(double(f) / 65536.0); }

uint16_t SingleToFixed8(double x) {
  double whole = std::trunc(x);
  double frac = std::nearbyint((x - whole) * 256.0);  // default rounding: halves to even
  return uint16_t(int32_t(whole) * 256 + int32_t(frac));
}

float Fixed8ToSingle(uint16_t w) { return float(w >> 8) + float(w & 0xFF) / 256.0f; }

}  // namespace swf
