#pragma once
// A growable byte buffer with a position: the target of every tag body and
// of the movie's tag stream. Writing past the end grows it. Appending is the
// hot path of every movie build, so the buffer keeps its own size and grows
// by doubling without initialising bytes it is about to overwrite.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "swf/core/buffer_pool.h"

namespace swf {

class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(const std::vector<uint8_t>& bytes) { Write(bytes.data(), bytes.size()); Seek(0); }
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  ~TMemoryStream() { GiveBlock(buffer_, capacity_); }

  void Write(const void* data, size_t count) {
    if (count == 0) return;
    Grow(position_ + count);
    if (position_ > size_) std::memset(buffer_ + size_, 0, position_ - size_);
    std::memcpy(buffer_ + position_, data, count);
    position_ += count;
    size_ = std::max(size_, position_);
  }
  // Room for count bytes at the position, filled through the returned
  // pointer: one check for a whole small record instead of one per byte.
  uint8_t* WriteRoom(size_t count) {
    const size_t at = size_;
    if (position_ == at && capacity_ - at >= count) [[likely]] {
      size_ = position_ = at + count;
      return buffer_ + at;
    }
    return WriteRoomSlow(count);
  }
  void WriteByte(uint8_t b) { *WriteRoom(1) = b; }

  // Reads up to count bytes; returns how many were available.
  size_t Read(void* out, size_t count) {
    const size_t n = position_ < size_ ? std::min(count, size_ - position_) : 0;
    if (n) std::memcpy(out, buffer_ + position_, n);
    position_ += n;
    return n;
  }

  size_t Position() const { return position_; }
  void Seek(size_t position) { position_ = position; }
  size_t Size() const { return size_; }
  // Growing fills with zero bytes; shrinking keeps the position inside.
  void SetSize(size_t size) {
    Grow(size);
    if (size > size_) std::memset(buffer_ + size_, 0, size - size_);
    size_ = size;
    position_ = std::min(position_, size_);
  }
  void Clear() { size_ = position_ = 0; }
  void Reserve(size_t n) { Grow(n); }

  const uint8_t* Data() const { return buffer_; }
  uint8_t* Data() { return buffer_; }
  std::vector<uint8_t> Bytes() const { return std::vector<uint8_t>(Data(), Data() + size_); }

 private:
  // Overwriting, growing, or filling a gap left by a seek past the end.
  uint8_t* WriteRoomSlow(size_t count);
  void Grow(size_t needed) {
    if (needed <= capacity_) return;
    const size_t capacity = PooledBlockSize(std::max({needed, capacity_ * 2, size_t(256)}));
    auto* bigger = static_cast<uint8_t*>(TakeBlock(capacity));
    if (size_) std::memcpy(bigger, buffer_, size_);
    GiveBlock(buffer_, capacity_);
    buffer_ = bigger;
    capacity_ = capacity;
  }

  uint8_t* buffer_ = nullptr;  // a pool block of capacity_ bytes
  size_t capacity_ = 0;
  size_t size_ = 0;
  size_t position_ = 0;
};

}  // namespace swf
