#include "gui/number_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/small_dialog_parts.h"

namespace gui {

TfrmNumber::TfrmNumber(QWidget* parent)
    : QDialog(parent),
      info_(new QLabel(this)),
      number_(new TNumberField("Number of frames", "E_Number", "UD1", this)) {
  setObjectName("frmNumber");
  setWindowTitle(QString::fromUtf8(editor::TNumberDialog().Caption));
  info_->setObjectName("L_Info");
  info_->setWordWrap(true);
  info_->setBuddy(number_->Edit());
  auto* column = new QVBoxLayout(this);
  column->addWidget(info_);
  column->addWidget(number_);
  TOkCancel buttons = AddOkCancel(*this, *column);
  setTabOrder(number_->Edit(), buttons.Ok);
  setTabOrder(buttons.Ok, buttons.Cancel);
  column->setSizeConstraint(QLayout::SetFixedSize);

  number_->OnEdited = [this](const std::string& text) {
    if (dialog_) dialog_->Number = text;
  };
  number_->OnStep = [this](int delta) {
    if (!dialog_) return;
    dialog_->Step(delta);
    Show();
  };
  number_->OnExit = [this] {
    if (!dialog_) return;
    dialog_->NumberExit();
    Show();
  };
}

TfrmNumber::~TfrmNumber() {
  number_->Unbind();
}

bool TfrmNumber::Execute(editor::TNumberDialog& d) {
  dialog_ = &d;
  Show();
  number_->Edit()->selectAll();
  number_->Edit()->setFocus();
  bool ok = exec() == Accepted;
  dialog_ = nullptr;
  return ok;
}

// Enter takes OK without leaving the field, so the exit rule runs here too.
void TfrmNumber::accept() {
  if (dialog_) {
    dialog_->NumberExit();
    Show();
  }
  QDialog::accept();
}

void TfrmNumber::Show() {
  setWindowTitle(QString::fromUtf8(dialog_->Caption));
  info_->setText(QString::fromUtf8(dialog_->Info));
  info_->setAccessibleName(info_->text());
  number_->Show(dialog_->Number);
}

}  // namespace gui
