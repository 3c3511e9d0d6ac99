// Animated GIF, animated WebP and PNG frames of the samples, read back with
// decoders of their own (gifsicle, webpmux and dwebp, Qt's GIF and PNG
// readers): frame count, every frame's delay and the loop flag, frame 1
// against our player's picture, the size budget, cancelling.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "exporters/exporters.h"
#include "moviegen/build_fixture.h"
#include "platform/error.h"
#include "player/renderer.h"
#include "player/swf_reader.h"

namespace {

using namespace vtest;
namespace fs = std::filesystem;

const char* const kSamples[] = {"banner.sw0", "shapes.sw0", "backgrounds.sw0", "media.sw0"};

using TExportFunction = exporters::TExportReport (*)(const std::string&,
                                                     const project::TProjectDocument&,
                                                     const std::string&,
                                                     const exporters::TAnimationOptions&,
                                                     const exporters::TProgress&);
struct TFormat {
  const char* Name;
  const char* Target;  // file or folder name
  TExportFunction Export;
};
const TFormat kGif{"GIF", "movie.gif", &exporters::ExportGif};
const TFormat kWebP{"WebP", "movie.webp", &exporters::ExportWebP};
const TFormat kPngFrames{"PNG frames", "frames", &exporters::ExportPngFrames};

// Standard output of a command (stderr joined); fails the test on a non-zero status.
std::string RunTool(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return out;
  }
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  EXPECT_EQ(pclose(pipe), 0) << command << "\n" << out;
  return out;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// Where a WebP frame lies on the canvas and whether it is blended over it.
struct TWebPPlacement {
  int X = 0, Y = 0;
  bool Blend = false;
};

// What an independent reader says about an animation file.
struct TAnimationInfo {
  int Width = 0, Height = 0;
  std::vector<int64_t> Delays;  // GIF: 1/100 s; WebP: ms
  bool Loops = false;
  int Colours = 0;                         // GIF: global colour table entries
  std::vector<TWebPPlacement> Placements;  // WebP
};

TAnimationInfo GifInfo(const std::string& path) {
  const std::string text = RunTool("gifsicle --info " + Quoted(path));
  TAnimationInfo info;
  std::smatch m;
  if (std::regex_search(text, m, std::regex(R"(logical screen (\d+)x(\d+))")))
    info.Width = std::stoi(m[1]), info.Height = std::stoi(m[2]);
  if (std::regex_search(text, m, std::regex(R"(global color table \[(\d+)\])")))
    info.Colours = std::stoi(m[1]);
  info.Loops = text.find("loop forever") != std::string::npos;
  // Each image lists its delay in seconds; an image without one has none.
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("+ image #") != std::string::npos) info.Delays.push_back(0);
    if (std::regex_search(line, m, std::regex(R"(delay (\d+)\.(\d+)s)")))
      info.Delays.back() = std::stoll(m[1]) * 100 + std::stoll(m[2]);
  }
  return info;
}

TAnimationInfo WebPInfo(const std::string& path) {
  const std::string text = RunTool("webpmux -info " + Quoted(path));
  TAnimationInfo info;
  std::smatch m;
  if (std::regex_search(text, m, std::regex(R"(Canvas size: (\d+) x (\d+))")))
    info.Width = std::stoi(m[1]), info.Height = std::stoi(m[2]);
  info.Loops = std::regex_search(text, m, std::regex(R"(Loop Count\s*:\s*(\d+))")) && m[1] == "0";
  // No.: width height alpha x_offset y_offset duration dispose blend ...
  const std::regex frame(R"(^\s*\d+:\s+\d+\s+\d+\s+\w+\s+(\d+)\s+(\d+)\s+(\d+)\s+(\w+)\s+(\w+))");
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (std::regex_search(line, m, frame)) {
      info.Delays.push_back(std::stoll(m[3]));
      info.Placements.push_back({std::stoi(m[1]), std::stoi(m[2]), m[5] == "yes"});
      EXPECT_EQ(m[4], "none") << "frames are never disposed";
    }
  return info;
}

// Every frame as a viewer shows it (Qt's GIF reader puts them together).
std::vector<QImage> GifFrames(const std::string& path) {
  QImageReader reader(QString::fromStdString(path), "gif");
  std::vector<QImage> frames;
  for (QImage frame; reader.read(&frame);)
    frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
  return frames;
}

