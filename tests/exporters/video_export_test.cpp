// Video export: the frame rate chosen for the delays, and MP4 and WebM files
// of the samples read back with ffprobe and decoded with ffmpeg.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/video_timing.h"
#include "moviegen/build_fixture.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "support/sound_data.h"

namespace {

namespace fs = std::filesystem;
using namespace vtest;

// --- the frame rate -------------------------------------------------------

TEST(VideoTiming, TakesTheLowestUsualRateThatKeepsEveryDelay) {
  struct Case {
    std::vector<int32_t> swfFrames;  // 10 ms each
    int rate;
  } cases[] = {
      {{100, 100}, 1},     // slides of a second
      {{25, 25}, 4},       // 2 fps would make the first frame 500 ms
      {{10}, 10},          // 5 fps would show 100 ms for 200 ms
      {{7, 7, 7}, 15},     // 12 fps: 83 ms for 70 ms
      {{5, 5, 5}, 20},     // 15 fps: the third frame would vanish
      {{4, 4, 4, 4}, 24},  // 20 fps: the third frame would vanish
      {{3, 3, 3}, 30},     // 25 fps: the third frame would vanish
      {{1, 2}, 50},        // 10 ms needs half a 20 ms frame at least
      {{1}, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.swfFrames));
    EXPECT_EQ(exporters::ChooseVideoTiming(c.swfFrames).Rate, c.rate);
  }
}

// Every frame keeps a picture and its time within 10 ms; the whole video
// ends within half a frame of the movie.
TEST(VideoTiming, EveryFrameKeepsItsTimeWithinTenMilliseconds) {
  std::mt19937 random(17);
  for (int round = 0; round < 200; ++round) {
    std::vector<int32_t> frames(1 + random() % 40);
    const int32_t longest = round % 2 ? 300 : 12;
    int64_t totalMs = 0;
    for (int32_t& f : frames) totalMs += 10 * (f = 1 + int32_t(random() % longest));
    SCOPED_TRACE(testing::PrintToString(frames));
    const exporters::TVideoTiming t = exporters::ChooseVideoTiming(frames);
    ASSERT_EQ(t.Starts.size(), frames.size() + 1);
    EXPECT_EQ(t.Starts[0], 0);
    for (size_t l = 0; l < frames.size(); ++l) {
      EXPECT_GE(t.Starts[l + 1] - t.Starts[l], 1);
      const double shownMs = double(t.Starts[l + 1] - t.Starts[l]) * 1000 / t.Rate;
      EXPECT_LE(std::abs(shownMs - frames[l] * 10), 10.0 + 1e-9) << "frame " << l;
    }
    EXPECT_LE(std::abs(double(t.FrameCount()) * 1000 / t.Rate - double(totalMs)),
              500.0 / t.Rate + 1e-9);
  }
}

// --- files read back ------------------------------------------------------

std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
  }
  return out;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// What ffprobe says of a file: the container and its streams.
struct TProbe {
  double Duration = 0;
  std::vector<QJsonObject> Streams;
  const QJsonObject* Stream(const char* type) const {
    for (const QJsonObject& s : Streams)
      if (s["codec_type"].toString() == type) return &s;
    return nullptr;
  }
};

TProbe Probe(const std::string& path) {
  const std::string json =
      RunCommand("ffprobe -v error -show_format -show_streams -of json " + Quoted(path));
  const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  TProbe probe;
  probe.Duration = root["format"].toObject()["duration"].toString().toDouble();
  for (const QJsonValue& s : root["streams"].toArray()) probe.Streams.push_back(s.toObject());
  return probe;
}

// The first picture of the video, decoded by ffmpeg through the PNG file.
QImage FirstPicture(const std::string& video, const std::string& png) {
  RunCommand("ffmpeg -v error -y -i " + Quoted(video) + " -frames:v 1 " + Quoted(png));
  return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel, 0..255, over `expected`'s area.
double MeanDifference(const QImage& expected, const QImage& actual) {
  if (actual.width() < expected.width() || actual.height() < expected.height()) return 255;
  double sum = 0;
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x) {
      const QRgb p = expected.pixel(x, y), q = actual.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * expected.width() * expected.height());
}

