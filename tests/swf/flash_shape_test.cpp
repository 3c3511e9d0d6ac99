#include "swf/objects/flash_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/bytes.h"
#include "support/shape_outline.h"
#include "swf/core/bit_math.h"
#include "swf/objects/flash_movie.h"

namespace {

using namespace swf;
using vtest::Bytes;

// Only what an image fill needs of a picture: an ID and a size in pixels.
class TFakeImage : public TFlashIDObject {
 public:
  TFakeImage(uint16_t width, uint16_t height) : width_(width), height_(height) {}
  void Assign(const TBasedSWFObject&) override {}
  void WriteToStream(TBitsEngine&) override {}
  uint16_t ImageWidth() const { return width_; }
  uint16_t ImageHeight() const { return height_; }

 private:
  uint16_t width_, height_;
};

Bytes Written(TBasedSWFObject& object) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  object.WriteToStream(be);
  return stream.Bytes();
}

// The shape tag as a player reads it back.
TSWFDefineShape WrittenTag(TFlashShape& shape) {
  const Bytes bytes = Written(shape);
  const uint16_t header = uint16_t(bytes.at(0) | bytes.at(1) << 8);
  size_t start = 2, length = header & 63;
  if (length == 63) {
    length = bytes.at(2) | bytes.at(3) << 8 | bytes.at(4) << 16 | size_t(bytes.at(5)) << 24;
    start = 6;
  }
  EXPECT_EQ(start + length, bytes.size());
  return vtest::ReadShapeTag(header >> 6, Bytes(bytes.begin() + long(start), bytes.end()));
}

class PixelMovieTest : public testing::Test {
 protected:
  TFlashMovie movie{0, 0, 550, 400, 12, true};
};

TEST_F(PixelMovieTest, RectangleInTwips) {
  TFlashShape& shape = movie.AddRectangle(10, 10, 110, 60);
  const auto& records = shape.ShapeTag().ShapeRecords;
  ASSERT_EQ(records.size(), 6u);
  auto& move = static_cast<const TSWFStyleChangeRecord&>(*records[0]);
  EXPECT_TRUE(move.HasMoveTo);
  EXPECT_EQ(move.X, 200);
  EXPECT_EQ(move.Y, 200);
  const int32_t expected[4][2] = {{2000, 0}, {0, 1000}, {-2000, 0}, {0, -1000}};
  for (size_t i = 0; i < 4; ++i) {
    auto& e = static_cast<const TSWFStraightEdgeRecord&>(*records[i + 1]);
    EXPECT_EQ(e.X, expected[i][0]);
    EXPECT_EQ(e.Y, expected[i][1]);
  }
  EXPECT_EQ(records[5]->RecordKind(), rkEndShape);
  EXPECT_EQ(shape.ShapeBounds().Rec(), (TSWFRectRec{200, 2200, 200, 1200}));
  EXPECT_EQ(shape.ShapeWidth(false), 100);
  EXPECT_EQ(shape.ShapeHeight(true), 1000);
  EXPECT_EQ(shape.Xmin(), 10);
}

TEST_F(PixelMovieTest, TagKindFollowsAlpha) {
  struct Row {
    uint8_t fillAlpha, lineAlpha;
    uint16_t code;
    int minVersion;
  };
  const Row rows[] = {
      {255, 255, tagDefineShape2, 2}, {128, 255, tagDefineShape3, 3}, {255, 0, tagDefineShape3, 3}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << int(r.fillAlpha) << "/" << int(r.lineAlpha));
    TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
    shape.SetSolidColor(10, 20, 30, r.fillAlpha);
    shape.SetLineStyle(2, 0x00FF0000u | uint32_t(r.lineAlpha) << 24);
    const Bytes bytes = Written(shape);
    EXPECT_EQ((bytes[0] | bytes[1] << 8) >> 6, r.code);
    EXPECT_EQ(shape.MinVersion(), r.minVersion);
    TSWFDefineShape tag = WrittenTag(shape);
    auto& fill = static_cast<TSWFColorFill&>(*tag.FillStyles.at(0));
    EXPECT_EQ(fill.Color.RGBA(), (TSWFRGBARec{10, 20, 30, r.fillAlpha}));
  }
}

