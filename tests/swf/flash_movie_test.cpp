#include "swf/objects/flash_movie.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "support/tag_bytes.h"
#include "swf/core/control_tags.h"
#include "swf/core/swf_error.h"
#include "swf/objects/action_script.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/tags/sound_tags.h"

namespace {

using vtest::Bytes;
using vtest::hex;
using vtest::SameBytes;

Bytes Body(swf::TFlashMovie& movie) {
  movie.MakeData();
  return movie.BodyStream.Bytes();
}

uint32_t FileLengthField(const Bytes& file) {
  return file[4] | (file[5] << 8) | (file[6] << 16) | (uint32_t(file[7]) << 24);
}

Bytes Inflate(const Bytes& data, size_t from) {
  Bytes out(1 << 20);
  uLongf size = out.size();
  EXPECT_EQ(uncompress(out.data(), &size, data.data() + from, uLong(data.size() - from)), Z_OK);
  out.resize(size);
  return out;
}

TEST(FlashMovie, HeaderOfAnEmptyMovie) {
  swf::TFlashMovie movie(0, 0, 550, 400, 12);
  EXPECT_EQ(movie.HeaderSize(), 21u);
  movie.BackgroundColor().SetRGB({255, 0, 0});
  movie.MakeData();
  EXPECT_TRUE(SameBytes(hex("43 02 FF 00 00 | 00 00"), movie.BodyStream.Bytes()));
  EXPECT_TRUE(
      SameBytes(hex("46 57 53 05 | 1C 00 00 00 | 78 00 05 5F 00 00 0F A0 00 | 00 0C | 00 00 |"
                    "43 02 FF 00 00 | 00 00"),
                movie.SaveToBytes()));

  swf::TFlashMovie bare(0, 0, 1, 1, 12.5);
  EXPECT_TRUE(SameBytes(hex("00 00"), Body(bare)));
  EXPECT_EQ(bare.FramesCount(), 0);
  EXPECT_EQ(bare.FPSWord(), 0x0C80);
}

TEST(FlashMovie, CompressedFileKeepsTheUncompressedLength) {
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    swf::TFlashMovie movie(0, 0, 550, 400, 12);
    movie.SetCompressed(compressed);
    if (compressed) {
      EXPECT_EQ(movie.Version(), 6);
    }
    movie.SetVersion(5);
    EXPECT_EQ(movie.Version(), compressed ? 6 : 5);
    movie.ShowFrame();
    movie.MakeData();
    const Bytes file = movie.SaveToBytes();
    EXPECT_EQ(file[0], compressed ? 'C' : 'F');
    EXPECT_EQ(file[3], compressed ? 6 : 5);
    EXPECT_EQ(FileLengthField(file), 21u + 4);  // ShowFrame and End
    const Bytes rest = compressed ? Inflate(file, 8) : Bytes(file.begin() + 8, file.end());
    EXPECT_TRUE(SameBytes(hex("78 00 05 5F 00 00 0F A0 00 | 00 0C | 01 00 | 40 00 | 00 00"), rest));
  }
}

TEST(FlashMovie, ShowFrameCountsAndPendingState) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  movie.ShowFrame(0);
  EXPECT_EQ(movie.FramesCount(), 1);
  movie.SetFrameLabel("a");
  movie.FrameActions().Stop();
  movie.ShowFrame(3);
  EXPECT_EQ(movie.FramesCount(), 4);
  EXPECT_EQ(movie.CurrentFrameNum, 3);
  EXPECT_TRUE(movie.FrameLabel().empty());
  // ShowFrame, label, frame actions (DoAction with Stop), 3 x ShowFrame, End.
  EXPECT_TRUE(
      SameBytes(hex("40 00 | C2 0A 61 00 | 02 03 07 00 | 40 00 40 00 40 00 | 00 00"), Body(movie)));
  EXPECT_EQ(movie.FramesCount(), 4);
  EXPECT_EQ(movie.Version(), 5);
  // MakeData can run again and gives the same stream.
  EXPECT_EQ(Body(movie).size(), 18u);
}

TEST(FlashMovie, FrameCountBeyondTheHeaderFieldSaturates) {
  swf::TFlashMovie movie(0, 0, 10, 10, 100);
  movie.ShowFrame(60000);
  movie.ShowFrame(10000);
  EXPECT_EQ(movie.FramesCount(), 65535);
  movie.MakeData();
  EXPECT_EQ(movie.FramesCount(), 65535);  // not 70000 mod 65536
  EXPECT_EQ(movie.BodyStream.Size(), 70000u * 2 + 2);
}

