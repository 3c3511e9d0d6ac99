#include "editor/small_dialogs.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace editor {

char NumberFieldKey(char key) {
  return (key >= '0' && key <= '9') || key == '\b' || key == '\t' ? key : 0;
}

std::optional<int32_t> ReadInteger(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  int32_t value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

namespace {

// A field's number; a run of digits too long for 32 bits counts as the
// largest number, other texts as `fallback`.
int32_t FieldValue(const std::string& text, int32_t fallback) {
  if (std::optional<int32_t> v = ReadInteger(text)) return *v;
  bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
  return digits ? INT32_MAX : fallback;
}

// The exit rule of a frame field: a text that is not a number counts as
// `fallback` for both checks.
void LimitField(std::string& text, int32_t fallback, int32_t max) {
  if (text.empty()) return;
  if (FieldValue(text, fallback) <= 0) text.assign(1, '1');
  if (FieldValue(text, fallback) > max) text = std::to_string(max);
}

}  // namespace

int32_t StepWithin(int32_t value, int delta, int32_t min, int32_t max) {
  return int32_t(std::clamp<int64_t>(int64_t(value) + delta, min, max));
}

void TNumberDialog::SetPosition(int32_t value) {
  position_ = value;
  Number = std::to_string(value);
  capped_.clear();
}

void TNumberDialog::Step(int delta) {
  int32_t current = ReadInteger(Number).value_or(position_);
  SetPosition(StepWithin(current, delta, Min, Max));
}

void TNumberDialog::NumberExit() {
  if (Number.empty()) return;
  if (FieldValue(Number, Max) > Max) {
    capped_ = Number;
    Number = std::to_string(Max);
  }
  if (FieldValue(Number, Min) <= 0) Number.assign(1, '1');
}

void TLimitsDialog::Setup(const std::string& caption, const std::string& info, int32_t frameCount,
                          int32_t from, int32_t to) {
  Caption = caption;
  Info = info;
  Min = 1;
  Max = std::max(frameCount, 1);
  fromPosition_ = from;
  toPosition_ = to;
  From = std::to_string(from);
  To = std::to_string(to);
}

void TLimitsDialog::StepFrom(int delta) {
  fromPosition_ = StepWithin(ReadInteger(From).value_or(fromPosition_), delta, Min, Max);
  From = std::to_string(fromPosition_);
}

void TLimitsDialog::StepTo(int delta) {
  toPosition_ = StepWithin(ReadInteger(To).value_or(toPosition_), delta, Min, Max);
  To = std::to_string(toPosition_);
}

void TLimitsDialog::FromExit() {
  LimitField(From, fromPosition_, Max);
}

void TLimitsDialog::ToExit() {
  LimitField(To, toPosition_, Max);
}

}  // namespace editor
