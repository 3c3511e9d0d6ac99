#include "player/display_list.h"

namespace player {

uint8_t TPlacedObject::ShownButtonState() const {
  switch (Mouse) {
    case TButtonMouse::Idle:
      return bsUp;
    case TButtonMouse::OverDown:
      return bsDown;
    case TButtonMouse::OverUp:
    case TButtonMouse::OutDown:
      break;
  }
  return bsOver;
}

void TDisplayList::Clear() {
  objects_.clear();
  ++version_;
}

TPlacedObject* TDisplayList::Find(uint16_t depth) {
  auto it = objects_.find(depth);
  return it == objects_.end() ? nullptr : &it->second;
}

void TDisplayList::Apply(const TDisplayOp& op) {
  ++version_;
  if (op.Kind == TDisplayOp::Remove) {
    objects_.erase(op.Depth);
    return;
  }
  TPlacedObject* existing = Find(op.Depth);
  if (op.Move && !existing && !op.CharacterID) return;  // nothing to move
  if (!op.Move && !op.CharacterID) return;
  TPlacedObject& target = op.Move && existing ? *existing : objects_[op.Depth];
  if (!op.Move) target = TPlacedObject{};
  if (op.CharacterID) {
    if (target.CharacterID != *op.CharacterID) target.Mouse = TButtonMouse::Idle;
    target.CharacterID = *op.CharacterID;
  }
  if (op.Matrix) target.Matrix = *op.Matrix;
  if (op.ColorTransform) target.ColorTransform = *op.ColorTransform;
  if (op.Ratio) target.Ratio = *op.Ratio;
  if (op.ClipDepth) target.ClipDepth = *op.ClipDepth;
  if (!op.Name.empty()) target.Name = op.Name;
}

}  // namespace player
