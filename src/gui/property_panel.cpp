#include "gui/property_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTabBar>
#include <algorithm>

#include "editor/editor.h"
#include "gui/icons.h"
#include "gui/panel_widgets.h"

namespace gui {

using editor::TCtl;

namespace {

QString Utf8(const std::string& s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QRgb ToRgb(project::TColor c) {
  return qRgb(project::Red(c), project::Green(c), project::Blue(c));
}

// Controls whose Label is their own caption rather than a label beside them.
bool CaptionInside(TCellKind kind) {
  return kind == TCellKind::Check || kind == TCellKind::Push;
}

}  // namespace

TPropertyPanelView::TPropertyPanelView(editor::TEditor& editor, QWidget* parent)
    : QTabWidget(parent), editor_(editor) {
  setObjectName("PropertyPanel");
  setAccessibleName("Property panel");
  tabBar()->setAccessibleName("Property pages");
  addTab(MoviePage(), "Movie");
  addTab(FramePage(), "Current Frame");
  addTab(ObjectsPage(), "Objects");
  KeepPlacesOfHiddenControls();
  connect(this, &QTabWidget::currentChanged, this, [this](int index) {
    if (showing_) return;
    editor_.SetActivePage(editor::TPage(index));
    After();
  });
}

// ---- Building ----------------------------------------------------------------

// The editor hides controls and whole groups as the current object changes
// kind; if the pages gave up their room, the panel's height would follow and
// the canvas and tab bar would jump. Every control keeps its place instead.
void TPropertyPanelView::KeepPlacesOfHiddenControls() {
  for (const TBinding& b : bindings_) {
    for (QWidget* w : {b.Widget, static_cast<QWidget*>(b.Label)}) {
      if (!w) continue;
      QSizePolicy policy = w->sizePolicy();
      policy.setRetainSizeWhenHidden(true);
      w->setSizePolicy(policy);
    }
  }
}

QGroupBox* TPropertyPanelView::Group(const QString& title, const std::vector<TRow>& rows,
                                     TCtl ctl) {
  auto* box = new QGroupBox(title);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  for (size_t r = 0; r < rows.size(); ++r) {
    AddRow(grid, int(r), rows[r]);
    for (const TCell& cell : rows[r]) bindings_[size_t(cell.Ctl)].Box = box;
  }
  grid->setRowStretch(int(rows.size()), 1);
  if (ctl != editor::CtlCount) {
    bindings_[size_t(ctl)].Widget = box;
    bindings_[size_t(ctl)].IsGroup = true;
  }
  return box;
}

void TPropertyPanelView::AddRow(QGridLayout* grid, int row, const TRow& cells) {
  int column = 0;
  QHBoxLayout* fileRow = nullptr;
  for (const TCell& cell : cells) {
    QWidget* widget = MakeControl(cell);
    const editor::TControlState& s = editor_.Panel()[cell.Ctl];
    if (cell.Kind == TCellKind::Tool && fileRow) {
      fileRow->addWidget(widget);
      continue;
    }
    // The frame count button shows the count; its caption is a label.
    bool inside = CaptionInside(cell.Kind) && cell.Ctl != editor::CFrames;
    if (!inside && !s.Label.empty()) {
      auto* label = new QLabel(Utf8(s.Label));
      label->setBuddy(widget);
      bindings_[size_t(cell.Ctl)].Label = label;
      grid->addWidget(label, row, column++, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (cell.Kind == TCellKind::Name) {
      fileRow = new QHBoxLayout;
      fileRow->setSpacing(2);
      fileRow->addWidget(widget, 1);
      grid->addLayout(fileRow, row, column, 1, cell.Span);
    } else {
      grid->addWidget(widget, row, column, 1, cell.Span);
    }
    column += cell.Span;
  }
}

QWidget* TPropertyPanelView::MakeControl(const TCell& cell) {
  QWidget* w = nullptr;
  switch (cell.Kind) {
    case TCellKind::Digits: {
      auto* edit = new QLineEdit;
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      edit->installEventFilter(new TKeyFilter(edit, &editor::TEditor::CheckEditKey));
      edit->setMaximumWidth(90);
      w = edit;
      break;
    }
    case TCellKind::Spin: {
      auto* spin = new TSpinEdit;
      spin->setMinimumWidth(70);
      w = spin;
      break;
    }
    case TCellKind::Check:
      w = new QCheckBox;
      break;
    case TCellKind::Combo:
      w = new QComboBox;
      break;
    case TCellKind::Color:
      w = new TColorButton;
      break;
    case TCellKind::Name:
      w = new TNameField;
      w->setMinimumWidth(160);
      break;
    case TCellKind::Tool: {
      auto* tool = new QToolButton;
      bool clear = cell.Ctl == editor::btnClearBkgrSound || cell.Ctl == editor::btnClearFillBitmap ||
                   cell.Ctl == editor::btnClearPicture || cell.Ctl == editor::btnClearSoundEv;
      tool->setIcon(MakeIcon(clear ? TIcon::FileClear : TIcon::FileLoad));
      tool->setAutoRaise(true);
      w = tool;
      break;
    }
    case TCellKind::Push:
      w = new QPushButton;
      if (cell.Ctl == editor::CFrames) w->setMaximumWidth(90);
      break;
    case TCellKind::Text:
      w = new QLineEdit;
      break;
  }
  bindings_[size_t(cell.Ctl)].Kind = cell.Kind;
  bindings_[size_t(cell.Ctl)].Widget = w;
  w->setObjectName(QString("ctl%1").arg(int(cell.Ctl)));
  w->installEventFilter(this);
  Connect(cell, w);
  return w;
}

// ---- Events ----------------------------------------------------------------

void TPropertyPanelView::Connect(const TCell& cell, QWidget* w) {
  TCtl ctl = cell.Ctl;
  auto text = [this, ctl](const QString& t) {
    editor_.SetText(ctl, t.toStdString());
    After();
  };
  switch (cell.Kind) {
    case TCellKind::Digits:
    case TCellKind::Text:
      connect(static_cast<QLineEdit*>(w), &QLineEdit::textEdited, this, text);
      break;
    case TCellKind::Spin: {
      auto* spin = static_cast<TSpinEdit*>(w);
      connect(spin, &TSpinEdit::textEdited, this, text);
      connect(spin, &TSpinEdit::stepRequested, this, [this, ctl](int n) { Step(ctl, n); });
      break;
    }
    case TCellKind::Check:
      // toggled, not clicked: a tick through the accessibility action counts too.
      connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, this, [this, ctl](bool on) {
        editor_.SetChecked(ctl, on);
        After();
      });
      break;
    case TCellKind::Combo:
      connect(static_cast<QComboBox*>(w), &QComboBox::activated, this, [this, ctl](int index) {
        editor_.SetItemIndex(ctl, index);
        After();
      });
      break;
    case TCellKind::Color:
    case TCellKind::Tool:
    case TCellKind::Push:
      connect(static_cast<QAbstractButton*>(w), &QAbstractButton::clicked, this,
              [this, ctl] { ButtonClicked(ctl); });
      break;
    case TCellKind::Name:
      break;
  }
}

void TPropertyPanelView::ButtonClicked(TCtl ctl) {
  using editor::TPictureButton;
  using editor::TSoundButton;
  editor::TEditor& e = editor_;
  switch (ctl) {
    case editor::CFrames: e.CFramesChange(); break;
    case editor::btnReplaceBkgrSound: e.btnReplaceSoundEvClick(TSoundButton::BackgroundSound); break;
    case editor::btnClearBkgrSound: e.btnClearSoundEvClick(TSoundButton::BackgroundSound); break;
    case editor::btnFillBitmap: e.btnPictureClick(TPictureButton::FillBitmap); break;
    case editor::btnClearFillBitmap: e.btnClearFillBitmapClick(); break;
    case editor::RZB1: e.RZB1Click(); break;
    case editor::btnReplacePicture: e.btnReplacePictureClick(); break;
    case editor::btnClearPicture: e.btnClearPictureClick(); break;
    case editor::btnReplaceSoundEv: e.btnReplaceSoundEvClick(TSoundButton::ButtonSound); break;
    case editor::btnClearSoundEv: e.btnClearSoundEvClick(TSoundButton::ButtonSound); break;
    case editor::btnClearShapeLayer: e.btnClearShapeLayerClick(); break;
    default:
      if (int tag = editor::TEditor::ColorTag(ctl)) e.RzColorDlgClick(tag);
      break;
  }
  After();
}

// The arrows step the shown value within the field's limits; the editor
// applies it like typed text.
void TPropertyPanelView::Step(TCtl ctl, int steps) {
  const editor::TControlState& s = editor_.Panel()[ctl];
  const int32_t value = editor::ReadInteger(s.Text).value_or(s.Min);
  const int32_t next = editor::StepWithin(value, steps, s.Min, std::max(s.Min, s.Max));
  editor_.SetText(ctl, std::to_string(next));
  After();
}

bool TPropertyPanelView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && !showing_) {
    if (std::optional<TCtl> field = TypingField(watched)) {
      editor_.FieldExit(*field);
      After();
    }
  }
  return QTabWidget::eventFilter(watched, event);
}

std::optional<TCtl> TPropertyPanelView::TypingField(const QObject* widget) const {
  for (size_t i = 0; i < bindings_.size(); ++i) {
    const TBinding& b = bindings_[i];
    if (b.Widget != widget) continue;
    if (b.Kind == TCellKind::Digits || b.Kind == TCellKind::Spin || b.Kind == TCellKind::Text)
      return TCtl(i);
    break;
  }
  return std::nullopt;
}

void TPropertyPanelView::After() {
  emit edited();
}

// ---- Showing the values ------------------------------------------------------

void TPropertyPanelView::Show(const editor::TPropertyPanel& panel) {
  showing_ = true;
  for (size_t i = 0; i < bindings_.size(); ++i)
    if (bindings_[i].Widget) ShowControl(TCtl(i), panel[TCtl(i)]);
  if (currentIndex() != int(panel.ActivePage)) setCurrentIndex(int(panel.ActivePage));
  showing_ = false;
}

// A screen reader names a control by its caption (or hint) and its group, so
// that the shape's "Xc:" and the gradient's "Xc:" are told apart; the frame
// count button, whose caption is a label beside it, tells the count too.
void TPropertyPanelView::ShowAccessibleText(TCtl ctl, const editor::TControlState& s) {
  const TBinding& b = bindings_[size_t(ctl)];
  QString name = Utf8(s.Label).trimmed();
  if (name.endsWith(':')) name.chop(1);
  if (name.isEmpty()) name = Utf8(s.Hint);
  // The two controls the panel gives neither caption nor hint.
  if (name.isEmpty()) name = ctl == editor::EText ? "Text" : "Load Background Sound...";
  if (b.Box) name += " (" + b.Box->title().trimmed() + ")";
  if (b.Widget->accessibleName() != name) b.Widget->setAccessibleName(name);
  if (ctl == editor::CFrames && b.Widget->accessibleDescription() != Utf8(s.Text))
    b.Widget->setAccessibleDescription(Utf8(s.Text));
}

// A caption in the legend colour of the edit mode; disabled captions keep the
// style's grey. `shown` is what the caption was last given: the panel is shown
// after every edit, and building a palette to compare is its largest cost.
void TPropertyPanelView::ShowCaptionColor(QWidget* w, QPalette::ColorRole role, project::TColor c,
                                          TCaptionShown& shown) {
  QPalette palette = w->parentWidget() ? w->parentWidget()->palette() : QPalette();
  const TCaptionShown now{c, palette.cacheKey(), w->palette().cacheKey()};
  if (now == shown) return;
  if (!editor::IsSystemColor(c)) {
    palette.setColor(QPalette::Active, role, QColor(ToRgb(c)));
    palette.setColor(QPalette::Inactive, role, QColor(ToRgb(c)));
  }
  // Setting an equal palette still repaints the widget: only changes are set.
  if (w->palette() != palette) w->setPalette(palette);
  shown = now;
  shown.Own = w->palette().cacheKey();
}

void TPropertyPanelView::ShowLabel(QLabel* label, const editor::TControlState& s,
                                   TCaptionShown& shown) {
  QString text = Utf8(s.Label);
  if (label->text() != text) label->setText(text);
  if (label->isEnabled() != s.LabelEnabled) label->setEnabled(s.LabelEnabled);
  if (label->isHidden() == s.Visible) label->setVisible(s.Visible);
  ShowCaptionColor(label, QPalette::WindowText, s.LabelColor, shown);
}

void TPropertyPanelView::ShowControl(TCtl ctl, const editor::TControlState& s) {
  TBinding& b = bindings_[size_t(ctl)];
  QWidget* w = b.Widget;
  const QSignalBlocker block(w);
  QString hint = Utf8(s.Hint);
  if (b.IsGroup) {
    auto* box = static_cast<QGroupBox*>(w);
    if (box->title() != Utf8(s.Label)) box->setTitle(Utf8(s.Label));
    if (box->isHidden() == s.Visible) box->setVisible(s.Visible);
    return;
  }
  if (w->isEnabled() != s.Enabled) w->setEnabled(s.Enabled);
  if (w->isHidden() == s.Visible) w->setVisible(s.Visible);
  if (w->toolTip() != hint) w->setToolTip(hint);
  ShowAccessibleText(ctl, s);
  if (b.Label) ShowLabel(b.Label, s, b.LabelCaption);
  switch (b.Kind) {
    case TCellKind::Digits:
    case TCellKind::Text: {
      auto* edit = static_cast<QLineEdit*>(w);
      if (edit->text() != Utf8(s.Text)) edit->setText(Utf8(s.Text));
      break;
    }
    case TCellKind::Spin: {
      auto* spin = static_cast<TSpinEdit*>(w);
      spin->SetLimits(s.Min, s.Max);
      spin->SetShownText(Utf8(s.Text));
      break;
    }
    case TCellKind::Check: {
      auto* check = static_cast<QCheckBox*>(w);
      if (check->text() != Utf8(s.Label)) check->setText(Utf8(s.Label));
      if (check->isChecked() != s.Checked) check->setChecked(s.Checked);
      ShowCaptionColor(check, QPalette::WindowText, s.LabelColor, b.OwnCaption);
      break;
    }
    case TCellKind::Combo: {
      auto* combo = static_cast<QComboBox*>(w);
      QStringList items;
      for (const std::string& item : s.Items) items << Utf8(item);
      QStringList shown;
      for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
      if (shown != items) {
        combo->clear();
        combo->addItems(items);
      }
      if (combo->currentIndex() != s.ItemIndex) combo->setCurrentIndex(s.ItemIndex);
      break;
    }
    case TCellKind::Color:
      static_cast<TColorButton*>(w)->SetColor(ToRgb(s.Color), editor::IsSystemColor(s.Color));
      break;
    case TCellKind::Name:
      static_cast<TNameField*>(w)->SetName(Utf8(s.Text));
      break;
    case TCellKind::Push: {
      // The frame count button shows the count; the others their caption.
      QString text = ctl == editor::CFrames ? Utf8(s.Text) : Utf8(s.Label);
      auto* button = static_cast<QPushButton*>(w);
      if (button->text() != text) button->setText(text);
      ShowCaptionColor(w, QPalette::ButtonText, s.LabelColor, b.OwnCaption);
      break;
    }
    case TCellKind::Tool:
      break;
  }
}

}  // namespace gui
