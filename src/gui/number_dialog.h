#pragma once
// The number dialog (TfrmNumber): a question and one frame count with
// up-down arrows. The editor's TNumberDialog holds the values and rules;
// this window shows them and reports keys, steps and exits to it.
#include <QDialog>
#include <functional>

#include "editor/small_dialogs.h"

class QLabel;

namespace gui {

class TNumberField;

class TfrmNumber : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmNumber(QWidget* parent = nullptr);
  ~TfrmNumber() override;

  // Shows the dialog modally for `d`; true for OK, and then d.Number holds
  // the field's text after the exit rule.
  bool Execute(editor::TNumberDialog& d);

  void accept() override;

 private:
  void Show();
  // A step or exit rule on the shown value, then the field shows the result.
  void Apply(const std::function<void(editor::TNumberDialog&)>& rule);

  editor::TNumberDialog* dialog_ = nullptr;
  QLabel* info_;
  TNumberField* number_;
};

}  // namespace gui
