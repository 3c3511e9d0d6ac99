// Vellumet: the editor and the headless commands share this entry point.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::puts("Vellumet");
  return 0;
}
