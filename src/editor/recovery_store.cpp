#include "editor/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "platform/error.h"
#include "platform/folders.h"

namespace editor {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInfoHeader = "[Vellumet Recovery Copy v1]";
constexpr std::string_view kInfoEnd = "[End]";
constexpr uintmax_t kMaxInfoBytes = 64 * 1024;

std::string NewId() {
  std::random_device random;
  uint64_t value = (uint64_t(random()) << 32) ^ random() ^ (uint64_t(getpid()) << 16);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool IsId(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The id a file of the folder belongs to ("ID.info", "ID.3.sw0", and the
// hidden temporary files ".ID.info.XXXXXX" of an unfinished write); "" for
// files that are none of ours.
std::string IdOf(std::string_view name) {
  if (!name.empty() && name.front() == '.') name.remove_prefix(1);
  std::string_view id = name.substr(0, name.find('.'));
  return IsId(id) && id.size() < name.size() ? std::string(id) : "";
}

// Values stay on one line: '%', CR and LF are written as %25, %0D, %0A.
std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '%' || c == '\r' || c == '\n') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", unsigned(uint8_t(c)));
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') {
      out += s[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= s.size()) return std::nullopt;
    auto r = std::from_chars(s.data() + i + 1, s.data() + i + 3, value, 16);
    if (r.ptr != s.data() + i + 3) return std::nullopt;
    out += char(value);
    i += 2;
  }
  return out;
}

template <class T>
bool ParseNumber(std::string_view s, T& value, int base = 10) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), value, base);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

// A plain file name of this folder, as the writer makes them.
bool IsProjectName(std::string_view name) {
  return !IdOf(name).empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
         name.size() > 4 && name.substr(name.size() - 4) == ".sw0";
}

// The size and CRC-32 of a file; false when it cannot be read.
bool SizeAndCrc(const std::string& path, uint64_t& size, uint32_t& crc) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<char> chunk(1 << 20);
  uLong sum = crc32(0, nullptr, 0);
  size = 0;
  while (in) {
    in.read(chunk.data(), std::streamsize(chunk.size()));
    std::streamsize n = in.gcount();
    if (n <= 0) break;
    sum = crc32(sum, reinterpret_cast<const Bytef*>(chunk.data()), uInt(n));
    size += uint64_t(n);
  }
  if (in.bad()) return false;
  crc = uint32_t(sum);
  return true;
}

[[noreturn]] void Fail(const std::string& what, int error) {
  throw platform::TVellumetError(what + ": " + std::strerror(error));
}

// Writes `text` to `path` through a temporary file beside it.
void WriteAtomically(const std::string& folder, const std::string& name, const std::string& text) {
  std::string pattern = folder + "." + name + ".XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  int fd = ::mkstemp(temp.data());
  if (fd < 0) Fail(folder, errno);
  const char* data = text.data();
  size_t left = text.size();
  int error = 0;
  while (left > 0 && error == 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      error = n < 0 ? errno : EIO;
    else
      data += n, left -= size_t(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.data(), (folder + name).c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.data());
    Fail(folder + name, error);
  }
}

// An exclusive lock on `path` that fails at once when another holds it:
// the open descriptor, or -1.
int TryLock(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::error_code ec;
  uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxInfoBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::string text(size, '\0');
  if (!in.read(text.data(), std::streamsize(size))) return std::nullopt;
  return text;
}

}  // namespace

std::string FormatRecoveryInfo(const TRecoveryInfo& info, const std::string& project, uint64_t size,
                               uint32_t crc) {
  char sum[9];
  std::snprintf(sum, sizeof sum, "%08x", unsigned(crc));
  std::string text(kInfoHeader);
  text += "\nName=" + Escape(info.Name);
  text += "\nPath=" + Escape(info.OriginalPath);
  text += "\nTime=" + std::to_string(info.Time);
  text += "\nFrames=" + std::to_string(info.FrameCount);
  text += "\nProject=" + project;
  text += "\nSize=" + std::to_string(size);
  text += "\nCrc=" + std::string(sum);
  text += "\n" + std::string(kInfoEnd) + "\n";
  return text;
}

// The text must be whole: the header, every key once, and the end line with
// its line break, so a file cut short at any byte is refused.
std::optional<TRecoveryInfo> ParseRecoveryInfo(std::string_view text, std::string& project,
                                               uint64_t& size, uint32_t& crc) {
  std::string end = "\n" + std::string(kInfoEnd) + "\n";
  if (text.substr(0, kInfoHeader.size() + 1) != std::string(kInfoHeader) + "\n" ||
      text.size() < end.size() || text.substr(text.size() - end.size()) != end)
    return std::nullopt;
  std::string_view body =
      text.substr(kInfoHeader.size() + 1, text.size() - kInfoHeader.size() - end.size());
  TRecoveryInfo info;
  std::set<std::string, std::less<>> seen;
  bool ok = true;
  while (!body.empty() && ok) {
    size_t eol = body.find('\n');
    std::string_view line = body.substr(0, eol);
    body = eol == std::string_view::npos ? std::string_view() : body.substr(eol + 1);
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    if (!seen.emplace(key).second) return std::nullopt;
    if (key == "Name" || key == "Path") {
      std::optional<std::string> s = Unescape(value);
      ok = s.has_value();
      if (ok) (key == "Name" ? info.Name : info.OriginalPath) = *s;
    } else if (key == "Time") {
      ok = ParseNumber(value, info.Time);
    } else if (key == "Frames") {
      ok = ParseNumber(value, info.FrameCount) && info.FrameCount >= 1;
    } else if (key == "Project") {
      project = std::string(value);
      ok = IsProjectName(project);
    } else if (key == "Size") {
      ok = ParseNumber(value, size);
    } else if (key == "Crc") {
      ok = value.size() == 8 && ParseNumber(value, crc, 16);
    } else {
      ok = false;
    }
  }
  if (!ok || seen.size() != 7) return std::nullopt;
  return info;
}

