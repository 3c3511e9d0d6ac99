#pragma once
// Painted colours and readable Qt values for the widget tests (the
// application itself comes from gui_support.h).
#include "gui/gui_support.h"

#include <QApplication>
#include <QColor>
#include <QStandardPaths>
#include <QWidget>
#include <ostream>

namespace vtest {

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
