#include "exporters/page_data.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

#include "platform/error.h"
#include "player/bitmap_decode.h"

namespace {

using namespace player;

double ParsedBack(const std::string& text) {
  double value = std::nan("");
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TEST(PageDataTest, EveryNumberReadsBackAsTheSameValue) {
  // Fixed-point matrix parts, colour multipliers, twips and the extremes.
  const double values[] = {0,
                           1,
                           -1,
                           20,
                           -9360,
                           0.1,
                           1.0 / 3,
                           65535.0 / 65536,
                           -0.00390625,
                           1e-300,
                           1e21,
                           123456789.125,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::denorm_min()};
  for (double v : values) {
    SCOPED_TRACE(v);
    const std::string text = exporters::NumberText(v);
    EXPECT_EQ(ParsedBack(text), v) << text;
    EXPECT_EQ(text.find_first_not_of("0123456789.-+e"), std::string::npos) << text;
  }
  EXPECT_EQ(exporters::NumberText(-0.0), "0");
  EXPECT_EQ(exporters::NumberText(240), "240");
}

TPath Path(std::initializer_list<TSubpath> subpaths) {
  return TPath(subpaths);
}

TEST(PageDataTest, PathsRoundTripThroughThePacking) {
  const TPath cases[] = {
      {},
      Path({{{0, 0}, {}, false}}),
      // A closed rectangle with negative and large coordinates.
      Path({{{-9360, -1200},
             {{false, {}, {9360, -1200}},
              {false, {}, {9360, 1200}},
              {false, {}, {-9360, 1200}},
              {false, {}, {-9360, -1200}}},
             true}}),
      // Curves, an open run and a second subpath far away.
      Path({{{10, 20}, {{true, {30, -40}, {50, 60}}, {false, {}, {70, 20}}}, false},
            {{2147483647, -2147483647}, {{true, {-2147483647, 0}, {1, 1}}}, true}}),
  };
  for (const TPath& path : cases) {
    const std::string text = exporters::EncodePath(path);
    EXPECT_EQ(
        text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"),
        std::string::npos);
    const TPath back = exporters::DecodePath(text);
    ASSERT_EQ(back.size(), path.size()) << text;
    for (size_t i = 0; i < path.size(); ++i) {
      EXPECT_EQ(back[i].Start, path[i].Start);
      EXPECT_EQ(back[i].Closed, path[i].Closed);
      ASSERT_EQ(back[i].Segments.size(), path[i].Segments.size());
      for (size_t s = 0; s < path[i].Segments.size(); ++s) {
        EXPECT_EQ(back[i].Segments[s].Curved, path[i].Segments[s].Curved);
        EXPECT_EQ(back[i].Segments[s].To, path[i].Segments[s].To);
        if (path[i].Segments[s].Curved) {
          EXPECT_EQ(back[i].Segments[s].Control, path[i].Segments[s].Control);
        }
      }
    }
  }
}

TEST(PageDataTest, OffGridPointsAreRefusedAndDamagedTextIsAnError) {
  EXPECT_THROW(exporters::EncodePath(Path({{{0.5, 0}, {}, false}})), platform::TVellumetError);
  EXPECT_THROW(exporters::EncodePath(Path({{{1e12, 0}, {}, false}})), platform::TVellumetError);
  const std::string good = exporters::EncodePath(Path({{{5, 5}, {{false, {}, {9, 9}}}, true}}));
  for (const std::string& bad :
       {good.substr(0, good.size() - 2), good + "AA", std::string("*"), std::string("/////")}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(exporters::DecodePath(bad), platform::TVellumetError);
  }
}

// One half-transparent red square placed at depth 1 in frame 1 and moved
// (matrix only) in frame 2.
TMovie SquareMovie() {
  TMovie movie;
  movie.Stage = {0, 0, 2000, 2000};
  movie.FrameRate = 12;
  movie.FrameCount = 2;
  auto shape = std::make_unique<TShapeCharacter>();
  TShapeLayer layer;
  TFillStyle fill;
  fill.Color = {255, 0, 0, 128};
  layer.Fills.push_back(fill);
  layer.FillPaths.push_back(
      {0, Path({{{0, 0}, {{false, {}, {100, 0}}, {false, {}, {100, 100}}}, true}})});
  shape->Shape.Layers.push_back(layer);
  movie.Characters[1] = std::move(shape);
  TDisplayOp place, move;
  place.Depth = move.Depth = 1;
  place.CharacterID = 1;
  place.Matrix = TMatrix{1, 0, 0, 1, 20, 40};
  place.ColorTransform = TColorTransform{};  // identity: nothing to refuse
  move.Move = true;
  move.Matrix = TMatrix{2, 0, 0, 2, 0, 0};
  movie.Frames.push_back({0, {place}, {}, {}, ""});
  movie.Frames.push_back({1, {move}, {}, {}, ""});
  return movie;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Each op is written as the state it leaves at its depth, so a move that
// names no character still carries the one standing there.
TEST(PageDataTest, OpsAreWrittenAsTheStatesTheyLeave) {
  const std::string data = exporters::PageData(SquareMovie());
  for (const char* part :
       {"\"ops\":[[1,1,[1,0,0,1,20,40]]]", "\"ops\":[[1,1,[2,0,0,2,0,0]]]", "\",\"#ff000080\"]"})
    EXPECT_TRUE(Has(data, part)) << part << " in " << data;
  TMovie removed = SquareMovie();
  removed.Frames[1].Ops[0].Kind = TDisplayOp::Remove;
  EXPECT_TRUE(Has(exporters::PageData(removed), "\"ops\":[[1]]"));
}

TEST(PageDataTest, WhatThePageCannotShowIsRefused) {
  const auto action = [](TAction::TKind kind) {
    TAction a;
    a.Kind = kind;
    return a;
  };
  const std::pair<const char*, std::function<void(TMovie&)>> cases[] = {
      {"recoloured", [](TMovie& m) { m.Frames[0].Ops[0].ColorTransform->Mult[3] = 0.5; }},
      {"a mask", [](TMovie& m) { m.Frames[0].Ops[0].ClipDepth = 5; }},
      {"a jump", [&](TMovie& m) { m.Frames[1].Actions.push_back(action(TAction::GotoFrame)); }},
      {"play", [&](TMovie& m) { m.Frames[1].Actions.push_back(action(TAction::Play)); }},
  };
  for (const auto& [name, change] : cases) {
    SCOPED_TRACE(name);
    TMovie movie = SquareMovie();
    change(movie);
    EXPECT_THROW(exporters::PageData(movie), platform::TVellumetError);
  }
}

// A lossless w x h picture whose pixel at (x, y) is PixelAt(x, y), as movie
// character 1.
uint32_t PixelAt(int x, int y) {
  return 0xFF000000u | uint32_t(x * 5 % 256) << 16 | uint32_t(y * 7 % 256) << 8 | 0x40;
}

TMovie PictureMovie(int w, int h) {
  std::vector<uint8_t> argb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int shift : {24, 16, 8, 0}) argb.push_back(uint8_t(PixelAt(x, y) >> shift));
  auto bitmap = std::make_unique<TBitmapCharacter>();
  bitmap->Encoding = TBitmapCharacter::Lossless;
  bitmap->Format = 5;
  bitmap->Width = uint16_t(w), bitmap->Height = uint16_t(h);
  uLongf size = compressBound(uLong(argb.size()));
  bitmap->Data.resize(size);
  compress(bitmap->Data.data(), &size, argb.data(), uLong(argb.size()));
  bitmap->Data.resize(size);
  TMovie movie;
  movie.Stage = {0, 0, 2000, 2000};
  movie.FrameCount = 1;
  movie.Characters[1] = std::move(bitmap);
  return movie;
}

// A picture over the pixel limit goes in with every step-th pixel of every
// step-th row; its scale brings it back to the bitmap's size, so it draws
// where the whole one would.
TEST(PageDataTest, ALargePictureIsCarriedSmallerWithItsScale) {
  const struct {
    int Width, Height;
    size_t Limit;
    int Step;
  } cases[] = {{40, 30, 300, 2}, {41, 31, 400, 2}, {90, 10, 100, 4}, {40, 30, 1200, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + " within " +
                 std::to_string(c.Limit));
    exporters::TPageDataOptions options;
    options.MaxPicturePixels = c.Limit;
    const QJsonObject picture =
        QJsonDocument::fromJson(QByteArray::fromStdString(
                                    exporters::PageData(PictureMovie(c.Width, c.Height), options)))
            .object()["characters"]
            .toObject()["1"]
            .toObject();
    const QImage image = QImage::fromData(
        QByteArray::fromBase64(picture["image"].toString().section(',', 1).toLatin1()));
    const int w = (c.Width + c.Step - 1) / c.Step, h = (c.Height + c.Step - 1) / c.Step;
    ASSERT_EQ(image.size(), QSize(w, h));
    EXPECT_EQ(picture["width"].toInt(), w);
    EXPECT_EQ(picture["height"].toInt(), h);
    const QJsonArray scale = picture["scale"].toArray();
    EXPECT_EQ(scale.isEmpty(), c.Step == 1);
    EXPECT_NEAR(w * scale.at(0).toDouble(1), c.Width, 1e-9);
    EXPECT_NEAR(h * scale.at(1).toDouble(1), c.Height, 1e-9);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(image.pixel(x, y), PixelAt(x * c.Step, y * c.Step)) << x << "," << y;
  }
}

TEST(PageDataTest, Base64MatchesTheKnownVectors) {
  const std::pair<const char*, const char*> rows[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [in, out] : rows)
    EXPECT_EQ(exporters::Base64(reinterpret_cast<const uint8_t*>(in), std::strlen(in)), out);
}

}  // namespace
