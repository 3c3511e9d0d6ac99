#pragma once
// The colour code field ("#RRGGBB"). Typed characters pass the colour
// dialog's key filter (lower-case hexadecimal digits arrive in upper case,
// everything else it refuses is dropped); keys that type nothing (arrows,
// Delete, Enter, Esc, Tab) act as usual. It reports when it gains and loses
// the keyboard focus.
#include <QLineEdit>

namespace gui {

class TColorCodeEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TColorCodeEdit(QWidget* parent = nullptr);

 signals:
  void focusEntered();
  void focusLeft();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace gui
