#include "gui/qt_prompts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>

#include "editor/color_dialog.h"
#include "gui/limits_dialog.h"
#include "gui/number_dialog.h"

namespace gui {

using editor::TMsgButtons;
using editor::TMsgIcon;
using editor::TMsgResult;

namespace {

QMessageBox::Icon QtIcon(TMsgIcon icon) {
  switch (icon) {
    case TMsgIcon::Warning:
      return QMessageBox::Warning;
    case TMsgIcon::Error:
      return QMessageBox::Critical;
    case TMsgIcon::Information:
      return QMessageBox::Information;
    case TMsgIcon::Question:
      return QMessageBox::Question;
    case TMsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// The buttons of a box; Enter takes the first, Esc (and closing the box)
// the one that backs out.
struct TButtonSet {
  QMessageBox::StandardButtons Buttons;
  QMessageBox::StandardButton Default, Escape;
};

TButtonSet ButtonSet(TMsgButtons buttons) {
  switch (buttons) {
    case TMsgButtons::OkCancel:
      return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case TMsgButtons::YesNo:
      return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
    case TMsgButtons::YesNoCancel:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
              QMessageBox::Cancel};
    case TMsgButtons::Ok:
      break;
  }
  return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

TMsgResult ResultOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Yes:
      return TMsgResult::Yes;
    case QMessageBox::No:
      return TMsgResult::No;
    case QMessageBox::Cancel:
      return TMsgResult::Cancel;
    default:
      return TMsgResult::Ok;
  }
}

QColor QtColor(project::TColor c) {
  return QColor(project::Red(c), project::Green(c), project::Blue(c));
}

}  // namespace

TQtPrompts::TQtPrompts(QWidget* parent)
    : parent_(parent),
      number_(std::make_unique<TfrmNumber>(parent)),
      limits_(std::make_unique<TfrmLimits>(parent)),
      files_(parent) {}

TQtPrompts::~TQtPrompts() = default;

TMsgResult TQtPrompts::MessageBox(const std::string& text, const std::string& title, TMsgIcon icon,
                                  TMsgButtons buttons) {
  const TButtonSet set = ButtonSet(buttons);
  QMessageBox box(QtIcon(icon), QString::fromUtf8(title), QString::fromUtf8(text), set.Buttons,
                  parent_);
  box.setTextFormat(Qt::PlainText);  // file names may look like markup
  box.setDefaultButton(set.Default);
  box.setEscapeButton(set.Escape);
  box.exec();
  QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  return ResultOf(clicked == QMessageBox::NoButton ? set.Escape : clicked);
}

bool TQtPrompts::NumberDialog(editor::TNumberDialog& dialog) {
  return number_->Execute(dialog);
}

bool TQtPrompts::LimitsDialog(editor::TLimitsDialog& dialog) {
  return limits_->Execute(dialog);
}

std::optional<std::string> TQtPrompts::OpenFileDialog(const editor::TFileDialogRequest& request) {
  return files_.Run(request, TFileDialogMode::Open);
}

std::optional<std::string> TQtPrompts::SaveFileDialog(const editor::TFileDialogRequest& request) {
  return files_.Run(request, TFileDialogMode::Save);
}

namespace {

// The movie draws neither strike-out nor underline and has no writing
// system to choose: the dialog leaves out what would do nothing.
void HideUnusedFontParts(QFontDialog& dialog) {
  for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
    if (!box->findChildren<QCheckBox*>().isEmpty()) box->hide();
  for (QComboBox* writing : dialog.findChildren<QComboBox*>()) {
    writing->hide();
    for (QLabel* label : dialog.findChildren<QLabel*>())
      if (label->buddy() == writing) label->hide();
  }
}

}  // namespace

// The dialog starts on the face that draws the stored name (fontconfig's
// stand-in when that face is not installed, named as such in the title);
// OK without choosing another face keeps the stored name.
bool TQtPrompts::FontDialog(editor::TFontChoice& font) {
  const QString stored = QString::fromUtf8(font.Name);
  QFont initial(stored);
  if (font.Size > 0) initial.setPointSize(font.Size);
  initial.setBold(font.Bold);
  initial.setItalic(font.Italic);
  const QString shown = QFontInfo(initial).family();
  initial.setFamily(shown);
  QFontDialog dialog(initial, parent_);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  dialog.setObjectName("FontDialog");
  HideUnusedFontParts(dialog);
  if (shown.compare(stored, Qt::CaseInsensitive) != 0)
    dialog.setWindowTitle(QObject::tr("Font: %1 stands in for %2").arg(shown, stored));
  if (dialog.exec() != QDialog::Accepted) return false;
  const QFont chosen = dialog.selectedFont();
  if (chosen.family().compare(shown, Qt::CaseInsensitive) != 0)
    font.Name = chosen.family().toStdString();
  const int points = chosen.pointSize() > 0 ? chosen.pointSize() : qRound(chosen.pointSizeF());
  if (points > 0) font.Size = points;
  font.Bold = chosen.bold();
  font.Italic = chosen.italic();
  return true;
}

bool TQtPrompts::ColorDialog(editor::TColorDialog& dialog) {
  if (ColorDialogHandler) return ColorDialogHandler(dialog);
  const QColor chosen = QColorDialog::getColor(QtColor(dialog.Preview), parent_);
  if (!chosen.isValid()) return false;
  dialog.Preview = project::RGB(chosen.red(), chosen.green(), chosen.blue());
  dialog.OkClick();
  return true;
}

}  // namespace gui
