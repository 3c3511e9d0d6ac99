// Animated GIF and WebP: the frames painted once, then encoded with the best
// setting that meets the size budget.
#include <string>

#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/frame_source.h"
#include "exporters/frame_timing.h"
#include "exporters/gif_writer.h"
#include "exporters/size_budget.h"
#include "exporters/webp_writer.h"
#include "media/file_bytes.h"

namespace exporters {
namespace {

// Browsers show a GIF or WebP frame of less than 20 ms for 100 ms.
constexpr int64_t kShortestFrameMs = 20;
constexpr int64_t kLongestGifDelayCs = 0xFFFF, kLongestWebPFrameMs = 0xFFFFFF;

TExportReport Save(const std::string& outPath, const TBudgetResult& result) {
  media::WriteFileBytes(outPath, result.Bytes);
  return {outPath, result.Bytes.size(), result.Choice};
}

// Palettes from 256 colours down, halving.
std::vector<TEncodingStep> GifSteps(TGifWriter& writer, TProgressMeter& meter) {
  std::vector<TEncodingStep> steps;
  for (int colours = kMaxGifColours; colours >= kMinGifColours; colours /= 2)
    steps.push_back({std::to_string(colours) + " colours",
                     [&writer, &meter, colours] { return writer.Encode(colours, meter); }});
  return steps;
}

// Lossless first, then lossy from quality 90 down in steps of 10.
std::vector<TEncodingStep> WebPSteps(TFrameSource& frames, const std::vector<int64_t>& durations,
                                     bool loop, TProgressMeter& meter) {
  std::vector<TEncodingStep> steps;
  auto add = [&](std::string choice, TWebPSetting setting) {
    steps.push_back({std::move(choice), [&frames, &durations, &meter, loop, setting] {
                       return EncodeWebP(frames, durations, loop, setting, meter);
                     }});
  };
  add("lossless", {true, 100});
  for (int quality = 90; quality >= 0; quality -= 10)
    add("quality " + std::to_string(quality), {false, quality});
  return steps;
}

}  // namespace

TExportReport ExportGif(const std::string& swfPath, const project::TProjectDocument& doc,
                        const std::string& outPath, const TAnimationOptions& options,
                        const TProgress& progress) {
  TFrameSource frames(swfPath, doc, options.Scale);
  TGifWriter writer(
      frames, DisplayTimes(FrameDurationsMs(doc), 10, kShortestFrameMs / 10, kLongestGifDelayCs),
      LoopsForever(doc, options));
  TProgressMeter meter(progress);
  const std::vector<TEncodingStep> steps = GifSteps(writer, meter);
  meter.SetTotal(frames.Count() * (1 + StepsToPlan(steps, options.MaxSizeKB)));
  writer.CollectColours(meter);
  const TBudgetResult result = EncodeWithinBudget(steps, options.MaxSizeKB, "GIF");
  meter.Finish();
  return Save(outPath, result);
}

TExportReport ExportWebP(const std::string& swfPath, const project::TProjectDocument& doc,
                         const std::string& outPath, const TAnimationOptions& options,
                         const TProgress& progress) {
  TFrameSource frames(swfPath, doc, options.Scale);
  const std::vector<int64_t> durations =
      DisplayTimes(FrameDurationsMs(doc), 1, kShortestFrameMs, kLongestWebPFrameMs);
  TProgressMeter meter(progress);
  const std::vector<TEncodingStep> steps =
      WebPSteps(frames, durations, LoopsForever(doc, options), meter);
  meter.SetTotal(frames.Count() * StepsToPlan(steps, options.MaxSizeKB));
  const TBudgetResult result = EncodeWithinBudget(steps, options.MaxSizeKB, "WebP");
  meter.Finish();
  return Save(outPath, result);
}

}  // namespace exporters
