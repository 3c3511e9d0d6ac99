// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/demo_movie.h"
#include "app/export_command.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "export") == 0) return app::RunExport(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("Vellumet: SWF banners and slide shows\nusage:\n%s", app::kExportUsage);
    return 0;
  }
  try {
    return app::RunDemoMovie();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet: %s\n", e.what());
    return 1;
  }
}
