#pragma once
// The movie of a command's input: an SWF file as it is, or a project (.sw0)
// built as the editor builds it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "player/movie.h"

namespace app {

bool IsSwf(const std::vector<uint8_t>& bytes);

// The project's movie bytes: the whole movie, or the single-frame build of
// frame (1-based) that the editor's canvas shows. Throws TVellumetError.
std::vector<uint8_t> ProjectMovie(const std::string& path, bool whole, long frame);

// The movie of a command's input file, read by the player; its reader's
// warnings go to standard error.
struct TInputMovie {
  std::shared_ptr<const player::TMovie> Movie;
  bool FromProject = false;
};
TInputMovie ReadInputMovie(const std::string& path, bool whole, long frame);

}  // namespace app
