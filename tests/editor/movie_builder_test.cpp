// The editor's movie build through moviegen: the whole movie comes back as
// a file and a frame as uncompressed bytes, both with the build's warnings.
#include "editor/movie_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "project/document.h"
#include "support/bytes.h"

namespace {

TEST(MovieGenBuilder, BuildsFramesAndTheTestPage) {
  const std::string dir = vtest::TestTempDir() + "/";
  project::TProjectDocument doc;
  doc.TempDir = dir;
  doc.ProgramDir = dir;
  doc.CreateEmptyMV();

  editor::TMovieGenBuilder builder;
  const editor::TBuiltFrame frame = builder.BuildCurrentFrame(doc);
  EXPECT_TRUE(frame.Warnings.empty());
  vtest::KeepSwfForParserCheck("frame.swf", frame.Swf);
  ASSERT_GE(frame.Swf.size(), 8u);
  EXPECT_EQ(frame.Swf[0], 'F');
  EXPECT_TRUE(std::filesystem::is_empty(dir)) << "a frame's build leaves no file";

  const editor::TBuiltMovie whole = builder.BuildWholeMovie(doc);
  ASSERT_TRUE(std::filesystem::exists(whole.Path));
  EXPECT_TRUE(whole.Warnings.empty());
  const vtest::Bytes swf = vtest::ReadFile(whole.Path);
  vtest::KeepSwfForParserCheck("whole.swf", swf);
  EXPECT_EQ(swf[0], 'C');

  builder.WriteTestPage(doc, dir + "banner.swf", dir + "banner.html");
  const vtest::Bytes page = vtest::ReadFile(dir + "banner.html");
  EXPECT_NE(std::string(page.begin(), page.end()).find("banner.swf"), std::string::npos);
  EXPECT_THROW(builder.WriteTestPage(doc, dir + "banner.swf", dir + "missing/banner.html"),
               platform::TVellumetError);
}

}  // namespace
