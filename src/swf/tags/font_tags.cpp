#include "swf/tags/font_tags.h"

#include <algorithm>
#include <cassert>

#include "platform/codepage.h"

namespace swf {

namespace {

void WriteOffset(TBitsEngine& be, uint32_t offset, bool wide) {
  if (wide)
    be.WriteDWord(offset);
  else
    be.WriteWord(uint16_t(offset));
}

// The first record of a DefineFont2 glyph must fill with style 1: a record
// that selects no fill, or fill style 1 with index 0, is made to.
void SelectGlyphFill(TSWFShapeRecordList& glyph) {
  if (glyph.empty() || glyph.front()->RecordKind() != rkStyleChange) return;
  auto& first = static_cast<TSWFStyleChangeRecord&>(*glyph.front());
  const bool none = !first.HasFillStyle0 && !first.HasFillStyle1;
  if (!none && !(first.HasFillStyle1 && first.Fill1Id() == 0)) return;
  first.HasFillStyle0 = false;
  first.SetFill1Id(1);
  first.HasLineStyle = true;  // with no line bits its index takes no room
}

// Cuts UTF-8 text to at most max bytes without splitting a character.
std::string CutUtf8(std::string text, size_t max) {
  if (text.size() <= max) return text;
  size_t end = max;
  while (end > 0 && (uint8_t(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace

// --- fonts ---

TSWFShapeRecordList& TSWFDefineFont::AddGlyph() {
  ownedGlyphs_.push_back(std::make_unique<TSWFShapeRecordList>());
  Glyphs.push_back(ownedGlyphs_.back().get());
  return *ownedGlyphs_.back();
}

void TSWFDefineFont::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineFont*>(&source);
  if (!s) return;
  FontID = s->FontID;
  Glyphs.clear();
  ownedGlyphs_.clear();
  for (const TSWFShapeRecordList* glyph : s->Glyphs) CopyShapeRecords(*glyph, AddGlyph());
}

void TSWFDefineFont::WriteGlyph(TBitsEngine& be, TSWFShapeRecordList& glyph) {
  be.WriteByte(0x10);  // one fill index bit, no line index bits
  for (auto& record : glyph) {
    if (record->RecordKind() == rkStyleChange) {
      auto& change = static_cast<TSWFStyleChangeRecord&>(*record);
      change.FillBits = 1;
      change.LineBits = 0;
    }
    record->Write(be);
  }
  if (glyph.empty() || glyph.back()->RecordKind() != rkEndShape) be.WriteBits(0, 6);
  be.FlushLastByte(true);
}

void TSWFDefineFont::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(FontID);
  if (Glyphs.empty()) {
    be.WriteWord(0);
    return;
  }
  TMemoryStream outlines;
  TBitsEngine glyphEngine(outlines);
  const uint32_t tableSize = uint32_t(Glyphs.size() * 2);
  for (TSWFShapeRecordList* glyph : Glyphs) {
    be.WriteWord(uint16_t(tableSize + outlines.Size()));
    WriteGlyph(glyphEngine, *glyph);
  }
  be.WriteBytes(outlines.Data(), long(outlines.Size()));
}

void TSWFDefineFont2::Assign(const TBasedSWFObject& source) {
  TSWFDefineFont::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineFont2*>(&source);
  if (!s) return;
  FontFlagsANSI = s->FontFlagsANSI;
  FontFlagsBold = s->FontFlagsBold;
  FontFlagsHasLayout = s->FontFlagsHasLayout;
  FontFlagsItalic = s->FontFlagsItalic;
  FontFlagsShiftJIS = s->FontFlagsShiftJIS;
  FontFlagsSmallText = s->FontFlagsSmallText;
  FontFlagsWideCodes = s->FontFlagsWideCodes;
  FontFlagsWideOffsets = s->FontFlagsWideOffsets;
  LanguageCode = s->LanguageCode;
  FontName = s->FontName;
  SWFVersion = s->SWFVersion;
  CodeTable = s->CodeTable;
  if (s->FontFlagsHasLayout) {
    FontAscent = s->FontAscent;
    FontDescent = s->FontDescent;
    FontLeading = s->FontLeading;
    FontAdvanceTable = s->FontAdvanceTable;
    FontBoundsTable = s->FontBoundsTable;
    FontKerningTable = s->FontKerningTable;
  }
}

void TSWFDefineFont2::WriteCode(TBitsEngine& be, uint16_t code) const {
  if (FontFlagsWideCodes)
    be.WriteWord(code);
  else
    be.WriteByte(uint8_t(code));
}

// The length byte counts the bytes written: UTF-8 from version 6 on.
void TSWFDefineFont2::WriteName(TBitsEngine& be) const {
  const std::string name =
      CutUtf8(SWFVersion >= 6 ? platform::Cp1252ToUtf8(FontName) : FontName, 255);
  be.WriteByte(uint8_t(name.size()));
  be.WriteString(name, false, false);
}

void TSWFDefineFont2::WriteLayout(TBitsEngine& be, size_t glyphCount) const {
  be.WriteWord(uint16_t(FontAscent));
  be.WriteWord(uint16_t(FontDescent));
  be.WriteWord(uint16_t(FontLeading));
  for (size_t i = 0; i < glyphCount; ++i)
    be.WriteWord(uint16_t(i < FontAdvanceTable.size() ? FontAdvanceTable[i] : 0));
  for (size_t i = 0; i < glyphCount; ++i)
    be.WriteRect(i < FontBoundsTable.size() ? FontBoundsTable[i].Rec() : TSWFRectRec{});
  be.WriteWord(uint16_t(FontKerningTable.size()));
  for (const TSWFKerningRecord& k : FontKerningTable) {
    WriteCode(be, k.KerningCode1);
    WriteCode(be, k.KerningCode2);
    be.WriteWord(uint16_t(k.KerningAdjustment));
  }
}

// The outlines are rendered first, so that the offset table knows their
// sizes (and whether they need 32-bit offsets) when it is written.
void TSWFDefineFont2::WriteTagBody(TBitsEngine& be) {
  assert(Glyphs.size() == CodeTable.size());
  const size_t count = CodeTable.size();
  TMemoryStream outlines;
  TBitsEngine glyphEngine(outlines);
  std::vector<uint32_t> starts;
  TSWFShapeRecordList missing;  // stands in for a glyph the list lacks
  for (size_t i = 0; i < count; ++i) {
    TSWFShapeRecordList& glyph = i < Glyphs.size() ? *Glyphs[i] : missing;
    SelectGlyphFill(glyph);
    starts.push_back(uint32_t(outlines.Size()));
    WriteGlyph(glyphEngine, glyph);
  }
  const bool wideOffsets = FontFlagsWideOffsets || (count + 1) * 2 + outlines.Size() > 0xFFFF;
  const uint32_t tableSize = uint32_t((count + 1) * (wideOffsets ? 4 : 2));
  const bool hasLayout = FontFlagsHasLayout && count > 0;

  be.WriteWord(FontID);
  for (bool flag : {hasLayout, FontFlagsShiftJIS, FontFlagsSmallText, FontFlagsANSI || count == 0,
                    wideOffsets, FontFlagsWideCodes, FontFlagsItalic, FontFlagsBold})
    be.WriteBit(flag);
  be.WriteByte(LanguageCode);
  WriteName(be);
  be.WriteWord(uint16_t(count));
  for (uint32_t start : starts) WriteOffset(be, tableSize + start, wideOffsets);
  WriteOffset(be, tableSize + uint32_t(outlines.Size()), wideOffsets);  // the code table
  be.WriteBytes(outlines.Data(), long(outlines.Size()));
  for (uint16_t code : CodeTable) WriteCode(be, code);
  if (hasLayout) WriteLayout(be, count);
}

// --- static text ---

TSWFRGBA& TSWFTextRecord::TextColor() {
  if (!color_) color_.emplace(false);
  HasColor = true;
  return *color_;
}

void TSWFTextRecord::Assign(const TSWFTextRecord& source) {
  FontID = source.FontID;
  GlyphEntries = source.GlyphEntries;
  HasColor = source.HasColor;
  HasFont = source.HasFont;
  HasXOffset = source.HasXOffset;
  HasYOffset = source.HasYOffset;
  TextHeight = source.TextHeight;
  XOffset = source.XOffset;
  YOffset = source.YOffset;
  WithAlpha = source.WithAlpha;
  color_ = source.color_;
}

void TSWFTextRecord::WriteHeader(TBitsEngine& be) const {
  be.WriteBit(true);  // TextRecordType
  be.WriteBits(0, 3);
  be.WriteBit(HasFont);
  be.WriteBit(HasColor);
  be.WriteBit(HasYOffset);
  be.WriteBit(HasXOffset);
  if (HasFont) be.WriteWord(FontID);
  if (HasColor) {
    const TSWFRGBARec c = color_ ? color_->RGBA() : TSWFRGBARec{0, 0, 0, 255};
    if (WithAlpha)
      be.WriteRGBA(c);
    else
      be.WriteRGB({c.R, c.G, c.B});
  }
  if (HasXOffset) be.WriteWord(uint16_t(XOffset));
  if (HasYOffset) be.WriteWord(uint16_t(YOffset));
  if (HasFont) be.WriteWord(TextHeight);
}

void TSWFTextRecord::WriteToStream(TBitsEngine& be, uint8_t glyphBits, uint8_t advanceBits) const {
  constexpr size_t kMaxEntries = 255;
  size_t from = 0;
  do {
    if (from == 0) {
      WriteHeader(be);
    } else {
      be.WriteByte(0x80);  // a continuation: TextRecordType 1, no style changes
    }
    const size_t count = std::min(kMaxEntries, GlyphEntries.size() - from);
    be.WriteByte(uint8_t(count));
    for (size_t i = from; i < from + count; ++i) {
      be.WriteBits(GlyphEntries[i].GlyphIndex, glyphBits);
      be.WriteSBits(GlyphEntries[i].GlyphAdvance, advanceBits);
    }
    be.FlushLastByte(true);
    from += count;
  } while (from < GlyphEntries.size());
}

TSWFTextRecord& TSWFDefineText::AddRecord() {
  TextRecords.push_back(std::make_unique<TSWFTextRecord>());
  return *TextRecords.back();
}

void TSWFDefineText::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineText*>(&source);
  if (!s) return;
  AdvanceBits = s->AdvanceBits;
  CharacterID = s->CharacterID;
  GlyphBits = s->GlyphBits;
  HasAlpha = s->HasAlpha;
  TextBounds.Assign(s->TextBounds);
  TextMatrix.Assign(s->TextMatrix);
  TextRecords.clear();
  for (const auto& record : s->TextRecords) AddRecord().Assign(*record);
}

void TSWFDefineText::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  be.WriteRect(TextBounds.Rec());
  be.WriteMatrix(TextMatrix.Rec());
  be.WriteByte(GlyphBits);
  be.WriteByte(AdvanceBits);
  for (const auto& record : TextRecords) {
    record->WithAlpha = HasAlpha;
    record->WriteToStream(be, GlyphBits, AdvanceBits);
  }
  be.WriteByte(0);
}

// --- edit text ---

std::string Utf16UnitsToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    if (u < 0x80) {
      out += char(u);
    } else if (u < 0x800) {
      out += char(0xC0 | (u >> 6));
      out += char(0x80 | (u & 0x3F));
    } else {
      out += char(0xE0 | (u >> 12));
      out += char(0x80 | ((u >> 6) & 0x3F));
      out += char(0x80 | (u & 0x3F));
    }
  }
  return out;
}

