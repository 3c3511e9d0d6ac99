// Draws the ready-made button pictures of the program's Buttons folder. Each
// file is a strip of three equally wide states, left to right: up, down
// (pressed) and over (pointer over), as a button object cuts its picture.
// 32-bit BMPs whose alpha keeps the rounded corners see-through on any
// background. Integer arithmetic only, so every run writes the same bytes.
//
//   cmake --build BUILD --target make_buttons && BUILD/tools/make_buttons data/Buttons
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"

namespace {

constexpr int kSize = 36;                // one state is kSize x kSize pixels
constexpr int kSamples = 4;              // kSamples x kSamples samples per pixel smooth the edges
constexpr int kRadius = 9;               // corner radius of the button body
constexpr int kUnit = kSize * kSamples;  // sample units per state

struct TPoint {
  int X, Y;  // in sample units: pixels * kSamples
};
using TPolygon = std::vector<TPoint>;

struct TRgb {
  int R, G, B;
};

enum class TState { Up, Down, Over };

struct TButtonPicture {
  const char* FileName;
  TRgb Base;
  std::vector<TPolygon> Glyph;  // in pixels on the 36 x 36 state
};

TPolygon Rect(int x0, int y0, int x1, int y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

TPolygon Scaled(TPolygon polygon) {
  for (TPoint& p : polygon) p = {p.X * kSamples, p.Y * kSamples};
  return polygon;
}

// Even-odd crossing test; sample points sit at half units, so never on an edge.
bool Inside(const TPolygon& polygon, int x2, int y2) {
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const int ax = 2 * polygon[i].X, ay = 2 * polygon[i].Y;
    const int bx = 2 * polygon[j].X, by = 2 * polygon[j].Y;
    if ((ay > y2) == (by > y2)) continue;
    // x of the edge at y2 compared without division: sign of the cross product.
    const int64_t lhs = int64_t(x2 - ax) * (by - ay);
    const int64_t rhs = int64_t(bx - ax) * (y2 - ay);
    if ((by > ay) ? lhs < rhs : lhs > rhs) inside = !inside;
  }
  return inside;
}

// The rounded square inset by `inset` sample units, tested at doubled coordinates.
bool InsideBody(int x2, int y2, int inset) {
  const int lo = 2 * (kSamples + inset + kRadius * kSamples);
  const int hi = 2 * (kUnit - kSamples - inset - kRadius * kSamples);
  const int r = 2 * (kRadius * kSamples - inset);
  const int dx = x2 < lo ? lo - x2 : x2 > hi ? x2 - hi : 0;
  const int dy = y2 < lo ? lo - y2 : y2 > hi ? y2 - hi : 0;
  return dx * dx + dy * dy <= r * r;
}

int Clamp(int v) {
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

TRgb Shade(TRgb c, int amount) {
  return {Clamp(c.R + amount), Clamp(c.G + amount), Clamp(c.B + amount)};
}

TRgb Mix(TRgb a, TRgb b, int t, int range) {
  return {a.R + (b.R - a.R) * t / range, a.G + (b.G - a.G) * t / range,
          a.B + (b.B - a.B) * t / range};
}

// The colour of one sample of a state; `covered` tells whether the body holds it.
TRgb SampleColor(const TButtonPicture& button, TState state, int x2, int y2, bool& covered) {
  covered = InsideBody(x2, y2, 0);
  if (!covered) return {0, 0, 0};
  const int lift = state == TState::Over ? 40 : state == TState::Down ? -30 : 0;
  const TRgb base = Shade(button.Base, lift);
  if (!InsideBody(x2, y2, kSamples)) return Shade(base, -60);  // a one-pixel rim
  const int shift = state == TState::Down ? 2 * kSamples : 0;  // a pressed glyph sinks by a pixel
  for (const TPolygon& part : button.Glyph)
    if (Inside(Scaled(part), x2 - shift, y2 - shift))
      return state == TState::Down ? TRgb{225, 225, 225} : TRgb{255, 255, 255};
  // Lit from above; a pressed button from below.
  const TRgb top = Shade(base, 50), bottom = Shade(base, -25);
  return state == TState::Down ? Mix(bottom, top, y2, 2 * kUnit) : Mix(top, bottom, y2, 2 * kUnit);
}

uint32_t Pixel(const TButtonPicture& button, TState state, int x, int y) {
  int covered = 0, r = 0, g = 0, b = 0;
  for (int j = 0; j < kSamples; ++j)
    for (int i = 0; i < kSamples; ++i) {
      bool in = false;
      const TRgb c =
          SampleColor(button, state, 2 * (x * kSamples + i) + 1, 2 * (y * kSamples + j) + 1, in);
      if (!in) continue;
      ++covered, r += c.R, g += c.G, b += c.B;
    }
  if (covered == 0) return 0;
  constexpr int all = kSamples * kSamples;
  return media::ARGB(uint8_t((covered * 255 + all / 2) / all), uint8_t(r / covered),
                     uint8_t(g / covered), uint8_t(b / covered));
}

media::TBitmap32 Strip(const TButtonPicture& button) {
  media::TBitmap32 strip(3 * kSize, kSize);
  const TState states[] = {TState::Up, TState::Down, TState::Over};
  for (int k = 0; k < 3; ++k)
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) strip.At(k * kSize + x, y) = Pixel(button, states[k], x, y);
  return strip;
}

// A 45-degree bar from (x0, y0) to (x1, y1); its ends reach w pixels out along
// both axes.
TPolygon Diagonal(int x0, int y0, int x1, int y1, int w) {
  const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
  return {{x0 - sx * w, y0}, {x0, y0 - sy * w}, {x1 + sx * w, y1}, {x1, y1 + sy * w}};
}

std::vector<TButtonPicture> Buttons() {
  const TRgb blue{47, 111, 192}, green{46, 158, 74}, red{192, 57, 43}, amber{214, 140, 20},
      grey{100, 108, 120};
  return {
      {"play.bmp", green, {{{14, 10}, {27, 18}, {14, 26}}}},
      {"pause.bmp", amber, {Rect(12, 11, 16, 25), Rect(20, 11, 24, 25)}},
      {"stop.bmp", red, {Rect(12, 12, 24, 24)}},
      {"next.bmp", blue, {{{9, 16}, {18, 16}, {18, 10}, {27, 18}, {18, 26}, {18, 20}, {9, 20}}}},
      {"back.bmp", blue, {{{27, 16}, {18, 16}, {18, 10}, {9, 18}, {18, 26}, {18, 20}, {27, 20}}}},
      {"close.bmp", grey, {Diagonal(11, 11, 25, 25, 3), Diagonal(25, 11, 11, 25, 3)}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_buttons FOLDER\n");
    return 2;
  }
  try {
    const std::string folder = std::string(argv[1]) + "/";
    for (const TButtonPicture& button : Buttons()) {
      media::SaveBMP(folder + button.FileName, Strip(button), 32);
      std::printf("%s%s\n", folder.c_str(), button.FileName);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_buttons: %s\n", e.what());
    return 1;
  }
}
