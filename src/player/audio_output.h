#pragma once
// Where the mixed sound goes: stereo 16-bit frames written ahead of the
// moment they are heard. The sound device is qt_audio_output.h; tests and
// `render --audio` capture what would be heard. Plain C++.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace player {

class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;
  virtual int Rate() const = 0;  // frames a second
  // Frames that can be written now without waiting.
  virtual size_t Room() = 0;
  virtual void Write(const int16_t* frames, size_t count) = 0;
  // Frames written and not heard yet.
  virtual size_t Queued() = 0;
  // Drops what is queued: silence at once.
  virtual void Flush() = 0;
  // False once the device failed or stalled; nothing is heard then.
  virtual bool Working() = 0;
};

// A device that plays when told to: Play(n) hears the next n frames, and
// silence where fewer were written (an underrun), as a sound card would.
class TCaptureOutput : public IAudioOutput {
 public:
  explicit TCaptureOutput(int rate = 44100, size_t capacity = 2048)
      : rate_(rate), capacity_(capacity) {}
  int Rate() const override { return rate_; }
  size_t Room() override { return capacity_ - Queued(); }
  void Write(const int16_t* frames, size_t count) override;
  size_t Queued() override { return (queue_.size() - head_) / 2; }
  void Flush() override;
  bool Working() override { return true; }

  void Play(size_t frames);
  // Everything heard so far, interleaved stereo.
  const std::vector<int16_t>& Heard() const { return heard_; }
  size_t HeardFrames() const { return heard_.size() / 2; }
  size_t Capacity() const { return capacity_; }

 private:
  int rate_;
  size_t capacity_;
  std::vector<int16_t> queue_;
  size_t head_ = 0;  // values of queue_ already heard
  std::vector<int16_t> heard_;
};

}  // namespace player
