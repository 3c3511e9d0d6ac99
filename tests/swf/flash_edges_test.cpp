#include "swf/objects/flash_edges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "swf/objects/flash_movie.h"

namespace {

using namespace swf;

struct Delta {
  int64_t X = 0, Y = 0;
  bool operator==(const Delta&) const = default;
};

// Sum of the edge deltas of records [from, end).
Delta SumOfEdges(const TSWFShapeRecordList& records, size_t from = 0) {
  Delta d;
  for (size_t i = from; i < records.size(); ++i) {
    const TSWFShapeRecord& r = *records[i];
    if (r.RecordKind() == rkStraightEdge) {
      auto& e = static_cast<const TSWFStraightEdgeRecord&>(r);
      d.X += e.X;
      d.Y += e.Y;
    } else if (r.RecordKind() == rkCurvedEdge) {
      auto& c = static_cast<const TSWFCurvedEdgeRecord&>(r);
      d.X += c.ControlX + c.AnchorX;
      d.Y += c.ControlY + c.AnchorY;
    }
  }
  return d;
}

int CountKind(const TSWFShapeRecordList& records, TSWFShapeRecordKind kind) {
  int n = 0;
  for (const auto& r : records) n += r->RecordKind() == kind;
  return n;
}

bool AllDeltasFit(const TSWFShapeRecordList& records) {
  for (const auto& r : records) {
    if (r->RecordKind() == rkStraightEdge) {
      auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
      if (std::abs(e.X) > 65535 || std::abs(e.Y) > 65535) return false;
    } else if (r->RecordKind() == rkCurvedEdge) {
      auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
      for (int32_t v : {c.ControlX, c.ControlY, c.AnchorX, c.AnchorY})
        if (std::abs(v) > 65535) return false;
    }
  }
  return true;
}

const TSWFStraightEdgeRecord& Line(const TSWFShapeRecordList& records, size_t i) {
  EXPECT_EQ(records.at(i)->RecordKind(), rkStraightEdge);
  return static_cast<const TSWFStraightEdgeRecord&>(*records.at(i));
}

class EdgesTest : public testing::Test {
 protected:
  TSWFShapeRecordList records;
  TFlashEdges edges{records};
};

TEST_F(EdgesTest, StartsWithAFillSelectingStyleRecord) {
  ASSERT_EQ(records.size(), 1u);
  auto& sc = static_cast<TSWFStyleChangeRecord&>(*records[0]);
  EXPECT_TRUE(sc.HasFillStyle1);
  EXPECT_EQ(sc.Fill1Id(), 0);
  // A move to the origin of a fresh list adds nothing.
  edges.MoveTo(0, 0);
  EXPECT_FALSE(sc.HasMoveTo);
  // Consecutive moves update the same record.
  edges.MoveTo(10, 20);
  edges.MoveDelta(5, 5);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(sc.HasMoveTo);
  EXPECT_EQ(sc.X, 15);
  EXPECT_EQ(sc.Y, 25);
  EXPECT_EQ(edges.StartPoint, (TEdgePoint{15, 25}));
  // After an edge, a move starts a new record.
  edges.LineDelta(10, 0);
  edges.MoveDelta(0, 0);
  EXPECT_EQ(CountKind(records, rkStyleChange), 2);
}

TEST_F(EdgesTest, LongLinesAreCutIntoEqualPieces) {
  struct Row {
    int32_t dx, dy;
    size_t pieces;
  };
  const Row rows[] = {{200000, 0, 4}, {-200001, 7, 4}, {65535, -65535, 1},
                      {65536, 3, 2},  {0, -131071, 3}, {2000000000, -5, 30519}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.dx);
    records.clear();
    edges.CurrentPoint = {};
    edges.LineDelta(r.dx, r.dy);
    EXPECT_EQ(records.size(), r.pieces);
    EXPECT_EQ(SumOfEdges(records), (Delta{r.dx, r.dy}));
    EXPECT_TRUE(AllDeltasFit(records));
    EXPECT_EQ(edges.CurrentPoint, (TEdgePoint{r.dx, r.dy}));
  }
  records.clear();
  edges.LineDelta(200000, 0);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(Line(records, i).X, 50000);
}

