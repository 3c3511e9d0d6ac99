#pragma once
// Test pictures made in memory: BMP files laid out field by field, and JPEG
// files encoded with libjpeg (baseline or progressive).
#include <cstdint>
#include <vector>

#include "support/bytes.h"

namespace vtest {

struct BmpFile {
  uint32_t HeaderSize = 40;  // 12, 40, 52, 56, 108 or 124
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t BitCount = 24;
  uint32_t Compression = 0;
  std::vector<uint32_t> Masks{};    // red, green, blue [, alpha]: in the header or after it
  std::vector<uint32_t> Palette{};  // 0x00RRGGBB; 3-byte entries for the 12-byte header
  uint32_t ColorsUsed = 0;
  Bytes Pixels{};  // exactly as stored in the file
};

// The file header, the information header, masks, palette and pixels.
Bytes MakeBmp(const BmpFile& file);

// A JPEG of the RGB pixels (rows top to bottom).
Bytes EncodeJpeg(int Width, int Height, const std::vector<uint8_t>& Rgb, int Quality = 95,
                 bool Progressive = false);

// A JPEG of Width x Height whose pixel (x, y) has red x*8, green y*8, blue 128.
Bytes MakeJpeg(int Width, int Height, bool Progressive);

}  // namespace vtest
