#pragma once
// What each frame of the movie adds to its HTML5 ad package, read off the
// package builds themselves: the movie's first frames are packaged as the
// whole package was, and a frame costs what the package grows by with it.
#include <cstdint>
#include <vector>

#include "exporters/ad_export.h"

namespace exporters {

// The bytes of build's package for each project frame of the movie swf,
// where project frame i lasts swfFrames[i] SWF frames. The first frame
// carries the page, the runtime and the backup picture; a picture counts in
// the frame that first shows it. They add up to build.Zip.size(). Throws
// platform::TVellumetError when the movie cannot be read.
std::vector<uint64_t> PackageFrameBytes(const std::vector<uint8_t>& swf,
                                        const project::TProjectDocument& doc,
                                        const TAdPackageBuild& build,
                                        const std::vector<int32_t>& swfFrames);

}  // namespace exporters
