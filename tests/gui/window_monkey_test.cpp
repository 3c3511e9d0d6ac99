// Random input to the real window, offscreen: clicks and drags on the
// canvas, the palette, the tool bar's and menus' commands, typing into the
// panel's fields, its check boxes, lists and buttons, random keys, and every
// dialog that opens answered at random. A fixed number of steps from a seed;
// afterwards the document must be valid, undo and redo must take every step
// back and forth, the builds must succeed or refuse with a message, and
// saving must round-trip. The seed is printed first, to replay a failure
// (dialogs are answered on a timer, so how long a step takes can change the
// answers drawn after it: a replay usually, not always, takes the same path):
//
//   VELLUMET_MONKEY_SEED=N VELLUMET_MONKEY_STEPS=20000 build/test/tests/window_monkey_test
//
// The exports are left out: they have their own tests, and a random answer
// would write into the user's folders.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "editor_script/session.h"
#include "gui/canvas.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/palette_strip.h"
#include "gui/property_panel.h"
#include "gui/qt_services.h"
#include "player/player_widget.h"

namespace {

const char* const kActions[] = {"actNew",
                                "actOpen",
                                "actSave",
                                "actSaveAs",
                                "actClose",
                                "actExit",
                                "actUndo",
                                "actRedo",
                                "actCopyFrame",
                                "actPasteFrame",
                                "actCopyObject",
                                "actPasteObject",
                                "actDeleteObject",
                                "actLockFrames",
                                "actMode",
                                "actFirst",
                                "actPrev",
                                "actNext",
                                "actLast",
                                "actInsertFrame",
                                "actRemoveFrame",
                                "actReverse",
                                "actInsertBefore",
                                "actInsertAfterCurrent",
                                "actInsertAfterLast",
                                "actDecrease",
                                "actPreview",
                                "actAbout",
                                "actContents",
                                "actShowTips"};
const char* const kTexts[] = {
    "",    "0",     "1",   "-1",         "7",    "42",  "255",   "999",
    "-50", "60000", "abc", "2147483647", " 12 ", "1e3", "Hello", "http://example.com/"};
constexpr int kKeys[] = {Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,     Qt::Key_Down,
                         Qt::Key_Delete, Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_Return,
                         Qt::Key_Home,   Qt::Key_End,    Qt::Key_PageUp, Qt::Key_Backspace,
                         Qt::Key_Z,      Qt::Key_Y,      Qt::Key_C,      Qt::Key_V,
                         Qt::Key_S,      Qt::Key_F1,     Qt::Key_5,      Qt::Key_Minus};

// What each kind of step does, by its number in Step().
const char* const kKinds[] = {"canvas drag",   "palette", "command",    "typing",
                              "panel control", "key",     "panel page", "list"};

uint32_t EnvNumber(const char* name, uint32_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? uint32_t(std::strtoul(v, nullptr, 10)) : fallback;
}

class TMonkey {
 public:
  TMonkey(uint32_t seed, const QString& home) : rng_(seed), home_(home) {
    files_ = {home + "/monkey-0.sw0",
              home + "/monkey-1.sw0",
              home + "/banner.sw0",
              VELLUMET_TEST_DATA_DIR "/bmp-24bit.bmp",
              VELLUMET_SAMPLES_DIR "/media/photo.jpg",
              VELLUMET_SAMPLES_DIR "/media/click.wav",
              VELLUMET_TEST_DATA_DIR "/mono-64k-44k.mp3",
              VELLUMET_TEST_DATA_DIR "/README.md"};
    std::filesystem::copy_file(VELLUMET_SAMPLES_DIR "/banner.sw0",
                               (home + "/banner.sw0").toStdString());
    QObject::connect(&answerer_, &QTimer::timeout, [this] { WatchModal(); });
    answerer_.start(5);
    Reopen();
  }

  gui::TfrmMain& Window() { return *window_; }

