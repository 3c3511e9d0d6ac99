#include "editor/frame_sizes.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "swf/core/frame_arrival.h"

namespace editor {

std::vector<TFrameSize> MeasureFrames(const std::vector<uint8_t>& swf,
                                      const std::vector<int32_t>& swfFrames) {
  const swf::TFrameArrivals arrivals = swf::ReadFrameArrivals(swf);
  const std::vector<uint64_t>& ready = arrivals.ReadyAt;
  const double rate = arrivals.FrameRate > 0 ? arrivals.FrameRate : 1;
  std::vector<TFrameSize> frames;
  uint64_t start = 0, before = 0;
  for (size_t i = 0; i < swfFrames.size(); ++i) {
    const bool last = i + 1 == swfFrames.size();
    // Frames the file has beyond the project's count (none in our builds)
    // belong to the last project frame.
    const uint64_t end = last ? ready.size() : start + uint64_t(std::max(swfFrames[i], 1));
    TFrameSize frame;
    frame.PlaysAt = double(start) / rate;
    frame.ReadyAt = start < ready.size() ? ready[start] : ready.back();
    const uint64_t through = std::min<uint64_t>(end, ready.size());
    const uint64_t upTo = through > 0 ? ready[through - 1] : 0;
    frame.Bytes = upTo > before ? upTo - before : 0;
    before = std::max(before, upTo);
    frames.push_back(frame);
    start = end;
  }
  return frames;
}

std::vector<TFrameSize> MeasureFrameFile(const std::string& path,
                                         const std::vector<int32_t>& swfFrames) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  try {
    return MeasureFrames(bytes, swfFrames);
  } catch (const platform::TVellumetError&) {
    return {};
  }
}

std::vector<TFrameSize> PackageFrames(const std::vector<uint64_t>& bytes,
                                      const std::vector<TFrameSize>& swf) {
  uint64_t total = 0;
  for (uint64_t b : bytes) total += b;
  std::vector<TFrameSize> frames;
  for (size_t i = 0; i < bytes.size(); ++i)
    frames.push_back({bytes[i], total, i < swf.size() ? swf[i].PlaysAt : 0});
  return frames;
}

double ArrivalSeconds(uint64_t bytes, int64_t bitsPerSecond) {
  return bitsPerSecond > 0 ? double(bytes) * 8 / double(bitsPerSecond) : 0;
}

double DueSeconds(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond) {
  return ArrivalSeconds(frames.front().ReadyAt, bitsPerSecond) + frames[i].PlaysAt;
}

bool ArrivesLate(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond) {
  return ArrivalSeconds(frames[i].ReadyAt, bitsPerSecond) > DueSeconds(frames, i, bitsPerSecond);
}

namespace {

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", s);
  return text;
}

}  // namespace

std::string FrameTip(const std::vector<TFrameSize>& frames, size_t i, int64_t bitsPerSecond) {
  return "Frame " + std::to_string(i + 1) + ": " + std::to_string(frames[i].Bytes) +
         " bytes, in after " + Seconds(ArrivalSeconds(frames[i].ReadyAt, bitsPerSecond)) +
         ", due at " + Seconds(DueSeconds(frames, i, bitsPerSecond));
}

std::string ArrivalSummary(const std::vector<TFrameSize>& frames, int64_t bitsPerSecond) {
  if (frames.empty()) return "The frames' sizes are not known.";
  std::string text = "All " + std::to_string(frames.size()) + " frames are in after " +
                     Seconds(ArrivalSeconds(frames.back().ReadyAt, bitsPerSecond)) + ".";
  for (size_t i = 1; i < frames.size(); ++i) {
    if (!ArrivesLate(frames, i, bitsPerSecond)) continue;
    const double late =
        ArrivalSeconds(frames[i].ReadyAt, bitsPerSecond) - DueSeconds(frames, i, bitsPerSecond);
    return text + " Frame " + std::to_string(i + 1) + " arrives " + Seconds(late) +
           " after it is due.";
  }
  return text;
}

}  // namespace editor
