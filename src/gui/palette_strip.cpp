#include "gui/palette_strip.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "gui/icons.h"

namespace gui {

namespace {

const char* const kHints[TPaletteStrip::KindCount] = {
    "Add new Rectangle", "Add new Rounded Rectangle", "Add new Circle",
    "Add new Ellipse",   "Add new Diamond",           "Add new Star",
    "Add new Text",      "Add new Picture",           "Add new Button"};

}  // namespace

TPaletteStrip::TPaletteStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("Palette");
  setAutoFillBackground(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(2, 4, 2, 4);
  column->setSpacing(2);
  for (int kind = 1; kind <= KindCount; ++kind) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString("palette%1").arg(kind));
    button->setToolTip(kHints[kind - 1]);
    button->setAccessibleName(kHints[kind - 1]);
    button->setIcon(MakeIcon(PaletteIcon(project::TShapeKind(kind))));
    button->setIconSize({24, 24});
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QToolButton::clicked, this, [this, kind] { emit kindClicked(kind); });
    buttons_[size_t(kind - 1)] = button;
    column->addWidget(button);
  }
  column->addStretch(1);
}

}  // namespace gui
