#include "swf/core/bits_engine.h"

#include <algorithm>

#include "platform/codepage.h"
#include "swf/core/bit_math.h"
#include "swf/core/swf_error.h"

namespace swf {

void TBitsEngine::WriteDWord(uint32_t d) {
  FlushLastByte(true);
  const uint8_t bytes[4] = {uint8_t(d), uint8_t(d >> 8), uint8_t(d >> 16), uint8_t(d >> 24)};
  stream_.Write(bytes, 4);
}

void TBitsEngine::WriteRGB(const TSWFRGBRec& c) {
  const uint8_t bytes[3] = {c.R, c.G, c.B};
  stream_.Write(bytes, 3);
}

void TBitsEngine::WriteRGBA(const TSWFRGBARec& c) {
  const uint8_t bytes[4] = {c.R, c.G, c.B, c.A};
  stream_.Write(bytes, 4);
}

void TBitsEngine::WriteString(std::string_view s, bool nullTerminate, bool utf8) {
  // Each UTF-16 unit is encoded alone: that is what the format's readers expect
  // from Windows-1252 text, which has no surrogates anyway.
  const std::string converted = utf8 ? platform::Cp1252ToUtf8(s) : std::string();
  const std::string_view bytes = utf8 ? std::string_view(converted) : s;
  WriteBytes(bytes.data(), long(bytes.size()), nullTerminate);
}

void TBitsEngine::WriteBytes(const void* buffer, long len, bool nullTerminate) {
  if (len > 0) {
    if (pendingCount_ == 0) {
      stream_.Write(buffer, size_t(len));
    } else {
      auto* p = static_cast<const uint8_t*>(buffer);
      for (long i = 0; i < len; ++i) WriteBits(p[i], 8);
    }
  }
  if (nullTerminate) WriteByte(0);
}

// Values of 2^(widest - 1) and more in magnitude, INT32_MIN among them:
// saturated to the widest count's range.
void TBitsEngine::WriteSaturatedGroup(std::initializer_list<int32_t> values, unsigned countBits) {
  const unsigned n = (1u << countBits) - 1;
  const int64_t high = (int64_t(1) << (n - 1)) - 1;
  WriteBits(n, countBits);
  for (int32_t v : values) WriteSBits(int32_t(std::clamp<int64_t>(v, -high - 1, high)), n);
}

void TBitsEngine::WriteRect(const TSWFRectRec& r) {
  WriteSBitsGroup({r.Xmin, r.Xmax, r.Ymin, r.Ymax}, 5);
  FlushLastByte(true);
}

void TBitsEngine::WriteTRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  WriteRect(
      {std::min(left, right), std::max(left, right), std::min(top, bottom), std::max(top, bottom)});
}

void TBitsEngine::WriteMatrix(const TSWFMatrixRec& m) {
  WriteBit(m.HasScale);
  if (m.HasScale) WriteSBitsGroup({m.ScaleX, m.ScaleY}, 5);
  WriteBit(m.HasRotate);
  if (m.HasRotate) WriteSBitsGroup({m.RotateSkew0, m.RotateSkew1}, 5);
  WriteSBitsGroup({m.TranslateX, m.TranslateY}, 5);
  FlushLastByte(true);
}

void TBitsEngine::WriteColorTransform(const TSWFColorTransformRec& c) {
  const int32_t alphaAdd = c.HasAlpha ? c.AlphaAdd : 0;
  const int32_t alphaMult = c.HasAlpha ? c.AlphaMult : 0;
  const unsigned nAdd =
      c.HasAdd ? GetBitsCount(MaxAbs({c.RedAdd, c.GreenAdd, c.BlueAdd, alphaAdd})) : 0;
  const unsigned nMult =
      c.HasMult ? GetBitsCount(MaxAbs({c.RedMult, c.GreenMult, c.BlueMult, alphaMult})) : 0;
  const unsigned n = std::max(nAdd, nMult);
  WriteBit(c.HasAdd);
  WriteBit(c.HasMult);
  if (c.HasAdd || c.HasMult) {
    WriteBits(n, 4);
    if (c.HasMult) {
      for (int32_t v : {int32_t(c.RedMult), int32_t(c.GreenMult), int32_t(c.BlueMult)})
        WriteSBits(v, n);
      if (c.HasAlpha) WriteSBits(c.AlphaMult, n);
    }
    if (c.HasAdd) {
      for (int32_t v : {int32_t(c.RedAdd), int32_t(c.GreenAdd), int32_t(c.BlueAdd)})
        WriteSBits(v, n);
      if (c.HasAlpha) WriteSBits(c.AlphaAdd, n);
    }
  }
  FlushLastByte(true);
}

