// Animated GIF and WebP of the banner sample (24 frames of 468 x 60): time
// and bytes of our exports, next to two tools run on the same frames as
// anchors: `gifsicle -O3` optimising our GIF (what a dedicated GIF optimiser
// still finds), and `img2webp -lossless` on the PNG frames with the same
// delays. The tools run through std::system when installed; their times
// include starting the process.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "exporters/exporters.h"
#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "project/document.h"
#include "support/cache_host.h"

namespace {

namespace fs = std::filesystem;

std::string WorkFolder() {
  const std::string dir = fs::temp_directory_path().string() + "/vellumet-bench-animation/";
  fs::create_directories(dir + "cache");
  return dir;
}

// Keeps why the project did not open.
class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Text = message + " " + detail;
  }
  std::string Text;
};

// The banner project and its whole movie, built once.
struct TBanner {
  TOpenErrors Errors;
  project::TProjectDocument Doc{Errors};
  std::string Swf;
  bool Ok = false;

  TBanner() {
    if (!Doc.OpenMV(VELLUMET_SAMPLES_DIR "/banner.sw0")) return;
    vtest::TCacheHost host(WorkFolder() + "cache/");
    const std::string built = moviegen::CreateMovie(Doc, host, true, false, false);
    Swf = WorkFolder() + "banner.swf";
    fs::copy_file(built, Swf, fs::copy_options::overwrite_existing);
    fs::remove(built);
    Ok = true;
  }
};

TBanner& Banner() {
  static TBanner banner;
  return banner;
}

bool Installed(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs the shell command `iterations` times; seconds per run.
double TimeCommand(const std::string& command, int iterations) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < iterations; ++i)
    if (std::system(command.c_str()) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
         iterations;
}

template <exporters::TExportReport (*Export)(
    const std::string&, const project::TProjectDocument&, const std::string&,
    const exporters::TAnimationOptions&, const exporters::TProgress&)>
void BM_Export(benchmark::State& state, const std::string& name) {
  TBanner& banner = Banner();
  if (!banner.Ok) return state.SkipWithError(banner.Errors.Text.c_str());
  exporters::TExportReport report;
  for (auto _ : state) report = Export(banner.Swf, banner.Doc, WorkFolder() + name, {}, {});
  state.counters["bytes"] = double(report.Bytes);
}

void BM_GifOfTheBanner(benchmark::State& state) {
  BM_Export<&exporters::ExportGif>(state, "banner.gif");
}
BENCHMARK(BM_GifOfTheBanner)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WebPOfTheBanner(benchmark::State& state) {
  BM_Export<&exporters::ExportWebP>(state, "banner.webp");
}
BENCHMARK(BM_WebPOfTheBanner)->Unit(benchmark::kMillisecond)->UseRealTime();

// Our GIF through gifsicle -O3; the counters give the tool's time per run.
void BM_GifsicleO3Anchor(benchmark::State& state) {
  TBanner& banner = Banner();
  if (!banner.Ok || !Installed("gifsicle")) return state.SkipWithError("gifsicle is not installed");
  const std::string in = WorkFolder() + "banner.gif", out = WorkFolder() + "banner-O3.gif";
  exporters::ExportGif(banner.Swf, banner.Doc, in, {});
  double seconds = 0;
  for (auto _ : state) seconds = TimeCommand("gifsicle -O3 '" + in + "' -o '" + out + "'", 1);
  state.counters["bytes"] = double(fs::file_size(out));
  state.counters["ours_bytes"] = double(fs::file_size(in));
  state.counters["tool_ms"] = seconds * 1000;
}
BENCHMARK(BM_GifsicleO3Anchor)->Unit(benchmark::kMillisecond)->UseRealTime();

// img2webp -lossless on our PNG frames, each with its delay.
void BM_Img2WebPAnchor(benchmark::State& state) {
  TBanner& banner = Banner();
  if (!banner.Ok || !Installed("img2webp")) return state.SkipWithError("img2webp is not installed");
  const std::string frames = WorkFolder() + "frames", out = WorkFolder() + "banner-img2webp.webp";
  fs::remove_all(frames);
  exporters::ExportPngFrames(banner.Swf, banner.Doc, frames, {});
  std::string command = "img2webp -lossless -loop 0";
  char name[32];
  for (int32_t l = 1; l <= banner.Doc.FrameCount; ++l) {
    std::snprintf(name, sizeof name, "/frame-%04d.png", l);
    command +=
        " -d " + std::to_string(banner.Doc.Frames[size_t(l)].Delay) + " '" + frames + name + "'";
  }
  command += " -o '" + out + "' >/dev/null 2>&1";
  double seconds = 0;
  for (auto _ : state) seconds = TimeCommand(command, 1);
  state.counters["bytes"] = double(fs::file_size(out));
  state.counters["tool_ms"] = seconds * 1000;
}
BENCHMARK(BM_Img2WebPAnchor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
