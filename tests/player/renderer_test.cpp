// The renderer: chosen pixels of rendered frames have the colours the movie
// says, with a small tolerance at antialiased edges and in gradients.
#include "player/renderer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "player/player_error.h"
#include "player/showcase_movie.h"
#include "player/swf_reader.h"
#include "player/timeline.h"
#include "support/bytes.h"

namespace {

using namespace player;
using vtest::SwfBytes;
using vtest::TShapeBody;
using vtest::TSwfBuilder;

struct TProbe {
  const char* what;
  int x, y;
  QRgb expected;
  int tolerance;
};

void ExpectProbes(const QImage& image, const std::vector<TProbe>& probes) {
  for (const TProbe& p : probes) {
    SCOPED_TRACE(p.what);
    const QRgb got = image.pixel(p.x, p.y);
    const int dr = std::abs(qRed(got) - qRed(p.expected)),
              dg = std::abs(qGreen(got) - qGreen(p.expected)),
              db = std::abs(qBlue(got) - qBlue(p.expected));
    EXPECT_LE(std::max({dr, dg, db}), p.tolerance)
        << "at (" << p.x << ", " << p.y << ") got " << qRed(got) << "," << qGreen(got) << ","
        << qBlue(got);
  }
}

std::shared_ptr<const TMovie> Load(const SwfBytes& bytes) {
  return std::make_shared<const TMovie>(ReadMovie(bytes));
}

TEST(Renderer, PaintsEveryKindOfFillLineAndText) {
  const SwfBytes swf = vtest::ShowcaseMovie();
  vtest::KeepSwfForParserCheck("player-showcase.swf", swf);
  const QImage image = RenderFrame(Load(swf), 0);
  ASSERT_EQ(image.size(), QSize(250, 120));
  const QRgb bg = qRgb(230, 230, 230);
  std::vector<TProbe> probes = {
      {"red inside", 30, 30, qRgb(255, 0, 0), 0},
      {"red outside", 5, 30, bg, 0},
      {"red edge just inside", 10, 30, qRgb(255, 0, 0), 2},
      {"red edge just outside", 9, 30, bg, 2},
      {"blue at alpha 128 over the background", 80, 30, qRgb(115, 115, 242), 3},
      {"gradient start", 111, 30, qRgb(2, 2, 2), 6},
      {"gradient middle", 150, 30, qRgb(128, 128, 128), 6},
      {"gradient end", 189, 30, qRgb(253, 253, 253), 6},
      {"radial centre", 220, 30, qRgb(255, 255, 255), 12},
      {"radial rim", 220, 11, qRgb(0, 0, 0), 20},
      {"rotated square centre", 30, 85, qRgb(0, 128, 0), 0},
      {"rotated square near its top vertex", 30, 60, qRgb(0, 128, 0), 10},
      {"rotated square, corner of its unrotated box", 48, 67, bg, 0},
      {"rotated square, another unrotated corner", 12, 103, bg, 0},
      {"line", 150, 70, qRgb(0, 160, 0), 0},
      {"beside the line", 150, 74, bg, 2},
      {"dash", 112, 90, qRgb(128, 0, 128), 30},
      {"gap", 116, 90, bg, 10},
      {"next dash", 120, 90, qRgb(128, 0, 128), 30},
      {"glyph stem", 203, 95, qRgb(0, 0, 160), 0},
      {"beside the glyph", 211, 95, bg, 0},
      {"above the glyph", 203, 76, bg, 0},
  };
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i)
      probes.push_back({"bitmap cell", 62 + 5 * i, 62 + 5 * j, vtest::ShowcaseCell(i, j), 0});
  ExpectProbes(image, probes);
}

TEST(Renderer, ScalesTheWholeFrame) {
  const QImage image = RenderFrame(Load(vtest::ShowcaseMovie()), 0, 2.0);
  ASSERT_EQ(image.size(), QSize(500, 240));
  ExpectProbes(image, {{"red", 60, 60, qRgb(255, 0, 0), 0},
                       {"outside", 18, 60, qRgb(230, 230, 230), 0},
                       {"glyph stem", 406, 190, qRgb(0, 0, 160), 0}});
  EXPECT_THROW(RenderFrame(Load(vtest::ShowcaseMovie()), 0, 1000.0), EPlayerError);
}

