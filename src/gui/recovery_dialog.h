#pragma once
// The dialog that offers, at start, the work left unsaved by editors that
// ended: one row per copy (a picture of frame 1, the name, the user's file
// or "untitled", the time of the copy and the number of frames), and
// Restore, Discard and "Decide Later". The rows and what the buttons do
// come from the editor's TRecoveryOffer.
#include <QDialog>
#include <QImage>
#include <string>

#include "editor/recovery_offer.h"

class QListWidget;
class QPushButton;

namespace gui {

// Frame 1 of a project file as the player shows it, fitted into `box`
// pixels; a null image when the file cannot be built.
QImage ProjectThumbnail(const std::string& path, QSize box);

class TRecoveryDialog : public QDialog {
  Q_OBJECT

 public:
  TRecoveryDialog(QWidget* parent, editor::TRecoveryOffer& offer);

 private:
  void Fill();
  void ShowButtons();
  void RestoreClicked();
  void DiscardClicked();

  editor::TRecoveryOffer& offer_;
  QListWidget* list_;
  QPushButton* restore_;
  QPushButton* discard_;
};

}  // namespace gui
