#include "media/file_bytes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "media/media_error.h"

namespace media {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFileBytes(const std::string& FileName, size_t MaxBytes) {
  std::ifstream in(FileName, std::ios::binary);
  if (!in) throw TMediaError("Cannot open \"" + FileName + "\"");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw TMediaError("Cannot read \"" + FileName + "\"");
  if (static_cast<uint64_t>(size) > MaxBytes)
    throw TMediaError("The file \"" + FileName + "\" is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.seekg(0, std::ios::beg);
  if (!bytes.empty() &&
      !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    throw TMediaError("Cannot read \"" + FileName + "\"");
  return bytes;
}

void WriteFileBytes(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
  WriteFileBytes(FileName,
                 std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
}

void WriteFileBytes(const std::string& FileName, std::string_view Bytes) {
  const std::string temp = FileName + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!out.flush()) {
      out.close();
      std::remove(temp.c_str());
      throw TMediaError("Cannot write \"" + FileName + "\"");
    }
  }
  std::error_code ec;
  fs::rename(temp, FileName, ec);
  if (ec) {
    std::remove(temp.c_str());
    throw TMediaError("Cannot write \"" + FileName + "\": " + ec.message());
  }
}

}  // namespace media
