// Batch export of 100 projects (25 copies of each sample) on all cores,
// through the program itself as a user runs it: projects per second. The
// cache folder is filled once before timing, as it is after a first export.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kCopies = 25;
const char* const kSamples[] = {"banner", "shapes", "backgrounds", "media"};

std::string BenchFolder() {
  const std::string dir = fs::temp_directory_path().string() + "/vellumet-batch-bench/";
  fs::remove_all(dir);
  fs::create_directories(dir + "projects");
  fs::create_directories(dir + "out");
  return dir;
}

std::vector<std::string> CopyProjects(const std::string& dir) {
  const fs::path samples = VELLUMET_SAMPLES_DIR;
  std::vector<std::string> projects;
  for (int copy = 0; copy < kCopies; ++copy)
    for (const char* sample : kSamples) {
      const std::string project = dir + "projects/" + sample + "-" + std::to_string(copy) + ".sw0";
      fs::copy_file(samples / (std::string(sample) + ".sw0"), project);
      projects.push_back(project);
    }
  return projects;
}

// The exit status of `vellumet export PROJECTS -o OUT/`, its output dropped.
int ExportAll(const std::vector<std::string>& projects, const std::string& out,
              const std::string& cache) {
  std::vector<std::string> args = {VELLUMET_APP, "export"};
  args.insert(args.end(), projects.begin(), projects.end());
  args.insert(args.end(), {"-o", out});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string cacheVar = "XDG_CACHE_HOME=" + cache;
  std::vector<char*> env = {cacheVar.data()};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("XDG_CACHE_HOME=", 0) != 0) env.push_back(*e);
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) == 0)
    waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_BatchExportOf100Projects(benchmark::State& state) {
  const std::string dir = BenchFolder();
  const std::vector<std::string> projects = CopyProjects(dir);
  if (ExportAll(projects, dir + "out/", dir + "cache") != 0)
    return state.SkipWithError("the batch export failed");
  for (auto _ : state)
    if (ExportAll(projects, dir + "out/", dir + "cache") != 0)
      return state.SkipWithError("the batch export failed");
  state.counters["projects_per_second"] = benchmark::Counter(
      double(projects.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cores"] = std::thread::hardware_concurrency();
  fs::remove_all(dir);
}
BENCHMARK(BM_BatchExportOf100Projects)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
