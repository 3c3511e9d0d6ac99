#include "platform/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "platform/codepage.h"

namespace platform {

namespace {

// Sizes come from documents and clipboard texts and may be any number, so
// results stop at +-INT32_MAX (which can also be negated).
int32_t Saturate(double v) {
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  return std::isnan(v) ? 0 : int32_t(std::clamp(v, -kMax, kMax));
}

int32_t RoundEven(double v) { return Saturate(std::nearbyint(v)); }

// The FreeType library, shared by every open face so that it outlives them.
class TFreeType {
 public:
  TFreeType() {
    if (FT_Init_FreeType(&library_) != 0) throw EFontError("The font engine could not be started.");
  }
  ~TFreeType() { FT_Done_FreeType(library_); }
  TFreeType(const TFreeType&) = delete;
  TFreeType& operator=(const TFreeType&) = delete;
  FT_Library Get() const { return library_; }

  static std::shared_ptr<TFreeType> Instance() {
    static std::shared_ptr<TFreeType> instance = std::make_shared<TFreeType>();
    return instance;
  }

 private:
  FT_Library library_ = nullptr;
};

// One installed font that fontconfig offers for a request.
struct TCandidate {
  std::string File;
  int Index = 0;
  std::string Family;
  int Weight = FC_WEIGHT_REGULAR;
  int Slant = FC_SLANT_ROMAN;
};

int PatternInt(FcPattern* pattern, const char* object, int fallback) {
  int i = 0;
  if (FcPatternGetInteger(pattern, object, 0, &i) == FcResultMatch) return i;
  double d = 0;
  if (FcPatternGetDouble(pattern, object, 0, &d) == FcResultMatch) return int(d);
  return fallback;  // a range (variable font) or missing: assume the style is there
}

// Outline fonts in fontconfig's order of preference for the family and style.
std::vector<TCandidate> FindCandidates(const std::string& utf8Name, bool bold, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return {};
  if (!utf8Name.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8Name.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
  FcPatternDestroy(pattern);

  std::vector<TCandidate> candidates;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcBool outline = FcFalse;
    FcChar8* file = nullptr;
    if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) continue;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    TCandidate c;
    c.File = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(font, FC_INDEX, 0, &c.Index);
    FcChar8* family = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
      c.Family = reinterpret_cast<const char*>(family);
    c.Weight = PatternInt(font, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    c.Slant = PatternInt(font, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    candidates.push_back(std::move(c));
  }
  if (set) FcFontSetDestroy(set);
  return candidates;
}

// 26.6 pixels to 16.16, saturated (the 16-bit integer part of the Windows
// outline caps coordinates the same way).
int32_t ToFixed(FT_Pos v) {
  constexpr FT_Pos kLimit = std::numeric_limits<int32_t>::max() / 1024;
  if (v > kLimit) v = kLimit;
  if (v < -kLimit) v = -kLimit;
  return int32_t(v * 1024);
}

TFixedPoint ToFixed(const FT_Vector& v) { return {ToFixed(v.x), ToFixed(v.y)}; }

TFixedPoint Midpoint(const TFixedPoint& a, const TFixedPoint& b) {
  return {int32_t((int64_t(a.X) + b.X) / 2), int32_t((int64_t(a.Y) + b.Y) / 2)};
}

// Builds one polygon of the Windows outline layout from a FreeType contour:
// straight runs become polylines, runs of conic points quadratic B-splines
// ending at the next on-curve point, pairs of cubic points cubic segments.
class TContourWriter {
 public:
  explicit TContourWriter(TOutlinePolygon& polygon) : polygon_(polygon) {}

  // False when the contour is malformed (it is then dropped).
  bool Point(const TFixedPoint& p, int tag, bool closing) {
    switch (tag) {
      case FT_CURVE_TAG_CONIC:
        if (!cubics_.empty()) return false;
        conics_.push_back(p);
        return true;
      case FT_CURVE_TAG_CUBIC:
        if (!conics_.empty() || cubics_.size() == 2) return false;
        cubics_.push_back(p);
        return true;
      default:
        return OnCurve(p, closing);
    }
  }

 private:
  bool OnCurve(const TFixedPoint& p, bool closing) {
    if (!conics_.empty()) {
      conics_.push_back(p);
      polygon_.Curves.push_back({TCurveKind::QSpline, std::move(conics_)});
      conics_.clear();
    } else if (cubics_.size() == 2) {
      TOutlineCurve& curve = Record(TCurveKind::CSpline);
      curve.Points.insert(curve.Points.end(), {cubics_[0], cubics_[1], p});
      cubics_.clear();
    } else if (!cubics_.empty()) {
      return false;
    } else if (!closing) {
      Record(TCurveKind::Polyline).Points.push_back(p);
    }
    return true;
  }

  // The current record when it is of this kind, else a new one.
  TOutlineCurve& Record(TCurveKind kind) {
    if (polygon_.Curves.empty() || polygon_.Curves.back().Kind != kind)
      polygon_.Curves.push_back({kind, {}});
    return polygon_.Curves.back();
  }

  TOutlinePolygon& polygon_;
  std::vector<TFixedPoint> conics_;
  std::vector<TFixedPoint> cubics_;
};

bool ConvertContour(const FT_Outline& outline, int first, int last, TOutlinePolygon& polygon) {
  auto tag = [&](int i) { return FT_CURVE_TAG(outline.tags[i]); };
  auto point = [&](int i) { return ToFixed(outline.points[i]); };
  int from = first + 1;
  int to = last;
  if (tag(first) == FT_CURVE_TAG_ON) {
    polygon.Start = point(first);
  } else if (tag(first) == FT_CURVE_TAG_CUBIC) {
    return false;
  } else if (tag(last) == FT_CURVE_TAG_ON) {
    polygon.Start = point(last);
    from = first;
    to = last - 1;
  } else {
    // Every point is off the curve at the ends: start between them.
    polygon.Start = Midpoint(point(last), point(first));
    from = first;
  }
  TContourWriter writer(polygon);
  for (int i = from; i <= to; ++i)
    if (!writer.Point(point(i), tag(i), false)) return false;
  return writer.Point(polygon.Start, FT_CURVE_TAG_ON, true);
}

TGlyphOutline ConvertOutline(const FT_Outline& outline) {
  TGlyphOutline result;
  int first = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    const int last = outline.contours[c];
    if (last < first || last >= outline.n_points) break;
    if (last > first) {  // a lone point draws nothing
      TOutlinePolygon polygon;
      if (ConvertContour(outline, first, last, polygon)) result.push_back(std::move(polygon));
    }
    first = last + 1;
  }
  return result;
}

// FreeType's 12-degree slant (tan 12 degrees in 16.16).
constexpr FT_Fixed kObliqueShear = 0x0366A;

}  // namespace

struct TFontFace::TImpl {
  std::shared_ptr<TFreeType> freeType;
  FT_Face face = nullptr;
  int32_t unitsPerEm = 2048;
  int32_t winAscent = 0;   // font units
  int32_t winDescent = 0;  // font units
  // A face is shared by every build that uses it, and builds may run side by
  // side (a batch export); FreeType's faces are not safe to use from two
  // threads at once.
  std::mutex mutex;
  // Outlines read so far; never changed once read, so references stay valid.
  std::unordered_map<char32_t, TGlyphOutline> outlines;

