#pragma once
// Hand-assembled SWF movies for the player's tests and benchmarks: tag bodies
// written field by field with TBitsEngine's writing half (and the writer
// core's placement, button and action tags), so the reader is checked
// against the format, not against the shape and bitmap writers.
#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/pictures.h"
#include "swf/core/bits_engine.h"
#include "swf/core/swf_object.h"
#include "swf/tags/place_object.h"

namespace vtest {

using SwfBytes = std::vector<uint8_t>;

inline unsigned BitsFor(int64_t v) {
  unsigned n = 1;
  while (n < 31 && (v >= (int64_t(1) << (n - 1)) || v < -(int64_t(1) << (n - 1)))) ++n;
  return n;
}

inline unsigned UBitsFor(uint32_t v) {
  unsigned n = 0;
  while (n < 32 && (v >> n) != 0) ++n;
  return n;
}

inline swf::TSWFMatrixRec Translate(int32_t x, int32_t y) {
  swf::TSWFMatrixRec m;
  m.TranslateX = x;
  m.TranslateY = y;
  return m;
}

// a, b, c, d as in x' = a*x + c*y + tx, y' = b*x + d*y + ty.
inline swf::TSWFMatrixRec Affine(double a, double b, double c, double d, int32_t tx, int32_t ty) {
  swf::TSWFMatrixRec m;
  m.HasScale = true;
  m.ScaleX = int32_t(a * 65536);
  m.ScaleY = int32_t(d * 65536);
  m.HasRotate = b != 0 || c != 0;
  m.RotateSkew0 = int32_t(b * 65536);
  m.RotateSkew1 = int32_t(c * 65536);
  m.TranslateX = tx;
  m.TranslateY = ty;
  return m;
}

struct TRgba {
  uint8_t R = 0, G = 0, B = 0, A = 255;
};

// Body of a DefineShape (version 1), DefineShape2 or DefineShape3, or of a
// glyph (version 0: no style arrays, one fill bit).
class TShapeBody {
 public:
  TShapeBody(uint16_t id, int version, swf::TSWFRectRec bounds)
      : id_(id), version_(version), bounds_(bounds) {}

  uint32_t Solid(TRgba c) {
    return AddFill([=, this](swf::TBitsEngine& be) {
      be.WriteByte(0);
      Color(be, c);
    });
  }
  // type 0x10 linear, 0x12 radial.
  uint32_t Gradient(uint8_t type, swf::TSWFMatrixRec m,
                    std::vector<std::pair<uint8_t, TRgba>> stops) {
    return AddFill([=, this](swf::TBitsEngine& be) {
      be.WriteByte(type);
      be.WriteMatrix(m);
      be.WriteByte(uint8_t(stops.size()));
      for (auto& [ratio, c] : stops) {
        be.WriteByte(ratio);
        Color(be, c);
      }
    });
  }
  // type 0x40 repeating, 0x41 clipped.
  uint32_t BitmapFill(uint8_t type, uint16_t bitmapID, swf::TSWFMatrixRec m) {
    return AddFill([=](swf::TBitsEngine& be) {
      be.WriteByte(type);
      be.WriteWord(bitmapID);
      be.WriteMatrix(m);
    });
  }
  uint32_t Line(uint16_t width, TRgba c) {
    lines_.push_back({width, c});
    return uint32_t(lines_.size());
  }

  // Style change: selects the styles (0 = none) and moves to (x, y) absolute.
  void Style(uint32_t fill0, uint32_t fill1, uint32_t line, int32_t x, int32_t y) {
    records_.push_back({Rec::Style, fill0, fill1, line, x, y, 0, 0});
  }
  void MoveTo(int32_t x, int32_t y) { records_.push_back({Rec::Move, 0, 0, 0, x, y, 0, 0}); }
  void LineBy(int32_t dx, int32_t dy) {
    records_.push_back({Rec::Straight, 0, 0, 0, dx, dy, 0, 0});
  }
  void CurveBy(int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
    records_.push_back({Rec::Curve, 0, 0, 0, cx, cy, ax, ay});
  }
  // A closed rectangle traced clockwise on screen from (x, y).
  void Rect(int32_t x, int32_t y, int32_t w, int32_t h) {
    MoveTo(x, y);
    LineBy(w, 0);
    LineBy(0, h);
    LineBy(-w, 0);
    LineBy(0, -h);
  }

