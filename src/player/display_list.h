#pragma once
// The display list: what stands at each depth in the current frame.
#include <cstdint>
#include <map>
#include <string>

#include "player/movie.h"

namespace player {

// The pointer's relation to a button, as the button's transitions name it.
enum class TButtonMouse : uint8_t { Idle, OverUp, OverDown, OutDown };

struct TPlacedObject {
  uint16_t CharacterID = 0;
  TMatrix Matrix;
  TColorTransform ColorTransform;
  uint16_t Ratio = 0;
  uint16_t ClipDepth = 0;  // non-zero: a mask for the depths up to it
  std::string Name;
  TButtonMouse Mouse = TButtonMouse::Idle;

  // The button states this object shows (bsUp, bsOver or bsDown).
  uint8_t ShownButtonState() const;
};

class TDisplayList {
 public:
  void Clear();
  // PlaceObject new, move and replace; RemoveObject(2).
  void Apply(const TDisplayOp& op);
  const std::map<uint16_t, TPlacedObject>& Objects() const { return objects_; }
  TPlacedObject* Find(uint16_t depth);
  // Counts every change, so a viewer repaints only when it moved.
  uint64_t Version() const { return version_; }
  void Touch() { ++version_; }

 private:
  std::map<uint16_t, TPlacedObject> objects_;
  uint64_t version_ = 0;
};

}  // namespace player
