#pragma once
// The checker of HTML5 ad packages: every rule the ad platforms apply on
// upload, against one profile, one result per rule. It checks any package,
// not only ours.
#include <cstdint>
#include <string>
#include <vector>

#include "exporters/ad_package.h"
#include "exporters/ad_profile.h"

namespace exporters {

enum class TRuleState { Passed, Failed, NotApplicable };

struct TRuleResult {
  std::string Rule;  // "package size", "click tag"...
  TRuleState State = TRuleState::Passed;
  std::string Detail;  // failed: the reason as platforms name it, with the file or the number
};

std::vector<TRuleResult> CheckAdPackage(const TAdPackage& package, const TAdProfile& profile);

// "passed  package size: 28.4 KB, limit 150 KB"
std::string RuleLine(const TRuleResult& result);

// "28.4 KB" (1000 bytes a KB, as the platforms count)
std::string Kilobytes(uint64_t bytes);

bool AllPassed(const std::vector<TRuleResult>& results);

// "Accepted for iab: 17 rules passed, 0 failed, 0 not applicable"
std::string CheckSummary(const std::vector<TRuleResult>& results, const std::string& profile);

// The name of the meta tag that states one loop's length and the loops:
// <meta name="ad.animation" content="duration=4.5,loops=3">
inline constexpr const char* kAnimationMeta = "ad.animation";

}  // namespace exporters
