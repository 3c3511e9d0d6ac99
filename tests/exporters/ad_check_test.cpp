// The package checker against hand-made packages: for each rule one that
// passes it and one that fails it, with the line the checker prints.
#include "exporters/ad_check.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <functional>
#include <map>
#include <random>

#include "exporters/zip_archive.h"

namespace {

using exporters::TAdPackage;
using exporters::TPackageFile;
using exporters::TRuleState;
using Files = std::map<std::string, std::string>;

const char* const kProfile = R"({
  "maxPackageKB": 150, "maxFiles": 6, "maxZipNameLength": 50,
  "fileTypes": ["html", "js", "css", "png", "jpg", "gif", "svg"],
  "fileNamePattern": "^[A-Za-z0-9._/-]+$", "maxAnimationSeconds": 30, "maxBackupKB": 50,
  "allowedHosts": ["fonts.googleapis.com"]
})";

std::string Png(int width, int height, bool noise = false) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  std::mt19937 random(7);
  if (noise)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, random() | 0xFF000000u);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

const char* const kPage = R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<meta name="ad.size" content="width=300,height=250">
<meta name="ad.animation" content="duration=7.5,loops=4">
<script>
var clickTag = "https://example.com/landing";
var clickTag2 = "https://example.com/offer";
</script>
<link rel="stylesheet" href="style.css?v=2">
<script src="./runtime.js"></script>
</head>
<body>
<canvas id="stage" width="300" height="250"></canvas>
<noscript><img src="backup.png" alt=""></noscript>
</body>
</html>
)";

// A package every rule of the test profile accepts.
Files GoodPackage() {
  return {{"index.html", kPage},
          {"style.css", "canvas { background: url('img/back.png'); }"},
          {"runtime.js",
           "function exit(n) { window.open(n ? clickTag2 : clickTag, '_blank'); }\n"
           "var pictures = ['img/logo.png'];\n"},
          {"img/back.png", Png(4, 4)},
          {"img/logo.png", Png(2, 2)},
          {"backup.png", Png(300, 250)}};
}

TAdPackage Package(const Files& files, const std::string& name = "banner.zip") {
  std::vector<TPackageFile> list;
  for (const auto& [path, text] : files) list.push_back({path, {text.begin(), text.end()}});
  return exporters::PackageFromFiles(name, list);
}