TRecoveryStore::TRecoveryStore(std::string folder) : folder_(std::move(folder)), id_(NewId()) {
  if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

TRecoveryStore::~TRecoveryStore() {
  ReleaseLeftCopies();
  std::lock_guard guard(ownGuard_);
  if (ownLock_ < 0) return;
  // A lock file with nothing beside it is no copy: it goes with its editor.
  if (ownProject_.empty()) RemoveFilesOf(id_);
  ::close(ownLock_);
}

std::string TRecoveryStore::DefaultFolder() {
  std::string state = platform::StateDir();
  return state.empty() ? "" : state + "recovery/";
}

void TRecoveryStore::MakeFolder() {
  if (folder_.empty()) throw platform::TVellumetError("There is no folder for recovery copies");
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) throw platform::TVellumetError(folder_ + ": " + ec.message());
  fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
}

void TRecoveryStore::LockOwn() {
  if (ownLock_ >= 0) return;
  ownLock_ = TryLock(Path(id_ + ".lock"));
  if (ownLock_ < 0) Fail(Path(id_ + ".lock"), errno ? errno : EWOULDBLOCK);
}

void TRecoveryStore::Write(const project::TProjectSnapshot& snapshot, const TRecoveryInfo& info) {
  std::lock_guard guard(ownGuard_);
  MakeFolder();
  LockOwn();
  std::string name = id_ + "." + std::to_string(++generation_) + ".sw0";
  try {
    project::WriteProjectFile(snapshot, Path(name));
    uint64_t size = 0;
    uint32_t crc = 0;
    if (!SizeAndCrc(Path(name), size, crc)) Fail(Path(name), errno ? errno : EIO);
    WriteAtomically(folder_, id_ + ".info", FormatRecoveryInfo(info, name, size, crc));
  } catch (const project::TProjectError& e) {
    std::error_code ignored;
    fs::remove(Path(name), ignored);
    throw platform::TVellumetError(e.Detail().empty() ? e.what() : e.Detail());
  } catch (...) {
    std::error_code ignored;
    fs::remove(Path(name), ignored);
    throw;
  }
  // The info names the new project file now: the old one has no use left.
  std::error_code ignored;
  if (!ownProject_.empty()) fs::remove(Path(ownProject_), ignored);
  ownProject_ = name;
}

void TRecoveryStore::RemoveOwn() {
  std::lock_guard guard(ownGuard_);
  if (ownLock_ < 0) return;
  // The info first: without it what is left is no copy to offer.
  std::error_code ignored;
  fs::remove(Path(id_ + ".info"), ignored);
  RemoveFilesOf(id_, id_ + ".lock");
  ownProject_.clear();
}

bool TRecoveryStore::HasOwnCopy() {
  std::lock_guard guard(ownGuard_);
  return !ownProject_.empty();
}

void TRecoveryStore::RemoveFilesOf(const std::string& id, const std::string& keep) {
  std::error_code ec;
  std::vector<fs::path> doomed;
  for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
    std::string name = e.path().filename().string();
    if (name != keep && IdOf(name) == id) doomed.push_back(e.path());
  }
  for (const fs::path& p : doomed) fs::remove(p, ec);
}

std::vector<TRecoveryCopy> TRecoveryStore::FindLeftCopies() {
  std::set<std::string> ids;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
    std::string id = IdOf(e.path().filename().string());
    if (!id.empty() && id != id_ && !heldLocks_.count(id)) ids.insert(id);
  }
  std::vector<TRecoveryCopy> copies;
  for (const std::string& id : ids) {
    int fd = TryLock(Path(id + ".lock"));
    if (fd < 0) continue;  // its editor still runs
    heldLocks_[id] = fd;
    TRecoveryCopy copy{id, std::nullopt, "", ""};
    std::optional<std::string> text = ReadSmallFile(Path(id + ".info"));
    std::string project;
    uint64_t size = 0, actualSize = 0;
    uint32_t crc = 0, actualCrc = 0;
    if (text) copy.Info = ParseRecoveryInfo(*text, project, size, crc);
    bool hasProject = false;
    for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
      std::string name = e.path().filename().string();
      hasProject = hasProject || (IdOf(name) == id && IsProjectName(name));
    }
    if (!text && !hasProject) {
      // Only a lock or an unfinished first write: nothing was ever kept.
      Discard(copy);
      continue;
    }
    if (!copy.Info)
      copy.Problem = "The copy was cut short";
    else if (!SizeAndCrc(Path(project), actualSize, actualCrc) || actualSize != size ||
             actualCrc != crc)
      copy.Problem = "The project in the copy was cut short";
    else
      copy.ProjectPath = Path(project);
    copies.push_back(std::move(copy));
  }
  return copies;
}

// Only a copy this store holds: another editor's live copy is never touched.
void TRecoveryStore::Discard(const TRecoveryCopy& copy) {
  auto held = heldLocks_.find(copy.Id);
  if (held == heldLocks_.end()) return;
  std::error_code ignored;
  fs::remove(Path(copy.Id + ".info"), ignored);
  RemoveFilesOf(copy.Id);
  ::close(held->second);
  heldLocks_.erase(held);
}

void TRecoveryStore::ReleaseLeftCopies() {
  for (auto& [id, fd] : heldLocks_) ::close(fd);
  heldLocks_.clear();
}

}  // namespace editor
