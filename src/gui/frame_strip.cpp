#include "gui/frame_strip.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <cmath>

#include "editor/editor.h"
#include "gui/thumbnail_worker.h"

namespace gui {

namespace {

constexpr int kFrameRole = Qt::UserRole;
constexpr int kDelayRole = Qt::UserRole + 1;
constexpr int kPad = 4;

// A cell: the thumbnail over its number and Delay, the current one highlighted.
class TCellDelegate : public QStyledItemDelegate {
 public:
  explicit TCellDelegate(TFrameStrip* strip) : QStyledItemDelegate(strip), strip_(strip) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    const QSize room = strip_->ThumbnailRoom();
    return {room.width() + 2 * kPad, room.height() + option.fontMetrics.height() + 3 * kPad};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    const bool current = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->fillRect(cell, current ? pal.highlight() : pal.base());
    const QRect box(QPoint(cell.left() + kPad - 1, cell.top() + kPad - 1), strip_->ThumbnailRoom());
    const QImage thumb = strip_->Thumbnail(index.data(kFrameRole).toInt());
    if (!thumb.isNull()) {
      QSize size = thumb.size().scaled(box.size(), Qt::KeepAspectRatio);
      QRect at(QPoint(0, 0), size);
      at.moveCenter(box.center());
      painter->setRenderHint(QPainter::SmoothPixmapTransform);
      painter->drawImage(at, thumb);
    } else {
      painter->fillRect(box, pal.alternateBase());
    }
    painter->setPen(current ? pal.highlightedText().color() : pal.text().color());
    const QRect text(cell.left() + kPad, box.bottom() + kPad, cell.width() - 2 * kPad,
                     option.fontMetrics.height());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
    painter->drawText(text, Qt::AlignRight | Qt::AlignVCenter,
                      index.data(kDelayRole).toString() + " ms");
  }

 private:
  TFrameStrip* strip_;
};

}  // namespace

TFrameStrip::TFrameStrip(editor::TEditor& editor, std::function<void()> after, QWidget* parent)
    : QListWidget(parent), editor_(editor), after_(std::move(after)) {
  setObjectName("FrameStrip");
  setAccessibleName("Frames");
  setFlow(QListView::LeftToRight);
  setWrapping(false);
  setUniformItemSizes(true);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
  setItemDelegate(new TCellDelegate(this));
  SetVertical(false);
  worker_ = std::make_unique<TThumbnailWorker>(
      kThumbnailBox, [this](int32_t frame, const editor::TFramePicture& picture,
                            const QImage& image) { Made(frame, picture, image); });
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!showing_ && row >= 0) GoTo(row + 1);
  });
  scheduleTimer_ = new QTimer(this);
  scheduleTimer_->setSingleShot(true);
  scheduleTimer_->setInterval(0);
  connect(scheduleTimer_, &QTimer::timeout, this, [this] { Schedule(); });
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { ScheduleSoon(); });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ScheduleSoon(); });
}

void TFrameStrip::ScheduleSoon() {
  if (!scheduleTimer_->isActive()) scheduleTimer_->start();
}

// Taking the cells down must not look like the user choosing a frame.
TFrameStrip::~TFrameStrip() {
  blockSignals(true);
}

void TFrameStrip::GoTo(int32_t frame) {
  editor_.GoToFrame(frame);
  after_();
}

void TFrameStrip::Show() {
  showing_ = true;
  SyncCells();
  showing_ = false;
  ScheduleSoon();
}

