// vellumet export A.sw0 B.sw0 ... -o DIR/: the good projects are written,
// each as the single export writes it, and every failure is named.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "app/run_program.h"

namespace {

using namespace vtest;
namespace fs = std::filesystem;

const char* const kSamples[] = {"banner", "shapes", "backgrounds", "media"};

std::string Sample(const std::string& name) {
  return std::string(VELLUMET_SAMPLES_DIR) + "/" + name + ".sw0";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(BatchExport, SamplesAreWrittenAndTheFailuresNamed) {
  const std::string dir = TestTempDir();
  fs::create_directories(dir + "/again");
  fs::create_directories(dir + "/out");
  WriteText(dir + "/broken.sw0", "[Quillmark Project File v.1.6]\r\n[Frames=many]\r\n");
  fs::copy_file(Sample("banner"), dir + "/again/banner.sw0");
  std::vector<std::string> args = {"export"};
  for (const char* s : kSamples) args.push_back(Sample(s));
  args.insert(args.end(), {"broken.sw0", "again/banner.sw0", "-o", "out/"});

  const TRun run = RunVellumet(args, dir);
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "vellumet: 2 of 6 projects failed\n");
  const std::vector<std::string> lines = Lines(run.Out);
  ASSERT_EQ(lines.size(), 6u) << run.Out;
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(kSamples[i]);
    const std::string swf = "out/" + std::string(kSamples[i]) + ".swf";
    const std::regex line(std::regex_replace(Sample(kSamples[i]), std::regex("[.]"), "[.]") + ": " +
                          swf + ", ([0-9]+) bytes, [0-9]+[.][0-9]{2} s");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, line)) << lines[i];
    const Bytes written = ReadFile(dir + "/" + swf);
    EXPECT_EQ(match[1], std::to_string(written.size()));
    EXPECT_TRUE(fs::exists(dir + "/out/" + kSamples[i] + ".html"));
    KeepSwfForParserCheck(std::string(kSamples[i]) + ".swf", written);
    // The projects were built side by side: each movie is the one built alone.
    const std::string alone = std::string(kSamples[i]) + "-alone.swf";
    ASSERT_EQ(RunVellumet({"export", Sample(kSamples[i]), "-o", alone}, dir).Status, 0);
    EXPECT_TRUE(SameBytes(ReadFile(dir + "/" + alone), written));
  }
  EXPECT_EQ(lines[4],
            "broken.sw0: Error reading the file broken.sw0: line 2: the frame count is not a "
            "number");
  EXPECT_EQ(lines[5],
            "again/banner.sw0: its movie out/banner.swf would replace that of " + Sample("banner"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/out"), fs::directory_iterator()), 8);
}

}  // namespace
