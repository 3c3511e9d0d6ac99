#pragma once
// The font engine that stands in for the desktop's: fontconfig finds the
// installed font for a face name and style, FreeType reads it. Metrics are
// those Windows reports (from the OS/2 Windows ascent and descent), outlines
// are unhinted, and everything the SWF fonts need is read at a 1024-pixel em,
// the glyph space of SWF fonts.
//
// Faces are cached for the life of the process and are meant for the
// user-interface thread only, like the rest of the movie build.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace platform {

class EFontError : public TVellumetError {
 public:
  using TVellumetError::TVellumetError;
};

// The em at which glyph outlines and advances are read.
constexpr int32_t kGlyphEm = 1024;

// A font as the user picked it: what a desktop font dialog hands back and a
// movie font is made from.
struct TFontDescription {
  std::string Name;     // face name, Windows-1252 bytes
  int32_t Height = 0;   // pixels; negative for an em height (the Windows convention)
  bool Bold = false;
  bool Italic = false;
  uint8_t CharSet = 0;  // Windows character set: 0 ANSI (model strings are Windows-1252)
};

// The pixel height of a font of `points` points on a screen of `ppi` pixels
// per inch, as a negative (em) height.
int32_t FontHeightFromPoints(double points, int32_t ppi);

// A 16.16 fixed-point position: integer part in the high 16 bits, an
// unsigned fraction in the low 16 bits. Y grows upward.
struct TFixedPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TFixedPoint&) const = default;
};

// One record of a contour, in the layout of the Windows native glyph outline.
enum class TCurveKind : uint8_t {
  Polyline = 1,  // each point is on the curve, joined by straight lines
  QSpline = 2,   // quadratic B-spline: off-curve points with implied on-curve
                 // midpoints between them; the last point is on the curve
  CSpline = 3,   // cubic Bezier segments: control, control, end; repeated
};

struct TOutlineCurve {
  TCurveKind Kind = TCurveKind::Polyline;
  std::vector<TFixedPoint> Points;
  bool operator==(const TOutlineCurve&) const = default;
};

// A closed contour: it starts at Start, runs through its curves and returns
// to Start (the closing line is implied, as in the Windows outline).
struct TOutlinePolygon {
  TFixedPoint Start;
  std::vector<TOutlineCurve> Curves;
  bool operator==(const TOutlinePolygon&) const = default;
};

using TGlyphOutline = std::vector<TOutlinePolygon>;

// Vertical metrics in pixels at a given em, as Windows reports them.
struct TTextMetrics {
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;  // Ascent + Descent - em
  int32_t Height() const { return Ascent + Descent; }
};

struct TTextExtent {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TTextExtent&) const = default;
};

class TFontLibrary;

// An installed face opened with a style. When the best installed match of
// the family has no bold or italic style, the engine makes them: bold grows
// the outline (by a 24th of the em, as the desktop's font engine does) and
// widens the advance by the same; italic slants the outline by 12 degrees.
class TFontFace {
 public:
  // The installed face that best matches the name and style; a name that is
  // not installed falls back to fontconfig's best match (so "Arial" finds a
  // metric-compatible face). Throws EFontError when no outline font is
  // installed at all. `name` is Windows-1252.
  static std::shared_ptr<TFontFace> Open(std::string_view name, bool bold, bool italic);

  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  const std::string& FamilyName() const { return familyName_; }  // UTF-8
  const std::string& FileName() const { return fileName_; }
  bool SyntheticBold() const { return syntheticBold_; }
  bool SyntheticItalic() const { return syntheticItalic_; }
  // The Windows character set of the face: 2 for a symbol font, else 0 (ANSI).
  uint8_t CharSet() const { return symbol_ ? 2 : 0; }

  TTextMetrics Metrics(int32_t em = kGlyphEm) const;

  // The unhinted outline of a Unicode character at the 1024-pixel em; empty
  // when the character has no outline (a space). A character the face lacks
  // gives the face's missing-glyph outline, as on Windows. Each outline is
  // read once and kept with the face: the editor builds the same texts after
  // every edit.
  const TGlyphOutline& GlyphOutline(char32_t code);

  // The advance width in pixels at an em, rounded to the nearest pixel.
  int32_t Advance(char32_t code, int32_t em = kGlyphEm);

  // Width (sum of the advances) and height (ascent + descent) of UTF-16 text.
  TTextExtent TextExtent(std::u16string_view text, int32_t em);

 private:
  struct TImpl;
  explicit TFontFace(std::unique_ptr<TImpl> impl);
  static std::shared_ptr<TFontFace> Load(const std::string& utf8Name, bool bold, bool italic);
  unsigned GlyphIndex(char32_t code) const;
  // FreeType's outline; the caller holds the face's mutex.
  TGlyphOutline ReadOutline(char32_t code) const;

  std::unique_ptr<TImpl> impl_;
  std::string familyName_;
  std::string fileName_;
  bool syntheticBold_ = false;
  bool syntheticItalic_ = false;
  bool symbol_ = false;
};

// The size in pixels of a Windows-1252 text in a face (regular or styled) at
// `points` points on a screen of `ppi` pixels per inch.
TTextExtent MeasureText(std::string_view faceName, double points, int32_t ppi,
                        std::string_view text, bool bold = false, bool italic = false);

}  // namespace platform
