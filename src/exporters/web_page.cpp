#include "exporters/web_page.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>

#include "exporters/ruffle_files.h"
#include "platform/error.h"

namespace exporters {

namespace fs = std::filesystem;

namespace {

// Ruffle's settings for a banner: play at once without a click, keep the
// unmute button off the stage (a banner's sound waits for the first click, as
// browsers want), no Ruffle splash over the movie while it loads, and the
// movie's own link (GetURL to a new window) opens without asking. The name
// of the movie is read from the stage's data attribute, so no file name is
// ever part of the script.
constexpr const char* kPageTemplate = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>%TITLE%</title>
<style>
html, body { margin: 0; background: %SITE%; }
#stage, #stage > * { display: block; width: %WIDTH%px; height: %HEIGHT%px; }
</style>
</head>
<body>
<div id="stage" data-movie="%MOVIE%"></div>
<script>
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
  autoplay: "on",
  unmuteOverlay: "hidden",
  letterbox: "on",
  splashScreen: false,
  warnOnUnsupportedContent: false,
  openUrlMode: "allow",
  allowNetworking: "all"
};
</script>
<script src="ruffle/ruffle.js"></script>
<script>
const stage = document.getElementById("stage");
const player = window.RufflePlayer.newest().createPlayer();
player.id = "movie";
stage.appendChild(player);
player.ruffle().load(stage.dataset.movie);
</script>
</body>
</html>
)";

// A file name as a relative URL: every byte but the unreserved characters
// percent-encoded, so "#", "?", "%" and blanks in a name stay part of it.
std::string UrlEncoded(const std::string& name) {
  std::string out;
  for (const unsigned char c : name) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += char(c);
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%.2X", c);
      out += code;
    }
  }
  return out;
}

std::string CssColor(project::TColor color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%.2X%.2X%.2X", project::Red(color), project::Green(color),
                project::Blue(color));
  return text;
}

void WriteText(const std::string& text, const fs::path& path) {
  const fs::path part = path.string() + ".part";
  std::ofstream out(part, std::ios::binary | std::ios::trunc);
  out.write(text.data(), std::streamsize(text.size()));
  out.close();
  std::error_code error;
  if (out) fs::rename(part, path, error);
  if (!out || error) {
    fs::remove(part, error);
    throw platform::TVellumetError("Error writing the file " + path.filename().string());
  }
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

std::string WebPageFileName(const std::string& swfPath) {
  return fs::path(swfPath).replace_extension(".web.html").string();
}

std::string WebPage(const project::TMovieSettings& s, const std::string& swfName) {
  std::string page = kPageTemplate;
  // In the page's order, filled from its end backwards: a value (the file
  // name) lands behind every placeholder still to fill, so it is never taken
  // for one.
  const std::pair<std::string_view, std::string> values[] = {
      {"%TITLE%", HtmlEscaped(swfName)},
      {"%SITE%", CssColor(s.MSiteColor)},
      {"%WIDTH%", std::to_string(s.MWidth)},
      {"%HEIGHT%", std::to_string(s.MHeight)},
      {"%MOVIE%", HtmlEscaped(UrlEncoded(swfName))}};
  for (auto it = std::rbegin(values); it != std::rend(values); ++it)
    page.replace(page.find(it->first), it->first.size(), it->second);
  return page;
}

TExportReport WriteWebPageWith(const project::TMovieSettings& settings, const std::string& swfPath,
                               const std::string& ruffleFolder) {
  const fs::path page = WebPageFileName(swfPath);
  CopyRuffle(ruffleFolder, (page.parent_path() / "ruffle").string());
  const std::string text = WebPage(settings, fs::path(swfPath).filename().string());
  WriteText(text, page);
  return {page.string(), text.size(), ""};
}

TExportReport WriteWebPage(const project::TProjectDocument& doc, const std::string& swfPath) {
  return WriteWebPageWith(doc.Settings, swfPath, FindRuffle(RuffleSearchFolders()));
}

}  // namespace exporters
