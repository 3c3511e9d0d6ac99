#include "swf/core/swf_object.h"

#include <cstring>

namespace swf {

void TSWFObject::Assign(const TBasedSWFObject& source) {
  if (auto* tag = dynamic_cast<const TSWFObject*>(&source)) BodySize = tag->BodySize;
}

void WriteTagHeader(TMemoryStream& stream, uint16_t tagID, uint32_t bodySize) {
  const bool isLong = NeedsLongTagHeader(tagID, bodySize);
  FillTagHeader(stream.WriteRoom(isLong ? 6 : 2), tagID, bodySize, isLong);
}

void MakeRoomForLongHeader(TMemoryStream& stream, size_t start, uint32_t bodySize) {
  stream.SetSize(stream.Size() + 4);
  std::memmove(stream.Data() + start + 6, stream.Data() + start + 2, bodySize);
}

void TSWFObject::WriteToStream(TBitsEngine& engine) {
  WriteFramedTag(engine, TagID, BodySize, [this](TBitsEngine& be) { WriteTagBody(be); });
}

}  // namespace swf
