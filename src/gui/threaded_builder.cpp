#include "gui/threaded_builder.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <exception>

#include "platform/error.h"

namespace gui {

namespace {

// Drops the user's input to every window but the progress dialog while the
// worker builds: nothing may edit the document or start another build, and
// clicks must not be replayed once it is done.
class TInputBlocker : public QObject {
 public:
  explicit TInputBlocker(QWidget* allowed) : allowed_(allowed) { qApp->installEventFilter(this); }
  ~TInputBlocker() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!IsInput(event->type())) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    return !(w && allowed_ && allowed_->isAncestorOf(w)) && w != allowed_;
  }

 private:
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

editor::TBuiltMovie TThreadedBuilder::BuildCurrentFrame(project::TProjectDocument& doc) {
  return builder_.BuildCurrentFrame(doc);
}

// While the worker builds, nothing else touches the document: input is
// dropped, so the window only repaints (its widgets show their own values
// and the canvas its loaded movie).
editor::TBuiltMovie TThreadedBuilder::BuildWholeMovie(project::TProjectDocument& doc) {
  if (busy_) throw platform::TVellumetError("A preview is being built already.");
  busy_ = true;
  editor::TBuiltMovie movie;
  std::exception_ptr failure;
  QEventLoop loop;
  QThread* worker = QThread::create([&] {
    try {
      movie = builder_.BuildWholeMovie(doc);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  QProgressDialog progress("Building the movie...", QString(), 0, 0, window_);
  progress.setWindowTitle("Vellumet");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  progress.setCancelButton(nullptr);
  {
    TInputBlocker blocker(&progress);
    worker->start();
    if (!worker->isFinished()) loop.exec();
  }
  worker->wait();
  delete worker;
  busy_ = false;
  if (failure) std::rethrow_exception(failure);
  return movie;
}

void TThreadedBuilder::WriteTestPage(const project::TProjectDocument& doc,
                                     const std::string& swfPath, const std::string& htmlPath) {
  builder_.WriteTestPage(doc, swfPath, htmlPath);
}

}  // namespace gui
