#pragma once
// Bit-count rules and fixed-point conversions shared by every variable-width
// field of the SWF format.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <limits>

namespace swf {

// 0 for 0; else the smallest n with u < 2^n. Values of 2^31 and above give 0.
inline uint8_t GetBitsLength(uint32_t u) {
  return u >= 0x80000000u ? 0 : uint8_t(std::bit_width(u));
}

// Significant bits of |v| plus add (the sign bit); 0 for 0.
inline uint8_t GetBitsCount(int32_t v, uint8_t add = 1) {
  if (v == 0) return 0;
  const uint32_t magnitude = v < 0 ? uint32_t(0) - uint32_t(v) : uint32_t(v);
  return uint8_t(GetBitsLength(magnitude) + add);
}

// The largest absolute value of a group of fields; |INT32_MIN| comes back as
// INT32_MIN, which GetBitsCount sizes right. Inline: shape records are
// written by the hundred.
inline int32_t MaxAbs(std::initializer_list<int32_t> values) {
  int64_t best = 0;
  for (int32_t v : values) best = std::max<int64_t>(best, std::llabs(v));
  return best > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::min()
                                                    : int32_t(best);
}

// 16.16 fixed: x * 65536 truncated toward zero (saturated to 32 bits).
int32_t SingleToFixed(double x);
float FixedToSingle(int32_t f);

// 8.8 fixed word: trunc(x) * 256 + round(frac(x) * 256), halves to even.
uint16_t SingleToFixed8(double x);
float Fixed8ToSingle(uint16_t w);

}  // namespace swf
