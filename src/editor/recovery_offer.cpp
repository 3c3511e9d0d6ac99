#include "editor/recovery_offer.h"

#include "editor/autosave.h"
#include "editor/editor.h"

namespace editor {

TRecoveryOffer::TRecoveryOffer(TEditor& editor, TAutosave& autosave, TRecoveryStore& store)
    : editor_(editor), autosave_(autosave), store_(store) {}

bool TRecoveryOffer::Find() {
  copies_ = store_.FindLeftCopies();
  return !copies_.empty();
}

std::string TRecoveryOffer::Title(size_t row) const {
  const TRecoveryCopy& c = copies_.at(row);
  if (!c.Readable()) return c.Info ? c.Info->Name + " (unreadable copy)" : "Unreadable copy";
  return c.Info->Name;
}

std::string TRecoveryOffer::Where(size_t row) const {
  const TRecoveryCopy& c = copies_.at(row);
  if (!c.Readable()) return c.Problem;
  return c.Info->OriginalPath.empty() ? "untitled" : c.Info->OriginalPath;
}

bool TRecoveryOffer::Restore(size_t row) {
  if (!CanRestore(row)) return false;
  if (editor_.Doc().Modified && editor_.ModifyMsg() == TMsgResult::Cancel) return false;
  const TRecoveryCopy& c = copies_[row];
  if (!editor_.RestoreCopy(c.ProjectPath, c.Info->OriginalPath, c.Info->Name)) return false;
  // The old copy goes only once this editor keeps the work itself; with
  // autosave off or failing, it stays for the next start.
  if (autosave_.CopyNow()) Discard(row);
  return true;
}

void TRecoveryOffer::Discard(size_t row) {
  if (row >= copies_.size()) return;
  store_.Discard(copies_[row]);
  copies_.erase(copies_.begin() + std::ptrdiff_t(row));
}

void TRecoveryOffer::Later() {
  store_.ReleaseLeftCopies();
  copies_.clear();
}

}  // namespace editor
