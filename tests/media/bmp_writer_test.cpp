#include "media/bmp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/media_error.h"
#include "media/picture_decoder.h"
#include "support/bytes.h"

namespace {

using media::ARGB;
using media::TBitmap32;
using vtest::hex;

TEST(BMPWriter, Writes24BitRowsBottomUpWithPadding) {
  TBitmap32 p(2, 1);
  p.At(0, 0) = ARGB(255, 0, 0, 255);  // blue
  p.At(1, 0) = ARGB(0, 255, 0, 0);    // red; alpha is dropped
  EXPECT_TRUE(vtest::SameBytes(hex("42 4D"         // signature
                                   "3E 00 00 00"   // file size 62
                                   "00 00 00 00"   // reserved
                                   "36 00 00 00"   // pixel data at 54
                                   "28 00 00 00"   // header size 40
                                   "02 00 00 00"   // width
                                   "01 00 00 00"   // height, bottom-up
                                   "01 00 18 00"   // planes, 24 bits
                                   "00 00 00 00"   // no compression
                                   "08 00 00 00"   // image size
                                   "13 0B 00 00 13 0B 00 00"   // 72 dpi
                                   "00 00 00 00 00 00 00 00"   // colours used, important
                                   "FF 00 00 | 00 00 FF | 00 00"),
                               media::EncodeBMP(p, 24)));
}

TEST(BMPWriter, RoundTripsThroughTheReader) {
  TBitmap32 p(3, 2);
  const uint32_t pixels[] = {ARGB(255, 1, 2, 3), ARGB(128, 4, 5, 6), ARGB(0, 0, 0, 0),
                             ARGB(255, 255, 255, 255), ARGB(1, 7, 8, 9), ARGB(255, 0, 0, 0)};
  std::copy(std::begin(pixels), std::end(pixels), p.Pixels.begin());
  EXPECT_EQ(media::DecodePicture(media::EncodeBMP(p, 32)), p);

  TBitmap32 opaque = p;
  for (uint32_t& v : opaque.Pixels) v |= 0xFF000000;
  EXPECT_EQ(media::DecodePicture(media::EncodeBMP(p, 24)), opaque);
  EXPECT_THROW(media::EncodeBMP(p, 16), media::TMediaError);
}

TEST(BMPWriter, SaveReplacesTheFileOrLeavesItAlone) {
  const std::string dir = vtest::TestTempDir();
  const std::string path = dir + "/state.bmp";
  TBitmap32 first(1, 1, ARGB(255, 9, 9, 9));
  TBitmap32 second(2, 1, ARGB(128, 1, 2, 3));
  media::SaveBMP(path, first, 32);
  media::SaveBMP(path, second, 32);
  EXPECT_EQ(media::LoadPicture(path), second);
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));

  EXPECT_THROW(media::SaveBMP(dir + "/missing/state.bmp", first, 32), media::TMediaError);
  EXPECT_FALSE(std::filesystem::exists(dir + "/missing"));
}

}  // namespace
