#include "media/wave_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "media/media_error.h"
#include "support/bytes.h"
#include "support/sound_data.h"

namespace {

using media::TMemorySource;
using media::TWaveReader;
using vtest::Bytes;
using vtest::Concat;
using vtest::RiffWave;
using vtest::WaveFormat;

TWaveReader ReadWave(const Bytes& file, const std::string& name = "sound.wav") {
  return TWaveReader(name, TMemorySource(file));
}

void ExpectEmpty(const TWaveReader& r) {
  EXPECT_EQ(r.FormatTag, 0);
  EXPECT_EQ(r.Channels, 0);
  EXPECT_EQ(r.SamplesPerSec, 0u);
  EXPECT_EQ(r.DataOffset, 0);
  EXPECT_EQ(r.DataSize, 0);
  EXPECT_EQ(r.SampleCount, 0);
  EXPECT_EQ(r.Duration, 0);
}

TEST(WaveReader, ReadsPcmFormatsAndCountsSamples) {
  struct Row {
    const char* what;
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    size_t dataBytes;
    int32_t samples;
    double duration;
  };
  const Row rows[] = {
      {"16-bit stereo, one second", 2, 44100, 16, 44100 * 4, 44100, 1.0},
      {"8-bit mono, one second", 1, 11025, 8, 11025, 11025, 1.0},
      {"16-bit mono, odd data size", 1, 22050, 16, 2205 * 2 + 1, 2205, 0.1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const TWaveReader wave =
        ReadWave(vtest::PcmWave(r.channels, r.rate, r.bits, Bytes(r.dataBytes, 0x80)));
    EXPECT_EQ(wave.FormatTag, 1);
    EXPECT_EQ(wave.Channels, r.channels);
    EXPECT_EQ(wave.SamplesPerSec, r.rate);
    EXPECT_EQ(wave.BitsPerSample, r.bits);
    EXPECT_EQ(wave.FmtOffset, 20);
    EXPECT_EQ(wave.FmtSize, 16);
    EXPECT_EQ(wave.DataOffset, 44);
    EXPECT_EQ(wave.DataSize, int32_t(r.dataBytes));
    EXPECT_EQ(wave.SampleCount, r.samples);
    EXPECT_DOUBLE_EQ(wave.Duration, r.duration);
    EXPECT_EQ(wave.SamplesPerFrame, 0);
  }
}

TEST(WaveReader, WalksChunksInAnyOrderWithOddSizesPadded) {
  const Bytes pcm = WaveFormat(1, 1, 8000, 8);
  Bytes longFormat = Concat(WaveFormat(0xFFFE, 2, 48000, 24), Bytes(300, 0));
  struct Row {
    const char* what;
    std::vector<vtest::RiffChunk> chunks;
    int32_t fmtOffset, fmtSize, dataOffset, dataSize;
    uint16_t channels;
  };
  const Row rows[] = {
      // "LIST" of 3 bytes is followed by a pad byte: "fmt " data at 12+8+4+8.
      {"odd chunk first",
       {{"LIST", Bytes(3, 1)}, {"fmt ", pcm}, {"data", Bytes(5, 0)}},
       32,
       16,
       56,
       5,
       1},
      {"data before fmt", {{"data", Bytes(7, 0)}, {"fmt ", pcm}}, 36, 16, 20, 7, 1},
      {"18-byte extended record",
       {{"fmt ", Concat(pcm, Bytes(2, 0))}, {"data", Bytes(8, 0)}},
       20,
       18,
       46,
       8,
       1},
      {"record past 256 bytes",
       {{"fmt ", longFormat}, {"data", Bytes(12, 0)}},
       20,
       316,
       344,
       12,
       2},
      {"no data chunk", {{"fmt ", pcm}, {"fact", Bytes(4, 0)}}, 20, 16, 0, 0, 1},
      {"\"data\" in a LIST is not the sound",
       {{"LIST", vtest::hex("64 61 74 61 00 00 00 00")}, {"fmt ", pcm}},
       36,
       16,
       0,
       0,
       1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const TWaveReader wave = ReadWave(RiffWave(r.chunks));
    EXPECT_EQ(wave.FmtOffset, r.fmtOffset);
    EXPECT_EQ(wave.FmtSize, r.fmtSize);
    EXPECT_EQ(wave.DataOffset, r.dataOffset);
    EXPECT_EQ(wave.DataSize, r.dataSize);
    EXPECT_EQ(wave.Channels, r.channels);
  }
}

TEST(WaveReader, LyingSizesAreCutToTheFile) {
  // "data" claims 1000 bytes, 10 are there.
  Bytes file = vtest::PcmWave(1, 8000, 8, Bytes(10, 0));
  file[40] = 0xE8, file[41] = 0x03;
  TWaveReader wave = ReadWave(file);
  EXPECT_EQ(wave.DataOffset, 44);
  EXPECT_EQ(wave.DataSize, 10);
  EXPECT_EQ(wave.SampleCount, 10);

  // RIFF size and "data" size of 0xFFFFFFFF, as streaming writers leave them.
  file[4] = file[5] = file[6] = file[7] = 0xFF;
  file[40] = file[41] = file[42] = file[43] = 0xFF;
  wave = ReadWave(file);
  EXPECT_EQ(wave.DataSize, 10);
  EXPECT_EQ(wave.Channels, 1);
}

TEST(WaveReader, FilesWithoutAWaveFormGiveAnEmptyRecord) {
  Bytes avi = vtest::PcmWave(1, 8000, 8, Bytes(10, 0));
  std::copy_n("AVI ", 4, avi.begin() + 8);
  const Bytes rows[] = {
      Bytes(),
      vtest::hex("52 49 46 46 04"),                 // cut inside the RIFF header
      vtest::hex("52 49 46 46 02 00 00 00 57 41"),  // form type cut
      avi,
      Bytes(100, 'x'),
  };
  for (const Bytes& file : rows) {
    SCOPED_TRACE(
        vtest::ToHex(Bytes(file.begin(), file.begin() + std::min<size_t>(12, file.size()))));
    ExpectEmpty(ReadWave(file));
  }
}

TEST(WaveReader, UnusableFormatsFailNamingTheFile) {
  struct Row {
    const char* what;
    Bytes file;
  };
  const Row rows[] = {
      {"0 channels", vtest::PcmWave(0, 8000, 8, Bytes(10, 0))},
      {"0 bits per sample", vtest::PcmWave(1, 8000, 0, Bytes(10, 0))},
      {"0 sample rate", vtest::PcmWave(1, 0, 8, Bytes(10, 0))},
      {"no format chunk", RiffWave({{"data", Bytes(10, 0)}})},
      {"format chunk cut short", RiffWave({{"fmt ", Bytes(4, 1)}, {"data", Bytes(10, 0)}})},
      {"MPEG tag without frames",
       RiffWave({{"fmt ", WaveFormat(0x55, 2, 44100, 0)}, {"data", Bytes(3000, 0)}})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    try {
      ReadWave(r.file, "/music/broken.wav");
      ADD_FAILURE() << "no error";
    } catch (const media::TMediaError& e) {
      EXPECT_NE(std::string(e.what()).find("/music/broken.wav"), std::string::npos) << e.what();
    }
  }
}

TEST(WaveReader, ADPCMRecordGivesItsFields) {
  const Bytes format = Concat(WaveFormat(2, 1, 22050, 4), Bytes(34, 0));
  const TWaveReader wave = ReadWave(RiffWave({{"fmt ", format}, {"data", Bytes(1000, 0)}}));
  EXPECT_EQ(wave.FormatTag, 2);
  EXPECT_EQ(wave.BitsPerSample, 4);
  EXPECT_EQ(wave.SampleCount, 2000);
}

TEST(WaveReader, MPEGDataInAWaveFileKeepsTheDataChunk) {
  const Bytes frames = vtest::MpegFrames(0xFFF380C0, 208, 10);  // MPEG 2 Layer III mono 64k
  const Bytes file =
      RiffWave({{"fmt ", Concat(WaveFormat(0x55, 2, 44100, 0), Bytes(2, 0))}, {"data", frames}});
  const TWaveReader wave = ReadWave(file);
  EXPECT_EQ(wave.FormatTag, 0x55);
  EXPECT_EQ(wave.DataOffset, 12 + 8 + 18 + 8);
  EXPECT_EQ(wave.DataSize, 2080);
  EXPECT_EQ(wave.Channels, 1);  // from the frames, not the record
  EXPECT_EQ(wave.SamplesPerSec, 22050u);
  EXPECT_EQ(wave.BitsPerSample, 16);
  EXPECT_EQ(wave.SamplesPerFrame, 576);
  EXPECT_EQ(wave.FrameSize, 208);
  EXPECT_EQ(wave.BitRate, 64);
  // Position counts in the searched buffer, which starts at the file start.
  EXPECT_EQ(wave.FrameCount, (file.size() - 46) / 208);
  EXPECT_DOUBLE_EQ(wave.Duration, (file.size() - 46) * 8 / 64.0 / 1000);
  EXPECT_EQ(wave.SampleCount, int32_t(std::nearbyint(22050 * wave.Duration)));
}

TEST(WaveReader, PlainMP3FilesCoverTheWholeFile) {
  struct Row {
    const char* file;
    uint16_t channels, samplesPerFrame, frameSize, frameCount, bitRate;
    uint32_t rate;
    int32_t size;
  };
  const Row rows[] = {
      {"cbr-128k-44k-stereo-id3v23-id3v11.mp3", 2, 1152, 417, 14, 128, 44100, 6195},
      {"vbr-xing-44k.mp3", 2, 1152, 417, 8, 86, 44100, 3646},
      {"mpeg2-64k-22k.mp3", 2, 576, 208, 15, 64, 22050, 3133},
      {"mono-64k-44k.mp3", 1, 1152, 208, 14, 64, 44100, 2924},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    const TWaveReader wave(vtest::TestDataPath(r.file));
    EXPECT_EQ(wave.FormatTag, 336);
    EXPECT_EQ(wave.DataOffset, 0);
    EXPECT_EQ(wave.DataSize, r.size);
    EXPECT_EQ(wave.Channels, r.channels);
    EXPECT_EQ(wave.SamplesPerSec, r.rate);
    EXPECT_EQ(wave.BitsPerSample, 16);
    EXPECT_EQ(wave.SamplesPerFrame, r.samplesPerFrame);
    EXPECT_EQ(wave.FrameSize, r.frameSize);
    EXPECT_EQ(wave.FrameCount, r.frameCount);
    EXPECT_EQ(wave.BitRate, r.bitRate);
    EXPECT_EQ(wave.SampleCount, int32_t(std::nearbyint(r.rate * wave.Duration)));
    EXPECT_GT(wave.Duration, 0.3);
  }
}

TEST(WaveReader, LayerIIAt32kHzHas1152SamplesPerFrame) {
  const Bytes file = vtest::MpegFrames(0xFFFD8800, 576, 8);
  const TWaveReader wave = ReadWave(file, "tone.mp3");
  EXPECT_EQ(wave.SamplesPerFrame, 1152);
  EXPECT_EQ(wave.SamplesPerSec, 32000u);
  EXPECT_EQ(wave.FrameCount, 8);
}

TEST(WaveReader, TheExtensionChoosesThePath) {
  const std::string dir = vtest::TestTempDir();
  const vtest::Bytes mp3 = vtest::ReadFile(vtest::TestDataPath("mono-64k-44k.mp3"));
  struct Row {
    std::string name;
    bool analysed;
  };
  const Row rows[] = {{"song.mp3", true},   {"SONG.MP3", true},   {"song.Mp3", true},
                      {"song.mp3x", false}, {"song.wave", false}, {"song", false},
                      {"x.mp3.d", false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const TWaveReader wave(vtest::WriteTestFile(dir, r.name, mp3));
    if (r.analysed) {
      EXPECT_EQ(wave.FormatTag, 336);
    } else {
      ExpectEmpty(wave);
    }
  }
}

TEST(WaveReader, MissingFiles) {
  const std::string dir = vtest::TestTempDir();
  ExpectEmpty(TWaveReader(dir + "/none.wav"));
  EXPECT_THROW(TWaveReader(dir + "/none.mp3"), media::TMediaError);
  // A text file named .mp3 holds no frame.
  EXPECT_THROW(TWaveReader(vtest::WriteTestFile(dir, "notes.mp3", Bytes(500, 'a'))),
               media::TMediaError);
}

}  // namespace
