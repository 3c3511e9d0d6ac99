#pragma once
// ZIP archives in memory, through libzip: the ad packages are written and
// read as ZIP files.
#include <cstdint>
#include <string>
#include <vector>

namespace exporters {

struct TZipEntry {
  std::string Name;  // path inside the archive, '/' between folders
  std::vector<uint8_t> Bytes;
  uint64_t CompressedSize = 0;  // as stored; filled in by ReadZip
  bool IsFolder = false;        // a folder entry ("img/"); no bytes
};

// Limits for reading archives from outside: a ZIP may claim any sizes, so a
// reader allocates only below these.
struct TZipLimits {
  uint64_t MaxEntries = 10000;
  uint64_t MaxTotalBytes = uint64_t(256) << 20;
};

// The entries deflated (or stored when deflating does not help), in the
// given order, with a fixed date so the same entries give the same bytes.
std::vector<uint8_t> WriteZip(const std::vector<TZipEntry>& entries);

// Every entry of the archive with its bytes (CRC checked). Throws
// platform::TVellumetError naming the fault when the bytes are no readable
// ZIP, an entry is damaged, or the archive passes the limits.
std::vector<TZipEntry> ReadZip(const std::vector<uint8_t>& zip, const TZipLimits& limits = {});

}  // namespace exporters
