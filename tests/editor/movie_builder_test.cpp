// The editor's movie build through moviegen: a frame and the whole movie
// come back as files the editor loads, with the build's warnings.
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
  for (bool whole : {false, true}) {
    SCOPED_TRACE(whole);
    const editor::TBuiltMovie built = whole ? builder.BuildWholeMovie(doc) : builder.BuildCurrentFrame(doc);
    ASSERT_TRUE(std::filesystem::exists(built.Path));
    EXPECT_TRUE(built.Warnings.empty());
    const vtest::Bytes swf = vtest::ReadFile(built.Path);
    vtest::KeepSwfForParserCheck(whole ? "whole.swf" : "frame.swf", swf);
    EXPECT_EQ(swf[0], 'C');
  }

  builder.WriteTestPage(doc, dir + "banner.swf", dir + "banner.html");
  const vtest::Bytes page = vtest::ReadFile(dir + "banner.html");
  EXPECT_NE(std::string(page.begin(), page.end()).find("banner.swf"), std::string::npos);
  EXPECT_THROW(builder.WriteTestPage(doc, dir + "banner.swf", dir + "missing/banner.html"),
               platform::TVellumetError);
}

}  // namespace
