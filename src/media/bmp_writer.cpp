#include "media/bmp_writer.h"

#include <cassert>

#include "media/file_bytes.h"
#include "media/media_error.h"

namespace media {

namespace {

void PutWord(std::vector<uint8_t>& Out, size_t At, uint16_t Value) {
  Out[At] = uint8_t(Value);
  Out[At + 1] = uint8_t(Value >> 8);
}

void PutDWord(std::vector<uint8_t>& Out, size_t At, uint32_t Value) {
  for (int i = 0; i < 4; ++i) Out[At + size_t(i)] = uint8_t(Value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeBMP(const TBitmap32& Picture, int BitCount) {
  if (BitCount != 24 && BitCount != 32)
    throw TMediaError("BMP files are written with 24 or 32 bits per pixel");
  assert(Picture.Pixels.size() == size_t(Picture.Width) * size_t(Picture.Height));
  const size_t bytesPerPixel = size_t(BitCount / 8);
  const size_t line = (size_t(Picture.Width) * bytesPerPixel + 3) / 4 * 4;
  const size_t imageSize = line * size_t(Picture.Height);
  constexpr size_t headers = 14 + 40;
  if (imageSize > 0xFFFFFFFFu - headers)
    throw TMediaError("The picture is too large for a BMP file");

  std::vector<uint8_t> out(headers + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutDWord(out, 2, uint32_t(out.size()));
  PutDWord(out, 10, headers);
  PutDWord(out, 14, 40);
  PutDWord(out, 18, uint32_t(Picture.Width));
  PutDWord(out, 22, uint32_t(Picture.Height));  // positive: rows stored bottom-up
  PutWord(out, 26, 1);
  PutWord(out, 28, uint16_t(BitCount));
  PutDWord(out, 34, uint32_t(imageSize));
  PutDWord(out, 38, 2835);  // 72 dots per inch
  PutDWord(out, 42, 2835);

  for (int32_t y = 0; y < Picture.Height; ++y) {
    uint8_t* p = out.data() + headers + size_t(Picture.Height - 1 - y) * line;
    for (int32_t x = 0; x < Picture.Width; ++x, p += bytesPerPixel) {
      const uint32_t argb = Picture.At(x, y);
      p[0] = uint8_t(argb);
      p[1] = uint8_t(argb >> 8);
      p[2] = uint8_t(argb >> 16);
      if (BitCount == 32) p[3] = uint8_t(argb >> 24);
    }
  }
  return out;
}

void SaveBMP(const std::string& FileName, const TBitmap32& Picture, int BitCount) {
  WriteFileBytes(FileName, EncodeBMP(Picture, BitCount));
}

}  // namespace media
