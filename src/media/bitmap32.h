#pragma once
// TBitmap32: a picture as 32-bit pixels, the common ground between the picture
// decoders, the BMP writer and the renderings of the movie build.
#include <cstdint>
#include <vector>

namespace media {

// Pixels are 0xAARRGGBB values (alpha not premultiplied), rows top to bottom.
struct TBitmap32 {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint32_t> Pixels;

  TBitmap32() = default;
  TBitmap32(int32_t W, int32_t H, uint32_t Fill = 0)
      : Width(W), Height(H), Pixels(size_t(W) * size_t(H), Fill) {}

  uint32_t& At(int32_t X, int32_t Y) { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
  uint32_t At(int32_t X, int32_t Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
  bool operator==(const TBitmap32&) const = default;
};

constexpr uint32_t ARGB(uint8_t A, uint8_t R, uint8_t G, uint8_t B) {
  return uint32_t(A) << 24 | uint32_t(R) << 16 | uint32_t(G) << 8 | B;
}

}  // namespace media
