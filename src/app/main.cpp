// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/commands.h"
#include "app/demo_movie.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return app::RunRender(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return app::RunDump(argc - 2, argv + 2);
  app::PrintUsage();
  if (argc >= 2) return 2;
  // Until the editor exists, a plain start writes a demo movie.
  try {
    return app::RunDemoMovie();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet: %s\n", e.what());
    return 1;
  }
}