  SwfBytes Finish() const {
    swf::TMemoryStream s;
    swf::TBitsEngine be(s);
    unsigned fillBits = 1, lineBits = 0;
    if (version_ > 0) {
      be.WriteWord(id_);
      be.WriteRect(bounds_);
      be.WriteByte(uint8_t(fills_.size()));
      for (auto& f : fills_) f(be);
      be.WriteByte(uint8_t(lines_.size()));
      for (auto& [w, c] : lines_) {
        be.WriteWord(w);
        Color(be, c);
      }
      fillBits = UBitsFor(uint32_t(fills_.size()));
      lineBits = UBitsFor(uint32_t(lines_.size()));
    }
    be.WriteBits(fillBits, 4);
    be.WriteBits(lineBits, 4);
    for (const Rec& r : records_) WriteRecord(be, r, fillBits, lineBits);
    be.WriteBits(0, 6);
    be.FlushLastByte(true);
    return s.Bytes();
  }

 private:
  struct Rec {
    enum Kind { Style, Move, Straight, Curve } K;
    uint32_t F0, F1, L;
    int32_t A, B, C, D;
  };

  uint32_t AddFill(std::function<void(swf::TBitsEngine&)> f) {
    fills_.push_back(std::move(f));
    return uint32_t(fills_.size());
  }
  void Color(swf::TBitsEngine& be, TRgba c) const {
    be.WriteByte(c.R);
    be.WriteByte(c.G);
    be.WriteByte(c.B);
    if (version_ >= 3) be.WriteByte(c.A);
  }
  static void WriteRecord(swf::TBitsEngine& be, const Rec& r, unsigned fillBits,
                          unsigned lineBits) {
    switch (r.K) {
      case Rec::Style:
      case Rec::Move: {
        const bool style = r.K == Rec::Style;
        be.WriteBits(0, 1);
        be.WriteBits(0, 1);                          // new styles
        be.WriteBits(style && lineBits ? 1 : 0, 1);  // line
        be.WriteBits(style ? 1 : 0, 1);              // fill1
        be.WriteBits(style ? 1 : 0, 1);              // fill0
        be.WriteBits(1, 1);                          // move
        const unsigned n = std::max(BitsFor(r.A), BitsFor(r.B));
        be.WriteBits(n, 5);
        be.WriteSBits(r.A, n);
        be.WriteSBits(r.B, n);
        if (style) {
          be.WriteBits(r.F0, fillBits);
          be.WriteBits(r.F1, fillBits);
          if (lineBits) be.WriteBits(r.L, lineBits);
        }
        break;
      }
      case Rec::Straight: {
        const unsigned n = std::max({BitsFor(r.A), BitsFor(r.B), 2u});
        be.WriteBits(1, 1);
        be.WriteBits(1, 1);
        be.WriteBits(n - 2, 4);
        be.WriteBits(1, 1);  // general line
        be.WriteSBits(r.A, n);
        be.WriteSBits(r.B, n);
        break;
      }
      case Rec::Curve: {
        const unsigned n = std::max({BitsFor(r.A), BitsFor(r.B), BitsFor(r.C), BitsFor(r.D), 2u});
        be.WriteBits(1, 1);
        be.WriteBits(0, 1);
        be.WriteBits(n - 2, 4);
        for (int32_t v : {r.A, r.B, r.C, r.D}) be.WriteSBits(v, n);
        break;
      }
    }
  }

  uint16_t id_;
  int version_;
  swf::TSWFRectRec bounds_;
  std::vector<std::function<void(swf::TBitsEngine&)>> fills_;
  std::vector<std::pair<uint16_t, TRgba>> lines_;
  std::vector<Rec> records_;
};

inline SwfBytes Zlib(const SwfBytes& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  SwfBytes out(size);
  compress(out.data(), &size, raw.data(), uLong(raw.size()));
  out.resize(size);
  return out;
}

// A movie: tags in order, End added by Build.
class TSwfBuilder {
 public:
  TSwfBuilder(int widthPx, int heightPx, double fps = 12, uint8_t version = 6)
      : width_(widthPx), height_(heightPx), fps_(fps), version_(version) {}

