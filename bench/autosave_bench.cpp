// What an autosave costs the window's thread: the copy of the document that
// the worker then writes. Goals: at most 2 ms for the banner sample and
// 20 ms for a slide show of 10,000 frames (a full save of it takes about
// 90 ms). The worker's write is timed too, for comparison.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "editor/recovery_store.h"
#include "platform/folders.h"
#include "project/document.h"
#include "project/project_file.h"
#include "support/large_project.h"

namespace {

using namespace project;

const std::string& Folder() {
  static const std::string dir = platform::TempDir() + "autosave-bench/";
  std::filesystem::create_directories(dir);
  return dir;
}

void OpenBanner(TProjectDocument& doc) {
  if (!doc.OpenMV(VELLUMET_SAMPLES_DIR "/banner.sw0")) throw std::runtime_error("no banner");
}

void SlideShow(TProjectDocument& doc) {
  vtest::MakeSlideShow(doc, 10000, 10, VELLUMET_SAMPLES_DIR "/media/logo.bmp");
}

// The snapshot as the timer takes it; it is freed on the worker, so not here.
void BM_Snapshot(benchmark::State& state, void (*make)(TProjectDocument&)) {
  TProjectDocument doc;
  make(doc);
  for (auto _ : state) {
    auto snapshot = std::make_shared<TProjectSnapshot>(TakeSnapshot(doc));
    benchmark::DoNotOptimize(snapshot.get());
    state.PauseTiming();
    snapshot.reset();
    state.ResumeTiming();
  }
}
BENCHMARK_CAPTURE(BM_Snapshot, banner, OpenBanner)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Snapshot, slideshow_10000_frames, SlideShow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void BM_WorkerWrite(benchmark::State& state, void (*make)(TProjectDocument&)) {
  TProjectDocument doc;
  make(doc);
  TProjectSnapshot snapshot = TakeSnapshot(doc);
  editor::TRecoveryStore store(Folder() + "recovery/");
  for (auto _ : state) store.Write(snapshot, {"", "untitled.sw0", 0, doc.FrameCount});
  store.RemoveOwn();
}
BENCHMARK_CAPTURE(BM_WorkerWrite, banner, OpenBanner)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WorkerWrite, slideshow_10000_frames, SlideShow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
