#include "exporters/page_png.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

namespace {

using player::TPixels;

// Premultiplied ARGB pixels made by colourOf(x, y).
template <typename F>
TPixels Pixels(int w, int h, F colourOf) {
  TPixels p;
  p.Width = w, p.Height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Data.push_back(colourOf(x, y));
  return p;
}

uint32_t Premultiplied(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | b * a / 255;
}

// Each picture read back by Qt's PNG reader holds the same pixels, to the
// rounding of taking alpha out and back in; each kind takes its own path
// (palette or full colour, with or without alpha).
TEST(PagePngTest, EveryKindOfPictureReadsBackAsItsPixels) {
  const struct {
    const char* Name;
    TPixels Picture;
  } cases[] = {
      {"flat", Pixels(40, 10, [](int, int) { return 0xFF336699u; })},
      {"sideways gradient", Pixels(300, 4,
                                   [](int x, int) {
                                     return Premultiplied(255, x % 256, 255 - x % 256,
                                                          (x * 7) % 256);
                                   })},
      {"many colours",
       Pixels(64, 64,
              [](int x, int y) { return Premultiplied(255, x * 4, y * 4, (x * y) % 256); })},
      {"few colours with alpha",
       Pixels(16, 16, [](int x, int) { return Premultiplied(x * 16, 200, 100, 50); })},
      {"many colours with alpha",
       Pixels(64, 64,
              [](int x, int y) { return Premultiplied((x * 4 + y) % 256, x * 4, y * 4, 128); })},
      {"one pixel", Pixels(1, 1, [](int, int) { return 0u; })},
      // Few colours pack several pixels into a byte; rows end mid-byte.
      {"two colours, 1 bit",
       Pixels(13, 3, [](int x, int y) { return (x + y) % 3 ? 0xFF000000u : 0xFFFFFFFFu; })},
      {"four colours, 2 bits",
       Pixels(7, 4, [](int x, int y) { return Premultiplied(255, (x + y) % 4 * 60, 10, 20); })},
      {"sixteen colours with alpha, 4 bits",
       Pixels(9, 5,
              [](int x, int y) { return Premultiplied((x * 5 + y) % 16 * 17, 90, 30, 200); })},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> png = exporters::PagePng(c.Picture);
    QImage read;
    ASSERT_TRUE(read.loadFromData(png.data(), int(png.size()), "PNG"));
    read = read.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(read.width(), c.Picture.Width);
    ASSERT_EQ(read.height(), c.Picture.Height);
    for (int y = 0; y < read.height(); ++y)
      for (int x = 0; x < read.width(); ++x) {
        const uint32_t want = c.Picture.Data[size_t(y) * c.Picture.Width + x];
        const uint32_t got = read.pixel(x, y);
        for (int shift = 0; shift < 32; shift += 8)
          ASSERT_LE(std::abs(int((want >> shift) & 255) - int((got >> shift) & 255)), 1)
              << x << "," << y << std::hex << " want " << want << " got " << got;
      }
  }
}

// A flat picture is far smaller than its pixels: rows alike must compress.
TEST(PagePngTest, FlatPictureIsSmall) {
  EXPECT_LT(exporters::PagePng(Pixels(468, 60, [](int, int) { return 0xFF224466u; })).size(), 200u);
}

}  // namespace