TEST_F(EdgesTest, DegenerateCurvesBecomeLines) {
  struct Row {
    int32_t cx, cy, ax, ay;
    TSWFShapeRecordKind kind;
    int32_t lineX, lineY;
  };
  const Row rows[] = {
      {0, 0, 30, 40, rkStraightEdge, 30, 40}, {30, 40, 0, 0, rkStraightEdge, 30, 40},
      {30, 0, -10, 0, rkStraightEdge, 20, 0}, {0, 30, 0, 15, rkStraightEdge, 0, 45},
      {30, 0, 0, 15, rkCurvedEdge, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.cx << "," << r.cy << "," << r.ax << "," << r.ay);
    records.clear();
    edges.CurrentPoint = {100, 100};
    edges.CurveDelta(r.cx, r.cy, r.ax, r.ay);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]->RecordKind(), r.kind);
    if (r.kind == rkStraightEdge) {
      EXPECT_EQ(SumOfEdges(records), (Delta{r.lineX, r.lineY}));
    }
    // The pen moves once, by both deltas.
    EXPECT_EQ(edges.CurrentPoint, (TEdgePoint{100 + r.cx + r.ax, 100 + r.cy + r.ay}));
  }
  // A curve back to the pen is dropped.
  records.clear();
  edges.CurrentPoint = {100, 100};
  EXPECT_EQ(edges.CurveTo(500, 500, 100, 100), nullptr);
  EXPECT_TRUE(records.empty());
  // Curves too large for the record's 17-bit fields are halved until they fit.
  edges.CurveTo(100000, 300000, 200000, 100);
  EXPECT_GT(records.size(), 1u);
  EXPECT_TRUE(AllDeltasFit(records));
  EXPECT_EQ(SumOfEdges(records), (Delta{199900, 0}));
  EXPECT_EQ(edges.CurrentPoint, (TEdgePoint{200000, 100}));
}

TEST_F(EdgesTest, EllipseSegments) {
  edges.MakeEllipse(100, 100);
  auto& move = static_cast<TSWFStyleChangeRecord&>(*records[0]);
  EXPECT_EQ(move.X, 100);  // the rightmost point
  EXPECT_EQ(move.Y, 50);
  ASSERT_EQ(records.size(), 9u);
  ASSERT_EQ(CountKind(records, rkCurvedEdge), 8);
  auto& first = static_cast<TSWFCurvedEdgeRecord&>(*records[1]);
  EXPECT_EQ(first.ControlX, 0);
  EXPECT_EQ(first.ControlY, 20);
  EXPECT_EQ(first.AnchorX, -14);
  EXPECT_EQ(first.AnchorY, 14);
  EXPECT_EQ(SumOfEdges(records), Delta{});
  EXPECT_EQ(edges.CurrentPoint, edges.StartPoint);
}

TEST_F(EdgesTest, StarPointsLieOnTheirCircles) {
  struct Row {
    int points;
    bool curved;
    int straight, curves;
  };
  const Row rows[] = {{5, false, 10, 0}, {1, false, 4, 0}, {1000, false, 720, 0}, {6, true, 0, 6}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.points);
    records.clear();
    edges.CurrentPoint = edges.StartPoint = {};
    edges.CurrentStyleRecord();
    edges.MakeStar(1000, 1000, 800, 800, r.points, r.curved);
    EXPECT_EQ(CountKind(records, rkStraightEdge), r.straight);
    EXPECT_EQ(CountKind(records, rkCurvedEdge), r.curves);
    auto& move = static_cast<TSWFStyleChangeRecord&>(*records[0]);
    EXPECT_EQ(move.X, 1000);  // the top point
    EXPECT_EQ(move.Y, 200);
    EXPECT_EQ(SumOfEdges(records), Delta{});
    if (r.curved) continue;
    int64_t x = move.X, y = move.Y;
    for (size_t i = 1; i < records.size(); ++i) {
      x += Line(records, i).X;
      y += Line(records, i).Y;
      EXPECT_NEAR(std::hypot(double(x - 1000), double(y - 1000)), 800.0, 1.0);
    }
  }
}

