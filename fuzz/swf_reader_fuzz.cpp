// libFuzzer target for the player's reader of outside SWF files: reading
// (with the dump), and walking the timeline with the pointer on it, must
// never crash, hang or take unbounded memory. Painting and decoding are
// swf_render_fuzz's, so this one runs thousands of inputs a second.
//   make fuzz && build/fuzz/fuzz/swf_reader_fuzz fuzz/corpus/swf_reader -max_total_time=600
//   -max_len=1024
// (the structure of a movie fits in 1 KiB; runs some 4,700 inputs a second)
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/error.h"
#include "player/movie_dump.h"
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
  player::TTimeline timeline(movie);
  timeline.Start();
  timeline.PointerMove({100, 100});
  timeline.PointerDown({100, 100});
  timeline.PointerUp({100, 100});
  for (int i = 0; i < 4; ++i) timeline.Advance();
  timeline.GotoFrame(movie->FrameCount - 1);
  return 0;
}
