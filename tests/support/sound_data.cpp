#include "support/sound_data.h"

#include <fstream>

namespace vtest {

namespace {

void PutDWord(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutWord(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

}  // namespace

Bytes RiffWave(const std::vector<RiffChunk>& Chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const RiffChunk& c : Chunks) {
    body.insert(body.end(), c.Id.begin(), c.Id.end());
    PutDWord(body, uint32_t(c.Data.size()));
    body.insert(body.end(), c.Data.begin(), c.Data.end());
    if (c.Data.size() % 2) body.push_back(0);
  }
  Bytes file = {'R', 'I', 'F', 'F'};
  PutDWord(file, uint32_t(body.size()));
  return Concat(file, body);
}

Bytes WaveFormat(uint16_t FormatTag, uint16_t Channels, uint32_t SamplesPerSec,
                 uint16_t BitsPerSample) {
  Bytes out;
  PutWord(out, FormatTag);
  PutWord(out, Channels);
  PutDWord(out, SamplesPerSec);
  const uint16_t align = uint16_t(Channels * BitsPerSample / 8);
  PutDWord(out, SamplesPerSec * align);
  PutWord(out, align);
  PutWord(out, BitsPerSample);
  return out;
}

Bytes PcmWave(uint16_t Channels, uint32_t SamplesPerSec, uint16_t BitsPerSample,
              const Bytes& Data) {
  return RiffWave(
      {{"fmt ", WaveFormat(1, Channels, SamplesPerSec, BitsPerSample)}, {"data", Data}});
}

Bytes MpegFrames(uint32_t Header, size_t Length, size_t Count) {
  Bytes out(Length * Count, 0);
  for (size_t f = 0; f < Count; ++f)
    for (int k = 0; k < 4; ++k) out[f * Length + k] = uint8_t(Header >> (24 - 8 * k));
  return out;
}

std::string WriteTestFile(const std::string& Dir, const std::string& Name, const Bytes& Data) {
  const std::string path = Dir + "/" + Name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
  return path;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace vtest
