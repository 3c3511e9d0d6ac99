#include "media/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "media/file_bytes.h"
#include "media/media_error.h"

namespace media {

namespace {

uint16_t Word(std::span<const uint8_t> d, size_t at) {
  return uint16_t(d[at] | d[at + 1] << 8);
}

uint32_t DWord(std::span<const uint8_t> d, size_t at) {
  return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
         uint32_t(d[at + 3]) << 24;
}

[[noreturn]] void Damaged(const std::string& what) {
  throw TMediaError("The BMP picture is damaged or not supported: " + what);
}

bool IsSupportedBitCount(int BitCount) {
  return BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 16 || BitCount == 24 ||
         BitCount == 32;
}

// Rows are padded to whole 32-bit words.
uint64_t LineBytes(int64_t Width, int BitCount) {
  return (uint64_t(Width) * uint64_t(BitCount) + 31) / 32 * 4;
}

uint32_t LowBits(int Count) {
  return Count >= 32 ? 0xFFFFFFFFu : (1u << Count) - 1;
}

// A channel value of Width bits stretched to 0..255.
uint8_t ScaleTo8(uint32_t Value, int Width) {
  if (Width == 8) return uint8_t(Value);
  const uint64_t max = LowBits(Width);
  return uint8_t((uint64_t(Value) * 255 + max / 2) / max);
}

uint32_t Extract(uint32_t Pixel, uint32_t Mask) {
  return Mask ? (Pixel & Mask) >> std::countr_zero(Mask) : 0;
}

constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kMasksAt = 54;  // file offset of the masks, in or after any header of 40+ bytes

}  // namespace

// What the file says about itself, beyond the buffer's own header.
struct TBMPReader::TFileLayout {
  uint32_t HeaderSize = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int BitCount = 0;
  uint32_t Compression = 0;
  uint32_t PixelOffset = 0;
  uint32_t FileSize = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool HasAlphaMask = false;
  bool HasMasks() const { return Compression == 3 || Compression == 6; }
};

TBMPReader::TBMPReader(const TBMPReader& Other) {
  *this = Other;
}

TBMPReader& TBMPReader::operator=(const TBMPReader& Other) {
  if (this == &Other) return *this;
  Header_ = Other.Header_;
  ColorTable_ = Other.ColorTable_;
  RedBits_ = Other.RedBits_;
  GreenBits_ = Other.GreenBits_;
  BlueBits_ = Other.BlueBits_;
  RowCount_ = Other.RowCount_;
  BytesPerLine_ = Other.BytesPerLine_;
  LinePadding_ = Other.LinePadding_;
  MaxImageBytes_ = Other.MaxImageBytes_;
  if (Other.Bits_)
    OwnBits_.assign(Other.Bits_, Other.Bits_ + Other.ImageSize());
  else
    OwnBits_.clear();
  Bits_ = Other.Bits_ ? OwnBits_.data() : nullptr;
  return *this;
}

uint32_t TBMPReader::ColorMask(int Channel) const {
  const TBMPColor& c = ColorTable_[size_t(Channel)];
  return uint32_t(c.Blue) | uint32_t(c.Green) << 8 | uint32_t(c.Red) << 16 |
         uint32_t(c.Reserved) << 24;
}

void TBMPReader::LoadFromFile(const std::string& FileName) {
  const std::vector<uint8_t> bytes = ReadFileBytes(FileName, MaxImageBytes_ + (size_t(1) << 20));
  try {
    LoadFromStream(bytes);
  } catch (const TMediaError& e) {
    throw TMediaError("\"" + FileName + "\": " + e.what());
  }
}

void TBMPReader::LoadFromStream(std::span<const uint8_t> Data) {
  const size_t limit = MaxImageBytes_;
  *this = TBMPReader();
  MaxImageBytes_ = limit;
  const TFileLayout file = ParseBitmapHeaders(Data);
  ReadPixels(Data, file);
}

TBMPReader::TFileLayout TBMPReader::ParseBitmapHeaders(std::span<const uint8_t> Data) {
  if (Data.size() < 18) Damaged("the file is too short for a bitmap header");
  TFileLayout f;
  f.FileSize = DWord(Data, 2);
  f.PixelOffset = DWord(Data, 10);
  f.HeaderSize = DWord(Data, 14);
  const uint32_t hs = f.HeaderSize;
  if (hs != kCoreHeader && hs != kInfoHeader && hs != 52 && hs != 56 && hs != 108 && hs != 124)
    Damaged("unknown information header size " + std::to_string(hs));
  if (14 + hs > Data.size()) Damaged("the information header is cut short");

  if (hs == kCoreHeader) {
    f.Width = Word(Data, 18);
    f.Height = Word(Data, 20);
    f.BitCount = Word(Data, 24);
  } else {
    f.Width = int32_t(DWord(Data, 18));
    f.Height = int32_t(DWord(Data, 22));
    f.BitCount = Word(Data, 28);
    f.Compression = DWord(Data, 30);
  }
  if (!IsSupportedBitCount(f.BitCount))
    Damaged("unsupported bit count " + std::to_string(f.BitCount));
  if (f.Width <= 0 || f.Height == 0 || f.Height == INT32_MIN)
    Damaged("invalid size " + std::to_string(f.Width) + " x " + std::to_string(f.Height));

  const uint32_t c = f.Compression;
  if (c == 4 || c == 5) Damaged("pixels compressed as JPEG or PNG inside a BMP");
  const bool fits = c == 0 || (c == 1 && f.BitCount == 8) || (c == 2 && f.BitCount == 4) ||
                    ((c == 3 || c == 6) && (f.BitCount == 16 || f.BitCount == 32));
  if (!fits)
    Damaged("compression " + std::to_string(c) + " with " + std::to_string(f.BitCount) +
            " bits per pixel");

  if (f.HasMasks()) {
    f.HasAlphaMask = c == 6 || hs >= 56;
    const size_t count = f.HasAlphaMask ? 4 : 3;
    if (kMasksAt + 4 * count > Data.size()) Damaged("the colour masks are cut short");
    for (size_t i = 0; i < count; ++i) f.Masks[i] = DWord(Data, kMasksAt + 4 * i);
    uint32_t seen = 0;
    const uint32_t allowed = LowBits(f.BitCount);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t m = f.Masks[i];
      const bool contiguous =
          m == 0 || std::popcount(m) == 32 - std::countl_zero(m) - std::countr_zero(m);
      if ((m == 0 && i < 3) || !contiguous || (m & seen) || (m & ~allowed))
        Damaged("invalid colour masks");
      seen |= m;
    }
  }

