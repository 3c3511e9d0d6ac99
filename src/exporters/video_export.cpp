#include "exporters/exporters.h"
#include "platform/error.h"

namespace exporters {

// TODO: video export is being written; until then it refuses.
TExportReport ExportVideo(const std::string&, const project::TProjectDocument&, const std::string&,
                          const TAnimationOptions&, const TProgress&) {
  throw platform::TVellumetError("video export is not available yet");
}

}  // namespace exporters
