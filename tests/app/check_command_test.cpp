// vellumet check: a package folder or ZIP against a profile, one line per
// rule, exit status 1 when a rule fails and 2 for arguments that make no
// command.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "app/run_program.h"
#include "exporters/zip_archive.h"

namespace {

namespace fs = std::filesystem;
using vtest::RunVellumet;
using vtest::WriteText;

const char* const kPage = R"html(<!DOCTYPE html>
<html><head>
<meta name="ad.size" content="width=320,height=50">
<script>var clickTag = "https://example.com/";</script>
</head>
<body onclick="window.open(clickTag, '_blank')"><img src="backup.gif" alt=""></body></html>
)html";

// A small passing package in the folder `dir`.
void WritePackage(const std::string& dir) {
  fs::create_directories(dir);
  WriteText(dir + "/index.html", kPage);
  QImage backup(320, 50, QImage::Format_RGB32);
  backup.fill(Qt::white);
  ASSERT_TRUE(backup.save(QString::fromStdString(dir + "/backup.gif"), "GIF") ||
              backup.save(QString::fromStdString(dir + "/backup.gif"), "PNG"));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

TEST(CheckCommand, FolderAndZipAgainstTheDefaultAndTheUsersProfile) {
  std::string dir = vtest::TestTempDir();
  WritePackage(dir + "/ad");
  vtest::TRun run = RunVellumet({"check", "ad"}, dir);
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 18u) << run.Out;
  EXPECT_EQ(lines[2], "passed  package size: " + lines[2].substr(22, lines[2].find(',') - 22) +
                          ", limit 50 KB")
      << "the IAB's limit for 320x50";
  EXPECT_EQ(lines.back().rfind("Accepted for iab: 16 rules passed, 0 failed, 1 not applicable", 0),
            0u)
      << lines.back();

  // The same files zipped, with a script from elsewhere.
  WriteText(dir + "/ad/index.html",
            std::string(kPage).replace(std::string(kPage).find("</head>"), 0,
                                       "<script src=\"https://cdn.example.com/x.js\"></script>"));
  std::vector<exporters::TZipEntry> entries;
  for (const char* name : {"index.html", "backup.gif"})
    entries.push_back({name, vtest::ReadFile(dir + "/ad/" + name)});
  std::vector<uint8_t> zip = exporters::WriteZip(entries);
  std::ofstream(dir + "/ad.zip", std::ios::binary)
      .write(reinterpret_cast<const char*>(zip.data()), std::streamsize(zip.size()));
  run = RunVellumet({"check", "ad.zip", "--profile", "google-ads"}, dir);
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("FAILED  external addresses: external address not allowed: index.html: "
                         "https://cdn.example.com/x.js (src)\n"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("Rejected for google-ads: "), std::string::npos);

  // The user's own profile, from ~/.config (HOME is the run folder).
  fs::create_directories(dir + "/.run/.config/vellumet/ad-profiles");
  WriteText(dir + "/.run/.config/vellumet/ad-profiles/one-file.json", "{\"maxFiles\": 1}");
  run = RunVellumet({"check", "--profile", "one-file", "ad"}, dir);
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Out.find("FAILED  file count: too many files: 2 files, limit 1\n"),
            std::string::npos)
      << run.Out;
}

TEST(CheckCommand, MistakesGetAClearLine) {
  std::string dir = vtest::TestTempDir();
  struct {
    std::vector<std::string> Args;
    int Status;
    const char* Err;
  } const cases[] = {
      {{"check"}, 2, "usage: vellumet check PACKAGE.zip|FOLDER [--profile NAME]\n"},
      {{"check", "a.zip", "b.zip"}, 2, "usage: vellumet check"},
      {{"check", "a.zip", "--profile"}, 2, "usage: vellumet check"},
      {{"check", "missing.zip"}, 1, "vellumet check: "},
      {{"check", ".", "--profile", "nobody"},
       1,
       "vellumet check: No ad profile \"nobody\" (known: ad-manager, campaign-manager, google-ads, "
       "iab)"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.Args.back());
    vtest::TRun run = RunVellumet(row.Args, dir);
    EXPECT_EQ(run.Status, row.Status);
    EXPECT_EQ(run.Err.rfind(row.Err, 0), 0u) << run.Err;
  }
}

}  // namespace
