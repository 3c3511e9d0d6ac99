#pragma once
// TFlashButton: a button character made of other characters, one record per
// set of states, with release actions and an optional roll-over sound.
#include <memory>

#include "swf/objects/action_script.h"
#include "swf/objects/flash_object.h"
#include "swf/tags/button_tags.h"

namespace swf {

class TFlashButton : public TFlashVisualObject {
 public:
  // Condition 3 (OverDownToOverUp): released with the pointer over the button.
  static constexpr int kReleaseCondition = 3;

  // An advanced button is a DefineButton2 whose release actions are a
  // condition action list; a plain one a DefineButton with one action list.
  TFlashButton(TFlashMovie* owner, bool trackAsMenu, bool advanced);

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return advanced_ ? 3 : 1; }
  void WriteToStream(TBitsEngine& be) override;
  void SetCharacterID(uint16_t id) override;

  TSWFButtonRecord& AddRecord(const TFlashIDObject& shape, uint8_t states, uint16_t depth);
  TSWFButtonRecord& AddRecordByID(uint16_t id, uint8_t states, uint16_t depth);
  // The first condition list containing the condition, made when there is none.
  TSWFButtonCondAction& CondAction(int condition);
  // A new condition list for the conditions (bits 0..8 of the set).
  TSWFButtonCondAction& AddCondAction(uint16_t conditions);
  TFlashActionScript& ReleaseActions();
  // The sound played when the pointer enters the button; the caller sets its SoundId.
  TSWFStartSound& RollOverSound() { return soundTag_.IdleToOverUpSound(); }

  TSWFBasedButton& ButtonTag() { return *buttonTag_; }
  const TSWFDefineButtonSound& SoundTag() const { return soundTag_; }
  bool Advanced() const { return advanced_; }

 private:
  TSWFDefineButton2& Button2() { return static_cast<TSWFDefineButton2&>(*buttonTag_); }

  bool advanced_;
  std::unique_ptr<TSWFBasedButton> buttonTag_;
  TSWFDefineButtonSound soundTag_;
  TFlashActionScript actions_;
};

}  // namespace swf
