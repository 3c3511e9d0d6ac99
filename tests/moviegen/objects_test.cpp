// Shapes, texts, pictures and buttons as the build draws them, read back
// from the written movie.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "media/picture_decoder.h"
#include "moviegen/build_fixture.h"
#include "moviegen/text_extent.h"
#include "platform/font_engine.h"
#include "support/pictures.h"
#include "support/sound_data.h"
#include "swf/core/bits_engine.h"
#include "swf/core/memory_stream.h"

namespace {

using namespace vtest;
using project::RGB;

// The placement at a depth and the tag defining what it places.
struct TPlaced {
  TPlacement Placement;
  const TTag* Definition = nullptr;
};

TPlaced PlacedAt(const TSwfFile& swf, uint16_t depth) {
  for (const TPlacement& p : Placements(swf))
    if (p.Depth == depth && p.HasCharacter) return {p, Definition(swf, p.CharacterID)};
  ADD_FAILURE() << "nothing placed at depth " << depth;
  return {};
}

// A strip whose pixel (x, y) is red x, green y: every column tells where it came from.
std::string Strip(const std::string& dir, const std::string& name, int width, int height) {
  media::TBitmap32 strip(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) strip.At(x, y) = media::ARGB(255, uint8_t(x), uint8_t(y), 7);
  media::SaveBMP(dir + name, strip, 24);
  return dir + name;
}

Bytes Inflate(const uint8_t* data, size_t size, size_t expected) {
  Bytes out(expected);
  uLongf length = out.size();
  EXPECT_EQ(uncompress(out.data(), &length, data, uLong(size)), Z_OK);
  out.resize(length);
  return out;
}

// The alpha plane of a DefineBitsJPEG3: ID, offset of the alpha data, JPEG, zlib alpha.
Bytes AlphaPlane(const TTag& jpeg3, size_t pixels) {
  const uint32_t offset =
      jpeg3.Body[2] | jpeg3.Body[3] << 8 | jpeg3.Body[4] << 16 | uint32_t(jpeg3.Body[5]) << 24;
  const size_t at = 6 + offset;
  return Inflate(jpeg3.Body.data() + at, jpeg3.Body.size() - at, pixels);
}

TEST_F(BuildTest, ShapeFillsOutlinesAndTransparency) {
  struct Row {
    const char* name;
    uint8_t fill, alpha;
    int border;
    bool selected, whole;
    int fillType;  // -1: no fill
    uint32_t fillColor;
    std::vector<uint16_t> lineWidths;
    std::vector<uint32_t> lineColors;
  } rows[] = {
      // clang-format off
      {"solid", project::fkSolid, 0, 2, false, true, 0x00, 0x44ABFFFF, {40}, {0x004488FF}},
      {"alpha 255", project::fkSolid, 255, 2, false, true, 0x00, 0x44ABFF00, {40}, {0x00448800}},
      {"alpha 128", project::fkSolid, 128, 2, false, true, 0x00, 0x44ABFF7F, {40}, {0x0044887F}},
      {"linear", project::fkLinear, 0, 2, false, true, 0x10, 0, {40}, {0x004488FF}},
      {"radial", project::fkRadial, 0, 2, false, true, 0x12, 0, {40}, {0x004488FF}},
      {"no fill", project::fkNone, 0, 2, false, true, -1, 0, {40}, {0x004488FF}},
      {"no outline", project::fkSolid, 0, 0, false, true, 0x00, 0x44ABFFFF, {}, {}},
      // The canvas outlines the selection over the frame: the object keeps its own look.
      {"selected", project::fkSolid, 0, 5, true, false, 0x00, 0x44ABFFFF, {100}, {0x004488FF}},
      {"selected, whole movie", project::fkSolid, 0, 5, true, true, 0x00, 0x44ABFFFF, {100},
       {0x004488FF}},
      // clang-format on
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    project::TShapeRec& s = Add(2, project::skRectangle, 1, 1);
    s.X = 10;
    s.Y = 5;
    s.Fill = r.fill;
    s.Alpha = r.alpha;
    s.Border = r.border;
    Doc.SelectedSlots[2] = r.selected;
    const TSwfFile swf = Build(r.whole);
    const TPlaced placed = PlacedAt(swf, 1 * 6 + 2);
    ASSERT_NE(placed.Definition, nullptr);
    EXPECT_EQ(placed.Definition->Code, r.alpha ? kDefineShape3 : kDefineShape2);
    const TShapeInfo info = ReadShape(*placed.Definition);
    if (r.fillType < 0) {
      EXPECT_TRUE(info.FillTypes.empty());
    } else {
      ASSERT_EQ(info.FillTypes.size(), 1u);
      EXPECT_EQ(info.FillTypes[0], r.fillType);
      EXPECT_EQ(info.FillColors[0], r.fillColor);
    }
    EXPECT_EQ(info.LineWidths, r.lineWidths);
    EXPECT_EQ(info.LineColors, r.lineColors);
    // (10, 5) to (70, 35), grown by half the widest line.
    const int half = r.lineWidths.empty() ? 0 : r.lineWidths[0] / 2;
    EXPECT_EQ(info.Bounds.Xmin, 200 - half);
    EXPECT_EQ(info.Bounds.Ymin, 100 - half);
    EXPECT_EQ(info.Bounds.Xmax, 1400 + half);
    EXPECT_EQ(info.Bounds.Ymax, 700 + half);
  }
}

TEST_F(BuildTest, CircleCoversTheBoxAroundItsCentre) {
  project::TShapeRec& c = Add(1, project::skCircle, 1, 1);  // X = Y = Radius = 28
  c.Border = 0;
  const TShapeInfo info = ReadShape(*PlacedAt(Build(true), 5 + 1).Definition);
  EXPECT_EQ(info.Bounds.Xmin, 0);
  EXPECT_EQ(info.Bounds.Ymin, 0);
  EXPECT_EQ(info.Bounds.Xmax, 56 * 20);
  EXPECT_EQ(info.Bounds.Ymax, 56 * 20);
}

// The geometry is built around the anchor turned by the angle and the
// placement turns it back: the anchor lands on (X, Y).
TEST_F(BuildTest, TurnedObjectsKeepTheirAnchor) {
  for (int angle : {0, 90, 30, -45, 180, 270}) {
    for (project::TShapeKind kind : {project::skRectangle, project::skText}) {
      SCOPED_TRACE(testing::Message() << "angle " << angle << " kind " << int(kind));
      SetUp();
      project::TShapeRec& s = Add(1, kind, 1, 1);
      s.X = 100;
      s.Y = 7;
      s.Border = 0;
      s.Angle = angle;
      const TSwfFile swf = Build(true);
      const TPlaced placed = PlacedAt(swf, 5 + 1);
      ASSERT_TRUE(placed.Placement.HasMatrix);
      // The top-left of the shape's bounds or of the text's rectangle.
      swf::TMemoryStream stream(placed.Definition->Body);
      swf::TBitsEngine be(stream);
      be.ReadWord();
      const swf::TSWFRectRec bounds = be.ReadRect();
      const swf::TSWFMatrixRec& m = placed.Placement.Matrix;
      const double x =
          m.ScaleX / 65536.0 * bounds.Xmin + m.RotateSkew1 / 65536.0 * bounds.Ymin + m.TranslateX;
      const double y =
          m.RotateSkew0 / 65536.0 * bounds.Xmin + m.ScaleY / 65536.0 * bounds.Ymin + m.TranslateY;
      // Within the rounding of the turned anchor to whole pixels.
      EXPECT_NEAR(x, 100 * 20, 15);
      EXPECT_NEAR(y, 7 * 20, 15);
      if (angle % 90 == 0) {
        EXPECT_NEAR(x, 100 * 20, 1);
        EXPECT_NEAR(y, 7 * 20, 1);
      }
    }
  }
}

TEST_F(BuildTest, BitmapFillTakesTransparencyOnlyFromJPEG) {
  const std::string jpeg = Media("tile.jpg", MakeJpeg(8, 4, false));
  const std::string bmp = Dir + "media/tile.bmp";
  media::SaveBMP(bmp, media::TBitmap32(8, 4, media::ARGB(255, 1, 2, 3)), 24);
  struct Row {
    std::string text;
    uint16_t imageTag;  // 0: no fill
    uint8_t alphaAfter;
  } rows[] = {{bmp, kDefineBitsLossless, 0},
              {jpeg, kDefineBitsJPEG3, 100},
              {"", 0, 100},
              {Dir + "media/none.jpg", 0, 100}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Host.Calls.clear();
    Doc.Frames[1].Slots.Clear();
    project::TShapeRec& s = Add(1, project::skEllipse, 1, 1);
    s.Fill = project::fkBitmap;
    s.Text = r.text;
    s.Alpha = 100;
    const TSwfFile swf = Build(true);
    const TShapeInfo info = ReadShape(*PlacedAt(swf, 6).Definition);
    EXPECT_EQ(Slot(1, 1).Alpha, r.alphaAfter);
    EXPECT_EQ(std::count(Host.Calls.begin(), Host.Calls.end(), "refresh panel"),
              r.alphaAfter == 0 ? 1 : 0);
    EXPECT_EQ(info.LineWidths.size(), 1u);  // the outline stays
    if (!r.imageTag) {
      EXPECT_TRUE(info.FillTypes.empty());
      continue;
    }
    ASSERT_EQ(info.FillTypes.size(), 1u);
    EXPECT_EQ(info.FillTypes[0], 0x41);  // stretched over the shape, not repeated
    const TTag* image = Definition(swf, info.FillBitmaps[0]);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Code, r.imageTag);
    if (r.imageTag == kDefineBitsJPEG3) {
      EXPECT_EQ(AlphaPlane(*image, 32), Bytes(32, 155));
    }
  }
}

