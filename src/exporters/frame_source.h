#pragma once
// The pictures of an animation export: each project frame as the movie shows
// it when that frame begins, painted by our own player at the stage size
// times the scale. Frames are kept in memory up to a limit, so the size
// budget's second and later tries do not paint them again; past the limit
// they are painted on each request.
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "moviegen/movie_build.h"
#include "player/movie.h"
#include "player/renderer.h"
#include "player/timeline.h"
#include "project/document.h"

namespace exporters {

class TFrameSource {
 public:
  // Reads the movie swfPath (the whole-movie build of doc); throws
  // platform::TVellumetError when it cannot be read or the scale gives no
  // picture between 1 and 16384 pixels a side.
  TFrameSource(const std::string& swfPath, const project::TProjectDocument& doc, double scale,
               size_t keptBytes = size_t(512) << 20);

  int Count() const { return int(starts_.size()); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The stage colour, opaque: 0xFFRRGGBB.
  uint32_t Background() const;

  // Project frame i (0-based) as opaque RGBA8888 pixels. The reference is
  // valid until the next call.
  const QImage& Frame(int i);

 private:
  QImage Paint(int i);

  std::shared_ptr<const player::TMovie> movie_;
  std::vector<uint32_t> starts_;  // the SWF frame where each project frame begins
  int width_ = 0, height_ = 0;
  player::TTimeline timeline_;
  player::TRenderer renderer_;
  std::vector<QImage> kept_;
  QImage scratch_;
  size_t keptBytes_ = 0, keptLimit_ = 0;
};

using moviegen::SwfFrameCounts;
// The SWF frame (0-based) where each project frame begins.
std::vector<uint32_t> SwfFrameStarts(const project::TProjectDocument& doc);

}  // namespace exporters
