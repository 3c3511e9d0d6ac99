#pragma once
// A project document whose folders lie in the test's own temporary folder,
// a host that records what the build asks of the window, and builds read
// back as tag streams.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "moviegen/build_host.h"
#include "moviegen/movie_build.h"
#include "project/document.h"
#include "support/bytes.h"
#include "support/swf_walk.h"

namespace vtest {

class TRecordingHost : public moviegen::IBuildHost {
 public:
  std::vector<std::string> Calls;
  std::vector<std::string> Warnings;
  std::string Cache;
  bool Guard = false;
  int GuardDepth = 0;

  bool UpdateGuard() const override { return Guard; }
  void SetUpdateGuard(bool on) override { GuardDepth += on ? 1 : -1; }
  void PlaceStage(int w, int h) override {
    Calls.push_back("stage " + std::to_string(w) + "x" + std::to_string(h));
  }
  void SetPlayerBackground(project::TColor c) override {
    Calls.push_back("background " + std::to_string(c));
  }
  void PlayerLoadStarting() override { Calls.push_back("load starting"); }
  void LoadMovie(const std::string& path, bool refresh) override {
    Calls.push_back(std::string("load") + (refresh ? " refresh" : ""));
    LoadedExisted = std::filesystem::exists(path);
  }
  void ShowFrame(int frame) override { Calls.push_back("show " + std::to_string(frame)); }
  void PlayerLoadFinished() override { Calls.push_back("load finished"); }
  void RefreshPropertyPanel() override { Calls.push_back("refresh panel"); }
  void ShowWarning(const std::string& message) override { Warnings.push_back(message); }
  std::string CacheDir() const override { return Cache; }

  bool LoadedExisted = false;
};

class BuildTest : public testing::Test {
 protected:
  void SetUp() override {
    Dir = TestTempDir() + "/";
    for (const char* sub : {"tmp/", "cache/", "prog/", "media/"})
      std::filesystem::create_directories(Dir + sub);
    Doc.TempDir = Dir + "tmp/";
    Doc.ProgramDir = Dir + "prog/";
    Host.Cache = Dir + "cache/";
    Doc.CreateEmptyMV();
  }

  // Builds, keeps the file for the parser check and reads it back.
  TSwfFile Build(bool whole, const std::string& name = "movie.swf") {
    const std::string path = moviegen::CreateMovie(Doc, Host, whole, false, false);
    EXPECT_FALSE(path.empty());
    const Bytes bytes = ReadFile(path);
    KeepSwfForParserCheck(name, bytes);
    std::filesystem::remove(path);
    TSwfFile swf = ReadSwf(bytes);
    EXPECT_EQ(CheckDisplayList(swf), "");
    return swf;
  }

  project::TShapeRec& Slot(int frame, int slot) {
    return Doc.Frames[size_t(frame)].Slots.Edit(slot);
  }

  // An object of `kind` in `slot` of frames first..last.
  project::TShapeRec& Add(int slot, project::TShapeKind kind, int first, int last) {
    Doc.CreateEmptyShape(slot, kind, first, last, project::TEditMode::emAnimation);
    return Slot(first, slot);
  }

  std::string Media(const std::string& name, const Bytes& data) {
    const std::string path = Dir + "media/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
  }

  std::string Dir;
  project::TProjectDocument Doc;
  TRecordingHost Host;
};

// Tags of one code, in order.
inline std::vector<const TTag*> TagsOf(const TSwfFile& swf, uint16_t code) {
  std::vector<const TTag*> found;
  for (const TTag& t : swf.Tags)
    if (t.Code == code) found.push_back(&t);
  return found;
}

inline std::vector<TPlacement> Placements(const TSwfFile& swf) {
  std::vector<TPlacement> found;
  for (const TTag* t : TagsOf(swf, kPlaceObject2)) found.push_back(ReadPlaceObject2(*t));
  return found;
}

// The tags of each frame of the project (a run of ShowFrame tags ends one),
// without the ShowFrame tags and the End tag.
inline std::vector<std::vector<const TTag*>> SplitFrames(const TSwfFile& swf) {
  std::vector<std::vector<const TTag*>> frames(1);
  for (size_t i = 0; i < swf.Tags.size(); ++i) {
    const TTag& t = swf.Tags[i];
    if (t.Code == kShowFrame) {
      if (i + 1 < swf.Tags.size() && swf.Tags[i + 1].Code != kShowFrame) frames.emplace_back();
    } else if (t.Code != kEnd) {
      frames.back().push_back(&t);
    }
  }
  if (frames.back().empty()) frames.pop_back();
  return frames;
}

inline std::vector<TPlacement> Placements(const std::vector<const TTag*>& tags) {
  std::vector<TPlacement> found;
  for (const TTag* t : tags)
    if (t->Code == kPlaceObject2) found.push_back(ReadPlaceObject2(*t));
  return found;
}

// The defining tag of a character.
inline const TTag* Definition(const TSwfFile& swf, uint16_t id) {
  for (const TTag& t : swf.Tags)
    if (t.Code != kPlaceObject2 && t.Code != kRemoveObject2 && t.Code != kShowFrame &&
        t.Code != kDoAction && t.Code != kStartSound && t.Code != kSetBackgroundColor &&
        t.Code != kProtect && t.Code != kEnd && t.Body.size() >= 2 && DefinedID(t) == id)
      return &t;
  return nullptr;
}

}  // namespace vtest