  if (f.BitCount <= 8) {
    const size_t entries = size_t(1) << f.BitCount;
    size_t used = entries;
    if (hs != kCoreHeader) {
      const uint32_t clrUsed = DWord(Data, 46);
      if (clrUsed > 0 && clrUsed < entries) used = clrUsed;
    }
    const size_t entrySize = hs == kCoreHeader ? 3 : 4;
    size_t at = 14 + hs;
    for (size_t i = 0; i < used && at + entrySize <= Data.size(); ++i, at += entrySize)
      ColorTable_[i] = {Data[at], Data[at + 1], Data[at + 2], 0};
    for (size_t i = 0; i < entries; ++i) ColorTable_[i].Reserved = 255;
  }
  return f;
}

void TBMPReader::ReadPixels(std::span<const uint8_t> Data, const TFileLayout& File) {
  if (File.PixelOffset > Data.size()) Damaged("the pixel data lies beyond the end of the file");
  std::span<const uint8_t> pixels = Data.subspan(File.PixelOffset);
  const bool runLength = File.Compression == 1 || File.Compression == 2;
  const uint64_t rows = uint64_t(File.Height < 0 ? -int64_t(File.Height) : File.Height);
  const uint64_t need = rows * LineBytes(File.Width, File.BitCount);
  if (runLength) {
    if (File.Height < 0) Damaged("run-length data in a top-down picture");
    if (File.FileSize > File.PixelOffset && File.FileSize - File.PixelOffset < pixels.size())
      pixels = pixels.first(File.FileSize - File.PixelOffset);
  } else if (pixels.size() + LineBytes(File.Width, File.BitCount) < need) {
    // Checked before the buffer is made, so a lying header cannot make us allocate; a
    // file that lacks only (part of) its last row's bytes still loads.
    Damaged("the pixel data is cut short (" + std::to_string(pixels.size()) + " of " +
            std::to_string(need) + " bytes)");
  }

  int r = 0, g = 0, b = 0;
  if (File.HasMasks()) {
    if (File.BitCount == 32) {
      r = g = b = 8;  // 32-bit buffers always hold blue, green, red, alpha bytes
    } else {
      r = std::popcount(File.Masks[0]);
      g = std::popcount(File.Masks[1]);
      b = std::popcount(File.Masks[2]);
    }
  }
  SetFormat(nullptr, File.Width, File.Height, File.BitCount, r, g, b);

  if (runLength) {
    DecodeRunLength(pixels, File.BitCount);
  } else {
    std::memcpy(Bits_, pixels.data(), size_t(std::min<uint64_t>(need, pixels.size())));
    if (File.HasMasks()) RepackBitFields(File);
  }
}

