#pragma once
// One frame with one of everything the renderer paints, at known places
// (pixels of a 250 x 120 stage on a light grey background):
//   row 1 (y 10..50): red square x 10..50; blue at alpha 128 x 60..100;
//     black-to-white linear gradient x 110..190; radial gradient
//     (white centre, black rim) x 200..240
//   row 2: square rotated 45 degrees around (30, 85), half side 20; a 4 x 4
//     bitmap of 5-pixel cells at (60, 60); a 4-pixel green line along y 70,
//     x 110..190; dashes of 4 pixels with 4-pixel gaps along y 90 from
//     x 110; a glyph stem x 200..207.8, y 79..110 (baseline 110)
#include "player/swf_builder.h"

namespace vtest {

// Bitmap cell (i, j) of the showcase: i columns, j rows.
inline uint32_t ShowcaseCell(int i, int j) {
  return 0xFF000000u | uint32_t(i * 80) << 16 | uint32_t(j * 80) << 8 |
         uint32_t((i + j) % 2 ? 255 : 0);
}

inline SwfBytes ShowcaseMovie() {
  TSwfBuilder b(250, 120, 12, 6);
  b.Background(230, 230, 230);
  uint16_t id = 1, depth = 1;
  auto place = [&](const SwfBytes& body, uint16_t code, const swf::TSWFMatrixRec* m = nullptr) {
    b.Tag(code, body);
    b.Place(id++, depth++, m);
  };
  auto rect = [&](int x, int y, int w, int h, auto fill) {
    TShapeBody s(id, 3, {x * 20, (x + w) * 20, y * 20, (y + h) * 20});
    s.Style(0, fill(s), 0, x * 20, y * 20);
    s.Rect(x * 20, y * 20, w * 20, h * 20);
    place(s.Finish(), swf::tagDefineShape3);
  };
  rect(10, 10, 40, 40, [](TShapeBody& s) { return s.Solid({255, 0, 0}); });
  rect(60, 10, 40, 40, [](TShapeBody& s) { return s.Solid({0, 0, 255, 128}); });
  rect(110, 10, 80, 40, [](TShapeBody& s) {
    return s.Gradient(0x10, Affine(1600.0 / 32768, 0, 0, 800.0 / 32768, 3000, 600),
                      {{0, {0, 0, 0}}, {255, {255, 255, 255}}});
  });
  rect(200, 10, 40, 40, [](TShapeBody& s) {
    return s.Gradient(0x12, Affine(800.0 / 32768, 0, 0, 800.0 / 32768, 4400, 600),
                      {{0, {255, 255, 255}}, {255, {0, 0, 0}}});
  });
  {  // rotated square
    TShapeBody s(id, 3, {-400, 400, -400, 400});
    s.Style(0, s.Solid({0, 128, 0}), 0, -400, -400);
    s.Rect(-400, -400, 800, 800);
    const swf::TSWFMatrixRec m = Affine(0.70710678, 0.70710678, -0.70710678, 0.70710678, 600, 1700);
    place(s.Finish(), swf::tagDefineShape3, &m);
  }
  {  // bitmap 4 x 4, cells of 5 pixels
    std::vector<uint32_t> pixels;
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i) pixels.push_back(ShowcaseCell(i, j));
    const uint16_t bitmap = id++;
    b.Lossless(bitmap, 4, 4, pixels, false);
    TShapeBody s(id, 3, {1200, 1600, 1200, 1600});
    s.Style(0, s.BitmapFill(0x43, bitmap, Affine(100, 0, 0, 100, 1200, 1200)), 0, 1200, 1200);
    s.Rect(1200, 1200, 400, 400);
    place(s.Finish(), swf::tagDefineShape3);
  }
  {  // green line
    TShapeBody s(id, 3, {2200, 3800, 1360, 1440});
    s.Style(0, 0, s.Line(80, {0, 160, 0}), 2200, 1400);
    s.LineBy(1600, 0);
    place(s.Finish(), swf::tagDefineShape3);
  }
  {  // dashes: 10 pieces of 80 twips with gaps of 80
    TShapeBody s(id, 3, {2200, 3800, 1780, 1820});
    const uint32_t line = s.Line(40, {128, 0, 128});
    for (int k = 0; k < 10; ++k) {
      s.Style(0, 0, line, 2200 + k * 160, 1800);
      s.LineBy(80, 0);
    }
    place(s.Finish(), swf::tagDefineShape3);
  }
  {  // a font with one glyph (a bar) and a text using it
    TShapeBody glyph(0, 0, {});
    glyph.Style(0, 1, 0, 0, -1024);
    glyph.Rect(0, -1024, 256, 1024);
    const SwfBytes outline = glyph.Finish();
    SwfBytes font{uint8_t(id), 0, 2, 0};
    font.insert(font.end(), outline.begin(), outline.end());
    const uint16_t fontID = id++;
    b.Tag(swf::tagDefineFont, font);
    // Text: id, bounds, identity matrix, glyph bits 1, advance bits 10; one
    // record with font, colour (0,0,160), X 4000, Y 2200, height 620, one glyph.
    swf::TMemoryStream s;
    swf::TBitsEngine be(s);
    be.WriteWord(id);
    be.WriteRect({4000, 4200, 1580, 2200});
    be.WriteMatrix({});
    be.WriteByte(1);
    be.WriteByte(10);
    be.WriteByte(0x8F);
    be.WriteWord(fontID);
    for (uint8_t c : {0, 0, 160}) be.WriteByte(c);
    be.WriteWord(4000);
    be.WriteWord(2200);
    be.WriteWord(620);
    be.WriteByte(1);
    be.WriteBits(0, 1);
    be.WriteSBits(200, 10);
    be.FlushLastByte(true);
    be.WriteByte(0);
    place(s.Bytes(), swf::tagDefineText);
  }
  b.ShowFrame();
  return b.Build(true);
}

}  // namespace vtest
