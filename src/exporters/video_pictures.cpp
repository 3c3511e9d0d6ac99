#include "exporters/video_pictures.h"

#include <algorithm>

namespace exporters {
namespace {

int Even(int n) {
  return n + (n & 1);
}

}  // namespace

TEvenCanvas::TEvenCanvas(QSize stage)
    : stage_(stage), canvas_(Even(stage.width()), Even(stage.height()), QImage::Format_RGB32) {}

// Row by row, each padded with its last pixel; the last row once more.
const QImage& TEvenCanvas::CopyIn(const QImage& frame) {
  const QImage opaque = frame.convertToFormat(QImage::Format_RGB32);
  const int w = stage_.width(), h = stage_.height();
  for (int y = 0; y < h; ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
    QRgb* to = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
    std::copy_n(from, w, to);
    if (canvas_.width() > w) to[w] = from[w - 1];
  }
  if (canvas_.height() > h)
    std::copy_n(canvas_.constScanLine(h - 1), canvas_.bytesPerLine(), canvas_.scanLine(h));
  return canvas_;
}

TYuvConverter::TYuvConverter(QSize size) : frame_(ffmpeg::NewFrame()) {
  const int w = size.width(), h = size.height();
  scaler_.reset(sws_getContext(w, h, AV_PIX_FMT_RGB32, w, h, AV_PIX_FMT_YUV420P,
                               SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr,
                               nullptr, nullptr));
  if (!scaler_) ffmpeg::Check(AVERROR(ENOMEM), "Cannot convert the pictures of the video");
  const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
  sws_setColorspaceDetails(scaler_.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
  frame_->format = AV_PIX_FMT_YUV420P;
  frame_->width = w;
  frame_->height = h;
  ffmpeg::Check(av_frame_get_buffer(frame_.get(), 0), "Cannot convert the pictures of the video");
}

AVFrame& TYuvConverter::Convert(const QImage& canvas) {
  ffmpeg::Check(av_frame_make_writable(frame_.get()), "Cannot convert the pictures of the video");
  const uint8_t* source[1] = {canvas.constBits()};
  const int stride[1] = {int(canvas.bytesPerLine())};
  sws_scale(scaler_.get(), source, stride, 0, canvas.height(), frame_->data, frame_->linesize);
  return *frame_;
}

}  // namespace exporters
