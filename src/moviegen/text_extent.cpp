#include "moviegen/text_extent.h"

#include <algorithm>
#include <cmath>

namespace moviegen {

platform::TTextExtent TextObjectExtent(const project::TShapeRec& slot, int32_t screenPpi) {
  platform::TTextExtent extent =
      platform::MeasureText(slot.Font, slot.FontSize, screenPpi, slot.Text);
  const double spacing = std::nearbyint(double(slot.Text.size()) * slot.Spacing * 0.76);
  extent.Width =
      int32_t(std::clamp(extent.Width + spacing + 10, double(INT32_MIN), double(INT32_MAX)));
  return extent;
}

int32_t FontPoints(int32_t fontSize, int32_t resolution, int32_t screenPpi) {
  if (resolution <= 0 || screenPpi <= 0) return fontSize;
  return int32_t(std::nearbyint(double(fontSize) * resolution / screenPpi));
}

}  // namespace moviegen
