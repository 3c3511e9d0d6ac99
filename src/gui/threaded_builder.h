#pragma once
// The window's movie build: the single-frame build runs at once (it is the
// edit loop); the whole-movie build runs on a worker thread while the window
// keeps repainting behind a progress dialog that blocks other input, so a
// long movie never freezes the window and a second preview cannot start.
#include "editor/interfaces.h"
#include "editor/movie_builder.h"

class QWidget;

namespace gui {

class TThreadedBuilder : public editor::IMovieBuilder {
 public:
  explicit TThreadedBuilder(QWidget* window) : window_(window) {}

  editor::TBuiltFrame BuildCurrentFrame(project::TProjectDocument& doc) override;
  editor::TBuiltMovie BuildWholeMovie(project::TProjectDocument& doc) override;
  void WriteTestPage(const project::TProjectDocument& doc, const std::string& swfPath,
                     const std::string& htmlPath) override;

 private:
  QWidget* window_;
  editor::TMovieGenBuilder builder_;
  bool busy_ = false;
};

}  // namespace gui
