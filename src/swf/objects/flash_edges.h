#pragma once
// TFlashEdges: the outline builder shared by shapes and glyphs. It turns
// moves, lines, quadratic curves and a few primitives into shape records,
// appended to a record list it does not own.
//
// Arguments are in user units: pixels when the owner movie works in pixels,
// twips otherwise (and always without an owner movie); positions kept here
// are twips. Y grows downward; every primitive runs clockwise on screen and
// ends where it started.
#include <cstdint>

#include "swf/tags/shape_tags.h"

namespace swf {

class TFlashMovie;

struct TEdgePoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TEdgePoint&) const = default;
};

class TFlashEdges {
 public:
  // Starts the list with a style change record that selects fill style 1.
  explicit TFlashEdges(TSWFShapeRecordList& records);
  TFlashEdges(const TFlashEdges&) = delete;
  TFlashEdges& operator=(const TFlashEdges&) = delete;

  // 1 with NoScale or without an owner movie, else the movie's factor.
  int CoordFactor() const;
  TFlashMovie* Owner() const { return owner_; }
  void SetOwner(TFlashMovie* owner) { owner_ = owner; }
  TSWFShapeRecordList& Records() { return records_; }

  // The last record when it is a style change record, else a new one appended.
  TSWFStyleChangeRecord& CurrentStyleRecord();

  // Each returns the record it appended or changed last, or none.
  TSWFStyleChangeRecord* MoveTo(int32_t x, int32_t y);
  TSWFStyleChangeRecord* MoveDelta(int32_t dx, int32_t dy);
  // Lines longer than 65535 twips are cut into equal pieces.
  TSWFShapeRecord* LineTo(int32_t x, int32_t y);
  TSWFShapeRecord* LineDelta(int32_t dx, int32_t dy);
  // Control and anchor are absolute points.
  TSWFShapeRecord* CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX, int32_t anchorY);
  // The control delta is taken from the pen, the anchor delta from the control point.
  TSWFShapeRecord* CurveDelta(int32_t controlDX, int32_t controlDY, int32_t anchorDX,
                              int32_t anchorDY);
  // A line back to the start of the sub-path when the pen is elsewhere.
  TSWFShapeRecord* CloseShape();
  TSWFShapeRecord* EndShape();

  // Primitives from the pen (rectangle: a corner; round rectangle and
  // ellipse: the top-left corner of the box; diamond: the top vertex).
  void MakeRectangle(int32_t w, int32_t h);
  void MakeRoundRect(int32_t w, int32_t h, int32_t r);
  void MakeEllipse(int32_t w, int32_t h);
  void MakeDiamond(int32_t w, int32_t h);
  // Around the absolute centre (x, y), first point on top; the point count
  // is kept within 2..360. Curved stars bend each side through the inner point.
  void MakeStar(int32_t x, int32_t y, int32_t outerR, int32_t innerR, int numPoints, bool curved);
  // Negates the X and/or Y values of every record; the pen stays.
  void MakeMirror(bool horizontal, bool vertical);

  TEdgePoint CurrentPoint;  // twips
  TEdgePoint StartPoint;    // the latest move
  bool NoScale = false;

 private:
  class TScaleGuard;

  TSWFStyleChangeRecord* MoveToTwips(int32_t x, int32_t y);
  // A curve in twips (degenerate ones become lines); the pen advances once.
  TSWFShapeRecord* AppendCurve(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady);
  // One 45-degree ellipse segment of a w x h box, in twips.
  void EllipseSegment(int i, int32_t w, int32_t h);

  TSWFShapeRecordList& records_;
  TFlashMovie* owner_ = nullptr;
};

// Appends curved edges for the curve (deltas in twips), halving it until
// every delta fits the record's 17-bit fields. Returns the last record.
TSWFShapeRecord* AppendCurvedEdges(TSWFShapeRecordList& records, int64_t cdx, int64_t cdy,
                                   int64_t adx, int64_t ady);
// Appends straight edges for the delta (twips), cut into equal pieces of at
// most 65535 twips each. Returns the last record, none for a zero delta.
TSWFShapeRecord* AppendStraightEdges(TSWFShapeRecordList& records, int64_t dx, int64_t dy);

}  // namespace swf
