#include "gui/limits_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/small_dialog_parts.h"

namespace gui {

using editor::TLimitsDialog;

TfrmLimits::TfrmLimits(QWidget* parent)
    : QDialog(parent),
      info_(MakeInfoLabel(this)),
      from_(new TNumberField("from:", "E_From", "UpDown1", this)),
      to_(new TNumberField("to:", "E_To", "UpDown2", this)) {
  setObjectName("frmLimits");
  auto* column = new QVBoxLayout(this);
  column->addWidget(info_);
  auto* fields = new QFormLayout;
  fields->addRow("from:", from_);
  fields->addRow("to:", to_);
  column->addLayout(fields);
  TOkCancel buttons = AddOkCancel(*this, *column);
  setTabOrder(from_->Edit(), to_->Edit());
  setTabOrder(to_->Edit(), buttons.Ok);
  setTabOrder(buttons.Ok, buttons.Cancel);
  column->setSizeConstraint(QLayout::SetFixedSize);

  Bind(*from_, &TLimitsDialog::From, &TLimitsDialog::StepFrom, &TLimitsDialog::FromExit);
  Bind(*to_, &TLimitsDialog::To, &TLimitsDialog::StepTo, &TLimitsDialog::ToExit);
}

TfrmLimits::~TfrmLimits() {
  from_->Unbind();
  to_->Unbind();
}

void TfrmLimits::Bind(TNumberField& field, std::string TLimitsDialog::*text,
                      void (TLimitsDialog::*step)(int), void (TLimitsDialog::*exit)()) {
  field.OnEdited = [this, text](const std::string& typed) {
    if (dialog_) dialog_->*text = typed;
  };
  field.OnStep = [this, step](int delta) {
    Apply([step, delta](TLimitsDialog& d) { (d.*step)(delta); });
  };
  field.OnExit = [this, exit] { Apply([exit](TLimitsDialog& d) { (d.*exit)(); }); };
}

void TfrmLimits::Apply(const std::function<void(TLimitsDialog&)>& rule) {
  if (!dialog_) return;
  rule(*dialog_);
  Show();
}

bool TfrmLimits::Execute(TLimitsDialog& d) {
  dialog_ = &d;
  Show();
  from_->Edit()->selectAll();
  from_->Edit()->setFocus();
  bool ok = exec() == Accepted;
  dialog_ = nullptr;
  return ok;
}

// Enter takes OK without leaving the field, so the exit rules run here too.
void TfrmLimits::accept() {
  Apply([](TLimitsDialog& d) {
    d.FromExit();
    d.ToExit();
  });
  QDialog::accept();
}

void TfrmLimits::Show() {
  setWindowTitle(QString::fromUtf8(dialog_->Caption));
  info_->setText(QString::fromUtf8(dialog_->Info));
  info_->setAccessibleName(info_->text());
  from_->Show(dialog_->From);
  to_->Show(dialog_->To);
}

}  // namespace gui
