// The checker's rules that read the pages, style sheets and scripts.
#include <algorithm>
#include <cstdio>
#include <regex>
#include <set>

#include "exporters/ad_check_context.h"
#include "exporters/package_references.h"

namespace exporters {
namespace {

const char* const kNoPrimary = "no primary HTML";

bool IsText(const std::string& path) {
  static const std::set<std::string> types = {"html", "htm", "js",  "css",
                                              "json", "svg", "xml", "txt"};
  return types.count(FileType(path)) > 0;
}

bool IsCode(const std::string& path) {
  std::string type = FileType(path);
  return type == "html" || type == "htm" || type == "js";
}

TRuleResult StructureRule(const TCheckContext& context) {
  const char* rule = "page structure";
  if (!context.Primary) return NotApplicable(rule, kNoPrimary);
  const std::string& page = context.Primary->Path;
  const std::vector<THtmlTag>& tags = context.PrimaryTags;
  if (tags.empty() || tags[0].Name != "!doctype" || !tags[0].Attribute("html"))
    return Failed(rule, "badly formed HTML: " + page + " does not begin with <!DOCTYPE html>");
  size_t at = 1;
  for (const char* name : {"html", "head", "body"}) {
    while (at < tags.size() && tags[at].Name != name) ++at;
    if (at == tags.size())
      return Failed(rule, "badly formed HTML: " + page + " has no <" + name +
                              "> after the ones before it (doctype, html, head, body)");
  }
  return Passed(rule, "doctype, html, head and body in order");
}

// The <canvas> size the page draws on, when it states one.
bool CanvasSize(const std::vector<THtmlTag>& tags, int& width, int& height) {
  for (const THtmlTag& tag : tags) {
    const std::string* w = tag.Attribute("width");
    const std::string* h = tag.Attribute("height");
    if (tag.Name == "canvas" && w && h) {
      width = std::atoi(w->c_str());
      height = std::atoi(h->c_str());
      return width > 0 && height > 0;
    }
  }
  return false;
}

TRuleResult AdSizeRule(const TCheckContext& context) {
  const char* rule = "ad size";
  if (!context.Primary) return NotApplicable(rule, kNoPrimary);
  const std::string& page = context.Primary->Path;
  if (context.AdWidth <= 0)
    return Failed(rule,
                  "ad.size missing: " + page +
                      " has no <meta name=\"ad.size\" content=\"width=W,height=H\"> in its head");
  std::string size = std::to_string(context.AdWidth) + "x" + std::to_string(context.AdHeight);
  int width = 0, height = 0;
  if (CanvasSize(context.PrimaryTags, width, height) &&
      (width != context.AdWidth || height != context.AdHeight))
    return Failed(rule, "unexpected size: ad.size " + size + ", the canvas of " + page + " " +
                            std::to_string(width) + "x" + std::to_string(height));
  return Passed(rule, size);
}

struct TClickTags {
  std::string Value;   // of clickTag; empty when missing
  bool Found = false;  // clickTag set at the top level of a head script
  int Exits = 0;       // clickTag2, clickTag3...
};

TClickTags HeadClickTags(const TCheckContext& context) {
  static const std::regex declaration(
      R"((?:\bvar\s+|\bwindow\.)(clickTag(\d*))\s*=\s*(["'])([^"']*)\3)");
  TClickTags tags;
  for (const THtmlTag* tag : HeadTags(context.PrimaryTags)) {
    if (tag->Name != "script" || tag->Attribute("src")) continue;
    const std::string& text = tag->Text;
    for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it) {
      if (BraceDepthAt(text, size_t(it->position())) != 0) continue;
      if ((*it)[2].length() == 0) {
        tags.Found = true;
        tags.Value = (*it)[4].str();
      } else {
        ++tags.Exits;
      }
    }
  }
  return tags;
}

