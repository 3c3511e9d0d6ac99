#pragma once
// Reading the key=value lines of a version 1.6 project file.
//
// A line is "Key=value,Key=value,...". Values are written raw, so a value may
// itself hold commas or text like "X=": a value runs up to the next comma
// that starts a key of the line not met yet, and `Text` (always last) runs to
// the end of the line. Integers stop at their first comma.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace project {

class TKeyLine {
 public:
  static constexpr size_t MaxKeys = 32;

  TKeyLine(std::string_view line, std::span<const std::string_view> keys);

  bool Has(size_t key) const { return key < MaxKeys && (found_ >> key) & 1; }
  // The raw value of keys[key]; "" when the line lacks the key.
  std::string_view Value(size_t key) const { return Has(key) ? values_[key] : std::string_view(); }
  // 0 when the key is missing or its value is not a 32-bit integer.
  int32_t Int(size_t key) const;
  // The value cut to the model's 255 characters.
  std::string Str(size_t key) const;

 private:
  std::string_view values_[MaxKeys];
  uint32_t found_ = 0;
};

// A decimal integer with optional sign and surrounding blanks; false for
// anything else, and for values outside 32 bits.
bool ParseInt32(std::string_view text, int32_t& value);

// One value of a line of any record kind (movie, frame or object line).
int32_t DecodeInt(std::string_view line, std::string_view key);
std::string DecodeStr(std::string_view line, std::string_view key);

}  // namespace project
