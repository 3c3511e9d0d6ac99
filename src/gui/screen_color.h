#pragma once
// Model colours on screen. The system colours of the window (clBtnFace,
// clWindowText) are not fixed values: they are whatever the widget's palette
// uses for buttons and for text.
#include <QColor>
#include <QPalette>

#include "project/model.h"

namespace gui {

QColor ScreenColor(project::TColor color, const QPalette& palette);

}  // namespace gui
