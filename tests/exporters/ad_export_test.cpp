// The ad packages of the samples: each passes the checker for each shipped
// profile and is read back by tools of their own (unzip, Python's zipfile);
// the loops, the sound and the backup picture follow the options and the
// profile.
#include "exporters/ad_export.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "exporters/package_frames.h"
#include "exporters/zip_archive.h"
#include "moviegen/build_fixture.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "player/swf_reader.h"
#include "swf/core/frame_arrival.h"

namespace {

using namespace vtest;
namespace fs = std::filesystem;

// The least a file takes deflated, as the ZIP stores it at best.
uint64_t Compressed(const std::vector<uint8_t>& bytes) {
  uLongf length = compressBound(uLong(bytes.size()));
  std::vector<uint8_t> out(length);
  compress2(out.data(), &length, bytes.data(), uLong(bytes.size()), 9);
  return std::min<uint64_t>(length, bytes.size());
}

const char* const kSamples[] = {"banner.sw0", "shapes.sw0", "backgrounds.sw0", "media.sw0"};
const char* const kProfiles[] = {"iab", "google-ads", "ad-manager", "campaign-manager"};

class AdExport : public BuildTest {
 protected:
  // The shipped profiles, and one with tight limits, found as the user's own.
  static void SetUpTestSuite() {
    const std::string config = TestTempDir() + "/config";
    const std::string folder = config + "/vellumet/ad-profiles";
    fs::create_directories(folder);
    for (const char* name : kProfiles)
      fs::copy_file(std::string(VELLUMET_SAMPLES_DIR) + "/../data/AdProfiles/" + name + ".json",
                    folder + "/" + name + ".json", fs::copy_options::overwrite_existing);
    WriteText(folder + "/tight.json", "{\"maxBackupKB\": 8, \"maxAnimationSeconds\": 2}");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }

  std::string BuildSample(const std::string& name) {
    SetUp();
    EXPECT_TRUE(Doc.OpenMV(std::string(VELLUMET_SAMPLES_DIR) + "/" + name)) << name;
    return moviegen::CreateMovie(Doc, Host, true, false, false);
  }

