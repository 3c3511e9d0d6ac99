#include "swf/tags/font_tags.h"

#include <gtest/gtest.h>

#include "support/bytes.h"
#include "swf/objects/flash_edges.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;
using namespace swf;

Bytes Written(TBasedSWFObject& tag) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  tag.WriteToStream(be);
  return stream.Bytes();
}

// A glyph as the font object builds it: the edges' first style change record
// (fill style 1 selected, index 0) and one line of 100 along X.
void DrawLineGlyph(TSWFShapeRecordList& glyph) {
  TFlashEdges edges(glyph);
  edges.LineTo(100, 0);
}

TEST(FontTags, DefineFont2WithoutCodesIsAnsiWithoutLayout) {
  TSWFDefineFont2 tag;
  tag.FontID = 1;
  tag.FontName = "Arial";
  tag.FontFlagsHasLayout = true;
  EXPECT_TRUE(SameBytes(hex("0E 0C"             // DefineFont2, 14 bytes
                            "01 00"             // FontID
                            "10"                // flags: ANSI only
                            "00"                // language
                            "05 41 72 69 61 6C" // name
                            "00 00"             // no glyphs
                            "02 00"),           // the code table offset alone
                        Written(tag)));
  EXPECT_EQ(tag.MinVersion(), 3);
}

TEST(FontTags, DefineFont2OffsetTableAndGlyphs) {
  TSWFDefineFont2 tag;
  tag.FontID = 1;
  tag.FontFlagsANSI = true;
  tag.AddGlyph();
  DrawLineGlyph(tag.AddGlyph());
  tag.AddGlyph();
  tag.CodeTable = {0x41, 0x42, 0x43};
  EXPECT_TRUE(SameBytes(hex("1B 0C 01 00 10 00 00"  // header, FontID, flags, language, no name
                            "03 00"                 // three glyphs
                            "08 00 0A 00 0F 00 11 00"  // offsets: 8 bytes of table first
                            "10 00"                 // an empty glyph: bit widths, end record
                            // style change: line and fill 1 flags, fill index 1 (it was 0);
                            // a horizontal line of 100 in 8 bits; end record
                            "10 33 B0 C8 00"
                            "10 00"
                            "41 42 43"),            // codes
                        Written(tag)));
}

TEST(FontTags, DefineFont2LayoutAndWideCodes) {
  TSWFDefineFont2 tag;
  tag.FontID = 2;
  tag.FontFlagsHasLayout = tag.FontFlagsWideCodes = tag.FontFlagsBold = true;
  tag.AddGlyph();
  tag.CodeTable = {0x20AC};
  tag.FontAscent = 927;
  tag.FontDescent = 217;
  tag.FontLeading = 120;
  tag.FontAdvanceTable = {570};
  tag.FontBoundsTable.emplace_back();
  tag.FontKerningTable.push_back({-20, 0x41, 0x20AC});
  EXPECT_TRUE(SameBytes(hex("20 0C 02 00"
                            "85"           // layout, wide codes, bold
                            "00 00 01 00"  // language, name, one glyph
                            "04 00 06 00"  // offsets
                            "10 00"        // empty glyph
                            "AC 20"        // a 16-bit code
                            "9F 03 D9 00 78 00"  // ascent, descent, leading
                            "3A 02"        // advance
                            "00"           // empty bounds
                            "01 00 41 00 AC 20 EC FF"),  // one kerning pair
                        Written(tag)));
}

TEST(FontTags, FontNameLengthFollowsTheVersion) {
  struct Row {
    const char* name;
    uint8_t version;
    const char* expected;  // length byte and name
  };
  const Row rows[] = {
      {"Arial", 5, "05 41 72 69 61 6C"},
      {"Arial", 6, "05 41 72 69 61 6C"},
      {"Caf\xE9", 5, "04 43 61 66 E9"},
      {"Caf\xE9", 6, "05 43 61 66 C3 A9"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name) + " v" + std::to_string(r.version));
    TSWFDefineFont2 tag;
    tag.SWFVersion = r.version;
    tag.FontName = r.name;
    const Bytes bytes = Written(tag);
    const Bytes name = hex(r.expected);
    EXPECT_TRUE(SameBytes(name, Bytes(bytes.begin() + 6, bytes.begin() + 6 + long(name.size()))));
  }
  // A name whose UTF-8 outgrows the length byte is cut at a whole character.
  TSWFDefineFont2 tag;
  tag.FontName = std::string(200, '\xE9');
  const Bytes bytes = Written(tag);
  EXPECT_EQ(bytes[10], 254);  // after the long header, FontID, flags and language
}

