#pragma once
// The editor's prompts with Qt: message boxes, the two frame-number
// dialogs, file, font and colour dialogs, all modal over the main window.
#include <functional>
#include <memory>

#include "editor/interfaces.h"
#include "gui/file_dialog.h"

class QWidget;

namespace gui {

class TfrmLimits;
class TfrmNumber;

class TQtPrompts : public editor::IPrompts {
 public:
  // The dialogs are children of `parent`, so this object must not outlive
  // it (the main window keeps it as a member).
  explicit TQtPrompts(QWidget* parent);
  ~TQtPrompts() override;

  editor::TMsgResult MessageBox(const std::string& text, const std::string& title,
                                editor::TMsgIcon icon, editor::TMsgButtons buttons) override;
  bool NumberDialog(editor::TNumberDialog& dialog) override;
  bool LimitsDialog(editor::TLimitsDialog& dialog) override;
  std::optional<std::string> OpenFileDialog(const editor::TFileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const editor::TFileDialogRequest& request) override;
  bool FontDialog(editor::TFontChoice& font) override;
  bool ColorDialog(editor::TColorDialog& dialog) override;

  // The window's own colour dialog; without it a plain QColorDialog asks.
  std::function<bool(editor::TColorDialog&)> ColorDialogHandler;

 private:
  QWidget* parent_;
  std::unique_ptr<TfrmNumber> number_;
  std::unique_ptr<TfrmLimits> limits_;
  TFileDialogs files_;
};

}  // namespace gui
