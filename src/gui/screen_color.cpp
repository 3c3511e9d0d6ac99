#include "gui/screen_color.h"

#include "editor/panel.h"

namespace gui {

QColor ScreenColor(project::TColor color, const QPalette& palette) {
  if (color == editor::clBtnFace) return palette.color(QPalette::Button);
  if (color == editor::clWindowText) return palette.color(QPalette::WindowText);
  return QColor(project::Red(color), project::Green(color), project::Blue(color));
}

}  // namespace gui
