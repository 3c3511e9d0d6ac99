#pragma once
// Progress of an export in steps (frames painted or encoded), with the
// caller's chance to cancel after each.
#include <cstdint>

#include "exporters/exporters.h"
#include "platform/error.h"

namespace exporters {

// Thrown when the progress callback said stop; nothing is left on disk.
class TExportCancelled : public platform::TVellumetError {
 public:
  TExportCancelled() : platform::TVellumetError("The export was cancelled") {}
};

class TProgressMeter {
 public:
  explicit TProgressMeter(const TProgress& progress, int64_t total = 0)
      : progress_(progress), total_(total) {}

  void SetTotal(int64_t total) { total_ = total; }

  // One more step done; throws TExportCancelled when the caller says stop.
  void Step() { Report(++done_); }
  // The caller's chance to stop during long work between steps.
  void Check() { Report(done_); }
  // Every step done (a size budget met before its last try).
  void Finish() {
    if (done_ < total_) Report(done_ = total_);
  }

 private:
  void Report(int64_t done) {
    if (progress_ && !progress_(done, total_)) throw TExportCancelled();
  }

  const TProgress& progress_;
  int64_t total_, done_ = 0;
};

}  // namespace exporters
