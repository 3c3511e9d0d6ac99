#include "exporters/web_page.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "exporters/ruffle_files.h"
#include "platform/error.h"

namespace exporters {

namespace fs = std::filesystem;

namespace {

// Ruffle's settings for a banner: play at once without a click, keep the
// unmute button off the stage (a banner's sound waits for the first click, as
// browsers want), no Ruffle splash over the movie while it loads, and the
// movie's own link (GetURL to a new window) opens without asking.
constexpr const char* kRuffleConfig =
    "{\n"
    "  autoplay: \"on\",\n"
    "  unmuteOverlay: \"hidden\",\n"
    "  letterbox: \"on\",\n"
    "  splashScreen: false,\n"
    "  warnOnUnsupportedContent: false,\n"
    "  openUrlMode: \"allow\",\n"
    "  allowNetworking: \"all\"\n"
    "}";

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

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

std::string WebPageFileName(const std::string& swfPath) {
  return fs::path(swfPath).replace_extension(".web.html").string();
}

std::string WebPage(const project::TMovieSettings& s, const std::string& swfName) {
  const std::string size =
      "width: " + std::to_string(s.MWidth) + "px; height: " + std::to_string(s.MHeight) + "px;";
  return "<!DOCTYPE html>\n"
         "<html lang=\"en\">\n"
         "<head>\n"
         "<meta charset=\"utf-8\">\n"
         "<title>" + HtmlEscaped(swfName) + "</title>\n"
         "<style>\n"
         "html, body { margin: 0; background: " + CssColor(s.MSiteColor) + "; }\n"
         "#stage, #stage > * { display: block; " + size + " }\n"
         "</style>\n"
         "</head>\n"
         "<body>\n"
         "<div id=\"stage\" data-movie=\"" + HtmlEscaped(UrlEncoded(swfName)) + "\"></div>\n"
         "<script>\n"
         "window.RufflePlayer = window.RufflePlayer || {};\n"
         "window.RufflePlayer.config = " + kRuffleConfig + ";\n"
         "</script>\n"
         "<script src=\"ruffle/ruffle.js\"></script>\n"
         "<script>\n"
         "const stage = document.getElementById(\"stage\");\n"
         "const player = window.RufflePlayer.newest().createPlayer();\n"
         "player.id = \"movie\";\n"
         "stage.appendChild(player);\n"
         "player.ruffle().load(stage.dataset.movie);\n"
         "</script>\n"
         "</body>\n"
         "</html>\n";
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
