#include "swf/tags/shape_tags.h"

#include <algorithm>
#include <cassert>

#include "swf/core/bit_math.h"
#include "swf/core/swf_error.h"

namespace swf {

namespace {

void WriteColor(TBitsEngine& be, const TSWFRGBA& color, bool hasAlpha) {
  if (hasAlpha)
    be.WriteRGBA(color.RGBA());
  else
    be.WriteRGB(color.RGB());
}

void ReadColor(TBitsEngine& be, TSWFRGBA& color, bool hasAlpha) {
  if (hasAlpha) {
    const TSWFRGBARec c = be.ReadRGBA();
    color.SetRGBA(PackRGBA(c));
  } else {
    color.SetRGB(be.ReadRGB());
  }
}

// Style counts: one byte up to 254, else 255 and a word.
void WriteStyleCount(TBitsEngine& be, size_t count) {
  if (count <= 254) {
    be.WriteByte(uint8_t(count));
  } else {
    be.WriteByte(255);
    be.WriteWord(uint16_t(count));
  }
}

// A count read from the data, checked against what is left: every style
// takes at least minBytes, so a larger count cannot be real.
size_t ReadStyleCount(TBitsEngine& be, size_t minBytes) {
  size_t count = be.ReadByte();
  if (count == 255) count = be.ReadWord();
  TMemoryStream& s = be.Stream();
  const size_t left = s.Size() > s.Position() ? s.Size() - s.Position() : 0;
  if (count > left / minBytes) throw ESWFError("Shape style count exceeds the tag data");
  return count;
}

}  // namespace

// --- line style ---

void TSWFLineStyle::Assign(const TSWFLineStyle& source) {
  Width = source.Width;
  Color.Assign(source.Color);
}

void TSWFLineStyle::Write(TBitsEngine& be, bool hasAlpha) const {
  be.WriteWord(Width);
  WriteColor(be, Color, hasAlpha);
}

void TSWFLineStyle::Read(TBitsEngine& be, bool hasAlpha) {
  Width = be.ReadWord();
  ReadColor(be, Color, hasAlpha);
}

// --- fill styles ---

std::unique_ptr<TSWFFillStyle> CreateFillStyle(uint8_t type) {
  switch (type) {
    case fsSolid:
      return std::make_unique<TSWFColorFill>();
    case fsLinearGradient:
    case fsRadialGradient: {
      auto fill = std::make_unique<TSWFGradientFill>();
      fill->SetRadial(type == fsRadialGradient);
      return fill;
    }
    case fsRepeatingBitmap:
    case fsClippedBitmap:
    case fsNonSmoothedRepeatingBitmap:
    case fsNonSmoothedClippedBitmap: {
      auto fill = std::make_unique<TSWFImageFill>();
      fill->SetFillStyleType(type);
      return fill;
    }
    default:
      return nullptr;
  }
}

std::unique_ptr<TSWFFillStyle> CopyFillStyle(const TSWFFillStyle& source) {
  auto copy = CreateFillStyle(source.FillStyleType());
  if (copy) copy->Assign(source);
  return copy;
}

void TSWFColorFill::Assign(const TSWFFillStyle& source) {
  TSWFFillStyle::Assign(source);
  if (auto* s = dynamic_cast<const TSWFColorFill*>(&source)) Color.Assign(s->Color);
}

void TSWFColorFill::Read(TBitsEngine& be) {
  ReadColor(be, Color, HasAlpha);
}

void TSWFColorFill::Write(TBitsEngine& be) const {
  be.WriteByte(type_);
  WriteColor(be, Color, HasAlpha);
}

TSWFGradientFill::TEntry& TSWFGradientFill::Entry(int i) {
  assert(i >= 1 && i <= kMaxEntries);
  return entries_[size_t(std::clamp(i, 1, kMaxEntries) - 1)];
}

const TSWFGradientFill::TEntry& TSWFGradientFill::Entry(int i) const {
  assert(i >= 1 && i <= kMaxEntries);
  return entries_[size_t(std::clamp(i, 1, kMaxEntries) - 1)];
}

TSWFRGBA& TSWFGradientFill::GradientColor(int i) {
  return Entry(i).Color;
}
const TSWFRGBA& TSWFGradientFill::GradientColor(int i) const {
  return Entry(i).Color;
}

void TSWFGradientFill::Assign(const TSWFFillStyle& source) {
  TSWFFillStyle::Assign(source);
  auto* s = dynamic_cast<const TSWFGradientFill*>(&source);
  if (!s) return;
  type_ = s->type_;
  Matrix.Assign(s->Matrix);
  GradientCount = s->GradientCount;
  for (int i = 1; i <= kMaxEntries; ++i) {
    Entry(i).Ratio = s->Entry(i).Ratio;
    Entry(i).Color.Assign(s->Entry(i).Color);
  }
}

void TSWFGradientFill::Read(TBitsEngine& be) {
  Matrix.SetRec(be.ReadMatrix());
  GradientCount = be.ReadByte();
  if (GradientCount > kMaxEntries) throw ESWFError("Gradient with more than 8 colours");
  for (int i = 1; i <= GradientCount; ++i) {
    Entry(i).Ratio = be.ReadByte();
    ReadColor(be, Entry(i).Color, HasAlpha);
  }
}

void TSWFGradientFill::Write(TBitsEngine& be) const {
  be.WriteByte(type_);
  be.WriteMatrix(Matrix.Rec());
  const int count = std::min<int>(GradientCount, kMaxEntries);
  be.WriteByte(uint8_t(count));
  for (int i = 1; i <= count; ++i) {
    be.WriteByte(Entry(i).Ratio);
    WriteColor(be, Entry(i).Color, HasAlpha);
  }
}

void TSWFImageFill::SetFillStyleType(uint8_t type) {
  if (type >= fsRepeatingBitmap && type <= fsNonSmoothedClippedBitmap) type_ = type;
}

void TSWFImageFill::Assign(const TSWFFillStyle& source) {
  TSWFFillStyle::Assign(source);
  auto* s = dynamic_cast<const TSWFImageFill*>(&source);
  if (!s) return;
  type_ = s->type_;
  ImageID = s->ImageID;
  Matrix.Assign(s->Matrix);
}

void TSWFImageFill::Read(TBitsEngine& be) {
  ImageID = be.ReadWord();
  Matrix.SetRec(be.ReadMatrix());
}

void TSWFImageFill::Write(TBitsEngine& be) const {
  be.WriteByte(type_);
  be.WriteWord(ImageID);
  be.WriteMatrix(Matrix.Rec());
}

void WriteStyleArrays(TBitsEngine& be, TSWFFillStyleList& fills, const TSWFLineStyleList& lines,
                      bool hasAlpha) {
  WriteStyleCount(be, fills.size());
  for (auto& fill : fills) {
    fill->HasAlpha = hasAlpha;
    fill->Write(be);
  }
  WriteStyleCount(be, lines.size());
  for (const auto& line : lines) line->Write(be, hasAlpha);
}

void ReadStyleArrays(TBitsEngine& be, TSWFFillStyleList& fills, TSWFLineStyleList& lines,
                     bool hasAlpha) {
  fills.clear();
  lines.clear();
  const size_t fillCount = ReadStyleCount(be, 4);
  for (size_t i = 0; i < fillCount; ++i) {
    const uint8_t type = be.ReadByte();
    auto fill = CreateFillStyle(type);
    if (!fill) throw ESWFError("Unknown fill style type " + std::to_string(type));
    fill->HasAlpha = hasAlpha;
    fill->Read(be);
    fills.push_back(std::move(fill));
  }
  const size_t lineCount = ReadStyleCount(be, 5);
  for (size_t i = 0; i < lineCount; ++i) {
    auto line = std::make_unique<TSWFLineStyle>();
    line->Read(be, hasAlpha);
    lines.push_back(std::move(line));
  }
}

// --- shape records ---

void TSWFEndShapeRecord::Write(TBitsEngine& be) {
  be.WriteBits(0, 6);
}

void TSWFStraightEdgeRecord::Assign(const TSWFShapeRecord& source) {
  if (auto* s = dynamic_cast<const TSWFStraightEdgeRecord*>(&source)) {
    X = s->X;
    Y = s->Y;
  }
}

void TSWFStraightEdgeRecord::Write(TBitsEngine& be) {
  if (X == 0 && Y == 0) return;
  const unsigned n = GetBitsCount(MaxAbs({X, Y}));
  assert(n <= 17);
  // Edge and straight flags, the bit count less 2, then the general line flag
  // (or, for a line along an axis, its flag and the vertical flag).
  if (X != 0 && Y != 0) {
    be.WriteBits(0x60 | ((n - 2) & 15) << 1 | 1, 7);
    be.WriteSBits(X, n);
    be.WriteSBits(Y, n);
  } else {
    be.WriteBits(0xC0 | ((n - 2) & 15) << 2 | (X == 0 ? 1 : 0), 8);
    be.WriteSBits(X == 0 ? Y : X, n);
  }
}

void TSWFCurvedEdgeRecord::Assign(const TSWFShapeRecord& source) {
  if (auto* s = dynamic_cast<const TSWFCurvedEdgeRecord*>(&source)) {
    ControlX = s->ControlX;
    ControlY = s->ControlY;
    AnchorX = s->AnchorX;
    AnchorY = s->AnchorY;
  }
}

void TSWFCurvedEdgeRecord::Write(TBitsEngine& be) {
  if (ControlX == 0 && ControlY == 0 && AnchorX == 0 && AnchorY == 0) return;
  const unsigned n = GetBitsCount(MaxAbs({ControlX, ControlY, AnchorX, AnchorY}));
  assert(n <= 17);
  be.WriteBits(0x20 | ((n - 2) & 15), 6);  // edge, curved, the bit count less 2
  for (int32_t v : {ControlX, ControlY, AnchorX, AnchorY}) be.WriteSBits(v, n);
}

TSWFFillStyleList& TSWFStyleChangeRecord::NewFillStyles() {
  if (!newFillStyles_) newFillStyles_ = std::make_unique<TSWFFillStyleList>();
  HasNewStyles = true;
  return *newFillStyles_;
}

TSWFLineStyleList& TSWFStyleChangeRecord::NewLineStyles() {
  if (!newLineStyles_) newLineStyles_ = std::make_unique<TSWFLineStyleList>();
  HasNewStyles = true;
  return *newLineStyles_;
}

void TSWFStyleChangeRecord::Assign(const TSWFShapeRecord& source) {
  TSWFStraightEdgeRecord::Assign(source);
  auto* s = dynamic_cast<const TSWFStyleChangeRecord*>(&source);
  if (!s || s == this) return;
  FillBits = s->FillBits;
  LineBits = s->LineBits;
  fill0Id_ = s->fill0Id_;
  fill1Id_ = s->fill1Id_;
  lineId_ = s->lineId_;
  HasFillStyle0 = s->HasFillStyle0;
  HasFillStyle1 = s->HasFillStyle1;
  HasLineStyle = s->HasLineStyle;
  HasMoveTo = s->HasMoveTo;
  HasNewStyles = s->HasNewStyles;
  HasAlpha = s->HasAlpha;
  if (!s->HasNewStyles) return;
  TSWFFillStyleList& fills = NewFillStyles();
  if (s->newFillStyles_)
    for (const auto& f : *s->newFillStyles_)
      if (auto copy = CopyFillStyle(*f)) fills.push_back(std::move(copy));
  TSWFLineStyleList& lines = NewLineStyles();
  if (s->newLineStyles_)
    for (const auto& l : *s->newLineStyles_) {
      lines.push_back(std::make_unique<TSWFLineStyle>());
      lines.back()->Assign(*l);
    }
}

void TSWFStyleChangeRecord::Write(TBitsEngine& be) {
  // A record that selects no style always moves, so that it never reads as
  // the end record.
  const bool move = (HasFillStyle0 || HasFillStyle1 || HasLineStyle) ? HasMoveTo : true;
  // Not an edge (0), then the five flags.
  be.WriteBits(uint32_t(HasNewStyles) << 4 | uint32_t(HasLineStyle) << 3 |
                   uint32_t(HasFillStyle1) << 2 | uint32_t(HasFillStyle0) << 1 | uint32_t(move),
               6);
  if (move) be.WriteSBitsGroup({X, Y}, 5);
  if (HasFillStyle0) be.WriteBits(fill0Id_, FillBits);
  if (HasFillStyle1) be.WriteBits(fill1Id_, FillBits);
  if (HasLineStyle) be.WriteBits(lineId_, LineBits);
  if (HasNewStyles) {
    be.FlushLastByte(true);
    TSWFFillStyleList& fills = NewFillStyles();
    TSWFLineStyleList& lines = NewLineStyles();
    WriteStyleArrays(be, fills, lines, HasAlpha);
    FillBits = GetBitsLength(uint32_t(fills.size()));
    LineBits = GetBitsLength(uint32_t(lines.size()));
    be.WriteBits(FillBits, 4);
    be.WriteBits(LineBits, 4);
  }
}

std::unique_ptr<TSWFShapeRecord> CreateShapeRecord(TSWFShapeRecordKind kind) {
  switch (kind) {
    case rkStyleChange:
      return std::make_unique<TSWFStyleChangeRecord>();
    case rkStraightEdge:
      return std::make_unique<TSWFStraightEdgeRecord>();
    case rkCurvedEdge:
      return std::make_unique<TSWFCurvedEdgeRecord>();
    case rkEndShape:
      break;
  }
  return std::make_unique<TSWFEndShapeRecord>();
}

void CopyShapeRecords(const TSWFShapeRecordList& source, TSWFShapeRecordList& target) {
  if (source.empty()) {
    target.clear();
    return;
  }
  // By index over the original count: source may be target itself.
  const size_t count = source.size();
  target.reserve(target.size() + count);
  for (size_t i = 0; i < count; ++i) {
    auto copy = CreateShapeRecord(source[i]->RecordKind());
    copy->Assign(*source[i]);
    target.push_back(std::move(copy));
  }
}

namespace {

std::unique_ptr<TSWFShapeRecord> ReadEdgeRecord(TBitsEngine& be) {
  const bool straight = be.ReadBit();
  const unsigned n = be.ReadBits(4) + 2;
  if (!straight) {
    auto curve = std::make_unique<TSWFCurvedEdgeRecord>();
    curve->ControlX = be.ReadSBits(n);
    curve->ControlY = be.ReadSBits(n);
    curve->AnchorX = be.ReadSBits(n);
    curve->AnchorY = be.ReadSBits(n);
    return curve;
  }
  auto line = std::make_unique<TSWFStraightEdgeRecord>();
  if (be.ReadBit()) {  // general line
    line->X = be.ReadSBits(n);
    line->Y = be.ReadSBits(n);
  } else if (be.ReadBit()) {  // vertical
    line->Y = be.ReadSBits(n);
  } else {
    line->X = be.ReadSBits(n);
  }
  return line;
}

}  // namespace

void ReadShapeRecords(TBitsEngine& be, uint8_t fillBits, uint8_t lineBits, bool hasAlpha,
                      TSWFShapeRecordList& records) {
  for (;;) {
    if (be.ReadBit()) {
      records.push_back(ReadEdgeRecord(be));
      continue;
    }
    const uint32_t flags = be.ReadBits(5);
    if (flags == 0) {
      records.push_back(std::make_unique<TSWFEndShapeRecord>());
      return;
    }
    auto sc = std::make_unique<TSWFStyleChangeRecord>();
    sc->HasAlpha = hasAlpha;
    sc->FillBits = fillBits;
    sc->LineBits = lineBits;
    if (flags & 1) {
      const unsigned n = be.ReadBits(5);
      const int32_t x = be.ReadSBits(n);
      sc->SetMoveTo(x, be.ReadSBits(n));
    }
    if (flags & 2) sc->SetFill0Id(uint16_t(be.ReadBits(fillBits)));
    if (flags & 4) sc->SetFill1Id(uint16_t(be.ReadBits(fillBits)));
    if (flags & 8) sc->SetLineId(uint16_t(be.ReadBits(lineBits)));
    if (flags & 16) {
      ReadStyleArrays(be, sc->NewFillStyles(), sc->NewLineStyles(), hasAlpha);
      fillBits = uint8_t(be.ReadBits(4));
      lineBits = uint8_t(be.ReadBits(4));
      sc->FillBits = fillBits;
      sc->LineBits = lineBits;
    }
    records.push_back(std::move(sc));
  }
}

// --- DefineShape ---

void TSWFDefineShape::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFDefineShape*>(&source);
  if (!s || s == this) return;
  ShapeID = s->ShapeID;
  ShapeBounds.Assign(s->ShapeBounds);
  HasAlpha = s->HasAlpha;
  CopyShapeRecords(s->ShapeRecords, ShapeRecords);
  for (const auto& l : s->LineStyles) {
    LineStyles.push_back(std::make_unique<TSWFLineStyle>());
    LineStyles.back()->Assign(*l);
  }
  for (const auto& f : s->FillStyles)
    if (auto copy = CopyFillStyle(*f)) FillStyles.push_back(std::move(copy));
}

