#pragma once
// vellumet export A.sw0 B.sw0 ... -o DIR/: many projects built side by side
// over the cores, each into DIR/NAME.swf with its pages.
#include "app/export_args.h"

namespace app {

// Prints one line per project at the end (name, size, time, or the error);
// returns the exit status: 1 when any project failed.
int RunBatchExport(const TExportArgs& args);

}  // namespace app
