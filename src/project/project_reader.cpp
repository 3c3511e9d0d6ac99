// Reader of version 1.6 project files.
#include <array>
#include <type_traits>

#include "project/key_line.h"
#include "project/project_file.h"
#include "project/record_fields.h"
#include "project/text_lines.h"

namespace project {

namespace {

// The keys of a record kind in the order its line holds them: the model's
// order, except that an object line ends with `Text`.
template <class Rec, class Visit>
std::vector<std::string_view> LineKeys(Visit visit) {
  std::vector<std::string_view> keys;
  Rec rec;
  visit(rec, [&keys](std::string_view name, auto&) { keys.push_back(name); });
  auto text = std::find(keys.begin(), keys.end(), "Text");
  if (text != keys.end()) std::rotate(text, text + 1, keys.end());
  return keys;
}

struct TLineKeys {
  std::vector<std::string_view> Movie =
      LineKeys<TMovieSettings>([](auto& r, auto&& f) { VisitSettingsFields(r, f); });
  std::vector<std::string_view> Frame =
      LineKeys<TFrameRec>([](auto& r, auto&& f) { VisitFrameFields(r, f); });
  std::vector<std::string_view> Shape =
      LineKeys<TShapeRec>([](auto& r, auto&& f) { VisitShapeFields(r, f); });
};

const TLineKeys& Keys() {
  static const TLineKeys keys;
  return keys;
}

// Fills a record from its key line; 8-bit fields keep the low 8 bits.
class TFieldReader {
 public:
  TFieldReader(const TKeyLine& line, const std::vector<std::string_view>& keys)
      : line_(line), keys_(keys) {}

  template <class T>
  void operator()(std::string_view name, T& field) {
    size_t index = Index(name);
    if constexpr (std::is_same_v<T, std::string>)
      field = line_.Str(index);
    else
      field = T(line_.Int(index));
  }

 private:
  size_t Index(std::string_view name) {
    // Fields come in model order, which matches the line but for `Text`.
    if (next_ < keys_.size() && keys_[next_] == name) return next_++;
    return size_t(std::find(keys_.begin(), keys_.end(), name) - keys_.begin());
  }

  const TKeyLine& line_;
  const std::vector<std::string_view>& keys_;
  size_t next_ = 0;
};

// A line without a line end that lacks its last key was cut off.
void CheckComplete(const TTextLines& in, const TKeyLine& line,
                   const std::vector<std::string_view>& keys) {
  if (!in.Terminated() && !line.Has(keys.size() - 1)) in.Fail("the file ends within a line");
}

void ReadMediaBlock(TTextLines& in, std::string_view header, TProjectContent& content,
                    std::string_view data) {
  size_t start = in.Offset();
  size_t end = start;
  std::string_view line;
  for (;;) {
    if (!in.Next(line)) in.Fail("the file ends within the media block " + std::string(header));
    if (line == "}") break;
    end = in.Offset();
  }
  content.Media.push_back({std::string(header.substr(6)), data.substr(start, end - start)});
}

int32_t ReadFrameCount(TTextLines& in, std::string_view line) {
  int32_t count = 0;
  if (line.size() < 9 || line.back() != ']' || !ParseInt32(line.substr(8, line.size() - 9), count))
    in.Fail("the frame count is not a number");
  // Each frame takes at least its "[Frame=" line and its frame line.
  size_t room = in.Remaining();
  room = room > 0 ? (room - 1) / 2 : 0;
  if (count < 1 || size_t(count) > room)
    in.Fail("the frame count " + std::to_string(count) + " does not fit the file");
  return count;
}

void ReadFrame(TTextLines& in, TFrameRec& frame, std::string_view& line, bool& more) {
  const TLineKeys& keys = Keys();
  std::string_view text = in.Require("a frame line");
  TKeyLine frameLine(text, keys.Frame);
  CheckComplete(in, frameLine, keys.Frame);
  TFieldReader frameFields(frameLine, keys.Frame);
  VisitFrameFields(frame, frameFields);
  int slot = 0;
  while ((more = in.Next(line)) && !StartsWith(line, "[Frame=")) {
    if (++slot > MaxShapeSlots) in.Fail("a frame holds more than 255 objects");
    TKeyLine objectLine(line, keys.Shape);
    CheckComplete(in, objectLine, keys.Shape);
    TShapeRec rec;
    TFieldReader fields(objectLine, keys.Shape);
    VisitShapeFields(rec, fields);
    if (!rec.IsBlank()) frame.Slots.Edit(slot) = std::move(rec);
  }
}

}  // namespace

TProjectContent ParseProjectV16(std::string_view data) {
  TTextLines in(data);
  TProjectContent content;
  std::string_view line;
  if (!in.Next(line) || line != HeaderV16) in.Fail("not a version 1.6 project file");
  for (;;) {
    line = in.Require("the \"[Frames=\" line");
    if (StartsWith(line, "[Frames=")) break;
    if (StartsWith(line, "{File=")) ReadMediaBlock(in, line, content, data);
  }
  content.FrameCount = ReadFrameCount(in, line);

  const TLineKeys& keys = Keys();
  TKeyLine movieLine(in.Require("the movie line"), keys.Movie);
  CheckComplete(in, movieLine, keys.Movie);
  TFieldReader movieFields(movieLine, keys.Movie);
  VisitSettingsFields(content.Settings, movieFields);

  content.Frames.resize(size_t(content.FrameCount) + 1);
  bool more = in.Next(line);
  for (int32_t i = 1; i <= content.FrameCount; ++i) {
    if (!more) in.Fail("the file ends before frame " + std::to_string(i));
    if (!StartsWith(line, "[Frame=")) in.Fail("\"[Frame=\" expected");
    ReadFrame(in, content.Frames[size_t(i)], line, more);
  }
  return content;
}

}  // namespace project
