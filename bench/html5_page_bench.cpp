// The HTML5 page of each sample: the time of its export next to the SWF
// export of the same project (both build the movie first), the page's size gzipped against
// the SWF's, and the runtime's size gzipped. The last benchmark runs the
// browser test's pixel table (every content frame of every sample in
// headless Chromium against our renderer) and prints it, when node and
// Chromium are installed.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "exporters/exporters.h"
#include "exporters/page_runtime.js.h"
#include "moviegen/export.h"
#include "moviegen/movie_build.h"
#include "player/swf_reader.h"
#include "project/document.h"
#include "support/cache_host.h"

namespace {

namespace fs = std::filesystem;

const char* const kSamples[] = {"banner", "shapes", "backgrounds", "media"};

size_t Gzipped(const void* data, size_t size) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, uLong(size)) + 32, '\0');
  z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  z.avail_in = uInt(size);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  const size_t written = z.total_out;
  deflateEnd(&z);
  return written;
}

class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Text = message + " " + detail;
  }
  std::string Text;
};

// A sample's project, opened once.
struct TSample {
  TOpenErrors Errors;
  project::TProjectDocument Doc{Errors};
  bool Ok = false;

  explicit TSample(const std::string& name) {
    Ok = Doc.OpenMV(VELLUMET_SAMPLES_DIR "/" + name + ".sw0");
  }

  // The whole movie built, in a temporary file, as each export starts (the
  // page's need not be compressed).
  std::string Build(bool uncompressed = false) {
    vtest::TCacheHost host(vtest::TempCacheFolder("vellumet-bench-html5"));
    moviegen::TBuildOptions options;
    options.Uncompressed = uncompressed;
    return moviegen::CreateMovie(Doc, host, true, false, false, options);
  }
};

// The SWF export: the movie built and saved.
void BM_SwfExport(benchmark::State& state, const char* name) {
  TSample sample(name);
  if (!sample.Ok) return state.SkipWithError(sample.Errors.Text.c_str());
  const std::string out = vtest::TempCacheFolder("vellumet-bench-html5") + name + ".swf";
  for (auto _ : state) {
    const std::string movie = sample.Build();
    moviegen::SaveSWF(sample.Doc.Settings, movie, out);
    fs::remove(movie);
  }
  const std::vector<uint8_t> swf = player::ReadFileBytes(out);
  state.counters["swf_gz"] = double(Gzipped(swf.data(), swf.size()));
}

// The HTML5 page export as the user's: the movie built, read, made into the
// page and saved.
void BM_Html5PageExport(benchmark::State& state, const char* name) {
  TSample sample(name);
  if (!sample.Ok) return state.SkipWithError(sample.Errors.Text.c_str());
  const std::string folder = vtest::TempCacheFolder("vellumet-bench-html5");
  const std::string swfPath = folder + name + ".swf", pagePath = folder + name + "-page.html";
  for (auto _ : state) {
    const std::string movie = sample.Build(true);
    exporters::ExportHtml5Page(movie, sample.Doc, pagePath, {});
    fs::remove(movie);
  }
  const std::string movie = sample.Build();
  moviegen::SaveSWF(sample.Doc.Settings, movie, swfPath);
  fs::remove(movie);
  const std::vector<uint8_t> swf = player::ReadFileBytes(swfPath);
  const std::vector<uint8_t> page = player::ReadFileBytes(pagePath);
  const double swfGz = double(Gzipped(swf.data(), swf.size()));
  const double pageGz = double(Gzipped(page.data(), page.size()));
  state.counters["page"] = double(page.size());
  state.counters["page_gz"] = pageGz;
  state.counters["swf_gz"] = swfGz;
  state.counters["page_per_swf_gz"] = pageGz / swfGz;
  state.counters["runtime_gz"] = double(Gzipped(kPageRuntime.data(), kPageRuntime.size()));
}

void Register() {
  for (const char* name : kSamples) {
    benchmark::RegisterBenchmark((std::string("BM_SwfExport/") + name).c_str(), BM_SwfExport, name)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("BM_Html5PageExport/") + name).c_str(),
                                 BM_Html5PageExport, name)
        ->Unit(benchmark::kMillisecond);
  }
}

const int kRegistered = (Register(), 0);

// The pixel table of the browser test, printed as it comes.
void BM_PageFidelityTable(benchmark::State& state) {
  if (std::system("command -v node >/dev/null && test -x /usr/bin/chromium") != 0)
    return state.SkipWithError("node or Chromium is not installed");
  const std::string command =
      "node --test-name-pattern='looks as our renderer' '" VELLUMET_SOURCE_DIR
      "/tests/browser/html5_page_test.mjs' '" VELLUMET_APP "' '" VELLUMET_SAMPLES_DIR "' 2>&1";
  int status = 0;
  for (auto _ : state) {
    FILE* out = popen(command.c_str(), "r");
    if (!out) return state.SkipWithError("cannot start node");
    char line[512];
    while (std::fgets(line, sizeof line, out))
      if (std::string(line).rfind("# fidelity", 0) == 0) std::fputs(line + 2, stdout);
    status = pclose(out);
  }
  if (status != 0) state.SkipWithError("the pixel table's test failed");
}
BENCHMARK(BM_PageFidelityTable)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
