#include "editor/frame_view.h"

#include <algorithm>
#include <functional>
#include <set>

#include "moviegen/movie_build.h"

namespace editor {

std::string FrameCellName(int32_t frame, int32_t delay) {
  return "Frame " + std::to_string(frame) + ", " + std::to_string(delay) + " ms";
}

TFramePicture FramePicture(const project::TProjectDocument& doc, int32_t frame) {
  return {doc.Settings, doc.Frames[size_t(frame)]};
}

TDocumentPlace DocumentPlace(const project::TProjectDocument& doc) {
  return {doc.ProjectFileName, doc.ProjectDir, doc.ProgramDir, doc.TempDir,
          doc.ScreenPixelsPerInch};
}

void MakeOneFrameDocument(const TDocumentPlace& place, const TFramePicture& picture,
                          project::TProjectDocument& out) {
  out.ProjectFileName = place.ProjectFileName;
  out.ProjectDir = place.ProjectDir;
  out.ProgramDir = place.ProgramDir;
  out.TempDir = place.TempDir;
  out.ScreenPixelsPerInch = place.ScreenPixelsPerInch;
  out.Settings = picture.Settings;
  out.SetFrameCount(1);
  out.Frames[1] = picture.Frame;
  out.CurrentFrame = 1;
  out.SelectedSlots.reset();
}

TFrameDepths FrameDepths(const project::TProjectDocument& doc, int32_t frame) {
  moviegen::TDepthLayout layout(doc.FrameCount, moviegen::DepthStride(doc));
  return {layout.Background(frame), layout.Border(frame)};
}

// ---- Thumbnails ------------------------------------------------------------

void TThumbnailTracker::SetView(int32_t current, int32_t firstVisible, int32_t lastVisible) {
  current_ = current;
  first_ = firstVisible;
  last_ = lastVisible;
}

std::vector<int32_t> TThumbnailTracker::Wanted(int32_t frameCount) const {
  std::vector<int32_t> order;
  std::vector<bool> taken(size_t(frameCount) + 1);
  auto take = [&](int32_t f) {
    if (f < 1 || f > frameCount || taken[size_t(f)] || order.size() >= capacity_) return;
    taken[size_t(f)] = true;
    order.push_back(f);
  };
  take(current_);
  for (int32_t f = first_; f <= last_; ++f) take(f);
  // Then outwards from the visible cells, both sides in turn.
  const int32_t low = last_ >= first_ ? first_ : current_;
  const int32_t high = last_ >= first_ ? last_ : current_;
  for (int32_t step = 1; order.size() < capacity_ && (low - step >= 1 || high + step <= frameCount);
       ++step) {
    take(high + step);
    take(low - step);
  }
  return order;
}

bool TThumbnailTracker::IsCurrent(const project::TProjectDocument& doc, int32_t frame) const {
  auto it = made_.find(frame);
  return it != made_.end() && frame <= doc.FrameCount && it->second.Settings == doc.Settings &&
         it->second.Frame == doc.Frames[size_t(frame)];
}

std::vector<int32_t> TThumbnailTracker::Stale(const project::TProjectDocument& doc) const {
  std::vector<int32_t> stale;
  for (int32_t f : Wanted(doc.FrameCount))
    if (!IsCurrent(doc, f)) stale.push_back(f);
  return stale;
}

namespace {

// Equal pictures give equal values; a cheap first test before comparing them.
uint64_t Fingerprint(const TFramePicture& picture) {
  const project::TFrameRec& f = picture.Frame;
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  mix(uint64_t(f.Delay));
  mix(uint64_t(f.AddGrad) << 8 | f.AddBorder);
  mix(f.BkgrColor);
  mix(f.Slots.RecordCount());
  const int last = f.Slots.LastUsed();
  for (int n = 1; n <= last; ++n) {
    const project::TShapeRec& r = f.Slots[n];
    mix(r.Object);
    mix(uint64_t(uint32_t(r.X)) << 32 | uint32_t(r.Y));
    mix(uint64_t(uint32_t(r.W)) << 32 | uint32_t(r.H));
    mix(std::hash<std::string>()(r.Text));
  }
  return h;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> TThumbnailTracker::Reusable(
    const project::TProjectDocument& doc) const {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  const std::vector<int32_t> stale = Stale(doc);
  if (stale.empty()) return pairs;
  std::multimap<uint64_t, int32_t> made;
  for (const auto& [frame, picture] : made_) made.emplace(Fingerprint(picture), frame);
  for (int32_t f : stale) {
    const TFramePicture picture = FramePicture(doc, f);
    const auto [begin, end] = made.equal_range(Fingerprint(picture));
    for (auto it = begin; it != end; ++it)
      if (made_.at(it->second) == picture) {
        pairs.emplace_back(f, it->second);
        break;
      }
  }
  return pairs;
}

std::vector<int32_t> TThumbnailTracker::Made(int32_t frame, TFramePicture picture,
                                             int32_t frameCount) {
  made_[frame] = std::move(picture);
  std::vector<int32_t> dropped;
  for (auto it = made_.begin(); it != made_.end();)
    if (it->first > frameCount) {
      dropped.push_back(it->first);
      it = made_.erase(it);
    } else {
      ++it;
    }
  if (made_.size() <= capacity_) return dropped;
  const std::vector<int32_t> wanted = Wanted(frameCount);
  const std::set<int32_t> keep(wanted.begin(), wanted.end());
  for (auto it = made_.begin(); it != made_.end() && made_.size() > capacity_;)
    if (!keep.count(it->first)) {
      dropped.push_back(it->first);
      it = made_.erase(it);
    } else {
      ++it;
    }
  return dropped;
}

// ---- Onion skin ------------------------------------------------------------

std::vector<TOnionLayer> OnionLayers(int32_t current, int32_t frameCount, int count) {
  count = std::clamp(count, 1, kMaxOnionFrames);
  static constexpr double kOpacity[kMaxOnionFrames] = {0.5, 0.32, 0.2};
  std::vector<TOnionLayer> layers;
  for (int d = count; d >= 1; --d) {
    if (current - d >= 1) layers.push_back({current - d, true, kOpacity[d - 1]});
    if (current + d <= frameCount) layers.push_back({current + d, false, kOpacity[d - 1]});
  }
  return layers;
}

// ---- Playing ---------------------------------------------------------------

int32_t PlayedMilliseconds(int32_t delay) {
  return moviegen::SwfFramesForDelay(delay) * 10;
}

int32_t NextPlayedFrame(const project::TProjectDocument& doc, int32_t frame) {
  if (frame < doc.FrameCount) return frame + 1;
  return doc.Settings.MLoop != 0 ? 1 : 0;
}

}  // namespace editor
