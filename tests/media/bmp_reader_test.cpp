#include "media/bmp_reader.h"

#include <gtest/gtest.h>

#include <climits>

#include "media/media_error.h"
#include "media/picture_decoder.h"
#include "support/bytes.h"
#include "support/pictures.h"

namespace {

using media::ARGB;
using media::TBMPReader;
using vtest::BmpFile;
using vtest::Bytes;
using vtest::hex;

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;
constexpr uint32_t White = 0xFFFFFFFF, Black = 0xFF000000;

std::vector<uint32_t> Decode(const Bytes& file) {
  return media::DecodePicture(file).Pixels;
}

Bytes Row(const TBMPReader& r, uint32_t i) {
  return Bytes(r.ScanLines(i), r.ScanLines(i) + r.BytesPerLine());
}

std::vector<uint32_t> GrayPalette() {
  std::vector<uint32_t> p;
  for (uint32_t i = 0; i < 256; ++i) p.push_back(i * 0x010101);
  return p;
}

// Every picture is 3 x 2; Expected lists its pixels top row first. The pixel bytes
// are written by hand, bottom row first unless the height is negative.
TEST(BMPReader, EveryDepthAndHeaderDecodesToItsPixels) {
  struct Case {
    const char* name;
    BmpFile file;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {"1-bit",
       {.Width = 3, .Height = 2, .BitCount = 1, .Palette = {0x000000, 0xFFFFFF},
        .Pixels = hex("60 00 00 00 | A0 00 00 00")},  // bottom 0 1 1, top 1 0 1
       {White, Black, White, Black, White, White}},
      {"4-bit, 3 colours used",
       {.Width = 3, .Height = 2, .BitCount = 4, .Palette = {0x112233, 0x445566, 0x778899},
        .ColorsUsed = 3, .Pixels = hex("00 20 00 00 | 21 00 00 00")},
       {0xFF778899, 0xFF445566, 0xFF112233, 0xFF112233, 0xFF112233, 0xFF778899}},
      {"8-bit",
       {.Width = 3, .Height = 2, .BitCount = 8, .Palette = {0xFF0000, 0x00FF00},
        .ColorsUsed = 2, .Pixels = hex("00 00 01 00 | 01 00 01 00")},
       {Green, Red, Green, Red, Red, Green}},
      {"8-bit, 12-byte core header",
       {.HeaderSize = 12, .Width = 3, .Height = 2, .BitCount = 8, .Palette = GrayPalette(),
        .Pixels = hex("10 20 FF 00 | 00 01 02 00")},
       {Black, 0xFF010101, 0xFF020202, 0xFF101010, 0xFF202020, White}},
      {"16-bit without masks is 5-5-5",
       {.Width = 3, .Height = 2, .BitCount = 16,
        .Pixels = hex("FF 7F 00 00 10 42 00 00 | 00 7C E0 03 1F 00 00 00")},
       {Red, Green, Blue, White, Black, 0xFF848484}},
      {"16-bit 5-6-5 masks",
       {.Width = 3, .Height = 2, .BitCount = 16, .Compression = 3,
        .Masks = {0xF800, 0x07E0, 0x001F},
        .Pixels = hex("FF FF 00 00 10 84 00 00 | 00 F8 E0 07 1F 00 00 00")},
       {Red, Green, Blue, White, Black, 0xFF848284}},
      {"16-bit masks in a 52-byte header, red in the low bits",
       {.HeaderSize = 52, .Width = 3, .Height = 2, .BitCount = 16, .Compression = 3,
        .Masks = {0x001F, 0x07E0, 0xF800},
        .Pixels = hex("FF FF 00 00 00 00 00 00 | 1F 00 E0 07 00 F8 00 00")},
       {Red, Green, Blue, White, Black, Black}},
      {"24-bit",
       {.Width = 3, .Height = 2, .BitCount = 24,
        .Pixels = hex("FF FF FF 00 00 00 30 20 10 000000 | 0000FF 00FF00 FF0000 000000")},
       {Red, Green, Blue, White, Black, 0xFF102030}},
      {"24-bit top-down",
       {.Width = 3, .Height = -2, .BitCount = 24,
        .Pixels = hex("0000FF 00FF00 FF0000 000000 | FFFFFF 000000 302010 000000")},
       {Red, Green, Blue, White, Black, 0xFF102030}},
      {"24-bit, 124-byte header",
       {.HeaderSize = 124, .Width = 3, .Height = 2, .BitCount = 24,
        .Pixels = hex("FFFFFF 000000 302010 000000 | 0000FF 00FF00 FF0000 000000")},
       {Red, Green, Blue, White, Black, 0xFF102030}},
      {"32-bit, fourth byte is alpha",
       {.Width = 3, .Height = 1, .BitCount = 32,
        .Pixels = hex("0000FFFF 00FF0080 FF000000")},
       {Red, 0x8000FF00, 0x000000FF}},
      {"32-bit masks after a 40-byte header keep the fourth byte",
       {.Width = 3, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0xFF0000, 0xFF00, 0xFF}, .Pixels = hex("0000FF40 00FF0080 FF000000")},
       {0x40FF0000, 0x8000FF00, 0x000000FF}},
      {"32-bit, 108-byte header without an alpha mask is opaque",
       {.HeaderSize = 108, .Width = 3, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0xFF0000, 0xFF00, 0xFF, 0}, .Pixels = hex("0000FF00 00FF0080 FF000000")},
       {Red, Green, Blue}},
      {"32-bit, 124-byte header, bytes red green blue alpha",
       {.HeaderSize = 124, .Width = 3, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
        .Pixels = hex("FF000080 00FF00FF 0000FF00")},
       {0x80FF0000, Green, 0x000000FF}},
      {"32-bit 10-10-10 masks in a 56-byte header",
       {.HeaderSize = 56, .Width = 1, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
        .Pixels = hex("FF FF 0F 80")},  // red 0, green 1023, blue 1023, alpha 2 of 3
       {ARGB(170, 0, 255, 255)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode(vtest::MakeBmp(c.file)), c.expected);
  }
}

