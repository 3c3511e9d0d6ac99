// `vellumet render --audio` on the media sample: the program itself writes
// the WAV, and sox's statistics of it are set against the sample's tune
// decoded by the mpg123 command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/run_program.h"
#include "player/sound_support.h"
#include "player/swf_builder.h"
#include "support/bytes.h"
#include "support/sound_data.h"

namespace {

// The program is built with the sanitizers; fontconfig keeps its caches.
int Vellumet(const std::string& args) {
  const std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 '") + VELLUMET_APP +
                              "' render " + args + " 2>/dev/null";
  return WEXITSTATUS(std::system(command.c_str()));
}

// sox's "stats" for the file, less `effects` (trim ...): name -> first column.
std::map<std::string, double> Stats(const std::string& path, const std::string& effects = "") {
  const vtest::Bytes text =
      vtest::CommandOutput("sox '" + path + "' -n " + effects + " stats 2>&1");
  std::istringstream in(std::string(text.begin(), text.end()));
  std::map<std::string, double> stats;
  for (std::string line; std::getline(in, line);) {
    const size_t cut = line.find_first_of("0123456789-", 13);
    if (line.size() > 14 && cut != std::string::npos)
      stats[line.substr(0, 13).erase(line.substr(0, 13).find_last_not_of(' ') + 1)] =
          std::atof(line.c_str() + cut);
  }
  return stats;
}

class RenderAudio : public testing::Test {
 protected:
  void SetUp() override {
    if (!vtest::HasTool("sox") || !vtest::HasTool("mpg123"))
      GTEST_SKIP() << "sox and mpg123 are not installed (make deps)";
    dir_ = vtest::TestTempDir();
    tune_ = dir_ + "/tune.wav";
    vtest::CommandOutput("mpg123 -q -w '" + tune_ + "' '" + vtest::SamplesMediaPath("tune.mp3") + "'");
    ASSERT_TRUE(std::filesystem::exists(tune_));
  }
  std::string Sample() const {
    return (std::filesystem::path(vtest::SamplesMediaPath("")) / ".." / "media.sw0").string();
  }
  std::string dir_, tune_;
};

// Three frames of 0.7 s and a 2.06 s background tune: the movie's length,
// and the tune's loudness while it plays.
TEST_F(RenderAudio, MediaSampleSoundsAsItsTune) {
  const std::string out = dir_ + "/media.wav";
  ASSERT_EQ(Vellumet("--audio '" + out + "' '" + Sample() + "'"), 0);
  const auto wav = Stats(out), tune = Stats(tune_);
  EXPECT_NEAR(wav.at("Length s"), std::max(2.1, tune.at("Length s")), 0.011);
  const auto wavPart = Stats(out, "trim 0 2"), tunePart = Stats(tune_, "trim 0 2");
  EXPECT_NEAR(wavPart.at("RMS lev dB"), tunePart.at("RMS lev dB"), 0.5);
  EXPECT_NEAR(wavPart.at("Pk lev dB"), tunePart.at("Pk lev dB"), 0.5);
  EXPECT_LT(Stats(out, "trim 2.07").at("Pk lev dB"), -90) << "silence after the tune";
}

// Looping for N seconds, the tune starts again with the movie's second pass.
TEST_F(RenderAudio, SecondsGiveThatLengthOfTheLoopingMovie) {
  const std::string out = dir_ + "/media-3s.wav";
  ASSERT_EQ(Vellumet("--audio '" + out + "' '" + Sample() + "' --seconds 3"), 0);
  EXPECT_NEAR(Stats(out).at("Length s"), 3.0, 1e-6);
  EXPECT_NEAR(Stats(out, "trim 2.1 0.8").at("RMS lev dB"), Stats(tune_, "trim 0 0.8").at("RMS lev dB"),
              0.5);
}

TEST_F(RenderAudio, BadInputWritesNothing) {
  const std::string junk = vtest::WriteTestFile(dir_, "junk.swf", vtest::Bytes(100, 'x'));
  const std::string out = dir_ + "/junk.wav";
  EXPECT_EQ(Vellumet("--audio '" + out + "' '" + junk + "'"), 1);
  EXPECT_EQ(Vellumet("--audio '" + out + "' '" + Sample() + "' --seconds 0"), 2);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

// A sound in a format the player cannot decode is not dropped in silence:
// both the tag listing and the audio render name it, and the render still
// writes the movie's (silent) length.
TEST(RenderAudioWarnings, UndecodableSoundIsNamed) {
  vtest::TSwfBuilder b(100, 100);
  b.Tag(swf::tagDefineSound, vtest::hex("01 00 | 7A | 10 00 00 00 | D5 D5"));  // G.711 A-law
  b.Tag(swf::tagStartSound, vtest::hex("01 00 | 00"));
  b.ShowFrame();
  const std::string dir = vtest::TestTempDir();
  const std::string swf = vtest::WriteTestFile(dir, "alaw.swf", b.Build());
  const std::string warning =
      "warning: DefineSound 1: sound format 7 (G.711 A-law) cannot be decoded; it plays as silence";
  const vtest::TRun dump = vtest::RunVellumet({"dump", swf}, dir);
  EXPECT_EQ(dump.Status, 0);
  EXPECT_NE(dump.Out.find(warning), std::string::npos) << dump.Out;
  const vtest::TRun render = vtest::RunVellumet({"render", "--audio", dir + "/alaw.wav", swf}, dir);
  EXPECT_EQ(render.Status, 0);
  EXPECT_NE(render.Err.find(warning), std::string::npos) << render.Err;
  EXPECT_TRUE(std::filesystem::exists(dir + "/alaw.wav"));
}

}  // namespace
