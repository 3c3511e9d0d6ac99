// Movies written by the SWF library (shapes, fills, outlines, dashes,
// pictures, texts, placements), read back and painted by the player: at
// chosen points the pixels have the colours the movie says.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <fstream>

#include "player/renderer.h"
#include "player/swf_reader.h"
#include "support/bytes.h"
#include "support/pictures.h"
#include "swf/objects/flash_font.h"
#include "swf/objects/flash_image.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/flash_text.h"

namespace {

struct TProbe {
  std::string what;
  double x, y;
  QRgb expected;
  int tolerance;
};

int Distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                   std::abs(qBlue(a) - qBlue(b))});
}

void ExpectProbes(const QImage& image, const std::vector<TProbe>& probes) {
  for (const TProbe& p : probes) {
    SCOPED_TRACE(p.what);
    const QRgb got = image.pixel(int(p.x), int(p.y));
    EXPECT_LE(Distance(got, p.expected), p.tolerance)
        << "at (" << p.x << ", " << p.y << ") got " << qRed(got) << "," << qGreen(got) << ","
        << qBlue(got);
  }
}

std::string WriteFile(const std::string& name, const vtest::Bytes& bytes) {
  const std::string path = vtest::TestTempDir() + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return path;
}

QImage Render(swf::TFlashMovie& movie, const std::string& name) {
  movie.MakeData();
  const vtest::Bytes swf = movie.SaveToBytes();
  vtest::KeepSwfForParserCheck(name, swf);
  auto read = std::make_shared<const player::TMovie>(player::ReadMovie(swf));
  EXPECT_TRUE(read->Warnings.empty()) << read->Warnings[0];
  const QImage image = player::RenderFrame(read, 0);
  image.save(QString::fromStdString(vtest::TestTempDir() + "/" + name + ".png"));
  return image;
}

constexpr QRgb kWhite = qRgb(255, 255, 255);

TEST(LibraryRender, ShapesFillsOutlinesAndPlacements) {
  swf::TFlashMovie movie(0, 0, 300, 120, 100);
  movie.SetCompressed(true);
  movie.BackgroundColor().SetRGB({255, 255, 255});
  uint16_t depth = 1;
  swf::TFlashShape& square = movie.AddRectangle(10, 10, 60, 50);
  square.SetSolidColor(255, 0, 0);
  square.SetLineStyle(4, 0xFF000000);
  movie.PlaceObject(&square, depth++);
  swf::TFlashShape& ellipse = movie.AddEllipse(70, 10, 130, 50);
  ellipse.SetSolidColor(0, 0, 255, 128);
  movie.PlaceObject(&ellipse, depth++);
  swf::TFlashShape& gradient = movie.AddRectangle(140, 10, 240, 50);
  gradient.SetLinearGradient(0xFF000000, 0xFFFFFFFF, 0);
  movie.PlaceObject(&gradient, depth++);
  swf::TFlashShape& star = movie.AddStar(270, 30, 20, 8, 5, false);
  star.SetSolidColor(255, 160, 0);
  movie.PlaceObject(&star, depth++);
  swf::TFlashShape& rotated = movie.AddRectangle(100, 55, 130, 85);
  rotated.SetSolidColor(0, 128, 0);
  const float angle = -8;
  movie.PlaceObject(&rotated, depth++).SetRotate(angle);
  swf::TFlashShape& dashed = movie.AddRectangle(10, 70, 90, 110);
  dashed.SetLineStyle(2, 0xFF000000);
  dashed.DashPattern().SetPattern({2, 4});
  movie.PlaceObject(&dashed, depth++);
  movie.ShowFrame();
  const QImage image = Render(movie, "player-library-shapes.swf");

  std::vector<TProbe> probes = {
      {"square inside", 35, 30, qRgb(255, 0, 0), 0},
      {"square outline", 10, 30, qRgb(0, 0, 0), 0},
      {"outside the outline", 6, 30, kWhite, 0},
      {"translucent ellipse", 100, 30, qRgb(127, 127, 255), 2},
      {"corner of the ellipse's box", 72, 12, kWhite, 0},
      {"gradient start", 141, 30, qRgb(0, 0, 0), 8},
      {"gradient end", 238, 30, qRgb(255, 255, 255), 8},
      {"star centre", 270, 30, qRgb(255, 160, 0), 0},
      {"star top point", 270, 12, qRgb(255, 160, 0), 40},
      {"between two star points", 282, 16, kWhite, 0},
      {"dash", 11, 70, qRgb(0, 0, 0), 40},
      {"gap", 14, 70, kWhite, 40},
      {"next dash", 17, 70, qRgb(0, 0, 0), 40},
  };
  // The rotation turns the square about the stage origin, as placements do.
  const double s = std::sin(angle * M_PI / 180), c = std::cos(angle * M_PI / 180);
  auto map = [&](double x, double y) { return std::pair(x * c + y * s, -x * s + y * c); };
  const double cx = 115, cy = 70;
  for (auto [qx, qy] : {std::pair(100.0, 55.0), {130.0, 55.0}, {130.0, 85.0}, {100.0, 85.0}}) {
    const auto [ix, iy] = map(qx + (cx - qx) * 0.15, qy + (cy - qy) * 0.15);
    const auto [ox, oy] = map(qx - (cx - qx) * 0.15, qy - (cy - qy) * 0.15);
    probes.push_back({"rotated corner, inside", ix, iy, qRgb(0, 128, 0), 0});
    probes.push_back({"rotated corner, outside", ox, oy, kWhite, 0});
  }
  ExpectProbes(image, probes);
}

