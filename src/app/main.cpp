// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>
#include <exception>

#include "app/demo_movie.h"

int main(int, char**) {
  try {
    return app::RunDemoMovie();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet: %s\n", e.what());
    return 1;
  }
}
