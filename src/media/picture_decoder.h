#pragma once
// Decodes a BMP or JPEG picture to 32-bit pixels, for the places where the
// movie build needs pixels rather than the file (cutting a button strip into
// its state pictures). The kind is told by the content, not the file name.
#include <cstdint>
#include <span>
#include <string>

#include "media/bitmap32.h"
#include "media/bmp_reader.h"

namespace media {

// Palette, 16- and 24-bit pixels are opaque; 32-bit pixels take their alpha
// from the fourth byte.
TBitmap32 BitmapFromReader(const TBMPReader& Reader);

TBitmap32 DecodePicture(std::span<const uint8_t> Data);

// Raises TMediaError naming the file when it cannot be read or decoded.
TBitmap32 LoadPicture(const std::string& FileName);

// Why the file cannot be a picture of a movie, in words for its user (not a
// picture, a kind of picture other than BMP and JPEG, a damaged file); ""
// when it can. Reads the headers only, so large pictures cost nothing.
std::string PictureFileProblem(const std::string& FileName);

}  // namespace media
