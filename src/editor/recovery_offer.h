#pragma once
// The copies of unsaved work left by editors that ended without saving, as
// offered at start: each can be restored, discarded, or kept for the next
// start. The window's dialog shows the rows and hands the user's choices
// back here.
#include <string>
#include <vector>

#include "editor/recovery_store.h"

namespace editor {

class TAutosave;
class TEditor;

class TRecoveryOffer {
 public:
  TRecoveryOffer(TEditor& editor, TAutosave& autosave, TRecoveryStore& store);
  // Looks for copies; false when there is nothing to offer.
  bool Find();

  const std::vector<TRecoveryCopy>& Copies() const { return copies_; }
  // The document's name ("untitled.sw0"), or what an unreadable copy is.
  std::string Title(size_t row) const;
  // Where the user's file is, or "untitled"; for an unreadable copy, why.
  std::string Where(size_t row) const;
  bool CanRestore(size_t row) const { return row < copies_.size() && copies_[row].Readable(); }

  // Opens the copy as the document (modified, with its original name and
  // path, undo empty); once this editor keeps its own copy of it, the old
  // one goes. True when the document was restored.
  bool Restore(size_t row);
  // Deletes the copy; its row goes.
  void Discard(size_t row);
  // The rest stay for the next start (and for other editors started now).
  void Later();

 private:
  TEditor& editor_;
  TAutosave& autosave_;
  TRecoveryStore& store_;
  std::vector<TRecoveryCopy> copies_;
};

}  // namespace editor