  // One random user action.
  void Step() {
    if (!window_->isVisible()) Reopen();
    stepClock_.start();
    const int kind = Pick(8);
    doing_ = kKinds[kind];
    switch (kind) {
      case 0:
        CanvasDrag();
        break;
      case 1:
        window_->Canvas()->Palette()->Button(1 + Pick(9))->click();
        break;
      case 2:
        TriggerAction();
        break;
      case 3:
        TypeIntoField();
        break;
      case 4:
        ClickPanelControl();
        break;
      case 5:
        PressKey();
        break;
      case 6:
        window_->PanelView()->setCurrentIndex(Pick(3));
        break;
      default:
        ChooseInList();
        break;
    }
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    if (stepClock_.elapsed() > 10000)  // slow, not stuck: worth knowing on a long run
      std::printf("monkey: a step (%s) took %lld ms\n", doing_, stepClock_.elapsed());
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  template <class T, size_t N>
  const T& PickOf(const T (&list)[N]) {
    return list[size_t(Pick(int(N)))];
  }

  void Reopen() {
    window_.reset();
    gui::TMainWindowSetup setup;
    setup.Settings = std::make_unique<gui::TQtSettingsStore>(home_ + "/settings.ini");
    setup.OpenDocument = [](const std::string&) {};
    window_ = std::make_unique<gui::TfrmMain>(std::move(setup));
    window_->show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }

  QPoint CanvasPoint(QWidget* w) {
    return {Pick(w->width() + 40) - 20, Pick(w->height() + 40) - 20};
  }

  void CanvasDrag() {
    QPointer<QWidget> player = window_->Canvas()->Player();
    QPoint at = CanvasPoint(player);
    Mouse(player, QEvent::MouseMove, at, Qt::NoButton);
    Mouse(player, QEvent::MouseButtonPress, at, Qt::LeftButton);
    for (int i = Pick(4); i > 0 && player; --i)
      Mouse(player, QEvent::MouseMove, CanvasPoint(player), Qt::LeftButton);
    if (player) Mouse(player, QEvent::MouseButtonRelease, CanvasPoint(player), Qt::NoButton);
  }

  void TriggerAction() {
    doing_ = PickOf(kActions);
    QAction* action = window_->Actions()->Action(doing_);
    if (action && action->isEnabled()) action->trigger();
  }

  template <class W>
  std::vector<W*> Visible() {
    std::vector<W*> found;
    for (W* w : window_->PanelView()->currentWidget()->findChildren<W*>())
      if (w->isVisible() && w->isEnabled()) found.push_back(w);
    return found;
  }

  void TypeIntoField() {
    std::vector<QLineEdit*> edits = Visible<QLineEdit>();
    if (edits.empty()) return;
    QPointer<QLineEdit> edit = edits[size_t(Pick(int(edits.size())))];
    edit->setFocus();
    if (Pick(2)) edit->selectAll();
    QTest::keyClicks(edit, PickOf(kTexts));
    if (edit && Pick(3) == 0) QTest::keyClick(edit, Qt::Key_Tab);
  }

  void ClickPanelControl() {
    std::vector<QAbstractButton*> buttons = Visible<QAbstractButton>();
    if (!buttons.empty()) buttons[size_t(Pick(int(buttons.size())))]->click();
  }

  void ChooseInList() {
    std::vector<QComboBox*> lists = Visible<QComboBox>();
    if (lists.empty()) return;
    QComboBox* list = lists[size_t(Pick(int(lists.size())))];
    list->setFocus();
    QTest::keyClick(list, Pick(2) ? Qt::Key_Down : Qt::Key_Up);
  }

  void PressKey() {
    QWidget* target = QApplication::focusWidget();
    if (!target || Pick(2)) {
      window_->activateWindow();
      target = window_->Canvas()->Player();
      target->setFocus();
    }
    Qt::KeyboardModifiers mods;
    if (Pick(3) == 0) mods |= Qt::ControlModifier;
    if (Pick(4) == 0) mods |= Qt::ShiftModifier;
    QTest::keyClick(target, Qt::Key(PickOf(kKeys)), mods);
  }

  // ---- The modal windows ----------------------------------------------------

  // The answer is queued, never given from the timer's own slot: Qt does not
  // re-enter a timer's slot, so an answer that opens a nested modal (the file
  // dialog's "replace?" box) would wait there for an answer that never comes.
  void WatchModal() {
    // A step stuck for three minutes will not return to the test: end the run
    // here, so it fails with the seed printed above instead of waiting for
    // ctest. (A step on a long movie may take a minute under the sanitizers.)
    if (stepClock_.isValid() && stepClock_.elapsed() > 180000) {
      QWidget* modal = QApplication::activeModalWidget();
      std::fprintf(stderr, "a step (%s) ran for 3 minutes, modal window: %s \"%s\"\n", doing_,
                   modal ? modal->metaObject()->className() : "none",
                   modal ? qPrintable(modal->windowTitle()) : "");
      std::abort();
    }
    QWidget* modal = vtest::TModalScript::VisibleModal();
    if (!modal) return;
    if (modal != modal_) {
      modal_ = modal;
      modalTicks_ = 0;
    }
    if (++modalTicks_ % 4) return;  // let it settle and paint between answers
    QMetaObject::invokeMethod(
        &answerer_,
        [this, window = QPointer<QWidget>(modal)] {
          if (window && window == vtest::TModalScript::VisibleModal()) AnswerModal(window);
        },
        Qt::QueuedConnection);
  }

  void AnswerModal(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) return ClickAny(box->buttons());
    if (auto* files = qobject_cast<QFileDialog*>(modal)) return AnswerFileDialog(files);
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (modalTicks_ > 40 || !dialog) {
      dialog ? dialog->reject() : void(modal->close());
      return;
    }
    switch (Pick(4)) {
      case 0: {
        std::vector<QLineEdit*> edits;
        for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
          if (e->isVisible() && e->isEnabled()) edits.push_back(e);
        if (edits.empty()) break;
        QLineEdit* e = edits[size_t(Pick(int(edits.size())))];
        e->selectAll();
        QTest::keyClicks(e, PickOf(kTexts));
        break;
      }
      case 1:
        dialog->accept();
        break;
      case 2:
        dialog->reject();
        break;
      default: {
        std::vector<QAbstractButton*> buttons;
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
          if (b->isVisible() && b->isEnabled()) buttons.push_back(b);
        ClickAny(QList<QAbstractButton*>(buttons.begin(), buttons.end()));
      }
    }
  }

