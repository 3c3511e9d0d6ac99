#include "app/batch_export.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "app/export_target.h"
#include "app/progress_bar.h"
#include "app/project_export.h"
#include "moviegen/build_host.h"
#include "platform/folders.h"

namespace app {

namespace fs = std::filesystem;

namespace {

struct TOutcome {
  std::vector<TWrittenFile> Files;
  std::vector<std::string> Warnings;
  std::string Error;
  double Seconds = 0;
};

// Warnings wait for the project's line at the end instead of breaking into
// the progress bar.
class TCollectingHost : public moviegen::IBuildHost {
 public:
  void ShowWarning(const std::string& message) override { Warnings.push_back(message); }
  std::vector<std::string> Warnings;
};

// Two projects of the same name would write the same movie: the later ones
// are refused before anything is built.
void RefuseSameNames(const TExportArgs& args, std::vector<TOutcome>& outcomes) {
  std::map<std::string, size_t> first;
  for (size_t i = 0; i < args.Projects.size(); ++i) {
    const std::string swf = SwfPathInFolder(args.Output, args.Projects[i]);
    auto [it, added] = first.try_emplace(swf, i);
    if (!added)
      outcomes[i].Error =
          "its movie " + swf + " would replace that of " + args.Projects[it->second];
  }
}

// Each project unpacks its media and builds its movie in a folder of its
// own: media of different projects often share a file name.
void ExportOne(const TExportArgs& args, size_t index, TOutcome& outcome) {
  const auto start = std::chrono::steady_clock::now();
  const std::string tempDir = platform::TempDir() + "batch-" + std::to_string(index) + "/";
  std::error_code ignored;
  fs::create_directories(tempDir, ignored);
  TCollectingHost host;
  try {
    outcome.Files = ExportProject(args.Projects[index], args, tempDir, host);
  } catch (const std::exception& e) {
    outcome.Error = UserMessage(e);
  } catch (...) {
    outcome.Error = "The export failed.";
  }
  outcome.Warnings = std::move(host.Warnings);
  fs::remove_all(tempDir, ignored);
  outcome.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ExportAll(const TExportArgs& args, std::vector<TOutcome>& outcomes) {
  const size_t count = args.Projects.size();
  TProgressBar bar("exporting");
  bar.Show(0, int64_t(count));
  std::atomic<size_t> next{0}, done{0};
  auto worker = [&] {
    for (size_t i = next++; i < count; i = next++) {
      if (outcomes[i].Error.empty()) ExportOne(args, i, outcomes[i]);
      bar.Show(int64_t(++done), int64_t(count));
    }
  };
  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, count);
  std::vector<std::thread> pool;
  for (size_t t = 0; t < threads; ++t) pool.emplace_back(worker);
  for (std::thread& t : pool) t.join();
}

std::string SummaryLine(const std::string& project, const TOutcome& outcome) {
  if (!outcome.Error.empty()) return project + ": " + outcome.Error;
  if (outcome.Files.empty()) return project + ": nothing was written";
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, ", %llu bytes, %.2f s",
                static_cast<unsigned long long>(outcome.Files.front().Bytes), outcome.Seconds);
  std::string line = project + ": " + outcome.Files.front().Path + numbers;
  for (const std::string& warning : outcome.Warnings) line += " (" + warning + ")";
  return line;
}

}  // namespace

int RunBatchExport(const TExportArgs& args) {
  if (const std::string problem = FolderProblem(args.Output); !problem.empty()) {
    std::fprintf(stderr, "vellumet: %s\n", problem.c_str());
    return 1;
  }
  std::vector<TOutcome> outcomes(args.Projects.size());
  RefuseSameNames(args, outcomes);
  ExportAll(args, outcomes);
  size_t failed = 0;
  for (size_t i = 0; i < outcomes.size(); ++i) {
    std::printf("%s\n", SummaryLine(args.Projects[i], outcomes[i]).c_str());
    failed += !outcomes[i].Error.empty();
  }
  std::fflush(stdout);
  if (failed == 0) return 0;
  std::fprintf(stderr, "vellumet: %zu of %zu projects failed\n", failed, outcomes.size());
  return 1;
}

}  // namespace app
