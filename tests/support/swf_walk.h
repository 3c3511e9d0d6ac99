#pragma once
// Reads back the tag stream of a written SWF file for tests: the header,
// the tags in order, and the few fields the movie build tests look at.
#include <cstdint>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "swf/core/records.h"

namespace vtest {

struct TTag {
  uint16_t Code = 0;
  Bytes Body;
};

struct TSwfFile {
  uint8_t Version = 0;
  bool Compressed = false;
  int32_t Width = 0, Height = 0;  // twips
  uint16_t Rate = 0;              // 8.8 fixed
  uint16_t FrameCount = 0;
  std::vector<TTag> Tags;
};

// Inflates a CWS file; fails the current test on a damaged file.
TSwfFile ReadSwf(const Bytes& file);
TSwfFile ReadSwfFile(const std::string& path);

enum : uint16_t {
  kEnd = 0,
  kShowFrame = 1,
  kDefineShape = 2,
  kSetBackgroundColor = 9,
  kDoAction = 12,
  kStartSound = 15,
  kDefineSound = 14,
  kDefineButtonSound = 17,
  kDefineBitsLossless = 20,
  kDefineBitsJPEG2 = 21,
  kDefineShape2 = 22,
  kProtect = 24,
  kPlaceObject2 = 26,
  kRemoveObject2 = 28,
  kDefineShape3 = 32,
  kDefineText2 = 33,
  kDefineButton2 = 34,
  kDefineBitsJPEG3 = 35,
  kDefineBitsLossless2 = 36,
  kDefineFont2 = 48,
  kDefineText = 11,
};

struct TPlacement {
  uint16_t Depth = 0;
  bool HasCharacter = false, Move = false;
  uint16_t CharacterID = 0;
  bool HasMatrix = false;
  swf::TSWFMatrixRec Matrix;
};
TPlacement ReadPlaceObject2(const TTag& tag);

// The depth of a RemoveObject2.
uint16_t RemovedDepth(const TTag& tag);

// The character ID that a defining tag starts with.
uint16_t DefinedID(const TTag& tag);

// A DefineShape/2/3: its bounds, and its first fill and line styles.
struct TShapeInfo {
  swf::TSWFRectRec Bounds;
  std::vector<uint8_t> FillTypes;     // fill style types
  std::vector<uint32_t> FillColors;   // RGBA of solid fills (0xRRGGBBAA), 0 for others
  std::vector<uint16_t> FillBitmaps;  // bitmap IDs of bitmap fills, 0 for others
  std::vector<uint16_t> LineWidths;   // twips
  std::vector<uint32_t> LineColors;   // 0xRRGGBBAA
};
TShapeInfo ReadShape(const TTag& tag);

// A DefineButton2: the records (states, character, depth) and the bytes of
// its first condition action list.
struct TButtonInfo {
  struct TRecord {
    uint8_t States;
    uint16_t CharacterID, Depth;
  };
  std::vector<TRecord> Records;
  Bytes Actions;
};
TButtonInfo ReadButton2(const TTag& tag);

// The URL and target of the first ActionGetURL in action bytes; false when none.
bool FindGetURL(const Bytes& actions, std::string& url, std::string& target);

// Indices of the ShowFrame tags.
std::vector<size_t> ShowFrameIndices(const TSwfFile& swf);

// Plays the display list through the whole tag stream: reports the first
// placement onto a depth that is taken, and the first character (placed,
// in a button, as a bitmap fill, as a sound) used before it is defined.
// "" when all is well. Removing an empty depth is allowed.
std::string CheckDisplayList(const TSwfFile& swf);

}  // namespace vtest
