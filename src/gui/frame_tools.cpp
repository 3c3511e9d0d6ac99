#include "gui/frame_tools.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

#include "editor/editor.h"
#include "gui/canvas.h"
#include "gui/canvas_play.h"
#include "gui/frame_strip.h"
#include "gui/main_actions.h"
#include "player/player_widget.h"

namespace gui {

namespace {

// Three rings: an earlier frame, the current one, a later one.
QIcon OnionIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size * 0.28, w = std::max(1.0, size / 12.0);
    const QColor colors[] = {QColor(QRgb(editor::kEarlierTint)), QColor(40, 40, 40),
                             QColor(QRgb(editor::kLaterTint))};
    for (int i = 0; i < 3; ++i) {
      p.setPen(QPen(colors[i], w));
      p.drawEllipse(QPointF(size * (0.3 + 0.2 * i), size / 2.0), r, r);
    }
    icon.addPixmap(pixmap);
  }
  return icon;
}

Qt::DockWidgetArea AreaFromText(const std::string& text) {
  const int area = std::atoi(text.c_str());
  for (Qt::DockWidgetArea a : {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea,
                               Qt::TopDockWidgetArea, Qt::BottomDockWidgetArea})
    if (area == int(a)) return a;
  return Qt::TopDockWidgetArea;
}

}  // namespace

TFrameTools::TFrameTools(QMainWindow& window, editor::TEditor& editor,
                         editor::ISettingsStore& settings, TCanvas& canvas, TMainActions& actions,
                         std::function<void()> after)
    : QObject(&window),
      window_(window),
      editor_(editor),
      settings_(settings),
      canvas_(canvas),
      actions_(actions),
      after_(std::move(after)) {
  onion_ = std::make_unique<TOnionSkin>(editor_, *canvas_.Player());
  play_ = new TCanvasPlay(editor_, after_, this);
  BuildDock();
  BuildActions();
  play_->StopOnPress(canvas_.Player());
  play_->StopOnPress(strip_->viewport());
}

// The dock and its strip go with the tools, while the editor they show still lives.
TFrameTools::~TFrameTools() {
  delete dock_;
}

std::string TFrameTools::Read(const char* name, const char* fallback) {
  if (!settings_.OpenKey(false)) return fallback;
  return settings_.Read(name).value_or(fallback);
}

void TFrameTools::Write(const char* name, const std::string& value) {
  if (settings_.OpenKey(true)) settings_.Write(name, value);
}

void TFrameTools::BuildDock() {
  dock_ = new QDockWidget("Frames", &window_);
  dock_->setObjectName("FrameStripDock");
  strip_ = new TFrameStrip(editor_, after_, dock_);
  strip_->SetZoom(
      std::atoi(Read("FrameStripZoom", std::to_string(TFrameStrip::kDefaultZoom).c_str()).c_str()));
  dock_->setWidget(strip_);
  window_.addDockWidget(AreaFromText(Read("FrameStripArea", "4")), dock_);
  dock_->setVisible(Read("FrameStrip", "1") != "0");
  auto follow = [this](Qt::DockWidgetArea area) {
    strip_->SetVertical(area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea);
  };
  follow(window_.dockWidgetArea(dock_));
  connect(dock_, &QDockWidget::dockLocationChanged, this, [this, follow](Qt::DockWidgetArea area) {
    follow(area);
    Write("FrameStripArea", std::to_string(int(area)));
  });
  connect(strip_, &TFrameStrip::zoomChanged, this,
          [this](int width) { Write("FrameStripZoom", std::to_string(width)); });
  connect(strip_, &TFrameStrip::menuRequested, this, [this](int32_t, QPoint global) {
    if (auto* frames = window_.findChild<QMenu*>("menuFrames")) frames->popup(global);
  });
}

void TFrameTools::BuildActions() {
  QMenu* view = window_.findChild<QMenu*>("menuView");
  QAction* stripAction = dock_->toggleViewAction();
  stripAction->setObjectName("actFrameStrip");
  stripAction->setText("Frame Strip");
  connect(stripAction, &QAction::toggled, this, [this](bool on) {
    Write("FrameStrip", on ? "1" : "0");
    if (on) strip_->Show();
  });

  onionAction_ = new QAction(OnionIcon(), "Onion Skin\tCtrl+Shift+O", this);
  onionAction_->setObjectName("actOnionSkin");
  onionAction_->setToolTip("Onion Skin: show the neighbouring frames faintly (Ctrl+Shift+O)");
  onionAction_->setCheckable(true);
  connect(onionAction_, &QAction::toggled, this, [this](bool on) { SetOnion(on); });
  auto* counts = new QMenu("Onion Skin Frames", &window_);
  counts->setObjectName("menuOnionFrames");
  auto* group = new QActionGroup(this);
  const int count = std::clamp(std::atoi(Read("OnionFrames", "2").c_str()), 1, 3);
  for (int n = 1; n <= editor::kMaxOnionFrames; ++n) {
    QAction* a = counts->addAction(QString("%1 Frame%2 Each Side").arg(n).arg(n > 1 ? "s" : ""));
    a->setObjectName(QString("actOnion%1").arg(n));
    a->setCheckable(true);
    a->setChecked(n == count);
    group->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { SetOnionCount(n); });
  }
  onion_->SetCount(count);

  playAction_ = new QAction(QApplication::style()->standardIcon(QStyle::SP_MediaPlay),
                            "Play on Canvas\tSpace", this);
  playAction_->setObjectName("actPlayCanvas");
  playAction_->setToolTip("Play the movie on the canvas from the current frame (Space)");
  playAction_->setCheckable(true);
  connect(playAction_, &QAction::triggered, this,
          [this](bool on) { on ? play_->Play() : play_->Stop(); });
  connect(play_, &TCanvasPlay::playingChanged, this, [this](bool on) {
    playAction_->setChecked(on);
    playAction_->setIcon(
        QApplication::style()->standardIcon(on ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
    playAction_->setIconText(on ? "Stop" : "Play");
  });
  playAction_->setIconText("Play");

  if (view) {
    view->addSeparator();
    view->addAction(stripAction);
    view->addAction(onionAction_);
    view->addMenu(counts);
    view->addAction(playAction_);
  }
  QToolBar* bar = actions_.ToolBar();
  bar->addSeparator();
  bar->addAction(onionAction_);
  bar->addAction(playAction_);
  onionAction_->setChecked(Read("OnionSkin", "0") == "1");
}

void TFrameTools::SetOnion(bool on) {
  Write("OnionSkin", on ? "1" : "0");
  if (onionAction_->isChecked() != on) onionAction_->setChecked(on);
  onion_->SetEnabled(on);
}

void TFrameTools::SetOnionCount(int count) {
  Write("OnionFrames", std::to_string(count));
  onion_->SetCount(count);
}

void TFrameTools::Show() {
  if (dock_->isVisible()) strip_->Show();
  onion_->Show();
}

bool TFrameTools::KeyDown(int key, Qt::KeyboardModifiers mods, bool canvasFocused) {
  if (key == Qt::Key_Space && mods == Qt::NoModifier && canvasFocused) {
    play_->Toggle();
    return true;
  }
  if (key == Qt::Key_O && mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
    onionAction_->toggle();
    return true;
  }
  // Any other key edits or moves on: the play stops on the frame shown first.
  const bool modifier = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                        key == Qt::Key_Meta;
  if (!modifier) play_->Stop();
  return false;
}

}  // namespace gui
