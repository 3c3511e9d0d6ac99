#pragma once
// Where an object lies on the stage: the box the canvas hit-tests and the
// outline it draws around the selected object.
#include <array>
#include <cstdint>

#include "project/model.h"

namespace editor {

// The object's box before it is turned, in stage pixels.
struct TObjectBox {
  int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TStagePoint {
  double X = 0, Y = 0;
  bool operator==(const TStagePoint&) const = default;
};

// Top-left, top-right, bottom-right, bottom-left.
using TOutline = std::array<TStagePoint, 4>;

// Circles and stars lie around their centre (a star's R1 is its outer
// radius); every other object spans X..X+W and Y..Y+H.
TObjectBox ObjectBox(const project::TShapeRec& r);

// The box's corners as the movie shows the object: turned by Angle about its
// anchor (X, Y), the way the build places it.
TOutline TurnedOutline(const project::TShapeRec& r);

}  // namespace editor
