#include "exporters/ad_check.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <regex>

#include "exporters/ad_check_context.h"
#include "exporters/package_references.h"

namespace exporters {

std::string Kilobytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f KB", double(bytes) / 1000.0);
  return text;
}

namespace {

bool IsArchive(const std::string& path) {
  static const std::vector<std::string> types = {"zip", "adz", "rar", "7z", "tar",
                                                 "gz",  "tgz", "bz2", "xz", "jar"};
  return std::find(types.begin(), types.end(), FileType(path)) != types.end();
}

bool IsSystemFile(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  return path.rfind("__MACOSX/", 0) == 0 || path.find("/__MACOSX/") != std::string::npos ||
         name == ".DS_Store" || name == "Thumbs.db" || name == "desktop.ini" ||
         name.rfind("._", 0) == 0;
}

TRuleResult ArchiveRule(const TAdPackage& package) {
  const char* rule = "archive";
  if (!package.ReadError.empty()) return Failed(rule, "unreadable: " + package.ReadError);
  std::vector<std::string> nested, system;
  for (const TPackageFile& file : package.Files) {
    if (IsArchive(file.Path)) nested.push_back(file.Path);
    if (IsSystemFile(file.Path)) system.push_back(file.Path);
  }
  if (!nested.empty()) return Failed(rule, "archive inside the package: " + FirstFew(nested));
  if (!system.empty()) return Failed(rule, "system file: " + FirstFew(system));
  if (package.Files.empty()) return Failed(rule, "the package is empty");
  return Passed(rule, "a readable ZIP of " + std::to_string(package.Files.size()) + " files");
}

bool IsRootHtml(const std::string& path) {
  std::string type = FileType(path);
  return path.find('/') == std::string::npos && (type == "html" || type == "htm");
}

// index.html when there are several pages at the root, else the only one.
const TPackageFile* PrimaryHtml(const TAdPackage& package, std::vector<std::string>& roots) {
  const TPackageFile* only = nullptr;
  for (const TPackageFile& file : package.Files) {
    if (!IsRootHtml(file.Path)) continue;
    roots.push_back(file.Path);
    if (file.Path == "index.html") return &file;
    only = &file;
  }
  return roots.size() == 1 ? only : nullptr;
}

TRuleResult PrimaryRule(const TCheckContext& context, const std::vector<std::string>& roots) {
  const char* rule = "primary HTML";
  if (context.Primary) return Passed(rule, context.Primary->Path);
  if (roots.empty()) return Failed(rule, "primary HTML missing: no .html file at the root");
  return Failed(rule, "several HTML files at the root and no index.html: " + FirstFew(roots));
}

TRuleResult SizeRule(const TCheckContext& context) {
  const char* rule = "package size";
  int64_t limitKB = context.Profile.PackageLimitKB(context.AdWidth, context.AdHeight);
  std::string size = Kilobytes(context.Package.ZipBytes) + " (" +
                     std::to_string(context.Package.ZipBytes) + " bytes)";
  if (limitKB <= 0) return NotApplicable(rule, size + ", no limit in the profile");
  std::string limit = "limit " + std::to_string(limitKB) + " KB";
  if (context.Package.ZipBytes > uint64_t(limitKB) * 1000)
    return Failed(rule, "too large: " + size + ", " + limit);
  return Passed(rule, size + ", " + limit);
}

TRuleResult CountRule(const TCheckContext& context) {
  const char* rule = "file count";
  size_t count = context.Package.Files.size();
  int limit = context.Profile.MaxFiles;
  if (limit <= 0) return NotApplicable(rule, std::to_string(count) + " files, no limit");
  std::string text = std::to_string(count) + " files, limit " + std::to_string(limit);
  if (count > size_t(limit)) return Failed(rule, "too many files: " + text);
  return Passed(rule, text);
}

TRuleResult TypeRule(const TCheckContext& context) {
  const char* rule = "file types";
  if (context.Profile.FileTypes.empty()) return NotApplicable(rule, "no list in the profile");
  std::vector<std::string> refused;
  for (const TPackageFile& file : context.Package.Files)
    if (!context.Profile.AllowsType(FileType(file.Path))) refused.push_back(file.Path);
  if (!refused.empty()) return Failed(rule, "file type not allowed: " + FirstFew(refused));
  return Passed(rule, "every file of an allowed type");
}

TRuleResult NameRule(const TCheckContext& context) {
  const char* rule = "file names";
  const TAdProfile& profile = context.Profile;
  int zipLength = int(context.Package.Name.size());
  if (profile.MaxZipNameLength > 0 && zipLength > profile.MaxZipNameLength)
    return Failed(rule, "ZIP name too long: " + context.Package.Name + ", " +
                            std::to_string(zipLength) + " characters, limit " +
                            std::to_string(profile.MaxZipNameLength));
  if (profile.FileNamePattern.empty()) return NotApplicable(rule, "no pattern in the profile");
  std::regex pattern(profile.FileNamePattern);
  std::vector<std::string> refused;
  for (const TPackageFile& file : context.Package.Files)
    if (!std::regex_match(file.Path, pattern)) refused.push_back(file.Path);
  if (!refused.empty()) return Failed(rule, "invalid file name: " + FirstFew(refused));
  return Passed(rule, "every name allowed");
}

TRuleResult AnimationRule(const TCheckContext& context) {
  const char* rule = "animation length";
  double limit = context.Profile.MaxAnimationSeconds;
  if (limit <= 0) return NotApplicable(rule, "no limit in the profile");
  const std::string* content = nullptr;
  for (const THtmlTag* tag : HeadTags(context.PrimaryTags)) {
    const std::string* name = tag->Attribute("name");
    if (tag->Name == "meta" && name && *name == kAnimationMeta) content = tag->Attribute("content");
  }
  if (!content) return NotApplicable(rule, "the package states no animation time");
  double duration = -1;
  int loops = -1;
  char rest = 0;
  if (std::sscanf(content->c_str(), "duration=%lf,loops=%d%c", &duration, &loops, &rest) != 2 ||
      duration < 0 || loops < 0)
    return Failed(rule, std::string("invalid ") + kAnimationMeta + ": " + *content);
  char text[128];
  if (loops == 0) {
    std::snprintf(text, sizeof text, "animation too long: %g s looping for ever, limit %g s",
                  duration, limit);
    return duration > 0 ? Failed(rule, text) : Passed(rule, "a still picture");
  }
  double total = duration * loops;
  std::snprintf(text, sizeof text, "%g s (%g s x %d loops), limit %g s", total, duration, loops,
                limit);
  if (total > limit + 1e-9) return Failed(rule, std::string("animation too long: ") + text);
  return Passed(rule, text);
}

TRuleResult BackupRule(const TCheckContext& context) {
  const char* rule = "backup picture";
  const TPackageFile* backup = BackupPicture(context.Package);
  if (!backup)
    return Failed(rule, "backup picture missing: no backup.jpg, .png or .gif at the root");
  QByteArray bytes(reinterpret_cast<const char*>(backup->Bytes.data()),
                   qsizetype(backup->Bytes.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer);
  QSize size = reader.size();
  if (!size.isValid()) return Failed(rule, "backup picture unreadable: " + backup->Path);
  std::string pixels = std::to_string(size.width()) + "x" + std::to_string(size.height());
  if (context.AdWidth > 0 && (size.width() != context.AdWidth || size.height() != context.AdHeight))
    return Failed(rule, "backup picture of the wrong size: " + backup->Path + " is " + pixels +
                            ", the ad " + std::to_string(context.AdWidth) + "x" +
                            std::to_string(context.AdHeight));
  int64_t limitKB = context.Profile.MaxBackupKB;
  std::string weight = Kilobytes(backup->Bytes.size());
  if (limitKB > 0 && backup->Bytes.size() > uint64_t(limitKB) * 1000)
    return Failed(rule, "backup picture too large: " + backup->Path + ", " + weight + ", limit " +
                            std::to_string(limitKB) + " KB");
  return Passed(rule, backup->Path + ", " + pixels + ", " + weight);
}

void ReadAdSize(TCheckContext& context) {
  for (const THtmlTag* tag : HeadTags(context.PrimaryTags)) {
    const std::string* name = tag->Attribute("name");
    const std::string* content = tag->Attribute("content");
    if (tag->Name == "meta" && name && *name == "ad.size" && content &&
        ParseAdSize(*content, context.AdWidth, context.AdHeight))
      return;
  }
  context.AdWidth = context.AdHeight = 0;
}

}  // namespace

const TPackageFile* BackupPicture(const TAdPackage& package) {
  for (const TPackageFile& file : package.Files) {
    std::string type = FileType(file.Path);
    bool picture = type == "jpg" || type == "jpeg" || type == "png" || type == "gif";
    if (picture && file.Path.rfind("backup.", 0) == 0) return &file;
  }
  return nullptr;
}

std::vector<TRuleResult> CheckAdPackage(const TAdPackage& package, const TAdProfile& profile) {
  std::vector<TRuleResult> results{ArchiveRule(package)};
  if (!package.ReadError.empty()) return results;
  TCheckContext context{package, profile, nullptr, {}, 0, 0};
  std::vector<std::string> roots;
  context.Primary = PrimaryHtml(package, roots);
  if (context.Primary) context.PrimaryTags = ScanHtml(context.Primary->Text());
  ReadAdSize(context);
  results.push_back(PrimaryRule(context, roots));
  results.push_back(SizeRule(context));
  results.push_back(CountRule(context));
  results.push_back(TypeRule(context));
  results.push_back(NameRule(context));
  CheckPageRules(context, results);
  results.push_back(AnimationRule(context));
  results.push_back(BackupRule(context));
  return results;
}

std::string RuleLine(const TRuleResult& result) {
  const char* state = result.State == TRuleState::Passed   ? "passed"
                      : result.State == TRuleState::Failed ? "FAILED"
                                                           : "n/a   ";
  return std::string(state) + "  " + result.Rule + ": " + result.Detail;
}

bool AllPassed(const std::vector<TRuleResult>& results) {
  return std::none_of(results.begin(), results.end(),
                      [](const TRuleResult& r) { return r.State == TRuleState::Failed; });
}

std::string CheckSummary(const std::vector<TRuleResult>& results, const std::string& profile) {
  int counts[3] = {0, 0, 0};
  for (const TRuleResult& result : results) ++counts[int(result.State)];
  return std::string(counts[1] ? "Rejected" : "Accepted") + " for " + profile + ": " +
         std::to_string(counts[0]) + " rules passed, " + std::to_string(counts[1]) + " failed, " +
         std::to_string(counts[2]) + " not applicable";
}

}  // namespace exporters
