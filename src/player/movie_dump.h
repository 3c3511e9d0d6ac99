#pragma once
// The dump of a movie as text: the header, one line per tag with its key
// fields (a run of ShowFrame tags is one line), then the reader's warnings.
#include <string>

#include "player/movie.h"

namespace player {

// The movie must have been read with TReadOptions::KeepTags.
std::string DumpMovie(const TMovie& movie);

}  // namespace player
