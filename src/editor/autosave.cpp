#include "editor/autosave.h"

#include <algorithm>
#include <ctime>
#include <memory>

#include "editor/editor.h"
#include "editor/small_dialogs.h"
#include "platform/error.h"
#include "platform/folders.h"

namespace editor {

TAutosave::TAutosave(TEditor& editor, TRecoveryStore& store, IAutosaveHost& host,
                     ISettingsStore& settings)
    : editor_(editor), store_(store), host_(host), settings_(settings) {
  if (!settings_.OpenKey(false)) return;
  std::optional<std::string> text = settings_.Read(SettingName);
  std::optional<int32_t> value = text ? ReadInteger(*text) : std::nullopt;
  if (value && *value >= 0) seconds_ = std::min(*value, MaxSeconds);
}

void TAutosave::SetSeconds(int seconds) {
  seconds_ = std::clamp(seconds, 0, MaxSeconds);
  if (settings_.OpenKey(true)) settings_.Write(SettingName, std::to_string(seconds_));
  host_.StopTimer();
  timerRunning_ = false;
  if (seconds_ == 0) {
    RemoveCopy();
    return;
  }
  AfterCommand();
}

bool TAutosave::NeedsCopy() const {
  return seconds_ > 0 && !closed_ && editor_.Doc().Modified && copied_ != editor_.Revision();
}

void TAutosave::AfterCommand() {
  if (closed_) return;
  if (!editor_.Doc().Modified) {
    if (timerRunning_) host_.StopTimer();
    timerRunning_ = false;
    copied_.reset();
    RemoveCopy();
    return;
  }
  if (NeedsCopy() && !timerRunning_ && !writing_) {
    host_.StartTimer(seconds_);
    timerRunning_ = true;
  }
}

TRecoveryInfo TAutosave::Info() const {
  const project::TProjectDocument& doc = editor_.Doc();
  bool hasFile = editor_.Panel().Menu(miSaveProject).Enabled;
  return {hasFile ? doc.ProjectFileName : "",
          std::string(platform::FileNamePart(doc.ProjectFileName)), int64_t(std::time(nullptr)),
          doc.FrameCount};
}

void TAutosave::TimerFired() {
  timerRunning_ = false;
  if (writing_ || !NeedsCopy()) return;
  // The copy of the model is all the window's thread pays; the worker writes
  // it and frees it.
  auto snapshot = std::make_shared<project::TProjectSnapshot>(project::TakeSnapshot(editor_.Doc()));
  TRecoveryInfo info = Info();
  uint64_t revision = editor_.Revision();
  writing_ = true;
  host_.RunOnWorker(
      [&store = store_, snapshot, info]() mutable {
        std::shared_ptr<project::TProjectSnapshot> mine = std::move(snapshot);
        store.Write(*mine, info);
      },
      [this, revision](const std::string& error) { Finished(revision, error); });
}

void TAutosave::Finished(uint64_t revision, const std::string& error) {
  writing_ = false;
  if (closed_) return;
  // A failed copy is not tried again until the next change: one warning,
  // never a loop of them.
  copied_ = revision;
  if (error.empty())
    haveCopy_ = true;
  else
    Warn(error);
  if (removeWhenDone_ || !editor_.Doc().Modified) {
    removeWhenDone_ = false;
    RemoveCopy();
    return;
  }
  AfterCommand();
}

void TAutosave::Warn(const std::string& error) {
  if (warned_) return;
  warned_ = true;
  host_.ShowWarning("Autosave failed: " + error);
}

bool TAutosave::CopyNow() {
  if (seconds_ == 0 || writing_ || closed_) return false;
  try {
    store_.Write(project::TakeSnapshot(editor_.Doc()), Info());
  } catch (const std::exception& e) {
    Warn(e.what());
    return false;
  }
  copied_ = editor_.Revision();
  haveCopy_ = true;
  return true;
}

void TAutosave::RemoveCopy() {
  if (writing_) {
    removeWhenDone_ = true;
    return;
  }
  if (!haveCopy_) return;
  store_.RemoveOwn();
  haveCopy_ = false;
}

void TAutosave::WindowClosed() {
  host_.StopTimer();
  timerRunning_ = false;
  host_.WaitForWorker();
  writing_ = false;
  closed_ = true;
  haveCopy_ = haveCopy_ || store_.HasOwnCopy();
  if (haveCopy_) store_.RemoveOwn();
  haveCopy_ = false;
}

}  // namespace editor
