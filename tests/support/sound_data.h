#pragma once
// Builders of small sound files for tests: RIFF wave files chunk by chunk and
// runs of MPEG audio frames with silent bodies.
#include <cstdint>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace vtest {

struct RiffChunk {
  std::string Id;  // 4 characters
  Bytes Data;
};

// "RIFF" <size> "WAVE" and the chunks, each padded to an even length.
Bytes RiffWave(const std::vector<RiffChunk>& Chunks);

// The 16-byte wave format record (PCM layout; other tags share its first fields).
Bytes WaveFormat(uint16_t FormatTag, uint16_t Channels, uint32_t SamplesPerSec,
                 uint16_t BitsPerSample);

// A PCM wave file: "fmt " then "data".
Bytes PcmWave(uint16_t Channels, uint32_t SamplesPerSec, uint16_t BitsPerSample, const Bytes& Data);

// Count frames of Length bytes each, starting with the 4 header bytes of
// Header (big-endian, as they stand in the file) and zero otherwise.
Bytes MpegFrames(uint32_t Header, size_t Length, size_t Count);

// Writes Bytes to Dir/Name and returns the path.
std::string WriteTestFile(const std::string& Dir, const std::string& Name, const Bytes& Data);

Bytes Concat(Bytes a, const Bytes& b);

}  // namespace vtest
