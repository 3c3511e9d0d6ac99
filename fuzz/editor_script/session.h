#pragma once
// A real editor wired to scripted dialogs, an in-memory clipboard and
// settings store, and a temporary folder, that runs scripts and checks after
// every step that no command corrupted the document or made undo lie:
//
// - the document is valid (frame count, current frame, slots, the panel's
//   limits ordered);
// - a step that made one new undo step is taken back by undo to the
//   document before it, and undo followed by redo gives the document again;
// - at each Build step, the single-frame and the whole-movie builds succeed
//   or refuse with a message, and the player reads what they wrote without
//   a warning; at each SaveAs step, the document saved, opened and saved
//   again gives the same bytes (both are too slow for every step; a document
//   whose saved bytes passed a check before in the run is not checked again);
// - at the end, undoing every step gives the starting document (when the
//   history kept every step), and redoing them gives the end again.
#include <memory>
#include <optional>
#include <string>

#include "editor_script/script.h"

namespace editor {
class TEditor;
}
namespace project {
class TProjectDocument;
}

namespace vscript {

// The checks, each giving what broke or nothing; the window's monkey test
// uses them too.
std::optional<std::string> InvalidDocument(editor::TEditor& editor);
// Undoes every step and redoes them all: the end must come back.
std::optional<std::string> UndoAllAndBackFails(editor::TEditor& editor);
std::optional<std::string> BuildsFail(const project::TProjectDocument& doc);
// Saves into `folder`, opens and saves again: the same bytes.
std::optional<std::string> SaveOpenDiffers(const project::TProjectDocument& doc,
                                           const std::string& folder);

// The first broken invariant: the step (0-based; the script's size for the
// checks at the end) and what broke.
struct TFinding {
  size_t Step = 0;
  std::string What;
};

class TSession {
 public:
  // Files go to `folder`, which must exist; media fixtures are read from
  // `fixtureDir` (the repository's tests/data).
  TSession(const std::string& folder, const std::string& fixtureDir);
  ~TSession();
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  std::optional<TFinding> Run(const TScript& script);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace vscript
