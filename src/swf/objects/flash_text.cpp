#include "swf/objects/flash_text.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <memory>

#include "swf/core/bit_math.h"
#include "swf/objects/flash_font.h"
#include "swf/objects/shape_math.h"
#include "swf/tags/font_tags.h"

namespace swf {

namespace {

bool FitsInt16(int64_t v) {
  return v >= INT16_MIN && v <= INT16_MAX;
}

// matrix := matrix after a move by (x, y).
void MoveByMatrix(TSWFMatrix& matrix, int32_t x, int32_t y) {
  const double a = matrix.HasScale() ? matrix.ScaleX() : 1.0;
  const double d = matrix.HasScale() ? matrix.ScaleY() : 1.0;
  const double b = matrix.HasRotate() ? matrix.RotateSkew0() : 0.0;
  const double c = matrix.HasRotate() ? matrix.RotateSkew1() : 0.0;
  const auto clamped = [](double v) {
    return int32_t(std::clamp(std::nearbyint(v), double(INT32_MIN), double(INT32_MAX)));
  };
  matrix.SetTranslate(clamped(matrix.TranslateX() + a * x + c * y),
                      clamped(matrix.TranslateY() + b * x + d * y));
}

}  // namespace

TFlashText::TFlashText(TFlashMovie* owner, std::string text, uint32_t color, TFlashFont* font,
                       int32_t left, int32_t top, int32_t right, int32_t bottom)
    : TFlashVisualObject(owner), text_(std::move(text)), font_(font) {
  assert(font_);
  font_->FontUsage |= 1;
  font_->AddChars(text_);
  textColor_.SetRGBA(color);
  const int64_t f = CoordFactor();
  TextBounds.SetRect(ClampToInt32(left * f), ClampToInt32(top * f), ClampToInt32(right * f),
                     ClampToInt32(bottom * f));
  x_ = TextBounds.Xmin();
  y_ = TextBounds.Ymin();
  // The record holds 16 bits: a larger font is drawn at the largest height
  // rather than a wrapped-around small one.
  TextHeight = uint16_t(std::clamp<int32_t>(font_->FontSize, 0, 0xFFFF));
}

void TFlashText::Assign(const TBasedSWFObject& source) {
  TFlashVisualObject::Assign(source);
  auto* s = dynamic_cast<const TFlashText*>(&source);
  if (!s) return;
  TextBounds.Assign(s->TextBounds);
  TextHeight = s->TextHeight;
  text_ = s->text_;
  font_ = s->font_;
  letterSpacing_ = s->letterSpacing_;
  textColor_.Assign(s->textColor_);
  textMatrix_ = s->textMatrix_;
  x_ = s->x_;
  y_ = s->y_;
}

void TFlashText::SetLetterSpacing(int32_t spacing) {
  letterSpacing_ = ClampToInt32(int64_t(spacing) * CoordFactor());
}

TSWFMatrix& TFlashText::TextMatrix() {
  if (!textMatrix_) textMatrix_.emplace();
  return *textMatrix_;
}

void TFlashText::WriteToStream(TBitsEngine& be) {
  std::unique_ptr<TSWFDefineText> tag = textColor_.A() == 255 ? std::make_unique<TSWFDefineText>()
                                                              : std::make_unique<TSWFDefineText2>();
  tag->CharacterID = GetCharacterID();
  tag->TextBounds.Assign(TextBounds);
  if (textMatrix_) tag->TextMatrix.Assign(*textMatrix_);
  // An empty text still defines its character (with no records), so that a
  // placement of it refers to something.
  if (!text_.empty()) {
    font_->ReadGlyphOutlines();
    TSWFTextRecord& record = tag->AddRecord();
    record.SetFontID(font_->GetCharacterID());
    record.TextColor().Assign(textColor_);
    record.SetTextHeight(TextHeight);
    // The baseline sits one ascent below the top of the bounds.
    const int32_t ascent = int32_t(std::nearbyint(font_->Ascent / 1024.0 * TextHeight));
    if (FitsInt16(x_) && FitsInt16(int64_t(ascent) + y_)) {
      record.SetYOffset(ascent + y_);
      if (x_ != 0) record.SetXOffset(x_);
    } else {
      // The record's offsets have 16 bits: a text farther out than they
      // reach is moved by the text matrix instead, which has room.
      MoveByMatrix(tag->TextMatrix, x_, y_);
      record.SetYOffset(ascent);
    }
    for (char c : text_) {
      const TFlashChar* ch = font_->FindChar(uint8_t(c));
      if (!ch) continue;
      TSWFGlyphEntry entry;
      entry.GlyphIndex = font_->GlyphIndex(*ch);
      entry.GlyphAdvance =
          ClampToInt32(int64_t(std::nearbyint(ch->Advance / 1024.0 * TextHeight)) + letterSpacing_);
      tag->GlyphBits = std::max(tag->GlyphBits, GetBitsLength(entry.GlyphIndex));
      tag->AdvanceBits = std::max(tag->AdvanceBits, GetBitsCount(entry.GlyphAdvance, 1));
      record.GlyphEntries.push_back(entry);
    }
  }
  tag->WriteToStream(be);
}

}  // namespace swf
