// libFuzzer target for the sound decoders with hostile sound data: the
// first byte picks the format (PCM, ADPCM, MP3) and the flags, the rest is
// a DefineSound's data, and also a stream's blocks (cut every 300 bytes);
// both are decoded and mixed. Nothing may crash, hang or run unbounded.
//   make fuzz && build/fuzz/fuzz/sound_decoder_fuzz fuzz/corpus/sound_decoder -max_total_time=600
#include <cstdint>
#include <memory>
#include <vector>

#include "player/mixer.h"
#include "player/sample_source.h"
#include "player/stream_source.h"

namespace {

constexpr size_t kMaxFrames = 1 << 14;  // a third of a second: long enough for several blocks

void Mix(std::unique_ptr<player::TSampleSource> source) {
  if (!source) return;
  player::TMixer mixer(44100);
  mixer.Add(std::make_unique<player::TVoice>(std::move(source), 44100, 1, 2));
  std::vector<int16_t> out(2 * 4096);
  for (size_t n = 0; n < kMaxFrames && !mixer.Silent(); n += 4096) mixer.Mix(out.data(), 4096);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static constexpr uint8_t kFormats[4] = {0, 1, 2, 3};
  player::TSoundFormat format{kFormats[data[0] & 3], uint8_t(data[0] >> 2 & 3),
                              bool(data[0] & 0x10), bool(data[0] & 0x20)};
  const std::vector<uint8_t> rest(data + 1, data + size);

  player::TSoundCharacter sound;
  sound.Format = format;
  sound.SampleCount = data[0] & 0x40 ? 100 : 0;
  sound.SeekSamples = int16_t(data[0] & 0x80 ? 1152 : 0);
  sound.Data = rest;
  Mix(player::MakeSoundSource(sound));

  player::TStreamSound stream;
  stream.Format = format;
  stream.SamplesPerFrame = 1837;
  stream.LatencySeek = sound.SeekSamples;
  uint32_t frame = 0;
  for (size_t at = 0; at < rest.size(); at += 300) {
    const auto from = rest.begin() + std::ptrdiff_t(at);
    stream.Blocks.push_back(
        {frame, {from, from + std::ptrdiff_t(std::min<size_t>(300, rest.size() - at))}});
    frame += 1 + (rest[at] & 1);  // now and then a frame without a block
  }
  const uint32_t frames = stream.Blocks.empty() ? 1 : stream.Blocks.back().Frame + 2;
  Mix(std::make_unique<player::TStreamSource>(stream, frames, data[0] & 1, true));
  return 0;
}
