// Sounds in time with the timeline, heard through a capturing output that
// plays when the test says so: event sounds start with their frame (within
// one output buffer) and keep their length, SyncNoMultiple keeps a looping
// movie from starting its sound twice, a button's roll-over sound plays
// when the pointer comes onto it, and the frames follow a stream's audio.
// Movies come from the movie writer, as the preview gets them.
#include <gtest/gtest.h>

#include <functional>

#include "player/playback.h"
#include "player/sound_engine.h"
#include "player/sound_support.h"
#include "support/sound_data.h"
#include "swf/objects/flash_sound.h"
#include "swf/tags/sound_tags.h"

namespace {

using namespace player;
using vtest::Bytes;

constexpr int kRate = vtest::kRampRate;
constexpr size_t kBuffer = 2048;  // the capturing output's room
constexpr size_t kTick = 441;     // the host's timer: 10 ms

// A movie, its sound engine, timeline and frame clock on a capturing output.
struct TRig {
  explicit TRig(std::shared_ptr<const TMovie> movie, bool looping = true)
      : Out(kRate, kBuffer), Engine(&Out), Timeline(movie) {
    Timeline.Looping = looping;
    Engine.SetMovie(movie, looping);
    Timeline.Sounds = &Engine;
    Timeline.Start();
    Playback.Restart(0);
    Playback.Tick(0);
  }
  // The output plays tick frames, then the host's timer fires; wall time
  // runs wallPerDevice times the output's time (sound cards drift).
  void Run(double seconds, double wallPerDevice = 1.0, const std::function<void()>& each = {}) {
    for (size_t n = 0; n < size_t(seconds * kRate / kTick); ++n) {
      Out.Play(kTick);
      NowNs += int64_t(double(kTick) * 1e9 / kRate * wallPerDevice);
      Playback.Tick(NowNs);
      if (each) each();
    }
  }
  size_t Heard() const { return Out.HeardFrames(); }
  // Left channel of what was heard.
  int16_t At(size_t frame) const { return Out.Heard()[2 * frame]; }
  std::vector<size_t> StartsOfRamp() const {
    std::vector<size_t> starts;
    for (size_t i = 0; i < Heard(); ++i)
      if (At(i) == 1000) starts.push_back(i);
    return starts;
  }