// Cells are reused: only their texts change, so a long strip stays cheap.
void TFrameStrip::SyncCells() {
  const project::TProjectDocument& doc = editor_.Doc();
  const QSize stage(doc.Settings.MWidth, doc.Settings.MHeight);
  if (stage != stage_) {
    stage_ = stage;
    doItemsLayout();
    updateGeometry();
  }
  while (count() > doc.FrameCount) delete takeItem(count() - 1);
  while (count() < doc.FrameCount) {
    auto* item = new QListWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
    addItem(item);
  }
  for (int32_t f = 1; f <= doc.FrameCount; ++f) {
    QListWidgetItem* cell = item(f - 1);
    const int32_t delay = doc.Frames[size_t(f)].Delay;
    if (cell->data(kFrameRole).toInt() == f && cell->data(kDelayRole).toInt() == delay) continue;
    const QString name = QString::fromStdString(editor::FrameCellName(f, delay));
    cell->setData(kFrameRole, f);
    cell->setData(kDelayRole, delay);
    cell->setText(QString::number(f));
    cell->setData(Qt::AccessibleTextRole, name);
    cell->setToolTip(name);
  }
  const int row = doc.CurrentFrame - 1;
  if (currentRow() != row) {
    setCurrentRow(row);
    scrollToItem(item(row));
  }
}

void TFrameStrip::VisibleRange(int32_t& first, int32_t& last) const {
  first = 1;
  last = 0;
  if (count() == 0 || !isVisible()) return;
  const QRect inside = viewport()->rect().adjusted(1, 1, -1, -1);
  const QModelIndex a = indexAt(inside.topLeft() + QPoint(kPad, kPad));
  const QModelIndex b = indexAt(inside.bottomRight() - QPoint(kPad, kPad));
  first = a.isValid() ? a.row() + 1 : 1;
  last = b.isValid() ? b.row() + 1 : count();
  // A cell cut by the far edge still shows.
  if (b.isValid() && b.row() + 1 < count()) last = b.row() + 2;
}

void TFrameStrip::Schedule() {
  editor::TEditor& e = editor_;
  const project::TProjectDocument& doc = e.Doc();
  int32_t first = 0, last = 0;
  VisibleRange(first, last);
  if (revision_ == e.Revision() && frames_ == doc.FrameCount && current_ == doc.CurrentFrame &&
      first_ == first && last_ == last)
    return;
  revision_ = e.Revision();
  frames_ = doc.FrameCount;
  current_ = doc.CurrentFrame;
  first_ = first;
  last_ = last;
  tracker_.SetView(doc.CurrentFrame, first, last);
  // A frame that only moved takes the thumbnail made for its picture elsewhere.
  std::vector<std::pair<int32_t, QImage>> moved;
  for (const auto& [to, from] : tracker_.Reusable(doc))
    if (auto it = images_.find(from); it != images_.end()) moved.emplace_back(to, it->second);
  for (const auto& [to, image] : moved) Made(to, editor::FramePicture(doc, to), image);
  for (auto it = images_.begin(); it != images_.end();)
    it = it->first > doc.FrameCount ? images_.erase(it) : std::next(it);
  std::vector<TThumbnailWorker::TJob> jobs;
  for (int32_t f : tracker_.Stale(doc)) jobs.push_back({f, editor::FramePicture(doc, f)});
  worker_->Submit(std::make_shared<editor::TDocumentPlace>(editor::DocumentPlace(doc)),
                  std::move(jobs));
}

void TFrameStrip::Made(int32_t frame, const editor::TFramePicture& picture, const QImage& image) {
  const project::TProjectDocument& doc = editor_.Doc();
  if (frame > doc.FrameCount || !(editor::FramePicture(doc, frame) == picture)) return;
  images_[frame] = image;
  for (int32_t gone : tracker_.Made(frame, picture, doc.FrameCount)) images_.erase(gone);
  if (QListWidgetItem* cell = item(frame - 1)) viewport()->update(visualItemRect(cell));
}

QImage TFrameStrip::Thumbnail(int32_t frame) const {
  auto it = images_.find(frame);
  return it == images_.end() ? QImage() : it->second;
}

size_t TFrameStrip::ThumbnailBytes() const {
  size_t bytes = 0;
  for (const auto& [frame, image] : images_) bytes += size_t(image.sizeInBytes());
  return bytes;
}

bool TFrameStrip::ThumbnailsCurrent() const {
  return tracker_.Stale(editor_.Doc()).empty();
}

