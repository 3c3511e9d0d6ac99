#include "gui/file_dialog.h"

#include <QFileDialog>

namespace gui {

QStringList QtNameFilters(const std::string& filter) {
  QStringList filters;
  if (filter.empty()) return filters;
  const QStringList parts = QString::fromUtf8(filter).split('|');
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString("*");
    patterns = patterns.split(';', Qt::SkipEmptyParts).join(' ').simplified();
    if (patterns.isEmpty()) patterns = "*";
    filters << parts[i].trimmed() + " (" + patterns + ")";
  }
  return filters;
}

namespace {

void Prepare(QFileDialog& dialog, const editor::TFileDialogRequest& request,
             TFileDialogMode mode) {
  const bool save = mode == TFileDialogMode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
  // The descriptions already name their patterns; Qt would repeat them.
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setNameFilters(QtNameFilters(request.Filter));
  QString suffix = QString::fromUtf8(request.DefaultExt);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  if (!request.InitialDir.empty()) dialog.setDirectory(QString::fromUtf8(request.InitialDir));
  if (!request.InitialDir.empty() || !request.FileName.empty())
    dialog.selectFile(QString::fromUtf8(request.FileName));
}

}  // namespace

std::optional<std::string> RunFileDialog(QFileDialog& dialog,
                                         const editor::TFileDialogRequest& request,
                                         TFileDialogMode mode) {
  Prepare(dialog, request, mode);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.front().toStdString();
}

}  // namespace gui
