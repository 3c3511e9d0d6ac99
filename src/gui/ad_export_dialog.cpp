#include "gui/ad_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace gui {

namespace {

// A build takes a moment: wait for the user to stop changing the options.
constexpr int kRebuildDelayMs = 150;

}  // namespace

TAdExportDialog::TAdExportDialog(QWidget* parent, int frameCount, TAdPackageBuilder build)
    : QDialog(parent), build_(std::move(build)) {
  setWindowTitle("Export HTML5 Banner");
  profile_ = new QComboBox;
  profile_->setObjectName("Profile");
  for (const std::string& name : exporters::AdProfileNames())
    profile_->addItem(QString::fromStdString(name));
  profile_->setCurrentText(exporters::kDefaultAdProfile);
  loops_ = new QSpinBox;
  loops_->setObjectName("Loops");
  loops_->setRange(0, 99);
  loops_->setSpecialValueText("As the project and profile allow");
  backupFrame_ = new QSpinBox;
  backupFrame_->setObjectName("BackupFrame");
  backupFrame_->setRange(0, std::max(frameCount, 1));
  backupFrame_->setSpecialValueText("Last");
  sound_ = new QCheckBox("Sound, where the profile allows it");
  sound_->setObjectName("Sound");
  sound_->setChecked(true);
  size_ = new QLabel;
  size_->setObjectName("Size");
  check_ = new QPlainTextEdit;
  check_->setObjectName("Check");
  check_->setReadOnly(true);
  check_->setMinimumSize(460, 200);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  export_ = buttons->addButton("Export...", QDialogButtonBox::AcceptRole);
  export_->setObjectName("Export");
  export_->setEnabled(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow("Profile:", profile_);
  form->addRow("Loops:", loops_);
  form->addRow("Backup picture frame:", backupFrame_);
  form->addRow("", sound_);
  form->addRow("Package size:", size_);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(check_);
  column->addWidget(buttons);

  debounce_.setSingleShot(true);
  debounce_.setInterval(kRebuildDelayMs);
  connect(&debounce_, &QTimer::timeout, this, &TAdExportDialog::Rebuild);
  auto changed = [this] {
    export_->setEnabled(false);
    size_->setText("Measuring...");
    debounce_.start();
  };
  connect(profile_, &QComboBox::currentTextChanged, this, changed);
  connect(loops_, &QSpinBox::valueChanged, this, changed);
  connect(backupFrame_, &QSpinBox::valueChanged, this, changed);
  connect(sound_, &QCheckBox::toggled, this, changed);
  changed();
}

exporters::TAdExportOptions TAdExportDialog::Options() const {
  exporters::TAdExportOptions options;
  options.Profile = profile_->currentText().toStdString();
  if (loops_->value() > 0) options.Loops = loops_->value();
  options.BackupFrame = backupFrame_->value();
  options.Sound = sound_->isChecked();
  return options;
}

void TAdExportDialog::Rebuild() {
  QString lines;
  try {
    const exporters::TAdPackageBuild build = build_(Options());
    size_->setText(QString::fromStdString(exporters::PackageSizeText(build)));
    size_->setStyleSheet(exporters::OverLimit(build) ? "color: #b00020;" : "");
    // The verdict first; what the export chose and each rule below it.
    lines = QString::fromStdString(exporters::CheckSummary(build.Check, build.Profile.Name)) + "\n";
    for (const std::string& message : build.Messages)
      lines += QString::fromStdString(message) + "\n";
    for (const exporters::TRuleResult& rule : build.Check)
      lines += QString::fromStdString(exporters::RuleLine(rule)) + "\n";
    export_->setEnabled(true);
  } catch (const std::exception& e) {
    size_->setText("Cannot be made");
    size_->setStyleSheet("color: #b00020;");
    lines = QString::fromUtf8(e.what());
  }
  check_->setPlainText(lines);
}

std::optional<exporters::TAdExportOptions> TAdExportDialog::Execute() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return Options();
}

}  // namespace gui
