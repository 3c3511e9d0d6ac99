#include "editor/media_names.h"

#include <cstdint>

#include "platform/folders.h"

namespace editor {

bool HasFolder(std::string_view stored) {
  return stored.find_first_of("\\/") != std::string_view::npos;
}

std::string LowerExtension(std::string_view path) {
  std::string_view name = platform::FileNamePart(path);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return "";
  std::string ext(name.substr(dot));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return ext;
}

int64_t NearestDiv(int64_t x, int64_t d) {
  int64_t q = x / d, r = x % d;
  if (r < 0) {  // floor division, remainder in 0..d-1
    --q;
    r += d;
  }
  if (2 * r > d || (2 * r == d && (q & 1))) ++q;
  return q;
}

}  // namespace editor
