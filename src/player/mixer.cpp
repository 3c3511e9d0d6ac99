#include "player/mixer.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

constexpr size_t kBufferFrames = 1024;
constexpr uint64_t kOne = uint64_t(1) << 32;

}  // namespace

TVoice::TVoice(std::unique_ptr<TSampleSource> source, int outputRate, uint16_t soundID, int loops)
    : source_(std::move(source)), soundID_(soundID), loopsLeft_(std::max(loops, 1)) {
  step_ = (uint64_t(std::max(source_->Rate(), 1)) << 32) / uint64_t(std::max(outputRate, 1));
  buffer_.resize(kBufferFrames * size_t(std::max(source_->Channels(), 1)));
  if (!Pull(cur_) || !Pull(next_)) draining_ = true;
  if (source_->Channels() < 1) ended_ = true;
}

bool TVoice::Pull(float* frame) {
  const int channels = source_->Channels();
  while (bufferPos_ == bufferEnd_) {
    bufferPos_ = 0;
    bufferEnd_ = source_->Read(buffer_.data(), kBufferFrames) * size_t(channels);
    if (bufferEnd_ > 0) break;
    if (--loopsLeft_ <= 0) {
      frame[0] = frame[1] = 0;
      return false;
    }
    source_->Rewind();
    // A source that gives nothing even from its start would loop forever.
    bufferEnd_ = source_->Read(buffer_.data(), kBufferFrames) * size_t(channels);
    if (bufferEnd_ == 0) {
      loopsLeft_ = 0;
      frame[0] = frame[1] = 0;
      return false;
    }
  }
  constexpr float kScale = 1.0f / 32768;
  frame[0] = float(buffer_[bufferPos_]) * kScale;
  frame[1] = channels == 2 ? float(buffer_[bufferPos_ + 1]) * kScale : frame[0];
  bufferPos_ += size_t(channels);
  return true;
}

size_t TVoice::MixInto(float* mix, size_t frames) {
  size_t n = 0;
  while (n < frames && !ended_) {
    const float t = float(frac_) * (1.0f / float(kOne));
    mix[2 * n] += cur_[0] + (next_[0] - cur_[0]) * t;
    mix[2 * n + 1] += cur_[1] + (next_[1] - cur_[1]) * t;
    ++n;
    for (frac_ += step_; frac_ >= kOne && !ended_; frac_ -= kOne) {
      if (draining_) {
        ended_ = true;
        break;
      }
      cur_[0] = next_[0];
      cur_[1] = next_[1];
      if (!Pull(next_)) draining_ = true;
    }
  }
  produced_ += n;
  return n;
}

uint64_t TVoice::SourcePosition(uint64_t outputFrame) const {
  // Exact for any sound shorter than some 27 hours at 44.1 kHz.
  return uint64_t((unsigned __int128)outputFrame * step_ >> 32);
}

void TMixer::Add(std::unique_ptr<TVoice> voice) {
  if (voice->Ended()) return;
  if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
  voices_.push_back(std::move(voice));
}

bool TMixer::IsPlaying(uint16_t soundID) const {
  return std::any_of(voices_.begin(), voices_.end(),
                     [soundID](const auto& v) { return v->SoundID() == soundID; });
}

void TMixer::StopSound(uint16_t soundID) {
  std::erase_if(voices_, [soundID](const auto& v) { return v->SoundID() == soundID; });
}

void TMixer::Clear() {
  voices_.clear();
  stream_.reset();
}

void TMixer::Mix(int16_t* out, size_t frames) {
  mix_.assign(frames * 2, 0.0f);
  for (const auto& v : voices_) v->MixInto(mix_.data(), frames);
  if (stream_) stream_->MixInto(mix_.data(), frames);
  std::erase_if(voices_, [](const auto& v) { return v->Ended(); });
  for (size_t i = 0; i < frames * 2; ++i)
    out[i] = int16_t(std::clamp(std::lrint(mix_[i] * 32768.0f), -32768L, 32767L));
}

}  // namespace player
