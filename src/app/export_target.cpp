#include "app/export_target.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace app {

namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

}  // namespace

TTargetKind TargetKindOf(const std::string& output) {
  const std::string ext = LowerExtension(output);
  if (ext == ".gif") return TTargetKind::Gif;
  if (ext == ".webp") return TTargetKind::WebP;
  if (ext == ".mp4" || ext == ".webm") return TTargetKind::Video;
  if (ext == ".html" || ext == ".htm") return TTargetKind::Html;
  return TTargetKind::Swf;
}

bool NamesFolder(const std::string& output) {
  std::error_code ignored;
  return (!output.empty() && output.back() == '/') || fs::is_directory(output, ignored);
}

std::string SwfPathInFolder(const std::string& folder, const std::string& project) {
  return (fs::path(folder) / fs::path(project).stem()).string() + ".swf";
}

std::string HtmlPathInFolder(const std::string& folder, const std::string& project) {
  return (fs::path(folder) / fs::path(project).stem()).string() + ".html";
}

std::string FolderOf(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  return folder.empty() ? "." : folder.string();
}

std::string FolderProblem(const std::string& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (!fs::exists(status)) return "the folder " + folder + " does not exist";
  if (!fs::is_directory(status)) return folder + " is not a folder";
  std::string probe = (fs::path(folder) / ".vellumet-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) return "cannot write into the folder " + folder + ": " + std::strerror(errno);
  close(fd);
  unlink(probe.c_str());
  return "";
}

}  // namespace app