QRect TFrameStrip::CellRect(int32_t frame) const {
  QListWidgetItem* cell = item(frame - 1);
  return cell ? visualItemRect(cell) : QRect();
}

QSize TFrameStrip::ThumbnailRoom() const {
  const project::TMovieSettings& m = editor_.Doc().Settings;
  const int high = int(std::lround(double(zoom_) * std::max(1, m.MHeight) / std::max(1, m.MWidth)));
  return {zoom_, std::clamp(high, 12, zoom_ * 3 / 4)};
}

QSize TFrameStrip::sizeHint() const {
  const QSize room = ThumbnailRoom();
  const QSize cell(room.width() + 2 * kPad, room.height() + fontMetrics().height() + 3 * kPad);
  const int frame = 2 * frameWidth() + 2;
  if (flow() == LeftToRight)
    return {cell.width() * 4 + frame,
            cell.height() + horizontalScrollBar()->sizeHint().height() + frame};
  return {cell.width() + verticalScrollBar()->sizeHint().width() + frame,
          cell.height() * 4 + frame};
}

void TFrameStrip::SetVertical(bool vertical) {
  setFlow(vertical ? TopToBottom : LeftToRight);
  setSizePolicy(vertical ? QSizePolicy::Fixed : QSizePolicy::Expanding,
                vertical ? QSizePolicy::Expanding : QSizePolicy::Fixed);
  updateGeometry();
}

void TFrameStrip::SetZoom(int width) {
  width = std::clamp(width, kMinZoom, kMaxZoom);
  if (width == zoom_) return;
  zoom_ = width;
  // The delegate's size changed: the view lays the cells out again.
  doItemsLayout();
  updateGeometry();
  if (currentItem()) scrollToItem(currentItem());
  emit zoomChanged(zoom_);
  ScheduleSoon();
}

void TFrameStrip::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return QListWidget::wheelEvent(event);
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0) SetZoom(zoom_ + steps * kZoomStep);
  event->accept();
}

int TFrameStrip::DropGap(QPoint pos) const {
  const QModelIndex at = indexAt(pos);
  if (!at.isValid()) {
    // Past the last cell, or before the first.
    const QRect lastCell = count() ? visualItemRect(item(count() - 1)) : QRect();
    const bool after = flow() == LeftToRight ? pos.x() > lastCell.left() : pos.y() > lastCell.top();
    return after ? count() : 0;
  }
  const QRect cell = visualRect(at);
  const bool secondHalf =
      flow() == LeftToRight ? pos.x() > cell.center().x() : pos.y() > cell.center().y();
  return at.row() + (secondHalf ? 1 : 0);
}

bool TFrameStrip::OwnCells(const QDropEvent* event) const {
  return event->mimeData() && event->mimeData()->hasFormat(model()->mimeTypes().value(0));
}

void TFrameStrip::dragEnterEvent(QDragEnterEvent* event) {
  if (OwnCells(event)) event->acceptProposedAction();
}

void TFrameStrip::dragMoveEvent(QDragMoveEvent* event) {
  QListWidget::dragMoveEvent(event);
  if (OwnCells(event)) event->acceptProposedAction();
}

// The dragged cell is the current frame; the editor moves it as one step and
// the strip then shows the new order.
void TFrameStrip::dropEvent(QDropEvent* event) {
  if (!OwnCells(event)) return event->ignore();
  const int from = currentRow() + 1;
  const int gap = DropGap(event->position().toPoint());
  const int to = gap > from - 1 ? gap : gap + 1;
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  if (from >= 1 && to >= 1 && to != from) {
    editor_.MoveFrame(from, std::min(to, count()));
    after_();
  }
}

void TFrameStrip::contextMenuEvent(QContextMenuEvent* event) {
  // The scroll area hands the viewport's events on with the viewport's positions.
  const QModelIndex at = indexAt(event->pos());
  if (!at.isValid()) return;
  if (at.row() != currentRow()) GoTo(at.row() + 1);
  emit menuRequested(at.row() + 1, event->globalPos());
}

void TFrameStrip::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  ScheduleSoon();
}

}  // namespace gui
