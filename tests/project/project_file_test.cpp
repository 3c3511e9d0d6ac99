#include "project/project_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/folders.h"
#include "project/base64.h"
#include "project/document.h"
#include "project/key_line.h"
#include "project/record_fields.h"
#include "recording_view.h"
#include "support/bytes.h"

namespace {

using vtest::ReadText;
using vtest::WriteText;

using namespace project;
namespace fs = std::filesystem;

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// A document whose temporary and program folders lie in the test's folder.
class ProjectFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = vtest::TestTempDir() + "/";
    Point(doc_, "tmp");
  }
  void Point(TProjectDocument& doc, const std::string& temp) {
    doc.TempDir = dir_ + temp + "/";
    doc.ProgramDir = dir_ + "prog/";
    fs::create_directories(doc.TempDir);
    fs::create_directories(doc.ProgramDir);
  }
  std::string dir_;
  TProjectDocument doc_;
};

TEST_F(ProjectFile, NewProjectSavesAsTheDocumentedBytes) {
  std::string expected =
      "[Quillmark Project File v.1.6]\r\n"
      "[Frames=20]\r\n"
      "MResolution=96,MWidth=468,MHeight=60,MSiteColor=8421376,MBkgrColor=16777215,MLoop=1,"
      "MBkgrSound=,MainURL=\r\n";
  for (int i = 1; i <= 20; ++i)
    expected += "[Frame=" + std::to_string(i) +
                "]\r\nBkgrColor=16777215,Delay=50,AddGrad=0,GradStyle=1,GradCol1=8978431,"
                "GradCol2=16755524,AddBorder=0,BorderInnerStyle=1,BorderOuterStyle=2,BevelW=1,"
                "BorderW=3,BorderCol=8913151,BorderHighLightCol=14199807,"
                "BorderShadowCol=5898408\r\n";
  vtest::TRecordingView view;
  doc_.SetView(view);
  doc_.Modify(true);
  std::string path = dir_ + "new.sw0";
  doc_.SaveMV_NEW(path);
  EXPECT_EQ(ReadText(path), expected);
  EXPECT_FALSE(doc_.Modified);
  EXPECT_EQ(view.Calls.back(), "saved " + path);
}

TEST(KeyLine, ValuesRunToTheNextKeyAndTextToTheEnd) {
  const std::string object =
      "Object=7,X=-123456789,Y=5,W=0,H=0,Radius=0,Fill=0,Color=255,GrColor1=0,GrColor2=0,GrX=50,"
      "GrY=50,Alpha=0,Border=2,BorderColor=0,Angle=-90,Font=Times, New,FontColor=0,FontSize=36,"
      "Spacing=1,FBold=1,FItalic=0,URL=http://a.example/?q=1,2&Text=3,SoundEv=s.wav,"
      "Text=Price, X=5, Text=6";
  struct Row {
    std::string_view key;
    int32_t number;
    std::string text;
  };
  const Row rows[] = {
      {"X", -123456789, "-123456789"},  // longer than 8 characters, still read whole
      {"Angle", -90, "-90"},
      {"Color", 255, "255"},      // not confused with GrColor1 or BorderColor
      {"Font", 0, "Times, New"},  // a comma inside a value is kept
      {"URL", 0, "http://a.example/?q=1,2&Text=3"},
      {"SoundEv", 0, "s.wav"},
      {"Text", 0, "Price, X=5, Text=6"},  // runs to the end of the line
      {"Missing", 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(DecodeInt(object, r.key), r.number);
    EXPECT_EQ(DecodeStr(object, r.key), r.text);
  }
  EXPECT_EQ(DecodeInt("BevelW=12,BorderW=x", "BorderW"), 0);       // not a number
  EXPECT_EQ(DecodeInt("BevelW=12,junk,BorderW=3", "BevelW"), 12);  // a number stops at a comma
  EXPECT_EQ(DecodeInt("MWidth=99999999999", "MWidth"), 0);         // beyond 32 bits
  EXPECT_EQ(DecodeInt("GrX=5,X=7", "X"), 7);                       // only whole keys match
  EXPECT_EQ(DecodeStr("MainURL=" + std::string(300, 'u'), "MainURL").size(), 255u);
}

TEST(Base64, EncodesAndDecodesEverySizeAndSkipsForeignCharacters) {
  for (size_t size = 0; size < 120; ++size) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) data[i] = uint8_t(i * 37 + 11);
    std::string text;
    AppendBase64(text, data);
    EXPECT_EQ(text.size(), (size + 2) / 3 * 4);
    EXPECT_EQ(DecodeBase64(text), data);
    std::string broken = text;
    broken.insert(broken.size() / 2, "\r\n*\t");
    EXPECT_EQ(DecodeBase64(broken), data);
  }
  std::string text;
  AppendBase64(text, std::vector<uint8_t>{'M', 'a', 'n', 'M', 'a'});
  EXPECT_EQ(text, "TWFuTWE=");
}

