// Compact builds: each frame removes only what the frame before placed. A
// player must show every frame exactly as it shows the default build's, and
// the file must be smaller.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <set>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "moviegen/build_fixture.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"
#include "support/large_project.h"

namespace {

using namespace vtest;

std::string SamplesDir() {
  return std::string(VELLUMET_SAMPLES_DIR) + "/";
}

// The movie as a player paints it, one picture per frame that changes the
// display list (frames between show what the last change left).
class TPainted {
 public:
  explicit TPainted(const Bytes& swf)
      : movie_(std::make_shared<const player::TMovie>(player::ReadMovie(swf))), timeline_(movie_) {
    renderer_.SetMovie(movie_);
  }
  const player::TMovie& Movie() const { return *movie_; }

  // Frames are asked for in ascending order, so the timeline only moves on.
  QImage Frame(uint32_t frame) {
    timeline_.GotoFrame(frame);
    const int w = movie_->StageWidthPixels(), h = movie_->StageHeightPixels();
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const player::TRGBA bg = movie_->Background;
    image.fill(QColor(bg.R, bg.G, bg.B, bg.A));
    QPainter painter(&image);
    renderer_.Paint(painter, timeline_.DisplayList(), player::ShowAllTransform(*movie_, w, h));
    return image;
  }

 private:
  std::shared_ptr<const player::TMovie> movie_;
  player::TTimeline timeline_;
  player::TRenderer renderer_;
};

std::set<uint32_t> ChangingFrames(const player::TMovie& movie) {
  std::set<uint32_t> frames{0};
  for (const player::TFrameContent& c : movie.Frames) frames.insert(c.Frame);
  return frames;
}

// Equal pixels, or with a tolerance: at most `few` pixels whose channels
// differ by at most `step`.
struct TTolerance {
  int step = 0, few = 0;
};

testing::AssertionResult SamePixels(const QImage& a, const QImage& b, TTolerance tolerance) {
  if (a.size() != b.size()) return testing::AssertionFailure() << "the sizes differ";
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (p == q) continue;
      const int step = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                 std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
      if (step > tolerance.step || ++differing > tolerance.few)
        return testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << std::hex << q << ", not " << p;
    }
  return testing::AssertionSuccess();
}

// Fails at the first frame whose pixels differ.
void ExpectSamePictures(const Bytes& plainSwf, const Bytes& compactSwf, TTolerance tolerance = {}) {
  TPainted plain(plainSwf), compact(compactSwf);
  ASSERT_EQ(plain.Movie().FrameCount, compact.Movie().FrameCount);
  std::set<uint32_t> frames = ChangingFrames(plain.Movie());
  frames.merge(ChangingFrames(compact.Movie()));
  for (uint32_t frame : frames) {
    ASSERT_TRUE(SamePixels(plain.Frame(frame), compact.Frame(frame), tolerance))
        << "frame " << frame;
  }
}

class CompactBuild : public BuildTest {
 protected:
  Bytes BuildBytes(bool compact, const std::string& name) {
    moviegen::TBuildOptions options;
    options.Compact = compact;
    const std::string path = moviegen::CreateMovie(Doc, Host, true, false, false, options);
    const Bytes bytes = ReadFile(path);
    std::filesystem::remove(path);
    KeepSwfForParserCheck(name, bytes);
    EXPECT_EQ(CheckDisplayList(ReadSwf(bytes)), "") << name;
    return bytes;
  }

  // Both builds of Doc: the same pictures, and the compact file smaller.
  void ExpectSameAndSmaller(const std::string& name) {
    const Bytes plain = BuildBytes(false, name + ".swf");
    const Bytes compact = BuildBytes(true, name + "-compact.swf");
    ExpectSamePictures(plain, compact);
    EXPECT_LT(compact.size(), plain.size());
  }
};

TEST_F(CompactBuild, EverySampleLooksTheSameFrameByFrame) {
  for (const std::string name : {"banner", "shapes", "backgrounds", "media"}) {
    SCOPED_TRACE(name);
    SetUp();
    ASSERT_TRUE(Doc.OpenMV(SamplesDir() + name + ".sw0"));
    ExpectSameAndSmaller(name);
  }
}