// The names of the top-level boxes of an MP4 file, in order.
std::vector<std::string> TopLevelBoxes(const Bytes& file) {
  std::vector<std::string> boxes;
  for (size_t at = 0; at + 8 <= file.size();) {
    const uint64_t size =
        uint64_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    boxes.emplace_back(file.begin() + long(at) + 4, file.begin() + long(at) + 8);
    if (size < 8) break;
    at += size;
  }
  return boxes;
}

double MovieSeconds(const project::TProjectDocument& doc) {
  int64_t ms = 0;
  for (int32_t l = 1; l <= doc.FrameCount; ++l) ms += doc.Frames[size_t(l)].Delay;
  return ms / 1000.0;
}

std::string SamplePath(const std::string& name) {
  return (fs::path(TestDataPath("")) / ".." / ".." / "samples" / name).string();
}

struct TFormat {
  const char* extension;
  const char* video;  // codec names as ffprobe gives them
  const char* audio;
};
const TFormat kFormats[] = {{".mp4", "h264", "aac"}, {".webm", "vp9", "opus"}};

class VideoExport : public BuildTest {
 protected:
  // The whole movie as the export gets it (kept for the parser check too).
  std::string BuildMovie() {
    static int built = 0;
    const std::string swf = moviegen::CreateMovie(Doc, Host, true, false, false);
    EXPECT_FALSE(swf.empty());
    KeepSwfForParserCheck("video-export-" + std::to_string(++built) + ".swf", ReadFile(swf));
    return swf;
  }

  exporters::TExportReport Export(const std::string& swf, const std::string& out, double scale = 1,
                                  const exporters::TProgress& progress = {}) {
    exporters::TAnimationOptions options;
    options.Scale = scale;
    return exporters::ExportVideo(swf, Doc, out, options, progress);
  }

  // A 1 s movie of two frames: a circle on a coloured stage.
  void SmallMovie(int width, int height) {
    Doc.Settings.MWidth = width;
    Doc.Settings.MHeight = height;
    Doc.SetFrameCount(2);
    Add(1, project::skCircle, 1, 2);
    for (int32_t l = 1; l <= 2; ++l) {
      Doc.Frames[size_t(l)].Delay = 500;
      Doc.Frames[size_t(l)].BkgrColor = project::RGB(48, 96, 192);
      project::TShapeRec& circle = Slot(l, 1);
      // Near the bottom right, where stretching the picture would move it most.
      circle.Radius = height / 3;
      circle.X = width - circle.Radius - 2;
      circle.Y = height - circle.Radius - 2;
      circle.Color = project::RGB(255, 220, 0);
    }
  }

