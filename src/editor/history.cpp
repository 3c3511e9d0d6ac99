#include "editor/history.h"

#include <utility>

namespace editor {

using project::TFrameRec;

namespace {

uint64_t SlotKey(int32_t frame, int slot) {
  return (uint64_t(uint32_t(frame)) << 9) | uint64_t(slot);
}

// Swaps every field of two frames except their slots.
void SwapFields(TFrameRec& a, TFrameRec& b) {
  std::swap(a.Slots, b.Slots);
  std::swap(a, b);
}

size_t StringBytes(const project::TShapeRec& r) {
  return r.Text.capacity() + r.Font.capacity() + r.URL.capacity() + r.SoundEv.capacity();
}

}  // namespace

bool THistory::Begin(const TViewState& before, const TStepKey& key) {
  open_ = TStep{};  // not emplace(): clang judges TStep by its incomplete enclosing class
  open_->Before = before;
  open_->Key = key;
  if (!ContinuesRun(key)) return false;
  resumed_ = std::move(undo_.back());
  undo_.pop_back();
  Apply(*resumed_, true);
  open_->Before = resumed_->Before;
  return true;
}

// A run does not reach back past a save: the saved state stays reachable.
bool THistory::ContinuesRun(const TStepKey& key) const {
  return InRun(key) && undo_.back().Id != savedId_;
}

THistory::TContent& THistory::Content() {
  if (open_->Actions.empty() || !std::holds_alternative<TContent>(open_->Actions.back()))
    open_->Actions.emplace_back(TContent{});
  return std::get<TContent>(open_->Actions.back());
}

void THistory::SaveSettings() {
  if (!open_) return;
  TContent& c = Content();
  if (!c.Settings) c.Settings = doc_.Settings;
}

void THistory::SaveFrame(int32_t frame) {
  if (!open_ || frame < 1 || frame > doc_.FrameCount) return;
  TContent& c = Content();
  if (!c.Keys.insert(SlotKey(frame, 0)).second) return;
  TFrameRec& f = doc_.Frames[size_t(frame)];
  project::TSlotArray slots = std::move(f.Slots);
  c.Frames.push_back({frame, f});
  f.Slots = std::move(slots);
}

void THistory::SaveSlot(int32_t frame, int slot) {
  if (!open_ || frame < 1 || frame > doc_.FrameCount || slot < 1 || slot > project::MaxShapeSlots)
    return;
  TContent& c = Content();
  if (!c.Keys.insert(SlotKey(frame, slot)).second) return;
  c.Slots.push_back({frame, slot, doc_.Frames[size_t(frame)].Slots[slot]});
}

void THistory::RearrangeFrames(const std::vector<int32_t>& sources, std::vector<TFrameRec> fresh) {
  TFrameList list;
  list.Sources.reserve(sources.size());
  size_t next = 0;
  for (size_t j = 0; j < sources.size(); ++j) {
    int32_t source = sources[j];
    if (source < 1 || source > doc_.FrameCount) {
      source = 0;
      list.Own.emplace(int32_t(j + 1),
                       next < fresh.size() ? std::move(fresh[next++]) : TFrameRec());
    }
    list.Sources.push_back(source);
  }
  Swap(list);
  if (open_) open_->Actions.emplace_back(std::move(list));
}

void THistory::Swap(TContent& c) {
  if (c.Settings) std::swap(*c.Settings, doc_.Settings);
  for (TFrameFields& f : c.Frames) SwapFields(doc_.Frames[size_t(f.Frame)], f.Fields);
  for (TSlotValue& s : c.Slots) std::swap(doc_.Frames[size_t(s.Frame)].Slots.Edit(s.Slot), s.Rec);
}

void THistory::Swap(TFrameList& l) {
  size_t current = size_t(doc_.FrameCount);
  std::vector<TFrameRec> frames(l.Sources.size() + 1);
  std::vector<int32_t> back(current + 1, 0);  // where each current frame goes
  for (size_t j = 1; j <= l.Sources.size(); ++j) {
    int32_t source = l.Sources[j - 1];
    if (source > 0 && size_t(source) <= current && back[size_t(source)] == 0) {
      frames[j] = std::move(doc_.Frames[size_t(source)]);
      back[size_t(source)] = int32_t(j);
    } else {
      auto own = l.Own.find(int32_t(j));
      if (own != l.Own.end()) frames[j] = std::move(own->second);
    }
  }
  TFrameList reverse;
  reverse.Sources.assign(back.begin() + 1, back.end());
  for (size_t i = 1; i <= current; ++i)
    if (back[i] == 0) reverse.Own.emplace(int32_t(i), std::move(doc_.Frames[i]));
  doc_.Frames = std::move(frames);
  doc_.FrameCount = int32_t(l.Sources.size());
  l = std::move(reverse);
}

void THistory::Apply(TStep& step, bool backwards) {
  auto swap = [this](TAction& a) { std::visit([this](auto& x) { Swap(x); }, a); };
  if (backwards)
    for (auto it = step.Actions.rbegin(); it != step.Actions.rend(); ++it) swap(*it);
  else
    for (TAction& a : step.Actions) swap(a);
}

bool THistory::Changed() const {
  return open_ && HasChanges(*open_);
}

bool THistory::HasChanges(const TStep& step) {
  for (const TAction& a : step.Actions) {
    if (std::holds_alternative<TFrameList>(a)) return true;
    const TContent& c = std::get<TContent>(a);
    if (c.Settings || !c.Frames.empty() || !c.Slots.empty()) return true;
  }
  return false;
}

void THistory::Commit(const TViewState& after) {
  if (!open_) return;
  TStep step = std::move(*open_);
  open_.reset();
  bool resumed = resumed_.has_value();
  resumed_.reset();
  bool run = step.Key.Kind != 0;
  if (!HasChanges(step)) {
    // A step of the run that changed nothing (the field holds the run's
    // first value again, or nothing to apply) keeps the run open.
    runOpen_ = run && runOpen_ && runKey_ == step.Key;
    if (resumed || !runOpen_) runHasStep_ = false;
    return;
  }
  step.After = after;
  redo_.clear();
  step.Id = ++nextId_;
  runOpen_ = runHasStep_ = run;
  runKey_ = step.Key;
  undo_.push_back(std::move(step));
  while (undo_.size() > MaxSteps) {
    baseId_ = undo_.front().Id;
    undo_.pop_front();
  }
}

void THistory::Rollback() {
  if (!open_) return;
  Apply(*open_, true);
  open_.reset();
  if (!resumed_) return;
  Apply(*resumed_, false);
  undo_.push_back(std::move(*resumed_));
  resumed_.reset();
}

TViewState THistory::Undo() {
  TStep step = std::move(undo_.back());
  undo_.pop_back();
  Apply(step, true);
  runOpen_ = runHasStep_ = false;
  TViewState view = step.Before;
  redo_.push_back(std::move(step));
  return view;
}

TViewState THistory::Redo() {
  TStep step = std::move(redo_.back());
  redo_.pop_back();
  Apply(step, false);
  runOpen_ = runHasStep_ = false;
  TViewState view = step.After;
  undo_.push_back(std::move(step));
  return view;
}

void THistory::Clear() {
  open_.reset();
  undo_.clear();
  redo_.clear();
  baseId_ = savedId_ = ++nextId_;
  resumed_.reset();
  runOpen_ = runHasStep_ = false;
}

size_t THistory::MemoryUse() const {
  size_t bytes = 0;
  auto count = [&bytes](const TStep& step) {
    bytes += sizeof(TStep);
    for (const TAction& a : step.Actions) {
      if (const TContent* c = std::get_if<TContent>(&a)) {
        bytes += sizeof(TContent) + c->Frames.size() * sizeof(TFrameFields) +
                 c->Keys.size() * 2 * sizeof(uint64_t);
        for (const TSlotValue& s : c->Slots) bytes += sizeof(TSlotValue) + StringBytes(s.Rec);
      } else {
        const TFrameList& l = std::get<TFrameList>(a);
        bytes += l.Sources.size() * sizeof(int32_t);
        for (const auto& [n, f] : l.Own) {
          bytes += sizeof(TFrameRec);
          for (int s = 1; s <= project::MaxShapeSlots; ++s)
            if (!f.Slots[s].IsBlank())
              bytes += sizeof(project::TShapeRec) + StringBytes(f.Slots[s]);
        }
      }
    }
  };
  for (const TStep& s : undo_) count(s);
  for (const TStep& s : redo_) count(s);
  return bytes;
}

}  // namespace editor
