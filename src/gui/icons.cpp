#include "gui/icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>
#include <cassert>
#include <iterator>

#include "gui/icon_canvas.h"
#include "gui/icon_motifs.h"

namespace gui {

namespace {

struct TIconLook {
  TIcon icon;
  motif::TDraw draw;
  const TTone& tone;
  bool mirrored = false;
};

// In the order of TIcon.
const TIconLook kLooks[] = {
    {TIcon::Rectangle, motif::Rectangle, tone::kBlue},
    {TIcon::RoundRect, motif::RoundRect, tone::kBlue},
    {TIcon::Circle, motif::Circle, tone::kBlue},
    {TIcon::Ellipse, motif::Ellipse, tone::kBlue},
    {TIcon::Diamond, motif::Diamond, tone::kBlue},
    {TIcon::Star, motif::Star, tone::kBlue},
    {TIcon::Text, motif::Text, tone::kBlue},
    {TIcon::Picture, motif::Picture, tone::kGreen},
    {TIcon::Button, motif::Button, tone::kBlue},
    {TIcon::NewProject, motif::NewPage, tone::kPaper},
    {TIcon::OpenProject, motif::OpenFolder, tone::kAmber},
    {TIcon::SaveProject, motif::Floppy, tone::kBlue},
    {TIcon::SaveProjectAs, motif::FloppyAndPencil, tone::kBlue},
    {TIcon::SwfPreview, motif::PlayScreen, tone::kGreen},
    {TIcon::FirstFrame, motif::SkipToEnd, tone::kBlue, true},
    {TIcon::PreviousFrame, motif::StepForward, tone::kBlue, true},
    {TIcon::NextFrame, motif::StepForward, tone::kBlue},
    {TIcon::LastFrame, motif::SkipToEnd, tone::kBlue},
    {TIcon::InsertFrame, motif::FramePlus, tone::kBlue},
    {TIcon::RemoveFrame, motif::FrameMinus, tone::kBlue},
    {TIcon::ReverseFrames, motif::OppositeArrows, tone::kBlue},
    {TIcon::ModeAnimation, motif::MotionTrail, tone::kBlue},
    {TIcon::ModeLocked, motif::Padlock, tone::kRed},
    {TIcon::ModeAllFrames, motif::FrameStack, tone::kGreen},
    {TIcon::FileLoad, motif::ClosedFolder, tone::kAmber},
    {TIcon::FileClear, motif::Cross, tone::kRed},
    {TIcon::Undo, motif::TurnBack, tone::kBlue},
    {TIcon::Redo, motif::TurnBack, tone::kBlue, true},
};
static_assert(std::size(kLooks) == kIconCount);

const TIconLook& LookOf(TIcon which) {
  const int index = static_cast<int>(which) - 1;
  assert(index >= 0 && index < kIconCount);
  const TIconLook& look = kLooks[index];
  assert(look.icon == which);
  return look;
}

// Grey, with its contrast and opacity lowered, so a disabled icon recedes
// on light and dark windows alike.
void Grey(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 128 + (qGray(line[x]) - 128) * 2 / 5;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
    }
  }
}

// The icon drawn into the largest centred square of size device pixels.
QImage Render(TIcon which, QSize size, bool disabled) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  const int side = std::min(size.width(), size.height());
  if (side <= 0) return image;
  const TIconLook& look = LookOf(which);
  {
    QPainter painter(&image);
    painter.translate((size.width() - side) / 2, (size.height() - side) / 2);
    if (look.mirrored) painter.setTransform(QTransform(-1, 0, 0, 1, side, 0), true);
    TIconCanvas canvas(painter, side);
    look.draw(canvas, look.tone);
  }
  if (disabled) Grey(image);
  return image;
}

QPixmap CachedPixmap(TIcon which, QSize size, QIcon::Mode mode, qreal ratio) {
  const bool disabled = mode == QIcon::Disabled;
  const QString key = QStringLiteral("vellumet-icon-%1-%2x%3-%4")
                          .arg(static_cast<int>(which))
                          .arg(size.width())
                          .arg(size.height())
                          .arg(disabled ? 'd' : 'n');
  QPixmap pixmap;
  if (!QPixmapCache::find(key, &pixmap)) {
    pixmap = QPixmap::fromImage(Render(which, size, disabled));
    QPixmapCache::insert(key, pixmap);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

class TPaintedIconEngine final : public QIconEngine {
 public:
  explicit TPaintedIconEngine(TIcon which) : which_(which) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->drawPixmap(rect, CachedPixmap(which_, rect.size() * ratio, mode, ratio));
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    return CachedPixmap(which_, size, mode, 1);
  }

  // Qt 6.4 hands over the size in device pixels.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
    return CachedPixmap(which_, size, mode, scale);
  }

  // QIcon takes ownership of the copy.
  QIconEngine* clone() const override { return new TPaintedIconEngine(which_); }

  QString key() const override { return QStringLiteral("vellumet-painted"); }

 private:
  TIcon which_;
};

}  // namespace

// QIcon takes ownership of its engine.
QIcon MakeIcon(TIcon which) {
  return QIcon(new TPaintedIconEngine(which));
}

TIcon PaletteIcon(project::TShapeKind kind) {
  assert(kind >= project::skRectangle && kind <= project::skButton);
  return static_cast<TIcon>(kind);
}

TIcon ModeIcon(project::TEditMode mode) {
  switch (mode) {
    case project::TEditMode::emAnimation:
      return TIcon::ModeAnimation;
    case project::TEditMode::emLocked:
      return TIcon::ModeLocked;
    case project::TEditMode::emAllFrames:
      return TIcon::ModeAllFrames;
  }
  return TIcon::ModeAnimation;
}

static_assert(static_cast<int>(TIcon::Button) == project::skButton);
static_assert(static_cast<int>(TIcon::Text) == project::skText);

}  // namespace gui
