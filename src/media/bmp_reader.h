#pragma once
// TBMPReader: a Windows bitmap file read into an uncompressed pixel buffer
// with the row layout of a device-independent bitmap: rows padded to 32 bits,
// in the file's order (bottom-up for a positive height), 1- and 4-bit pixels
// packed most significant bits first, 16-bit pixels little-endian words,
// 24-bit pixels blue, green, red, 32-bit pixels blue, green, red and a fourth
// byte (the alpha of this program's pictures).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace media {

// One colour table entry as BMP files store it.
struct TBMPColor {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  bool operator==(const TBMPColor&) const = default;
};

// The 40-byte information header that describes the reader's buffer (not the
// file: its compression is 0 or 3, never run-length).
struct TBMPInfoHeader {
  uint32_t Size = 40;
  int32_t Width = 0;
  int32_t Height = 0;  // > 0: rows stored bottom-up; < 0: top-down
  uint16_t Planes = 1;
  uint16_t BitCount = 0;
  uint32_t Compression = 0;  // 0 plain, 3 bit-field masks (16- and 32-bit)
  uint32_t SizeImage = 0;
  int32_t XPelsPerMeter = 0;
  int32_t YPelsPerMeter = 0;
  uint32_t ClrUsed = 0;
  uint32_t ClrImportant = 0;
};

class TBMPReader {
 public:
  // The largest pixel buffer a file may ask for: run-length data can describe
  // any size in a few bytes, so the header alone must not decide allocations.
  static constexpr size_t DefaultMaxImageBytes = size_t(256) << 20;

  TBMPReader() = default;
  // Copies make their own buffer, even of a caller-supplied one.
  TBMPReader(const TBMPReader& Other);
  TBMPReader& operator=(const TBMPReader& Other);

  // Reads a BMP file: 12-, 40-, 52-, 56-, 108- and 124-byte headers; 1, 4, 8,
  // 16, 24 and 32 bits per pixel; plain, run-length (4- and 8-bit) and
  // bit-field data. Raises TMediaError naming the file on any damage.
  void LoadFromFile(const std::string& FileName);
  void LoadFromStream(std::span<const uint8_t> Data);

  // Describes a buffer of Width x Height pixels. Bits, when given, is used as
  // it is and must hold |Height| x BytesPerLine bytes; otherwise the reader
  // makes its own, zero-filled. Non-zero channel widths (16- and 32-bit) make
  // the buffer use bit-field masks packed from the lowest bit: blue, green, red.
  // BitCount 0 stands for the depth of the screen, here always 32.
  void SetFormat(uint8_t* Bits, int32_t Width, int32_t Height, int BitCount, int RedBits,
                 int GreenBits, int BlueBits);
  void SetSize(int32_t Width, int32_t Height, int BitCount);

  // Number of distinct colours. For 1-, 4- and 8-bit pictures the used palette
  // entries are moved to the front (in their old order) and every pixel is
  // renumbered, so a colour table of the returned size covers every pixel.
  int CountColors();

  const TBMPInfoHeader& Header() const { return Header_; }
  int32_t Width() const { return Header_.Width; }
  int32_t Height() const { return Header_.Height; }
  int BitCount() const { return Header_.BitCount; }
  uint32_t RowCount() const { return RowCount_; }  // |Height|
  int RedBits() const { return RedBits_; }
  int GreenBits() const { return GreenBits_; }
  int BlueBits() const { return BlueBits_; }
  uint32_t BytesPerLine() const { return BytesPerLine_; }
  uint32_t LinePadding() const { return LinePadding_; }
  size_t ImageSize() const { return Header_.SizeImage; }

  // The palette for BitCount <= 8; with bit-field masks entries 0, 1 and 2
  // hold the red, green and blue masks as little-endian words.
  std::array<TBMPColor, 256>& ColorTable() { return ColorTable_; }
  const std::array<TBMPColor, 256>& ColorTable() const { return ColorTable_; }
  uint32_t ColorMask(int Channel) const;  // 0 red, 1 green, 2 blue

  uint8_t* Bits() { return Bits_; }
  const uint8_t* Bits() const { return Bits_; }
  // Row I in buffer order: for a bottom-up picture row 0 is the bottom row.
  uint8_t* ScanLines(uint32_t I) { return Bits_ + size_t(I) * BytesPerLine_; }
  const uint8_t* ScanLines(uint32_t I) const { return Bits_ + size_t(I) * BytesPerLine_; }
  // Row Y counted from the top of the picture, whatever the storage order.
  uint8_t* DisplayLine(uint32_t Y) { return ScanLines(Header_.Height > 0 ? RowCount_ - 1 - Y : Y); }
  const uint8_t* DisplayLine(uint32_t Y) const {
    return ScanLines(Header_.Height > 0 ? RowCount_ - 1 - Y : Y);
  }

  size_t MaxImageBytes() const { return MaxImageBytes_; }
  void SetMaxImageBytes(size_t Bytes) { MaxImageBytes_ = Bytes; }

 private:
  struct TFileLayout;
  TFileLayout ParseBitmapHeaders(std::span<const uint8_t> Data);
  void ReadPixels(std::span<const uint8_t> Data, const TFileLayout& File);
  void DecodeRunLength(std::span<const uint8_t> Packed, int BitCount);
  void RepackBitFields(const TFileLayout& File);
  void SetMasks();
  int CountPaletteColors();
  int CountDirectColors() const;

  TBMPInfoHeader Header_;
  std::array<TBMPColor, 256> ColorTable_{};
  int RedBits_ = 0;
  int GreenBits_ = 0;
  int BlueBits_ = 0;
  uint32_t RowCount_ = 0;
  uint32_t BytesPerLine_ = 0;
  uint32_t LinePadding_ = 0;
  std::vector<uint8_t> OwnBits_;
  uint8_t* Bits_ = nullptr;  // OwnBits_.data() or a caller's buffer
  size_t MaxImageBytes_ = DefaultMaxImageBytes;
};

}  // namespace media
