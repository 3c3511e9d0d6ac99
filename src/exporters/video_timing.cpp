#include "exporters/video_timing.h"

#include <cassert>
#include <iterator>

namespace exporters {
namespace {

// The usual rates of video, lowest first: players, editors and ad servers
// take them all. 100 shows every SWF frame and is always exact.
constexpr int kRates[] = {1, 2, 4, 5, 10, 12, 15, 20, 24, 25, 30, 50, 60, 100};

// Frame boundaries at `rate`, each the nearest video frame to its time in
// the movie; empty when a frame would vanish or be off by more than allowed.
std::vector<int64_t> BoundariesAt(const std::vector<int32_t>& swfFrames, int rate) {
  std::vector<int64_t> starts{0};
  int64_t ms = 0;
  for (int32_t count : swfFrames) {
    assert(count >= 1);
    const int64_t lengthMs = int64_t(count) * 10;
    ms += lengthMs;
    const int64_t start = (ms * rate + 500) / 1000;
    const int64_t shown = start - starts.back();
    // |shown / rate - lengthMs / 1000| <= error, in whole numbers.
    const int64_t off = shown * 1000 - lengthMs * rate;
    if (shown < 1 || (off < 0 ? -off : off) > kMaxFrameTimeErrorMs * rate) return {};
    starts.push_back(start);
  }
  return starts;
}

}  // namespace

TVideoTiming ChooseVideoTiming(const std::vector<int32_t>& swfFrames) {
  for (int rate : kRates)
    if (std::vector<int64_t> starts = BoundariesAt(swfFrames, rate); !starts.empty() || rate == 100)
      return {rate, std::move(starts)};
  return {};
}

}  // namespace exporters
