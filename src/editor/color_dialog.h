#pragma once
// The colour dialog (TfrmColDlg) and its hue/saturation/value picker
// (TajColorPicker) as values: palette, picker, colour code field and
// gradient calculator. The window paints them and reports clicks, picks,
// keys and text changes; the main window reads DialogColor after OK.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "project/model.h"

namespace editor {

class IPrompts;

// a × b / d rounded to the nearest integer (halves to even); -1 when d is 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t d);

// "#RRGGBB" with upper-case hexadecimal digits.
std::string ColorToHTMLColor(project::TColor color);

struct THSV {
  int32_t H = 0, S = 0, V = 0;  // 0..360, 0..255, 0..255
  bool operator==(const THSV&) const = default;
};

// Integer conversions of the picker (division truncating toward zero).
project::TColor HSVToRGB(int32_t h, int32_t s, int32_t v);
THSV RGBToHSV(project::TColor color);

class TColorPicker {
 public:
  static constexpr int32_t SquareSize = 88;  // the saturation/value square
  static constexpr int32_t HueWidth = 88, HueHeight = 9;

  // Sets the colour from outside: the markers and fields follow, no event.
  void SetColor(project::TColor color);
  project::TColor Color() const { return color_; }
  const THSV& HSV() const { return hsv_; }

  // The user's picks; each returns the colour the change event reports.
  project::TColor PickSquare(int32_t x, int32_t y);
  project::TColor PickHue(int32_t x);
  // Typing into the R (0), G (1) or B (2) field; values beyond 0..255 are
  // limited. Nothing while the field is empty.
  std::optional<project::TColor> FieldChanged(int index, const std::string& text);
  // An emptied field becomes "0" when it loses the focus.
  std::optional<project::TColor> FieldExit(int index);
  const std::array<std::string, 3>& Fields() const { return fields_; }

  // Marker positions and the colours to paint.
  int32_t SquareMarkerX() const { return MulDiv(hsv_.S, SquareSize, 255); }
  int32_t SquareMarkerY() const { return SquareSize - MulDiv(hsv_.V, SquareSize, 255); }
  int32_t HueMarkerX() const { return MulDiv(hsv_.H, HueWidth, 360); }
  project::TColor SquarePixel(int32_t x, int32_t y) const;
  static project::TColor HuePixel(int32_t x);

 private:
  void SetRGB(project::TColor color);

  project::TColor color_ = 0;
  THSV hsv_;
  std::array<std::string, 3> fields_{"0", "0", "0"};
};

enum class TGradientTarget { Start, End, Frozen };

class TColorDialog {
 public:
  static constexpr int PaletteCount = 40;
  static constexpr int FirstGradientSwatch = 41, LastGradientSwatch = 90;
  static constexpr int StartSwatch = 91, EndSwatch = 92;

  explicit TColorDialog(IPrompts& prompts);

  static project::TColor PaletteColor(int n);  // 1..40

  // Called by the main window before it shows the dialog.
  void Open();
  void ClickSwatch(int n);  // 1..92
  void PickSquare(int32_t x, int32_t y);
  void PickHue(int32_t x);
  void PickerFieldChanged(int index, const std::string& text);
  void PickerFieldExit(int index);

  // The code field E1: the key filter (0 = dropped), focus and text.
  static char CodeKey(char key);
  void CodeEnter() { codeEditing_ = true; }
  void CodeExit() { codeEditing_ = false; }
  void CodeChanged(const std::string& text);

  void FreezeClick();
  void CalculatorClick();
  void OkClick() { DialogColor = Preview; }

  // Updates the gradient calculator with a colour (TfrmColDlg.CalcGradient).
  void CalcGradient(project::TColor color);

  project::TColor DialogColor = 0;
  project::TColor Preview = 0;  // OutColor
  std::string Code;             // E1, at most 7 characters
  TColorPicker Picker;
  std::array<project::TColor, 93> Swatches{};    // 1..92
  int SelectedSwatch = 0;                        // the sunken one; 0 for none
  project::TColor StartFrame = 0, EndFrame = 0;  // red marks the followed end
  bool FreezeEnabled = true;
  TGradientTarget Target = TGradientTarget::Start;
  bool CalculatorShown = false;  // full width; B3 is disabled once shown
  bool CodeEditing() const { return codeEditing_; }

 private:
  void ShowColor(project::TColor color);
  void PickerChanged(project::TColor color);

  IPrompts& prompts_;
  bool codeEditing_ = false;
};

}  // namespace editor