// Whole frames against reference pictures made by
//   vellumet render tests/data/player/NAME.swf -o tests/data/player/NAME.png
// showcase.swf is vtest::ShowcaseMovie() (VELLUMET_WRITE_FIXTURES=1 rewrites
// it); the library-*.swf files are the movies of library_render_test as the
// SWF library wrote them.
TEST(Renderer, FramesMatchTheirReferencePictures) {
  const std::string showcase = vtest::TestDataPath("player/showcase.swf");
  if (std::getenv("VELLUMET_WRITE_FIXTURES")) {
    const SwfBytes swf = vtest::ShowcaseMovie();
    std::FILE* f = std::fopen(showcase.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(swf.data(), 1, swf.size(), f);
    std::fclose(f);
  }
  EXPECT_TRUE(vtest::SameBytes(vtest::ShowcaseMovie(), vtest::ReadFile(showcase)));
  for (const char* name : {"showcase", "library-shapes", "library-pictures"}) {
    SCOPED_TRACE(name);
    const std::string base = vtest::TestDataPath(std::string("player/") + name);
    const QImage image =
        RenderFrame(Load(vtest::ReadFile(base + ".swf")), 0).convertToFormat(QImage::Format_RGB32);
    const QImage reference =
        QImage(QString::fromStdString(base + ".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), reference.size());
    int off = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb a = image.pixel(x, y), b = reference.pixel(x, y);
        if (std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                      std::abs(qBlue(a) - qBlue(b))}) > 8)
          ++off;
      }
    EXPECT_LE(off, image.width() * image.height() / 200) << "pixels off the reference";
  }
}

TEST(Renderer, AppliesColourTransformsOfPlacements) {
  TSwfBuilder b(20, 20);
  TShapeBody s(1, 2, {0, 400, 0, 400});
  s.Style(0, s.Solid({200, 40, 0}), 0, 0, 0);
  s.Rect(0, 0, 400, 400);
  b.Tag(swf::tagDefineShape2, s.Finish());
  swf::TSWFColorTransformRec cx;
  cx.HasMult = cx.HasAdd = cx.HasAlpha = true;
  cx.RedMult = 128;  // 0.5
  cx.GreenMult = cx.BlueMult = 256;
  cx.AlphaMult = 256;
  cx.GreenAdd = 100;
  b.Place(1, 1, nullptr, &cx);
  b.ShowFrame();
  ExpectProbes(RenderFrame(Load(b.Build()), 0), {{"transformed", 10, 10, qRgb(100, 140, 0), 1}});
}

// JPEG as the format's writers embed it: the tag adds FF D8 .. FF D9 around
// a whole JPEG file (doubled markers), and JPEG3 adds an alpha plane.
TEST(Renderer, PaintsJpegBitmapsWithTheirAlphaPlane) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 16 * 16; ++i) rgb.insert(rgb.end(), {200, 60, 60});
  const SwfBytes jpeg = vtest::EncodeJpeg(16, 16, rgb);
  TSwfBuilder b(40, 20);
  b.Background(255, 255, 255);
  for (uint16_t id : {1, 2}) {
    SwfBytes body{uint8_t(id), 0};
    SwfBytes data{0xFF, 0xD8};
    data.insert(data.end(), jpeg.begin(), jpeg.end());
    data.insert(data.end(), {0xFF, 0xD9});
    if (id == 2) {
      const uint32_t offset = uint32_t(data.size());
      for (int k = 0; k < 4; ++k) body.push_back(uint8_t(offset >> (8 * k)));
    }
    body.insert(body.end(), data.begin(), data.end());
    if (id == 2) {
      const SwfBytes alpha = vtest::Zlib(SwfBytes(16 * 16, 128));
      body.insert(body.end(), alpha.begin(), alpha.end());
    }
    b.Tag(id == 1 ? swf::tagDefineBitsJPEG2 : swf::tagDefineBitsJPEG3, body);
    const int x = id == 1 ? 0 : 20;
    TShapeBody s(uint16_t(10 + id), 2, {x * 20, (x + 16) * 20, 0, 320});
    s.Style(0, s.BitmapFill(0x41, id, vtest::Affine(20, 0, 0, 20, x * 20, 0)), 0, x * 20, 0);
    s.Rect(x * 20, 0, 320, 320);
    b.Tag(swf::tagDefineShape2, s.Finish());
    b.Place(uint16_t(10 + id), id);
  }
  b.ShowFrame();
  const SwfBytes swf = b.Build();
  vtest::KeepSwfForParserCheck("player-jpeg.swf", swf);
  // Alpha 128: each channel clamped to 128, premultiplied, over white.
  ExpectProbes(RenderFrame(Load(swf), 0), {{"JPEG2", 8, 8, qRgb(200, 60, 60), 6},
                                           {"JPEG3 at alpha 128", 28, 8, qRgb(255, 187, 187), 6}});
}