TEST_F(CompactBuild, LargeMoviesLookTheSameFrameByFrame) {
  MakeLargeProject(Doc, SamplesDir());
  ExpectSameAndSmaller("large");
  MakeBannerProject(Doc, SamplesDir());
  ExpectSameAndSmaller("banner-200x50");
}

// Objects of every kind move in frames 1 to 3 and rest in 4 to 6. An
// unturned object is defined once and moved by its placements; a turned one
// gets a definition wherever it stands; both look as in the default build.
TEST_F(CompactBuild, UnturnedObjectsAreDefinedOnceWhereverTheyMove) {
  media::TBitmap32 strip(30, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 30; ++x)
      strip.At(x, y) = media::ARGB(255, uint8_t(8 * x), uint8_t(20 * y), 90);
  const std::string stripPath = Dir + "media/strip.bmp";
  media::SaveBMP(stripPath, strip, 24);
  const std::string logo = SamplesDir() + "media/logo.bmp";
  struct Row {
    project::TShapeKind kind;
    project::TFillKind fill;
    std::string text;
    int32_t angle;
  } rows[] = {{project::skRectangle, project::fkSolid, "", 0},
              {project::skRoundRect, project::fkLinear, "", 0},
              {project::skCircle, project::fkRadial, "", 0},
              {project::skEllipse, project::fkBitmap, logo, 0},
              {project::skDiamond, project::fkNone, "", 0},
              {project::skStar, project::fkSolid, "", 0},
              {project::skText, project::fkSolid, "Sale", 0},
              {project::skPicture, project::fkSolid, logo, 0},
              {project::skButton, project::fkSolid, stripPath, 0},
              {project::skRectangle, project::fkSolid, "", 30}};
  const int count = int(std::size(rows));
  Doc.SetFrameCount(6);
  for (int e = 1; e <= count; ++e) {
    const Row& r = rows[e - 1];
    Add(e, r.kind, 1, 6);
    for (int32_t l = 1; l <= 6; ++l) {
      project::TShapeRec& slot = Slot(l, e);
      slot.X = 10 + 7 * std::min(l, 3) + 3 * e;
      slot.Y = 5 * e;
      slot.Fill = r.fill;
      slot.Text = r.text;
      slot.Angle = r.angle;
      slot.Border = e % 2;
      slot.Alpha = uint8_t(e == 6 ? 40 : 0);
    }
  }
  const Bytes plain = BuildBytes(false, "moving.swf");
  const Bytes compact = BuildBytes(true, "moving-compact.swf");
  ExpectSamePictures(plain, compact);

  const TSwfFile swf = ReadSwf(compact);
  const auto frames = SplitFrames(swf);
  ASSERT_EQ(frames.size(), 6u);
  const moviegen::TDepthLayout depths(6, moviegen::DepthStride(Doc));
  for (int e = 1; e <= count; ++e) {
    SCOPED_TRACE(e);
    std::set<uint16_t> shown;
    for (int32_t l = 1; l <= 6; ++l)
      for (const TPlacement& p : Placements(frames[size_t(l - 1)]))
        if (p.Depth == depths.Object(l, e)) shown.insert(p.CharacterID);
    EXPECT_EQ(shown.size(), rows[e - 1].angle == 0 ? 1u : 3u);
  }
}

