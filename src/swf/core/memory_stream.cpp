#include "swf/core/memory_stream.h"

namespace swf {

uint8_t* TMemoryStream::WriteRoomSlow(size_t count) {
  Grow(position_ + count);
  if (position_ > size_) std::memset(buffer_ + size_, 0, position_ - size_);
  uint8_t* at = buffer_ + position_;
  position_ += count;
  size_ = std::max(size_, position_);
  return at;
}

}  // namespace swf
