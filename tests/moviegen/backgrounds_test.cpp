// Rendered gradients and borders, their cache files and how frames share them.
#include "moviegen/backgrounds.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/bmp_writer.h"
#include "media/picture_decoder.h"
#include "moviegen/build_fixture.h"
#include "moviegen/moviegen_error.h"

namespace {

using namespace vtest;
using media::TBitmap32;
using project::RGB;
using project::TColor;
using project::TFrameRec;

uint32_t Opaque(TColor c) {
  return media::ARGB(255, uint8_t(project::Red(c)), uint8_t(project::Green(c)),
                     uint8_t(project::Blue(c)));
}

TEST(Backgrounds, CacheFileNamesCarryTheParameters) {
  project::TMovieSettings movie;
  TFrameRec frame;
  EXPECT_EQ(moviegen::GradientFileName(movie, frame), "468-60-1-8978431-16755524.bmp");
  EXPECT_EQ(moviegen::BorderFileName(movie, frame), "468-60-1-2-1-3-8913151-14199807-5898408.bmp");
  frame.GradCol2 = -1;
  EXPECT_EQ(moviegen::GradientFileName(movie, frame), "468-60-1-8978431--1.bmp");
}

TEST(Backgrounds, RampRunsFromTheFirstColourTowardTheSecond) {
  const auto ramp = moviegen::GradientRamp(RGB(0, 255, 100), RGB(255, 0, 100));
  EXPECT_EQ(ramp[0], RGB(0, 255, 100));
  EXPECT_EQ(ramp[1], RGB(0, 255, 100));
  EXPECT_EQ(ramp[2], RGB(1, 254, 100));
  EXPECT_EQ(ramp[128], RGB(127, 128, 100));  // 127 * 255 / 255 exactly
  EXPECT_EQ(ramp[255], RGB(254, 1, 100));    // the end colour itself is never reached
}

// 255 bands of 2 pixels on a 468-pixel stage, band p from trunc(p * 468 / 255).
TEST(Backgrounds, HorizontalBandsOfABanner) {
  TFrameRec frame;
  frame.GradStyle = project::bgHorizontal;
  const TBitmap32 bmp = moviegen::RenderGradient(468, 60, frame);
  const auto ramp = moviegen::GradientRamp(frame.GradCol1, frame.GradCol2);
  for (int p = 0; p < 255; ++p) {
    const int x = int(p * 468.0 / 255);
    ASSERT_EQ(bmp.At(x, 0), Opaque(ramp[size_t(p) + 1])) << "band " << p;
    ASSERT_EQ(bmp.At(x, 59), bmp.At(x, 0)) << "band " << p;
  }
  EXPECT_EQ(int(254 * 468.0 / 255), 466);
  EXPECT_EQ(bmp.At(467, 30), Opaque(ramp[255]));
  EXPECT_EQ(bmp.At(465, 30), Opaque(ramp[254]));

  frame.GradStyle = project::bgVertical;
  const TBitmap32 vertical = moviegen::RenderGradient(468, 60, frame);
  EXPECT_EQ(vertical.At(0, 0), Opaque(ramp[5]));  // bands 0..4 all start on row 0
  EXPECT_EQ(vertical.At(467, 59), Opaque(ramp[255]));
}

// Each layout puts the start of the ramp at one place and its end at another.
TEST(Backgrounds, LayoutsRunBetweenTheirCorners) {
  struct Row {
    uint8_t style;
    int startX, startY;  // a pixel of ramp entry 0..2
    int endX, endY;      // a pixel of ramp entry 240..255
  } rows[] = {
      {project::bgBottomLeft, 199, 0, 0, 49},      {project::bgBottomRight, 0, 0, 199, 49},
      {project::bgTopLeft, 199, 49, 0, 0},         {project::bgTopRight, 0, 49, 199, 0},
      {project::bgDiagonalFalling, 0, 0, 199, 49}, {project::bgDiagonalRising, 0, 49, 199, 0},
      {project::bgPyramid, 0, 0, 199, 49}};
  TFrameRec frame;
  frame.GradCol1 = RGB(0, 0, 0);
  frame.GradCol2 = RGB(255, 255, 255);  // so a pixel's red is its ramp entry, give or take one
  for (const Row& r : rows) {
    SCOPED_TRACE(int(r.style));
    frame.GradStyle = r.style;
    const TBitmap32 bmp = moviegen::RenderGradient(200, 50, frame);
    const int start = (bmp.At(r.startX, r.startY) >> 16) & 255;
    const int end = (bmp.At(r.endX, r.endY) >> 16) & 255;
    EXPECT_LE(start, 3);
    EXPECT_GE(end, 239);
    for (uint32_t pixel : bmp.Pixels) ASSERT_EQ(pixel >> 24, 255u);
  }
}

TEST(Backgrounds, StagesThatCannotBeDrawnAreRefused) {
  TFrameRec frame;
  for (auto [w, h] : {std::pair{0, 60}, {468, -1}, {100000, 100000}}) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    EXPECT_THROW(moviegen::RenderGradient(w, h, frame), moviegen::TMovieGenError);
    EXPECT_THROW(moviegen::RenderBorder(w, h, frame), moviegen::TMovieGenError);
  }
}

