// Decoding and mixing one second of the media sample's sounds (its MP3
// background tune with the roll-over click over it, and the tune as a
// stream), as the preview does while it plays. Goal: under 5 ms per second
// of audio (half a percent of one core), so playback never stutters on a
// busy machine.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "player/mixer.h"
#include "player/sample_source.h"
#include "player/stream_source.h"
#include "player/swf_reader.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_sound.h"

namespace {

constexpr int kRate = 44100;

std::string Media(const char* name) {
  return (std::filesystem::path(VELLUMET_SOURCE_DIR) / "samples" / "media" / name).string();
}

// The sample's two sounds as DefineSounds (ids 1 and 2) and the tune as the stream.
const player::TMovie& SampleSounds() {
  static const player::TMovie movie = [] {
    swf::TFlashMovie m(0, 0, 468, 120, 12);
    m.AddSound(Media("tune.mp3"));
    m.AddSound(Media("click.wav"));
    m.BackgroundSound().LoadFromFile(Media("tune.mp3"));
    for (int i = 0; i < 24; ++i) m.ShowFrame();
    m.MakeData();
    return player::ReadMovie(m.SaveToBytes());
  }();
  return movie;
}

std::unique_ptr<player::TVoice> Voice(uint16_t id, int loops) {
  const auto& sound = static_cast<const player::TSoundCharacter&>(*SampleSounds().Find(id));
  return std::make_unique<player::TVoice>(player::MakeSoundSource(sound), kRate, id, loops);
}

void MixOneSecond(player::TMixer& mixer) {
  int16_t out[2 * 1024];
  for (int n = 0; n < kRate; n += 1024) mixer.Mix(out, 1024);
  benchmark::DoNotOptimize(out);
}

void BM_EventSoundsOneSecond(benchmark::State& state) {
  for (auto _ : state) {
    player::TMixer mixer(kRate);
    mixer.Add(Voice(1, 1));
    mixer.Add(Voice(2, 13));  // the 0.08 s click, over and over
    MixOneSecond(mixer);
  }
}
BENCHMARK(BM_EventSoundsOneSecond)->Unit(benchmark::kMillisecond);

void BM_StreamOneSecond(benchmark::State& state) {
  const player::TMovie& movie = SampleSounds();
  for (auto _ : state) {
    player::TMixer mixer(kRate);
    mixer.SetStream(std::make_unique<player::TVoice>(
        std::make_unique<player::TStreamSource>(*movie.StreamSound, movie.FrameCount, 0, true),
        kRate, 0, 1));
    MixOneSecond(mixer);
  }
}
BENCHMARK(BM_StreamOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
