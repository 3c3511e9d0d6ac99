// vellumet check PACKAGE.zip|DIR [--profile NAME]
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "app/commands.h"
#include "exporters/ad_check.h"
#include "exporters/ad_profile.h"

namespace app {
namespace {

int CheckUsage() {
  std::fputs("usage: vellumet check PACKAGE.zip|FOLDER [--profile NAME]\n", stderr);
  return 2;
}

}  // namespace

void PrintCheckSummary(const std::vector<exporters::TRuleResult>& results,
                       const std::string& profile) {
  std::printf("%s\n", exporters::CheckSummary(results, profile).c_str());
}

int RunCheck(int argc, char** argv) {
  std::string package, profileName = exporters::kDefaultAdProfile;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc)
      profileName = argv[++i];
    else if (argv[i][0] != '-' && package.empty())
      package = argv[i];
    else
      return CheckUsage();
  }
  if (package.empty()) return CheckUsage();
  try {
    exporters::TAdProfile profile = exporters::LoadAdProfile(profileName);
    std::vector<exporters::TRuleResult> results =
        exporters::CheckAdPackage(exporters::ReadAdPackage(package), profile);
    for (const exporters::TRuleResult& result : results)
      std::printf("%s\n", exporters::RuleLine(result).c_str());
    PrintCheckSummary(results, profile.Name);
    return exporters::AllPassed(results) ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vellumet check: %s\n", e.what());
    return 1;
  }
}

}  // namespace app