TEST_F(BuildTest, PicturesTakeTheirSizeAndJPEGsTheirTransparency) {
  const std::string jpeg = Media("photo.jpg", MakeJpeg(12, 5, false));
  const std::string bmp = Dir + "media/logo.bmp";
  media::SaveBMP(bmp, media::TBitmap32(9, 3, media::ARGB(255, 9, 9, 9)), 24);
  project::TShapeRec& a = Add(1, project::skPicture, 1, 1);
  a.Text = jpeg;
  a.Alpha = 100;
  project::TShapeRec& b = Add(2, project::skPicture, 1, 1);
  b.Text = bmp;
  b.Alpha = 100;
  const TSwfFile swf = Build(true);
  EXPECT_EQ(Slot(1, 1).W, 12);
  EXPECT_EQ(Slot(1, 1).H, 5);
  EXPECT_EQ(Slot(1, 1).Alpha, 100);
  EXPECT_EQ(Slot(1, 2).W, 9);
  EXPECT_EQ(Slot(1, 2).H, 3);
  EXPECT_EQ(Slot(1, 2).Alpha, 0);  // a BMP is drawn opaque
  const auto jpegs = TagsOf(swf, kDefineBitsJPEG3);
  ASSERT_EQ(jpegs.size(), 1u);
  EXPECT_EQ(AlphaPlane(*jpegs[0], 60), Bytes(60, 155));
  EXPECT_EQ(TagsOf(swf, kDefineBitsLossless).size(), 1u);
}

