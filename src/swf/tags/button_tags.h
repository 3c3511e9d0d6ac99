#pragma once
// Button tags: DefineButton, DefineButton2 with condition actions, and
// DefineButtonSound for the sounds of state transitions.
#include <memory>
#include <optional>
#include <vector>

#include "swf/core/swf_object.h"
#include "swf/tags/actions.h"
#include "swf/tags/sound_tags.h"

namespace swf {

enum TSWFButtonState : uint8_t { bsUp = 1, bsDown = 2, bsOver = 4, bsHitTest = 8 };

class TSWFButtonRecord {
 public:
  explicit TSWFButtonRecord(uint16_t characterID = 0) : CharacterID(characterID) {}

  // Created on first access; the colour transform carries alpha.
  TSWFMatrix& Matrix();
  TSWFColorTransform& ColorTransform();
  bool HasColorTransform() const { return colorTransform_.has_value(); }
  // With forceColorTransform every record carries one (DefineButton2).
  void Write(TBitsEngine& be, bool forceColorTransform);

  uint8_t ButtonStates = 0;
  uint16_t CharacterID = 0;
  uint16_t Depth = 0;

 private:
  std::optional<TSWFMatrix> matrix_;
  std::optional<TSWFColorTransform> colorTransform_;
};

// Condition bits: 0 IdleToOverUp, 1 OverUpToIdle, 2 OverUpToOverDown,
// 3 OverDownToOverUp, 4 OutDownToOverDown, 5 OverDownToOutDown,
// 6 OutDownToIdle, 7 IdleToOverDown, 8 OverDownToIdle.
class TSWFButtonCondAction : public TSWFActionList {
 public:
  uint16_t CondFlags = 0;  // 9 bits
  uint8_t KeyCode = 0;     // 7 bits
};

class TSWFBasedButton : public TSWFObject {
 public:
  TSWFBasedButton() { TagID = tagDefineButton; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  TSWFButtonRecord& AddRecord(uint16_t characterID);

  TSWFActionList Actions;
  uint16_t ButtonID = 0;
  std::vector<std::unique_ptr<TSWFButtonRecord>> ButtonRecords;
};

class TSWFDefineButton : public TSWFBasedButton {
 public:
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return Actions.MaxMinVersion(3); }
  void WriteTagBody(TBitsEngine& be) override;
};

class TSWFDefineButton2 : public TSWFBasedButton {
 public:
  TSWFDefineButton2() { TagID = tagDefineButton2; }
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;
  TSWFButtonCondAction& AddCondAction(uint16_t condFlags);

  bool TrackAsMenu = false;
  std::vector<std::unique_ptr<TSWFButtonCondAction>> CondActions;
};

class TSWFDefineButtonSound : public TSWFObject {
 public:
  enum TTransition { OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp };

  TSWFDefineButtonSound() { TagID = tagDefineButtonSound; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 2; }
  void WriteTagBody(TBitsEngine& be) override;

  // Created on first access, which marks the transition's sound for writing.
  TSWFStartSound& Sound(TTransition t);
  TSWFStartSound& OverUpToIdleSound() { return Sound(OverUpToIdle); }
  TSWFStartSound& IdleToOverUpSound() { return Sound(IdleToOverUp); }
  TSWFStartSound& OverUpToOverDownSound() { return Sound(OverUpToOverDown); }
  TSWFStartSound& OverDownToOverUpSound() { return Sound(OverDownToOverUp); }
  bool HasSound(TTransition t) const { return sounds_[t] != nullptr; }
  bool AnyRequested() const;

  uint16_t ButtonID = 0;

 private:
  std::unique_ptr<TSWFStartSound> sounds_[4];
};

}  // namespace swf
