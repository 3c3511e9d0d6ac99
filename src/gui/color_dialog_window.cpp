#include "gui/color_dialog_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "editor/color_dialog.h"
#include "gui/color_code_edit.h"
#include "gui/color_picker_area.h"
#include "gui/color_swatch.h"
#include "gui/screen_color.h"

namespace gui {

using editor::TColorDialog;

namespace {

constexpr int kEndFrameWidth = 3;  // the red mark around the start and end swatches
const char* const kFieldNames[3] = {"Red", "Green", "Blue"};
const char* const kFieldLabels[3] = {"R:", "G:", "B:"};

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAccessibleName(QString(text).remove('&').trimmed());
  return button;
}

QString Code(project::TColor color) {
  return QString::fromStdString(editor::ColorToHTMLColor(color));
}

}  // namespace

TfrmColDlg::TfrmColDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("frmColDlg");
  setWindowTitle("Select Color");
  CreateControls();
  ConnectControls();
  ArrangeControls();
}

void TfrmColDlg::CreateControls() {
  palette_ = new TSwatchGrid(1, TColorDialog::PaletteCount, 8, "Palette color", this);
  square_ = new TPickerArea(TPickerArea::TKind::Square, this);
  square_->setObjectName("PickerSquare");
  square_->setAccessibleName("Saturation and value");
  hue_ = new TPickerArea(TPickerArea::TKind::Hue, this);
  hue_->setObjectName("PickerHue");
  hue_->setAccessibleName("Hue");
  const int fieldWidth = fontMetrics().horizontalAdvance("0000") + 12;
  for (size_t i = 0; i < fields_.size(); ++i) {
    QLineEdit* field = fields_[i] = new QLineEdit(this);
    field->setObjectName(QString("Picker") + kFieldLabels[i][0]);
    field->setAccessibleName(kFieldNames[i]);
    field->setMaxLength(3);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), field));
    field->setFixedWidth(fieldWidth);
  }
  preview_ = new QFrame(this);
  preview_->setObjectName("OutColor");
  preview_->setAccessibleName("Selected color");
  preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  preview_->setAutoFillBackground(true);
  code_ = new TColorCodeEdit(this);
  code_->setObjectName("E1");
  code_->setAccessibleName("Color code");
  code_->setFixedWidth(fontMetrics().horizontalAdvance("#DDDDDD") + 16);
  preview_->setFixedSize(2 * TColorSwatch::Size + 1, code_->sizeHint().height());
  ok_ = MakeButton("&OK", "B1", this);
  ok_->setDefault(true);
  cancel_ = MakeButton("&Cancel", "B2", this);
  calculatorButton_ = MakeButton("&Gradient Calculator >>", "B3", this);
  calculator_ = new QWidget(this);
  gradient_ =
      new TSwatchGrid(TColorDialog::FirstGradientSwatch,
                      TColorDialog::LastGradientSwatch - TColorDialog::FirstGradientSwatch + 1, 10,
                      "Gradient color", calculator_);
  auto endSwatch = [this](const char* name, const char* accessibleName) {
    auto* swatch = new TColorSwatch(kEndFrameWidth, calculator_);
    swatch->setObjectName(name);
    swatch->setAccessibleName(accessibleName);
    swatch->setFocusPolicy(Qt::StrongFocus);
    return swatch;
  };
  start_ = endSwatch("RP91", "Start Color");
  end_ = endSwatch("RP92", "End Color");
  freeze_ = MakeButton("&Freeze the Gradient Palette ", "B4", calculator_);
}

void TfrmColDlg::ConnectControls() {
  auto click = [this](int n) { Act([n](TColorDialog& d) { d.ClickSwatch(n); }); };
  connect(palette_, &TSwatchGrid::swatchClicked, this, click);
  connect(gradient_, &TSwatchGrid::swatchClicked, this, click);
  connect(start_, &QAbstractButton::clicked, this, [click] { click(TColorDialog::StartSwatch); });
  connect(end_, &QAbstractButton::clicked, this, [click] { click(TColorDialog::EndSwatch); });
  connect(square_, &TPickerArea::picked, this,
          [this](int x, int y) { Act([=](TColorDialog& d) { d.PickSquare(x, y); }); });
  connect(hue_, &TPickerArea::picked, this,
          [this](int x, int) { Act([=](TColorDialog& d) { d.PickHue(x); }); });
  for (int i = 0; i < int(fields_.size()); ++i) {
    connect(fields_[size_t(i)], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      Act([&](TColorDialog& d) { d.PickerFieldChanged(i, text.toStdString()); });
    });
    connect(fields_[size_t(i)], &QLineEdit::editingFinished, this,
            [this, i] { Act([i](TColorDialog& d) { d.PickerFieldExit(i); }); });
  }
  connect(code_, &TColorCodeEdit::focusEntered, this, [this] { Act(&TColorDialog::CodeEnter); });
  connect(code_, &TColorCodeEdit::focusLeft, this, [this] { Act(&TColorDialog::CodeExit); });
  connect(code_, &QLineEdit::textEdited, this, [this](const QString& text) {
    Act([&](TColorDialog& d) { d.CodeChanged(text.toStdString()); });
  });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(calculatorButton_, &QPushButton::clicked, this,
          [this] { Act(&TColorDialog::CalculatorClick); });
  connect(freeze_, &QPushButton::clicked, this, [this] { Act(&TColorDialog::FreezeClick); });
}

