#include "gui/main_window.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/autosave_host.h"
#include "gui/canvas.h"
#include "gui/color_dialog_window.h"
#include "gui/export_flow.h"
#include "gui/frame_tools.h"
#include "gui/main_actions.h"
#include "gui/palette_strip.h"
#include "gui/preferences_dialog.h"
#include "gui/preview_window.h"
#include "gui/property_panel.h"
#include "gui/qt_prompts.h"
#include "gui/qt_services.h"
#include "gui/recovery_dialog.h"
#include "gui/status_bar.h"
#include "gui/threaded_builder.h"
#include "player/player_widget.h"

namespace gui {

namespace {

// The window's size before any stage asks for more.
constexpr int kDesignWidth = 980, kDesignHeight = 620;

QRgb ToRgb(project::TColor c) {
  return qRgb(project::Red(c), project::Green(c), project::Blue(c));
}

// Qt keys as the Windows virtual-key codes the editor speaks; 0 for keys the
// editor has no use for.
int VirtualKey(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Escape: return editor::VK_ESCAPE;
    case Qt::Key_Delete: return editor::VK_DELETE;
    case Qt::Key_F1: return editor::VK_F1;
    case Qt::Key_Left: return editor::VK_LEFT;
    case Qt::Key_Up: return editor::VK_UP;
    case Qt::Key_Right: return editor::VK_RIGHT;
    case Qt::Key_Down: return editor::VK_DOWN;
    case Qt::Key_Home: return editor::VK_HOME;
    case Qt::Key_End: return editor::VK_END;
    case Qt::Key_PageUp: return editor::VK_PRIOR;
    case Qt::Key_PageDown: return editor::VK_NEXT;
    default: return 0;
  }
}

bool IsFrameKey(int key) {
  return key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown;
}

// Keys a text field keeps for itself even though a menu item has them.
bool FieldKeepsKey(QObject* focus, int key, Qt::KeyboardModifiers mods) {
  bool typing = qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus);
  if (!typing) return false;
  if (mods == Qt::ControlModifier)
    return key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X || key == Qt::Key_A;
  if (IsFrameKey(key)) return true;  // moves the cursor, or steps a number field
  return key == Qt::Key_Delete;
}

}  // namespace

// The Qt side of every port the editor is built with.
class TfrmMain::TServices {
 public:
  TServices(QWidget* window, std::unique_ptr<editor::ISettingsStore> settings)
      : Prompts(window),
        Settings(settings ? std::move(settings) : std::make_unique<TQtSettingsStore>()),
        Preview(window),
        ColorDialog(window),
        Builder(window) {
    Prompts.ColorDialogHandler = [this](editor::TColorDialog& d) { return ColorDialog.Execute(d); };
  }
  TQtPrompts Prompts;
  TQtClipboard Clipboard;
  std::unique_ptr<editor::ISettingsStore> Settings;
  TfrmSWF Preview;
  TfrmColDlg ColorDialog;
  TThreadedBuilder Builder;
  editor::TScreenTextMeasurer Measurer;
};

TfrmMain::TfrmMain(TMainWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), setup_(std::move(setup)) {
  setObjectName("frmMain");
  setWindowTitle("Vellumet");
  resize(kDesignWidth, kDesignHeight);
  services_ = std::make_unique<TServices>(this, std::move(setup_.Settings));
  canvas_ = new TCanvas;
  TServices& s = *services_;
  editor_ = std::make_unique<editor::TEditor>(editor::TEditorPorts{
      *this, s.Prompts, s.Clipboard, *s.Settings, *canvas_, s.Preview, s.Builder, s.Measurer});
  s.Preview.OnSaveClicked = [this] {
    editor_->SaveSWF();
    ShowState();
  };
  s.Preview.OnClosed = [this] { editor_->PreviewClosed(); };
  s.Preview.OnPicturesUndrawable = [this](int count) { editor_->PreviewPicturesUndrawable(count); };
  // The preview's mute choice lives with the other settings.
  s.Preview.SetMuted(s.Settings->OpenKey(false) && s.Settings->Read("Muted").value_or("") == "1");
  s.Preview.OnMutedChanged = [&s](bool muted) {
    if (s.Settings->OpenKey(true)) s.Settings->Write("Muted", muted ? "1" : "0");
  };

  auto after = [this] { ShowState(); };
  exports_ = std::make_unique<TExportFlow>(
      this, *editor_, s.Prompts, [this](const std::string& path) { return TryOpenDocument(path); });
  actions_ = new TMainActions(*this, *editor_, after,
                              {[this] { exports_->ExportMovie(); },
                               [this] { exports_->ExportWebPage(); },
                               [this] { ShowPreferences(); },
                               [this] { exports_->ExportAdPackage(); }});
  panelView_ = new TPropertyPanelView(*editor_);
  connect(panelView_, &TPropertyPanelView::edited, this, after);
  status_ = new TMainStatusBar;
  setStatusBar(status_);
  connect(status_, &TMainStatusBar::folderRequested, this,
          [this](const QString& folder) { OpenDocument(folder.toStdString()); });

  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(8, 4, 8, 4);
  column->setSpacing(6);
  column->addWidget(canvas_, 1);
  column->addWidget(panelView_, 0);
  setCentralWidget(central);
  BuildCanvasEvents();
  frameTools_ = new TFrameTools(*this, *editor_, *s.Settings, *canvas_, *actions_, after);

  qApp->installEventFilter(this);
  // The editor reads the canvas size at once: lay the window out first.
  ActivateLayouts();
  editor_->FormCreate(setup_.Args);
  setMinimumSize(size());
  MakeAutosave();
  ShowState();
}

