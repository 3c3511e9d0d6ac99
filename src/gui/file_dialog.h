#pragma once
// The open and save dialogs of the editor's prompts.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "editor/interfaces.h"

class QFileDialog;
class QWidget;

namespace gui {

// "Desc|*.a;*.b|Other|*.c" as Qt's name filters: "Desc (*.a *.b)",
// "Other (*.c)". A description without patterns offers every file.
QStringList QtNameFilters(const std::string& filter);

enum class TFileDialogMode { Open, Save };

// Each request gets a fresh QFileDialog (a reused one keeps the name typed
// last, which an empty preset cannot clear). A request without folder and
// name starts where the previous dialog was left, with its chosen name.
class TFileDialogs {
 public:
  explicit TFileDialogs(QWidget* parent) : parent_(parent) {}

  // The chosen path, or nothing when the user cancels.
  std::optional<std::string> Run(const editor::TFileDialogRequest& request, TFileDialogMode mode);

 private:
  void Prepare(QFileDialog& dialog, const editor::TFileDialogRequest& request,
               TFileDialogMode mode) const;

  QWidget* parent_;
  QString lastDir_, lastName_;
};

}  // namespace gui