// Every kind, every fill and a value off its default in every field.
TProjectDocument& FillRichProject(TProjectDocument& doc, const std::string& media) {
  doc.SetFrameCount(3);
  TMovieSettings& s = doc.Settings;
  s.MWidth = 640;
  s.MHeight = -2;
  s.MSiteColor = RGB(1, 2, 3);
  s.MBkgrColor = RGB(4, 5, 6);
  s.MLoop = 0;
  s.MResolution = 120;
  s.MBkgrSound = media + "music/loop.mp3";
  s.MainURL = "http://example.com/?a=1,b=2";
  TFrameRec& f = doc.Frames[2];
  int v = 1;
  VisitFrameFields(f, [&v](std::string_view, auto& field) { field = decltype(+field)(v++); });
  const uint8_t kinds[] = {skRectangle, skRoundRect, skCircle,  skEllipse, skDiamond,
                           skStar,      skText,      skPicture, skButton};
  int slot = 1;
  for (uint8_t kind : kinds)
    for (uint8_t fill : {fkSolid, fkLinear, fkRadial, fkBitmap, fkNone}) {
      TShapeRec& r = doc.Frames[1].Slots.Edit(slot);
      int n = slot * 100;
      VisitShapeFields(r, [&n](std::string_view name, auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
          field = std::string(name) + "," + std::to_string(n++) + "=x";
        else
          field = decltype(+field)(n++);
      });
      r.Object = kind;
      r.Fill = fill;
      r.Text = kind == skText ? "Hello, world = 1" : media + "pics/a.jpg";
      r.SoundEv = media + "snd/click.wav";
      ++slot;
    }
  // The same file name in another folder: one of them is kept.
  doc.Frames[3].Slots.Edit(2).Object = skPicture;
  doc.Frames[3].Slots.Edit(2).Text = media + "other/a.jpg";
  doc.Frames[3].Slots.Edit(60).Object = skRectangle;
  doc.Frames[3].Slots.Edit(60).Fill = fkBitmap;
  doc.Frames[3].Slots.Edit(60).Text = media + "pics/fill.bmp";
  doc.Frames[3].Slots.Edit(61).Object = skPicture;
  doc.Frames[3].Slots.Edit(61).Text = "missing.jpg";  // skipped without a message
  return doc;
}

// What a save keeps: the file-name parts of media references.
TProjectDocument Saved(const TProjectDocument& doc) {
  TProjectDocument out;
  out.Settings = doc.Settings;
  out.Settings.MBkgrSound = std::string(platform::FileNamePart(doc.Settings.MBkgrSound));
  out.Frames = doc.Frames;
  out.FrameCount = doc.FrameCount;
  for (TFrameRec& f : out.Frames)
    for (int n = 1; n <= MaxShapeSlots; ++n) {
      if (f.Slots[n].IsBlank()) continue;
      TShapeRec& r = f.Slots.Edit(n);
      r.SoundEv = std::string(platform::FileNamePart(r.SoundEv));
      if (r.TextIsFile()) r.Text = std::string(platform::FileNamePart(r.Text));
    }
  return out;
}

