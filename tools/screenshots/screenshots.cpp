// Pictures of the editor window for the README: `make screenshots` runs this
// under Xvfb. Usage: vellumet_screenshots OUT_DIR PROJECT.sw0
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "editor/editor.h"
#include "gui/canvas.h"
#include "gui/frame_size_view.h"
#include "gui/frame_strip.h"
#include "gui/frame_tools.h"
#include "gui/main_window.h"
#include "gui/qt_services.h"
#include "player/player_widget.h"

namespace {

void Settle(int ms = 150) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The size view measures on a worker: its bars come in a moment later.
bool WaitForSizes(QWidget& preview) {
  auto* view = preview.findChild<gui::TFrameSizeWindow*>();
  QElapsedTimer clock;
  clock.start();
  while (!view->Ready() && clock.elapsed() < 60000) Settle(50);
  if (!view->Ready()) std::fprintf(stderr, "The size view measured nothing.\n");
  return view->Ready();
}

bool Save(QWidget& w, const QString& dir, const char* name) {
  Settle();
  QString path = QDir(dir).filePath(QString(name) + ".png");
  bool ok = w.grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
  return ok;
}

// Moves the pointer onto the first button the preview's player finds and
// photographs the window with the button in its over state.
bool HoverButton(QWidget& preview, const QString& dir) {
  auto* player = preview.findChild<player::TPlayerWidget*>("SWFPlayer");
  if (!player || !player->Timeline()) return false;
  player->Stop();
  for (int y = 0; y < player->height(); y += 4)
    for (int x = 0; x < player->width(); x += 4) {
      QMouseEvent move(QEvent::MouseMove, QPointF(x, y), player->mapToGlobal(QPointF(x, y)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(player, &move);
      if (player->Timeline()->OverButton()) return Save(preview, dir, "preview-button-over");
    }
  std::printf("no button in the preview\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vellumet_screenshots OUT_DIR PROJECT.sw0\n");
    return 2;
  }
  QApplication qt(argc, argv);
  QApplication::setApplicationVersion("1.4.0");
  QTemporaryDir home;
  QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);

  gui::TMainWindowSetup setup;
  setup.Args = {argv[2]};
  setup.Settings = std::make_unique<gui::TQtSettingsStore>(home.filePath("settings.ini"));
  setup.OpenDocument = [](const std::string&) {};
  gui::TfrmMain window(std::move(setup));
  window.show();
  Settle(400);
  editor::TEditor& e = window.Editor();

  auto page = [&](editor::TPage p, const char* name) {
    e.SetActivePage(p);
    window.ShowState();
    return Save(window, out, name);
  };
  bool ok = page(editor::TPage::Movie, "main-movie");
  ok &= page(editor::TPage::CurrentFrame, "main-frame");
  // Press on the current object, as a user does to pick it.
  if (int slot = e.CurrentObject()) {
    const project::TShapeRec& r = e.Doc().Frames[size_t(e.Doc().CurrentFrame)].Slots[slot];
    int x = r.X + r.W / 2, y = r.Y + r.H / 2;
    e.SWF1MouseMove(x, y);
    e.SWF1MouseDown(x, y);
    e.SWF1MouseUp();
  }
  ok &= page(editor::TPage::Objects, "main-objects-selected");
  const char* modes[] = {"mode-all-frames", "mode-animation", "mode-locked"};
  for (const char* name : modes) {
    e.RzLockClick();
    window.ShowState();
    ok &= Save(window, out, name);
  }
  // The Edit menu with the modes, the View menu with the frame keys.
  for (QAction* top : window.menuBar()->actions()) {
    const QString title = top->text().remove('&');
    if (title != "Edit" && title != "View") continue;
    QMenu* menu = top->menu();
    menu->popup(window.mapToGlobal(QPoint(40, 40)));
    ok &= Save(*menu, out, title == "Edit" ? "menu-edit-modes" : "menu-view-frames");
    menu->hide();
  }

  // The frame strip with every thumbnail drawn, on a middle frame; then the
  // onion skin, two frames each side, the earlier ones red, the later blue.
  e.ChooseEditMode(project::TEditMode::emAnimation);
  e.GoToFrame(e.Doc().FrameCount / 2);
  window.ShowState();
  gui::TFrameStrip* strip = window.FrameTools()->Strip();
  for (int i = 0; i < 200 && !strip->ThumbnailsCurrent(); ++i) Settle(25);
  ok &= Save(window, out, "frame-strip");
  QAction* onion = window.findChild<QAction*>("actOnionSkin");
  onion->trigger();
  ok &= Save(window, out, "onion-skin");
  ok &= Save(*window.Canvas()->Player(), out, "onion-skin-canvas");
  onion->trigger();
  e.ChooseEditMode(project::TEditMode::emLocked);
  window.ShowState();

  // The colour dialog of the movie background, narrow and with the gradient
  // calculator open; it is modal, so it is photographed from inside.
  QTimer::singleShot(300, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    ok &= Save(*dialog, out, "color-dialog");
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
      if (b->text().startsWith("&Gradient Calculator")) b->click();
    ok &= Save(*dialog, out, "color-dialog-calculator");
    static_cast<QDialog*>(dialog)->reject();
  });
  e.RzColorDlgClick(editor::TEditor::ColorTag(editor::RZPaneBkgrColor));

  // The banner export dialog once it has measured the package; a dialog that
  // never can (no profiles beside the program) is closed after 20 s.
  QTimer measured;
  int ticks = 0;
  QObject::connect(&measured, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* exportButton = w->findChild<QAbstractButton*>("Export");
      if (w->windowTitle() != "Export HTML5 Banner" || !exportButton) continue;
      const bool ready = exportButton->isEnabled();
      if (!ready && ++ticks < 200) continue;
      measured.stop();
      if (ready) {
        ok &= Save(*w, out, "ad-export-dialog");
      } else {
        std::fprintf(stderr, "The banner export dialog measured no package.\n");
        ok = false;
      }
      static_cast<QDialog*>(w)->reject();
    }
  });
  measured.start(100);
  window.findChild<QAction*>("actExportAdPackage")->trigger();
  measured.stop();

  e.RzStartClick();
  window.ShowState();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmSWF" && w->isVisible())
      ok &= WaitForSizes(*w) && Save(*w, out, "preview");
  // The preview's size view: what each frame adds to the SWF and to the HTML5
  // package, against the default profile.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() != "frmSWF" || !w->isVisible()) continue;
    w->findChild<QAbstractButton*>("Sizes")->click();
    QWidget* sizes = w->findChild<QWidget*>("frmFrameSizes");
    sizes->resize(480, 340);
    window.ShowState();
    ok &= Save(*sizes, out, "preview-frame-sizes");
    sizes->findChild<QComboBox*>("Build")->setCurrentIndex(1);
    ok &= WaitForSizes(*w) && Save(*sizes, out, "preview-frame-sizes-html5");
    sizes->findChild<QComboBox*>("Build")->setCurrentIndex(0);
    sizes->hide();
  }

  // The media sample's button in the preview with the pointer over it.
  e.OpenProject(
      QFileInfo(QString::fromLocal8Bit(argv[2])).dir().filePath("media.sw0").toStdString());
  e.RzStartClick();
  window.ShowState();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmSWF" && w->isVisible()) ok &= HoverButton(*w, out);
  return ok ? 0 : 1;
}
