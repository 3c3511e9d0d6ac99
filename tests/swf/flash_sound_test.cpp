#include "swf/objects/flash_sound.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/media_error.h"
#include "support/bytes.h"
#include "support/sound_data.h"
#include "swf/objects/flash_movie.h"
#include "swf/tags/sound_tags.h"

namespace {

using swf::TFlashSound;
using vtest::Bytes;
using vtest::Concat;

struct Tag {
  uint16_t code;
  Bytes body;
};

// Splits a tag stream by its headers; fails the test when a declared length
// runs past the data, so every length is checked against what follows.
std::vector<Tag> SplitTags(const Bytes& stream) {
  std::vector<Tag> tags;
  size_t p = 0;
  while (p + 2 <= stream.size()) {
    const uint16_t word = uint16_t(stream[p] | stream[p + 1] << 8);
    p += 2;
    uint32_t length = word & 63;
    if (length == 63) {
      EXPECT_LE(p + 4, stream.size());
      if (p + 4 > stream.size()) break;
      length = uint32_t(stream[p]) | uint32_t(stream[p + 1]) << 8 | uint32_t(stream[p + 2]) << 16 |
               uint32_t(stream[p + 3]) << 24;
      p += 4;
    }
    EXPECT_LE(p + length, stream.size()) << "tag " << (word >> 6) << " overruns the stream";
    if (p + length > stream.size()) break;
    tags.push_back({uint16_t(word >> 6), Bytes(stream.begin() + p, stream.begin() + p + length)});
    p += length;
  }
  EXPECT_EQ(p, stream.size()) << "bytes after the last tag";
  return tags;
}

Bytes DefineSoundBytes(TFlashSound& sound) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  sound.WriteToStream(be);
  return stream.Bytes();
}

Bytes NextBlock(TFlashSound& sound) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  sound.WriteStreamBlock(be);
  return stream.Bytes();
}

Bytes Counting(size_t n, uint8_t first = 1) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) out[i] = uint8_t(first + i);
  return out;
}

class FlashSoundTest : public testing::Test {
 protected:
  std::string dir = vtest::TestTempDir();
  std::string Write(const std::string& name, const Bytes& data) {
    return vtest::WriteTestFile(dir, name, data);
  }
};

TEST_F(FlashSoundTest, LoadsTheFormatOfWaveAndMP3Files) {
  struct Row {
    const char* what;
    std::string file;
    uint8_t format, rate;
    bool is16Bit, stereo;
    int32_t samples;
    int minVersion;
  };
  const Bytes adpcmFormat = Concat(vtest::WaveFormat(2, 1, 22050, 4), Bytes(34, 0));
  const Row rows[] = {
      {"22050 Hz 16-bit mono", Write("a.wav", vtest::PcmWave(1, 22050, 16, Bytes(1000, 0))), 0, 2,
       true, false, 500, 1},
      {"11025 Hz 8-bit mono", Write("b.wav", vtest::PcmWave(1, 11025, 8, Bytes(1000, 0))), 0, 1,
       false, false, 1000, 1},
      {"44100 Hz 16-bit stereo", Write("c.wav", vtest::PcmWave(2, 44100, 16, Bytes(1000, 0))), 0, 3,
       true, true, 250, 1},
      {"8000 Hz: 5.5 kHz", Write("d.wav", vtest::PcmWave(1, 8000, 8, Bytes(10, 0))), 0, 0, false,
       false, 10, 1},
      {"48000 Hz has no code", Write("e.wav", vtest::PcmWave(1, 48000, 16, Bytes(10, 0))), 0, 0,
       true, false, 5, 1},
      {"ADPCM", Write("f.wav", vtest::RiffWave({{"fmt ", adpcmFormat}, {"data", Bytes(10, 0)}})), 1,
       2, true, false, 20, 1},
      {"MP3 44100 Hz stereo", vtest::TestDataPath("cbr-128k-44k-stereo-id3v23-id3v11.mp3"), 2, 3,
       true, true, -1, 4},
      {"MP3 22050 Hz", vtest::TestDataPath("mpeg2-64k-22k.mp3"), 2, 2, true, true, -1, 4},
      {"MP3 mono", vtest::TestDataPath("mono-64k-44k.mp3"), 2, 3, true, false, -1, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFlashSound sound(nullptr, r.file);
    ASSERT_TRUE(sound.HasDataFile());
    EXPECT_EQ(sound.SoundFormat, r.format);
    EXPECT_EQ(sound.SoundRate, r.rate);
    EXPECT_EQ(sound.Is16Bit, r.is16Bit);
    EXPECT_EQ(sound.Stereo, r.stereo);
    if (r.samples >= 0) {
      EXPECT_EQ(sound.SampleCount, r.samples);
    }
    EXPECT_EQ(sound.SeekSamples, 0);
    EXPECT_EQ(sound.MinVersion(), r.minVersion);
  }
}

TEST_F(FlashSoundTest, DefineSoundCarriesTheDataBytesOfTheFile) {
  TFlashSound wav(nullptr,
                  Write("tiny.wav", vtest::PcmWave(1, 22050, 16, vtest::hex("11 22 33 44 55 66"))));
  wav.SetCharacterID(1);
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("8D 03"        // DefineSound (14), 13 bytes
                                          "01 00"        // sound 1
                                          "0A"           // format 0, rate 22 kHz, 16-bit, mono
                                          "03 00 00 00"  // 3 samples
                                          "11 22 33 44 55 66"),
                               DefineSoundBytes(wav)));

  const std::string mp3Path = vtest::TestDataPath("cbr-128k-44k-stereo-id3v23-id3v11.mp3");
  TFlashSound mp3(nullptr, mp3Path);
  mp3.SetCharacterID(2);
  const std::vector<Tag> tags = SplitTags(DefineSoundBytes(mp3));
  ASSERT_EQ(tags.size(), 1u);
  const Bytes& body = tags[0].body;
  ASSERT_GT(body.size(), 9u);
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("02 00 2F"), Bytes(body.begin(), body.begin() + 3)));
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("00 00"), Bytes(body.begin() + 7, body.begin() + 9)));
  // The whole file, both ID3 tags included.
  EXPECT_TRUE(vtest::SameBytes(vtest::ReadFile(mp3Path), Bytes(body.begin() + 9, body.end())));
}

