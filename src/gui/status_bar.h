#pragma once
// The main window's status bar: progress and errors, the frame position,
// the edit mode in its colour, and the object under the pointer.
#include <QStatusBar>
#include <array>

#include "editor/panel.h"

class QLabel;
class QToolButton;

namespace gui {

class TMainStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit TMainStatusBar(QWidget* parent = nullptr);
  void Show(const editor::TPropertyPanel& panel);
  QString Pane(int index) const;

 signals:
  // "Open Folder" next to a message that names what an export wrote.
  void folderRequested(const QString& folder);

 private:
  std::array<QLabel*, 4> panes_{};
  QToolButton* openFolder_ = nullptr;
  QString folder_;
};

}  // namespace gui
