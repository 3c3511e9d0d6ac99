// Opening and saving a long slide show: 10,000 frames of 10 objects each and
// 1 MB of embedded media. Goals: open < 1 s, save < 1 s, < 200 MB resident
// while the project is open (counters "rss_mb" and "peak_rss_mb").
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/folders.h"
#include "project/document.h"
#include "support/large_project.h"

namespace {

using namespace project;

constexpr int kFrames = 10000;
constexpr int kObjectsPerFrame = 10;
constexpr size_t kMediaBytes = 1 << 20;

// VmRSS or VmHWM of this process in MB.
double MemoryMb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024;
  return 0;
}

const std::string& Folder() {
  static const std::string dir = platform::TempDir() + "bench/";
  std::filesystem::create_directories(dir);
  return dir;
}

void BuildProject(TProjectDocument& doc) {
  std::string media = Folder() + "photo.jpg";
  std::vector<char> bytes(kMediaBytes);
  std::mt19937 random(7);
  for (char& b : bytes) b = char(random());
  std::ofstream(media, std::ios::binary).write(bytes.data(), long(bytes.size()));
  vtest::MakeSlideShow(doc, kFrames, kObjectsPerFrame, media);
}

const std::string& SavedProject() {
  static const std::string path = [] {
    TProjectDocument doc;
    BuildProject(doc);
    std::string file = Folder() + "slideshow.sw0";
    doc.SaveMV_NEW(file);
    return file;
  }();
  return path;
}

void BM_OpenProject(benchmark::State& state) {
  const std::string& path = SavedProject();
  for (auto _ : state) {
    TProjectDocument doc;
    if (!doc.OpenMV(path)) state.SkipWithError("open failed");
    state.PauseTiming();
    state.counters["rss_mb"] = MemoryMb("VmRSS:");
    state.ResumeTiming();
  }
  state.counters["peak_rss_mb"] = MemoryMb("VmHWM:");
  state.counters["file_mb"] = double(std::filesystem::file_size(path)) / (1 << 20);
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaveProject(benchmark::State& state) {
  TProjectDocument doc;
  if (!doc.OpenMV(SavedProject())) state.SkipWithError("open failed");
  std::string path = Folder() + "saved.sw0";
  for (auto _ : state) doc.SaveMV_NEW(path);
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