TEST_F(ProjectFile, ARichProjectSavesAndReopensWithItsMedia) {
  std::string media = dir_ + "media/";
  WriteText(media + "music/loop.mp3", std::string(5000, 'M'));
  WriteText(media + "snd/click.wav", "RIFF click");
  WriteText(media + "pics/a.jpg", std::string(57 * 3, '\xFF'));
  WriteText(media + "other/a.jpg", "the second a.jpg");
  WriteText(media + "pics/fill.bmp", "BM fill");
  FillRichProject(doc_, media);
  std::string path = dir_ + "rich.sw0";
  doc_.Modify(true);
  doc_.SaveMV_NEW(path);

  std::string text = ReadText(path);
  EXPECT_NE(text.find("\r\n{File=loop.mp3\r\n"), std::string::npos);
  EXPECT_EQ(text.find("other"), std::string::npos);
  size_t block = text.find("{File=a.jpg\r\n") + 13;
  EXPECT_EQ(text.substr(block, 78), Repeat("/", 76) + "\r\n");  // 57 bytes per 76-character line

  vtest::TRecordingView view;
  TProjectDocument reopened(view);
  Point(reopened, "tmp2");
  ASSERT_TRUE(reopened.OpenMV(path)) << view.LastDetail;
  TProjectDocument expected = Saved(doc_);
  EXPECT_EQ(reopened.Settings, expected.Settings);
  ASSERT_EQ(reopened.FrameCount, 3);
  for (int i = 1; i <= 3; ++i)
    for (int n = 1; n <= MaxShapeSlots; ++n) {
      SCOPED_TRACE(testing::Message() << "frame " << i << " slot " << n);
      EXPECT_EQ(reopened.Frames[size_t(i)].Slots[n], expected.Frames[size_t(i)].Slots[n]);
    }
  EXPECT_EQ(reopened.Frames[2], expected.Frames[2]);
  EXPECT_EQ(reopened.Frames[1].Slots[31].Text, "Hello, world = 1");
  EXPECT_EQ(reopened.Settings.MainURL, "http://example.com/?a=1,b=2");
  EXPECT_EQ(reopened.ProjectFileName, path);
  EXPECT_EQ(reopened.ProjectDir, dir_);
  EXPECT_EQ(reopened.CurrentFrame, 1);
  EXPECT_EQ(view.Calls, (std::vector<std::string>{"mode locked", "opened " + path, "unmodified",
                                                  "open finished", "close on"}));

  const std::string tmp = reopened.TempDir;
  EXPECT_EQ(ReadText(tmp + "loop.mp3"), std::string(5000, 'M'));
  EXPECT_EQ(ReadText(tmp + "click.wav"), "RIFF click");
  EXPECT_EQ(ReadText(tmp + "a.jpg"), std::string(57 * 3, '\xFF'));  // the first one found
  EXPECT_EQ(ReadText(tmp + "fill.bmp"), "BM fill");
  EXPECT_EQ(reopened.TempFileList().size(), 4u);
  reopened.DeleteTempFiles();
  EXPECT_TRUE(fs::is_empty(tmp));
}

// Longer than the writer's buffer, so that the file is written in several pieces.
TEST_F(ProjectFile, TheBytesInMemoryAreTheSavedFile) {
  std::string media = dir_ + "media/";
  WriteText(media + "music/loop.mp3", std::string(200000, 'M'));
  FillRichProject(doc_, media);
  std::string path = dir_ + "rich.sw0";
  doc_.SaveMV_NEW(path);
  EXPECT_EQ(ProjectFileBytes(doc_), ReadText(path));
}

