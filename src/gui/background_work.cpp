#include "gui/background_work.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <exception>
#include <thread>

#include "platform/memory.h"

namespace gui {

namespace {

// Drops the user's input to every window but the progress dialog.
class TInputBlocker : public QObject {
 public:
  explicit TInputBlocker(QWidget* allowed) : allowed_(allowed) { qApp->installEventFilter(this); }
  ~TInputBlocker() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    return IsInput(event->type()) && !Allowed(watched);
  }

 private:
  // Input reaches the window (QWindow) before its widgets: the dialog's own
  // window must let it through, or its Cancel button never hears a click.
  bool Allowed(QObject* watched) const {
    if (auto* window = qobject_cast<QWindow*>(watched)) return window == allowed_->windowHandle();
    auto* w = qobject_cast<QWidget*>(watched);
    return w && (w == allowed_ || allowed_->isAncestorOf(w));
  }
  static bool IsInput(QEvent::Type t) {
    switch (t) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::Close:
      case QEvent::Drop:
        return true;
      default:
        return false;
    }
  }
  QWidget* allowed_;
};

}  // namespace

bool RunInBackground(QWidget* window, const QString& label, bool cancellable,
                     const std::function<void(const TStepReport&)>& work) {
  std::atomic<int64_t> done{0}, total{0};
  std::atomic<bool> cancelled{false};
  std::exception_ptr failure;
  QProgressDialog progress(label, cancellable ? "Cancel" : QString(), 0, 0, window);
  progress.setWindowTitle("Vellumet");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  if (!cancellable) progress.setCancelButton(nullptr);
  QObject::connect(&progress, &QProgressDialog::canceled, [&] { cancelled = true; });

  QEventLoop loop;
  std::atomic<bool> finished{false};
  // A std::thread, joined: join returns once the thread's own caches are
  // freed too, so all of its memory can go back below.
  std::thread worker([&] {
    try {
      work([&](int64_t d, int64_t t) {
        done = d;
        total = t;
        return !cancelled.load();
      });
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (total > 0) {
      progress.setMaximum(int(std::min<int64_t>(total, INT32_MAX)));
      progress.setValue(int(std::min<int64_t>(done, INT32_MAX)));
    }
  });
  {
    TInputBlocker blocker(&progress);
    poll.start(50);
    if (!finished) loop.exec();
  }
  worker.join();
  // What the work dropped goes back to the system: a large export would
  // otherwise leave the program at its peak size.
  platform::ReturnFreedMemory();
  if (failure) std::rethrow_exception(failure);
  return !cancelled;
}

}  // namespace gui