TEST_F(BuildTest, PicturesAreSharedByFileAndTransparency) {
  const std::string jpeg = Media("photo.jpg", MakeJpeg(4, 4, false));
  for (int secondAlpha : {0, 50}) {
    SCOPED_TRACE(secondAlpha);
    Doc.SetFrameCount(2);
    Add(1, project::skPicture, 1, 2);
    Slot(1, 1).Text = Slot(2, 1).Text = jpeg;
    Slot(2, 1).Alpha = uint8_t(secondAlpha);
    const TSwfFile swf = Build(true);
    EXPECT_EQ(TagsOf(swf, kDefineBitsJPEG3).size(), secondAlpha ? 2u : 1u);
    EXPECT_EQ(Placements(swf).size(), 2u);
  }
}

// A JPEG goes in through a copy in the cache that follows its source.
TEST_F(BuildTest, JPEGCopyIsRemadeWhenTheSourceChanges) {
  const std::string jpeg = Media("photo.jpg", MakeJpeg(4, 4, false));
  Add(3, project::skPicture, 1, 1).Text = jpeg;
  Build(true);
  const std::string copy = Host.Cache + "1_3_photo.jpg";
  ASSERT_TRUE(std::filesystem::exists(copy));
  EXPECT_EQ(std::filesystem::last_write_time(copy), std::filesystem::last_write_time(jpeg));

  Media("photo.jpg", MakeJpeg(16, 8, false));
  std::filesystem::last_write_time(
      jpeg, std::filesystem::last_write_time(copy) + std::chrono::seconds(5));
  Build(true);
  EXPECT_EQ(ReadFile(copy), ReadFile(jpeg));
  EXPECT_EQ(Slot(1, 3).W, 16);
  EXPECT_EQ(Host.GuardDepth, 0);
}

