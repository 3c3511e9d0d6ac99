// The two builds the program makes most:
// - the editor's single-frame build of the largest sample after every edit,
//   once its cached bitmaps exist (goal: under 1 ms);
// - the whole-movie build of a generated project of 200 frames with 50
//   objects each, next to zlib alone compressing the movie's body (goal: the
//   build takes at most 1.5 times as long as that compression).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "project/document.h"
#include "support/cache_host.h"
#include "support/large_project.h"

namespace {

namespace fs = std::filesystem;

std::string SampleFolder() {
  return std::string(VELLUMET_SAMPLES_DIR) + "/";
}

// The banner sample: 24 frames, gradients, borders, texts in two faces.
void BM_SingleFrameBuildOfTheBanner(benchmark::State& state) {
  project::TProjectDocument doc;
  if (!doc.OpenMV(SampleFolder() + "banner.sw0")) {
    state.SkipWithError("cannot open samples/banner.sw0");
    return;
  }
  vtest::TCacheHost host(vtest::TempCacheFolder("vellumet-bench-cache"));
  doc.CurrentFrame = 12;
  moviegen::CreateMovie(doc, host, false, true, false);  // fills the cache
  for (auto _ : state) {
    doc.Frames[12].Slots.Edit(1).X += 1;  // an edit, as the editor makes one
    benchmark::DoNotOptimize(moviegen::CreateMovie(doc, host, false, true, false));
  }
}
BENCHMARK(BM_SingleFrameBuildOfTheBanner)->Unit(benchmark::kMicrosecond);

void MakeLargeProject(project::TProjectDocument& doc) {
  vtest::MakeLargeProject(doc, SampleFolder());
}

void BM_WholeMovieOf200FramesWith50Objects(benchmark::State& state) {
  project::TProjectDocument doc;
  MakeLargeProject(doc);
  vtest::TCacheHost host(vtest::TempCacheFolder("vellumet-bench-cache"));
  uintmax_t size = 0;
  for (auto _ : state) {
    const std::string file = moviegen::CreateMovie(doc, host, true, true, false);
    benchmark::DoNotOptimize(file);
  }
  const std::string file = moviegen::CreateMovie(doc, host, true, false, false);
  size = fs::file_size(file);
  fs::remove(file);
  state.counters["file_bytes"] = double(size);
}
BENCHMARK(BM_WholeMovieOf200FramesWith50Objects)->Unit(benchmark::kMillisecond);

// zlib at the default level on the body of that movie.
void BM_ZlibAloneOnTheLargeMoviesBody(benchmark::State& state) {
  project::TProjectDocument doc;
  MakeLargeProject(doc);
  vtest::TCacheHost host(vtest::TempCacheFolder("vellumet-bench-cache"));
  const std::string file = moviegen::CreateMovie(doc, host, true, false, false);
  std::vector<uint8_t> compressed(fs::file_size(file));
  FILE* in = std::fopen(file.c_str(), "rb");
  const size_t got = std::fread(compressed.data(), 1, compressed.size(), in);
  std::fclose(in);
  fs::remove(file);
  if (got != compressed.size()) return state.SkipWithError("cannot read the movie");
  uLongf plainSize =
      compressed[4] | compressed[5] << 8 | compressed[6] << 16 | uLongf(compressed[7]) << 24;
  std::vector<uint8_t> plain(plainSize);
  uncompress(plain.data(), &plainSize, compressed.data() + 8, uLong(compressed.size() - 8));
  std::vector<uint8_t> out(compressBound(plainSize));
  for (auto _ : state) {
    uLongf outSize = out.size();
    compress2(out.data(), &outSize, plain.data(), plainSize, Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(outSize);
  }
  state.counters["body_bytes"] = double(plainSize);
}
BENCHMARK(BM_ZlibAloneOnTheLargeMoviesBody)->Unit(benchmark::kMillisecond);

}  // namespace
