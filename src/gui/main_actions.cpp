#include "gui/main_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "editor/editor.h"
#include "gui/icons.h"

namespace gui {

using editor::TMenuItem;
using editor::TNavigate;
using editor::TInsertWhere;

namespace {

constexpr int kNoIcon = -1;

int Icon(TIcon icon) {
  return int(icon);
}

struct TModeItem {
  const char* Name;
  const char* Caption;
  const char* Shortcut;
  project::TEditMode Mode;
};
constexpr TModeItem kModeItems[] = {
    {"actModeAnimation", "Animation Mode", "Ctrl+1", project::TEditMode::emAnimation},
    {"actModeLocked", "Locked Mode", "Ctrl+2", project::TEditMode::emLocked},
    {"actModeAllFrames", "All Frames Editing", "Ctrl+3", project::TEditMode::emAllFrames}};

}  // namespace

TMainActions::TMainActions(QMainWindow& window, editor::TEditor& editor,
                           std::function<void()> after, TWindowCommands commands)
    : QObject(&window),
      window_(window),
      editor_(editor),
      after_(std::move(after)),
      commands_(std::move(commands)) {
  BuildFileMenu();
  BuildEditMenu();
  BuildViewMenu();
  BuildFramesMenu();
  BuildObjectsMenu();
  BuildHelpMenu();
  BuildToolBar();
}

// The shortcut is shown after a tab in the caption: the keys themselves reach
// the editor's key handler, which runs them also while the canvas has the
// keyboard.
QAction* TMainActions::Make(const char* name, const char* caption, const char* shortcut, int icon,
                            std::function<void()> run) {
  QString text = caption;
  if (shortcut && *shortcut) text += QString("\t") + shortcut;
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  action->setToolTip(QString(caption).remove('&'));
  if (icon != kNoIcon) action->setIcon(MakeIcon(TIcon(icon)));
  connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
    run();
    after_();
  });
  return action;
}

QAction* TMainActions::MakeItem(TMenuItem item, const char* name, const char* shortcut, int icon) {
  const std::string& caption = editor_.Panel().Menu(item).Caption;
  QAction* action = Make(name, caption.c_str(), shortcut, icon, [this, item] { editor_.MenuClick(item); });
  items_[size_t(item)] = action;
  return action;
}

QAction* TMainActions::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

void TMainActions::BuildFileMenu() {
  QMenu* file = window_.menuBar()->addMenu("&File");
  file->addAction(MakeItem(editor::miNewProject, "actNew", "Ctrl+N", Icon(TIcon::NewProject)));
  file->addAction(MakeItem(editor::miOpenProject, "actOpen", "Ctrl+O", Icon(TIcon::OpenProject)));
  file->addAction(MakeItem(editor::miSaveProject, "actSave", "Ctrl+S", Icon(TIcon::SaveProject)));
  file->addAction(
      MakeItem(editor::miSaveProjectAs, "actSaveAs", "", Icon(TIcon::SaveProjectAs)));
  recent_ = file->addMenu("Recent Files");
  recent_->setObjectName("menuRecent");
  items_[editor::miRecentFiles] = recent_->menuAction();
  for (int n = 0; n < 5; ++n) {
    auto item = TMenuItem(editor::miRecent1 + n);
    QString name = QString("actRecent%1").arg(n + 1);
    recent_->addAction(MakeItem(item, name.toLatin1().constData(), "", kNoIcon));
  }
  file->addSeparator();
  file->addAction(Make("actPreview", "SWF Preview...", "", Icon(TIcon::SwfPreview),
                       [this] { editor_.RzStartClick(); }));
  file->addAction(Make("actExport", "Export...", "", kNoIcon, commands_.ExportMovie));
  file->addAction(Make("actExportWeb", "Export Web Page...", "", kNoIcon, commands_.ExportWebPage));
  file->addAction(
      Make("actExportAdPackage", "Export HTML5 Banner...", "", kNoIcon, commands_.ExportAdPackage));
  file->addSeparator();
  file->addAction(MakeItem(editor::miClose, "actClose", "", kNoIcon));
  file->addAction(MakeItem(editor::miExit, "actExit", "Esc", kNoIcon));
}

