#include "media/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "media/media_error.h"
#include "media/picture_decoder.h"
#include "support/bytes.h"
#include "support/pictures.h"

namespace {

using media::ReadJPEGSize;
using vtest::Bytes;
using vtest::hex;

TEST(JPEGSize, ComesFromTheFirstFrameHeaderOfAnyKind) {
  struct Case {
    const char* name;
    Bytes data;
    bool found;
    uint16_t width, height;
    bool progressive;
  };
  // A start marker and an APP0 segment before the rest.
  auto with = [](const std::string& rest) { return hex("FF D8 FF E0 00 04 AA BB" + rest); };
  const std::string sof0 = "FF C0 00 11 08 00 02 00 03";  // 3 x 2
  const Case cases[] = {
      {"baseline", with("FF C0 00 11 08 01 E0 02 80 03"), true, 640, 480, false},
      {"extended", with("FF C1 00 11 08 00 02 00 03 03"), true, 3, 2, false},
      {"progressive", with("FF C2 00 11 08 00 30 00 40 03"), true, 64, 48, true},
      {"progressive, arithmetic coding", with("FF CA 00 11 08 00 30 00 40 03"), true, 64, 48, true},
      {"lossless", with("FF C3 00 11 08 00 05 00 07 03"), true, 7, 5, false},
      {"fill bytes before the marker", with("FF FF" + sof0), true, 3, 2, false},
      {"markers without a segment", with("FF 01 FF D3" + sof0), true, 3, 2, false},
      {"Huffman tables are no frame", with("FF C4 00 03 00" + sof0), true, 3, 2, false},
      {"not a JPEG", hex("89 50 4E 47 FF C0 00 11 08 00 02 00 03"), false, 0, 0, false},
      {"scan before any frame", with("FF DA 00 02" + sof0), false, 0, 0, false},
      {"segment past the end", with("FF E1 FF FF 00"), false, 0, 0, false},
      {"frame header cut short", with("FF C0 00 11 08 00 02 00"), false, 0, 0, false},
      {"segment length below 2", with("FF E1 00 01" + sof0), false, 0, 0, false},
      {"no marker after a segment", with("00" + sof0), false, 0, 0, false},
      {"only the start marker", hex("FF D8"), false, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto frame = ReadJPEGSize(c.data);
    ASSERT_EQ(frame.has_value(), c.found);
    if (!frame) continue;
    EXPECT_EQ(frame->Width, c.width);
    EXPECT_EQ(frame->Height, c.height);
    EXPECT_EQ(frame->Progressive, c.progressive);
  }
}

TEST(JPEGSize, OfEncodedFiles) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive);
    const auto frame = ReadJPEGSize(vtest::MakeJpeg(40, 24, progressive));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Width, 40);
    EXPECT_EQ(frame->Height, 24);
    EXPECT_EQ(frame->Progressive, progressive);
  }
}

TEST(JPEGDecode, GivesOpaquePixelsCloseToTheSource) {
  const media::TBitmap32 p = media::DecodePicture(vtest::MakeJpeg(24, 16, false));
  ASSERT_EQ(p.Width, 24);
  ASSERT_EQ(p.Height, 16);
  for (auto [x, y] : {std::pair{0, 0}, {23, 0}, {0, 15}, {12, 8}}) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    const uint32_t v = p.At(x, y);
    EXPECT_EQ(v >> 24, 255u);
    EXPECT_NEAR(int(v >> 16 & 255), x * 8, 12);
    EXPECT_NEAR(int(v >> 8 & 255), y * 8, 12);
    EXPECT_NEAR(int(v & 255), 128, 12);
  }
}

TEST(JPEGDecode, ProgressiveBecomesBaselineWithTheSamePixels) {
  const Bytes progressive = vtest::MakeJpeg(40, 24, true);
  const Bytes baseline = media::ConvertToBaselineJPEG(progressive);
  const auto frame = ReadJPEGSize(baseline);
  ASSERT_TRUE(frame);
  EXPECT_FALSE(frame->Progressive);
  EXPECT_EQ(frame->Width, 40);
  EXPECT_EQ(frame->Height, 24);
  EXPECT_EQ(baseline[baseline.size() - 2], 0xFF);
  EXPECT_EQ(baseline[baseline.size() - 1], 0xD9);
  // The coefficients are carried over, so nothing of the picture is lost.
  EXPECT_EQ(media::DecodePicture(baseline), media::DecodePicture(progressive));
}

TEST(JPEGDecode, DamagedDataRaisesLibjpegsMessage) {
  const Bytes good = vtest::MakeJpeg(16, 16, true);
  struct Case {
    const char* name;
    Bytes data;
  };
  Bytes garbage = hex("FF D8 FF C0 00 11 08 00 10 00 10 03 01 22 00 02 11 01 03 11 01 FF DA");
  const Case cases[] = {
      {"cut inside the headers", Bytes(good.begin(), good.begin() + 40)},
      {"frame header without tables", garbage},
      {"not a JPEG", hex("00 01 02 03 04 05")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int call = 0; call < 2; ++call) {
      try {
        if (call == 0)
          media::DecodeJPEG(c.data, 1 << 20);
        else
          media::ConvertToBaselineJPEG(c.data);
        ADD_FAILURE() << "no error";
      } catch (const media::TMediaError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.find("The JPEG picture cannot be read: "), 0u) << message;
        EXPECT_GT(message.size(), 34u) << "libjpeg's own message is missing";
      }
    }
  }
}

TEST(JPEGDecode, PixelBudgetIsCheckedBeforeDecoding) {
  EXPECT_THROW(media::DecodeJPEG(vtest::MakeJpeg(40, 24, false), 40 * 24 * 4 - 1),
               media::TMediaError);
}

}  // namespace