TEST_F(PixelMovieTest, BoundsGrowByHalfTheWidestLine) {
  TFlashShape& shape = movie.AddEllipse(10, 20, 30, 40);
  shape.SetLineStyle(1, 0xFF000000);
  shape.SetLineStyle(2, 0xFF000000);  // 40 twips, selected
  EXPECT_EQ(shape.LineStyleIndex(), 2);
  TSWFDefineShape tag = WrittenTag(shape);
  EXPECT_EQ(tag.ShapeBounds.Rec(), (TSWFRectRec{180, 620, 380, 820}));
  // The shape's own bounds stay as they were.
  EXPECT_EQ(shape.ShapeBounds().Rec(), (TSWFRectRec{200, 600, 400, 800}));
}

TEST_F(PixelMovieTest, GradientMatrices) {
  TFlashShape& linear = movie.AddRectangle(0, 0, 200, 100);
  TSWFGradientFill& l = linear.SetLinearGradient(0xFF0000FF, 0xFFFF0000, 0);
  EXPECT_FALSE(l.IsRadial());
  EXPECT_EQ(l.GradientCount, 2);
  EXPECT_EQ(l.GradientRatio(1), 0);
  EXPECT_EQ(l.GradientRatio(2), 255);
  EXPECT_EQ(l.GradientColorValue(2), 0xFFFF0000u);
  EXPECT_EQ(l.Matrix.Rec(), (TSWFMatrixRec{true, true, SingleToFixed(4000.0 / 32768),
                                           SingleToFixed(2000.0 / 32768), 0, 0, 2000, 1000}));
  EXPECT_EQ(linear.FillStyle1(), 1);

  // A quarter turn swaps the roles: scales vanish, the rotate terms carry the size.
  TSWFGradientFill& turned = linear.SetLinearGradient(0xFF0000FF, 0xFFFF0000, 90);
  EXPECT_EQ(turned.Matrix.Rec().ScaleX, 0);
  EXPECT_EQ(turned.Matrix.Rec().RotateSkew1, SingleToFixed(4000.0 / 32768));
  EXPECT_EQ(turned.Matrix.Rec().RotateSkew0, SingleToFixed(-2000.0 / 32768));
  EXPECT_EQ(linear.FillStyle1(), 2);

  TFlashShape& radial = movie.AddRectangle(0, 0, 100, 50);
  TSWFGradientFill& r = radial.SetRadialGradient(0xFF00FF00, 0xFF000000, -50, 150);
  EXPECT_TRUE(r.IsRadial());
  EXPECT_EQ(r.Matrix.Rec(), (TSWFMatrixRec{true, false, SingleToFixed(2000.0 / 32768),
                                           SingleToFixed(1000.0 / 32768), 0, 0, -1000, 1500}));
  EXPECT_FALSE(radial.HasAlpha());
  radial.SetRadialGradient(0xFF00FF00, 0x80000000, 50, 50);
  EXPECT_TRUE(radial.HasAlpha());
}

TEST(Shape, RadialCentreInTwips) {
  TFlashShape shape;  // no movie: coordinates are twips
  shape.SetBounds(0, 0, 100, 100);
  TSWFGradientFill& r = shape.SetRadialGradient(0xFFFFFFFF, 0xFF000000, 50, 50);
  EXPECT_EQ(r.Matrix.TranslateX(), 50);
  EXPECT_EQ(r.Matrix.TranslateY(), 50);
}

TEST(Shape, GradientColourCountsOutsideTwoToEight) {
  struct Row {
    std::vector<uint32_t> colors;
    int count;
    std::vector<uint8_t> ratios;
    uint32_t last;
  };
  const Row rows[] = {
      {{}, 2, {0, 255}, 0x00000000},  // nothing to show: transparent
      {{0xFF112233}, 2, {0, 255}, 0xFF112233},
      {{1, 2, 3}, 3, {0, 128, 255}, 3},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 8, {0, 36, 73, 109, 146, 182, 219, 255}, 8},
  };
  for (bool radial : {false, true}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message() << radial << " " << r.colors.size());
      TFlashShape shape;
      shape.SetBounds(0, 0, 100, 100);
      TSWFGradientFill& g = radial ? shape.SetRadialGradientColors(r.colors, 50, 50)
                                   : shape.SetLinearGradientColors(r.colors, 0);
      ASSERT_EQ(g.GradientCount, r.count);
      for (int i = 1; i <= r.count; ++i) EXPECT_EQ(g.GradientRatio(i), r.ratios[size_t(i - 1)]);
      EXPECT_EQ(g.GradientColorValue(r.count), r.last);
      // The written tag still reads back as a valid shape.
      EXPECT_EQ(WrittenTag(shape).FillStyles.size(), 1u);
    }
  }
}

