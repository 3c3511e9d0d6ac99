#include "swf/objects/flash_font.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "platform/codepage.h"
#include "swf/objects/flash_movie.h"

namespace swf {

namespace {

// The glyph reader's pen drawing into a character's edges.
class TEdgesPen : public media::TGlyphPen {
 public:
  explicit TEdgesPen(TFlashEdges& edges) : edges_(edges) {}
  void MoveTo(int32_t x, int32_t y) override { edges_.MoveTo(x, y); }
  void LineTo(int32_t x, int32_t y) override { edges_.LineTo(x, y); }
  void CurveTo(int32_t cx, int32_t cy, int32_t ax, int32_t ay) override {
    edges_.CurveTo(cx, cy, ax, ay);
  }
  void CloseShape() override { edges_.CloseShape(); }
  void MakeMirror(bool horizontal, bool vertical) override {
    edges_.MakeMirror(horizontal, vertical);
  }

 private:
  TFlashEdges& edges_;
};

int32_t RoundEven(double v) { return int32_t(std::nearbyint(v)); }

}  // namespace

// --- TFlashChar ---

TFlashChar::TFlashChar(uint16_t code, bool isWide)
    : code_(code),
      isWide_(isWide),
      unicodeCode_(code > 255 || isWide ? code : platform::Cp1252ToUnicode(uint8_t(code))),
      edges_(records_) {}

std::unique_ptr<TFlashChar> TFlashChar::Clone() const {
  auto copy = std::make_unique<TFlashChar>(code_, isWide_);
  copy->Advance = Advance;
  copy->Used = Used;
  copy->Loaded = Loaded;
  copy->Kerning = Kerning;
  copy->records_.clear();
  CopyShapeRecords(records_, copy->records_);
  copy->edges_.CurrentPoint = edges_.CurrentPoint;
  copy->edges_.StartPoint = edges_.StartPoint;
  return copy;
}

void TFlashChar::ReadGlyph(platform::TFontFace& face) {
  Loaded = true;
  TEdgesPen pen(edges_);
  Advance = media::ReadGlyph(face, unicodeCode_, pen);
}

// --- TFlashFont ---

TFlashFont::TFlashFont(TFlashMovie* owner, bool deviceFont, std::string name, bool bold,
                       bool italic, int32_t size)
    : TFlashIDObject(owner),
      DeviceFont(deviceFont),
      Bold(bold),
      Italic(italic),
      FontSize(int32_t(std::clamp<int64_t>(int64_t(size) * (owner ? owner->CoordFactor() : 1),
                                           INT32_MIN, INT32_MAX))),
      name_(std::move(name)) {}

void TFlashFont::Assign(const TBasedSWFObject& source) {
  TFlashIDObject::Assign(source);
  auto* s = dynamic_cast<const TFlashFont*>(&source);
  if (!s) return;
  Ascent = s->Ascent;
  Descent = s->Descent;
  Leading = s->Leading;
  DeviceFont = s->DeviceFont;
  Bold = s->Bold;
  Italic = s->Italic;
  Encoding = s->Encoding;
  HasKerning = s->HasKerning;
  LanguageCode = s->LanguageCode;
  FontSize = s->FontSize;
  SmallText = s->SmallText;
  FontUsage = s->FontUsage;
  name_ = s->name_;
  hasLayout_ = s->hasLayout_;
  wide_ = s->wide_;
  chars_.clear();
  for (const auto& ch : s->chars_) chars_.push_back(ch->Clone());
}

void TFlashFont::SetCharset(uint8_t charset) {
  switch (charset) {
    case 0: return;  // ANSI: as constructed
    case 2: LanguageCode = 0; Encoding = 0; break;    // symbol
    case 1: LanguageCode = 0; Encoding = 2; break;    // default
    case 128: LanguageCode = 2; Encoding = 1; break;  // Shift-JIS
    case 129: LanguageCode = 3; break;                // Hangul
    case 134: LanguageCode = 4; break;                // GB 2312
    case 136: LanguageCode = 5; break;                // Big5
    default: LanguageCode = 64; Encoding = 2; break;
  }
}

void TFlashFont::AddChars(std::string_view text) {
  for (char c : text) AddChar(uint8_t(c));
}

bool TFlashFont::AddChar(uint16_t code) {
  if (code >= 256) wide_ = true;
  if (wide_ && Owner() && Owner()->Version() < 6) Owner()->SetVersion(6);
  const uint16_t key = wide_ ? code : platform::Cp1252ToUnicode(uint8_t(code));
  auto at = chars_.begin();
  for (; at != chars_.end(); ++at) {
    const uint16_t value = code >= 128 ? (*at)->UnicodeCode() : (*at)->Code();
    if (value == key) return false;
    if (value > key) break;
  }
  chars_.insert(at, std::make_unique<TFlashChar>(code, wide_));
  return true;
}

TFlashChar* TFlashFont::FindChar(uint16_t code) const {
  for (const auto& ch : chars_)
    if (ch->Code() == code) return ch.get();
  return nullptr;
}

bool TFlashFont::IsWide() const {
  if (wide_ || DeviceFont || chars_.empty()) return true;
  return std::any_of(chars_.begin(), chars_.end(), [](const auto& ch) { return ch->IsWide(); });
}

media::TLogFont TFlashFont::LogFont() const {
  return media::MakeLogFont(name_, Bold, Italic, SmallText);
}

void TFlashFont::ReadFontMetrics() {
  const media::TFontMetricsRec m = media::ReadFontMetrics(LogFont());
  Ascent = m.Ascent;
  Descent = m.Descent;
  Leading = m.Leading;
}

void TFlashFont::ReadGlyphOutlines() {
  if (chars_.empty()) return;
  ReadFontMetrics();
  auto face = media::SelectFont(LogFont());
  for (const auto& ch : chars_)
    if (ch->Used && !ch->Loaded) ch->ReadGlyph(*face);
}

void TFlashFont::SetHasLayout(bool hasLayout) {
  hasLayout_ = hasLayout;
  if (hasLayout) ReadFontMetrics();
}

platform::TTextExtent TFlashFont::TextExtent(std::string_view text) {
  auto face = media::SelectFont(LogFont());
  const platform::TTextExtent e =
      face->TextExtent(platform::Cp1252ToUtf16(text), platform::kGlyphEm);
  return {RoundEven(double(e.Width) / platform::kGlyphEm * FontSize),
          RoundEven(double(e.Height) / platform::kGlyphEm * FontSize)};
}

uint16_t TFlashFont::GlyphIndex(const TFlashChar& ch) const {
  uint16_t index = 0;
  if (IsWide() || Encoding == 2) {
    for (const auto& c : chars_) {
      if (c.get() == &ch) return index;
      if (c->Used) ++index;
    }
    return 0;
  }
  for (const auto& c : chars_)
    if (c->Used && c->Code() < ch.Code()) ++index;
  return index;
}

void TFlashFont::FillTag(TSWFDefineFont2& tag) {
  tag.SWFVersion = Owner() ? Owner()->Version() : 6;
  tag.FontID = GetCharacterID();
  const bool layout = hasLayout_ || (FontUsage & 2);
  tag.FontFlagsHasLayout = layout;
  tag.FontFlagsShiftJIS = Encoding == 1;
  tag.FontFlagsSmallText = SmallText;
  tag.FontFlagsANSI = Encoding == 0;
  tag.FontFlagsWideOffsets = false;
  tag.FontFlagsWideCodes = Encoding == 2 || IsWide();
  tag.FontFlagsItalic = Italic;
  tag.FontFlagsBold = Bold;
  tag.LanguageCode = LanguageCode;
  tag.FontName = name_;
  if ((layout || !chars_.empty()) && Ascent == 0 && Descent == 0 && Leading == 0)
    ReadFontMetrics();
  if (layout) {
    tag.FontAscent = Ascent;
    tag.FontDescent = Descent;
    tag.FontLeading = Leading;
  }
}

void TFlashFont::WriteToStream(TBitsEngine& be) {
  TSWFDefineFont2 tag;
  FillTag(tag);
  std::vector<TFlashChar*> used;
  if ((!DeviceFont || (FontUsage & 1)) && !chars_.empty()) {
    ReadGlyphOutlines();
    for (const auto& ch : chars_)
      if (ch->Used) used.push_back(ch.get());
  }
  // Narrow code tables go out in ascending code order; each glyph keeps its code.
  if (!tag.FontFlagsWideCodes)
    std::stable_sort(used.begin(), used.end(),
                     [](const TFlashChar* a, const TFlashChar* b) { return a->Code() < b->Code(); });
  for (TFlashChar* ch : used) {
    tag.AddGlyph(ch->Records());
    tag.CodeTable.push_back(tag.FontFlagsWideCodes ? ch->UnicodeCode() : ch->Code());
    if (tag.FontFlagsHasLayout) {
      tag.FontBoundsTable.emplace_back();
      tag.FontAdvanceTable.push_back(int16_t(ch->Advance));
    }
    if (HasKerning) tag.FontKerningTable.push_back(ch->Kerning);
  }
  tag.WriteToStream(be);
}

}  // namespace swf
