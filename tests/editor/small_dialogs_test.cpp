// The number dialog and the frame range dialog: keys, arrows and the
// corrections made when a field is left.
#include "editor/small_dialogs.h"

#include <gtest/gtest.h>

namespace {

using namespace editor;

TEST(SmallDialogs, TheNumberFieldIsCorrectedWhenLeft) {
  struct Row {
    const char *typed, *after;
  };
  const Row rows[] = {{"5000", "1000"}, {"0", "1"},  {"", ""},
                      {"12", "12"},     {"00", "1"}, {"99999999999", "1000"}};
  TNumberDialog d;
  EXPECT_EQ(d.Number, "20");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    d.Number = r.typed;
    d.NumberExit();
    EXPECT_EQ(d.Number, r.after);
  }
  d.SetPosition(999);
  d.Step(+1);
  d.Step(+1);
  EXPECT_EQ(d.Number, "1000");
  d.SetPosition(1);
  d.Step(-1);
  EXPECT_EQ(d.Number, "1");
  EXPECT_EQ(NumberFieldKey('5'), '5');
  EXPECT_EQ(NumberFieldKey('-'), 0);
  EXPECT_EQ(NumberFieldKey('\t'), '\t');
}

TEST(SmallDialogs, TheRangeFieldsAreHeldInTheFrames) {
  TLimitsDialog d;
  EXPECT_EQ(d.From, "0");
  d.Setup("Specifying the Target Frames", "text", 12, 3, 12);
  EXPECT_EQ(d.From, "3");
  struct Row {
    const char *typed, *after;
  };
  const Row rows[] = {{"40", "12"}, {"0", "1"}, {"", ""}, {"9", "9"}, {"99999999999", "12"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    d.To = r.typed;
    d.ToExit();
    EXPECT_EQ(d.To, r.after);
    d.From = r.typed;
    d.FromExit();
    EXPECT_EQ(d.From, r.after);
  }
  d.From = "9";
  d.To = "3";  // not compared with each other
  d.FromExit();
  d.ToExit();
  EXPECT_EQ(d.From, "9");
  EXPECT_EQ(d.To, "3");
  d.StepTo(-5);
  EXPECT_EQ(d.To, "1");
  d.StepFrom(+9);
  EXPECT_EQ(d.From, "12");
}

// A field may hold any 32-bit number when its arrow is pressed.
TEST(SmallDialogs, ArrowsStepFromTheEndsOfTheNumbers) {
  struct Row {
    const char* typed;
    int delta;
    const char* after;
  };
  const Row rows[] = {{"2147483647", +1, "12"}, {"-2147483648", -1, "1"}, {"2147483647", -1, "12"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    TNumberDialog number;
    number.Min = 1;
    number.Max = 12;
    number.Number = r.typed;
    number.Step(r.delta);
    EXPECT_EQ(number.Number, r.after);
    TLimitsDialog range;
    range.Setup("Frames", "", 12, 1, 12);
    range.From = range.To = r.typed;
    range.StepFrom(r.delta);
    range.StepTo(r.delta);
    EXPECT_EQ(range.From, r.after);
    EXPECT_EQ(range.To, r.after);
  }
}

TEST(SmallDialogs, ReadIntegerAcceptsOnlyWholeNumbers) {
  EXPECT_EQ(ReadInteger(" 42 "), 42);
  EXPECT_EQ(ReadInteger("-7"), -7);
  EXPECT_EQ(ReadInteger("+7"), 7);
  EXPECT_EQ(ReadInteger(""), std::nullopt);
  EXPECT_EQ(ReadInteger("-"), std::nullopt);
  EXPECT_EQ(ReadInteger("4 2"), std::nullopt);
  EXPECT_EQ(ReadInteger("2147483648"), std::nullopt);
}

}  // namespace
