#pragma once
// Whole-file reads for the picture readers: pictures are small enough to hold
// in memory, and a buffer lets every reader check its offsets against one size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace media {

// Reads the whole file; raises TMediaError naming the file when it cannot be
// opened or read, or when it is larger than MaxBytes.
std::vector<uint8_t> ReadFileBytes(const std::string& FileName, size_t MaxBytes);

// Writes Bytes to a temporary file beside FileName and renames it into place,
// so an existing file is replaced whole or left as it was.
void WriteFileBytes(const std::string& FileName, const std::vector<uint8_t>& Bytes);
// The same for text, written without a copy.
void WriteFileBytes(const std::string& FileName, std::string_view Bytes);

}  // namespace media
