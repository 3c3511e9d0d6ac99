#pragma once
// Font and text tags: DefineFont and DefineFont2 (glyph outlines as shape
// records, with codes, layout and kerning), the static texts DefineText and
// DefineText2 (glyph records), and the editable text field DefineEditText.
// All measures are twips; glyph outlines live in the 1024-unit em square.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/core/records.h"
#include "swf/core/swf_object.h"
#include "swf/tags/shape_tags.h"

namespace swf {

// --- fonts ---

struct TSWFKerningRecord {
  int16_t KerningAdjustment = 0;
  uint16_t KerningCode1 = 0;
  uint16_t KerningCode2 = 0;
  bool operator==(const TSWFKerningRecord&) const = default;
};

class TSWFDefineFont : public TSWFObject {
 public:
  TSWFDefineFont() { TagID = tagDefineFont; }
  TSWFDefineFont(const TSWFDefineFont&) = delete;
  TSWFDefineFont& operator=(const TSWFDefineFont&) = delete;

  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;

  // A new glyph that the tag owns.
  TSWFShapeRecordList& AddGlyph();
  // A glyph that stays with its owner (the font object's character).
  void AddGlyph(TSWFShapeRecordList& borrowed) { Glyphs.push_back(&borrowed); }

  uint16_t FontID = 0;
  std::vector<TSWFShapeRecordList*> Glyphs;

 protected:
  // A glyph's outline: the bit widths, its records (end records included)
  // and a closing end record, byte-aligned.
  static void WriteGlyph(TBitsEngine& be, TSWFShapeRecordList& glyph);

 private:
  std::vector<std::unique_ptr<TSWFShapeRecordList>> ownedGlyphs_;
};

class TSWFDefineFont2 : public TSWFDefineFont {
 public:
  TSWFDefineFont2() { TagID = tagDefineFont2; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return 3; }
  void WriteTagBody(TBitsEngine& be) override;

  std::vector<uint16_t> CodeTable;  // one code per glyph, in glyph order
  std::vector<int16_t> FontAdvanceTable;
  int16_t FontAscent = 0;
  std::vector<TSWFRect> FontBoundsTable;
  int16_t FontDescent = 0;
  bool FontFlagsANSI = false;
  bool FontFlagsBold = false;
  bool FontFlagsHasLayout = false;
  bool FontFlagsItalic = false;
  bool FontFlagsShiftJIS = false;
  bool FontFlagsSmallText = false;
  bool FontFlagsWideCodes = false;
  // The writer also uses wide offsets when the glyphs outgrow 16-bit ones.
  bool FontFlagsWideOffsets = false;
  std::vector<TSWFKerningRecord> FontKerningTable;
  int16_t FontLeading = 0;
  std::string FontName;  // Windows-1252
  uint8_t LanguageCode = 0;
  uint8_t SWFVersion = 6;

 private:
  void WriteCode(TBitsEngine& be, uint16_t code) const;
  void WriteName(TBitsEngine& be) const;
  void WriteLayout(TBitsEngine& be, size_t glyphCount) const;
};

// --- static text ---

struct TSWFGlyphEntry {
  int32_t GlyphAdvance = 0;
  uint16_t GlyphIndex = 0;
  bool operator==(const TSWFGlyphEntry&) const = default;
};

class TSWFTextRecord {
 public:
  void Assign(const TSWFTextRecord& source);
  // The record as one or more TEXTRECORDs: the count field holds at most 255
  // entries, so longer runs continue in records that change no style.
  void WriteToStream(TBitsEngine& be, uint8_t glyphBits, uint8_t advanceBits) const;

  void SetFontID(uint16_t id) { FontID = id; HasFont = true; }
  void SetTextHeight(uint16_t height) { TextHeight = height; HasFont = true; }
  void SetXOffset(int32_t x) { XOffset = x; HasXOffset = true; }
  void SetYOffset(int32_t y) { YOffset = y; HasYOffset = true; }
  // Created without alpha on first access; every access sets HasColor.
  TSWFRGBA& TextColor();

  uint16_t FontID = 0;
  std::vector<TSWFGlyphEntry> GlyphEntries;
  bool HasColor = false, HasFont = false, HasXOffset = false, HasYOffset = false;
  uint16_t TextHeight = 0;
  int32_t XOffset = 0, YOffset = 0;  // written as 16 bits
  bool WithAlpha = false;            // the colour as RGBA: set by a DefineText2

 private:
  void WriteHeader(TBitsEngine& be) const;
  std::optional<TSWFRGBA> color_;
};

class TSWFDefineText : public TSWFObject {
 public:
  TSWFDefineText() { TagID = tagDefineText; }
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;

  TSWFTextRecord& AddRecord();

  uint8_t AdvanceBits = 0;
  uint16_t CharacterID = 0;
  uint8_t GlyphBits = 0;
  bool HasAlpha = false;
  TSWFRect TextBounds;
  TSWFMatrix TextMatrix;
  std::vector<std::unique_ptr<TSWFTextRecord>> TextRecords;
};

class TSWFDefineText2 : public TSWFDefineText {
 public:
  TSWFDefineText2() {
    TagID = tagDefineText2;
    HasAlpha = true;
  }
  int MinVersion() const override { return 3; }
};

// --- edit text ---

class TSWFDefineEditText : public TSWFObject {
 public:
  TSWFDefineEditText() { TagID = tagDefineEditText; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return AutoSize ? 6 : 4; }
  void WriteTagBody(TBitsEngine& be) override;

  // Created on first access, which sets HasTextColor; always written as RGBA.
  TSWFRGBA& TextColor();

  uint8_t Align = 0;
  bool AutoSize = false, Border = false;
  TSWFRect Bounds;
  uint16_t CharacterID = 0, FontHeight = 0, FontID = 0;
  bool HasFont = false, HasLayout = false, HasMaxLength = false, HasText = false;
  bool HasTextColor = false, HTML = false;
  uint16_t Indent = 0;
  std::string InitialText;  // Windows-1252
  uint16_t Leading = 0, LeftMargin = 0, MaxLength = 0;
  bool Multiline = false, NoSelect = false, IsPassword = false, ReadOnly = false;
  uint16_t RightMargin = 0;
  int32_t SWFVersion = 6;
  bool UseOutlines = false;
  std::string VariableName;  // Windows-1252
  std::u16string WideInitialText;
  bool WordWrap = false;

 private:
  std::optional<TSWFRGBA> textColor_;
};

// UTF-8 of 16-bit units, each unit encoded alone (surrogates are not paired).
std::string Utf16UnitsToUtf8(std::u16string_view text);

}  // namespace swf
