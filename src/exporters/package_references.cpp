#include "exporters/package_references.h"

#include <cctype>
#include <regex>

#include "exporters/html_scan.h"

namespace exporters {
namespace {

void AddMatches(std::vector<TReference>& refs, const std::string& from, const std::string& text,
                const std::regex& pattern, int group, const char* how) {
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
    refs.push_back({from, (*it)[group].str(), how});
}

void StyleReferences(std::vector<TReference>& refs, const std::string& from,
                     const std::string& text) {
  static const std::regex url(R"(url\(\s*(["']?)([^"')]*)\1\s*\))", std::regex::icase);
  static const std::regex import(R"(@import\s+(["'])([^"']*)\1)", std::regex::icase);
  AddMatches(refs, from, text, url, 2, "url()");
  AddMatches(refs, from, text, import, 2, "@import");
}

void ScriptReferences(std::vector<TReference>& refs, const std::string& from,
                      const std::string& text, const std::vector<std::string>& files) {
  static const std::regex fetch(R"(fetch\s*\(\s*(["'`])([^"'`]*)\1)");
  static const std::regex xhr(R"(\.open\s*\(\s*(["'])[A-Za-z]+\1\s*,\s*(["'`])([^"'`]*)\2)");
  static const std::regex src(R"(\.src\s*=\s*(["'`])([^"'`]*)\1)");
  static const std::regex import(R"(\bimport\s*(?:\(\s*|[^"'`;]*\bfrom\s*)(["'`])([^"'`]*)\1)");
  AddMatches(refs, from, text, fetch, 2, "fetch");
  AddMatches(refs, from, text, xhr, 3, "XMLHttpRequest");
  AddMatches(refs, from, text, src, 2, "src");
  AddMatches(refs, from, text, import, 2, "import");
  // A file named in a string: loaded by a name the script puts together.
  for (const std::string& file : files) {
    for (const char quote : {'"', '\''}) {
      std::string name = quote + file + quote;
      if (file != from && text.find(name) != std::string::npos)
        refs.push_back({from, file, "name", false});
    }
  }
}

void HtmlReferences(std::vector<TReference>& refs, const std::string& from, const std::string& text,
                    const std::vector<std::string>& files) {
  for (const THtmlTag& tag : ScanHtml(text)) {
    for (const THtmlAttribute& attribute : tag.Attributes) {
      const std::string& name = attribute.Name;
      if (name == "src" || name == "href" || name == "poster" || name == "data" || name == "action")
        refs.push_back({from, attribute.Value, name});
      else if (name == "style")
        StyleReferences(refs, from, attribute.Value);
      else if (name.rfind("on", 0) == 0)
        ScriptReferences(refs, from, attribute.Value, files);
    }
    if (tag.Name == "style") StyleReferences(refs, from, tag.Text);
    if (tag.Name == "script") ScriptReferences(refs, from, tag.Text, files);
  }
}

// "a/./b/../c" -> "a/c"; false when ".." leaves the root.
bool NormalizePath(std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  path.clear();
  for (const std::string& part : parts) path += (path.empty() ? "" : "/") + part;
  return true;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += char(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string SchemeOf(std::string_view address) {
  size_t i = 0;
  while (i < address.size() && (std::isalnum(static_cast<unsigned char>(address[i])) ||
                                address[i] == '+' || address[i] == '-' || address[i] == '.'))
    ++i;
  bool scheme = i > 0 && i < address.size() && address[i] == ':' &&
                std::isalpha(static_cast<unsigned char>(address[0]));
  return scheme ? Lower(address.substr(0, i)) : "";
}

std::string HostOf(std::string_view address) {
  size_t start = address.find("//");
  if (start == std::string_view::npos) return "";
  start += 2;
  size_t end = address.find_first_of("/:?#", start);
  return Lower(address.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace

TResolvedAddress ResolveAddress(const std::string& from, std::string_view written) {
  std::string_view address = written;
  while (!address.empty() && std::isspace(static_cast<unsigned char>(address.front())))
    address.remove_prefix(1);
  while (!address.empty() && std::isspace(static_cast<unsigned char>(address.back())))
    address.remove_suffix(1);
  TResolvedAddress result;
  if (address.empty() || address[0] == '#') return result;
  result.Scheme = SchemeOf(address);
  if (result.Scheme == "data" || result.Scheme == "javascript" || result.Scheme == "blob" ||
      result.Scheme == "about")
    return result;
  if (!result.Scheme.empty() || address[0] == '/' || address[0] == '\\') {
    result.Kind = TAddressKind::Outside;
    result.Path = std::string(address);
    result.Host = HostOf(address);
    return result;
  }
  std::string path(address.substr(0, address.find_first_of("?#")));
  size_t slash = from.rfind('/');
  path = (slash == std::string::npos ? "" : from.substr(0, slash + 1)) + PercentDecoded(path);
  result.Kind = NormalizePath(path) ? TAddressKind::Relative : TAddressKind::Outside;
  result.Path = result.Kind == TAddressKind::Relative ? path : std::string(address);
  return result;
}

std::string FileType(std::string_view path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
  return Lower(path.substr(dot + 1));
}

std::vector<TReference> FileReferences(const std::string& path, std::string_view view,
                                       const std::vector<std::string>& files) {
  std::vector<TReference> refs;
  std::string type = FileType(path);
  std::string text(view);
  if (type == "html" || type == "htm") HtmlReferences(refs, path, text, files);
  if (type == "css") StyleReferences(refs, path, text);
  if (type == "js" || type == "json") ScriptReferences(refs, path, text, files);
  return refs;
}

std::vector<std::string> PlainHttpAddresses(std::string_view text) {
  std::vector<std::string> found;
  std::string lower = Lower(text);
  for (size_t i = lower.find("http://"); i != std::string::npos; i = lower.find("http://", i + 7)) {
    if (lower.compare(i, 18, "http://www.w3.org/") == 0) continue;
    size_t end = text.find_first_of(" \t\r\n\"'<>()`", i);
    found.emplace_back(text.substr(i, end == std::string_view::npos ? end : end - i));
  }
  return found;
}

}  // namespace exporters
