#include "exporters/ad_export.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "exporters/backup_picture.h"
#include "exporters/html5_page.h"
#include "exporters/zip_archive.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "player/swf_reader.h"

namespace exporters {

namespace {

// The build plays 100 SWF frames a second.
constexpr double kSwfFramesPerSecond = 100;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

struct TLoopChoice {
  std::optional<int> Loops;  // unset: for ever
  std::string Message;
};

TLoopChoice ChooseLoops(const project::TProjectDocument& doc, const TAdProfile& profile,
                        const TAdExportOptions& options) {
  if (options.Loops) return {std::max(*options.Loops, 1), ""};
  if (doc.Settings.MLoop == 0) return {1, ""};
  const double limit = profile.MaxAnimationSeconds, loop = LoopSeconds(doc);
  if (limit <= 0) return {std::nullopt, ""};
  const int loops = std::max(1, int(std::floor(limit / loop + 1e-9)));
  return {loops, "Loops: " + std::to_string(loops) + " of " + Number(loop) + " s, the most " +
                     profile.Name + "'s limit of " + Number(limit) +
                     " s allows; the ad then holds its last frame"};
}

bool HasSound(const std::vector<uint8_t>& swf) {
  const player::TMovie movie = player::ReadMovie(swf);
  if (movie.StreamSound) return true;
  for (const auto& [id, character] : movie.Characters)
    if (character->Kind == player::TCharacterKind::Sound) return true;
  return false;
}

void Replace(std::string& html, const std::string& from, const std::string& to) {
  const size_t at = html.find(from);
  if (at == std::string::npos)
    throw platform::TVellumetError("The HTML5 page lacks \"" + from + "\" for the ad package");
  html.replace(at, from.size(), to);
}

// Ad servers replace the click tag's address with their own; a movie without
// a link gets one that marks the place.
constexpr const char* kPlaceholderClickTag = "https://www.example.com/";

// What ad servers read from the page: the ad's size and how long it moves.
void MakeAdPage(std::string& html, const project::TProjectDocument& doc,
                const std::optional<int>& loops, std::vector<std::string>& messages) {
  const std::string emptyClickTag = "var clickTag = \"\";";
  if (html.find(emptyClickTag) != std::string::npos) {
    Replace(html, emptyClickTag, "var clickTag = \"" + std::string(kPlaceholderClickTag) + "\";");
    messages.push_back(std::string("The movie has no link: clickTag holds ") +
                       kPlaceholderClickTag + " until the ad server sets it");
  }
  const std::string charset = "<meta charset=\"utf-8\">\n";
  Replace(html, charset,
          charset +
              "<meta name=\"ad.size\" content=\"width=" + std::to_string(doc.Settings.MWidth) +
              ",height=" + std::to_string(doc.Settings.MHeight) + "\">\n<meta name=\"" +
              kAnimationMeta + "\" content=\"duration=" + Number(LoopSeconds(doc)) +
              ",loops=" + std::to_string(loops.value_or(0)) + "\">\n");
}

}  // namespace

double LoopSeconds(const project::TProjectDocument& doc) {
  return double(moviegen::MovieSwfFrames(doc)) / kSwfFramesPerSecond;
}

TAdPackageBuild BuildAdPackage(const std::string& swfPath, const project::TProjectDocument& doc,
                               const TAdExportOptions& options) {
  TAdPackageBuild build;
  build.Profile = LoadAdProfile(options.Profile);
  const TAdProfile& profile = build.Profile;
  build.LimitBytes = uint64_t(std::max<int64_t>(
                         profile.PackageLimitKB(doc.Settings.MWidth, doc.Settings.MHeight), 0)) *
                     1000;
  const std::vector<uint8_t> swf = player::ReadFileBytes(swfPath);

  const TLoopChoice loops = ChooseLoops(doc, profile, options);
  if (!loops.Message.empty()) build.Messages.push_back(loops.Message);
  THtml5Options& page = build.Page;
  page.Loops = loops.Loops;
  page.Click = THtml5Options::ClickTag;
  page.Sound = options.Sound && profile.Sound;
  if (options.Sound && !profile.Sound && HasSound(swf))
    build.Messages.push_back("Sound left out: " + profile.Name + " allows none");
  page.InlinePictures = !(profile.AllowsType("png") && profile.AllowsType("jpg"));
  page.Title = std::filesystem::path(doc.ProjectFileName).stem().string();
  // index.html and the backup picture come beside the pictures.
  const size_t files =
      page.InlinePictures || profile.MaxFiles <= 0 ? 0 : Html5Page(swf, page).Files.size() + 2;
  if (files > size_t(std::max(profile.MaxFiles, 0))) {
    page.InlinePictures = true;
    build.Messages.push_back("Pictures inside index.html: " + std::to_string(files) +
                             " files would pass " + profile.Name + "'s limit of " +
                             std::to_string(profile.MaxFiles));
  }
  TBackupPicture backup = MakeBackupPicture(swfPath, doc, options.BackupFrame, profile.MaxBackupKB);
  build.Messages.push_back("Backup picture: " + backup.Name + " (" + backup.Choice + ")");
  build.Backup = {backup.Name, std::move(backup.Bytes)};
  build.Zip = WriteZip(AdPackageFiles(swf, doc, build, &build.Messages));
  build.Check = CheckAdPackage(PackageFromZip(options.PackageName, build.Zip), profile);
  return build;
}

std::vector<TZipEntry> AdPackageFiles(const std::vector<uint8_t>& swf,
                                      const project::TProjectDocument& doc,
                                      const TAdPackageBuild& build,
                                      std::vector<std::string>* messages) {
  THtml5Page made = Html5Page(swf, build.Page);
  std::vector<std::string> unheard;
  MakeAdPage(made.Html, doc, build.Page.Loops, messages ? *messages : unheard);
  std::vector<TZipEntry> entries{{"index.html", {made.Html.begin(), made.Html.end()}}};
  for (THtml5File& file : made.Files) entries.push_back({file.Name, std::move(file.Bytes)});
  entries.push_back(build.Backup);
  return entries;
}

std::string PackageSizeText(const TAdPackageBuild& build) {
  std::string text = Kilobytes(build.Zip.size());
  if (build.LimitBytes == 0) return text + ", no limit in the profile";
  return text + " of " + Kilobytes(build.LimitBytes) + " allowed" +
         (OverLimit(build) ? ": too big" : "");
}

bool OverLimit(const TAdPackageBuild& build) {
  return build.LimitBytes > 0 && build.Zip.size() > build.LimitBytes;
}

}  // namespace exporters
