#include "swf/core/swf_stream.h"

#include <zlib.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "swf/core/bit_math.h"
#include "swf/core/bits_engine.h"
#include "swf/core/buffer_pool.h"
#include "swf/core/swf_error.h"

namespace swf {

namespace {

// zlib's working memory (about 270 KB at the default level) comes from the
// buffer pool, so saving one movie after another reuses it. deflate makes
// five allocations; the table has room for a few more.
struct TZlibMemory {
  struct TBlock {
    void* Memory;
    size_t Size;
  };
  std::array<TBlock, 8> Blocks{};
  size_t Count = 0;
};

voidpf ZlibAlloc(voidpf opaque, uInt items, uInt size) {
  auto& memory = *static_cast<TZlibMemory*>(opaque);
  if (memory.Count == memory.Blocks.size()) return Z_NULL;
  const size_t bytes = size_t(items) * size;
  void* block;
  try {
    block = TakeBlock(bytes);
  } catch (const std::bad_alloc&) {
    return Z_NULL;
  }
  memory.Blocks[memory.Count++] = {block, bytes};
  return block;
}

void ZlibFree(voidpf opaque, voidpf address) {
  auto& memory = *static_cast<TZlibMemory*>(opaque);
  for (size_t i = 0; i < memory.Count; ++i) {
    if (memory.Blocks[i].Memory != address) continue;
    GiveBlock(address, memory.Blocks[i].Size);
    memory.Blocks[i] = memory.Blocks[--memory.Count];
    return;
  }
}

}  // namespace

TBasedSWFStream::TBasedSWFStream(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax, float fps,
                                 bool inPixels) {
  SetCoordsInPixels(inPixels);
  movieRect_ = {xMin * coordFactor_, xMax * coordFactor_, yMin * coordFactor_, yMax * coordFactor_};
  SetFPS(fps);
}

void TBasedSWFStream::SetVersion(uint8_t version) {
  version_ = compressed_ && version < 6 ? 6 : version;
}

void TBasedSWFStream::SetCompressed(bool compressed) {
  compressed_ = compressed;
  if (compressed && version_ < 6) version_ = 6;
}

void TBasedSWFStream::SetCoordsInPixels(bool inPixels) {
  coordsInPixels_ = inPixels;
  coordFactor_ = inPixels ? 20 : 1;
}

void TBasedSWFStream::SetFPS(float fps) { fps_ = SingleToFixed8(fps); }

float TBasedSWFStream::GetFPS() const { return Fixed8ToSingle(fps_); }

uint32_t TBasedSWFStream::HeaderSize() const {
  const unsigned n = GetBitsCount(
      MaxAbs({movieRect_.Xmin, movieRect_.Ymin, movieRect_.Xmax, movieRect_.Ymax}), 1);
  return 12 + (5 + 4 * n + 7) / 8;
}

// The frame rectangle, the rate and the frame count: the part of the header
// that a compressed file compresses.
void TBasedSWFStream::WriteHeaderTail(TMemoryStream& out) const {
  TBitsEngine be(out);
  be.WriteTRect(movieRect_.Xmin, movieRect_.Ymin, movieRect_.Xmax, movieRect_.Ymax);
  be.WriteWord(fps_);
  be.WriteWord(framesCount_);
}

void TBasedSWFStream::SaveToStream(TMemoryStream& stream) {
  fileLength_ = HeaderSize() + uint32_t(BodyStream.Size());
  BodyStream.Seek(0);
  if (compressed_ && version_ < 6) version_ = 6;
  const uint8_t head[8] = {uint8_t(compressed_ ? 'C' : 'F'), 'W', 'S', version_,
                           uint8_t(fileLength_),              uint8_t(fileLength_ >> 8),
                           uint8_t(fileLength_ >> 16),        uint8_t(fileLength_ >> 24)};
  stream.Write(head, 8);
  if (compressed_) {
    WriteCompressed(stream);
  } else {
    WriteHeaderTail(stream);
    stream.Write(BodyStream.Data(), BodyStream.Size());
  }
}

void TBasedSWFStream::WriteCompressed(TMemoryStream& stream) {
  TMemoryStream tail;
  WriteHeaderTail(tail);
  TZlibMemory memory;
  z_stream z{};
  z.zalloc = ZlibAlloc;
  z.zfree = ZlibFree;
  z.opaque = &memory;
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
  struct TEndDeflate {
    z_stream& Z;
    ~TEndDeflate() { deflateEnd(&Z); }
  } endDeflate{z};  // also when writing or a progress handler throws
  constexpr size_t kChunk = 64 * 1024;
  std::vector<uint8_t> out(kChunk);
  const size_t bodySize = BodyStream.Size();
  auto pump = [&](const uint8_t* data, size_t size, int flush) {
    z.next_in = const_cast<uint8_t*>(data);
    z.avail_in = uInt(size);
    do {
      z.next_out = out.data();
      z.avail_out = uInt(kChunk);
      deflate(&z, flush);
      const size_t produced = kChunk - z.avail_out;
      stream.Write(out.data(), produced);
      if (produced == kChunk && OnProgress) {
        // The progress base leaves out the header part; guard tiny bodies.
        const double base = bodySize > 22 ? double(bodySize - 22) : 1.0;
        OnProgress(*this, int(std::nearbyint(std::min(100.0, z.total_in / base * 100.0))), 2);
      }
    } while (z.avail_out == 0);
  };
  pump(tail.Data(), tail.Size(), Z_NO_FLUSH);
  pump(BodyStream.Data(), bodySize, Z_FINISH);
}

std::vector<uint8_t> TBasedSWFStream::SaveToBytes() {
  TMemoryStream out;
  SaveToStream(out);
  return out.Bytes();
}

void TBasedSWFStream::SaveToFile(const std::string& fileName) {
  TMemoryStream out;
  SaveToStream(out);
  const std::string partName = fileName + ".part";
  std::FILE* file = std::fopen(partName.c_str(), "wb");
  if (!file) throw ESWFError("Cannot create file " + fileName + ": " + std::strerror(errno));
  const bool written = std::fwrite(out.Data(), 1, out.Size(), file) == out.Size();
  const bool closed = std::fclose(file) == 0;
  std::error_code error;
  if (written && closed) std::filesystem::rename(partName, fileName, error);
  if (!written || !closed || error) {
    std::filesystem::remove(partName, error);
    throw ESWFError("Cannot write file " + fileName);
  }
}
}  // namespace swf
