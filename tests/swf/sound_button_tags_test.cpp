#include <gtest/gtest.h>

#include "support/tag_bytes.h"
#include "swf/tags/button_tags.h"
#include "swf/tags/sound_tags.h"

namespace {

using vtest::BodyOf;
using vtest::hex;
using vtest::SameBytes;

TEST(SoundTags, StartSoundBodies) {
  swf::TSWFStartSound plain(3);
  swf::TSWFStartSound emptyEnvelope(3);
  emptyEnvelope.HasEnvelope = true;  // no points: the flag goes out as 0
  swf::TSWFStartSound looped(3);
  looped.SetLoopCount(2);
  swf::TSWFStartSound full(1);
  full.SyncStop = true;
  full.SetInPoint(5);
  full.SetOutPoint(6);
  full.HasEnvelope = true;
  full.SoundEnvelopes.push_back({7, 8, 9});
  swf::TSWFStartSound cleared(1);
  cleared.SetLoopCount(4);
  cleared.SetLoopCount(0);

  struct Row { swf::TSWFStartSound* tag; const char* body; };
  const Row rows[] = {
      {&plain, "03 00 00"},
      {&emptyEnvelope, "03 00 00"},
      {&looped, "03 00 04 02 00"},
      // 00 1 0 1 0 1 1: stop, envelope, out, in
      {&full, "01 00 2B 05 00 00 00 06 00 00 00 01 07 00 00 00 08 00 09 00"},
      {&cleared, "01 00 00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.body);
    EXPECT_TRUE(SameBytes(hex(r.body), BodyOf(*r.tag)));
  }
}

TEST(SoundTags, DefineSoundAndStreamHeads) {
  swf::TSWFDefineSound mp3;
  mp3.SoundId = 2;
  mp3.SoundFormat = swf::sfMP3;
  mp3.SoundRate = 3;
  mp3.SoundSize = true;
  mp3.SoundType = true;
  mp3.SoundSampleCount = 1152;
  mp3.SeekSamples = 0x0102;
  mp3.Data = {0xAA, 0xBB};
  EXPECT_TRUE(SameBytes(hex("02 00 | 2F | 80 04 00 00 | 02 01 | AA BB"), BodyOf(mp3)));
  EXPECT_EQ(mp3.MinVersion(), 4);

  swf::TSWFDefineSound raw;
  raw.OnDataWrite = [](swf::TSWFDataObject&, swf::TBitsEngine& be) { be.WriteByte(0x55); };
  EXPECT_TRUE(SameBytes(hex("00 00 | 00 | 00 00 00 00 | 55"), BodyOf(raw)));  // no SeekSamples
  EXPECT_EQ(raw.MinVersion(), 1);

  swf::TSWFSoundStreamHead2 head;
  head.PlaybackSoundRate = 2;
  head.PlaybackSoundSize = true;
  head.StreamSoundCompression = swf::sfMP3;
  head.StreamSoundRate = 2;
  head.StreamSoundSize = true;
  head.StreamSoundSampleCount = 576;
  head.LatencySeek = 1;
  EXPECT_TRUE(SameBytes(hex("0A 2A 40 02 01 00"), BodyOf(head)));
  EXPECT_EQ(head.MinVersion(), 4);
  head.StreamSoundCompression = swf::sfUncompressedLE;
  EXPECT_EQ(BodyOf(head).size(), 4u);
  EXPECT_EQ(head.MinVersion(), 3);
  swf::TSWFSoundStreamHead head1;
  EXPECT_EQ(head1.MinVersion(), 1);
}

TEST(ButtonTags, DefineButton2RecordsAndConditions) {
  swf::TSWFDefineButton2 noActions;
  noActions.ButtonID = 1;
  auto& r = noActions.AddRecord(2);
  r.ButtonStates = swf::bsUp | swf::bsHitTest;
  r.Depth = 1;
  // id, menu flag, offset 0, record (09, char, depth, matrix 00, cxform 00), end
  EXPECT_TRUE(SameBytes(hex("01 00 | 00 | 00 00 | 09 02 00 01 00 00 00 | 00"), BodyOf(noActions)));

  swf::TSWFDefineButton2 oneCondition;
  oneCondition.ButtonID = 1;
  oneCondition.TrackAsMenu = true;
  auto& all = oneCondition.AddRecord(2);
  all.ButtonStates = 0x0F;
  all.Depth = 1;
  oneCondition.AddCondAction(1u << 3).Add<swf::TSWFActionStop>();
  // offset = 2 + 7 record bytes + 1 end byte; the only condition's size stays 0
  EXPECT_TRUE(SameBytes(hex("01 00 | 01 | 0A 00 | 0F 02 00 01 00 00 00 | 00 | 00 00 08 00 07 00"),
                        BodyOf(oneCondition)));

  swf::TSWFDefineButton2 twoConditions;
  twoConditions.AddCondAction(1u << 8);  // OverDownToIdle: the last bit after the key code
  twoConditions.AddCondAction(1u << 0).Add<swf::TSWFActionPlay>();
  EXPECT_TRUE(SameBytes(hex("00 00 | 00 | 03 00 | 00 | 05 00 00 01 00 | 00 00 01 00 06 00"),
                        BodyOf(twoConditions)));
}

TEST(ButtonTags, PlainButtonAndSounds) {
  swf::TSWFDefineButton button;
  button.ButtonID = 4;
  auto& r = button.AddRecord(5);
  r.ButtonStates = swf::bsOver;
  r.Matrix().SetTranslate(20, -20);
  button.Actions.Add<swf::TSWFActionPlay>();
  EXPECT_TRUE(SameBytes(hex("04 00 | 02 05 00 00 00 0C A5 80 | 00 | 06 | 00"), BodyOf(button)));
  EXPECT_EQ(button.MinVersion(), 3);
  button.Actions.Add<swf::TSWFActionAdd2>();
  EXPECT_EQ(button.MinVersion(), 5);

  swf::TSWFDefineButtonSound sounds;
  sounds.ButtonID = 4;
  sounds.OverUpToIdleSound().SoundId = 0;  // requested but without a sound: written as 0
  sounds.IdleToOverUpSound().SoundId = 9;
  EXPECT_TRUE(SameBytes(hex("04 00 | 00 00 | 09 00 00 | 00 00 | 00 00"), BodyOf(sounds)));
  EXPECT_EQ(sounds.MinVersion(), 2);

  swf::TSWFDefineButtonSound copy;
  copy.Assign(sounds);
  EXPECT_FALSE(copy.HasSound(swf::TSWFDefineButtonSound::OverUpToIdle));
  EXPECT_TRUE(SameBytes(BodyOf(sounds), BodyOf(copy)));
}

}  // namespace
