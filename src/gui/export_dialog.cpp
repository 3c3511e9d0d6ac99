#include "gui/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>

namespace gui {

namespace {

struct TFormatRow {
  TExportFormat Format;
  const char* Caption;
  const char* Extension;
  const char* Filter;
};

constexpr TFormatRow kFormats[] = {
    {TExportFormat::Gif, "Animated GIF", ".gif", "Animated GIF (*.gif)|*.gif"},
    {TExportFormat::WebP, "Animated WebP", ".webp", "Animated WebP (*.webp)|*.webp"},
    {TExportFormat::Mp4, "MP4 video (H.264)", ".mp4", "MP4 video (*.mp4)|*.mp4"},
    {TExportFormat::WebM, "WebM video (VP9)", ".webm", "WebM video (*.webm)|*.webm"},
    {TExportFormat::Html5, "HTML5 page", ".html", "HTML5 page (*.html)|*.html"},
    {TExportFormat::PngFrames, "PNG frames (a folder)", "", ""},
    {TExportFormat::Swf, "SWF movie", ".swf", "SWF Flash (*.swf)|*.swf"},
};

const TFormatRow& Row(TExportFormat format) {
  for (const TFormatRow& r : kFormats)
    if (r.Format == format) return r;
  return kFormats[0];
}

}  // namespace

const char* FormatExtension(TExportFormat format) {
  return Row(format).Extension;
}

const char* FormatFilter(TExportFormat format) {
  return Row(format).Filter;
}

const char* FormatCaption(TExportFormat format) {
  return Row(format).Caption;
}

TExportDialog::TExportDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ExportDialog");
  setWindowTitle("Export");
  auto* form = new QFormLayout(this);
  format_ = new QComboBox;
  format_->setObjectName("Format");
  for (const TFormatRow& r : kFormats) format_->addItem(r.Caption, int(r.Format));
  scale_ = new QDoubleSpinBox;
  scale_->setObjectName("Scale");
  scale_->setRange(0.1, 8.0);
  scale_->setSingleStep(0.25);
  scale_->setValue(1.0);
  budget_ = new QSpinBox;
  budget_->setObjectName("Budget");
  budget_->setRange(0, 1000000);
  budget_->setSuffix(" KB");
  budget_->setSpecialValueText("no limit");
  loop_ = new QCheckBox("Loop playback");
  loop_->setObjectName("Loop");
  compact_ = new QCheckBox("Compact: the same frames in a smaller file");
  compact_->setObjectName("Compact");
  form->addRow("&Format:", format_);
  form->addRow("&Scale:", scale_);
  form->addRow("Size &budget:", budget_);
  form->addRow(QString(), loop_);
  form->addRow(QString(), compact_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { FormatChanged(); });
  for (QWidget* w : std::initializer_list<QWidget*>{format_, scale_, budget_, loop_, compact_})
    w->setAccessibleName(w->objectName());
  FormatChanged();
}

void TExportDialog::FormatChanged() {
  auto format = TExportFormat(format_->currentData().toInt());
  bool swf = format == TExportFormat::Swf;
  const bool html5 = format == TExportFormat::Html5;
  scale_->setEnabled(!swf && !html5);
  budget_->setEnabled(format == TExportFormat::Gif || format == TExportFormat::WebP);
  loop_->setEnabled(format == TExportFormat::Gif || format == TExportFormat::WebP || html5);
  compact_->setEnabled(swf || html5);
}

bool TExportDialog::Execute(bool projectLoops, TExportChoice& choice) {
  loop_->setChecked(projectLoops);
  if (exec() != QDialog::Accepted) return false;
  choice.Format = TExportFormat(format_->currentData().toInt());
  choice.Options.Scale = scale_->value();
  choice.Options.MaxSizeKB = budget_->value();
  choice.Options.Loop = loop_->isChecked();
  choice.Compact = compact_->isChecked();
  return true;
}

}  // namespace gui
