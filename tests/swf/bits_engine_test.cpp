#include "swf/core/bits_engine.h"

#include <gtest/gtest.h>

#include "support/bytes.h"
#include "swf/core/bit_math.h"
#include "swf/core/swf_error.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;

template <class Fn>
Bytes Written(Fn fn) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  fn(be);
  return stream.Bytes();
}

TEST(BitMath, BitCounts) {
  struct Row {
    int32_t value;
    uint8_t bits;
  };
  const Row rows[] = {{0, 0},    {1, 2},     {-1, 2},     {255, 9},     {-255, 9},
                      {256, 10}, {-256, 10}, {32767, 16}, {-32768, 17}, {0x3FFFFFFF, 31}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(swf::GetBitsCount(r.value, 1), r.bits);
  }
  EXPECT_EQ(swf::GetBitsLength(0), 0);
  EXPECT_EQ(swf::GetBitsLength(1), 1);
  EXPECT_EQ(swf::GetBitsLength(255), 8);
  EXPECT_EQ(swf::GetBitsLength(0x7FFFFFFF), 31);
  EXPECT_EQ(swf::GetBitsLength(0x80000000u), 0);
  EXPECT_EQ(swf::MaxAbs({3, -7, 5, 0}), 7);
}

TEST(BitMath, FixedPoint) {
  EXPECT_EQ(swf::SingleToFixed8(12), 0x0C00);
  EXPECT_EQ(swf::SingleToFixed8(12.5), 0x0C80);
  EXPECT_EQ(swf::SingleToFixed8(100), 0x6400);
  EXPECT_FLOAT_EQ(swf::Fixed8ToSingle(0x0C80), 12.5f);
  EXPECT_EQ(swf::SingleToFixed(1.0), 65536);
  EXPECT_EQ(swf::SingleToFixed(-0.5), -32768);
  EXPECT_EQ(swf::SingleToFixed(1e-9), 0);  // truncates toward zero
  EXPECT_FLOAT_EQ(swf::FixedToSingle(98304), 1.5f);
}

TEST(BitsEngine, BitsAndBytes) {
  // A pending bit is padded before a word; a byte is shifted through the bit buffer.
  EXPECT_TRUE(SameBytes(hex("80 34 12"), Written([](auto& be) {
                          be.WriteBit(true);
                          be.WriteWord(0x1234);
                        })));
  EXPECT_TRUE(SameBytes(hex("D5 80"), Written([](auto& be) {
                          be.WriteBits(3, 2);
                          be.WriteByte(0x56);
                          be.FlushLastByte(true);
                        })));
  EXPECT_TRUE(SameBytes(hex("FF FF FF FF 80"), Written([](auto& be) {
                          be.WriteBit(true);
                          be.WriteBits(0xFFFFFFFF, 32);
                          be.FlushLastByte(true);
                        })));
  // Without Write the pending bits are dropped.
  EXPECT_TRUE(SameBytes(hex("AB"), Written([](auto& be) {
                          be.WriteByte(0xAB);
                          be.WriteBits(5, 3);
                          be.FlushLastByte(false);
                        })));
  EXPECT_TRUE(SameBytes(hex("78 56 34 12 FE FF FF FF"), Written([](auto& be) {
                          be.WriteDWord(0x12345678);
                          be.WriteSDWord(-2);
                        })));
}

TEST(BitsEngine, Strings) {
  EXPECT_TRUE(SameBytes(hex("61 E9 00"), Written([](auto& be) { be.WriteString("a\xE9"); })));
  EXPECT_TRUE(SameBytes(hex("61 C3 A9 E2 82 AC 00"),
                        Written([](auto& be) { be.WriteString("a\xE9\x80", true, true); })));
  EXPECT_TRUE(SameBytes(hex("61 62"), Written([](auto& be) { be.WriteString("ab", false); })));
}

// One table for both directions: the writer's bytes, and the reader's values.
TEST(BitsEngine, RecordsRoundTrip) {
  struct RectRow {
    swf::TSWFRectRec rect;
    const char* bytes;
  };
  const RectRow rects[] = {
      {{0, 0, 0, 0}, "00"},
      {{0, 11000, 0, 8000}, "78 00 05 5F 00 00 0F A0 00"},  // 550 x 400 pixels
      {{-1, 1, -1, 1}, "16 E8"},
  };
  for (const RectRow& r : rects) {
    SCOPED_TRACE(r.bytes);
    const Bytes bytes = Written([&](auto& be) { be.WriteRect(r.rect); });
    EXPECT_TRUE(SameBytes(hex(r.bytes), bytes));
    swf::TMemoryStream in(bytes);
    swf::TBitsEngine reader(in);
    EXPECT_EQ(reader.ReadRect(), r.rect);
  }

  swf::TSWFMatrixRec identity;
  swf::TSWFMatrixRec moved;
  moved.TranslateX = 20;
  moved.TranslateY = -20;
  swf::TSWFMatrixRec scaled = moved;
  scaled.HasScale = true;
  scaled.ScaleX = scaled.ScaleY = 65536;
  scaled.HasRotate = true;
  scaled.RotateSkew0 = -65536;
  scaled.RotateSkew1 = 65536;
  struct MatrixRow {
    swf::TSWFMatrixRec m;
    const char* bytes;
  };
  const MatrixRow matrices[] = {
      {identity, "00"},
      // 0 | 0 | 00110 (n = 6) 010100 101100
      {moved, "0C A5 80"},
      // 1 10010 (n = 18) 1.0 1.0 | 1 10010 -1.0 1.0 | 00110 20 -20
      {scaled, "C9 00 00 40 00 32 C0 00 10 00 03 29 60"},
  };
  for (const MatrixRow& r : matrices) {
    SCOPED_TRACE(r.bytes);
    const Bytes bytes = Written([&](auto& be) { be.WriteMatrix(r.m); });
    EXPECT_TRUE(SameBytes(hex(r.bytes), bytes));
    swf::TMemoryStream in(bytes);
    swf::TBitsEngine reader(in);
    EXPECT_EQ(reader.ReadMatrix(), r.m);
  }
}