// A picture of more pixels than the player keeps (4100 x 4100, in quadrants
// of red, green, blue and yellow) is drawn from a smaller copy, each
// quadrant where the picture has it.
TEST(Renderer, DrawsPicturesLargerThanThePixelBudget) {
  const int side = 4100;
  std::vector<uint8_t> rgb(size_t(side) * side * 3);
  const uint8_t quadrants[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const uint8_t* c = quadrants[(y >= side / 2) * 2 + (x >= side / 2)];
      std::copy_n(c, 3, &rgb[(size_t(y) * side + x) * 3]);
    }
  const SwfBytes jpeg = vtest::EncodeJpeg(side, side, rgb, 80);
  rgb = {};
  TSwfBuilder b(41, 41);
  b.Background(255, 255, 255);
  SwfBytes body{1, 0};
  body.insert(body.end(), jpeg.begin(), jpeg.end());
  b.Tag(swf::tagDefineBitsJPEG2, body);
  TShapeBody s(2, 2, {0, 820, 0, 820});
  const double twipsPerTexel = 820.0 / side;
  s.Style(0, s.BitmapFill(0x41, 1, vtest::Affine(twipsPerTexel, 0, 0, twipsPerTexel, 0, 0)), 0, 0,
          0);
  s.Rect(0, 0, 820, 820);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.Place(2, 1);
  b.ShowFrame();
  const QImage image = RenderFrame(Load(b.Build()), 0);
  ExpectProbes(image, {{"top left", 10, 10, qRgb(255, 0, 0), 8},
                       {"top right", 30, 10, qRgb(0, 255, 0), 8},
                       {"bottom left", 10, 30, qRgb(0, 0, 255), 8},
                       {"bottom right", 30, 30, qRgb(255, 255, 0), 8}});
}

// A picture whose data cannot be decoded is named, so the caller can say why
// it is missing.
TEST(Renderer, NamesThePicturesItCannotDraw) {
  TSwfBuilder b(20, 20);
  b.Tag(swf::tagDefineBitsJPEG2, {7, 0, 0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08});
  TShapeBody s(2, 2, {0, 400, 0, 400});
  s.Style(0, s.BitmapFill(0x41, 7, vtest::Affine(20, 0, 0, 20, 0, 0)), 0, 0, 0);
  s.Rect(0, 0, 400, 400);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.Place(2, 1);
  b.ShowFrame();
  std::set<uint16_t> undrawable;
  RenderFrame(Load(b.Build()), 0, 1.0, &undrawable);
  EXPECT_EQ(undrawable, std::set<uint16_t>{7});
}

// Columns of red and blue, filled in as this program's library places
// pictures (5 twips up and left of the shape, a hair larger than 20 twips a
// texel): at its own size every pixel is one texel, unblurred; three times
// as large, smoothing blends the columns' edges.
TEST(Renderer, BitmapsAtTheirOwnSizeAreDrawnTexelForPixel) {
  std::vector<uint32_t> columns;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) columns.push_back(x % 2 ? 0xFF0000FFu : 0xFFFF0000u);
  TSwfBuilder b(40, 20);
  b.Lossless(1, 4, 4, columns, false);
  for (int scale : {1, 3}) {
    const int x = scale == 1 ? 0 : 10;
    TShapeBody s(uint16_t(1 + scale), 2, {x * 20, (x + 4 * scale) * 20, 0, 4 * scale * 20});
    const double texel = 20.003662109375 * scale;
    s.Style(0, s.BitmapFill(0x41, 1, vtest::Affine(texel, 0, 0, texel, x * 20 - 5, -5)), 0, x * 20,
            0);
    s.Rect(x * 20, 0, 4 * scale * 20, 4 * scale * 20);
    b.Tag(swf::tagDefineShape2, s.Finish());
    b.Place(uint16_t(1 + scale), uint16_t(scale));
  }
  b.ShowFrame();
  const SwfBytes swf = b.Build();
  vtest::KeepSwfForParserCheck("player-texels.swf", swf);
  const QImage image = RenderFrame(Load(swf), 0);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(image.pixel(x, 1), x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0)) << x;
  const QRgb edge = image.pixel(12, 5);  // between the first two columns of the larger copy
  EXPECT_GT(qRed(edge), 20);
  EXPECT_GT(qBlue(edge), 20);
}

TEST(Renderer, ShowAllFitsAndCentresTheStage) {
  TMovie movie;
  movie.Stage = {0, 0, 4000, 2000};  // 200 x 100
  const QTransform t = ShowAllTransform(movie, 400, 400);
  EXPECT_EQ(t.map(QPointF(0, 0)), QPointF(0, 100));
  EXPECT_EQ(t.map(QPointF(4000, 2000)), QPointF(400, 300));
  EXPECT_EQ(ShowAllTransform(movie, 200, 100).map(QPointF(2000, 1000)), QPointF(100, 50));  // 1:1
}

}  // namespace

