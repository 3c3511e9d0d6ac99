// The build driver, read back from the written movie: settings, frame
// durations, backgrounds by colour, the removal run, the stop, the link,
// the depth layout, the background sound and what the build asks of the
// window.
#include "moviegen/movie_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "moviegen/build_fixture.h"
#include "moviegen/moviegen_error.h"
#include "support/sound_data.h"

namespace {

using namespace vtest;
using project::RGB;

TEST_F(BuildTest, MovieIsCompressedVersion6At100FramesPerSecond) {
  Doc.Settings.MWidth = 300;
  Doc.Settings.MHeight = 250;
  Add(1, project::skRectangle, 1, 1);
  const TSwfFile swf = Build(true);
  EXPECT_TRUE(swf.Compressed);
  EXPECT_EQ(swf.Version, 6);
  EXPECT_EQ(swf.Rate, 0x6400);
  EXPECT_EQ(swf.Width, 6000);
  EXPECT_EQ(swf.Height, 5000);
  EXPECT_EQ(TagsOf(swf, kProtect).size(), 1u);
  // The movie numbers its characters from 0.
  ASSERT_FALSE(TagsOf(swf, kDefineShape2).empty());
  EXPECT_EQ(DefinedID(*TagsOf(swf, kDefineShape2)[0]), 0);
}

TEST(MovieBuild, SwfFramesForDelay) {
  struct Row {
    int32_t delay, frames;
  } rows[] = {{50, 5}, {5, 1}, {0, 1}, {1999, 199}, {10, 1}, {-30, 1}, {2000000000, 200000000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.delay);
    EXPECT_EQ(moviegen::SwfFramesForDelay(r.delay), r.frames);
  }
}

TEST_F(BuildTest, FramesLastTheirDelayAndTheSingleFrameLastsLong) {
  Doc.SetFrameCount(4);
  const int32_t delays[] = {50, 5, 0, 1999};
  for (int i = 0; i < 4; ++i) Doc.Frames[size_t(i + 1)].Delay = delays[i];
  const TSwfFile whole = Build(true);
  EXPECT_EQ(whole.FrameCount, 5 + 1 + 1 + 199);
  EXPECT_EQ(ShowFrameIndices(whole).size(), 206u);

  Doc.CurrentFrame = 2;
  const TSwfFile single = Build(false, "single.swf");
  EXPECT_EQ(single.FrameCount, moviegen::kSingleFrameLength);
}

// The header counts frames in 16 bits. A longer movie is refused before
// anything is written, with its length and the limit; the editor's frame of
// it still builds.
TEST_F(BuildTest, MovieLongerThanTheHeaderCanCountIsRefused) {
  Doc.SetFrameCount(2);
  Doc.Frames[1].Delay = 655340;
  Doc.Frames[2].Delay = 10;
  EXPECT_EQ(Build(true, "longest.swf").FrameCount, 65535);

  Doc.Frames[2].Delay = 20;
  Host.Calls.clear();
  try {
    moviegen::CreateMovie(Doc, Host, true, false, false);
    ADD_FAILURE() << "a movie of 65536 frames was built";
  } catch (const moviegen::TMovieGenError& e) {
    EXPECT_STREQ(e.what(),
                 "The movie runs 655.36 s (65536 frames of 10 ms); an SWF movie can count at "
                 "most 65535 frames (655.35 s). Shorten the frames' delays.");
  }
  EXPECT_TRUE(Host.Calls.empty());
  EXPECT_TRUE(std::filesystem::is_empty(Doc.TempDir));
  EXPECT_EQ(Build(false, "single.swf").FrameCount, moviegen::kSingleFrameLength);
}

// Character IDs have 16 bits. A build that would number more characters
// (1,320 frames of 50 objects that grow in every frame) is refused with a
// message instead of reusing IDs, and writes nothing; once the objects stop
// growing, a compact build shares them and fits.
TEST_F(BuildTest, MovieOfMoreCharactersThanIdsIsRefused) {
  Doc.SetFrameCount(1320);
  for (int e = 1; e <= 50; ++e) {
    Add(e, project::skRectangle, 1, 1320);
    for (int32_t l = 1; l <= 1320; ++l) {
      Slot(l, e).W = l;
      Slot(l, e).H = e;
    }
  }
  moviegen::TBuildOptions compact;
  compact.Compact = true;
  try {
    moviegen::CreateMovie(Doc, Host, true, false, false, compact);
    ADD_FAILURE() << "a movie of 66,000 shapes was built";
  } catch (const moviegen::TMovieGenError& e) {
    EXPECT_STREQ(e.what(), moviegen::kTooManyCharacters);
  }
  EXPECT_TRUE(std::filesystem::is_empty(Doc.TempDir));

  for (int e = 1; e <= 50; ++e)
    for (int32_t l = 1; l <= 1320; ++l) Slot(l, e).W = 10;
  const std::string path = moviegen::CreateMovie(Doc, Host, true, false, false, compact);
  EXPECT_FALSE(path.empty());
  std::filesystem::remove(path);
}

TEST_F(BuildTest, BackgroundByColourRuleAndGradient) {
  struct Row {
    const char* name;
    bool differentColour, gradient;
  } rows[] = {{"all frames on the movie colour", false, false},
              {"frame 2 on another colour", true, false},
              {"frame 2 with a gradient on the movie colour", false, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    Doc.Settings.MBkgrColor = RGB(10, 20, 30);
    Doc.SetFrameCount(3);
    for (int l = 1; l <= 3; ++l) Doc.Frames[size_t(l)].BkgrColor = RGB(10, 20, 30);
    if (r.differentColour) Doc.Frames[2].BkgrColor = RGB(200, 0, 0);
    Doc.Frames[2].AddGrad = r.gradient;
    const TSwfFile swf = Build(true);

    // The movie colour comes through one SetBackgroundColor, also shown by the player.
    ASSERT_EQ(TagsOf(swf, kSetBackgroundColor).size(), 1u);
    EXPECT_TRUE(SameBytes(hex("0A 14 1E"), TagsOf(swf, kSetBackgroundColor)[0]->Body));
    EXPECT_NE(std::find(Host.Calls.begin(), Host.Calls.end(),
                        "background " + std::to_string(RGB(10, 20, 30))),
              Host.Calls.end());
    // N = 4 without objects: only frame 2 may have a background shape, at 8.
    const std::vector<TPlacement> placed = Placements(swf);
    const bool shape = r.differentColour || r.gradient;
    ASSERT_EQ(placed.size(), shape ? 1u : 0u);
    if (!shape) continue;
    EXPECT_EQ(placed[0].Depth, 8);
    const TShapeInfo info = ReadShape(*Definition(swf, placed[0].CharacterID));
    EXPECT_EQ(info.Bounds.Xmax, 468 * 20);
    EXPECT_EQ(info.Bounds.Ymax, 60 * 20);
    ASSERT_EQ(info.FillTypes.size(), 1u);
    if (r.gradient) {
      EXPECT_EQ(info.FillTypes[0], 0x41);  // clipped bitmap, stretched over the stage
    } else {
      EXPECT_EQ(info.FillTypes[0], 0x00);
      EXPECT_EQ(info.FillColors[0], 0xC80000FFu);
    }
  }
}

TEST_F(BuildTest, EachFrameStartsByRemovingEverythingOfThePrevious) {
  Doc.SetFrameCount(3);
  Add(1, project::skRectangle, 1, 3);  // N = 5
  const TSwfFile swf = Build(true);
  const auto frames = SplitFrames(swf);
  ASSERT_EQ(frames.size(), 3u);
  for (int l = 1; l <= 3; ++l) {
    SCOPED_TRACE(l);
    std::vector<uint16_t> removed;
    for (const TTag* t : frames[size_t(l - 1)]) {
      if (t->Code != kRemoveObject2) break;
      removed.push_back(RemovedDepth(*t));
    }
    std::vector<uint16_t> expected;
    for (int d = 0; l > 1 && d <= 5 * l; ++d) expected.push_back(uint16_t(d));
    EXPECT_EQ(removed, expected);
    const std::vector<TPlacement> placed = Placements(frames[size_t(l - 1)]);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].Depth, 5 * l + 1);
  }
}

