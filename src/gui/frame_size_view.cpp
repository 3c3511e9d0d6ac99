#include "gui/frame_size_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "exporters/ad_export.h"
#include "exporters/ad_profile.h"
#include "exporters/package_frames.h"
#include "platform/error.h"
#include "player/swf_reader.h"

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

const char* const kSwfKey = "swf";

TMeasuredFrames MeasureSwf(const std::string& path, const std::vector<int32_t>& swfFrames) {
  TMeasuredFrames measured;
  measured.Frames = editor::MeasureFrameFile(path, swfFrames);
  if (measured.Frames.empty()) measured.Error = "The movie's frames could not be measured.";
  return measured;
}

// Builds the package as the export would with the profile's choices.
TMeasuredFrames MeasurePackage(const std::string& path, const std::vector<int32_t>& swfFrames,
                               const project::TProjectDocument& doc, const std::string& profile) {
  TMeasuredFrames measured;
  try {
    exporters::TAdExportOptions options;
    options.Profile = profile;
    const exporters::TAdPackageBuild build = exporters::BuildAdPackage(path, doc, options);
    const std::vector<uint64_t> bytes =
        exporters::PackageFrameBytes(player::ReadFileBytes(path), doc, build, swfFrames);
    measured.Frames = editor::PackageFrames(bytes, editor::MeasureFrameFile(path, swfFrames));
  } catch (const std::exception& e) {
    measured.Error = std::string("The HTML5 package could not be made: ") + e.what();
  }
  return measured;
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

void TFrameSizeBars::SetCompact(bool compact) {
  compact_ = compact;
  setMinimumSize(compact ? QSize(60, 24) : QSize(200, 100));
  updateGeometry();
  update();
}

QSize TFrameSizeBars::sizeHint() const {
  return compact_ ? QSize(120, 24) : QSize(360, 140);
}

QRect TFrameSizeBars::Plot() const {
  if (compact_) return rect().adjusted(1, 1, -1, -1);
  return rect().adjusted(kMargin, kMargin + fontMetrics().height(), -kMargin, -kMargin);
}

// The taller of the file and the budget fills the plot's height; in the
// compact strip the file does, and the line shows only once the file passes it.
double TFrameSizeBars::Scale() const {
  const uint64_t total = Total(frames_);
  const uint64_t top = compact_ && total > 0 ? total : std::max(total, budget_);
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
  if (!compact_)
    painter.drawText(rect().adjusted(kMargin, kMargin / 2, -kMargin, 0),
                     Qt::AlignLeft | Qt::AlignTop,
                     QString("%1 bytes in %2 frames").arg(Total(frames_)).arg(frames_.size()));
  for (size_t i = 0; i < frames_.size(); ++i)
    painter.fillRect(BarRect(i),
                     editor::ArrivesLate(frames_, i, bitsPerSecond_) ? kLateColor : kBarColor);
  const QRect plot = Plot();
  const int y = plot.bottom() - int(double(budget_) * Scale());
  if (budget_ == 0 || y < plot.top()) return;
  painter.setPen(QPen(kBudgetColor, 1, Qt::DashLine));
  painter.drawLine(plot.left(), y, plot.right(), y);
  if (compact_) return;
  painter.drawText(
      QRect(plot.left(), y - fontMetrics().height(), plot.width(), fontMetrics().height()),
      Qt::AlignRight | Qt::AlignBottom, QString("limit %1 bytes").arg(budget_));
}

void TFrameSizeBars::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
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
  worker_.setMaxThreadCount(1);
  worker_.setThreadPriority(QThread::LowPriority);
  bars_.push_back(new TFrameSizeBars(this));
  build_ = new QComboBox(this);
  build_->setObjectName("Build");
  build_->addItems({"SWF movie", "HTML5 ad package"});
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
  form->addRow("Sizes of:", build_);
  form->addRow("Ad profile:", profile_);
  form->addRow("Connection:", speed_);
  auto* column = new QVBoxLayout(this);
  column->addWidget(bars_.front(), 1);
  column->addLayout(form);
  column->addWidget(budget_);
  column->addWidget(summary_);
  for (QComboBox* choice : {build_, profile_, speed_})
    connect(choice, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
}

TFrameSizeWindow::~TFrameSizeWindow() {
  worker_.clear();
  worker_.waitForDone();
}

void TFrameSizeWindow::AddStrip(TFrameSizeBars* strip) {
  strip->SetCompact(true);
  bars_.push_back(strip);
  Refresh();
}

void TFrameSizeWindow::SetMovie(const editor::TPreviewRequest& request) {
  ++generation_;
  worker_.clear();
  measured_.clear();
  pending_.clear();
  movie_ = request;
  ListProfiles();
  Refresh();
}

bool TFrameSizeWindow::Ready() const {
  return measured_.count(ShownKey()) > 0;
}

QString TFrameSizeWindow::ShownKey() const {
  return build_->currentIndex() == 0 ? QString(kSwfKey) : "html5 " + profile_->currentText();
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

// The worker keeps copies of what it reads; its figures come back through
// the window's event loop and are dropped when the movie has changed since.
void TFrameSizeWindow::Measure(const QString& key, std::function<TMeasuredFrames()> work) {
  pending_.insert(key);
  worker_.start([this, key, generation = generation_, work = std::move(work)] {
    TMeasuredFrames result = work();
    QMetaObject::invokeMethod(
        this,
        [this, key, generation, result = std::move(result)] {
          if (generation != generation_) return;
          pending_.erase(key);
          measured_[key] = result;
          Refresh();
          emit measured();
        },
        Qt::QueuedConnection);
  });
}

void TFrameSizeWindow::Refresh() {
  const QString key = ShownKey();
  if (!movie_.MoviePath.empty() && !measured_.count(key) && !pending_.count(key)) {
    const std::string path = movie_.MoviePath;
    const std::vector<int32_t> swfFrames = movie_.SwfFrames;
    if (key == kSwfKey) {
      Measure(key, [path, swfFrames] { return MeasureSwf(path, swfFrames); });
    } else if (movie_.Document) {
      Measure(key, [path, swfFrames, doc = movie_.Document, profile = profile_->currentText()] {
        return MeasurePackage(path, swfFrames, *doc, profile.toStdString());
      });
    }
  }
  const auto found = measured_.find(key);
  const std::vector<editor::TFrameSize> frames =
      found != measured_.end() ? found->second.Frames : std::vector<editor::TFrameSize>{};
  const int64_t speed = speed_->currentData().toLongLong();
  if (pending_.count(key))
    summary_->setText("Measuring...");
  else if (found != measured_.end() && !found->second.Error.empty())
    summary_->setText(QString::fromStdString(found->second.Error));
  else
    summary_->setText(QString::fromStdString(editor::ArrivalSummary(frames, speed)));
  uint64_t limit = 0;
  try {
    if (profile_->count() > 0) {
      const exporters::TAdProfile profile =
          exporters::LoadAdProfile(profile_->currentText().toStdString());
      limit = uint64_t(std::max<int64_t>(profile.PackageLimitKB(movie_.Width, movie_.Height), 0)) *
              1000;
    }
    budget_->setText(
        limit > 0
            ? QString("Limit for %1x%2: %3 bytes").arg(movie_.Width).arg(movie_.Height).arg(limit)
            : QString("No size limit"));
  } catch (const platform::TVellumetError& e) {
    budget_->setText(QString::fromStdString(e.what()));
  }
  for (TFrameSizeBars* bars : bars_) {
    bars->SetFrames(frames);
    bars->SetSpeed(speed);
    bars->SetBudget(limit);
  }
}

}  // namespace gui
