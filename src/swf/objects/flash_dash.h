#pragma once
// The dashed outline of a shape: turns the shape's records into a new list
// in which every edge is cut into dashes (drawn pieces) and gaps (moves),
// following a repeating pattern. Used by TFlashShape when it is written.
#include <cstdint>
#include <vector>

#include "swf/tags/shape_tags.h"

namespace swf {

class TDashedOutline {
 public:
  // Pattern lengths are pixels (always 20 twips each); the pattern needs at
  // least one non-zero entry. Converted records are appended to out.
  TDashedOutline(const std::vector<uint8_t>& pattern, TSWFShapeRecordList& out);

  void Convert(const TSWFShapeRecord& record);

 private:
  // The next piece length in twips; a carried remainder comes first and
  // continues the interrupted dash or gap.
  int64_t NextPiece();
  void StyleChange(const TSWFStyleChangeRecord& source);
  void StraightEdge(int64_t dx, int64_t dy);
  void CurvedEdge(int64_t cx, int64_t cy, int64_t ax, int64_t ay);
  // A gap: a move to the absolute point, drawing with the dash line style next.
  void Gap(int64_t x, int64_t y);
  void Dash(int64_t dx, int64_t dy);
  // A drawn piece of a curve, with its control offset.
  void DashPiece(int64_t du, int64_t dv, int64_t ox, int64_t oy, int64_t piece);

  const std::vector<uint8_t>& pattern_;
  TSWFShapeRecordList& out_;
  bool pen_ = true;
  size_t position_ = 0;
  int64_t carry_ = 0;
  uint16_t dashLine_ = 0;
  int64_t px_ = 0, py_ = 0;
};

// At least one entry is non-zero, so that the pieces make progress.
bool IsUsableDashPattern(const std::vector<uint8_t>& pattern);

}  // namespace swf