TEST_F(BuildTest, StopsOnTheLastFrameOnlyWhenNotLooping) {
  struct Row {
    int loop;
    bool whole;
    int frame;  // the current frame of a single-frame build
    int stops;
  } rows[] = {
      {0, true, 0, 1}, {1, true, 0, 0}, {0, false, 3, 1}, {0, false, 1, 0}, {1, false, 3, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "loop " << r.loop << " frame " << r.frame);
    SetUp();
    Doc.SetFrameCount(3);
    Doc.Settings.MLoop = r.loop;
    Doc.CurrentFrame = r.frame;
    const TSwfFile swf = Build(r.whole);
    const auto actions = TagsOf(swf, kDoAction);
    ASSERT_EQ(actions.size(), size_t(r.stops));
    if (!r.stops) continue;
    EXPECT_TRUE(SameBytes(hex("07 00"), actions[0]->Body));
    // In the last frame: nothing but ShowFrame tags follow it.
    const auto frames = SplitFrames(swf);
    EXPECT_EQ(frames.back().back(), actions[0]);
  }
}

TEST_F(BuildTest, MovieWideLinkCoversTheStageAboveEveryFrame) {
  struct Row {
    const char* url;
    bool whole;
    bool button;
  } rows[] = {{"   ", true, false},
              {"", true, false},
              {" http://example.com/a ", true, true},
              {"http://example.com/a", false, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "'" << r.url << "' whole " << r.whole);
    SetUp();
    Doc.SetFrameCount(2);
    Add(2, project::skEllipse, 1, 2);  // N = 6
    Doc.Settings.MainURL = r.url;
    const TSwfFile swf = Build(r.whole);
    const auto buttons = TagsOf(swf, kDefineButton2);
    ASSERT_EQ(buttons.size(), r.button ? 1u : 0u);
    if (!r.button) continue;
    // Placed before frame 1 at (FrameCount + 1) * N.
    const TPlacement link = Placements(SplitFrames(swf)[0])[0];
    EXPECT_EQ(link.CharacterID, DefinedID(*buttons[0]));
    EXPECT_EQ(link.Depth, 18);
    const TButtonInfo button = ReadButton2(*buttons[0]);
    ASSERT_EQ(button.Records.size(), 3u);
    // Up, down, over, each with the hit area; on the wire hit 8, down 4, over 2, up 1.
    const uint8_t states[] = {0x09, 0x0C, 0x0A};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(button.Records[size_t(k)].States, states[k]);
      EXPECT_EQ(button.Records[size_t(k)].Depth, 1);
      EXPECT_EQ(button.Records[size_t(k)].CharacterID, button.Records[0].CharacterID);
    }
    std::string url, target;
    ASSERT_TRUE(FindGetURL(button.Actions, url, target));
    EXPECT_EQ(url, r.url);
    EXPECT_EQ(target, "_blank");
    // An invisible rectangle one pixel inside the stage.
    const TShapeInfo shape = ReadShape(*Definition(swf, button.Records[0].CharacterID));
    EXPECT_EQ(shape.FillColors, std::vector<uint32_t>{0x00FF0000u});
    EXPECT_EQ(shape.Bounds.Xmin, 20);
    EXPECT_EQ(shape.Bounds.Xmax, 467 * 20);
  }
}

