#include "editor/movie_builder.h"

#include "moviegen/export.h"
#include "moviegen/movie_build.h"

namespace editor {

namespace {

// The editor shows the warnings itself, after the build.
class TCollectingHost : public moviegen::IBuildHost {
 public:
  void ShowWarning(const std::string& message) override { Warnings.push_back(message); }
  std::vector<std::string> Warnings;
};

TBuiltMovie Build(project::TProjectDocument& doc, bool wholeMovie) {
  TCollectingHost host;
  std::string path = moviegen::CreateMovie(doc, host, wholeMovie, false, false);
  return {std::move(path), std::move(host.Warnings)};
}

}  // namespace

TBuiltMovie TMovieGenBuilder::BuildCurrentFrame(project::TProjectDocument& doc) {
  return Build(doc, false);
}

TBuiltMovie TMovieGenBuilder::BuildWholeMovie(project::TProjectDocument& doc) {
  return Build(doc, true);
}

void TMovieGenBuilder::WriteTestPage(const project::TProjectDocument& doc,
                                     const std::string& swfPath, const std::string& htmlPath) {
  moviegen::WriteTestPage(doc.Settings, swfPath, htmlPath);
}

}  // namespace editor
