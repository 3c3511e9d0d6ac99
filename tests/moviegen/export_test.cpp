// The export: names, the copy, the HTML test page; and the frame counter texts.
#include "moviegen/export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "moviegen/moviegen_error.h"
#include "support/bytes.h"

namespace {

using vtest::ReadText;
using vtest::WriteText;

using project::RGB;

TEST(Export, NamesOfTheMovieAndItsPage) {
  struct Row {
    const char* chosen;
    const char* swf;
    const char* page;
  } rows[] = {{"/out/banner", "/out/banner.swf", "/out/banner.html"},
              {"/out/banner.SWF", "/out/banner.SWF", "/out/banner.html"},
              {"/out/banner.Swf", "/out/banner.Swf", "/out/banner.html"},
              {"/out/my.banner", "/out/my.banner.swf", "/out/my.banner.html"},
              {"/out.d/swf", "/out.d/swf.swf", "/out.d/swf.html"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.chosen);
    EXPECT_EQ(moviegen::ExportFileName(r.chosen), r.swf);
    EXPECT_EQ(moviegen::TestPageFileName(r.swf), r.page);
  }
}

// The page for a 468 x 60 movie on a teal site, written out by hand.
TEST(Export, TestPageForABannerOnTeal) {
  const std::string plain =
      "<!-- Non-transparent code -->\r\n"
      "<object type=\"application/x-shockwave-flash\" data=\"banner.swf\" width=\"468\" "
      "height=\"60\">\r\n"
      "    <param name=\"movie\" value=\"banner.swf\">\r\n"
      "    <param name=\"quality\" value=\"high\">\r\n"
      "</object>\r\n"
      "<!-- End of Non-transparent code -->";
  const std::string transparent =
      "<!-- Transparent code -->\r\n"
      "<object type=\"application/x-shockwave-flash\" data=\"banner.swf\" width=\"468\" "
      "height=\"60\">\r\n"
      "    <param name=\"movie\" value=\"banner.swf\">\r\n"
      "    <param name=\"quality\" value=\"high\">\r\n"
      "    <param name=\"wmode\" value=\"transparent\">\r\n"
      "</object>\r\n"
      "<!-- End of Transparent code -->";
  const std::string expected =
      "<html>\r\n<head>\r\n<title>Test page for banner.swf</title>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n"
      "</head>\r\n<body bgcolor=\"#008080\" text=\"#000000\">\r\n"
      "<font color=\"#FF7F7F\">Sample 1: None-transparent embedding of banner.swf into "
      "HTML:</font><BR><BR>\r\n\r\n" +
      plain + "\r\n\r\n" + "<BR><BR><textarea name=\"textfield\" rows=\"7\" cols=\"70\">\r\n" +
      plain + "</textarea><BR><BR>\r\n\r\n" + "<BR>\r\n" +
      "<font color=\"#FF7F7F\">Sample 2: Embedding of banner.swf into HTML using "
      "transparency<BR>(Movie Background color will be displayed as transparent):</font>"
      "<BR><BR>\r\n\r\n" +
      transparent + "\r\n\r\n" +
      "<BR><BR><textarea name=\"textfield\" rows=\"8\" cols=\"70\">\r\n" + transparent +
      "</textarea><BR><BR>\r\n\r\n" + "</body>\r\n</html>\r\n";
  project::TMovieSettings movie;  // 468 x 60 on (0, 128, 128)
  EXPECT_EQ(moviegen::TestPage(movie, "banner.swf"), expected);
}

TEST(Export, PagePlaceholdersAreReplacedOnceEach) {
  project::TMovieSettings movie;
  movie.MWidth = 120;
  movie.MHeight = 600;
  movie.MSiteColor = RGB(255, 255, 255);
  // A name that looks like a placeholder is written as it is.
  const std::string page = moviegen::TestPage(movie, "%ss%.swf");
  EXPECT_NE(page.find("data=\"%ss%.swf\" width=\"120\" height=\"600\""), std::string::npos);
  EXPECT_NE(page.find("<body bgcolor=\"#FFFFFF\""), std::string::npos);
  EXPECT_NE(page.find("<font color=\"#000000\">"), std::string::npos);
}

TEST(Export, SaveSWFCopiesTheMovieAndWritesThePageBesideIt) {
  const std::string dir = vtest::TestTempDir() + "/";
  WriteText(dir + "123.swf", "CWS movie bytes");
  const moviegen::TExportResult result =
      moviegen::SaveSWF(project::TMovieSettings(), dir + "123.swf", dir + "banner");
  EXPECT_EQ(result.SwfPath, dir + "banner.swf");
  EXPECT_EQ(result.PagePath, dir + "banner.html");
  EXPECT_EQ(result.SwfSize, 15u);
  EXPECT_EQ(result.Message, "File banner.swf has been successfully created!");
  EXPECT_EQ(ReadText(dir + "banner.swf"), "CWS movie bytes");
  EXPECT_EQ(ReadText(dir + "banner.html"), moviegen::TestPage({}, "banner.swf"));

  // Exporting again replaces both.
  WriteText(dir + "456.swf", "another");
  moviegen::SaveSWF(project::TMovieSettings(), dir + "456.swf", dir + "banner.swf");
  EXPECT_EQ(ReadText(dir + "banner.swf"), "another");
}

TEST(Export, FailedCopyLeavesTheOldFilesAndWritesNoPage) {
  const std::string dir = vtest::TestTempDir() + "/";
  WriteText(dir + "banner.swf", "old movie");
  try {
    moviegen::SaveSWF(project::TMovieSettings(), dir + "gone.swf", dir + "banner.swf");
    FAIL() << "no error";
  } catch (const moviegen::TMovieGenError& e) {
    EXPECT_STREQ(e.what(), "Error writing the file banner.swf");
  }
  EXPECT_EQ(ReadText(dir + "banner.swf"), "old movie");
  EXPECT_FALSE(std::filesystem::exists(dir + "banner.html"));
  EXPECT_FALSE(std::filesystem::exists(dir + "banner.swf.part"));

  WriteText(dir + "1.swf", "movie");
  EXPECT_THROW(moviegen::SaveSWF({}, dir + "1.swf", dir + "no/such/folder/banner"),
               moviegen::TMovieGenError);
}

TEST(Export, MovieTimeAndFrameCounter) {
  struct Row {
    std::vector<int32_t> delays;
    const char* time;
  } rows[] = {{std::vector<int32_t>(20, 50), " Time: 1 s"},
              {{950}, " Time: 950 ms"},
              {{1000, 250}, " Time: 1.2 s"},  // 12.5 tenths round to the even 12
              {{1350}, " Time: 1.4 s"},
              {{999}, " Time: 999 ms"},
              {{60000, 1}, " Time: 60 s"},
              {{1960}, " Time: 2 s"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.time);
    project::TProjectDocument doc;
    doc.SetFrameCount(int32_t(r.delays.size()));
    for (size_t i = 0; i < r.delays.size(); ++i) doc.Frames[i + 1].Delay = r.delays[i];
    EXPECT_EQ(moviegen::GetMovieTime(doc), r.time);
  }
  project::TProjectDocument doc;  // 20 frames of 50 ms
  doc.Frames[20].Delay = 300;
  EXPECT_EQ(moviegen::FrameCounterText(doc, 3), "Frame 3 of 20 Time: 1.2 s");
  EXPECT_EQ(moviegen::GetMovieTime(doc, ','), " Time: 1,2 s");
}

TEST(Export, PlayerFrameForAFrame) {
  project::TProjectDocument doc;
  doc.SetFrameCount(4);
  const int32_t delays[] = {250, 99, 1000, 50};
  for (int i = 0; i < 4; ++i) doc.Frames[size_t(i + 1)].Delay = delays[i];
  EXPECT_EQ(moviegen::PlayerFrameFor(doc, 1), 0);
  EXPECT_EQ(moviegen::PlayerFrameFor(doc, 2), 2);
  EXPECT_EQ(moviegen::PlayerFrameFor(doc, 3), 2);
  EXPECT_EQ(moviegen::PlayerFrameFor(doc, 4), 12);
  doc.Frames[1].Delay = 5000000;  // never past the end of the single-frame movie
  EXPECT_EQ(moviegen::PlayerFrameFor(doc, 4), 16959);
}

}  // namespace