TEST_F(BuildTest, DepthLayoutOfAnObjectOnlyInSlot3) {
  Doc.SetFrameCount(2);
  Add(3, project::skRectangle, 1, 2);
  for (int l = 1; l <= 2; ++l) Doc.Frames[size_t(l)].AddBorder = 1;
  Doc.Frames[1].BkgrColor = RGB(1, 2, 3);
  const TSwfFile swf = Build(true);
  const auto frames = SplitFrames(swf);
  std::vector<std::vector<uint16_t>> depths;
  for (const auto& frame : frames) {
    depths.emplace_back();
    for (const TPlacement& p : Placements(frame)) depths.back().push_back(p.Depth);
  }
  // N = 7: background l*7, object l*7 + 3, border (l + 1)*7 - 3.
  EXPECT_EQ(depths, (std::vector<std::vector<uint16_t>>{{7, 10, 11}, {17, 18}}));
}

TEST(DepthLayout, FramesNeverShareDepthsAndStayWithin16Bits) {
  struct Row {
    int32_t frames, stride;
  } rows[] = {{20, 7}, {300, 255}, {258, 255}, {5000, 14}, {70000, 4}, {1, 259}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.frames << " frames, stride " << r.stride);
    const moviegen::TDepthLayout d(r.frames, r.stride);
    if (int64_t(r.frames + 1) * r.stride <= 65535) {
      EXPECT_EQ(d.Background(r.frames), r.frames * r.stride);
      EXPECT_EQ(d.Link(), (r.frames + 1) * r.stride);
    }
    for (int32_t l = 1; l <= r.frames; ++l) {
      const int lowest = d.Background(l), highest = d.Border(l);
      ASSERT_EQ(highest, lowest + r.stride - 3) << "frame " << l;
      ASSERT_LT(highest, d.Link()) << "frame " << l;
      ASSERT_LT(d.Object(l, std::min(r.stride - 4, 255)), highest) << "frame " << l;
      if (l > 1) {
        // The removal before frame l reaches everything of frame l - 1, never the link.
        ASSERT_GE(d.RemovalTop(l), d.Border(l - 1)) << "frame " << l;
        ASSERT_LT(d.RemovalTop(l), d.Link()) << "frame " << l;
      }
    }
  }
}

