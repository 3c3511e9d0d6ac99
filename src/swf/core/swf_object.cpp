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
  const uint8_t bytes[6] = {uint8_t(word),          uint8_t(word >> 8),
                            uint8_t(bodySize),      uint8_t(bodySize >> 8),
                            uint8_t(bodySize >> 16), uint8_t(bodySize >> 24)};
  stream.Write(bytes, isLong ? 6 : 2);
}

// The body is rendered in place after room for the long header, then moved
// back when the short header suffices: the same bytes as rendering into a
// separate buffer, without one allocation per tag.
void TSWFObject::WriteToStream(TBitsEngine& engine) {
  TMemoryStream& stream = engine.Stream();
  const size_t start = stream.Position();
  if (start != stream.Size()) {  // writing inside existing data: use a separate buffer
    TMemoryStream body;
    TBitsEngine bodyEngine(body);
    WriteTagBody(bodyEngine);
    BodySize = uint32_t(body.Size());
    WriteTagHeader(stream, TagID, BodySize);
    stream.Write(body.Data(), body.Size());
    return;
  }
  stream.SetSize(start + 6);
  stream.Seek(start + 6);
  {
    TBitsEngine bodyEngine(stream);
    WriteTagBody(bodyEngine);  // bits left pending here are dropped, as with a separate buffer
  }
  const size_t end = stream.Size();
  BodySize = uint32_t(end - start - 6);
  stream.Seek(start);
  WriteTagHeader(stream, TagID, BodySize);
  if (!NeedsLongTagHeader(TagID, BodySize)) {
    uint8_t* data = stream.Data();
    std::memmove(data + start + 2, data + start + 6, BodySize);
    stream.SetSize(end - 4);
  }
  stream.Seek(stream.Size());
}

}  // namespace swf
