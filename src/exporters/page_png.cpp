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

// A zlib stream taking the rows one at a time, so no whole copy of the
// picture is ever made. The window is no larger than the data needs:
// zlib's setup of a full window costs more than a small picture's deflate.
class TDeflater {
 public:
  explicit TDeflater(size_t total) {
    int bits = 9;
    while (bits < 15 && (size_t(1) << bits) < total) ++bits;
    if (deflateInit2(&z_, kLevel, Z_DEFLATED, bits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
    // Pictures mostly shrink a lot: the buffer starts small and grows.
    out_.resize(std::min<size_t>(deflateBound(&z_, uLong(total)), 1024 + total / 8));
  }
  ~TDeflater() { deflateEnd(&z_); }
  TDeflater(const TDeflater&) = delete;
  TDeflater& operator=(const TDeflater&) = delete;

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
  z_stream z_{};
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

std::vector<uint8_t> Header(const TPixels& p, uint8_t colourType) {
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, uint32_t(p.Width));
  PutBE32(ihdr, uint32_t(p.Height));
  ihdr.insert(ihdr.end(), {8, colourType, 0, 0, 0});  // 8 bits, deflate, no interlace
  return ihdr;
}

std::vector<uint8_t> Signature() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

// Full colour (RGB when every pixel is opaque, else RGBA), each row with
// the filter that sums smallest.
std::vector<uint8_t> ColourPng(const TPixels& p, bool opaque) {
  const size_t width = size_t(p.Width), bpp = opaque ? 3 : 4, size = width * bpp;
  std::vector<uint8_t> row(size), above(size, 0), trial(size + 1), best(size + 1);
  TDeflater deflater((size + 1) * size_t(p.Height));
  for (size_t y = 0; y < size_t(p.Height); ++y) {
    uint8_t* at = row.data();
    for (size_t x = 0; x < width; ++x) {
      const uint32_t c = Straight(p.Data[y * width + x]);
      *at++ = uint8_t(c >> 16), *at++ = uint8_t(c >> 8), *at++ = uint8_t(c);
      if (!opaque) *at++ = uint8_t(c >> 24);
    }
    // Up first: a row like the one above (flat fills, sideways gradients)
    // comes out all zeros, which no other filter betters.
    uint64_t bestCost = UINT64_MAX;
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

// Indices into the palette, rows unfiltered (differences of indices mean
// nothing); tRNS carries the alpha of each entry when some are not opaque.
std::vector<uint8_t> PalettePng(const TPixels& p, const TPalette& palette, bool opaque) {
  std::vector<uint8_t> plte, trns;
  for (uint32_t c : palette.Colours()) {
    const uint32_t s = Straight(c);
    plte.insert(plte.end(), {uint8_t(s >> 16), uint8_t(s >> 8), uint8_t(s)});
    trns.push_back(uint8_t(s >> 24));
  }
  const size_t width = size_t(p.Width);
  std::vector<uint8_t> row(width + 1, 0);
  TDeflater deflater(row.size() * size_t(p.Height));
  uint32_t last = ~p.Data.front();
  uint8_t lastIndex = 0;
  for (size_t y = 0; y < size_t(p.Height); ++y) {
    for (size_t x = 0; x < width; ++x) {
      const uint32_t c = p.Data[y * width + x];
      if (c != last) last = c, lastIndex = palette.Index(c);
      row[x + 1] = lastIndex;
    }
    deflater.Write(row.data(), row.size());
  }
  std::vector<uint8_t> out = Signature();
  PutChunk(out, "IHDR", Header(p, 3));
  PutChunk(out, "PLTE", plte);
  if (!opaque) PutChunk(out, "tRNS", trns);
  PutChunk(out, "IDAT", deflater.Finish());
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace

std::vector<uint8_t> PagePng(const TPixels& p) {
  if (p.Data.empty()) return ColourPng(p, true);
  const bool opaque =
      std::all_of(p.Data.begin(), p.Data.end(), [](uint32_t c) { return c >> 24 == 255; });
  std::vector<uint8_t> png = ColourPng(p, opaque);
  // A palette of a few colours is much smaller; one of a smooth gradient can
  // cost more than the filtered colours, so the smaller file is kept.
  if (const std::optional<TPalette> palette = PaletteOf(p)) {
    std::vector<uint8_t> indexed = PalettePng(p, *palette, opaque);
    if (indexed.size() < png.size()) png.swap(indexed);
  }
  return png;
}

}  // namespace exporters