TSWFRGBA& TSWFDefineEditText::TextColor() {
  if (!textColor_) textColor_.emplace(true);
  HasTextColor = true;
  return *textColor_;
}

void TSWFDefineEditText::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineEditText*>(&source);
  if (!s) return;
  AutoSize = s->AutoSize;
  Border = s->Border;
  Bounds.Assign(s->Bounds);
  CharacterID = s->CharacterID;
  HTML = s->HTML;
  Multiline = s->Multiline;
  NoSelect = s->NoSelect;
  IsPassword = s->IsPassword;
  ReadOnly = s->ReadOnly;
  SWFVersion = s->SWFVersion;
  UseOutlines = s->UseOutlines;
  VariableName = s->VariableName;
  WideInitialText = s->WideInitialText;
  WordWrap = s->WordWrap;
  if (s->HasFont) {
    HasFont = true;
    FontID = s->FontID;
    FontHeight = s->FontHeight;
  }
  if (s->HasTextColor && s->textColor_) TextColor().Assign(*s->textColor_);
  if (s->HasMaxLength) {
    HasMaxLength = true;
    MaxLength = s->MaxLength;
  }
  if (s->HasLayout) {
    HasLayout = true;
    Align = s->Align;
    LeftMargin = s->LeftMargin;
    RightMargin = s->RightMargin;
    Indent = s->Indent;
    Leading = s->Leading;
  }
  if (s->HasText) {
    HasText = true;
    InitialText = s->InitialText;
  }
}

void TSWFDefineEditText::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  be.WriteRect(Bounds.Rec());
  for (bool flag : {HasText, WordWrap, Multiline, IsPassword, ReadOnly, HasTextColor,
                    HasMaxLength, HasFont, false, AutoSize, HasLayout, NoSelect, Border, false,
                    HTML, UseOutlines})
    be.WriteBit(flag);
  if (HasFont) {
    be.WriteWord(FontID);
    be.WriteWord(FontHeight);
  }
  if (HasTextColor) be.WriteRGBA(TextColor().RGBA());
  if (HasMaxLength) be.WriteWord(MaxLength);
  if (HasLayout) {
    be.WriteByte(Align);
    be.WriteWord(LeftMargin);
    be.WriteWord(RightMargin);
    be.WriteWord(Indent);
    be.WriteWord(Leading);
  }
  be.WriteString(VariableName, true, SWFVersion >= 6);
  if (HasText) {
    if (!WideInitialText.empty())
      be.WriteString(Utf16UnitsToUtf8(WideInitialText), true, false);
    else
      be.WriteString(InitialText, true, !HTML && SWFVersion >= 6);
  }
}

}  // namespace swf
