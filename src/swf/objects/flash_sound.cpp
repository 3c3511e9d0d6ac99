#include "swf/objects/flash_sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "media/byte_source.h"
#include "media/media_error.h"
#include "media/wave_reader.h"
#include "swf/tags/sound_tags.h"

namespace swf {

namespace {

// The SWF rate code of a sample rate by its multiple of 5000 Hz; rates
// without a code of their own keep the code they had.
uint8_t RateCode(uint32_t samplesPerSec, uint8_t previous) {
  switch (samplesPerSec / 5000) {
    case 1:
      return 0;
    case 2:
      return 1;
    case 3:
    case 4:
      return 2;
    case 8:
      return 3;
    default:
      return previous;
  }
}

uint8_t SWFFormat(uint16_t formatTag, uint8_t previous) {
  switch (formatTag) {
    case 1:
      return sfUncompressed;
    case 2:
      return sfADPCM;
    case 0x55:
    case media::TWaveReader::kFormatPlainMP3:
      return sfMP3;
    default:
      return previous;
  }
}

void AppendZeros(TMemoryStream& out, int64_t count) {
  if (count <= 0) return;
  const size_t start = out.Position();
  if (start + size_t(count) > out.Size()) out.SetSize(start + size_t(count));
  std::memset(out.Data() + start, 0, size_t(count));
  out.Seek(start + size_t(count));
}

void WriteWordTo(TMemoryStream& out, uint16_t w) {
  const uint8_t b[2] = {uint8_t(w), uint8_t(w >> 8)};
  out.Write(b, 2);
}

void WriteDWordTo(TMemoryStream& out, uint32_t d) {
  const uint8_t b[4] = {uint8_t(d), uint8_t(d >> 8), uint8_t(d >> 16), uint8_t(d >> 24)};
  out.Write(b, 4);
}

}  // namespace

TFlashSound::TFlashSound(TFlashMovie* owner, const std::string& fileName) : TFlashIDObject(owner) {
  std::error_code ec;
  if (!fileName.empty() && std::filesystem::is_regular_file(fileName, ec)) LoadFromFile(fileName);
}

TFlashSound::~TFlashSound() = default;

void TFlashSound::LoadFromFile(const std::string& fileName) {
  const media::TWaveReader reader(fileName);
  auto file = std::make_shared<media::TFileSource>(fileName);

  Duration = reader.Duration;
  SoundFormat = SWFFormat(reader.FormatTag, SoundFormat);
  if (reader.FormatTag == 0x55 || reader.FormatTag == media::TWaveReader::kFormatPlainMP3) {
    SamplesPerFrame = reader.SamplesPerFrame;
    FrameSize = reader.FrameSize;
    FrameCount = reader.FrameCount;
    BitRate = reader.BitRate;
  }
  SampleRate = uint16_t(reader.SamplesPerSec);
  SoundRate = RateCode(reader.SamplesPerSec, SoundRate);
  BitsPerSample = uint8_t(reader.BitsPerSample);
  Is16Bit = BitsPerSample != 8;
  Stereo = reader.Channels == 2;
  DataOffset = reader.DataOffset;
  DataSize = reader.DataSize;
  blockSize_ = reader.DataSize;
  SampleCount = reader.SampleCount;

  dataFile_ = std::move(file);
  filePosition_ = DataOffset;
}

void TFlashSound::Assign(const TBasedSWFObject& source) {
  TFlashIDObject::Assign(source);
  auto* s = dynamic_cast<const TFlashSound*>(&source);
  if (!s) return;
  DataOffset = s->DataOffset;
  DataSize = s->DataSize;
  Loop = s->Loop;
  SoundFormat = s->SoundFormat;
  SoundRate = s->SoundRate;
  SampleRate = s->SampleRate;
  BitsPerSample = s->BitsPerSample;
  Is16Bit = s->Is16Bit;
  Stereo = s->Stereo;
  SampleCount = s->SampleCount;
  SeekSamples = s->SeekSamples;
  Duration = s->Duration;
  SamplesPerFrame = s->SamplesPerFrame;
  FrameSize = s->FrameSize;
  FrameCount = s->FrameCount;
  BitRate = s->BitRate;
  dataFile_ = s->dataFile_;
  filePosition_ = s->filePosition_;
  samplesPerBlock_ = s->samplesPerBlock_;
  blockSize_ = s->blockSize_;
  currentSeek_ = s->currentSeek_;
}

int TFlashSound::MinVersion() const {
  if (SoundFormat == sfMP3 || SoundFormat == sfUncompressedLE) return 4;
  return SoundFormat == sfNellymoser ? 6 : 1;
}

void TFlashSound::WriteToStream(TBitsEngine& be) {
  TSWFDefineSound tag;
  tag.SoundId = GetCharacterID();
  tag.SoundFormat = SoundFormat;
  tag.SoundRate = SoundRate;
  tag.SoundSize = Is16Bit;
  tag.SoundType = Stereo;
  tag.SoundSampleCount = uint32_t(SampleCount);
  tag.SeekSamples = SeekSamples;
  tag.OnDataWrite = [this](TSWFDataObject&, TBitsEngine& body) { WriteSoundData(body); };
  tag.WriteToStream(be);
}

// ADPCM data would need re-encoding into SWF's own ADPCM packets; such a
// DefineSound carries only its header fields.
void TFlashSound::WriteSoundData(TBitsEngine& be) {
  if (!dataFile_ || (SoundFormat != sfUncompressed && SoundFormat != sfMP3)) return;
  if (be.HasPendingBits()) be.FlushLastByte(true);
  filePosition_ = DataOffset;
  CopyData(be.Stream(), DataSize, false);
}

void TFlashSound::FillStreamHead(TSWFSoundStreamHead& head, float fps) {
  head.StreamSoundCompression =
      SoundFormat == sfUncompressed ? uint8_t(sfUncompressedLE) : SoundFormat;
  head.StreamSoundRate = SoundRate;
  head.StreamSoundSize = Is16Bit;
  head.StreamSoundType = Stereo;
  const double perBlock = fps > 0 ? std::trunc(SampleRate / double(fps)) : 0;
  samplesPerBlock_ = uint16_t(std::clamp(perBlock, 0.0, 65535.0));
  head.StreamSoundSampleCount = samplesPerBlock_;
  head.PlaybackSoundRate = head.StreamSoundRate;
  head.PlaybackSoundSize = head.StreamSoundSize;
  head.PlaybackSoundType = head.StreamSoundType;
  if (SoundFormat == sfMP3) head.LatencySeek = 0;

  readPosition_ = DataOffset;
  if (dataFile_) filePosition_ = DataOffset;
  samplesWritten_ = 0;
  framesWritten_ = 0;
  currentSeek_ = SeekSamples;
  blockCount_ = 0;

  // One sample frame less per flag: the block sizes players have always been given.
  if (SoundFormat == sfUncompressed || SoundFormat == sfUncompressedLE) {
    const int32_t st = Stereo, b16 = Is16Bit;
    blockSize_ = std::max(0, samplesPerBlock_ * (st + 1) * (b16 + 1) - 2 * st - 2 * b16);
  }
}

void TFlashSound::WriteStreamBlock(TBitsEngine& be) {
  if (!dataFile_ || filePosition_ == DataEnd()) return;
  if (be.HasPendingBits()) be.FlushLastByte(true);
  if (SoundFormat == sfUncompressed || SoundFormat == sfUncompressedLE) {
    WriteUncompressedBlock(be.Stream());
  } else if (SoundFormat == sfMP3) {
    WriteMP3Block(be.Stream());
  }
}

void TFlashSound::WriteUncompressedBlock(TMemoryStream& out) {
  const int64_t n = std::clamp<int64_t>(DataEnd() - readPosition_, 0, blockSize_);
  WriteTagHeader(out, tagSoundStreamBlock, uint32_t(blockSize_));
  CopyData(out, n, true);
  if (n < blockSize_) {
    if (Loop) {
      filePosition_ = DataOffset;
      CopyLooping(out, blockSize_ - n);
    } else {
      AppendZeros(out, blockSize_ - n);
    }
  }
  readPosition_ = int32_t(filePosition_);
  if (Loop && filePosition_ == DataEnd()) filePosition_ = DataOffset;
}

// A block carries the whole MPEG frames due by its end; the seek value says
// how many samples of its first frame belong before it.
void TFlashSound::WriteMP3Block(TMemoryStream& out) {
  const int32_t spf = SamplesPerFrame, fs = FrameSize, fc = FrameCount, spb = samplesPerBlock_;
  ++blockCount_;
  const int32_t s = currentSeek_;
  int32_t k = 0;
  if (spf != 0 && std::abs(s) <= spf) k = std::max(0, (s + spb) / spf);
  if (k == 0) {
    WriteWordTo(out, tagSoundStreamBlock * 64 + 4);
    WriteDWordTo(out, 0);
  } else {
    WriteWordTo(out, tagSoundStreamBlock * 64 + 63);
    WriteDWordTo(out, uint32_t(int64_t(k) * fs + 4));
    WriteWordTo(out, uint16_t(k * spf));
    WriteWordTo(out, uint16_t(int16_t(s)));
    // Frames past the end of the file are taken from the start again, or are
    // silence; either way the block holds exactly the k frames it declares.
    const int32_t before = framesWritten_;
    framesWritten_ += k;
    const int32_t fromFile = std::clamp(fc - before, 0, k);
    CopyData(out, int64_t(fromFile) * fs, true);
    const int32_t rest = k - fromFile;
    if (rest > 0) {
      if (Loop) {
        filePosition_ = DataOffset;
        framesWritten_ = rest;
        CopyLooping(out, int64_t(rest) * fs);
      } else {
        AppendZeros(out, int64_t(rest) * fs);
      }
    }
  }
  samplesWritten_ += k * spf;
  currentSeek_ = int32_t(int64_t(blockCount_) * spb - samplesWritten_);
  if (Loop && (filePosition_ == DataEnd() || framesWritten_ == fc)) {
    filePosition_ = DataOffset;
    framesWritten_ = 0;
  }
}

void TFlashSound::CopyData(TMemoryStream& out, int64_t count, bool ignoreErrors) {
  if (count <= 0) return;
  const int64_t available = std::clamp<int64_t>(DataEnd() - filePosition_, 0, count);
  const size_t start = out.Position();
  if (start + size_t(count) > out.Size()) out.SetSize(start + size_t(count));
  size_t got = 0;
  if (available > 0 && dataFile_) {
    try {
      got = dataFile_->ReadAt(uint64_t(filePosition_), out.Data() + start, size_t(available));
    } catch (const media::TMediaError&) {
      if (!ignoreErrors) {
        out.SetSize(start);
        throw;
      }
    }
  }
  std::memset(out.Data() + start + got, 0, size_t(count) - got);
  filePosition_ += int64_t(got);
  out.Seek(start + size_t(count));
}

void TFlashSound::CopyLooping(TMemoryStream& out, int64_t count) {
  while (count > 0) {
    if (filePosition_ >= DataEnd()) filePosition_ = DataOffset;
    const int64_t n = std::min(count, DataEnd() - filePosition_);
    if (n <= 0) {  // no data at all: silence
      AppendZeros(out, count);
      return;
    }
    CopyData(out, n, true);
    count -= n;
  }
}

}  // namespace swf
