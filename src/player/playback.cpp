#include "player/playback.h"

#include <cmath>

namespace player {

void TPlayback::Restart(int64_t nowNs) {
  startNs_ = nowNs;
  framesPlayed_ = 0;
}

void TPlayback::Tick(int64_t nowNs) {
  if (sound_) sound_->Pump();
  if (timeline_.Playing()) {
    const bool stream = sound_ && sound_->StreamFrame();
    if (stream) {
      FollowStream();
    } else {
      if (following_) Restart(nowNs);  // the stream ended: the clock goes on from here
      FollowClock(nowNs);
    }
    following_ = stream;
  }
  if (sound_) sound_->Pump();  // sounds the new frames started begin at once
}

// Plays on until the timeline shows the frame whose audio is heard. A
// stream behind the timeline (by less than half the movie) makes it wait.
void TPlayback::FollowStream() {
  const uint32_t count = timeline_.Movie().FrameCount;
  for (int64_t i = 0; i < kMaxCatchUp && timeline_.Playing(); ++i) {
    const std::optional<uint32_t> due = sound_->StreamFrame();
    if (!due) break;
    const uint32_t ahead = (*due + count - timeline_.CurrentFrame()) % count;
    if (ahead == 0 || ahead > count / 2) break;
    timeline_.Advance();
  }
}

void TPlayback::FollowClock(int64_t nowNs) {
  const double fps = timeline_.Movie().FrameRate;
  if (fps <= 0) return;
  const int64_t due = int64_t(std::floor(double(nowNs - startNs_) / 1e9 * fps));
  if (due - framesPlayed_ > kMaxCatchUp) framesPlayed_ = due - kMaxCatchUp;
  while (framesPlayed_ < due && timeline_.Playing()) {
    timeline_.Advance();
    ++framesPlayed_;
  }
}

}  // namespace player
