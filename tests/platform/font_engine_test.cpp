#include "platform/font_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using platform::TCurveKind;
using platform::TFontFace;
using platform::TGlyphOutline;

struct TBox {
  int32_t XMin = INT32_MAX, XMax = INT32_MIN, YMin = INT32_MAX, YMax = INT32_MIN;
};

// Bounds of every point of an outline, in whole pixels.
TBox Bounds(const TGlyphOutline& outline) {
  TBox box;
  auto add = [&](const platform::TFixedPoint& p) {
    box.XMin = std::min(box.XMin, p.X >> 16);
    box.XMax = std::max(box.XMax, p.X >> 16);
    box.YMin = std::min(box.YMin, p.Y >> 16);
    box.YMax = std::max(box.YMax, p.Y >> 16);
  };
  for (const auto& polygon : outline) {
    add(polygon.Start);
    for (const auto& curve : polygon.Curves)
      for (const auto& p : curve.Points) add(p);
  }
  return box;
}

TEST(FontEngine, FindsInstalledFacesAndFallsBack) {
  struct Row {
    const char* name;
    bool bold, italic;
    const char* family;  // nullptr: any fallback
    bool syntheticBold, syntheticItalic;
  };
  const Row rows[] = {
      {"Arial", false, false, "Liberation Sans", false, false},
      {"Arial", true, true, "Liberation Sans", false, false},
      {"Times New Roman", false, true, "Liberation Serif", false, false},
      {"Courier New", false, false, "Liberation Mono", false, false},
      {"DejaVu Sans", true, false, "DejaVu Sans", false, false},
      // Cantarell has no italic, and its Thin family no bold.
      {"Cantarell", false, true, "Cantarell", false, true},
      {"Cantarell Thin", true, false, "Cantarell", true, false},
      {"No Such Face Anywhere", false, false, nullptr, false, false},
      {"", false, false, nullptr, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name) + (r.bold ? " bold" : "") + (r.italic ? " italic" : ""));
    auto face = TFontFace::Open(r.name, r.bold, r.italic);
    ASSERT_TRUE(face);
    if (r.family) {
      EXPECT_EQ(face->FamilyName(), r.family);
    }
    EXPECT_FALSE(face->FamilyName().empty());
    EXPECT_EQ(face->SyntheticBold(), r.syntheticBold);
    EXPECT_EQ(face->SyntheticItalic(), r.syntheticItalic);
    EXPECT_EQ(face->CharSet(), 0);
  }
  auto bold = TFontFace::Open("Arial", true, false);
  EXPECT_NE(bold->FileName().find("Bold"), std::string::npos) << bold->FileName();
  EXPECT_EQ(bold, TFontFace::Open("Arial", true, false));  // opened once
}

// Liberation Sans: 2048 units per em, Windows ascent 1854 and descent 434.
TEST(FontEngine, MetricsAndAdvancesAsWindowsReportsThem) {
  auto face = TFontFace::Open("Liberation Sans", false, false);
  const platform::TTextMetrics m = face->Metrics();
  EXPECT_EQ(m.Ascent, 927);
  EXPECT_EQ(m.Descent, 217);
  EXPECT_EQ(m.InternalLeading, 927 + 217 - 1024);
  EXPECT_EQ(face->Metrics(48).Height(), 43 + 10);

  EXPECT_EQ(face->Advance(U' '), 284);  // 569 units: 284.5, halves to even
  EXPECT_EQ(face->Advance(U'A'), 683);  // 1366 units
  EXPECT_EQ(face->Advance(U'A', 48), 32);
  EXPECT_TRUE(face->GlyphOutline(U' ').empty());
  EXPECT_FALSE(face->GlyphOutline(U'A').empty());
  EXPECT_FALSE(face->GlyphOutline(U'\u20AC').empty());  // the euro sign
}

TEST(FontEngine, TrueTypeOutlinesAreQuadraticAndCloseOnTheirStart) {
  auto face = TFontFace::Open("Liberation Sans", false, false);
  const TGlyphOutline o = face->GlyphOutline(U'O');
  ASSERT_EQ(o.size(), 2u);  // outer and inner contour
  for (const auto& polygon : o) {
    ASSERT_FALSE(polygon.Curves.empty());
    for (const auto& curve : polygon.Curves) EXPECT_NE(curve.Kind, TCurveKind::CSpline);
    // A contour that ends with a curve ends it on the start point.
    const auto& last = polygon.Curves.back();
    if (last.Kind == TCurveKind::QSpline) {
      EXPECT_EQ(last.Points.back(), polygon.Start);
    }
  }
  const TBox box = Bounds(o);
  EXPECT_GT(box.YMax, 700);  // a capital stands above the baseline, Y upward
  EXPECT_GE(box.YMin, -30);
}

