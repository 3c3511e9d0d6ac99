#pragma once
// The frame clock: which frame is due. By the time since playing (re)started
// at the movie's frame rate; while the stream plays and is heard, by the
// stream's audio instead, as players of this format do, so a long movie's
// frames never drift from its sound. Plain C++: the widget ticks it with the
// time of its clock, tests and `render --audio` with their own.
#include <cstdint>

#include "player/sound_engine.h"
#include "player/timeline.h"

namespace player {

class TPlayback {
 public:
  // sound may be null (a silent player).
  TPlayback(TTimeline& timeline, TSoundEngine* sound) : timeline_(timeline), sound_(sound) {}

  // Counts from nowNs (a start, Play, the host's GotoFrame).
  void Restart(int64_t nowNs);
  // Shows the frame due at nowNs, running the actions of each frame passed
  // (at most kMaxCatchUp in one call, so a stalled host gives up lost time),
  // and feeds the sound.
  void Tick(int64_t nowNs);
  // The stream's audio drives the frames now.
  bool FollowingStream() const { return following_; }

  static constexpr int64_t kMaxCatchUp = 10;

 private:
  void FollowStream();
  void FollowClock(int64_t nowNs);

  TTimeline& timeline_;
  TSoundEngine* sound_;
  int64_t startNs_ = 0;
  int64_t framesPlayed_ = 0;
  bool following_ = false;
};

}  // namespace player
