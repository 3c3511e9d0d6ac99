#pragma once
// Control tags: End, ShowFrame, RemoveObject(2), SetBackgroundColor,
// Protect and FrameLabel.
#include <string>

#include "swf/core/swf_object.h"

namespace swf {

class TSWFEnd : public TSWFObject {
 public:
  TSWFEnd() { TagID = tagEnd; }
};

class TSWFShowFrame : public TSWFObject {
 public:
  TSWFShowFrame() { TagID = tagShowFrame; }
};

class TSWFRemoveObject : public TSWFObject {
 public:
  TSWFRemoveObject() { TagID = tagRemoveObject; }
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t CharacterID = 0;
  uint16_t Depth = 0;
};

class TSWFRemoveObject2 : public TSWFObject {
 public:
  TSWFRemoveObject2() { TagID = tagRemoveObject2; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t Depth = 0;
};

class TSWFSetBackgroundColor : public TSWFObject {
 public:
  TSWFSetBackgroundColor() { TagID = tagSetBackgroundColor; }
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;

  TSWFRGB Color;
};

// With a password the body holds its MD5-crypt hash; with neither password
// nor hash the body is empty.
class TSWFProtect : public TSWFObject {
 public:
  TSWFProtect() { TagID = tagProtect; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return Password.empty() && Hash.empty() ? 2 : 5; }
  void WriteTagBody(TBitsEngine& be) override;

  std::string Password;
  std::string Hash;
};

class TSWFFrameLabel : public TSWFObject {
 public:
  explicit TSWFFrameLabel(std::string name = {}, bool namedAnchor = false)
      : Name(std::move(name)), NamedAnchor(namedAnchor) {
    TagID = tagFrameLabel;
  }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return NamedAnchor ? 6 : 3; }
  void WriteTagBody(TBitsEngine& be) override;

  std::string Name;
  bool NamedAnchor = false;
};

}  // namespace swf
