#pragma once
// An HTML5 ad package as the checker sees it: a ZIP archive or a folder,
// its files and its size as uploaded.
#include <cstdint>
#include <string>
#include <vector>

namespace exporters {

struct TPackageFile {
  std::string Path;  // '/' between folders, from the package's root
  std::vector<uint8_t> Bytes;
  std::string Text() const { return std::string(Bytes.begin(), Bytes.end()); }
};

struct TAdPackage {
  std::string Name;                 // the ZIP's file name (a folder: its name + ".zip")
  uint64_t ZipBytes = 0;            // the ZIP's size (a folder: its files zipped)
  std::vector<TPackageFile> Files;  // without folder entries
  std::string ReadError;            // not empty: the package could not be read
};

// The package from its ZIP bytes; a fault reading them lands in ReadError.
TAdPackage PackageFromZip(const std::string& name, const std::vector<uint8_t>& zip);

// The package from files in memory, zipped as an upload would be.
TAdPackage PackageFromFiles(const std::string& name, std::vector<TPackageFile> files);

// A ZIP file or a folder on disk. Links inside a folder are not followed:
// they are reported in ReadError, as a package cannot hold them.
TAdPackage ReadAdPackage(const std::string& path);

}  // namespace exporters
