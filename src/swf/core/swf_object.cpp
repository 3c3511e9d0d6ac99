#include "swf/core/swf_object.h"

namespace swf {

void TSWFObject::Assign(const TBasedSWFObject& source) {
  if (auto* tag = dynamic_cast<const TSWFObject*>(&source)) BodySize = tag->BodySize;
}

bool NeedsLongTagHeader(uint16_t tagID, uint32_t bodySize) {
  return bodySize >= 63 || tagID == tagDefineBitsLossless || tagID == tagDefineBitsLossless2 ||
         tagID == tagDefineVideoStream;
}

void WriteTagHeader(TMemoryStream& stream, uint16_t tagID, uint32_t bodySize) {
  const bool isLong = NeedsLongTagHeader(tagID, bodySize);
  const uint16_t word = uint16_t(tagID * 64 + (isLong ? 63 : bodySize));
  stream.WriteByte(uint8_t(word));
  stream.WriteByte(uint8_t(word >> 8));
  if (!isLong) return;
  for (int shift = 0; shift < 32; shift += 8) stream.WriteByte(uint8_t(bodySize >> shift));
}

void MakeRoomForLongHeader(TMemoryStream& stream, size_t start, uint32_t bodySize) {
  stream.SetSize(stream.Size() + 4);
  std::memmove(stream.Data() + start + 6, stream.Data() + start + 2, bodySize);
}

void TSWFObject::WriteToStream(TBitsEngine& engine) {
  WriteFramedTag(engine, TagID, BodySize, [this](TBitsEngine& be) { WriteTagBody(be); });
}

}  // namespace swf