void TMainActions::BuildEditMenu() {
  QMenu* edit = window_.menuBar()->addMenu("&Edit");
  connect(edit, &QMenu::aboutToShow, this, [this] {
    editor_.EditMenuPopup();
    after_();
  });
  edit->addAction(MakeItem(editor::miUndo, "actUndo", "Ctrl+Z", Icon(TIcon::Undo)));
  edit->addAction(MakeItem(editor::miRedo, "actRedo", "Ctrl+Y", Icon(TIcon::Redo)));
  edit->addSeparator();
  edit->addAction(MakeItem(editor::miCopyFrame, "actCopyFrame", "", kNoIcon));
  edit->addAction(MakeItem(editor::miPasteFrame, "actPasteFrame", "", kNoIcon));
  edit->addSeparator();
  edit->addAction(MakeItem(editor::miCopyObject, "actCopyObject", "Ctrl+C", kNoIcon));
  edit->addAction(MakeItem(editor::miPasteObject, "actPasteObject", "Ctrl+V", kNoIcon));
  edit->addAction(MakeItem(editor::miDeleteObject, "actDeleteObject", "Del", kNoIcon));
  edit->addSeparator();
  edit->addAction(Make("actPreferences", "&Preferences...", "", kNoIcon, [this] {
    if (commands_.Preferences) commands_.Preferences();
  }));
  BuildModeItems(edit);
}

// The three edit modes as one group of ticked items, beside the tool bar's
// button that steps through them.
void TMainActions::BuildModeItems(QMenu* menu) {
  menu->addSeparator();
  auto* group = new QActionGroup(this);
  for (const TModeItem& m : kModeItems) {
    QAction* action = Make(m.Name, m.Caption, m.Shortcut, kNoIcon,
                           [this, mode = m.Mode] { editor_.ChooseEditMode(mode); });
    action->setCheckable(true);
    group->addAction(action);
    menu->addAction(action);
  }
}

void TMainActions::BuildViewMenu() {
  QMenu* view = window_.menuBar()->addMenu("&View");
  view->setObjectName("menuView");
  struct TNav {
    const char* Name;
    const char* Caption;
    const char* Shortcut;
    TIcon Icon;
    TNavigate Where;
  };
  // The editor's key handler takes these keys unless a text field has the focus.
  static constexpr TNav kNav[] = {
      {"actFirst", "First Frame", "Home", TIcon::FirstFrame, TNavigate::First},
      {"actPrev", "Previous Frame", "PgUp", TIcon::PreviousFrame, TNavigate::Previous},
      {"actNext", "Next Frame", "PgDown", TIcon::NextFrame, TNavigate::Next},
      {"actLast", "Last Frame", "End", TIcon::LastFrame, TNavigate::Last}};
  for (const TNav& n : kNav)
    view->addAction(Make(n.Name, n.Caption, n.Shortcut, Icon(n.Icon),
                         [this, where = n.Where] { editor_.RzFirstClick(where); }));
}

void TMainActions::BuildFramesMenu() {
  QMenu* frames = window_.menuBar()->addMenu("F&rames");
  frames->setObjectName("menuFrames");
  frames->addAction(Make("actInsertFrame", "Insert a Frame after the Current Frame", "",
                         Icon(TIcon::InsertFrame), [this] { editor_.RzInsertClick(); }));
  frames->addAction(Make("actRemoveFrame", "Remove the Current Frame", "",
                         Icon(TIcon::RemoveFrame), [this] { editor_.RzDeleteClick(); }));
  frames->addAction(Make("actReverse", "Reverse Frame Order", "", Icon(TIcon::ReverseFrames),
                         [this] { editor_.RzReverseClick(); }));
  frames->addSeparator();
  QMenu* increase = frames->addMenu("Increase the Number of Frames");
  struct TInsert {
    const char* Name;
    const char* Caption;
    TInsertWhere Where;
  };
  static constexpr TInsert kInsert[] = {
      {"actInsertBefore", "Insert Frames before the First Frame...", TInsertWhere::BeforeFirst},
      {"actInsertAfterLast", "Insert Frames after the Final Frame...", TInsertWhere::AfterLast},
      {"actInsertAfterCurrent", "Insert Frames after the Current Frame...",
       TInsertWhere::AfterCurrent}};
  for (const TInsert& i : kInsert)
    increase->addAction(Make(i.Name, i.Caption, "", kNoIcon,
                             [this, where = i.Where] { editor_.TBItem23Click(where); }));
  frames->addAction(Make("actDecrease", "Decrease the Number of Frames...", "", kNoIcon,
                         [this] { editor_.TBItem24Click(); }));
  QAction* lock = MakeItem(editor::miLockFrames, "actLockFrames", "", kNoIcon);
  lock->setCheckable(true);
  frames->addAction(lock);
  QAction* tips = MakeItem(editor::miShowTips, "actShowTips", "", kNoIcon);
  tips->setCheckable(true);
  frames->addAction(tips);
}

