#pragma once
// The small widgets of the property panel: a numeric field with arrows that
// leaves its limits to the editor, a colour button, the read-only file name
// field and the digits-only key filter. They hold no model values: the panel
// binding sets what they show and forwards what the user does.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QObject>
#include <QToolButton>
#include <functional>

namespace gui {

// A numeric field whose text may hold any integer, "-" or nothing while the
// user types (the editor decides what is applied and clamps); the arrows
// ask for a step instead of changing the text themselves.
class TSpinEdit : public QAbstractSpinBox {
  Q_OBJECT
  // What assistive technology reads as the field's value and range.
  Q_PROPERTY(int value READ Value)
  Q_PROPERTY(int minimum READ Minimum)
  Q_PROPERTY(int maximum READ Maximum)

 public:
  explicit TSpinEdit(QWidget* parent = nullptr);
  void SetShownText(const QString& text);
  QString Text() const { return lineEdit()->text(); }
  void SetLimits(int min, int max);
  // The shown number; the minimum while the text is no number ("" or "-").
  int Value() const;
  int Minimum() const { return min_; }
  int Maximum() const { return max_; }

  QValidator::State validate(QString& input, int& pos) const override;
  void stepBy(int steps) override;

 signals:
  void textEdited(const QString& text);
  void stepRequested(int steps);
  void editingLeft();

 protected:
  StepEnabled stepEnabled() const override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int min_ = 0, max_ = 0;
};

// A flat button filled with a colour (0xRRGGBB), or the window face colour
// when `face` is set. Assistive technology reads the colour as the button's
// description ("#RRGGBB", or "none").
class TColorButton : public QToolButton {
  Q_OBJECT

 public:
  explicit TColorButton(QWidget* parent = nullptr);
  void SetColor(QRgb rgb, bool face);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRgb rgb_ = 0;
  bool face_ = true;
};

// A read-only file name field: left-aligned while the text fits, right-
// aligned when it does not, so that the file name at the end stays visible.
class TNameField : public QLineEdit {
  Q_OBJECT

 public:
  explicit TNameField(QWidget* parent = nullptr);
  void SetName(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Align();
};

// Drops every key a field refuses (the filter returns 0 for it) and keeps
// pasted text to digits; editing and moving keys stay.
class TKeyFilter : public QObject {
 public:
  TKeyFilter(QObject* parent, std::function<char(char)> filter);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<char(char)> filter_;
};

}  // namespace gui