TRuleResult ClickTagRule(const TCheckContext& context) {
  const char* rule = "click tag";
  if (!context.Primary) return NotApplicable(rule, kNoPrimary);
  const std::string& page = context.Primary->Path;
  TClickTags tags = HeadClickTags(context);
  if (!tags.Found) {
    bool elsewhere = false;
    for (const TPackageFile& file : context.Package.Files)
      elsewhere |= IsCode(file.Path) && file.Text().find("clickTag") != std::string::npos;
    return Failed(rule, elsewhere
                            ? "click tag not in primary HTML: no global var clickTag in the "
                              "head of " +
                                  page + " (it is used elsewhere)"
                            : "click tag missing: no global var clickTag in the head of " + page);
  }
  TResolvedAddress address = ResolveAddress(page, tags.Value);
  if (address.Scheme != "https" && address.Scheme != "http")
    return Failed(rule, "click tag invalid: clickTag = \"" + tags.Value + "\" in " + page +
                            " is no web address");
  std::string exits = tags.Exits ? " and " + std::to_string(tags.Exits) + " further exits" : "";
  return Passed(rule, "clickTag = \"" + tags.Value + "\"" + exits);
}

// window.open("https://...") or location = "https://..." or <a href="https://...">.
std::vector<std::string> HardCodedLinks(const TPackageFile& file) {
  static const std::regex call(
      R"((window\.open\s*\(\s*|location(?:\.href)?\s*=\s*)(["'`])([a-zA-Z][a-zA-Z0-9+.-]*:[^"'`]*|//[^"'`]*)\2)");
  std::vector<std::string> found;
  std::string text = file.Text();
  for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it)
    found.push_back(file.Path + ": " + it->str());
  if (FileType(file.Path) != "html" && FileType(file.Path) != "htm") return found;
  for (const THtmlTag& tag : ScanHtml(text)) {
    const std::string* href = tag.Attribute("href");
    if (tag.Name == "a" && href && ResolveAddress(file.Path, *href).Kind == TAddressKind::Outside)
      found.push_back(file.Path + ": <a href=\"" + *href + "\">");
  }
  return found;
}

TRuleResult HardCodedRule(const TCheckContext& context) {
  const char* rule = "hard-coded links";
  std::vector<std::string> found;
  for (const TPackageFile& file : context.Package.Files)
    if (IsCode(file.Path)) {
      std::vector<std::string> links = HardCodedLinks(file);
      found.insert(found.end(), links.begin(), links.end());
    }
  if (!found.empty()) return Failed(rule, "click tag hard-coded: " + FirstFew(found));
  return Passed(rule, "clicks go through the click tags");
}

std::vector<TReference> AllReferences(const TAdPackage& package) {
  std::vector<std::string> paths;
  for (const TPackageFile& file : package.Files) paths.push_back(file.Path);
  std::vector<TReference> refs;
  for (const TPackageFile& file : package.Files) {
    std::vector<TReference> own = FileReferences(file.Path, file.Text(), paths);
    refs.insert(refs.end(), own.begin(), own.end());
  }
  return refs;
}

bool HostAllowed(const TAdProfile& profile, const std::string& host) {
  return !host.empty() && std::find(profile.AllowedHosts.begin(), profile.AllowedHosts.end(),
                                    host) != profile.AllowedHosts.end();
}

TRuleResult ExternalRule(const TCheckContext& context, const std::vector<TReference>& refs) {
  const char* rule = "external addresses";
  std::vector<std::string> outside;
  for (const TReference& ref : refs) {
    if (!ref.Explicit) continue;
    TResolvedAddress address = ResolveAddress(ref.From, ref.Address);
    if (address.Kind == TAddressKind::Outside && !HostAllowed(context.Profile, address.Host))
      outside.push_back(ref.From + ": " + ref.Address + " (" + ref.How + ")");
  }
  if (!outside.empty()) return Failed(rule, "external address not allowed: " + FirstFew(outside));
  return Passed(rule, "everything the pages use is in the package");
}

TRuleResult MissingRule(const TCheckContext& context, const std::vector<TReference>& refs) {
  const char* rule = "missing files";
  std::vector<std::string> missing;
  for (const TReference& ref : refs) {
    if (!ref.Explicit) continue;
    TResolvedAddress address = ResolveAddress(ref.From, ref.Address);
    if (address.Kind == TAddressKind::Relative && !context.Find(address.Path))
      missing.push_back(ref.From + " refers to " + ref.Address);
  }
  if (!missing.empty())
    return Failed(rule, "invalid URL reference, file missing: " + FirstFew(missing));
  return Passed(rule, "every address in the package names one of its files");
}