TEST_F(ProjectFile, MediaAreToldApartByWholeNamesAndTextsStayWords) {
  std::string media = dir_ + "media/";
  WriteText(media + "a.jpg.bmp", "long name");
  WriteText(media + "a.jpg", "short name");
  WriteText(media + "Hello", "not a picture");
  doc_.CreateEmptyShape(1, skPicture, 1, 1, TEditMode::emLocked);
  doc_.Frames[1].Slots.Edit(1).Text = media + "a.jpg.bmp";
  doc_.CreateEmptyShape(2, skPicture, 1, 1, TEditMode::emLocked);
  doc_.Frames[1].Slots.Edit(2).Text = media + "a.jpg";
  // A text whose fill field says bitmap (left there by an all-frames edit)
  // still holds words, not a file.
  doc_.CreateEmptyShape(3, skText, 1, 1, TEditMode::emLocked);
  doc_.Frames[1].Slots.Edit(3).Fill = fkBitmap;
  doc_.Frames[1].Slots.Edit(3).Text = media + "Hello";
  std::string path = dir_ + "names.sw0";
  doc_.SaveMV_NEW(path);

  TProjectDocument reopened;
  Point(reopened, "tmp2");
  ASSERT_TRUE(reopened.OpenMV(path));
  EXPECT_EQ(ReadText(reopened.TempDir + "a.jpg.bmp"), "long name");
  EXPECT_EQ(ReadText(reopened.TempDir + "a.jpg"), "short name");
  EXPECT_FALSE(fs::exists(reopened.TempDir + "Hello"));
  EXPECT_EQ(reopened.Frames[1].Slots[3].Text, media + "Hello");
}

TEST_F(ProjectFile, EmptySlotsBelowTheLastUsedOneAreWrittenAndReadBackEmpty) {
  doc_.SetFrameCount(2);
  doc_.CreateEmptyShape(3, skEllipse, 2, 2, TEditMode::emAnimation);
  std::string path = dir_ + "slot3.sw0";
  doc_.SaveMV_NEW(path);
  std::string text = ReadText(path);
  size_t frame1 = text.find("[Frame=1]"), frame2 = text.find("[Frame=2]");
  auto objects = [&](size_t from, size_t to) {
    int count = 0;
    for (size_t at = text.find("\r\nObject=", from); at < to; at = text.find("\r\nObject=", at + 1))
      ++count;
    return count;
  };
  EXPECT_EQ(objects(frame1, frame2), 3);
  EXPECT_EQ(objects(frame2, text.size()), 3);
  EXPECT_NE(text.find("Object=0,X=0"), std::string::npos);

  TProjectDocument reopened;
  Point(reopened, "tmp2");
  ASSERT_TRUE(reopened.OpenMV(path));
  EXPECT_EQ(reopened.Frames, doc_.Frames);
  EXPECT_EQ(reopened.Frames[2].Slots.RecordCount(), 1u);  // empty slots cost nothing
}

TEST_F(ProjectFile, ReadingAcceptsLineFeedsAlone) {
  std::string path = dir_ + "lf.sw0";
  WriteText(path,
            "[Quillmark Project File v.1.6]\n{File=m.txt\naGVsbG8=\n}\n[Frames=1]\n"
            "MResolution=72,MWidth=100\n[Frame=1]\nDelay=70\nObject=1,X=4,Text=a,b\n");
  ASSERT_TRUE(doc_.OpenMV(path));
  EXPECT_EQ(doc_.Settings.MResolution, 72);
  EXPECT_EQ(doc_.Settings.MHeight, 0);  // a missing key reads as 0
  EXPECT_EQ(doc_.Frames[1].Delay, 70);
  EXPECT_EQ(doc_.Frames[1].Slots[1].X, 4);
  EXPECT_EQ(doc_.Frames[1].Slots[1].Text, "a,b");
  EXPECT_EQ(ReadText(doc_.TempDir + "m.txt"), "hello");
}