TEST_F(FlashSoundTest, SoundsWithoutUsableDataWriteOnlyTheHeader) {
  const Bytes adpcmFormat = Concat(vtest::WaveFormat(2, 1, 22050, 4), Bytes(34, 0));
  TFlashSound adpcm(
      nullptr,
      Write("adpcm.wav", vtest::RiffWave({{"fmt ", adpcmFormat}, {"data", Bytes(10, 7)}})));
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("87 03 00 00 1A 14 00 00 00"), DefineSoundBytes(adpcm)));

  TFlashSound missing(nullptr, dir + "/missing.wav");
  EXPECT_FALSE(missing.HasDataFile());
  EXPECT_TRUE(
      vtest::SameBytes(vtest::hex("87 03 00 00 00 00 00 00 00"), DefineSoundBytes(missing)));
}

TEST_F(FlashSoundTest, UnusableFilesFailAndLeaveTheSoundAsItWas) {
  TFlashSound sound(nullptr, Write("ok.wav", vtest::PcmWave(1, 11025, 8, Bytes(10, 0))));
  EXPECT_THROW(sound.LoadFromFile(Write("zero.wav", vtest::PcmWave(0, 11025, 8, Bytes(10, 0)))),
               media::TMediaError);
  EXPECT_THROW(sound.LoadFromFile(Write("text.mp3", Bytes(400, 'a'))), media::TMediaError);
  EXPECT_EQ(sound.SoundRate, 1);
  EXPECT_EQ(sound.DataSize, 10);
}

