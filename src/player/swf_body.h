#pragma once
// The bodies of compressed movies: CWS (zlib) and ZWS (LZMA). Both give the
// uncompressed file, the 8 header bytes and the decompressed rest, and share
// the same guard: at most FileLength bytes come out (at least the header), so
// a body that expands further is cut there whatever it holds. A body damaged
// part way keeps what came before it, with a warning.
#include <cstdint>
#include <string>
#include <vector>

namespace player {

std::vector<uint8_t> InflateBody(const std::vector<uint8_t>& file, uint32_t fileLength,
                                 std::vector<std::string>& warnings);

// ZWS: after the header the compressed size (4 bytes, not needed and not
// trusted), the 5 LZMA properties and the raw LZMA data.
std::vector<uint8_t> LzmaBody(const std::vector<uint8_t>& file, uint32_t fileLength,
                              std::vector<std::string>& warnings);

}  // namespace player
