// What the frame strip, the onion skin and playing on the canvas work from:
// which thumbnails are wanted and stale within a bounded count, the onion
// skin's layers, the frame order and timing of playing.
#include "editor/frame_view.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using editor::TThumbnailTracker;

project::TProjectDocument Document(int32_t frames) {
  project::TProjectDocument doc;
  doc.SetFrameCount(frames);
  return doc;
}

TEST(ThumbnailTracker, WantsTheCurrentThenTheVisibleThenTheNearestUpToItsCapacity) {
  struct Row {
    size_t capacity;
    int32_t current, first, last;
    std::vector<int32_t> wanted;
  };
  const Row rows[] = {
      {100, 2, 4, 6, {2, 4, 5, 6, 7, 3, 8, 9, 1, 10}},
      {4, 9, 1, 3, {9, 1, 2, 3}},       // the visible cells before the rest
      {3, 5, 1, 0, {5, 6, 4}},          // nothing visible: around the current
      {5, 1, 8, 10, {1, 8, 9, 10, 7}},  // the strip's end
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.capacity);
    TThumbnailTracker tracker(r.capacity);
    tracker.SetView(r.current, r.first, r.last);
    EXPECT_EQ(tracker.Wanted(10), r.wanted);
  }
}

TEST(ThumbnailTracker, AnEditMakesTheFramesItReachesStaleAndOnlyThose) {
  project::TProjectDocument doc = Document(5);
  TThumbnailTracker tracker(10);
  tracker.SetView(1, 1, 5);
  EXPECT_EQ(tracker.Stale(doc), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  for (int32_t f = 1; f <= 5; ++f) tracker.Made(f, editor::FramePicture(doc, f), 5);
  EXPECT_TRUE(tracker.Stale(doc).empty());

  doc.Frames[2].Delay = 990;
  doc.Frames[4].Slots.Edit(1).Object = project::skStar;
  EXPECT_EQ(tracker.Stale(doc), (std::vector<int32_t>{2, 4}));
  // A movie setting shows in every frame.
  doc.Settings.MWidth += 10;
  EXPECT_EQ(tracker.Stale(doc).size(), 5u);
}

// Frames that only changed places take the thumbnails made for their
// pictures; an edited frame has none to take.
TEST(ThumbnailTracker, MovedFramesReuseTheThumbnailsOfTheirPictures) {
  project::TProjectDocument doc = Document(5);
  for (int32_t f = 1; f <= 5; ++f) doc.Frames[size_t(f)].Delay = 100 * f;
  TThumbnailTracker tracker(10);
  tracker.SetView(1, 1, 5);
  for (int32_t f = 1; f <= 5; ++f) tracker.Made(f, editor::FramePicture(doc, f), 5);
  std::reverse(doc.Frames.begin() + 1, doc.Frames.begin() + 6);
  doc.Frames[1].Slots.Edit(2).Object = project::skStar;
  using TPairs = std::vector<std::pair<int32_t, int32_t>>;
  EXPECT_EQ(tracker.Reusable(doc), (TPairs{{2, 4}, {4, 2}, {5, 1}}));
  EXPECT_TRUE(TThumbnailTracker(10).Reusable(doc).empty());
}

// However many frames there are, at most `capacity` thumbnails stay, and
// never one of the frames the strip shows.
TEST(ThumbnailTracker, KeepsWithinItsCapacityAtAnyFrameCount) {
  project::TProjectDocument doc = Document(1000);
  TThumbnailTracker tracker(8);
  tracker.SetView(1, 1, 4);
  for (int32_t f : tracker.Stale(doc)) tracker.Made(f, editor::FramePicture(doc, f), 1000);
  EXPECT_EQ(tracker.Count(), 8u);
  tracker.SetView(500, 498, 502);
  std::vector<int32_t> dropped;
  for (int32_t f : tracker.Stale(doc))
    for (int32_t gone : tracker.Made(f, editor::FramePicture(doc, f), 1000))
      dropped.push_back(gone);
  EXPECT_EQ(tracker.Count(), 8u);
  EXPECT_EQ(dropped.size(), 8u);
  for (int32_t f : {500, 498, 499, 501, 502}) EXPECT_TRUE(tracker.IsCurrent(doc, f)) << f;
  EXPECT_TRUE(tracker.Stale(doc).empty());
  // Frames removed from the end drop their thumbnails.
  doc.SetFrameCount(499);
  tracker.SetView(499, 495, 499);
  const std::vector<int32_t> gone = tracker.Made(499, editor::FramePicture(doc, 499), 499);
  EXPECT_NE(std::find(gone.begin(), gone.end(), 500), gone.end());
}

TEST(OnionLayers, NeighboursFarthestFirstNearerStrongerWithinTheMovie) {
  struct Row {
    int32_t current, frames;
    int count;
    std::vector<std::pair<int32_t, bool>> layers;  // frame, earlier
  };
  const Row rows[] = {
      {5, 10, 2, {{3, true}, {7, false}, {4, true}, {6, false}}},
      {1, 10, 2, {{3, false}, {2, false}}},
      {10, 10, 1, {{9, true}}},
      {5, 10, 7, {{2, true}, {8, false}, {3, true}, {7, false}, {4, true}, {6, false}}},
      {5, 10, 0, {{4, true}, {6, false}}},  // at least one each side
      {1, 1, 3, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.current * 100 + r.count);
    std::vector<editor::TOnionLayer> layers = editor::OnionLayers(r.current, r.frames, r.count);
    std::vector<std::pair<int32_t, bool>> got;
    for (const editor::TOnionLayer& l : layers) got.emplace_back(l.Frame, l.Earlier);
    EXPECT_EQ(got, r.layers);
    for (size_t i = 1; i < layers.size(); ++i) {
      EXPECT_GE(layers[i].Opacity, layers[i - 1].Opacity);
      EXPECT_GT(layers[i].Opacity, 0);
      EXPECT_LT(layers[i].Opacity, 1);
    }
  }
}

TEST(CanvasPlay, FramesFollowInOrderForTheirDelayAndTheEndLoopsOrStops) {
  project::TProjectDocument doc = Document(3);
  EXPECT_EQ(editor::NextPlayedFrame(doc, 1), 2);
  EXPECT_EQ(editor::NextPlayedFrame(doc, 3), 1);
  doc.Settings.MLoop = 0;
  EXPECT_EQ(editor::NextPlayedFrame(doc, 3), 0);
  // As long as the movie shows the frame: whole SWF frames of 10 ms, at least one.
  const std::pair<int32_t, int32_t> delays[] = {{50, 50}, {55, 50}, {5, 10}, {0, 10}, {1000, 1000}};
  for (auto [delay, ms] : delays) EXPECT_EQ(editor::PlayedMilliseconds(delay), ms) << delay;
}

}  // namespace
