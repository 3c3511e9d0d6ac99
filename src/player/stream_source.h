#pragma once
// A movie's sound stream from a starting frame on, played as one sound: each
// frame's SoundStreamBlock follows the last, a frame without a block is a
// frame of silence, and a looping movie's stream goes on with its first
// frame after its last. The source notes where each frame's audio begins:
// that is the clock the timeline follows while the stream plays.
#include <deque>
#include <memory>
#include <utility>

#include "player/sample_source.h"

namespace player {

class TMp3Decoder;

class TStreamSource : public TSampleSource {
 public:
  // The stream must outlive the source.
  TStreamSource(const TStreamSound& stream, uint32_t frameCount, uint32_t startFrame,
                bool looping);
  ~TStreamSource() override;
  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override;

  // The frame whose audio holds the sample frame at position (counted from
  // the start of this source).
  uint32_t FrameAt(uint64_t position) const;
  // Forgets the frame starts before position (they are heard already).
  void ForgetBefore(uint64_t position);

 private:
  // Decodes the next frame's block, or its silence, into pending_.
  bool NextFrame();
  void DecodeBlock(const TStreamBlock& block);
  void DecodeMp3Block(std::span<const uint8_t> data);
  void StartMp3(int16_t seek);

  const TStreamSound& stream_;
  uint32_t frameCount_, startFrame_;
  bool looping_;
  uint32_t frame_ = 0;       // next frame to decode
  size_t nextBlock_ = 0;     // first block at or after frame_
  int64_t clock_ = 0;        // samples the frames so far are worth, less the start's skip
  uint32_t emptyRun_ = 0;    // frames in a row that gave no samples
  std::vector<int16_t> pending_;
  size_t pendingPos_ = 0;    // values of pending_ already read
  std::unique_ptr<TMp3Decoder> mp3_;
  size_t mp3Skip_ = 0;       // MP3 samples still to drop at the start
  std::deque<std::pair<uint64_t, uint32_t>> starts_;  // (position, frame)
};

}  // namespace player
