#include "moviegen/build_host.h"

#include <cstdio>

#include "platform/folders.h"

namespace moviegen {

std::string IBuildHost::CacheDir() const {
  return platform::CacheDir();
}

void THeadlessBuildHost::ShowWarning(const std::string& message) {
  std::fprintf(stderr, "Vellumet: %s\n", message.c_str());
}

}  // namespace moviegen
