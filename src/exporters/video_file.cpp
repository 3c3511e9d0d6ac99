#include "exporters/video_file.h"

#include <algorithm>
#include <cctype>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "platform/error.h"

namespace exporters {
namespace {

// Constant quality rather than a bit rate: banners are small and mostly still.
const TVideoFormat kMp4{"mp4",
                        "libx264",
                        "aac",
                        {{"preset", "medium"}, {"crf", "20"}},
                        // The index first, so that a browser starts playing before the end arrives.
                        {{"movflags", "+faststart"}}};
const TVideoFormat kWebM{"webm",
                         "libvpx-vp9",
                         "libopus",
                         {{"crf", "31"}, {"deadline", "good"}, {"cpu-used", "4"}, {"row-mt", "1"}},
                         {}};

bool EndsWith(const std::string& name, const std::string& ending) {
  return name.size() >= ending.size() &&
         std::equal(ending.rbegin(), ending.rend(), name.rbegin(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

AVDictionary* Dictionary(const std::vector<std::pair<const char*, const char*>>& options) {
  AVDictionary* dictionary = nullptr;
  for (const auto& [name, value] : options) av_dict_set(&dictionary, name, value, 0);
  return dictionary;
}

struct TDictionaryFree {
  void operator()(AVDictionary** p) const { av_dict_free(p); }
};

// The encoder's sample rate nearest above the source's (its highest when
// none is), so resampling never loses what the source holds.
int SampleRateFor(const AVCodec& codec, int sourceRate) {
  if (!codec.supported_samplerates) return sourceRate;
  int best = 0, highest = 0;
  for (const int* r = codec.supported_samplerates; *r; ++r) {
    highest = std::max(highest, *r);
    if (*r >= sourceRate && (best == 0 || *r < best)) best = *r;
  }
  return best ? best : highest;
}

}  // namespace

const TVideoFormat* VideoFormatFor(const std::string& fileName) {
  if (EndsWith(fileName, ".mp4")) return &kMp4;
  if (EndsWith(fileName, ".webm")) return &kWebM;
  return nullptr;
}

void TVideoFile::TOutputFree::operator()(AVFormatContext* p) const {
  if (p->pb) avio_closep(&p->pb);
  avformat_free_context(p);
}

TVideoFile::TVideoFile(const TVideoFormat& format, const std::string& path,
                       const std::string& shownName)
    : format_(format), path_(path), shownName_(shownName), packet_(ffmpeg::NewPacket()) {
  ffmpeg::QuietLogging();
  AVFormatContext* output = nullptr;
  ffmpeg::Check(avformat_alloc_output_context2(&output, nullptr, format.Muxer, path.c_str()),
                "Cannot make the video file " + shownName);
  output_.reset(output);
}

TVideoFile::~TVideoFile() = default;

TVideoFile::TStream TVideoFile::NewStream(const AVCodec& codec) {
  TStream stream;
  stream.Encoder.reset(avcodec_alloc_context3(&codec));
  stream.Stream = avformat_new_stream(output_.get(), nullptr);
  if (!stream.Encoder || !stream.Stream)
    ffmpeg::Check(AVERROR(ENOMEM), "Cannot make the video file " + shownName_);
  if (output_->oformat->flags & AVFMT_GLOBALHEADER)
    stream.Encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  return stream;
}

void TVideoFile::OpenEncoder(TStream& stream, AVDictionary** options) {
  AVCodecContext& encoder = *stream.Encoder;
  ffmpeg::Check(
      avcodec_open2(&encoder, encoder.codec, options),
      std::string("Cannot start the ") + encoder.codec->name + " encoder for " + shownName_);
  ffmpeg::Check(avcodec_parameters_from_context(stream.Stream->codecpar, &encoder),
                "Cannot make the video file " + shownName_);
  stream.Stream->time_base = encoder.time_base;
}

void TVideoFile::AddVideo(int width, int height, int rate) {
  video_ = NewStream(ffmpeg::FindEncoder(format_.VideoCodec));
  AVCodecContext& encoder = *video_.Encoder;
  encoder.width = width;
  encoder.height = height;
  encoder.pix_fmt = AV_PIX_FMT_YUV420P;
  encoder.time_base = AVRational{1, rate};
  encoder.framerate = AVRational{rate, 1};
  encoder.sample_aspect_ratio = AVRational{1, 1};
  encoder.bit_rate = 0;
  // The pictures are converted with these coefficients; players read them here.
  encoder.colorspace = AVCOL_SPC_BT709;
  encoder.color_primaries = AVCOL_PRI_BT709;
  encoder.color_trc = AVCOL_TRC_BT709;
  encoder.color_range = AVCOL_RANGE_MPEG;
  AVDictionary* options = Dictionary(format_.VideoOptions);
  std::unique_ptr<AVDictionary*, TDictionaryFree> freeOptions(&options);
  OpenEncoder(video_, &options);
  video_.Stream->avg_frame_rate = encoder.framerate;
}

const AVCodecContext& TVideoFile::AddAudio(int sourceRate, int sourceChannels) {
  const AVCodec& codec = ffmpeg::FindEncoder(format_.AudioCodec);
  audio_ = NewStream(codec);
  AVCodecContext& encoder = *audio_.Encoder;
  encoder.sample_fmt = codec.sample_fmts ? codec.sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  encoder.sample_rate = SampleRateFor(codec, sourceRate);
  av_channel_layout_default(&encoder.ch_layout, sourceChannels >= 2 ? 2 : 1);
  encoder.bit_rate = 64000 * encoder.ch_layout.nb_channels;
  encoder.time_base = AVRational{1, encoder.sample_rate};
  OpenEncoder(audio_, nullptr);
  return encoder;
}

void TVideoFile::Start() {
  if (!(output_->oformat->flags & AVFMT_NOFILE))
    ffmpeg::Check(avio_open(&output_->pb, path_.c_str(), AVIO_FLAG_WRITE),
                  "Error writing the file " + shownName_);
  AVDictionary* options = Dictionary(format_.MuxerOptions);
  std::unique_ptr<AVDictionary*, TDictionaryFree> freeOptions(&options);
  ffmpeg::Check(avformat_write_header(output_.get(), &options),
                "Error writing the file " + shownName_);
}

void TVideoFile::Encode(TStream& stream, AVFrame* frame,
                        const std::function<void()>& betweenPackets) {
  AVCodecContext& encoder = *stream.Encoder;
  const std::string failed =
      std::string("The ") + encoder.codec->name + " encoder failed on " + shownName_;
  ffmpeg::Check(avcodec_send_frame(&encoder, frame), failed);
  for (;;) {
    const int received = avcodec_receive_packet(&encoder, packet_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    ffmpeg::Check(received, failed);
    av_packet_rescale_ts(packet_.get(), encoder.time_base, stream.Stream->time_base);
    packet_->stream_index = stream.Stream->index;
    ffmpeg::Check(av_interleaved_write_frame(output_.get(), packet_.get()),
                  "Error writing the file " + shownName_);
    if (betweenPackets) betweenPackets();
  }
}

void TVideoFile::WriteVideo(AVFrame& picture) {
  Encode(video_, &picture);
}

void TVideoFile::WriteAudio(AVFrame& sound) {
  Encode(audio_, &sound);
}

void TVideoFile::Finish(const std::function<void()>& betweenPackets) {
  Encode(video_, nullptr, betweenPackets);
  if (audio_.Encoder) Encode(audio_, nullptr, betweenPackets);
  ffmpeg::Check(av_write_trailer(output_.get()), "Error writing the file " + shownName_);
  if (output_->pb) ffmpeg::Check(avio_closep(&output_->pb), "Error writing the file " + shownName_);
}

}  // namespace exporters
