#pragma once
// The Qt side of autosave: a one-shot timer, the worker thread that writes
// the copy, and the status bar warning.
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "editor/autosave.h"

class QThread;

namespace gui {

class TAutosaveHost : public QObject, public editor::IAutosaveHost {
  Q_OBJECT

 public:
  TAutosaveHost(QObject* parent, std::function<void()> timerFired,
                std::function<void(const QString&)> warn);
  ~TAutosaveHost() override;

  void StartTimer(int seconds) override;
  void StopTimer() override;
  void RunOnWorker(std::function<void()> work,
                   std::function<void(const std::string& error)> done) override;
  void WaitForWorker() override;
  void ShowWarning(const std::string& text) override;

 private:
  QTimer timer_;
  std::function<void(const QString&)> warn_;
  QThread* worker_ = nullptr;
  std::string error_;  // written by the worker, read once it finished
  int job_ = 0;
};

}  // namespace gui
