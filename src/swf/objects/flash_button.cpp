#include "swf/objects/flash_button.h"

namespace swf {

TFlashButton::TFlashButton(TFlashMovie* owner, bool trackAsMenu, bool advanced)
    : TFlashVisualObject(owner), advanced_(advanced), actions_(owner) {
  if (advanced) {
    auto tag = std::make_unique<TSWFDefineButton2>();
    tag->TrackAsMenu = trackAsMenu;
    buttonTag_ = std::move(tag);
    actions_.SetList(CondAction(kReleaseCondition));
  } else {
    buttonTag_ = std::make_unique<TSWFDefineButton>();
    actions_.SetList(buttonTag_->Actions);
  }
}

void TFlashButton::Assign(const TBasedSWFObject& source) {
  TFlashVisualObject::Assign(source);
  auto* s = dynamic_cast<const TFlashButton*>(&source);
  if (!s) return;
  advanced_ = s->advanced_;
  if (advanced_) buttonTag_ = std::make_unique<TSWFDefineButton2>();
  else buttonTag_ = std::make_unique<TSWFDefineButton>();
  buttonTag_->Assign(*s->buttonTag_);
  soundTag_.Assign(s->soundTag_);
  if (advanced_) actions_.SetList(CondAction(kReleaseCondition));
  else actions_.SetList(buttonTag_->Actions);
}

void TFlashButton::SetCharacterID(uint16_t id) {
  TFlashVisualObject::SetCharacterID(id);
  buttonTag_->ButtonID = id;
}

TSWFButtonRecord& TFlashButton::AddRecord(const TFlashIDObject& shape, uint8_t states,
                                          uint16_t depth) {
  return AddRecordByID(shape.GetCharacterID(), states, depth);
}

TSWFButtonRecord& TFlashButton::AddRecordByID(uint16_t id, uint8_t states, uint16_t depth) {
  TSWFButtonRecord& record = buttonTag_->AddRecord(id);
  record.Depth = depth;
  record.ButtonStates = states;
  if (advanced_) record.ColorTransform();
  return record;
}

TSWFButtonCondAction& TFlashButton::CondAction(int condition) {
  for (auto& c : Button2().CondActions)
    if (c->CondFlags & (1u << condition)) return *c;
  return AddCondAction(uint16_t(1u << condition));
}

TSWFButtonCondAction& TFlashButton::AddCondAction(uint16_t conditions) {
  return Button2().AddCondAction(conditions & 0x1FF);
}

TFlashActionScript& TFlashButton::ReleaseActions() {
  if (advanced_) actions_.SetList(CondAction(kReleaseCondition));
  return actions_;
}

void TFlashButton::WriteToStream(TBitsEngine& be) {
  buttonTag_->WriteToStream(be);
  if (soundTag_.AnyRequested()) {
    soundTag_.ButtonID = GetCharacterID();
    soundTag_.WriteToStream(be);
  }
}

}  // namespace swf
