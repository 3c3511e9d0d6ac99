// vellumet export as a user runs it: bad input gets one clear line and a
// non-zero status, and leaves the user's files as they were; the target's
// extension chooses the format; folders take NAME.swf and its pages.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/run_program.h"
#include "project/document.h"
#include "support/pictures.h"

namespace {

using namespace vtest;
namespace fs = std::filesystem;

std::string Sample(const std::string& name) {
  return std::string(VELLUMET_SAMPLES_DIR) + "/" + name + ".sw0";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
    lines.push_back(text.substr(from, end - from));
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

// The files a run may have left, without the program's cache and temporary
// folders (named with a leading dot by RunVellumet).
std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = fs::relative(entry.path(), dir).string();
    if (name[0] != '.') names.insert(name);
  }
  return names;
}

class ExportCommand : public testing::Test {
 protected:
  void SetUp() override { Dir = TestTempDir(); }

  TRun Run(const std::vector<std::string>& args) { return RunVellumet(args, Dir); }

  void Write(const std::string& name, const Bytes& bytes) {
    WriteText(Dir + "/" + name, std::string(bytes.begin(), bytes.end()));
  }

  // A project of one picture, unpacked from the project file when it opens.
  std::string PictureProject(const std::string& name, const std::string& picture, int alpha) {
    project::TProjectDocument doc;
    doc.CreateEmptyShape(1, project::skPicture, 1, 20, project::TEditMode::emAllFrames);
    for (int32_t l = 1; l <= 20; ++l) {
      doc.Frames[size_t(l)].Slots.Edit(1).Text = Dir + "/" + picture;
      doc.Frames[size_t(l)].Slots.Edit(1).Alpha = uint8_t(alpha);
    }
    doc.SaveMV_NEW(Dir + "/" + name);
    return name;
  }

  std::string Dir;
};

// A JPEG whose frame header claims 65000 x 65000 pixels.
Bytes HugeJpeg() {
  Bytes jpeg = MakeJpeg(8, 8, false);
  for (size_t i = 0; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = jpeg[i + 7] = 0xFD;
      jpeg[i + 6] = jpeg[i + 8] = 0xE8;
      break;
    }
  return jpeg;
}

// A run-length BMP of 30000 x 30000 pixels in a few bytes.
Bytes HugeRleBmp() {
  BmpFile bmp;
  bmp.Width = bmp.Height = 30000;
  bmp.BitCount = 8;
  bmp.Compression = 1;
  bmp.Palette = {0xFF0000, 0x00FF00};
  bmp.Pixels = {0, 1};  // end of the picture
  return MakeBmp(bmp);
}

