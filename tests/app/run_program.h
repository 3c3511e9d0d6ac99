#pragma once
// Runs the program itself (VELLUMET_APP, the build's vellumet) as a user
// would from a shell, in a folder of the test's own, with the cache and
// temporary folders inside it: what it prints and its exit status.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/bytes.h"

extern char** environ;

namespace vtest {

struct TRun {
  int Status = -1;  // exit status; 128 + the signal when killed
  std::string Out, Err;
};

// Starts `vellumet args...` in `dir` and waits for it; its cache and
// temporary folders lie in `dir`/.run. The program does not
// link the tests' leak suppressions (fontconfig keeps its caches for the life
// of the process), so leaks are not looked for in it.
inline TRun RunVellumet(const std::vector<std::string>& args, const std::string& dir) {
  namespace fs = std::filesystem;
  const std::string run = dir + "/.run", out = run + "/stdout", err = run + "/stderr";
  fs::create_directories(run);
  std::vector<std::string> env = {"XDG_CACHE_HOME=" + run + "/cache", "TMPDIR=" + run,
                                  "HOME=" + run, "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1",
                                  "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"};
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    if (var.rfind("PATH=", 0) == 0 || var.rfind("LANG=", 0) == 0) env.push_back(var);
  }
  std::vector<std::string> argv = {VELLUMET_APP};
  argv.insert(argv.end(), args.begin(), args.end());
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  std::vector<char*> argp = pointers(argv), envp = pointers(env);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  TRun result;
  pid_t pid = 0;
  if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.Out = ReadText(out);
  result.Err = ReadText(err);
  fs::remove(out);
  fs::remove(err);
  return result;
}

}  // namespace vtest
