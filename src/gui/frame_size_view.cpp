#include "gui/frame_size_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "exporters/ad_profile.h"
#include "platform/error.h"

namespace gui {

namespace {

constexpr int kMargin = 6;
const QColor kBarColor(0x3A, 0x6E, 0xA5), kLateColor(0xC0, 0x30, 0x30);
const QColor kBudgetColor(0xB0, 0x60, 0x00);

uint64_t Total(const std::vector<editor::TFrameSize>& frames) {
  uint64_t total = 0;
  for (const editor::TFrameSize& frame : frames) total += frame.Bytes;
  return total;
}

}  // namespace

TFrameSizeBars::TFrameSizeBars(QWidget* parent) : QWidget(parent) {
  setObjectName("FrameSizeBars");
  setAccessibleName("Frame sizes");
  setMinimumSize(200, 100);
}

void TFrameSizeBars::SetFrames(std::vector<editor::TFrameSize> frames) {
  frames_ = std::move(frames);
  update();
}

void TFrameSizeBars::SetBudget(uint64_t bytes) {
  budget_ = bytes;
  update();
}

void TFrameSizeBars::SetSpeed(int64_t bitsPerSecond) {
  bitsPerSecond_ = bitsPerSecond;
  update();
}

QRect TFrameSizeBars::Plot() const {
  return rect().adjusted(kMargin, kMargin + fontMetrics().height(), -kMargin, -kMargin);
}

// The taller of the file and the budget fills the plot's height.
double TFrameSizeBars::Scale() const {
  const uint64_t top = std::max(Total(frames_), budget_);
  return top > 0 ? double(Plot().height()) / double(top) : 0;
}

QRect TFrameSizeBars::BarRect(size_t i) const {
  const QRect plot = Plot();
  const int count = int(frames_.size());
  const int x0 = plot.left() + int(int64_t(plot.width()) * int64_t(i) / count);
  const int x1 = plot.left() + int(int64_t(plot.width()) * int64_t(i + 1) / count);
  uint64_t before = 0;
  for (size_t k = 0; k < i; ++k) before += frames_[k].Bytes;
  const double scale = Scale();
  const int bottom = plot.bottom() - int(double(before) * scale);
  const int height = std::max(1, int(double(frames_[i].Bytes) * scale + 0.5));
  return QRect(x0 + 1, bottom - height + 1, std::max(1, x1 - x0 - 2), height);
}

void TFrameSizeBars::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().text().color());
  painter.drawText(rect().adjusted(kMargin, kMargin / 2, -kMargin, 0), Qt::AlignLeft | Qt::AlignTop,
                   QString("%1 bytes in %2 frames").arg(Total(frames_)).arg(frames_.size()));
  for (size_t i = 0; i < frames_.size(); ++i)
    painter.fillRect(BarRect(i),
                     editor::ArrivesLate(frames_, i, bitsPerSecond_) ? kLateColor : kBarColor);
  if (budget_ == 0) return;
  const QRect plot = Plot();
  const int y = plot.bottom() - int(double(budget_) * Scale());
  painter.setPen(QPen(kBudgetColor, 1, Qt::DashLine));
  painter.drawLine(plot.left(), y, plot.right(), y);
  painter.drawText(
      QRect(plot.left(), y - fontMetrics().height(), plot.width(), fontMetrics().height()),
      Qt::AlignRight | Qt::AlignBottom, QString("limit %1 bytes").arg(budget_));
}

bool TFrameSizeBars::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const QPoint at = static_cast<QHelpEvent*>(event)->pos();
  for (size_t i = 0; i < frames_.size(); ++i) {
    const QRect bar = BarRect(i);
    if (at.x() < bar.left() || at.x() > bar.right()) continue;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       QString::fromStdString(editor::FrameTip(frames_, i, bitsPerSecond_)), this);
    return true;
  }
  QToolTip::hideText();
  event->ignore();
  return true;
}

TFrameSizeWindow::TFrameSizeWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("frmFrameSizes");
  setWindowTitle("Frame Sizes");
  bars_ = new TFrameSizeBars(this);
  profile_ = new QComboBox(this);
  profile_->setObjectName("Profile");
  speed_ = new QComboBox(this);
  speed_->setObjectName("Speed");
  for (const editor::TConnectionSpeed& speed : editor::kConnectionSpeeds)
    speed_->addItem(speed.Name, QVariant::fromValue<qint64>(speed.BitsPerSecond));
  speed_->setCurrentIndex(1);
  budget_ = new QLabel(this);
  budget_->setObjectName("Budget");
  summary_ = new QLabel(this);
  summary_->setObjectName("Summary");
  summary_->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow("Ad profile:", profile_);
  form->addRow("Connection:", speed_);
  auto* column = new QVBoxLayout(this);
  column->addWidget(bars_, 1);
  column->addLayout(form);
  column->addWidget(budget_);
  column->addWidget(summary_);
  connect(profile_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
  connect(speed_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
}

void TFrameSizeWindow::SetMovie(std::vector<editor::TFrameSize> frames, int width, int height) {
  width_ = width;
  height_ = height;
  bars_->SetFrames(std::move(frames));
  ListProfiles();
  Refresh();
}

// Read again for each movie: the user may have added a profile meanwhile.
void TFrameSizeWindow::ListProfiles() {
  const QString chosen =
      profile_->count() > 0 ? profile_->currentText() : QString(exporters::kDefaultAdProfile);
  const QSignalBlocker quiet(profile_);
  profile_->clear();
  for (const std::string& name : exporters::AdProfileNames())
    profile_->addItem(QString::fromStdString(name));
  profile_->setCurrentIndex(std::max(profile_->findText(chosen), 0));
}

void TFrameSizeWindow::Refresh() {
  const int64_t speed = speed_->currentData().toLongLong();
  bars_->SetSpeed(speed);
  summary_->setText(QString::fromStdString(editor::ArrivalSummary(bars_->Frames(), speed)));
  uint64_t limit = 0;
  try {
    if (profile_->count() > 0) {
      const exporters::TAdProfile profile =
          exporters::LoadAdProfile(profile_->currentText().toStdString());
      limit = uint64_t(std::max<int64_t>(profile.PackageLimitKB(width_, height_), 0)) * 1000;
    }
    budget_->setText(limit > 0
                         ? QString("Limit for %1x%2: %3 bytes").arg(width_).arg(height_).arg(limit)
                         : QString("No size limit"));
  } catch (const platform::TVellumetError& e) {
    budget_->setText(QString::fromStdString(e.what()));
  }
  bars_->SetBudget(limit);
}

}  // namespace gui
