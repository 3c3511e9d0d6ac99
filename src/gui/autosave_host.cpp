#include "gui/autosave_host.h"

#include <QThread>
#include <exception>

namespace gui {

TAutosaveHost::TAutosaveHost(QObject* parent, std::function<void()> timerFired,
                             std::function<void(const QString&)> warn)
    : QObject(parent), warn_(std::move(warn)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, std::move(timerFired));
}

TAutosaveHost::~TAutosaveHost() {
  WaitForWorker();
}

void TAutosaveHost::StartTimer(int seconds) {
  timer_.start(std::chrono::seconds(seconds));
}

void TAutosaveHost::StopTimer() {
  timer_.stop();
}

void TAutosaveHost::RunOnWorker(std::function<void()> work,
                                std::function<void(const std::string& error)> done) {
  WaitForWorker();
  error_.clear();
  int job = ++job_;
  worker_ = QThread::create([this, work = std::move(work)]() mutable {
    try {
      work();
    } catch (const std::exception& e) {
      error_ = e.what();
    } catch (...) {
      error_ = "unknown error";
    }
    work = nullptr;  // the snapshot is freed here, not on the window's thread
  });
  connect(worker_, &QThread::finished, this, [this, job, done = std::move(done)] {
    if (job != job_ || !worker_) return;
    worker_->deleteLater();
    worker_ = nullptr;
    done(error_);
  });
  worker_->start(QThread::LowPriority);
}

void TAutosaveHost::WaitForWorker() {
  if (!worker_) return;
  ++job_;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
}

void TAutosaveHost::ShowWarning(const std::string& text) {
  warn_(QString::fromStdString(text));
}

}  // namespace gui
