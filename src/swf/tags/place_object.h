#pragma once
// PlaceObject2 with its optional parts (matrix, colour transform, name,
// ratio, clip depth, clip actions); each part is switched on by setting it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/core/swf_object.h"
#include "swf/tags/actions.h"

namespace swf {

// Event bit 17 is the key press; a non-zero KeyCode sets it.
class TSWFClipActionRecord : public TSWFActionList {
 public:
  static constexpr uint32_t kKeyPressEvent = 1u << 17;
  void SetKeyCode(uint8_t key);
  uint8_t KeyCode() const { return keyCode_; }

  uint32_t EventFlags = 0;

 private:
  uint8_t keyCode_ = 0;
};

class TSWFClipActions {
 public:
  TSWFClipActionRecord& AddActionRecord(uint32_t eventFlags);
  void CopyFrom(const TSWFClipActions& source);
  const std::vector<std::unique_ptr<TSWFClipActionRecord>>& Records() const { return records_; }

  uint32_t AllEventFlags = 0;

 private:
  std::vector<std::unique_ptr<TSWFClipActionRecord>> records_;
};

class TSWFBasedPlaceObject : public TSWFObject {
 public:
  virtual void SetCharacterID(uint16_t id) { CharacterID = id; }

  uint16_t CharacterID = 0;
  uint16_t Depth = 0;
};

class TSWFPlaceObject2 : public TSWFBasedPlaceObject {
 public:
  TSWFPlaceObject2() { TagID = tagPlaceObject2; }
  TSWFPlaceObject2(const TSWFPlaceObject2&) = delete;
  TSWFPlaceObject2& operator=(const TSWFPlaceObject2&) = delete;

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override;
  void WriteTagBody(TBitsEngine& be) override;
  void SetCharacterID(uint16_t id) override;

  // Each accessor creates its part on first use and switches it on.
  TSWFMatrix& Matrix();
  TSWFColorTransform& ColorTransform();
  TSWFClipActions& ClipActions();
  void SetClipDepth(uint16_t depth);
  void SetName(const std::string& name);
  void SetRatio(uint16_t ratio);

  bool HasClipActions() const { return clipActions_ != nullptr; }
  bool HasClipDepth = false, HasColorTransform = false, HasMatrix = false, HasName = false,
       HasRatio = false, HasCharacter = false, Move = false;
  uint16_t ClipDepth = 0;
  uint16_t Ratio = 0;
  std::string Name;
  uint8_t SWFVersion = 3;  // the version the clip actions are encoded for

 private:
  void WriteClipActions(TBitsEngine& be);
  void WriteEventFlags(TBitsEngine& be, uint32_t flags) const;

  std::optional<TSWFMatrix> matrix_;
  std::optional<TSWFColorTransform> colorTransform_;
  std::unique_ptr<TSWFClipActions> clipActions_;
};

}  // namespace swf
