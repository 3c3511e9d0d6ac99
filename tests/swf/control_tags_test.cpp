#include "swf/core/control_tags.h"

#include <gtest/gtest.h>

#include "support/tag_bytes.h"

namespace {

using vtest::hex;
using vtest::SameBytes;
using vtest::WrittenBy;

// A tag with a body of a chosen size and code.
class TSizedTag : public swf::TSWFObject {
 public:
  TSizedTag(uint16_t code, size_t size) : size_(size) { TagID = code; }
  void WriteTagBody(swf::TBitsEngine& be) override {
    for (size_t i = 0; i < size_; ++i) be.WriteByte(uint8_t(i));
  }

 private:
  size_t size_;
};

TEST(TagFraming, ShortAndLongHeaders) {
  struct Row { uint16_t code; size_t size; const char* header; };
  const Row rows[] = {
      {2, 0, "80 00"},
      {2, 62, "BE 00"},              // the largest short form
      {2, 63, "BF 00 3F 00 00 00"},  // 63 needs the long form
      {2, 300, "BF 00 2C 01 00 00"},
      {20, 0, "3F 05 00 00 00 00"},  // DefineBitsLossless: always long
      {36, 5, "3F 09 05 00 00 00"},  // DefineBitsLossless2
      {60, 0, "3F 0F 00 00 00 00"},  // DefineVideoStream
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "code " << r.code << " size " << r.size);
    TSizedTag tag(r.code, r.size);
    const vtest::Bytes bytes = WrittenBy(tag);
    const vtest::Bytes header = hex(r.header);
    ASSERT_EQ(bytes.size(), header.size() + r.size);
    EXPECT_TRUE(SameBytes(header, vtest::Bytes(bytes.begin(), bytes.begin() + long(header.size()))));
    EXPECT_EQ(tag.BodySize, r.size);
    for (size_t i = 0; i < r.size; ++i) ASSERT_EQ(bytes[header.size() + i], uint8_t(i));
  }
}

TEST(TagFraming, TagsAfterEachOtherInOneStream) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  TSizedTag big(2, 70), small(2, 1);
  big.WriteToStream(be);
  small.WriteToStream(be);
  const vtest::Bytes all = stream.Bytes();
  ASSERT_EQ(all.size(), 6u + 70 + 2 + 1);
  EXPECT_TRUE(SameBytes(hex("BF 00 46 00 00 00"), vtest::Bytes(all.begin(), all.begin() + 6)));
  EXPECT_TRUE(SameBytes(hex("81 00 00"), vtest::Bytes(all.end() - 3, all.end())));
}

TEST(ControlTags, Bytes) {
  swf::TSWFShowFrame showFrame;
  swf::TSWFEnd end;
  swf::TSWFSetBackgroundColor background;
  background.Color.SetRGB({255, 0, 0});
  swf::TSWFFrameLabel label("a");
  swf::TSWFFrameLabel anchor("a", true);
  swf::TSWFRemoveObject remove;
  remove.CharacterID = 3;
  remove.Depth = 0x0102;
  swf::TSWFRemoveObject2 remove2;
  remove2.Depth = 7;
  swf::TSWFProtect protect;

  struct Row { swf::TSWFObject* tag; const char* bytes; int version; };
  const Row rows[] = {
      {&showFrame, "40 00", 1},
      {&end, "00 00", 1},
      {&background, "43 02 FF 00 00", 1},
      {&label, "C2 0A 61 00", 3},
      {&anchor, "C3 0A 61 00 01", 6},
      {&remove, "44 01 03 00 02 01", 1},
      {&remove2, "02 07 07 00", 3},
      {&protect, "00 06", 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.bytes);
    EXPECT_TRUE(SameBytes(hex(r.bytes), WrittenBy(*r.tag)));
    EXPECT_EQ(r.tag->MinVersion(), r.version);
  }
}

TEST(ControlTags, ProtectWithPasswordStoresItsHash) {
  swf::TSWFProtect protect;
  protect.Password = "secret";
  EXPECT_EQ(protect.MinVersion(), 5);
  const vtest::Bytes bytes = WrittenBy(protect);
  // header, reserved word, "$1$" + 2 salt + "$" + 22 hash characters, terminator
  ASSERT_EQ(bytes.size(), 2u + 31);
  EXPECT_TRUE(SameBytes(hex("1F 06 00 00"), vtest::Bytes(bytes.begin(), bytes.begin() + 4)));
  const std::string hash(bytes.begin() + 4, bytes.end() - 1);
  EXPECT_EQ(hash, protect.Hash);
  EXPECT_EQ(hash.substr(0, 3), "$1$");
  EXPECT_EQ(bytes.back(), 0);

  // A hash set directly is written alone, without the reserved word.
  swf::TSWFProtect hashOnly;
  hashOnly.Hash = "$1$ab$x";
  EXPECT_TRUE(SameBytes(hex("08 06 24 31 24 61 62 24 78 00"), WrittenBy(hashOnly)));
}

}  // namespace
