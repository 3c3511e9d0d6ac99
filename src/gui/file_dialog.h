#pragma once
// The open and save dialogs of the editor's prompts on one QFileDialog,
// which keeps its last folder between calls.
#include <QStringList>
#include <optional>
#include <string>

#include "editor/interfaces.h"

class QFileDialog;

namespace gui {

// "Desc|*.a;*.b|Other|*.c" as Qt's name filters: "Desc (*.a *.b)",
// "Other (*.c)". A description without patterns offers every file.
QStringList QtNameFilters(const std::string& filter);

enum class TFileDialogMode { Open, Save };

// Runs `dialog` modally for the request; the chosen path, or nothing when
// the user cancels. An empty folder and name keep the dialog's last ones.
std::optional<std::string> RunFileDialog(QFileDialog& dialog,
                                         const editor::TFileDialogRequest& request,
                                         TFileDialogMode mode);

}  // namespace gui
