#include "player/swf_body.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>

#include "player/player_error.h"

namespace player {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr size_t kLzmaPropsAt = 12, kLzmaPropsBytes = 5, kLzmaDataAt = 17;

// Grows `out` chunk by chunk up to `limit` while `step(next, room)` writes
// into the free room and reports how much it wrote and whether to go on.
template <class Step>
void Drain(std::vector<uint8_t>& out, size_t limit, Step step) {
  bool more = true;
  while (out.size() < limit && more) {
    const size_t room = std::min<size_t>(limit - out.size(), 1 << 20);
    const size_t before = out.size();
    out.resize(before + room);
    size_t written = 0;
    more = step(out.data() + before, room, written);
    out.resize(before + written);
  }
}

// A body that ends before the declared length without its end mark.
void WarnIfDamaged(bool ended, const std::vector<uint8_t>& out, size_t limit,
                   std::vector<std::string>& warnings) {
  if (!ended && out.size() < limit)
    warnings.push_back("the compressed body is damaged after " + std::to_string(out.size()) +
                       " bytes");
}

std::vector<uint8_t> HeaderOf(const std::vector<uint8_t>& file) {
  return {file.begin(), file.begin() + long(std::min(file.size(), kHeaderBytes))};
}

size_t OutputLimit(uint32_t fileLength) {
  return std::max<size_t>(fileLength, kHeaderBytes);
}

// The .lzma ("alone") header the decoder reads: the properties, with the
// dictionary no larger than the output can use, and the uncompressed size,
// so that data without an end marker ends too.
std::vector<uint8_t> AloneHeader(const std::vector<uint8_t>& file, size_t limit) {
  std::vector<uint8_t> header(13);
  std::copy_n(file.begin() + kLzmaPropsAt, kLzmaPropsBytes, header.begin());
  uint32_t dict = 0;
  for (int i = 0; i < 4; ++i) dict |= uint32_t(header[size_t(1 + i)]) << (8 * i);
  dict = uint32_t(std::min<size_t>(dict, std::max<size_t>(limit, 4096)));
  for (int i = 0; i < 4; ++i) header[size_t(1 + i)] = uint8_t(dict >> (8 * i));
  const uint64_t size = limit - kHeaderBytes;
  for (int i = 0; i < 8; ++i) header[size_t(5 + i)] = uint8_t(size >> (8 * i));
  return header;
}

}  // namespace

std::vector<uint8_t> InflateBody(const std::vector<uint8_t>& file, uint32_t fileLength,
                                 std::vector<std::string>& warnings) {
  std::vector<uint8_t> out = HeaderOf(file);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EPlayerError("The movie cannot be decompressed");
  z.next_in = const_cast<uint8_t*>(file.data() + out.size());
  z.avail_in = uInt(file.size() - out.size());
  const size_t limit = OutputLimit(fileLength);
  int rc = Z_OK;
  Drain(out, limit, [&](uint8_t* next, size_t room, size_t& written) {
    z.next_out = next;
    z.avail_out = uInt(room);
    rc = inflate(&z, Z_NO_FLUSH);
    written = room - z.avail_out;
    return rc == Z_OK && !(z.avail_in == 0 && written == 0);
  });
  inflateEnd(&z);
  WarnIfDamaged(rc == Z_STREAM_END, out, limit, warnings);
  return out;
}

std::vector<uint8_t> LzmaBody(const std::vector<uint8_t>& file, uint32_t fileLength,
                              std::vector<std::string>& warnings) {
  std::vector<uint8_t> out = HeaderOf(file);
  const size_t limit = OutputLimit(fileLength);
  if (file.size() < kLzmaDataAt) {
    WarnIfDamaged(false, out, limit, warnings);
    return out;
  }
  std::vector<uint8_t> in = AloneHeader(file, limit);
  in.insert(in.end(), file.begin() + kLzmaDataAt, file.end());
  lzma_stream z = LZMA_STREAM_INIT;
  if (lzma_alone_decoder(&z, UINT64_MAX) != LZMA_OK)
    throw EPlayerError("The movie cannot be decompressed");
  z.next_in = in.data();
  z.avail_in = in.size();
  lzma_ret rc = LZMA_OK;
  Drain(out, limit, [&](uint8_t* next, size_t room, size_t& written) {
    z.next_out = next;
    z.avail_out = room;
    rc = lzma_code(&z, LZMA_RUN);
    written = room - z.avail_out;
    return rc == LZMA_OK && !(z.avail_in == 0 && written == 0);
  });
  lzma_end(&z);
  WarnIfDamaged(rc == LZMA_STREAM_END, out, limit, warnings);
  return out;
}

}  // namespace player