// Every frame as a viewer shows it: each one taken out by webpmux, decoded by
// dwebp and laid over the canvas as the file says.
std::vector<QImage> WebPFrames(const std::string& path, const std::string& dir) {
  const TAnimationInfo info = WebPInfo(path);
  QImage canvas(info.Width, info.Height, QImage::Format_ARGB32);
  canvas.fill(Qt::transparent);
  std::vector<QImage> frames;
  for (size_t k = 0; k < info.Placements.size(); ++k) {
    const std::string n = std::to_string(k + 1);
    RunTool("webpmux -get frame " + n + " " + Quoted(path) + " -o " + Quoted(dir + "/f.webp"));
    RunTool("dwebp " + Quoted(dir + "/f.webp") + " -o " + Quoted(dir + "/f.png"));
    const QImage piece(QString::fromStdString(dir + "/f.png"));
    QPainter painter(&canvas);
    if (!info.Placements[k].Blend) painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(info.Placements[k].X, info.Placements[k].Y, piece);
    painter.end();
    frames.push_back(canvas.convertToFormat(QImage::Format_RGB32));
  }
  return frames;
}

// The largest mean difference over any 4 x 4 tile: dithering evens out
// within a tile, a pixel left standing from an earlier frame does not.
double WorstTile(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 255;
  double worst = 0;
  for (int ty = 0; ty + 4 <= a.height(); ty += 2)
    for (int tx = 0; tx + 4 <= a.width(); tx += 2) {
      int sum = 0;
      for (int y = ty; y < ty + 4; ++y)
        for (int x = tx; x < tx + 4; ++x) {
          const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
          sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                 std::abs(qBlue(p) - qBlue(q));
        }
      worst = std::max(worst, sum / 48.0);
    }
  return worst;
}

// Mean absolute difference per channel, 0..255.
double MeanDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 255;
  int64_t sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return double(sum) / (3.0 * a.width() * a.height());
}

class AnimationExport : public BuildTest {
 protected:
  // Opens the sample and builds its whole movie; returns the movie's path.
  std::string BuildSample(const std::string& name) {
    SetUp();
    EXPECT_TRUE(Doc.OpenMV(std::string(VELLUMET_SAMPLES_DIR) + "/" + name)) << name;
    return BuildMovie();
  }
  std::string BuildMovie() {
    const std::string path = moviegen::CreateMovie(Doc, Host, true, false, false);
    KeepSwfForParserCheck(fs::path(path).filename().string(), ReadFile(path));
    return path;
  }
  QImage Render(const std::string& swf, uint32_t frame, double scale = 1) {
    auto movie = std::make_shared<const player::TMovie>(player::ReadMovieFile(swf));
    return player::RenderFrame(movie, frame, scale).convertToFormat(QImage::Format_RGB32);
  }
  // Our player's picture of every project frame: the movie where it begins.
  std::vector<QImage> Renders(const std::string& swf, double scale = 1) {
    std::vector<QImage> pictures;
    uint32_t start = 0;
    for (int32_t l = 1; l <= Doc.FrameCount; ++l) {
      pictures.push_back(Render(swf, start, scale));
      start += uint32_t(moviegen::SwfFramesForDelay(Doc.Frames[size_t(l)].Delay));
    }
    return pictures;
  }
  // The project's delays in the file's unit; the samples' are whole hundredths.
  std::vector<int64_t> Delays(int64_t unitMs) const {
    std::vector<int64_t> delays;
    for (int32_t l = 1; l <= Doc.FrameCount; ++l)
      delays.push_back(Doc.Frames[size_t(l)].Delay / unitMs);
    return delays;
  }
};

TEST_F(AnimationExport, GifOfEachSampleReadsBackAsTheMovie) {
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const std::string swf = BuildSample(name);
    const std::string out = Dir + "movie.gif";
    const exporters::TExportReport report = exporters::ExportGif(swf, Doc, out, {});
    EXPECT_EQ(report.Bytes, fs::file_size(out));
    EXPECT_EQ(report.Choice, "");
    const TAnimationInfo info = GifInfo(out);
    EXPECT_EQ(info.Width, Doc.Settings.MWidth);
    EXPECT_EQ(info.Height, Doc.Settings.MHeight);
    EXPECT_EQ(info.Delays, Delays(10));
    EXPECT_EQ(info.Loops, Doc.Settings.MLoop == 1);
    const std::vector<QImage> shown = GifFrames(out), painted = Renders(swf);
    ASSERT_EQ(shown.size(), painted.size());
    for (size_t k = 0; k < shown.size(); ++k) {
      SCOPED_TRACE("frame " + std::to_string(k + 1));
      EXPECT_LT(MeanDifference(shown[k], painted[k]), 3.0);
      EXPECT_LT(WorstTile(shown[k], painted[k]), 16.0);  // no stale pixels
    }
  }
}

