#include "gui/threaded_builder.h"

#include "gui/background_work.h"
#include "platform/error.h"

namespace gui {

editor::TBuiltFrame TThreadedBuilder::BuildCurrentFrame(project::TProjectDocument& doc) {
  return builder_.BuildCurrentFrame(doc);
}

// The worker has the document to itself: input is dropped meanwhile, and the
// window only repaints (its widgets show their own values, the canvas its
// loaded movie).
editor::TBuiltMovie TThreadedBuilder::BuildWholeMovie(project::TProjectDocument& doc) {
  if (busy_) throw platform::TVellumetError("A movie is being built already.");
  busy_ = true;
  editor::TBuiltMovie movie;
  try {
    RunInBackground(window_, "Building the movie...", false,
                    [&](const TStepReport&) { movie = builder_.BuildWholeMovie(doc); });
  } catch (...) {
    busy_ = false;
    throw;
  }
  busy_ = false;
  return movie;
}

void TThreadedBuilder::WriteTestPage(const project::TProjectDocument& doc,
                                     const std::string& swfPath, const std::string& htmlPath) {
  builder_.WriteTestPage(doc, swfPath, htmlPath);
}

}  // namespace gui
