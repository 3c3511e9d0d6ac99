#include "exporters/frame_source.h"

#include <QPainter>
#include <cmath>
#include <cstdio>

#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "player/swf_reader.h"

namespace exporters {
namespace {

constexpr int kMaxSide = 16384;

int ScaledSide(int pixels, double scale) {
  const double side = std::round(pixels * scale);
  if (side >= 1 && side <= kMaxSide) return int(side);
  char text[160];
  std::snprintf(text, sizeof text,
                "A scale of %g makes a side of %.0f pixels; choose one that gives 1 to %d", scale,
                side, kMaxSide);
  throw platform::TVellumetError(text);
}

}  // namespace

std::vector<uint32_t> SwfFrameStarts(const project::TProjectDocument& doc) {
  std::vector<uint32_t> starts;
  uint64_t start = 0;
  for (int32_t count : SwfFrameCounts(doc)) {
    starts.push_back(uint32_t(std::min<uint64_t>(start, UINT32_MAX)));
    start += uint64_t(count);
  }
  return starts;
}

TFrameSource::TFrameSource(const std::string& swfPath, const project::TProjectDocument& doc,
                           double scale, size_t keptBytes)
    : movie_(std::make_shared<const player::TMovie>(player::ReadMovieFile(swfPath))),
      starts_(SwfFrameStarts(doc)),
      width_(ScaledSide(movie_->StageWidthPixels(), scale)),
      height_(ScaledSide(movie_->StageHeightPixels(), scale)),
      timeline_(movie_),
      kept_(starts_.size()),
      keptLimit_(keptBytes) {
  renderer_.SetMovie(movie_);
}

uint32_t TFrameSource::Background() const {
  const player::TRGBA c = movie_->Background;
  return 0xFF000000u | uint32_t(c.R) << 16 | uint32_t(c.G) << 8 | c.B;
}

const QImage& TFrameSource::Frame(int i) {
  QImage& kept = kept_.at(size_t(i));
  if (!kept.isNull()) return kept;
  QImage image = Paint(i);
  const size_t bytes = size_t(image.sizeInBytes());
  if (keptBytes_ + bytes > keptLimit_) {
    scratch_ = std::move(image);
    return scratch_;
  }
  keptBytes_ += bytes;
  kept = std::move(image);
  return kept;
}

// The stage on its colour, then the display list; the timeline moves on from
// where it stands, so painting the frames in order replays each tag once.
QImage TFrameSource::Paint(int i) {
  timeline_.GotoFrame(starts_[size_t(i)]);
  QImage image(width_, height_, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor::fromRgba(Background()));
  QPainter painter(&image);
  renderer_.Paint(painter, timeline_.DisplayList(),
                  player::ShowAllTransform(*movie_, width_, height_));
  painter.end();
  return image.convertToFormat(QImage::Format_RGBA8888);
}

}  // namespace exporters
