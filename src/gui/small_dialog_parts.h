#pragma once
// The parts the number dialog and the frame range dialog share: a number
// field with its up-down arrows, and the OK/Cancel row.
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

class QDialog;
class QLabel;
class QLayout;
class QPushButton;
class QToolButton;

namespace gui {

// Two stacked arrows that step a number field. They never take the focus,
// so the field keeps it while the arrows are clicked.
class TUpDown : public QWidget {
 public:
  TUpDown(const QString& name, QWidget* parent);
  std::function<void(int delta)> OnStep;

 private:
  QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, int delta);
};

// A line edit for a frame number with its arrows. Typed and pasted texts
// go through the editor's key filter; Up and Down step like the arrows.
// The field reports edits, steps and the moment it loses the focus; the
// dialog answers with Show(its value's text).
class TNumberField : public QWidget {
 public:
  // `name` is the field's caption, its accessible name; the line edit and
  // the arrows get the object names `editName` and `upDownName`.
  TNumberField(const QString& name, const QString& editName, const QString& upDownName,
               QWidget* parent);

  void Show(const std::string& text);
  QLineEdit* Edit() const { return edit_; }
  // Drops the three reports; a dialog calls it when it is destroyed, before
  // the field's own destruction moves the focus out of it.
  void Unbind();

  std::function<void(const std::string& text)> OnEdited;
  std::function<void(int delta)> OnStep;
  std::function<void()> OnExit;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edit_;
  TUpDown* upDown_;
};

// L_Info: the caller's question or explanation above the fields, wide
// enough for the editor's texts to wrap at most once.
QLabel* MakeInfoLabel(QWidget* parent);

struct TOkCancel {
  QPushButton* Ok;
  QPushButton* Cancel;
};

// "&OK" (the default button, taken by Enter) and "&Cancel" (also Esc),
// added as a row to the dialog's layout.
TOkCancel AddOkCancel(QDialog& dialog, QLayout& layout);

}  // namespace gui