TEST(FontEngine, PostScriptOutlinesKeepTheirCubics) {
  auto face = TFontFace::Open("Cantarell", false, false);
  const TGlyphOutline o = face->GlyphOutline(U'o');
  ASSERT_FALSE(o.empty());
  bool cubic = false;
  for (const auto& polygon : o) {
    for (const auto& curve : polygon.Curves) {
      if (curve.Kind != TCurveKind::CSpline) continue;
      cubic = true;
      EXPECT_EQ(curve.Points.size() % 3, 0u);
    }
  }
  EXPECT_TRUE(cubic);
}

TEST(FontEngine, SynthesisesMissingStyles) {
  auto thin = TFontFace::Open("Cantarell Thin", false, false);
  auto bold = TFontFace::Open("Cantarell Thin", true, false);
  ASSERT_TRUE(bold->SyntheticBold());
  // A 24th of the em on the advance and on the outline's width.
  EXPECT_EQ(bold->Advance(U'H'), thin->Advance(U'H') + 43);
  const TBox plain = Bounds(thin->GlyphOutline(U'H'));
  const TBox heavy = Bounds(bold->GlyphOutline(U'H'));
  EXPECT_NEAR((heavy.XMax - heavy.XMin) - (plain.XMax - plain.XMin), 43, 2);

  auto regular = TFontFace::Open("Cantarell", false, false);
  auto italic = TFontFace::Open("Cantarell", false, true);
  ASSERT_TRUE(italic->SyntheticItalic());
  EXPECT_EQ(italic->Advance(U'l'), regular->Advance(U'l'));
  // Slanted: every point moves right by tan(12 degrees) of its height.
  const TGlyphOutline upright = regular->GlyphOutline(U'l');
  const TGlyphOutline slanted = italic->GlyphOutline(U'l');
  ASSERT_EQ(slanted.size(), upright.size());
  for (size_t i = 0; i < upright.size(); ++i) {
    ASSERT_EQ(slanted[i].Curves.size(), upright[i].Curves.size());
    for (size_t k = 0; k < upright[i].Curves.size(); ++k) {
      const auto& a = upright[i].Curves[k].Points;
      const auto& b = slanted[i].Curves[k].Points;
      ASSERT_EQ(a.size(), b.size());
      for (size_t j = 0; j < a.size(); ++j) {
        EXPECT_EQ(b[j].Y, a[j].Y);
        EXPECT_NEAR((b[j].X - a[j].X) / 65536.0, a[j].Y / 65536.0 * 0.2126, 0.05);
      }
    }
  }
}

TEST(FontEngine, MeasuresTextInPixels) {
  // 36 points at 96 pixels per inch: a 48-pixel em.
  EXPECT_EQ(platform::FontHeightFromPoints(36, 96), -48);
  EXPECT_EQ(platform::FontHeightFromPoints(27, 120), -45);
  auto face = TFontFace::Open("Arial", false, false);
  int32_t width = 0;
  for (char32_t c : U"Hello") width += c ? face->Advance(c, 48) : 0;
  const platform::TTextExtent e = platform::MeasureText("Arial", 36, 96, "Hello");
  EXPECT_EQ(e.Width, width);
  EXPECT_EQ(e.Height, 53);
  EXPECT_EQ(platform::MeasureText("Arial", 36, 96, "").Width, 0);
  // Windows-1252 bytes are measured as their characters: the euro is not a control.
  EXPECT_EQ(platform::MeasureText("Arial", 36, 96, "\x80").Width, face->Advance(U'\u20AC', 48));
  EXPECT_LT(platform::MeasureText("Arial", 18, 96, "Hello").Width, e.Width);
}

// Sizes come from documents and the clipboard and may be any number: the
// pixel sizes stop at the 32-bit limits (both signs, so they can be negated).
TEST(FontEngine, AnySizeIsMeasuredWithinLimits) {
  const struct {
    double Points;
    int32_t Height, Extent;
  } rows[] = {
      {2e9, -INT32_MAX, INT32_MAX},
      {-2e9, INT32_MAX, -INT32_MAX},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Points);
    EXPECT_EQ(platform::FontHeightFromPoints(row.Points, 96), row.Height);
    const platform::TTextExtent e = platform::MeasureText("Arial", row.Points, 96, "Hello");
    EXPECT_EQ(e.Width, row.Extent);
    EXPECT_EQ(e.Height, row.Extent);
  }
}

}  // namespace
