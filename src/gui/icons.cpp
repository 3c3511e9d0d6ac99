#include "gui/icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <algorithm>
#include <cassert>

#include "gui/icon_canvas.h"
#include "gui/icon_motifs.h"

namespace gui {

namespace {

struct TIconLook {
  motif::TDraw draw;
  const TTone& tone;
  bool mirrored = false;
};

// Indexed by TIcon - 1.
const TIconLook kLooks[kIconCount] = {
    {motif::Rectangle, tone::kBlue},
    {motif::RoundRect, tone::kBlue},
    {motif::Circle, tone::kBlue},
    {motif::Ellipse, tone::kBlue},
    {motif::Diamond, tone::kBlue},
    {motif::Star, tone::kBlue},
    {motif::Text, tone::kBlue},
    {motif::Picture, tone::kGreen},
    {motif::Button, tone::kBlue},
    {motif::NewPage, tone::kPaper},
    {motif::OpenFolder, tone::kAmber},
    {motif::Floppy, tone::kBlue},
    {motif::FloppyAndPencil, tone::kBlue},
    {motif::PlayScreen, tone::kGreen},
    {motif::SkipToEnd, tone::kBlue, true},
    {motif::StepForward, tone::kBlue, true},
    {motif::StepForward, tone::kBlue},
    {motif::SkipToEnd, tone::kBlue},
    {motif::FramePlus, tone::kBlue},
    {motif::FrameMinus, tone::kBlue},
    {motif::OppositeArrows, tone::kBlue},
    {motif::MotionTrail, tone::kBlue},
    {motif::Padlock, tone::kRed},
    {motif::FrameStack, tone::kGreen},
    {motif::ClosedFolder, tone::kAmber},
    {motif::Cross, tone::kRed},
    {motif::TurnBack, tone::kBlue},
    {motif::TurnBack, tone::kBlue, true},
};

const TIconLook& LookOf(TIcon which) {
  const int index = static_cast<int>(which) - 1;
  assert(index >= 0 && index < kIconCount);
  return kLooks[index];
}

// Grey, with its contrast and opacity lowered, so a disabled icon recedes
// on light and dark windows alike.
void Grey(QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QColor colour = QColor::fromRgba(line[x]);
      const int grey = 128 + (qGray(colour.rgb()) - 128) * 2 / 5;
      line[x] = qRgba(grey, grey, grey, colour.alpha() / 2);
    }
  }
}

// The icon drawn into the largest centred square of size device pixels.
QImage Render(TIcon which, QSize size, QIcon::Mode mode) {
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
  if (mode == QIcon::Disabled) Grey(image);
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
    pixmap = QPixmap::fromImage(Render(which, size, disabled ? QIcon::Disabled : QIcon::Normal));
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

  // Qt hands over the size in device pixels.
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

QIcon MakeIcon(TIcon which) { return QIcon(new TPaintedIconEngine(which)); }

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
