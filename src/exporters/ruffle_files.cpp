#include "exporters/ruffle_files.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/folders.h"

namespace exporters {

namespace fs = std::filesystem;

namespace {

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool SameContent(const fs::path& a, const fs::path& b) {
  std::error_code error;
  const auto size = fs::file_size(a, error);
  if (error || fs::file_size(b, error) != size || error) return false;
  std::ifstream in1(a, std::ios::binary), in2(b, std::ios::binary);
  std::vector<char> buf1(1 << 16), buf2(1 << 16);
  while (in1 && in2) {
    in1.read(buf1.data(), std::streamsize(buf1.size()));
    in2.read(buf2.data(), std::streamsize(buf2.size()));
    if (in1.gcount() != in2.gcount() ||
        std::memcmp(buf1.data(), buf2.data(), size_t(in1.gcount())) != 0)
      return false;
  }
  return in1.eof() && in2.eof();
}

// A name no other export (thread or process) writes at the same time.
fs::path TemporaryName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  return target.string() + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

void CopyFile(const fs::path& from, const fs::path& to) {
  if (SameContent(from, to)) return;
  const fs::path part = TemporaryName(to);
  std::error_code error;
  fs::copy_file(from, part, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(part, to, error);
  if (error) {
    fs::remove(part, error);
    throw platform::TVellumetError("Error writing the file ruffle/" + to.filename().string());
  }
}

}  // namespace

std::vector<std::string> RuffleSearchFolders() {
  std::vector<std::string> folders{platform::ProgramDir() + "ruffle/"};
#ifdef VELLUMET_RUFFLE_CACHE_DIR
  folders.push_back(VELLUMET_RUFFLE_CACHE_DIR);
#endif
  return folders;
}

std::string FindRuffle(const std::vector<std::string>& folders) {
  std::string looked;
  for (const std::string& folder : folders) {
    std::error_code error;
    if (fs::is_regular_file(fs::path(folder) / "ruffle.js", error)) return folder;
    looked += (looked.empty() ? "" : " or ") + folder;
  }
  throw platform::TVellumetError(
      "The Ruffle web player the web page needs is missing (looked in " + looked +
      "); run \"make deps\" in Vellumet's source folder, or reinstall Vellumet, to get it");
}

bool IsRuffleFile(const std::string& name) {
  return EndsWith(name, ".js") || EndsWith(name, ".wasm") || name.starts_with("LICENSE");
}

void CopyRuffle(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) throw platform::TVellumetError("Cannot make the folder " + to);
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(from, error))
    if (entry.is_regular_file() && IsRuffleFile(entry.path().filename().string()))
      files.push_back(entry.path());
  if (error) throw platform::TVellumetError("Cannot read the Ruffle web player in " + from);
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) CopyFile(file, fs::path(to) / file.filename());
}

}  // namespace exporters
