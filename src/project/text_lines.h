#pragma once
// Line-by-line reading of a project file held in memory. Lines end in CR LF
// as written, but LF alone is accepted too.
#include <algorithm>
#include <string>
#include <string_view>

#include "project/document.h"

namespace project {

class TTextLines {
 public:
  explicit TTextLines(std::string_view data) : data_(data) {}

  // The next line without its line end; false at the end of the data.
  bool Next(std::string_view& line) {
    if (pos_ >= data_.size()) return false;
    size_t end = data_.find('\n', pos_);
    terminated_ = end != std::string_view::npos;
    if (!terminated_) end = data_.size();
    line = data_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = terminated_ ? end + 1 : end;
    ++number_;
    return true;
  }

  // The next line, or a read error when the file ends before it.
  std::string_view Require(std::string_view what) {
    std::string_view line;
    if (!Next(line)) Fail("the file ends before " + std::string(what));
    return line;
  }

  // Whether the line last returned had a line end (the writer ends every
  // line with one, so a last line without it may have been cut off).
  bool Terminated() const { return terminated_; }
  size_t Offset() const { return pos_; }
  size_t LineNumber() const { return number_; }

  // Lines still to come.
  size_t Remaining() const {
    if (pos_ >= data_.size()) return 0;
    size_t breaks = size_t(std::count(data_.begin() + long(pos_), data_.end(), '\n'));
    return breaks + (data_.back() == '\n' ? 0 : 1);
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw TProjectError("Error reading the file", "line " + std::to_string(number_) + ": " + what);
  }

 private:
  std::string_view data_;
  size_t pos_ = 0;
  size_t number_ = 0;
  bool terminated_ = true;
};

inline bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace project
