#pragma once
// Shape tags: fill and line styles, the four shape records and the
// DefineShape tags that carry them. Glyphs of the font tags are lists of the
// same shape records. All coordinates are twips.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "swf/core/swf_object.h"

namespace swf {

class TSWFLineStyle {
 public:
  void Assign(const TSWFLineStyle& source);
  // The colour goes out as RGBA when hasAlpha (DefineShape3), else as RGB;
  // the stored alpha is kept either way.
  void Write(TBitsEngine& be, bool hasAlpha) const;
  void Read(TBitsEngine& be, bool hasAlpha);

  uint16_t Width = 0;  // twips
  TSWFRGBA Color{false};
};

enum TSWFFillStyleType : uint8_t {
  fsSolid = 0x00,
  fsLinearGradient = 0x10,
  fsRadialGradient = 0x12,
  fsRepeatingBitmap = 0x40,
  fsClippedBitmap = 0x41,
  fsNonSmoothedRepeatingBitmap = 0x42,
  fsNonSmoothedClippedBitmap = 0x43,
};

class TSWFFillStyle {
 public:
  virtual ~TSWFFillStyle() = default;
  // Copies HasAlpha; descendants copy their own fields after it.
  virtual void Assign(const TSWFFillStyle& source) { HasAlpha = source.HasAlpha; }
  // Reads what follows the type byte.
  virtual void Read(TBitsEngine& be) = 0;
  // The type byte and the style; colours by HasAlpha.
  virtual void Write(TBitsEngine& be) const = 0;

  uint8_t FillStyleType() const { return type_; }

  // Colours go out as RGBA when set; the owner sets it just before writing.
  bool HasAlpha = false;

 protected:
  explicit TSWFFillStyle(uint8_t type) : type_(type) {}
  uint8_t type_;
};

// A new empty fill of the class for the type (0 solid, 16/18 gradient, 64..67
// bitmap); none for any other type.
std::unique_ptr<TSWFFillStyle> CreateFillStyle(uint8_t type);
// A new fill of the same class, filled by its Assign.
std::unique_ptr<TSWFFillStyle> CopyFillStyle(const TSWFFillStyle& source);

class TSWFColorFill : public TSWFFillStyle {
 public:
  TSWFColorFill() : TSWFFillStyle(fsSolid) {}
  void Assign(const TSWFFillStyle& source) override;
  void Read(TBitsEngine& be) override;
  void Write(TBitsEngine& be) const override;

  TSWFRGBA Color{false};
};

class TSWFGradientFill : public TSWFFillStyle {
 public:
  static constexpr int kMaxEntries = 8;

  TSWFGradientFill() : TSWFFillStyle(fsLinearGradient) {}
  void Assign(const TSWFFillStyle& source) override;
  void Read(TBitsEngine& be) override;
  void Write(TBitsEngine& be) const override;

  void SetRadial(bool radial) { type_ = radial ? fsRadialGradient : fsLinearGradient; }
  bool IsRadial() const { return type_ == fsRadialGradient; }

  // Entries are numbered 1..8.
  TSWFRGBA& GradientColor(int i);
  const TSWFRGBA& GradientColor(int i) const;
  uint32_t GradientColorValue(int i) const { return PackRGBA(GradientColor(i).RGBA()); }
  void SetGradientRatio(int i, uint8_t ratio) { Entry(i).Ratio = ratio; }
  uint8_t GradientRatio(int i) const { return Entry(i).Ratio; }

  TSWFMatrix Matrix;
  uint8_t GradientCount = 0;  // entries written: 0..8

 private:
  struct TEntry {
    uint8_t Ratio = 0;
    TSWFRGBA Color{false};
  };
  TEntry& Entry(int i);
  const TEntry& Entry(int i) const;

  std::array<TEntry, kMaxEntries> entries_;
};

class TSWFImageFill : public TSWFFillStyle {
 public:
  TSWFImageFill() : TSWFFillStyle(fsClippedBitmap) {}
  void Assign(const TSWFFillStyle& source) override;
  void Read(TBitsEngine& be) override;
  void Write(TBitsEngine& be) const override;

  // Accepts the four bitmap types (64..67) and ignores any other value.
  void SetFillStyleType(uint8_t type);

  uint16_t ImageID = 0;
  TSWFMatrix Matrix;
};

using TSWFFillStyleList = std::vector<std::unique_ptr<TSWFFillStyle>>;
using TSWFLineStyleList = std::vector<std::unique_ptr<TSWFLineStyle>>;

// Style arrays of a shape tag or of a style change record: each count in one
// byte, or 255 followed by a word when it is 255 or more.
void WriteStyleArrays(TBitsEngine& be, TSWFFillStyleList& fills, const TSWFLineStyleList& lines,
                      bool hasAlpha);
void ReadStyleArrays(TBitsEngine& be, TSWFFillStyleList& fills, TSWFLineStyleList& lines,
                     bool hasAlpha);

enum TSWFShapeRecordKind : uint8_t {
  rkEndShape = 0,
  rkStyleChange = 1,
  rkStraightEdge = 2,
  rkCurvedEdge = 3,
};

class TSWFShapeRecord {
 public:
  virtual ~TSWFShapeRecord() = default;
  virtual void Assign(const TSWFShapeRecord&) {}
  virtual void Write(TBitsEngine& be) = 0;

  TSWFShapeRecordKind RecordKind() const { return kind_; }

