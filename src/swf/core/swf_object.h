#pragma once
// The common base of everything that goes into a movie: SWF tags
// (TSWFObject, LibraryLevel 0) and movie objects (LibraryLevel 1, in swf/objects).
#include <cstdint>

#include "swf/core/bits_engine.h"

namespace swf {

class TBasedSWFObject {
 public:
  virtual ~TBasedSWFObject() = default;
  virtual void Assign(const TBasedSWFObject& source) = 0;
  virtual int LibraryLevel() const = 0;
  virtual int MinVersion() const { return 1; }
  virtual void WriteToStream(TBitsEngine& engine) = 0;
};

// SWF tag codes used by the library.
enum TSWFTagCode : uint16_t {
  tagEnd = 0, tagShowFrame = 1, tagDefineShape = 2, tagRemoveObject = 5, tagDefineBits = 6,
  tagDefineButton = 7, tagSetBackgroundColor = 9, tagDefineFont = 10, tagDefineText = 11,
  tagDoAction = 12, tagDefineSound = 14, tagStartSound = 15, tagDefineButtonSound = 17,
  tagSoundStreamHead = 18, tagSoundStreamBlock = 19, tagDefineBitsLossless = 20,
  tagDefineBitsJPEG2 = 21, tagDefineShape2 = 22, tagProtect = 24, tagPlaceObject2 = 26,
  tagRemoveObject2 = 28, tagDefineShape3 = 32, tagDefineText2 = 33, tagDefineButton2 = 34,
  tagDefineBitsJPEG3 = 35, tagDefineBitsLossless2 = 36, tagDefineEditText = 37,
  tagFrameLabel = 43, tagSoundStreamHead2 = 45, tagDefineFont2 = 48, tagDoInitAction = 59,
  tagDefineVideoStream = 60, tagVideoFrame = 61,
};

// An SWF tag. WriteToStream frames the body that WriteTagBody writes.
class TSWFObject : public TBasedSWFObject {
 public:
  void Assign(const TBasedSWFObject& source) override;
  int LibraryLevel() const override { return 0; }
  void WriteToStream(TBitsEngine& engine) override;
  virtual void ReadFromStream(TBitsEngine&) {}
  virtual void WriteTagBody(TBitsEngine&) {}

  uint32_t BodySize = 0;
  uint16_t TagID = 0;
};

// Assign for value-like classes: copies every field when the source is of
// the same class, and nothing otherwise.
template <class T>
void AssignSame(T& target, const TBasedSWFObject& source) {
  if (auto* same = dynamic_cast<const T*>(&source)) target = *same;
}

// A tag header is the short form (2 bytes) for bodies below 63 bytes, the
// long form (6 bytes) otherwise and always for the lossless bitmaps and
// video streams, which players expect in the long form.
inline bool NeedsLongTagHeader(uint16_t tagID, uint32_t bodySize) {
  return bodySize >= 63 || tagID == tagDefineBitsLossless || tagID == tagDefineBitsLossless2 ||
         tagID == tagDefineVideoStream;
}
inline void FillTagHeader(uint8_t* header, uint16_t tagID, uint32_t bodySize, bool isLong) {
  const uint16_t word = uint16_t(tagID * 64 + (isLong ? 63 : bodySize));
  header[0] = uint8_t(word);
  header[1] = uint8_t(word >> 8);
  if (isLong)
    for (int i = 0; i < 4; ++i) header[2 + i] = uint8_t(bodySize >> (8 * i));
}
void WriteTagHeader(TMemoryStream& stream, uint16_t tagID, uint32_t bodySize);
// Shifts a body rendered after a 2-byte header on by 4 bytes.
void MakeRoomForLongHeader(TMemoryStream& stream, size_t start, uint32_t bodySize);

// A tag written inside existing data: the body goes to a buffer first.
template <class WriteBody>
void WriteTagSeparately(TBitsEngine& engine, uint16_t tagID, uint32_t& bodySize,
                        WriteBody& writeBody) {
  TMemoryStream body;
  TBitsEngine bodyEngine(body);
  writeBody(bodyEngine);
  bodySize = uint32_t(body.Size());
  WriteTagHeader(engine.Stream(), tagID, bodySize);
  engine.Stream().Write(body.Data(), body.Size());
}

// Frames the body that writeBody(engine) renders: in place after room for
// the short header, moved on when it needs the long one. The same bytes as
// rendering into a separate buffer, without an allocation per tag. Inline,
// so that a caller that knows the tag's class writes it without virtual
// calls.
template <class WriteBody>
void WriteFramedTag(TBitsEngine& engine, uint16_t tagID, uint32_t& bodySize,
                    WriteBody&& writeBody) {
  TMemoryStream& stream = engine.Stream();
  const size_t start = stream.Position();
  if (start != stream.Size()) {  // writing inside existing data: use a separate buffer
    WriteTagSeparately(engine, tagID, bodySize, writeBody);
    return;
  }
  stream.WriteRoom(2);  // room for the short header
  {
    TBitsEngine bodyEngine(stream);
    writeBody(bodyEngine);  // bits left pending here are dropped, as with a separate buffer
  }
  bodySize = uint32_t(stream.Size() - start - 2);
  const bool isLong = NeedsLongTagHeader(tagID, bodySize);
  if (isLong) MakeRoomForLongHeader(stream, start, bodySize);
  FillTagHeader(stream.Data() + start, tagID, bodySize, isLong);
  stream.Seek(stream.Size());
}

}  // namespace swf
