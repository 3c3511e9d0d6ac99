#include "project/model.h"

#include <gtest/gtest.h>

namespace {

using namespace project;

TEST(Model, ColourChannels) {
  TColor c = RGB(12, 34, 56);
  EXPECT_EQ(Red(c), 12);
  EXPECT_EQ(Green(c), 34);
  EXPECT_EQ(Blue(c), 56);
  EXPECT_EQ(RGB(0, 128, 128), 8421376);  // the default site colour as the file stores it
}

TEST(Model, CalcGradientRoundsTheSinglePrecisionSlopeHalfToEven) {
  struct Row {
    TColor a, b;
    int step, steps;
    TColor expected;
  };
  const Row rows[] = {
      {RGB(0, 0, 0), RGB(255, 255, 255), 0, 5, RGB(0, 0, 0)},
      {RGB(0, 0, 0), RGB(255, 255, 255), 5, 5, RGB(255, 255, 255)},
      {RGB(10, 200, 0), RGB(20, 100, 0), 1, 4, RGB(12, 175, 0)},  // 12.5 -> 12 (even)
      {RGB(10, 200, 0), RGB(20, 100, 0), 3, 4, RGB(18, 125, 0)},  // 17.5 -> 18 (even)
      {RGB(0, 0, 0), RGB(90, 0, 0), 1, 4, RGB(22, 0, 0)},         // 22.5 -> 22
      {RGB(0, 0, 0), RGB(100, 0, 0), 1, 3, RGB(33, 0, 0)},
      {RGB(255, 255, 255), RGB(0, 0, 255), 2, 3, RGB(85, 85, 255)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.step << "/" << r.steps);
    EXPECT_EQ(CalcGradient(r.a, r.b, r.step, r.steps), r.expected);
  }
}

TEST(Model, KindSuffixes) {
  EXPECT_EQ(KindSuffix(skStar), " - Star");
  EXPECT_EQ(KindSuffix(skRoundRect), " - Rnd. Rectangle");
  EXPECT_EQ(KindSuffix(skButton), " - Button");
  EXPECT_EQ(KindSuffix(skNone), "");
  EXPECT_EQ(KindSuffix(200), "");
}

TEST(Model, SlotsReadBlankUntilWrittenAndKeepDeadDataWhenEmptied) {
  TSlotArray slots;
  EXPECT_TRUE(slots[7].IsBlank());
  EXPECT_TRUE(slots[0].IsBlank());
  EXPECT_TRUE(slots[300].IsBlank());
  slots.Edit(7).Object = skText;
  slots.Edit(7).Font = "Verdana";
  slots.Edit(3).Object = skCircle;
  EXPECT_EQ(slots.RecordCount(), 2u);
  EXPECT_EQ(slots.LastUsed(), 7);

  TSlotArray copy = slots;  // deep: editing the copy leaves the original alone
  copy.Edit(7).Font = "Arial";
  EXPECT_EQ(slots[7].Font, "Verdana");
  EXPECT_FALSE(copy == slots);

  slots.EmptyAll();
  EXPECT_EQ(slots[7].Object, skNone);
  EXPECT_EQ(slots[7].Font, "Verdana");
  EXPECT_EQ(slots.LastUsed(), 0);

  TSlotArray allocatedBlank;
  allocatedBlank.Edit(9);
  EXPECT_TRUE(allocatedBlank == TSlotArray());
}

// A slot one array holds a record for and the other not compares as blank.
TEST(Model, SlotArraysCompareTheirSlotsNotTheirRecords) {
  TSlotArray a, b;
  a.Edit(3).Object = skCircle;
  b.Edit(3).Object = skCircle;
  b.Edit(5);
  a.Edit(9);
  EXPECT_TRUE(a == b && b == a);
  b.Edit(200).X = 1;
  EXPECT_FALSE(a == b || b == a);
  a.Edit(200).X = 1;
  EXPECT_TRUE(a == b && b == a);
  a.Edit(1).Y = 2;
  EXPECT_FALSE(a == b || b == a);
}

TEST(Model, TextNamesAFileForPicturesButtonsAndBitmapFilledShapes) {
  struct Row {
    uint8_t kind;
    uint8_t fill;
    bool file;
  };
  const Row rows[] = {
      {skPicture, fkSolid, true},
      {skButton, fkNone, true},
      {skStar, fkBitmap, true},
      {skRectangle, fkBitmap, true},
      {skRectangle, fkSolid, false},
      {skText, fkBitmap, false},  // words, even when the fill field says bitmap
      {skNone, fkBitmap, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(int(r.kind));
    TShapeRec rec;
    rec.Object = r.kind;
    rec.Fill = r.fill;
    EXPECT_EQ(rec.TextIsFile(), r.file);
  }
}

}  // namespace