TEST(FlashMovie, CharacterIdsAndClear) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  EXPECT_EQ(movie.AddButton(false, true).GetCharacterID(), 1);
  EXPECT_EQ(movie.AddButton(false, true).GetCharacterID(), 2);
  movie.Protect("");
  movie.Clear();
  EXPECT_TRUE(movie.Objects().empty());
  EXPECT_TRUE(movie.Buttons().empty());
  EXPECT_EQ(movie.AddButton(false, false).GetCharacterID(), 0);
  EXPECT_EQ(movie.Buttons().size(), 1u);
}

// IDs have 16 bits: the last one is given out, then registering throws
// instead of wrapping around to an ID in use.
TEST(FlashMovie, CharacterIdsDoNotWrapAround) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  movie.NextCharacterID = 0xFFFE;
  EXPECT_EQ(movie.AddRectangle(0, 0, 5, 5).GetCharacterID(), 0xFFFE);
  EXPECT_THROW(movie.AddRectangle(0, 0, 5, 5), swf::ETooManyCharacters);
  EXPECT_THROW(movie.AddButton(false, true), swf::ETooManyCharacters);
  EXPECT_EQ(movie.Objects().size(), 1u);
  EXPECT_EQ(movie.Shapes().size(), 1u);
}

// Only the character registered last goes, and its ID is given out again.
TEST(FlashMovie, DiscardLastCharacter) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  swf::TFlashShape& kept = movie.AddRectangle(0, 0, 5, 5);
  swf::TFlashShape& last = movie.AddRectangle(1, 1, 5, 5);
  EXPECT_FALSE(movie.DiscardLastCharacter(kept));
  EXPECT_TRUE(movie.DiscardLastCharacter(last));
  EXPECT_EQ(movie.Objects().size(), 1u);
  EXPECT_EQ(movie.Shapes().size(), 1u);
  EXPECT_EQ(movie.NextCharacterID, 2);
  movie.PlaceObject(&kept, 1);
  EXPECT_FALSE(movie.DiscardLastCharacter(kept));  // a placement follows it
  EXPECT_EQ(movie.AddButton(false, true).GetCharacterID(), 2);
  EXPECT_EQ(movie.Objects().size(), 3u);
}

TEST(FlashMovie, InsertModeAndPositions) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  for (int i = 0; i < 3; ++i) movie.RemoveObject(uint16_t(i));
  EXPECT_EQ(movie.InsertPos, 2);

  movie.InsertMode = true;
  movie.InsertPos = 1;
  movie.RemoveObject(9);
  EXPECT_EQ(movie.InsertPos, 2);
  auto depthAt = [&](size_t i) {
    return dynamic_cast<swf::TSWFRemoveObject2&>(*movie.Objects()[i]).Depth;
  };
  EXPECT_EQ(depthAt(1), 9);
  EXPECT_EQ(depthAt(2), 1);
  // At the last index the object is appended.
  movie.InsertPos = 4;
  movie.RemoveObject(8);
  EXPECT_EQ(depthAt(4), 8);
  EXPECT_EQ(movie.InsertPos, 4);
}

// MakeData writes frames, removals and placements itself; the bytes must be
// those each tag writes on its own, in the movie's order.
TEST(FlashMovie, BodyIsTheTagsWrittenInOrder) {
  swf::TFlashMovie movie(0, 0, 100, 100, 12);
  swf::TFlashButton& button = movie.AddButton(false, true);
  button.AddRecordByID(1, swf::bsHitTest, 1);
  movie.PlaceObject(&button, 1);
  movie.ShowFrame();
  movie.RemoveObject(1);
  movie.PlaceObject(&button, 300).SetRotate(30);
  movie.RemoveObject(300, &button);
  movie.RemoveObjects(254, 257);
  movie.RemoveObjects(9, 8);  // nothing
  movie.StartSound(4);
  movie.ShowFrame(2);

  swf::TMemoryStream expected;
  swf::TBitsEngine be(expected);
  for (const swf::TTagSlot& slot : movie.Objects()) slot->WriteToStream(be);
  be.WriteWord(0);
  EXPECT_TRUE(SameBytes(expected.Bytes(), Body(movie)));
  EXPECT_EQ(movie.FramesCount(), 3);
}

TEST(FlashMovie, VersionRisesWithTheTagsAndProtection) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  movie.SetVersion(1);
  movie.Protect("");
  movie.MakeData();
  EXPECT_EQ(movie.Version(), 2);
  movie.Protect("pw");
  movie.FrameActions().Actions().Add<swf::TSWFActionStrictEquals>();
  movie.ShowFrame();
  movie.MakeData();
  EXPECT_EQ(movie.Version(), 6);
}

