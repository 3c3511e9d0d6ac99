#pragma once
// A RIFF chunk walker: finds the "RIFF" form of a given type and chunks
// inside it, with every size checked against the data that is there.
#include <cstdint>
#include <optional>
#include <string_view>

#include "media/byte_source.h"

namespace media {

struct TRiffChunk {
  uint64_t DataOffset = 0;  // the chunk's first data byte (for a form: its form type)
  uint32_t Size = 0;        // the size field as stored
  uint64_t End = 0;  // end of the data that is really there: min(DataOffset + Size, parent end)
};

// The first top-level "RIFF" chunk whose form type is FormType.
std::optional<TRiffChunk> FindRiffForm(const TByteSource& Source, std::string_view FormType);

// The first chunk with the given ID among the chunks of a form. Chunks of odd
// size are followed by a pad byte.
std::optional<TRiffChunk> FindChunk(const TByteSource& Source, const TRiffChunk& Form,
                                    std::string_view ChunkId);

}  // namespace media
