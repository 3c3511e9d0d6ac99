#pragma once
// Undo and redo. A step keeps only what its command is about to change: the
// movie settings, the fields of a frame, single object slots, and for the
// commands that insert, remove or reorder frames the order of the frames
// with the frames that left the list. Undo swaps the kept values with the
// document's, so the same step then holds what redo puts back.
#include <bitset>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <unordered_set>
#include <variant>
#include <vector>

#include "project/document.h"

namespace editor {

// What undo and redo also restore besides the document.
struct TViewState {
  int32_t CurrentFrame = 1;
  int Slot = 0;  // the current object, 0 for none
  std::bitset<project::MaxShapeSlots + 1> Selected;
  bool operator==(const TViewState&) const = default;
};

// Steps with the same key of a kind other than 0 form a run while it lasts
// (the typing into one field, a drag): each step of a run replaces the run's
// earlier one, so the run is one edit of the document as the run found it.
struct TStepKey {
  int Kind = 0;
  int Control = 0;
  int32_t Frame = 0;
  int Slot = 0;
  bool operator==(const TStepKey&) const = default;
};

class THistory {
 public:
  static constexpr size_t MaxSteps = 100;

  explicit THistory(project::TProjectDocument& doc) : doc_(doc) {}

  // Opens a step; the Save calls before changes record into it. A step that
  // continues the open run first takes back the run's step (the document is
  // then as the run found it) and returns true.
  bool Begin(const TViewState& before, const TStepKey& key = {});
  bool Recording() const { return open_.has_value(); }

  void SaveSettings();
  // The frame's own fields (not its slots).
  void SaveFrame(int32_t frame);
  void SaveSlot(int32_t frame, int slot);
  // Replaces the frame list: new frame j (1-based) is the document's frame
  // sources[j - 1], moved, or the next of `fresh` where that is 0. Frames not
  // taken are kept in the step. Works without an open step too.
  void RearrangeFrames(const std::vector<int32_t>& sources, std::vector<project::TFrameRec> fresh);

  // Whether the open step has saved anything.
  bool Changed() const;
  // Closes the step. A step that changed nothing is dropped.
  void Commit(const TViewState& after);
  // Puts back everything the open step saved and drops it (and the run's
  // step it took back).
  void Rollback();
  // The current run of typing or dragging ends: the next step stands alone.
  void EndRun() { runOpen_ = false; }
  // Whether the last step is the open run's and the run has this key.
  bool InRun(const TStepKey& key) const {
    return runOpen_ && runHasStep_ && key.Kind != 0 && key == runKey_ && !undo_.empty();
  }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Both return the view that goes with the restored document.
  TViewState Undo();
  TViewState Redo();

  // A new or opened document: no steps, and this state is the saved one.
  void Clear();
  void MarkSaved() { savedId_ = StateId(); }
  // No state is the saved one (a document restored from a recovery copy):
  // undoing back to it still leaves the document modified.
  void ForgetSavedState() { savedId_ = 0; }
  bool AtSavedState() const { return savedId_ == StateId(); }

  size_t StepCount() const { return undo_.size(); }
  // Bytes the kept values take, roughly (for the benchmark).
  size_t MemoryUse() const;

 private:
  struct TFrameFields {
    int32_t Frame;
    project::TFrameRec Fields;  // Slots stay empty
  };
  struct TSlotValue {
    int32_t Frame;
    int Slot;
    project::TShapeRec Rec;
  };
  struct TContent {
    std::optional<project::TMovieSettings> Settings;
    std::vector<TFrameFields> Frames;
    std::vector<TSlotValue> Slots;
    std::unordered_set<uint64_t> Keys;
  };
  // The other frame list: for each of its frames the position in the
  // document's list (1-based), or 0 with the frame itself in Own.
  struct TFrameList {
    std::vector<int32_t> Sources;
    std::map<int32_t, project::TFrameRec> Own;
  };
  using TAction = std::variant<TContent, TFrameList>;
  struct TStep {
    uint64_t Id = 0;
    TStepKey Key;
    std::vector<TAction> Actions;
    TViewState Before, After;
  };

  TContent& Content();
  void Swap(TContent& c);
  void Swap(TFrameList& l);
  void Apply(TStep& step, bool backwards);
  bool ContinuesRun(const TStepKey& key) const;
  static bool HasChanges(const TStep& step);
  uint64_t StateId() const { return undo_.empty() ? baseId_ : undo_.back().Id; }

  project::TProjectDocument& doc_;
  std::optional<TStep> open_;
  std::optional<TStep> resumed_;  // the run's step, taken back while open_ replaces it
  std::deque<TStep> undo_;
  std::vector<TStep> redo_;
  uint64_t nextId_ = 0, baseId_ = 0, savedId_ = 0;
  bool runOpen_ = false;
  bool runHasStep_ = false;  // the last step of undo_ is the open run's
  TStepKey runKey_;
};

}  // namespace editor
