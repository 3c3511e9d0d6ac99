#include "exporters/gif_writer.h"

#include <dlfcn.h>
#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/error.h"

namespace exporters {
namespace {

struct TLiqDeleter {
  void operator()(liq_attr* p) const { liq_attr_destroy(p); }
  void operator()(liq_histogram* p) const { liq_histogram_destroy(p); }
  void operator()(liq_image* p) const { liq_image_destroy(p); }
  void operator()(liq_result* p) const { liq_result_destroy(p); }
};
using TLiqAttr = std::unique_ptr<liq_attr, TLiqDeleter>;
using TLiqHistogram = std::unique_ptr<liq_histogram, TLiqDeleter>;
using TLiqImage = std::unique_ptr<liq_image, TLiqDeleter>;
using TLiqResult = std::unique_ptr<liq_result, TLiqDeleter>;

struct TRect {
  int X = 0, Y = 0, W = 0, H = 0;
  bool Empty() const { return W <= 0 || H <= 0; }
};

[[noreturn]] void Fail(const std::string& why) {
  throw platform::TVellumetError("Cannot make the GIF file: " + why);
}

TLiqAttr MakeAttr(int colours) {
  TLiqAttr attr(liq_attr_create());
  if (!attr || liq_set_max_colors(attr.get(), colours) != LIQ_OK) Fail("no palette of that size");
  return attr;
}

// A liq_image over a rectangle of an RGBA8888 frame (no copy: the frame
// outlives the image).
TLiqImage ImageOf(const liq_attr* attr, const QImage& frame, TRect r, std::vector<void*>& rows) {
  rows.resize(size_t(r.H));
  for (int y = 0; y < r.H; ++y)
    rows[size_t(y)] = const_cast<uchar*>(frame.constScanLine(r.Y + y)) + size_t(r.X) * 4;
  TLiqImage image(liq_image_create_rgba_rows(attr, rows.data(), r.W, r.H, 0));
  if (!image) Fail("the picture cannot be read");
  return image;
}

// The smallest rectangle holding every pixel that differs between the frames.
TRect ChangedRect(const QImage& before, const QImage& now) {
  int top = now.height(), bottom = -1, left = now.width(), right = -1;
  for (int y = 0; y < now.height(); ++y) {
    const auto* a = reinterpret_cast<const uint32_t*>(before.constScanLine(y));
    const auto* b = reinterpret_cast<const uint32_t*>(now.constScanLine(y));
    if (std::memcmp(a, b, size_t(now.width()) * 4) == 0) continue;
    top = std::min(top, y);
    bottom = y;
    int x0 = 0, x1 = now.width() - 1;
    while (a[x0] == b[x0]) ++x0;
    while (a[x1] == b[x1]) --x1;
    left = std::min(left, x0);
    right = std::max(right, x1);
  }
  return {left, top, right - left + 1, bottom - top + 1};
}

// libimagequant spreads its work over OpenMP threads. On frames of banner size
// the threads spend more time waiting for each other than working (a GIF
// takes four times as long on two cores), and a batch export already keeps
// the cores busy, so the GIF's palette and mapping stay on the calling thread.
// The thread count is set in the OpenMP runtime libimagequant was linked with,
// found among the loaded libraries (none when it was built without OpenMP).
class TOneOpenMPThread {
 public:
  TOneOpenMPThread() {
    if (set_ && get_) {
      before_ = get_();
      set_(1);
    }
  }
  ~TOneOpenMPThread() {
    if (set_ && get_) set_(before_);
  }
  TOneOpenMPThread(const TOneOpenMPThread&) = delete;
  TOneOpenMPThread& operator=(const TOneOpenMPThread&) = delete;

