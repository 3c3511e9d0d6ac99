#pragma once
// The frame range dialog (TfrmLimits): an explanation and the first and
// last frame, each with up-down arrows. The editor's TLimitsDialog holds
// the values and rules; this window shows them and reports to it.
#include <QDialog>
#include <functional>

#include "editor/small_dialogs.h"

class QLabel;

namespace gui {

class TNumberField;

class TfrmLimits : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmLimits(QWidget* parent = nullptr);
  ~TfrmLimits() override;

  // Shows the dialog modally for `d`; true for OK, and then d.From and
  // d.To hold the fields' texts after the exit rules.
  bool Execute(editor::TLimitsDialog& d);

  void accept() override;

 private:
  void Show();
  // Binds a field to one of the two values with its step and exit rules.
  void Bind(TNumberField& field, std::string editor::TLimitsDialog::*text,
            void (editor::TLimitsDialog::*step)(int), void (editor::TLimitsDialog::*exit)());
  // A step or exit rule on the shown values, then the fields show the result.
  void Apply(const std::function<void(editor::TLimitsDialog&)>& rule);

  editor::TLimitsDialog* dialog_ = nullptr;
  QLabel* info_;
  TNumberField* from_;
  TNumberField* to_;
};

}  // namespace gui