TEST(LibraryRender, PicturesAndTexts) {
  swf::TFlashMovie movie(0, 0, 300, 120, 100);
  movie.SetCompressed(true);
  movie.BackgroundColor().SetRGB({255, 255, 255});
  uint16_t depth = 1;
  auto picture = [&](const std::string& path, int x, int y, int w, int h,
                     float scale) -> swf::TFlashImage& {
    swf::TFlashShape& shape = movie.AddRectangle(x, y, x + w, y + h);
    swf::TFlashImage& image = movie.AddImage(path);
    shape.SetImageFill(image, 0, scale, scale);
    movie.PlaceObject(&shape, depth++);
    return image;
  };
  picture(vtest::TestDataPath("bmp-24bit.bmp"), 10, 10, 40, 20, 10);
  picture(vtest::TestDataPath("bmp-v5-32bit-alpha.bmp"), 60, 10, 40, 20, 10);
  swf::TFlashImage& jpeg =
      picture(WriteFile("ramp.jpg", vtest::MakeJpeg(16, 8, false)), 110, 10, 32, 16, 2);
  jpeg.SetAlphaValue(128);
  swf::TFlashFont& font = movie.AddFont({"Arial", -24, false, false, 0}, false);
  swf::TFlashText& text = movie.AddText("Il", 0xFF800000, &font, 10, 60, 60, 90);
  movie.PlaceObject(&text, depth++);
  movie.ShowFrame();
  const QImage image = Render(movie, "player-library-pictures.swf");

  const QRgb top[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), kWhite};
  const QRgb bottom[4] = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 0), qRgb(0, 255, 255)};
  std::vector<TProbe> probes;
  // Mode 0 places the picture a quarter pixel early: the centre of picture
  // pixel (i, j) falls in screen pixel (14 + 10i, 14 + 10j). The fill is
  // smoothed, so neighbours blend in a little even there.
  for (int i = 0; i < 4; ++i) {
    probes.push_back({"24-bit BMP, top row", 14.0 + 10 * i, 14, top[i], 12});
    probes.push_back({"24-bit BMP, bottom row", 14.0 + 10 * i, 24, bottom[i], 12});
  }
  // 32-bit: green at alpha 128 is clamped to premultiplied (0, 128, 0, 128)
  // over white; blue at alpha 0 leaves the background.
  probes.push_back({"32-bit BMP, opaque red", 64, 14, qRgb(255, 0, 0), 12});
  probes.push_back({"32-bit BMP, green at alpha 128", 74, 14, qRgb(127, 255, 127), 12});
  probes.push_back({"32-bit BMP, blue at alpha 0", 84, 14, kWhite, 12});
  // JPEG pixel (8, 4) is (64, 32, 128); at alpha 128, over white.
  probes.push_back({"JPEG at alpha 128", 127, 19, qRgb(191, 159, 255), 12});
  ExpectProbes(image, probes);

  // The text: a stem of the "I" (a run of text-coloured rows in one column)
  // inside the text's box, nothing of its colour outside it.
  const QRgb ink = qRgb(0, 0, 128);
  int longestStem = 0, inkOutside = 0;
  for (int x = 0; x < image.width(); ++x) {
    int run = 0;
    for (int y = 0; y < image.height(); ++y) {
      const bool isInk = image.pixel(x, y) == ink;
      const bool inBox = x >= 10 && x < 60 && y >= 60 && y < 90;
      if (isInk && !inBox) ++inkOutside;
      run = isInk && inBox ? run + 1 : 0;
      longestStem = std::max(longestStem, run);
    }
  }
  EXPECT_GE(longestStem, 12);
  EXPECT_EQ(inkOutside, 0);
}

}  // namespace
