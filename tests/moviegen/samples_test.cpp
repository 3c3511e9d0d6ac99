// The sample projects: each opens and builds, as a whole movie and frame by
// frame as the editor shows it, and together they use every feature.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "moviegen/build_fixture.h"

namespace {

using namespace vtest;

const char* const kSamples[] = {"banner.sw0", "shapes.sw0", "backgrounds.sw0", "media.sw0"};

std::string SamplePath(const std::string& name) {
  return (std::filesystem::path(TestDataPath("")) / ".." / ".." / "samples" / name).string();
}

class Samples : public BuildTest {
 protected:
  void Open(const std::string& name) { ASSERT_TRUE(Doc.OpenMV(SamplePath(name))) << name; }
};

TEST_F(Samples, EveryFrameAndTheWholeMovieBuild) {
  for (const std::string name : kSamples) {
    SCOPED_TRACE(name);
    SetUp();
    Open(name);
    const std::string stem = name.substr(0, name.size() - 4);
    const TSwfFile whole = Build(true, stem + ".swf");
    EXPECT_GT(whole.FrameCount, Doc.FrameCount);
    for (int32_t l = 1; l <= Doc.FrameCount; ++l) {
      Doc.CurrentFrame = l;
      Build(false, stem + "-frame" + std::to_string(l) + ".swf");
    }
    EXPECT_TRUE(Host.Warnings.empty());
  }
}

// What the samples show between them, so that a change to them keeps it.
TEST_F(Samples, TogetherTheyUseEveryFeature) {
  std::set<int> kinds, fills, layouts, bevels, styles;
  std::set<std::string> faces, pictures;
  bool translucentJPEG = false, linkedButtonWithSound = false, backgroundSound = false,
       movieLink = false, longAnimation = false;
  for (const std::string name : kSamples) {
    SCOPED_TRACE(name);
    Open(name);
    backgroundSound |= !Doc.Settings.MBkgrSound.empty();
    movieLink |= !Doc.Settings.MainURL.empty();
    std::set<int32_t> xs;
    for (int32_t l = 1; l <= Doc.FrameCount; ++l) {
      const project::TFrameRec& f = Doc.Frames[size_t(l)];
      if (f.AddGrad) layouts.insert(f.GradStyle);
      if (f.AddBorder) bevels.insert(f.BorderOuterStyle * 3 + f.BorderInnerStyle);
      for (int e = 1; e <= f.Slots.LastUsed(); ++e) {
        const project::TShapeRec& s = f.Slots[e];
        if (!s.Object) continue;
        kinds.insert(s.Object);
        if (s.Object <= project::skStar) fills.insert(s.Fill);
        if (s.Object == project::skText) {
          faces.insert(s.Font);
          styles.insert(s.FBold * 2 + s.FItalic);
        }
        const std::string ext = std::filesystem::path(s.Text).extension().string();
        if (s.Object == project::skPicture) pictures.insert(ext);
        translucentJPEG |= s.Object == project::skPicture && ext == ".jpg" && s.Alpha > 0;
        linkedButtonWithSound |=
            s.Object == project::skButton && !s.URL.empty() && !s.SoundEv.empty();
        if (e == 1) xs.insert(s.X);
      }
    }
    longAnimation |= Doc.FrameCount >= 20 && xs.size() >= 20;
  }
  EXPECT_EQ(kinds.size(), 9u);
  EXPECT_EQ(fills.size(), 5u);
  EXPECT_EQ(layouts.size(), 9u);
  EXPECT_EQ(bevels.size(), 9u);
  EXPECT_GE(faces.size(), 2u);
  EXPECT_TRUE(styles.count(2) && styles.count(1));  // bold, italic
  EXPECT_EQ(pictures, (std::set<std::string>{".bmp", ".jpg"}));
  EXPECT_TRUE(translucentJPEG);
  EXPECT_TRUE(linkedButtonWithSound);
  EXPECT_TRUE(backgroundSound);
  EXPECT_TRUE(movieLink);
  EXPECT_TRUE(longAnimation);
}

}  // namespace
