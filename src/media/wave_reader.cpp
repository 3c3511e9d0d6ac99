#include "media/wave_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <memory>

#include "media/media_error.h"
#include "media/mpeg_audio.h"
#include "media/riff.h"

namespace media {

namespace {

constexpr uint16_t kFormatMPEG = 0x50, kFormatMPEGLayer3 = 0x55;

// The extension with its dot, upper-cased; the name part splits on both
// separators because stored paths may come from Windows.
std::string UpperExtension(const std::string& FileName) {
  const size_t slash = FileName.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  std::string ext = name.substr(dot);
  for (char& c : ext) c = char(std::toupper(uint8_t(c)));
  return ext;
}

uint16_t Word(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
uint32_t DWord(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int32_t ClampToInt32(double value) {
  return int32_t(std::clamp(value, 0.0, double(std::numeric_limits<int32_t>::max())));
}

}  // namespace

TWaveReader::TWaveReader(const std::string& FileName) : FileName_(FileName) {
  const std::string ext = UpperExtension(FileName);
  if (ext != ".WAV" && ext != ".MP3") return;
  const auto file = TFileSource::TryOpen(FileName);
  // A wave file that cannot be opened gives an empty record; an MP3 file has
  // no frame to analyse then.
  if (!file) {
    if (ext == ".MP3") Fail("it cannot be opened");
    return;
  }
  Analyse(*file);
}

TWaveReader::TWaveReader(const std::string& FileName, const TByteSource& Source)
    : FileName_(FileName) {
  Analyse(Source);
}

void TWaveReader::Fail(const std::string& Reason) const {
  throw TMediaError("The sound file \"" + FileName_ + "\" cannot be used: " + Reason + ".");
}

void TWaveReader::Analyse(const TByteSource& Source) {
  const std::string ext = UpperExtension(FileName_);
  // Offsets and sizes are 32-bit in the sound tags.
  if ((ext == ".WAV" || ext == ".MP3") && Source.Size() > uint64_t(INT32_MAX))
    Fail("it is larger than 2 GB");
  if (ext == ".MP3") {
    ReadMPEG(Source, true);
  } else if (ext == ".WAV") {
    ReadWave(Source);
  }
}

void TWaveReader::ReadWave(const TByteSource& Source) {
  const auto form = FindRiffForm(Source, "WAVE");
  if (!form) return;
  const auto fmt = FindChunk(Source, *form, "fmt ");
  if (!fmt) Fail("it has no format chunk");
  FmtOffset = int32_t(fmt->DataOffset);
  FmtSize = int32_t(fmt->End - fmt->DataOffset);
  // A missing "data" chunk leaves the sound without data.
  if (const auto data = FindChunk(Source, *form, "data")) {
    DataOffset = int32_t(data->DataOffset);
    DataSize = int32_t(data->End - data->DataOffset);
  }
  ReadFormatRecord(Source);
  if (Duration == 0) {
    if (SamplesPerSec == 0) Fail("its format gives a sample rate of 0");
    Duration = double(SampleCount) / SamplesPerSec;
  }
}

void TWaveReader::ReadFormatRecord(const TByteSource& Source) {
  uint8_t record[256] = {};
  Source.ReadAt(uint64_t(FmtOffset), record, std::min<size_t>(size_t(FmtSize), sizeof record));
  FormatTag = Word(record);
  if (FormatTag == kFormatMPEG || FormatTag == kFormatMPEGLayer3) {
    ReadMPEG(Source, false);
    return;
  }
  // PCM, ADPCM and the extended record share these positions.
  Channels = Word(record + 2);
  SamplesPerSec = DWord(record + 4);
  BitsPerSample = Word(record + 14);
  if (Channels == 0) Fail("its format gives 0 channels");
  if (BitsPerSample == 0) Fail("its format gives 0 bits per sample");
  SampleCount = ClampToInt32(double(int64_t(DataSize) * 8 / (int64_t(BitsPerSample) * Channels)));
}

void TWaveReader::ReadMPEG(const TByteSource& Source, bool PlainFile) {
  TMPEGaudio mpeg;
  if (!mpeg.ReadFromSource(Source)) Fail("it cannot be read as MPEG audio");
  if (!mpeg.FrameInfo.Found) Fail("no MPEG audio frame was found in it");
  const TMPEGFrameData& frame = mpeg.FrameInfo;
  if (PlainFile) {
    FormatTag = kFormatPlainMP3;
    DataOffset = 0;
    DataSize = mpeg.FileLength;
  }
  Channels = frame.ChannelMode == 3 ? 1 : 2;
  SamplesPerSec = mpeg.SampleRate();
  BitsPerSample = 16;
  SampleCount = ClampToInt32(std::nearbyint(SamplesPerSec * mpeg.Duration()));
  FrameSize = frame.Size;
  // Saturates: a count past 65535 frames must not wrap to a short stream.
  FrameCount = uint16_t(std::min<uint32_t>(mpeg.FrameCount(), 0xFFFF));
  BitRate = mpeg.BitRate();
  SamplesPerFrame = frame.SamplesPerFrame();
  if (uint64_t(mpeg.FileLength) < uint64_t(FrameSize) * FrameCount)
    FrameCount = uint16_t(mpeg.FileLength / FrameSize);
  Duration = mpeg.Duration();
}

}  // namespace media
