// Feeds arbitrary bytes to the MPEG frame reader and asks for every derived
// value, as the wave reader does for an ".mp3" file.
#include <cstddef>
#include <cstdint>

#include "media/media_error.h"
#include "media/mpeg_audio.h"
#include "media/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const media::TMemorySource source({Data, Size});
  media::TMPEGaudio mpeg;
  if (mpeg.ReadFromSource(source)) {
    volatile double sink = mpeg.Duration() + mpeg.FrameCount() + mpeg.BitRate() +
                           mpeg.SampleRate() + mpeg.FrameInfo.FrameLength();
    (void)sink;
  }
  try {
    const media::TWaveReader wave("fuzz.mp3", source);
    if (wave.DataSize != int64_t(Size)) __builtin_trap();
  } catch (const media::TMediaError&) {
  }
  return 0;
}
