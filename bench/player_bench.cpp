// The player's speed targets: painting one 468 x 60 frame of the largest sample (goal
// under 2 ms), loading a 1 MB movie (under 20 ms), going to the last frame of a
// 200-frame movie (under 5 ms). Also reading back the whole-movie builds of
// long projects, which remove every depth of the frame before in each frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "../tests/player/swf_builder.h"
#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"
#include "project/document.h"
#include "support/large_project.h"

namespace {

using vtest::SwfBytes;
using vtest::TShapeBody;
using vtest::TSwfBuilder;

SwfBytes NoiseJpeg(int w, int h, int quality) {
  std::mt19937 random(7);
  std::vector<uint8_t> rgb(size_t(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t((i / 3 % w) / 4 + random() % 64);
  return vtest::EncodeJpeg(w, h, rgb, quality);
}

void AddJpeg(TSwfBuilder& b, uint16_t id, const SwfBytes& jpeg) {
  SwfBytes body{uint8_t(id), uint8_t(id >> 8), 0xFF, 0xD8};
  body.insert(body.end(), jpeg.begin(), jpeg.end());
  body.insert(body.end(), {0xFF, 0xD9});
  b.Tag(swf::tagDefineBitsJPEG2, body);
}

// A glyph like a letter: an outer contour of curves and a counter.
SwfBytes GlyphOutline(int k) {
  TShapeBody g(0, 0, {});
  g.Style(0, 1, 0, 100, -700);
  for (int i = 0; i < 8; ++i) g.CurveBy(60 + k, -40, 60, 40 + 5 * (i % 3));
  g.MoveTo(100, -700);
  g.Rect(200, -500, 200, 300);
  return g.Finish();
}

// What the largest banner has: a rendered gradient background bitmap and a
// bevelled border, ten objects of every kind, a line of text, a picture and
// a button.
SwfBytes BannerMovie() {
  TSwfBuilder b(468, 60, 100, 6);
  b.Background(255, 255, 255);
  uint16_t id = 1, depth = 1;
  std::vector<uint32_t> gradient;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 468; ++x)
      gradient.push_back(0xFF000000u | uint32_t(x * 255 / 468) << 16 | uint32_t(y * 4) << 8 | 200);
  b.Lossless(id, 468, 60, gradient, false);
  TShapeBody back(uint16_t(id + 1), 2, {0, 9360, 0, 1200});
  back.Style(0, back.BitmapFill(0x41, id, vtest::Affine(20, 0, 0, 20, 0, 0)), 0, 0, 0);
  back.Rect(0, 0, 9360, 1200);
  b.Tag(swf::tagDefineShape2, back.Finish());
  b.Place(uint16_t(id + 1), depth++);
  id = uint16_t(id + 2);
  for (int k = 0; k < 10; ++k) {
    TShapeBody s(id, 3, {0, 1600, 0, 800});
    const uint32_t fill = k % 3 == 0 ? s.Solid({uint8_t(20 * k), 100, 200, 180})
                          : k % 3 == 1
                              ? s.Gradient(0x10, vtest::Affine(0.05, 0, 0, 0.025, 800, 400),
                                           {{0, {255, 0, 0}}, {255, {0, 0, 255}}})
                              : s.Gradient(0x12, vtest::Affine(0.05, 0, 0, 0.025, 800, 400),
                                           {{0, {255, 255, 0}}, {255, {0, 128, 0}}});
    s.Style(0, fill, s.Line(40, {0, 0, 0}), 0, 400);
    for (int i = 0; i < 8; ++i)
      s.CurveBy(i < 4 ? 200 : -200, i % 4 < 2 ? -200 : 200, i < 4 ? 200 : -200, 0);
    b.Tag(swf::tagDefineShape3, s.Finish());
    const swf::TSWFMatrixRec m =
        vtest::Affine(std::cos(k * 0.3), std::sin(k * 0.3), -std::sin(k * 0.3), std::cos(k * 0.3),
                      600 + k * 860, 600);
    b.Place(id++, depth++, &m);
  }
  // a font of 26 glyphs and a text of 30 characters
  SwfBytes font{uint8_t(id), uint8_t(id >> 8)};
  std::vector<SwfBytes> glyphs;
  for (int k = 0; k < 26; ++k) glyphs.push_back(GlyphOutline(k));
  size_t offset = 2 * glyphs.size();
  for (const SwfBytes& g : glyphs) {
    font.push_back(uint8_t(offset));
    font.push_back(uint8_t(offset >> 8));
    offset += g.size();
  }
  for (const SwfBytes& g : glyphs) font.insert(font.end(), g.begin(), g.end());
  const uint16_t fontID = id++;
  b.Tag(swf::tagDefineFont, font);
  swf::TMemoryStream text;
  swf::TBitsEngine be(text);
  be.WriteWord(id);
  be.WriteRect({0, 9000, 0, 1200});
  be.WriteMatrix({});
  be.WriteByte(5);
  be.WriteByte(10);
  be.WriteByte(0x8F);
  be.WriteWord(fontID);
  for (uint8_t c : {20, 20, 20}) be.WriteByte(c);
  be.WriteWord(400);
  be.WriteWord(900);
  be.WriteWord(480);
  be.WriteByte(30);
  for (int i = 0; i < 30; ++i) {
    be.WriteBits(uint32_t(i % 26), 5);
    be.WriteSBits(300, 10);
  }
  be.FlushLastByte(true);
  be.WriteByte(0);
  b.Tag(swf::tagDefineText, text.Bytes());
  b.Place(id++, depth++);
  // a picture
  AddJpeg(b, id, NoiseJpeg(100, 50, 85));
  TShapeBody pic(uint16_t(id + 1), 2, {7000, 9000, 100, 1100});
  pic.Style(0, pic.BitmapFill(0x41, id, vtest::Affine(20, 0, 0, 20, 7000, 100)), 0, 7000, 100);
  pic.Rect(7000, 100, 2000, 1000);
  b.Tag(swf::tagDefineShape2, pic.Finish());
  b.Place(uint16_t(id + 1), depth++);
  id = uint16_t(id + 2);
  // the border
  TShapeBody border(id, 2, {0, 9360, 0, 1200});
  border.Style(0, 0, border.Line(60, {40, 40, 40}), 30, 30);
  border.LineBy(9300, 0);
  border.LineBy(0, 1140);
  border.LineBy(-9300, 0);
  border.LineBy(0, -1140);
  b.Tag(swf::tagDefineShape2, border.Finish());
  b.Place(id++, depth++);
  b.ShowFrame(16960);
  return b.Build(true);
}

void RenderFrames(benchmark::State& state, const SwfBytes& swf) {
  auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(swf));
  player::TTimeline timeline(movie);
  player::TRenderer renderer;
  renderer.SetMovie(movie);
  QImage image(468, 60, QImage::Format_ARGB32_Premultiplied);
  const QTransform t = player::ShowAllTransform(*movie, 468, 60);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.Paint(painter, timeline.DisplayList(), t);
  }
}

