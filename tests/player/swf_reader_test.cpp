// The reader: header, frames, characters, and what it does with damaged or
// hostile files.
#include "player/swf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "player/movie_dump.h"
#include "player/player_error.h"
#include "player/swf_builder.h"
#include "support/bytes.h"
#include "swf/tags/action_tags.h"

namespace {

using namespace player;
using vtest::SwfBytes;
using vtest::TRgba;
using vtest::TShapeBody;
using vtest::TSwfBuilder;

SwfBytes RedSquareMovie(bool compressed) {
  TSwfBuilder b(100, 50, 24.5);
  b.Background(0, 128, 255);
  TShapeBody s(1, 2, {0, 400, 0, 400});
  s.Style(0, s.Solid({255, 0, 0}), 0, 0, 0);
  s.Rect(0, 0, 400, 400);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.Place(1, 1);
  b.ShowFrame();
  b.ShowFrame();
  return b.Build(compressed);
}

TEST(SwfReader, ReadsPlainAndCompressedHeadersAlike) {
  for (bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    const SwfBytes file = RedSquareMovie(compressed);
    vtest::KeepSwfForParserCheck(
        compressed ? "player-red-square-cws.swf" : "player-red-square-fws.swf", file);
    const TMovie movie = ReadMovie(file);
    EXPECT_EQ(movie.Compressed, compressed);
    EXPECT_EQ(movie.Version, 6);
    EXPECT_EQ(movie.StageWidthPixels(), 100);
    EXPECT_EQ(movie.StageHeightPixels(), 50);
    EXPECT_DOUBLE_EQ(movie.FrameRate, 24.5);
    EXPECT_EQ(movie.FrameCount, 2u);
    EXPECT_EQ(movie.Background, (TRGBA{0, 128, 255, 255}));
    ASSERT_NE(movie.Find(1), nullptr);
    EXPECT_EQ(movie.Find(1)->Kind, TCharacterKind::Shape);
    EXPECT_TRUE(movie.Warnings.empty());
  }
}

TEST(SwfReader, FramesWithoutTagsCostNothing) {
  TSwfBuilder b(10, 10, 100);
  b.Place(0, 1);  // a frame with content (an invalid placement, kept as an op)
  b.ShowFrame(16960);
  const SwfBytes file = b.Build(true);
  vtest::KeepSwfForParserCheck("player-16960-frames.swf", file);
  const TMovie movie = ReadMovie(file);
  EXPECT_EQ(movie.FrameCount, 16960u);
  EXPECT_EQ(movie.Frames.size(), 1u);
  EXPECT_EQ(movie.Content(16959), nullptr);
}

TEST(SwfReader, RefusesWhatIsNotAMovie) {
  struct Case {
    const char* name;
    SwfBytes bytes;
    const char* message;
  };
  SwfBytes hugeLength = RedSquareMovie(true);
  hugeLength[7] = 0x7F;  // FileLength ~2 GB
  const Case cases[] = {
      {"empty", {}, "not a Flash movie"},
      {"text", vtest::hex("48 45 4C 4C 4F 20 57 4F 52 4C 44"), "not a Flash movie"},
      {"header only", vtest::hex("46 57 53 06 08 00 00 00"), "header is damaged"},
      {"lzma header only", vtest::hex("5A 57 53 0D 08 00 00 00 00"), "header is damaged"},
      {"length beyond the limit", hugeLength, "too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadMovie(c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EPlayerError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(SwfReader, KeepsWhatCameBeforeDamage) {
  const SwfBytes good = RedSquareMovie(false);
  struct Case {
    const char* name;
    SwfBytes bytes;
    const char* warning;
  };
  SwfBytes truncated(good.begin(), good.begin() + long(good.size()) - 8);
  SwfBytes lying = good;
  // The SetBackgroundColor tag right after the 19-byte header claims 60 bytes.
  ASSERT_EQ(lying[19], 0x43);
  lying[19] = 0x7C;
  const Case cases[] = {
      {"truncated", truncated, "runs past the end"},
      {"lying length", lying, "runs past the end"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TMovie movie = ReadMovie(c.bytes);
    ASSERT_FALSE(movie.Warnings.empty());
    EXPECT_NE(movie.Warnings[0].find(c.warning), std::string::npos) << movie.Warnings[0];
  }
  EXPECT_NE(ReadMovie(truncated).Find(1), nullptr);
}

TEST(SwfReader, CompressedBodyStopsAtTheDeclaredLength) {
  // A body of 1 MB of zeros behind a header that declares 40 bytes.
  SwfBytes rest = vtest::hex("00 0C 00 01 00");  // empty rect, 12 fps, 1 frame
  rest.resize(1 << 20, 0);
  const SwfBytes z = vtest::Zlib(rest);
  SwfBytes file = vtest::hex("43 57 53 06 28 00 00 00");
  file.insert(file.end(), z.begin(), z.end());
  const TMovie movie = ReadMovie(file);  // the zeros are an End tag
  EXPECT_EQ(movie.FrameCount, 1u);
}

// showcase-lzma.swf holds the body of showcase.swf compressed by Python's
// lzma module (tests/data/player/README.md).
TEST(SwfReader, ReadsLzmaMoviesLikeTheirZlibTwin) {
  const TMovie zlib = ReadMovie(vtest::ReadFile(vtest::TestDataPath("player/showcase.swf")));
  const TMovie lzma = ReadMovie(vtest::ReadFile(vtest::TestDataPath("player/showcase-lzma.swf")));
  EXPECT_TRUE(lzma.Compressed && lzma.Lzma);
  EXPECT_EQ(lzma.Version, 13);
  EXPECT_TRUE(lzma.Warnings.empty());
  const auto body = [](const TMovie& m) {
    const std::string dump = DumpMovie(m);
    return dump.substr(dump.find('\n'));
  };
  EXPECT_EQ(body(lzma), body(zlib));
  EXPECT_EQ(DumpMovie(lzma).substr(0, 3), "ZWS");
}

TEST(SwfReader, LzmaBodiesKeepTheZlibLimits) {
  // 16 MB of zeros (End tags) behind a header that declares 40 bytes.
  const SwfBytes bomb =
      vtest::ReadFile(vtest::TestDataPath("player/zws-bomb-declares-40-bytes.swf"));
  const TMovie movie = ReadMovie(bomb);
  EXPECT_EQ(movie.FileLength, 40u);
  EXPECT_EQ(movie.FrameCount, 1u);

  SwfBytes huge = bomb;
  huge[7] = 0x7F;  // FileLength ~2 GB
  EXPECT_THROW(ReadMovie(huge), EPlayerError);

  const SwfBytes good = vtest::ReadFile(vtest::TestDataPath("player/showcase-lzma.swf"));
  const SwfBytes truncated(good.begin(), good.begin() + long(good.size()) / 2);
  const TMovie cut = ReadMovie(truncated);
  ASSERT_FALSE(cut.Warnings.empty());
  EXPECT_NE(cut.Warnings[0].find("damaged"), std::string::npos) << cut.Warnings[0];
}

TEST(SwfReader, SkipsAndListsUnknownAndDamagedTags) {
  TSwfBuilder b(10, 10);
  b.Tag(77, {'<', 'x', '/', '>', 0});   // Metadata: not used by the player
  b.Tag(swf::tagDefineShape2, {1, 0});  // damaged: ends after the ID
  b.Tag(1234 & 0x3FF, {1, 2, 3});       // unknown code
  b.ShowFrame();
  TReadOptions keep;
  keep.KeepTags = true;
  const TMovie movie = ReadMovie(b.Build(), keep);
  EXPECT_EQ(movie.Find(1), nullptr);
  std::string warnings;
  for (const std::string& w : movie.Warnings) warnings += w + "\n";
  EXPECT_NE(warnings.find("DefineShape2 at byte 25 is damaged"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("Metadata skipped"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("Tag210 skipped"), std::string::npos) << warnings;
  const std::string dump = DumpMovie(movie);
  EXPECT_NE(dump.find("Metadata (77) length 5: skipped"), std::string::npos) << dump;
}

TEST(SwfReader, ShapeReferencingMissingStylesDrawsNothingForThem) {
  TShapeBody s(1, 3, {0, 100, 0, 100});
  const uint32_t fill = s.Solid({1, 2, 3});
  s.Style(0, fill + 1, 0, 0, 0);  // index 2 of 1 fill style
  s.Rect(0, 0, 100, 100);
  TSwfBuilder b(10, 10);
  b.Tag(swf::tagDefineShape3, s.Finish());
  b.ShowFrame();
  const TMovie movie = ReadMovie(b.Build());
  const auto* shape = static_cast<const TShapeCharacter*>(movie.Find(1));
  ASSERT_NE(shape, nullptr);
  EXPECT_TRUE(shape->Shape.Layers[0].FillPaths.empty());
}

// Two squares sharing an edge, written the way authoring tools do: the
// shared edge once, with the left square's fill on one side and the right
// square's on the other; the other edges in scattered order.
TEST(SwfReader, RebuildsClosedContoursPerFillStyle) {
  TShapeBody s(1, 2, {0, 200, 0, 100});
  const uint32_t left = s.Solid({255, 0, 0}), right = s.Solid({0, 0, 255});
  s.Style(right, left, 0, 100, 0);  // shared edge downwards: left fill on the right side
  s.LineBy(0, 100);
  s.Style(0, left, 0, 100, 100);  // rest of the left square
  s.LineBy(-100, 0);
  s.LineBy(0, -100);
  s.LineBy(100, 0);
  s.Style(right, 0, 0, 100, 100);  // right square traced anticlockwise: fill on the left
  s.LineBy(100, 0);
  s.LineBy(0, -100);
  s.LineBy(-100, 0);
  TSwfBuilder b(10, 10);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.ShowFrame();
  const SwfBytes file = b.Build();
  vtest::KeepSwfForParserCheck("player-shared-edge.swf", file);
  const TMovie movie = ReadMovie(file);
  const auto& layer = static_cast<const TShapeCharacter*>(movie.Find(1))->Shape.Layers.at(0);
  ASSERT_EQ(layer.FillPaths.size(), 2u);
  const TPath& red = layer.FillPaths[0].Path;
  const TPath& blue = layer.FillPaths[1].Path;
  ASSERT_EQ(red.size(), 1u);  // one closed contour each
  ASSERT_EQ(blue.size(), 1u);
  EXPECT_EQ(red[0].Segments.back().To, red[0].Start);
  EXPECT_EQ(blue[0].Segments.back().To, blue[0].Start);
  EXPECT_NE(WindingNumber(red, {50, 50}), 0);
  EXPECT_EQ(WindingNumber(red, {150, 50}), 0);
  EXPECT_NE(WindingNumber(blue, {150, 50}), 0);
  EXPECT_EQ(WindingNumber(blue, {50, 50}), 0);
}

TEST(SwfReader, ReadsFramesOpsActionsAndLabels) {
  TSwfBuilder b(10, 10);
  b.Tag(swf::tagFrameLabel, {'e', 'n', 'd', 0});
  b.Place(1, 3);
  b.ShowFrame();
  b.Remove(3);
  swf::TSWFDoAction action;
  action.Actions().Add<swf::TSWFActionGotoFrame>(7);
  action.Actions().Add<swf::TSWFActionGetUrl>("http://example.com/\xE9", "_blank");
  action.Actions().Add<swf::TSWFActionStop>();
  action.Actions().Add<swf::TSWFActionAdd>();
  b.Tag(action);
  b.ShowFrame();
  const SwfBytes file = b.Build();
  vtest::KeepSwfForParserCheck("player-frames.swf", file);
  const TMovie movie = ReadMovie(file);
  EXPECT_EQ(movie.FindLabel("end"), 0);
  const TFrameContent* second = movie.Content(1);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->Ops.size(), 1u);
  EXPECT_EQ(second->Ops[0].Kind, TDisplayOp::Remove);
  EXPECT_EQ(second->Ops[0].Depth, 3);
  ASSERT_EQ(second->Actions.size(), 4u);
  EXPECT_EQ(second->Actions[0].Kind, TAction::GotoFrame);
  EXPECT_EQ(second->Actions[0].Frame, 7);
  EXPECT_EQ(second->Actions[1].Kind, TAction::GetURL);
  EXPECT_EQ(second->Actions[1].URL, "http://example.com/\xC3\xA9");  // UTF-8 in version 6
  EXPECT_EQ(second->Actions[1].Target, "_blank");
  EXPECT_EQ(second->Actions[2].Kind, TAction::Stop);
  EXPECT_EQ(second->Actions[3].Kind, TAction::Other);
}

// A removal of a depth that holds nothing (never placed, placed without a
// character, or removed already) changes nothing and is left out; the
// dump still lists every tag.
TEST(SwfReader, LeavesOutRemovalsOfEmptyDepths) {
  TSwfBuilder b(10, 10);
  b.Place(1, 1);
  b.Place(0, 2);                      // no character: nothing placed
  b.Move(4, vtest::Translate(1, 1));  // nothing there to move
  b.ShowFrame();
  for (uint16_t depth : {1, 1, 2, 4, 9}) b.Remove(depth);
  b.ShowFrame();
  b.Place(1, 5, nullptr, nullptr, true);  // a move with a character places
  b.Remove(5);
  b.Remove(5);
  b.ShowFrame();
  b.Remove(8);
  b.ShowFrame();
  const SwfBytes file = b.Build();
  vtest::KeepSwfForParserCheck("player-empty-removals.swf", file);
  // Without the tag list removals are read in place, with it through the tag reader.
  for (bool keepTags : {false, true}) {
    SCOPED_TRACE(keepTags);
    const TMovie movie = ReadMovie(file, {.KeepTags = keepTags});
    const auto removals = [&](uint32_t frame) {
      std::vector<int> depths;
      if (const TFrameContent* content = movie.Content(frame))
        for (const TDisplayOp& op : content->Ops)
          if (op.Kind == TDisplayOp::Remove) depths.push_back(op.Depth);
      return depths;
    };
    EXPECT_EQ(removals(1), std::vector<int>{1});
    EXPECT_EQ(removals(2), std::vector<int>{5});
    EXPECT_EQ(movie.Content(3), nullptr);
    EXPECT_EQ(std::count_if(movie.Tags.begin(), movie.Tags.end(),
                            [](const TTagInfo& t) { return t.Code == swf::tagRemoveObject2; }),
              keepTags ? 8 : 0);
  }
}

TEST(SwfReader, KeepsTheFirstDefinitionOfAnID) {
  TSwfBuilder b(10, 10);
  for (uint8_t red : {10, 20}) {
    TShapeBody s(1, 1, {0, 10, 0, 10});
    s.Style(0, s.Solid({red, 0, 0}), 0, 0, 0);
    s.Rect(0, 0, 10, 10);
    b.Tag(swf::tagDefineShape, s.Finish());
  }
  b.ShowFrame();
  const TMovie movie = ReadMovie(b.Build());
  const auto* shape = static_cast<const TShapeCharacter*>(movie.Find(1));
  EXPECT_EQ(shape->Shape.Layers[0].Fills[0].Color.R, 10);
  ASSERT_EQ(movie.Warnings.size(), 1u);
  EXPECT_NE(movie.Warnings[0].find("defined twice"), std::string::npos);
}

// DefineFont2 with two glyphs, narrow codes and layout, by the format.
TEST(SwfReader, ReadsDefineFont2) {
  SwfBytes glyph = TShapeBody(0, 0, {}).Finish();  // an empty glyph: 10 00
  TShapeBody bar(0, 0, {});
  bar.Style(0, 1, 0, 0, -700);
  bar.Rect(0, -700, 100, 700);
  const SwfBytes barGlyph = bar.Finish();
  SwfBytes body =
      vtest::hex("05 00 | 80 | 00 | 03 41 62 63 | 02 00");  // id 5, layout, name "Abc", 2 glyphs
  const uint16_t table = 6, g0 = table, g1 = uint16_t(g0 + glyph.size()),
                 codes = uint16_t(g1 + barGlyph.size());
  for (uint16_t v : {g0, g1, codes}) {
    body.push_back(uint8_t(v));
    body.push_back(uint8_t(v >> 8));
  }
  body.insert(body.end(), glyph.begin(), glyph.end());
  body.insert(body.end(), barGlyph.begin(), barGlyph.end());
  const SwfBytes tail =
      vtest::hex("20 49 | 84 03 | C8 00 | 14 00 | 00 02 | 58 02 | 00 | 00 | 00 00");
  body.insert(body.end(), tail.begin(),
              tail.end());  // codes ' ' 'I', ascent 900, descent 200, leading 20, advances
  TSwfBuilder b(10, 10);
  b.Tag(swf::tagDefineFont2, body);
  b.ShowFrame();
  const SwfBytes file = b.Build();
  vtest::KeepSwfForParserCheck("player-font2.swf", file);
  const TMovie movie = ReadMovie(file);
  ASSERT_TRUE(movie.Warnings.empty()) << movie.Warnings[0];
  const auto* font = static_cast<const TFontCharacter*>(movie.Find(5));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Name, "Abc");
  EXPECT_EQ(font->Codes, (std::vector<uint16_t>{' ', 'I'}));
  EXPECT_EQ(font->Advances, (std::vector<int16_t>{512, 600}));
  EXPECT_EQ(font->Ascent, 900);
  ASSERT_EQ(font->Glyphs.size(), 2u);
  EXPECT_TRUE(font->Glyphs[0].Layers[0].FillPaths.empty());
  EXPECT_NE(WindingNumber(font->Glyphs[1].Layers[0].FillPaths.at(0).Path, {50, -300}), 0);
}

}  // namespace
