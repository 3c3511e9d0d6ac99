#include "exporters/ad_package.h"

#include <algorithm>
#include <filesystem>

#include "exporters/zip_archive.h"
#include "media/file_bytes.h"
#include "platform/error.h"

namespace exporters {
namespace {

namespace fs = std::filesystem;

// A folder is read within the same limits as a ZIP from outside.
constexpr TZipLimits kLimits;

std::vector<TPackageFile> FolderFiles(const fs::path& root) {
  std::vector<TPackageFile> files;
  uint64_t total = 0;
  for (fs::recursive_directory_iterator it(root), end; it != end; ++it) {
    std::string path = fs::relative(it->path(), root).generic_string();
    if (it->is_symlink()) throw platform::TVellumetError(path + " is a link");
    if (it->is_directory()) continue;
    if (!it->is_regular_file()) throw platform::TVellumetError(path + " is no plain file");
    total += it->file_size();
    if (files.size() >= kLimits.MaxEntries || total > kLimits.MaxTotalBytes)
      throw platform::TVellumetError("the folder holds more than a package can");
    files.push_back({path, media::ReadFileBytes(it->path().string(), kLimits.MaxTotalBytes)});
  }
  std::sort(files.begin(), files.end(),
            [](const TPackageFile& a, const TPackageFile& b) { return a.Path < b.Path; });
  return files;
}

}  // namespace

TAdPackage PackageFromZip(const std::string& name, const std::vector<uint8_t>& zip) {
  TAdPackage package;
  package.Name = name;
  package.ZipBytes = zip.size();
  try {
    for (TZipEntry& entry : ReadZip(zip, kLimits))
      if (!entry.IsFolder) package.Files.push_back({entry.Name, std::move(entry.Bytes)});
  } catch (const platform::TVellumetError& e) {
    package.ReadError = e.what();
  }
  return package;
}

TAdPackage PackageFromFiles(const std::string& name, std::vector<TPackageFile> files) {
  std::vector<TZipEntry> entries;
  for (const TPackageFile& file : files) entries.push_back({file.Path, file.Bytes});
  TAdPackage package;
  package.Name = name;
  package.ZipBytes = WriteZip(entries).size();
  package.Files = std::move(files);
  return package;
}

TAdPackage ReadAdPackage(const std::string& path) {
  std::error_code error;
  fs::path where(path);
  if (fs::is_directory(where, error)) {
    std::string name = where.lexically_normal().filename().string();
    if (name.empty()) name = where.lexically_normal().parent_path().filename().string();
    try {
      return PackageFromFiles(name + ".zip", FolderFiles(where));
    } catch (const std::exception& e) {
      TAdPackage package;
      package.Name = name + ".zip";
      package.ReadError = std::string("Cannot read the folder ") + path + ": " + e.what();
      return package;
    }
  }
  return PackageFromZip(where.filename().string(),
                        media::ReadFileBytes(path, kLimits.MaxTotalBytes));
}

}  // namespace exporters