QLayout* TfrmColDlg::ArrangePicker() {
  auto* areas = new QVBoxLayout;
  areas->setSpacing(0);
  areas->addWidget(square_);
  areas->addWidget(hue_);
  areas->addStretch();
  auto* fields = new QFormLayout;
  for (size_t i = 0; i < fields_.size(); ++i) {
    auto* label = new QLabel(kFieldLabels[i], this);
    label->setBuddy(fields_[i]);
    fields->addRow(label, fields_[i]);
  }
  auto* picker = new QHBoxLayout;
  picker->addLayout(areas);
  picker->addLayout(fields);
  return picker;
}

QWidget* TfrmColDlg::ArrangeCalculator() {
  auto* ends = new QHBoxLayout;
  for (auto [text, swatch] : {std::pair{"Start Color:", start_}, std::pair{"End Color:", end_}}) {
    auto* label = new QLabel(text, calculator_);
    label->setBuddy(swatch);
    ends->addWidget(label);
    ends->addWidget(swatch);
  }
  ends->addStretch();
  auto* column = new QVBoxLayout(calculator_);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(gradient_, 0, Qt::AlignLeft);
  column->addLayout(ends);
  column->addWidget(freeze_, 0, Qt::AlignLeft);
  column->addStretch();
  return calculator_;
}

void TfrmColDlg::ArrangeControls() {
  auto* code = new QHBoxLayout;
  code->addWidget(preview_);
  code->addWidget(code_);
  code->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(palette_, 0, Qt::AlignLeft);
  left->addLayout(code);
  left->addStretch();
  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addLayout(ArrangePicker());
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {ok_, cancel_, calculatorButton_}) buttons->addWidget(b);
  buttons->addStretch();
  auto* main = new QVBoxLayout;
  main->addLayout(top);
  main->addLayout(buttons);
  auto* whole = new QHBoxLayout(this);
  whole->setSizeConstraint(QLayout::SetFixedSize);  // narrow until the calculator shows
  whole->addLayout(main);
  whole->addWidget(ArrangeCalculator(), 0, Qt::AlignTop);
  calculator_->hide();
}

bool TfrmColDlg::Execute(TColorDialog& dialog) {
  dialog_ = &dialog;
  square_->SetPicker(&dialog.Picker);
  hue_->SetPicker(&dialog.Picker);
  Refresh();
  const bool ok = exec() == QDialog::Accepted;
  if (ok) dialog.OkClick();
  square_->SetPicker(nullptr);
  hue_->SetPicker(nullptr);
  dialog_ = nullptr;
  return ok;
}

void TfrmColDlg::Act(const std::function<void(TColorDialog&)>& action) {
  if (!dialog_) return;
  action(*dialog_);
  Refresh();
}

void TfrmColDlg::ShowSwatch(TColorSwatch* swatch, int n, const QColor& frame) {
  const project::TColor color = dialog_->Swatches[size_t(n)];
  swatch->SetLook(ScreenColor(color, palette()), dialog_->SelectedSwatch == n, frame);
  swatch->setAccessibleDescription(Code(color));
}

void TfrmColDlg::Refresh() {
  const TColorDialog& d = *dialog_;
  for (TSwatchGrid* grid : {palette_, gradient_})
    for (int n = grid->First(); n <= grid->Last(); ++n) ShowSwatch(grid->Swatch(n), n);
  ShowSwatch(start_, TColorDialog::StartSwatch, ScreenColor(d.StartFrame, palette()));
  ShowSwatch(end_, TColorDialog::EndSwatch, ScreenColor(d.EndFrame, palette()));
  square_->update();
  hue_->update();
  for (size_t i = 0; i < fields_.size(); ++i) {
    const QString text = QString::fromStdString(d.Picker.Fields()[i]);
    if (fields_[i]->text() != text) fields_[i]->setText(text);
  }
  QPalette patch = preview_->palette();
  patch.setColor(QPalette::Window, ScreenColor(d.Preview, palette()));
  preview_->setPalette(patch);
  const QString code = QString::fromStdString(d.Code);
  if (code_->text() != code) code_->setText(code);
  freeze_->setEnabled(d.FreezeEnabled);
  calculatorButton_->setEnabled(!d.CalculatorShown);
  calculator_->setVisible(d.CalculatorShown);
}

}  // namespace gui