// Root may write into a folder whatever its mode says; /sys refuses it too.
std::string UnwritableFolder(const std::string& dir) {
  if (geteuid() == 0) return "/sys";
  fs::create_directory(dir + "/locked");
  fs::permissions(dir + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
  return dir + "/locked";
}

TEST_F(ExportCommand, BadInputGetsOneClearLineAndLeavesFilesAlone) {
  Write("huge.jpg", HugeJpeg());
  Write("huge.bmp", HugeRleBmp());
  const std::string hugeJpeg = PictureProject("huge-jpeg.sw0", "huge.jpg", 50);
  const std::string hugeBmp = PictureProject("huge-bmp.sw0", "huge.bmp", 0);
  project::TProjectDocument longMovie;
  longMovie.SetFrameCount(2);
  longMovie.Frames[1].Delay = longMovie.Frames[2].Delay = 400000;
  longMovie.SaveMV_NEW(Dir + "/long.sw0");
  WriteText(Dir + "/broken.sw0", "a note, not a project\n");
  WriteText(Dir + "/keep.swf", "the user's own file");
  const std::string locked = UnwritableFolder(Dir);
  const std::string banner = Sample("banner");
  const std::set<std::string> before = FilesIn(Dir);

  struct Row {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::string message;  // in the first line of standard error
  } rows[] = {
      {"unknown command", {"frobnicate"}, 2, "vellumet: unknown command frobnicate"},
      {"unknown option", {"--frobnicate"}, 2, "vellumet: unknown option --frobnicate"},
      // A project's name, or nothing, is for the editor, which needs a display.
      {"a project to edit", {"missing.sw0"}, 1, "vellumet: no display to open the editor on"},
      {"nothing", {}, 1, "vellumet: no display to open the editor on"},
      {"export alone", {"export"}, 2, "vellumet export: no project given"},
      {"unknown export option",
       {"export", banner, "-o", "a.swf", "--fast"},
       2,
       "unknown option --fast"},
      {"scale of 0",
       {"export", banner, "-o", "a.gif", "--scale", "0"},
       2,
       "--scale takes a number above 0 up to 100"},
      {"budget that is no number",
       {"export", banner, "-o", "a.gif", "--max-size", "big"},
       2,
       "--max-size takes a whole number of KB"},
      {"animation option for an SWF",
       {"export", banner, "-o", "a.swf", "--no-loop"},
       2,
       "--scale, --max-size, --loop and --no-loop are for"},
      {"web page beside a GIF",
       {"export", banner, "-o", "a.gif", "--web"},
       2,
       "--web and --compact write SWF files"},
      {"scale for an HTML5 page",
       {"export", banner, "-o", "a.html", "--scale", "2"},
       2,
       "--scale, --max-size, --loop and --no-loop are for"},
      {"HTML5 format into a file",
       {"export", banner, "-o", "a.swf", "--format", "html"},
       2,
       "--format html writes into a folder: -o DIR/"},
      {"unknown format",
       {"export", banner, "-o", "out/", "--format", "svg"},
       2,
       "--format takes html"},
      {"missing project",
       {"export", "missing.sw0", "-o", "keep.swf"},
       1,
       "vellumet: Error reading the file missing.sw0"},
      {"not a project",
       {"export", "broken.sw0", "-o", "keep.swf"},
       1,
       "vellumet: Error reading the file broken.sw0: not a Vellumet project file"},
      {"JPEG larger than memory",
       {"export", hugeJpeg, "-o", "keep.swf"},
       1,
       "huge.jpg\": The picture is too large (65000 x 65000 pixels)"},
      {"BMP larger than memory",
       {"export", hugeBmp, "-o", "keep.swf"},
       1,
       "huge.bmp\": The picture is too large (30000 x 30000 pixels)"},
      {"movie longer than an SWF counts",
       {"export", "long.sw0", "-o", "keep.swf"},
       1,
       "vellumet: The movie runs 800 s (80000 frames of 10 ms); an SWF movie can count at "
       "most 65535 frames (655.35 s)."},
      {"frame past the end",
       {"export", banner, "-o", "keep.swf", "--frame", "99"},
       1,
       "has 24 frames; there is no frame 99"},
      {"missing target folder",
       {"export", banner, "-o", "nowhere/a.swf"},
       1,
       "vellumet: the folder nowhere does not exist"},
      {"a file as the target folder",
       {"export", banner, "-o", "keep.swf/a.swf"},
       1,
       "vellumet: keep.swf is not a folder"},
      {"unwritable target folder",
       {"export", banner, "-o", locked + "/a.swf"},
       1,
       "vellumet: cannot write into the folder " + locked + ": Permission denied"},
      {"several projects into a file",
       {"export", banner, hugeBmp, "-o", "keep.swf"},
       1,
       "vellumet: keep.swf is not a folder"},
      {"several projects into a missing folder",
       {"export", banner, hugeBmp, "-o", "gone/"},
       1,
       "vellumet: the folder gone/ does not exist"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const TRun run = Run(r.args);
    EXPECT_EQ(run.Status, r.status);
    const std::vector<std::string> lines = Lines(run.Err);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find(r.message), std::string::npos) << run.Err;
    if (r.status == 2) {
      EXPECT_NE(run.Err.find("usage:\n"), std::string::npos);
    } else {
      EXPECT_EQ(lines.size(), 1u) << run.Err;
    }
    for (const char* internal : {"std::", "what()", "terminate", "filesystem error", "Sanitizer"})
      EXPECT_EQ(run.Err.find(internal), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(ReadText(Dir + "/keep.swf"), "the user's own file");
    EXPECT_EQ(FilesIn(Dir), before);
  }
}

// Without ".swf" the name gets it, the page goes beside it with ".html", and
// each written file is one line with its size. A folder after -o takes the
// project's name; --compact writes a smaller movie.
TEST_F(ExportCommand, SwfMovieAndPageByNameOrIntoAFolder) {
  fs::create_directory(Dir + "/out");
  struct Row {
    std::vector<std::string> args;
    std::string swf, page;
  } rows[] = {
      {{"export", Sample("shapes"), "-o", "named"}, "named.swf", "named.html"},
      {{"export", Sample("shapes"), "-o", "out"}, "out/shapes.swf", "out/shapes.html"},
      {{"export", Sample("shapes"), "-o", "out/", "--compact"},
       "out/shapes.swf",
       "out/shapes.html"},
  };
  uintmax_t plainSize = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args[3]);
    const TRun run = Run(r.args);
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string swf = Dir + "/" + r.swf, page = Dir + "/" + r.page;
    const std::vector<std::string> lines = Lines(run.Out);
    ASSERT_EQ(lines.size(), 2u) << run.Out;
    const std::string shownSwf = lines[0].substr(0, lines[0].find(':'));
    EXPECT_TRUE(fs::equivalent(Dir + "/" + shownSwf, swf)) << shownSwf;
    EXPECT_EQ(lines[0].substr(lines[0].find(':')),
              ": " + std::to_string(fs::file_size(swf)) + " bytes");
    EXPECT_EQ(lines[1].substr(lines[1].find(':')),
              ": " + std::to_string(fs::file_size(page)) + " bytes");
    const std::string name = fs::path(swf).filename().string();
    EXPECT_NE(ReadText(page).find("Test page for " + name), std::string::npos) << r.page;
    KeepSwfForParserCheck(name, ReadFile(swf));
    if (r.args.back() == "--compact") {
      EXPECT_LT(fs::file_size(swf), plainSize);
    } else {
      plainSize = fs::file_size(swf);
    }
  }
}

