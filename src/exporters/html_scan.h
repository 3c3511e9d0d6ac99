#pragma once
// A forgiving scan of HTML for the package checker: the tags in order with
// their attributes, and the raw text of scripts and style sheets. It never
// fails; what it cannot read as a tag is text.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace exporters {

struct THtmlAttribute {
  std::string Name;  // lower case
  std::string Value;
};

struct THtmlTag {
  std::string Name;  // lower case; "!doctype" for the doctype, "/head" for an end tag
  std::vector<THtmlAttribute> Attributes;
  size_t Offset = 0;  // of the '<'
  std::string Text;   // what a <script> or <style> holds

  // The attribute's value, or nullptr without it.
  const std::string* Attribute(std::string_view name) const;
};

std::vector<THtmlTag> ScanHtml(std::string_view html);

// ASCII lower case: tag, attribute and file names compare without case.
std::string Lower(std::string_view text);

// The tags between <head> and </head> (or the <body> that ends it).
std::vector<const THtmlTag*> HeadTags(const std::vector<THtmlTag>& tags);

// The brace depth of a script at `offset`, skipping string literals and
// comments: 0 is the script's top level.
int BraceDepthAt(std::string_view script, size_t offset);

}  // namespace exporters