TEST_F(AnimationExport, WebPOfEachSampleReadsBackAsTheMovie) {
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const std::string swf = BuildSample(name);
    const std::string out = Dir + "movie.webp";
    exporters::ExportWebP(swf, Doc, out, {});
    const TAnimationInfo info = WebPInfo(out);
    EXPECT_EQ(info.Width, Doc.Settings.MWidth);
    EXPECT_EQ(info.Height, Doc.Settings.MHeight);
    EXPECT_EQ(info.Delays, Delays(1));
    EXPECT_EQ(info.Loops, Doc.Settings.MLoop == 1);
    const std::vector<QImage> shown = WebPFrames(out, Dir), painted = Renders(swf);
    ASSERT_EQ(shown.size(), painted.size());
    for (size_t k = 0; k < shown.size(); ++k)
      EXPECT_EQ(shown[k], painted[k]) << "frame " << k + 1 << " (lossless)";
  }
}

// A size budget the best setting misses gives the first setting that fits,
// and says which; a budget nothing meets is refused with the smallest size
// reached, and the file already there stays as it was.
TEST_F(AnimationExport, SizeBudgetLowersTheSettingUntilTheFileFits) {
  struct Row {
    TFormat format;
    const char* choice;
  } rows[] = {{kGif, "(128|64|32|16|8|4) colours"}, {kWebP, "quality [0-9]+"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.format.Name);
    const std::string swf = BuildSample("media.sw0");
    const std::string out = Dir + r.format.Target;
    const uint64_t best = r.format.Export(swf, Doc, out, {}, {}).Bytes;

    exporters::TAnimationOptions options;
    options.MaxSizeKB = int64_t(best * 8 / 10 / 1000);
    const exporters::TExportReport report = r.format.Export(swf, Doc, out, options, {});
    EXPECT_LE(report.Bytes, uint64_t(options.MaxSizeKB) * 1000);
    EXPECT_EQ(fs::file_size(out), report.Bytes);
    EXPECT_TRUE(std::regex_match(report.Choice, std::regex(r.choice))) << report.Choice;
    if (r.format.Export == kGif.Export)
      EXPECT_LE(GifInfo(out).Colours, std::stoi(report.Choice));
    else
      EXPECT_EQ(WebPInfo(out).Delays, Delays(1));

    WriteText(out, "old");
    options.MaxSizeKB = 1;
    try {
      r.format.Export(swf, Doc, out, options, {});
      ADD_FAILURE() << "no error for 1 KB";
    } catch (const platform::TVellumetError& e) {
      EXPECT_TRUE(std::regex_match(
          e.what(), std::regex(std::string("The ") + r.format.Name +
                               " cannot fit in 1 KB: the smallest it can be is [0-9]+\\.[0-9] "
                               "KB, with (4 colours|quality 0)")))
          << e.what();
    }
    EXPECT_EQ(ReadText(out), "old");
  }
}

// Progress comes once per step up to the total; a "stop" from the caller ends
// the export with nothing written and what was there before kept.
TEST_F(AnimationExport, ProgressCountsToTheEndAndCancelLeavesNothingBehind) {
  struct Row {
    TFormat format;
    int64_t passes;  // GIF: the colours, then the encoding
  } rows[] = {{kGif, 2}, {kWebP, 1}, {kPngFrames, 1}};
  const std::string swf = BuildSample("media.sw0");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.format.Name);
    const std::string out = Dir + "out/" + r.format.Target;
    fs::create_directories(Dir + "out");
    std::vector<int64_t> done;
    int64_t total = 0;
    r.format.Export(swf, Doc, out, {}, [&](int64_t d, int64_t t) {
      done.push_back(d);
      total = t;
      return true;
    });
    EXPECT_EQ(total, r.passes * Doc.FrameCount);
    ASSERT_EQ(int64_t(done.size()), total);
    for (size_t i = 0; i < done.size(); ++i) EXPECT_EQ(done[i], int64_t(i) + 1);

    for (int64_t stopAt : {int64_t(1), total / 2 + 1, total}) {
      SCOPED_TRACE(stopAt);
      fs::remove_all(Dir + "out");
      const std::string before = r.format.Export == kPngFrames.Export ? out + "/keep.txt" : out;
      WriteText(before, "old");
      EXPECT_THROW(
          r.format.Export(swf, Doc, out, {}, [&](int64_t d, int64_t) { return d < stopAt; }),
          platform::TVellumetError);
      EXPECT_EQ(ReadText(before), "old");
      int entries = 0;
      for (const auto& e : fs::recursive_directory_iterator(Dir + "out"))
        entries += !e.is_directory();
      EXPECT_EQ(entries, 1) << "only the file that was there before";
    }
  }
}

