#pragma once
// Animated WebP of the frames of a TFrameSource, through libwebp's animation
// encoder (which stores only what changes from frame to frame, and shows a
// frame equal to the one before as a longer showing of that one).
#include <cstdint>
#include <string>
#include <vector>

#include "exporters/export_progress.h"
#include "exporters/frame_source.h"

namespace exporters {

struct TWebPSetting {
  bool Lossless = true;
  int Quality = 100;  // lossy: 0..100; the encoder may still keep a frame lossless when smaller
};

// durationsMs: each frame's display time (DisplayTimes in ms); one step per frame.
std::vector<uint8_t> EncodeWebP(TFrameSource& frames, const std::vector<int64_t>& durationsMs,
                                bool loop, const TWebPSetting& setting, TProgressMeter& meter);

}  // namespace exporters
