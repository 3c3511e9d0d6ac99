#include "moviegen/export.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "moviegen/movie_build.h"
#include "moviegen/moviegen_error.h"
#include "platform/codepage.h"
#include "platform/folders.h"

namespace moviegen {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPlainCode =
    "<!-- Non-transparent code -->\r\n"
    "<object type=\"application/x-shockwave-flash\" data=\"%FF%\" width=\"%WW%\" "
    "height=\"%HH%\">\r\n"
    "    <param name=\"movie\" value=\"%FF%\">\r\n"
    "    <param name=\"quality\" value=\"high\">\r\n"
    "</object>\r\n"
    "<!-- End of Non-transparent code -->";

constexpr const char* kTransparentCode =
    "<!-- Transparent code -->\r\n"
    "<object type=\"application/x-shockwave-flash\" data=\"%FF%\" width=\"%WW%\" "
    "height=\"%HH%\">\r\n"
    "    <param name=\"movie\" value=\"%FF%\">\r\n"
    "    <param name=\"quality\" value=\"high\">\r\n"
    "    <param name=\"wmode\" value=\"transparent\">\r\n"
    "</object>\r\n"
    "<!-- End of Transparent code -->";

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

struct TPlaceholder {
  std::string_view Pattern;
  std::string Value;
};

// Every placeholder, in any letter case, in one pass over the template: a
// value (a file name) that looks like a placeholder is written as it is.
std::string ReplacePlaceholders(const std::string& text, const std::vector<TPlaceholder>& values) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const TPlaceholder* found = nullptr;
    for (const TPlaceholder& p : values)
      if (SameNoCase(std::string_view(text).substr(at, p.Pattern.size()), p.Pattern)) found = &p;
    if (found) {
      out += found->Value;
      at += found->Pattern.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::string HexColor(int r, int g, int b) {
  char text[8];
  std::snprintf(text, sizeof text, "#%.2X%.2X%.2X", r & 255, g & 255, b & 255);
  return text;
}

void CopyReplacing(const std::string& from, const std::string& to) {
  const std::string part = to + ".part";
  std::error_code error;
  fs::copy_file(from, part, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(part, to, error);
  if (error) {
    fs::remove(part, error);
    throw TMovieGenError("Error writing the file " + std::string(platform::FileNamePart(to)));
  }
}

// An embedding sample of the test page: the code itself, then the same code
// in a box to copy from.
std::string EmbeddingSample(const std::string& code, int rows) {
  return code + "\r\n\r\n<BR><BR><textarea name=\"textfield\" rows=\"" + std::to_string(rows) +
         "\" cols=\"70\">\r\n" + code + "</textarea><BR><BR>\r\n\r\n";
}

}  // namespace

std::string ExportFileName(const std::string& chosen) {
  const bool hasExtension =
      chosen.size() >= 4 && SameNoCase(std::string_view(chosen).substr(chosen.size() - 4), ".swf");
  return hasExtension ? chosen : chosen + ".swf";
}

std::string TestPageFileName(const std::string& swfPath) {
  return fs::path(swfPath).replace_extension(".html").string();
}

std::string TestPage(const project::TMovieSettings& s, const std::string& swfName) {
  std::string page =
      "<html>\r\n<head>\r\n<title>Test page for %TT%</title>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\r\n"
      "</head>\r\n<body bgcolor=\"%SS%\" text=\"#000000\">\r\n"
      "<font color=\"%NN%\">Sample 1: None-transparent embedding of %TT% into HTML:</font>"
      "<BR><BR>\r\n\r\n";
  page += EmbeddingSample(kPlainCode, 7);
  page += "<BR>\r\n";
  page +=
      "<font color=\"%NN%\">Sample 2: Embedding of %TT% into HTML using transparency<BR>"
      "(Movie Background color will be displayed as transparent):</font><BR><BR>\r\n\r\n";
  page += EmbeddingSample(kTransparentCode, 8);
  page += "</body>\r\n</html>\r\n";

  const int r = project::Red(s.MSiteColor), g = project::Green(s.MSiteColor),
            b = project::Blue(s.MSiteColor);
  return ReplacePlaceholders(page, {{"%WW%", std::to_string(s.MWidth)},
                                    {"%HH%", std::to_string(s.MHeight)},
                                    {"%FF%", swfName},
                                    {"%SS%", HexColor(r, g, b)},
                                    {"%NN%", HexColor(255 - r, 255 - g, 255 - b)},
                                    {"%TT%", swfName}});
}

TExportResult SaveSWF(const project::TMovieSettings& settings, const std::string& movieFileName,
                      const std::string& chosen) {
  TExportResult result;
  result.SwfPath = ExportFileName(chosen);
  result.PagePath = TestPageFileName(result.SwfPath);
  CopyReplacing(movieFileName, result.SwfPath);
  std::error_code error;
  result.SwfSize = fs::file_size(result.SwfPath, error);
  const std::string name = fs::path(result.SwfPath).filename().string();
  result.Message = "File " + name + " has been successfully created!";

  WriteTestPage(settings, result.SwfPath, result.PagePath);
  return result;
}

void WriteTestPage(const project::TMovieSettings& settings, const std::string& swfPath,
                   const std::string& pagePath) {
  const std::string name = fs::path(swfPath).filename().string();
  const std::string page = TestPage(settings, platform::Utf8ToCp1252(name));
  std::ofstream out(pagePath, std::ios::binary | std::ios::trunc);
  out.write(page.data(), std::streamsize(page.size()));
  out.close();
  if (!out) throw TMovieGenError("Error writing the file " + fs::path(pagePath).filename().string());
}

std::string GetMovieTime(const project::TProjectDocument& doc, char decimalSeparator) {
  int64_t total = 0;
  for (int32_t i = 1; i <= doc.FrameCount; ++i) total += doc.Frames[size_t(i)].Delay;
  if (total < 1000) return " Time: " + std::to_string(total) + " ms";
  const int64_t tenths = int64_t(std::nearbyint(double(total) / 100.0));
  std::string text = " Time: " + std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += decimalSeparator + std::to_string(tenths % 10);
  return text + " s";
}

std::string FrameCounterText(const project::TProjectDocument& doc, int32_t frame,
                             char decimalSeparator) {
  return "Frame " + std::to_string(frame) + " of " + std::to_string(doc.FrameCount) +
         GetMovieTime(doc, decimalSeparator);
}

int32_t PlayerFrameFor(const project::TProjectDocument& doc, int32_t frame) {
  int64_t target = 0;
  for (int32_t i = 1; i < std::min(frame, doc.FrameCount + 1); ++i)
    target += doc.Frames[size_t(i)].Delay / 100;
  return int32_t(std::clamp<int64_t>(target, 0, kSingleFrameLength - 1));
}

}  // namespace moviegen
