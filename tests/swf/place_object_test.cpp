#include "swf/tags/place_object.h"

#include <gtest/gtest.h>

#include "support/tag_bytes.h"
#include "swf/core/bit_math.h"

namespace {

using vtest::hex;
using vtest::SameBytes;
using vtest::WrittenBy;

TEST(PlaceObject2, OptionalParts) {
  swf::TSWFPlaceObject2 plain;
  plain.Depth = 1;
  plain.SetCharacterID(2);

  swf::TSWFPlaceObject2 full;
  full.Depth = 3;
  full.Move = true;
  full.Matrix().SetTranslate(20, -20);
  full.ColorTransform().SetAlphaMult(128);  // red, green, blue multiply terms 0
  full.SetRatio(9);
  full.SetName("n");
  full.SetClipDepth(4);

  swf::TSWFPlaceObject2 unnamed;
  unnamed.Depth = 1;
  unnamed.SetName("x");
  unnamed.SetName("");  // clearing the name switches it off

  struct Row { swf::TSWFPlaceObject2* tag; const char* bytes; };
  const Row rows[] = {
      // flags 00000010, depth, character
      {&plain, "85 06 | 02 | 01 00 | 02 00"},
      // flags 01111101, depth, matrix, cxform (mult 0 0 0 128, n = 9), ratio, name, clip depth
      {&full, "92 06 | 7D | 03 00 | 0C A5 80 | 64 00 00 00 20 00 | 09 00 | 6E 00 | 04 00"},
      {&unnamed, "83 06 | 00 | 01 00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    EXPECT_TRUE(SameBytes(hex(r.bytes), WrittenBy(*r.tag)));
    EXPECT_EQ(r.tag->MinVersion(), 3);
  }
}

TEST(PlaceObject2, ClipActionsBySwfVersion) {
  struct Row { uint8_t version; const char* bytes; int minVersion; };
  const Row rows[] = {
      // Below 6 the tag is encoded for SWF 5: 16-bit event flags (bit 0 first) and a word end flag.
      {3, "91 06 | 80 | 01 00 | 00 00 | 80 00 | 80 00 | 02 00 00 00 | 07 00 | 00 00", 5},
      // From 6 on: 32-bit flags with the key press bit 17 and the key code.
      {6, "98 06 | 80 | 01 00 | 00 00 | 80 00 02 00 | 80 00 02 00 | 03 00 00 00 | 41 07 00 | 00 00 00 00", 6},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    swf::TSWFPlaceObject2 tag;
    tag.Depth = 1;
    tag.SWFVersion = r.version;
    swf::TSWFClipActionRecord& record = tag.ClipActions().AddActionRecord(1);  // bit 0
    if (r.version >= 6) record.SetKeyCode(0x41);
    tag.ClipActions().AllEventFlags |= record.EventFlags;
    record.Add<swf::TSWFActionStop>();
    EXPECT_TRUE(SameBytes(hex(r.bytes), WrittenBy(tag)));
    EXPECT_EQ(tag.MinVersion(), r.minVersion);
  }
}

TEST(Matrix, RotationFromIdentityAndAfterScaling) {
  swf::TSWFMatrix m;
  m.SetRotate(90);
  EXPECT_EQ(m.Rec().ScaleX, 0);
  EXPECT_EQ(m.Rec().ScaleY, 0);
  EXPECT_EQ(m.Rec().RotateSkew1, 65536);
  EXPECT_EQ(m.Rec().RotateSkew0, -65536);
  EXPECT_TRUE(m.HasScale() && m.HasRotate());

  swf::TSWFMatrix scaled;
  scaled.SetScale(2, 3);
  scaled.SetRotate(30);
  // cos 30 = 0.8660254, sin 30 = 0.5, applied to the scale terms.
  EXPECT_EQ(scaled.Rec().ScaleX, swf::SingleToFixed(2 * 0.8660254037844387));
  EXPECT_EQ(scaled.Rec().ScaleY, swf::SingleToFixed(3 * 0.8660254037844387));
  EXPECT_EQ(scaled.Rec().RotateSkew1, swf::SingleToFixed(3 * 0.5));
  EXPECT_EQ(scaled.Rec().RotateSkew0, swf::SingleToFixed(-2 * 0.5));
}

TEST(ValueObjects, FlagRules) {
  swf::TSWFRGBA c;
  EXPECT_EQ(c.A(), 255);
  EXPECT_FALSE(c.HasAlpha());
  c.SetA(255);
  EXPECT_FALSE(c.HasAlpha());
  c.SetRGBA(0x80112233);
  EXPECT_TRUE(c.HasAlpha());
  EXPECT_EQ(c.RGBA(), (swf::TSWFRGBARec{0x33, 0x22, 0x11, 0x80}));
  c.SetA(255);  // setting A never clears the flag
  EXPECT_TRUE(c.HasAlpha());
  c.SetHasAlpha(false);
  EXPECT_EQ(c.A(), 255);
  EXPECT_EQ(swf::TSWFRGBA(true).A(), 0);

  swf::TSWFRect r(10, 20, 5, 2);  // left, top, right, bottom out of order
  EXPECT_EQ(r.Rec(), (swf::TSWFRectRec{5, 10, 2, 20}));
  r.SetXmax(1);
  EXPECT_EQ(r.Xmin(), 1);
  EXPECT_EQ(r.Xmax(), 5);

  swf::TSWFColorTransform t;
  t.SetRedAdd(5);
  t.SetAlphaAdd(7);
  EXPECT_TRUE(t.HasAdd() && t.HasAlpha() && !t.HasMult());
  t.SetHasAlpha(false);
  EXPECT_EQ(t.Rec().AlphaAdd, 0);  // the alpha term leaves with the alpha flag
  EXPECT_EQ(swf::ColorToRGBRec(0x00332211), (swf::TSWFRGBRec{0x11, 0x22, 0x33}));
}

}  // namespace