struct BadFile {
  const char* name;
  std::string content;
};

TEST_F(ProjectFile, BadFilesLeaveTheOpenDocumentAlone) {
  const std::string h = "[Quillmark Project File v.1.6]\r\n";
  const std::string movie = "MResolution=96\r\n";
  const std::string frame = "[Frame=1]\r\nDelay=10,BorderShadowCol=1\r\n";
  const BadFile rows[] = {
      {"no frames line", h + "{File=a.jpg\r\nAAAA\r\n}\r\n"},
      {"frames not a number", h + "[Frames=abc]\r\n" + movie + frame},
      {"frames without bracket", h + "[Frames=1\r\n" + movie + frame},
      {"frames zero", h + "[Frames=0]\r\n" + movie},
      {"frames negative", h + "[Frames=-5]\r\n" + movie + frame},
      {"huge frame count", h + "[Frames=2000000000]\r\n" + movie + frame},
      {"more frames than lines", h + "[Frames=3]\r\n" + movie + frame + frame},
      {"truncated between frames", h + "[Frames=2]\r\n" + movie + frame + "[Frame=2]\r\n"},
      {"truncated within a line", h + "[Frames=1]\r\n" + movie + frame + "Object=1,X=5,Y="},
      {"truncated media block", h + "{File=a.jpg\r\nAAAA\r\n"},
      {"frame marker missing", h + "[Frames=2]\r\n" + movie + frame + "Object=1\r\nObject=2\r\n"},
      {"256 objects", h + "[Frames=1]\r\n" + movie + frame + Repeat("Object=1,Text=\r\n", 256)},
      {"wrong header", "[Quillmark Project File v.1.5]\r\n[Frames=1]\r\n" + movie + frame},
      {"empty file", ""},
      {"binary", std::string("\x00\xFF\r\n\x01", 5)},
  };
  TProjectDocument before = doc_;
  for (const BadFile& r : rows) {
    SCOPED_TRACE(r.name);
    std::string path = dir_ + "bad.sw0";
    WriteText(path, r.content);
    vtest::TRecordingView view;
    doc_.SetView(view);
    EXPECT_FALSE(doc_.OpenMV(path));
    EXPECT_EQ(view.LastMessage, "Error reading the file " + path);
    EXPECT_EQ(view.Calls.back(), "error");
    EXPECT_EQ(doc_.Frames, before.Frames);
    EXPECT_EQ(doc_.Settings, before.Settings);
    EXPECT_EQ(doc_.ProjectFileName, before.ProjectFileName);
    EXPECT_TRUE(fs::is_empty(doc_.TempDir)) << "media of a broken file were unpacked";
  }
  vtest::TRecordingView view;
  doc_.SetView(view);
  EXPECT_FALSE(doc_.OpenMV(dir_ + "does-not-exist.sw0"));
  EXPECT_FALSE(doc_.OpenMV(dir_));  // a folder
  EXPECT_EQ(view.LastMessage, "Error reading the file " + dir_);
}

TEST_F(ProjectFile, MediaNamesNeverLeaveTheTemporaryFolder) {
  std::string path = dir_ + "evil.sw0";
  WriteText(path,
            "[Quillmark Project File v.1.6]\r\n"
            "{File=../../escape.txt\r\naGVsbG8=\r\n}\r\n"
            "{File=/etc/absolute.txt\r\naGVsbG8=\r\n}\r\n"
            "{File=C:\\Windows\\win.txt\r\naGVsbG8=\r\n}\r\n"
            "{File=..\r\naGVsbG8=\r\n}\r\n"
            "{File=.\r\naGVsbG8=\r\n}\r\n"
            "{File=\r\naGVsbG8=\r\n}\r\n"
            "{File=dir/\r\naGVsbG8=\r\n}\r\n"
            "[Frames=1]\r\nMResolution=96\r\n[Frame=1]\r\nDelay=1\r\n");
  ASSERT_TRUE(doc_.OpenMV(path));
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(doc_.TempDir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"absolute.txt", "escape.txt", "win.txt"}));
  EXPECT_FALSE(fs::exists(dir_ + "../escape.txt"));
  EXPECT_FALSE(fs::exists(fs::path(doc_.TempDir).parent_path().parent_path() / "escape.txt"));
}

