#include "player/audio_output.h"

#include <algorithm>

namespace player {

void TCaptureOutput::Write(const int16_t* frames, size_t count) {
  count = std::min(count, Room());
  queue_.insert(queue_.end(), frames, frames + count * 2);
}

void TCaptureOutput::Flush() {
  queue_.clear();
  head_ = 0;
}

void TCaptureOutput::Play(size_t frames) {
  const size_t take = std::min(frames, Queued());
  heard_.insert(heard_.end(), queue_.begin() + std::ptrdiff_t(head_),
                queue_.begin() + std::ptrdiff_t(head_ + take * 2));
  heard_.resize(heard_.size() + (frames - take) * 2, 0);
  head_ += take * 2;
  if (head_ == queue_.size() || head_ > (size_t(1) << 16)) {
    queue_.erase(queue_.begin(), queue_.begin() + std::ptrdiff_t(head_));
    head_ = 0;
  }
}

}  // namespace player
