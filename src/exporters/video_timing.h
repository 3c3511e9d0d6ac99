#pragma once
// Where each project frame falls on a video's constant frame rate. The movie
// shows each project frame for a whole number of 10 ms SWF frames; the video
// takes the lowest usual rate at which every project frame still gets at
// least one picture and lasts within 10 ms of its time in the movie.
#include <cstdint>
#include <vector>

namespace exporters {

struct TVideoTiming {
  int Rate = 100;  // frames per second
  // Per project frame (0-based), the first video frame that shows it; one
  // more entry holds the video's frame count.
  std::vector<int64_t> Starts;
  int64_t FrameCount() const { return Starts.empty() ? 0 : Starts.back(); }
};

// The longest a project frame's time may be off in the video.
inline constexpr int64_t kMaxFrameTimeErrorMs = 10;

// The timing for project frames lasting these many 10 ms SWF frames each
// (every count at least 1).
TVideoTiming ChooseVideoTiming(const std::vector<int32_t>& swfFrames);

}  // namespace exporters
