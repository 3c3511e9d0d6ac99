// The sample projects through the player: every frame's single-frame build
// (what the editor's canvas shows and `vellumet render PROJECT` paints)
// shows what the whole movie shows when that frame begins.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "moviegen/build_fixture.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "player/timeline.h"

namespace {

using namespace vtest;

std::string SamplePath(const std::string& name) {
  return (std::filesystem::path(TestDataPath("")) / ".." / ".." / "samples" / name).string();
}

class SampleRender : public BuildTest {
 protected:
  std::shared_ptr<const player::TMovie> BuildMovie(bool whole) {
    const std::string path = moviegen::CreateMovie(Doc, Host, whole, false, false);
    const Bytes bytes = ReadFile(path);
    std::filesystem::remove(path);
    auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(bytes));
    EXPECT_TRUE(movie->Warnings.empty()) << movie->Warnings[0];
    return movie;
  }
};

// Share of pixels that differ by more than a small tolerance.
double Difference(const QImage& a, const QImage& b) {
  int off = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q))}) > 8)
        ++off;
    }
  return double(off) / (a.width() * a.height());
}

TEST_F(SampleRender, EveryFrameMatchesTheWholeMovie) {
  for (const std::string name : {"banner.sw0", "shapes.sw0", "backgrounds.sw0", "media.sw0"}) {
    SCOPED_TRACE(name);
    SetUp();
    ASSERT_TRUE(Doc.OpenMV(SamplePath(name)));
    const auto whole = BuildMovie(true);
    uint32_t start = 0;
    for (int32_t l = 1; l <= Doc.FrameCount; ++l) {
      SCOPED_TRACE(l);
      Doc.CurrentFrame = l;
      const QImage single = player::RenderFrame(BuildMovie(false), 0);
      const QImage playing = player::RenderFrame(whole, start);
      ASSERT_EQ(single.size(), QSize(Doc.Settings.MWidth, Doc.Settings.MHeight));
      EXPECT_LE(Difference(single, playing), 0.01);
      QImage corner(single.size(), single.format());
      corner.fill(single.pixel(0, 0));
      EXPECT_GT(Difference(single, corner), 0.05);  // not an empty stage
      start += uint32_t(moviegen::SwfFramesForDelay(Doc.Frames[size_t(l)].Delay));
    }
    EXPECT_EQ(start, whole->FrameCount);
  }
}

}  // namespace

namespace {

using namespace vtest;

// The links of the samples work in the player: the media sample's button
// and the banner's link over the whole stage.
TEST_F(SampleRender, LinksOpenOnRelease) {
  struct Case {
    const char* sample;
    double x, y;  // stage pixels
    const char* url;
  };
  const Case cases[] = {
      {"media.sw0", 410, 50, "https://example.com/go"},
      {"banner.sw0", 100, 30, "https://example.com/vellumet"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sample);
    SetUp();
    ASSERT_TRUE(Doc.OpenMV(SamplePath(c.sample)));
    player::TTimeline timeline(BuildMovie(true));
    std::vector<std::string> urls;
    timeline.OnGetURL = [&](const std::string& url, const std::string&) { urls.push_back(url); };
    timeline.Start();
    const player::TPointD p{c.x * 20, c.y * 20};
    timeline.PointerMove(p);
    EXPECT_TRUE(timeline.OverButton());
    timeline.PointerDown(p);
    timeline.PointerUp(p);
    EXPECT_EQ(urls, std::vector<std::string>{c.url});
  }
}

}  // namespace
