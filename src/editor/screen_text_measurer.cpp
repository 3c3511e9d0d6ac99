#include "editor/screen_text_measurer.h"

#include "platform/font_engine.h"

namespace editor {

TTextSize TScreenTextMeasurer::MeasureText(const std::string& face, int32_t points, int32_t ppi,
                                           const std::string& text) {
  platform::TTextExtent extent = platform::MeasureText(face, points, ppi, text);
  return {extent.Width, extent.Height};
}

}  // namespace editor
