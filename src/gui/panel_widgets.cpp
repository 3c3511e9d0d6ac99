#include "gui/panel_widgets.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace gui {

// ---- TSpinEdit -------------------------------------------------------------

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setButtonSymbols(UpDownArrows);
  setKeyboardTracking(true);
  setAccelerated(true);
  connect(lineEdit(), &QLineEdit::textEdited, this, &TSpinEdit::textEdited);
}

void TSpinEdit::SetShownText(const QString& text) {
  if (lineEdit()->text() == text) return;
  int cursor = lineEdit()->cursorPosition();
  lineEdit()->setText(text);
  if (hasFocus()) lineEdit()->setCursorPosition(std::min<int>(cursor, text.size()));
}

void TSpinEdit::SetLimits(int min, int max) {
  if (min_ == min && max_ == max) return;
  min_ = min;
  max_ = max;
  update();
}

int TSpinEdit::Value() const {
  bool ok = false;
  const int value = lineEdit()->text().toInt(&ok);
  return ok ? value : min_;
}

QValidator::State TSpinEdit::validate(QString& input, int&) const {
  static const QRegularExpression number("^-?[0-9]*$");
  if (!number.match(input).hasMatch()) return QValidator::Invalid;
  return input.isEmpty() || input == "-" ? QValidator::Intermediate : QValidator::Acceptable;
}

void TSpinEdit::stepBy(int steps) {
  emit stepRequested(steps);
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
  bool ok = false;
  int value = lineEdit()->text().toInt(&ok);
  if (!ok) return StepUpEnabled | StepDownEnabled;
  StepEnabled e = StepNone;
  if (value < max_) e |= StepUpEnabled;
  if (value > min_) e |= StepDownEnabled;
  return e;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractSpinBox::focusOutEvent(event);
  emit editingLeft();
}

// ---- TColorButton ----------------------------------------------------------

TColorButton::TColorButton(QWidget* parent) : QToolButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleDescription("none");
  setCursor(Qt::PointingHandCursor);
}

void TColorButton::SetColor(QRgb rgb, bool face) {
  if (rgb_ == rgb && face_ == face) return;
  rgb_ = rgb;
  face_ = face;
  setAccessibleDescription(face ? QString("none") : QColor(rgb).name().toUpper());
  update();
}

QSize TColorButton::sizeHint() const {
  return {48, 20};
}

void TColorButton::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionToolButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  p.drawComplexControl(QStyle::CC_ToolButton, option);
  if (face_) return;
  QRect swatch = rect().adjusted(4, 4, -4, -4);
  p.setPen(QColor(0, 0, 0, isEnabled() ? 140 : 60));
  p.setBrush(QColor(rgb_));
  p.drawRect(swatch.adjusted(0, 0, -1, -1));
}

// ---- TNameField ------------------------------------------------------------

TNameField::TNameField(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setFocusPolicy(Qt::TabFocus);
}

void TNameField::SetName(const QString& text) {
  if (this->text() == text) return;
  setText(text);
  Align();
}

void TNameField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  Align();
}

void TNameField::Align() {
  int room = contentsRect().width() - 8;
  bool fits = fontMetrics().horizontalAdvance(text()) <= room;
  Qt::Alignment align = fits ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter;
  if (alignment() != align) setAlignment(align);
  setCursorPosition(fits ? 0 : int(text().size()));
}

// ---- TKeyFilter ------------------------------------------------------------

TKeyFilter::TKeyFilter(QObject* parent, std::function<char(char)> filter)
    : QObject(parent), filter_(std::move(filter)) {}

bool TKeyFilter::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  QString text = key->text();
  if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) return false;
  char16_t c = text[0].unicode();
  return c > 0x7F || filter_(char(c)) == 0;
}

}  // namespace gui
