#pragma once
// The background sound for a video: a WAV or MP3 file decoded by FFmpeg,
// resampled to the audio encoder's format and cut or padded with silence to
// the video's length, handed out one encoder frame at a time.
#include <cstdint>
#include <string>

#include "exporters/ffmpeg_support.h"

namespace exporters {

class TSoundFile {
 public:
  // Opens the file and its decoder; throws naming the file when FFmpeg
  // cannot read it or it holds no sound.
  explicit TSoundFile(const std::string& path);

  int SampleRate() const { return decoder_->sample_rate; }
  int Channels() const { return decoder_->ch_layout.nb_channels; }

  // Decodes the next piece of sound into `frame`; false at the end of the file.
  bool Decode(AVFrame& frame);

 private:
  bool ReadPacket();

  std::string path_;
  ffmpeg::TInputPtr input_;
  ffmpeg::TCodecContextPtr decoder_;
  ffmpeg::TPacketPtr packet_;
  int stream_ = -1;
  bool drained_ = false;  // the decoder was told the file ended
};

class TSoundTrack {
 public:
  // `encoder` is the opened audio encoder; `samples` the video's length in
  // the encoder's samples.
  TSoundTrack(TSoundFile& file, const AVCodecContext& encoder, int64_t samples);

  // The next frame for the encoder, its pts counting samples from 0; null
  // once the video's length is reached.
  ffmpeg::TFramePtr Next();
  // Samples handed out so far, and in all.
  int64_t Position() const { return position_; }
  int64_t Length() const { return samples_; }
  int SampleRate() const { return encoder_.sample_rate; }

 private:
  void Fill(int needed);
  void Resample(const AVFrame* decoded);

  TSoundFile& file_;
  const AVCodecContext& encoder_;
  int64_t samples_, position_ = 0;
  int frameSize_;
  bool fixedFrameSize_;
  ffmpeg::TSwrPtr resampler_;
  ffmpeg::TFifoPtr fifo_;
  ffmpeg::TFramePtr decoded_, resampled_;
  bool ended_ = false;
};

}  // namespace exporters
