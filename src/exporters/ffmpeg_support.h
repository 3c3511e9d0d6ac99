#pragma once
// Small helpers around the FFmpeg libraries: owning pointers for their
// objects and error codes turned into the program's error with a clear text.
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace exporters::ffmpeg {

// FFmpeg's own words for an error code ("Invalid data found when processing input").
std::string ErrorText(int code);

// Throws platform::TVellumetError "<what>: <FFmpeg's words>" for a negative code.
int Check(int code, const std::string& what);

// Keeps FFmpeg's messages off the terminal (errors become our own texts); once per process.
void QuietLogging();

struct TCodecContextFree {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct TFrameFree {
  void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct TPacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct TInputClose {
  void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
struct TSwrFree {
  void operator()(SwrContext* p) const { swr_free(&p); }
};
struct TSwsFree {
  void operator()(SwsContext* p) const { sws_freeContext(p); }
};
struct TFifoFree {
  void operator()(AVAudioFifo* p) const { av_audio_fifo_free(p); }
};

using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextFree>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameFree>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFree>;
using TInputPtr = std::unique_ptr<AVFormatContext, TInputClose>;
using TSwrPtr = std::unique_ptr<SwrContext, TSwrFree>;
using TSwsPtr = std::unique_ptr<SwsContext, TSwsFree>;
using TFifoPtr = std::unique_ptr<AVAudioFifo, TFifoFree>;

// A new frame or packet; throws when memory runs out.
TFramePtr NewFrame();
TPacketPtr NewPacket();

// The encoder of that name ("libx264", "aac", ...); throws naming it when
// this FFmpeg lacks it.
const AVCodec& FindEncoder(const char* name);

}  // namespace exporters::ffmpeg
