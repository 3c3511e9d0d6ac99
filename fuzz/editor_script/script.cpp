#include "editor_script/script.h"

#include <algorithm>

namespace vscript {

namespace {

const char* const kOpNames[] = {"Type",         "Check",          "Choose",       "Mode",
                                "Navigate",     "InsertFrame",    "RemoveFrame",  "Reverse",
                                "FrameCount",   "InsertFrames",   "RemoveFrames", "CopyFrame",
                                "PasteFrame",   "AlterClipboard", "AddShape",     "AddPicture",
                                "FillBitmap",   "ReplacePicture", "ClearPicture", "ClearFillBitmap",
                                "ReplaceSound", "ClearSound",     "RemoveObject", "SelectObject",
                                "CopyObject",   "PasteObject",    "Drag",         "Key",
                                "Color",        "Font",           "Undo",         "Redo",
                                "Menu",         "SaveAs",         "Open",         "New",
                                "Build"};
static_assert(std::size(kOpNames) == size_t(TOp::Count));

class TReader {
 public:
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int8_t Signed() { return int8_t(Byte()); }
  std::string Text() {
    size_t n = std::min<size_t>(Byte(), size_ - std::min(pos_, size_));
    std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Positions and sizes are signed; the other arguments pick from lists.
bool SignedArguments(TOp op) {
  return op == TOp::Drag || op == TOp::Choose || op == TOp::Font;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 32 || c > 126) {
      static const char* hex = "0123456789abcdef";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
      out += "\"\"";  // the next character cannot extend the escape
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

}  // namespace

bool TakesText(TOp op) {
  return op == TOp::Type || op == TOp::FrameCount || op == TOp::InsertFrames ||
         op == TOp::AlterClipboard;
}

TScript DecodeScript(const uint8_t* data, size_t size) {
  TReader in(data, size);
  TScript script;
  while (!in.AtEnd()) {
    TStep step;
    step.Op = TOp(in.Byte() % uint8_t(TOp::Count));
    bool sign = SignedArguments(step.Op);
    for (int32_t* arg : {&step.A, &step.B, &step.C, &step.D}) *arg = sign ? in.Signed() : in.Byte();
    if (TakesText(step.Op)) step.Text = in.Text();
    script.push_back(std::move(step));
  }
  return script;
}

std::vector<uint8_t> EncodeScript(const TScript& script) {
  std::vector<uint8_t> out;
  for (const TStep& step : script) {
    out.push_back(uint8_t(step.Op));
    for (int32_t arg : {step.A, step.B, step.C, step.D}) out.push_back(uint8_t(arg));
    if (!TakesText(step.Op)) continue;
    size_t n = std::min<size_t>(step.Text.size(), 255);
    out.push_back(uint8_t(n));
    out.insert(out.end(), step.Text.begin(), step.Text.begin() + long(n));
  }
  return out;
}

std::string DescribeScript(const TScript& script) {
  std::string out;
  for (const TStep& s : script) {
    out += "{TOp::" + std::string(kOpNames[size_t(s.Op)]) + ", " + std::to_string(s.A) + ", " +
           std::to_string(s.B) + ", " + std::to_string(s.C) + ", " + std::to_string(s.D);
    if (TakesText(s.Op)) out += ", " + Quoted(s.Text);
    out += "},\n";
  }
  return out;
}

}  // namespace vscript