TEST_F(FlashSoundTest, StreamHeadAndBlockSizes) {
  struct Row {
    const char* what;
    uint16_t channels, bits;
    uint32_t rate;
    uint16_t samplesPerBlock;
    int32_t blockSize;
    Bytes head;
  };
  const Row rows[] = {
      {"22050 Hz 16-bit mono", 1, 16, 22050, 1837, 3672,
       vtest::hex("44 0B | 0A | 3A | 2D 07")},  // SoundStreamHead2, format 3, 22 kHz, 16-bit
      {"11025 Hz 8-bit mono", 1, 8, 11025, 918, 918, vtest::hex("44 0B | 04 | 34 | 96 03")},
      {"44100 Hz 16-bit stereo", 2, 16, 44100, 3675, 14696, vtest::hex("44 0B | 0F | 3F | 5B 0E")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFlashSound sound(nullptr,
                      Write("s.wav", vtest::PcmWave(r.channels, r.rate, r.bits, Bytes(100, 0))));
    swf::TSWFSoundStreamHead2 head;
    sound.FillStreamHead(head, 12);
    EXPECT_EQ(sound.SamplesPerBlock(), r.samplesPerBlock);
    EXPECT_EQ(sound.BlockSize(), r.blockSize);
    swf::TMemoryStream stream;
    swf::TBitsEngine be(stream);
    head.WriteToStream(be);
    EXPECT_TRUE(vtest::SameBytes(r.head, stream.Bytes()));
  }
}

TEST_F(FlashSoundTest, UncompressedBlocksEndInSilenceOrLoop) {
  struct Row {
    const char* what;
    size_t dataBytes;
    bool loop;
    std::vector<Bytes> blocks;  // bodies; the header is C8 04 (block of 8 bytes)
  };
  const Row rows[] = {
      {"ends inside a block, then nothing",
       20,
       false,
       {Counting(8, 1), Counting(8, 9), vtest::hex("11 12 13 14 00 00 00 00"), {}}},
      {"loops inside the block",
       20,
       true,
       {Counting(8, 1), Counting(8, 9), vtest::hex("11 12 13 14 01 02 03 04"), Counting(8, 5)}},
      {"ends on a block boundary", 16, false, {Counting(8, 1), Counting(8, 9), {}}},
      {"loops over data shorter than a block",
       3,
       true,
       {vtest::hex("01 02 03 01 02 03 01 02"), vtest::hex("03 01 02 03 01 02 03 01")}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFlashSound sound(nullptr, Write("s.wav", vtest::PcmWave(1, 8000, 8, Counting(r.dataBytes))));
    sound.Loop = r.loop;
    swf::TSWFSoundStreamHead2 head;
    sound.FillStreamHead(head, 1000);  // 8 samples of one byte per block
    ASSERT_EQ(sound.BlockSize(), 8);
    for (const Bytes& block : r.blocks) {
      const Bytes expected = block.empty() ? Bytes() : Concat(vtest::hex("C8 04"), block);
      EXPECT_TRUE(vtest::SameBytes(expected, NextBlock(sound)));
    }
  }
}

// Frames of 417 bytes at 44100 Hz, 1152 samples each; byte 4 of each frame
// holds its number from 1, so a block shows which frames it took.
Bytes NumberedMp3(size_t frames) {
  Bytes file = vtest::MpegFrames(0xFFFB9000, 417, frames);
  for (size_t f = 0; f < frames; ++f) file[f * 417 + 4] = uint8_t(f + 1);
  return file;
}

struct Mp3Block {
  uint16_t samples;
  int16_t seek;
  std::vector<int> frames;  // frame numbers in the block, 0 for a silent frame
};

Mp3Block ParseMp3Block(const Bytes& tagBytes) {
  const std::vector<Tag> tags = SplitTags(tagBytes);
  EXPECT_EQ(tags.size(), 1u);
  if (tags.size() != 1) return {};
  const Bytes& b = tags[0].body;
  EXPECT_EQ(tags[0].code, 19);
  Mp3Block block{uint16_t(b[0] | b[1] << 8), int16_t(b[2] | b[3] << 8), {}};
  EXPECT_EQ((b.size() - 4) % 417, 0u);
  for (size_t p = 4; p + 417 <= b.size(); p += 417) block.frames.push_back(b[p] ? b[p + 4] : 0);
  return block;
}

TEST_F(FlashSoundTest, MP3StreamBlocksFollowTheFrameRate) {
  TFlashSound sound(nullptr, Write("n.mp3", NumberedMp3(40)));
  swf::TSWFSoundStreamHead2 head;
  sound.FillStreamHead(head, 12);
  EXPECT_EQ(sound.SamplesPerBlock(), 3675);
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  head.WriteToStream(be);
  // MP3, 44 kHz, 16-bit, stereo; 3675 samples per block; latency seek 0.
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("46 0B 0F 2F 5B 0E 00 00"), stream.Bytes()));

  const int expectedFrames[] = {3, 3, 3, 3, 3, 4, 3, 3};
  const int16_t expectedSeeks[] = {0, 219, 438, 657, 876, 1095, 162, 381};
  int next = 1;
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const Mp3Block block = ParseMp3Block(NextBlock(sound));
    EXPECT_EQ(block.seek, expectedSeeks[i]);
    EXPECT_EQ(block.samples, expectedFrames[i] * 1152);
    ASSERT_EQ(int(block.frames.size()), expectedFrames[i]);
    for (int f : block.frames) EXPECT_EQ(f, next++);
  }
}

