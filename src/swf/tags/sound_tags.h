#pragma once
// Sound tags: DefineSound (an event sound), StartSound, and the heads of a
// streaming sound whose blocks the sound object writes before each frame.
#include <cstdint>
#include <vector>

#include "swf/core/swf_object.h"
#include "swf/tags/data_object.h"

namespace swf {

enum TSWFSoundFormat : uint8_t {
  sfUncompressed = 0, sfADPCM = 1, sfMP3 = 2, sfUncompressedLE = 3, sfNellymoser = 6,
};

class TSWFDefineSound : public TSWFDataObject {
 public:
  TSWFDefineSound() { TagID = tagDefineSound; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override;
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t SeekSamples = 0;
  uint8_t SoundFormat = 0;
  uint16_t SoundId = 0;
  uint8_t SoundRate = 0;  // 0..3: 5.5, 11, 22, 44 kHz
  uint32_t SoundSampleCount = 0;
  bool SoundSize = false;  // 16-bit samples
  bool SoundType = false;  // stereo
};

struct TSWFSoundEnvelope {
  uint32_t Pos44 = 0;
  uint16_t LeftLevel = 0;
  uint16_t RightLevel = 0;
};

class TSWFStartSound : public TSWFObject {
 public:
  explicit TSWFStartSound(uint16_t soundId = 0) : SoundId(soundId) { TagID = tagStartSound; }
  void Assign(const TBasedSWFObject& source) override;
  void WriteTagBody(TBitsEngine& be) override;
  // The sound ID and the sound info: also the body of each DefineButtonSound transition.
  void WriteSoundInfo(TBitsEngine& be);

  void SetInPoint(uint32_t v) { InPoint = v; HasInPoint = v != 0; }
  void SetOutPoint(uint32_t v) { OutPoint = v; HasOutPoint = v != 0; }
  void SetLoopCount(uint16_t v) { LoopCount = v; HasLoops = v != 0; }

  bool HasEnvelope = false, HasInPoint = false, HasLoops = false, HasOutPoint = false;
  uint32_t InPoint = 0, OutPoint = 0;
  uint16_t LoopCount = 0;
  std::vector<TSWFSoundEnvelope> SoundEnvelopes;
  uint16_t SoundId = 0;
  bool SyncNoMultiple = false, SyncStop = false;
};

class TSWFSoundStreamHead : public TSWFObject {
 public:
  TSWFSoundStreamHead() { TagID = tagSoundStreamHead; }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return StreamSoundCompression == sfMP3 ? 4 : 1; }
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t LatencySeek = 0;
  uint8_t PlaybackSoundRate = 0;
  bool PlaybackSoundSize = false, PlaybackSoundType = false;
  uint8_t StreamSoundCompression = 0;
  uint8_t StreamSoundRate = 0;
  uint16_t StreamSoundSampleCount = 0;  // samples per frame
  bool StreamSoundSize = false, StreamSoundType = false;
};

class TSWFSoundStreamHead2 : public TSWFSoundStreamHead {
 public:
  TSWFSoundStreamHead2() { TagID = tagSoundStreamHead2; }
  int MinVersion() const override;
};

}  // namespace swf
