#pragma once
// Long work (a whole-movie build, an export) on a worker thread while the
// window keeps repainting behind a progress dialog. The user's input to the
// windows is dropped meanwhile, so nothing edits the document the worker
// reads and no second job starts.
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace gui {

// The worker reports its steps; false means the user cancelled.
using TStepReport = std::function<bool(int64_t done, int64_t total)>;

// Runs `work` on a worker thread and waits for it; the dialog shows after a
// short while, with a Cancel button when `cancellable`. Exceptions of the
// work are thrown again here. Returns false when the user cancelled.
bool RunInBackground(QWidget* window, const QString& label, bool cancellable,
                     const std::function<void(const TStepReport&)>& work);

}  // namespace gui
