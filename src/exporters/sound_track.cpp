#include "exporters/sound_track.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include "platform/error.h"

namespace exporters {

TSoundFile::TSoundFile(const std::string& path) : path_(path), packet_(ffmpeg::NewPacket()) {
  ffmpeg::QuietLogging();
  const std::string cannot = "Cannot read the sound file " + path;
  AVFormatContext* input = nullptr;
  ffmpeg::Check(avformat_open_input(&input, path.c_str(), nullptr, nullptr), cannot);
  input_.reset(input);
  ffmpeg::Check(avformat_find_stream_info(input, nullptr), cannot);
  const AVCodec* codec = nullptr;
  stream_ = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (stream_ < 0 || !codec)
    throw platform::TVellumetError("The sound file " + path + " holds no sound FFmpeg can decode");
  decoder_.reset(avcodec_alloc_context3(codec));
  if (!decoder_) ffmpeg::Check(AVERROR(ENOMEM), cannot);
  ffmpeg::Check(avcodec_parameters_to_context(decoder_.get(), input->streams[stream_]->codecpar),
                cannot);
  ffmpeg::Check(avcodec_open2(decoder_.get(), codec, nullptr), cannot);
  if (decoder_->sample_rate <= 0 || decoder_->ch_layout.nb_channels <= 0)
    throw platform::TVellumetError(cannot + ": no sample rate or channels");
}

// The next packet of the sound stream; false at the end of the file.
bool TSoundFile::ReadPacket() {
  for (;;) {
    av_packet_unref(packet_.get());
    const int read = av_read_frame(input_.get(), packet_.get());
    if (read == AVERROR_EOF) return false;
    ffmpeg::Check(read, "Cannot read the sound file " + path_);
    if (packet_->stream_index == stream_) return true;
  }
}

bool TSoundFile::Decode(AVFrame& frame) {
  const std::string cannot = "Cannot decode the sound file " + path_;
  for (;;) {
    const int received = avcodec_receive_frame(decoder_.get(), &frame);
    if (received >= 0) return true;
    if (received == AVERROR_EOF) return false;
    if (received != AVERROR(EAGAIN)) ffmpeg::Check(received, cannot);
    if (drained_) return false;
    if (!ReadPacket()) {
      drained_ = true;
      ffmpeg::Check(avcodec_send_packet(decoder_.get(), nullptr), cannot);
      continue;
    }
    // A damaged frame is skipped, as players do; the rest of the sound still plays.
    const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
    if (sent != AVERROR_INVALIDDATA) ffmpeg::Check(sent, cannot);
  }
}

TSoundTrack::TSoundTrack(TSoundFile& file, const AVCodecContext& encoder, int64_t samples)
    : file_(file),
      encoder_(encoder),
      samples_(samples),
      frameSize_(encoder.frame_size > 0 ? encoder.frame_size : 1024),
      fixedFrameSize_(!(encoder.codec->capabilities &
                        (AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME))),
      decoded_(ffmpeg::NewFrame()),
      resampled_(ffmpeg::NewFrame()) {
  fifo_.reset(av_audio_fifo_alloc(encoder.sample_fmt, encoder.ch_layout.nb_channels, frameSize_));
  if (!fifo_) ffmpeg::Check(AVERROR(ENOMEM), "Cannot convert the sound");
}

namespace {

// The resampler from the decoder's format (as its first frame shows it) to
// the encoder's. A layout without channel order gets the usual one for its
// channel count.
ffmpeg::TSwrPtr NewResampler(const AVFrame& decoded, const AVCodecContext& encoder) {
  AVChannelLayout in{}, out{};
  if (decoded.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&in, decoded.ch_layout.nb_channels);
  else
    ffmpeg::Check(av_channel_layout_copy(&in, &decoded.ch_layout), "Cannot convert the sound");
  ffmpeg::Check(av_channel_layout_copy(&out, &encoder.ch_layout), "Cannot convert the sound");
  SwrContext* swr = nullptr;
  const int made =
      swr_alloc_set_opts2(&swr, &out, encoder.sample_fmt, encoder.sample_rate, &in,
                          AVSampleFormat(decoded.format), decoded.sample_rate, 0, nullptr);
  av_channel_layout_uninit(&in);
  av_channel_layout_uninit(&out);
  ffmpeg::TSwrPtr resampler(swr);
  ffmpeg::Check(made, "Cannot convert the sound");
  ffmpeg::Check(swr_init(swr), "Cannot convert the sound");
  return resampler;
}

}  // namespace

// Converts decoded sound (null: what the resampler still holds) into the fifo.
void TSoundTrack::Resample(const AVFrame* decoded) {
  if (!resampler_) {
    if (!decoded) return;
    resampler_ = NewResampler(*decoded, encoder_);
  }
  const int inCount = decoded ? decoded->nb_samples : 0;
  const int outCount = swr_get_out_samples(resampler_.get(), inCount);
  if (outCount <= 0) return;
  av_frame_unref(resampled_.get());
  resampled_->format = encoder_.sample_fmt;
  resampled_->nb_samples = outCount;
  ffmpeg::Check(av_channel_layout_copy(&resampled_->ch_layout, &encoder_.ch_layout),
                "Cannot convert the sound");
  ffmpeg::Check(av_frame_get_buffer(resampled_.get(), 0), "Cannot convert the sound");
  const int converted = ffmpeg::Check(
      swr_convert(resampler_.get(), resampled_->extended_data, outCount,
                  decoded ? const_cast<const uint8_t**>(decoded->extended_data) : nullptr, inCount),
      "Cannot convert the sound");
  if (converted > 0)
    ffmpeg::Check(av_audio_fifo_write(
                      fifo_.get(), reinterpret_cast<void**>(resampled_->extended_data), converted),
                  "Cannot convert the sound");
}

void TSoundTrack::Fill(int needed) {
  while (!ended_ && av_audio_fifo_size(fifo_.get()) < needed) {
    if (file_.Decode(*decoded_)) {
      Resample(decoded_.get());
      av_frame_unref(decoded_.get());
    } else {
      Resample(nullptr);
      ended_ = true;
    }
  }
}

ffmpeg::TFramePtr TSoundTrack::Next() {
  const int64_t left = samples_ - position_;
  if (left <= 0) return nullptr;
  const int wanted = int(std::min<int64_t>(frameSize_, left));
  Fill(wanted);
  ffmpeg::TFramePtr frame = ffmpeg::NewFrame();
  frame->format = encoder_.sample_fmt;
  frame->sample_rate = encoder_.sample_rate;
  frame->nb_samples = fixedFrameSize_ ? frameSize_ : wanted;
  ffmpeg::Check(av_channel_layout_copy(&frame->ch_layout, &encoder_.ch_layout),
                "Cannot convert the sound");
  ffmpeg::Check(av_frame_get_buffer(frame.get(), 0), "Cannot convert the sound");
  const int taken = av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->data),
                                       std::min(wanted, av_audio_fifo_size(fifo_.get())));
  ffmpeg::Check(taken, "Cannot convert the sound");
  // Past the end of the file the movie goes on in silence.
  av_samples_set_silence(frame->data, taken, frame->nb_samples - taken,
                         encoder_.ch_layout.nb_channels, encoder_.sample_fmt);
  frame->pts = position_;
  position_ += wanted;
  return frame;
}

}  // namespace exporters
