#pragma once
// The movie of a command's input: an SWF file as it is, or a project (.sw0)
// built as the editor builds it.
#include <cstdint>
#include <string>
#include <vector>

namespace app {

bool IsSwf(const std::vector<uint8_t>& bytes);

// The project's movie bytes: the whole movie, or the single-frame build of
// frame (1-based) that the editor's canvas shows. Throws TVellumetError.
std::vector<uint8_t> ProjectMovie(const std::string& path, bool whole, long frame);

}  // namespace app
