#include "gui/preview_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/frame_size_view.h"
#include "player/player_widget.h"

namespace gui {

namespace {

// Widths of the first three status panes; the fourth takes the rest.
constexpr int kPaneWidths[3] = {150, 150, 81};
const char* const kPaneNames[4] = {"State", "File size", "Status", "Message"};

}  // namespace

TfrmSWF::TfrmSWF(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmSWF");
  setWindowTitle("SWF Preview");
  stage_ = new QWidget(this);
  stage_->setObjectName("Stage");
  stage_->setAutoFillBackground(true);
  stage_->installEventFilter(this);
  player_ = new player::TPlayerWidget(stage_);
  player_->setObjectName("SWFPlayer");
  player_->setAccessibleName("SWF movie");
  player_->setFocusPolicy(Qt::StrongFocus);
  player_->SetAudioEnabled(true);  // the preview plays the movie's sounds
  connect(player_, &player::TPlayerWidget::linkFailed, this, [this](const QString& url) {
    panes_[3]->setText(QString("The browser could not be started to open %1").arg(url));
  });
  // Queued: the count comes from the player's paint.
  connect(
      player_, &player::TPlayerWidget::undrawablePictures, this,
      [this](int count) {
        if (OnPicturesUndrawable) OnPicturesUndrawable(count);
      },
      Qt::QueuedConnection);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(stage_, 1);
  column->addWidget(MakeStatusBar());
}

// The panes keep their widths and are cut off at the window's edge when the
// window is narrower; the button always stays in view at the right.
QStatusBar* TfrmSWF::MakeStatusBar() {
  statusBar_ = new QStatusBar(this);
  statusBar_->setSizeGripEnabled(false);
  auto* panes = new QWidget(statusBar_);
  panes->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* column = new QVBoxLayout(panes);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(1);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  column->addLayout(row);
  // Under the panes, as wide as they are, so each frame's bar can be seen.
  column->addWidget(strip_ = new TFrameSizeBars(panes));
  for (size_t i = 0; i < panes_.size(); ++i) {
    QLabel* pane = panes_[i] = new QLabel(panes);
    pane->setObjectName(QString("Pane%1").arg(i + 1));
    // A screen reader reads a label's text as its name; the pane's role is
    // its description.
    pane->setAccessibleDescription(kPaneNames[i]);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i < 3) pane->setFixedWidth(kPaneWidths[i]);
    row->addWidget(pane, i < 3 ? 0 : 1);
  }
  strip_->setObjectName("SizeStrip");
  strip_->setAccessibleName("Frame sizes at a glance");
  panes_[0]->setText("OK");
  save_ = new QPushButton("Save SWF...", statusBar_);
  save_->setObjectName("SaveSWF");
  save_->setAccessibleName("Save SWF...");
  QFont bold = save_->font();
  bold.setBold(true);
  save_->setFont(bold);
  connect(save_, &QPushButton::clicked, this, [this] {
    if (OnSaveClicked) OnSaveClicked();
  });
  mute_ = new QToolButton(statusBar_);
  mute_->setObjectName("Mute");
  mute_->setCheckable(true);
  mute_->setText("Mute");
  mute_->setToolTip("Mute the movie's sounds");
  mute_->setAccessibleName("Mute");
  connect(mute_, &QToolButton::toggled, this, [this](bool muted) {
    player_->SetMuted(muted);
    if (OnMutedChanged) OnMutedChanged(muted);
  });
  sizeView_ = new TFrameSizeWindow(this);
  sizes_ = new QToolButton(statusBar_);
  sizes_->setObjectName("Sizes");
  sizes_->setCheckable(true);
  sizes_->setText("Sizes");
  sizes_->setToolTip("What each frame adds to the file, and when it arrives");
  sizes_->setAccessibleName("Frame sizes");
  connect(sizes_, &QToolButton::toggled, sizeView_, &QWidget::setVisible);
  connect(strip_, &TFrameSizeBars::clicked, sizes_, &QToolButton::toggle);
  sizeView_->AddStrip(strip_);
  sizeView_->installEventFilter(this);
  statusBar_->addWidget(panes, 1);
  statusBar_->addPermanentWidget(sizes_);
  statusBar_->addPermanentWidget(mute_);
  statusBar_->addPermanentWidget(save_);
  return statusBar_;
}

void TfrmSWF::SetMuted(bool muted) {
  const QSignalBlocker block(mute_);
  mute_->setChecked(muted);
  player_->SetMuted(muted);
}

bool TfrmSWF::IsOpen() {
  return isVisible();
}

void TfrmSWF::Show(const editor::TPreviewRequest& request) {
  player_->LoadMovie(QString::fromStdString(request.MoviePath));
  player_->SetBackgroundColor(int(request.BackgroundColor & 0xFFFFFF));
  SetSiteColor(request.SiteColor);
  player_->resize(request.Width, request.Height);
  const int status = statusBar_->sizeHint().height();
  // The whole movie stays in view. (Counted with the window's frame, this is
  // the movie, the status bar and the caption, plus 4 pixels of border a side.)
  setMinimumSize(request.Width, request.Height + status);
  resize(request.Width + 30, request.Height + status + 30);
  layout()->activate();  // the client area takes its new size before the player is centred
  CentrePlayer();
  panes_[0]->setText("OK");
  panes_[1]->setText(QString::fromStdString(request.Status));
  sizeView_->SetMovie(request);
  panes_[3]->clear();  // a message of the previous movie
  show();
  if (!placed_) PlaceOnScreenCentre();
  placed_ = true;
  raise();
  activateWindow();
  player_->setFocus();
}

void TfrmSWF::ShowMessage(const std::string& text) {
  panes_[3]->setText(QString::fromStdString(text));
}

void TfrmSWF::Close() {
  player_->Stop();
  sizes_->setChecked(false);
  hide();
}

void TfrmSWF::Play() {
  player_->Play();
}

void TfrmSWF::Stop() {
  player_->Stop();
}

void TfrmSWF::closeEvent(QCloseEvent* event) {
  player_->Stop();
  sizes_->setChecked(false);
  event->accept();
  if (OnClosed) OnClosed();
}

bool TfrmSWF::eventFilter(QObject* watched, QEvent* event) {
  // Closing the size view by its own caption releases the button.
  if (watched == sizeView_ && event->type() == QEvent::Hide) sizes_->setChecked(false);
  if (watched == stage_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
    CentrePlayer();
  return QWidget::eventFilter(watched, event);
}

void TfrmSWF::SetSiteColor(uint32_t rgb) {
  QPalette site = stage_->palette();
  site.setColor(QPalette::Window, QColor(QRgb(rgb)));
  stage_->setPalette(site);
}

// Offsets round toward zero and go negative when the window is smaller than
// the movie.
void TfrmSWF::CentrePlayer() {
  player_->move((stage_->width() - player_->width()) / 2,
                (stage_->height() - player_->height()) / 2);
}

// Centred with its frame, as far as the window system has told its size.
void TfrmSWF::PlaceOnScreenCentre() {
  const QRect screen = this->screen()->geometry();
  const QSize outer = frameGeometry().size();
  move(screen.x() + (screen.width() - outer.width()) / 2,
       screen.y() + (screen.height() - outer.height()) / 2);
}

}  // namespace gui
