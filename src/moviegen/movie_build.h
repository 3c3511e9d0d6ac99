#pragma once
// CreateMovie: turns the project into an SWF movie, either the current
// frame alone (the editor's live preview) or the whole movie (preview and
// export). Every build starts from scratch; only the bitmaps and picture
// copies cached on disk survive from one build to the next.
#include <cstdint>
#include <string>
#include <vector>

#include "moviegen/build_host.h"
#include "project/document.h"

namespace moviegen {

// What a build may do beyond the default movie.
struct TBuildOptions {
  // Each frame removes only the depths the frame before used, instead of
  // every depth from 0 up, and a character is defined once where the frames
  // can share it (identical ones; unturned objects drawn at the origin and
  // moved by their placement). Every frame looks the same in any player, and
  // a long movie stops growing with the square of its frame count.
  bool Compact = false;
  // The file is left uncompressed: for an export that only reads it back
  // (the HTML5 page), zlib's work both ways would be wasted.
  bool Uncompressed = false;
};

// Builds the movie into a new file in doc.TempDir (MovieFileName) and returns
// its path; "" when the host's update guard was set and nothing was done.
// A single-frame build loads the file into the host's player; with
// deleteAfterLoad the file is deleted again before the call returns (the
// path is still returned). Refresh makes the player repaint after loading.
//
// The build writes derived values back into the model: W and H of every
// text (measured), picture and button; Alpha := 0 of buttons and of pictures
// and bitmap fills whose image cannot be translucent.
//
// Failures of the library (an unsupported picture format, an unreadable
// sound, an unwritable file) throw; nothing is written or loaded then. A
// whole movie longer than an SWF file can count (kMaxSwfFrames) is refused
// before anything is done, with TMovieGenError naming its length.
std::string CreateMovie(project::TProjectDocument& doc, IBuildHost& host, bool wholeMovie,
                        bool deleteAfterLoad, bool refresh, const TBuildOptions& options = {});

// The single-frame build of doc.CurrentFrame as uncompressed bytes ("FWS"),
// written to no file and loaded into no player: the canvas's movie and the
// pictures of frames beside it. It writes the derived values back as
// CreateMovie does, and throws what it throws.
std::vector<uint8_t> CreateFrameBytes(project::TProjectDocument& doc, IBuildHost& host);

// The SWF header counts frames in 16 bits: at 100 frames per second a movie
// runs at most 655.35 s.
inline constexpr int64_t kMaxSwfFrames = 65535;

// The SWF frames of the whole movie: SwfFramesForDelay over every frame.
int64_t MovieSwfFrames(const project::TProjectDocument& doc);
// The SWF frames each project frame lasts.
std::vector<int32_t> SwfFrameCounts(const project::TProjectDocument& doc);

// "" when the whole movie fits an SWF file, else the text that refuses it.
std::string MovieLengthError(const project::TProjectDocument& doc);

// The distance between the depth ranges of two frames: the highest used slot
// number + 4. Slots 1..stride are visited in every frame.
int DepthStride(const project::TProjectDocument& doc);

// The depths of a build. Frame l owns l*N (its background) up to
// (l + 1)*N - 3 (its border), the object of slot e lies at l*N + e; the movie-wide link button
// lies above every frame at (FrameCount + 1)*N. Depths are 16-bit: when the
// link would pass 65535 the frames reuse the depth ranges in cycles (every
// frame removes everything of the frame before), so no two things share a
// depth and nothing wraps.
class TDepthLayout {
 public:
  TDepthLayout(int32_t frameCount, int32_t stride);

  int32_t Stride() const { return stride_; }
  // Frame l's base plus an offset.
  uint16_t Depth(int32_t l, int32_t offset) const;
  uint16_t Background(int32_t l) const { return Depth(l, 0); }
  uint16_t Object(int32_t l, int e) const { return Depth(l, e); }
  uint16_t Border(int32_t l) const { return Depth(l, stride_ - 3); }
  // Frame l starts by removing every depth from 0 to this one: all of frame l
  // - 1 (a compact build removes only the depths frame l - 1 used).
  uint16_t RemovalTop(int32_t l) const { return Depth(l - 1, stride_); }
  uint16_t Link() const;

 private:
  int32_t frameCount_, stride_;
  int32_t cycle_;  // frames per cycle of depth ranges; 0 when the frames need none
};

// The text of a build that would number more characters than SWF's 16-bit
// IDs: every frame defines its own shapes, texts and pictures.
inline constexpr const char* kTooManyCharacters =
    "The movie needs more than 65535 shapes, texts and pictures, the most an SWF file can "
    "number (every frame defines its own). Use fewer frames or objects, or a compact export, "
    "which defines what the frames repeat only once.";

// The text shown when the stride passes 255.
inline constexpr const char* kTooManyObjects =
    "Too many objects in the movie. Only 255 is allowed.";

// A frame lasts one SWF frame per full 10 ms of its delay, at least one.
int32_t SwfFramesForDelay(int32_t delay);

// The single-frame build shows its frame this many SWF frames long: the low
// 16 bits of 100 * 10000.
inline constexpr uint16_t kSingleFrameLength = 16960;

}  // namespace moviegen
