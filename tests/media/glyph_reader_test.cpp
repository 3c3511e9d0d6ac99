#include "media/glyph_reader.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <ostream>
#include <vector>

namespace {

using platform::TCurveKind;
using platform::TFixedPoint;

// What a pen drew, in absolute glyph units: a move, a line or a curve.
struct TSegment {
  char Kind;  // 'M', 'L', 'C'
  int32_t X, Y;
  int32_t CX = 0, CY = 0;  // the control point of a curve
  bool operator==(const TSegment&) const = default;
};

void PrintTo(const TSegment& s, std::ostream* os) {
  *os << s.Kind << "(" << s.X << "," << s.Y;
  if (s.Kind == 'C') *os << " via " << s.CX << "," << s.CY;
  *os << ")";
}

// Records the drawing the way TFlashEdges builds it: lines to the current
// point draw nothing, and a close draws the line back to the last move.
class TRecordingPen : public media::TGlyphPen {
 public:
  void MoveTo(int32_t x, int32_t y) override {
    Segments.push_back({'M', x, y});
    startX_ = curX_ = x;
    startY_ = curY_ = y;
  }
  void LineTo(int32_t x, int32_t y) override {
    if (x != curX_ || y != curY_) Segments.push_back({'L', x, y});
    curX_ = x;
    curY_ = y;
  }
  void CurveTo(int32_t cx, int32_t cy, int32_t ax, int32_t ay) override {
    Segments.push_back({'C', ax, ay, cx, cy});
    curX_ = ax;
    curY_ = ay;
  }
  void CloseShape() override { LineTo(startX_, startY_); }
  void MakeMirror(bool horizontal, bool vertical) override {
    ++Mirrors;
    for (TSegment& s : Segments) {
      if (horizontal) s.X = -s.X, s.CX = -s.CX;
      if (vertical) s.Y = -s.Y, s.CY = -s.CY;
    }
  }

  std::vector<TSegment> Segments;
  int Mirrors = 0;