TRuleResult UnreferencedRule(const TCheckContext& context, const std::vector<TReference>& refs) {
  const char* rule = "unreferenced files";
  if (!context.Primary) return NotApplicable(rule, kNoPrimary);
  std::set<std::string> reached = {context.Primary->Path};
  if (const TPackageFile* backup = BackupPicture(context.Package)) reached.insert(backup->Path);
  std::vector<std::string> queue = {context.Primary->Path};
  while (!queue.empty()) {
    std::string from = queue.back();
    queue.pop_back();
    for (const TReference& ref : refs) {
      if (ref.From != from) continue;
      std::string path = ref.Explicit ? ResolveAddress(ref.From, ref.Address).Path : ref.Address;
      if (context.Find(path) && reached.insert(path).second) queue.push_back(path);
    }
  }
  std::vector<std::string> unused;
  for (const TPackageFile& file : context.Package.Files)
    if (!reached.count(file.Path)) unused.push_back(file.Path);
  if (!unused.empty()) return Failed(rule, "unreferenced file: " + FirstFew(unused));
  return Passed(rule, "the primary HTML reaches every file");
}

TRuleResult HttpsRule(const TCheckContext& context) {
  const char* rule = "HTTPS only";
  std::vector<std::string> plain;
  for (const TPackageFile& file : context.Package.Files)
    if (IsText(file.Path))
      for (const std::string& address : PlainHttpAddresses(file.Text()))
        plain.push_back(file.Path + ": " + address);
  if (!plain.empty()) return Failed(rule, "non-SSL address: " + FirstFew(plain));
  return Passed(rule, "no http:// address");
}

TRuleResult StorageRule(const TCheckContext& context) {
  const char* rule = "storage";
  static const std::regex storage(R"(\b(localStorage|sessionStorage)\b)");
  std::vector<std::string> users;
  for (const TPackageFile& file : context.Package.Files) {
    std::string text = file.Text();
    std::smatch match;
    if (IsCode(file.Path) && std::regex_search(text, match, storage))
      users.push_back(file.Path + " uses " + match[1].str());
  }
  if (!users.empty()) return Failed(rule, "local storage not allowed: " + FirstFew(users));
  return Passed(rule, "no localStorage or sessionStorage");
}

}  // namespace

const TPackageFile* TCheckContext::Find(const std::string& path) const {
  for (const TPackageFile& file : Package.Files)
    if (file.Path == path) return &file;
  return nullptr;
}

TRuleResult Passed(const char* rule, std::string detail) {
  return {rule, TRuleState::Passed, std::move(detail)};
}
TRuleResult Failed(const char* rule, std::string detail) {
  return {rule, TRuleState::Failed, std::move(detail)};
}
TRuleResult NotApplicable(const char* rule, std::string detail) {
  return {rule, TRuleState::NotApplicable, std::move(detail)};
}

std::string FirstFew(const std::vector<std::string>& items) {
  const size_t shown = 3;
  std::string text;
  for (size_t i = 0; i < items.size() && i < shown; ++i) text += (i ? ", " : "") + items[i];
  if (items.size() > shown) text += " and " + std::to_string(items.size() - shown) + " more";
  return text;
}

bool ParseAdSize(const std::string& content, int& width, int& height) {
  static const std::regex size(R"(\s*width\s*=\s*(\d{1,5})\s*,\s*height\s*=\s*(\d{1,5})\s*)");
  std::smatch match;
  if (!std::regex_match(content, match, size)) return false;
  width = std::stoi(match[1].str());
  height = std::stoi(match[2].str());
  return width > 0 && height > 0;
}

void CheckPageRules(const TCheckContext& context, std::vector<TRuleResult>& results) {
  std::vector<TReference> refs = AllReferences(context.Package);
  results.push_back(StructureRule(context));
  results.push_back(AdSizeRule(context));
  results.push_back(ClickTagRule(context));
  results.push_back(HardCodedRule(context));
  results.push_back(ExternalRule(context, refs));
  results.push_back(MissingRule(context, refs));
  results.push_back(UnreferencedRule(context, refs));
  results.push_back(HttpsRule(context));
  results.push_back(StorageRule(context));
}

}  // namespace exporters
