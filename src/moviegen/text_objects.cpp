// Text objects: their measured extent, their fonts and their static texts.
#include <algorithm>
#include <cmath>

#include "moviegen/movie_builder.h"
#include "moviegen/object_colors.h"
#include "moviegen/text_extent.h"
#include "platform/font_engine.h"
#include "swf/objects/flash_font.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/flash_text.h"

namespace moviegen {

using project::TShapeRec;

// Every text of every frame, whatever the build's range: the editor shows
// the extent of any frame's texts.
void TMovieBuilder::MeasureTexts() {
  for (int32_t l = 1; l <= doc_.FrameCount; ++l) {
    project::TSlotArray& slots = doc_.Frames[size_t(l)].Slots;
    const int lastUsed = slots.LastUsed();
    for (int e = 1; e <= lastUsed; ++e) {
      if (slots[e].Object != project::skText) continue;
      TShapeRec& slot = slots.Edit(e);
      const platform::TTextExtent extent = TextObjectExtent(slot, doc_.ScreenPixelsPerInch);
      SetDerived(slot.W, extent.Width);
      SetDerived(slot.H, extent.Height);
    }
  }
}

void TMovieBuilder::RegisterFonts() {
  for (int32_t l = first_; l <= last_; ++l) {
    const project::TSlotArray& slots = doc_.Frames[size_t(l)].Slots;
    for (int e = 1; e <= LastSlot(); ++e) {
      const TShapeRec& slot = slots[e];
      if (slot.Object != project::skText || slot.Text.empty()) continue;
      const TFontKey key{slot.Font, slot.FontSize, slot.FBold, slot.FItalic};
      if (fonts_.count(key)) continue;
      platform::TFontDescription font;
      font.Name = slot.Font;
      font.Height = platform::FontHeightFromPoints(
          FontPoints(slot.FontSize, doc_.Settings.MResolution, doc_.ScreenPixelsPerInch),
          doc_.ScreenPixelsPerInch);
      font.Bold = slot.FBold == 1;
      font.Italic = slot.FItalic == 1;
      fonts_[key] = &movie_->AddFont(font, true);
    }
  }
}

swf::TFlashPlaceObject* TMovieBuilder::DrawText(int32_t l, int e, TShapeRec& slot, int32_t x,
                                                int32_t y) {
  if (slot.Text.empty()) return nullptr;
  auto font = fonts_.find({slot.Font, slot.FontSize, slot.FBold, slot.FItalic});
  if (font == fonts_.end()) return nullptr;
  const int32_t right = std::max(AddClamped(x, slot.W), 0);
  const int32_t bottom = std::max(AddClamped(y, slot.H), 0);
  swf::TFlashText& text = movie_->AddText(slot.Text, Packed(slot.FontColor, DrawnAlpha(slot.Alpha)),
                                          font->second, x, y, AddClamped(right, 10), bottom);
  text.SetLetterSpacing(slot.Spacing);
  return &Place(text, l, e, slot.Angle);
}

}  // namespace moviegen
