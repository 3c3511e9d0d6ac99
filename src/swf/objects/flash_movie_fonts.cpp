#include <cstdlib>

#include "swf/objects/flash_font.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_text.h"

namespace swf {

TFlashFont& TFlashMovie::AddFont(const platform::TFontDescription& font, bool deviceFont) {
  TFlashFont& result = RegisterCharacter(
      std::make_unique<TFlashFont>(this, deviceFont, font.Name, font.Bold, font.Italic,
                                   std::abs(font.Height)),
      fonts_);
  result.SetCharset(font.CharSet);
  return result;
}

TFlashText& TFlashMovie::AddText(const std::string& text, uint32_t color, TFlashFont* font,
                                 int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return RegisterCharacter(
      std::make_unique<TFlashText>(this, text, color, font, left, top, right, bottom), texts_);
}

}  // namespace swf
