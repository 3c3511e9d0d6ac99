// Feeds arbitrary bytes to the BMP reader, then counts colours and converts the
// pixels, so every buffer the reader reports is also walked.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/bmp_reader.h"
#include "media/media_error.h"
#include "media/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  media::TBMPReader reader;
  reader.SetMaxImageBytes(size_t(1) << 20);  // keeps each run fast; the checks are the same
  try {
    reader.LoadFromStream(std::span<const uint8_t>(data, size));
  } catch (const media::TMediaError&) {
    return 0;
  }
  media::TBMPReader copy(reader);
  copy.CountColors();
  try {
    media::BitmapFromReader(copy);
  } catch (const media::TMediaError&) {
  }
  return 0;
}
