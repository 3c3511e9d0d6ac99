#pragma once
// Writes 24- and 32-bit BMP files (40-byte header, bottom-up rows), the
// format of the backgrounds, borders and button state pictures the movie
// build caches. 32-bit files keep alpha in the fourth byte of each pixel, as
// this program's BMP reader expects; 24-bit files drop it.
#include <cstdint>
#include <string>
#include <vector>

#include "media/bitmap32.h"

namespace media {

std::vector<uint8_t> EncodeBMP(const TBitmap32& Picture, int BitCount);

// Replaces FileName whole or not at all; raises TMediaError when it cannot.
void SaveBMP(const std::string& FileName, const TBitmap32& Picture, int BitCount);

}  // namespace media
