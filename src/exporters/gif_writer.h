#pragma once
// Animated GIF of the frames of a TFrameSource. The movie shares one palette
// (libimagequant over every frame's colours), so a frame after the first
// holds only the rectangle that changed, with its unchanged pixels
// transparent over the frame before.
#include <cstdint>
#include <vector>

#include "exporters/export_progress.h"
#include "exporters/frame_source.h"

struct liq_histogram_entry;

namespace exporters {

// The range of palette sizes, transparent entry included.
inline constexpr int kMaxGifColours = 256, kMinGifColours = 4;

class TGifWriter {
 public:
  // delaysCs: each frame's display time in 1/100 s (DisplayTimes).
  TGifWriter(TFrameSource& frames, std::vector<int64_t> delaysCs, bool loop);
  ~TGifWriter();

  // Counts the colours of every frame: one step per frame.
  void CollectColours(TProgressMeter& meter);
  // The whole file with a palette of at most `colours` entries
  // (kMinGifColours..kMaxGifColours): one step per frame.
  std::vector<uint8_t> Encode(int colours, TProgressMeter& meter);

 private:
  TFrameSource& frames_;
  std::vector<int64_t> delaysCs_;
  bool loop_;
  // Every colour of the movie and how many pixels show it; libimagequant
  // takes a histogram only once, so each palette size gets a fresh one.
  std::vector<liq_histogram_entry> colours_;
};

}  // namespace exporters