// --- reading ---

uint8_t TBitsEngine::ReadRawByte() {
  uint8_t b;
  if (stream_.Read(&b, 1) != 1) throw ESWFError("Unexpected end of SWF data");
  return b;
}

uint32_t TBitsEngine::ReadBits(unsigned count) {
  uint32_t value = 0;
  while (count > 0) {
    if (readBitsLeft_ == 0) {
      readByte_ = ReadRawByte();
      readBitsLeft_ = 8;
    }
    const unsigned take = std::min(count, readBitsLeft_);
    const unsigned shift = readBitsLeft_ - take;
    value = (value << take) | ((readByte_ >> shift) & ((1u << take) - 1));
    readBitsLeft_ -= take;
    count -= take;
  }
  return value;
}

int32_t TBitsEngine::ReadSBits(unsigned count) {
  if (count == 0) return 0;
  uint32_t v = ReadBits(count);
  if (count < 32 && (v & (1u << (count - 1)))) v |= ~((1u << count) - 1);
  return int32_t(v);
}

uint8_t TBitsEngine::ReadByte() {
  AlignRead();
  return ReadRawByte();
}

uint16_t TBitsEngine::ReadWord() {
  uint8_t b[2];
  ReadBytes(b, 2);
  return uint16_t(b[0] | (b[1] << 8));
}

uint32_t TBitsEngine::ReadDWord() {
  uint8_t b[4];
  ReadBytes(b, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
}

void TBitsEngine::ReadBytes(void* out, size_t count) {
  AlignRead();
  if (stream_.Read(out, count) != count) throw ESWFError("Unexpected end of SWF data");
}

std::string TBitsEngine::ReadString() {
  AlignRead();
  std::string s;
  for (uint8_t b = ReadRawByte(); b != 0; b = ReadRawByte()) s += char(b);
  return s;
}

TSWFRGBRec TBitsEngine::ReadRGB() {
  TSWFRGBRec c;
  c.R = ReadByte();
  c.G = ReadByte();
  c.B = ReadByte();
  return c;
}

TSWFRGBARec TBitsEngine::ReadRGBA() {
  TSWFRGBARec c;
  c.R = ReadByte();
  c.G = ReadByte();
  c.B = ReadByte();
  c.A = ReadByte();
  return c;
}

TSWFRectRec TBitsEngine::ReadRect() {
  AlignRead();
  const unsigned n = ReadBits(5);
  TSWFRectRec r;
  r.Xmin = ReadSBits(n);
  r.Xmax = ReadSBits(n);
  r.Ymin = ReadSBits(n);
  r.Ymax = ReadSBits(n);
  AlignRead();
  return r;
}

TSWFMatrixRec TBitsEngine::ReadMatrix() {
  AlignRead();
  TSWFMatrixRec m;
  m.HasScale = ReadBit();
  if (m.HasScale) {
    const unsigned n = ReadBits(5);
    m.ScaleX = ReadSBits(n);
    m.ScaleY = ReadSBits(n);
  }
  m.HasRotate = ReadBit();
  if (m.HasRotate) {
    const unsigned n = ReadBits(5);
    m.RotateSkew0 = ReadSBits(n);
    m.RotateSkew1 = ReadSBits(n);
  }
  const unsigned n = ReadBits(5);
  m.TranslateX = ReadSBits(n);
  m.TranslateY = ReadSBits(n);
  AlignRead();
  return m;
}

TSWFColorTransformRec TBitsEngine::ReadColorTransform(bool withAlpha) {
  AlignRead();
  TSWFColorTransformRec c;
  c.HasAlpha = withAlpha;
  c.HasAdd = ReadBit();
  c.HasMult = ReadBit();
  const unsigned n = ReadBits(4);
  if (c.HasMult) {
    c.RedMult = int16_t(ReadSBits(n));
    c.GreenMult = int16_t(ReadSBits(n));
    c.BlueMult = int16_t(ReadSBits(n));
    if (withAlpha) c.AlphaMult = int16_t(ReadSBits(n));
  }
  if (c.HasAdd) {
    c.RedAdd = int16_t(ReadSBits(n));
    c.GreenAdd = int16_t(ReadSBits(n));
    c.BlueAdd = int16_t(ReadSBits(n));
    if (withAlpha) c.AlphaAdd = int16_t(ReadSBits(n));
  }
  AlignRead();
  return c;
}

}  // namespace swf