TEST(FlashButton, AdvancedButtonWithLinkAndSound) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  swf::TFlashButton& button = movie.AddButton(false, true);
  EXPECT_EQ(button.MinVersion(), 3);
  for (uint8_t states :
       {swf::bsUp | swf::bsHitTest, swf::bsDown | swf::bsHitTest, swf::bsOver | swf::bsHitTest})
    button.AddRecordByID(7, states, 1);
  swf::TFlashActionScript& release = button.ReleaseActions();
  release.GetURL("u", "_blank");
  EXPECT_EQ(&button.ReleaseActions(), &release);
  EXPECT_EQ(&release.Actions(), &button.CondAction(3));
  EXPECT_EQ(release.Actions().Count(), 1u);

  vtest::Bytes withoutSound = vtest::WrittenBy(button);
  // DefineButton2: three records with empty colour transforms (state bits: hit, down,
  // over, up), one release condition.
  EXPECT_TRUE(
      SameBytes(hex("AC 08 | 01 00 | 00 | 18 00 |"
                    "09 07 00 01 00 00 00 | 0C 07 00 01 00 00 00 | 0A 07 00 01 00 00 00 | 00 |"
                    "00 00 08 00 | 83 09 00 75 00 5F 62 6C 61 6E 6B 00 | 00"),
                withoutSound));

  button.RollOverSound().SoundId = 5;
  vtest::Bytes withSound = vtest::WrittenBy(button);
  EXPECT_TRUE(
      SameBytes(hex("4B 04 | 01 00 | 00 00 | 05 00 00 | 00 00 | 00 00"),
                vtest::Bytes(withSound.begin() + long(withoutSound.size()), withSound.end())));

  swf::TFlashButton plain(&movie, false, false);
  EXPECT_EQ(plain.MinVersion(), 1);
  plain.ReleaseActions().Stop();
  EXPECT_EQ(plain.ButtonTag().Actions.Count(), 1u);
}

TEST(FlashPlaceObject, PlacementAndRotation) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  swf::TFlashButton& button = movie.AddButton(false, true);
  swf::TFlashPlaceObject& place = movie.PlaceObject(&button, 4);
  EXPECT_EQ(place.GetCharacterID(), 1);
  EXPECT_EQ(place.Depth(), 4);
  EXPECT_EQ(place.MinVersion(), 3);
  EXPECT_FALSE(place.PlaceTag().HasMatrix);
  place.SetRotate(90);
  EXPECT_EQ(place.PlaceTag().Matrix().Rec().RotateSkew1, 65536);
  EXPECT_EQ(place.PlaceTag().Matrix().Rec().RotateSkew0, -65536);
  EXPECT_EQ(movie.NextCharacterID, 2);  // placing numbers nothing
}

// A movie with protection, frame actions, a link button, a StartSound and
// several frames: both encodings must pass the independent parser.
TEST(FlashMovie, TestMovieParsesIndependently) {
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    swf::TFlashMovie movie(0, 0, 468, 60, 12);
    movie.SetCompressed(compressed);
    movie.SetVersion(6);
    movie.BackgroundColor().SetRGB({0x33, 0x66, 0x99});
    movie.Protect("secret");
    swf::TFlashButton& button = movie.AddButton(false, true);
    button.AddRecordByID(button.GetCharacterID(), swf::bsHitTest, 1);
    button.ReleaseActions().GetURL("http://example.com/\xE9t\xE9", "_blank");
    movie.PlaceObject(&button, 2);
    movie.StartSound(9);
    movie.ShowFrame(5);
    movie.RemoveObject(2);
    movie.FrameActions().Stop();
    movie.ShowFrame();
    movie.MakeData();
    const std::string path = vtest::TestTempDir() + "/movie.swf";
    movie.SaveToFile(path);
    const Bytes file = vtest::ReadFile(path);
    vtest::KeepSwfForParserCheck(compressed ? "compressed.swf" : "plain.swf", file);
    EXPECT_EQ(file[3], 6);
    EXPECT_EQ(movie.FramesCount(), 6);
    EXPECT_EQ(FileLengthField(file), movie.HeaderSize() + movie.BodyStream.Size());
    if (!compressed) {
      EXPECT_EQ(file.size(), FileLengthField(file));
    }
    const Bytes rest = compressed ? Inflate(file, 8) : Bytes(file.begin() + 8, file.end());
    EXPECT_EQ(rest.size() + 8, FileLengthField(file));
    EXPECT_EQ(rest[11] | (rest[12] << 8), 6);  // the frame count after a 9-byte RECT and the rate
  }
}

TEST(FlashMovie, SaveToFileFailsCleanlyForAnUnwritablePath) {
  swf::TFlashMovie movie(0, 0, 10, 10, 12);
  movie.MakeData();
  EXPECT_THROW(movie.SaveToFile(vtest::TestTempDir() + "/missing/dir/movie.swf"), swf::ESWFError);
}

}  // namespace
