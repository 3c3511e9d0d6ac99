#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/error.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// Owns the private temporary folder; its destructor runs at normal exit.
class TPrivateTempDir {
 public:
  TPrivateTempDir() {
    const char* env = std::getenv("TMPDIR");
    std::string base = env && *env && fs::is_directory(env) ? env : "/tmp";
    std::string pattern = WithSlash(base) + "vellumet-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
      throw TVellumetError("Could not create a temporary folder in " + base);
    path_ = WithSlash(buffer.data());
  }
  // A forked child that exits normally must not take its parent's folder.
  ~TPrivateTempDir() {
    std::error_code ignored;
    if (getpid() == owner_) fs::remove_all(path_, ignored);
  }
  TPrivateTempDir(const TPrivateTempDir&) = delete;
  TPrivateTempDir& operator=(const TPrivateTempDir&) = delete;

  const std::string& Path() const { return path_; }
  pid_t Owner() const { return owner_; }

 private:
  pid_t owner_ = getpid();
  std::string path_;
};

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "";
}

}  // namespace

const std::string& ProgramDir() {
  static const std::string dir = [] {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::current_path(ec) / "vellumet";
    return WithSlash(exe.parent_path().string());
  }();
  return dir;
}

const std::string& TempDir() {
  static std::mutex guard;
  static std::unique_ptr<TPrivateTempDir> dir;
  std::lock_guard lock(guard);
  if (dir && dir->Owner() != getpid()) {
    // A forked child: the parent's object stays alive (references to its
    // path may still be held) but is never destroyed here.
    (void)dir.release();
  }
  if (!dir) dir = std::make_unique<TPrivateTempDir>();
  return dir->Path();
}

namespace {

// An XDG base folder: the variable when it holds an absolute path (XDG says a
// relative one is invalid and must be ignored), else `fallback` under HOME.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* xdg = std::getenv(variable);
  std::string base = xdg && xdg[0] == '/' ? xdg : "";
  if (base.empty()) {
    std::string home = HomeDir();
    base = home.empty() ? "" : WithSlash(home) + fallback;
  }
  return base.empty() ? "" : WithSlash(base) + "vellumet/";
}

}  // namespace

std::string StateDir() {
  return XdgFolder("XDG_STATE_HOME", ".local/state");
}

std::string CacheDir() {
  std::string dir = XdgFolder("XDG_CACHE_HOME", ".cache");
  if (dir.empty()) dir = TempDir() + "cache/vellumet/";
  std::error_code ignored;  // an unwritable cache shows up when a file is written there
  fs::create_directories(dir, ignored);
  return dir;
}

std::string ConfigDir() {
  // A relative XDG_CONFIG_HOME is invalid and ignored, as for the cache.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base = xdg && xdg[0] == '/' ? xdg : "";
  if (base.empty()) {
    std::string home = HomeDir();
    if (home.empty()) return "";
    base = WithSlash(home) + ".config";
  }
  return WithSlash(base) + "vellumet/";
}

std::string GetDir(std::string_view kind) {
  if (kind == "cache") return CacheDir();
  if (kind == "temp") return TempDir();
  if (kind == "program") return ProgramDir();
  return "";
}

std::string_view FileNamePart(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderPart(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace platform
