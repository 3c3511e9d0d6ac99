#include "swf/objects/flash_font.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/bytes.h"
#include "support/shape_outline.h"
#include "swf/core/bit_math.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_text.h"

namespace {

using vtest::Bytes;
using namespace swf;

Bytes Written(TBasedSWFObject& object) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  object.WriteToStream(be);
  return stream.Bytes();
}

// The fields of a written DefineFont2 that the font object decides.
struct TParsedFont {
  uint8_t Flags = 0;
  uint16_t Count = 0;
  std::vector<uint32_t> Offsets;  // count + 1, the last one the code table's
  std::vector<uint16_t> Codes;
  int16_t Ascent = 0;
  std::vector<int16_t> Advances;

  uint32_t GlyphSize(size_t i) const { return Offsets[i + 1] - Offsets[i]; }
};

TParsedFont ParseFont(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  TBitsEngine be(stream);
  TParsedFont f;
  const uint16_t head = be.ReadWord();
  EXPECT_EQ(head >> 6, tagDefineFont2);
  if ((head & 63) == 63) be.ReadDWord();
  be.ReadWord();  // FontID
  f.Flags = be.ReadByte();
  be.ReadByte();  // language
  const uint8_t nameLength = be.ReadByte();
  std::vector<uint8_t> name(nameLength);
  be.ReadBytes(name.data(), nameLength);
  f.Count = be.ReadWord();
  const size_t table = stream.Position();
  for (int i = 0; i <= f.Count; ++i)
    f.Offsets.push_back(f.Flags & 0x08 ? be.ReadDWord() : be.ReadWord());
  stream.Seek(table + f.Offsets.back());
  for (int i = 0; i < f.Count; ++i)
    f.Codes.push_back(f.Flags & 0x04 ? be.ReadWord() : be.ReadByte());
  if (f.Flags & 0x80) {
    f.Ascent = int16_t(be.ReadWord());
    be.ReadWord();
    be.ReadWord();
    for (int i = 0; i < f.Count; ++i) f.Advances.push_back(int16_t(be.ReadWord()));
  }
  return f;
}

// The fields of a written DefineText or DefineText2 with one record.
struct TParsedText {
  uint16_t Tag = 0;
  uint8_t GlyphBits = 0, AdvanceBits = 0;
  uint8_t Flags = 0;
  uint16_t FontID = 0, Height = 0;
  TSWFRGBARec Color;
  int16_t X = 0, Y = 0;
  TSWFRectRec Bounds;
  TSWFMatrixRec Matrix;
  std::vector<TSWFGlyphEntry> Entries;
};

TParsedText ParseText(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  TBitsEngine be(stream);
  TParsedText t;
  const uint16_t head = be.ReadWord();
  t.Tag = head >> 6;
  if ((head & 63) == 63) be.ReadDWord();
  be.ReadWord();  // CharacterID
  t.Bounds = be.ReadRect();
  t.Matrix = be.ReadMatrix();
  t.GlyphBits = be.ReadByte();
  t.AdvanceBits = be.ReadByte();
  t.Flags = be.ReadByte();
  if (t.Flags == 0) return t;  // no records
  if (t.Flags & 8) t.FontID = be.ReadWord();
  if (t.Flags & 4) {
    if (t.Tag == tagDefineText2) {
      t.Color = be.ReadRGBA();
    } else {
      const TSWFRGBRec c = be.ReadRGB();
      t.Color = {c.R, c.G, c.B, 255};
    }
  }
  if (t.Flags & 1) t.X = int16_t(be.ReadWord());
  if (t.Flags & 2) t.Y = int16_t(be.ReadWord());
  if (t.Flags & 8) t.Height = be.ReadWord();
  const uint8_t count = be.ReadByte();
  for (int i = 0; i < count; ++i) {
    TSWFGlyphEntry e;
    e.GlyphIndex = uint16_t(be.ReadBits(t.GlyphBits));
    e.GlyphAdvance = be.ReadSBits(t.AdvanceBits);
    t.Entries.push_back(e);
  }
  EXPECT_EQ(be.ReadByte(), 0);  // end of records
  return t;
}

std::string Codes(const TFlashFont& font) {
  std::string s;
  for (const auto& ch : font.Chars()) s += char(ch->Code());
  return s;
}

