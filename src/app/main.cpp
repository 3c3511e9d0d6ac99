// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "app/commands.h"
#include "app/demo_movie.h"
#include "app/export_command.h"

namespace {

// A project to open: an existing file, or a name with a folder or an
// extension (the editor reports a missing project itself). A bare word that
// names no file is taken for a mistyped command.
bool NamesAFile(const char* arg) {
  std::error_code ignored;
  return std::strpbrk(arg, "./") != nullptr || std::filesystem::exists(arg, ignored);
}

}  // namespace

int main(int argc, char** argv) {
  const char* command = argc >= 2 ? argv[1] : "";
  if (std::strcmp(command, "export") == 0) return app::RunExport(argc - 2, argv + 2);
  if (std::strcmp(command, "render") == 0) return app::RunRender(argc - 2, argv + 2);
  if (std::strcmp(command, "dump") == 0) return app::RunDump(argc - 2, argv + 2);
  if (std::strcmp(command, "check") == 0) return app::RunCheck(argc - 2, argv + 2);
  if (std::strcmp(command, "--version") == 0) {
    app::PrintVersion();
    return 0;
  }
  if (std::strcmp(command, "--help") == 0) {
    app::PrintUsage(stdout);
    return 0;
  }
  if (std::strcmp(command, "demo") == 0) {
    try {
      return app::RunDemoMovie();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vellumet: %s\n", e.what());
      return 1;
    }
  }
  // A plain start or a project opens the editor; anything else gets the usage.
  if (argc == 1 || (argc == 2 && command[0] != '-' && NamesAFile(command)))
    return app::RunEditor(argc, argv);
  std::fprintf(stderr, "vellumet: unknown %s %s\n", command[0] == '-' ? "option" : "command",
               command);
  app::PrintUsage(stderr);
  return 2;
}