void TBMPReader::DecodeRunLength(std::span<const uint8_t> Packed, int BitCount) {
  const bool eightBit = BitCount == 8;
  const uint64_t width = uint64_t(Header_.Width);
  uint64_t x = 0;
  uint64_t row = 0;
  auto put = [&](uint8_t value) {
    if (x < width) {
      uint8_t* line = ScanLines(uint32_t(row));
      if (eightBit)
        line[x] = value;
      else if (x % 2 == 0)
        line[x / 2] = uint8_t((line[x / 2] & 0x0F) | value << 4);
      else
        line[x / 2] = uint8_t((line[x / 2] & 0xF0) | value);
    }
    ++x;
  };
  auto nibble = [](uint8_t byte, size_t k) { return uint8_t(k % 2 == 0 ? byte >> 4 : byte & 15); };

  size_t i = 0;
  while (row < RowCount_ && i + 1 < Packed.size()) {
    const uint8_t count = Packed[i];
    const uint8_t code = Packed[i + 1];
    i += 2;
    if (count > 0) {
      for (size_t k = 0; k < count; ++k) put(eightBit ? code : nibble(code, k));
    } else if (code == 0) {
      x = 0;
      ++row;
    } else if (code == 1) {
      return;
    } else if (code == 2) {
      if (i + 1 >= Packed.size()) return;
      x += Packed[i];
      row += Packed[i + 1];
      i += 2;
    } else {
      const size_t bytes = eightBit ? code : (size_t(code) + 1) / 2;
      const size_t have = std::min(bytes, Packed.size() - i);
      for (size_t k = 0; k < code && (eightBit ? k : k / 2) < have; ++k)
        put(eightBit ? Packed[i + k] : nibble(Packed[i + k / 2], k));
      i += bytes + (bytes & 1);  // literal runs end on a 16-bit boundary
    }
  }
}

