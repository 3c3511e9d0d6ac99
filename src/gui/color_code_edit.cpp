#include "gui/color_code_edit.h"

#include <QKeyEvent>
#include <optional>

#include "editor/color_dialog.h"

namespace gui {

namespace {

// The character a key types, as a Windows edit control would receive it
// (Ctrl+letter as a control character); nullopt for keys that type nothing.
std::optional<char> TypedChar(const QKeyEvent& event) {
  if (event.matches(QKeySequence::Copy)) return char(0x03);
  if (event.matches(QKeySequence::Paste)) return char(0x16);
  if (event.key() == Qt::Key_Backspace) return '\b';
  const int key = event.key();
  if ((event.modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
    return char(key - Qt::Key_A + 1);
  const QString text = event.text();
  if (text.size() != 1) return std::nullopt;
  const char16_t c = text.front().unicode();
  if (c < 0x20 || c == 0x7F) return std::nullopt;  // Enter, Tab, Esc, Delete
  return c < 0x80 ? char(c) : char(0);
}

}  // namespace

TColorCodeEdit::TColorCodeEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(7);
}

void TColorCodeEdit::keyPressEvent(QKeyEvent* event) {
  const std::optional<char> typed = TypedChar(*event);
  if (!typed) return QLineEdit::keyPressEvent(event);
  const char key = editor::TColorDialog::CodeKey(*typed);
  if (key == 0) return event->accept();
  if (key == *typed) return QLineEdit::keyPressEvent(event);
  QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(QChar(key)));
  QLineEdit::keyPressEvent(&changed);
}

void TColorCodeEdit::focusInEvent(QFocusEvent* event) {
  emit focusEntered();
  QLineEdit::focusInEvent(event);
}

void TColorCodeEdit::focusOutEvent(QFocusEvent* event) {
  emit focusLeft();
  QLineEdit::focusOutEvent(event);
}

}  // namespace gui
