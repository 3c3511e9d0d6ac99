#include "support/shape_outline.h"

#include <gtest/gtest.h>

namespace vtest {

using namespace swf;

std::vector<TSubPath> SubPaths(const TSWFShapeRecordList& records) {
  std::vector<TSubPath> paths;
  TSubPath current;
  int64_t x = 0, y = 0;
  uint16_t fill0 = 0, fill1 = 0, line = 0;
  auto finish = [&] {
    if (current.Edges > 0) paths.push_back(current);
    current = TSubPath{x, y, x, y, fill0 || fill1, line != 0, 0};
  };
  for (const auto& r : records) {
    switch (r->RecordKind()) {
      case rkStyleChange: {
        auto& sc = static_cast<const TSWFStyleChangeRecord&>(*r);
        if (sc.HasMoveTo) {
          x = sc.X;
          y = sc.Y;
        }
        if (sc.HasFillStyle0) fill0 = sc.Fill0Id();
        if (sc.HasFillStyle1) fill1 = sc.Fill1Id();
        if (sc.HasLineStyle) line = sc.LineId();
        finish();
        break;
      }
      case rkStraightEdge: {
        auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
        x += e.X;
        y += e.Y;
        break;
      }
      case rkCurvedEdge: {
        auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
        x += c.ControlX + c.AnchorX;
        y += c.ControlY + c.AnchorY;
        break;
      }
      case rkEndShape:
        break;
    }
    if (r->RecordKind() == rkStraightEdge || r->RecordKind() == rkCurvedEdge) {
      ++current.Edges;
      current.EndX = x;
      current.EndY = y;
    }
  }
  finish();
  return paths;
}

std::pair<int64_t, int64_t> FinalPen(const TSWFShapeRecordList& records) {
  int64_t x = 0, y = 0;
  for (const auto& r : records) {
    if (r->RecordKind() == rkStyleChange) {
      auto& sc = static_cast<const TSWFStyleChangeRecord&>(*r);
      if (sc.HasMoveTo) x = sc.X, y = sc.Y;
    } else if (r->RecordKind() == rkStraightEdge) {
      auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
      x += e.X, y += e.Y;
    } else if (r->RecordKind() == rkCurvedEdge) {
      auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
      x += c.ControlX + c.AnchorX, y += c.ControlY + c.AnchorY;
    }
  }
  return {x, y};
}

TSWFDefineShape ReadShapeTag(uint16_t tagID, const std::vector<uint8_t>& body) {
  TSWFDefineShape tag;
  tag.TagID = tagID;
  TMemoryStream stream(body);
  TBitsEngine be(stream);
  tag.ReadFromStream(be);
  EXPECT_EQ(stream.Position(), body.size()) << "shape tag " << tagID << " has trailing bytes";
  return tag;
}

std::vector<TTag> ReadTags(const std::vector<uint8_t>& swf) {
  std::vector<TTag> tags;
  TMemoryStream stream(swf);
  TBitsEngine be(stream);
  uint8_t signature[3];
  be.ReadBytes(signature, 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(signature), 3), "FWS");
  be.ReadByte();                          // version
  EXPECT_EQ(be.ReadDWord(), swf.size());  // file length
  be.ReadRect();
  be.ReadWord();  // frame rate
  be.ReadWord();  // frame count
  while (stream.Position() < swf.size()) {
    const uint16_t header = be.ReadWord();
    uint32_t length = header & 63;
    if (length == 63) length = be.ReadDWord();
    TTag tag;
    tag.Code = header >> 6;
    tag.Body.resize(length);
    be.ReadBytes(tag.Body.data(), length);
    tags.push_back(std::move(tag));
  }
  return tags;
}

}  // namespace vtest