// The extension after -o chooses the exporter, in any letter case. Until an
// exporter is in the build it refuses by name, which still shows the choice.
TEST_F(ExportCommand, ExtensionChoosesTheFormat) {
  struct Row {
    std::vector<std::string> options;
    std::string file;
    size_t offset;
    std::string magic;
    const char* exporter;  // named when it is not available yet
  } rows[] = {
      {{"-o", "banner.GIF"}, "banner.GIF", 0, "GIF89a", "GIF"},
      {{"-o", "banner.webp", "--scale", "0.5", "--no-loop"}, "banner.webp", 8, "WEBP", "WebP"},
      {{"-o", "banner.mp4"}, "banner.mp4", 4, "ftyp", "video"},
      {{"-o", "banner.webm"}, "banner.webm", 0, "\x1A\x45\xDF\xA3", "video"},
      {{"--png-frames", "frames"}, "frames/frame-0001.png", 1, "PNG", "PNG"},
      {{"-o", "web.swf", "--web"}, "web.web.html", 0, "<!DOCTYPE html>", "web page"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    std::vector<std::string> args = {"export", Sample("banner")};
    args.insert(args.end(), r.options.begin(), r.options.end());
    const TRun run = Run(args);
    if (run.Status != 0 && run.Err.find("not available yet") != std::string::npos) {
      EXPECT_NE(run.Err.find(r.exporter), std::string::npos) << run.Err;
      continue;
    }
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string text = ReadText(Dir + "/" + r.file);
    ASSERT_GE(text.size(), r.offset + r.magic.size());
    EXPECT_EQ(text.substr(r.offset, r.magic.size()), r.magic);
    EXPECT_NE(run.Out.find(": "), std::string::npos);
    EXPECT_NE(run.Out.find(" bytes"), std::string::npos);
  }
}

}  // namespace
