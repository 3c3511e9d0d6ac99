#pragma once
// The object palette: a vertical strip of nine buttons at the left edge of
// the canvas, one per object kind, in the order of the kinds' codes.
#include <QWidget>
#include <array>

class QToolButton;

namespace gui {

class TPaletteStrip : public QWidget {
  Q_OBJECT

 public:
  static constexpr int KindCount = 9;
  explicit TPaletteStrip(QWidget* parent = nullptr);
  QToolButton* Button(int kind) const { return buttons_[size_t(kind - 1)]; }

 signals:
  // kind: 1..9, the project's TShapeKind code.
  void kindClicked(int kind);

 private:
  std::array<QToolButton*, KindCount> buttons_{};
};

}  // namespace gui