TEST_F(EdgesTest, OddDiamondStillCloses) {
  edges.MakeDiamond(5, 9);
  ASSERT_EQ(records.size(), 5u);
  const int32_t expected[4][2] = {{2, 4}, {-2, 4}, {-2, -4}, {2, -4}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Line(records, i + 1).X, expected[i][0]);
    EXPECT_EQ(Line(records, i + 1).Y, expected[i][1]);
  }
}

TEST(Edges, PrimitivesCloseInPixelMovies) {
  TFlashMovie movie(0, 0, 550, 400, 12, true);
  struct Row {
    const char* name;
    std::function<void(TFlashEdges&)> draw;
    int straight, curves;
  };
  const Row rows[] = {
      {"rectangle", [](auto& e) { e.MakeRectangle(100, 50); }, 4, 0},
      {"round rect", [](auto& e) { e.MakeRoundRect(101, 57, 13); }, 4, 8},
      {"ellipse", [](auto& e) { e.MakeEllipse(77, 31); }, 0, 8},
      {"diamond", [](auto& e) { e.MakeDiamond(33, 17); }, 4, 0},
      {"star", [](auto& e) { e.MakeStar(50, 60, 40, 15, 7, false); }, 14, 0},
      {"curved star", [](auto& e) { e.MakeStar(50, 60, 40, 15, 7, true); }, 0, 7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TSWFShapeRecordList records;
    TFlashEdges edges(records);
    edges.SetOwner(&movie);
    edges.MoveTo(10, 10);
    r.draw(edges);
    EXPECT_EQ(CountKind(records, rkStraightEdge), r.straight);
    EXPECT_EQ(CountKind(records, rkCurvedEdge), r.curves);
    EXPECT_EQ(SumOfEdges(records), Delta{});
    EXPECT_FALSE(edges.NoScale);
  }
  // The rectangle is scaled once: 100 x 50 pixels are 2000 x 1000 twips.
  TSWFShapeRecordList records;
  TFlashEdges edges(records);
  edges.SetOwner(&movie);
  edges.MoveTo(10, 10);
  edges.MakeRectangle(100, 50);
  EXPECT_EQ(static_cast<TSWFStyleChangeRecord&>(*records[0]).X, 200);
  EXPECT_EQ(Line(records, 1).X, 2000);
  EXPECT_EQ(Line(records, 2).Y, 1000);
  EXPECT_EQ(Line(records, 3).X, -2000);
  EXPECT_EQ(Line(records, 4).Y, -1000);
}

TEST_F(EdgesTest, CloseAndMirror) {
  edges.MoveTo(100, 100);
  edges.LineTo(300, 100);
  edges.CurveTo(400, 200, 300, 300);
  EXPECT_NE(edges.CloseShape(), nullptr);
  EXPECT_EQ(edges.CloseShape(), nullptr);  // already closed
  EXPECT_EQ(SumOfEdges(records), Delta{});
  edges.EndShape();
  edges.MakeMirror(true, true);
  auto& move = static_cast<TSWFStyleChangeRecord&>(*records[0]);
  EXPECT_EQ(move.X, -100);
  EXPECT_EQ(move.Y, -100);
  EXPECT_EQ(Line(records, 1).X, -200);
  auto& curve = static_cast<TSWFCurvedEdgeRecord&>(*records[2]);
  EXPECT_EQ(curve.ControlX, -100);
  EXPECT_EQ(curve.ControlY, -100);
  EXPECT_EQ(curve.AnchorX, 100);
  EXPECT_EQ(curve.AnchorY, -100);
  EXPECT_EQ(edges.CurrentPoint, (TEdgePoint{100, 100}));  // the pen stays
}

}  // namespace
