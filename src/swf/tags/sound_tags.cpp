#include "swf/tags/sound_tags.h"

namespace swf {

void TSWFDefineSound::Assign(const TBasedSWFObject& source) {
  TSWFDataObject::Assign(source);
  if (auto* s = dynamic_cast<const TSWFDefineSound*>(&source)) {
    SeekSamples = s->SeekSamples;
    SoundFormat = s->SoundFormat;
    SoundId = s->SoundId;
    SoundRate = s->SoundRate;
    SoundSampleCount = s->SoundSampleCount;
    SoundSize = s->SoundSize;
    SoundType = s->SoundType;
  }
}

int TSWFDefineSound::MinVersion() const {
  if (SoundFormat == sfMP3 || SoundFormat == sfUncompressedLE) return 4;
  return SoundFormat == sfNellymoser ? 6 : 1;
}

void TSWFDefineSound::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(SoundId);
  be.WriteBits(SoundFormat, 4);
  be.WriteBits(SoundRate, 2);
  be.WriteBit(SoundSize);
  be.WriteBit(SoundType);
  be.WriteDWord(SoundSampleCount);
  if (SoundFormat == sfMP3) be.WriteWord(SeekSamples);
  WriteData(be);
}

void TSWFStartSound::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  auto* s = dynamic_cast<const TSWFStartSound*>(&source);
  if (!s) return;
  SoundId = s->SoundId;
  SyncNoMultiple = s->SyncNoMultiple;
  SyncStop = s->SyncStop;
  if (s->HasInPoint) SetInPoint(s->InPoint);
  if (s->HasOutPoint) SetOutPoint(s->OutPoint);
  if (s->HasLoops) SetLoopCount(s->LoopCount);
  HasEnvelope = s->HasEnvelope;
  if (s->HasEnvelope) SoundEnvelopes = s->SoundEnvelopes;
}

void TSWFStartSound::WriteTagBody(TBitsEngine& be) { WriteSoundInfo(be); }

void TSWFStartSound::WriteSoundInfo(TBitsEngine& be) {
  be.WriteWord(SoundId);
  if (SoundEnvelopes.empty()) HasEnvelope = false;
  be.WriteBits(0, 2);
  for (bool flag : {SyncStop, SyncNoMultiple, HasEnvelope, HasLoops, HasOutPoint, HasInPoint})
    be.WriteBit(flag);
  if (HasInPoint) be.WriteDWord(InPoint);
  if (HasOutPoint) be.WriteDWord(OutPoint);
  if (HasLoops) be.WriteWord(LoopCount);
  if (HasEnvelope) {
    be.WriteByte(uint8_t(SoundEnvelopes.size()));
    for (const TSWFSoundEnvelope& e : SoundEnvelopes) {
      be.WriteDWord(e.Pos44);
      be.WriteWord(e.LeftLevel);
      be.WriteWord(e.RightLevel);
    }
  }
}

void TSWFSoundStreamHead::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  if (auto* s = dynamic_cast<const TSWFSoundStreamHead*>(&source)) {
    LatencySeek = s->LatencySeek;
    PlaybackSoundRate = s->PlaybackSoundRate;
    PlaybackSoundSize = s->PlaybackSoundSize;
    PlaybackSoundType = s->PlaybackSoundType;
    StreamSoundCompression = s->StreamSoundCompression;
    StreamSoundRate = s->StreamSoundRate;
    StreamSoundSampleCount = s->StreamSoundSampleCount;
    StreamSoundSize = s->StreamSoundSize;
    StreamSoundType = s->StreamSoundType;
  }
}

void TSWFSoundStreamHead::WriteTagBody(TBitsEngine& be) {
  be.WriteBits(0, 4);
  be.WriteBits(PlaybackSoundRate, 2);
  be.WriteBit(PlaybackSoundSize);
  be.WriteBit(PlaybackSoundType);
  be.WriteBits(StreamSoundCompression, 4);
  be.WriteBits(StreamSoundRate, 2);
  be.WriteBit(StreamSoundSize);
  be.WriteBit(StreamSoundType);
  be.WriteWord(StreamSoundSampleCount);
  if (StreamSoundCompression == sfMP3) be.WriteWord(LatencySeek);
}

int TSWFSoundStreamHead2::MinVersion() const {
  if (StreamSoundCompression == sfMP3) return 4;
  return StreamSoundCompression == sfNellymoser ? 6 : 3;
}

}  // namespace swf
