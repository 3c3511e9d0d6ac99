#pragma once
// How long each frame of an animation file is shown, and whether it loops.
#include <cstdint>
#include <vector>

#include "exporters/exporters.h"
#include "project/document.h"

namespace exporters {

// A project frame lasts its Delay, but at least the one 10 ms frame the
// movie gives it.
int64_t FrameDurationMs(int32_t delay);

// The durations of the project's frames in ms.
std::vector<int64_t> FrameDurationsMs(const project::TProjectDocument& doc);

// The frames' display times in the file's unit (1/100 s for GIF, 1 ms for
// WebP). Each frame ends where the movie's clock says, rounded to the unit,
// so rounding errors do not add up over the movie. Browsers show frames
// shorter than 2/100 s for a tenth of a second, so no frame is made shorter
// than minUnits: the time it takes over is taken back from the frames after
// it. No frame is longer than maxUnits: the rest of a longer one is dropped.
std::vector<int64_t> DisplayTimes(const std::vector<int64_t>& durationsMs, int64_t unitMs,
                                  int64_t minUnits, int64_t maxUnits);

// The options' loop when given, else the project's "Loop Playback".
bool LoopsForever(const project::TProjectDocument& doc, const TAnimationOptions& options);

}  // namespace exporters
