#pragma once
// The backup picture of an ad package: one frame at the stage's size, shown
// where the animation cannot play. It is PNG when that fits the profile's
// limit, else JPEG at the best quality that does.
#include <cstdint>
#include <string>
#include <vector>

#include "project/document.h"

namespace exporters {

struct TBackupPicture {
  std::string Name;  // "backup.png" or "backup.jpg"
  std::vector<uint8_t> Bytes;
  std::string Choice;  // "PNG", "JPEG quality 80"
};

// Project frame `frame` (1-based; 0: the last) of the whole-movie build
// swfPath, within maxKB (units of 1000 bytes; 0: no limit). Throws
// platform::TVellumetError when the frame does not exist or no setting fits.
TBackupPicture MakeBackupPicture(const std::string& swfPath, const project::TProjectDocument& doc,
                                 int frame, int64_t maxKB);

}  // namespace exporters
