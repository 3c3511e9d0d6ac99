#pragma once
// A one-line progress bar on standard error while it is a terminal; nothing
// at all when the output goes to a file or a pipe.
#include <cstdint>
#include <mutex>
#include <string>

namespace app {

class TProgressBar {
 public:
  explicit TProgressBar(std::string label);
  ~TProgressBar();  // clears the line again
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // Safe to call from several threads.
  void Show(int64_t done, int64_t total);

 private:
  std::string label_;
  bool terminal_;
  bool shown_ = false;
  int64_t lastDone_ = -1;
  std::mutex mutex_;
};

}  // namespace app
