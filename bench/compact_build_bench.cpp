// Default and compact whole-movie builds side by side: the time of each and
// the size of the file it writes (counter file_bytes). Two generated movies
// of 200 frames and 50 objects: in the first every object moves and turns in
// every frame, so each frame needs definitions of its own; the second is
// animated the way a banner is (objects slide in, then rest). The compact
// build of the banner should be at least ten times smaller: its frames no
// longer remove every depth below their own, and unturned objects are
// defined once.
#include <benchmark/benchmark.h>

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

const char* const kProjects[] = {"200 x 50, all moving and turning",
                                 "200 x 50 banner",
                                 "banner",
                                 "shapes",
                                 "backgrounds",
                                 "media"};

bool Open(project::TProjectDocument& doc, int project) {
  if (project == 0) {
    vtest::MakeLargeProject(doc, SampleFolder());
    return true;
  }
  if (project == 1) {
    vtest::MakeBannerProject(doc, SampleFolder());
    return true;
  }
  return doc.OpenMV(SampleFolder() + kProjects[project] + ".sw0");
}

void WholeMovie(benchmark::State& state, bool compact) {
  project::TProjectDocument doc;
  if (!Open(doc, int(state.range(0)))) return state.SkipWithError("cannot open the sample");
  state.SetLabel(kProjects[state.range(0)]);
  vtest::TCacheHost host(vtest::TempCacheFolder("vellumet-bench-cache"));
  moviegen::TBuildOptions options;
  options.Compact = compact;
  for (auto _ : state)
    benchmark::DoNotOptimize(moviegen::CreateMovie(doc, host, true, true, false, options));
  const std::string file = moviegen::CreateMovie(doc, host, true, false, false, options);
  state.counters["file_bytes"] = double(fs::file_size(file));
  fs::remove(file);
}

void BM_DefaultBuild(benchmark::State& state) {
  WholeMovie(state, false);
}
void BM_CompactBuild(benchmark::State& state) {
  WholeMovie(state, true);
}
BENCHMARK(BM_DefaultBuild)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactBuild)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