  TCaptureOutput Out;
  TSoundEngine Engine;
  TTimeline Timeline;
  TPlayback Playback{Timeline, &Engine};
  int64_t NowNs = 0;
};

TEST(SoundEngine, EventSoundStartsWithItsFrameAndPlaysItsLength) {
  const size_t length = 8820;  // 0.2 s
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  const uint16_t id = movie.AddSound(vtest::RampWave(length)).GetCharacterID();
  movie.ShowFrame();
  movie.ShowFrame();
  movie.StartSound(id);  // in frame 3, due at 2/12 s
  for (int i = 0; i < 4; ++i) movie.ShowFrame();
  TRig rig(vtest::WrittenMovie(movie, "player-sound-event.swf"), false);
  rig.Run(1.0);

  const std::vector<size_t> starts = rig.StartsOfRamp();
  ASSERT_EQ(starts.size(), 1u);
  const size_t due = 2 * kRate / 12;
  EXPECT_GE(starts[0], due);
  EXPECT_LE(starts[0], due + kBuffer);
  for (size_t i = 0; i < length; ++i) ASSERT_EQ(rig.At(starts[0] + i), int16_t(1000 + i)) << i;
  EXPECT_EQ(rig.At(starts[0] + length), 0) << "and then it ends";
  EXPECT_TRUE(rig.Engine.Silent());
}

// A 0.6 s sound in the first frame of a 0.25 s loop: with SyncNoMultiple it
// plays once, and again at the first loop after its end (0.75 s); without,
// every loop starts it over the one still playing.
TEST(SoundEngine, SyncNoMultipleDoesNotStartAPlayingSoundAgain) {
  const size_t length = 26460;
  for (bool noMultiple : {true, false}) {
    SCOPED_TRACE(noMultiple);
    swf::TFlashMovie movie(0, 0, 100, 100, 12);
    const uint16_t id = movie.AddSound(vtest::RampWave(length)).GetCharacterID();
    movie.StartSound(id).SyncNoMultiple = noMultiple;
    for (int i = 0; i < 3; ++i) movie.ShowFrame();
    TRig rig(vtest::WrittenMovie(movie, "player-sound-nomultiple.swf"));
    rig.Run(1.2);
    int peak = 0;
    for (size_t i = 0; i < rig.Heard(); ++i) peak = std::max(peak, int(rig.At(i)));
    if (!noMultiple) {
      EXPECT_GT(peak, int(1000 + length)) << "loops overlap";
      continue;
    }
    EXPECT_EQ(peak, int(1000 + length - 1));
    const std::vector<size_t> starts = rig.StartsOfRamp();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(starts[0], kTick);
    EXPECT_GE(starts[1], size_t(0.75 * kRate));
    EXPECT_LE(starts[1], size_t(0.75 * kRate) + kBuffer);
  }
}

TEST(SoundEngine, RollOverSoundPlaysWhenThePointerComesOntoTheButton) {
  const size_t length = 2205;  // 50 ms
  TRig rig(vtest::RollOverSoundMovie(length));
  const TPointD on{500, 500}, off{1500, 1500};  // twips
  std::vector<size_t> moves;
  auto move = [&](TPointD p) {
    moves.push_back(rig.Heard());
    rig.Timeline.PointerMove(p);
    rig.Engine.Pump();  // the widget pumps after each pointer event
  };
  rig.Run(0.1);
  move(on);
  rig.Run(0.1);
  move({600, 600});  // moving on the button starts nothing
  rig.Run(0.1);
  move(off);
  rig.Run(0.1);
  move(on);
  rig.Run(0.1);

  const std::vector<size_t> starts = rig.StartsOfRamp();
  ASSERT_EQ(starts.size(), 2u);
  for (int i : {0, 1}) {
    const size_t due = moves[i == 0 ? 0 : 3];
    EXPECT_GE(starts[i], due);
    EXPECT_LE(starts[i], due + kBuffer);
  }
}

// A stream whose block for frame f holds nothing but the 8-bit value
// 129 + f % 100, so what is heard says which frame's audio it is.
std::shared_ptr<const TMovie> CodedStreamMovie(uint32_t frames, const std::string& name) {
  const size_t perFrame = 5512 / 12;  // the writer's samples a block
  Bytes data;
  for (uint32_t f = 0; f < frames; ++f) data.insert(data.end(), perFrame, uint8_t(129 + f % 100));
  const std::string wave = vtest::WriteTestFile(vtest::TestTempDir(), name + ".wav",
                                                vtest::PcmWave(1, 5512, 8, data));
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  movie.BackgroundSound().LoadFromFile(wave);
  for (uint32_t f = 0; f < frames; ++f) movie.ShowFrame();
  movie.MakeData();
  return std::make_shared<const TMovie>(ReadMovie(movie.SaveToBytes()));
}

int16_t Code(uint32_t frame) {
  return int16_t((1 + int(frame % 100)) * 256);
}

// Ten minutes of stream on an output 0.1 % slower than the wall clock: by
// the clock alone the frames would drift from the sound by more than a
// second (blocks of 459 samples at 5512 Hz are shorter than 1/12 s, and the
// device is slow); following the audio they stay within 50 ms.
TEST(SoundEngine, FramesFollowALongStreamsAudio) {
  const uint32_t frames = 7200;
  const auto movie = CodedStreamMovie(frames, "stream-10min");
  ASSERT_TRUE(movie->StreamSound);
  ASSERT_EQ(movie->StreamSound->Blocks.size(), frames);
  TRig rig(movie, false);
  std::vector<int64_t> shownAt(frames, -1), heardAt(frames, -1);
  shownAt[0] = 0;
  uint32_t nextHeard = 0;
  size_t scanned = 0;
  rig.Run(610, 1.001, [&] {
    const uint32_t f = rig.Timeline.CurrentFrame();
    if (shownAt[f] < 0) shownAt[f] = int64_t(rig.Heard());
    for (; scanned < rig.Heard(); ++scanned)
      if (nextHeard < frames && rig.At(scanned) == Code(nextHeard)) heardAt[nextHeard++] = int64_t(scanned);
  });
  EXPECT_EQ(nextHeard, frames) << "every frame's audio was heard";
  EXPECT_EQ(rig.Timeline.CurrentFrame(), frames - 1);
  EXPECT_FALSE(rig.Timeline.Playing());
  int64_t worst = 0;
  for (uint32_t f = 0; f < frames; ++f) {
    ASSERT_GE(shownAt[f], 0) << f;
    worst = std::max(worst, std::abs(shownAt[f] - heardAt[f]));
  }
  EXPECT_LE(worst, kRate / 20) << "50 ms";
  // The whole stream was heard, and then nothing.
  const size_t expected = size_t(frames) * 459 * kRate / 5512;
  EXPECT_NEAR(double(heardAt[frames - 1] + 459 * kRate / 5512), double(expected), 8.0 * 8);
}

TEST(SoundEngine, GotoFrameRestartsTheStreamAndStopSilencesAtOnce) {
  const auto movie = CodedStreamMovie(120, "stream-10s");
  TRig rig(movie);
  rig.Run(0.5);
  const size_t jump = rig.Heard();
  rig.Timeline.GotoFrame(80);
  rig.Playback.Tick(rig.NowNs);
  rig.Run(0.2);
  size_t first = 0;
  while (first < rig.Heard() && rig.At(first) != Code(80)) ++first;
  EXPECT_GE(first, jump);
  EXPECT_LE(first, jump + kBuffer) << "frame 80's block within one buffer";
  EXPECT_GE(rig.Timeline.CurrentFrame(), 80u);

  rig.Engine.StopAll();
  rig.Timeline.Stop();
  const size_t stop = rig.Heard();
  rig.Run(0.1);
  for (size_t i = stop; i < rig.Heard(); ++i) ASSERT_EQ(rig.At(i), 0) << i - stop;
}

TEST(SoundEngine, MutedTheSoundGoesOnUnheard) {
  const auto movie = CodedStreamMovie(24, "stream-2s");
  TRig rig(movie, false);
  rig.Engine.SetMuted(true);
  rig.Run(1.0);
  // What was written before (one buffer at most) is still heard.
  for (size_t i = kBuffer; i < rig.Heard(); ++i) ASSERT_EQ(rig.At(i), 0) << i;
  EXPECT_TRUE(rig.Playback.FollowingStream()) << "the stream still drives the frames";
  EXPECT_NEAR(rig.Timeline.CurrentFrame(), 12, 1);
}

TEST(SoundEngine, WithoutAnOutputTheMoviePlaysSilently) {
  const auto movie = CodedStreamMovie(24, "stream-2s-silent");
  TTimeline timeline(movie);
  TSoundEngine engine(nullptr);
  engine.SetMovie(movie, true);
  timeline.Sounds = &engine;
  timeline.Start();
  TPlayback playback(timeline, &engine);
  playback.Restart(0);
  playback.Tick(500'000'000);
  EXPECT_EQ(timeline.CurrentFrame(), 6u) << "by the clock";
  EXPECT_FALSE(engine.StreamFrame());
}

}  // namespace
