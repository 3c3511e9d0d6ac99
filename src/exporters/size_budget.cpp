#include "exporters/size_budget.h"

#include <cstdio>

#include "platform/error.h"

namespace exporters {
namespace {

// Sizes for the user in KB with one decimal, rounded up: a file of 5001
// bytes does not read as fitting in 5 KB.
std::string Kilobytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f KB", double((bytes + 99) / 100) / 10.0);
  return text;
}

}  // namespace

TBudgetResult EncodeWithinBudget(const std::vector<TEncodingStep>& steps, int64_t maxSizeKB,
                                 const std::string& kind) {
  if (maxSizeKB < 0)
    throw platform::TVellumetError("The size budget must be a number of KB above 0");
  if (maxSizeKB == 0) return {steps.front().Encode(), ""};
  const uint64_t budget = uint64_t(maxSizeKB) * 1000;
  TBudgetResult smallest;
  for (const TEncodingStep& step : steps) {
    std::vector<uint8_t> bytes = step.Encode();
    if (bytes.size() <= budget) return {std::move(bytes), step.Choice};
    if (smallest.Bytes.empty() || bytes.size() < smallest.Bytes.size())
      smallest = {std::move(bytes), step.Choice};
  }
  throw platform::TVellumetError("The " + kind + " cannot fit in " + std::to_string(maxSizeKB) +
                                 " KB: the smallest it can be is " +
                                 Kilobytes(smallest.Bytes.size()) + ", with " + smallest.Choice);
}

int64_t StepsToPlan(const std::vector<TEncodingStep>& steps, int64_t maxSizeKB) {
  return maxSizeKB > 0 ? int64_t(steps.size()) : 1;
}

}  // namespace exporters
