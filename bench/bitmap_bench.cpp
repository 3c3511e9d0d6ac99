// Converting a 1920 x 1080 24-bit BMP into its lossless bitmap tag, next to
// what zlib alone takes to compress the same uncompressed layout: the
// conversion should cost little beyond the compression itself.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "swf/core/bits_engine.h"
#include "swf/objects/flash_image.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// A photo-like picture: smooth gradients with a little noise.
media::TBitmap32 Picture() {
  media::TBitmap32 p(kWidth, kHeight);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-6, 6);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      auto channel = [&](int base) { return uint8_t(std::clamp(base + noise(random), 0, 255)); };
      p.At(x, y) = media::ARGB(255, channel(x * 255 / kWidth), channel(y * 255 / kHeight),
                               channel((x + y) * 255 / (kWidth + kHeight)));
    }
  return p;
}

const std::string& PictureFile() {
  static const std::string path = [] {
    const std::string file =
        (std::filesystem::temp_directory_path() / "vellumet-bench-1920x1080.bmp").string();
    media::SaveBMP(file, Picture(), 24);
    return file;
  }();
  return path;
}

void BM_BmpToLosslessTag(benchmark::State& state) {
  const std::string& file = PictureFile();
  for (auto _ : state) {
    swf::TFlashImage image(nullptr, file);
    swf::TMemoryStream stream;
    swf::TBitsEngine be(stream);
    image.WriteToStream(be);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(BM_BmpToLosslessTag)->Unit(benchmark::kMillisecond);

void BM_ZlibOfTheSameLayout(benchmark::State& state) {
  const media::TBitmap32 picture = Picture();
  std::vector<uint8_t> layout(size_t(kWidth) * kHeight * 4);
  for (size_t i = 0; i < picture.Pixels.size(); ++i) {
    const uint32_t v = picture.Pixels[i];
    layout[4 * i] = 255;
    layout[4 * i + 1] = uint8_t(v >> 16);
    layout[4 * i + 2] = uint8_t(v >> 8);
    layout[4 * i + 3] = uint8_t(v);
  }
  std::vector<uint8_t> out(compressBound(uLong(layout.size())));
  for (auto _ : state) {
    uLongf length = out.size();
    compress2(out.data(), &length, layout.data(), uLong(layout.size()), Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(length);
  }
}
BENCHMARK(BM_ZlibOfTheSameLayout)->Unit(benchmark::kMillisecond);

}  // namespace
