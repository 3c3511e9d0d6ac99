#pragma once
// What the window shows of the frames beside the canvas: the frame strip's
// cells and which thumbnails to make first, the onion skin's layers, and the
// timing of playing on the canvas. Plain rules over the document; the
// widgets paint what these say.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "project/document.h"

namespace editor {

// The cell's name for assistive technology: "Frame N, D ms".
std::string FrameCellName(int32_t frame, int32_t delay);

// Everything a frame's picture depends on: a picture made from an equal one
// is current.
struct TFramePicture {
  project::TMovieSettings Settings;
  project::TFrameRec Frame;
  bool operator==(const TFramePicture&) const = default;
};
TFramePicture FramePicture(const project::TProjectDocument& doc, int32_t frame);

// Where a document finds its media; shared by the pictures made from it.
struct TDocumentPlace {
  std::string ProjectFileName, ProjectDir, ProgramDir, TempDir;
  int32_t ScreenPixelsPerInch = 96;
};
TDocumentPlace DocumentPlace(const project::TProjectDocument& doc);

// A document of the one frame, built as the canvas builds that frame.
void MakeOneFrameDocument(const TDocumentPlace& place, const TFramePicture& picture,
                          project::TProjectDocument& out);

// The depths a frame's single-frame build gives its background and border;
// its objects lie between them.
struct TFrameDepths {
  uint16_t Background = 0, Border = 0;
};
TFrameDepths FrameDepths(const project::TProjectDocument& doc, int32_t frame);

// Which frames' thumbnails are current, and which to make next. At most
// `capacity` thumbnails are kept, so their memory is bounded at any frame
// count: the current frame, the visible ones, then those nearest to them.
class TThumbnailTracker {
 public:
  explicit TThumbnailTracker(size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {}
  // The cells the strip shows, 1-based and inclusive; none when last < first.
  void SetView(int32_t current, int32_t firstVisible, int32_t lastVisible);
  // The frames that deserve a thumbnail, most wanted first.
  std::vector<int32_t> Wanted(int32_t frameCount) const;
  // Wanted frames whose thumbnail is missing or stale, in the order to make them.
  std::vector<int32_t> Stale(const project::TProjectDocument& doc) const;
  bool IsCurrent(const project::TProjectDocument& doc, int32_t frame) const;
  // Stale wanted frames whose picture equals the one a thumbnail of another
  // frame was made from (frames moved or reversed, a frame copied): pairs of
  // (stale frame, frame whose thumbnail it can take).
  std::vector<std::pair<int32_t, int32_t>> Reusable(const project::TProjectDocument& doc) const;
  // A thumbnail of `frame` was made from `picture`; returns the frames whose
  // thumbnails go to stay within the capacity (never a wanted one).
  std::vector<int32_t> Made(int32_t frame, TFramePicture picture, int32_t frameCount);
  void Forget(int32_t frame) { made_.erase(frame); }
  size_t Count() const { return made_.size(); }

 private:
  size_t capacity_;
  int32_t current_ = 1, first_ = 1, last_ = 0;
  std::map<int32_t, TFramePicture> made_;
};

// One neighbour drawn faintly under the current frame.
struct TOnionLayer {
  int32_t Frame = 0;
  bool Earlier = false;
  double Opacity = 0;
};
inline constexpr int kMaxOnionFrames = 3;
// The neighbours within `count` (1..3) frames each side, farthest first so
// the nearest lie on top; nearer ones are stronger.
std::vector<TOnionLayer> OnionLayers(int32_t current, int32_t frameCount, int count);
// The tints, 0xRRGGBB: earlier frames red, later ones blue.
inline constexpr uint32_t kEarlierTint = 0xD02020, kLaterTint = 0x2050E0;

// How long a frame stands when the movie plays: whole SWF frames of 10 ms.
int32_t PlayedMilliseconds(int32_t delay);
// The frame after `frame` when the movie plays; 0 when it stops at the end.
int32_t NextPlayedFrame(const project::TProjectDocument& doc, int32_t frame);

}  // namespace editor
