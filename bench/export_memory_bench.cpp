// Resident memory around a video export, run as the window runs one: the
// project open, the export of its whole movie to WebM on the window's worker
// (gui::RunInBackground), then New Project. The counters give the resident
// size before the export, at its end and after New Project; after/before
// should stay within 1.5 (what the export used is given back, nothing keeps
// its frames). heap_in_use tells live blocks from pages the allocator kept.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "exporters/exporters.h"
#include "gui/background_work.h"
#include "moviegen/movie_build.h"
#include "project/document.h"
#include "support/cache_host.h"
#include "support/large_project.h"
#include "qt_bench_main.h"

namespace {

namespace fs = std::filesystem;

double ResidentMB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Bytes the allocator holds as live blocks.
double HeapInUseMB() {
  const struct mallinfo2 info = mallinfo2();
  return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

class TQuietView : public project::IDocumentView {};

void BM_VideoExportGivesMemoryBack(benchmark::State& state) {
  const std::string dir = vtest::TempCacheFolder("vellumet-bench-export-memory");
  fs::create_directories(dir + "cache/");
  vtest::TCacheHost host(dir + "cache/");
  TQuietView view;
  project::TProjectDocument doc(view);
  vtest::MakeBannerProject(doc, VELLUMET_SAMPLES_DIR "/");
  const std::string built = moviegen::CreateMovie(doc, host, true, false, false);
  const std::string swf = dir + "movie.swf";
  fs::copy_file(built, swf, fs::copy_options::overwrite_existing);
  fs::remove(built);
  double before = 0, atEnd = 0, after = 0, heapBefore = 0, heapAfter = 0;
  for (auto _ : state) {
    before = ResidentMB();
    heapBefore = HeapInUseMB();
    gui::RunInBackground(nullptr, "Exporting...", true, [&](const gui::TStepReport& step) {
      exporters::TAnimationOptions options;
      options.Scale = double(state.range(0));
      exporters::ExportVideo(swf, doc, dir + "movie.webm", options, step);
    });
    atEnd = ResidentMB();
    doc.CreateEmptyMV();
    after = ResidentMB();
    heapAfter = HeapInUseMB();
  }
  state.counters["before_MB"] = before;
  state.counters["export_end_MB"] = atEnd;
  state.counters["after_new_project_MB"] = after;
  state.counters["after_over_before"] = after / before;
  state.counters["heap_in_use_before_MB"] = heapBefore;
  state.counters["heap_in_use_after_MB"] = heapAfter;
}
BENCHMARK(BM_VideoExportGivesMemoryBack)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