// Moves bit-field pixels into the buffer's own layout: 16-bit channels packed from
// the lowest bit, 32-bit pixels as blue, green, red, alpha bytes.
void TBMPReader::RepackBitFields(const TFileLayout& File) {
  const uint32_t* m = File.Masks;
  if (File.BitCount == 16) {
    const uint32_t target[3] = {ColorMask(0), ColorMask(1), ColorMask(2)};
    if (std::equal(m, m + 3, target)) return;
    for (uint32_t y = 0; y < RowCount_; ++y) {
      uint8_t* line = ScanLines(y);
      for (int32_t x = 0; x < Header_.Width; ++x) {
        const uint32_t v = uint32_t(line[2 * x] | line[2 * x + 1] << 8);
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) out |= Extract(v, m[c]) << std::countr_zero(target[c]);
        line[2 * x] = uint8_t(out);
        line[2 * x + 1] = uint8_t(out >> 8);
      }
    }
    return;
  }
  const bool standard = m[0] == 0x00FF0000 && m[1] == 0x0000FF00 && m[2] == 0x000000FF;
  if (standard && (!File.HasAlphaMask || m[3] == 0xFF000000)) return;
  // A header that names no alpha mask says the fourth byte is not alpha: opaque.
  const bool hasAlpha = File.HasAlphaMask && m[3] != 0;
  int widths[4];
  for (int c = 0; c < 4; ++c) widths[c] = std::popcount(m[c]);
  for (uint32_t y = 0; y < RowCount_; ++y) {
    uint8_t* p = ScanLines(y);
    for (int32_t x = 0; x < Header_.Width; ++x, p += 4) {
      const uint32_t v = DWord({p, 4}, 0);
      p[0] = ScaleTo8(Extract(v, m[2]), widths[2]);
      p[1] = ScaleTo8(Extract(v, m[1]), widths[1]);
      p[2] = ScaleTo8(Extract(v, m[0]), widths[0]);
      p[3] = hasAlpha ? ScaleTo8(Extract(v, m[3]), widths[3]) : 255;
    }
  }
}

void TBMPReader::SetSize(int32_t Width, int32_t Height, int BitCount) {
  SetFormat(nullptr, Width, Height, BitCount, 0, 0, 0);
}

void TBMPReader::SetFormat(uint8_t* Bits, int32_t Width, int32_t Height, int BitCount, int RedBits,
                           int GreenBits, int BlueBits) {
  if (BitCount == 0) {
    BitCount = 32;  // no screen to ask: the depth of a true-colour display
    if (RedBits == 0 && GreenBits == 0 && BlueBits == 0) RedBits = GreenBits = BlueBits = 8;
  }
  if (!IsSupportedBitCount(BitCount))
    throw TMediaError("Unsupported bit count " + std::to_string(BitCount));
  if (Width < 0 || Height == INT32_MIN) throw TMediaError("Invalid bitmap size");
  const bool direct = BitCount == 16 || BitCount == 32;
  if (!direct) RedBits = GreenBits = BlueBits = 0;
  if (RedBits < 0 || GreenBits < 0 || BlueBits < 0 || RedBits + GreenBits + BlueBits > BitCount)
    throw TMediaError("Invalid colour channel widths");
  const bool masks = RedBits || GreenBits || BlueBits;
  if (direct && !masks) RedBits = GreenBits = BlueBits = BitCount == 16 ? 5 : 8;

  const uint64_t rows = uint64_t(Height < 0 ? -int64_t(Height) : Height);
  const uint64_t bpl = LineBytes(Width, BitCount);
  if (bpl > MaxImageBytes_ || rows * bpl > MaxImageBytes_)
    throw TMediaError("The picture is too large (" + std::to_string(Width) + " x " +
                      std::to_string(rows) + " pixels)");

  const bool same = !Bits && Bits_ && Bits_ == OwnBits_.data() && Width == Header_.Width &&
                    Height == Header_.Height && BitCount == Header_.BitCount &&
                    RedBits == RedBits_ && GreenBits == GreenBits_ && BlueBits == BlueBits_;
  Header_.Compression = masks ? 3 : 0;
  RedBits_ = RedBits;
  GreenBits_ = GreenBits;
  BlueBits_ = BlueBits;
  if (direct) SetMasks();
  if (same) return;

  Header_.Width = Width;
  Header_.Height = Height;
  Header_.BitCount = uint16_t(BitCount);
  Header_.SizeImage = uint32_t(rows * bpl);
  RowCount_ = uint32_t(rows);
  BytesPerLine_ = uint32_t(bpl);
  const uint64_t used = BitCount == 1   ? (uint64_t(Width) + 7) / 8
                        : BitCount == 4 ? (uint64_t(Width) * 4 + 7) / 8
                                        : uint64_t(Width) * uint64_t(BitCount / 8);
  LinePadding_ = uint32_t(bpl - used);
  if (Bits) {
    OwnBits_.clear();
    Bits_ = Bits;
  } else {
    OwnBits_.assign(Header_.SizeImage, 0);
    Bits_ = OwnBits_.data();
  }
}

