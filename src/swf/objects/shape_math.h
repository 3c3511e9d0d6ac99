#pragma once
// Rounding rules of the geometry code: Round is to the nearest integer with
// halves to the even neighbour, Trunc cuts toward zero. Both saturate at the
// 32-bit range (and give 0 for NaN), so no input can make a conversion
// undefined.
#include <cmath>
#include <cstdint>
#include <limits>

namespace swf {

inline int32_t SaturateToInt32(long double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

// Uses the default rounding mode, which is round-half-to-even.
inline int32_t RoundEven(long double v) {
  return SaturateToInt32(std::nearbyintl(v));
}
inline int32_t RoundEven(double v) {
  // Adding and taking away 1.5 * 2^52 leaves the integer nearest to v (ties
  // to even) for any v of 32-bit size: a fast path for the dash search.
  constexpr double kMagic = 6755399441055744.0;
  if (v > -2147483648.0 && v < 2147483647.0) return int32_t((v + kMagic) - kMagic);
  return SaturateToInt32((long double)std::nearbyint(v));
}
inline int32_t TruncToInt(long double v) {
  return SaturateToInt32(std::truncl(v));
}

inline int32_t ClampToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

// a * f for a coordinate in user units, kept within 32 bits.
inline int32_t ScaleCoord(int32_t a, int f) {
  return ClampToInt32(int64_t(a) * f);
}

}  // namespace swf
