#include "player/adpcm_source.h"

#include <algorithm>

namespace player {
namespace {

constexpr unsigned kPacketFrames = 4096;

// The IMA step sizes.
constexpr int kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes by the code's magnitude bits, for 2 to 5 bits a code.
constexpr int kIndex2[2] = {-1, 2};
constexpr int kIndex3[4] = {-1, -1, 2, 4};
constexpr int kIndex4[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndex5[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexTables[4] = {kIndex2, kIndex3, kIndex4, kIndex5};

}  // namespace

TAdpcmSource::TAdpcmSource(std::span<const uint8_t> data, const TSoundFormat& format,
                           size_t maxFrames)
    : data_(data), maxFrames_(maxFrames ? maxFrames : ~size_t(0)) {
  rate_ = RateOfCode(format.Rate);
  channels_ = format.Stereo ? 2 : 1;
}

void TAdpcmSource::Rewind() {
  bitPos_ = produced_ = 0;
  codeBits_ = inPacket_ = 0;
}

unsigned TAdpcmSource::Bits(unsigned n) {
  unsigned v = 0;
  for (unsigned i = 0; i < n; ++i, ++bitPos_)
    v = v << 1 | ((data_[bitPos_ >> 3] >> (7 - (bitPos_ & 7))) & 1);
  return v;
}

// The difference is the step times the magnitude bits read as a binary
// fraction (1, 1/2, 1/4, ...) plus half the last term, in integer steps.
int16_t TAdpcmSource::Step(TChannel& c, unsigned code, unsigned bits) {
  int step = kSteps[c.Index];
  const unsigned sign = 1u << (bits - 1);
  int diff = step >> (bits - 1);
  for (unsigned mask = sign >> 1; mask; mask >>= 1, step >>= 1)
    if (code & mask) diff += step;
  c.Sample = std::clamp(c.Sample + ((code & sign) ? -diff : diff), -32768, 32767);
  c.Index = std::clamp(c.Index + kIndexTables[bits - 2][code & (sign - 1)], 0, 88);
  return int16_t(c.Sample);
}

bool TAdpcmSource::DecodeFrame(int16_t* out) {
  if (codeBits_ == 0) {
    if (!HasBits(2)) return false;
    codeBits_ = Bits(2) + 2;
  }
  const unsigned channels = unsigned(channels_);
  if (inPacket_ == 0) {
    if (!HasBits(22 * channels)) return false;
    for (unsigned ch = 0; ch < channels; ++ch) {
      state_[ch].Sample = int16_t(Bits(16));
      state_[ch].Index = int(Bits(6));  // at most 63, within the table
      out[ch] = int16_t(state_[ch].Sample);
    }
  } else {
    if (!HasBits(codeBits_ * channels)) return false;
    for (unsigned ch = 0; ch < channels; ++ch)
      out[ch] = Step(state_[ch], Bits(codeBits_), codeBits_);
  }
  inPacket_ = (inPacket_ + 1) % kPacketFrames;
  return true;
}

size_t TAdpcmSource::Read(int16_t* out, size_t frames) {
  size_t n = 0;
  while (n < frames && produced_ < maxFrames_ && DecodeFrame(out + n * size_t(channels_))) {
    ++n;
    ++produced_;
  }
  return n;
}

}  // namespace player
