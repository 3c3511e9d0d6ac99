#include "gui/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

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

void TFileDialogs::Prepare(QFileDialog& dialog, const editor::TFileDialogRequest& request,
                           TFileDialogMode mode) const {
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
  if (!request.Title.empty()) dialog.setWindowTitle(QString::fromUtf8(request.Title));
  const bool keepLast = request.InitialDir.empty() && request.FileName.empty();
  const QString dir = request.InitialDir.empty() ? lastDir_ : QString::fromUtf8(request.InitialDir);
  if (!dir.isEmpty()) dialog.setDirectory(dir);
  const QString name = keepLast ? lastName_ : QString::fromUtf8(request.FileName);
  if (!name.isEmpty()) dialog.selectFile(name);
}

std::optional<std::string> TFileDialogs::Run(const editor::TFileDialogRequest& request,
                                             TFileDialogMode mode) {
  QFileDialog dialog(parent_);
  Prepare(dialog, request, mode);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  lastDir_ = dialog.directory().absolutePath();
  const QStringList chosen = dialog.selectedFiles();
  if (!accepted || chosen.isEmpty()) return std::nullopt;
  lastName_ = QFileInfo(chosen.front()).fileName();
  return chosen.front().toStdString();
}

}  // namespace gui
