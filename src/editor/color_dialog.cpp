#include "editor/color_dialog.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "editor/interfaces.h"
#include "editor/panel.h"

namespace editor {

using project::Blue;
using project::Green;
using project::Red;
using project::RGB;
using project::TColor;

int32_t MulDiv(int32_t a, int32_t b, int32_t d) {
  if (d == 0) return -1;
  int64_t n = int64_t(a) * b;
  bool negative = (n < 0) != (d < 0);
  uint64_t num = uint64_t(n < 0 ? -n : n);
  uint64_t den = uint64_t(d < 0 ? -int64_t(d) : int64_t(d));
  uint64_t q = num / den, r = num % den;
  if (2 * r > den || (2 * r == den && (q & 1))) ++q;
  int64_t result = negative ? -int64_t(q) : int64_t(q);
  return result > INT32_MAX || result < INT32_MIN ? -1 : int32_t(result);
}

std::string ColorToHTMLColor(TColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", Red(color), Green(color), Blue(color));
  return text;
}

TColor HSVToRGB(int32_t h, int32_t s, int32_t v) {
  h = std::clamp(h, 0, 360);
  s = std::clamp(s, 0, 255);
  v = std::clamp(v, 0, 255);
  if (s == 0) return RGB(v, v, v);
  int32_t sector = (h % 360) / 60;
  int32_t f = (h % 360) % 60;
  int32_t p = v - s * v / 255;
  int32_t q = v - s * v * f / 15300;
  int32_t t = v - s * v * (60 - f) / 15300;
  switch (sector) {
    case 0:
      return RGB(v, t, p);
    case 1:
      return RGB(q, v, p);
    case 2:
      return RGB(p, v, t);
    case 3:
      return RGB(p, q, v);
    case 4:
      return RGB(t, p, v);
    default:
      return RGB(v, p, q);
  }
}

THSV RGBToHSV(TColor color) {
  int32_t r = Red(color), g = Green(color), b = Blue(color);
  int32_t v = std::max({r, g, b}), m = std::min({r, g, b});
  if (m == v) return {0, 0, v};
  int32_t d = v - m;
  THSV hsv{0, MulDiv(d, 255, v), v};
  if (r == v)
    hsv.H = MulDiv(60, g - b, d);
  else if (g == v)
    hsv.H = MulDiv(60, b - r, d) + 120;
  else
    hsv.H = MulDiv(60, r - g, d) + 240;
  if (hsv.H < 0) hsv.H += 360;
  return hsv;
}

void TColorPicker::SetColor(TColor color) {
  SetRGB(color);
  hsv_ = RGBToHSV(color);
}

void TColorPicker::SetRGB(TColor color) {
  color_ = color;
  fields_ = {std::to_string(Red(color)), std::to_string(Green(color)), std::to_string(Blue(color))};
}

TColor TColorPicker::PickSquare(int32_t x, int32_t y) {
  x = std::clamp(x, 0, SquareSize);
  y = std::clamp(y, 0, SquareSize);
  hsv_.S = MulDiv(255, x, SquareSize);
  hsv_.V = MulDiv(255, SquareSize - y, SquareSize);
  SetRGB(HSVToRGB(hsv_.H, hsv_.S, hsv_.V));
  return color_;
}

TColor TColorPicker::PickHue(int32_t x) {
  hsv_.H = MulDiv(360, std::clamp(x, 0, HueWidth), HueWidth);
  SetRGB(HSVToRGB(hsv_.H, hsv_.S, hsv_.V));
  return color_;
}

std::optional<TColor> TColorPicker::FieldChanged(int index, const std::string& text) {
  if (index < 0 || index > 2 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  if (text.empty()) {
    fields_[size_t(index)].clear();  // stays empty until the field is left
    return std::nullopt;
  }
  int32_t value = 0;
  for (char c : text) value = std::min(value * 10 + (c - '0'), 256);
  bool limited = value > 255;
  value = std::min(value, 255);
  int32_t channels[3] = {Red(color_), Green(color_), Blue(color_)};
  channels[index] = value;
  SetColor(RGB(channels[0], channels[1], channels[2]));
  fields_[size_t(index)] = limited ? std::to_string(value) : text;
  return color_;
}

std::optional<TColor> TColorPicker::FieldExit(int index) {
  if (index < 0 || index > 2 || !fields_[size_t(index)].empty()) return std::nullopt;
  return FieldChanged(index, "0");
}

TColor TColorPicker::SquarePixel(int32_t x, int32_t y) const {
  return HSVToRGB(hsv_.H, MulDiv(255, x, SquareSize), MulDiv(255, SquareSize - y, SquareSize));
}

TColor TColorPicker::HuePixel(int32_t x) {
  return HSVToRGB(MulDiv(360, x, HueWidth), 255, 255);
}

namespace {

constexpr TColor kPalette[TColorDialog::PaletteCount] = {
    RGB(0, 0, 0),       RGB(68, 34, 34),    RGB(68, 68, 0),     RGB(0, 68, 0),
    RGB(34, 68, 68),    RGB(0, 0, 136),     RGB(0, 68, 136),    RGB(68, 68, 68),
    RGB(136, 0, 0),     RGB(221, 102, 0),   RGB(136, 136, 0),   RGB(0, 136, 0),
    RGB(0, 102, 102),   RGB(0, 0, 255),     RGB(136, 136, 204), RGB(136, 136, 136),
    RGB(255, 0, 0),     RGB(255, 136, 34),  RGB(0, 255, 0),     RGB(0, 170, 170),
    RGB(0, 221, 221),   RGB(0, 136, 255),   RGB(136, 0, 136),   RGB(170, 170, 170),
    RGB(255, 0, 136),   RGB(255, 187, 0),   RGB(255, 255, 0),   RGB(34, 255, 34),
    RGB(102, 255, 255), RGB(68, 170, 255),  RGB(136, 0, 68),    RGB(204, 204, 204),
    RGB(255, 170, 170), RGB(255, 204, 170), RGB(255, 255, 136), RGB(170, 255, 170),
    RGB(170, 255, 255), RGB(187, 187, 255), RGB(204, 136, 255), RGB(255, 255, 255),
};

int GradientChannel(int a, int b, int t) {
  float slope = float(double(b - a) / 49.0);
  return int(std::nearbyint(double(t) * double(slope) + double(a)));
}

}  // namespace

TColorDialog::TColorDialog(IPrompts& prompts) : prompts_(prompts) {
  for (int n = 1; n <= PaletteCount; ++n) Swatches[size_t(n)] = kPalette[n - 1];
  StartFrame = clRed;
  EndFrame = clBtnFace;
  Swatches[LastGradientSwatch] = RGB(0, 0, 255);
  Swatches[EndSwatch] = RGB(0, 0, 255);
}

TColor TColorDialog::PaletteColor(int n) {
  return n >= 1 && n <= PaletteCount ? kPalette[n - 1] : 0;
}

void TColorDialog::Open() {
  codeEditing_ = false;
  SelectedSwatch = 0;
  Picker.SetColor(DialogColor);
  Preview = DialogColor;
  CalcGradient(DialogColor);
  Code = ColorToHTMLColor(DialogColor);
}

void TColorDialog::ShowColor(TColor color) {
  Picker.SetColor(color);
  Preview = color;
  Code = ColorToHTMLColor(color);
}

void TColorDialog::ClickSwatch(int n) {
  if (n < 1 || n > EndSwatch) return;
  SelectedSwatch = n <= LastGradientSwatch ? n : 0;
  TColor color = Swatches[size_t(n)];
  if (n <= PaletteCount) {
    CalcGradient(color);
  } else if (n <= LastGradientSwatch) {
    StartFrame = EndFrame = clBtnFace;
    FreezeEnabled = false;
    Target = TGradientTarget::Frozen;
  }
  ShowColor(color);
  if (n == StartSwatch || n == EndSwatch) {
    bool start = n == StartSwatch;
    StartFrame = start ? clRed : clBtnFace;
    EndFrame = start ? clBtnFace : clRed;
    FreezeEnabled = true;
    Target = start ? TGradientTarget::Start : TGradientTarget::End;
  }
}

void TColorDialog::PickerChanged(TColor color) {
  Preview = color;
  CalcGradient(color);
  Code = ColorToHTMLColor(color);
}

void TColorDialog::PickSquare(int32_t x, int32_t y) {
  PickerChanged(Picker.PickSquare(x, y));
}

void TColorDialog::PickHue(int32_t x) {
  PickerChanged(Picker.PickHue(x));
}

void TColorDialog::PickerFieldChanged(int index, const std::string& text) {
  if (std::optional<TColor> c = Picker.FieldChanged(index, text)) PickerChanged(*c);
}

void TColorDialog::PickerFieldExit(int index) {
  if (std::optional<TColor> c = Picker.FieldExit(index)) PickerChanged(*c);
}

char TColorDialog::CodeKey(char key) {
  if (key >= 'a' && key <= 'f') return char(key - 'a' + 'A');
  // Besides the code's characters: backspace, and Ctrl+A, Ctrl+C, Ctrl+V and
  // Ctrl+X, so that the code can be selected and typed or pasted over.
  bool accepted = (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F') || key == '#' ||
                  key == '\b' || key == 0x01 || key == 0x03 || key == 0x16 || key == 0x18;
  return accepted ? key : 0;
}

void TColorDialog::CodeChanged(const std::string& text) {
  if (!codeEditing_) return;
  Code = text.substr(0, 7);
  std::string hex = Code;
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  if (hex.size() < 7) hex = (hex + "000000").substr(0, 6);
  int channels[3];
  bool valid = true;
  for (int i = 0; i < 3 && valid; ++i) {
    std::string pair = hex.substr(size_t(2 * i), 2);
    valid = pair.size() == 2 && std::isxdigit(uint8_t(pair[0])) && std::isxdigit(uint8_t(pair[1]));
    if (valid) channels[i] = std::stoi(pair, nullptr, 16);
  }
  TColor color = 0;
  if (valid)
    color = RGB(channels[0], channels[1], channels[2]);
  else
    prompts_.MessageBox(Code + " is not a valid color value. Enter a HEX value (#RRGGBB).", "Error",
                        TMsgIcon::Warning, TMsgButtons::Ok);
  Picker.SetColor(color);
  Preview = color;
  CalcGradient(color);
}

void TColorDialog::FreezeClick() {
  StartFrame = EndFrame = clBtnFace;
  FreezeEnabled = false;
  Target = TGradientTarget::Frozen;
}

void TColorDialog::CalculatorClick() {
  CalculatorShown = true;
}

void TColorDialog::CalcGradient(TColor color) {
  if (Target == TGradientTarget::Frozen) return;
  if (Target == TGradientTarget::Start) {
    Swatches[FirstGradientSwatch] = Swatches[StartSwatch] = color;
  } else {
    Swatches[LastGradientSwatch] = Swatches[EndSwatch] = color;
  }
  TColor s = Swatches[FirstGradientSwatch], e = Swatches[LastGradientSwatch];
  for (int t = 1; t <= 48; ++t)
    Swatches[size_t(FirstGradientSwatch + t)] =
        RGB(GradientChannel(Red(s), Red(e), t), GradientChannel(Green(s), Green(e), t),
            GradientChannel(Blue(s), Blue(e), t));
}

}  // namespace editor
