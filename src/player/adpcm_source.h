#pragma once
// The SWF ADPCM codec: a 2-bit code size (2 to 5 bits a sample), then packets
// of 4096 samples a channel, bit-packed without alignment. A packet starts
// with each channel's literal 16-bit sample and 6-bit step index; the codes
// of the other 4095 samples follow, the channels interleaved.
#include "player/sample_source.h"

namespace player {

class TAdpcmSource : public TSampleSource {
 public:
  // maxFrames 0: as many as the data holds (the last byte's padding bits may
  // then give a sample too; a DefineSound's sample count cuts it).
  TAdpcmSource(std::span<const uint8_t> data, const TSoundFormat& format, size_t maxFrames);
  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override;

 private:
  struct TChannel {
    int Sample = 0;
    int Index = 0;
  };
  bool HasBits(size_t n) const { return bitPos_ + n <= data_.size() * 8; }
  unsigned Bits(unsigned n);
  // One sample frame into out; false at the end of the data.
  bool DecodeFrame(int16_t* out);
  static int16_t Step(TChannel& c, unsigned code, unsigned bits);

  std::span<const uint8_t> data_;
  size_t maxFrames_;
  size_t bitPos_ = 0, produced_ = 0;
  unsigned codeBits_ = 0;  // 0 until the code size is read
  unsigned inPacket_ = 0;  // sample frames of the current packet so far
  TChannel state_[2];
};

}  // namespace player
