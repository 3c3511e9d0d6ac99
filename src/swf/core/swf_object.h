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

// Writes a tag header for a body of the given size: the short form below 63
// bytes, the long form otherwise and always for the lossless bitmaps and
// video streams, which players expect in the long form.
void WriteTagHeader(TMemoryStream& stream, uint16_t tagID, uint32_t bodySize);
bool NeedsLongTagHeader(uint16_t tagID, uint32_t bodySize);

}  // namespace swf