TEST(TextObjects, WidthAddsSpacingAndMargin) {
  const platform::TTextExtent measured = platform::MeasureText("Arial", 36, 96, "Hello");
  ASSERT_GT(measured.Width, 0);
  struct Row {
    int spacing, extra;
  } rows[] = {{1, 4 + 10}, {0, 10}, {3, 11 + 10}};  // round(5 * spacing * 0.76)
  for (const Row& r : rows) {
    SCOPED_TRACE(r.spacing);
    project::TShapeRec text;
    text.Object = project::skText;
    text.Text = "Hello";
    text.Font = "Arial";
    text.FontSize = 36;
    text.Spacing = r.spacing;
    const platform::TTextExtent extent = moviegen::TextObjectExtent(text, 96);
    EXPECT_EQ(extent.Width, measured.Width + r.extra);
    EXPECT_EQ(extent.Height, measured.Height);
  }
}

TEST(TextObjects, FontSizeFollowsTheResolutionTheProjectWasMadeAt) {
  struct Row {
    int size, resolution, screen, points;
  } rows[] = {{36, 120, 96, 45}, {36, 96, 96, 36}, {10, 72, 96, 8},
              {9, 72, 96, 7},    {11, 72, 96, 8},  {36, 0, 96, 36}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.size << " at " << r.resolution);
    EXPECT_EQ(moviegen::FontPoints(r.size, r.resolution, r.screen), r.points);
  }
}

TEST_F(BuildTest, TextsShareFontsByFaceSizeAndStyle) {
  Doc.SetFrameCount(2);
  Add(1, project::skText, 1, 2).Text = "Abc";
  Slot(2, 1).Text = "Bcd";
  Add(2, project::skText, 2, 2).Text = "Cde";
  Slot(2, 2).FBold = 1;
  Slot(2, 2).Alpha = 255;  // invisible, but its font is still written
  Doc.CurrentFrame = 1;
  const TSwfFile swf = Build(true);
  EXPECT_EQ(TagsOf(swf, kDefineFont2).size(), 2u);
  EXPECT_EQ(TagsOf(swf, kDefineText).size(), 2u);
  EXPECT_EQ(TagsOf(swf, kDefineText2).size(), 1u);  // the translucent one

  // Every frame's texts are measured, whatever the build's range.
  EXPECT_GT(Slot(2, 2).W, 10);
  const platform::TTextExtent cde = moviegen::TextObjectExtent(Slot(2, 2), 96);
  EXPECT_EQ(Slot(2, 2).W, cde.Width);
  EXPECT_EQ(Slot(2, 2).H, cde.Height);
  Slot(2, 2).W = 0;
  Build(false, "single.swf");
  EXPECT_EQ(Slot(2, 2).W, cde.Width);
}

