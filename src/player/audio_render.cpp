#include "player/audio_render.h"

#include <algorithm>

#include "player/audio_output.h"
#include "player/playback.h"
#include "player/sound_engine.h"

namespace player {
namespace {

constexpr size_t kTickFrames = 441;

}  // namespace

std::vector<int16_t> RenderAudio(std::shared_ptr<const TMovie> movie,
                                 std::optional<double> seconds, int rate) {
  const bool looping = seconds.has_value();
  const size_t limit = size_t(std::clamp(seconds.value_or(kMaxRenderSeconds), 0.0,
                                         kMaxRenderSeconds) * rate);
  TCaptureOutput output(rate, 4 * kTickFrames);
  TSoundEngine engine(&output);
  TTimeline timeline(movie);
  timeline.Looping = looping;
  engine.SetMovie(movie, looping);
  timeline.Sounds = &engine;
  timeline.Start();
  TPlayback playback(timeline, &engine);
  playback.Restart(0);
  playback.Tick(0);
  auto done = [&] {
    if (output.HeardFrames() >= limit) return true;
    if (looping) return false;
    const bool framesDone = !timeline.Playing() || movie->FrameRate <= 0;
    return framesDone && engine.Silent();
  };
  int64_t nowNs = 0;
  while (!done()) {
    output.Play(std::min(kTickFrames, limit - output.HeardFrames()));
    nowNs = int64_t(double(output.HeardFrames()) * 1e9 / rate);
    playback.Tick(nowNs);
  }
  return output.Heard();
}

}  // namespace player
