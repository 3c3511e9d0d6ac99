#include "exporters/ad_profile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/error.h"
#include "platform/folders.h"

namespace exporters {
namespace {

namespace fs = std::filesystem;
using platform::TVellumetError;

class TFields {
 public:
  TFields(const QJsonObject& object, std::string source)
      : object_(object), source_(std::move(source)) {}

  [[noreturn]] void Fail(const std::string& field, const std::string& what) const {
    throw TVellumetError("Ad profile " + source_ + ": \"" + field + "\" " + what);
  }

  double Number(const char* field, double min, double max, double fallback) const {
    QJsonValue value = object_.value(field);
    if (value.isUndefined()) return fallback;
    if (!value.isDouble() || value.toDouble() < min || value.toDouble() > max)
      Fail(field, "must be a number from " + Text(min) + " to " + Text(max));
    return value.toDouble();
  }

  std::string String(const char* field) const {
    QJsonValue value = object_.value(field);
    if (value.isUndefined()) return "";
    if (!value.isString()) Fail(field, "must be a text");
    return value.toString().toStdString();
  }

  bool Bool(const char* field, bool fallback) const {
    QJsonValue value = object_.value(field);
    if (value.isUndefined()) return fallback;
    if (!value.isBool()) Fail(field, "must be true or false");
    return value.toBool();
  }

  std::vector<std::string> Strings(const char* field) const {
    std::vector<std::string> list;
    QJsonValue value = object_.value(field);
    if (value.isUndefined()) return list;
    if (!value.isArray()) Fail(field, "must be a list of texts");
    for (const QJsonValue& item : value.toArray()) {
      if (!item.isString()) Fail(field, "must be a list of texts");
      list.push_back(item.toString().toLower().toStdString());
    }
    return list;
  }

  QJsonArray Array(const char* field) const {
    QJsonValue value = object_.value(field);
    if (!value.isUndefined() && !value.isArray()) Fail(field, "must be a list");
    return value.toArray();
  }

 private:
  static std::string Text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
  }

  QJsonObject object_;
  std::string source_;
};

TAdSizeLimit ReadSizeLimit(const QJsonValue& item, const TFields& fields) {
  if (!item.isObject()) fields.Fail("sizeLimits", "must hold {\"size\": \"WxH\", \"maxKB\": N}");
  QJsonObject object = item.toObject();
  TAdSizeLimit limit;
  std::string size = object.value("size").toString().toStdString();
  char x = 0, rest = 0;
  std::istringstream in(size);
  if (!(in >> limit.Width >> x >> limit.Height) || x != 'x' || in >> rest || limit.Width <= 0 ||
      limit.Height <= 0 || !object.value("maxKB").isDouble() ||
      object.value("maxKB").toDouble() < 0)
    fields.Fail("sizeLimits", "must hold {\"size\": \"WxH\", \"maxKB\": N}, not " + size);
  limit.MaxKB = int64_t(object.value("maxKB").toDouble());
  return limit;
}

void CheckKnownFields(const QJsonObject& object, const TFields& fields) {
  static const std::set<QString> known = {
      "title",       "maxPackageKB",    "sizeLimits",       "maxFiles",
      "fileTypes",   "fileNamePattern", "maxZipNameLength", "maxAnimationSeconds",
      "maxBackupKB", "sound",           "allowedHosts"};
  for (const QString& key : object.keys())
    if (!known.count(key)) fields.Fail(key.toStdString(), "is not a profile field");
}

std::string ReadFileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) throw TVellumetError("Cannot read the ad profile " + path.string());
  return text.str();
}

}  // namespace

int64_t TAdProfile::PackageLimitKB(int width, int height) const {
  for (const TAdSizeLimit& limit : SizeLimits)
    if (limit.Width == width && limit.Height == height) return limit.MaxKB;
  return MaxPackageKB;
}

bool TAdProfile::AllowsType(const std::string& extension) const {
  return std::find(FileTypes.begin(), FileTypes.end(), extension) != FileTypes.end();
}

TAdProfile ReadAdProfile(const std::string& json, const std::string& name,
                         const std::string& source) {
  QJsonParseError error;
  QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
  if (document.isNull())
    throw TVellumetError("Ad profile " + source + ": " + error.errorString().toStdString() +
                         " at byte " + std::to_string(error.offset));
  if (!document.isObject()) throw TVellumetError("Ad profile " + source + ": not a JSON object");
  QJsonObject object = document.object();
  TFields fields(object, source);
  CheckKnownFields(object, fields);

  TAdProfile profile;
  profile.Name = name;
  profile.Title = fields.String("title");
  if (profile.Title.empty()) profile.Title = name;
  profile.MaxPackageKB = int64_t(fields.Number("maxPackageKB", 0, 1e9, 0));
  for (const QJsonValue& item : fields.Array("sizeLimits"))
    profile.SizeLimits.push_back(ReadSizeLimit(item, fields));
  profile.MaxFiles = int(fields.Number("maxFiles", 0, 1e6, 0));
  profile.FileTypes = fields.Strings("fileTypes");
  profile.FileNamePattern = fields.String("fileNamePattern");
  try {
    std::regex check(profile.FileNamePattern);
  } catch (const std::regex_error&) {
    fields.Fail("fileNamePattern", "is not a valid regular expression");
  }
  profile.MaxZipNameLength = int(fields.Number("maxZipNameLength", 0, 1e6, 0));
  profile.MaxAnimationSeconds = fields.Number("maxAnimationSeconds", 0, 1e6, 0);
  profile.MaxBackupKB = int64_t(fields.Number("maxBackupKB", 0, 1e9, 0));
  profile.Sound = fields.Bool("sound", true);
  profile.AllowedHosts = fields.Strings("allowedHosts");
  return profile;
}

std::vector<std::string> AdProfileFolders() {
  std::vector<std::string> folders;
  std::string config = platform::ConfigDir();
  if (!config.empty()) folders.push_back(config + "ad-profiles/");
  folders.push_back(platform::ProgramDir() + "AdProfiles/");
  return folders;
}

TAdProfile LoadAdProfile(const std::string& name) {
  bool plainName =
      !name.empty() && name.find_first_of("/\\") == std::string::npos && name[0] != '.';
  for (const std::string& folder : AdProfileFolders()) {
    fs::path path = fs::path(folder) / (name + ".json");
    std::error_code ignored;
    if (plainName && fs::is_regular_file(path, ignored))
      return ReadAdProfile(ReadFileText(path), name, path.string());
  }
  std::string known;
  for (const std::string& each : AdProfileNames()) known += (known.empty() ? "" : ", ") + each;
  throw TVellumetError("No ad profile \"" + name +
                       "\" (known: " + (known.empty() ? "none" : known) + ")");
}

std::vector<std::string> AdProfileNames() {
  std::set<std::string> names;
  for (const std::string& folder : AdProfileFolders()) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      if (it->path().extension() == ".json") names.insert(it->path().stem().string());
  }
  return {names.begin(), names.end()};
}

}  // namespace exporters
