#pragma once
// JPEG helpers: the frame size read from the markers without decoding, and the
// few places where pixels are needed (libjpeg). libjpeg's failures come back as
// TMediaError with libjpeg's own message; they never end the program.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "media/bitmap32.h"

namespace media {

struct TJPEGFrame {
  uint16_t Width = 0;
  uint16_t Height = 0;
  bool Progressive = false;  // a progressive frame: players before SWF 8 cannot show it
};

// True when Data starts with the start-of-image marker FF D8.
bool IsJPEGData(std::span<const uint8_t> Data);

// Walks the marker segments up to the first start-of-frame marker of any coding
// (baseline, extended, progressive, lossless, arithmetic) and returns its size.
// Empty when Data is not a JPEG or no frame header comes before the scan data.
std::optional<TJPEGFrame> ReadJPEGSize(std::span<const uint8_t> Data);

// Re-encodes a JPEG as a baseline (sequential) JPEG by transcoding its DCT
// coefficients, so the picture loses nothing.
std::vector<uint8_t> ConvertToBaselineJPEG(std::span<const uint8_t> Data);

// Decodes a JPEG to opaque 32-bit pixels; larger than MaxBytes of pixels is an error.
TBitmap32 DecodeJPEG(std::span<const uint8_t> Data, size_t MaxBytes);

}  // namespace media
