#include "gui/number_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/small_dialog_parts.h"

namespace gui {

using editor::TNumberDialog;

TfrmNumber::TfrmNumber(QWidget* parent)
    : QDialog(parent),
      info_(MakeInfoLabel(this)),
      number_(new TNumberField("Number of frames", "E_Number", "UD1", this)) {
  setObjectName("frmNumber");
  setWindowTitle(QString::fromUtf8(TNumberDialog().Caption));
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
  number_->OnStep = [this](int delta) { Apply([delta](TNumberDialog& d) { d.Step(delta); }); };
  number_->OnExit = [this] { Apply(&TNumberDialog::NumberExit); };
}

TfrmNumber::~TfrmNumber() {
  number_->Unbind();
}

bool TfrmNumber::Execute(TNumberDialog& d) {
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
  Apply(&TNumberDialog::NumberExit);
  QDialog::accept();
}

void TfrmNumber::Apply(const std::function<void(TNumberDialog&)>& rule) {
  if (!dialog_) return;
  rule(*dialog_);
  Show();
}

void TfrmNumber::Show() {
  setWindowTitle(QString::fromUtf8(dialog_->Caption));
  info_->setText(QString::fromUtf8(dialog_->Info));
  info_->setAccessibleName(info_->text());
  number_->Show(dialog_->Number);
}

}  // namespace gui
