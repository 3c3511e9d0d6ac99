#include "exporters/exporters.h"
#include "platform/error.h"

namespace exporters {

// TODO: the Ruffle page is being written; until then it refuses.
TExportReport WriteWebPage(const project::TProjectDocument&, const std::string&) {
  throw platform::TVellumetError("the web page export is not available yet");
}

}  // namespace exporters