// The largest sample (banner.sw0) as the editor shows its frame 12: gradient
// background and bevelled border bitmaps, a star, two texts, a translucent
// radial gradient and the link over the stage.
SwfBytes LargestSampleFrame() {
  const auto sample = std::filesystem::path(VELLUMET_SAMPLES_DIR) / "banner.sw0";
  project::TProjectDocument doc;
  if (!doc.OpenMV(sample.string())) return {};
  doc.CurrentFrame = 12;
  moviegen::THeadlessBuildHost host;
  const std::string path = moviegen::CreateMovie(doc, host, false, false, false);
  std::ifstream in(path, std::ios::binary);
  SwfBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

void BM_RenderLargestSampleFrame(benchmark::State& state) {
  const SwfBytes swf = LargestSampleFrame();
  if (swf.empty()) return state.SkipWithError("samples/banner.sw0 cannot be built");
  RenderFrames(state, swf);
}
BENCHMARK(BM_RenderLargestSampleFrame)->Unit(benchmark::kMillisecond);

// A busier 468 x 60 frame than any sample: ten gradient shapes with outlines,
// thirty glyphs, a photo, a bitmap background and a border.
void BM_RenderBusyBannerFrame(benchmark::State& state) {
  RenderFrames(state, BannerMovie());
}
BENCHMARK(BM_RenderBusyBannerFrame)->Unit(benchmark::kMillisecond);

// About 1 MB: a photo and a thousand shapes over 100 frames.
SwfBytes OneMegabyteMovie() {
  TSwfBuilder b(800, 600, 100, 6);
  AddJpeg(b, 1, NoiseJpeg(1400, 900, 95));
  uint16_t id = 2;
  for (int frame = 0; frame < 100; ++frame) {
    for (int k = 0; k < 10; ++k) {
      TShapeBody s(id, 3, {0, 4000, 0, 4000});
      s.Style(0, s.Solid({uint8_t(k * 20), 40, 90, 200}), s.Line(20, {0, 0, 0}), 0, 2000);
      for (int i = 0; i < 40; ++i) s.CurveBy(50 + i, -60, 50, 60 - i);
      s.LineBy(-4780, 780);  // back to the start
      b.Tag(swf::tagDefineShape3, s.Finish());
      b.Place(id++, uint16_t(k + 1));
    }
    b.ShowFrame();
    for (int k = 0; k < 10; ++k) b.Remove(uint16_t(k + 1));
  }
  return b.Build(true);
}

void BM_LoadOneMegabyteMovie(benchmark::State& state) {
  const SwfBytes file = OneMegabyteMovie();
  for (auto _ : state) benchmark::DoNotOptimize(player::ReadMovie(file));
  state.counters["uncompressed_bytes"] = double(player::ReadMovie(file).FileLength);
  state.counters["file_bytes"] = double(file.size());
}
BENCHMARK(BM_LoadOneMegabyteMovie)->Unit(benchmark::kMillisecond);

// As the movie build writes a slide show: every frame removes what the
// previous one placed and places its background and ten objects anew.
SwfBytes TwoHundredFrameMovie() {
  TSwfBuilder b(468, 60, 100, 6);
  for (uint16_t id = 1; id <= 11; ++id) {
    TShapeBody s(id, 2, {0, 400, 0, 400});
    s.Style(0, s.Solid({uint8_t(id * 20), 0, 0}), 0, 0, 0);
    s.Rect(0, 0, 400, 400);
    b.Tag(swf::tagDefineShape2, s.Finish());
  }
  for (int frame = 0; frame < 200; ++frame) {
    if (frame > 0)
      for (uint16_t d = 1; d <= 11; ++d) b.Remove(d);
    for (uint16_t d = 1; d <= 11; ++d) {
      const swf::TSWFMatrixRec m = vtest::Translate(frame * 10 + d * 300, d * 50);
      b.Place(d, d, &m);
    }
    b.ShowFrame();
  }
  return b.Build(true);
}

void BM_GotoLastFrameOf200(benchmark::State& state) {
  auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(TwoHundredFrameMovie()));
  player::TTimeline timeline(movie);
  for (auto _ : state) {
    timeline.GotoFrame(0);
    timeline.GotoFrame(movie->FrameCount - 1);
  }
  state.counters["frames"] = movie->FrameCount;
}
BENCHMARK(BM_GotoLastFrameOf200)->Unit(benchmark::kMicrosecond);

