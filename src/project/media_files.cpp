// Files around the project: reading the project bytes, unpacking media into
// the temporary folder and finding the files that media references name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/codepage.h"
#include "platform/folders.h"
#include "project/base64.h"
#include "project/project_file.h"

namespace project {

namespace {

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteAll(int fd, const uint8_t* data, size_t size, const std::string& path) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw TProjectError("Error writing the file " + path, SystemError(path));
    data += n;
    size -= size_t(n);
  }
}

}  // namespace

std::string ReadProjectBytes(const std::string& path) {
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) throw TProjectError("Error reading the file " + path, SystemError(path));
  struct stat st;
  // Devices and pipes could block or never end; a project is a plain file.
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
    throw TProjectError("Error reading the file " + path, path + " is not a regular file");
  std::string data(size_t(st.st_size), '\0');
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::read(fd.Get(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw TProjectError("Error reading the file " + path, SystemError(path));
    if (n == 0) break;  // the file shrank while being read
    done += size_t(n);
  }
  data.resize(done);
  return data;
}

std::string SafeMediaName(std::string_view stored) {
  std::string_view name = platform::FileNamePart(stored);
  if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string_view::npos)
    return "";
  return platform::Cp1252ToUtf8(name);
}

std::vector<std::string> ExtractMedia(const std::vector<TMediaBlock>& media,
                                      const std::string& tempDir) {
  std::vector<std::string> written;
  for (const TMediaBlock& block : media) {
    std::string name = SafeMediaName(block.Name);
    if (name.empty()) continue;
    std::string path = tempDir + name;
    std::vector<uint8_t> bytes = DecodeBase64(block.Base64);
    // O_NOFOLLOW: a link planted under the name must not redirect the write.
    TFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.Get() < 0) throw TProjectError("Error writing the file " + path, SystemError(path));
    WriteAll(fd.Get(), bytes.data(), bytes.size(), path);
    if (::close(fd.Release()) != 0)
      throw TProjectError("Error writing the file " + path, SystemError(path));
    if (std::find(written.begin(), written.end(), path) == written.end()) written.push_back(path);
  }
  return written;
}

std::string ResolveMediaPath(std::string_view stored, const std::string& tempDir,
                             const std::string& programDir) {
  if (stored.empty()) return "";
  std::string native = platform::Cp1252ToUtf8(stored);
  std::string slashed = native;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  // A relative path is never resolved against the working folder, which
  // depends on how the program was started.
  for (const std::string& path : {native, slashed})
    if (!path.empty() && path[0] == '/' && IsRegularFile(path)) return path;
  for (const std::string* dir : {&tempDir, &programDir})
    if (!dir->empty())
      for (const std::string& path : {native, slashed})
        if (IsRegularFile(*dir + path)) return *dir + path;
  return "";
}

}  // namespace project