 private:
  int32_t curX_ = 0, curY_ = 0, startX_ = 0, startY_ = 0;
};

TFixedPoint Fx(double x, double y) {
  return {int32_t(std::lround(x * 65536)), int32_t(std::lround(y * 65536))};
}

TEST(GlyphReader, FixedToIntRoundsHalvesToEven) {
  struct Row { double value; int32_t expected; };
  const Row rows[] = {{12, 12},     {12.5, 12},   {13.5, 14},  {12.25, 12}, {12.75, 13},
                      {-12.5, -12}, {-13.5, -14}, {-0.25, 0},  {-3, -3},    {32767, 32767}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    EXPECT_EQ(media::FixedToInt(int32_t(std::lround(r.value * 65536))), r.expected);
  }
}

TEST(GlyphReader, DrawsPolygonsClosedAndMirrored) {
  struct Row {
    const char* what;
    platform::TGlyphOutline outline;
    std::vector<TSegment> expected;
  };
  const Row rows[] = {
      {"a square from (100, 0), Y upward: it lies at Y 0 to -700 after the mirror",
       {{Fx(100, 0), {{TCurveKind::Polyline, {Fx(100, 700), Fx(600, 700), Fx(600, 0)}}}}},
       {{'M', 100, 0}, {'L', 100, -700}, {'L', 600, -700}, {'L', 600, 0}, {'L', 100, 0}}},
      {"a spline of three points: control P1 to the midpoint of P1 and P2, then control P2 to P3",
       {{Fx(0, 0), {{TCurveKind::QSpline, {Fx(100, 200), Fx(300, 200), Fx(400, 0)}}}}},
       {{'M', 0, 0}, {'C', 200, -200, 100, -200}, {'C', 400, 0, 300, -200}, {'L', 0, 0}}},
      {"midpoints are rounded from the exact values, the end point like any point",
       // (10.5 + 12.5) / 2 = 11.5 rounds to 12 (rounding first would give 11); 21.5 -> 22.
       {{Fx(0, 0), {{TCurveKind::QSpline, {Fx(10.5, 0.5), Fx(12.5, 1.5), Fx(21.5, -2.5)}}}}},
       {{'M', 0, 0}, {'C', 12, -1, 10, 0}, {'C', 22, 2, 12, -2}, {'L', 0, 0}}},
      {"a spline of one point draws nothing",
       {{Fx(5, 5), {{TCurveKind::QSpline, {Fx(9, 9)}}, {TCurveKind::Polyline, {Fx(5, 20)}}}}},
       {{'M', 5, -5}, {'L', 5, -20}, {'L', 5, -5}}},
      {"each polygon starts with a move and closes on its own start",
       {{Fx(0, 0), {{TCurveKind::Polyline, {Fx(10, 0), Fx(10, 10)}}}},
        {Fx(50, 50), {{TCurveKind::Polyline, {Fx(60, 50), Fx(60, 60), Fx(50, 50)}}}}},
       {{'M', 0, 0}, {'L', 10, 0}, {'L', 10, -10}, {'L', 0, 0},
        {'M', 50, -50}, {'L', 60, -50}, {'L', 60, -60}, {'L', 50, -50}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TRecordingPen pen;
    media::GlyphOutline(r.outline, pen);
    EXPECT_EQ(pen.Segments, r.expected);
    EXPECT_EQ(pen.Mirrors, 1);
  }
  TRecordingPen pen;
  media::GlyphOutline({}, pen);
  EXPECT_TRUE(pen.Segments.empty());
}

struct TPointD {
  double X, Y;
};

TPointD Cubic(const TPointD c[4], double t) {
  const double u = 1 - t;
  return {u * u * u * c[0].X + 3 * u * u * t * c[1].X + 3 * u * t * t * c[2].X + t * t * t * c[3].X,
          u * u * u * c[0].Y + 3 * u * u * t * c[1].Y + 3 * u * t * t * c[2].Y + t * t * t * c[3].Y};
}

// The largest distance from the drawn quadratic curves (Y mirrored back) to the cubic.
double LargestDeviation(const std::vector<TSegment>& drawn, const TPointD c[4]) {
  std::vector<TPointD> cubic;
  for (int i = 0; i <= 2000; ++i) cubic.push_back(Cubic(c, i / 2000.0));
  double worst = 0;
  TPointD from{double(drawn[0].X), -double(drawn[0].Y)};
  for (size_t k = 1; k < drawn.size(); ++k) {
    const TSegment& s = drawn[k];
    if (s.Kind != 'C') continue;
    const TPointD ctl{double(s.CX), -double(s.CY)}, to{double(s.X), -double(s.Y)};
    for (int i = 0; i <= 20; ++i) {
      const double t = i / 20.0, u = 1 - t;
      const TPointD p{u * u * from.X + 2 * u * t * ctl.X + t * t * to.X,
                      u * u * from.Y + 2 * u * t * ctl.Y + t * t * to.Y};
      double best = 1e9;
      for (const TPointD& q : cubic) best = std::min(best, std::hypot(p.X - q.X, p.Y - q.Y));
      worst = std::max(worst, best);
    }
    from = to;
  }
  return worst;
}

TEST(GlyphReader, ApproximatesCubicsByQuadraticCurves) {
  struct Row {
    const char* what;
    TPointD c[4];
    size_t minCurves, maxCurves;
  };
  const Row rows[] = {
      {"a quarter circle of radius 1000", {{0, 0}, {0, 552}, {448, 1000}, {1000, 1000}}, 3, 8},
      {"an S bend", {{0, 0}, {600, 0}, {-200, 500}, {400, 500}}, 4, 16},
      {"a cubic that is a quadratic", {{0, 0}, {200, 400}, {400, 400}, {600, 0}}, 1, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const platform::TGlyphOutline outline = {
        {Fx(r.c[0].X, r.c[0].Y),
         {{TCurveKind::CSpline,
           {Fx(r.c[1].X, r.c[1].Y), Fx(r.c[2].X, r.c[2].Y), Fx(r.c[3].X, r.c[3].Y)}}}}};
    TRecordingPen pen;
    media::GlyphOutline(outline, pen);
    const auto& s = pen.Segments;
    size_t curves = 0;
    for (const TSegment& seg : s) curves += seg.Kind == 'C';
    EXPECT_GE(curves, r.minCurves);
    EXPECT_LE(curves, r.maxCurves);
    ASSERT_EQ(s[curves].Kind, 'C');  // the last curve ends on the cubic's end
    EXPECT_EQ(s[curves].X, int32_t(r.c[3].X));
    EXPECT_EQ(s[curves].Y, -int32_t(r.c[3].Y));
    EXPECT_LT(LargestDeviation(s, r.c), 1.0);
  }
}

// FreeType's own decomposition of a glyph at the 1024-pixel em, drawn into a
// pen with every point rounded to whole units (halves to even).
class TFreeTypeReference {
 public:
  explicit TFreeTypeReference(const std::string& file) {
    EXPECT_EQ(FT_Init_FreeType(&library_), 0);
    EXPECT_EQ(FT_New_Face(library_, file.c_str(), 0, &face_), 0);
    EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, 1024), 0);
  }
  ~TFreeTypeReference() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  std::vector<TSegment> Outline(char32_t code) {
    TRecordingPen pen;
    EXPECT_EQ(FT_Load_Char(face_, code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector* to, void* user) {
      auto* p = static_cast<TRecordingPen*>(user);
      if (!p->Segments.empty()) p->CloseShape();
      p->MoveTo(R(to->x), R(to->y));
      return 0;
    };
    funcs.line_to = [](const FT_Vector* to, void* user) {
      static_cast<TRecordingPen*>(user)->LineTo(R(to->x), R(to->y));
      return 0;
    };
    funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* user) {
      static_cast<TRecordingPen*>(user)->CurveTo(R(c->x), R(c->y), R(to->x), R(to->y));
      return 0;
    };
    funcs.cubic_to = [](const FT_Vector*, const FT_Vector*, const FT_Vector* to, void* user) {
      static_cast<TRecordingPen*>(user)->LineTo(R(to->x), R(to->y));  // ends only
      return 0;
    };
    EXPECT_EQ(FT_Outline_Decompose(&face_->glyph->outline, &funcs, &pen), 0);
    if (!pen.Segments.empty()) pen.CloseShape();
    pen.MakeMirror(false, true);
    return pen.Segments;
  }

 private:
  static int32_t R(FT_Pos v) { return int32_t(std::nearbyint(v / 64.0)); }
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

TEST(GlyphReader, LiberationSansOutlinesMatchFreeType) {
  auto face = platform::TFontFace::Open("Liberation Sans", false, false);
  TFreeTypeReference reference(face->FileName());
  for (char32_t code : {U'A', U'g', U'O', U'&', U'8', U'\u00E9', U'\u20AC', U'%'}) {
    SCOPED_TRACE(uint32_t(code));
    TRecordingPen pen;
    const int32_t advance = media::ReadGlyph(*face, char16_t(code), pen);
    EXPECT_EQ(pen.Segments, reference.Outline(code));
    EXPECT_EQ(advance, face->Advance(code));
    EXPECT_GT(advance, 0);
  }
  TRecordingPen space;
  EXPECT_EQ(media::ReadGlyph(*face, u' ', space), 284);
  EXPECT_TRUE(space.Segments.empty());
}

TEST(GlyphReader, PostScriptGlyphsKeepEveryCubicEnd) {
  auto face = platform::TFontFace::Open("Cantarell", false, false);
  TFreeTypeReference reference(face->FileName());
  for (char32_t code : {U'o', U'S', U'g', U'&'}) {
    SCOPED_TRACE(uint32_t(code));
    TRecordingPen pen;
    media::ReadGlyph(*face, char16_t(code), pen);
    // Every point where FreeType's segments end is a point the reader reaches.
    const std::vector<TSegment> ends = reference.Outline(code);
    ASSERT_FALSE(ends.empty());
    size_t k = 0;
    for (const TSegment& s : pen.Segments)
      if (k < ends.size() && s.X == ends[k].X && s.Y == ends[k].Y) ++k;
    EXPECT_EQ(k, ends.size());
  }
}

TEST(GlyphReader, MetricsAndFontDescription) {
  const media::TLogFont font = media::MakeLogFont("Arial", true, true, true);
  EXPECT_EQ(font.Height, -1024);
  EXPECT_EQ(font.Weight, 700);
  EXPECT_TRUE(font.Italic);
  EXPECT_EQ(font.Quality, 3);
  EXPECT_EQ(media::MakeLogFont("Arial", false, false, false).Weight, 400);

  const media::TFontMetricsRec m = media::ReadFontMetrics(media::MakeLogFont("Arial", false, false, false));
  EXPECT_EQ(m.Ascent, 927);
  EXPECT_EQ(m.Descent, 217);
  EXPECT_EQ(m.Leading, 120);
}

}  // namespace
