#pragma once
// The size of a text object as the build stores it in W and H; the editor
// measures texts again with the same rule after a change of spacing or size.
#include <cstdint>

#include "platform/font_engine.h"
#include "project/model.h"

namespace moviegen {

// The text in its face at FontSize points, regular, on a screen of
// screenPpi pixels per inch: H is its height, W its width plus
// round(length * Spacing * 0.76) + 10.
platform::TTextExtent TextObjectExtent(const project::TShapeRec& slot, int32_t screenPpi);

// The point size a text's font is made at: FontSize scaled from the
// resolution the project was authored at to the screen's, rounded (ties to
// even), so a text keeps its size in pixels. A resolution that is not
// positive is taken as the screen's.
int32_t FontPoints(int32_t fontSize, int32_t resolution, int32_t screenPpi);

}  // namespace moviegen
