#pragma once
// MPEG audio frame reader (MPEG 1, 2 and 2.5; Layers I, II and III). Finds
// the first frame whose header is confirmed by a second header one frame
// length later, reads a "Xing" or "VBRI" variable-bit-rate header inside it,
// and derives sample rate, bit rate, frame count and playing time.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "media/byte_source.h"
#include "media/id3.h"

namespace media {

struct TVBRData {
  bool Found = false;
  uint32_t Frames = 0;
  uint32_t Bytes = 0;
};

// One frame header, decoded. The empty values (version 1, sample-rate index 3,
// channel mode 4) are ones that no real header yields.
struct TMPEGFrameData {
  bool Found = false;
  int32_t Position = 0;  // offset of the frame in the buffer that was searched
  uint16_t Size = 0;     // frame length in bytes
  std::array<uint8_t, 4> HeaderBytes{};
  uint8_t VersionIndex = 1;  // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
  uint8_t LayerIndex = 0;    // 1 Layer III, 2 Layer II, 3 Layer I, 0 reserved
  uint16_t BitRateIndex = 0;
  uint16_t SampleRateIndex = 3;
  bool PaddingBit = false;
  uint8_t ChannelMode = 4;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel

  void Decode(const uint8_t* Header);
  uint16_t SampleRate() const;       // Hz; 0 for a reserved version or index
  uint16_t TableBitRate() const;     // kbit/s from the standard tables; 0 when undefined
  uint8_t FrameCoefficient() const;  // samples per frame / 8
  uint8_t PaddingSize() const;
  // 0 when the header has no sample rate (no frame length can be derived).
  uint16_t FrameLength() const;
  // Offset of a variable-bit-rate header from the frame start.
  uint8_t VBRDeviation() const;
  uint16_t SamplesPerFrame() const;  // 0 for a reserved version or layer
};

// The 11-bit sync and no reserved or free-format field.
bool IsFrameHeader(const uint8_t* Header);

class TMPEGaudio {
 public:
  TMPEGaudio() { ResetData(); }

  int32_t FileLength = 0;
  TVBRData VBRInfo;
  TMPEGFrameData FrameInfo;
  TID3v1 ID3v1;
  TID3v2 ID3v2;

  void ResetData();
  // True when the file was read, whether or not a frame was found (see
  // FrameInfo.Found); false when reading fails. Without a frame every field is
  // empty again.
  bool ReadFromFile(const std::string& FileName);
  bool ReadFromSource(const TByteSource& Source);

  uint16_t SampleRate() const { return FrameInfo.SampleRate(); }
  uint16_t BitRate() const;     // kbit/s, averaged from the VBR header when there is one
  uint32_t FrameCount() const;  // 0 without a frame
  double Duration() const;      // seconds; 0 without a frame

  // Twice the longest MPEG 1 frame (Layer II, 384 kbit/s, 32000 Hz, padded):
  // a frame starting in the first half has its successor's header inside.
  static constexpr size_t kSearchSize = 3458;
  static constexpr size_t kLongestFrame = 1729;

 private:
  void FindFrame(std::span<const uint8_t> Buffer);
  void ReadVBRInfo(std::span<const uint8_t> Buffer, size_t Position);
  int64_t AudioBytes() const;
};

}  // namespace media
