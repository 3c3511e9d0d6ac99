#include "player/mp3_source.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace player {
namespace {

constexpr size_t kFeedChunk = 16 * 1024;

mpg123_handle* NewHandle() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
  mpg123_handle* h = mpg123_new(nullptr, nullptr);
  if (!h) return nullptr;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // SWF players play every decoded sample; the sound's own seek says what to drop.
  mpg123_param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  mpg123_format_none(h);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(h) != MPG123_OK) {
    mpg123_delete(h);
    return nullptr;
  }
  return h;
}

}  // namespace

TMp3Decoder::TMp3Decoder() : handle_(NewHandle()) {
  broken_ = handle_ == nullptr;
}

TMp3Decoder::~TMp3Decoder() {
  if (handle_) mpg123_delete(handle_);
}

void TMp3Decoder::Feed(std::span<const uint8_t> bytes) {
  if (broken_ || bytes.empty()) return;
  if (mpg123_feed(handle_, bytes.data(), bytes.size()) != MPG123_OK) broken_ = true;
}

bool TMp3Decoder::NextFrame() {
  frame_ = {};
  while (!broken_) {
    off_t number = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int rc = mpg123_decode_frame(handle_, &number, &audio, &bytes);
    if (rc == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(handle_, &rate, &channels, &encoding);
      if ((rate_ && rate != rate_) || channels != 2 || encoding != MPG123_ENC_SIGNED_16)
        broken_ = true;
      rate_ = int(rate);
    } else if (rc == MPG123_OK) {
      if (bytes == 0) continue;
      frame_ = {reinterpret_cast<const int16_t*>(audio), bytes / 2};
      return true;
    } else if (rc == MPG123_NEED_MORE) {
      return false;
    } else {
      broken_ = true;
    }
  }
  return false;
}

TMp3Source::TMp3Source(std::span<const uint8_t> data, size_t skipFrames)
    : data_(data), skip_(skipFrames) {
  Rewind();
}

void TMp3Source::Rewind() {
  decoder_ = std::make_unique<TMp3Decoder>();
  fed_ = 0;
  toSkip_ = skip_;
  frame_ = {};
  const bool decoded = Advance();
  channels_ = decoded || decoder_->Rate() ? 2 : 0;
  if (decoder_->Rate()) rate_ = decoder_->Rate();
}

bool TMp3Source::Advance() {
  for (;;) {
    while (!decoder_->NextFrame()) {
      if (decoder_->Broken() || fed_ == data_.size()) return false;
      const size_t n = std::min(kFeedChunk, data_.size() - fed_);
      decoder_->Feed(data_.subspan(fed_, n));
      fed_ += n;
    }
    frame_ = decoder_->Frame();
    const size_t frames = frame_.size() / 2;
    const size_t drop = std::min(toSkip_, frames);
    toSkip_ -= drop;
    frame_ = frame_.subspan(drop * 2);
    if (!frame_.empty()) return true;
  }
}

size_t TMp3Source::Read(int16_t* out, size_t frames) {
  size_t n = 0;
  while (n < frames) {
    if (frame_.empty() && !Advance()) break;
    const size_t take = std::min(frames - n, frame_.size() / 2);
    std::memcpy(out + n * 2, frame_.data(), take * 2 * sizeof(int16_t));
    frame_ = frame_.subspan(take * 2);
    n += take;
  }
  return n;
}

}  // namespace player
