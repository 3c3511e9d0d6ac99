#include "swf/tags/bitmap_tags.h"

#include <gtest/gtest.h>

#include "support/bytes.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;

Bytes Framed(swf::TSWFObject& tag) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  tag.WriteToStream(be);
  return stream.Bytes();
}

const Bytes kTen = hex("00 01 02 03 04 05 06 07 08 09");

TEST(BitmapTags, JPEGTagsWrapTheirDataInImageMarkers) {
  swf::TSWFDefineBitsJPEG2 jpeg2;
  jpeg2.CharacterID = 1;
  jpeg2.Data = kTen;
  EXPECT_EQ(jpeg2.MinVersion(), 2);
  EXPECT_TRUE(SameBytes(hex("50 05"          // code 21, short header, body 16
                            "01 00"          // CharacterID
                            "FF D8 | 00 01 02 03 04 05 06 07 08 09 | FF D9"),
                        Framed(jpeg2)));

  swf::TSWFDefineBitsJPEG3 jpeg3;
  jpeg3.CharacterID = 2;
  jpeg3.Data = kTen;
  jpeg3.AlphaData = hex("AA BB");
  EXPECT_EQ(jpeg3.MinVersion(), 3);
  EXPECT_TRUE(SameBytes(hex("D6 08"          // code 35, body 22
                            "02 00"          // CharacterID
                            "0E 00 00 00"    // AlphaDataOffset: 14 bytes of JPEG part
                            "FF D8 | 00 01 02 03 04 05 06 07 08 09 | FF D9"
                            "AA BB"),        // alpha data
                        Framed(jpeg3)));

  swf::TSWFDefineBits bits;
  bits.CharacterID = 3;
  EXPECT_EQ(bits.MinVersion(), 1);
  EXPECT_TRUE(SameBytes(hex("86 01 | 03 00 | FF D8 FF D9"), Framed(bits)));
}

TEST(BitmapTags, LosslessTagsAlwaysUseTheLongHeader) {
  struct Case {
    const char* name;
    bool alpha;
    uint8_t format;
    Bytes data;
    Bytes expected;
  };
  const Case cases[] = {
      {"format 5 has no table size", false, 5, hex("78 9C"),
       hex("3F 05 09 00 00 00 | 07 00 | 05 | 02 00 | 01 00 | 78 9C")},
      {"format 3 has the table size after the height", false, 3, hex("78 9C"),
       hex("3F 05 0A 00 00 00 | 07 00 | 03 | 02 00 | 01 00 | 02 | 78 9C")},
      {"empty data", true, 5, {}, hex("3F 09 07 00 00 00 | 07 00 | 05 | 02 00 | 01 00")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<swf::TSWFDefineBitsLossless> tag =
        c.alpha ? std::make_unique<swf::TSWFDefineBitsLossless2>()
                : std::make_unique<swf::TSWFDefineBitsLossless>();
    tag->CharacterID = 7;
    tag->BitmapFormat = c.format;
    tag->BitmapWidth = 2;
    tag->BitmapHeight = 1;
    tag->BitmapColorTableSize = 2;
    tag->Data = c.data;
    EXPECT_EQ(tag->MinVersion(), c.alpha ? 3 : 2);
    EXPECT_TRUE(SameBytes(c.expected, Framed(*tag)));
  }
}

TEST(BitmapTags, EventsWinOverBuffers) {
  swf::TSWFDefineBitsJPEG3 tag;
  tag.CharacterID = 1;
  tag.Data = kTen;
  tag.AlphaData = hex("AA");
  tag.OnDataWrite = [](swf::TSWFDataObject&, swf::TBitsEngine& be) { be.WriteByte(0x11); };
  tag.OnAlphaDataWrite = [](swf::TSWFDataObject&, swf::TBitsEngine& be) { be.WriteByte(0x22); };
  EXPECT_TRUE(SameBytes(hex("CC 08 | 01 00 | 05 00 00 00 | FF D8 11 FF D9 | 22"), Framed(tag)));
}

TEST(BitmapTags, VideoFrameAndAssign) {
  swf::TSWFVideoFrame frame;
  frame.StreamID = 4;
  frame.FrameNum = 9;
  frame.Data = hex("AB CD");
  EXPECT_EQ(frame.MinVersion(), 6);
  EXPECT_TRUE(SameBytes(hex("46 0F | 04 00 | 09 00 | AB CD"), Framed(frame)));
  swf::TSWFVideoFrame frameCopy;
  frameCopy.Assign(frame);
  EXPECT_TRUE(SameBytes(Framed(frame), Framed(frameCopy)));

  swf::TSWFDefineBitsJPEG3 jpeg;
  jpeg.CharacterID = 5;
  jpeg.Data = kTen;
  jpeg.AlphaData = hex("01 02");
  swf::TSWFDefineBitsJPEG3 jpegCopy;
  jpegCopy.Assign(jpeg);
  EXPECT_TRUE(SameBytes(Framed(jpeg), Framed(jpegCopy)));

  swf::TSWFDefineBitsLossless2 lossless;
  lossless.CharacterID = 6;
  lossless.BitmapFormat = 3;
  lossless.BitmapColorTableSize = 9;
  lossless.BitmapWidth = 300;
  lossless.BitmapHeight = 200;
  lossless.Data = hex("01");
  swf::TSWFDefineBitsLossless2 losslessCopy;
  losslessCopy.Assign(lossless);
  EXPECT_TRUE(SameBytes(Framed(lossless), Framed(losslessCopy)));
}

}  // namespace