// Makes a folder unwritable, for root too (immutable flag) where the file
// system allows it.
class TLockedFolder {
 public:
  explicit TLockedFolder(const std::string& dir) : dir_(dir) {
    if (geteuid() != 0) {
      locked_ = chmod(dir.c_str(), 0555) == 0;
      return;
    }
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags |= FS_IMMUTABLE_FL;
      locked_ = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0) close(fd);
  }
  ~TLockedFolder() {
    if (!locked_) return;
    if (geteuid() != 0) {
      chmod(dir_.c_str(), 0755);
      return;
    }
    int fd = open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
  }
  bool Locked() const { return locked_; }

 private:
  std::string dir_;
  bool locked_ = false;
};

TEST_F(ProjectFile, AFailedSaveKeepsTheOldFileAndTheModifiedMark) {
  std::string folder = dir_ + "locked/";
  std::string path = folder + "p.sw0";
  WriteText(path, "the previous project");
  doc_.Modify(true);
  {
    TLockedFolder lock(folder);
    if (!lock.Locked()) GTEST_SKIP() << "cannot make a folder unwritable here";
    try {
      doc_.SaveMV_NEW(path);
      ADD_FAILURE() << "the save into a locked folder succeeded";
    } catch (const TProjectError& e) {
      EXPECT_EQ(std::string(e.what()), "Error writing the file " + path);
    }
  }
  EXPECT_EQ(ReadText(path), "the previous project");
  EXPECT_TRUE(doc_.Modified);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ProjectFile, AFailureHalfWayThroughTheSaveKeepsTheOldFile) {
  std::string path = dir_ + "p.sw0";
  WriteText(path, "the previous project");
  chmod(path.c_str(), 0640);
  // Reading this "regular file" fails, after the header was written.
  doc_.Settings.MBkgrSound = "/proc/self/mem";
  doc_.Modify(true);
  EXPECT_THROW(doc_.SaveMV_NEW(path), TProjectError);
  EXPECT_EQ(ReadText(path), "the previous project");
  EXPECT_TRUE(doc_.Modified);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3)
      << "the temporary file was left behind";  // p.sw0, tmp/, prog/

  doc_.Settings.MBkgrSound.clear();
  doc_.SaveMV_NEW(path);  // a good save keeps the file's permissions
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ProjectFile, SavingThroughALinkReplacesTheLinkedFile) {
  std::string real = dir_ + "real.sw0", link = dir_ + "link.sw0";
  WriteText(real, "old");
  fs::create_symlink(real, link);
  doc_.SaveMV_NEW(link);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadText(real).substr(0, 30), HeaderV16);
}

TEST_F(ProjectFile, LinesInsideValuesCannotBreakTheFile) {
  doc_.CreateEmptyShape(1, skText, 1, 1, TEditMode::emLocked);
  doc_.Frames[1].Slots.Edit(1).Text = "two\r\nlines";
  doc_.Frames[1].Slots.Edit(1).URL = "a\nb";
  std::string path = dir_ + "lines.sw0";
  doc_.SaveMV_NEW(path);
  TProjectDocument reopened;
  Point(reopened, "tmp2");
  ASSERT_TRUE(reopened.OpenMV(path));
  EXPECT_EQ(reopened.Frames[1].Slots[1].Text, "two  lines");
  EXPECT_EQ(reopened.Frames[1].Slots[1].URL, "a b");
  EXPECT_EQ(reopened.Frames[1].Slots[2].Object, skNone);
}

}  // namespace
