#pragma once
// TBitsEngine writes and reads SWF data: bit fields MSB first, multi-byte
// integers little-endian. The writer never flushes pending bits by itself;
// a writer that ends with bit fields calls FlushLastByte(true).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "swf/core/bit_math.h"
#include "swf/core/memory_stream.h"
#include "swf/core/records.h"

namespace swf {

class TBitsEngine {
 public:
  explicit TBitsEngine(TMemoryStream& stream) : stream_(stream) {}

  TMemoryStream& Stream() { return stream_; }

  // --- writing ---
  void WriteBits(uint32_t value, unsigned count) {
    if (count == 0) return;
    const uint64_t acc = (uint64_t(pending_) << count) | (value & ((uint64_t(1) << count) - 1));
    unsigned total = pendingCount_ + count;
    while (total >= 8) {
      total -= 8;
      stream_.WriteByte(uint8_t(acc >> total));
    }
    pending_ = uint8_t(acc & ((1u << total) - 1));
    pendingCount_ = total;
  }
  void WriteSBits(int32_t value, unsigned count) { WriteBits(uint32_t(value), count); }
  // A group of signed fields of one width: the width in countBits bits, then
  // each value. Values wider than countBits can say are saturated to the
  // widest it can, rather than written cut off.
  void WriteSBitsGroup(std::initializer_list<int32_t> values, unsigned countBits) {
    const int32_t largest = MaxAbs(values);
    const unsigned n = GetBitsCount(largest);
    if (largest == INT32_MIN || n >= 1u << countBits) [[unlikely]]
      return WriteSaturatedGroup(values, countBits);
    WriteBits(n, countBits);
    for (int32_t v : values) WriteSBits(v, n);
  }
  void WriteBit(bool flag) { WriteBits(flag ? 1 : 0, 1); }
  void FlushLastByte(bool write = true) {
    if (pendingCount_ == 0) return;
    if (write) stream_.WriteByte(uint8_t(pending_ << (8 - pendingCount_)));
    pending_ = 0;
    pendingCount_ = 0;
  }
  void WriteByte(uint8_t b) {
    if (pendingCount_ == 0)
      stream_.WriteByte(b);
    else
      WriteBits(b, 8);
  }
  void WriteWord(uint16_t w) {
    FlushLastByte(true);
    uint8_t* at = stream_.WriteRoom(2);
    at[0] = uint8_t(w);
    at[1] = uint8_t(w >> 8);
  }
  void WriteDWord(uint32_t d);
  void WriteSDWord(int32_t d) { WriteDWord(uint32_t(d)); }
  void WriteRGB(const TSWFRGBRec& c);
  void WriteRGBA(const TSWFRGBARec& c);
  // The bytes of s (converted from Windows-1252 to UTF-8 when utf8 is set).
  void WriteString(std::string_view s, bool nullTerminate = true, bool utf8 = false);
  void WriteBytes(const void* buffer, long len, bool nullTerminate = false);
  void WriteRect(const TSWFRectRec& r);
  void WriteTRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void WriteMatrix(const TSWFMatrixRec& m);
  void WriteColorTransform(const TSWFColorTransformRec& c);
  bool HasPendingBits() const { return pendingCount_ != 0; }

  // --- reading: every read past the end throws ESWFError ---
  uint32_t ReadBits(unsigned count);
  int32_t ReadSBits(unsigned count);
  bool ReadBit() { return ReadBits(1) != 0; }
  void AlignRead() { readBitsLeft_ = 0; }
  uint8_t ReadByte();
  uint16_t ReadWord();
  uint32_t ReadDWord();
  void ReadBytes(void* out, size_t count);
  // A zero-terminated string (the terminator is consumed, not returned).
  std::string ReadString();
  TSWFRGBRec ReadRGB();
  TSWFRGBARec ReadRGBA();
  TSWFRectRec ReadRect();
  TSWFMatrixRec ReadMatrix();
  TSWFColorTransformRec ReadColorTransform(bool withAlpha);

 private:
  void WriteSaturatedGroup(std::initializer_list<int32_t> values, unsigned countBits);
  uint8_t ReadRawByte();

  TMemoryStream& stream_;
  uint8_t pending_ = 0;        // pending write bits, right-aligned
  unsigned pendingCount_ = 0;  // 0..7
  uint8_t readByte_ = 0;
  unsigned readBitsLeft_ = 0;
};

}  // namespace swf
