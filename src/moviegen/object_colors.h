#pragma once
// Small conversions shared by the object kinds: model colours to the
// library's packed RGBA, transparency to drawn alpha, sums that cannot wrap.
#include <algorithm>
#include <cstdint>

#include "project/model.h"

namespace moviegen {

// An object's Alpha is a transparency: 0 is opaque.
constexpr uint8_t DrawnAlpha(uint8_t alpha) {
  return uint8_t(255 - alpha);
}

// A model colour (0x00BBGGRR) with an alpha, packed 0xAABBGGRR.
constexpr uint32_t Packed(project::TColor color, uint8_t alpha) {
  return (uint32_t(color) & 0xFFFFFFu) | uint32_t(alpha) << 24;
}

constexpr uint16_t LineWidth(int32_t width) {
  return uint16_t(std::clamp(width, 0, 0xFFFF));
}

constexpr int32_t AddClamped(int32_t a, int32_t b) {
  return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

}  // namespace moviegen
