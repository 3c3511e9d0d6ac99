#include "media/mpeg_audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "media/media_error.h"

namespace media {

namespace {

constexpr uint8_t kMpeg25 = 0, kMpeg2 = 2, kMpeg1 = 3;
constexpr uint8_t kLayer3 = 1, kLayer2 = 2, kLayer1 = 3;
constexpr uint8_t kSingleChannel = 3;

// Bit rates in kbit/s by BitRateIndex: ISO/IEC 11172-3 for MPEG 1 and
// ISO/IEC 13818-3 for MPEG 2, whose values MPEG 2.5 shares.
constexpr uint16_t kMpeg1Layer1[16] = {0,   32,  64,  96,  128, 160, 192, 224,
                                       256, 288, 320, 352, 384, 416, 448, 0};
constexpr uint16_t kMpeg1Layer2[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                       128, 160, 192, 224, 256, 320, 384, 0};
constexpr uint16_t kMpeg1Layer3[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                       112, 128, 160, 192, 224, 256, 320, 0};
constexpr uint16_t kMpeg2Layer1[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                       128, 144, 160, 176, 192, 224, 256, 0};
constexpr uint16_t kMpeg2Layer23[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                        64, 80, 96, 112, 128, 144, 160, 0};

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Four bytes at Position, bytes beyond the buffer counting as 0.
std::array<uint8_t, 4> Peek4(std::span<const uint8_t> Buffer, size_t Position) {
  std::array<uint8_t, 4> out{};
  for (size_t k = 0; k < 4; ++k)
    if (Position + k < Buffer.size()) out[k] = Buffer[Position + k];
  return out;
}

// Reads up to kSearchSize bytes at Offset; the rest of the buffer stays 0.
size_t ReadSearchBuffer(const TByteSource& Source, uint64_t Offset, std::vector<uint8_t>& Buffer) {
  Buffer.assign(TMPEGaudio::kSearchSize, 0);
  return Source.ReadAt(Offset, Buffer.data(), Buffer.size());
}

}  // namespace

bool IsFrameHeader(const uint8_t* Header) {
  const uint8_t version = (Header[1] >> 3) & 3;
  const uint8_t layer = (Header[1] >> 1) & 3;
  const uint8_t bitRate = Header[2] >> 4;
  const uint8_t sampleRate = (Header[2] >> 2) & 3;
  const uint8_t emphasis = Header[3] & 3;
  return Header[0] == 0xFF && (Header[1] & 0xE0) == 0xE0 && version != 1 && layer != 0 &&
         bitRate != 0 && bitRate != 15 && sampleRate != 3 && emphasis != 2;
}

void TMPEGFrameData::Decode(const uint8_t* Header) {
  std::copy(Header, Header + 4, HeaderBytes.begin());
  VersionIndex = (Header[1] >> 3) & 3;
  LayerIndex = (Header[1] >> 1) & 3;
  BitRateIndex = Header[2] >> 4;
  SampleRateIndex = (Header[2] >> 2) & 3;
  PaddingBit = (Header[2] >> 1) & 1;
  ChannelMode = Header[3] >> 6;
}

uint16_t TMPEGFrameData::SampleRate() const {
  static constexpr uint16_t kRates[3] = {44100, 48000, 32000};
  if (SampleRateIndex > 2) return 0;
  switch (VersionIndex) {
    case kMpeg1:
      return kRates[SampleRateIndex];
    case kMpeg2:
      return kRates[SampleRateIndex] / 2;
    case kMpeg25:
      return kRates[SampleRateIndex] / 4;
    default:
      return 0;
  }
}

uint16_t TMPEGFrameData::TableBitRate() const {
  if (BitRateIndex > 15) return 0;
  const bool mpeg1 = VersionIndex == kMpeg1;
  if (VersionIndex == 1) return 0;
  switch (LayerIndex) {
    case kLayer1:
      return (mpeg1 ? kMpeg1Layer1 : kMpeg2Layer1)[BitRateIndex];
    case kLayer2:
      return (mpeg1 ? kMpeg1Layer2 : kMpeg2Layer23)[BitRateIndex];
    case kLayer3:
      return (mpeg1 ? kMpeg1Layer3 : kMpeg2Layer23)[BitRateIndex];
    default:
      return 0;
  }
}

uint8_t TMPEGFrameData::FrameCoefficient() const {
  switch (LayerIndex) {
    case kLayer1:
      return 48;
    case kLayer2:
      return 144;
    case kLayer3:
      return VersionIndex == kMpeg1 ? 144 : 72;
    default:
      return 0;
  }
}

uint8_t TMPEGFrameData::PaddingSize() const {
  if (!PaddingBit) return 0;
  return LayerIndex == kLayer1 ? 4 : 1;
}

uint16_t TMPEGFrameData::FrameLength() const {
  const uint32_t rate = SampleRate();
  if (rate == 0) return 0;
  return uint16_t(uint32_t(FrameCoefficient()) * TableBitRate() * 1000 / rate + PaddingSize());
}

uint8_t TMPEGFrameData::VBRDeviation() const {
  const bool mono = ChannelMode == kSingleChannel;
  if (VersionIndex == kMpeg1) return mono ? 21 : 36;
  return mono ? 13 : 21;
}

uint16_t TMPEGFrameData::SamplesPerFrame() const {
  if (VersionIndex == 1) return 0;
  switch (LayerIndex) {
    case kLayer1:
      return 384;
    case kLayer2:
      return 1152;
    case kLayer3:
      return VersionIndex == kMpeg1 ? 1152 : 576;
    default:
      return 0;
  }
}

void TMPEGaudio::ResetData() {
  FileLength = 0;
  VBRInfo = TVBRData();
  FrameInfo = TMPEGFrameData();
  ID3v1.ResetData();
  ID3v2.ResetData();
}

bool TMPEGaudio::ReadFromFile(const std::string& FileName) {
  ResetData();
  const auto file = TFileSource::TryOpen(FileName);
  return file && ReadFromSource(*file);
}

bool TMPEGaudio::ReadFromSource(const TByteSource& Source) {
  ResetData();
  bool result = false;
  try {
    if (ID3v1.ReadFromSource(Source) && ID3v2.ReadFromSource(Source) &&
        Source.Size() <= uint64_t(INT32_MAX)) {
      FileLength = int32_t(Source.Size());
      std::vector<uint8_t> buffer;
      const size_t read = ReadSearchBuffer(Source, ID3v2.TagSize, buffer);
      FindFrame(buffer);
      // Junk at the start (a damaged or unknown tag) hides the first frames;
      // the middle of the file is almost surely audio.
      if (!FrameInfo.Found && read == kSearchSize) {
        ReadSearchBuffer(Source, (uint64_t(FileLength) - ID3v2.TagSize) / 2, buffer);
        FindFrame(buffer);
      }
      result = true;
    }
  } catch (const TMediaError&) {
    FrameInfo.Found = false;
    result = false;
  }
  if (!FrameInfo.Found) ResetData();
  return result;
}

void TMPEGaudio::FindFrame(std::span<const uint8_t> Buffer) {
  FrameInfo = TMPEGFrameData();
  FrameInfo.VersionIndex = 0;
  FrameInfo.SampleRateIndex = 0;
  FrameInfo.ChannelMode = 0;
  if (Buffer.size() < kLongestFrame) return;
  for (size_t i = 0; i + kLongestFrame <= Buffer.size(); ++i) {
    if (!IsFrameHeader(&Buffer[i])) continue;
    FrameInfo.Decode(&Buffer[i]);
    const uint16_t length = FrameInfo.FrameLength();
    if (length == 0 || !IsFrameHeader(Peek4(Buffer, i + length).data())) continue;
    FrameInfo.Found = true;
    FrameInfo.Position = int32_t(i);
    FrameInfo.Size = length;
    ReadVBRInfo(Buffer, i + FrameInfo.VBRDeviation());
    return;
  }
}

void TMPEGaudio::ReadVBRInfo(std::span<const uint8_t> Buffer, size_t Position) {
  VBRInfo = TVBRData();
  const auto word = [&](size_t offset) {
    return BigEndian32(Peek4(Buffer, Position + offset).data());
  };
  const auto id = Peek4(Buffer, Position);
  if (id == std::array<uint8_t, 4>{'X', 'i', 'n', 'g'}) {
    VBRInfo = {true, word(8), word(12)};
  } else if (id == std::array<uint8_t, 4>{'V', 'B', 'R', 'I'}) {
    VBRInfo = {true, word(14), word(10)};
  }
}

int64_t TMPEGaudio::AudioBytes() const {
  return int64_t(FileLength) - int64_t(ID3v2.TagSize) - FrameInfo.Position;
}

uint16_t TMPEGaudio::BitRate() const {
  const uint32_t rate = SampleRate();
  const uint8_t coefficient = FrameInfo.FrameCoefficient();
  if (!VBRInfo.Found || VBRInfo.Frames == 0 || rate == 0 || coefficient == 0)
    return FrameInfo.TableBitRate();
  const double average = (double(VBRInfo.Bytes) / VBRInfo.Frames - FrameInfo.PaddingSize()) * rate /
                         coefficient / 1000;
  // A lying VBR header must not overflow the 16-bit value.
  return uint16_t(std::clamp(std::nearbyint(average), 0.0, 65535.0));
}

uint32_t TMPEGaudio::FrameCount() const {
  if (VBRInfo.Found) return VBRInfo.Frames;
  const uint16_t length = FrameInfo.FrameLength();
  if (!FrameInfo.Found || length == 0) return 0;
  return uint32_t(std::max<int64_t>(AudioBytes(), 0) / length);
}

double TMPEGaudio::Duration() const {
  if (!FrameInfo.Found || SampleRate() == 0) return 0;
  if (VBRInfo.Found && VBRInfo.Frames > 0)
    return double(FrameInfo.FrameCoefficient()) * VBRInfo.Frames * 8 / SampleRate();
  const uint16_t bitRate = FrameInfo.TableBitRate();
  if (bitRate == 0) return 0;
  return double(AudioBytes()) * 8 / bitRate / 1000;
}

}  // namespace media