void TSWFDefineShape::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ShapeID);
  be.WriteRect(ShapeBounds.Rec());
  WriteStyleArrays(be, FillStyles, LineStyles, HasAlpha);
  uint8_t fillBits = GetBitsLength(uint32_t(FillStyles.size()));
  uint8_t lineBits = GetBitsLength(uint32_t(LineStyles.size()));
  be.WriteBits(fillBits, 4);
  be.WriteBits(lineBits, 4);
  const size_t count = ShapeRecords.size();
  for (size_t i = 0; i < count; ++i) {
    TSWFShapeRecord& record = *ShapeRecords[i];
    auto* sc = record.RecordKind() == rkStyleChange ? static_cast<TSWFStyleChangeRecord*>(&record)
                                                    : nullptr;
    if (sc) {
      sc->HasAlpha = HasAlpha;
      sc->FillBits = fillBits;
      sc->LineBits = lineBits;
      if (!sc->HasNewStyles) {  // no style to select
        if (fillBits == 0) sc->HasFillStyle0 = sc->HasFillStyle1 = false;
        if (lineBits == 0) sc->HasLineStyle = false;
      }
    }
    // The end record goes out once, at the very end.
    if (record.RecordKind() == rkEndShape && i + 1 < count) continue;
    record.Write(be);
    if (sc && sc->HasNewStyles) {
      fillBits = sc->FillBits;
      lineBits = sc->LineBits;
    }
  }
  if (count == 0 || ShapeRecords.back()->RecordKind() != rkEndShape) be.WriteBits(0, 6);
  be.FlushLastByte(true);
}

void TSWFDefineShape::ReadFromStream(TBitsEngine& be) {
  HasAlpha = TagID == tagDefineShape3;
  ShapeID = be.ReadWord();
  ShapeBounds.SetRec(be.ReadRect());
  ReadStyleArrays(be, FillStyles, LineStyles, HasAlpha);
  const uint8_t fillBits = uint8_t(be.ReadBits(4));
  const uint8_t lineBits = uint8_t(be.ReadBits(4));
  ShapeRecords.clear();
  ReadShapeRecords(be, fillBits, lineBits, HasAlpha, ShapeRecords);
  be.AlignRead();
}

}  // namespace swf
