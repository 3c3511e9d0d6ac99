#include "exporters/ffmpeg_support.h"

#include <mutex>

#include "platform/error.h"

namespace exporters::ffmpeg {

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  if (av_strerror(code, text, sizeof text) < 0) return "error " + std::to_string(code);
  return text;
}

int Check(int code, const std::string& what) {
  if (code < 0) throw platform::TVellumetError(what + ": " + ErrorText(code));
  return code;
}

void QuietLogging() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

TFramePtr NewFrame() {
  TFramePtr frame(av_frame_alloc());
  if (!frame) Check(AVERROR(ENOMEM), "Cannot make a video frame");
  return frame;
}

TPacketPtr NewPacket() {
  TPacketPtr packet(av_packet_alloc());
  if (!packet) Check(AVERROR(ENOMEM), "Cannot make a video packet");
  return packet;
}

const AVCodec& FindEncoder(const char* name) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec)
    throw platform::TVellumetError(std::string("The encoder ") + name +
                                   " is missing from the FFmpeg libraries on this system");
  return *codec;
}

}  // namespace exporters::ffmpeg