TEST(FontTags, DefineFont2SwitchesToWideOffsetsWhenGlyphsOutgrowThem) {
  TSWFDefineFont2 tag;
  for (int i = 0; i < 1500; ++i) {
    TSWFShapeRecordList& glyph = tag.AddGlyph();
    TFlashEdges edges(glyph);
    for (int k = 0; k < 20; ++k) edges.LineTo(k % 2 ? 1000 : -1000, k * 37);
    tag.CodeTable.push_back(uint16_t(i));
  }
  tag.FontFlagsWideCodes = true;
  const Bytes bytes = Written(tag);
  ASSERT_GT(bytes.size(), 70000u);
  const uint8_t flags = bytes[6 + 2];
  EXPECT_TRUE(flags & 0x08);  // FontFlagsWideOffsets
  // The first offset is a 32-bit value past the table of 1501 entries.
  const size_t table = 6 + 2 + 1 + 1 + 1 + 2;
  EXPECT_TRUE(SameBytes(hex("74 17 00 00"), Bytes(bytes.begin() + table, bytes.begin() + table + 4)));
}

TEST(FontTags, DefineFontTableAndAssign) {
  TSWFDefineFont font;
  font.FontID = 3;
  EXPECT_TRUE(SameBytes(hex("84 02 03 00 00 00"), Written(font)));  // no glyphs: one zero word
  DrawLineGlyph(font.AddGlyph());
  font.AddGlyph();
  // DefineFont keeps the first record as drawn (fill style 1 index 0).
  EXPECT_TRUE(SameBytes(hex("8D 02 03 00 04 00 09 00 10 11 B0 C8 00 10 00"), Written(font)));

  TSWFDefineFont2 source;
  source.FontID = 9;
  source.FontName = "Arial";
  source.FontFlagsHasLayout = source.FontFlagsItalic = true;
  DrawLineGlyph(source.AddGlyph());
  source.CodeTable = {'A'};
  source.FontAscent = 900;
  source.FontAdvanceTable = {500};
  source.FontBoundsTable.emplace_back(0, -700, 600, 0);
  source.FontKerningTable.push_back({5, 'A', 'A'});
  TSWFDefineFont2 copy;
  copy.Assign(source);
  EXPECT_TRUE(SameBytes(Written(source), Written(copy)));
  EXPECT_NE(copy.Glyphs[0], source.Glyphs[0]);  // its own records
}

Bytes WrittenRecord(const TSWFTextRecord& record, uint8_t glyphBits, uint8_t advanceBits) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  record.WriteToStream(be, glyphBits, advanceBits);
  return stream.Bytes();
}

TEST(FontTags, TextRecords) {
  TSWFTextRecord plain;
  plain.GlyphEntries = {{120, 0}, {120, 1}};
  EXPECT_TRUE(SameBytes(hex("80 02 3C 5E 00"), WrittenRecord(plain, 1, 8)));  // no font, no colour

  TSWFTextRecord styled;
  styled.SetFontID(1);
  styled.SetTextHeight(240);
  styled.SetXOffset(-20);
  styled.TextColor().SetRGBA(0x80332211);
  EXPECT_TRUE(SameBytes(hex("8D 01 00 11 22 33 EC FF F0 00 00"), WrittenRecord(styled, 0, 0)));
  styled.WithAlpha = true;
  EXPECT_TRUE(SameBytes(hex("8D 01 00 11 22 33 80 EC FF F0 00 00"), WrittenRecord(styled, 0, 0)));

  // The count field holds 255 entries; the rest follow in a record that
  // changes no style.
  TSWFTextRecord longRun;
  longRun.SetFontID(1);
  longRun.GlyphEntries.assign(300, {0, 0});
  Bytes expected = hex("88 01 00 00 00 FF");
  expected.insert(expected.end(), 255, 0);
  const Bytes tail = hex("80 2D");
  expected.insert(expected.end(), tail.begin(), tail.end());
  expected.insert(expected.end(), 45, 0);
  EXPECT_TRUE(SameBytes(expected, WrittenRecord(longRun, 4, 4)));
}

