#include "media/picture_decoder.h"

#include "media/file_bytes.h"
#include "media/jpeg_codec.h"
#include "media/media_error.h"

namespace media {

namespace {

uint8_t Stretch(uint32_t Value, int Width) {
  if (Width <= 0) return 0;
  const uint32_t max = (1u << Width) - 1;
  return uint8_t((Value * 255 + max / 2) / max);
}

uint32_t DirectPixel(const TBMPReader& Reader, const uint8_t* Line, int32_t X) {
  switch (Reader.BitCount()) {
    case 16: {
      const uint32_t v = uint32_t(Line[2 * X] | Line[2 * X + 1] << 8);
      const int b = Reader.BlueBits(), g = Reader.GreenBits(), r = Reader.RedBits();
      return ARGB(255, Stretch((v >> (b + g)) & ((1u << r) - 1), r),
                  Stretch((v >> b) & ((1u << g) - 1), g), Stretch(v & ((1u << b) - 1), b));
    }
    case 24:
      return ARGB(255, Line[3 * X + 2], Line[3 * X + 1], Line[3 * X]);
    default:
      return ARGB(Line[4 * X + 3], Line[4 * X + 2], Line[4 * X + 1], Line[4 * X]);
  }
}

}  // namespace

TBitmap32 BitmapFromReader(const TBMPReader& Reader) {
  if (uint64_t(Reader.Width()) * Reader.RowCount() * 4 > Reader.MaxImageBytes())
    throw TMediaError("The picture is too large");
  TBitmap32 picture(Reader.Width(), int32_t(Reader.RowCount()));
  const int bits = Reader.BitCount();
  for (int32_t y = 0; y < picture.Height; ++y) {
    const uint8_t* line = Reader.DisplayLine(uint32_t(y));
    for (int32_t x = 0; x < picture.Width; ++x) {
      if (bits > 8) {
        picture.At(x, y) = DirectPixel(Reader, line, x);
        continue;
      }
      const int perByte = 8 / bits;
      const int shift = 8 - bits * (x % perByte + 1);
      const TBMPColor c = Reader.ColorTable()[(line[x / perByte] >> shift) & ((1 << bits) - 1)];
      picture.At(x, y) = ARGB(255, c.Red, c.Green, c.Blue);
    }
  }
  return picture;
}

TBitmap32 DecodePicture(std::span<const uint8_t> Data) {
  if (IsJPEGData(Data)) return DecodeJPEG(Data, TBMPReader::DefaultMaxImageBytes);
  TBMPReader reader;
  reader.LoadFromStream(Data);
  return BitmapFromReader(reader);
}

TBitmap32 LoadPicture(const std::string& FileName) {
  const auto bytes = ReadFileBytes(FileName, TBMPReader::DefaultMaxImageBytes + (size_t(1) << 20));
  try {
    return DecodePicture(bytes);
  } catch (const TMediaError& e) {
    throw TMediaError("\"" + FileName + "\": " + e.what());
  }
}

}  // namespace media
