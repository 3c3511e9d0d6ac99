#pragma once
// The dialog of File > Export HTML5 Banner: the ad profile, loops, backup
// frame and sound, with the package's size against the profile's limit and
// the checker's lines, both from a real build of the package made shortly
// after each change.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <optional>

#include "exporters/ad_export.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace gui {

using TAdPackageBuilder =
    std::function<exporters::TAdPackageBuild(const exporters::TAdExportOptions&)>;

class TAdExportDialog : public QDialog {
  Q_OBJECT

 public:
  TAdExportDialog(QWidget* parent, int frameCount, TAdPackageBuilder build);
  // The options chosen, or nothing when cancelled.
  std::optional<exporters::TAdExportOptions> Execute();
  exporters::TAdExportOptions Options() const;

 private:
  void Rebuild();

  TAdPackageBuilder build_;
  QTimer debounce_;
  QComboBox* profile_;
  QSpinBox* loops_;
  QSpinBox* backupFrame_;
  QCheckBox* sound_;
  QLabel* size_;
  QPlainTextEdit* check_;
  QPushButton* export_;
};

}  // namespace gui
