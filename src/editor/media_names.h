#pragma once
// Small helpers for the media names the model stores (Windows-1252 paths
// that may come from Windows, so both '\' and '/' separate folders).
#include <cstdint>
#include <string>
#include <string_view>

namespace editor {

// Whether a stored name has a folder part; a bare name is a file kept
// inside the project file.
bool HasFolder(std::string_view stored);

// The extension in lower case, with its dot; "" without one.
std::string LowerExtension(std::string_view path);

// x / d rounded to the nearest integer, halves to even (d > 0).
int64_t NearestDiv(int64_t x, int64_t d);

}  // namespace editor