// Files from an independent encoder (see tests/data/README.md): top row red, green,
// blue, white; bottom row black, gray 128, yellow, cyan.
TEST(BMPReader, FilesOfAnotherEncoderDecode) {
  constexpr uint32_t Yellow = 0xFFFFFF00, Cyan = 0xFF00FFFF, Gray = 0xFF808080;
  struct Case {
    const char* file;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {"bmp-v5-32bit-alpha.bmp", {Red, 0x8000FF00, 0x000000FF, White, Black, Gray, Yellow, Cyan}},
      {"bmp-v5-16bit-rgb565.bmp", {Red, Green, Blue, White, Black, 0xFF7B7D7B, Yellow, Cyan}},
      {"bmp-8bit-rle.bmp", {Red, Green, Blue, White, Black, Gray, Yellow, Cyan}},
      {"bmp-core-4bit.bmp", {Red, Green, Blue, White, Black, Gray, Yellow, Cyan}},
      {"bmp-24bit.bmp", {Red, Green, Blue, White, Black, Gray, Yellow, Cyan}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(media::LoadPicture(vtest::TestDataPath(c.file)).Pixels, c.expected);
  }
}

TEST(BMPReader, BufferKeepsFileRowOrderAndPadding) {
  TBMPReader r;
  r.LoadFromStream(vtest::MakeBmp({.Width = 3, .Height = 2, .BitCount = 8,
                                   .Palette = {0x0000FF, 0x00FF00}, .ColorsUsed = 2,
                                   .Pixels = hex("00 00 01 00 | 01 00 01 00")}));
  EXPECT_EQ(r.BytesPerLine(), 4u);
  EXPECT_EQ(r.LinePadding(), 1u);
  EXPECT_EQ(r.ImageSize(), 8u);
  EXPECT_TRUE(vtest::SameBytes(hex("00 00 01 00"), Row(r, 0)));  // the bottom row
  EXPECT_EQ(r.DisplayLine(0), r.ScanLines(1));
  // Palette entries get reserved byte 255; the rest of the table stays empty.
  EXPECT_EQ(r.ColorTable()[1], (media::TBMPColor{0x00, 0xFF, 0x00, 255}));
  EXPECT_EQ(r.ColorTable()[2], (media::TBMPColor{0, 0, 0, 255}));

  TBMPReader down;
  down.LoadFromStream(vtest::MakeBmp({.Width = 3, .Height = -2, .BitCount = 24,
                                      .Pixels = Bytes(24, 0x11)}));
  EXPECT_EQ(down.Height(), -2);
  EXPECT_EQ(down.RowCount(), 2u);
  EXPECT_EQ(down.DisplayLine(0), down.ScanLines(0));
}

TEST(BMPReader, CorePaletteEntriesAreThreeBytesWithReserved255) {
  TBMPReader r;
  r.LoadFromStream(vtest::MakeBmp({.HeaderSize = 12, .Width = 1, .Height = 1, .BitCount = 8,
                                   .Palette = GrayPalette(), .Pixels = hex("00 00 00 00")}));
  EXPECT_EQ(r.ColorTable()[0], (media::TBMPColor{0, 0, 0, 255}));
  EXPECT_EQ(r.ColorTable()[200], (media::TBMPColor{200, 200, 200, 255}));
}

TEST(BMPReader, ChannelWidthsComeFromTheMasks) {
  struct Case {
    BmpFile file;
    int red, green, blue;
    uint32_t compression;
    uint32_t masks[3];
  };
  const Case cases[] = {
      {{.Width = 1, .Height = 1, .BitCount = 16, .Pixels = Bytes(4)},
       5, 5, 5, 0, {0x7C00, 0x03E0, 0x001F}},
      {{.Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
        .Masks = {0xF800, 0x07E0, 0x001F}, .Pixels = Bytes(4)},
       5, 6, 5, 3, {0xF800, 0x07E0, 0x001F}},
      {{.HeaderSize = 108, .Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
        .Masks = {0x0F00, 0x00F0, 0x000F, 0xF000}, .Pixels = Bytes(4)},
       4, 4, 4, 3, {0x0F00, 0x00F0, 0x000F}},
      {{.Width = 1, .Height = 1, .BitCount = 32, .Pixels = Bytes(4)},
       8, 8, 8, 0, {0xFF0000, 0xFF00, 0xFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.file.BitCount) + "-bit, compression " +
                 std::to_string(c.file.Compression));
    TBMPReader r;
    r.LoadFromStream(vtest::MakeBmp(c.file));
    EXPECT_EQ(r.RedBits(), c.red);
    EXPECT_EQ(r.GreenBits(), c.green);
    EXPECT_EQ(r.BlueBits(), c.blue);
    EXPECT_EQ(r.Header().Compression, c.compression);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r.ColorMask(i), c.masks[i]);
  }
}

