// Feeds arbitrary bytes to the ID3v2 reader (tag size and frame list) and the
// ID3v1 reader.
#include <cstddef>
#include <cstdint>

#include "media/id3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const media::TMemorySource source({Data, Size});
  media::TID3v2 v2;
  if (v2.ReadFromSource(source) && v2.TagSize > Size) __builtin_trap();
  media::TID3v1 v1;
  v1.ReadFromSource(source);
  return 0;
}
