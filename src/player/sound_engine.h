#pragma once
// The sound of a playing movie: event sounds started by frames and buttons,
// and the movie's stream, mixed and written ahead to an output. It hears the
// timeline through ITimelineSounds and tells the frame clock (playback.h)
// which frame the stream's audio has reached. Plain C++: the widget pumps
// it from its timer, tests and `render --audio` from their own clocks.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "player/audio_output.h"
#include "player/mixer.h"
#include "player/timeline.h"

namespace player {

class TStreamSource;

class TSoundEngine : public ITimelineSounds {
 public:
  // Without an output nothing is played and the stream drives no frames.
  explicit TSoundEngine(IAudioOutput* output);
  ~TSoundEngine() override;

  // Silences everything, then plays the movie's sounds from its start.
  void SetMovie(std::shared_ptr<const TMovie> movie, bool looping);
  // Muted, the sounds go on (and the stream still drives the frames) unheard.
  void SetMuted(bool muted) { muted_ = muted; }
  bool Muted() const { return muted_; }
  // Silence at once: every sound stops and what the output holds is dropped.
  void StopAll();
  // Fills the output's room with the mix.
  void Pump();
  // While the stream plays and is heard: the frame whose audio is heard now.
  std::optional<uint32_t> StreamFrame() const;
  // Nothing playing and nothing left to hear.
  bool Silent() const;

  void FrameShown(uint32_t frame, bool continuous) override;
  void StartSound(const TSoundStart& start) override;
  void PlayingChanged(bool playing) override;

 private:
  bool Active() const;
  int64_t Heard() const;
  void StartStream(uint32_t frame);
  void StopStream();
  // The stream's audio has all been heard.
  bool StreamDone() const;

  IAudioOutput* output_;
  std::shared_ptr<const TMovie> movie_;
  std::unique_ptr<TMixer> mixer_;
  bool looping_ = true, playing_ = true, muted_ = false;
  uint32_t frame_ = 0;
  int64_t written_ = 0;      // frames written to the output
  int64_t streamStart_ = 0;  // where the stream's first frame was written
  TStreamSource* stream_ = nullptr;  // the stream voice's source
  std::vector<int16_t> buffer_;
};

}  // namespace player