TEST(BMPReader, SetFormatBuildsMasksAndUsesASuppliedBuffer) {
  TBMPReader r;
  r.SetFormat(nullptr, 3, 2, 16, 5, 6, 5);
  EXPECT_EQ(r.Header().Compression, 3u);
  EXPECT_EQ(r.ColorMask(0), 0xF800u);
  EXPECT_EQ(r.ColorMask(1), 0x07E0u);
  EXPECT_EQ(r.ColorMask(2), 0x001Fu);
  EXPECT_EQ(r.BytesPerLine(), 8u);
  EXPECT_EQ(r.LinePadding(), 2u);

  r.SetFormat(nullptr, 5, 1, 32, 16, 8, 8);  // 32 bits of channels: the red mask reaches bit 31
  EXPECT_EQ(r.ColorMask(0), 0xFFFF0000u);

  uint8_t buffer[2 * 4] = {};
  r.SetFormat(buffer, 1, -2, 32, 0, 0, 0);
  EXPECT_EQ(r.Bits(), buffer);
  EXPECT_EQ(r.Header().Compression, 0u);
  EXPECT_EQ(r.ScanLines(1), buffer + 4);
  TBMPReader copy(r);  // copies own their pixels
  EXPECT_NE(copy.Bits(), buffer);

  r.SetSize(4, 2, 4);
  EXPECT_EQ(r.BytesPerLine(), 4u);
  EXPECT_EQ(r.LinePadding(), 2u);
  r.SetSize(9, 1, 1);
  EXPECT_EQ(r.LinePadding(), 2u);
  EXPECT_THROW(r.SetSize(1, 1, 2), media::TMediaError);
}

