#include "exporters/exporters.h"
#include "platform/error.h"

namespace exporters {

// TODO: GIF, WebP and PNG frames are being written; until then they refuse.
TExportReport ExportGif(const std::string&, const project::TProjectDocument&, const std::string&,
                        const TAnimationOptions&, const TProgress&) {
  throw platform::TVellumetError("GIF export is not available yet");
}
TExportReport ExportWebP(const std::string&, const project::TProjectDocument&, const std::string&,
                         const TAnimationOptions&, const TProgress&) {
  throw platform::TVellumetError("WebP export is not available yet");
}
TExportReport ExportPngFrames(const std::string&, const project::TProjectDocument&,
                              const std::string&, const TAnimationOptions&, const TProgress&) {
  throw platform::TVellumetError("PNG frame export is not available yet");
}

}  // namespace exporters