  // Files left in the test's output folder, by name.
  std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(VideoExport, SamplesReadBackWithTheirStreamsTimeAndFirstPicture) {
  for (const std::string name : {"banner.sw0", "shapes.sw0", "backgrounds.sw0", "media.sw0"}) {
    SetUp();
    ASSERT_TRUE(Doc.OpenMV(SamplePath(name)));
    const std::string swf = BuildMovie();
    const QImage rendered =
        player::RenderFrame(std::make_shared<const player::TMovie>(player::ReadMovieFile(swf)), 0);
    const bool sound = !Doc.Settings.MBkgrSound.empty();
    std::vector<int32_t> swfFrames;
    for (int32_t l = 1; l <= Doc.FrameCount; ++l)
      swfFrames.push_back(moviegen::SwfFramesForDelay(Doc.Frames[size_t(l)].Delay));
    const int rate = exporters::ChooseVideoTiming(swfFrames).Rate;
    for (const TFormat& format : kFormats) {
      SCOPED_TRACE(name + format.extension);
      const std::string folder = Dir + (format.extension + 1);
      const std::string out = folder + "/" + name + format.extension;
      fs::create_directories(folder);
      const exporters::TExportReport report = Export(swf, out);
      EXPECT_EQ(report.Path, out);
      EXPECT_EQ(report.Bytes, fs::file_size(out));
      EXPECT_EQ(FilesIn(folder), std::vector<std::string>{name + format.extension});

      const TProbe probe = Probe(out);
      ASSERT_EQ(probe.Streams.size(), sound ? 2u : 1u);
      const QJsonObject* video = probe.Stream("video");
      ASSERT_TRUE(video);
      EXPECT_EQ((*video)["codec_name"].toString(), format.video);
      EXPECT_EQ((*video)["pix_fmt"].toString(), "yuv420p");
      EXPECT_EQ((*video)["width"].toInt(), Doc.Settings.MWidth);
      EXPECT_EQ((*video)["height"].toInt(), Doc.Settings.MHeight);
      EXPECT_NEAR(probe.Duration, MovieSeconds(Doc), 1.0 / rate);
      if (sound) {
        const QJsonObject* audio = probe.Stream("audio");
        ASSERT_TRUE(audio);
        EXPECT_EQ((*audio)["codec_name"].toString(), format.audio);
      }
      // 4:2:0 halves the colour resolution: the samples' hairline borders in
      // saturated colours cost 5/255 even before the codec (flat colours: below).
      EXPECT_LT(MeanDifference(rendered, FirstPicture(out, Dir + "first.png")), 8.0);
    }
    fs::remove(swf);
  }
}

TEST_F(VideoExport, Mp4HasItsIndexBeforeThePictures) {
  SmallMovie(64, 32);
  const std::string out = Dir + "small.mp4";
  Export(BuildMovie(), out);
  const std::vector<std::string> boxes = TopLevelBoxes(ReadFile(out));
  const auto moov = std::find(boxes.begin(), boxes.end(), "moov");
  const auto mdat = std::find(boxes.begin(), boxes.end(), "mdat");
  ASSERT_NE(mdat, boxes.end());
  EXPECT_LT(moov, mdat);
}

// yuv420p needs even sides: the scaled stage keeps its shape in the top left
// and the extra column and row repeat its edge.
TEST_F(VideoExport, OddSizesArePaddedNotStretched) {
  SmallMovie(101, 51);
  const std::string swf = BuildMovie();
  const auto movie = std::make_shared<const player::TMovie>(player::ReadMovieFile(swf));
  for (const double scale : {1.0, 1.5}) {
    SCOPED_TRACE(scale);
    const std::string out = Dir + "odd.webm";
    Export(swf, out, scale);
    const QImage rendered = player::RenderFrame(movie, 0, scale);
    const QImage picture = FirstPicture(out, Dir + "first.png");
    EXPECT_EQ(picture.width(), rendered.width() + (rendered.width() & 1));
    EXPECT_EQ(picture.height(), rendered.height() + (rendered.height() & 1));
    EXPECT_LT(MeanDifference(rendered, picture), 3.0);
    const QImage edge = picture.copy(picture.width() - 1, 0, 1, picture.height() - 1);
    EXPECT_LT(MeanDifference(edge, picture.copy(picture.width() - 2, 0, 1, picture.height() - 1)),
              4.0);
  }
}

// A tone of `seconds` at 22050 Hz, mono.
Bytes Tone(double seconds) {
  Bytes data;
  for (int i = 0; i < int(seconds * 22050); ++i) {
    const int16_t v = int16_t(8000 * std::sin(i * 2 * M_PI * 440 / 22050));
    data.push_back(uint8_t(v));
    data.push_back(uint8_t(uint16_t(v) >> 8));
  }
  return PcmWave(1, 22050, 16, data);
}

// The sound plays once from the start: a short one is followed by silence
// to the movie's end, a long one is cut there.
TEST_F(VideoExport, SoundIsCutOrPaddedToTheMovie) {
  for (const double seconds : {0.3, 2.5}) {
    for (const TFormat& format : kFormats) {
      SCOPED_TRACE(std::to_string(seconds) + format.extension);
      SetUp();
      SmallMovie(64, 32);
      Doc.Settings.MBkgrSound = Media("tone.wav", Tone(seconds));
      const std::string out = Dir + "sound" + format.extension;
      const exporters::TExportReport report = Export(BuildMovie(), out);
      EXPECT_NE(report.Choice.find("sound"), std::string::npos) << report.Choice;
      const TProbe probe = Probe(out);
      const QJsonObject* audio = probe.Stream("audio");
      ASSERT_TRUE(audio);
      EXPECT_EQ((*audio)["channels"].toInt(), 1);
      EXPECT_NEAR(probe.Duration, 1.0, 0.05);
      // Silence is what follows a short sound: the last 0.3 s decode to almost nothing.
      const std::string level =
          RunCommand("ffmpeg -hide_banner -nostats -ss 0.6 -i " + Quoted(out) +
                     " -vn -af volumedetect -f null - 2>&1 | grep -o 'max_volume: [-0-9.]*'");
      const double maxVolume = std::stod(level.substr(level.find(':') + 1));
      if (seconds < 1)
        EXPECT_LT(maxVolume, -50) << level;
      else
        EXPECT_GT(maxVolume, -20) << level;
    }
  }
}

TEST_F(VideoExport, ProgressCountsVideoFramesAndCancelKeepsTheOldFile) {
  SmallMovie(64, 32);
  const std::string swf = BuildMovie();
  fs::create_directories(Dir + "out");
  const std::string out = Dir + "out/movie.mp4";
  std::vector<int64_t> done;
  int64_t total = 0;
  Export(swf, out, 1, [&](int64_t d, int64_t t) {
    done.push_back(d);
    total = t;
    return true;
  });
  EXPECT_EQ(total, 2);  // two frames of 500 ms at 2 fps
  // Each frame once; draining the encoder asks again at the last count.
  done.erase(std::unique(done.begin(), done.end()), done.end());
  EXPECT_EQ(done, (std::vector<int64_t>{1, 2}));

  WriteText(out, "the user's file");
  // Stopped after the first picture was encoded.
  EXPECT_THROW(Export(swf, out, 1, [](int64_t done, int64_t) { return done < 1; }),
               exporters::TExportCancelled);
  EXPECT_EQ(ReadText(out), "the user's file");
  EXPECT_EQ(FilesIn(Dir + "out"), std::vector<std::string>{"movie.mp4"});

  // Stopped while the encoder drains, after every picture was handed over.
  int asked = 0;
  EXPECT_THROW(Export(swf, out, 1, [&](int64_t done, int64_t) { return done < 2 || ++asked < 2; }),
               exporters::TExportCancelled);
  EXPECT_EQ(ReadText(out), "the user's file");
  EXPECT_EQ(FilesIn(Dir + "out"), std::vector<std::string>{"movie.mp4"});
}

TEST_F(VideoExport, FailuresSayWhyAndLeaveNoFile) {
  SmallMovie(64, 32);
  const std::string swf = BuildMovie();
  const std::string notSwf = Media("not-a-movie.swf", Bytes{'h', 'e', 'l', 'l', 'o'});
  const std::string noise = Media("noise.wav", Bytes(300, 0x5A));
  fs::create_directories(Dir + "out/folder.mp4");
  struct Case {
    std::string swf, out, sound;
    double scale;
    std::string message;
  } cases[] = {
      {swf, Dir + "out/movie.avi", "", 1, "A video file name ends in .mp4 or .webm"},
      {swf, Dir + "missing/movie.mp4", "", 1,
       "Error writing the file " + Dir + "missing/movie.mp4"},
      {swf, Dir + "out/folder.mp4", "", 1, "Error writing the file " + Dir + "out/folder.mp4"},
      {notSwf, Dir + "out/movie.mp4", "", 1, "SWF"},
      {swf, Dir + "out/movie.webm", noise, 1, "Cannot read the sound file " + noise},
      {swf, Dir + "out/movie.mp4", "", 1000, "A scale of 1000 makes a side of 64000 pixels"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Doc.Settings.MBkgrSound = c.sound;
    try {
      Export(c.swf, c.out, c.scale);
      ADD_FAILURE() << "no error";
    } catch (const platform::TVellumetError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
    EXPECT_EQ(FilesIn(Dir + "out"), std::vector<std::string>{"folder.mp4"});
  }
}

}  // namespace
