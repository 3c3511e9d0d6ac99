#pragma once
// Edit > Preferences...: how often the recovery copy of unsaved work is
// written (0 turns it off).
#include <QDialog>

class QSpinBox;

namespace gui {

class TPreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  TPreferencesDialog(QWidget* parent, int autosaveSeconds);
  int AutosaveSeconds() const;

 private:
  QSpinBox* seconds_;
};

}  // namespace gui
