// libFuzzer target for what the player does with a movie after reading it:
// decoding every bitmap, painting a small frame and playing a moment of its
// sounds. Inputs are capped (64 KiB, 1 MiB uncompressed) so that a run
// stays fast and small; the reader alone is swf_reader_fuzz's.
//   make fuzz && build/fuzz/fuzz/swf_render_fuzz fuzz/corpus/swf_reader -max_total_time=600
//   -rss_limit_mb=2048
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/error.h"
#include "player/audio_render.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"

namespace {

constexpr size_t kMaxInput = 64 * 1024;
constexpr uint32_t kMaxUncompressed = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInput) return 0;
  if (size >= 8 &&
      uint32_t(data[4] | data[5] << 8 | data[6] << 16 | uint32_t(data[7]) << 24) > kMaxUncompressed)
    return 0;
  const std::vector<uint8_t> bytes(data, data + size);
  std::shared_ptr<const player::TMovie> movie;
  try {
    movie = std::make_shared<const player::TMovie>(player::ReadMovie(bytes));
  } catch (const platform::TVellumetError&) {
    return 0;
  }
  for (const auto& [id, c] : movie->Characters)
    if (c->Kind == player::TCharacterKind::Bitmap)
      static_cast<const player::TBitmapCharacter&>(*c).Pixels();
  player::TTimeline timeline(movie);
  timeline.Start();
  timeline.PointerMove({100, 100});
  timeline.Advance();
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  player::TRenderer renderer;
  renderer.SetMovie(movie);
  QPainter painter(&image);
  renderer.Paint(painter, timeline.DisplayList(), player::ShowAllTransform(*movie, 32, 32));
  player::RenderAudio(movie, 0.05);
  return 0;
}