 private:
  using TSetThreads = void (*)(int);
  using TGetThreads = int (*)();
  TSetThreads set_ = reinterpret_cast<TSetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"));
  TGetThreads get_ = reinterpret_cast<TGetThreads>(dlsym(RTLD_DEFAULT, "omp_get_max_threads"));
  int before_ = 1;
};

// Sets the pixels of the rectangle that the frame before already shows to
// the transparent entry; true when there was one.
bool KeepUnchanged(const QImage& before, const QImage& now, TRect r, std::vector<uint8_t>& indices,
                   int transparent) {
  bool kept = false;
  for (int y = 0; y < r.H; ++y) {
    const auto* a = reinterpret_cast<const uint32_t*>(before.constScanLine(r.Y + y)) + r.X;
    const auto* b = reinterpret_cast<const uint32_t*>(now.constScanLine(r.Y + y)) + r.X;
    uint8_t* row = indices.data() + size_t(y) * size_t(r.W);
    for (int x = 0; x < r.W; ++x)
      if (a[x] == b[x]) {
        row[x] = uint8_t(transparent);
        kept = true;
      }
  }
  return kept;
}

// The GIF stream in memory; giflib's calls each checked.
class TGifStream {
 public:
  TGifStream() {
    int error = 0;
    gif_ = EGifOpen(&bytes_, &Append, &error);
    if (!gif_) Fail(GifErrorString(error));
    EGifSetGifVersion(gif_, true);
  }
  ~TGifStream() {
    if (gif_) EGifCloseFile(gif_, nullptr);
  }
  TGifStream(const TGifStream&) = delete;
  TGifStream& operator=(const TGifStream&) = delete;

  GifFileType* Get() const { return gif_; }
  void Check(int result) const {
    if (result == GIF_ERROR) Fail(GifErrorString(gif_->Error));
  }
  std::vector<uint8_t> Close() {
    int error = 0;
    const int result = EGifCloseFile(gif_, &error);
    gif_ = nullptr;
    if (result == GIF_ERROR) Fail(GifErrorString(error));
    return std::move(bytes_);
  }

 private:
  static int Append(GifFileType* gif, const GifByteType* data, int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + length);
    return length;
  }

  std::vector<uint8_t> bytes_;
  GifFileType* gif_ = nullptr;
};

struct TPalette {
  std::vector<GifColorType> Colours;  // the last entry is the transparent one
  int Transparent() const { return int(Colours.size()) - 1; }
};

TPalette PaletteOf(liq_result* result, uint32_t background) {
  const liq_palette* palette = liq_get_palette(result);
  if (!palette) Fail("no palette was made");
  TPalette p;
  for (unsigned i = 0; i < palette->count; ++i)
    p.Colours.push_back({palette->entries[i].r, palette->entries[i].g, palette->entries[i].b});
  p.Colours.push_back({uint8_t(background >> 16), uint8_t(background >> 8), uint8_t(background)});
  return p;
}

// The logical screen with the palette as its global colour table, and the
// loop extension browsers know for "repeat forever" (left out to play once).
void WriteHeader(TGifStream& gif, int width, int height, const TPalette& palette, bool loop) {
  const int size = 1 << GifBitSize(int(palette.Colours.size()));
  ColorMapObject* map = GifMakeMapObject(size, nullptr);
  if (!map) Fail("out of memory");
  std::fill(map->Colors, map->Colors + size, palette.Colours.back());
  std::copy(palette.Colours.begin(), palette.Colours.end(), map->Colors);
  const int result = EGifPutScreenDesc(gif.Get(), width, height, 8, 0, map);
  GifFreeMapObject(map);
  gif.Check(result);
  if (!loop) return;
  const GifByteType repeatForever[3] = {1, 0, 0};
  gif.Check(EGifPutExtensionLeader(gif.Get(), APPLICATION_EXT_FUNC_CODE));
  gif.Check(EGifPutExtensionBlock(gif.Get(), 11, "NETSCAPE2.0"));
  gif.Check(EGifPutExtensionBlock(gif.Get(), 3, repeatForever));
  gif.Check(EGifPutExtensionTrailer(gif.Get()));
}

void WriteFrame(TGifStream& gif, TRect r, std::vector<uint8_t>& indices, int64_t delayCs,
                int transparent) {
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.DelayTime = int(delayCs);
  control.TransparentColor = transparent;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  gif.Check(EGifPutExtension(gif.Get(), GRAPHICS_EXT_FUNC_CODE, int(length), extension));
  gif.Check(EGifPutImageDesc(gif.Get(), r.X, r.Y, r.W, r.H, false, nullptr));
  for (int y = 0; y < r.H; ++y)
    gif.Check(EGifPutLine(gif.Get(), indices.data() + size_t(y) * size_t(r.W), r.W));
}

}  // namespace