void Replace(Files& files, const std::string& path, const std::string& from,
             const std::string& to) {
  std::string& text = files.at(path);
  size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

std::vector<exporters::TRuleResult> Check(const TAdPackage& package) {
  return exporters::CheckAdPackage(package,
                                   exporters::ReadAdProfile(kProfile, "test", "the test profile"));
}

std::string LineOf(const std::vector<exporters::TRuleResult>& results, const std::string& rule) {
  for (const auto& result : results)
    if (result.Rule == rule) return exporters::RuleLine(result);
  return "no rule " + rule;
}

TEST(AdCheck, TheGoodPackagePassesEveryRule) {
  std::vector<exporters::TRuleResult> results = Check(Package(GoodPackage()));
  EXPECT_EQ(results.size(), 17u);
  for (const auto& result : results)
    EXPECT_EQ(result.State, TRuleState::Passed) << RuleLine(result);
  EXPECT_EQ(LineOf(results, "animation length"),
            "passed  animation length: 30 s (7.5 s x 4 loops), limit 30 s");
  EXPECT_EQ(LineOf(results, "click tag"),
            "passed  click tag: clickTag = \"https://example.com/landing\" and 1 further exits");
}

struct TCase {
  const char* Name;
  std::function<void(Files&)> Change;
  const char* Rule;
  const char* Line;  // the start of the rule's line; "passed" rows show what is allowed
};

const TCase kCases[] = {
    {"a ZIP inside", [](Files& f) { f["assets.zip"] = "PK"; }, "archive",
     "FAILED  archive: archive inside the package: assets.zip"},
    {"Mac OS folder", [](Files& f) { f["__MACOSX/._index.html"] = "x"; }, "archive",
     "FAILED  archive: system file: __MACOSX/._index.html"},
    {"no page", [](Files& f) { f.erase("index.html"); }, "primary HTML",
     "FAILED  primary HTML: primary HTML missing"},
    {"two pages, no index",
     [](Files& f) {
       f["a.html"] = f["b.html"] = f["index.html"];
       f.erase("index.html");
     },
     "primary HTML",
     "FAILED  primary HTML: several HTML files at the root and no index.html: a.html, b.html"},
    {"one page of another name",
     [](Files& f) {
       f["ad.html"] = f["index.html"];
       f.erase("index.html");
     },
     "primary HTML", "passed  primary HTML: ad.html"},
    {"over the size", [](Files& f) { f["img/logo.png"] = Png(300, 250, true); }, "package size",
     "FAILED  package size: too large: "},
    {"too many files", [](Files& f) { f["img/more.png"] = Png(2, 2); }, "file count",
     "FAILED  file count: too many files: 7 files, limit 6"},
    {"a Flash movie", [](Files& f) { f["img/logo.png"].swap(f["movie.swf"]); }, "file types",
     "FAILED  file types: file type not allowed: movie.swf"},
    {"a space in a name",
     [](Files& f) {
       f["img/my logo.png"] = f["img/logo.png"];
       f.erase("img/logo.png");
       Replace(f, "runtime.js", "img/logo.png", "img/my logo.png");
     },
     "file names", "FAILED  file names: invalid file name: img/my logo.png"},
    {"no doctype", [](Files& f) { Replace(f, "index.html", "<!DOCTYPE html>", ""); },
     "page structure",
     "FAILED  page structure: badly formed HTML: index.html does not begin with <!DOCTYPE html>"},
    {"body before head",
     [](Files& f) {
       Replace(f, "index.html", "<head>", "<body>");
       Replace(f, "index.html", "</head>\n<body>", "<head></head>");
     },
     "page structure", "FAILED  page structure: badly formed HTML: index.html has no <body>"},
    {"no ad.size",
     [](Files& f) { Replace(f, "index.html", "name=\"ad.size\"", "name=\"viewport\""); }, "ad size",
     "FAILED  ad size: ad.size missing: index.html"},
    {"ad.size not the canvas",
     [](Files& f) { Replace(f, "index.html", "width=300,height=250", "width=728,height=90"); },
     "ad size",
     "FAILED  ad size: unexpected size: ad.size 728x90, the canvas of index.html 300x250"},
    {"click tag only in the body",
     [](Files& f) {
       Replace(f, "index.html", "var clickTag = \"https://example.com/landing\";", "");
       Replace(f, "index.html", "<body>",
               "<body><script>var clickTag = \"https://example.com/\";</script>");
     },
     "click tag",
     "FAILED  click tag: click tag not in primary HTML: no global var clickTag in the head of "
     "index.html"},
    {"click tag inside a function",
     [](Files& f) {
       Replace(f, "index.html", "var clickTag = \"https://example.com/landing\";",
               "function setup() { var clickTag = \"https://example.com/\"; }");
     },
     "click tag", "FAILED  click tag: click tag not in primary HTML"},
    {"no click tag at all",
     [](Files& f) {
       Replace(f, "index.html", "var clickTag = \"https://example.com/landing\";", "");
       Replace(f, "index.html", "var clickTag2 = \"https://example.com/offer\";", "");
       f["runtime.js"] = "var pictures = ['img/logo.png'];";
     },
     "click tag",
     "FAILED  click tag: click tag missing: no global var clickTag in the head of index.html"},
    {"click tag not an address",
     [](Files& f) { Replace(f, "index.html", "https://example.com/landing", "landing.html"); },
     "click tag", "FAILED  click tag: click tag invalid: clickTag = \"landing.html\""},
    {"click tag set on window",
     [](Files& f) { Replace(f, "index.html", "var clickTag =", "window.clickTag ="); }, "click tag",
     "passed  click tag: clickTag = \"https://example.com/landing\""},
    {"a link in the page",
     [](Files& f) {
       Replace(f, "index.html", "<canvas", "<a href=\"https://example.com/\"><canvas");
     },
     "hard-coded links",
     "FAILED  hard-coded links: click tag hard-coded: index.html: <a "
     "href=\"https://example.com/\">"},
    {"a landing page in the script",
     [](Files& f) {
       f["runtime.js"] += "function go() { window.open(\"https://example.com/\"); }";
     },
     "hard-coded links",
     "FAILED  hard-coded links: click tag hard-coded: runtime.js: "
     "window.open(\"https://example.com/\""},
    {"an external script",
     [](Files& f) {
       Replace(f, "index.html", "</head>",
               "<script src=\"https://cdn.example.com/lib.js\"></script></head>");
     },
     "external addresses",
     "FAILED  external addresses: external address not allowed: index.html: "
     "https://cdn.example.com/lib.js (src)"},
    {"an external picture in a style",
     [](Files& f) { f["style.css"] += "body { background: url(//cdn.example.com/a.png) }"; },
     "external addresses",
     "FAILED  external addresses: external address not allowed: style.css: //cdn.example.com/a.png "
     "(url())"},
    {"a fetch from a server",
     [](Files& f) { f["runtime.js"] += "fetch('https://api.example.com/data');"; },
     "external addresses",
     "FAILED  external addresses: external address not allowed: runtime.js: "
     "https://api.example.com/data (fetch)"},
    {"a request for data",
     [](Files& f) {
       f["runtime.js"] += "var r = new XMLHttpRequest(); r.open('GET', '/data.json');";
     },
     "external addresses",
     "FAILED  external addresses: external address not allowed: runtime.js: /data.json "
     "(XMLHttpRequest)"},
    {"a path out of the package",
     [](Files& f) { Replace(f, "index.html", "./runtime.js", "../runtime.js"); },
     "external addresses",
     "FAILED  external addresses: external address not allowed: index.html: ../runtime.js (src)"},
    {"a host the profile allows",
     [](Files& f) {
       Replace(f, "index.html", "</head>",
               "<link rel=\"stylesheet\" "
               "href=\"https://fonts.googleapis.com/css?family=Roboto\"></head>");
     },
     "external addresses", "passed  external addresses"},
    {"a missing file", [](Files& f) { Replace(f, "style.css", "img/back.png", "img/gone.png"); },
     "missing files",
     "FAILED  missing files: invalid URL reference, file missing: style.css refers to "
     "img/gone.png"},
    {"a file nothing uses", [](Files& f) { f["extra.js"] = "1"; }, "unreferenced files",
     "FAILED  unreferenced files: unreferenced file: extra.js"},
    {"a plain http address",
     [](Files& f) {
       Replace(f, "index.html", "https://example.com/offer", "http://example.com/offer");
     },
     "HTTPS only", "FAILED  HTTPS only: non-SSL address: index.html: http://example.com/offer"},
    {"an SVG namespace",
     [](Files& f) {
       f["img/logo.svg"] = "<svg xmlns=\"http://www.w3.org/2000/svg\"></svg>";
       Replace(f, "runtime.js", "'img/logo.png'", "'img/logo.png', 'img/logo.svg'");
     },
     "HTTPS only", "passed  HTTPS only"},
    {"local storage", [](Files& f) { f["runtime.js"] += "localStorage.setItem('seen', 1);"; },
     "storage", "FAILED  storage: local storage not allowed: runtime.js uses localStorage"},
    {"too many loops", [](Files& f) { Replace(f, "index.html", "loops=4", "loops=5"); },
     "animation length",
     "FAILED  animation length: animation too long: 37.5 s (7.5 s x 5 loops), limit 30 s"},
    {"looping for ever", [](Files& f) { Replace(f, "index.html", "loops=4", "loops=0"); },
     "animation length",
     "FAILED  animation length: animation too long: 7.5 s looping for ever, limit 30 s"},
    {"no stated time", [](Files& f) { Replace(f, "index.html", "ad.animation", "description"); },
     "animation length", "n/a     animation length: the package states no animation time"},
    {"no backup picture",
     [](Files& f) {
       f.erase("backup.png");
       Replace(f, "index.html", "<noscript><img src=\"backup.png\" alt=\"\"></noscript>", "");
     },
     "backup picture", "FAILED  backup picture: backup picture missing"},
    {"backup of another size", [](Files& f) { f["backup.png"] = Png(728, 90); }, "backup picture",
     "FAILED  backup picture: backup picture of the wrong size: backup.png is 728x90, the ad "
     "300x250"},
    {"backup too heavy", [](Files& f) { f["backup.png"] = Png(300, 250, true); }, "backup picture",
     "FAILED  backup picture: backup picture too large: backup.png, "},
};

TEST(AdCheck, EachRulePassesAndFails) {
  for (const TCase& row : kCases) {
    SCOPED_TRACE(row.Name);
    Files files = GoodPackage();
    row.Change(files);
    std::string line = LineOf(Check(Package(files)), row.Rule);
    EXPECT_EQ(line.substr(0, std::string(row.Line).size()), row.Line) << line;
  }
}

TEST(AdCheck, ZipNameAndUnreadableArchive) {
  std::string longName(51 - 4, 'a');
  EXPECT_EQ(LineOf(Check(Package(GoodPackage(), longName + ".zip")), "file names"),
            "FAILED  file names: ZIP name too long: " + longName + ".zip, 51 characters, limit 50");

  std::vector<uint8_t> broken = exporters::WriteZip({{"index.html", {'<', 'p', '>'}}});
  broken.resize(broken.size() - 10);
  std::vector<exporters::TRuleResult> results = Check(exporters::PackageFromZip("b.zip", broken));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(LineOf(results, "archive").substr(0, 48),
            "FAILED  archive: unreadable: Not a readable ZIP ");
}

}  // namespace
