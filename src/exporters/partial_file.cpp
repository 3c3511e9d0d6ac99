#include "exporters/partial_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/error.h"

namespace exporters {
namespace {

[[noreturn]] void Fail(const std::string& target, int error) {
  throw platform::TVellumetError("Error writing the file " + target + ": " + std::strerror(error));
}

// ".NAME.<pid>-<n>.part" in the target's folder.
std::string HiddenName(const std::string& target, unsigned n) {
  const std::filesystem::path path(target);
  return (path.parent_path() / ("." + path.filename().string() + "." + std::to_string(getpid()) +
                                "-" + std::to_string(n) + ".part"))
      .string();
}

}  // namespace

TPartialFile::TPartialFile(const std::string& target) : target_(target) {
  std::error_code ignored;
  if (std::filesystem::is_directory(target, ignored)) Fail(target, EISDIR);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = HiddenName(target, counter++);
    // 0666 lets the user's umask decide, as for any file the program writes.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      path_ = path;
      return;
    }
    if (errno != EEXIST) Fail(target, errno);
  }
  Fail(target, EEXIST);
}

TPartialFile::~TPartialFile() {
  if (!committed_) std::remove(path_.c_str());
}

void TPartialFile::Commit() {
  if (std::rename(path_.c_str(), target_.c_str()) != 0) Fail(target_, errno);
  committed_ = true;
}

}  // namespace exporters
