#include "exporters/html_scan.h"

#include <cctype>

namespace exporters {
namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == ':' || c == '_';
}

void SkipSpace(std::string_view html, size_t& i) {
  while (i < html.size() && std::isspace(static_cast<unsigned char>(html[i]))) ++i;
}

std::string ReadName(std::string_view html, size_t& i) {
  size_t start = i;
  while (i < html.size() && IsNameChar(html[i])) ++i;
  return Lower(html.substr(start, i - start));
}

std::string ReadValue(std::string_view html, size_t& i) {
  if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
    char quote = html[i++];
    size_t end = html.find(quote, i);
    if (end == std::string_view::npos) end = html.size();
    std::string value(html.substr(i, end - i));
    i = end < html.size() ? end + 1 : end;
    return value;
  }
  size_t start = i;
  while (i < html.size() && !std::isspace(static_cast<unsigned char>(html[i])) && html[i] != '>')
    ++i;
  return std::string(html.substr(start, i - start));
}

// Attributes up to the tag's '>'; i ends after it.
void ReadAttributes(std::string_view html, size_t& i, THtmlTag& tag) {
  while (i < html.size() && html[i] != '>') {
    SkipSpace(html, i);
    if (i < html.size() && html[i] == '/') {
      ++i;
      continue;
    }
    std::string name = ReadName(html, i);
    if (name.empty()) {
      if (i < html.size() && html[i] != '>') ++i;
      continue;
    }
    SkipSpace(html, i);
    std::string value;
    if (i < html.size() && html[i] == '=') {
      ++i;
      SkipSpace(html, i);
      value = ReadValue(html, i);
    }
    tag.Attributes.push_back({name, value});
  }
  if (i < html.size()) ++i;
}

// The raw text of a script or style up to its end tag; i ends at "</".
std::string ReadRawText(std::string_view html, size_t& i, const std::string& name) {
  std::string lower = Lower(html.substr(i));
  size_t end = lower.find("</" + name);
  if (end == std::string::npos) end = lower.size();
  std::string text(html.substr(i, end));
  i += end;
  return text;
}

}  // namespace

const std::string* THtmlTag::Attribute(std::string_view name) const {
  for (const THtmlAttribute& attribute : Attributes)
    if (attribute.Name == name) return &attribute.Value;
  return nullptr;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::vector<THtmlTag> ScanHtml(std::string_view html) {
  std::vector<THtmlTag> tags;
  size_t i = 0;
  while ((i = html.find('<', i)) != std::string_view::npos) {
    if (html.substr(i, 4) == "<!--") {
      size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    THtmlTag tag;
    tag.Offset = i++;
    bool closing = i < html.size() && (html[i] == '/' || html[i] == '!');
    char mark = closing ? html[i++] : 0;
    tag.Name = ReadName(html, i);
    if (tag.Name.empty()) continue;  // a '<' in text
    if (mark) tag.Name.insert(tag.Name.begin(), mark);
    ReadAttributes(html, i, tag);
    if (tag.Name == "script" || tag.Name == "style") tag.Text = ReadRawText(html, i, tag.Name);
    tags.push_back(std::move(tag));
  }
  return tags;
}

std::vector<const THtmlTag*> HeadTags(const std::vector<THtmlTag>& tags) {
  std::vector<const THtmlTag*> head;
  bool inside = false;
  for (const THtmlTag& tag : tags) {
    if (tag.Name == "/head" || tag.Name == "body") break;
    if (inside) head.push_back(&tag);
    if (tag.Name == "head") inside = true;
  }
  return head;
}

int BraceDepthAt(std::string_view script, size_t offset) {
  int depth = 0;
  for (size_t i = 0; i < offset && i < script.size(); ++i) {
    char c = script[i];
    if (c == '"' || c == '\'' || c == '`') {
      for (++i; i < script.size() && script[i] != c; ++i)
        if (script[i] == '\\') ++i;
    } else if (script.substr(i, 2) == "//") {
      i = script.find('\n', i);
      if (i == std::string_view::npos) break;
    } else if (script.substr(i, 2) == "/*") {
      i = script.find("*/", i + 2);
      if (i == std::string_view::npos) break;
      ++i;
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      --depth;
    }
  }
  return depth;
}

}  // namespace exporters
