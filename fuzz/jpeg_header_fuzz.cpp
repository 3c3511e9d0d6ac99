// Feeds arbitrary bytes to the JPEG marker walk; small progressive pictures also
// go through the baseline re-encoding, whose libjpeg errors must come back as
// exceptions.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/jpeg_codec.h"
#include "media/media_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const auto frame = media::ReadJPEGSize(bytes);
  if (frame && frame->Progressive && frame->Width <= 256 && frame->Height <= 256) {
    try {
      media::ConvertToBaselineJPEG(bytes);
    } catch (const media::TMediaError&) {
    }
  }
  return 0;
}
