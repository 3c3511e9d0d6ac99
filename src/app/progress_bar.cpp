#include "app/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace app {

namespace {

constexpr int kWidth = 30;

}  // namespace

TProgressBar::TProgressBar(std::string label)
    : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) == 1) {}

TProgressBar::~TProgressBar() {
  if (shown_) std::fputs("\r\033[K", stderr);
}

void TProgressBar::Show(int64_t done, int64_t total) {
  if (!terminal_ || total <= 0) return;
  std::lock_guard lock(mutex_);
  if (done == lastDone_) return;
  lastDone_ = done;
  const int filled = int(std::clamp<int64_t>(done * kWidth / total, 0, kWidth));
  std::fprintf(stderr, "\r%s [%s%s] %lld/%lld", label_.c_str(),
               std::string(size_t(filled), '#').c_str(),
               std::string(size_t(kWidth - filled), '.').c_str(), static_cast<long long>(done),
               static_cast<long long>(total));
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace app
