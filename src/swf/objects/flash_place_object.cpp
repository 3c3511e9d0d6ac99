#include "swf/objects/flash_place_object.h"

namespace swf {

TFlashPlaceObject::TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* object,
                                     uint16_t depth)
    : TFlashObject(owner), placedObject_(object) {
  placeTag_.Depth = depth;
  if (!object) return;
  placeTag_.SetCharacterID(object->GetCharacterID());
  if (object->IsSprite()) {
    clipList_ = std::make_unique<TSWFActionList>();
    clipScript_ = std::make_unique<TFlashActionScript>(owner, clipList_.get());
  }
}

void TFlashPlaceObject::Assign(const TBasedSWFObject& source) {
  auto* s = dynamic_cast<const TFlashPlaceObject*>(&source);
  if (!s) return;
  if (!Owner()) SetOwner(s->Owner());
  placedObject_ = s->placedObject_;
  placeTag_.Assign(s->placeTag_);
  if (s->clipScript_) {
    clipList_ = std::make_unique<TSWFActionList>();
    clipScript_ = std::make_unique<TFlashActionScript>(Owner(), clipList_.get());
    clipScript_->Assign(*s->clipScript_);
  }
}

}  // namespace swf