// A project file may hold any 32-bit value in any field. Every kind of
// object at the extremes builds, default and compact, whole and single,
// without arithmetic wrapping (the sanitizers stop the test at the first),
// into a file the player reads. Sizes are kept to a million pixels: a side
// of 2^31 twips would be 32,768 edges of the longest an edge record holds,
// which the library's own tests cover.
TEST_F(BuildTest, ObjectsAtTheExtremesOfEveryField) {
  const std::string logo = Dir + "media/logo.bmp";
  media::SaveBMP(logo, media::TBitmap32(6, 4, media::ARGB(255, 9, 9, 9)), 24);
  int e = 0;
  for (int kind = project::skRectangle; kind <= project::skButton; ++kind)
    for (int32_t v : {INT32_MIN, -1, INT32_MAX}) {
      project::TShapeRec& s = Add(++e, project::TShapeKind(kind), 1, 1);
      s.X = s.Y = s.Angle = s.Spacing = s.FontSize = s.GrX = s.GrY = v;
      s.W = s.H = s.Radius = std::clamp(v, -1000000, 1000000);
      s.Border = uint8_t(v);
      s.Fill = project::TFillKind(e % 5);
      s.Text = kind == project::skText ? "Extreme" : logo;
    }
  // The frame's own fields too: its gradient and border pictures.
  Doc.SetFrameCount(3);
  const int32_t frameExtremes[] = {INT32_MIN, -1, INT32_MAX};
  for (int32_t l = 1; l <= 3; ++l) {
    project::TFrameRec& frame = Doc.Frames[size_t(l)];
    const int32_t v = frameExtremes[l - 1];
    frame.Delay = l == 3 ? 10 : v;
    frame.AddGrad = frame.AddBorder = 1;
    frame.GradStyle = frame.BorderInnerStyle = frame.BorderOuterStyle = uint8_t(v);
    frame.BevelW = frame.BorderW = v;
  }
  for (auto [compact, whole] : {std::pair{false, true}, {true, true}, {false, false}}) {
    moviegen::TBuildOptions options;
    options.Compact = compact;
    {
      SCOPED_TRACE(std::to_string(compact) + std::to_string(whole));
      const std::string path = moviegen::CreateMovie(Doc, Host, whole, false, false, options);
      const Bytes bytes = ReadFile(path);
      std::filesystem::remove(path);
      KeepSwfForParserCheck(std::string("extremes-") + (compact ? "compact-" : "") +
                                (whole ? "whole.swf" : "single.swf"),
                            bytes);
      EXPECT_EQ(CheckDisplayList(ReadSwf(bytes)), "");
    }
  }
}

TEST_F(BuildTest, ButtonStatesAreCutFromTheStrip) {
  struct Row {
    int stripWidth, stateWidth;
  } rows[] = {{150, 50}, {100, 33}, {1, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stripWidth);
    SetUp();
    const std::string strip = Strip(Dir + "media/", "strip.bmp", r.stripWidth, 40);
    project::TShapeRec& b = Add(1, project::skButton, 1, 1);
    b.Text = strip;
    b.Alpha = 30;
    const TSwfFile swf = Build(true);
    EXPECT_EQ(Slot(1, 1).W, r.stateWidth);
    EXPECT_EQ(Slot(1, 1).H, 40);
    EXPECT_EQ(Slot(1, 1).Alpha, 0);
    EXPECT_EQ(TagsOf(swf, kDefineBitsLossless2).size(), 3u);
    for (int k = 1; k <= 3; ++k) {
      SCOPED_TRACE(k);
      const media::TBitmap32 state =
          media::LoadPicture(Host.Cache + std::to_string(k) + "_strip.bmp");
      ASSERT_EQ(state.Width, r.stateWidth);
      ASSERT_EQ(state.Height, 40);
      for (int x : {0, r.stateWidth - 1}) {
        const int from = x + (k - 1) * r.stateWidth;
        const uint32_t expected = from < r.stripWidth ? media::ARGB(255, uint8_t(from), 39, 7) : 0;
        EXPECT_EQ(state.At(x, 39), expected) << "x " << x;
      }
    }
  }
}

