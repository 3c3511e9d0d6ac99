#pragma once
// The SWF reader: bytes of an FWS, CWS or ZWS file into a TMovie. Every tag this
// system writes is understood; other tags are skipped and listed. A damaged
// tag is skipped with a warning; a file that is not SWF at all, or whose
// header cannot be read, throws EPlayerError.
#include <cstdint>
#include <string>
#include <vector>

#include "player/movie.h"

namespace player {

// Movies above this uncompressed size are refused.
constexpr size_t kMaxMovieBytes = size_t(256) << 20;

struct TReadOptions {
  bool KeepTags = false;  // fill TMovie::Tags (for the dump)
};

TMovie ReadMovie(const std::vector<uint8_t>& file, const TReadOptions& options = {});
TMovie ReadMovieFile(const std::string& path, const TReadOptions& options = {});

// The whole file; throws EPlayerError when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// "DefineShape3", "ShowFrame", ...; "Tag<code>" for codes without a name.
std::string TagName(uint16_t code);

}  // namespace player
