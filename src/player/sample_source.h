#pragma once
// Decoded sound pulled in pieces: the formats this system writes (PCM, ADPCM
// and MP3) as interleaved 16-bit samples at the sound's own rate. Sources
// decode as they are read, so a long sound costs no memory and starting one
// costs no time. Plain C++.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "player/movie.h"

namespace player {

class TSampleSource {
 public:
  virtual ~TSampleSource() = default;
  // Up to frames sample frames (Channels() values each) into out; fewer only
  // at the end of the sound.
  virtual size_t Read(int16_t* out, size_t frames) = 0;
  // Back to the first sample, for the next loop.
  virtual void Rewind() = 0;
  int Rate() const { return rate_; }
  int Channels() const { return channels_; }

 protected:
  int rate_ = 44100;
  int channels_ = 1;
};

// The rate of an SWF rate code; 5.5 kHz is 5512 Hz, as players take it.
int RateOfCode(uint8_t code);

// Uncompressed samples: 8-bit unsigned or 16-bit little-endian, mono or stereo.
class TPcmSource : public TSampleSource {
 public:
  TPcmSource(std::span<const uint8_t> data, const TSoundFormat& format);
  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override { position_ = 0; }

 private:
  std::span<const uint8_t> data_;
  bool is16Bit_;
  size_t frames_, position_ = 0;
};

// The source of an event sound, reading the movie's data in place (the
// movie must outlive it); null for a format that cannot be played.
std::unique_ptr<TSampleSource> MakeSoundSource(const TSoundCharacter& sound);

// Every sample up to maxFrames frames (tests, benchmarks).
std::vector<int16_t> ReadAll(TSampleSource& source, size_t maxFrames = size_t(1) << 26);

}  // namespace player
