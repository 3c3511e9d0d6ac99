#include "project/key_line.h"

#include <algorithm>
#include <vector>

#include "project/record_fields.h"

namespace project {

namespace {

constexpr std::string_view kTextKey = "Text";

// The key at `at` when the line has "Key=" there; keys.size() otherwise.
size_t KeyAt(std::string_view line, size_t at, std::span<const std::string_view> keys,
             size_t expected) {
  size_t eq = line.find_first_of("=,", at);
  if (eq == std::string_view::npos || line[eq] != '=') return keys.size();
  std::string_view name = line.substr(at, eq - at);
  if (expected < keys.size() && keys[expected] == name) return expected;
  auto it = std::find(keys.begin(), keys.end(), name);
  return size_t(it - keys.begin());
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

TKeyLine::TKeyLine(std::string_view line, std::span<const std::string_view> keys) {
  if (keys.size() > MaxKeys) keys = keys.first(MaxKeys);
  size_t current = keys.size();
  size_t valueStart = 0;
  size_t at = 0;
  while (at <= line.size()) {
    size_t key = KeyAt(line, at, keys, current + 1);
    if (key < keys.size() && !Has(key)) {
      if (current < keys.size()) values_[current] = line.substr(valueStart, at - 1 - valueStart);
      current = key;
      found_ |= uint32_t(1) << key;
      valueStart = line.find('=', at) + 1;
      if (keys[key] == kTextKey) break;
    }
    size_t comma = line.find(',', at);
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  if (current < keys.size()) values_[current] = line.substr(valueStart);
}

int32_t TKeyLine::Int(size_t key) const {
  std::string_view v = Value(key);
  int32_t value = 0;
  return ParseInt32(v.substr(0, v.find(',')), value) ? value : 0;
}

std::string TKeyLine::Str(size_t key) const {
  return std::string(Value(key).substr(0, MaxStringLength));
}

bool ParseInt32(std::string_view text, int32_t& value) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 10) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = int32_t(v);
  return true;
}

namespace {

// The keys of each line kind; no key belongs to two kinds.
struct TLineKinds {
  std::vector<std::string_view> Kinds[3];
  TLineKinds() {
    TMovieSettings s;
    TFrameRec f;
    TShapeRec r;
    VisitSettingsFields(s, [this](std::string_view name, auto&) { Kinds[0].push_back(name); });
    VisitFrameFields(f, [this](std::string_view name, auto&) { Kinds[1].push_back(name); });
    VisitShapeFields(r, [this](std::string_view name, auto&) { Kinds[2].push_back(name); });
  }
};

// The keys of the line kind that has `key`, and its index there.
std::span<const std::string_view> KeysWith(std::string_view key, size_t& index) {
  static const TLineKinds lines;
  for (const auto& keys : lines.Kinds) {
    auto it = std::find(keys.begin(), keys.end(), key);
    if (it != keys.end()) {
      index = size_t(it - keys.begin());
      return keys;
    }
  }
  return {};
}

}  // namespace

int32_t DecodeInt(std::string_view line, std::string_view key) {
  size_t index = 0;
  auto keys = KeysWith(key, index);
  return keys.empty() ? 0 : TKeyLine(line, keys).Int(index);
}

std::string DecodeStr(std::string_view line, std::string_view key) {
  size_t index = 0;
  auto keys = KeysWith(key, index);
  return keys.empty() ? std::string() : TKeyLine(line, keys).Str(index);
}

}  // namespace project
