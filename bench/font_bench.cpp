// Building and writing a font of the 95 printable ASCII characters with a
// text that uses them all, next to the time FreeType alone takes to load the
// same outlines (unhinted, 1024-pixel em).
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "platform/font_engine.h"
#include "swf/objects/flash_font.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_text.h"

namespace {

std::string PrintableAscii() {
  std::string text;
  for (char c = 32; c < 127; ++c) text += c;
  return text;
}

// A one-frame movie as the program builds it: compressed, version 6.
void BM_FontAndTextBuildAndWrite(benchmark::State& state) {
  const std::string text = PrintableAscii();
  platform::TFontFace::Open("Arial", false, false);  // the face is opened once per process
  for (auto _ : state) {
    swf::TFlashMovie movie(0, 0, 1600, 60, 100);
    movie.SetVersion(6);
    movie.SetCompressed(state.range(0) != 0);
    swf::TFlashFont& font = movie.AddFont({"Arial", -24, false, false, 0}, true);
    swf::TFlashText& label = movie.AddText(text, 0xFF000000, &font, 4, 4, 1600, 40);
    label.SetLetterSpacing(1);
    movie.PlaceObject(&label, 1);
    movie.ShowFrame();
    movie.MakeData();
    std::vector<uint8_t> bytes = movie.SaveToBytes();
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_FontAndTextBuildAndWrite)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_FreeTypeLoadOutlinesOnly(benchmark::State& state) {
  const std::string text = PrintableAscii();
  const std::string file = platform::TFontFace::Open("Arial", false, false)->FileName();
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, file.c_str(), 0, &face) ||
      FT_Set_Pixel_Sizes(face, 0, 1024)) {
    state.SkipWithError("cannot open the face");
    return;
  }
  for (auto _ : state) {
    for (char c : text) {
      FT_Load_Char(face, FT_ULong(c), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
      benchmark::DoNotOptimize(face->glyph->outline.n_points);
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeLoadOutlinesOnly)->Unit(benchmark::kMillisecond);

}  // namespace
