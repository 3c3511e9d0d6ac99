// libFuzzer target for the player's reader of outside SWF files: reading,
// decoding every bitmap, walking the timeline and painting a small frame
// must never crash, hang or take unbounded memory.
//   make fuzz && build/fuzz/fuzz/swf_reader_fuzz -max_total_time=300 -rss_limit_mb=2048
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/error.h"
#include "player/movie_dump.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  std::shared_ptr<const player::TMovie> movie;
  try {
    player::TReadOptions options;
    options.KeepTags = true;
    movie = std::make_shared<const player::TMovie>(player::ReadMovie(bytes, options));
  } catch (const platform::TVellumetError&) {
    return 0;
  }
  player::DumpMovie(*movie);
  for (const auto& [id, c] : movie->Characters)
    if (c->Kind == player::TCharacterKind::Bitmap)
      static_cast<const player::TBitmapCharacter&>(*c).Pixels();
  player::TTimeline timeline(movie);
  timeline.Start();
  timeline.PointerMove({100, 100});
  timeline.PointerDown({100, 100});
  timeline.PointerUp({100, 100});
  for (int i = 0; i < 4; ++i) timeline.Advance();
  timeline.GotoFrame(movie->FrameCount - 1);
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  player::TRenderer renderer;
  renderer.SetMovie(movie);
  QPainter painter(&image);
  renderer.Paint(painter, timeline.DisplayList(), player::ShowAllTransform(*movie, 32, 32));
  return 0;
}