TEST_F(BuildTest, SlotsAbove251WarnButKeepDepthsOfTheirOwn) {
  Add(252, project::skRectangle, 1, 1);
  Doc.Frames[1].AddBorder = 1;
  const TSwfFile swf = Build(true);  // the fixture checks that no two placements share a depth
  EXPECT_EQ(Host.Warnings, std::vector<std::string>{moviegen::kTooManyObjects});
  EXPECT_EQ(Placements(swf).size(), 2u);

  Host.Warnings.clear();
  Doc.Frames[1].Slots.Edit(252).Object = project::skNone;
  Add(251, project::skRectangle, 1, 1);
  Build(true);
  EXPECT_TRUE(Host.Warnings.empty());
}

TEST_F(BuildTest, BackgroundSoundStartsOnceInFrame1) {
  Doc.SetFrameCount(3);
  Doc.Settings.MBkgrSound = Media("tune.wav", PcmWave(1, 11025, 8, Bytes(400, 0x80)));
  const TSwfFile whole = Build(true);
  ASSERT_EQ(TagsOf(whole, kDefineSound).size(), 1u);
  const auto starts = TagsOf(whole, kStartSound);
  ASSERT_EQ(starts.size(), 1u);
  // Sound ID, then the flags: SyncNoMultiple only, no loops.
  EXPECT_TRUE(SameBytes(hex("00 00 | 10"), starts[0]->Body));
  const auto frames = SplitFrames(whole);
  EXPECT_NE(std::find(frames[0].begin(), frames[0].end(), starts[0]), frames[0].end());

  // The editor's frame goes without sounds.
  const TSwfFile single = Build(false, "single.swf");
  EXPECT_TRUE(TagsOf(single, kStartSound).empty());
  EXPECT_TRUE(TagsOf(single, kDefineSound).empty());

  // A sound that is not there is left out without a message.
  Doc.Settings.MBkgrSound = "missing.wav";
  EXPECT_TRUE(TagsOf(Build(true, "missing.swf"), kDefineSound).empty());
  EXPECT_TRUE(Host.Warnings.empty());
}