// A pixel movie of version 6, as the program builds them.
class FlashFontTest : public testing::Test {
 protected:
  FlashFontTest() : movie_(0, 0, 400, 100, 100) { movie_.SetVersion(6); }

  TFlashFont& Font(const char* name = "Arial", int32_t pixels = 12, bool device = false,
                   uint8_t charset = 0) {
    return movie_.AddFont({name, -pixels, false, false, charset}, device);
  }

  TFlashMovie movie_;
};

TEST_F(FlashFontTest, KeepsCharactersInUnicodeOrder) {
  struct Row {
    std::vector<std::string> texts;
    std::string expected;  // codes in list order
  };
  const Row rows[] = {
      {{"AB", "BA"}, "AB"},
      {{"ba", "AB", "a"}, "ABab"},
      // e-acute is U+00E9, the euro sign (byte 80) U+20AC.
      {{"\xE9\x80"}, "\xE9\x80"},
      {{"\x80 \xE9"}, " \xE9\x80"},
      {{""}, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.expected);
    TFlashFont font(nullptr, false, "Arial", false, false, 12);
    for (const std::string& text : r.texts) font.AddChars(text);
    EXPECT_EQ(Codes(font), r.expected);
  }
  TFlashFont font(nullptr, false, "Arial", false, false, 12);
  EXPECT_TRUE(font.AddChar('A'));
  EXPECT_FALSE(font.AddChar('A'));
  EXPECT_EQ(font.FindChar('A')->UnicodeCode(), 'A');
  EXPECT_EQ(font.FindChar('B'), nullptr);
  EXPECT_EQ(font.FontSize, 12);  // no movie: no scaling
}

TEST_F(FlashFontTest, WideCodesMakeTheFontWideAndTheMovieVersion6) {
  TFlashMovie movie(0, 0, 100, 100, 100);
  movie.SetVersion(5);
  TFlashFont& font = movie.AddFont({"Arial", -12, false, false, 0}, false);
  font.AddChar('A');
  EXPECT_FALSE(font.IsWide());
  EXPECT_EQ(movie.Version(), 5);
  font.AddChar(0x0416);  // a Cyrillic letter
  EXPECT_TRUE(font.IsWide());
  EXPECT_EQ(movie.Version(), 6);
  font.AddChar(0x80);
  EXPECT_EQ(font.FindChar(0x80)->UnicodeCode(), 0x80);  // wide: codes are not bytes
  EXPECT_EQ(font.FindChar('A')->UnicodeCode(), 'A');
}

