#pragma once
// The pictures of a video: frames of the movie painted by our own player at
// a scale, on a canvas of even width and height (the 4:2:0 sampling of the
// codecs needs it; the edge pixels are repeated rather than the picture
// stretched), then converted to the encoders' yuv420p.
#include <QImage>
#include <memory>

#include "exporters/ffmpeg_support.h"
#include "player/movie.h"

namespace exporters {

class TFramePainter {
 public:
  // Paints frame 0 at once, which also checks that the scale gives a size
  // the player can paint.
  TFramePainter(std::shared_ptr<const player::TMovie> movie, double scale);

  // The even-sized canvas; the painted stage takes its top left.
  QSize CanvasSize() const { return canvas_.size(); }

  // The SWF frame (0-based, clamped to the last) as `vellumet render` paints it.
  const QImage& Paint(uint32_t swfFrame);

 private:
  void CopyToCanvas(const QImage& frame);

  std::shared_ptr<const player::TMovie> movie_;
  double scale_;
  QSize stage_;
  QImage canvas_;
};

// Converts painted canvases (RGB32) into one reusable yuv420p frame with the
// BT.709 coefficients, limited range, as the encoders are told.
class TYuvConverter {
 public:
  explicit TYuvConverter(QSize size);
  // The converted picture; the frame is made writable again first, since an
  // encoder may still hold the previous picture.
  AVFrame& Convert(const QImage& canvas);

 private:
  ffmpeg::TSwsPtr scaler_;
  ffmpeg::TFramePtr frame_;
};

}  // namespace exporters
