#include "gui/preferences_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/autosave.h"

namespace gui {

TPreferencesDialog::TPreferencesDialog(QWidget* parent, int autosaveSeconds) : QDialog(parent) {
  setObjectName("frmPreferences");
  setWindowTitle("Preferences");
  auto* column = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  seconds_ = new QSpinBox;
  seconds_->setObjectName("spinAutosave");
  seconds_->setRange(0, editor::TAutosave::MaxSeconds);
  seconds_->setSuffix(" s");
  seconds_->setSpecialValueText("Off");
  seconds_->setValue(autosaveSeconds);
  seconds_->setAccessibleName("Recovery copy of unsaved work every");
  form->addRow("Recovery copy of unsaved work &every:", seconds_);
  column->addLayout(form);
  auto* hint = new QLabel(
      "If Vellumet ends without saving, the next start offers the copy. 0 turns it off.");
  hint->setWordWrap(true);
  column->addWidget(hint);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

int TPreferencesDialog::AutosaveSeconds() const {
  return seconds_->value();
}

}  // namespace gui
