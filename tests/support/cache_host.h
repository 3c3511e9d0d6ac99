#pragma once
// A quiet movie-build host whose rendered bitmaps go into a folder of the
// caller's, so tests and benchmarks never touch the user's cache.
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

}  // namespace vtest
