#pragma once
// An MP4 or WebM file being written: the muxer, the video encoder and, when
// there is sound, the audio encoder. Packets are interleaved by the muxer as
// the caller hands it pictures and sound in time order.
#include <functional>
#include <string>
#include <vector>

#include "exporters/ffmpeg_support.h"

namespace exporters {

struct TVideoFormat {
  const char* Muxer;       // "mp4", "webm"
  const char* VideoCodec;  // "libx264", "libvpx-vp9"
  const char* AudioCodec;  // "aac", "libopus"
  // Encoder settings, name and value, applied when the encoders open.
  std::vector<std::pair<const char*, const char*>> VideoOptions;
  std::vector<std::pair<const char*, const char*>> MuxerOptions;
};

// The format for a file name ending in .mp4 or .webm (any letter case);
// nullptr for other names.
const TVideoFormat* VideoFormatFor(const std::string& fileName);

class TVideoFile {
 public:
  // Writes into `path`; error texts name `shownName`, the file the user chose.
  TVideoFile(const TVideoFormat& format, const std::string& path, const std::string& shownName);
  ~TVideoFile();
  TVideoFile(const TVideoFile&) = delete;
  TVideoFile& operator=(const TVideoFile&) = delete;

  // The video stream: yuv420p pictures of an even size at `rate` frames per second.
  void AddVideo(int width, int height, int rate);
  // The sound stream, at the encoder's rate nearest the source's, mono or
  // stereo as the source is. Its format is what WriteAudio takes.
  const AVCodecContext& AddAudio(int sourceRate, int sourceChannels);
  // After the streams: opens the file and writes the header.
  void Start();

  // The next picture (its pts counts video frames) or sound frame (its pts
  // counts samples).
  void WriteVideo(AVFrame& picture);
  void WriteAudio(AVFrame& sound);
  // Drains the encoders, writes the index and closes the file. Draining a
  // slow encoder takes a while: betweenPackets runs after each packet (it
  // may throw to stop).
  void Finish(const std::function<void()>& betweenPackets = {});

 private:
  struct TStream {
    ffmpeg::TCodecContextPtr Encoder;
    AVStream* Stream = nullptr;
  };
  struct TOutputFree {
    void operator()(AVFormatContext* p) const;
  };

  TStream NewStream(const AVCodec& codec);
  void OpenEncoder(TStream& stream, AVDictionary** options);
  void Encode(TStream& stream, AVFrame* frame, const std::function<void()>& betweenPackets = {});

  const TVideoFormat& format_;
  std::string path_, shownName_;
  std::unique_ptr<AVFormatContext, TOutputFree> output_;
  ffmpeg::TPacketPtr packet_;
  TStream video_, audio_;
};

}  // namespace exporters