// Random projects: objects of every kind, fill and size come and go, move
// or rest, turn and fade, some far off the stage (a text there once showed
// up on the stage); the compact build shows every frame as the default one
// does. Curves are flattened in floating point, and an unturned object's
// geometry lies elsewhere on the number line in the compact build: now and
// then a flattening step falls the other way, and an edge pixel or two of a
// curve differ by 1/255 (seen in 1 of 300 such projects).
TEST_F(CompactBuild, RandomProjectsLookTheSame) {
  std::mt19937 random(20261210);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto far = [&](int low, int high) {
    return pick(0, 9) == 0 ? pick(-200000, 200000) : pick(low, high);
  };
  const std::string logo = SamplesDir() + "media/logo.bmp";
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    SetUp();
    const std::string strip = Dir + "media/strip.bmp";
    media::SaveBMP(strip, media::TBitmap32(30, 10, media::ARGB(255, 200, 40, 90)), 24);
    Doc.SetFrameCount(8);
    for (int e = 1; e <= 12; ++e) {
      const auto kind = project::TShapeKind(pick(project::skRectangle, project::skButton));
      const int first = pick(1, 8), last = pick(first, 8);
      Add(e, kind, first, last);
      for (int l = first; l <= last; ++l) {
        project::TShapeRec& s = Slot(l, e);
        if (l > first && pick(0, 2) == 0) {
          s = Slot(l - 1, e);  // rests
          continue;
        }
        s.X = far(-60, 300);
        s.Y = far(-30, 80);
        s.Angle = pick(0, 3) == 0 ? pick(-90, 400) : 0;
        s.W = pick(0, 80);
        s.H = pick(0, 50);
        s.Radius = pick(0, 20);
        s.Fill = project::TFillKind(pick(project::fkSolid, project::fkNone));
        s.Border = pick(0, 3);
        s.Alpha = uint8_t(pick(0, 1) ? 0 : pick(1, 100));
        s.Spacing = pick(-2, 5);
        s.Text = kind == project::skText     ? std::string("Word ") + char('A' + pick(0, 25))
                 : kind == project::skButton ? strip
                                             : logo;
      }
    }
    const std::string name = "random-" + std::to_string(round);
    ExpectSamePictures(BuildBytes(false, name + ".swf"), BuildBytes(true, name + "-compact.swf"),
                       {1, 4});
  }
}

// More frames than 16-bit depths can give ranges of their own: the frames
// reuse the ranges in cycles, and objects come and go between frames. The
// default build of such a movie removes millions of depths, so the compact
// one is held to what makes it equal: after each frame's tags exactly that
// frame's placements stand (the default build removes everything below them).
TEST_F(CompactBuild, DepthCyclesAndObjectsThatComeAndGo) {
  Doc.SetFrameCount(600);
  Add(1, project::skRectangle, 1, 600);
  Add(251, project::skCircle, 100, 300);
  Add(3, project::skStar, 250, 600);
  for (int32_t l = 1; l <= 600; ++l) {
    Slot(l, 1).X = l % 100;
    Doc.Frames[size_t(l)].Delay = 10;
    if (l % 7 == 0) Doc.Frames[size_t(l)].BkgrColor = project::RGB(200, 10, 10);
    Doc.Frames[size_t(l)].AddBorder = l % 50 == 0;
  }
  ASSERT_GT(601 * moviegen::DepthStride(Doc), 65535);
  auto movie =
      std::make_shared<const player::TMovie>(player::ReadMovie(BuildBytes(true, "cycles.swf")));
  player::TTimeline timeline(movie);
  ASSERT_EQ(movie->Frames.size(), 600u);
  for (const player::TFrameContent& content : movie->Frames) {
    timeline.GotoFrame(content.Frame);
    std::set<uint16_t> placed, standing;
    for (const player::TDisplayOp& op : content.Ops)
      if (op.Kind == player::TDisplayOp::Place) placed.insert(op.Depth);
    for (const auto& [depth, object] : timeline.DisplayList().Objects()) standing.insert(depth);
    ASSERT_EQ(standing, placed) << "frame " << content.Frame;
  }
}

// Frame 2 starts by removing exactly what frame 1 placed, in ascending order.
TEST_F(CompactBuild, RemovesOnlyWhatTheFrameBeforePlaced) {
  Doc.SetFrameCount(2);
  Add(3, project::skRectangle, 1, 2);
  Add(1, project::skCircle, 1, 1);
  Doc.Frames[1].BkgrColor = project::RGB(1, 2, 3);
  Doc.Frames[1].AddBorder = 1;
  moviegen::TBuildOptions options;
  options.Compact = true;
  const std::string path = moviegen::CreateMovie(Doc, Host, true, false, false, options);
  const TSwfFile swf = ReadSwf(ReadFile(path));
  std::filesystem::remove(path);
  const auto frames = SplitFrames(swf);
  ASSERT_EQ(frames.size(), 2u);
  std::vector<uint16_t> removed;
  for (const TTag* t : frames[1])
    if (t->Code == kRemoveObject2) removed.push_back(uint16_t(t->Body[0] | t->Body[1] << 8));
  // N = 7: background 7, circle 8, rectangle 10, border 11.
  EXPECT_EQ(removed, (std::vector<uint16_t>{7, 8, 10, 11}));
}

}  // namespace
