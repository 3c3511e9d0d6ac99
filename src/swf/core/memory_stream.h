#pragma once
// A growable byte buffer with a position: the target of every tag body and
// of the movie's tag stream. Writing past the end grows it.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

namespace swf {

class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  void Write(const void* data, size_t count) {
    if (count == 0) return;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, data, count);
    position_ += count;
  }
  void WriteByte(uint8_t b) {
    if (position_ == bytes_.size()) {
      bytes_.push_back(b);
      ++position_;
    } else {
      Write(&b, 1);
    }
  }
  // Reads up to count bytes; returns how many were available.
  size_t Read(void* out, size_t count) {
    size_t n = position_ < bytes_.size() ? std::min(count, bytes_.size() - position_) : 0;
    if (n) std::memcpy(out, bytes_.data() + position_, n);
    position_ += n;
    return n;
  }

  size_t Position() const { return position_; }
  void Seek(size_t position) { position_ = position; }
  size_t Size() const { return bytes_.size(); }
  void SetSize(size_t size) {
    bytes_.resize(size);
    if (position_ > size) position_ = size;
  }
  void Clear() {
    bytes_.clear();
    position_ = 0;
  }
  void Reserve(size_t n) { bytes_.reserve(n); }

  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() {
    position_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace swf