TEST(Backgrounds, BorderRingsFromTheEdgeInward) {
  const TColor light = RGB(255, 171, 216), shadow = RGB(168, 0, 90), band = RGB(255, 0, 136);
  struct Row {
    const char* name;
    uint8_t inner, outer;
    int bevel, width;
    // Ring by ring from the edge: top-left colour, bottom-right colour (0: transparent).
    std::vector<std::pair<TColor, TColor>> rings;
  } rows[] = {
      // clang-format off
      {"raised outside only", project::fbNone, project::fbRaised, 1, 3,
       {{light, shadow}, {band, band}, {band, band}, {band, band}, {0, 0}}},
      {"inset outside, raised inside", project::fbRaised, project::fbInset, 2, 1,
       {{shadow, light}, {shadow, light}, {band, band}, {light, shadow}, {light, shadow}, {0, 0}}},
      // clang-format on
      {"nothing at all", project::fbNone, project::fbNone, 5, 0, {{0, 0}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TFrameRec frame;
    frame.BorderInnerStyle = r.inner;
    frame.BorderOuterStyle = r.outer;
    frame.BevelW = r.bevel;
    frame.BorderW = r.width;
    const TBitmap32 bmp = moviegen::RenderBorder(40, 30, frame);
    for (size_t j = 0; j < r.rings.size(); ++j) {
      SCOPED_TRACE(j);
      const int lo = int(j), right = 39 - lo, bottom = 29 - lo;
      auto expect = [](TColor c) { return c ? Opaque(c) : media::ARGB(0, 254, 255, 255); };
      const uint32_t top = expect(r.rings[j].first), low = expect(r.rings[j].second);
      EXPECT_EQ(bmp.At(lo, lo), top);      // top-left corner
      EXPECT_EQ(bmp.At(20, lo), top);      // top row
      EXPECT_EQ(bmp.At(lo, 15), top);      // left column
      EXPECT_EQ(bmp.At(right, lo), low);   // top-right corner: bottom colour
      EXPECT_EQ(bmp.At(lo, bottom), low);  // bottom-left corner: bottom colour
      EXPECT_EQ(bmp.At(right, 15), low);   // right column
      EXPECT_EQ(bmp.At(20, bottom), low);  // bottom row
    }
    EXPECT_EQ(bmp.At(20, 15), media::ARGB(0, 254, 255, 255));  // the inside stays clear
  }
  // A ring drawn in exactly the transparent colour stays see-through.
  TFrameRec clear;
  clear.BorderOuterStyle = clear.BorderInnerStyle = project::fbNone;
  clear.BorderCol = RGB(254, 255, 255);
  EXPECT_EQ(moviegen::RenderBorder(10, 10, clear).At(0, 0) >> 24, 0u);
}

TEST_F(BuildTest, FramesWithEqualParametersShareOneRenderedImage) {
  Doc.SetFrameCount(3);
  for (int l = 1; l <= 3; ++l) {
    Doc.Frames[size_t(l)].AddGrad = 1;
    Doc.Frames[size_t(l)].AddBorder = 1;
  }
  const TSwfFile same = Build(true);
  // 24-bit gradient, 32-bit border: one character each, placed in every frame.
  EXPECT_EQ(TagsOf(same, kDefineBitsLossless).size(), 1u);
  EXPECT_EQ(TagsOf(same, kDefineBitsLossless2).size(), 1u);
  EXPECT_EQ(Placements(same).size(), 6u);
  const std::string gradient = Host.Cache + "468-60-1-8978431-16755524.bmp";
  ASSERT_TRUE(std::filesystem::exists(gradient));
  const media::TBitmap32 cached = media::LoadPicture(gradient);
  EXPECT_EQ(cached.Width, 468);
  EXPECT_EQ(cached.Height, 60);

  Doc.Frames[3].GradCol2 = RGB(0, 0, 0);
  const TSwfFile changed = Build(true, "changed.swf");
  EXPECT_EQ(TagsOf(changed, kDefineBitsLossless).size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(Host.Cache + "468-60-1-8978431-0.bmp"));
}

// A file that is in the cache is used as it is: it is never drawn again.
TEST_F(BuildTest, CachedBitmapsAreUsedAsTheyAre) {
  Doc.Frames[1].AddGrad = 1;
  media::SaveBMP(Host.Cache + "468-60-1-8978431-16755524.bmp", TBitmap32(3, 2, 0xFF102030), 24);
  const TSwfFile swf = Build(true);
  const auto images = TagsOf(swf, kDefineBitsLossless);
  ASSERT_EQ(images.size(), 1u);
  // ID, format, then the width and height of the file found in the cache.
  EXPECT_TRUE(SameBytes(hex("03 00 | 02 00"),
                        Bytes(images[0]->Body.begin() + 3, images[0]->Body.begin() + 7)));
}

TEST_F(BuildTest, UnwritableCacheEndsTheBuild) {
  Doc.Frames[1].AddBorder = 1;
  Host.Cache = Dir + "missing/folder/";
  EXPECT_ANY_THROW(moviegen::CreateMovie(Doc, Host, true, false, false));
  EXPECT_TRUE(std::filesystem::is_empty(Doc.TempDir));  // no movie was written
}

}  // namespace
