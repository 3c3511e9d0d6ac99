#include "media/riff.h"

#include <algorithm>
#include <cstring>

namespace media {

namespace {

struct THeader {
  char Id[4];
  uint32_t Size;
};

std::optional<THeader> ReadHeader(const TByteSource& Source, uint64_t Offset, uint64_t End) {
  uint8_t bytes[8];
  if (Offset + 8 > End || Source.ReadAt(Offset, bytes, 8) != 8) return std::nullopt;
  THeader header{};
  std::memcpy(header.Id, bytes, 4);
  header.Size = uint32_t(bytes[4]) | uint32_t(bytes[5]) << 8 | uint32_t(bytes[6]) << 16 |
                uint32_t(bytes[7]) << 24;
  return header;
}

bool SameId(const char* Id, std::string_view Wanted) {
  return Wanted.size() == 4 && std::memcmp(Id, Wanted.data(), 4) == 0;
}

// Walks the chunks in [Offset, End) and returns the first with the ID for
// which Accept holds.
template <typename Accept>
std::optional<TRiffChunk> Walk(const TByteSource& Source, uint64_t Offset, uint64_t End,
                               std::string_view ChunkId, Accept accept) {
  while (const auto header = ReadHeader(Source, Offset, End)) {
    TRiffChunk chunk;
    chunk.DataOffset = Offset + 8;
    chunk.Size = header->Size;
    chunk.End = std::min<uint64_t>(chunk.DataOffset + header->Size, End);
    if (SameId(header->Id, ChunkId) && accept(chunk)) return chunk;
    Offset = chunk.DataOffset + header->Size + (header->Size & 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<TRiffChunk> FindRiffForm(const TByteSource& Source, std::string_view FormType) {
  return Walk(Source, 0, Source.Size(), "RIFF", [&](const TRiffChunk& chunk) {
    char form[4];
    return chunk.DataOffset + 4 <= chunk.End && Source.ReadAt(chunk.DataOffset, form, 4) == 4 &&
           SameId(form, FormType);
  });
}

std::optional<TRiffChunk> FindChunk(const TByteSource& Source, const TRiffChunk& Form,
                                    std::string_view ChunkId) {
  return Walk(Source, Form.DataOffset + 4, Form.End, ChunkId,
              [](const TRiffChunk&) { return true; });
}

}  // namespace media
