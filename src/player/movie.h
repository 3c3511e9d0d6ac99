#pragma once
// A movie as the player holds it: the header, the characters by ID and the
// frames as display-list operations and frame actions. Plain data, filled
// by the reader (swf_reader.h); frames without tags cost nothing.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/geometry.h"

namespace player {

// --- shapes ---

struct TGradientStop {
  uint8_t Ratio = 0;
  TRGBA Color;
};

struct TFillStyle {
  enum TKind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
  TKind Kind = Solid;
  TRGBA Color;                       // Solid
  TMatrix Matrix;                    // gradients and bitmaps
  std::vector<TGradientStop> Stops;  // gradients
  double Focal = 0;                  // FocalGradient, -1..1
  uint16_t BitmapID = 0;             // Bitmap
  bool Repeat = false, Smooth = true;
};

struct TLineStyle {
  uint16_t Width = 0;  // twips
  TRGBA Color;
};

// The paths of one style: closed contours for a fill, open runs for a line.
struct TStyledPath {
  size_t Style = 0;  // 0-based index into the layer's styles
  TPath Path;
};

// The style arrays in force and what was drawn with them: the shape's own
// arrays, then one layer per style change record that brings new styles.
struct TShapeLayer {
  std::vector<TFillStyle> Fills;
  std::vector<TLineStyle> Lines;
  std::vector<TStyledPath> FillPaths;
  std::vector<TStyledPath> LinePaths;
};

struct TShape {
  TRectD Bounds;
  std::vector<TShapeLayer> Layers;
};

// --- characters ---

enum class TCharacterKind { Shape, Bitmap, Font, Text, EditText, Button, Sound };

struct TCharacter {
  explicit TCharacter(TCharacterKind kind) : Kind(kind) {}
  virtual ~TCharacter() = default;
  TCharacterKind Kind;
  uint16_t ID = 0;
  uint16_t TagCode = 0;
};

struct TShapeCharacter : TCharacter {
  TShapeCharacter() : TCharacter(TCharacterKind::Shape) {}
  TShape Shape;
};

// Premultiplied ARGB pixels, 0xAARRGGBB per pixel, rows top to bottom.
// A large bitmap is kept smaller: each stored pixel then stands for
// ScaleX x ScaleY pixels of the bitmap.
struct TPixels {
  int Width = 0, Height = 0;
  double ScaleX = 1, ScaleY = 1;
  std::vector<uint32_t> Data;
};

// The encoded image as the file holds it; decoded on first use
// (bitmap_decode.h), so loading a movie never pays for its pictures.
struct TBitmapCharacter : TCharacter {
  TBitmapCharacter() : TCharacter(TCharacterKind::Bitmap) {}
  enum TEncoding { Jpeg, Lossless } Encoding = Jpeg;
  std::vector<uint8_t> Data;       // JPEG bytes (tables joined) or zlib data
  std::vector<uint8_t> AlphaData;  // JPEG3: zlib-compressed alpha plane
  uint8_t Format = 0;              // lossless: 3, 4 or 5
  bool HasAlpha = false;           // Lossless2
  uint16_t Width = 0, Height = 0;  // lossless: from the tag
  uint16_t ColorTableSize = 0;     // lossless format 3: entries

  // Decoded pixels, or null when the data cannot be decoded.
  const TPixels* Pixels() const;

