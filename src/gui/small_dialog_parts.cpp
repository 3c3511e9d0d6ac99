#include "gui/small_dialog_parts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QValidator>

#include "editor/small_dialogs.h"

namespace gui {

namespace {

// The editor's key filter on every change of the field's text, so that a
// typed key, a pasted or dropped text and an input-method commit are all
// refused unless they are digits. Keys without a character (cursor keys,
// Home/End, Enter, Esc, Backspace, Delete, Tab) change no text through
// this path and keep their usual meaning.
class TNumberKeyFilter : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (!c.isPrint() || c.unicode() >= 0x80 || !editor::NumberFieldKey(char(c.unicode())))
        return Invalid;
    return Acceptable;
  }
};

}  // namespace

TUpDown::TUpDown(const QString& name, QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(MakeArrow(Qt::UpArrow, name + " up", +1));
  column->addWidget(MakeArrow(Qt::DownArrow, name + " down", -1));
}

QToolButton* TUpDown::MakeArrow(Qt::ArrowType arrow, const QString& name, int delta) {
  auto* button = new QToolButton(this);
  button->setArrowType(arrow);
  button->setAccessibleName(name);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(true);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  connect(button, &QToolButton::clicked, this, [this, delta] {
    if (OnStep) OnStep(delta);
  });
  return button;
}

TNumberField::TNumberField(const QString& name, const QString& editName, const QString& upDownName,
                           QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), upDown_(new TUpDown(name, this)) {
  edit_->setObjectName(editName);
  edit_->setAccessibleName(name);
  edit_->setValidator(new TNumberKeyFilter(edit_));
  edit_->installEventFilter(this);
  upDown_->setObjectName(upDownName);
  setFocusProxy(edit_);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(edit_);
  row->addWidget(upDown_);
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (OnEdited) OnEdited(text.toStdString());
  });
  upDown_->OnStep = [this](int delta) {
    if (OnStep) OnStep(delta);
  };
}

void TNumberField::Unbind() {
  OnEdited = nullptr;
  OnStep = nullptr;
  OnExit = nullptr;
}

void TNumberField::Show(const std::string& text) {
  const QString shown = QString::fromUtf8(text);
  if (edit_->text() != shown) edit_->setText(shown);
}

bool TNumberField::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down) {
      if (OnStep) OnStep(key.key() == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  if (event->type() == QEvent::FocusOut) {
    // Switching windows or opening the field's context menu is no exit.
    Qt::FocusReason reason = static_cast<const QFocusEvent&>(*event).reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && OnExit) OnExit();
  }
  return false;
}

QLabel* MakeInfoLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName("L_Info");
  label->setWordWrap(true);
  label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 40);
  return label;
}

TOkCancel AddOkCancel(QDialog& dialog, QLayout& layout) {
  auto* box = new QDialogButtonBox(&dialog);
  TOkCancel buttons{box->addButton("&OK", QDialogButtonBox::AcceptRole),
                    box->addButton("&Cancel", QDialogButtonBox::RejectRole)};
  buttons.Ok->setObjectName("OK");
  buttons.Ok->setAccessibleName("OK");
  buttons.Ok->setDefault(true);
  buttons.Cancel->setObjectName("Cancel");
  buttons.Cancel->setAccessibleName("Cancel");
  QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(box);
  return buttons;
}

}  // namespace gui
