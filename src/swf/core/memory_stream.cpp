#include "swf/core/memory_stream.h"

namespace swf {

void TMemoryStream::WriteByteSlow(uint8_t b) { Write(&b, 1); }

}  // namespace swf