 private:
  mutable bool decoded_ = false;
  mutable std::unique_ptr<TPixels> pixels_;
};

struct TFontCharacter : TCharacter {
  TFontCharacter() : TCharacter(TCharacterKind::Font) {}
  std::string Name;
  double GlyphScale = 1;       // DefineFont3 stores glyphs at 20 times the size
  std::vector<TShape> Glyphs;  // em square of 1024 units
  std::vector<uint16_t> Codes;
  std::vector<int16_t> Advances;
  int Ascent = 0, Descent = 0, Leading = 0;
  bool Bold = false, Italic = false, WideCodes = false;
};

struct TGlyphEntry {
  uint32_t Index = 0;
  int32_t Advance = 0;
};

struct TTextRecord {
  uint16_t FontID = 0;
  TRGBA Color;
  double X = 0, Y = 0;  // pen position at the record's start (twips)
  uint16_t Height = 0;
  std::vector<TGlyphEntry> Glyphs;
};

struct TTextCharacter : TCharacter {
  TTextCharacter() : TCharacter(TCharacterKind::Text) {}
  TRectD Bounds;
  TMatrix Matrix;
  std::vector<TTextRecord> Records;
};

// Editable text fields are listed but not drawn.
struct TEditTextCharacter : TCharacter {
  TEditTextCharacter() : TCharacter(TCharacterKind::EditText) {}
  TRectD Bounds;
  std::string VariableName, InitialText;
};

// --- actions ---

struct TAction {
  enum TKind { NextFrame, PreviousFrame, Play, Stop, GotoFrame, GetURL, GotoLabel, Other };
  TKind Kind = Other;
  uint8_t Code = 0;
  uint16_t Frame = 0;              // GotoFrame: 0-based
  std::string URL, Target, Label;  // UTF-8
};

using TActionList = std::vector<TAction>;

// --- buttons ---

// As the bits of a button record on the wire.
enum TButtonStateBits : uint8_t { bsUp = 1, bsOver = 2, bsDown = 4, bsHitTest = 8 };

struct TButtonRecord {
  uint8_t States = 0;
  uint16_t CharacterID = 0;
  uint16_t Depth = 0;
  TMatrix Matrix;
  TColorTransform ColorTransform;
};

// Condition bits: 0 IdleToOverUp, 1 OverUpToIdle, 2 OverUpToOverDown,
// 3 OverDownToOverUp, 4 OutDownToOverDown, 5 OverDownToOutDown,
// 6 OutDownToIdle, 7 IdleToOverDown, 8 OverDownToIdle.
struct TButtonCondAction {
  uint16_t Conditions = 0;
  uint8_t KeyCode = 0;
  TActionList Actions;
};

// --- sounds ---

// How a sound is started: by StartSound, or by a button's transition.
struct TSoundStart {
  uint16_t SoundID = 0;     // 0: none (a button transition without sound)
  bool Stop = false;        // SyncStop: stops the sound instead
  bool NoMultiple = false;  // SyncNoMultiple: not started again while it plays
  uint16_t Loops = 1;       // times it plays
};

struct TButtonCharacter : TCharacter {
  TButtonCharacter() : TCharacter(TCharacterKind::Button) {}
  std::vector<TButtonRecord> Records;  // in depth order
  std::vector<TButtonCondAction> Actions;
  bool TrackAsMenu = false;
  TSoundStart Sounds[4];  // OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp
};

// The formats on the wire: 0 uncompressed (little-endian, as players take
// it), 1 ADPCM, 2 MP3, 3 uncompressed little-endian; rates 0 to 3 for 5.5,
// 11, 22 and 44 kHz.
struct TSoundFormat {
  uint8_t Format = 0, Rate = 0;
  bool Is16Bit = false, Stereo = false;
  // PCM, ADPCM and MP3: what this system writes and the player decodes.
  bool Decodable() const { return Format <= 3; }
};

struct TSoundCharacter : TCharacter {
  TSoundCharacter() : TCharacter(TCharacterKind::Sound) {}
  TSoundFormat Format;
  uint32_t SampleCount = 0;
  int16_t SeekSamples = 0;    // MP3: samples to drop at the start
  std::vector<uint8_t> Data;  // the sound data (after SeekSamples)
};

// --- frames ---

// One change of the display list.
struct TDisplayOp {
  enum TKind { Place, Remove } Kind = Place;
  uint16_t Depth = 0;
  bool Move = false;  // modifies what is at the depth
  std::optional<uint16_t> CharacterID;
  std::optional<TMatrix> Matrix;
  std::optional<TColorTransform> ColorTransform;
  std::optional<uint16_t> Ratio;
  std::optional<uint16_t> ClipDepth;
  std::string Name;
};

// What a frame does; only frames holding something are stored.
struct TFrameContent {
  uint32_t Frame = 0;  // 0-based
  std::vector<TDisplayOp> Ops;  // without removals of depths that hold nothing
  TActionList Actions;
  std::vector<TSoundStart> Sounds;
  std::string Label;
};

// One SoundStreamBlock: the stream's data for its frame.
struct TStreamBlock {
  uint32_t Frame = 0;  // 0-based
  std::vector<uint8_t> Data;
};

struct TStreamSound {
  TSoundFormat Format;
  uint16_t SamplesPerFrame = 0;
  int16_t LatencySeek = 0;           // MP3: samples to drop at the stream's start
  std::vector<TStreamBlock> Blocks;  // ascending Frame, at most one a frame

  // The block of the frame, or null.
  const TStreamBlock* Block(uint32_t frame) const;
};

// One tag as the file holds it, kept for the dump.
struct TTagInfo {
  size_t Offset = 0;  // in the uncompressed file
  uint16_t Code = 0;
  uint32_t Length = 0;
  uint32_t Frame = 0;  // 0-based frame the tag belongs to
  std::string Text;    // key fields; for a skipped tag why
};

struct TMovie {
  // header
  bool Compressed = false;
  bool Lzma = false;  // ZWS; Compressed is set too
  uint8_t Version = 0;
  uint32_t FileLength = 0;
  TRectD Stage;          // twips
  double FrameRate = 0;  // frames per second
  uint16_t HeaderFrameCount = 0;

  uint32_t FrameCount = 1;  // frames actually shown (at least 1)
  TRGBA Background{255, 255, 255, 255};
  bool HasBackground = false;
  std::map<uint16_t, std::unique_ptr<TCharacter>> Characters;
  std::vector<TFrameContent> Frames;  // ascending Frame
  std::optional<TStreamSound> StreamSound;

  std::vector<TTagInfo> Tags;         // filled only when asked for
  std::vector<std::string> Warnings;  // skipped or damaged tags, truncation

  int StageWidthPixels() const;
  int StageHeightPixels() const;
  const TCharacter* Find(uint16_t id) const;
  // The stored content of frame, or null when the frame holds nothing.
  const TFrameContent* Content(uint32_t frame) const;
  // 0-based frame carrying the label, or -1.
  int FindLabel(const std::string& label) const;
};

}  // namespace player
