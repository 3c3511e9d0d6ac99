// The shape tag reader on arbitrary bodies: it must fail with ESWFError or
// read a shape, never read out of bounds or allocate from an unchecked count.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/core/swf_error.h"
#include "swf/tags/shape_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the tag kind (colours as RGB or RGBA).
  const uint16_t tagID = data[0] & 1 ? swf::tagDefineShape3 : swf::tagDefineShape2;
  swf::TMemoryStream stream(std::vector<uint8_t>(data + 1, data + size));
  swf::TBitsEngine be(stream);
  swf::TSWFDefineShape shape;
  shape.TagID = tagID;
  try {
    shape.ReadFromStream(be);
  } catch (const swf::ESWFError&) {
  }
  return 0;
}
