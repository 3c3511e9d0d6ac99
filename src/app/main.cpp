// Vellumet: the editor and the headless commands share this entry point.
#include <cstring>

#include "app/commands.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "render") == 0) return app::RunRender(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return app::RunDump(argc - 2, argv + 2);
  app::PrintUsage();
  return argc >= 2 ? 2 : 0;
}