void TfrmMain::MakeAutosave() {
  std::string folder = setup_.RecoveryFolder.empty() ? editor::TRecoveryStore::DefaultFolder()
                                                     : setup_.RecoveryFolder;
  recovery_ = std::make_unique<editor::TRecoveryStore>(folder);
  autosaveHost_ = std::make_unique<TAutosaveHost>(
      nullptr, [this] { autosave_->TimerFired(); },
      [this](const QString& text) { status_->showMessage(text, 20000); });
  autosave_ = std::make_unique<editor::TAutosave>(*editor_, *recovery_, *autosaveHost_,
                                                  *services_->Settings);
}

void TfrmMain::OfferRecovery() {
  editor::TRecoveryOffer offer(*editor_, *autosave_, *recovery_);
  if (!offer.Find()) return;
  TRecoveryDialog dialog(this, offer);
  dialog.exec();
  offer.Later();
  ShowState();
}

void TfrmMain::ShowPreferences() {
  TPreferencesDialog dialog(this, autosave_->Seconds());
  if (dialog.exec() == QDialog::Accepted) autosave_->SetSeconds(dialog.AutosaveSeconds());
}

// The widgets go first, while the editor they report to still lives: hiding
// them moves the focus, and a field that loses it tells the editor.
TfrmMain::~TfrmMain() {
  qApp->removeEventFilter(this);
  delete takeCentralWidget();
  delete frameTools_;
  frameTools_ = nullptr;
  canvas_ = nullptr;
  panelView_ = nullptr;
}

void TfrmMain::BuildCanvasEvents() {
  editor::TEditor& e = *editor_;
  connect(canvas_, &TCanvas::stageMoved, this, [this, &e](int x, int y) {
    e.SWF1MouseMove(x, y);
    ShowState();
  });
  connect(canvas_, &TCanvas::stagePressed, this, [this, &e](int x, int y) {
    e.SWF1MouseDown(x, y);
    ShowState();
  });
  connect(canvas_, &TCanvas::released, this, [this, &e] {
    e.SWF1MouseUp();
    ShowState();
  });
  connect(canvas_, &TCanvas::areaMoved, this, [this, &e] {
    e.Panel1MouseMove();
    ShowState();
  });
  connect(canvas_, &TCanvas::areaPressed, this, [this, &e] {
    e.Panel1MouseDown();
    ShowState();
  });
  connect(canvas_, &TCanvas::filesDropped, this,
          [this, &e](const QStringList& files, int x, int y) {
            std::vector<std::string> paths;
            for (const QString& f : files) paths.push_back(f.toStdString());
            e.DropFiles(paths, x, y);
            ShowState();
          });
  // Queued: the count comes from the player's paint.
  connect(
      canvas_->Player(), &player::TPlayerWidget::undrawablePictures, this,
      [this, &e](int count) {
        e.CanvasPicturesUndrawable(count);
        ShowState();
      },
      Qt::QueuedConnection);
  connect(canvas_->Palette(), &TPaletteStrip::kindClicked, this, [this, &e](int kind) {
    if (kind <= 7)
      e.btnNewShapeClick(project::TShapeKind(kind));
    else
      e.btnPictureClick(kind == 8 ? editor::TPictureButton::NewPicture
                                  : editor::TPictureButton::NewButton);
    ShowState();
  });
}

void TfrmMain::ShowState() {
  const editor::TPropertyPanel& panel = editor_->Panel();
  panelView_->Show(panel);
  actions_->Show(panel, editor_->EditMode());
  status_->Show(panel);
  QString caption = QString::fromStdString(panel.Caption);
  canvas_->SetSiteColor(ToRgb(panel.SiteColor));
  canvas_->ShowSelection(editor_->SelectionOutlines());
  Qt::CursorShape cursor =
      panel.Cursor == editor::TCursor::HandPoint ? Qt::PointingHandCursor : Qt::ArrowCursor;
  if (canvas_->Player()->cursor().shape() != cursor) canvas_->Player()->setCursor(cursor);
  QString title = caption.isEmpty() ? "Vellumet" : caption + " - Vellumet";
  if (windowTitle() != title) setWindowTitle(title);
  KeepStageVisible();
  if (frameTools_) frameTools_->Show();
  if (autosave_) autosave_->AfterCommand();
}