// A button without a link gets no link action (GetURL("") opens an empty
// window); every other byte of the movie is the same as with a link.
TEST_F(BuildTest, ButtonLinksAndPlaysItsSound) {
  const std::string strip = Strip(Dir + "media/", "go.bmp", 60, 20);
  const std::string click = Media("click.wav", PcmWave(1, 11025, 8, Bytes(100, 0x80)));
  const std::string url = "http://example.com/go";
  std::vector<TSwfFile> built;
  for (const std::string& link : {url, std::string(), std::string("  ")}) {
    SCOPED_TRACE(link);
    Doc.Frames[1].Slots.Clear();
    project::TShapeRec& b = Add(4, project::skButton, 1, 1);
    b.Text = strip;
    b.URL = link;
    b.SoundEv = click;
    built.push_back(Build(true));
    const TSwfFile& swf = built.back();
    const TPlaced placed = PlacedAt(swf, 8 + 4);
    ASSERT_EQ(placed.Definition->Code, kDefineButton2);
    const TButtonInfo button = ReadButton2(*placed.Definition);
    ASSERT_EQ(button.Records.size(), 3u);
    std::string target, found;
    EXPECT_EQ(FindGetURL(button.Actions, found, target), link == url);
    if (link == url) {
      EXPECT_EQ(found, url);
      EXPECT_EQ(target, "_blank");
    }
    // The roll-over sound: the second transition of the button's sounds.
    const auto sounds = TagsOf(swf, kDefineButtonSound);
    ASSERT_EQ(sounds.size(), 1u);
    const uint16_t soundID = DefinedID(*TagsOf(swf, kDefineSound)[0]);
    EXPECT_TRUE(
        SameBytes(Bytes{uint8_t(DefinedID(*placed.Definition)), 0, 0, 0, uint8_t(soundID), 0},
                  Bytes(sounds[0]->Body.begin(), sounds[0]->Body.begin() + 6)));
  }
  // ActionGetURL: code 0x83, length, then the two strings with their ends.
  const std::string strings = url + '\0' + "_blank" + '\0';
  Bytes getURL{0x83, uint8_t(strings.size()), 0};
  getURL.insert(getURL.end(), strings.begin(), strings.end());
  const std::vector<TTag>& linked = built[0].Tags;
  for (size_t k = 1; k < built.size(); ++k) {
    const std::vector<TTag>& unlinked = built[k].Tags;
    ASSERT_EQ(linked.size(), unlinked.size());
    for (size_t i = 0; i < linked.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(linked[i].Code, unlinked[i].Code);
      Bytes expected = unlinked[i].Body;
      if (linked[i].Code == kDefineButton2)  // the link action goes before ActionEnd
        expected.insert(expected.end() - 1, getURL.begin(), getURL.end());
      EXPECT_TRUE(SameBytes(expected, linked[i].Body));
    }
  }
  // The editor shows the first state as a plain picture.
  const TSwfFile single = Build(false, "single.swf");
  EXPECT_TRUE(TagsOf(single, kDefineButton2).empty());
  const TShapeInfo shape = ReadShape(*PlacedAt(single, 8 + 4).Definition);
  ASSERT_EQ(shape.FillTypes.size(), 1u);
  EXPECT_EQ(shape.FillTypes[0], 0x40);  // repeating: the picture at its own size
  EXPECT_EQ(shape.Bounds.Xmax - shape.Bounds.Xmin, 20 * 20);
}

}  // namespace
