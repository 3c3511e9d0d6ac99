#pragma once
// A quiet movie-build host whose rendered bitmaps go into a folder of the
// caller's, so tests and benchmarks never touch the user's cache.
#include <filesystem>
#include <string>

#include "moviegen/build_host.h"

namespace vtest {

class TCacheHost : public moviegen::IBuildHost {
 public:
  explicit TCacheHost(std::string cache) : cache_(std::move(cache)) {}
  std::string CacheDir() const override { return cache_; }

 private:
  std::string cache_;
};

// A folder of that name in the system's temporary folder, made if missing,
// with a trailing slash: a cache that benchmarks keep from run to run.
inline std::string TempCacheFolder(const std::string& name) {
  const std::string dir = (std::filesystem::temp_directory_path() / name).string() + "/";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace vtest