TEST(FontTags, DefineTextColoursFollowTheTag) {
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "DefineText2" : "DefineText");
    std::unique_ptr<TSWFDefineText> tag =
        alpha ? std::make_unique<TSWFDefineText2>() : std::make_unique<TSWFDefineText>();
    tag->CharacterID = 2;
    tag->GlyphBits = 1;
    tag->AdvanceBits = 8;
    TSWFTextRecord& record = tag->AddRecord();
    record.SetFontID(1);
    record.TextColor().SetRGBA(0x800000FF);  // red, alpha 128
    record.SetTextHeight(240);
    record.SetYOffset(611);
    record.GlyphEntries = {{120, 0}, {120, 1}};
    const Bytes expected = alpha ? hex("56 08 02 00 00 00 01 08 8E 01 00 FF 00 00 80 63 02 F0 00 02 3C 5E 00 00")
                                 : hex("D5 02 02 00 00 00 01 08 8E 01 00 FF 00 00 63 02 F0 00 02 3C 5E 00 00");
    EXPECT_TRUE(SameBytes(expected, Written(*tag)));
    EXPECT_EQ(tag->MinVersion(), alpha ? 3 : 1);

    TSWFDefineText2 copy;
    copy.Assign(*tag);
    copy.TagID = tag->TagID;
    copy.HasAlpha = tag->HasAlpha;
    EXPECT_TRUE(SameBytes(expected, Written(copy)));
  }
}

TEST(FontTags, DefineEditText) {
  TSWFDefineEditText edit;
  edit.CharacterID = 3;
  edit.AutoSize = true;
  edit.HasFont = true;
  edit.FontID = 1;
  edit.FontHeight = 240;
  edit.TextColor().SetRGBA(0xFF302010);
  edit.VariableName = "v";
  edit.HasText = true;
  EXPECT_EQ(edit.MinVersion(), 6);
  EXPECT_TRUE(SameBytes(hex("50 09 03 00 00"  // header, ID, empty bounds
                            "85 40"           // HasText, HasTextColor, HasFont; AutoSize
                            "01 00 F0 00"     // font and height
                            "10 20 30 FF"     // the colour, always RGBA
                            "76 00"           // variable name
                            "00"),            // an empty text: its terminator alone
                        Written(edit)));

  struct Row {
    const char* what;
    std::string text;
    std::u16string wide;
    bool html;
    int32_t version;
    const char* expected;  // the text with its terminator
  };
  const Row rows[] = {
      {"UTF-8 from version 6", "\xE9", u"", false, 6, "C3 A9 00"},
      {"as stored below version 6", "\xE9", u"", false, 5, "E9 00"},
      {"as stored in HTML", "\xE9", u"", true, 6, "E9 00"},
      {"wide text in UTF-8", "x", u"\u20AC", false, 5, "E2 82 AC 00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TSWFDefineEditText tag;
    tag.HasText = true;
    tag.InitialText = r.text;
    tag.WideInitialText = r.wide;
    tag.HTML = r.html;
    tag.SWFVersion = r.version;
    EXPECT_EQ(tag.MinVersion(), 4);
    const Bytes bytes = Written(tag);
    const Bytes text = hex(r.expected);
    ASSERT_GE(bytes.size(), text.size());
    EXPECT_TRUE(SameBytes(text, Bytes(bytes.end() - long(text.size()), bytes.end())));
  }

  TSWFDefineEditText copy;
  copy.Assign(edit);
  EXPECT_TRUE(SameBytes(Written(edit), Written(copy)));
}

}  // namespace
