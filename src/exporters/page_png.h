#pragma once
// The PNG of a decoded picture, as the HTML5 page carries it: lossless, and
// quick to write, since every page export writes every picture again.
#include <cstdint>
#include <vector>

#include "player/movie.h"

namespace exporters {

// The pixels (premultiplied ARGB) as a PNG file: with a palette when they
// hold at most 256 colours (gradients and flat fills mostly do), else RGB or
// RGBA with each row's filter chosen to compress best.
std::vector<uint8_t> PagePng(const player::TPixels& pixels);

}  // namespace exporters
