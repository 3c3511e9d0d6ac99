// Building and writing shapes: a mixed movie of 1,000 shapes, and a dashed
// ellipse against a plain one (goal: the dashed one costs at most 10 times).
#include <benchmark/benchmark.h>

#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_shape.h"

namespace {

using namespace swf;

TFlashShape& AddKind(TFlashMovie& movie, int i) {
  const int32_t x = (i * 37) % 500, y = (i * 53) % 350;
  switch (i % 6) {
    case 0:
      return movie.AddRectangle(x, y, x + 40, y + 30);
    case 1:
      return movie.AddRoundRect(x, y, x + 40, y + 30, 6);
    case 2:
      return movie.AddEllipse(x, y, x + 40, y + 30);
    case 3:
      return movie.AddCircle(x + 20, y + 20, 20);
    case 4:
      return movie.AddDiamond(x, y, x + 40, y + 30);
    default:
      return movie.AddStar(x + 20, y + 20, 20, 8, 5 + i % 4, i % 12 == 5);
  }
}

void BM_ThousandMixedShapes(benchmark::State& state) {
  for (auto _ : state) {
    TFlashMovie movie(0, 0, 550, 400, 100, true);
    for (int i = 0; i < 1000; ++i) {
      TFlashShape& shape = AddKind(movie, i);
      switch (i % 4) {
        case 0:
          shape.SetSolidColor(68, 171, 255, i % 8 == 0 ? 128 : 255);
          break;
        case 1:
          shape.SetLinearGradient(0xFF0000FF, 0xFFFF0000, 0);
          break;
        case 2:
          shape.SetRadialGradient(0xFFFFFFFF, 0xFF008000, 50, 50);
          break;
        default:
          break;
      }
      shape.SetLineStyle(uint16_t(1 + i % 3), 0xFF000000);
      if (i % 2) shape.DashPattern().SetPattern({2, 4});
      movie.PlaceObject(&shape, uint16_t(i + 1));
    }
    movie.ShowFrame();
    movie.MakeData();
    benchmark::DoNotOptimize(movie.BodyStream.Size());
  }
}
BENCHMARK(BM_ThousandMixedShapes)->Unit(benchmark::kMillisecond);

// A 100 x 100 pixel ellipse with a 2-pixel outline, built and written.
void Ellipse(benchmark::State& state, bool dashed) {
  TFlashMovie movie(0, 0, 550, 400, 100, true);
  TMemoryStream out;
  for (auto _ : state) {
    TFlashShape shape(&movie);
    shape.SetBounds(10, 10, 110, 110);
    shape.Edges().MoveTo(10, 10);
    shape.Edges().MakeEllipse(100, 100);
    shape.Edges().EndShape();
    shape.SetSolidColor(200, 200, 200);
    shape.SetLineStyle(2, 0xFF323232);
    if (dashed) shape.DashPattern().SetPattern({2, 4});
    out.Clear();
    TBitsEngine be(out);
    shape.WriteToStream(be);
    benchmark::DoNotOptimize(out.Size());
  }
}
void BM_PlainEllipse(benchmark::State& state) {
  Ellipse(state, false);
}
void BM_DashedEllipse(benchmark::State& state) {
  Ellipse(state, true);
}
BENCHMARK(BM_PlainEllipse);
BENCHMARK(BM_DashedEllipse);

}  // namespace
