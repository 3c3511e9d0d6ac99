#pragma once
// MPEG audio through libmpg123, fed from memory. The output is always
// stereo 16-bit at the stream's own rate (mono is doubled), so the layout
// never changes inside a sound; a change of rate ends the sound.
#include <memory>

#include "player/sample_source.h"

struct mpg123_handle_struct;

namespace player {

class TMp3Decoder {
 public:
  TMp3Decoder();
  ~TMp3Decoder();
  TMp3Decoder(const TMp3Decoder&) = delete;
  TMp3Decoder& operator=(const TMp3Decoder&) = delete;

  void Feed(std::span<const uint8_t> bytes);
  // Decodes the next MPEG frame of what was fed; false when it needs more
  // data or when the stream broke off (Broken).
  bool NextFrame();
  // The stereo samples of the frame NextFrame decoded (the decoder's memory).
  std::span<const int16_t> Frame() const { return frame_; }
  int Rate() const { return rate_; }
  bool Broken() const { return broken_; }

 private:
  mpg123_handle_struct* handle_ = nullptr;
  std::span<const int16_t> frame_;
  int rate_ = 0;
  bool broken_ = false;
};

// An MP3 event sound: MPEG frames with any tags around them; skipFrames
// samples (the DefineSound's seek) are dropped at the start.
class TMp3Source : public TSampleSource {
 public:
  TMp3Source(std::span<const uint8_t> data, size_t skipFrames);
  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override;
  // Channels() is 0 when the data holds no frame the decoder can read.

 private:
  // The next frame (feeding the data in pieces), less what is to be skipped.
  bool Advance();

  std::span<const uint8_t> data_;
  size_t skip_;
  std::unique_ptr<TMp3Decoder> decoder_;
  size_t fed_ = 0, toSkip_ = 0;
  std::span<const int16_t> frame_;  // stereo samples not yet read
};

}  // namespace player
