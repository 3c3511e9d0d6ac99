#include "exporters/video_pictures.h"

#include <QPainter>
#include <cmath>
#include <string>

#include "platform/error.h"

namespace exporters {
namespace {

constexpr double kMaxSide = 16384;

int Even(int n) {
  return n + (n & 1);
}

}  // namespace

TFramePainter::TFramePainter(std::shared_ptr<const player::TMovie> movie, double scale)
    : movie_(movie), timeline_(movie) {
  const double w = std::round(movie->StageWidthPixels() * scale),
               h = std::round(movie->StageHeightPixels() * scale);
  if (!(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide))
    throw platform::TVellumetError("The video would be " + std::to_string(long(w)) + " x " +
                                   std::to_string(long(h)) +
                                   " pixels; choose a scale that gives 1 to 16384 pixels a side");
  stage_ = QSize(int(w), int(h));
  canvas_ = QImage(Even(stage_.width()), Even(stage_.height()), QImage::Format_RGB32);
  renderer_.SetMovie(movie);
}

const QImage& TFramePainter::Paint(uint32_t swfFrame) {
  timeline_.GotoFrame(swfFrame);
  const player::TRGBA b = movie_->Background;
  canvas_.fill(QColor(b.R, b.G, b.B));
  QPainter painter(&canvas_);
  painter.setClipRect(QRect(QPoint(0, 0), stage_));
  renderer_.Paint(painter, timeline_.DisplayList(),
                  player::ShowAllTransform(*movie_, stage_.width(), stage_.height()));
  painter.end();
  RepeatEdges();
  return canvas_;
}

void TFramePainter::RepeatEdges() {
  const int w = stage_.width(), h = stage_.height();
  if (canvas_.width() > w)
    for (int y = 0; y < h; ++y) {
      QRgb* row = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
      row[w] = row[w - 1];
    }
  if (canvas_.height() > h)
    std::copy_n(canvas_.constScanLine(h - 1), canvas_.bytesPerLine(), canvas_.scanLine(h));
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
