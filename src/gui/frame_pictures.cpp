#include "gui/frame_pictures.h"

#include <QPainter>
#include <algorithm>

#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"

namespace gui {

namespace {

// The build's warnings reach the user through the canvas's own build.
class TQuietHost : public moviegen::IBuildHost {};

}  // namespace

TFrameMovie BuildFrameMovie(const editor::TDocumentPlace& place,
                            const editor::TFramePicture& picture) {
  project::TProjectDocument doc;
  editor::MakeOneFrameDocument(place, picture, doc);
  TQuietHost host;
  auto movie = std::make_shared<const player::TMovie>(
      player::ReadMovie(moviegen::CreateFrameBytes(doc, host)));
  return {std::move(movie), editor::FrameDepths(doc, 1)};
}

QImage RenderThumbnail(const TFrameMovie& frame, QSize box, player::TRenderer& renderer) {
  const player::TMovie& m = *frame.Movie;
  const double scale = std::min(double(box.width()) / std::max(1, m.StageWidthPixels()),
                                double(box.height()) / std::max(1, m.StageHeightPixels()));
  // A very long, thin stage still gets a picture of one pixel a side.
  const double least = 1.0 / std::min(m.StageWidthPixels(), m.StageHeightPixels());
  return player::RenderFrame(renderer, frame.Movie, 0, std::max(scale, least));
}

QImage RenderTintedObjects(const TFrameMovie& frame, uint32_t tint) {
  const player::TMovie& m = *frame.Movie;
  QImage image(std::max(1, m.StageWidthPixels()), std::max(1, m.StageHeightPixels()),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  player::TTimeline timeline(frame.Movie);
  timeline.GotoFrame(0);
  player::TRenderer renderer;
  renderer.SetMovie(frame.Movie);
  QPainter painter(&image);
  const uint16_t first = uint16_t(frame.Depths.Background + 1);
  const uint16_t last = uint16_t(std::max<int>(first, frame.Depths.Border - 1));
  renderer.Paint(painter, timeline.DisplayList(),
                 player::ShowAllTransform(m, image.width(), image.height()), first, last);
  // The tint over the objects' own colours, leaving a trace of them.
  painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  painter.setOpacity(0.7);
  painter.fillRect(image.rect(), QColor::fromRgb(QRgb(tint)));
  painter.end();
  return image;
}

}  // namespace gui
