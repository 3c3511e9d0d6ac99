// The shape members of the movie, and a movie with every primitive, fill
// and outline kind that an independent parser must read.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <map>

#include "support/bytes.h"
#include "support/shape_outline.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"

namespace {

using namespace swf;

// A 2 x 2 lossless bitmap standing in for a picture.
class TTestBitmap : public TFlashIDObject {
 public:
  using TFlashIDObject::TFlashIDObject;
  void Assign(const TBasedSWFObject&) override {}
  int MinVersion() const override { return 2; }
  uint16_t ImageWidth() const { return 2; }
  uint16_t ImageHeight() const { return 2; }
  void WriteToStream(TBitsEngine& be) override {
    TBitmapTag tag;
    tag.ID = GetCharacterID();
    tag.WriteToStream(be);
  }

 private:
  struct TBitmapTag : TSWFObject {
    TBitmapTag() { TagID = tagDefineBitsLossless; }
    void WriteTagBody(TBitsEngine& be) override {
      const uint8_t pixels[16] = {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255};
      uLongf size = compressBound(sizeof pixels);
      std::vector<uint8_t> packed(size);
      ASSERT_EQ(compress(packed.data(), &size, pixels, sizeof pixels), Z_OK);
      be.WriteWord(ID);
      be.WriteByte(5);  // 24-bit pixels
      be.WriteWord(2);
      be.WriteWord(2);
      be.WriteBytes(packed.data(), long(size));
    }
    uint16_t ID = 0;
  };
};

TEST(MovieShapes, NumberingAndOwnership) {
  TFlashMovie movie(0, 0, 550, 400, 12, true);
  TFlashShape& a = movie.AddCircle(50, 50, 20);
  auto own = std::make_unique<TFlashShape>();
  TFlashShape& b = movie.AddShape(std::move(own));
  EXPECT_EQ(a.GetCharacterID(), 1);
  EXPECT_EQ(b.GetCharacterID(), 2);
  EXPECT_EQ(b.ShapeTag().ShapeID, 2);
  EXPECT_EQ(b.Owner(), &movie);
  EXPECT_EQ(b.CoordFactor(), 20);
  ASSERT_EQ(movie.Shapes().size(), 2u);
  EXPECT_EQ(movie.Shapes()[1], &b);
  // A circle is the ellipse of its box.
  EXPECT_EQ(a.ShapeBounds().Rec(), (TSWFRectRec{600, 1400, 600, 1400}));
  // A star's bounds take the larger radius.
  TFlashShape& star = movie.AddStar(100, 100, 10, 30, 5, false);
  EXPECT_EQ(star.ShapeBounds().Rec(), (TSWFRectRec{1400, 2600, 1400, 2600}));
  // A diamond starts at the middle of its top side.
  TFlashShape& diamond = movie.AddDiamond(10, 10, 15, 20);
  auto& move = static_cast<TSWFStyleChangeRecord&>(*diamond.ShapeTag().ShapeRecords[0]);
  EXPECT_EQ(move.X, 240);
  EXPECT_EQ(move.Y, 200);
}

struct TBuiltShape {
  TFlashShape* Shape;
  bool Dashed;
};

TEST(MovieShapes, EveryKindParsesAndCloses) {
  TFlashMovie movie(0, 0, 550, 400, 12, true);
  movie.BackgroundColor().SetRGB({255, 255, 255});
  std::vector<TTestBitmap*> bitmaps;
  TTestBitmap& bitmap = movie.RegisterCharacter(std::make_unique<TTestBitmap>(&movie), bitmaps);

  using TMake = std::function<TFlashShape&(int32_t x, int32_t y)>;
  const TMake kinds[] = {
      [&](int32_t x, int32_t y) -> TFlashShape& {
        return movie.AddRectangle(x, y, x + 60, y + 40);
      },
      [&](int32_t x, int32_t y) -> TFlashShape& {
        return movie.AddRoundRect(x, y, x + 60, y + 40, 8);
      },
      [&](int32_t x, int32_t y) -> TFlashShape& { return movie.AddEllipse(x, y, x + 60, y + 40); },
      [&](int32_t x, int32_t y) -> TFlashShape& { return movie.AddCircle(x + 30, y + 25, 25); },
      [&](int32_t x, int32_t y) -> TFlashShape& { return movie.AddDiamond(x, y, x + 61, y + 41); },
      [&](int32_t x, int32_t y) -> TFlashShape& {
        return movie.AddStar(x + 30, y + 30, 30, 12, 5, false);
      },
      [&](int32_t x, int32_t y) -> TFlashShape& {
        return movie.AddStar(x + 30, y + 30, 30, 15, 7, true);
      },
  };
  std::vector<TBuiltShape> built;
  uint16_t depth = 1;
  auto place = [&](TFlashShape& shape, bool dashed) {
    movie.PlaceObject(&shape, depth++);
    built.push_back({&shape, dashed});
  };
  const uint16_t widths[] = {0, 1, 3, 6};
  for (int fill = 0; fill < 4; ++fill) {
    for (size_t k = 0; k < std::size(kinds); ++k) {
      TFlashShape& shape = kinds[k](10 + int32_t(k) * 75, 10 + fill * 70);
      switch (fill) {
        case 0:
          shape.SetSolidColor(68, 171, 255);
          break;
        case 1:
          shape.SetLinearGradient(0xFF0000FF, 0xFFFF0000, 0);
          break;
        case 2:
          shape.SetRadialGradient(0xFFFFFFFF, 0xFF008000, 30, 40);
          break;
        default:
          break;  // no fill
      }
      if (uint16_t w = widths[(k + size_t(fill)) % 4]) shape.SetLineStyle(w, 0xFF884400);
      place(shape, false);
    }
  }
  TFlashShape& dashedRect = movie.AddRectangle(20, 300, 120, 380);
  dashedRect.SetSolidColor(220, 220, 220);
  dashedRect.SetLineStyle(2, 0xFF323232);
  dashedRect.DashPattern().SetPattern({2, 4});
  place(dashedRect, true);
  TFlashShape& dashedEllipse = movie.AddEllipse(140, 300, 240, 380);
  dashedEllipse.SetRadialGradient(0xFFFFFFFF, 0xFF0000FF, 50, 50);
  dashedEllipse.SetLineStyle(3, 0xFF000000);
  dashedEllipse.DashPattern().SetPattern({6, 3});
  place(dashedEllipse, true);
  TFlashShape& translucent = movie.AddRoundRect(260, 300, 360, 380, 15);
  translucent.SetSolidColor(255, 0, 0, 127);
  translucent.SetLineStyle(4, 0x7F000000);
  place(translucent, false);
  TFlashShape& stretched = movie.AddEllipse(380, 300, 460, 380);
  stretched.SetImageFill(bitmap, 1, 1, 1);
  place(stretched, false);
  TFlashShape& tiled = movie.AddRectangle(470, 300, 540, 380);
  tiled.SetImageFill(bitmap, 2, 4, 4);
  place(tiled, false);
  movie.ShowFrame();
  movie.MakeData();
  const vtest::Bytes swf = movie.SaveToBytes();
  vtest::KeepSwfForParserCheck("shapes.swf", swf);

  std::map<uint16_t, const TBuiltShape*> byID;
  for (const TBuiltShape& b : built) byID[b.Shape->GetCharacterID()] = &b;
  size_t shapeTags = 0, places = 0;
  bool bitmapFirst = false;
  for (const vtest::TTag& tag : vtest::ReadTags(swf)) {
    if (tag.Code == tagDefineBitsLossless) bitmapFirst = shapeTags == 0;
    if (tag.Code == tagPlaceObject2) ++places;
    if (tag.Code != tagDefineShape2 && tag.Code != tagDefineShape3) {
      EXPECT_NE(tag.Code, tagDefineShape);
      continue;
    }
    ++shapeTags;
    TSWFDefineShape shape = vtest::ReadShapeTag(tag.Code, tag.Body);
    SCOPED_TRACE(shape.ShapeID);
    ASSERT_TRUE(byID.count(shape.ShapeID));
    const TBuiltShape& b = *byID[shape.ShapeID];
    EXPECT_EQ(tag.Code, b.Shape == &translucent ? tagDefineShape3 : tagDefineShape2);
    const std::vector<vtest::TSubPath> paths = vtest::SubPaths(shape.ShapeRecords);
    ASSERT_FALSE(paths.empty());
    if (!b.Dashed) {
      ASSERT_EQ(paths.size(), 1u);
      EXPECT_TRUE(paths[0].Closed());
      continue;
    }
    // Dashed: the fill is a closed copy of the outline, the dashes end at its start.
    EXPECT_TRUE(paths.front().Filled);
    EXPECT_FALSE(paths.front().Lined);
    EXPECT_TRUE(paths.front().Closed());
    EXPECT_GT(paths.size(), 20u);
    for (size_t i = 1; i < paths.size(); ++i) {
      EXPECT_FALSE(paths[i].Filled);
      EXPECT_TRUE(paths[i].Lined);
    }
    const auto [endX, endY] = vtest::FinalPen(shape.ShapeRecords);
    EXPECT_NEAR(double(endX), double(paths.front().StartX), 4.0);
    EXPECT_NEAR(double(endY), double(paths.front().StartY), 4.0);
  }
  EXPECT_EQ(shapeTags, built.size());
  EXPECT_EQ(places, built.size());
  EXPECT_TRUE(bitmapFirst);
}

// Primitives farther out than 31-bit twips reach (60 million pixels): the
// bounds and moves are saturated rather than cut off, so every tag still
// reads to its end and each outline closes.
TEST(MovieShapes, PrimitivesBeyondTheCoordinateRangeStillParse) {
  TFlashMovie movie(0, 0, 550, 400, 12, true);
  for (int32_t far : {-60000000, 60000000}) {
    for (TFlashShape* shape :
         {&movie.AddRectangle(far, far, far + 60, far + 40),
          &movie.AddRoundRect(far, 0, far + 60, 40, 8), &movie.AddEllipse(0, far, 60, far + 40),
          &movie.AddCircle(far, far, 25), &movie.AddDiamond(far, far, far + 61, far + 41),
          &movie.AddStar(far, 30, 30, 12, 5, true)}) {
      shape->SetSolidColor(1, 2, 3);
      shape->SetLineStyle(2, 0xFF000000);
    }
  }
  movie.MakeData();
  int shapes = 0;
  for (const vtest::TTag& tag : vtest::ReadTags(movie.SaveToBytes())) {
    if (tag.Code != tagDefineShape2) continue;
    ++shapes;
    const TSWFDefineShape shape = vtest::ReadShapeTag(tag.Code, tag.Body);
    SCOPED_TRACE(shape.ShapeID);
    EXPECT_GE(shape.ShapeBounds.Xmin(), -(1 << 30));
    EXPECT_LT(shape.ShapeBounds.Xmax(), 1 << 30);
    for (const vtest::TSubPath& path : vtest::SubPaths(shape.ShapeRecords))
      EXPECT_TRUE(path.Closed());
  }
  EXPECT_EQ(shapes, 12);
}

}  // namespace
