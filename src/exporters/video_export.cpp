// MP4 (H.264, AAC) and WebM (VP9, Opus) of the whole movie: every project
// frame painted once by our own player and repeated for as many video
// frames as its delay lasts at the chosen constant rate; the background
// sound plays once from the start.
#include <filesystem>
#include <memory>
#include <optional>

#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/frame_source.h"
#include "exporters/partial_file.h"
#include "exporters/sound_track.h"
#include "exporters/video_file.h"
#include "exporters/video_pictures.h"
#include "exporters/video_timing.h"
#include "platform/error.h"
#include "project/project_file.h"

namespace exporters {
namespace {

class TVideoExport {
 public:
  TVideoExport(const std::string& swfPath, const project::TProjectDocument& doc,
               const TVideoFormat& format, const std::string& path, const std::string& shownName,
               double scale)
      : timing_(ChooseVideoTiming(SwfFrameCounts(doc))),
        frames_(swfPath, doc, scale, 0),
        canvas_(QSize(frames_.Width(), frames_.Height())),
        converter_(canvas_.Size()),
        file_(format, path, shownName) {
    file_.AddVideo(canvas_.Size().width(), canvas_.Size().height(), timing_.Rate);
    AddSound(project::ResolveMediaPath(doc.Settings.MBkgrSound, doc.TempDir, doc.ProgramDir));
    file_.Start();
  }

  // Throws TExportCancelled when the progress callback says stop.
  void Run(const TProgress& progress);
  std::string Choice() const;

 private:
  void AddSound(const std::string& path);
  void WriteSoundUntil(int64_t videoFrame);
  void WriteSoundSamples(int64_t until);

  TVideoTiming timing_;
  TFrameSource frames_;  // keeps no frame: each is painted once, in order
  TEvenCanvas canvas_;
  TYuvConverter converter_;
  TVideoFile file_;
  std::optional<TSoundFile> sound_;
  std::optional<TSoundTrack> track_;
};

void TVideoExport::AddSound(const std::string& path) {
  if (path.empty()) return;
  sound_.emplace(path);
  const AVCodecContext& encoder = file_.AddAudio(sound_->SampleRate(), sound_->Channels());
  track_.emplace(*sound_, encoder, timing_.FrameCount() * encoder.sample_rate / timing_.Rate);
}

// Sound up to the start of the video frame, so the muxer interleaves as it goes.
void TVideoExport::WriteSoundUntil(int64_t videoFrame) {
  if (track_) WriteSoundSamples(videoFrame * track_->SampleRate() / timing_.Rate);
}

void TVideoExport::WriteSoundSamples(int64_t until) {
  while (track_->Position() < until) {
    ffmpeg::TFramePtr sound = track_->Next();
    if (!sound) return;
    file_.WriteAudio(*sound);
  }
}

void TVideoExport::Run(const TProgress& progress) {
  TProgressMeter meter(progress, timing_.FrameCount());
  for (int l = 0; l < frames_.Count(); ++l) {
    AVFrame& picture = converter_.Convert(canvas_.CopyIn(frames_.Frame(l)));
    for (int64_t k = timing_.Starts[size_t(l)]; k < timing_.Starts[size_t(l) + 1]; ++k) {
      picture.pts = k;
      file_.WriteVideo(picture);
      WriteSoundUntil(k + 1);
      meter.Step();
    }
  }
  if (track_) WriteSoundSamples(track_->Length());
  file_.Finish([&] { meter.Check(); });
}

std::string TVideoExport::Choice() const {
  return std::to_string(timing_.Rate) + " frames per second" +
         (track_ ? ", with the background sound" : "");
}

}  // namespace

TExportReport ExportVideo(const std::string& swfPath, const project::TProjectDocument& doc,
                          const std::string& outPath, const TAnimationOptions& options,
                          const TProgress& progress) {
  const TVideoFormat* format = VideoFormatFor(outPath);
  if (!format)
    throw platform::TVellumetError("A video file name ends in .mp4 or .webm: " + outPath);
  TPartialFile partial(outPath);
  TVideoExport video(swfPath, doc, *format, partial.Path(), outPath, options.Scale);
  video.Run(progress);
  partial.Commit();
  std::error_code ignored;
  return {outPath, std::filesystem::file_size(outPath, ignored), video.Choice()};
}

}  // namespace exporters
