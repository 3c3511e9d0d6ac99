#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(Codepage, Cp1252RoundTripsThroughUtf8) {
  struct Row { std::string cp1252; std::string utf8; };
  const Row rows[] = {
      {"abc", "abc"},
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},            // e acute: Latin-1 range
      {"\x80", "\xE2\x82\xAC"},                       // euro sign at 0x80
      {"\x9F", "\xC5\xB8"},                           // Y diaeresis at 0x9F
      {"\x81", "\xC2\x81"},                           // undefined byte kept as is
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.utf8);
    EXPECT_EQ(platform::Cp1252ToUtf8(r.cp1252), r.utf8);
    EXPECT_EQ(platform::Utf8ToCp1252(r.utf8), r.cp1252);
  }
}

TEST(Codepage, UnmappableAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(platform::Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // a CJK letter
  EXPECT_EQ(platform::Utf8ToCp1252("a\xC3"), "a?");        // cut sequence
  EXPECT_EQ(platform::Utf8ToCp1252("\xFF" "b"), "?b");
}

}  // namespace
