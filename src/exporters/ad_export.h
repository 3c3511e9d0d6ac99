#pragma once
// The HTML5 ad package: the movie's HTML5 page made into what ad servers
// take (index.html with the ad's size, a click tag and its animation length
// stated, the pictures as files, a backup picture), zipped, and checked
// against the chosen profile. The layout is described in docs/ad-packages.md.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "exporters/ad_check.h"
#include "exporters/ad_profile.h"
#include "exporters/html5_page.h"
#include "exporters/zip_archive.h"
#include "project/document.h"

namespace exporters {

struct TAdExportOptions {
  std::string Profile = kDefaultAdProfile;
  // Plays before the ad holds its last frame. Unset: once for a movie that
  // does not loop; for a looping one the most that fit the profile's time
  // limit (for ever without a limit).
  std::optional<int> Loops;
  int BackupFrame = 0;  // 1-based project frame of the backup picture; 0: the last
  bool Sound = true;    // false, or a profile without sound: the package carries none
  std::string PackageName = "ad.zip";  // the ZIP's file name, which profiles limit too
};

struct TAdPackageBuild {
  std::vector<uint8_t> Zip;
  TAdProfile Profile;
  uint64_t LimitBytes = 0;            // the package limit for the ad's size; 0: none
  std::vector<std::string> Messages;  // what the export chose ("2 loops ...")
  std::vector<TRuleResult> Check;     // the checker's results on the package
  THtml5Options Page;                 // how the page was made (loops, pictures, sound)
  TZipEntry Backup;                   // the backup picture as packaged
};

// Builds the package in memory from the whole-movie build swfPath of doc.
// Throws platform::TVellumetError when the profile, the movie or the backup
// picture cannot be made.
TAdPackageBuild BuildAdPackage(const std::string& swfPath, const project::TProjectDocument& doc,
                               const TAdExportOptions& options);

// The package's files for the movie swf (the whole movie or its first
// frames) made as build made them: index.html, the pictures, the backup
// picture. What the page chose goes to messages when given. Throws as
// BuildAdPackage.
std::vector<TZipEntry> AdPackageFiles(const std::vector<uint8_t>& swf,
                                      const project::TProjectDocument& doc,
                                      const TAdPackageBuild& build,
                                      std::vector<std::string>* messages = nullptr);

// The package's size against its limit: "23.9 KB of 150 KB allowed".
std::string PackageSizeText(const TAdPackageBuild& build);
bool OverLimit(const TAdPackageBuild& build);

// One loop of the movie in seconds, as the page plays it.
double LoopSeconds(const project::TProjectDocument& doc);

}  // namespace exporters
