// Bitmap decoding: JPEG data as SWF files carry it, and the lossless formats.
#include "player/bitmap_decode.h"

#include <gtest/gtest.h>

#include "player/swf_builder.h"
#include "support/bytes.h"
#include "support/pictures.h"

namespace {

using namespace player;
using vtest::hex;

TEST(BitmapDecode, CleansJpegDataAsPlayersDo) {
  struct Case {
    const char* name;
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"clean", "FF D8 FF DB 00 03 01 FF DA 00 02 AB FF D9",
       "FF D8 FF DB 00 03 01 FF DA 00 02 AB FF D9"},
      {"erroneous header", "FF D9 FF D8 FF D8 FF DA 00 02 AB FF D9", "FF D8 FF DA 00 02 AB FF D9"},
      {"doubled start", "FF D8 FF D8 FF DB 00 03 01 FF DA 00 02 AB FF D9 FF D9",
       "FF D8 FF DB 00 03 01 FF DA 00 02 AB FF D9 FF D9"},
      {"tables then image", "FF D8 FF DB 00 03 01 FF D9 FF D8 FF C0 00 03 02 FF DA 00 02 AB FF D9",
       "FF D8 FF DB 00 03 01 FF C0 00 03 02 FF DA 00 02 AB FF D9"},
      {"segment length past the end", "FF D8 FF DB 00 09 01", "FF D8 FF DB 00 09 01"},
      {"empty", "", "FF D8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(vtest::SameBytes(hex(c.out), CleanJpegData(hex(c.in))));
  }
}

TBitmapCharacter Lossless(uint8_t format, bool alpha, uint16_t w, uint16_t h,
                          const vtest::Bytes& raw, uint16_t tableSize = 0) {
  TBitmapCharacter b;
  b.Encoding = TBitmapCharacter::Lossless;
  b.Format = format;
  b.HasAlpha = alpha;
  b.Width = w;
  b.Height = h;
  b.ColorTableSize = tableSize;
  b.Data = vtest::Zlib(raw);
  return b;
}

TEST(BitmapDecode, DecodesTheLosslessFormats) {
  struct Case {
    const char* name;
    TBitmapCharacter bitmap;
    std::vector<uint32_t> pixels;
  };
  Case cases[] = {
      // Two palette entries, rows of 3 pixels padded to 4 bytes; index 5 is outside the table.
      {"colour-mapped",
       Lossless(3, false, 3, 1, hex("FF 00 00 | 00 00 FF | 01 00 05 00"), 2),
       {0xFF0000FF, 0xFFFF0000, 0x00000000}},
      {"colour-mapped with alpha",
       Lossless(3, true, 1, 1, hex("10 20 30 40 | 00 00 00 00"), 1),
       {0x40102030}},
      // 15-bit pixels, high byte first, rows padded to 4 bytes: red, then white.
      {"15-bit",
       Lossless(4, false, 1, 2, hex("7C 00 00 00 | 7F FF 00 00")),
       {0xFFFF0000, 0xFFFFFFFF}},
      {"32-bit, first byte ignored", Lossless(5, false, 1, 1, hex("00 11 22 33")), {0xFF112233}},
      // Premultiplied in the format: colours above alpha are clamped to it.
      {"32-bit premultiplied",
       Lossless(5, true, 2, 1, hex("80 40 90 FF | 00 00 00 00")),
       {0x80408080, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto pixels = DecodeBitmap(c.bitmap);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels->Data, c.pixels);
  }
}

TEST(BitmapDecode, RefusesWhatItCannotDecode) {
  struct Case {
    const char* name;
    TBitmapCharacter bitmap;
  };
  TBitmapCharacter notZlib = Lossless(5, false, 1, 1, hex("00 11 22 33"));
  notZlib.Data = hex("01 02 03 04");
  TBitmapCharacter notJpeg;
  notJpeg.Data = hex("FF D8 FF C0 00 11 08 7F FF 7F FF 03");
  Case cases[] = {
      {"zero width", Lossless(5, false, 0, 1, hex("00"))},
      {"unknown format", Lossless(7, false, 1, 1, hex("00 00 00 00"))},
      {"not zlib", std::move(notZlib)},
      {"damaged JPEG", std::move(notJpeg)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeBitmap(c.bitmap), nullptr);
  }
}

// Over the pixel budget a bitmap is kept smaller, never dropped: every
// step-th pixel of every step-th row, with the scale back to the bitmap.
TEST(BitmapDecode, KeepsBitmapsOverTheBudgetSmaller) {
  // 4 x 2 pixels, 32-bit: columns 0 and 2 of row 0 survive a step of 2.
  TBitmapCharacter lossless = Lossless(5, false, 4, 2,
                                       hex("FF 11 00 00 | FF 22 00 00 | FF 33 00 00 | FF 44 00 00"
                                           "FF 55 00 00 | FF 66 00 00 | FF 77 00 00 | FF 88 00 00"));
  auto small = DecodeBitmap(lossless, 2);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->Data, (std::vector<uint32_t>{0xFF110000, 0xFF330000}));
  EXPECT_EQ(small->ScaleX, 2);
  EXPECT_EQ(small->ScaleY, 2);

  // A JPEG of left red, right blue halves with an alpha plane of 64 on the
  // right: libjpeg decodes it at 1/4, and the alpha byte follows the pixel.
  std::vector<uint8_t> rgb;
  vtest::Bytes alpha;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      rgb.insert(rgb.end(), x < 32 ? std::initializer_list<uint8_t>{255, 0, 0}
                                   : std::initializer_list<uint8_t>{0, 0, 255});
      alpha.push_back(x < 32 ? 255 : 64);
    }
  TBitmapCharacter jpeg;
  jpeg.Data = vtest::EncodeJpeg(64, 32, rgb);
  jpeg.AlphaData = vtest::Zlib(alpha);
  auto quarter = DecodeBitmap(jpeg, 16 * 8);
  ASSERT_NE(quarter, nullptr);
  EXPECT_EQ(quarter->Width, 16);
  EXPECT_EQ(quarter->Height, 8);
  EXPECT_EQ(quarter->ScaleX, 4);
  const uint32_t left = quarter->Data[4 * 16 + 3], right = quarter->Data[4 * 16 + 12];
  EXPECT_EQ(left >> 24, 255u);
  EXPECT_GT(left >> 16 & 0xFF, 240u);
  EXPECT_EQ(right >> 24, 64u);
  EXPECT_GT(right & 0xFF, 56u);  // premultiplied blue, clamped to alpha
}

}  // namespace
