// `vellumet check`'s work on the samples' ad packages: reading the ZIP and
// every rule of the default profile (the goal: under 100 ms a package). The
// packages are made once by our export, before the timing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "exporters/ad_check.h"
#include "exporters/ad_export.h"
#include "moviegen/movie_build.h"
#include "project/document.h"
#include "support/cache_host.h"

namespace {

namespace fs = std::filesystem;

const char* const kSamples[] = {"banner", "shapes", "backgrounds", "media"};

std::string WorkFolder() {
  const std::string dir = fs::temp_directory_path().string() + "/vellumet-bench-ad-check/";
  fs::create_directories(dir + "cache");
  return dir;
}

class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

// The shipped profiles, found as the user's own: the benchmark has no
// program folder beside it.
void UseShippedProfiles() {
  const std::string config = WorkFolder() + "config";
  const std::string folder = config + "/vellumet/ad-profiles";
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(VELLUMET_SOURCE_DIR "/data/AdProfiles"))
    fs::copy_file(entry.path(), folder + "/" + entry.path().filename().string(),
                  fs::copy_options::overwrite_existing);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
}

std::vector<uint8_t> SamplePackage(const std::string& name) {
  TOpenErrors errors;
  project::TProjectDocument doc(errors);
  doc.TempDir = WorkFolder();
  if (!doc.OpenMV(std::string(VELLUMET_SAMPLES_DIR) + "/" + name + ".sw0")) return {};
  vtest::TCacheHost host(WorkFolder() + "cache/");
  const std::string swf = moviegen::CreateMovie(doc, host, true, false, false);
  std::vector<uint8_t> zip = exporters::BuildAdPackage(swf, doc, {}).Zip;
  fs::remove(swf);
  return zip;
}

const std::vector<uint8_t>& Package(const std::string& name) {
  static std::map<std::string, std::vector<uint8_t>> made;
  if (!made.count(name)) {
    UseShippedProfiles();
    made[name] = SamplePackage(name);
  }
  return made[name];
}

void BM_CheckPackage(benchmark::State& state) {
  const std::string name = kSamples[state.range(0)];
  const std::vector<uint8_t>& zip = Package(name);
  if (zip.empty()) return state.SkipWithError("the sample could not be built");
  const exporters::TAdProfile profile = exporters::LoadAdProfile(exporters::kDefaultAdProfile);
  bool passed = false;
  for (auto _ : state) {
    const exporters::TAdPackage package = exporters::PackageFromZip(name + ".zip", zip);
    passed = exporters::AllPassed(exporters::CheckAdPackage(package, profile));
    benchmark::DoNotOptimize(passed);
  }
  state.SetLabel(name + (passed ? ", accepted" : ", rejected"));
  state.counters["bytes"] = double(zip.size());
}
BENCHMARK(BM_CheckPackage)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
