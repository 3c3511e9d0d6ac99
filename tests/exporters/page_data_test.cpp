#include "exporters/page_data.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/error.h"

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

TEST(PageDataTest, Base64MatchesTheKnownVectors) {
  const std::pair<const char*, const char*> rows[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [in, out] : rows)
    EXPECT_EQ(exporters::Base64(reinterpret_cast<const uint8_t*>(in), std::strlen(in)), out);
}

}  // namespace