  ~TImpl() {
    if (face) FT_Done_Face(face);
  }

  // Opens a face for outlines at the 1024-pixel em; false when it cannot serve.
  bool Open(const TCandidate& c) {
    freeType = TFreeType::Instance();
    if (FT_New_Face(freeType->Get(), c.File.c_str(), c.Index, &face) != 0) {
      face = nullptr;
      return false;
    }
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 ||
        FT_Set_Pixel_Sizes(face, 0, kGlyphEm) != 0)
      return false;
    unitsPerEm = face->units_per_EM;
    ReadWindowsMetrics();
    return true;
  }

  void ReadWindowsMetrics() {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
    } else {
      winAscent = face->ascender;
      winDescent = -face->descender;
    }
  }

  double Scale(int32_t em) const { return double(em) / double(unitsPerEm); }
};

TFontFace::TFontFace(std::unique_ptr<TImpl> impl) : impl_(std::move(impl)) {}

TFontFace::~TFontFace() = default;

std::shared_ptr<TFontFace> TFontFace::Open(std::string_view name, bool bold, bool italic) {
  static std::mutex mutex;
  static std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<TFontFace>> cache;
  const std::string utf8Name = Cp1252ToUtf8(name);
  std::lock_guard<std::mutex> lock(mutex);
  auto key = std::make_tuple(utf8Name, bold, italic);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  auto face = Load(utf8Name, bold, italic);
  cache.emplace(std::move(key), face);
  return face;
}

