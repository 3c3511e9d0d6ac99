// Ad profiles: the shipped files read, the IAB limits by ad size, the
// user's own files first, and clear errors for faulty files.
#include "exporters/ad_profile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;
using exporters::ReadAdProfile;
using exporters::TAdProfile;

TAdProfile Shipped(const std::string& name) {
  std::string path = std::string(VELLUMET_SAMPLES_DIR) + "/../data/AdProfiles/" + name + ".json";
  return ReadAdProfile(vtest::ReadText(path), name, path);
}

TEST(AdProfile, ShippedProfilesHoldThePlatformsNumbers) {
  TAdProfile google = Shipped("google-ads");
  EXPECT_EQ(google.PackageLimitKB(300, 250), 150);
  EXPECT_EQ(google.MaxFiles, 40);
  EXPECT_EQ(google.MaxAnimationSeconds, 30);
  EXPECT_TRUE(google.AllowsType("svg"));
  EXPECT_FALSE(google.AllowsType("swf"));
  EXPECT_EQ(Shipped("ad-manager").PackageLimitKB(728, 90), 1000);
  EXPECT_EQ(Shipped("ad-manager").MaxFiles, 50);
  EXPECT_EQ(Shipped("campaign-manager").PackageLimitKB(728, 90), 9500);
  EXPECT_EQ(Shipped("campaign-manager").MaxFiles, 100);

  TAdProfile iab = Shipped("iab");
  EXPECT_EQ(iab.MaxAnimationSeconds, 15);
  struct {
    int Width, Height;
    int64_t KB;
  } const sizes[] = {{728, 90, 150}, {300, 250, 150}, {160, 600, 150},  {320, 50, 50},
                     {970, 90, 200}, {970, 250, 250}, {300, 1050, 250}, {468, 60, 200}};
  for (const auto& size : sizes)
    EXPECT_EQ(iab.PackageLimitKB(size.Width, size.Height), size.KB)
        << size.Width << "x" << size.Height;
}

TEST(AdProfile, FaultyFilesAreNamed) {
  struct {
    const char* Json;
    const char* Error;
  } const cases[] = {
      {"[1]", "Ad profile p.json: not a JSON object"},
      {"{\"maxFiles\": ", "Ad profile p.json: "},
      {"{\"maxFiles\": \"ten\"}", "Ad profile p.json: \"maxFiles\" must be a number from 0 to"},
      {"{\"maxFile\": 10}", "Ad profile p.json: \"maxFile\" is not a profile field"},
      {"{\"fileTypes\": [\"js\", 3]}", "Ad profile p.json: \"fileTypes\" must be a list of texts"},
      {"{\"fileNamePattern\": \"[a-\"}", "Ad profile p.json: \"fileNamePattern\" is not a valid"},
      {"{\"sizeLimits\": [{\"size\": \"728 by 90\", \"maxKB\": 1}]}",
       "Ad profile p.json: \"sizeLimits\" must hold {\"size\": \"WxH\", \"maxKB\": N}, not 728 by "
       "90"},
      {"{\"sound\": 1}", "Ad profile p.json: \"sound\" must be true or false"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.Json);
    try {
      ReadAdProfile(row.Json, "p", "p.json");
      ADD_FAILURE() << "read";
    } catch (const platform::TVellumetError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(row.Error, 0), 0u) << e.what();
    }
  }
}

TEST(AdProfile, TheUsersOwnFolderComesFirst) {
  std::string config = vtest::TestTempDir();
  fs::create_directories(config + "/vellumet/ad-profiles");
  vtest::WriteText(config + "/vellumet/ad-profiles/mine.json", "{\"maxPackageKB\": 42}");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string kept = old ? old : "";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(exporters::LoadAdProfile("mine").PackageLimitKB(1, 1), 42);
  EXPECT_EQ(exporters::LoadAdProfile("mine").Title, "mine");
  std::vector<std::string> names = exporters::AdProfileNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "mine"), names.end());
  try {
    exporters::LoadAdProfile("../ad-profiles/mine");
    ADD_FAILURE() << "a path is no profile name";
  } catch (const platform::TVellumetError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("No ad profile \"../ad-profiles/mine\" (known: ", 0), 0u);
  }
  if (old)
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