namespace {

// Found by the fuzz target: buttons whose records show the button itself
// over and over, which drew exponentially often.
TEST(Renderer, DrawsNoButtonInsideAButton) {
  auto movie = player::ReadMovieFile(vtest::TestDataPath("player/fuzz-button-in-button.swf"));
  const QImage image =
      player::RenderFrame(std::make_shared<const player::TMovie>(std::move(movie)), 0, 0.01);
  EXPECT_FALSE(image.isNull());
}

}  // namespace

namespace {

using namespace player;

// A placement with a clip depth is a mask: the objects above it up to that
// depth show only inside it; the mask itself is not drawn.
TEST(Renderer, ClipDepthMasksTheDepthsAboveIt) {
  vtest::TSwfBuilder b(40, 20);
  b.Background(255, 255, 255);
  const std::pair<swf::TSWFRectRec, vtest::TRgba> shapes[] = {
      {{0, 400, 0, 400}, {0, 0, 0}},     // 1: the mask, left half
      {{0, 800, 0, 400}, {255, 0, 0}},   // 2: red over the whole stage
      {{0, 800, 200, 400}, {0, 0, 255}}  // 3: blue lower half, above the masked depths
  };
  uint16_t id = 1;
  for (const auto& [r, colour] : shapes) {
    vtest::TShapeBody s(id, 2, r);
    s.Style(0, s.Solid(colour), 0, r.Xmin, r.Ymin);
    s.Rect(r.Xmin, r.Ymin, r.Xmax - r.Xmin, r.Ymax - r.Ymin);
    b.Tag(swf::tagDefineShape2, s.Finish());
    swf::TSWFPlaceObject2 p;
    p.Depth = id;
    p.SetCharacterID(id);
    if (id == 1) p.SetClipDepth(2);
    b.Tag(p);
    ++id;
  }
  b.ShowFrame();
  const vtest::SwfBytes swf = b.Build();
  vtest::KeepSwfForParserCheck("player-mask.swf", swf);
  const QImage image = RenderFrame(std::make_shared<const TMovie>(ReadMovie(swf)), 0);
  EXPECT_EQ(image.pixel(10, 5), qRgb(255, 0, 0));      // red inside the mask
  EXPECT_EQ(image.pixel(30, 5), qRgb(255, 255, 255));  // red masked away
  EXPECT_EQ(image.pixel(30, 15), qRgb(0, 0, 255));     // depth 3 is not masked
  EXPECT_EQ(image.pixel(10, 15), qRgb(0, 0, 255));
}

}  // namespace

namespace {

using namespace player;

// A movie of one 2 x 2 picture `id` of one colour filling its 20 x 20 stage.
std::shared_ptr<const TMovie> PictureMovie(uint16_t id, uint32_t argb) {
  vtest::TSwfBuilder b(20, 20);
  b.Lossless(id, 2, 2, std::vector<uint32_t>(4, argb), false);
  vtest::TShapeBody s(100, 2, {0, 400, 0, 400});
  s.Style(0, s.BitmapFill(0x41, id, vtest::Affine(200, 0, 0, 200, 0, 0)), 0, 0, 0);
  s.Rect(0, 0, 400, 400);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.Place(100, 1);
  b.ShowFrame();
  return std::make_shared<const TMovie>(ReadMovie(b.Build()));
}

// One renderer shows one movie after another, as the canvas does after each
// edit: a picture decoded for an earlier movie is used again only when its
// data is the same, whatever its ID; the same ID with other data is new.
TEST(Renderer, PicturesOfEarlierMoviesAreReusedOnlyForTheSameData) {
  struct TStep {
    uint16_t id;
    uint32_t argb;
  };
  const TStep steps[] = {{1, 0xFFFF0000}, {1, 0xFFFF0000}, {5, 0xFFFF0000}, {5, 0xFF0000FF},
                         {1, 0xFF0000FF}, {1, 0xFF00FF00}, {5, 0xFFFF0000}};
  TRenderer renderer;
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.id);
    const std::shared_ptr<const TMovie> movie = PictureMovie(step.id, step.argb);
    renderer.SetMovie(movie);
    TTimeline timeline(movie);
    timeline.GotoFrame(0);
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.Paint(painter, timeline.DisplayList(), ShowAllTransform(*movie, 20, 20));
    painter.end();
    EXPECT_EQ(image.pixel(10, 10), QRgb(step.argb));
  }
}

}  // namespace