 protected:
  explicit TSWFShapeRecord(TSWFShapeRecordKind kind) : kind_(kind) {}

 private:
  TSWFShapeRecordKind kind_;
};

using TSWFShapeRecordList = std::vector<std::unique_ptr<TSWFShapeRecord>>;

// Six zero bits.
class TSWFEndShapeRecord : public TSWFShapeRecord {
 public:
  TSWFEndShapeRecord() : TSWFShapeRecord(rkEndShape) {}
  void Write(TBitsEngine& be) override;
};

// A line by (X, Y). A zero delta writes nothing; each delta must stay below
// 65536 in absolute value (the bit count has a 4-bit field).
class TSWFStraightEdgeRecord : public TSWFShapeRecord {
 public:
  static constexpr int32_t kMaxDelta = 65535;

  TSWFStraightEdgeRecord(int32_t x = 0, int32_t y = 0)
      : TSWFShapeRecord(rkStraightEdge), X(x), Y(y) {}
  void Assign(const TSWFShapeRecord& source) override;
  void Write(TBitsEngine& be) override;

  int32_t X, Y;

 protected:
  explicit TSWFStraightEdgeRecord(TSWFShapeRecordKind kind) : TSWFShapeRecord(kind), X(0), Y(0) {}
};

// A quadratic curve: control point relative to the pen, anchor relative to
// the control point. All zero writes nothing.
class TSWFCurvedEdgeRecord : public TSWFShapeRecord {
 public:
  TSWFCurvedEdgeRecord(int32_t controlX = 0, int32_t controlY = 0, int32_t anchorX = 0,
                       int32_t anchorY = 0)
      : TSWFShapeRecord(rkCurvedEdge),
        ControlX(controlX),
        ControlY(controlY),
        AnchorX(anchorX),
        AnchorY(anchorY) {}
  void Assign(const TSWFShapeRecord& source) override;
  void Write(TBitsEngine& be) override;

  int32_t ControlX, ControlY, AnchorX, AnchorY;
};

// Selects styles and moves the pen. X and Y (inherited) are the absolute move
// target. FillBits and LineBits are the index widths in force; the owner sets
// them before writing, and writing new styles sets them to the new widths.
class TSWFStyleChangeRecord : public TSWFStraightEdgeRecord {
 public:
  TSWFStyleChangeRecord() : TSWFStraightEdgeRecord(rkStyleChange) {}
  void Assign(const TSWFShapeRecord& source) override;
  void Write(TBitsEngine& be) override;

  void SetFill0Id(uint16_t id) {
    fill0Id_ = id;
    HasFillStyle0 = true;
  }
  void SetFill1Id(uint16_t id) {
    fill1Id_ = id;
    HasFillStyle1 = true;
  }
  void SetLineId(uint16_t id) {
    lineId_ = id;
    HasLineStyle = true;
  }
  void SetMoveTo(int32_t x, int32_t y) {
    X = x;
    Y = y;
    HasMoveTo = true;
  }
  uint16_t Fill0Id() const { return fill0Id_; }
  uint16_t Fill1Id() const { return fill1Id_; }
  uint16_t LineId() const { return lineId_; }

  // Created on first access, which sets HasNewStyles.
  TSWFFillStyleList& NewFillStyles();
  TSWFLineStyleList& NewLineStyles();

  uint8_t FillBits = 0, LineBits = 0;
  bool HasFillStyle0 = false, HasFillStyle1 = false, HasLineStyle = false;
  bool HasMoveTo = false, HasNewStyles = false;
  bool HasAlpha = false;  // colours of the new styles as RGBA

 private:
  uint16_t fill0Id_ = 0, fill1Id_ = 0, lineId_ = 0;
  std::unique_ptr<TSWFFillStyleList> newFillStyles_;
  std::unique_ptr<TSWFLineStyleList> newLineStyles_;
};

// A new empty record of the kind.
std::unique_ptr<TSWFShapeRecord> CreateShapeRecord(TSWFShapeRecordKind kind);

// Appends a copy of every source record to target; an empty source empties
// target instead.
void CopyShapeRecords(const TSWFShapeRecordList& source, TSWFShapeRecordList& target);

// Reads shape records up to and including the end record, starting with the
// given index widths; a style change record with new styles switches them.
// Throws ESWFError when the data ends first.
void ReadShapeRecords(TBitsEngine& be, uint8_t fillBits, uint8_t lineBits, bool hasAlpha,
                      TSWFShapeRecordList& records);

// DefineShape (code 2). The same body serves DefineShape2 (22) and
// DefineShape3 (32): the owner may set TagID and HasAlpha before writing.
class TSWFDefineShape : public TSWFObject {
 public:
  TSWFDefineShape() { TagID = tagDefineShape; }
  // Copies ShapeID, bounds and HasAlpha and appends copies of the records and styles.
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;
  // Reads a body written for TagID (colours as RGBA for DefineShape3),
  // replacing the styles and records.
  void ReadFromStream(TBitsEngine& be) override;

  TSWFShapeRecordList ShapeRecords;
  TSWFFillStyleList FillStyles;
  TSWFLineStyleList LineStyles;
  bool HasAlpha = false;
  TSWFRect ShapeBounds;
  uint16_t ShapeID = 0;
};

class TSWFDefineShape3 : public TSWFDefineShape {
 public:
  TSWFDefineShape3() {
    TagID = tagDefineShape3;
    HasAlpha = true;
  }
  int MinVersion() const override { return 3; }
};

}  // namespace swf
