#pragma once
// The property panel (pages "Movie", "Current Frame" and "Objects"): a tab
// widget whose controls are built from a table and bound to the editor's
// panel values. Show() paints the values; every user action goes to the
// editor, after which `edited` asks the window to show the new state.
#include <QTabWidget>
#include <array>
#include <optional>

#include "editor/panel.h"

class QLabel;
class QGroupBox;
class QGridLayout;

namespace editor {
class TEditor;
}

namespace gui {

enum class TCellKind { Digits, Spin, Check, Combo, Color, Name, Tool, Push, Text };

// One control of a page: the panel control, its widget kind, and the grid
// columns its widget spans (its label, when it has one, takes one more).
struct TCell {
  editor::TCtl Ctl;
  TCellKind Kind;
  int Span = 1;
};

class TPropertyPanelView : public QTabWidget {
  Q_OBJECT

 public:
  TPropertyPanelView(editor::TEditor& editor, QWidget* parent = nullptr);
  void Show(const editor::TPropertyPanel& panel);
  QWidget* Control(editor::TCtl c) const { return bindings_[size_t(c)].Widget; }
  QLabel* Label(editor::TCtl c) const { return bindings_[size_t(c)].Label; }
  // The text or number field that `widget` is.
  std::optional<editor::TCtl> TypingField(const QObject* widget) const;

 signals:
  void edited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A caption's colour as last shown, with the keys of the palettes it was
  // shown with: while none changed there is nothing to compare.
  struct TCaptionShown {
    project::TColor Color = 0;
    qint64 Parent = -1, Own = -1;  // QPalette::cacheKey
    bool operator==(const TCaptionShown&) const = default;
  };
  struct TBinding {
    TCellKind Kind = TCellKind::Text;
    QWidget* Widget = nullptr;
    QLabel* Label = nullptr;
    QGroupBox* Box = nullptr;  // the group the control sits in
    bool IsGroup = false;
    TCaptionShown LabelCaption, OwnCaption;  // of Label, of a check box's or button's text
  };
  using TRow = std::vector<TCell>;

  QWidget* MoviePage();
  QWidget* FramePage();
  QWidget* ObjectsPage();
  void KeepPlacesOfHiddenControls();
  QGroupBox* Group(const QString& title, const std::vector<TRow>& rows, editor::TCtl ctl);
  void AddRow(QGridLayout* grid, int row, const TRow& cells);
  QWidget* MakeControl(const TCell& cell);
  void Connect(const TCell& cell, QWidget* widget);
  void ButtonClicked(editor::TCtl ctl);
  void Step(editor::TCtl ctl, int steps);
  void ShowControl(editor::TCtl ctl, const editor::TControlState& s);
  void ShowLabel(QLabel* label, const editor::TControlState& s, TCaptionShown& shown);
  static void ShowCaptionColor(QWidget* w, QPalette::ColorRole role, project::TColor c,
                               TCaptionShown& shown);
  void ShowAccessibleText(editor::TCtl ctl, const editor::TControlState& s);
  void After();

  editor::TEditor& editor_;
  std::array<TBinding, editor::CtlCount> bindings_{};
  bool showing_ = false;
};

}  // namespace gui
