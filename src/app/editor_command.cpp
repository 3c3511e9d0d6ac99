// `vellumet [PROJECT]`: the editor window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/commands.h"
#include "gui/main_window.h"

namespace app {

namespace {

// Qt aborts when it finds no display; a user who started the program over
// ssh or in a container should learn why, and what works without one.
bool DisplayAvailable() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Errors no command caught end up here: the editor's handler beeps and keeps
// the window usable, as every command's own handler does.
class TEditorApplication : public QApplication {
 public:
  using QApplication::QApplication;
  gui::TfrmMain* Main = nullptr;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      if (Main) Main->Editor().HandleError(e.what());
    } catch (...) {
      if (Main) Main->Editor().HandleError();
    }
    return false;
  }
};

}  // namespace

int RunEditor(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "vellumet: no display to open the editor on; without one, use "
                 "'vellumet export', 'vellumet render' or 'vellumet dump' (vellumet --help)\n");
    return 1;
  }
  TEditorApplication qt(argc, argv);
  QApplication::setOrganizationName("Orrindale");
  QApplication::setApplicationName("Vellumet");
  QApplication::setApplicationVersion(VELLUMET_VERSION);
  gui::TMainWindowSetup setup;
  if (argc >= 2) setup.Args.push_back(argv[1]);
  gui::TfrmMain window(std::move(setup));
  qt.Main = &window;
  window.show();
  int status = QApplication::exec();
  qt.Main = nullptr;
  return status;
}

}  // namespace app
