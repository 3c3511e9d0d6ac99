#include "gui/canvas.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cmath>

#include "gui/palette_strip.h"
#include "gui/selection_overlay.h"
#include "player/player_widget.h"
#include "player/swf_reader.h"

namespace gui {

namespace {

int Floor(double v) {
  return int(std::floor(v));
}

}  // namespace

TCanvas::TCanvas(QWidget* parent) : QWidget(parent) {
  setObjectName("Canvas");
  setAutoFillBackground(true);
  setMouseTracking(true);
  setAcceptDrops(true);
  setMinimumSize(200, 80);
  palette_ = new TPaletteStrip(this);
  player_ = new player::TPlayerWidget(this);
  player_->setObjectName("Player");
  player_->setAccessibleName("Canvas");
  player_->SetOpenLinks(false);
  player_->setFocusPolicy(Qt::StrongFocus);
  player_->setMouseTracking(true);
  connect(player_, &player::TPlayerWidget::mouseMoved, this,
          [this](QPointF p) { emit stageMoved(Floor(p.x()), Floor(p.y())); });
  connect(player_, &player::TPlayerWidget::mousePressed, this, [this](QPointF p) {
    player_->setFocus(Qt::MouseFocusReason);
    emit stagePressed(Floor(p.x()), Floor(p.y()));
  });
  connect(player_, &player::TPlayerWidget::mouseReleased, this, [this] { emit released(); });
  overlay_ = new TSelectionOverlay(this, player_);
  SetStageSize(stage_.width(), stage_.height());
}

void TCanvas::SetSiteColor(QRgb rgb) {
  QPalette p = palette();
  if (p.color(QPalette::Window) == QColor(rgb)) return;
  p.setColor(QPalette::Window, QColor(rgb));
  setPalette(p);
  QPalette strip = palette_->palette();
  strip.setColor(QPalette::Window, QColor(rgb).lighter(112));
  palette_->setPalette(strip);
}

int TCanvas::PaletteWidth() const {
  return palette_->sizeHint().width();
}

void TCanvas::ShowSelection(const std::vector<editor::TOutline>& outlines) {
  overlay_->ShowOutlines(outlines);
}

void TCanvas::LoadMovie(const std::vector<uint8_t>& swf) {
  player_->LoadMovie(std::make_shared<const player::TMovie>(player::ReadMovie(swf)));
}

void TCanvas::SetBackgroundColor(uint32_t rgb) {
  player_->SetBackgroundColor(int(rgb & 0xFFFFFF));
}

void TCanvas::GotoFrame(int32_t frame) {
  player_->GotoFrame(frame);
}

void TCanvas::SetStageSize(int32_t width, int32_t height) {
  stage_ = QSize(std::max(1, width), std::max(1, height));
  PlacePlayer();
}

void TCanvas::Refresh() {
  player_->update();
}

void TCanvas::PlacePlayer() {
  int strip = PaletteWidth();
  palette_->setGeometry(0, 0, strip, height());
  int left = (width() + strip - stage_.width()) / 2;
  int top = (height() - stage_.height()) / 2;
  player_->setGeometry(left, top, stage_.width(), stage_.height());
  // Over the whole canvas, so that handles of an object at the stage's edge show.
  overlay_->setGeometry(rect());
  overlay_->raise();
}

void TCanvas::resizeEvent(QResizeEvent*) {
  PlacePlayer();
}

void TCanvas::mouseMoveEvent(QMouseEvent*) {
  emit areaMoved();
}

void TCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit areaPressed();
}

void TCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit released();
}

void TCanvas::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TCanvas::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  QPointF stage = event->position() - QPointF(player_->geometry().topLeft());
  event->acceptProposedAction();
  emit filesDropped(paths, Floor(stage.x()), Floor(stage.y()));
}

}  // namespace gui
