#pragma once
// TFlashText: a static text, one line of glyph references into a TFlashFont
// with their advances. Creating it registers its characters in the font.
#include <cstdint>
#include <optional>
#include <string>

#include "swf/core/records.h"
#include "swf/objects/flash_object.h"

namespace swf {

class TFlashFont;

class TFlashText : public TFlashVisualObject {
 public:
  // Color is packed 0xAABBGGRR; the rectangle is in the movie's units.
  TFlashText(TFlashMovie* owner, std::string text, uint32_t color, TFlashFont* font, int32_t left,
             int32_t top, int32_t right, int32_t bottom);

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  // A DefineText, or a DefineText2 when the colour is translucent.
  void WriteToStream(TBitsEngine& be) override;

  // Twips added to every advance; set in the movie's units.
  int32_t LetterSpacing() const { return letterSpacing_; }
  void SetLetterSpacing(int32_t spacing);
  TSWFRGBA& TextColor() { return textColor_; }
  // Identity until changed; created on first use.
  TSWFMatrix& TextMatrix();
  const std::string& Text() const { return text_; }
  TFlashFont* Font() const { return font_; }

  TSWFRect TextBounds;  // twips
  uint16_t TextHeight;  // twips, the font's size

 private:
  std::string text_;
  TFlashFont* font_;
  int32_t letterSpacing_ = 0;
  TSWFRGBA textColor_{false};
  std::optional<TSWFMatrix> textMatrix_;
  int32_t x_, y_;  // the bounds' left and top
};

}  // namespace swf