TEST(BMPReader, RunLengthDataFollowsTheEscapes) {
  struct Case {
    const char* name;
    int32_t width;
    uint16_t bits;
    uint32_t compression;
    Bytes packed;
    Bytes bottom, top;  // rows as stored in the buffer
  };
  const Case cases[] = {
      {"8-bit run, end of line, literal with pad byte, end of bitmap", 4, 8, 1,
       hex("03 05 00 00 00 03 01 02 03 00 00 01"), hex("05 05 05 00"), hex("01 02 03 00")},
      {"8-bit run longer than the row is cut", 4, 8, 1, hex("06 07 00 00 02 09 00 01"),
       hex("07 07 07 07"), hex("09 09 00 00")},
      {"end of bitmap stops early", 4, 8, 1, hex("02 01 00 01 02 02"), hex("01 01 00 00"),
       hex("00 00 00 00")},
      {"delta moves right and up", 4, 8, 1, hex("00 02 02 01 01 08 00 01"), hex("00 00 00 00"),
       hex("00 00 08 00")},
      {"4-bit run alternates nibbles", 5, 4, 2, hex("05 12 00 01"), hex("12 12 10 00"),
       hex("00 00 00 00")},
      {"4-bit literal starting at an odd pixel", 5, 4, 2, hex("01 30 00 03 45 60 00 01"),
       hex("34 56 00 00"), hex("00 00 00 00")},
      {"literal cut by the end of the data", 4, 8, 1, hex("00 04 01 02"), hex("01 02 00 00"),
       hex("00 00 00 00")},
      {"delta past the last row ends decoding", 4, 8, 1, hex("00 02 00 09 03 01"),
       hex("00 00 00 00"), hex("00 00 00 00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBMPReader r;
    r.LoadFromStream(vtest::MakeBmp({.Width = c.width, .Height = 2, .BitCount = c.bits,
                                     .Compression = c.compression, .Palette = {0},
                                     .ColorsUsed = 1, .Pixels = c.packed}));
    EXPECT_TRUE(vtest::SameBytes(c.bottom, Row(r, 0)));
    EXPECT_TRUE(vtest::SameBytes(c.top, Row(r, 1)));
  }
}

TEST(BMPReader, DamagedFilesGiveAClearError) {
  const Bytes good = vtest::MakeBmp({.Width = 2, .Height = 2, .BitCount = 24, .Pixels = Bytes(16)});
  auto with = [&](size_t at, Bytes patch) {
    Bytes b = good;
    std::copy(patch.begin(), patch.end(), b.begin() + long(at));
    return b;
  };
  struct Case {
    const char* name;
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {"too short", hex("42 4D 00 00 00 00"), "too short"},
      {"unknown header size", with(14, hex("40 00 00 00")), "header size 64"},
      {"header cut short", Bytes(good.begin(), good.begin() + 40), "cut short"},
      {"bit count 2", with(28, hex("02 00")), "bit count 2"},
      {"width 0", with(18, hex("00 00 00 00")), "invalid size"},
      {"height 0", with(22, hex("00 00 00 00")), "invalid size"},
      {"lowest height", with(22, hex("00 00 00 80")), "invalid size"},
      {"JPEG inside", with(30, hex("04 00 00 00")), "JPEG or PNG"},
      {"run-length with 24 bits", with(30, hex("01 00 00 00")), "compression 1"},
      {"pixel offset past the end", with(10, hex("00 10 00 00")), "beyond the end"},
      {"pixels cut short", Bytes(good.begin(), good.end() - 9), "cut short (7 of 16"},
      {"huge uncompressed", with(18, hex("FF FF 00 00")), "cut short"},
      {"huge run-length",
       vtest::MakeBmp({.Width = 100000, .Height = 100000, .BitCount = 8, .Compression = 1,
                       .Palette = {0}, .ColorsUsed = 1, .Pixels = hex("00 01")}),
       "too large"},
      {"top-down run-length",
       vtest::MakeBmp({.Width = 2, .Height = -2, .BitCount = 8, .Compression = 1,
                       .Palette = {0}, .ColorsUsed = 1, .Pixels = hex("00 01")}),
       "top-down"},
      {"zero mask",
       vtest::MakeBmp({.Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
                       .Masks = {0xF800, 0, 0x1F}, .Pixels = Bytes(4)}),
       "masks"},
      {"overlapping masks",
       vtest::MakeBmp({.Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
                       .Masks = {0xF800, 0x0FE0, 0x1F}, .Pixels = Bytes(4)}),
       "masks"},
      {"mask with a gap",
       vtest::MakeBmp({.Width = 1, .Height = 1, .BitCount = 32, .Compression = 3,
                       .Masks = {0xFF0000, 0xF00F00, 0xFF}, .Pixels = Bytes(4)}),
       "masks"},
      {"16-bit mask wider than the pixel",
       vtest::MakeBmp({.Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
                       .Masks = {0x1F0000, 0x07E0, 0x1F}, .Pixels = Bytes(4)}),
       "masks"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBMPReader r;
    try {
      r.LoadFromStream(c.file);
      ADD_FAILURE() << "no error";
    } catch (const media::TMediaError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(BMPReader, AFileMissingOnlyItsLastRowStillLoads) {
  Bytes file = vtest::MakeBmp({.Width = 1, .Height = 2, .BitCount = 24,
                               .Pixels = hex("0000FF 00 | FF0000 00")});
  file.resize(file.size() - 4);  // the top row is missing whole
  EXPECT_EQ(Decode(file), (std::vector<uint32_t>{Black, Red}));
}

TEST(BMPReader, LoadFromFileNamesTheFile) {
  TBMPReader r;
  try {
    r.LoadFromFile("/nonexistent/picture.bmp");
    ADD_FAILURE() << "no error";
  } catch (const media::TMediaError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/picture.bmp"), std::string::npos);
  }
}

// ------------------------------------------------------------ colour counting

Bytes PaletteOf(const TBMPReader& r, int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) out.push_back(r.ColorTable()[size_t(i)].Red);
  return out;
}

std::vector<uint32_t> RedRamp(int n) {
  std::vector<uint32_t> p;
  for (int i = 0; i < n; ++i) p.push_back(uint32_t(i) << 16);
  return p;
}

TEST(BMPReader, CountColorsMovesUsedPaletteEntriesToTheFront) {
  struct Case {
    const char* name;
    BmpFile file;
    int count;
    Bytes palette;  // red bytes of the first entries afterwards
    Bytes bottom;   // the bottom row afterwards
  };
  const Case cases[] = {
      {"4-bit using entries 3 and 7",
       {.Width = 3, .Height = 1, .BitCount = 4, .Palette = RedRamp(16),
        .Pixels = hex("73 70 00 00")},
       2, hex("03 07"), hex("10 10 00 00")},
      {"8-bit of width 5, padding not counted",
       {.Width = 5, .Height = 2, .BitCount = 8, .Palette = RedRamp(256),
        .Pixels = hex("09 09 04 04 09 FF FF FF | 04 09 04 04 04 FF FF FF")},
       2, hex("04 09"), hex("01 01 00 00 01 FF FF FF")},
      {"1-bit all zero", {.Width = 8, .Height = 1, .BitCount = 1, .Palette = {0x110000, 0x220000},
                          .Pixels = hex("00 00 00 00")},
       1, hex("11 22"), hex("00 00 00 00")},
      {"1-bit all one: entry 1 moves to the front",
       {.Width = 8, .Height = 1, .BitCount = 1, .Palette = {0x110000, 0x220000},
        .Pixels = hex("FF 00 00 00")},
       1, hex("22 11"), hex("00 00 00 00")},
      {"1-bit, only the partial last byte differs",
       {.Width = 10, .Height = 1, .BitCount = 1, .Palette = {0x110000, 0x220000},
        .Pixels = hex("00 40 00 00")},
       2, hex("11 22"), hex("00 40 00 00")},
      {"1-bit of width 4, padding bits not counted",
       {.Width = 4, .Height = 1, .BitCount = 1, .Palette = {0x110000, 0x220000},
        .Pixels = hex("F0 00 00 00")},
       1, hex("22 11"), hex("00 00 00 00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBMPReader r;
    r.LoadFromStream(vtest::MakeBmp(c.file));
    EXPECT_EQ(r.CountColors(), c.count);
    EXPECT_TRUE(vtest::SameBytes(c.palette, PaletteOf(r, int(c.palette.size()))));
    EXPECT_TRUE(vtest::SameBytes(c.bottom, Row(r, 0)));
  }
}

TEST(BMPReader, CountColorsOfAFullPaletteChangesNothing) {
  Bytes pixels;
  for (int i = 0; i < 256; ++i) pixels.push_back(uint8_t(255 - i));
  TBMPReader r;
  r.LoadFromStream(vtest::MakeBmp(
      {.Width = 256, .Height = 1, .BitCount = 8, .Palette = RedRamp(256), .Pixels = pixels}));
  const auto before = r.ColorTable();
  EXPECT_EQ(r.CountColors(), 256);
  EXPECT_EQ(r.ColorTable(), before);
  EXPECT_TRUE(vtest::SameBytes(pixels, Row(r, 0)));
}

TEST(BMPReader, CountColorsOfDirectPixels) {
  struct Case {
    const char* name;
    BmpFile file;
    int count;
  };
  const Case cases[] = {
      {"16-bit",
       {.Width = 3, .Height = 1, .BitCount = 16, .Pixels = hex("01 00 02 00 01 00 00 00")},
       2},
      {"24-bit, padding ignored",
       {.Width = 2, .Height = 2, .BitCount = 24,
        .Pixels = hex("010203 010203 FFFF | 010203 010204 FFFF")},
       2},
      {"32-bit ignores the fourth byte",
       {.Width = 3, .Height = 1, .BitCount = 32, .Pixels = hex("01020300 010203FF 03020100")}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBMPReader r;
    r.LoadFromStream(vtest::MakeBmp(c.file));
    EXPECT_EQ(r.CountColors(), c.count);
  }
}

}  // namespace
