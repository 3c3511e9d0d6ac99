#include "swf/objects/flash_object.h"

#include "swf/objects/flash_movie.h"

namespace swf {

void TFlashObject::Assign(const TBasedSWFObject&) {}

void TFlashIDObject::Assign(const TBasedSWFObject& source) {
  TFlashObject::Assign(source);
  if (auto* s = dynamic_cast<const TFlashIDObject*>(&source)) {
    if (!Owner()) SetOwner(s->Owner());
    characterID_ = s->characterID_;
  }
}

void TFlashVisualObject::Assign(const TBasedSWFObject& source) {
  TFlashIDObject::Assign(source);
  if (auto* s = dynamic_cast<const TFlashVisualObject*>(&source)) NoScale = s->NoScale;
}

int TFlashVisualObject::CoordFactor() const {
  if (NoScale || !Owner()) return 1;
  return Owner()->CoordFactor();
}

}  // namespace swf