TGifWriter::TGifWriter(TFrameSource& frames, std::vector<int64_t> delaysCs, bool loop)
    : frames_(frames), delaysCs_(std::move(delaysCs)), loop_(loop) {}

TGifWriter::~TGifWriter() = default;

void TGifWriter::CollectColours(TProgressMeter& meter) {
  std::unordered_map<uint32_t, uint64_t> counts;
  for (int i = 0; i < frames_.Count(); ++i) {
    const QImage& frame = frames_.Frame(i);
    for (int y = 0; y < frame.height(); ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(frame.constScanLine(y));
      for (int x = 0; x < frame.width(); ++x) ++counts[row[x]];
    }
    meter.Step();
  }
  colours_.clear();
  colours_.reserve(counts.size());
  for (const auto& [rgba, count] : counts) {
    const auto* c = reinterpret_cast<const uint8_t*>(&rgba);  // R, G, B, A in memory
    colours_.push_back({{c[0], c[1], c[2], c[3]}, unsigned(std::min<uint64_t>(count, UINT_MAX))});
  }
}

// Every frame is mapped onto the same palette (a palette made from a
// histogram is not refined per picture); the pixels a frame keeps from the
// one before become the transparent entry.
std::vector<uint8_t> TGifWriter::Encode(int colours, TProgressMeter& meter) {
  const TOneOpenMPThread oneThread;
  const TLiqAttr attr = MakeAttr(std::clamp(colours, kMinGifColours, kMaxGifColours) - 1);
  const TLiqHistogram histogram(liq_histogram_create(attr.get()));
  liq_result* quantized = nullptr;
  if (!histogram ||
      liq_histogram_add_colors(histogram.get(), attr.get(), colours_.data(), int(colours_.size()),
                               0) != LIQ_OK ||
      liq_histogram_quantize(histogram.get(), attr.get(), &quantized) != LIQ_OK)
    Fail("no palette was made");
  const TLiqResult result(quantized);
  const TPalette palette = PaletteOf(result.get(), frames_.Background());

  TGifStream gif;
  WriteHeader(gif, frames_.Width(), frames_.Height(), palette, loop_);
  QImage before;
  std::vector<uint8_t> indices;
  std::vector<void*> rows;
  for (int i = 0; i < frames_.Count(); ++i) {
    const QImage now = frames_.Frame(i);
    TRect r = i == 0 ? TRect{0, 0, now.width(), now.height()} : ChangedRect(before, now);
    if (r.Empty()) {
      indices.assign(1, uint8_t(palette.Transparent()));
      WriteFrame(gif, {0, 0, 1, 1}, indices, delaysCs_[size_t(i)], palette.Transparent());
    } else {
      indices.resize(size_t(r.W) * size_t(r.H));
      const TLiqImage image = ImageOf(attr.get(), now, r, rows);
      if (liq_write_remapped_image(result.get(), image.get(), indices.data(), indices.size()) !=
          LIQ_OK)
        Fail("the picture cannot be mapped onto the palette");
      const bool kept = i > 0 && KeepUnchanged(before, now, r, indices, palette.Transparent());
      WriteFrame(gif, r, indices, delaysCs_[size_t(i)],
                 kept ? palette.Transparent() : NO_TRANSPARENT_COLOR);
    }
    before = now;
    meter.Step();
  }
  return gif.Close();
}

}  // namespace exporters
