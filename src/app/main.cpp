// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/commands.h"
#include "app/demo_movie.h"
#include "app/export_command.h"

int main(int argc, char** argv) {
  const char* command = argc >= 2 ? argv[1] : "";
  if (std::strcmp(command, "export") == 0) return app::RunExport(argc - 2, argv + 2);
  if (std::strcmp(command, "render") == 0) return app::RunRender(argc - 2, argv + 2);
  if (std::strcmp(command, "dump") == 0) return app::RunDump(argc - 2, argv + 2);
  if (std::strcmp(command, "--version") == 0) {
    app::PrintVersion();
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
  // Anything else that looks like an option gets the usage; a plain start or
  // a project path opens the editor.
  if (argc >= 2 && (command[0] == '-' || argc > 2)) {
    app::PrintUsage();
    return std::strcmp(command, "--help") == 0 ? 0 : 2;
  }
  return app::RunEditor(argc, argv);
}
