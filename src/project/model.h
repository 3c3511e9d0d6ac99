#pragma once
// The project model: movie settings, frames and their 255 object slots.
// Field names are also the keys of the project file, and the field order is
// the order the file uses.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace project {

// Colours are COLORREF values 0x00BBGGRR (red in the low byte).
using TColor = int32_t;

constexpr int MaxShapeSlots = 255;

enum TShapeKind : uint8_t {
  skNone = 0,
  skRectangle = 1,
  skRoundRect = 2,
  skCircle = 3,
  skEllipse = 4,
  skDiamond = 5,
  skStar = 6,
  skText = 7,
  skPicture = 8,
  skButton = 9,
};

// The codes differ from the order of the editor's "Fill Style" list.
enum TFillKind : uint8_t {
  fkSolid = 0,
  fkLinear = 1,
  fkRadial = 2,
  fkBitmap = 3,
  fkNone = 4,
};

enum TFrameBevel : uint8_t { fbNone = 0, fbInset = 1, fbRaised = 2 };

enum TBackgroundGradient : uint8_t {
  bgHorizontal = 0,
  bgVertical = 1,
  bgBottomLeft = 2,
  bgBottomRight = 3,
  bgTopLeft = 4,
  bgTopRight = 5,
  bgDiagonalFalling = 6,
  bgDiagonalRising = 7,
  bgPyramid = 8,
};

// How an edit spreads over the frames. The editor holds the current mode;
// it lives here because creating an object already depends on it.
enum class TEditMode { emAnimation, emAllFrames, emLocked };

constexpr TColor RGB(int r, int g, int b) {
  return TColor(r | (g << 8) | (b << 16));
}
constexpr int Red(TColor c) {
  return c & 255;
}
constexpr int Green(TColor c) {
  return (c / 256) & 255;
}
constexpr int Blue(TColor c) {
  return (c / 65536) & 255;
}

// The colour at `step` of `steps` (steps >= 1) on the line from a to b; the
// per-channel slope is rounded to single precision first, the result to the
// nearest integer with ties to even, as the editor's colour spreads expect.
TColor CalcGradient(TColor a, TColor b, int step, int steps);

// " - Rectangle" and so on; "" for skNone and unknown codes.
std::string_view KindSuffix(int kind);

struct TMovieSettings {
  int32_t MWidth = 468;
  int32_t MHeight = 60;
  TColor MSiteColor = RGB(0, 128, 128);
  TColor MBkgrColor = RGB(255, 255, 255);
  int32_t MLoop = 1;
  int32_t MResolution = 96;
  std::string MBkgrSound;
  std::string MainURL;

  bool operator==(const TMovieSettings&) const = default;
};

// One object slot. A blank record (every field zero or empty) is what a
// never-used slot reads as.
struct TShapeRec {
  uint8_t Object = skNone;
  int32_t X = 0, Y = 0, W = 0, H = 0;
  int32_t Radius = 0;
  uint8_t Fill = 0;
  TColor Color = 0;
  TColor GrColor1 = 0, GrColor2 = 0;
  int32_t GrX = 0, GrY = 0;
  uint8_t Alpha = 0;
  int32_t Border = 0;
  TColor BorderColor = 0;
  int32_t Angle = 0;
  std::string Text;
  std::string Font;
  TColor FontColor = 0;
  int32_t FontSize = 0;
  int32_t Spacing = 0;
  uint8_t FBold = 0, FItalic = 0;
  std::string URL;
  std::string SoundEv;

  bool operator==(const TShapeRec&) const = default;
  bool IsBlank() const;
  // Whether `Text` names an image file (picture, button, bitmap fill of a
  // shape) rather than holding words.
  bool TextIsFile() const;
};

// The 255 slots of a frame, numbered 1..255. Only slots that were ever
// written hold a record, so an empty slot costs nothing; the rest read as a
// blank record. A slot emptied later keeps its record (its fields stay as
// dead data, which creating a new object there partly reuses).
class TSlotArray {
 public:
  TSlotArray() = default;
  TSlotArray(const TSlotArray& other);
  TSlotArray& operator=(const TSlotArray& other);
  TSlotArray(TSlotArray&&) noexcept = default;
  TSlotArray& operator=(TSlotArray&&) noexcept = default;

  // Slot n (1..255) for reading; numbers outside the range read as blank.
  const TShapeRec& operator[](int n) const;
  // Slot n (1..255) for writing; makes its record on first use.
  TShapeRec& Edit(int n);
  // Sets Object := 0 in every slot; the other fields stay.
  void EmptyAll();
  // Drops every record: all slots blank.
  void Clear() { used_.clear(); }
  // Highest slot number whose Object is not 0; 0 when none.
  int LastUsed() const;
  // Number of slots holding a record (used or dead data).
  size_t RecordCount() const { return used_.size(); }

  bool operator==(const TSlotArray& other) const;

 private:
  struct TEntry {
    uint8_t Slot;
    std::unique_ptr<TShapeRec> Rec;
  };
  std::vector<TEntry> used_;  // sorted by Slot
};

struct TFrameRec {
  int32_t Delay = 50;
  uint8_t AddGrad = 0;
  uint8_t GradStyle = bgVertical;
  TColor GradCol1 = RGB(255, 255, 136);
  TColor GradCol2 = RGB(68, 171, 255);
  TColor BkgrColor = RGB(255, 255, 255);
  uint8_t AddBorder = 0;
  uint8_t BorderInnerStyle = fbInset;
  uint8_t BorderOuterStyle = fbRaised;
  int32_t BevelW = 1;
  int32_t BorderW = 3;
  TColor BorderCol = RGB(255, 0, 136);
  TColor BorderHighLightCol = RGB(255, 171, 216);
  TColor BorderShadowCol = RGB(168, 0, 90);
  TSlotArray Slots;

  bool operator==(const TFrameRec&) const = default;
};

}  // namespace project
