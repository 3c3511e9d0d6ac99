#pragma once
// Makes the frame strip's thumbnails on one worker thread at a low
// priority, so an edit that reaches many frames never waits for their
// pictures and the window's thread keeps a core. A new request replaces the
// jobs still waiting (the newest state of the document is the one worth
// drawing); each finished picture comes back on the window's thread.
#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "editor/frame_view.h"

namespace gui {

class TThumbnailWorker : public QObject {
  Q_OBJECT

 public:
  struct TJob {
    int32_t Frame = 0;
    editor::TFramePicture Picture;
  };
  // A finished thumbnail: a null image when the frame could not be built.
  using TMade =
      std::function<void(int32_t frame, const editor::TFramePicture& picture, const QImage& image)>;

  TThumbnailWorker(QSize box, TMade made);
  ~TThumbnailWorker() override;

  void Submit(std::shared_ptr<const editor::TDocumentPlace> place, std::vector<TJob> jobs);
  // No job waits or runs.
  bool Idle() const;

 private:
  void Run();

  const QSize box_;
  TMade made_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TJob> jobs_;
  std::shared_ptr<const editor::TDocumentPlace> place_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace gui