TEST_F(BuildTest, SingleFrameBuildLoadsTheMovieIntoThePlayer) {
  Doc.CurrentFrame = 2;
  const std::string path = moviegen::CreateMovie(Doc, Host, false, true, true);
  EXPECT_EQ(path.rfind(Doc.TempDir, 0), 0u);
  EXPECT_EQ(path.substr(path.size() - 4), ".swf");
  EXPECT_FALSE(std::filesystem::exists(path));  // deleted after loading
  EXPECT_TRUE(Host.LoadedExisted);
  EXPECT_EQ(Host.Calls,
            (std::vector<std::string>{"stage 468x60", "background 16777215", "load starting",
                                      "load refresh", "show 2", "load finished"}));

  Host.Calls.clear();
  const std::string kept = moviegen::CreateMovie(Doc, Host, true, false, false);
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_EQ(Host.Calls.back(), "load finished");
  EXPECT_EQ(std::count(Host.Calls.begin(), Host.Calls.end(), "load"), 0);
}

// The bytes of a frame's picture are the single-frame build's file,
// uncompressed, without the file and without loading anything into the player.
TEST_F(BuildTest, FrameBytesAreTheSingleFrameBuildWrittenNowhere) {
  Doc.SetFrameCount(3);
  Add(1, project::skStar, 1, 3);
  Doc.CurrentFrame = 2;
  const std::string path = moviegen::CreateMovie(Doc, Host, false, false, false);
  Host.Calls.clear();
  const std::vector<uint8_t> bytes = moviegen::CreateFrameBytes(Doc, Host);
  const Bytes file = vtest::ReadFile(path);
  ASSERT_GE(bytes.size(), 8u);
  ASSERT_GE(file.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "FWS");
  // The same version and uncompressed length, the same tags.
  EXPECT_TRUE(std::equal(bytes.begin() + 3, bytes.begin() + 8, file.begin() + 3));
  const TSwfFile plain = ReadSwf(bytes), packed = ReadSwf(file);
  EXPECT_FALSE(plain.Compressed);
  ASSERT_EQ(plain.Tags.size(), packed.Tags.size());
  for (size_t i = 0; i < plain.Tags.size(); ++i) {
    EXPECT_EQ(plain.Tags[i].Code, packed.Tags[i].Code);
    EXPECT_EQ(plain.Tags[i].Body, packed.Tags[i].Body);
  }
  std::filesystem::remove(path);
  EXPECT_TRUE(std::filesystem::is_empty(Doc.TempDir));
  for (const std::string& call : Host.Calls) EXPECT_EQ(call.find("load"), std::string::npos);
}

TEST_F(BuildTest, NothingHappensWhileTheUpdateGuardIsSet) {
  Host.Guard = true;
  EXPECT_EQ(moviegen::CreateMovie(Doc, Host, false, true, false), "");
  EXPECT_TRUE(Host.Calls.empty());
  EXPECT_TRUE(std::filesystem::is_empty(Doc.TempDir));
}

// Far more distinct pictures than a fixed table of 255 would hold.
TEST_F(BuildTest, ThreeHundredDistinctPictures) {
  Doc.SetFrameCount(2);
  for (int i = 0; i < 300; ++i) {
    media::TBitmap32 pixel(1, 1, media::ARGB(255, uint8_t(i), 0, 0));
    const std::string name = Dir + "media/p" + std::to_string(i) + ".bmp";
    media::SaveBMP(name, pixel, 24);
    project::TShapeRec& slot = Add(i % 150 + 1, project::skPicture, i / 150 + 1, i / 150 + 1);
    slot.Text = name;
  }
  const TSwfFile swf = Build(true);
  EXPECT_EQ(TagsOf(swf, kDefineBitsLossless).size(), 300u);
  EXPECT_EQ(Placements(swf).size(), 300u);
}

}  // namespace
