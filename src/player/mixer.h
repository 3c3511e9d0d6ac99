#pragma once
// The mixer: every playing sound resampled to the output rate and added up
// in floats, clipped only at the end. Plain C++.
#include <cstdint>
#include <memory>
#include <vector>

#include "player/sample_source.h"

namespace player {

// One playing sound: its source resampled by linear interpolation, played
// loops times.
class TVoice {
 public:
  TVoice(std::unique_ptr<TSampleSource> source, int outputRate, uint16_t soundID, int loops);
  // Adds up to frames stereo frames to mix (2 floats a frame); fewer once it ends.
  size_t MixInto(float* mix, size_t frames);
  bool Ended() const { return ended_; }
  uint16_t SoundID() const { return soundID_; }
  TSampleSource& Source() { return *source_; }
  // Output frames made so far, and the source frame reached at an output frame.
  uint64_t Produced() const { return produced_; }
  uint64_t SourcePosition(uint64_t outputFrame) const;

 private:
  // The next source frame as floats (mono doubled); false at the end of the last loop.
  bool Pull(float* frame);

  std::unique_ptr<TSampleSource> source_;
  uint16_t soundID_;
  int loopsLeft_;
  uint64_t step_;      // source frames an output frame, 32.32 fixed point
  uint64_t frac_ = 0;  // position between cur_ and next_, 32-bit fraction
  float cur_[2] = {0, 0}, next_[2] = {0, 0};
  bool draining_ = false, ended_ = false;
  uint64_t produced_ = 0;
  std::vector<int16_t> buffer_;
  size_t bufferPos_ = 0, bufferEnd_ = 0;  // in values
};

class TMixer {
 public:
  explicit TMixer(int rate) : rate_(rate) {}
  int Rate() const { return rate_; }

  // Plays voice; the oldest event sound makes room past kMaxVoices.
  void Add(std::unique_ptr<TVoice> voice);
  void SetStream(std::unique_ptr<TVoice> voice) { stream_ = std::move(voice); }
  TVoice* Stream() const { return stream_.get(); }
  bool IsPlaying(uint16_t soundID) const;
  void StopSound(uint16_t soundID);
  void Clear();
  bool Silent() const { return voices_.empty() && !stream_; }

  // The next frames stereo frames of the mix (interleaved), clipped to 16 bits.
  void Mix(int16_t* out, size_t frames);

  static constexpr size_t kMaxVoices = 32;

 private:
  int rate_;
  std::vector<std::unique_ptr<TVoice>> voices_;
  std::unique_ptr<TVoice> stream_;  // kept after its end: its clock tells when it was heard
  std::vector<float> mix_;
};

}  // namespace player