TEST_F(PixelMovieTest, ImageFillModes) {
  TFlashShape& first = movie.AddRectangle(10, 20, 110, 70);
  TFakeImage& image =
      static_cast<TFakeImage&>(movie.AddFlashObject(std::make_unique<TFakeImage>(50, 25)));
  image.SetCharacterID(99);
  // The bitmap must come before the shape that paints with it.
  first.SetImageFill(image, 1, 1, 1);
  EXPECT_EQ(movie.Objects()[0].get(), &image);
  EXPECT_EQ(movie.Objects()[1].get(), &first);
  struct Row {
    uint8_t mode;
    uint8_t type;
    TSWFMatrixRec matrix;
  };
  const int32_t stretched = SingleToFixed(40.003662109375);
  const Row rows[] = {
      {0, fsClippedBitmap, {true, false, SingleToFixed(30), SingleToFixed(10), 0, 0, 195, 395}},
      {1, fsClippedBitmap, {true, false, stretched, stretched, 0, 0, 195, 395}},
      {2, fsRepeatingBitmap, {true, false, SingleToFixed(30), SingleToFixed(10), 0, 0, 195, 395}},
      {7, fsClippedBitmap, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(int(r.mode));
    TFlashShape& shape = movie.AddRectangle(10, 20, 110, 70);
    TSWFImageFill& fill = shape.SetImageFill(image, r.mode, 1.5f, 0.5f);
    EXPECT_EQ(fill.ImageID, 99);
    EXPECT_EQ(fill.FillStyleType(), r.type);
    EXPECT_EQ(fill.Matrix.Rec(), r.matrix);
  }
  EXPECT_EQ(stretched, 2621680);
  EXPECT_EQ(movie.Objects()[0].get(), &image);  // shapes after it leave it in place
}

TEST_F(PixelMovieTest, SelectionsLiveOnTheFirstRecord) {
  TFlashShape& shape = movie.AddDiamond(0, 0, 10, 10);
  TSWFColorFill& first = shape.SetSolidColor(1, 2, 3);
  shape.SetSolidColor(4, 5, 6);
  EXPECT_EQ(shape.FillStyle1(), 2);
  shape.AddFillStyle(first);  // already there: selected again, not added
  EXPECT_EQ(shape.FillStyle1(), 1);
  EXPECT_EQ(shape.ShapeTag().FillStyles.size(), 2u);
  shape.SetFillStyle0(2);
  auto& sc = static_cast<TSWFStyleChangeRecord&>(*shape.ShapeTag().ShapeRecords[0]);
  EXPECT_EQ(sc.Fill0Id(), 2);
  EXPECT_EQ(sc.Fill1Id(), 1);
  // Without a style record first, nothing can be selected.
  TFlashShape bare;
  bare.ShapeTag().ShapeRecords.clear();
  bare.SetLineStyleIndex(3);
  EXPECT_EQ(bare.LineStyleIndex(), 0);
}

TEST_F(PixelMovieTest, AssignCopiesTheWholeShape) {
  TFlashShape& source = movie.AddRoundRect(5, 5, 80, 60, 10);
  source.SetLinearGradient(0xFF0000FF, 0x80FF0000, 30);
  source.SetLineStyle(3, 0xFF00FF00);
  source.DashPattern().SetPattern({3, 2});
  TFlashShape copy;
  copy.Assign(source);
  EXPECT_EQ(copy.Owner(), &movie);
  EXPECT_EQ(copy.GetCharacterID(), source.GetCharacterID());
  EXPECT_TRUE(vtest::SameBytes(Written(source), Written(copy)));
}

// Drawn pieces of a dashed outline: each straight dash with its start.
struct TPiece {
  int64_t X, Y, DX, DY;
};

std::vector<TPiece> DrawnPieces(const TSWFShapeRecordList& records, size_t from) {
  std::vector<TPiece> pieces;
  int64_t x = 0, y = 0;
  for (size_t i = from; i < records.size(); ++i) {
    const auto& r = *records[i];
    if (r.RecordKind() == rkStyleChange) {
      auto& sc = static_cast<const TSWFStyleChangeRecord&>(r);
      if (sc.HasMoveTo) x = sc.X, y = sc.Y;
    } else if (r.RecordKind() == rkStraightEdge) {
      auto& e = static_cast<const TSWFStraightEdgeRecord&>(r);
      pieces.push_back({x, y, e.X, e.Y});
      x += e.X;
      y += e.Y;
    }
  }
  return pieces;
}

TEST_F(PixelMovieTest, DashedRectangleCarriesRemaindersAroundCorners) {
  TFlashShape& shape = movie.AddRectangle(0, 0, 100, 100);
  shape.SetSolidColor(200, 200, 200);
  shape.SetLineStyle(2, 0xFF323232);
  shape.DashPattern().SetPattern({2, 4});
  const Bytes once = Written(shape);
  EXPECT_TRUE(vtest::SameBytes(once, Written(shape)));  // the shape is unchanged by writing
  EXPECT_EQ(shape.ShapeTag().ShapeRecords.size(), 6u);

  TSWFDefineShape tag = WrittenTag(shape);
  // First the fill without outline: the original rectangle, line style 0.
  auto& fillCopy = static_cast<TSWFStyleChangeRecord&>(*tag.ShapeRecords[0]);
  EXPECT_EQ(fillCopy.Fill1Id(), 1);
  EXPECT_TRUE(fillCopy.HasLineStyle);
  EXPECT_EQ(fillCopy.LineId(), 0);
  // Then the outline, without fill, starting with a 40-twip dash.
  auto& outline = static_cast<TSWFStyleChangeRecord&>(*tag.ShapeRecords[5]);
  EXPECT_EQ(outline.LineId(), 1);
  EXPECT_EQ(outline.Fill0Id(), 0);
  EXPECT_EQ(outline.Fill1Id(), 0);

  // Along the perimeter the pen draws 40 twips of every 120, corners included:
  // 2000 is not a multiple of 120, so the pieces cross each corner.
  const std::vector<TPiece> pieces = DrawnPieces(tag.ShapeRecords, 5);
  auto perimeter = [](int64_t x, int64_t y) {
    if (y == 0) return x;
    if (x == 2000) return 2000 + y;
    if (y == 2000) return 4000 + (2000 - x);
    return 6000 + (2000 - y);
  };
  int64_t drawn = 0;
  for (const TPiece& p : pieces) {
    SCOPED_TRACE(testing::Message() << p.X << "," << p.Y);
    const int64_t s = perimeter(p.X, p.Y);
    EXPECT_LT(s % 120, 40);                          // starts inside a dash
    EXPECT_LE(s % 120 + std::abs(p.DX + p.DY), 40);  // and ends in it
    drawn += std::abs(p.DX + p.DY);
  }
  EXPECT_EQ(drawn, 8000 / 120 * 40 + 40);  // 66 whole dashes and the first 40 of the last cycle
  // At the first corner the gap of 80 is cut after 40; the rest opens side 2.
  bool sawCornerGap = false;
  for (const auto& r : tag.ShapeRecords)
    if (r->RecordKind() == rkStyleChange) {
      auto& sc = static_cast<const TSWFStyleChangeRecord&>(*r);
      sawCornerGap |= sc.HasMoveTo && sc.X == 2000 && sc.Y == 40;
    }
  EXPECT_TRUE(sawCornerGap);
}

TEST_F(PixelMovieTest, DashedEllipseFollowsTheCurve) {
  TFlashShape& shape = movie.AddEllipse(0, 0, 100, 100);
  shape.SetLineStyle(1, 0xFF000000);
  shape.DashPattern().SetPattern({6, 4});
  const Bytes once = Written(shape);
  EXPECT_TRUE(vtest::SameBytes(once, Written(shape)));
  TSWFDefineShape tag = WrittenTag(shape);
  // No fill: no fill copy, the outline starts at once.
  int curves = 0, dashes = 0;
  int64_t x = 0, y = 0;
  for (const auto& r : tag.ShapeRecords) {
    if (r->RecordKind() == rkStyleChange) {
      auto& sc = static_cast<const TSWFStyleChangeRecord&>(*r);
      if (sc.HasMoveTo) x = sc.X, y = sc.Y;
    } else if (r->RecordKind() == rkCurvedEdge || r->RecordKind() == rkStraightEdge) {
      if (r->RecordKind() == rkCurvedEdge) {
        auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
        x += c.ControlX + c.AnchorX;
        y += c.ControlY + c.AnchorY;
        ++curves;
      } else {
        auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
        x += e.X;
        y += e.Y;
        ++dashes;
      }
      // Every piece ends on the circle of radius 1000 around (1000, 1000).
      EXPECT_NEAR(std::hypot(double(x - 1000), double(y - 1000)), 1000.0, 20.0);
    }
  }
  // About 6283 twips of outline in cycles of 200: 31 or 32 dashes of 120 twips,
  // long enough to stay curves; a few split at segment ends may be short lines.
  EXPECT_GE(curves + dashes, 31);
  EXPECT_LE(curves + dashes, 45);
  EXPECT_GE(curves, 24);
}

TEST_F(PixelMovieTest, DashPatternsOutsideTheLimits) {
  struct Row {
    const char* name;
    std::vector<uint8_t> pattern;
    bool dashed;  // written with dashes rather than as a solid outline
  };
  const Row rows[] = {
      {"empty", {}, false},
      {"all zero", {0, 0, 0}, false},
      {"some zero", {0, 3, 0, 2}, true},
      {"single", {1}, true},
      {"long", std::vector<uint8_t>(255, 1), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    for (int kind = 0; kind < 2; ++kind) {
      TFlashShape& shape =
          kind == 0 ? movie.AddRectangle(0, 0, 50, 30) : movie.AddCircle(40, 40, 30);
      shape.SetSolidColor(1, 2, 3);
      shape.SetLineStyle(1, 0xFF000000);
      shape.DashPattern().SetPattern(r.pattern);
      TSWFDefineShape tag = WrittenTag(shape);
      const bool dashed = tag.ShapeRecords.size() > shape.ShapeTag().ShapeRecords.size();
      EXPECT_EQ(dashed, r.dashed);
      for (const vtest::TSubPath& p : vtest::SubPaths(tag.ShapeRecords))
        if (p.Filled) {
          EXPECT_TRUE(p.Closed());
        }
    }
  }
  // A dashed shape without line styles has nothing to dash.
  TFlashShape& plain = movie.AddRectangle(0, 0, 50, 30);
  plain.DashPattern().SetPattern({2, 2});
  EXPECT_EQ(WrittenTag(plain).ShapeRecords.size(), plain.ShapeTag().ShapeRecords.size());
}

TEST_F(PixelMovieTest, DashedCurveBackToItsStart) {
  // A curve whose end is its start runs out to half its control point and back.
  TFlashShape& shape = movie.AddShape();
  shape.SetBounds(0, 0, 100, 100);
  shape.Edges().MoveTo(10, 10);
  shape.Edges().CurveDelta(80, 40, -80, -40);
  shape.Edges().EndShape();
  shape.SetLineStyle(1, 0xFF000000);
  shape.DashPattern().SetPattern({1, 1});
  TSWFDefineShape tag = WrittenTag(shape);
  int64_t drawn = 0;
  for (const TPiece& p : DrawnPieces(tag.ShapeRecords, 0))
    drawn += std::llabs(p.DX) + std::llabs(p.DY);
  EXPECT_GT(drawn, 0);
  EXPECT_EQ(shape.ShapeTag().ShapeRecords[1]->RecordKind(), rkCurvedEdge);
}

// The dashed curve search is fixed to the byte: these outlines pin it, down
// to its double rounding, including a curve so large that the search's
// misses leave the range where the quotient is taken without dividing.
TEST_F(PixelMovieTest, DashedCurvesKeepTheirBytes) {
  struct Row {
    const char* name;
    int kind;
    std::vector<uint8_t> pattern;
    size_t size;
    uint64_t hash;
  };
  const Row rows[] = {
      {"ellipse", 0, {2, 4}, 483, 0x6c116cbd9ef30510ull},
      {"curved star", 1, {3, 1, 2}, 1228, 0x583c7ce21bf896aeull},
      {"large curve", 2, {255, 1}, 227, 0x9fd7d893766ed63eull},
      // Cut in halves first; its misses run far past 2^26.
      {"huge curve", 3, {255, 1}, 54046, 0xd27f5e6d3bc43ba1ull},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TFlashMovie fresh{0, 0, 550, 400, 12, true};  // each shape gets the first character ID
    TFlashShape* shape;
    switch (r.kind) {
      case 0:
        shape = &fresh.AddEllipse(10, 10, 110, 110);
        shape->SetSolidColor(200, 200, 200);
        break;
      case 1:
        shape = &fresh.AddStar(200, 200, 90, 40, 7, true);
        break;
      default: {
        shape = &fresh.AddShape();
        shape->SetBounds(0, 0, 100, 100);
        shape->Edges().MoveTo(10, 10);
        if (r.kind == 2)
          shape->Edges().CurveDelta(3000, -1000, -1500, 3000);
        else
          shape->Edges().CurveDelta(2446, -1235, -1538, 2397);
        shape->Edges().EndShape();
        break;
      }
    }
    shape->SetLineStyle(2, 0xFF323232);
    shape->DashPattern().SetPattern(r.pattern);
    const Bytes bytes = Written(*shape);
    uint64_t h = 1469598103934665603ull;
    for (uint8_t c : bytes) h = (h ^ c) * 1099511628211ull;
    EXPECT_EQ(bytes.size(), r.size);
    EXPECT_EQ(h, r.hash);
  }
}

}  // namespace
