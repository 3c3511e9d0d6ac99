// Decodes the input into a script of editor commands and runs it on a real
// editor (editor_script/session.h lists the invariants checked after every
// step). A broken invariant stops the run like a crash; the script is
// printed as rows for the regression table in tests/editor/command_script_test.cpp.
//
//   build/fuzz/fuzz/editor_commands_fuzz -entropic=0 -max_len=2048 -timeout=30
//       fuzz/corpus/editor_commands
//   build/fuzz/fuzz/editor_commands_fuzz CRASH_FILE     # replays one input
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "editor_script/session.h"

namespace {

// Removed when the run ends (a crash leaves it to be looked at).
struct TFolder {
  std::string Path;
  TFolder() : Path(std::filesystem::temp_directory_path() / "editor-commands-XXXXXX") {
    if (!mkdtemp(Path.data())) std::abort();
  }
  ~TFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
};

const std::string& Folder() {
  static const TFolder folder;
  return folder.Path;
}

// The rate that matters is in steps, not inputs (an input is a script of
// any length): printed when the run ends.
struct TStepCount {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  size_t steps = 0;
  ~TStepCount() {
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "editor_commands_fuzz: %zu steps in %.0f s, %.0f steps a second\n", steps,
                 seconds, seconds > 0 ? double(steps) / seconds : 0.0);
  }
};
TStepCount stepCount;

}  // namespace

// Steps save, open and build, and the writers sync every file they write:
// on a disk that was a tenth of the run, in memory it costs nothing.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!std::getenv("TMPDIR") && access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 0);
  return 0;
}

extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vscript::TScript script = vscript::DecodeScript(data, size);
  stepCount.steps += script.size();
  vscript::TSession session(Folder(), VELLUMET_SCRIPT_FIXTURES);
  std::optional<vscript::TFinding> finding = session.Run(script);
  if (!finding) return 0;
  std::fprintf(stderr, "editor_commands_fuzz: step %zu: %s\n%s", finding->Step,
               finding->What.c_str(), vscript::DescribeScript(script).c_str());
  std::abort();
}
