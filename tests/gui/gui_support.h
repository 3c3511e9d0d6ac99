#pragma once
// Helpers for tests that drive the real widgets offscreen: the test
// program's QApplication, a temporary settings file, and a script that acts
// on the modal windows (dialogs, message boxes) a call under test opens.
//
//   auto script = vtest::OnNextModal([](QWidget* box) { ... click OK ... });
//   EXPECT_TRUE(prompts.NumberDialog(d));  // the action runs inside exec()
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

namespace vtest {

// The QApplication of the test program, made on first use: offscreen unless
// QT_QPA_PLATFORM names another platform, and with Qt's own settings (the
// file dialog's state) in a temporary folder instead of the user's.
inline QApplication& GuiApp() {
  static QTemporaryDir config;
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // Recovery copies too: a window never offers the user's own.
    qputenv("XDG_STATE_HOME", (config.path() + "/state").toLocal8Bit());
    static int argc = 1;
    static char name[] = "vellumet_gui_test";
    static char* argv[] = {name, nullptr};
    // Never deleted: widgets of static lifetime may outlive main().
    return new QApplication(argc, argv);
  }();
  return *app;
}

// A settings file in a fresh folder, removed with the object.
class TTempSettingsFile {
 public:
  QString Path() const { return dir_.filePath("Vellumet.ini"); }

 private:
  QTemporaryDir dir_;
};

using TModalAction = std::function<void(QWidget* modal)>;

// Runs one action on each modal window that opens while the script lives,
// in order (progress dialogs aside); the window the action gets is the one that just appeared (a
// window already open when the script starts is skipped, so a script made
// inside an action waits for the next one). Actions run from the modal
// window's event loop, so an action may itself open a nested modal.
// The script never lets a test hang: when no window appears within the
// timeout, or one stays open that long, the test fails and the open modal
// windows are closed. Actions left over when the script ends fail the test.
class TModalScript {
 public:
  explicit TModalScript(std::vector<TModalAction> actions, int timeoutMs = 5000)
      : actions_(std::move(actions)), timeoutMs_(timeoutMs), seen_(VisibleModal()) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(10);
    quiet_.start();
  }
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;
  ~TModalScript() {
    if (next_ < actions_.size())
      ADD_FAILURE() << actions_.size() - next_ << " modal window action(s) never ran";
  }

  bool Finished() const { return next_ == actions_.size(); }

  // A progress dialog asks nothing: it shows up only when work takes long
  // (a loaded machine), so the script looks through it.
  static QWidget* VisibleModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<QProgressDialog*>(modal)) return nullptr;
    return modal && modal->isVisible() ? modal : nullptr;
  }

 private:
  void Tick() {
    QWidget* modal = VisibleModal();
    if (modal != seen_) {
      seen_ = modal;
      quiet_.restart();
      if (modal && next_ < actions_.size()) Dispatch(modal);
      return;
    }
    if (quiet_.elapsed() < timeoutMs_) return;
    if (modal) {
      ADD_FAILURE() << "The modal window \"" << modal->windowTitle().toStdString()
                    << "\" stayed open";
      CloseModals();
    } else if (next_ < actions_.size()) {
      ADD_FAILURE() << "No modal window appeared for action " << next_ + 1;
      next_ = actions_.size();
    }
    quiet_.restart();
  }

  // Queued, so that a nested modal opened by the action does not block the
  // timer that watches it.
  void Dispatch(QWidget* modal) {
    size_t index = next_++;
    QMetaObject::invokeMethod(
        &timer_,
        [this, index, window = QPointer<QWidget>(modal)] {
          if (!window) {
            ADD_FAILURE() << "Modal window of action " << index + 1 << " went away";
            return;
          }
          actions_[index](window);
          // A window that closed may open again at once (a reused dialog).
          if (!window || !window->isVisible()) seen_ = nullptr;
          quiet_.restart();
        },
        Qt::QueuedConnection);
  }

  static void CloseModals() {
    for (int i = 0; i < 10; ++i) {
      QWidget* modal = VisibleModal();
      if (!modal) return;
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
    }
  }

  std::vector<TModalAction> actions_;
  size_t next_ = 0;
  int timeoutMs_;
  QPointer<QWidget> seen_;  // the visible modal window at the last look
  QElapsedTimer quiet_;     // since the modal window last changed
  QTimer timer_;
};

// Types `path` into the file dialog that is up and takes it, as a user does.
inline void ChooseFileIn(QWidget* modal, const QString& path) {
  auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr) << "no file dialog";
  name->selectAll();
  QTest::keyClicks(name, path);
  QTest::keyClick(name, Qt::Key_Return);
}

// A script of one action: runs `act` on the next modal window.
[[nodiscard]] inline TModalScript OnNextModal(TModalAction act, int timeoutMs = 5000) {
  return TModalScript({std::move(act)}, timeoutMs);
}

}  // namespace vtest
