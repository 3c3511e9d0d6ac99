#pragma once
// The colour dialog window (caption "Select Color"): the 40-colour palette,
// the hue/saturation/value picker with its R, G and B fields, the preview
// patch, the "#RRGGBB" code field and, once opened, the gradient calculator.
// The window holds no colour of its own: every click, pick, drag and key goes
// to the editor::TColorDialog it is executed over, and the widgets repaint
// from that dialog's values.
#include <QColor>
#include <QDialog>
#include <array>
#include <functional>

namespace editor {
class TColorDialog;
}

class QFrame;
class QLayout;
class QLineEdit;
class QPushButton;

namespace gui {

class TColorCodeEdit;
class TColorSwatch;
class TPickerArea;
class TSwatchGrid;

class TfrmColDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmColDlg(QWidget* parent = nullptr);

  // Shows the dialog modally over `dialog`, which the caller has opened
  // (TColorDialog::Open). True on OK, after dialog.OkClick().
  bool Execute(editor::TColorDialog& dialog);

 private:
  // Creation order is the tab order; the layout places them afterwards.
  void CreateControls();
  void ConnectControls();
  void ArrangeControls();
  QLayout* ArrangePicker();
  QWidget* ArrangeCalculator();

  // One user action on the dialog's values, then the widgets show them.
  void Act(const std::function<void(editor::TColorDialog&)>& action);
  void Refresh();
  void ShowSwatch(TColorSwatch* swatch, int n, const QColor& frame = QColor());

  editor::TColorDialog* dialog_ = nullptr;
  TSwatchGrid* palette_ = nullptr;
  TSwatchGrid* gradient_ = nullptr;
  TColorSwatch* start_ = nullptr;
  TColorSwatch* end_ = nullptr;
  TPickerArea* square_ = nullptr;
  TPickerArea* hue_ = nullptr;
  std::array<QLineEdit*, 3> fields_{};
  QFrame* preview_ = nullptr;
  TColorCodeEdit* code_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* calculatorButton_ = nullptr;
  QPushButton* freeze_ = nullptr;
  QWidget* calculator_ = nullptr;
};

}  // namespace gui