TEST_F(FlashFontTest, CharsetSetsEncodingAndLanguage) {
  struct Row {
    uint8_t charset, language, encoding;
  };
  const Row rows[] = {{0, 7, 1},   {2, 0, 0},   {1, 0, 2},   {128, 2, 1},
                      {129, 3, 1}, {134, 4, 1}, {136, 5, 1}, {177, 64, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(int(r.charset));
    TFlashFont font(nullptr, false, "Arial", false, false, 12);
    font.LanguageCode = 7;  // so that "unchanged" shows
    font.Encoding = 1;
    font.SetCharset(r.charset);
    EXPECT_EQ(font.LanguageCode, r.language);
    EXPECT_EQ(font.Encoding, r.encoding);
  }
}

// With the ANSI character set the code table holds bytes in ascending order,
// so the euro sign (byte 80) comes before e-acute (E9) although its Unicode
// value is larger; texts index the glyphs in that order.
TEST_F(FlashFontTest, NarrowFontOrdersItsCodeTableByByte) {
  TFlashFont& font = Font();
  TFlashText& text = movie_.AddText("\xE9\x80", 0xFF0000FF, &font, 0, 0, 100, 20);
  EXPECT_EQ(Codes(font), "\xE9\x80");
  const TParsedFont written = ParseFont(Written(font));
  EXPECT_EQ(written.Flags & 0x04, 0);  // narrow codes
  EXPECT_EQ(written.Codes, (std::vector<uint16_t>{0x80, 0xE9}));
  // The first glyph is the euro's: compare with fonts of either character alone.
  TFlashFont& euro = Font("Arial", 13);
  euro.AddChar(0x80);
  TFlashFont& eacute = Font("Arial", 14);
  eacute.AddChar(0xE9);
  const uint32_t euroSize = ParseFont(Written(euro)).GlyphSize(0);
  ASSERT_NE(euroSize, ParseFont(Written(eacute)).GlyphSize(0));
  EXPECT_EQ(written.GlyphSize(0), euroSize);

  const TParsedText t = ParseText(Written(text));
  ASSERT_EQ(t.Entries.size(), 2u);
  EXPECT_EQ(t.Entries[0].GlyphIndex, 1);  // e-acute
  EXPECT_EQ(t.Entries[1].GlyphIndex, 0);  // euro
}

TEST_F(FlashFontTest, WideFontsWriteUnicodeCodesInListOrder) {
  struct Row {
    const char* what;
    bool device;
    uint8_t charset;
  };
  const Row rows[] = {{"default character set", false, 1}, {"device font", true, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFlashFont& font = Font("Arial", 12, r.device, r.charset);
    TFlashText& text = movie_.AddText("\xE9\x80", 0xFF0000FF, &font, 0, 0, 100, 20);
    const TParsedFont written = ParseFont(Written(font));
    EXPECT_EQ(written.Flags & 0x04, 0x04);                       // wide codes
    EXPECT_EQ(written.Flags & 0x10, r.charset == 0 ? 0x10 : 0);  // ANSI flag by encoding
    EXPECT_EQ(written.Codes, (std::vector<uint16_t>{0xE9, 0x20AC}));
    const TParsedText t = ParseText(Written(text));
    ASSERT_EQ(t.Entries.size(), 2u);
    EXPECT_EQ(t.Entries[0].GlyphIndex, 0);
    EXPECT_EQ(t.Entries[1].GlyphIndex, 1);
  }
}

TEST_F(FlashFontTest, TextRecordScalesTheEmToTheTextHeight) {
  TFlashFont& font = Font("Arial", 12);
  EXPECT_EQ(font.FontSize, 240);  // 12 pixels in twips
  TFlashText& text = movie_.AddText("ABA", 0xFF336699, &font, 20, 20, 120, 40);
  font.FindChar('A')->Advance = 512;  // half the em
  font.FindChar('A')->Loaded = true;
  text.SetLetterSpacing(2);
  EXPECT_EQ(text.LetterSpacing(), 40);

  const TParsedText t = ParseText(Written(text));
  EXPECT_EQ(t.Tag, tagDefineText);
  EXPECT_EQ(t.FontID, font.GetCharacterID());
  EXPECT_EQ(t.Height, 240);
  EXPECT_EQ(t.Color, (TSWFRGBARec{0x99, 0x66, 0x33, 255}));
  EXPECT_EQ(t.X, 400);
  // The baseline: the ascent scaled to the height, below the top of the bounds.
  EXPECT_EQ(font.Ascent, 927);
  EXPECT_EQ(t.Y, 217 + 400);  // 927 / 1024 * 240 = 217.27
  const int32_t bAdvance = int32_t(std::nearbyint(font.FindChar('B')->Advance / 1024.0 * 240)) + 40;
  EXPECT_EQ(t.Entries, (std::vector<TSWFGlyphEntry>{{120 + 40, 0}, {bAdvance, 1}, {120 + 40, 0}}));
  EXPECT_EQ(t.GlyphBits, 1);  // indexes 0 and 1
  EXPECT_EQ(t.AdvanceBits, std::max(GetBitsCount(160, 1), GetBitsCount(bAdvance, 1)));
}

TEST_F(FlashFontTest, TranslucentTextIsADefineText2AndAtTheOriginHasNoXOffset) {
  TFlashFont& font = Font();
  TFlashText& text = movie_.AddText("A", 0x80FF0000, &font, 0, 10, 50, 30);
  const TParsedText t = ParseText(Written(text));
  EXPECT_EQ(t.Tag, tagDefineText2);
  EXPECT_EQ(t.Color, (TSWFRGBARec{0, 0, 0xFF, 0x80}));
  EXPECT_EQ(t.Flags & 1, 0);  // no X offset at left 0
  EXPECT_EQ(t.Y, int16_t(std::nearbyint(927 / 1024.0 * 240)) + 200);

  TFlashText& empty = movie_.AddText("", 0xFF000000, &font, 0, 0, 10, 10);
  const TParsedText none = ParseText(Written(empty));
  EXPECT_EQ(none.Flags, 0);  // defined, without records
}

// The record's offsets have 16 bits (up to 1638 pixels): a text beyond them
// is moved by its matrix, with offsets from the bounds' corner; the bounds
// stay where the text is.
TEST_F(FlashFontTest, TextFarOutIsMovedByItsMatrix) {
  TFlashFont& font = Font();
  const int16_t ascent = int16_t(std::nearbyint(927 / 1024.0 * 240));
  struct Row {
    int32_t left, top;
    bool moved;
  } rows[] = {{1638, 10, false}, {1639, 10, true}, {-1639, 10, true},
              {10, 1620, false}, {10, 1630, true}, {100000, -100000, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.left);
    TFlashText& text =
        movie_.AddText("A", 0xFF000000, &font, r.left, r.top, r.left + 50, r.top + 20);
    const TParsedText t = ParseText(Written(text));
    EXPECT_EQ(t.Bounds.Xmin, r.left * 20);
    EXPECT_EQ(t.Bounds.Ymin, r.top * 20);
    if (r.moved) {
      EXPECT_EQ(t.Flags & 1, 0);  // no X offset
      EXPECT_EQ(t.Y, ascent);
      EXPECT_EQ(t.Matrix.TranslateX, r.left * 20);
      EXPECT_EQ(t.Matrix.TranslateY, r.top * 20);
    } else {
      EXPECT_EQ(t.X, r.left * 20);
      EXPECT_EQ(t.Y, ascent + r.top * 20);
      EXPECT_EQ(t.Matrix.TranslateX, 0);
    }
  }
}

TEST_F(FlashFontTest, OutlinesAreReadOnceWhenWritten) {
  TFlashFont& font = Font("Arial", 36);
  movie_.AddText("A A", 0xFF000000, &font, 0, 0, 100, 40);
  ASSERT_EQ(font.Chars().size(), 2u);
  for (const auto& ch : font.Chars()) EXPECT_FALSE(ch->Loaded);

  const Bytes first = Written(font);
  auto face = platform::TFontFace::Open("Arial", false, false);
  const TFlashChar& space = *font.FindChar(' ');
  const TFlashChar& a = *font.FindChar('A');
  EXPECT_TRUE(space.Loaded && a.Loaded);
  EXPECT_EQ(space.Advance, face->Advance(U' '));
  EXPECT_EQ(a.Advance, face->Advance(U'A'));
  EXPECT_EQ(const_cast<TFlashChar&>(space).Records().size(), 1u);  // only the first style record
  EXPECT_GT(const_cast<TFlashChar&>(a).Records().size(), 5u);
  EXPECT_TRUE(vtest::SameBytes(first, Written(font)));  // written again unchanged

  const TParsedFont written = ParseFont(first);
  EXPECT_EQ(written.Count, 2);
  EXPECT_EQ(written.Flags & 0x80, 0);  // no layout unless asked for
}

// Every glyph read back from the written font, as a player reads it: closed
// contours with fill style 1, within the em square around the baseline.
TEST_F(FlashFontTest, WrittenGlyphsDecodeToClosedFilledContours) {
  struct Row {
    const char* face;
    bool bold, italic;
    const char* text;
  };
  const Row rows[] = {{"Arial", false, false, "A&g%8\x80"},
                      {"Arial", true, true, "Rg"},
                      {"Cantarell", false, true, "Sg&"},       // cubic outlines, slanted
                      {"Cantarell Thin", true, false, "Bo"}};  // emboldened
  for (const Row& r : rows) {
    SCOPED_TRACE(r.face);
    TFlashFont& font = movie_.AddFont({r.face, -12, r.bold, r.italic, 0}, false);
    movie_.AddText(r.text, 0xFF000000, &font, 0, 0, 10, 10);
    const Bytes bytes = Written(font);
    const TParsedFont parsed = ParseFont(bytes);
    ASSERT_EQ(parsed.Count, std::string(r.text).size());
    const size_t table = bytes.size() - (parsed.Offsets.back() - parsed.Offsets[0]) - parsed.Count -
                         (parsed.Offsets.size() * 2);  // narrow codes and offsets
    for (size_t i = 0; i < parsed.Count; ++i) {
      SCOPED_TRACE(i);
      TMemoryStream stream(bytes);
      stream.Seek(table + parsed.Offsets[i]);
      TBitsEngine be(stream);
      EXPECT_EQ(be.ReadByte(), 0x10);
      TSWFShapeRecordList records;
      ReadShapeRecords(be, 1, 0, false, records);
      const auto paths = vtest::SubPaths(records);
      ASSERT_FALSE(paths.empty());
      for (const vtest::TSubPath& p : paths) {
        EXPECT_TRUE(p.Closed());
        EXPECT_TRUE(p.Filled);
        EXPECT_FALSE(p.Lined);
        EXPECT_GT(p.StartY, -1100);
        EXPECT_LT(p.StartY, 400);
      }
    }
  }
}

TEST_F(FlashFontTest, DeviceFontWritesOutlinesOnlyForStaticTexts) {
  TFlashFont& font = Font("Arial", 12, true);
  font.AddChars("AB");
  EXPECT_EQ(ParseFont(Written(font)).Count, 0);
  movie_.AddText("A", 0xFF000000, &font, 0, 0, 10, 10);
  EXPECT_EQ(ParseFont(Written(font)).Count, 2);
}

TEST_F(FlashFontTest, LayoutWritesMetricsAndAdvances) {
  TFlashFont& font = Font("Arial", 12);
  font.SetHasLayout(true);
  EXPECT_EQ(font.Ascent, 927);  // read at once
  EXPECT_EQ(font.Descent, 217);
  EXPECT_EQ(font.Leading, 120);
  font.AddChars("AV");
  const TParsedFont written = ParseFont(Written(font));
  EXPECT_EQ(written.Flags & 0x80, 0x80);
  EXPECT_EQ(written.Ascent, 927);
  EXPECT_EQ(written.Advances, (std::vector<int16_t>{int16_t(font.FindChar('A')->Advance),
                                                    int16_t(font.FindChar('V')->Advance)}));
}

TEST_F(FlashFontTest, TextExtentAtTheFontSize) {
  TFlashFont& font = Font("Arial", 36);
  auto face = platform::TFontFace::Open("Arial", false, false);
  const platform::TTextExtent em = face->TextExtent(u"Hello", 1024);
  const platform::TTextExtent e = font.TextExtent("Hello");
  EXPECT_EQ(e.Width, int32_t(std::nearbyint(em.Width / 1024.0 * 720)));
  EXPECT_EQ(e.Height, int32_t(std::nearbyint(em.Height / 1024.0 * 720)));
}

TEST_F(FlashFontTest, AssignCopiesTheCharacters) {
  TFlashFont& font = Font("Arial", 12);
  movie_.AddText("Hi", 0xFF000000, &font, 0, 0, 10, 10);
  const Bytes original = Written(font);
  TFlashFont copy(nullptr, false, "", false, false, 0);
  copy.Assign(font);
  ASSERT_EQ(copy.Chars().size(), 2u);
  EXPECT_NE(copy.Chars()[0].get(), font.Chars()[0].get());
  EXPECT_TRUE(vtest::SameBytes(original, Written(copy)));
}

// Texts in two faces, bold and italic, with letter spacing and a translucent
// colour, in a compressed movie as the program writes it.
TEST(FontMovie, TextsInSeveralFacesParse) {
  TFlashMovie movie(0, 0, 480, 200, 100);
  movie.SetVersion(6);
  movie.SetCompressed(true);
  TFlashFont& sans = movie.AddFont({"Arial", -36, false, false, 0}, true);
  TFlashFont& serif = movie.AddFont({"Times New Roman", -24, true, true, 0}, true);
  TFlashFont& cubic = movie.AddFont({"Cantarell", -20, false, true, 0}, true);
  TFlashText& a = movie.AddText("Vellumet \x80 5", 0xFF2040C0, &sans, 10, 10, 300, 50);
  a.SetLetterSpacing(1);
  TFlashText& b = movie.AddText("Bold italic caf\xE9", 0x800000FF, &serif, 10, 70, 300, 100);
  b.SetLetterSpacing(3);
  TFlashText& c = movie.AddText("Slanted outline", 0xC0008000, &cubic, 10, 120, 300, 150);
  movie.PlaceObject(&a, 1);
  movie.PlaceObject(&b, 2);
  movie.PlaceObject(&c, 3).SetRotate(10);
  movie.ShowFrame();
  movie.MakeData();
  const Bytes swf = movie.SaveToBytes();
  vtest::KeepSwfForParserCheck("fonts.swf", swf);
  EXPECT_EQ(movie.Version(), 6);
  for (TFlashFont* font : {&sans, &serif, &cubic})
    for (const auto& ch : font->Chars()) EXPECT_TRUE(ch->Loaded);
}

}  // namespace
