// The HTML5 page around the movie's data: what each option changes in the
// page (click tag, sound, pictures as files, loops, title), the stage as a
// link named by the movie's texts, and refusals of what is no movie.
#include "exporters/html5_page.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "exporters/page_data.h"
#include "moviegen/build_fixture.h"
#include "platform/error.h"
#include "player/swf_reader.h"

namespace {

using namespace vtest;
namespace fs = std::filesystem;
using exporters::THtml5Options;

const std::string kBannerLink = "https://example.com/vellumet";

class Html5Page : public BuildTest {
 protected:
  std::vector<uint8_t> Sample(const std::string& name) {
    SetUp();
    EXPECT_TRUE(Doc.OpenMV(std::string(VELLUMET_SAMPLES_DIR) + "/" + name + ".sw0")) << name;
    const std::string path = moviegen::CreateMovie(Doc, Host, true, false, false);
    const Bytes bytes = ReadFile(path);
    fs::remove(path);
    return bytes;
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The head of the page: ad servers look for the click tag there.
std::string Head(const std::string& html) {
  return html.substr(0, html.find("</head>"));
}

TEST_F(Html5Page, OptionsChangeWhatThePageHolds) {
  const std::vector<uint8_t> banner = Sample("banner");
  struct TCase {
    const char* Name;
    THtml5Options Options;
    std::vector<std::string> Present, Absent, HeadPresent;
  };
  THtml5Options clickTag, silent, files, loops, titled;
  clickTag.Click = THtml5Options::ClickTag;
  silent.Sound = false;
  files.InlinePictures = false;
  loops.Loops = 3;
  titled.Title = "<Ads & more>";
  const TCase cases[] = {
      {"defaults",
       {},
       {"<a id=\"stage\" href=\"" + kBannerLink + "\"", "\"click\":\"link\"", "data:audio/mpeg",
        "data:image/", "<title>Banner</title>"},
       {"var clickTag"},
       {}},
      {"click tag",
       clickTag,
       {"\"click\":\"clickTag\""},
       {},
       {"var clickTag = \"" + kBannerLink + "\";"}},
      {"no sound", silent, {"\"sound\":false"}, {"data:audio"}, {}},
      {"pictures as files", files, {"\"image\":\"picture"}, {"data:image/"}, {}},
      {"three loops", loops, {"\"loops\":3"}, {}, {}},
      {"title", titled, {"<title>&lt;Ads &amp; more&gt;</title>"}, {"<Ads"}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const exporters::THtml5Page page = exporters::Html5Page(banner, c.Options);
    for (const std::string& part : c.Present) EXPECT_TRUE(Has(page.Html, part)) << part;
    for (const std::string& part : c.Absent) EXPECT_FALSE(Has(page.Html, part)) << part;
    for (const std::string& part : c.HeadPresent) EXPECT_TRUE(Has(Head(page.Html), part)) << part;
    EXPECT_EQ(page.Files.empty(), c.Options.InlinePictures);
  }
}

// With click tags the movie-wide link is clickTag and every other button
// address a further exit, numbered from 2, each declared once in the head.
TEST_F(Html5Page, ButtonLinksAreFurtherClickTags) {
  THtml5Options clickTag;
  clickTag.Click = THtml5Options::ClickTag;
  struct TCase {
    const char* Sample;
    std::vector<std::string> HeadPresent, Absent;
  };
  const TCase cases[] = {
      {"banner", {"var clickTag = \"" + kBannerLink + "\";"}, {"clickTag2", "\"exits\""}},
      {"media",
       {"var clickTag = \"\";", "var clickTag2 = \"https://example.com/go\";"},
       {"clickTag3"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Sample);
    const std::vector<uint8_t> swf = Sample(c.Sample);
    const std::string html = exporters::Html5Page(swf, clickTag).Html;
    for (const std::string& part : c.HeadPresent) EXPECT_TRUE(Has(Head(html), part)) << part;
    for (const std::string& part : c.Absent) EXPECT_FALSE(Has(html, part)) << part;
    // Links open their own address unless the page is an ad's.
    EXPECT_FALSE(Has(exporters::Html5Page(swf).Html, "clickTag2"));
  }
}

TEST_F(Html5Page, PicturesAsFilesAreTheFilesThePageNames) {
  THtml5Options options;
  options.InlinePictures = false;
  const exporters::THtml5Page page = exporters::Html5Page(Sample("media"), options);
  ASSERT_FALSE(page.Files.empty());
  for (const exporters::THtml5File& file : page.Files) {
    SCOPED_TRACE(file.Name);
    EXPECT_TRUE(Has(page.Html, "\"" + file.Name + "\""));
    EXPECT_EQ(file.Name.find('/'), std::string::npos);
    const std::string magic(file.Bytes.begin(), file.Bytes.begin() + 4);
    EXPECT_TRUE(magic == "\x89PNG" || magic.substr(0, 2) == "\xFF\xD8") << magic;
  }
}

// Without a movie-wide link the stage is a picture, still named by the texts.
TEST_F(Html5Page, TheStageIsNamedByTheMovieTexts) {
  const std::string html = exporters::Html5Page(Sample("shapes")).Html;
  const size_t stage = html.find("<div id=\"stage\" role=\"img\" aria-label=\"");
  ASSERT_NE(stage, std::string::npos);
  const std::string label = html.substr(stage, html.find("\">", stage) - stage);
  EXPECT_GT(label.size(), 50u) << label;
  EXPECT_FALSE(Has(html, "<a id=\"stage\""));
}

bool SamePath(const player::TPath& a, const player::TPath& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].Start != b[i].Start || a[i].Closed != b[i].Closed ||
        a[i].Segments.size() != b[i].Segments.size())
      return false;
    for (size_t j = 0; j < a[i].Segments.size(); ++j) {
      const player::TSegment &s = a[i].Segments[j], &t = b[i].Segments[j];
      if (s.Curved != t.Curved || s.To != t.To || (s.Curved && s.Control != t.Control))
        return false;
    }
  }
  return true;
}

// Every outline the samples' movies hold, shapes and glyphs, comes back
// from the page's packing as it was.
TEST_F(Html5Page, EveryPathOfTheSamplesRoundTrips) {
  for (const char* name : {"banner", "shapes", "backgrounds", "media"}) {
    SCOPED_TRACE(name);
    const player::TMovie movie = player::ReadMovie(Sample(name));
    size_t paths = 0;
    auto check = [&paths](const player::TShape& shape) {
      for (const player::TShapeLayer& layer : shape.Layers)
        for (const auto* list : {&layer.FillPaths, &layer.LinePaths})
          for (const player::TStyledPath& p : *list) {
            ++paths;
            EXPECT_TRUE(SamePath(exporters::DecodePath(exporters::EncodePath(p.Path)), p.Path));
          }
    };
    for (const auto& [id, c] : movie.Characters) {
      if (c->Kind == player::TCharacterKind::Shape)
        check(static_cast<const player::TShapeCharacter&>(*c).Shape);
      if (c->Kind == player::TCharacterKind::Font)
        for (const player::TShape& glyph : static_cast<const player::TFontCharacter&>(*c).Glyphs)
          check(glyph);
    }
    EXPECT_GT(paths, 10u);
  }
}

TEST_F(Html5Page, WhatIsNoMovieIsRefused) {
  const std::vector<uint8_t> banner = Sample("banner");
  const std::vector<std::vector<uint8_t>> inputs = {
      {}, {'F', 'W', 'S'}, std::vector<uint8_t>(banner.begin(), banner.begin() + 20)};
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.size());
    EXPECT_THROW(exporters::Html5Page(input), platform::TVellumetError);
  }
}

}  // namespace
