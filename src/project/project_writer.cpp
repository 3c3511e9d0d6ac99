// Writer of version 1.6 project files.
//
// The file is written beside the target under a temporary name and renamed
// over it only when every byte is on disk, so a failed save never costs the
// user the previous file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/folders.h"
#include "project/base64.h"
#include "project/project_file.h"
#include "project/record_fields.h"

namespace project {

namespace {

namespace fs = std::filesystem;

// Buffered output to a file descriptor, or kept in memory without one;
// every failure throws.
class TOutput {
 public:
  TOutput(int fd, std::string target) : fd_(fd), target_(std::move(target)) {
    buffer_.reserve(kFlushAt + 4096);
  }

  void Text(std::string_view s) {
    buffer_ += s;
    if (buffer_.size() >= kFlushAt) Flush();
  }
  // A stored string; a line break inside would split the record.
  void Value(std::string_view s) {
    size_t from = buffer_.size();
    buffer_ += s;
    for (size_t i = from; i < buffer_.size(); ++i)
      if (buffer_[i] == '\r' || buffer_[i] == '\n') buffer_[i] = ' ';
  }
  void Value(int32_t v) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    buffer_.append(digits, size_t(end - digits));
  }
  std::string& Buffer() { return buffer_; }

  void Flush() {
    if (fd_ < 0) return;
    const char* data = buffer_.data();
    size_t size = buffer_.size();
    while (size > 0) {
      ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Fail(std::strerror(errno));
      data += n;
      size -= size_t(n);
    }
    buffer_.clear();
  }

  [[noreturn]] void Fail(const std::string& why) const {
    throw TProjectError("Error writing the file " + target_, why);
  }

 private:
  // Small enough to stay a heap block: a buffer of a megabyte is mapped and
  // unmapped on every save, which made saving the fuzz runs' main cost.
  static constexpr size_t kFlushAt = 64 << 10;
  int fd_;
  std::string target_;
  std::string buffer_;
};

// The parts of a document or a snapshot that the file holds.
struct TWritten {
  const TMovieSettings& Settings;
  const std::vector<TFrameRec>& Frames;
  int32_t FrameCount;
  const std::string& TempDir;
  const std::string& ProgramDir;

  int LastUsedSlot() const {
    int last = 0;
    for (int32_t i = 1; i <= FrameCount; ++i)
      last = std::max(last, Frames[size_t(i)].Slots.LastUsed());
    return last;
  }
};

// Appends one media block, the file's bytes as Base64 in 76-character lines.
void WriteMediaBlock(TOutput& out, std::string_view name, const std::string& file) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) out.Fail(file + ": " + std::strerror(errno));
  out.Text("{File=");
  out.Value(name);
  out.Text("\r\n");
  std::vector<uint8_t> chunk(Base64LineBytes * 1024);
  size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
    for (size_t at = 0; at < n; at += Base64LineBytes) {
      AppendBase64(out.Buffer(), std::span(chunk).subspan(at, std::min(Base64LineBytes, n - at)));
      out.Text("\r\n");
    }
  }
  bool failed = std::ferror(in);
  std::fclose(in);
  if (failed) out.Fail(file + ": read error");
  out.Text("}\r\n");
}

void WriteMedia(TOutput& out, const TWritten& doc, int lastSlot) {
  std::set<std::string, std::less<>> embedded;
  auto embed = [&](const std::string& ref) {
    if (ref.empty()) return;
    std::string_view name = platform::FileNamePart(ref);
    if (name.empty() || name == "." || name == ".." || embedded.count(name)) return;
    std::string file = ResolveMediaPath(ref, doc.TempDir, doc.ProgramDir);
    if (file.empty()) return;  // a missing file is skipped without a message
    embedded.emplace(name);
    WriteMediaBlock(out, name, file);
  };
  embed(doc.Settings.MBkgrSound);
  for (int32_t i = 1; i <= doc.FrameCount; ++i)
    for (int n = 1; n <= lastSlot; ++n)
      if (const TShapeRec& r = doc.Frames[size_t(i)].Slots[n]; r.Object == skButton)
        embed(r.SoundEv);
  for (int32_t i = 1; i <= doc.FrameCount; ++i)
    for (int n = 1; n <= lastSlot; ++n)
      if (const TShapeRec& r = doc.Frames[size_t(i)].Slots[n]; r.TextIsFile()) embed(r.Text);
}

