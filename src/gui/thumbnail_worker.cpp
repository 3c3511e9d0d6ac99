#include "gui/thumbnail_worker.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "gui/frame_pictures.h"
#include "player/renderer.h"

namespace gui {

namespace {

// Low enough that the window's thread wins a shared core about nine times
// in ten; not the lowest (19), which a busy machine's other programs starve
// for up to a second, leaving thumbnails stale.
constexpr int kNice = 10;

}  // namespace

TThumbnailWorker::TThumbnailWorker(QSize box, TMade made)
    : box_(box), made_(std::move(made)), thread_([this] { Run(); }) {}

TThumbnailWorker::~TThumbnailWorker() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  thread_.join();
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
  return jobs_.empty() && !busy_;
}

void TThumbnailWorker::Run() {
  // The window's thread comes first: the canvas is painted before thumbnails.
  setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), kNice);
  // Kept from frame to frame: the frames mostly share their pictures.
  player::TRenderer renderer;
  for (;;) {
    TJob job;
    std::shared_ptr<const editor::TDocumentPlace> place;
    {
      std::unique_lock lock(mutex_);
      busy_ = false;
      wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
      if (stop_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      place = place_;
      busy_ = true;
    }
    QImage image;
    try {
      image = RenderThumbnail(BuildFrameMovie(*place, job.Picture), box_, renderer);
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
