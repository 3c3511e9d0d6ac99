#include "gui/export_flow.h"

#include <QDir>
#include <QFileDialog>
#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "editor/movie_builder.h"
#include "exporters/ad_export.h"
#include "exporters/export_progress.h"
#include "exporters/exporters.h"
#include "exporters/partial_file.h"
#include "gui/ad_export_dialog.h"
#include "gui/background_work.h"
#include "gui/export_dialog.h"
#include "moviegen/export.h"
#include "platform/folders.h"

namespace gui {

namespace fs = std::filesystem;

namespace {

// Removes the temporary movie however the export ends.
struct TTemporaryMovie {
  std::string Path;
  ~TTemporaryMovie() {
    std::error_code ignored;
    if (!Path.empty()) fs::remove(Path, ignored);
  }
};

std::string ProjectName(const project::TProjectDocument& doc) {
  return fs::path(std::string(platform::FileNamePart(doc.ProjectFileName))).stem().string();
}

std::string FolderOf(const std::string& path) {
  return fs::path(path).parent_path().string();
}

std::string WithExtension(std::string path, const char* extension) {
  if (fs::path(path).extension().empty()) path += extension;
  return path;
}

void WriteWhole(const std::string& target, const std::vector<uint8_t>& bytes) {
  exporters::TPartialFile file(target);
  std::ofstream out(file.Path(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("Error writing the file " + target);
  file.Commit();
}

}  // namespace

TExportFlow::TExportFlow(QWidget* window, editor::TEditor& editor, editor::IPrompts& prompts,
                         std::function<bool(const std::string&)> openDocument)
    : window_(window), editor_(editor), prompts_(prompts), openDocument_(std::move(openDocument)) {}

std::string TExportFlow::BuildMovie(bool compact, bool uncompressed) {
  editor::TBuiltMovie movie;
  project::TProjectDocument& doc = editor_.Doc();
  RunInBackground(window_, "Building the movie...", false, [&](const TStepReport&) {
    movie = editor::BuildMovieFile(doc, true, {compact, uncompressed});
  });
  for (const std::string& warning : movie.Warnings) Report(warning, true);
  return movie.Path;
}

void TExportFlow::Report(const std::string& text, bool failed) {
  prompts_.MessageBox(text, "Vellumet", failed ? editor::TMsgIcon::Warning : editor::TMsgIcon::Information,
                      editor::TMsgButtons::Ok);
}

// The folder the last export of this project went to; else the project's own
// folder once it has a file; else the user's home.
std::string TExportFlow::StartFolder() const {
  const project::TProjectDocument& doc = editor_.Doc();
  std::error_code ec;
  if (lastProject_ == doc.ProjectFileName && fs::is_directory(lastFolder_, ec)) return lastFolder_;
  if (editor_.Panel().Menu(editor::miSaveProject).Enabled) return FolderOf(doc.ProjectFileName);
  return QDir::homePath().toStdString();
}

void TExportFlow::Written(const std::string& what, const std::string& folder) {
  lastProject_ = editor_.Doc().ProjectFileName;
  lastFolder_ = folder;
  editor_.ExportWritten("Exported " + what, folder);
}

void TExportFlow::ExportMovie() {
  project::TProjectDocument& doc = editor_.Doc();
  TExportDialog dialog(window_);
  TExportChoice choice;
  if (!dialog.Execute(doc.Settings.MLoop == 1, choice)) return;
  std::string target;
  if (choice.Format == TExportFormat::PngFrames) {
    target = QFileDialog::getExistingDirectory(window_, "Folder for the PNG frames",
                                               QString::fromStdString(StartFolder()))
                 .toStdString();
  } else {
    std::optional<std::string> chosen = prompts_.SaveFileDialog(
        {StartFolder(), ProjectName(doc), FormatFilter(choice.Format),
         FormatExtension(choice.Format), true, std::string("Export ") + FormatCaption(choice.Format)});
    if (chosen) target = WithExtension(*chosen, FormatExtension(choice.Format));
  }
  if (target.empty()) return;
  try {
    TTemporaryMovie movie{BuildMovie(choice.Compact, choice.Format == TExportFormat::Html5)};
    exporters::TExportReport report;
    bool finished = RunInBackground(window_, "Exporting...", true, [&](const TStepReport& step) {
      const exporters::TAnimationOptions& o = choice.Options;
      switch (choice.Format) {
        case TExportFormat::Swf: {
          moviegen::TExportResult r = moviegen::SaveSWF(doc.Settings, movie.Path, target);
          report.Path = r.SwfPath;
          report.Bytes = r.SwfSize;
          break;
        }
        case TExportFormat::Gif: report = exporters::ExportGif(movie.Path, doc, target, o, step); break;
        case TExportFormat::WebP: report = exporters::ExportWebP(movie.Path, doc, target, o, step); break;
        case TExportFormat::Mp4:
        case TExportFormat::WebM: report = exporters::ExportVideo(movie.Path, doc, target, o, step); break;
        case TExportFormat::PngFrames:
          report = exporters::ExportPngFrames(movie.Path, doc, target, o, step);
          break;
        case TExportFormat::Html5:
          report = exporters::ExportHtml5Page(movie.Path, doc, target, o, step);
          break;
      }
    });
    if (!finished) return;
    const bool folderOfFrames = choice.Format == TExportFormat::PngFrames;
    Written(std::string(platform::FileNamePart(report.Path)),
            folderOfFrames ? target : FolderOf(report.Path));
    std::string text = "File " + std::string(platform::FileNamePart(report.Path)) +
                       " has been successfully created!";
    if (!report.Choice.empty()) text += "\n" + report.Choice;
    Report(text, false);
  } catch (const exporters::TExportCancelled&) {
    // The user pressed Cancel: nothing was written, nothing to say.
  } catch (const std::exception& e) {
    Report(e.what(), true);
  }
}

void TExportFlow::ExportWebPage() {
  project::TProjectDocument& doc = editor_.Doc();
  std::optional<std::string> chosen = prompts_.SaveFileDialog(
      {StartFolder(), ProjectName(doc), "SWF Flash (*.swf)|*.swf", ".swf", true,
       "Export Web Page"});
  if (!chosen) return;
  try {
    TTemporaryMovie movie{BuildMovie(false)};
    moviegen::TExportResult swf = moviegen::SaveSWF(doc.Settings, movie.Path, *chosen);
    exporters::TExportReport page = exporters::WriteWebPage(doc, swf.SwfPath);
    Written(std::string(platform::FileNamePart(swf.SwfPath)) + " and " +
                std::string(platform::FileNamePart(page.Path)),
            FolderOf(page.Path));
    if (!openDocument_(page.Path)) Report(editor::BrowserFailureText(page.Path), true);
  } catch (const std::exception& e) {
    Report(e.what(), true);
  }
}

void TExportFlow::ExportAdPackage() {
  project::TProjectDocument& doc = editor_.Doc();
  try {
    TTemporaryMovie movie{BuildMovie(false)};
    auto build = [&](const exporters::TAdExportOptions& options) {
      return exporters::BuildAdPackage(movie.Path, doc, options);
    };
    TAdExportDialog dialog(window_, doc.FrameCount, build);
    std::optional<exporters::TAdExportOptions> options = dialog.Execute();
    if (!options) return;
    std::optional<std::string> chosen =
        prompts_.SaveFileDialog({StartFolder(), ProjectName(doc), "ZIP package (*.zip)|*.zip",
                                 ".zip", true, "Export HTML5 Banner"});
    if (!chosen) return;
    const std::string target = WithExtension(*chosen, ".zip");
    // Profiles limit the ZIP's own name too: check the package under the name it gets.
    options->PackageName = std::string(platform::FileNamePart(target));
    exporters::TAdPackageBuild package;
    RunInBackground(window_, "Building the package...", false,
                    [&](const TStepReport&) { package = build(*options); });
    if (exporters::OverLimit(package) &&
        prompts_.MessageBox("The package is over its profile's limit (" +
                                exporters::PackageSizeText(package) + ").\nWrite it anyway?",
                            "Vellumet", editor::TMsgIcon::Warning,
                            editor::TMsgButtons::YesNo) != editor::TMsgResult::Yes)
      return;
    WriteWhole(target, package.Zip);
    Written(options->PackageName, FolderOf(target));
    Report("File " + options->PackageName + " has been successfully created!\n" +
               exporters::CheckSummary(package.Check, package.Profile.Name),
           !exporters::AllPassed(package.Check));
  } catch (const std::exception& e) {
    Report(e.what(), true);
  }
}

}  // namespace gui
