// Fonts (glyph outlines, codes, advances) and static texts.
#include <cstdio>

#include "player/reader_internal.h"
#include "swf/core/swf_error.h"

namespace player::detail {
namespace {

// Reads glyph i from [begin, end) of the tag body (offsets from tableStart).
TShape ReadGlyphAt(const swf::TMemoryStream& body, size_t begin, size_t end) {
  if (begin > end || end > body.Size()) throw swf::ESWFError("glyph offset outside the font");
  swf::TMemoryStream slice;
  slice.Write(body.Data() + begin, end - begin);
  slice.Seek(0);
  swf::TBitsEngine be(slice);
  if (begin == end) return TShape{{}, {TShapeLayer{{TFillStyle{}}, {}, {}, {}}}};
  return ReadGlyphShape(be);
}

std::string DescribeFont(const TFontCharacter& f) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "id=%u glyphs=%zu", f.ID, f.Glyphs.size());
  std::string s = buf;
  if (!f.Name.empty()) s += " name=\"" + f.Name + "\"";
  return s;
}

void ReadFont1(swf::TBitsEngine& be, TFontCharacter& font) {
  const size_t tableStart = be.Stream().Position();
  const swf::TMemoryStream& body = be.Stream();
  if (Remaining(be) < 2) return;  // no glyphs
  const size_t first = be.ReadWord();
  const size_t count = first / 2;
  if (first > body.Size() - tableStart) throw swf::ESWFError("font offset table too long");
  std::vector<size_t> offsets{first};
  for (size_t i = 1; i < count; ++i) offsets.push_back(be.ReadWord());
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < count ? tableStart + offsets[i + 1] : body.Size();
    font.Glyphs.push_back(ReadGlyphAt(body, tableStart + offsets[i], end));
  }
}

void ReadFont2(swf::TBitsEngine& be, uint8_t version, TFontCharacter& font) {
  const uint8_t flags = be.ReadByte();
  const bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08;
  font.WideCodes = flags & 0x04;
  font.Italic = flags & 0x02;
  font.Bold = flags & 0x01;
  be.ReadByte();  // language
  const uint8_t nameLength = be.ReadByte();
  std::string name(nameLength, '\0');
  be.ReadBytes(name.data(), nameLength);
  font.Name = ToUtf8(name, version);
  const size_t count = be.ReadWord();
  const size_t entry = wideOffsets ? 4 : 2;
  if ((count + 1) * entry > Remaining(be)) throw swf::ESWFError("font offset table too long");
  const size_t tableStart = be.Stream().Position();
  std::vector<size_t> offsets;
  for (size_t i = 0; i <= count; ++i)
    offsets.push_back(wideOffsets ? be.ReadDWord() : be.ReadWord());
  const swf::TMemoryStream& body = be.Stream();
  for (size_t i = 0; i < count; ++i)
    font.Glyphs.push_back(ReadGlyphAt(body, tableStart + offsets[i], tableStart + offsets[i + 1]));
  be.Stream().Seek(tableStart + offsets[count]);
  for (size_t i = 0; i < count; ++i)
    font.Codes.push_back(font.WideCodes ? be.ReadWord() : be.ReadByte());
  if (!hasLayout) return;
  font.Ascent = int16_t(be.ReadWord());
  font.Descent = int16_t(be.ReadWord());
  font.Leading = int16_t(be.ReadWord());
  for (size_t i = 0; i < count; ++i) font.Advances.push_back(int16_t(be.ReadWord()));
}

}  // namespace

void ReadFontTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  auto font = std::make_unique<TFontCharacter>();
  font->ID = be.ReadWord();
  font->TagCode = code;
  if (code == swf::tagDefineFont) {
    ReadFont1(be, *font);
  } else {
    ReadFont2(be, ctx.Movie.Version, *font);
    if (code == 75) font->GlyphScale = 1.0 / 20;  // DefineFont3
  }
  if (ctx.KeepTags) ctx.Info = DescribeFont(*font);
  ctx.AddCharacter(std::move(font));
}

void ReadTextTag(swf::TBitsEngine& be, uint16_t code, TReadContext& ctx) {
  const bool alpha = code == swf::tagDefineText2;
  auto text = std::make_unique<TTextCharacter>();
  text->ID = be.ReadWord();
  text->TagCode = code;
  text->Bounds = ReadRectD(be);
  text->Matrix = TMatrix::FromRec(be.ReadMatrix());
  const unsigned glyphBits = be.ReadByte(), advanceBits = be.ReadByte();
  if (glyphBits > 32 || advanceBits > 32) throw swf::ESWFError("glyph field wider than 32 bits");
  TTextRecord state;
  size_t glyphCount = 0;
  for (uint8_t flags = be.ReadByte(); flags != 0; flags = be.ReadByte()) {
    TTextRecord r = state;
    r.Glyphs.clear();
    if (flags & 0x08) r.FontID = be.ReadWord();
    if (flags & 0x04) r.Color = ReadColor(be, alpha);
    if (flags & 0x01) r.X = int16_t(be.ReadWord());
    if (flags & 0x02) r.Y = int16_t(be.ReadWord());
    if (flags & 0x08) r.Height = be.ReadWord();
    const unsigned count = be.ReadByte();
    double x = r.X;
    for (unsigned i = 0; i < count; ++i) {
      TGlyphEntry g;
      g.Index = be.ReadBits(glyphBits);
      g.Advance = be.ReadSBits(advanceBits);
      x += g.Advance;
      r.Glyphs.push_back(g);
    }
    be.AlignRead();
    glyphCount += count;
    state = r;
    state.X = x;
    text->Records.push_back(std::move(r));
  }
  if (ctx.KeepTags) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "id=%u bounds=(%g,%g)-(%g,%g) records=%zu glyphs=%zu", text->ID,
                  text->Bounds.Xmin, text->Bounds.Ymin, text->Bounds.Xmax, text->Bounds.Ymax,
                  text->Records.size(), glyphCount);
    ctx.Info = buf;
    if (!text->Records.empty()) ctx.Info += " font=" + std::to_string(text->Records[0].FontID);
  }
  ctx.AddCharacter(std::move(text));
}

void ReadEditTextTag(swf::TBitsEngine& be, TReadContext& ctx) {
  auto text = std::make_unique<TEditTextCharacter>();
  text->ID = be.ReadWord();
  text->TagCode = swf::tagDefineEditText;
  text->Bounds = ReadRectD(be);
  const uint16_t high = be.ReadByte();
  const uint16_t flags = uint16_t(high << 8 | be.ReadByte());
  if (flags & 0x0100) Skip(be, 2);             // font
  if (flags & 0x0080) be.ReadString();         // font class
  if (flags & (0x0100 | 0x0080)) Skip(be, 2);  // height
  if (flags & 0x0400) Skip(be, 4);             // colour
  if (flags & 0x0200) Skip(be, 2);             // max length
  if (flags & 0x0020) Skip(be, 9);             // layout
  text->VariableName = ToUtf8(be.ReadString(), ctx.Movie.Version);
  if (flags & 0x8000) text->InitialText = ToUtf8(be.ReadString(), ctx.Movie.Version);
  if (ctx.KeepTags)
    ctx.Info = "id=" + std::to_string(text->ID) + " variable=\"" + text->VariableName +
               "\" text=\"" + text->InitialText + "\"";
  ctx.AddCharacter(std::move(text));
}

}  // namespace player::detail
