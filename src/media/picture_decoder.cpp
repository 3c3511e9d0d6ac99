#include "media/picture_decoder.h"

#include <algorithm>
#include <string_view>

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

namespace {

bool StartsWith(std::span<const uint8_t> Data, std::string_view Magic, size_t At = 0) {
  return Data.size() >= At + Magic.size() &&
         std::equal(Magic.begin(), Magic.end(), Data.begin() + long(At),
                    [](char m, uint8_t d) { return uint8_t(m) == d; });
}

// The name of a common picture format this program does not take; "" when none.
const char* OtherPictureFormat(std::span<const uint8_t> Data) {
  if (StartsWith(Data, "\x89PNG")) return "PNG";
  if (StartsWith(Data, "GIF8")) return "GIF";
  if (StartsWith(Data, "RIFF") && StartsWith(Data, "WEBP", 8)) return "WebP";
  if (StartsWith(Data, "II*") || StartsWith(Data, std::string_view("MM\0*", 4))) return "TIFF";
  if (StartsWith(Data, "ftypavif", 4) || StartsWith(Data, "ftypheic", 4)) return "AVIF or HEIF";
  return "";
}

}  // namespace

std::string PictureFileProblem(const std::string& FileName) {
  const std::string prefix = "The file " + FileName + " cannot be used as a picture: ";
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadFileBytes(FileName, TBMPReader::DefaultMaxImageBytes + (size_t(1) << 20));
  } catch (const platform::TVellumetError& e) {
    return prefix + e.what();
  }
  if (IsJPEGData(bytes)) return ReadJPEGSize(bytes) ? "" : prefix + "it is a damaged JPEG file.";
  if (StartsWith(bytes, "BM")) {
    try {
      TBMPReader reader;
      reader.LoadFromStream(bytes);
      return "";
    } catch (const TMediaError& e) {
      return prefix + "it is a BMP file this program cannot read (" + e.what() + ").";
    }
  }
  if (const std::string other = OtherPictureFormat(bytes); !other.empty())
    return prefix + "it is a " + other +
           " picture, a format this program does not take. Pictures are BMP or JPEG files.";
  return prefix + "it is not a picture. Pictures are BMP or JPEG files.";
}

}  // namespace media
