#include "exporters/page_png.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <optional>

namespace exporters {

using player::TPixels;

namespace {

// zlib's default level: on the samples' pictures within 1 % of its
// strongest at a fraction of its time.
constexpr int kLevel = 6;

// 0xAARRGGBB with the colour no longer multiplied by alpha, rounded.
uint32_t Straight(uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  auto channel = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
  return a << 24 | channel((p >> 16) & 255) << 16 | channel((p >> 8) & 255) << 8 | channel(p & 255);
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBE32(out, uint32_t(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBE32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

}  // namespace

// One zlib stream at the full window, made once and reset for each picture.
struct TPagePngWriter::TStream {
  TStream() {
    if (deflateInit2(&Z, kLevel, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
  }
  ~TStream() { deflateEnd(&Z); }
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  z_stream Z{};
};

namespace {

// One picture's compressed data through the page's stream, taking the rows
// one at a time, so no whole copy of the picture is ever made.
class TDeflater {
 public:
  TDeflater(z_stream& z, size_t total) : z_(z) {
    if (deflateReset(&z_) != Z_OK) throw std::bad_alloc();
    // Pictures mostly shrink a lot: the buffer starts small and grows.
    out_.resize(std::min<size_t>(deflateBound(&z_, uLong(total)), 1024 + total / 8));
  }

  void Write(const uint8_t* data, size_t size, int flush = Z_NO_FLUSH) {
    z_.next_in = const_cast<uint8_t*>(data);
    z_.avail_in = uInt(size);
    do {
      if (z_.total_out == out_.size()) out_.resize(out_.size() * 2);
      z_.next_out = out_.data() + z_.total_out;
      z_.avail_out = uInt(out_.size() - z_.total_out);
      deflate(&z_, flush);
    } while (z_.avail_in > 0 || (flush == Z_FINISH && z_.avail_out == 0));
  }
  std::vector<uint8_t> Finish() {
    Write(nullptr, 0, Z_FINISH);
    out_.resize(z_.total_out);
    return std::move(out_);
  }

 private:
  z_stream& z_;
  std::vector<uint8_t> out_;
};

// The neighbour (left a, above b, above-left c) nearest to a + b - c.
inline int Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The row filtered by type (None, Sub, Up, Average, Paeth) into out.
void Filter(int type, const uint8_t* row, const uint8_t* above, size_t size, size_t bpp,
            uint8_t* out) {
  const size_t first = std::min(bpp, size);
  switch (type) {
    case 0:
      std::copy_n(row, size, out);
      return;
    case 1:
      std::copy_n(row, first, out);
      for (size_t i = bpp; i < size; ++i) out[i] = uint8_t(row[i] - row[i - bpp]);
      return;
    case 2:
      for (size_t i = 0; i < size; ++i) out[i] = uint8_t(row[i] - above[i]);
      return;
    case 3:
      for (size_t i = 0; i < first; ++i) out[i] = uint8_t(row[i] - above[i] / 2);
      for (size_t i = bpp; i < size; ++i) out[i] = uint8_t(row[i] - (row[i - bpp] + above[i]) / 2);
      return;
    default:
      for (size_t i = 0; i < first; ++i) out[i] = uint8_t(row[i] - above[i]);
      for (size_t i = bpp; i < size; ++i)
        out[i] = uint8_t(row[i] - Paeth(row[i - bpp], above[i], above[i - bpp]));
  }
}

// The filtered bytes as signed numbers, summed: the usual guess at which
// filter deflates best.
uint64_t Cost(const std::vector<uint8_t>& filtered) {
  uint64_t sum = 0;
  for (size_t i = 1; i < filtered.size(); ++i) sum += uint8_t(std::abs(int8_t(filtered[i])));
  return sum;
}

std::vector<uint8_t> Header(const TPixels& p, uint8_t colourType, uint8_t bits = 8) {
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, uint32_t(p.Width));
  PutBE32(ihdr, uint32_t(p.Height));
  ihdr.insert(ihdr.end(), {bits, colourType, 0, 0, 0});  // deflate, no interlace
  return ihdr;
}

std::vector<uint8_t> Signature() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

// Full colour (RGB when every pixel is opaque, else RGBA), each row with
// the filter that sums smallest.
std::vector<uint8_t> ColourPng(const TPixels& p, bool opaque, z_stream& z) {
  const size_t width = size_t(p.Width), bpp = opaque ? 3 : 4, size = width * bpp;
  std::vector<uint8_t> row(size), above(size, 0), trial(size + 1), best(size + 1);
  TDeflater deflater(z, (size + 1) * size_t(p.Height));
  // A row like the one above (flat fills, sideways gradients) is all zeros
  // under Up, which no other filter betters.
  std::vector<uint8_t> sameAsAbove(size + 1, 0);
  sameAsAbove[0] = 2;
  uint32_t last = p.Data.empty() ? 0 : ~p.Data.front(), straight = 0;
  for (size_t y = 0; y < size_t(p.Height); ++y) {
    const uint32_t* source = p.Data.data() + y * width;
    if (y > 0 && std::equal(source, source + width, source - width)) {
      deflater.Write(sameAsAbove.data(), sameAsAbove.size());
      continue;
    }
    uint8_t* at = row.data();
    for (size_t x = 0; x < width; ++x) {
      if (source[x] != last) last = source[x], straight = Straight(last);  // runs are common
      *at++ = uint8_t(straight >> 16), *at++ = uint8_t(straight >> 8), *at++ = uint8_t(straight);
      if (!opaque) *at++ = uint8_t(straight >> 24);
    }
    uint64_t bestCost = UINT64_MAX;  // Up wins ties, as rows mostly change a little
    for (int type : {2, 1, 0, 3, 4}) {
      trial[0] = uint8_t(type);
      Filter(type, row.data(), above.data(), size, bpp, trial.data() + 1);
      const uint64_t cost = Cost(trial);
      if (cost < bestCost) bestCost = cost, best.swap(trial);
      if (cost == 0) break;
    }
    deflater.Write(best.data(), best.size());
    row.swap(above);
  }
  std::vector<uint8_t> out = Signature();
  PutChunk(out, "IHDR", Header(p, opaque ? 2 : 6));
  PutChunk(out, "IDAT", deflater.Finish());
  PutChunk(out, "IEND", {});
  return out;
}

// Up to 256 colours, each with its index, in an open-addressed table: the
// pixels are looked up where the colour changes, which is often.
class TPalette {
 public:
  // False once a 257th colour comes.
  bool Add(uint32_t colour) {
    size_t at = Slot(colour);
    if (used_[at]) return true;
    if (colours_.size() == 256) return false;
    used_[at] = true;
    keys_[at] = colour;
    index_[at] = uint8_t(colours_.size());
    colours_.push_back(colour);
    return true;
  }
  uint8_t Index(uint32_t colour) const { return index_[Slot(colour)]; }
  const std::vector<uint32_t>& Colours() const { return colours_; }

 private:
  static constexpr size_t kSlots = 1024;  // at most a quarter full
  size_t Slot(uint32_t colour) const {
    size_t at = (colour * 2654435761u) >> 22;
    while (used_[at] && keys_[at] != colour) at = (at + 1) % kSlots;
    return at;
  }
  std::array<uint32_t, kSlots> keys_{};
  std::array<uint8_t, kSlots> index_{};
  std::array<bool, kSlots> used_{};
  std::vector<uint32_t> colours_;
};

// The palette of the pixels, or none when they hold over 256 colours.
std::optional<TPalette> PaletteOf(const TPixels& p) {
  TPalette palette;
  uint32_t last = ~p.Data.front();
  for (uint32_t c : p.Data) {
    if (c == last) continue;
    last = c;
    if (!palette.Add(c)) return std::nullopt;
  }
  return palette;
}

// The bytes of the PLTE chunk and (when not opaque) the tRNS chunk.
size_t PaletteChunksSize(const TPalette& palette, bool opaque) {
  const size_t colours = palette.Colours().size(), chunk = 12;
  return chunk + 3 * colours + (opaque ? 0 : chunk + colours);
}

// Indices into the palette, rows unfiltered (differences of indices mean
// nothing); tRNS carries the alpha of each entry when some are not opaque.
std::vector<uint8_t> PalettePng(const TPixels& p, const TPalette& palette, bool opaque,
                                z_stream& z) {
  std::vector<uint8_t> plte, trns;
  for (uint32_t c : palette.Colours()) {
    const uint32_t s = Straight(c);
    plte.insert(plte.end(), {uint8_t(s >> 16), uint8_t(s >> 8), uint8_t(s)});
    trns.push_back(uint8_t(s >> 24));
  }
  // Few colours pack several indices into a byte (the first in the high
  // bits): less for deflate to read and to write.
  const size_t colours = palette.Colours().size();
  const unsigned bits = colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
  const size_t width = size_t(p.Width);
  std::vector<uint8_t> row((width * bits + 7) / 8 + 1, 0);
  TDeflater deflater(z, row.size() * size_t(p.Height));
  uint32_t last = ~p.Data.front();
  uint8_t lastIndex = 0;
  for (size_t y = 0; y < size_t(p.Height); ++y) {
    std::fill(row.begin() + 1, row.end(), uint8_t(0));
    for (size_t x = 0; x < width; ++x) {
      const uint32_t c = p.Data[y * width + x];
      if (c != last) last = c, lastIndex = palette.Index(c);
      const size_t bit = x * bits;
      row[1 + bit / 8] |= uint8_t(lastIndex << (8 - bits - bit % 8));
    }
    deflater.Write(row.data(), row.size());
  }
  std::vector<uint8_t> out = Signature();
  PutChunk(out, "IHDR", Header(p, 3, uint8_t(bits)));
  PutChunk(out, "PLTE", plte);
  if (!opaque) PutChunk(out, "tRNS", trns);
  PutChunk(out, "IDAT", deflater.Finish());
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace

TPagePngWriter::TPagePngWriter() = default;
TPagePngWriter::~TPagePngWriter() = default;

std::vector<uint8_t> TPagePngWriter::Png(const TPixels& p) {
  if (!stream_) stream_ = std::make_unique<TStream>();  // a page without pictures needs none
  z_stream& z = stream_->Z;
  if (p.Data.empty()) return ColourPng(p, true, z);
  const bool opaque =
      std::all_of(p.Data.begin(), p.Data.end(), [](uint32_t c) { return c >> 24 == 255; });
  const std::optional<TPalette> palette = PaletteOf(p);
  // Up to 16 colours pack at 4 bits or fewer a pixel, which full colour's 24
  // or 32 do not come near: the palette alone is written.
  if (palette && palette->Colours().size() <= 16) return PalettePng(p, *palette, opaque, z);
  std::vector<uint8_t> png = ColourPng(p, opaque, z);
  // A palette of a few colours is much smaller; one of a smooth gradient can
  // cost more than the filtered colours, so the smaller file is kept.
  // The palette's own chunks alone can outweigh the whole full-colour file
  // (a sideways gradient of a hundred colours): then it is not written.
  if (palette && PaletteChunksSize(*palette, opaque) < png.size()) {
    std::vector<uint8_t> indexed = PalettePng(p, *palette, opaque, z);
    if (indexed.size() < png.size()) png.swap(indexed);
  }
  return png;
}

std::vector<uint8_t> PagePng(const TPixels& p) {
  return TPagePngWriter().Png(p);
}

}  // namespace exporters