TEST_F(FlashSoundTest, MP3StreamAtTheEndOfTheFile) {
  struct Row {
    const char* what;
    Bytes file;
    bool loop;
    std::vector<std::vector<int>> blocks;  // empty list: nothing written
  };
  Bytes tagged = NumberedMp3(10);
  Bytes id3v1(128, 0);
  std::copy_n("TAG", 3, id3v1.begin());
  tagged = Concat(tagged, id3v1);
  const Row rows[] = {
      {"non-looping: silence, then nothing",
       NumberedMp3(10),
       false,
       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 0, 0}, {}}},
      {"looping: the first frames again",
       NumberedMp3(10),
       true,
       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 1, 2}, {3, 4, 5}}},
      // The tag keeps the data from running out: the blocks go on as silence.
      {"non-looping with a tag after the frames",
       tagged,
       false,
       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 0, 0}, {0, 0, 0}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFlashSound sound(nullptr, Write("n.mp3", r.file));
    sound.Loop = r.loop;
    ASSERT_EQ(sound.FrameCount, 10);
    swf::TSWFSoundStreamHead2 head;
    sound.FillStreamHead(head, 12.5f);  // 3528 samples: three frames a block for a while
    for (const std::vector<int>& frames : r.blocks) {
      const Bytes bytes = NextBlock(sound);
      if (frames.empty()) {
        EXPECT_TRUE(bytes.empty());
      } else {
        EXPECT_EQ(ParseMp3Block(bytes).frames, frames);
      }
    }
  }
}

TEST_F(FlashSoundTest, AssignSharesTheOpenFileUntilTheLastSoundIsGone) {
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  const auto before = openFiles();
  const std::string path = Write("shared.wav", vtest::PcmWave(1, 11025, 8, Counting(30)));
  Bytes expected;
  {
    auto copy = std::make_unique<TFlashSound>(nullptr, "");
    {
      TFlashSound source(nullptr, path);
      source.SetCharacterID(4);
      expected = DefineSoundBytes(source);
      copy->Assign(source);
      EXPECT_EQ(openFiles(), before + 1);
    }
    EXPECT_EQ(copy->GetCharacterID(), 4);
    EXPECT_TRUE(vtest::SameBytes(expected, DefineSoundBytes(*copy)));
  }
  EXPECT_EQ(openFiles(), before);
}

TEST_F(FlashSoundTest, MovieWithEventSoundsAndABackgroundStream) {
  const std::string wavPath = Write("click.wav", vtest::PcmWave(1, 22050, 16, Counting(200)));
  const std::string mp3Path = vtest::TestDataPath("cbr-128k-44k-stereo-id3v23-id3v11.mp3");
  swf::TFlashMovie movie(0, 0, 200, 100, 100);
  movie.SetCompressed(true);
  movie.SetVersion(6);
  swf::TSWFRGB& background = movie.BackgroundColor();
  background.R = background.G = background.B = 255;
  const uint16_t wavId = movie.AddSound(wavPath).GetCharacterID();
  const uint16_t mp3Id = movie.AddSound(mp3Path).GetCharacterID();
  movie.StartSound(mp3Id);
  movie.BackgroundSound().LoadFromFile(vtest::TestDataPath("mono-64k-44k.mp3"));
  for (int i = 0; i < 50; ++i) movie.ShowFrame();
  movie.MakeData();
  EXPECT_EQ(movie.FramesCount(), 50);

  const std::vector<Tag> tags = SplitTags(movie.BodyStream.Bytes());
  ASSERT_EQ(tags.size(), 2u + 2 + 1 + 100 + 1);
  EXPECT_EQ(tags[0].code, 9);   // SetBackgroundColor
  EXPECT_EQ(tags[1].code, 45);  // SoundStreamHead2 before every other tag
  EXPECT_EQ(tags[2].code, 14);
  EXPECT_TRUE(vtest::SameBytes(Counting(200), Bytes(tags[2].body.begin() + 7, tags[2].body.end())));
  EXPECT_EQ(tags[2].body[0], wavId);
  EXPECT_EQ(tags[3].code, 14);
  EXPECT_TRUE(vtest::SameBytes(vtest::ReadFile(mp3Path),
                               Bytes(tags[3].body.begin() + 9, tags[3].body.end())));
  EXPECT_TRUE(vtest::SameBytes(vtest::hex("02 00 00"), tags[4].body));  // StartSound of sound 2
  for (size_t i = 5; i < 105; i += 2) {
    SCOPED_TRACE(i);
    EXPECT_EQ(tags[i].code, 19);  // a stream block before each frame
    EXPECT_EQ(tags[i + 1].code, 1);
  }
  EXPECT_EQ(tags[105].code, 0);

  const Bytes swfBytes = movie.SaveToBytes();
  EXPECT_EQ(swfBytes[0], 'C');
  vtest::KeepSwfForParserCheck("sound_movie.swf", swfBytes);
}

}  // namespace
