#pragma once
// The glyph outline reader: the metrics, outlines and advances a movie font
// needs, read from the platform's font engine at a 1024-unit em (the glyph
// space of SWF fonts, so nothing is scaled between the two).
//
// The reader draws through TGlyphPen rather than a shape builder, so that this
// layer knows nothing of SWF records; the font object adapts the pen to its
// character's edges.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/font_engine.h"

namespace media {

// The drawing calls the reader makes, in glyph units. CloseShape draws a
// straight line back to the latest MoveTo when the pen is elsewhere;
// MakeMirror negates the X and/or Y of everything drawn so far.
class TGlyphPen {
 public:
  virtual ~TGlyphPen() = default;
  virtual void MoveTo(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual void CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY) = 0;
  virtual void CloseShape() = 0;
  virtual void MakeMirror(bool horizontal, bool vertical) = 0;
};

// The font a movie font asks the platform for: its face at the 1024 em.
struct TLogFont {
  std::string FaceName;  // Windows-1252
  int32_t Height = -platform::kGlyphEm;  // negative: the em height
  int32_t Weight = 400;                  // 700 when bold; no other weight is asked for
  bool Italic = false;
  uint8_t Quality = 4;  // 3 (not antialiased) for small-text fonts; outlines do not depend on it
};

struct TFontMetricsRec {
  int16_t Ascent = 0;
  int16_t Descent = 0;
  int16_t Leading = 0;  // the internal leading
};

TLogFont MakeLogFont(std::string_view faceName, bool bold, bool italic, bool smallText);

// The face the description selects (shared; opened once per process).
std::shared_ptr<platform::TFontFace> SelectFont(const TLogFont& font);

// Ascent, descent and internal leading at the 1024 em.
TFontMetricsRec ReadFontMetrics(const TLogFont& font);

// Draws the outline of a character and returns its advance; a character
// without an outline (a space) draws nothing but still has its advance.
int32_t ReadGlyph(platform::TFontFace& face, char16_t code, TGlyphPen& pen);

// Draws a native outline: each polygon as a move, its lines and curves and a
// closing line, then the Y mirror that turns the outline's upward Y into the
// downward Y of SWF. Cubic segments are drawn as quadratic curves that stay
// within a quarter unit of them.
void GlyphOutline(const platform::TGlyphOutline& outline, TGlyphPen& pen);

// A 16.16 fixed value to the nearest integer, halves to even.
int32_t FixedToInt(int32_t fixed);

}  // namespace media