// Writes "Key=value" pairs separated by commas.
class TLineWriter {
 public:
  explicit TLineWriter(TOutput& out) : out_(out) {}
  template <class T>
  void operator()(std::string_view key, const T& value) {
    Key(key);
    if constexpr (std::is_same_v<T, std::string>)
      out_.Value(value);
    else
      out_.Value(int32_t(value));
  }
  void Key(std::string_view key) {
    if (!first_) out_.Text(",");
    first_ = false;
    out_.Text(key);
    out_.Text("=");
  }
  void End() { out_.Text("\r\n"); }

 private:
  TOutput& out_;
  bool first_ = true;
};

void WriteObjectLine(TOutput& out, const TShapeRec& r) {
  TLineWriter line(out);
  VisitShapeFields(r, [&](std::string_view key, const auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
      if (&value == &r.Text) return;  // written last
      if (&value == &r.SoundEv) {
        line.Key(key);
        out.Value(platform::FileNamePart(value));
        return;
      }
    }
    line(key, value);
  });
  line.Key("Text");
  out.Value(r.TextIsFile() ? platform::FileNamePart(r.Text) : std::string_view(r.Text));
  line.End();
}

void WriteProject(TOutput& out, const TWritten& doc) {
  int lastSlot = doc.LastUsedSlot();
  out.Text(HeaderV16);
  out.Text("\r\n");
  WriteMedia(out, doc, lastSlot);
  out.Text("[Frames=");
  out.Value(doc.FrameCount);
  out.Text("]\r\n");
  TMovieSettings settings = doc.Settings;
  settings.MBkgrSound = std::string(platform::FileNamePart(settings.MBkgrSound));
  TLineWriter movie(out);
  VisitSettingsFields(settings, movie);
  movie.End();
  for (int32_t i = 1; i <= doc.FrameCount; ++i) {
    const TFrameRec& frame = doc.Frames[size_t(i)];
    out.Text("[Frame=");
    out.Value(i);
    out.Text("]\r\n");
    TLineWriter line(out);
    VisitFrameFields(frame, line);
    line.End();
    for (int n = 1; n <= lastSlot; ++n) WriteObjectLine(out, frame.Slots[n]);
  }
  out.Flush();
}

// The file a save really replaces: the target of a symbolic link, so that
// the link survives.
std::string RealTarget(const std::string& path) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) {
    fs::path real = fs::canonical(path, ec);
    if (!ec) return real.string();
  }
  return path;
}

mode_t NewFileMode(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void SyncFolder(const std::string& file) {
  std::string folder = fs::path(file).parent_path().string();
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void WriteFile(const TWritten& doc, const std::string& path) {
  std::string target = RealTarget(path);
  fs::path targetPath(target);
  std::string hidden = ".";
  hidden += targetPath.filename().string();
  hidden += ".XXXXXX";
  std::string pattern = (targetPath.parent_path() / hidden).string();
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  int fd = ::mkstemp(temp.data());
  if (fd < 0)
    throw TProjectError("Error writing the file " + path, pattern + ": " + std::strerror(errno));
  std::string tempPath = temp.data();
  try {
    TOutput out(fd, path);
    WriteProject(out, doc);
    if (::fchmod(fd, NewFileMode(target)) != 0 || ::fsync(fd) != 0) out.Fail(std::strerror(errno));
    int closed = ::close(std::exchange(fd, -1));
    if (closed != 0) out.Fail(std::strerror(errno));
    if (::rename(tempPath.c_str(), target.c_str()) != 0) out.Fail(std::strerror(errno));
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(tempPath.c_str());
    throw;
  }
  SyncFolder(target);
}

}  // namespace

TProjectSnapshot TakeSnapshot(const TProjectDocument& doc) {
  return {doc.Settings, doc.Frames, doc.FrameCount, doc.TempDir, doc.ProgramDir};
}

void WriteProjectFile(const TProjectDocument& doc, const std::string& path) {
  WriteFile({doc.Settings, doc.Frames, doc.FrameCount, doc.TempDir, doc.ProgramDir}, path);
}

std::string ProjectFileBytes(const TProjectDocument& doc) {
  TOutput out(-1, "(memory)");
  WriteProject(out, {doc.Settings, doc.Frames, doc.FrameCount, doc.TempDir, doc.ProgramDir});
  return std::move(out.Buffer());
}

void WriteProjectFile(const TProjectSnapshot& snapshot, const std::string& path) {
  WriteFile({snapshot.Settings, snapshot.Frames, snapshot.FrameCount, snapshot.TempDir,
             snapshot.ProgramDir},
            path);
}

}  // namespace project
