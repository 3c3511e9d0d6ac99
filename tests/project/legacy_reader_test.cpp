#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "project/document.h"
#include "project/project_file.h"
#include "recording_view.h"
#include "support/bytes.h"

namespace {

using vtest::ReadText;
using vtest::WriteText;

using namespace project;
namespace fs = std::filesystem;

// A version 1.2 file, one value per line.
class TLegacyFile {
 public:
  TLegacyFile& Line(const std::string& v) {
    text_ += v + "\r\n";
    return *this;
  }
  TLegacyFile& Num(long v) { return Line(std::to_string(v)); }
  TLegacyFile& Nums(std::initializer_list<long> vs) {
    for (long v : vs) Num(v);
    return *this;
  }
  // "[FRAME]", the 14 frame fields, two "0" lines and the object count.
  TLegacyFile& Frame(long delay, long objects) {
    Line("[FRAME]").Nums({255, delay, 1, 258, 11, 12, 1, 2, 0, 4, 5, 13, 14, 15}).Nums({0, 0});
    return Num(objects);
  }
  TLegacyFile& Object(long kind, const std::string& text, const std::string& sound) {
    Line("[Object]").Nums({kind, 10, 20, 30, 40, 5, 3, 100, 101, 102, 40, 60, 7, 2, 103, -45});
    Line(text).Line("Verdana").Nums({104, 24, 2, 1, 0}).Line("http://x.example/a,b");
    return Line(sound).Nums({0, 0});
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

TLegacyFile Header(const std::string& sound, const std::string& url, long frames) {
  TLegacyFile f;
  f.Line("[Quillmark Project File v.1.2]").Nums({96, 300, 100, 8421376, 16777215, 0});
  f.Line(sound).Num(0).Line(url).Num(frames);
  return f;
}

class LegacyFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = vtest::TestTempDir() + "/";
    doc_.TempDir = dir_ + "tmp/";
    doc_.ProgramDir = dir_ + "prog/";
    fs::create_directories(doc_.TempDir);
    fs::create_directories(doc_.ProgramDir);
  }
  std::string dir_;
  TProjectDocument doc_;
};

TEST_F(LegacyFile, OpensAndSavesAgainAsVersion16WithMediaEmbedded) {
  WriteText(dir_ + "pic.bmp", "BM picture");
  WriteText(dir_ + "bg.wav", "RIFF background");
  WriteText(dir_ + "over.wav", "RIFF over");
  std::string path = dir_ + "old.sw0";
  TLegacyFile file = Header(dir_ + "bg.wav", "http://banner.example/", 2);
  file.Frame(80, 2)
      .Object(skPicture, dir_ + "pic.bmp", "")
      .Object(skButton, dir_ + "pic.bmp", dir_ + "over.wav");
  file.Frame(90, 0);
  WriteText(path, file.Text());

  doc_.Settings.MainURL = "http://previous.example/";
  vtest::TRecordingView view;
  doc_.SetView(view);
  ASSERT_TRUE(doc_.OpenMV(path)) << view.LastDetail;
  EXPECT_EQ(view.Calls.front(), "mode locked");
  EXPECT_EQ(doc_.FrameCount, 2);
  EXPECT_EQ(doc_.Settings.MWidth, 300);
  EXPECT_EQ(doc_.Settings.MLoop, 0);
  EXPECT_EQ(doc_.Settings.MBkgrSound, dir_ + "bg.wav");
  EXPECT_EQ(doc_.Settings.MainURL, "http://banner.example/");  // the line its writers put there
  const TFrameRec& f = doc_.Frames[1];
  EXPECT_EQ(f.Delay, 80);
  EXPECT_EQ(f.GradStyle, 2);  // 258 keeps its low 8 bits
  EXPECT_EQ(f.BorderShadowCol, 15);
  const TShapeRec& button = f.Slots[2];
  EXPECT_EQ(button.Object, skButton);
  EXPECT_EQ(button.Angle, -45);
  EXPECT_EQ(button.Text, dir_ + "pic.bmp");
  EXPECT_EQ(button.Font, "Verdana");
  EXPECT_EQ(button.FontSize, 24);
  EXPECT_EQ(button.FBold, 1);
  EXPECT_EQ(button.URL, "http://x.example/a,b");
  EXPECT_EQ(button.SoundEv, dir_ + "over.wav");
  EXPECT_EQ(doc_.Frames[2].Delay, 90);
  EXPECT_EQ(doc_.Frames[2].Slots.RecordCount(), 0u);
  EXPECT_TRUE(doc_.TempFileList().empty());  // nothing is unpacked from this version

  doc_.SaveMV_NEW(doc_.ProjectFileName);
  std::string saved = ReadText(path);
  EXPECT_EQ(saved.substr(0, 32), std::string(HeaderV16) + "\r\n");
  for (const char* block : {"{File=bg.wav\r\n", "{File=over.wav\r\n", "{File=pic.bmp\r\n"})
    EXPECT_NE(saved.find(block), std::string::npos) << block;

  TProjectDocument reopened;
  reopened.TempDir = dir_ + "tmp2/";
  fs::create_directories(reopened.TempDir);
  ASSERT_TRUE(reopened.OpenMV(path));
  EXPECT_EQ(reopened.Frames[1].Slots[2].Text, "pic.bmp");
  EXPECT_EQ(reopened.Settings.MainURL, "http://banner.example/");
  EXPECT_EQ(ReadText(reopened.TempDir + "over.wav"), "RIFF over");
}

TEST_F(LegacyFile, AZeroLinkLineMeansNoLink) {
  std::string path = dir_ + "zero.sw0";
  TLegacyFile file = Header("0", "0", 1);
  file.Frame(50, 0);
  WriteText(path, file.Text());
  doc_.Settings.MainURL = "http://previous.example/";
  ASSERT_TRUE(doc_.OpenMV(path));
  EXPECT_EQ(doc_.Settings.MainURL, "");
}

TEST_F(LegacyFile, BadFilesLeaveTheOpenDocumentAlone) {
  struct Row {
    const char* name;
    std::string text;
  };
  TLegacyFile good = Header("", "", 1);
  good.Frame(50, 1).Object(skCircle, "", "");
  std::string ok = good.Text();
  TLegacyFile notNumber = Header("", "", 1);
  notNumber.Frame(50, 1).Line("[Object]").Line("circle");
  TLegacyFile tooMany = Header("", "", 1);
  tooMany.Frame(50, 256);
  TLegacyFile negative = Header("", "", 1);
  negative.Frame(50, -1);
  const Row rows[] = {
      {"truncated", ok.substr(0, ok.size() - 40)},
      {"not a number", notNumber.Text()},
      {"object count above 255", tooMany.Text()},
      {"negative object count", negative.Text()},
      {"huge frame count", Header("", "", 2000000000).Text() + ok.substr(ok.find("[FRAME]"))},
      {"no frames", Header("", "", 0).Text()},
      {"frame count not a number", Header("", "", 1).Text() + "x"},
  };
  ASSERT_TRUE(doc_.OpenMV([&] {
    WriteText(dir_ + "ok.sw0", ok);
    return dir_ + "ok.sw0";
  }()));
  TProjectDocument before = doc_;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string path = dir_ + "bad.sw0";
    WriteText(path, r.text);
    vtest::TRecordingView view;
    doc_.SetView(view);
    EXPECT_FALSE(doc_.OpenMV(path));
    EXPECT_EQ(view.LastMessage, "Error reading the file " + path);
    EXPECT_EQ(doc_.Frames, before.Frames);
    EXPECT_EQ(doc_.Settings, before.Settings);
    EXPECT_EQ(doc_.ProjectFileName, dir_ + "ok.sw0");
  }
}

}  // namespace