void TMainActions::BuildObjectsMenu() {
  QMenu* objects = window_.menuBar()->addMenu("&Objects");
  static constexpr const char* kCaptions[9] = {
      "Add new Rectangle", "Add new Rounded Rectangle", "Add new Circle",
      "Add new Ellipse",   "Add new Diamond",           "Add new Star",
      "Add new Text",      "Add new Picture...",        "Add new Button..."};
  for (int kind = 1; kind <= 9; ++kind) {
    QString name = QString("actAdd%1").arg(kind);
    objects->addAction(Make(name.toLatin1().constData(), kCaptions[kind - 1], "",
                            Icon(PaletteIcon(project::TShapeKind(kind))), [this, kind] {
                              if (kind <= 7)
                                editor_.btnNewShapeClick(project::TShapeKind(kind));
                              else
                                editor_.btnPictureClick(kind == 8
                                                            ? editor::TPictureButton::NewPicture
                                                            : editor::TPictureButton::NewButton);
                            }));
  }
}

void TMainActions::BuildHelpMenu() {
  QMenu* help = window_.menuBar()->addMenu("&Help");
  help->addAction(MakeItem(editor::miContents, "actContents", "F1", kNoIcon));
  help->addAction(Make("actAbout", "About...", "", kNoIcon, [this] { editor_.TBItem17Click(); }));
}

void TMainActions::BuildToolBar() {
  toolBar_ = window_.addToolBar("Tools");
  toolBar_->setObjectName("ToolBar");
  toolBar_->setMovable(false);
  toolBar_->setIconSize({24, 24});
  for (const char* name : std::initializer_list<const char*>{"actNew", "actOpen", "actSave", nullptr, "actPreview", nullptr,
                           "actFirst", "actPrev", "actNext", "actLast", nullptr, "actInsertFrame",
                           "actRemoveFrame", "actReverse", nullptr, "actUndo", "actRedo", nullptr}) {
    if (name)
      toolBar_->addAction(Action(name));
    else
      toolBar_->addSeparator();
  }
  QAction* preview = Action("actPreview");
  preview->setIconText("SWF Preview");
  if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(preview)))
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* mode = Make("actMode", "Animation Mode / All Frames Editing / Locked Mode", "",
                       Icon(TIcon::ModeAnimation), [this] { editor_.RzLockClick(); });
  toolBar_->addAction(mode);
}

void TMainActions::Show(const editor::TPropertyPanel& panel, project::TEditMode mode) {
  for (int i = 0; i < editor::MenuCount; ++i) {
    QAction* action = items_[size_t(i)];
    if (!action) continue;
    const editor::TMenuState& m = panel.Menu(TMenuItem(i));
    action->setEnabled(m.Enabled);
    action->setVisible(m.Visible);
    if (action->isCheckable()) action->setChecked(m.Checked);
    if (i >= editor::miRecent1 && i <= editor::miRecent5) {
      QString caption = QString::fromStdString(m.Caption);
      if (action->text() != caption) action->setText(caption);
    }
  }
  if (mode != shownMode_ || !modeShown_) {
    Action("actMode")->setIcon(MakeIcon(ModeIcon(mode)));
    shownMode_ = mode;
    modeShown_ = true;
  }
  Action("actMode")->setText(QString::fromStdString(panel.StatusPanes[2]));
  for (const TModeItem& m : kModeItems) Action(m.Name)->setChecked(m.Mode == mode);
}

}  // namespace gui
