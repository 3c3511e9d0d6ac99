#include "app/project_export.h"

#include <filesystem>
#include <mutex>
#include <new>

#include "app/export_target.h"
#include "media/file_bytes.h"
#include "moviegen/export.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "project/document.h"

namespace app {

namespace fs = std::filesystem;

namespace {

// Keeps the text of a failed open for the command's message.
class TOpenErrors : public project::IDocumentView {
 public:
  void ShowError(const std::string& message, const std::string& detail) override {
    Text = detail.empty() ? message : message + ": " + detail;
  }
  std::string Text;
};

// The built movie lives in the temporary folder only while it is exported.
class TBuiltMovie {
 public:
  explicit TBuiltMovie(std::string path) : path_(std::move(path)) {}
  ~TBuiltMovie() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
  }
  TBuiltMovie(const TBuiltMovie&) = delete;
  TBuiltMovie& operator=(const TBuiltMovie&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The output is the HTML5 page, which only reads the movie back.
bool WritesPage(const TExportArgs& args) {
  if (args.Output.empty()) return false;
  return NamesFolder(args.Output) ? args.Html : TargetKindOf(args.Output) == TTargetKind::Html;
}

std::string BuildMovie(project::TProjectDocument& doc, const std::string& project,
                       const TExportArgs& args, moviegen::IBuildHost& host) {
  if (args.Frame > doc.FrameCount)
    throw platform::TVellumetError(project + " has " + std::to_string(doc.FrameCount) +
                                   " frames; there is no frame " + std::to_string(args.Frame));
  if (args.Frame > 0) doc.CurrentFrame = args.Frame;
  moviegen::TBuildOptions options;
  options.Compact = args.Compact;
  options.Uncompressed = WritesPage(args);
  return moviegen::CreateMovie(doc, host, args.Frame == 0, false, false, options);
}

TWrittenFile Written(const exporters::TExportReport& report) {
  return {report.Path, report.Bytes, report.Choice, {}, false};
}

uint64_t FileBytes(const std::string& path) {
  std::error_code ignored;
  const uintmax_t size = fs::file_size(path, ignored);
  return size == uintmax_t(-1) ? 0 : size;
}

void WriteSwf(const project::TProjectDocument& doc, const std::string& movie,
              const std::string& swfPath, bool web, std::vector<TWrittenFile>& written) {
  const moviegen::TExportResult result = moviegen::SaveSWF(doc.Settings, movie, swfPath);
  written.push_back({result.SwfPath, result.SwfSize, "", {}, false});
  written.push_back({result.PagePath, FileBytes(result.PagePath), "", {}, false});
  if (!web) return;
  // The pages of a batch share the player's folder beside them.
  static std::mutex sharedFolder;
  std::lock_guard lock(sharedFolder);
  written.push_back(Written(exporters::WriteWebPage(doc, result.SwfPath)));
}

// The package is written whatever its check says, so the author can look
// into it; the check's lines and the exit status tell what a platform would.
TWrittenFile WriteAdPackage(const project::TProjectDocument& doc, const std::string& movie,
                            const std::string& out, exporters::TAdExportOptions options) {
  options.PackageName = fs::path(out).filename().string();
  const exporters::TAdPackageBuild build = exporters::BuildAdPackage(movie, doc, options);
  media::WriteFileBytes(out, build.Zip);
  TWrittenFile file{out, build.Zip.size(), "", build.Messages, !exporters::AllPassed(build.Check)};
  for (const exporters::TRuleResult& result : build.Check)
    file.Notes.push_back(exporters::RuleLine(result));
  file.Notes.push_back(exporters::CheckSummary(build.Check, build.Profile.Name));
  return file;
}

void WriteOutput(const project::TProjectDocument& doc, const std::string& project,
                 const std::string& movie, const TExportArgs& args,
                 const exporters::TProgress& progress, std::vector<TWrittenFile>& written) {
  const std::string& out = args.Output;
  if (NamesFolder(out) && args.Html) {
    written.push_back(Written(exporters::ExportHtml5Page(movie, doc, HtmlPathInFolder(out, project),
                                                         args.Animation, progress)));
    return;
  }
  if (NamesFolder(out))
    return WriteSwf(doc, movie, SwfPathInFolder(out, project), args.Web, written);
  switch (TargetKindOf(out)) {
    case TTargetKind::Swf:
      return WriteSwf(doc, movie, out, args.Web, written);
    case TTargetKind::Gif:
      written.push_back(Written(exporters::ExportGif(movie, doc, out, args.Animation, progress)));
      return;
    case TTargetKind::WebP:
      written.push_back(Written(exporters::ExportWebP(movie, doc, out, args.Animation, progress)));
      return;
    case TTargetKind::Video:
      written.push_back(Written(exporters::ExportVideo(movie, doc, out, args.Animation, progress)));
      return;
    case TTargetKind::Html:
      written.push_back(
          Written(exporters::ExportHtml5Page(movie, doc, out, args.Animation, progress)));
      return;
    case TTargetKind::AdPackage:
      written.push_back(WriteAdPackage(doc, movie, out, args.Ad));
      return;
  }
}

// A file path's folder, or the path itself when it is a folder already.
std::string PngFramesProblem(const std::string& dir) {
  std::error_code ignored;
  return FolderProblem(fs::exists(dir, ignored) ? dir : FolderOf(dir));
}

}  // namespace

std::string TargetProblem(const TExportArgs& args) {
  if (!args.Output.empty()) {
    const std::string problem =
        FolderProblem(NamesFolder(args.Output) ? args.Output : FolderOf(args.Output));
    if (!problem.empty()) return problem;
  }
  return args.PngFrames.empty() ? "" : PngFramesProblem(args.PngFrames);
}

std::vector<TWrittenFile> ExportProject(const std::string& project, const TExportArgs& args,
                                        const std::string& tempDir, moviegen::IBuildHost& host,
                                        const exporters::TProgress& progress) {
  TOpenErrors errors;
  project::TProjectDocument doc(errors);
  doc.TempDir = tempDir;
  if (!doc.OpenMV(project)) throw platform::TVellumetError(errors.Text);
  const TBuiltMovie movie(BuildMovie(doc, project, args, host));
  std::vector<TWrittenFile> written;
  if (!args.Output.empty()) WriteOutput(doc, project, movie.Path(), args, progress, written);
  if (!args.PngFrames.empty()) {
    std::error_code ignored;
    fs::create_directory(args.PngFrames, ignored);
    written.push_back(Written(
        exporters::ExportPngFrames(movie.Path(), doc, args.PngFrames, args.Animation, progress)));
  }
  return written;
}

std::string UserMessage(const std::exception& e) {
  if (dynamic_cast<const platform::TVellumetError*>(&e)) return e.what();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "There is not enough memory for this export.";
  if (auto* fsError = dynamic_cast<const fs::filesystem_error*>(&e))
    return fsError->path1().string() + ": " + fsError->code().message();
  return std::string("The export failed (") + e.what() + ").";
}

std::string WrittenLine(const TWrittenFile& file) {
  std::string line = file.Path + ": " + std::to_string(file.Bytes) + " bytes";
  if (!file.Choice.empty()) line += " (" + file.Choice + ")";
  return line;
}

}  // namespace app