  void Tag(uint16_t code, const SwfBytes& body) {
    swf::WriteTagHeader(tags_, code, uint32_t(body.size()));
    tags_.Write(body.data(), body.size());
  }
  void Tag(swf::TSWFObject& tag) {
    swf::TBitsEngine be(tags_);
    tag.WriteToStream(be);
  }
  void Background(uint8_t r, uint8_t g, uint8_t b) { Tag(swf::tagSetBackgroundColor, {r, g, b}); }
  void ShowFrame(int count = 1) {
    for (int i = 0; i < count; ++i) Tag(swf::tagShowFrame, {});
  }
  void Place(uint16_t id, uint16_t depth, const swf::TSWFMatrixRec* m = nullptr,
             const swf::TSWFColorTransformRec* cx = nullptr, bool move = false) {
    swf::TSWFPlaceObject2 p;
    p.Depth = depth;
    if (id) p.SetCharacterID(id);
    p.Move = move;
    if (m) p.Matrix().SetRec(*m);
    if (cx) p.ColorTransform().SetRec(*cx);
    Tag(p);
  }
  void Move(uint16_t depth, const swf::TSWFMatrixRec& m) { Place(0, depth, &m, nullptr, true); }
  void Remove(uint16_t depth) { Tag(swf::tagRemoveObject2, {uint8_t(depth), uint8_t(depth >> 8)}); }
  // A lossless bitmap of 0xAARRGGBB pixels: format 5, Lossless2 when withAlpha.
  void Lossless(uint16_t id, int w, int h, const std::vector<uint32_t>& argb, bool withAlpha) {
    SwfBytes raw;
    for (uint32_t p : argb)
      for (int shift : {24, 16, 8, 0}) raw.push_back(uint8_t(p >> shift));
    SwfBytes body{uint8_t(id), uint8_t(id >> 8), 5, uint8_t(w), uint8_t(w >> 8),
                  uint8_t(h),  uint8_t(h >> 8)};
    const SwfBytes z = Zlib(raw);
    body.insert(body.end(), z.begin(), z.end());
    Tag(withAlpha ? swf::tagDefineBitsLossless2 : swf::tagDefineBitsLossless, body);
  }

  SwfBytes Build(bool compressed = false) {
    SwfBytes body = tags_.Bytes();
    body.push_back(0);
    body.push_back(0);
    swf::TMemoryStream head;
    swf::TBitsEngine be(head);
    be.WriteRect({0, width_ * 20, 0, height_ * 20});
    be.WriteWord(uint16_t(fps_ * 256));
    uint16_t frames = 0;
    for (size_t p = 0; p + 1 < body.size();) {  // count ShowFrame tags
      const uint16_t h = uint16_t(body[p] | body[p + 1] << 8);
      size_t len = h & 0x3F, skip = 2;
      if (len == 0x3F) {
        len = body[p + 2] | body[p + 3] << 8 | body[p + 4] << 16 | uint32_t(body[p + 5]) << 24;
        skip = 6;
      }
      if ((h >> 6) == swf::tagShowFrame) ++frames;
      if ((h >> 6) == swf::tagEnd) break;
      p += skip + len;
    }
    be.WriteWord(frames);
    SwfBytes rest = head.Bytes();
    rest.insert(rest.end(), body.begin(), body.end());
    const uint32_t length = uint32_t(8 + rest.size());
    SwfBytes file{uint8_t(compressed ? 'C' : 'F'),
                  'W',
                  'S',
                  version_,
                  uint8_t(length),
                  uint8_t(length >> 8),
                  uint8_t(length >> 16),
                  uint8_t(length >> 24)};
    const SwfBytes payload = compressed ? Zlib(rest) : rest;
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
  }

 private:
  swf::TMemoryStream tags_;
  int width_, height_;
  double fps_;
  uint8_t version_;
};

}  // namespace vtest
