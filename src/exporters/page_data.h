#pragma once
// The data of the HTML5 page: a movie as the player reads it (characters and
// the display-list states each frame leaves), written as one JSON object the
// page's script reads. Paths are packed into base64 text of delta-coded
// whole numbers. The format is described in docs/html5-page.md.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "player/bitmap_decode.h"
#include "player/movie.h"

namespace exporters {

// The shortest text that reads back as the same double ("0.1", "-20", "1e+21").
std::string NumberText(double value);

// The path packed: its subpaths' starts and segments as zigzag LEB128
// numbers (each point relative to the one before), in base64 without padding.
// Throws platform::TVellumetError when a coordinate is not a whole number of
// units (the movie's paths always are) or is beyond 2^31.
std::string EncodePath(const player::TPath& path);
// The reverse, for tests; throws platform::TVellumetError on damaged text.
player::TPath DecodePath(const std::string& text);

// A JSON string that can stand inside a <script> element: <, > and & are
// escaped too.
std::string JsonQuoted(const std::string& text);

// base64 with padding, as data: addresses want it.
std::string Base64(const uint8_t* data, size_t size);

struct TPageDataOptions {
  bool Sound = true;  // false: sounds and their starts are left out (and none is refused)
  // When set, each picture's file (extension "jpg" or "png") goes here and
  // the data holds the address it returns instead of a data: address.
  std::function<std::string(uint16_t id, const std::string& extension,
                            const std::vector<uint8_t>& bytes)>
      PictureFile;
  // A picture of more pixels is carried smaller, with the scale that draws
  // it at its size (tests make it small).
  size_t MaxPicturePixels = player::kMaxBitmapPixels;
};

// The movie's data object (JSON, ASCII). Pictures become PNG (JPEG when the
// movie holds a plain JPEG), sounds MP3 or WAV. Throws
// platform::TVellumetError for what the page cannot show exactly (colour
// transforms, masks, actions that move between frames: no movie Vellumet
// builds has them).
std::string PageData(const player::TMovie& movie, const TPageDataOptions& options = {});

}  // namespace exporters
