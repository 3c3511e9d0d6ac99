// Builds running side by side, as a batch export runs them: each gives the
// movie it gives alone, although they share the cache folder (the same
// background, JPEG copies and button states of the same names made from
// different pictures), the picture store and the font faces.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "media/bitmap32.h"
#include "media/bmp_writer.h"
#include "moviegen/build_fixture.h"
#include "support/cache_host.h"
#include "support/pictures.h"

namespace {

using namespace vtest;

// A project whose pictures are named as the other project's but differ:
// `variant` sets their size and colours.
void MakeProject(project::TProjectDocument& doc, const std::string& dir, int variant) {
  std::filesystem::create_directories(dir + "tmp");
  doc.TempDir = dir + "tmp/";
  doc.CreateEmptyMV();
  doc.SetFrameCount(3);
  for (int32_t l = 1; l <= 3; ++l) {
    doc.Frames[size_t(l)].AddGrad = 1;  // the same background in both
    doc.Frames[size_t(l)].AddBorder = l == 2;
  }
  const Bytes jpeg = MakeJpeg(16 + 8 * variant, 16, false);
  WriteText(dir + "logo.jpg", std::string(jpeg.begin(), jpeg.end()));
  media::SaveBMP(
      dir + "strip.bmp",
      media::TBitmap32(30 + 3 * variant, 10, 0xFF000000u | 0x102030u * uint32_t(variant)), 32);
  doc.CreateEmptyShape(1, project::skPicture, 1, 3, project::TEditMode::emAnimation);
  doc.CreateEmptyShape(2, project::skButton, 1, 3, project::TEditMode::emAnimation);
  doc.CreateEmptyShape(3, project::skText, 1, 3, project::TEditMode::emAnimation);
  for (int32_t l = 1; l <= 3; ++l) {
    project::TSlotArray& slots = doc.Frames[size_t(l)].Slots;
    slots.Edit(1).Text = dir + "logo.jpg";
    slots.Edit(1).Alpha = uint8_t(20 * variant);
    slots.Edit(2).Text = dir + "strip.bmp";
    slots.Edit(3).Text = "Project " + std::to_string(variant) + " says hello";
  }
}

Bytes BuildBytes(project::TProjectDocument& doc, const std::string& cache) {
  TCacheHost host(cache);
  const std::string path = moviegen::CreateMovie(doc, host, true, false, false);
  Bytes bytes = ReadFile(path);
  std::filesystem::remove(path);
  return bytes;
}

TEST(ParallelBuilds, GiveTheMoviesEachGivesAlone) {
  const std::string dir = TestTempDir() + "/", cache = dir + "cache/";
  std::filesystem::create_directories(cache);
  constexpr int kProjects = 3, kRounds = 8;
  project::TProjectDocument docs[kProjects];
  Bytes alone[kProjects];
  for (int p = 0; p < kProjects; ++p) {
    MakeProject(docs[p], dir + "p" + std::to_string(p) + "/", p + 1);
    alone[p] = BuildBytes(docs[p], cache);
    KeepSwfForParserCheck("project" + std::to_string(p) + ".swf", alone[p]);
  }
  ASSERT_NE(alone[0], alone[1]);

  std::filesystem::remove_all(cache);
  std::filesystem::create_directories(cache);
  Bytes together[kProjects][kRounds];
  std::vector<std::thread> threads;
  for (int p = 0; p < kProjects; ++p)
    threads.emplace_back([&, p] {
      for (int r = 0; r < kRounds; ++r) together[p][r] = BuildBytes(docs[p], cache);
    });
  for (std::thread& t : threads) t.join();
  for (int p = 0; p < kProjects; ++p)
    for (int r = 0; r < kRounds; ++r)
      EXPECT_TRUE(SameBytes(alone[p], together[p][r])) << "project " << p << ", round " << r;
}

}  // namespace
