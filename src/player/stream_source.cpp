#include "player/stream_source.h"

#include <algorithm>

#include "player/adpcm_source.h"
#include "player/mp3_source.h"

namespace player {
namespace {

constexpr uint8_t kMp3 = 2;

int16_t BlockSeek(std::span<const uint8_t> data) {
  return data.size() >= 4 ? int16_t(data[2] | data[3] << 8) : 0;
}

uint16_t BlockSampleCount(std::span<const uint8_t> data) {
  return data.size() >= 2 ? uint16_t(data[0] | data[1] << 8) : 0;
}

}  // namespace

TStreamSource::TStreamSource(const TStreamSound& stream, uint32_t frameCount,
                             uint32_t startFrame, bool looping)
    : stream_(stream),
      frameCount_(std::max<uint32_t>(frameCount, 1)),
      startFrame_(std::min(startFrame, frameCount_ - 1)),
      looping_(looping) {
  channels_ = stream.Format.Format == kMp3 || stream.Format.Stereo ? 2 : 1;
  rate_ = RateOfCode(stream.Format.Rate);
  Rewind();
}

TStreamSource::~TStreamSource() = default;

void TStreamSource::Rewind() {
  frame_ = startFrame_;
  const auto& blocks = stream_.Blocks;
  nextBlock_ = size_t(std::lower_bound(blocks.begin(), blocks.end(), frame_,
                                       [](const TStreamBlock& b, uint32_t f) { return b.Frame < f; }) -
                      blocks.begin());
  clock_ = 0;
  emptyRun_ = 0;
  pending_.clear();
  pendingPos_ = 0;
  starts_.clear();
  mp3_.reset();
  if (stream_.Format.Format == kMp3 && nextBlock_ < blocks.size()) {
    const int16_t seek = BlockSeek(blocks[nextBlock_].Data);
    StartMp3(nextBlock_ == 0 ? std::max(seek, stream_.LatencySeek) : seek);
  }
  // The first frames are decoded at once, so an MP3 stream knows its rate
  // (its first blocks may hold no MPEG frame yet).
  for (int i = 0; i < 16 && pending_.empty() && NextFrame(); ++i) {
  }
  if (mp3_ && mp3_->Rate()) rate_ = mp3_->Rate();
}

void TStreamSource::StartMp3(int16_t seek) {
  mp3_ = std::make_unique<TMp3Decoder>();
  mp3Skip_ = size_t(std::max<int16_t>(seek, 0));
  clock_ -= int64_t(mp3Skip_);
}

bool TStreamSource::NextFrame() {
  const auto& blocks = stream_.Blocks;
  if (frame_ >= frameCount_) {
    if (!looping_ || blocks.empty()) return false;
    frame_ = 0;
    nextBlock_ = 0;
    if (stream_.Format.Format == kMp3) StartMp3(std::max(BlockSeek(blocks[0].Data), stream_.LatencySeek));
  }
  if (nextBlock_ == blocks.size() && !looping_) return false;  // the stream has ended
  // A looping stream whose blocks hold nothing would spin forever.
  if (emptyRun_ > frameCount_) return false;
  pending_.clear();
  pendingPos_ = 0;
  const bool hasBlock = nextBlock_ < blocks.size() && blocks[nextBlock_].Frame == frame_;
  const int64_t seek = hasBlock && stream_.Format.Format == kMp3 ? BlockSeek(blocks[nextBlock_].Data) : 0;
  starts_.emplace_back(uint64_t(std::max<int64_t>(clock_ + seek, 0)), frame_);
  if (hasBlock) {
    DecodeBlock(blocks[nextBlock_++]);
  } else {
    pending_.assign(size_t(stream_.SamplesPerFrame) * size_t(channels_), 0);
    clock_ += stream_.SamplesPerFrame;
  }
  ++frame_;
  emptyRun_ = pending_.empty() ? emptyRun_ + 1 : 0;
  return true;
}

void TStreamSource::DecodeBlock(const TStreamBlock& block) {
  const std::span<const uint8_t> data(block.Data);
  if (stream_.Format.Format == kMp3) {
    clock_ += BlockSampleCount(data);
    DecodeMp3Block(data.size() > 4 ? data.subspan(4) : std::span<const uint8_t>());
    return;
  }
  std::unique_ptr<TSampleSource> source;
  if (stream_.Format.Format == 1)
    source = std::make_unique<TAdpcmSource>(data, stream_.Format, 0);
  else if (stream_.Format.Format == 0 || stream_.Format.Format == 3)
    source = std::make_unique<TPcmSource>(data, stream_.Format);
  if (source) pending_ = ReadAll(*source);
  clock_ += int64_t(pending_.size()) / channels_;
}

void TStreamSource::DecodeMp3Block(std::span<const uint8_t> data) {
  mp3_->Feed(data);
  while (mp3_->NextFrame()) {
    std::span<const int16_t> frame = mp3_->Frame();
    const size_t drop = std::min(mp3Skip_, frame.size() / 2);
    mp3Skip_ -= drop;
    pending_.insert(pending_.end(), frame.begin() + std::ptrdiff_t(drop * 2), frame.end());
  }
}

size_t TStreamSource::Read(int16_t* out, size_t frames) {
  size_t n = 0;
  while (n < frames) {
    if (pendingPos_ == pending_.size() && !NextFrame()) break;
    const size_t take = std::min(frames - n, (pending_.size() - pendingPos_) / size_t(channels_));
    std::copy_n(pending_.begin() + std::ptrdiff_t(pendingPos_), take * size_t(channels_),
                out + n * size_t(channels_));
    pendingPos_ += take * size_t(channels_);
    n += take;
  }
  return n;
}

uint32_t TStreamSource::FrameAt(uint64_t position) const {
  auto it = std::upper_bound(starts_.begin(), starts_.end(), position,
                             [](uint64_t p, const auto& s) { return p < s.first; });
  return it == starts_.begin() ? startFrame_ : std::prev(it)->second;
}

void TStreamSource::ForgetBefore(uint64_t position) {
  while (starts_.size() > 1 && starts_[1].first <= position) starts_.pop_front();
}

}  // namespace player
