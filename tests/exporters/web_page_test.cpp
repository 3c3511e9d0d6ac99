// The web page that plays the movie with Ruffle: its name, its text, and the
// player's files copied beside it. tests/browser plays the pages in Chromium.
#include "exporters/web_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>

#include "exporters/ruffle_files.h"
#include "platform/error.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;
using exporters::WriteWebPageWith;
using vtest::ReadText;
using vtest::WriteText;

std::set<std::string> FileNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A package folder laid out as the npm package is.
std::string FakeRuffle(const std::string& dir) {
  const std::string ruffle = dir + "/package/";
  WriteText(ruffle + "ruffle.js", "// the loader");
  WriteText(ruffle + "ruffle.js.map", "{}");
  WriteText(ruffle + "core.ruffle.0a1b.js", "// the core");
  WriteText(ruffle + "core.ruffle.0a1b.js.map", "{}");
  WriteText(ruffle + "9f8e.wasm", "a WebAssembly module");
  WriteText(ruffle + "LICENSE_MIT", "MIT");
  WriteText(ruffle + "README.md", "readme");
  WriteText(ruffle + "package.json", "{}");
  return ruffle;
}

const std::set<std::string> kPageRuffleFiles{"ruffle.js", "core.ruffle.0a1b.js", "9f8e.wasm",
                                             "LICENSE_MIT"};

TEST(WebPage, NameBesideTheMovie) {
  struct Row {
    const char* swf;
    const char* page;
  } rows[] = {{"/out/banner.swf", "/out/banner.web.html"},
              {"/out/banner.SWF", "/out/banner.web.html"},
              {"/out.d/my.banner.swf", "/out.d/my.banner.web.html"},
              {"banner.swf", "banner.web.html"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.swf);
    EXPECT_EQ(exporters::WebPageFileName(r.swf), r.page);
  }
}

TEST(WebPage, StageSizeSiteColourAndPlayer) {
  project::TMovieSettings settings;
  settings.MWidth = 728;
  settings.MHeight = 90;
  settings.MSiteColor = project::RGB(0, 128, 10);
  const std::string page = exporters::WebPage(settings, "banner.swf");
  EXPECT_TRUE(
      page.starts_with("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"));
  EXPECT_NE(page.find("background: #00800A;"), std::string::npos);
  EXPECT_NE(page.find("width: 728px; height: 90px;"), std::string::npos);
  EXPECT_NE(page.find("<script src=\"ruffle/ruffle.js\"></script>"), std::string::npos);
  EXPECT_NE(page.find("autoplay: \"on\""), std::string::npos);
  EXPECT_NE(page.find("unmuteOverlay: \"hidden\""), std::string::npos);
  EXPECT_TRUE(page.ends_with("</html>\n"));
}

