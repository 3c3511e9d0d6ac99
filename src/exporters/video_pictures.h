#pragma once
// The pictures of a video: the frames painted by our own player
// (TFrameSource) are copied onto a canvas of even width and height (the
// 4:2:0 sampling of the codecs needs it; the edge pixels are repeated rather
// than the picture stretched), then converted to the encoders' yuv420p.
#include <QImage>

#include "exporters/ffmpeg_support.h"

namespace exporters {

class TEvenCanvas {
 public:
  explicit TEvenCanvas(QSize stage);

  QSize Size() const { return canvas_.size(); }

  // The canvas with the painted stage at its top left.
  const QImage& CopyIn(const QImage& frame);

 private:
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
