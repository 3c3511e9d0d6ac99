#include "exporters/package_frames.h"

#include <algorithm>

#include "swf/core/frame_arrival.h"

namespace exporters {

std::vector<uint64_t> PackageFrameBytes(const std::vector<uint8_t>& swf,
                                        const project::TProjectDocument& doc,
                                        const TAdPackageBuild& build,
                                        const std::vector<int32_t>& swfFrames) {
  const std::vector<uint8_t> plain = swf::PlainMovie(swf);
  const uint64_t total = build.Zip.size();
  std::vector<uint64_t> bytes;
  uint64_t swfEnd = 0, before = 0;
  for (size_t i = 0; i < swfFrames.size(); ++i) {
    swfEnd += uint64_t(std::max(swfFrames[i], 1));
    const bool last = i + 1 == swfFrames.size();
    const uint64_t size =
        last ? total : WriteZip(AdPackageFiles(swf::FirstFrames(plain, swfEnd), doc, build)).size();
    // Deflate may pack a longer page a few bytes tighter: the running size
    // never falls, so no frame gets fewer than no bytes, and never passes
    // the package, so the frames add up to it.
    const uint64_t through = std::min(std::max(size, before), total);
    bytes.push_back(through - before);
    before = through;
  }
  return bytes;
}

}  // namespace exporters