// A group's bit count has 5 bits, so a field holds at most 31: wider values
// are saturated to 31-bit ones (the widest that still reads back), and the
// fields after them stay in place.
TEST(BitsEngine, FieldsWiderThanTheirCountAreSaturated) {
  const int32_t top = (1 << 30) - 1, bottom = -(1 << 30);
  struct Row {
    swf::TSWFRectRec written, read;
  } rows[] = {{{INT32_MIN, INT32_MAX, 0, 5}, {bottom, top, 0, 5}},
              {{1 << 30, 0, -(1 << 30), 7}, {top, 0, bottom, 7}},
              {{-top, top, 0, 0}, {-top, top, 0, 0}}};  // fits: as it is
  for (const Row& r : rows) {
    SCOPED_TRACE(r.written.Xmin);
    const Bytes bytes = Written([&](auto& be) {
      be.WriteRect(r.written);
      be.WriteByte(0xAB);
    });
    swf::TMemoryStream in(bytes);
    swf::TBitsEngine reader(in);
    EXPECT_EQ(reader.ReadRect(), r.read);
    EXPECT_EQ(reader.ReadByte(), 0xAB);
  }
  swf::TSWFMatrixRec m;
  m.HasScale = true;
  m.ScaleX = INT32_MAX;
  m.ScaleY = 65536;
  m.TranslateX = INT32_MIN;
  swf::TMemoryStream in(Written([&](auto& be) { be.WriteMatrix(m); }));
  swf::TBitsEngine reader(in);
  const swf::TSWFMatrixRec back = reader.ReadMatrix();
  EXPECT_EQ(back.ScaleX, top);
  EXPECT_EQ(back.ScaleY, 65536);
  EXPECT_EQ(back.TranslateX, bottom);
}

TEST(BitsEngine, ColorTransform) {
  struct Row {
    swf::TSWFColorTransformRec c;
    const char* bytes;
  };
  swf::TSWFColorTransformRec none;
  swf::TSWFColorTransformRec alphaMult;  // mult only, with alpha: 256 256 256 128, n = 10
  alphaMult.HasMult = alphaMult.HasAlpha = true;
  alphaMult.RedMult = alphaMult.GreenMult = alphaMult.BlueMult = 256;
  alphaMult.AlphaMult = 128;
  swf::TSWFColorTransformRec addNoAlpha;  // the alpha add term is left out without HasAlpha
  addNoAlpha.HasAdd = true;
  addNoAlpha.RedAdd = 1;
  addNoAlpha.AlphaAdd = 1000;
  const Row rows[] = {
      {none, "00"},
      // 0 1 1010 (n = 10) | 0100000000 x3 | 0010000000
      {alphaMult, "69 00 40 10 02 00"},
      // 1 0 0010 (n = 2) | 01 00 00
      {addNoAlpha, "89 00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    const Bytes bytes = Written([&](auto& be) { be.WriteColorTransform(r.c); });
    EXPECT_TRUE(SameBytes(hex(r.bytes), bytes));
    swf::TMemoryStream in(bytes);
    swf::TBitsEngine reader(in);
    swf::TSWFColorTransformRec back = reader.ReadColorTransform(r.c.HasAlpha);
    swf::TSWFColorTransformRec expected = r.c;
    if (!expected.HasAlpha) expected.AlphaAdd = expected.AlphaMult = 0;
    EXPECT_EQ(back, expected);
  }
}

TEST(BitsEngine, ReadingPastTheEndThrows) {
  swf::TMemoryStream in(hex("78 00"));  // a RECT whose fields are cut off
  swf::TBitsEngine reader(in);
  EXPECT_THROW(reader.ReadRect(), swf::ESWFError);
  swf::TMemoryStream text(hex("61 62"));  // no terminator
  swf::TBitsEngine reader2(text);
  EXPECT_THROW(reader2.ReadString(), swf::ESWFError);
}

}  // namespace

namespace {

TEST(MemoryStream, OverwritesAndFillsGapsWithZeros) {
  swf::TMemoryStream stream;
  stream.Write("abcd", 4);
  stream.Seek(1);
  stream.WriteByte('X');
  EXPECT_EQ(stream.Size(), 4u);
  stream.Seek(6);
  stream.WriteByte('Z');
  EXPECT_EQ(stream.Bytes(), (vtest::Bytes{'a', 'X', 'c', 'd', 0, 0, 'Z'}));
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2u);
  char out[4] = {};
  stream.Seek(1);
  EXPECT_EQ(stream.Read(out, 4), 1u);  // only what is there
  EXPECT_EQ(out[0], 'X');
}

}  // namespace
