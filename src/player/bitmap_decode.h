#pragma once
// Decoding of the bitmap characters: JPEG as players meet it in SWF files,
// with its alpha plane, and the zlib-compressed lossless formats.
#include <cstdint>
#include <memory>
#include <vector>

#include "player/movie.h"

namespace player {

// Bitmaps above this many pixels are kept smaller (TPixels::ScaleX/Y), so
// every picture a movie holds is drawn within bounded memory.
constexpr size_t kMaxBitmapPixels = size_t(1) << 24;

// The JPEG stream with what old SWF writers left in it removed: an
// erroneous FF D9 FF D8 before the image, repeated start markers, and the
// end marker between the tables and the image data.
std::vector<uint8_t> CleanJpegData(const std::vector<uint8_t>& data);

// Null when the data cannot be decoded; at most budget pixels are kept.
std::unique_ptr<TPixels> DecodeBitmap(const TBitmapCharacter& bitmap,
                                      size_t budget = kMaxBitmapPixels);

}  // namespace player
