#include "player/sample_source.h"

#include "player/adpcm_source.h"
#include "player/mp3_source.h"

namespace player {

int RateOfCode(uint8_t code) {
  static constexpr int kRates[4] = {5512, 11025, 22050, 44100};
  return kRates[code & 3];
}

TPcmSource::TPcmSource(std::span<const uint8_t> data, const TSoundFormat& format)
    : data_(data), is16Bit_(format.Is16Bit) {
  rate_ = RateOfCode(format.Rate);
  channels_ = format.Stereo ? 2 : 1;
  frames_ = data.size() / (size_t(channels_) * (is16Bit_ ? 2 : 1));
}

size_t TPcmSource::Read(int16_t* out, size_t frames) {
  const size_t n = std::min(frames, frames_ - position_);
  const size_t values = n * size_t(channels_);
  const size_t first = position_ * size_t(channels_);
  if (is16Bit_) {
    const uint8_t* p = data_.data() + first * 2;
    for (size_t i = 0; i < values; ++i) out[i] = int16_t(p[2 * i] | p[2 * i + 1] << 8);
  } else {
    const uint8_t* p = data_.data() + first;
    for (size_t i = 0; i < values; ++i) out[i] = int16_t((p[i] - 128) * 256);
  }
  position_ += n;
  return n;
}

std::unique_ptr<TSampleSource> MakeSoundSource(const TSoundCharacter& sound) {
  const std::span<const uint8_t> data(sound.Data);
  switch (sound.Format.Format) {
    case 0:
    case 3:
      return std::make_unique<TPcmSource>(data, sound.Format);
    case 1:
      return std::make_unique<TAdpcmSource>(data, sound.Format, sound.SampleCount);
    case 2: {
      auto mp3 = std::make_unique<TMp3Source>(data, std::max<int>(sound.SeekSamples, 0));
      if (mp3->Channels() == 0) return nullptr;  // no frame to decode
      return mp3;
    }
    default:
      return nullptr;  // Nellymoser and others are not written by this system
  }
}

std::vector<int16_t> ReadAll(TSampleSource& source, size_t maxFrames) {
  std::vector<int16_t> all;
  std::vector<int16_t> chunk(4096 * size_t(std::max(source.Channels(), 1)));
  size_t total = 0;
  while (total < maxFrames) {
    const size_t want = std::min<size_t>(4096, maxFrames - total);
    const size_t got = source.Read(chunk.data(), want);
    if (got == 0) break;
    all.insert(all.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(got) * source.Channels());
    total += got;
  }
  return all;
}

}  // namespace player
