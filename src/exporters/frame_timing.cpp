#include "exporters/frame_timing.h"

#include <algorithm>

#include "moviegen/movie_build.h"

namespace exporters {

int64_t FrameDurationMs(int32_t delay) {
  return std::max<int64_t>(delay, int64_t(moviegen::SwfFramesForDelay(delay)) * 10);
}

std::vector<int64_t> FrameDurationsMs(const project::TProjectDocument& doc) {
  std::vector<int64_t> durations;
  for (int32_t l = 1; l <= doc.FrameCount; ++l)
    durations.push_back(FrameDurationMs(doc.Frames[size_t(l)].Delay));
  return durations;
}

std::vector<int64_t> DisplayTimes(const std::vector<int64_t>& durationsMs, int64_t unitMs,
                                  int64_t minUnits, int64_t maxUnits) {
  std::vector<int64_t> times;
  int64_t clockMs = 0, shownUnits = 0;
  for (int64_t d : durationsMs) {
    clockMs += d;
    const int64_t end = (clockMs + unitMs / 2) / unitMs;
    const int64_t time = std::clamp(end - shownUnits, minUnits, maxUnits);
    times.push_back(time);
    shownUnits = std::max(shownUnits + time, end);
  }
  return times;
}

bool LoopsForever(const project::TProjectDocument& doc, const TAnimationOptions& options) {
  return options.Loop.value_or(doc.Settings.MLoop != 0);
}

}  // namespace exporters