// Masks packed from the lowest bit: blue, then green, then red; stored where the
// colour table of a bit-field bitmap keeps them.
void TBMPReader::SetMasks() {
  const int sum = RedBits_ + GreenBits_ + BlueBits_;
  const uint32_t blue = LowBits(BlueBits_);
  const uint32_t green = LowBits(GreenBits_ + BlueBits_) & ~blue;
  const uint32_t red = LowBits(sum) & ~(blue | green);
  const uint32_t masks[3] = {red, green, blue};
  for (int i = 0; i < 3; ++i)
    ColorTable_[size_t(i)] = {uint8_t(masks[i]), uint8_t(masks[i] >> 8), uint8_t(masks[i] >> 16),
                              uint8_t(masks[i] >> 24)};
}

int TBMPReader::CountColors() {
  if (!Bits_) return 0;
  switch (Header_.BitCount) {
    case 1:
    case 4:
    case 8:
      return CountPaletteColors();
    case 16:
    case 24:
    case 32:
      return CountDirectColors();
    default:
      return 0;
  }
}

int TBMPReader::CountPaletteColors() {
  const int bits = Header_.BitCount;
  const int perByte = 8 / bits;
  const uint32_t valueMask = LowBits(bits);
  auto index = [&](const uint8_t* line, uint32_t x) {
    const int shift = 8 - bits * (int(x % uint32_t(perByte)) + 1);
    return (line[x / uint32_t(perByte)] >> shift) & valueMask;
  };

  const uint32_t entries = 1u << bits;
  std::array<bool, 256> used{};
  uint32_t count = 0;
  const uint32_t width = uint32_t(Header_.Width);
  for (uint32_t y = 0; y < RowCount_; ++y) {
    const uint8_t* line = ScanLines(y);
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t v = index(line, x);
      if (!used[v]) {
        used[v] = true;
        if (++count == entries) return int(count);
      }
    }
  }

  // Used entries first in their old order, then the unused ones, so the colour
  // table of `count` entries covers every pixel.
  std::array<uint8_t, 256> newIndex{};
  std::array<TBMPColor, 256> palette = ColorTable_;
  uint32_t next = 0;
  for (int pass = 0; pass < 2; ++pass)
    for (uint32_t v = 0; v < entries; ++v)
      if (used[v] == (pass == 0)) {
        newIndex[v] = uint8_t(next);
        palette[next++] = ColorTable_[v];
      }
  bool identity = true;
  for (uint32_t v = 0; v < entries; ++v) identity = identity && newIndex[v] == v;
  if (identity) return int(count);
  ColorTable_ = palette;

  for (uint32_t y = 0; y < RowCount_; ++y) {
    uint8_t* line = ScanLines(y);
    for (uint32_t x = 0; x < width; ++x) {
      const int shift = 8 - bits * (int(x % uint32_t(perByte)) + 1);
      uint8_t& byte = line[x / uint32_t(perByte)];
      const uint32_t v = (byte >> shift) & valueMask;
      byte = uint8_t((byte & ~(valueMask << shift)) | uint32_t(newIndex[v]) << shift);
    }
  }
  return int(count);
}

int TBMPReader::CountDirectColors() const {
  const int bytes = Header_.BitCount / 8;
  const size_t keyBits = bytes == 2 ? 16 : 24;  // 32-bit pixels: the fourth byte is ignored
  std::vector<uint64_t> seen((size_t(1) << keyBits) / 64);
  int count = 0;
  for (uint32_t y = 0; y < RowCount_; ++y) {
    const uint8_t* p = ScanLines(y);
    for (int32_t x = 0; x < Header_.Width; ++x, p += bytes) {
      const uint32_t key =
          bytes == 2 ? uint32_t(p[0] | p[1] << 8) : uint32_t(p[0] | p[1] << 8 | p[2] << 16);
      uint64_t& word = seen[key / 64];
      const uint64_t bit = uint64_t(1) << (key % 64);
      if (!(word & bit)) {
        word |= bit;
        ++count;
      }
    }
  }
  return count;
}

}  // namespace media
