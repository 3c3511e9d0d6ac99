// The sound decoders against independent decoders: PCM and ADPCM fixtures
// against the samples sox and ffmpeg read from them (tests/data/sound/
// make_fixtures.sh), MP3 files against the mpg123 command line, and
// ADPCM codes worked out by hand from the codec's description. The PCM and
// MP3 sounds reach the decoders through the movie writer and the reader.
#include <gtest/gtest.h>

#include "player/adpcm_source.h"
#include "player/mp3_source.h"
#include "player/sample_source.h"
#include "player/stream_source.h"
#include "player/sound_support.h"
#include "swf/objects/flash_sound.h"

namespace {

using namespace player;
using vtest::Bytes;

std::string SoundData(const std::string& name) {
  return vtest::TestDataPath("sound/" + name);
}

// The first event sound of a movie holding only the file's DefineSound.
std::shared_ptr<const TMovie> MovieWithSound(const std::string& path, uint16_t& id) {
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  id = movie.AddSound(path).GetCharacterID();
  movie.ShowFrame();
  return vtest::WrittenMovie(movie, "player-sound-" + std::filesystem::path(path).stem().string() + ".swf");
}

std::vector<int16_t> DecodeWritten(const std::string& path, int& rate, int& channels) {
  uint16_t id = 0;
  const auto movie = MovieWithSound(path, id);
  const auto* sound = static_cast<const TSoundCharacter*>(movie->Find(id));
  EXPECT_TRUE(sound && sound->Kind == TCharacterKind::Sound);
  if (!sound) return {};
  std::unique_ptr<TSampleSource> source = MakeSoundSource(*sound);
  EXPECT_TRUE(source);
  if (!source) return {};
  rate = source->Rate();
  channels = source->Channels();
  return ReadAll(*source);
}

TEST(SoundDecoder, PcmWavesGiveTheSamplesSoxReads) {
  struct Case {
    const char* name;
    int rate, channels;
  } cases[] = {
      {"pcm-u8-mono-5k", 5512, 1},
      {"pcm-s16-stereo-11k", 11025, 2},
      {"pcm-u8-stereo-22k", 22050, 2},
      {"pcm-s16-mono-44k", 44100, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int rate = 0, channels = 0;
    const auto decoded = DecodeWritten(SoundData(std::string(c.name) + ".wav"), rate, channels);
    EXPECT_EQ(rate, c.rate);
    EXPECT_EQ(channels, c.channels);
    EXPECT_EQ(decoded, vtest::Samples16(vtest::ReadFile(SoundData(std::string(c.name) + ".s16"))));
  }
}

TEST(SoundDecoder, AdpcmGivesTheSamplesFfmpegReads) {
  struct Case {
    const char* name;
    bool stereo;
  } cases[] = {
      {"adpcm-4bit-mono-22k-tone", false},  // ffmpeg's own encoding of a tone
      {"adpcm-2bit-mono", false},
      {"adpcm-3bit-stereo", true},
      {"adpcm-4bit-stereo", true},
      {"adpcm-5bit-mono", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes data = vtest::ReadFile(SoundData(std::string(c.name) + ".adpcm"));
    TAdpcmSource source(data, {1, 2, true, c.stereo}, 0);
    const auto decoded = ReadAll(source);
    EXPECT_EQ(decoded, vtest::Samples16(vtest::ReadFile(SoundData(std::string(c.name) + ".s16"))));
    source.Rewind();
    EXPECT_EQ(ReadAll(source), decoded) << "a loop starts again from the code size";
  }
}

// Codes worked out by hand: the difference is step/2^(n-1) plus step,
// step/2, ... for each magnitude bit, the index moves by the table of the
// code size, and samples stop at the 16-bit limits.
TEST(SoundDecoder, AdpcmCodesByHand) {
  struct Case {
    const char* what;
    const char* bits;  // '0'/'1' and spaces
    bool stereo;
    size_t maxFrames;
    std::vector<int16_t> samples;
  } cases[] = {
      // 2 bits; sample 256, index 0 (step 7); 01: +3+7 (index 2, step 9);
      // 11: -(4+9) (index 4, step 11); 00: +5. The last byte's two padding
      // bits would be a fifth sample: the sample count cuts it.
      {"2-bit", "00 0000000100000000 000000 01 11 00 00", false, 4, {256, 266, 253, 258}},
      // 5 bits; sample -2, index 10 (step 19); 01101: +1+19+9+2 (index
      // +10 for magnitude 13: 20, step 50); 10000: -3.
      {"5-bit", "11 1111111111111110 001010 01101 10000", false, 3, {-2, 29, 26}},
      // 4 bits, stereo; left 32000 at index 63 (step 3024), right -32000 at
      // index 0 (step 7); 0111 takes the left past the top, 1111 the right
      // down by 0+7+3+1.
      {"4-bit stereo clamps",
       "10 0111110100000000 111111 1000001100000000 000000 0111 1111",
       true, 2, {32000, -32000, 32767, -32011}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes data;
    int n = 0;
    for (const char* p = c.bits; *p; ++p) {
      if (*p == ' ') continue;
      if (n % 8 == 0) data.push_back(0);
      if (*p == '1') data.back() |= uint8_t(0x80 >> (n % 8));
      ++n;
    }
    TAdpcmSource source(data, {1, 0, true, c.stereo}, c.maxFrames);
    EXPECT_EQ(ReadAll(source), c.samples);
  }
}

TEST(SoundDecoder, Mp3MatchesTheMpg123CommandLine) {
  if (!vtest::HasTool("mpg123")) GTEST_SKIP() << "mpg123 is not installed (make deps)";
  struct Case {
    std::string path;
    int rate;
  } cases[] = {
      {vtest::TestDataPath("cbr-128k-44k-stereo-id3v23-id3v11.mp3"), 44100},
      {vtest::TestDataPath("mono-64k-44k.mp3"), 44100},
      {vtest::TestDataPath("mpeg2-64k-22k.mp3"), 22050},
      {vtest::SamplesMediaPath("tune.mp3"), 22050},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    int rate = 0, channels = 0;
    const auto decoded = DecodeWritten(c.path, rate, channels);
    EXPECT_EQ(rate, c.rate);
    ASSERT_EQ(channels, 2);  // mono is doubled
    // --mono doubles nothing: the player's left channel is compared.
    const auto reference =
        vtest::Samples16(vtest::CommandOutput("mpg123 -q -s --no-gapless -m '" + c.path + "'"));
    ASSERT_GT(reference.size(), 1000u);
    ASSERT_EQ(decoded.size(), reference.size() * 2);
    int worst = 0;
    for (size_t i = 0; i < reference.size(); ++i)
      worst = std::max({worst, std::abs(decoded[2 * i] + decoded[2 * i + 1] - 2 * reference[i]) / 2});
    EXPECT_LE(worst, 1) << "one step of rounding at most";
  }
}

TEST(SoundDecoder, Mp3SeekSamplesDropTheStart) {
  const Bytes file = vtest::ReadFile(vtest::SamplesMediaPath("tune.mp3"));
  TMp3Source whole(file, 0), seeked(file, 1000);
  const auto all = ReadAll(whole), rest = ReadAll(seeked);
  ASSERT_EQ(rest.size() + 2000, all.size());
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), all.begin() + 2000));
}

// The writer cuts an MP3 stream into blocks of whole frames by its own
// count; played from the first frame, the blocks decode as the file does.
TEST(SoundDecoder, Mp3StreamBlocksDecodeAsTheWholeFile) {
  const std::string tune = vtest::SamplesMediaPath("tune.mp3");
  swf::TFlashMovie writer(0, 0, 100, 100, 12);
  writer.BackgroundSound().LoadFromFile(tune);
  writer.BackgroundSound().Loop = false;
  for (int i = 0; i < 30; ++i) writer.ShowFrame();
  const auto movie = vtest::WrittenMovie(writer, "player-sound-mp3-stream.swf");
  ASSERT_TRUE(movie->StreamSound);
  TStreamSource stream(*movie->StreamSound, movie->FrameCount, 0, false);
  const Bytes file = vtest::ReadFile(tune);
  TMp3Source whole(file, 0);
  EXPECT_EQ(stream.Rate(), 22050);
  const auto fromBlocks = ReadAll(stream), fromFile = ReadAll(whole);
  ASSERT_GE(fromBlocks.size(), fromFile.size() - 2 * 1152 * 2);
  EXPECT_TRUE(std::equal(fromFile.begin(), fromFile.begin() + std::ptrdiff_t(fromFile.size() - 2 * 1152 * 2),
                         fromBlocks.begin()));
  EXPECT_EQ(stream.FrameAt(0), 0u);
  EXPECT_EQ(stream.FrameAt(12 * 1837), 12u) << "each block's audio starts at its frame's time";
}

TEST(SoundDecoder, DamagedDataEndsTheSoundQuietly) {
  const Bytes junk(5000, 0xFF);
  TSoundCharacter mp3;
  mp3.Format = {2, 3, true, true};
  mp3.Data = junk;
  EXPECT_EQ(MakeSoundSource(mp3), nullptr) << "no MPEG frame in it";
  const Bytes tune = vtest::ReadFile(vtest::SamplesMediaPath("tune.mp3"));
  mp3.Data.assign(tune.begin(), tune.begin() + std::ptrdiff_t(tune.size() / 2));
  auto half = MakeSoundSource(mp3);
  ASSERT_TRUE(half);
  EXPECT_GT(ReadAll(*half).size(), 0u) << "a cut file plays what it has";

  TSoundCharacter pcm;
  pcm.Format = {3, 0, true, true};
  pcm.Data = {1, 2, 3, 4, 5, 6, 7};  // one whole stereo frame and a piece
  EXPECT_EQ(ReadAll(*MakeSoundSource(pcm)).size(), 2u);
  TSoundCharacter adpcm;
  adpcm.Format = {1, 0, true, false};
  adpcm.Data = {0x80};  // a code size and no packet
  adpcm.SampleCount = 100000;
  EXPECT_TRUE(ReadAll(*MakeSoundSource(adpcm)).empty());
  TSoundCharacter nellymoser;
  nellymoser.Format = {6, 0, true, false};
  EXPECT_EQ(MakeSoundSource(nellymoser), nullptr);
}

}  // namespace
