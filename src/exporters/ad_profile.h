#pragma once
// The rules of one ad platform for HTML5 packages, read from a JSON file:
// the platforms change their numbers and disagree, so they are data. The
// program ships one file per platform in AdProfiles/ beside it; the user's
// own (or changed) files in ~/.config/vellumet/ad-profiles/ come first.
#include <cstdint>
#include <string>
#include <vector>

namespace exporters {

// A package limit for one ad size (the IAB sets the initial load per unit).
struct TAdSizeLimit {
  int Width = 0, Height = 0;
  int64_t MaxKB = 0;
};

struct TAdProfile {
  std::string Name;                       // the file name without ".json": "google-ads"
  std::string Title;                      // for the user
  int64_t MaxPackageKB = 0;               // the ZIP's size in units of 1000 bytes; 0: no limit
  std::vector<TAdSizeLimit> SizeLimits;   // before MaxPackageKB for these sizes
  int MaxFiles = 0;                       // 0: no limit
  std::vector<std::string> FileTypes;     // lower-case extensions without the dot
  std::string FileNamePattern;            // ECMAScript expression every path matches
  int MaxZipNameLength = 0;               // 0: no limit
  double MaxAnimationSeconds = 0;         // duration times loops; 0: no limit
  int64_t MaxBackupKB = 0;                // the backup picture; 0: no limit
  bool Sound = true;                      // sound on the viewer's action
  std::vector<std::string> AllowedHosts;  // outside addresses a page may use

  // The package limit in KB for an ad of this size (0: none).
  int64_t PackageLimitKB(int width, int height) const;
  bool AllowsType(const std::string& extension) const;
};

inline constexpr const char* kDefaultAdProfile = "iab";

// Reads a profile from JSON text; `name` becomes its Name. Throws
// platform::TVellumetError naming the fault (source and field).
TAdProfile ReadAdProfile(const std::string& json, const std::string& name,
                         const std::string& source);

// The folders searched, the user's first.
std::vector<std::string> AdProfileFolders();

// The profile `name` from the first folder that has NAME.json. Throws
// platform::TVellumetError when none has it (listing the known names) or
// the file is not a valid profile.
TAdProfile LoadAdProfile(const std::string& name);

// Every profile name found, sorted, without repeats.
std::vector<std::string> AdProfileNames();

}  // namespace exporters
