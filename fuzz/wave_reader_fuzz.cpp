// Feeds arbitrary bytes to the wave reader as a ".wav" file: the RIFF chunk
// walker, the format record and (for MPEG format tags) the frame search.
#include <cstddef>
#include <cstdint>

#include "media/media_error.h"
#include "media/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const media::TMemorySource source({Data, Size});
  try {
    const media::TWaveReader wave("fuzz.wav", source);
    if (wave.DataOffset < 0 || wave.DataSize < 0 ||
        uint64_t(wave.DataOffset) + uint64_t(wave.DataSize) > Size)
      __builtin_trap();  // the sound data must lie inside the file
  } catch (const media::TMediaError&) {
  }
  return 0;
}