// The name shows as text in the title and goes to Ruffle as a relative URL:
// HTML's and URLs' special characters must not cut either short.
TEST(WebPage, MovieNameInTitleAndUrl) {
  struct Row {
    const char* name;
    const char* title;
    const char* url;
  } rows[] = {
      {"banner.swf", "banner.swf", "banner.swf"},
      {"my banner#1?.swf", "my banner#1?.swf", "my%20banner%231%3F.swf"},
      {"a&b \"<x>\" 100%.swf", "a&amp;b &quot;&lt;x&gt;&quot; 100%.swf",
       "a%26b%20%22%3Cx%3E%22%20100%25.swf"},
      {"caf\xC3\xA9.swf", "caf\xC3\xA9.swf", "caf%C3%A9.swf"},
      {"%TITLE% %SITE% %MOVIE%.swf", "%TITLE% %SITE% %MOVIE%.swf",
       "%25TITLE%25%20%25SITE%25%20%25MOVIE%25.swf"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string page = exporters::WebPage(project::TMovieSettings{}, r.name);
    EXPECT_NE(page.find("<title>" + std::string(r.title) + "</title>"), std::string::npos);
    EXPECT_NE(page.find("data-movie=\"" + std::string(r.url) + "\""), std::string::npos);
  }
}

TEST(WebPage, WritesThePageAndThePlayerWithoutSourceMaps) {
  const std::string dir = vtest::TestTempDir();
  const std::string ruffle = FakeRuffle(dir);
  const auto report = WriteWebPageWith(project::TMovieSettings{}, dir + "/site/banner.swf", ruffle);

  EXPECT_EQ(report.Path, dir + "/site/banner.web.html");
  EXPECT_EQ(report.Bytes, fs::file_size(report.Path));
  EXPECT_EQ(ReadText(report.Path), exporters::WebPage(project::TMovieSettings{}, "banner.swf"));
  EXPECT_EQ(FileNames(dir + "/site"), (std::set<std::string>{"banner.web.html", "ruffle"}));
  EXPECT_EQ(FileNames(dir + "/site/ruffle"), kPageRuffleFiles);
  for (const std::string& name : kPageRuffleFiles)
    EXPECT_EQ(ReadText(dir + "/site/ruffle/" + name), ReadText(ruffle + name)) << name;
}

// A second page in the folder keeps the player's files that are already
// right and replaces those of another version.
TEST(WebPage, SecondPageKeepsTheSameFilesAndReplacesOthers) {
  const std::string dir = vtest::TestTempDir();
  const std::string ruffle = FakeRuffle(dir);
  WriteWebPageWith(project::TMovieSettings{}, dir + "/site/a.swf", ruffle);
  const std::string wasm = dir + "/site/ruffle/9f8e.wasm";
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(wasm, old);
  WriteText(dir + "/site/ruffle/ruffle.js", "// an older loader");

  WriteWebPageWith(project::TMovieSettings{}, dir + "/site/b.swf", ruffle);
  EXPECT_EQ(fs::last_write_time(wasm), old);
  EXPECT_EQ(ReadText(dir + "/site/ruffle/ruffle.js"), "// the loader");
  EXPECT_EQ(FileNames(dir + "/site/ruffle"), kPageRuffleFiles);
}

TEST(WebPage, FailuresNameTheFileAndLeaveNoPage) {
  const std::string dir = vtest::TestTempDir();
  const std::string ruffle = FakeRuffle(dir);
  WriteText(dir + "/ruffle-is-a-file/ruffle", "a file where the folder goes");
  fs::create_directories(dir + "/page-is-a-folder/banner.web.html");
  struct Row {
    std::string folder, message;
  } rows[] = {
      {dir + "/ruffle-is-a-file", "Cannot make the folder " + dir + "/ruffle-is-a-file/ruffle"},
      {dir + "/page-is-a-folder", "Error writing the file banner.web.html"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.folder);
    try {
      WriteWebPageWith(project::TMovieSettings{}, r.folder + "/banner.swf", ruffle);
      ADD_FAILURE() << "no error";
    } catch (const platform::TVellumetError& e) {
      EXPECT_EQ(std::string(e.what()), r.message);
    }
    EXPECT_FALSE(fs::is_regular_file(r.folder + "/banner.web.html"));
    EXPECT_FALSE(fs::exists(r.folder + "/banner.web.html.part"));
  }
}

TEST(WebPage, MissingPlayerSaysHowToGetIt) {
  const std::string dir = vtest::TestTempDir();
  fs::create_directories(dir + "/empty");
  try {
    exporters::FindRuffle({dir + "/empty/", dir + "/none/"});
    ADD_FAILURE() << "no error";
  } catch (const platform::TVellumetError& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find(dir + "/empty/ or " + dir + "/none/"), std::string::npos) << text;
    EXPECT_NE(text.find("\"make deps\""), std::string::npos) << text;
  }
  const std::string ruffle = FakeRuffle(dir);
  EXPECT_EQ(exporters::FindRuffle({dir + "/empty/", ruffle}), ruffle);
}

// After make deps, an export finds the player in the development cache.
TEST(WebPage, ExportFindsTheInstalledPlayer) {
  const std::string dir = vtest::TestTempDir();
  project::TProjectDocument doc;
  const auto report = exporters::WriteWebPage(doc, dir + "/banner.swf");
  EXPECT_EQ(report.Path, dir + "/banner.web.html");
  const std::set<std::string> files = FileNames(dir + "/ruffle");
  EXPECT_TRUE(files.contains("ruffle.js"));
  EXPECT_TRUE(
      std::ranges::any_of(files, [](const std::string& f) { return f.ends_with(".wasm"); }));
  EXPECT_TRUE(
      std::ranges::none_of(files, [](const std::string& f) { return f.ends_with(".map"); }));
}

}  // namespace