// The whole-movie build of a project: `frames` frames of `objects` objects
// (none: empty frames, as a long frame count typed into a new movie gives).
SwfBytes LongBuild(int frames, int objects) {
  project::TProjectDocument doc;
  doc.CreateEmptyMV();
  if (objects > 0)
    vtest::MakeSlideShow(doc, frames, objects, VELLUMET_SAMPLES_DIR "/media/logo.bmp");
  else
    doc.SetFrameCount(frames);
  moviegen::THeadlessBuildHost host;
  const std::string path = moviegen::CreateMovie(doc, host, true, false, false);
  std::ifstream in(path, std::ios::binary);
  SwfBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  return bytes;
}

void BM_ReadLongBuild(benchmark::State& state) {
  const SwfBytes file = LongBuild(int(state.range(0)), int(state.range(1)));
  if (file.empty()) return state.SkipWithError("the movie cannot be built");
  size_t ops = 0;
  for (auto _ : state) {
    const player::TMovie movie = player::ReadMovie(file);
    ops = 0;
    for (const player::TFrameContent& f : movie.Frames) ops += f.Ops.size();
  }
  state.counters["file_bytes"] = double(file.size());
  state.counters["ops"] = double(ops);
}
BENCHMARK(BM_ReadLongBuild)
    ->ArgNames({"frames", "objects"})
    ->Args({1020, 0})
    ->Args({1000, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace
