#pragma once
// The size budget of an export: settings tried from the best looking down
// until the file fits.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace exporters {

// One setting of an encoder: its name for the user and the encoding.
struct TEncodingStep {
  std::string Choice;  // "128 colours", "quality 70"
  std::function<std::vector<uint8_t>()> Encode;
};

struct TBudgetResult {
  std::vector<uint8_t> Bytes;
  std::string Choice;  // empty without a budget
};

// Without a budget (maxSizeKB 0) the first step. With one, the steps in turn
// until a file is at most maxSizeKB * 1000 bytes (so it fits whichever
// kilobyte the reader means); when none does, throws platform::TVellumetError
// saying so, with the smallest size reached and its setting. `kind` names the
// file: "GIF", "WebP".
TBudgetResult EncodeWithinBudget(const std::vector<TEncodingStep>& steps, int64_t maxSizeKB,
                                 const std::string& kind);

// How many steps a budget may try: all of them with a budget, else one.
int64_t StepsToPlan(const std::vector<TEncodingStep>& steps, int64_t maxSizeKB);

}  // namespace exporters