// The window is never smaller than the stage with the palette beside it.
void TfrmMain::KeepStageVisible() {
  const project::TMovieSettings& m = editor_->Doc().Settings;
  int chromeW = width() - canvas_->width(), chromeH = height() - canvas_->height();
  QSize least(std::max(kDesignWidth, m.MWidth + canvas_->PaletteWidth() + 4 + chromeW),
              std::max(kDesignHeight, m.MHeight + 4 + chromeH));
  if (minimumSize() != least) setMinimumSize(least);
}

// ---- Life ------------------------------------------------------------------

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  editor_->FormShow();
  ShowState();
  // The command-line project opens once the window is drawn.
  QMetaObject::invokeMethod(
      this,
      [this] {
        editor_->FormActivate();
        ShowState();
        OfferRecovery();
      },
      Qt::QueuedConnection);
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && shown_) {
    editor_->FormActivate();
    ShowState();
  }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!editor_->FormClose()) {
    event->ignore();
    ShowState();
    return;
  }
  closing_ = true;
  autosave_->WindowClosed();
  event->accept();
}

// Every key of the window reaches the editor before the focused control, so
// the menu shortcuts work while the canvas has the keyboard.
bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && !closing_) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this && w == QApplication::focusWidget())
      return KeyDown(watched, static_cast<QKeyEvent*>(event));
    if (w && w == this && !QApplication::focusWidget())
      return KeyDown(watched, static_cast<QKeyEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::KeyDown(QObject* watched, QKeyEvent* key) {
  if (frameTools_ && frameTools_->KeyDown(key->key(), key->modifiers() & ~Qt::KeypadModifier,
                                          watched == canvas_->Player()))
    return true;
  int vk = VirtualKey(key->key());
  Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  if (vk == 0 || FieldKeepsKey(watched, key->key(), mods)) return false;
  // Esc in a field takes back the typing there; the window stays open.
  std::optional<editor::TCtl> field = panelView_->TypingField(watched);
  if (vk == editor::VK_ESCAPE && mods == Qt::NoModifier && field) {
    editor_->FieldEscape(*field);
    ShowState();
    return true;
  }
  editor::TShiftState shift{bool(mods & Qt::ControlModifier), bool(mods & Qt::ShiftModifier),
                            bool(mods & Qt::AltModifier)};
  bool playerFocused = watched == canvas_->Player();
  bool used = editor_->FormKeyDown(vk, shift, playerFocused);
  if (used) ShowState();
  return used;
}

// ---- What the editor asks of the window ------------------------------------

editor::TRect TfrmMain::WorkArea() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  QRect r = s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

editor::TBounds TfrmMain::Bounds() {
  return {x(), y(), width(), height()};
}

void TfrmMain::SetBounds(const editor::TBounds& b) {
  move(b.Left, b.Top);
  QSize size(b.Width, b.Height);
  if (size.width() > maximumWidth() || size.height() > maximumHeight()) return;
  setMinimumSize(minimumSize().boundedTo(size));
  resize(size);
  // The canvas size read next must be the new one.
  ActivateLayouts();
}

void TfrmMain::ActivateLayouts() {
  if (layout()) layout()->activate();
  if (centralWidget() && centralWidget()->layout()) centralWidget()->layout()->activate();
}

int32_t TfrmMain::CanvasWidth() {
  return canvas_->width();
}

int32_t TfrmMain::CanvasHeight() {
  return canvas_->height();
}

int32_t TfrmMain::PaletteWidth() {
  return canvas_->PaletteWidth();
}

int32_t TfrmMain::ScreenPixelsPerInch() {
  QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? int32_t(std::lround(s->logicalDotsPerInch())) : 96;
}

void TfrmMain::Beep() {
  QApplication::beep();
}

void TfrmMain::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TfrmMain::TryOpenDocument(const std::string& path) {
  if (!setup_.OpenDocument)
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  setup_.OpenDocument(path);
  return true;
}

void TfrmMain::ShowAbout() {
  QMessageBox::about(this, "About Vellumet",
                     QString("<b>Vellumet %1</b><br>Animated web banners and slide shows in the "
                             "SWF format.<br><br>Orrindale")
                         .arg(QCoreApplication::applicationVersion()));
}

void TfrmMain::RequestClose() {
  close();
}

}  // namespace gui
