#include "editor/clipboard_text.h"

#include <algorithm>

#include "editor/small_dialogs.h"
#include "project/record_fields.h"

namespace editor {

using project::TFrameRec;
using project::TShapeRec;

namespace {

constexpr int kObjectLines = 25;

class TLineWriter {
 public:
  void Line(std::string_view text) {
    out_ += text;
    out_ += "\r\n";
  }
  void operator()(const char*, int32_t v) { Line(std::to_string(v)); }
  void operator()(const char*, uint8_t v) { Line(std::to_string(v)); }
  // A line break inside a value would split the record.
  void operator()(const char*, const std::string& v) {
    std::string line = v;
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    Line(line);
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// Lines end at CR LF, or at CR or LF alone.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

class TLineReader {
 public:
  TLineReader(const std::vector<std::string_view>& lines, size_t first)
      : lines_(lines), next_(first) {}

  std::string_view Next() {
    if (next_ >= lines_.size())
      throw TEditorError("The clipboard text ends before line " + std::to_string(next_ + 1));
    return lines_[next_++];
  }
  int32_t Integer() {
    size_t line = next_ + 1;
    std::optional<int32_t> v = ReadInteger(std::string(Next()));
    if (!v) throw TEditorError("Line " + std::to_string(line) + " of the clipboard is no number");
    return *v;
  }
  void Skip(size_t n) { next_ += n; }
  // A pasted object takes a new position: its X and Y lines are passed over.
  bool SkipPosition = false;
  void operator()(const char* name, int32_t& v) {
    if (SkipPosition && (name == std::string_view("X") || name == std::string_view("Y")))
      Next();
    else
      v = Integer();
  }
  void operator()(const char*, uint8_t& v) { v = uint8_t(Integer() & 0xFF); }
  void operator()(const char*, std::string& v) {
    v = std::string(Next().substr(0, project::MaxStringLength));
  }

 private:
  const std::vector<std::string_view>& lines_;
  size_t next_;
};

}  // namespace

std::string FrameClipboardText(const TFrameRec& frame, int recordCount) {
  TLineWriter out;
  out.Line(FrameMarker);
  project::VisitFrameFields(frame, out);
  out.Line("0");
  out.Line("0");
  out.Line(std::to_string(recordCount));
  for (int slot = 1; slot <= recordCount; ++slot) {
    out.Line(ObjectMarker);
    project::VisitShapeFields(frame.Slots[slot], out);
  }
  return out.Take();
}

std::string ObjectClipboardText(const TShapeRec& shape) {
  TLineWriter out;
  out.Line(ObjectMarker);
  project::VisitShapeFields(shape, out);
  return out.Take();
}

TPastedFrame ParseFrameText(std::string_view text) {
  std::vector<std::string_view> lines = SplitLines(text);
  TPastedFrame pasted;
  TLineReader in(lines, 1);
  project::VisitFrameFields(pasted.Fields, in);
  in.Skip(2);
  int32_t count = std::min(in.Integer(), project::MaxShapeSlots);
  for (int slot = 1; slot <= count; ++slot) {
    size_t marker = 18 + size_t(kObjectLines + 1) * size_t(slot - 1);
    TLineReader record(lines, marker);
    if (record.Next() != ObjectMarker) continue;
    TShapeRec shape;
    project::VisitShapeFields(shape, record);
    pasted.Slots.emplace_back(slot, std::move(shape));
  }
  return pasted;
}

TShapeRec ParseObjectText(std::string_view text) {
  std::vector<std::string_view> lines = SplitLines(text);
  TShapeRec shape;
  TLineReader in(lines, 1);
  in.SkipPosition = true;
  project::VisitShapeFields(shape, in);
  return shape;
}

}  // namespace editor
