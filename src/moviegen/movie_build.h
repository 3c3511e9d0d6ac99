#pragma once
// CreateMovie: turns the project into an SWF movie, either the current
// frame alone (the editor's live preview) or the whole movie (preview and
// export). Every build starts from scratch; only the bitmaps and picture
// copies cached on disk survive from one build to the next.
#include <cstdint>
#include <string>

#include "moviegen/build_host.h"
#include "project/document.h"

namespace moviegen {

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
// sound, an unwritable file) throw; nothing is written or loaded then.
std::string CreateMovie(project::TProjectDocument& doc, IBuildHost& host, bool wholeMovie,
                        bool deleteAfterLoad, bool refresh);

// The distance between the depth ranges of two frames: the highest used slot
// number + 4. Slots 1..stride are visited in every frame.
int DepthStride(const project::TProjectDocument& doc);

// The text shown when the stride passes 255.
inline constexpr const char* kTooManyObjects =
    "Too many objects in the movie. Only 255 is allowed.";

// A frame lasts one SWF frame per full 10 ms of its delay, at least one.
int32_t SwfFramesForDelay(int32_t delay);

// The single-frame build shows its frame this many SWF frames long: the low
// 16 bits of 100 * 10000.
inline constexpr uint16_t kSingleFrameLength = 16960;

}  // namespace moviegen
