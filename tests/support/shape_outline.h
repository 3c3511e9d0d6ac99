#pragma once
// Walks decoded shape records the way a player does, sub-path by sub-path,
// so tests can check that outlines close.
#include <cstdint>
#include <utility>
#include <vector>

#include "swf/tags/shape_tags.h"

namespace vtest {

struct TSubPath {
  int64_t StartX = 0, StartY = 0, EndX = 0, EndY = 0;
  bool Filled = false;  // a fill style was selected on either side
  bool Lined = false;   // a line style was selected
  int Edges = 0;
  bool Closed() const { return StartX == EndX && StartY == EndY; }
};

// A sub-path starts at every style change record; moves are absolute, edges
// relative. Sub-paths without edges are left out.
std::vector<TSubPath> SubPaths(const swf::TSWFShapeRecordList& records);

// Where the pen stands after the last record, moves included.
std::pair<int64_t, int64_t> FinalPen(const swf::TSWFShapeRecordList& records);

// Reads the body of a DefineShape, DefineShape2 or DefineShape3 tag.
swf::TSWFDefineShape ReadShapeTag(uint16_t tagID, const std::vector<uint8_t>& body);

struct TTag {
  uint16_t Code = 0;
  std::vector<uint8_t> Body;
};

// The tags of an uncompressed SWF file (header checked and skipped).
std::vector<TTag> ReadTags(const std::vector<uint8_t>& swf);

}  // namespace vtest
