// Building and saving a movie of 10,000 placements and frames, the way the
// movie build lays out an animation (each frame removes the last placement
// and places the character anew, every tenth one rotated), next to zlib alone
// compressing the same bytes: the writer should add at most half again.
#include <zlib.h>

#include <benchmark/benchmark.h>

#include "swf/core/control_tags.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"

namespace {

constexpr int kFrames = 10000;

std::vector<uint8_t> BuildAndSave() {
  swf::TFlashMovie movie(0, 0, 468, 60, 100);
  movie.SetCompressed(true);
  movie.BackgroundColor().SetRGB({255, 255, 255});
  swf::TFlashButton& button = movie.AddButton(false, true);
  button.AddRecordByID(1, swf::bsHitTest, 1);
  for (int frame = 0; frame < kFrames; ++frame) {
    if (frame > 0) movie.RemoveObject(1);
    swf::TFlashPlaceObject& place = movie.PlaceObject(&button, 1);
    if (frame % 10 == 0) place.SetRotate(float(frame % 360));
    movie.ShowFrame();
  }
  movie.MakeData();
  return movie.SaveToBytes();
}

void BM_BuildAndSaveMovie(benchmark::State& state) {
  size_t size = 0;
  for (auto _ : state) size = BuildAndSave().size();
  state.counters["file_bytes"] = double(size);
}
BENCHMARK(BM_BuildAndSaveMovie)->Unit(benchmark::kMillisecond);

// The same uncompressed file, compressed by zlib at the default level.
void BM_ZlibAloneOnTheSameBytes(benchmark::State& state) {
  std::vector<uint8_t> compressed = BuildAndSave();
  uLongf plainSize = compressed[4] | (compressed[5] << 8) | (compressed[6] << 16) | (uLongf(compressed[7]) << 24);
  std::vector<uint8_t> plain(plainSize);
  uLongf got = plainSize;
  uncompress(plain.data(), &got, compressed.data() + 8, uLong(compressed.size() - 8));
  std::vector<uint8_t> out(compressBound(got));
  for (auto _ : state) {
    uLongf outSize = out.size();
    compress2(out.data(), &outSize, plain.data(), got, Z_DEFAULT_COMPRESSION);
    benchmark::DoNotOptimize(outSize);
  }
  state.counters["body_bytes"] = double(got);
}
BENCHMARK(BM_ZlibAloneOnTheSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace
