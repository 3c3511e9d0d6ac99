#pragma once
// The frame strip: one cell per frame with its thumbnail, number and Delay,
// the current frame marked. A click or the arrow keys go to a frame through
// the editor's frame navigation, dragging a cell moves the frame, Ctrl+wheel
// zooms. The thumbnails come from the worker, the most wanted first, and
// stay within a fixed count, so their memory is bounded at any frame count.
#include <QListWidget>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "editor/frame_view.h"

namespace editor {
class TEditor;
}

namespace gui {

class TThumbnailWorker;

class TFrameStrip : public QListWidget {
  Q_OBJECT

 public:
  // The largest thumbnail, in device pixels; smaller cells scale it down.
  static constexpr QSize kThumbnailBox{320, 180};
  static constexpr int kMinZoom = 48, kMaxZoom = 320, kZoomStep = 16, kDefaultZoom = 128;
  // Thumbnails kept at most: under 70 MB of pictures at the largest box.
  static constexpr size_t kCapacity = 300;

  // `after` runs after every command, so the window shows the new state.
  TFrameStrip(editor::TEditor& editor, std::function<void()> after, QWidget* parent = nullptr);
  ~TFrameStrip() override;

  // Follows the document: the cells and the current frame at once; the
  // thumbnails to make once the window has painted the edit.
  void Show();
  // The thumbnails' width in pixels (kMinZoom..kMaxZoom).
  void SetZoom(int width);
  int Zoom() const { return zoom_; }
  // Cells side by side (a dock at the top or bottom) or one under another.
  void SetVertical(bool vertical);
  // The room of a thumbnail in a cell: the zoom wide, as high as the stage's
  // proportions ask within limits.
  QSize ThumbnailRoom() const;
  QSize sizeHint() const override;
  // The frame's thumbnail; null while none was made.
  QImage Thumbnail(int32_t frame) const;
  // Every wanted thumbnail shows the document as it is.
  bool ThumbnailsCurrent() const;
  size_t ThumbnailCount() const { return images_.size(); }
  size_t ThumbnailBytes() const;
  // The first and last cell in view (1-based; last < first when none is).
  void VisibleRange(int32_t& first, int32_t& last) const;
  // The cell of frame `frame` (1-based).
  QRect CellRect(int32_t frame) const;

 signals:
  void zoomChanged(int width);
  // A context menu for the frame, now the current one, at the global point.
  void menuRequested(int32_t frame, QPoint global);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SyncCells();
  // Hands the stale thumbnails to the worker after the events waiting now
  // (the canvas's paint among them), once however often it is asked.
  void ScheduleSoon();
  void Schedule();
  void Made(int32_t frame, const editor::TFramePicture& picture, const QImage& image);
  void GoTo(int32_t frame);
  // Cells of this strip being dragged, not files or text from elsewhere.
  bool OwnCells(const QDropEvent* event) const;
  // The gap a drop at `pos` falls into: 0 before the first cell, count() after the last.
  int DropGap(QPoint pos) const;

  editor::TEditor& editor_;
  std::function<void()> after_;
  std::unique_ptr<TThumbnailWorker> worker_;
  QTimer* scheduleTimer_ = nullptr;
  editor::TThumbnailTracker tracker_{kCapacity};
  std::map<int32_t, QImage> images_;
  int zoom_ = kDefaultZoom;
  QSize stage_;  // the stage size the cells were laid out for
  bool showing_ = false;
  // What the last schedule saw, so that an unchanged view costs nothing.
  uint64_t revision_ = ~uint64_t(0);
  int32_t frames_ = -1, current_ = -1, first_ = -1, last_ = -1;
};

}  // namespace gui