  static std::string Entry(const exporters::TAdPackageBuild& build, const std::string& name) {
    for (const exporters::TZipEntry& e : exporters::ReadZip(build.Zip))
      if (e.Name == name) return {e.Bytes.begin(), e.Bytes.end()};
    return "";
  }
};

TEST_F(AdExport, EverySampleForEveryProfilePassesTheCheckAndReadsBack) {
  for (const char* sample : kSamples) {
    const std::string swf = BuildSample(sample);
    for (const char* profile : kProfiles) {
      SCOPED_TRACE(std::string(sample) + " for " + profile);
      exporters::TAdExportOptions options;
      options.Profile = profile;
      const exporters::TAdPackageBuild build = exporters::BuildAdPackage(swf, Doc, options);
      for (const exporters::TRuleResult& result : build.Check)
        EXPECT_NE(result.State, exporters::TRuleState::Failed) << exporters::RuleLine(result);
      if (std::string(sample) == "banner.sw0" && std::string(profile) == "google-ads") {
        EXPECT_LE(build.Zip.size(), 30000u);
      }
      const std::string zip = Dir + "package.zip";
      WriteText(zip, std::string(build.Zip.begin(), build.Zip.end()));
      EXPECT_EQ(std::system(("unzip -tq " + zip + " > /dev/null").c_str()), 0);
      const std::string python =
          "python3 -c \"import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
          "sys.exit(z.testzip() is not None or 'index.html' not in z.namelist())\" " +
          zip;
      EXPECT_EQ(std::system(python.c_str()), 0);
    }
  }
}

TEST_F(AdExport, LoopsAndSoundFollowTheOptionsAndTheProfile) {
  const std::string swf = BuildSample("banner.sw0");  // loops, 3.34 s, has sound
  struct Row {
    const char* Profile;
    std::optional<int> Loops;
    int MovieLoops;  // the project's Loop Playback
    const char* Meta;
    const char* Message;  // the first message; "" for a backup's only
    const char* Sound;
  };
  const Row rows[] = {
      {"iab", std::nullopt, 1, "duration=3.34,loops=4",
       "Loops: 4 of 3.34 s, the most iab's limit of 15 s allows", "\"sound\":true"},
      {"iab", 2, 1, "duration=3.34,loops=2", "", "\"sound\":true"},
      {"iab", std::nullopt, 0, "duration=3.34,loops=1", "", "\"sound\":true"},
      {"google-ads", std::nullopt, 1, "duration=3.34,loops=8", "Loops: 8", "\"sound\":false"},
      // Over the limit even once: still one loop, and the check says so.
      {"tight", std::nullopt, 1, "duration=3.34,loops=1", "Loops: 1", "\"sound\":true"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Profile);
    Doc.Settings.MLoop = row.MovieLoops;
    exporters::TAdExportOptions options;
    options.Profile = row.Profile;
    options.Loops = row.Loops;
    const exporters::TAdPackageBuild build = exporters::BuildAdPackage(swf, Doc, options);
    const std::string html = Entry(build, "index.html");
    EXPECT_NE(html.find("<meta name=\"ad.animation\" content=\"" + std::string(row.Meta) + "\">"),
              std::string::npos);
    EXPECT_NE(html.find("<meta name=\"ad.size\" content=\"width=468,height=60\">"),
              std::string::npos);
    EXPECT_NE(html.find(row.Sound), std::string::npos);
    EXPECT_EQ(build.Messages.front().rfind(row.Message, 0), 0u) << build.Messages.front();
    const bool soundLeftOut = std::string(row.Sound) == "\"sound\":false";
    EXPECT_EQ(std::count(build.Messages.begin(), build.Messages.end(),
                         "Sound left out: google-ads allows none"),
              soundLeftOut ? 1 : 0);
  }
  // The tight profile's 2 s cannot be met by a 3.34 s movie.
  exporters::TAdExportOptions tight;
  tight.Profile = "tight";
  const exporters::TAdPackageBuild over = exporters::BuildAdPackage(swf, Doc, tight);
  EXPECT_FALSE(exporters::AllPassed(over.Check));
}

TEST_F(AdExport, TheBackupPictureIsTheChosenFrameWithinTheLimit) {
  const std::string swf = BuildSample("banner.sw0");
  exporters::TAdExportOptions options;
  auto backup = [&](const exporters::TAdPackageBuild& build) {
    for (const char* name : {"backup.png", "backup.jpg"})
      if (std::string bytes = Entry(build, name); !bytes.empty())
        return std::make_pair(std::string(name),
                              QImage::fromData(QByteArray::fromStdString(bytes)));
    return std::make_pair(std::string(), QImage());
  };
  const auto last = backup(exporters::BuildAdPackage(swf, Doc, options));
  EXPECT_EQ(last.first, "backup.png");
  EXPECT_EQ(last.second.size(), QSize(468, 60));
  options.BackupFrame = 1;
  const auto first = backup(exporters::BuildAdPackage(swf, Doc, options));
  EXPECT_NE(first.second, last.second);

  // The last frame's PNG is 9.5 KB: within 8 KB only a JPEG fits.
  options.BackupFrame = 0;
  options.Profile = "tight";
  const exporters::TAdPackageBuild tight = exporters::BuildAdPackage(swf, Doc, options);
  const auto small = backup(tight);
  EXPECT_EQ(small.first, "backup.jpg");
  EXPECT_LE(Entry(tight, "backup.jpg").size(), 8000u);

  options.BackupFrame = Doc.FrameCount + 1;
  EXPECT_THROW(exporters::BuildAdPackage(swf, Doc, options), platform::TVellumetError);
  options.BackupFrame = 0;
  options.Profile = "no-such-profile";
  EXPECT_THROW(exporters::BuildAdPackage(swf, Doc, options), platform::TVellumetError);
}

}  // namespace

// What each frame adds to the package adds up to it, and a picture counts in
// the frame whose cut of the movie first brings its file into the package.
TEST_F(AdExport, ThePackagesFramesAddUpToItWithEachPictureInItsFirstFrame) {
  const std::string swf = BuildSample("backgrounds.sw0");
  exporters::TAdExportOptions options;
  options.Profile = "campaign-manager";  // pictures as files
  const exporters::TAdPackageBuild build = exporters::BuildAdPackage(swf, Doc, options);
  const std::vector<uint8_t> movie = player::ReadFileBytes(swf);
  const std::vector<int32_t> counts = moviegen::SwfFrameCounts(Doc);
  const std::vector<uint64_t> bytes = exporters::PackageFrameBytes(movie, Doc, build, counts);
  ASSERT_EQ(bytes.size(), counts.size());
  uint64_t total = 0;
  for (uint64_t b : bytes) total += b;
  EXPECT_EQ(total, build.Zip.size());
  EXPECT_GE(bytes[0], build.Backup.Bytes.size());

  std::set<std::string> seen;
  const std::vector<uint8_t> plain = swf::PlainMovie(movie);
  size_t swfEnd = 0, pictures = 0;
  for (size_t i = 0; i < counts.size(); ++i) {
    swfEnd += size_t(std::max(counts[i], 1));
    for (const exporters::TZipEntry& file :
         exporters::AdPackageFiles(swf::FirstFrames(plain, swfEnd), Doc, build)) {
      if (file.Name.rfind("picture", 0) != 0 || !seen.insert(file.Name).second) continue;
      ++pictures;
      EXPECT_GE(bytes[i], Compressed(file.Bytes)) << file.Name << " first in frame " << i + 1;
    }
  }
  EXPECT_GT(pictures, 1u);
}
