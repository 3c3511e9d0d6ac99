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

// The body is rendered in place after room for the short header and moved
// on when it needs the long one: the same bytes as rendering into a separate
// buffer, without an allocation per tag.
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
  stream.WriteByte(0);  // room for the short header
  stream.WriteByte(0);
  {
    TBitsEngine bodyEngine(stream);
    WriteTagBody(bodyEngine);  // bits left pending here are dropped, as with a separate buffer
  }
  const size_t end = stream.Size();
  BodySize = uint32_t(end - start - 2);
  const bool isLong = NeedsLongTagHeader(TagID, BodySize);
  if (isLong) {
    stream.SetSize(end + 4);
    std::memmove(stream.Data() + start + 6, stream.Data() + start + 2, BodySize);
  }
  uint8_t* header = stream.Data() + start;
  const uint16_t word = uint16_t(TagID * 64 + (isLong ? 63 : BodySize));
  header[0] = uint8_t(word);
  header[1] = uint8_t(word >> 8);
  if (isLong)
    for (int i = 0; i < 4; ++i) header[2 + i] = uint8_t(BodySize >> (8 * i));
  stream.Seek(stream.Size());
}

}  // namespace swf
