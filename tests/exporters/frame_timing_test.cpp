// Display times of animation frames: rounding to the file's unit without
// drift, the shortest frame browsers show as asked, and the loop choice.
#include "exporters/frame_timing.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using exporters::DisplayTimes;

TEST(FrameTiming, DisplayTimesKeepTheMovieClock) {
  struct Row {
    const char* what;
    std::vector<int64_t> ms;
    int64_t unitMs, minUnits, maxUnits;
    std::vector<int64_t> expected;
  } rows[] = {
      {"whole hundredths", {80, 80, 1500}, 10, 2, 65535, {8, 8, 150}},
      {"half hundredths alternate", {55, 55, 55, 55}, 10, 2, 65535, {6, 5, 6, 5}},
      {"short frames borrow from later ones", {10, 10, 100}, 10, 2, 65535, {2, 2, 8}},
      {"short frames at the end make the movie longer", {100, 10, 10}, 10, 2, 65535, {10, 2, 2}},
      {"milliseconds with 20 ms the shortest", {10, 10, 50}, 1, 20, 0xFFFFFF, {20, 20, 30}},
      {"a very long frame is cut to the longest delay", {1000000, 50}, 10, 2, 65535, {65535, 5}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(DisplayTimes(r.ms, r.unitMs, r.minUnits, r.maxUnits), r.expected);
  }
}

TEST(FrameTiming, AFrameLastsItsDelayAndAtLeastOneMovieFrame) {
  struct Row {
    int32_t delay;
    int64_t ms;
  } rows[] = {{80, 80}, {55, 55}, {10, 10}, {9, 10}, {1, 10}, {0, 10}, {-5, 10}, {60000, 60000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.delay);
    EXPECT_EQ(exporters::FrameDurationMs(r.delay), r.ms);
  }
}

TEST(FrameTiming, LoopFollowsTheProjectUnlessTheOptionsSay) {
  project::TProjectDocument doc;
  doc.CreateEmptyMV();
  exporters::TAnimationOptions options;
  for (int32_t mloop : {0, 1}) {
    doc.Settings.MLoop = mloop;
    options.Loop.reset();
    EXPECT_EQ(exporters::LoopsForever(doc, options), mloop == 1);
    for (bool loop : {false, true}) {
      options.Loop = loop;
      EXPECT_EQ(exporters::LoopsForever(doc, options), loop);
    }
  }
}

}  // namespace
