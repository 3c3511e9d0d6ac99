#pragma once
// Autosave: while the document has unsaved changes, a recovery copy of it is
// written some seconds after the last change not yet copied. The document is
// copied on the window's thread (a plain copy of the model, quick) and
// written on a worker, so the user never waits; the copy touches neither the
// modified mark nor the undo history. A save, or a close without changes,
// removes the copy.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/interfaces.h"
#include "editor/recovery_store.h"

namespace editor {

class TEditor;

// What the autosave needs of the window.
class IAutosaveHost {
 public:
  virtual ~IAutosaveHost() = default;
  // Calls TAutosave::TimerFired once after `seconds`.
  virtual void StartTimer(int seconds) = 0;
  virtual void StopTimer() = 0;
  // Runs `work` on a worker thread, then `done` on the window's thread with
  // the text of what `work` threw ("" when it ran through).
  virtual void RunOnWorker(std::function<void()> work,
                           std::function<void(const std::string& error)> done) = 0;
  // Blocks until the running work (if any) ended; its `done` is not called.
  virtual void WaitForWorker() = 0;
  // One line in the status bar.
  virtual void ShowWarning(const std::string& text) = 0;
};

class TAutosave {
 public:
  static constexpr int DefaultSeconds = 60;
  static constexpr int MaxSeconds = 24 * 60 * 60;
  // The settings value with the interval in seconds; 0 turns autosave off.
  static constexpr const char* SettingName = "AutosaveSeconds";

  // Reads the interval from the settings.
  TAutosave(TEditor& editor, TRecoveryStore& store, IAutosaveHost& host, ISettingsStore& settings);

  int Seconds() const { return seconds_; }
  // Keeps the interval in the settings; 0 also removes the copy.
  void SetSeconds(int seconds);

  // After every command of the window: a change not yet copied starts the
  // timer; a document without unsaved changes loses its copy.
  void AfterCommand();
  void TimerFired();
  // Writes the copy at once on this thread (a restored document, before the
  // copy it came from goes); false when it could not be written.
  bool CopyNow();
  // The window closes for good: the worker ends and the copy goes.
  void WindowClosed();

  bool Writing() const { return writing_; }

 private:
  bool NeedsCopy() const;
  TRecoveryInfo Info() const;
  void Finished(uint64_t revision, const std::string& error);
  void Warn(const std::string& error);
  void RemoveCopy();

  TEditor& editor_;
  TRecoveryStore& store_;
  IAutosaveHost& host_;
  ISettingsStore& settings_;
  int seconds_ = DefaultSeconds;
  std::optional<uint64_t> copied_;  // the editor's revision the copy holds
  bool haveCopy_ = false;
  bool timerRunning_ = false;
  bool writing_ = false;
  bool removeWhenDone_ = false;
  bool warned_ = false;
  bool closed_ = false;
};

}  // namespace editor
