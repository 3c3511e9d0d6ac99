#include "media/mpeg_audio.h"

#include <gtest/gtest.h>

#include "support/bytes.h"
#include "support/sound_data.h"

namespace {

using media::TMemorySource;
using media::TMPEGaudio;
using vtest::Bytes;
using vtest::Concat;
using vtest::MpegFrames;

constexpr uint32_t kMpeg1Layer3_128k_44k = 0xFFFB9000;  // 417 bytes

std::array<uint8_t, 4> HeaderBytes(uint32_t h) {
  return {uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
}

// Analyses Bytes; an ID3v1 tag is not needed, but files under 128 bytes
// cannot be read, so the tests' files are always longer.
TMPEGaudio Analyse(const Bytes& file, bool expectRead = true) {
  TMPEGaudio mpeg;
  EXPECT_EQ(mpeg.ReadFromSource(TMemorySource(file)), expectRead);
  return mpeg;
}

TEST(MPEGFrame, DecodesHeadersOfEveryVersionAndLayer) {
  struct Row {
    const char* what;
    uint32_t header;
    uint16_t sampleRate, bitRate, length, samplesPerFrame;
    uint8_t vbrDeviation;
  };
  const Row rows[] = {
      {"MPEG 1 Layer III 128k 44100", 0xFFFB9000, 44100, 128, 417, 1152, 36},
      {"same with padding", 0xFFFB9200, 44100, 128, 418, 1152, 36},
      {"MPEG 1 Layer III mono", 0xFFFB90C0, 44100, 128, 417, 1152, 21},
      {"MPEG 1 Layer III 320k 48000", 0xFFFBE400, 48000, 320, 960, 1152, 36},
      {"MPEG 2 Layer III 64k 22050", 0xFFF38000, 22050, 64, 208, 576, 21},
      {"MPEG 2 Layer III mono", 0xFFF380C0, 22050, 64, 208, 576, 13},
      {"MPEG 2.5 Layer III 8k 8000", 0xFFE31800, 8000, 8, 72, 576, 21},
      {"MPEG 1 Layer II 128k 32000", 0xFFFD8800, 32000, 128, 576, 1152, 36},
      {"MPEG 1 Layer II 384k 32000 padded: the longest", 0xFFFDEA00, 32000, 384, 1729, 1152, 36},
      {"MPEG 1 Layer I 32k 32000 padded", 0xFFFF1A00, 32000, 32, 52, 384, 36},
      {"MPEG 2 Layer I 256k 16000", 0xFFF7E800, 16000, 256, 768, 384, 21},
      {"MPEG 2 Layer II 160k 24000", 0xFFF5E400, 24000, 160, 960, 1152, 21},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const auto bytes = HeaderBytes(r.header);
    ASSERT_TRUE(media::IsFrameHeader(bytes.data()));
    media::TMPEGFrameData frame;
    frame.Decode(bytes.data());
    EXPECT_EQ(frame.SampleRate(), r.sampleRate);
    EXPECT_EQ(frame.TableBitRate(), r.bitRate);
    EXPECT_EQ(frame.FrameLength(), r.length);
    EXPECT_EQ(frame.SamplesPerFrame(), r.samplesPerFrame);
    EXPECT_EQ(frame.VBRDeviation(), r.vbrDeviation);
  }
}

TEST(MPEGFrame, RejectsReservedAndFreeFormatHeaders) {
  struct Row {
    const char* what;
    uint32_t header;
  };
  const Row rows[] = {
      {"broken sync", 0xFFDB9000},       {"reserved version", 0xFFEB9000},
      {"reserved layer", 0xFFF99000},    {"free format", 0xFFFB0000},
      {"bit-rate index 15", 0xFFFBF000}, {"sample-rate index 3", 0xFFFB9C00},
      {"emphasis 2", 0xFFFB9002},        {"first byte not FF", 0xFEFB9000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_FALSE(media::IsFrameHeader(HeaderBytes(r.header).data()));
  }
}

TEST(MPEGaudio, SkipsTheID3v2TagAndDerivesConstantBitRateFigures) {
  // ID3v2.3 header of stated size 4086 (00 00 1F 76): audio starts at 4096.
  Bytes tag = vtest::hex("49 44 33 03 00 00 00 00 1F 76");
  tag.resize(4096, 0);
  const Bytes file = Concat(tag, MpegFrames(kMpeg1Layer3_128k_44k, 417, 20));
  const TMPEGaudio mpeg = Analyse(file);
  ASSERT_TRUE(mpeg.FrameInfo.Found);
  EXPECT_EQ(mpeg.ID3v2.TagSize, 4096u);
  EXPECT_EQ(mpeg.FileLength, int32_t(file.size()));
  EXPECT_EQ(mpeg.FrameInfo.Position, 0);
  EXPECT_EQ(mpeg.FrameInfo.Size, 417);
  EXPECT_FALSE(mpeg.VBRInfo.Found);
  EXPECT_EQ(mpeg.SampleRate(), 44100);
  EXPECT_EQ(mpeg.BitRate(), 128);
  EXPECT_EQ(mpeg.FrameCount(), 20u);
  EXPECT_DOUBLE_EQ(mpeg.Duration(), 20 * 417 * 8 / 128.0 / 1000);
}

TEST(MPEGaudio, TakesOnlyAHeaderConfirmedOneFrameLaterAndReportsThePositionInTheBuffer) {
  // An isolated FF FB 90 00 (its successor would lie at 417) before the real frames.
  Bytes junk(600, 0);
  junk[10] = 0xFF, junk[11] = 0xFB, junk[12] = 0x90;
  const TMPEGaudio mpeg = Analyse(Concat(junk, MpegFrames(kMpeg1Layer3_128k_44k, 417, 10)));
  ASSERT_TRUE(mpeg.FrameInfo.Found);
  EXPECT_EQ(mpeg.FrameInfo.Position, 600);
  EXPECT_EQ(mpeg.FrameCount(), 10u);
}

TEST(MPEGaudio, FileWithoutAConfirmedFrameIsReadButLeftEmpty) {
  struct Row {
    const char* what;
    Bytes file;
  };
  Bytes lone(400, 0);
  lone[0] = 0xFF, lone[1] = 0xFB, lone[2] = 0x90;
  const Row rows[] = {
      {"text", Bytes(300, 'a')},
      {"a lone header", lone},
      {"no header at all", Bytes(5000, 0)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const TMPEGaudio mpeg = Analyse(r.file);
    EXPECT_FALSE(mpeg.FrameInfo.Found);
    EXPECT_EQ(mpeg.FileLength, 0);
    EXPECT_EQ(mpeg.SampleRate(), 0);
    EXPECT_EQ(mpeg.FrameCount(), 0u);
    EXPECT_EQ(mpeg.Duration(), 0);
  }
}

TEST(MPEGaudio, FilesTooShortForAnID3v1ReadFail) {
  const TMPEGaudio mpeg = Analyse(MpegFrames(0xFFFF1A00, 52, 2), false);
  EXPECT_FALSE(mpeg.FrameInfo.Found);
}

TEST(MPEGaudio, SearchesTheMiddleWhenTheStartHoldsNoFrame) {
  const Bytes file = Concat(Bytes(8000, 0), MpegFrames(kMpeg1Layer3_128k_44k, 417, 20));
  const TMPEGaudio mpeg = Analyse(file);
  ASSERT_TRUE(mpeg.FrameInfo.Found);
  // The second window starts at (16340 - 0) div 2 = 8170, the frame at 8000 + 417.
  EXPECT_EQ(mpeg.FrameInfo.Position, 8000 + 417 - 8170);
  EXPECT_EQ(mpeg.FrameCount(), uint32_t((file.size() - 247) / 417));
}

TEST(MPEGaudio, VariableBitRateHeadersGiveFramesBitRateAndDuration) {
  struct Row {
    const char* what;
    uint32_t header;
    size_t length;
    size_t at;  // offset of the VBR header in the frame
    Bytes vbr;  // from its ID on
    uint32_t frames;
    uint16_t bitRate;
    double duration;
  };
  const Row rows[] = {
      // 1000 frames of 417 bytes average: (417 - 0) * 44100 / 144 / 1000 = 127.7 -> 128
      {"Xing, MPEG 1 stereo", kMpeg1Layer3_128k_44k, 417, 36,
       vtest::hex("58 69 6E 67 | 00 00 00 0F | 00 00 03 E8 | 00 06 5C 08"), 1000, 128,
       144.0 * 1000 * 8 / 44100},
      {"Xing, MPEG 1 mono", 0xFFFB90C0, 417, 21,
       vtest::hex("58 69 6E 67 | 00 00 00 03 | 00 00 03 E8 | 00 06 5C 08"), 1000, 128,
       144.0 * 1000 * 8 / 44100},
      // VBRI: version, delay, quality (2 bytes each), then bytes and frames.
      {"VBRI, MPEG 2", 0xFFF38000, 208, 21,
       vtest::hex("56 42 52 49 | 00 01 | 00 00 | 00 4B | 00 00 51 40 | 00 00 00 64"), 100, 64,
       72.0 * 100 * 8 / 22050},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Bytes file = MpegFrames(r.header, r.length, 12);
    std::copy(r.vbr.begin(), r.vbr.end(), file.begin() + r.at);
    const TMPEGaudio mpeg = Analyse(file);
    ASSERT_TRUE(mpeg.VBRInfo.Found);
    EXPECT_EQ(mpeg.FrameCount(), r.frames);
    EXPECT_EQ(mpeg.BitRate(), r.bitRate);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), r.duration);
  }
}

TEST(MPEGaudio, LyingVBRHeaderKeepsTheBitRateInRange) {
  Bytes file = MpegFrames(kMpeg1Layer3_128k_44k, 417, 4);
  const Bytes huge = vtest::hex("58 69 6E 67 00 00 00 0F 00 00 00 01 FF FF FF FF");
  std::copy(huge.begin(), huge.end(), file.begin() + 36);
  EXPECT_EQ(Analyse(file).BitRate(), 65535);
  const Bytes fewBytes = vtest::hex("58 69 6E 67 00 00 00 0F 00 00 00 10 00 00 00 00");
  std::copy(fewBytes.begin(), fewBytes.end(), file.begin() + 36);
  EXPECT_EQ(Analyse(file).BitRate(), 0);
}

TEST(MPEGaudio, AnalysesFilesMadeByLame) {
  struct Row {
    const char* file;
    uint32_t tagSize;
    uint16_t sampleRate, bitRate, size;
    uint8_t channelMode;
    uint32_t frames;
    bool vbr;
    double duration;
  };
  const Row rows[] = {
      // CBR with an "Info" header, which is not a VBR header.
      {"cbr-128k-44k-stereo-id3v23-id3v11.mp3", 217, 44100, 128, 417, 1, (6195 - 217) / 417, false,
       (6195 - 217) * 8 / 128.0 / 1000},
      // Xing: 13 frames, 3646 bytes: (3646 / 13) * 44100 / 144 / 1000 = 85.9
      {"vbr-xing-44k.mp3", 0, 44100, 86, 417, 1, 13, true, 144.0 * 13 * 8 / 44100},
      {"mpeg2-64k-22k.mp3", 0, 22050, 64, 208, 1, 3133 / 208, false, 3133 * 8 / 64.0 / 1000},
      {"mono-64k-44k.mp3", 0, 44100, 64, 208, 3, 2924 / 208, false, 2924 * 8 / 64.0 / 1000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.ReadFromFile(vtest::TestDataPath(r.file)));
    ASSERT_TRUE(mpeg.FrameInfo.Found);
    EXPECT_EQ(mpeg.ID3v2.TagSize, r.tagSize);
    EXPECT_EQ(mpeg.FrameInfo.Position, 0);
    EXPECT_EQ(mpeg.FrameInfo.Size, r.size);
    EXPECT_EQ(mpeg.FrameInfo.ChannelMode, r.channelMode);
    EXPECT_EQ(mpeg.SampleRate(), r.sampleRate);
    EXPECT_EQ(mpeg.BitRate(), r.bitRate);
    EXPECT_EQ(mpeg.VBRInfo.Found, r.vbr);
    EXPECT_EQ(mpeg.FrameCount(), r.frames);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), r.duration);
  }
}

TEST(MPEGaudio, MissingFileIsAReadFailure) {
  TMPEGaudio mpeg;
  EXPECT_FALSE(mpeg.ReadFromFile(vtest::TestTempDir() + "/none.mp3"));
  EXPECT_FALSE(mpeg.FrameInfo.Found);
}

}  // namespace
