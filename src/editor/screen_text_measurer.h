#pragma once
// The text measurement the window gives the editor: the platform's font
// engine, regular style, at the screen's pixels per inch.
#include "editor/interfaces.h"

namespace editor {

class TScreenTextMeasurer : public ITextMeasurer {
 public:
  // Throws platform::EFontError when no font is installed; the editor then
  // keeps the extent it had.
  TTextSize MeasureText(const std::string& face, int32_t points, int32_t ppi,
                        const std::string& text) override;
};

}  // namespace editor
