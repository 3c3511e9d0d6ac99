#pragma once
// Analyses a sound file for a sound character: RIFF wave files (".WAV") and
// MPEG audio files (".MP3"); MPEG data inside a wave file is analysed by its
// frames. The whole analysis runs in the constructor; afterwards the reader is
// a plain record of values and holds no file open.
#include <cstdint>
#include <string>

#include "media/byte_source.h"

namespace media {

class TWaveReader {
 public:
  // Every field stays 0 for a name whose extension is neither ".wav" nor
  // ".mp3" (any case), for a wave file that cannot be opened and for a file
  // without a RIFF "WAVE" form. Throws TMediaError naming the file when the
  // format cannot be analysed (0 channels, bits or sample rate; no MPEG frame).
  explicit TWaveReader(const std::string& FileName);
  // Analyses Source; FileName only chooses the path and names the file in errors.
  TWaveReader(const std::string& FileName, const TByteSource& Source);

  uint16_t FormatTag = 0;  // 1 PCM, 2 ADPCM, 0x50/0x55 MPEG in a wave file, 336 plain MP3
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;
  uint16_t BitsPerSample = 0;  // 16 for MPEG data
  int32_t SampleCount = 0;     // samples per channel
  int32_t FmtOffset = 0, FmtSize = 0;
  int32_t DataOffset = 0, DataSize = 0;
  // MPEG data only:
  uint16_t SamplesPerFrame = 0;
  uint16_t FrameSize = 0;  // length of the first frame
  uint16_t FrameCount = 0;
  uint16_t BitRate = 0;  // kbit/s
  double Duration = 0;

  static constexpr uint16_t kFormatPlainMP3 = 336;

 private:
  void Analyse(const TByteSource& Source);
  void ReadWave(const TByteSource& Source);
  void ReadFormatRecord(const TByteSource& Source);
  void ReadMPEG(const TByteSource& Source, bool PlainFile);
  [[noreturn]] void Fail(const std::string& Reason) const;

  std::string FileName_;
};

}  // namespace media
