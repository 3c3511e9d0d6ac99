// The reader's sound tags, from bytes laid out by the format: DefineSound
// with an MP3 seek, the sound info of StartSound and of button transitions,
// and a stream head with one block a frame.
#include <gtest/gtest.h>

#include "player/swf_builder.h"
#include "player/swf_reader.h"
#include "support/bytes.h"

namespace {

using namespace player;
using vtest::hex;

TEST(SoundReader, ReadsSoundsStartsAndTheStream) {
  vtest::TSwfBuilder b(100, 100);
  b.Tag(swf::tagSoundStreamHead2, hex("0E |"           // playback: 44 kHz, 16-bit, mono
                                      "2E |"           // MP3, 44 kHz, 16-bit, mono
                                      "E5 0E |"        // 3813 samples a frame
                                      "20 00"));       // latency seek 32
  b.Tag(swf::tagDefineSound, hex("07 00 |"             // id 7
                                 "2B |"                // MP3, 22 kHz, 16-bit, stereo
                                 "40 1F 00 00 |"       // 8000 samples
                                 "40 02 |"             // seek 576
                                 "AA BB"));            // data
  b.Tag(swf::tagStartSound, hex("07 00 | 34 | 05 00"));  // stop, no multiple, 5 loops
  b.Tag(swf::tagSoundStreamBlock, hex("01 02"));
  b.Tag(swf::tagSoundStreamBlock, hex("03 04"));  // a second block in a frame is not played
  b.ShowFrame();
  b.Tag(swf::tagStartSound, hex("07 00 | 0B |"             // envelope, out and in points
                                "10 00 00 00 | 20 00 00 00 |"
                                "01 | 00 00 00 00 FF 7F FF 7F"));
  b.ShowFrame();
  b.Tag(swf::tagSoundStreamBlock, hex("05"));
  b.ShowFrame();
  const TMovie movie = ReadMovie(b.Build());
  EXPECT_TRUE(movie.Warnings.empty()) << movie.Warnings[0];

  const auto* sound = static_cast<const TSoundCharacter*>(movie.Find(7));
  ASSERT_TRUE(sound && sound->Kind == TCharacterKind::Sound);
  EXPECT_EQ(sound->Format.Format, 2);
  EXPECT_EQ(sound->Format.Rate, 2);
  EXPECT_TRUE(sound->Format.Is16Bit && sound->Format.Stereo);
  EXPECT_EQ(sound->SampleCount, 8000u);
  EXPECT_EQ(sound->SeekSamples, 576);
  EXPECT_EQ(sound->Data, hex("AA BB"));

  const TSoundStart& first = movie.Content(0)->Sounds.at(0);
  EXPECT_TRUE(first.Stop && first.NoMultiple);
  EXPECT_EQ(first.Loops, 5);
  const TSoundStart& second = movie.Content(1)->Sounds.at(0);
  EXPECT_FALSE(second.Stop || second.NoMultiple);
  EXPECT_EQ(second.Loops, 1);

  ASSERT_TRUE(movie.StreamSound);
  EXPECT_EQ(movie.StreamSound->Format.Format, 2);
  EXPECT_EQ(movie.StreamSound->SamplesPerFrame, 3813);
  EXPECT_EQ(movie.StreamSound->LatencySeek, 32);
  ASSERT_EQ(movie.StreamSound->Blocks.size(), 2u);
  EXPECT_EQ(movie.StreamSound->Blocks[0].Data, hex("01 02"));
  EXPECT_EQ(movie.StreamSound->Blocks[1].Frame, 2u);
  EXPECT_EQ(movie.StreamSound->Block(1), nullptr);
}

// The player decodes PCM, ADPCM and MP3; any other sound plays as silence,
// and the reader says so once for each sound, as for a skipped tag.
TEST(SoundReader, SoundsThePlayerCannotDecodeAreWarnedOf) {
  vtest::TSwfBuilder b(100, 100);
  b.Tag(swf::tagSoundStreamHead2, hex("0A | 8A |"  // G.711 mu-law, 22 kHz, 16-bit, mono
                                      "10 00"));   // 16 samples a frame
  b.Tag(swf::tagDefineSound, hex("03 00 | 7A | 10 00 00 00 | 00 00"));  // id 3: G.711 A-law
  b.Tag(swf::tagDefineSound, hex("04 00 | 1A | 10 00 00 00 | 00 00"));  // id 4: ADPCM
  b.Tag(swf::tagDefineSound, hex("05 00 | 6A | 10 00 00 00 | 00 00"));  // id 5: Nellymoser
  b.ShowFrame();
  const TMovie movie = ReadMovie(b.Build());
  ASSERT_EQ(movie.Warnings.size(), 3u);
  EXPECT_EQ(movie.Warnings[0],
            "the sound stream: sound format 8 (G.711 mu-law) cannot be decoded; it plays as "
            "silence");
  EXPECT_EQ(movie.Warnings[1],
            "DefineSound 3: sound format 7 (G.711 A-law) cannot be decoded; it plays as silence");
  EXPECT_NE(movie.Warnings[2].find("DefineSound 5: sound format 6 (Nellymoser)"),
            std::string::npos);
  ASSERT_NE(movie.Find(3), nullptr) << "the sound is kept, as the file has it";
}

TEST(SoundReader, ButtonSoundsCarryTheirSoundInfo) {
  vtest::TSwfBuilder b(100, 100);
  b.Tag(swf::tagDefineButton2, hex("04 00 | 00 | 00 00 | 00"));  // id 4, no records
  b.Tag(swf::tagDefineButtonSound, hex("04 00 |"
                                       "00 00 |"           // OverUpToIdle: none
                                       "09 00 | 10 |"      // IdleToOverUp: sound 9, no multiple
                                       "09 00 | 04 03 00 |"  // OverUpToOverDown: 3 loops
                                       "00 00"));
  b.ShowFrame();
  const TMovie movie = ReadMovie(b.Build());
  const auto* button = static_cast<const TButtonCharacter*>(movie.Find(4));
  ASSERT_TRUE(button && button->Kind == TCharacterKind::Button);
  EXPECT_EQ(button->Sounds[0].SoundID, 0);
  EXPECT_EQ(button->Sounds[1].SoundID, 9);
  EXPECT_TRUE(button->Sounds[1].NoMultiple);
  EXPECT_EQ(button->Sounds[2].Loops, 3);
  EXPECT_EQ(button->Sounds[3].SoundID, 0);
}

}  // namespace
