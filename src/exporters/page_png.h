#pragma once
// The PNG of a decoded picture, as the HTML5 page carries it: lossless, and
// quick to write, since every page export writes every picture again.
#include <cstdint>
#include <memory>
#include <vector>

#include "player/movie.h"

namespace exporters {

// The pixels (premultiplied ARGB) as a PNG file: with a palette when they
// hold at most 256 colours (gradients and flat fills mostly do; up to 16 pack
// several pixels into a byte), else RGB or
// RGBA with each row's filter chosen to compress best.
std::vector<uint8_t> PagePng(const player::TPixels& pixels);

// PagePng for all the pictures of one page: one zlib stream serves them all,
// reset between pictures. Setting one up and freeing it again (which hands
// its memory back to the system and faults it in anew) cost more than
// compressing a small picture. The stream is made at the first picture.
class TPagePngWriter {
 public:
  TPagePngWriter();
  ~TPagePngWriter();
  TPagePngWriter(const TPagePngWriter&) = delete;
  TPagePngWriter& operator=(const TPagePngWriter&) = delete;

  std::vector<uint8_t> Png(const player::TPixels& pixels);

 private:
  struct TStream;
  std::unique_ptr<TStream> stream_;
};

}  // namespace exporters
