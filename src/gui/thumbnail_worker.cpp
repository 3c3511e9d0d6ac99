#include "gui/thumbnail_worker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QThread>
#include <algorithm>

#include "gui/frame_pictures.h"

namespace gui {

namespace {

constexpr int kMaxThreads = 4;
constexpr int kNice = 10;

}  // namespace

TThumbnailWorker::TThumbnailWorker(QSize box, TMade made) : box_(box), made_(std::move(made)) {
  const int count = std::clamp(QThread::idealThreadCount(), 1, kMaxThreads);
  for (int i = 0; i < count; ++i) threads_.emplace_back([this] { Run(); });
}

TThumbnailWorker::~TThumbnailWorker() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void TThumbnailWorker::Submit(std::shared_ptr<const editor::TDocumentPlace> place,
                              std::vector<TJob> jobs) {
  {
    std::lock_guard lock(mutex_);
    place_ = std::move(place);
    jobs_.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
  }
  wake_.notify_all();
}

bool TThumbnailWorker::Idle() const {
  std::lock_guard lock(mutex_);
  return jobs_.empty() && busy_ == 0;
}

void TThumbnailWorker::Run() {
  // The window's thread comes first: the canvas is painted before thumbnails.
  setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), kNice);
  bool working = false;
  for (;;) {
    TJob job;
    std::shared_ptr<const editor::TDocumentPlace> place;
    {
      std::unique_lock lock(mutex_);
      busy_ -= working ? 1 : 0;
      wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
      if (stop_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      place = place_;
      ++busy_;
      working = true;
    }
    QImage image;
    try {
      image = RenderThumbnail(BuildFrameMovie(*place, job.Picture), box_);
    } catch (...) {
      // The cell stays without a picture; the canvas tells the user why.
    }
    // Delivered on the window's thread; dropped if this object is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, frame = job.Frame, picture = std::move(job.Picture), image = std::move(image)] {
          made_(frame, picture, image);
        },
        Qt::QueuedConnection);
  }
}

}  // namespace gui
