#pragma once
// TFlashFont: a movie font that carries the outlines of exactly the
// characters its texts use. Characters accumulate as texts are added; their
// outlines, advances and the font's metrics are read from the platform's font
// engine only when the font or a text is written, in the 1024-unit em square
// that is also the glyph space of the SWF font tag.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "media/glyph_reader.h"
#include "platform/font_engine.h"
#include "swf/objects/flash_edges.h"
#include "swf/objects/flash_object.h"
#include "swf/tags/font_tags.h"

namespace swf {

// One glyph of a font: its code, its outline (drawn through its own edges,
// which have no movie and so leave coordinates unscaled) and its advance.
class TFlashChar {
 public:
  // Code is a byte of the text for narrow fonts, a wide code otherwise.
  TFlashChar(uint16_t code, bool isWide);
  TFlashChar(const TFlashChar&) = delete;
  TFlashChar& operator=(const TFlashChar&) = delete;

  // A copy with its own records and edges.
  std::unique_ptr<TFlashChar> Clone() const;

  // Reads the outline and advance once; sets Loaded.
  void ReadGlyph(platform::TFontFace& face);

  uint16_t Code() const { return code_; }
  bool IsWide() const { return isWide_; }
  // Code itself when it is above 255 or the character is wide, else the
  // Unicode value of the Windows-1252 byte.
  uint16_t UnicodeCode() const { return unicodeCode_; }
  TSWFShapeRecordList& Records() { return records_; }
  TFlashEdges& Edges() { return edges_; }

  int32_t Advance = 0;  // in the 1024-unit em
  bool Used = true;
  bool Loaded = false;
  TSWFKerningRecord Kerning;

 private:
  uint16_t code_;
  bool isWide_;
  uint16_t unicodeCode_;
  TSWFShapeRecordList records_;  // before edges_, which appends to it
  TFlashEdges edges_;
};

class TFlashFont : public TFlashIDObject {
 public:
  // Size is in the movie's units (pixels in a pixel movie).
  TFlashFont(TFlashMovie* owner, bool deviceFont, std::string name, bool bold, bool italic,
             int32_t size);

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  // Writes a DefineFont2 with the used characters.
  void WriteToStream(TBitsEngine& be) override;

  // Maps a Windows character set to Encoding and LanguageCode.
  void SetCharset(uint8_t charset);
  // AddChar for every byte of the text.
  void AddChars(std::string_view text);
  // Adds a character in ascending Unicode order; false when it is there already.
  bool AddChar(uint16_t code);
  TFlashChar* FindChar(uint16_t code) const;
  bool IsWide() const;
  // Reads the metrics and every used outline not read yet.
  void ReadGlyphOutlines();
  void ReadFontMetrics();
  // The text's width and height in twips at FontSize.
  platform::TTextExtent TextExtent(std::string_view text);
  // The index a text uses for the character: its list position for wide
  // fonts, else the position of its code among the font's codes in ascending
  // order (the order the narrow code table is written in).
  uint16_t GlyphIndex(const TFlashChar& ch) const;

  bool HasLayout() const { return hasLayout_; }
  // Turning layout on reads the metrics at once.
  void SetHasLayout(bool hasLayout);
  const std::vector<std::unique_ptr<TFlashChar>>& Chars() const { return chars_; }
  const std::string& Name() const { return name_; }

  int16_t Ascent = 0, Descent = 0, Leading = 0;  // 1024-unit em
  bool DeviceFont;
  bool Bold;
  bool Italic;
  uint8_t Encoding = 0;  // 0 ANSI, 1 Shift-JIS, 2 Unicode
  bool HasKerning = false;  // write each character's kerning record
  uint8_t LanguageCode = 0;
  int32_t FontSize;  // twips
  bool SmallText = false;
  uint8_t FontUsage = 0;  // bit 0: used by a static text, bit 1: by an edit text

 private:
  media::TLogFont LogFont() const;
  void FillTag(TSWFDefineFont2& tag);

  std::string name_;
  bool hasLayout_ = false;
  bool wide_ = false;
  std::vector<std::unique_ptr<TFlashChar>> chars_;
};

}  // namespace swf
