#pragma once
// The editor's movie build on top of moviegen: the build's warnings are
// collected for the editor to show; a whole movie's file is left for the
// editor to load and delete, the current frame comes back as bytes.
#include "editor/interfaces.h"
#include "moviegen/movie_build.h"

namespace editor {

// One build with the build's warnings collected; the file is the caller's.
TBuiltMovie BuildMovieFile(project::TProjectDocument& doc, bool wholeMovie,
                           const moviegen::TBuildOptions& options = {});

class TMovieGenBuilder : public IMovieBuilder {
 public:
  TBuiltFrame BuildCurrentFrame(project::TProjectDocument& doc) override;
  TBuiltMovie BuildWholeMovie(project::TProjectDocument& doc) override;
  void WriteTestPage(const project::TProjectDocument& doc, const std::string& swfPath,
                     const std::string& htmlPath) override;
};

}  // namespace editor
