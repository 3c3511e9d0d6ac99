#pragma once
// What the rules of the package checker share: the package, the profile and
// the primary HTML page, read once.
#include <string>
#include <vector>

#include "exporters/ad_check.h"
#include "exporters/html_scan.h"

namespace exporters {

struct TCheckContext {
  const TAdPackage& Package;
  const TAdProfile& Profile;
  const TPackageFile* Primary = nullptr;  // nullptr: none found
  std::vector<THtmlTag> PrimaryTags;
  int AdWidth = 0, AdHeight = 0;  // from ad.size; 0 without it

  const TPackageFile* Find(const std::string& path) const;
};

TRuleResult Passed(const char* rule, std::string detail);
TRuleResult Failed(const char* rule, std::string detail);
TRuleResult NotApplicable(const char* rule, std::string detail);

// "a.png, b.png and 3 more"
std::string FirstFew(const std::vector<std::string>& items);

// backup.jpg, .png or .gif at the root, or null. Platforms take it apart from
// the page: nothing needs to refer to it.
const TPackageFile* BackupPicture(const TAdPackage& package);

// The rules that read the pages, in the order they are reported.
void CheckPageRules(const TCheckContext& context, std::vector<TRuleResult>& results);
// Size of the ad from a content "width=W,height=H"; false when malformed.
bool ParseAdSize(const std::string& content, int& width, int& height);

}  // namespace exporters