// Every PNG is the frame as our player paints it where the project frame
// begins, pixel for pixel.
TEST_F(AnimationExport, PngFramesAreThePlayersPictures) {
  const std::string swf = BuildSample("banner.sw0");
  const std::string dir = Dir + "frames";
  const exporters::TExportReport report = exporters::ExportPngFrames(swf, Doc, dir, {});
  uint64_t bytes = 0;
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir)) bytes += e.file_size(), ++files;
  EXPECT_EQ(files, Doc.FrameCount);
  EXPECT_EQ(report.Bytes, bytes);
  uint32_t start = 0;
  for (int32_t l = 1; l <= Doc.FrameCount; ++l) {
    SCOPED_TRACE(l);
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04d.png", l);
    const QImage png = QImage(QString::fromStdString(dir + name));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), Render(swf, start));
    start += uint32_t(moviegen::SwfFramesForDelay(Doc.Frames[size_t(l)].Delay));
  }
}

// The scale sizes the pictures; the options' loop wins over the project's.
TEST_F(AnimationExport, ScaleAndLoopOptions) {
  struct Row {
    TFormat format;
    const char* sample;
    exporters::TAnimationOptions options;
    int width, height;
  } rows[] = {{kGif, "banner.sw0", {0.5, 0, false}, 234, 30},
              {kWebP, "backgrounds.sw0", {2, 0, true}, 936, 120}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.format.Name);
    const std::string swf = BuildSample(r.sample);
    const std::string out = Dir + r.format.Target;
    r.format.Export(swf, Doc, out, r.options, {});
    const bool gif = r.format.Export == kGif.Export;
    const TAnimationInfo info = gif ? GifInfo(out) : WebPInfo(out);
    EXPECT_EQ(info.Width, r.width);
    EXPECT_EQ(info.Height, r.height);
    EXPECT_EQ(info.Loops, *r.options.Loop);
    const QImage first = gif ? GifFrames(out).at(0) : WebPFrames(out, Dir).at(0);
    EXPECT_LT(MeanDifference(first, Render(swf, 0, r.options.Scale)), gif ? 3.0 : 0.01);
  }
}

// Frames shorter than browsers show are lengthened and the time taken from
// the frames after them; a frame equal to the one before is a GIF frame of
// one transparent pixel, and a longer showing of that frame in WebP.
TEST_F(AnimationExport, ShortAndRepeatedFrames) {
  Doc.SetFrameCount(4);
  const int32_t delays[] = {10, 15, 15, 100};
  for (int32_t l = 1; l <= 4; ++l) Doc.Frames[size_t(l)].Delay = delays[l - 1];
  Add(1, project::skRectangle, 2, 3);
  Doc.Frames[4].BkgrColor = project::RGB(255, 0, 0);
  const std::string swf = BuildMovie();

  exporters::ExportGif(swf, Doc, Dir + "movie.gif", {});
  EXPECT_EQ(GifInfo(Dir + "movie.gif").Delays, (std::vector<int64_t>{2, 2, 2, 8}));
  EXPECT_NE(RunTool("gifsicle --info " + Dir + "movie.gif").find("+ image #2 1x1"),
            std::string::npos);
  exporters::ExportWebP(swf, Doc, Dir + "movie.webp", {});
  EXPECT_EQ(WebPInfo(Dir + "movie.webp").Delays, (std::vector<int64_t>{20, 40, 80}));
}

// Bad input ends with a clear error and writes nothing.
TEST_F(AnimationExport, BadInputIsRefusedWithoutWriting) {
  const std::string swf = BuildSample("media.sw0");
  WriteText(Dir + "a-file", "x");
  struct Row {
    const char* what;
    TFormat format;
    std::string swf, target;
    double scale;
    const char* message;
  } rows[] = {
      {"no movie", kGif, Dir + "none.swf", "movie.gif", 1, "none.swf"},
      {"not a movie", kWebP, Dir + "a-file", "movie.webp", 1, ""},
      {"scale 0", kGif, swf, "movie.gif", 0, "A scale of 0 makes a side of 0 pixels"},
      {"scale too large", kPngFrames, swf, "frames", 100, "choose one that gives 1 to 16384"},
      {"missing folder", kWebP, swf, "no/such/movie.webp", 1, "movie.webp"},
      {"folder is a file", kPngFrames, swf, "a-file/frames", 1, "frames"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    exporters::TAnimationOptions options;
    options.Scale = r.scale;
    try {
      r.format.Export(r.swf, Doc, Dir + r.target, options, {});
      ADD_FAILURE() << "no error";
    } catch (const platform::TVellumetError& e) {
      EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(Dir + r.target));
  }
}

}  // namespace
