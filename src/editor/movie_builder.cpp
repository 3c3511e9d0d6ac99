#include "editor/movie_builder.h"

#include "moviegen/export.h"

namespace editor {

namespace {

// The editor shows the warnings itself, after the build.
class TCollectingHost : public moviegen::IBuildHost {
 public:
  void ShowWarning(const std::string& message) override { Warnings.push_back(message); }
  std::vector<std::string> Warnings;
};

}  // namespace

TBuiltMovie BuildMovieFile(project::TProjectDocument& doc, bool wholeMovie,
                           const moviegen::TBuildOptions& options) {
  TCollectingHost host;
  std::string path = moviegen::CreateMovie(doc, host, wholeMovie, false, false, options);
  return {std::move(path), std::move(host.Warnings)};
}

TBuiltFrame TMovieGenBuilder::BuildCurrentFrame(project::TProjectDocument& doc) {
  TCollectingHost host;
  std::vector<uint8_t> swf = moviegen::CreateFrameBytes(doc, host);
  return {std::move(swf), std::move(host.Warnings)};
}

TBuiltMovie TMovieGenBuilder::BuildWholeMovie(project::TProjectDocument& doc) {
  return BuildMovieFile(doc, true);
}

void TMovieGenBuilder::WriteTestPage(const project::TProjectDocument& doc,
                                     const std::string& swfPath, const std::string& htmlPath) {
  moviegen::WriteTestPage(doc.Settings, swfPath, htmlPath);
}

}  // namespace editor
