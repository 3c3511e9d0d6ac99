#pragma once
// What a movie plays, heard without a sound device (`vellumet render
// --audio`): the same timeline, sound engine and frame clock as the player,
// on a capturing output. Plain C++.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "player/movie.h"

namespace player {

// Longest sound rendered without a given length (a sound looping for hours
// would otherwise never end).
constexpr double kMaxRenderSeconds = 600;

// Stereo 16-bit frames at rate: with seconds, exactly that long, the movie
// looping as the player does; without, the movie played once through (its
// frame actions run, no pointer) and on until its sounds have ended.
std::vector<int16_t> RenderAudio(std::shared_ptr<const TMovie> movie,
                                 std::optional<double> seconds, int rate = 44100);

}  // namespace player