std::shared_ptr<TFontFace> TFontFace::Load(const std::string& utf8Name, bool bold, bool italic) {
  for (const TCandidate& c : FindCandidates(utf8Name, bold, italic)) {
    auto impl = std::make_unique<TImpl>();
    if (!impl->Open(c)) continue;
    std::shared_ptr<TFontFace> face(new TFontFace(std::move(impl)));
    FT_Face ft = face->impl_->face;
    face->familyName_ = c.Family.empty() && ft->family_name ? ft->family_name : c.Family;
    face->fileName_ = c.File;
    face->syntheticBold_ = bold && c.Weight < FC_WEIGHT_DEMIBOLD;
    face->syntheticItalic_ = italic && c.Slant == FC_SLANT_ROMAN;
    if (FT_Select_Charmap(ft, FT_ENCODING_UNICODE) != 0 &&
        FT_Select_Charmap(ft, FT_ENCODING_MS_SYMBOL) == 0)
      face->symbol_ = true;
    return face;
  }
  throw EFontError("No installed font can be used for \"" + utf8Name + "\".");
}

unsigned TFontFace::GlyphIndex(char32_t code) const {
  FT_Face face = impl_->face;
  unsigned index = FT_Get_Char_Index(face, code);
  // Symbol fonts map their byte codes into the private area at F000.
  if (index == 0 && symbol_ && code < 0x100) index = FT_Get_Char_Index(face, 0xF000 + code);
  return index;
}

TTextMetrics TFontFace::Metrics(int32_t em) const {
  TTextMetrics m;
  const double scale = impl_->Scale(em);
  m.Ascent = RoundEven(impl_->winAscent * scale);
  m.Descent = RoundEven(impl_->winDescent * scale);
  m.InternalLeading = Saturate(double(m.Ascent) + m.Descent - em);
  return m;
}

const TGlyphOutline& TFontFace::GlyphOutline(char32_t code) {
  std::lock_guard lock(impl_->mutex);
  auto [kept, added] = impl_->outlines.try_emplace(code);
  if (added) kept->second = ReadOutline(code);
  return kept->second;
}

TGlyphOutline TFontFace::ReadOutline(char32_t code) const {
  FT_Face face = impl_->face;
  if (FT_Load_Glyph(face, GlyphIndex(code), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
    return {};
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_contours <= 0) return {};
  if (syntheticBold_) {
    const FT_Pos strength = RoundEven(kGlyphEm * 64 / 24.0);
    FT_Outline_EmboldenXY(&slot->outline, strength, strength);
  }
  if (syntheticItalic_) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  return ConvertOutline(slot->outline);
}

int32_t TFontFace::Advance(char32_t code, int32_t em) {
  std::lock_guard lock(impl_->mutex);
  FT_Fixed units = 0;
  if (FT_Get_Advance(impl_->face, GlyphIndex(code), FT_LOAD_NO_SCALE, &units) != 0) return 0;
  double advance = double(units) * impl_->Scale(em);
  if (syntheticBold_ && units != 0) advance += em / 24.0;
  return RoundEven(advance);
}

TTextExtent TFontFace::TextExtent(std::u16string_view text, int32_t em) {
  TTextExtent extent;
  double width = 0;
  for (char16_t c : text) width += Advance(c, em);
  extent.Width = Saturate(width);
  const TTextMetrics m = Metrics(em);
  extent.Height = Saturate(double(m.Ascent) + m.Descent);
  return extent;
}

int32_t FontHeightFromPoints(double points, int32_t ppi) {
  return -RoundEven(points * ppi / 72.0);
}

TTextExtent MeasureText(std::string_view faceName, double points, int32_t ppi,
                        std::string_view text, bool bold, bool italic) {
  auto face = TFontFace::Open(faceName, bold, italic);
  return face->TextExtent(Cp1252ToUtf16(text), -FontHeightFromPoints(points, ppi));
}

}  // namespace platform
