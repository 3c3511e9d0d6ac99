#include "swf/core/frame_arrival.h"

#include <zlib.h>

#include <algorithm>

#include "swf/core/swf_error.h"

namespace swf {

namespace {

constexpr size_t kHeaderBytes = 8;
constexpr uint64_t kMaxBodyBytes = uint64_t(256) << 20;
constexpr uint16_t kEndTag = 0, kShowFrameTag = 1;

uint32_t Le(const std::vector<uint8_t>& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= uint32_t(bytes[at + size_t(i)]) << (8 * i);
  return value;
}

void PutLe(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count = 4) {
  for (int i = 0; i < count; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// The uncompressed file and where its bytes arrive: in a plain file each
// byte is its own offset; in a CWS file OutAfter[k] is how much of the body
// the inflater had given out once the k + 1 compressed bytes after the header
// were in.
struct TUnpacked {
  std::vector<uint8_t> Bytes;
  std::vector<uint64_t> OutAfter;
  bool Compressed = false;

  // The file bytes needed before the uncompressed bytes [0, end) are out.
  uint64_t FileOffsetOf(uint64_t end) const {
    if (!Compressed || end <= kHeaderBytes) return end;
    auto it = std::lower_bound(OutAfter.begin(), OutAfter.end(), end - kHeaderBytes);
    return kHeaderBytes + uint64_t(it - OutAfter.begin()) + 1;
  }
};

// Inflates one input byte at a time, so each output byte is tied to the
// input it needed. Movies are small; this is quick enough for the preview.
// At most the declared length (and 256 MB) comes out.
TUnpacked Inflate(const std::vector<uint8_t>& file) {
  TUnpacked out;
  out.Compressed = true;
  const uint64_t declared = Le(file, 4, 4);
  const uint64_t limit =
      std::min(declared > kHeaderBytes ? declared - kHeaderBytes : 0, kMaxBodyBytes);
  out.Bytes.assign(file.begin(), file.begin() + kHeaderBytes);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw ESWFError("The movie's body cannot be inflated");
  std::vector<uint8_t> scratch(64 * 1024);
  int status = Z_OK;
  for (size_t in = kHeaderBytes; in < file.size() && status == Z_OK && z.total_out < limit; ++in) {
    z.next_in = const_cast<Bytef*>(file.data() + in);
    z.avail_in = 1;
    do {
      z.next_out = scratch.data();
      z.avail_out = uInt(std::min<uint64_t>(scratch.size(), limit - z.total_out));
      status = inflate(&z, Z_NO_FLUSH);
      if (status == Z_BUF_ERROR) status = Z_OK;  // that byte gave nothing out yet
      out.Bytes.insert(out.Bytes.end(), scratch.data(), z.next_out);
    } while (status == Z_OK && z.avail_in > 0 && z.total_out < limit);
    out.OutAfter.push_back(z.total_out);
  }
  inflateEnd(&z);
  if (status != Z_OK && status != Z_STREAM_END)
    throw ESWFError("The movie's compressed body is damaged");
  return out;
}

// The offset after the header's stage rectangle, frame rate and frame count.
size_t TagsStart(const std::vector<uint8_t>& bytes) {
  if (bytes.size() <= kHeaderBytes) throw ESWFError("The movie ends inside its header");
  const int bits = bytes[kHeaderBytes] >> 3;
  const size_t rect = (5 + 4 * size_t(bits) + 7) / 8;
  const size_t start = kHeaderBytes + rect + 4;
  if (start > bytes.size()) throw ESWFError("The movie ends inside its header");
  return start;
}

// The end offset of each ShowFrame tag in the uncompressed file.
std::vector<uint64_t> FrameEnds(const std::vector<uint8_t>& bytes, size_t at) {
  std::vector<uint64_t> ends;
  while (at + 2 <= bytes.size()) {
    const uint16_t head = uint16_t(Le(bytes, at, 2));
    uint64_t length = head & 0x3F;
    at += 2;
    if (length == 0x3F) {
      if (at + 4 > bytes.size()) break;
      length = Le(bytes, at, 4);
      at += 4;
    }
    if (length > bytes.size() - at) break;
    at += size_t(length);
    const uint16_t code = head >> 6;
    if (code == kShowFrameTag) ends.push_back(at);
    if (code == kEndTag) break;
  }
  return ends;
}

}  // namespace

TFrameArrivals ReadFrameArrivals(const std::vector<uint8_t>& file) {
  if (file.size() < kHeaderBytes || file[1] != 'W' || file[2] != 'S')
    throw ESWFError("Not an SWF movie");
  TUnpacked unpacked;
  if (file[0] == 'F') {
    unpacked.Bytes = file;
  } else if (file[0] == 'C') {
    unpacked = Inflate(file);
  } else {
    throw ESWFError("Only plain and zlib-compressed SWF movies can be measured");
  }
  const size_t start = TagsStart(unpacked.Bytes);
  TFrameArrivals arrivals;
  arrivals.FrameRate = Le(unpacked.Bytes, start - 4, 2) / 256.0;
  for (uint64_t end : FrameEnds(unpacked.Bytes, start))
    arrivals.ReadyAt.push_back(unpacked.FileOffsetOf(end));
  if (arrivals.ReadyAt.empty()) arrivals.ReadyAt.push_back(file.size());
  arrivals.ReadyAt.back() = file.size();
  return arrivals;
}

std::vector<uint8_t> PlainMovie(const std::vector<uint8_t>& file) {
  if (file.size() < kHeaderBytes || file[1] != 'W' || file[2] != 'S')
    throw ESWFError("Not an SWF movie");
  if (file[0] == 'F') return file;
  if (file[0] != 'C') throw ESWFError("Only plain and zlib-compressed SWF movies can be read");
  std::vector<uint8_t> plain = Inflate(file).Bytes;
  plain[0] = 'F';
  PutLe(plain, 4, uint32_t(plain.size()));
  return plain;
}

std::vector<uint8_t> FirstFrames(const std::vector<uint8_t>& plain, size_t frames) {
  const size_t start = TagsStart(plain);
  const std::vector<uint64_t> ends = FrameEnds(plain, start);
  if (frames == 0 || frames >= ends.size()) return plain;
  std::vector<uint8_t> cut(plain.begin(), plain.begin() + ptrdiff_t(ends[frames - 1]));
  cut.push_back(0);  // End
  cut.push_back(0);
  PutLe(cut, start - 2, uint32_t(frames), 2);
  PutLe(cut, 4, uint32_t(cut.size()));
  return cut;
}

std::vector<uint64_t> FrameBytes(const TFrameArrivals& arrivals) {
  std::vector<uint64_t> bytes;
  uint64_t before = 0;
  for (uint64_t ready : arrivals.ReadyAt) {
    bytes.push_back(ready - before);
    before = ready;
  }
  return bytes;
}

}  // namespace swf
