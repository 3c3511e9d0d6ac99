#pragma once
// The QApplication of a widget test program: made once, offscreen unless the
// environment names another platform, and never given the user's settings.
#include <QApplication>
#include <QColor>
#include <QStandardPaths>
#include <QWidget>
#include <ostream>

namespace vtest {

inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "vellumet_gui_test";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);  // settings go to a test folder
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The colour the widget paints at `pos` (its centre when none is given).
inline QColor PaintedColor(QWidget* widget, QPoint pos = QPoint(-1, -1)) {
  if (pos == QPoint(-1, -1)) pos = widget->rect().center();
  return widget->grab().toImage().pixelColor(pos);
}

}  // namespace vtest

// Readable failures: GoogleTest finds these beside the Qt types.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QColor& color, std::ostream* os) {
  *os << color.name().toStdString();
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
  *os << '(' << p.x() << ", " << p.y() << ')';
}
inline void PrintTo(const QSize& s, std::ostream* os) {
  *os << s.width() << " x " << s.height();
}
