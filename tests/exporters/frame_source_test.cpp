// The frames of an export are the movie's pictures where each project frame
// begins, whatever order they are asked for in and whether they are kept.
#include "exporters/frame_source.h"

#include <gtest/gtest.h>

#include "moviegen/build_fixture.h"
#include "player/renderer.h"
#include "player/swf_reader.h"

namespace {

using namespace vtest;

class FrameSource : public BuildTest {};

TEST_F(FrameSource, EveryProjectFrameInAnyOrderKeptOrNot) {
  ASSERT_TRUE(Doc.OpenMV(std::string(VELLUMET_SAMPLES_DIR) + "/banner.sw0"));
  const std::string swf = moviegen::CreateMovie(Doc, Host, true, false, false);
  KeepSwfForParserCheck("frame-source-banner.swf", ReadFile(swf));
  auto movie = std::make_shared<const player::TMovie>(player::ReadMovieFile(swf));
  const std::vector<uint32_t> starts = exporters::SwfFrameStarts(Doc);
  ASSERT_EQ(int(starts.size()), Doc.FrameCount);
  EXPECT_EQ(starts[1], uint32_t(moviegen::SwfFramesForDelay(Doc.Frames[1].Delay)));

  for (size_t kept : {size_t(0), size_t(64) << 20}) {
    SCOPED_TRACE(kept);
    exporters::TFrameSource frames(swf, Doc, 1.5, kept);
    EXPECT_EQ(frames.Count(), Doc.FrameCount);
    EXPECT_EQ(frames.Width(), 702);  // 468 x 1.5
    for (int i : {5, 0, Doc.FrameCount - 1, 5, 6}) {
      SCOPED_TRACE(i);
      const QImage expected = player::RenderFrame(movie, starts[size_t(i)], 1.5)
                                  .convertToFormat(QImage::Format_RGBA8888);
      EXPECT_EQ(frames.Frame(i), expected);
    }
  }
}

}  // namespace