  void ClickAny(const QList<QAbstractButton*>& buttons) {
    if (!buttons.isEmpty()) buttons[Pick(int(buttons.size()))]->click();
  }

  // Cancelled, or a file of the temporary folder or of the fixtures chosen.
  void AnswerFileDialog(QFileDialog* dialog) {
    if (Pick(3) == 0) return dialog->reject();
    QString path = files_[size_t(Pick(dialog->acceptMode() == QFileDialog::AcceptSave ? 2 : 8))];
    vtest::ChooseFileIn(dialog, path);
    if (dialog->isVisible()) dialog->reject();
  }

  std::mt19937 rng_;
  QString home_;
  std::vector<QString> files_;
  std::unique_ptr<gui::TfrmMain> window_;
  QTimer answerer_;
  QPointer<QWidget> modal_;
  int modalTicks_ = 0;
  QElapsedTimer stepClock_;
  const char* doing_ = "";  // the running step, for a hang's report
};

TEST(WindowMonkey, RandomInputKeepsTheWindowAndTheDocumentSound) {
  vtest::GuiApp();
  const uint32_t seed = EnvNumber("VELLUMET_MONKEY_SEED", std::random_device()());
  const uint32_t steps = EnvNumber("VELLUMET_MONKEY_STEPS", 300);
  std::printf(
      "monkey seed %u, %u steps (replay: VELLUMET_MONKEY_SEED=%u VELLUMET_MONKEY_STEPS=%u)\n", seed,
      steps, seed, steps);
  std::fflush(stdout);
  QTemporaryDir home;
  TMonkey monkey(seed, home.path());
  for (uint32_t i = 1; i <= steps; ++i) {
    monkey.Step();
    if (i % 1000 != 0) continue;
    std::printf("monkey: %u steps\n", i);  // where a long run stands
    std::fflush(stdout);
  }
  editor::TEditor& editor = monkey.Window().Editor();
  for (auto check : {vscript::InvalidDocument(editor), vscript::UndoAllAndBackFails(editor),
                     vscript::BuildsFail(editor.Doc()),
                     vscript::SaveOpenDiffers(editor.Doc(), home.path().toStdString())})
    EXPECT_FALSE(check) << *check << " (seed " << seed << ")";
}

}  // namespace
