// The editor window as a keyboard and mouse user meets it, offscreen: the
// selection outline over the canvas, the edit modes in the menu with their
// shortcuts, the frame keys, and a property panel whose height stays put.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTest>
#include <vector>

#include "editor/editor.h"
#include "gui/editor_window_fixture.h"
#include "gui/main_actions.h"
#include "gui/property_panel.h"
#include "gui/status_bar.h"
#include "player/player_widget.h"

namespace {

using project::TEditMode;

class WindowUsability : public vtest::EditorWindowTest {
 protected:
  editor::TEditor& Editor() { return window_->Editor(); }
  project::TProjectDocument& Doc() { return Editor().Doc(); }
  const project::TShapeRec& Slot(int slot) {
    return Doc().Frames[size_t(Doc().CurrentFrame)].Slots[slot];
  }
  player::TPlayerWidget* Player() { return window_->Canvas()->Player(); }
  QAction* Act(const char* name) { return window_->Actions()->Action(name); }
  QWidget* Control(editor::TCtl c) { return window_->PanelView()->Control(c); }

  void ClickStage(QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, QPointF(at), Player()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier);
      QApplication::sendEvent(Player(), &event);
    }
  }

  // The key goes to the focused widget, as a user's would.
  void Press(QWidget* focus, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    // Keys reach a widget only while its window is active.
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    focus->setFocus();
    ASSERT_TRUE(focus->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
  }

  // Any mode but `mode`, so that choosing `mode` is seen to act.
  void SetUpModeElsewhere(TEditMode mode) {
    Editor().ChooseEditMode(mode == TEditMode::emAnimation ? TEditMode::emLocked
                                                           : TEditMode::emAnimation);
    window_->ShowState();
  }

  // The canvas with what lies over the player, at a stage pixel.
  QColor CanvasAt(QPoint stage) {
    return window_->Canvas()->grab().toImage().pixelColor(Player()->geometry().topLeft() + stage);
  }
};

TEST_F(WindowUsability, SelectedObjectKeepsItsColoursInsideAnOutlineWithHandles) {
  AddObject(project::skRectangle);
  const project::TShapeRec& r = Slot(1);
  ASSERT_GE(r.W, 20);
  ASSERT_GE(r.H, 12);
  const QPoint centre(r.X + r.W / 2, r.Y + r.H / 2), topCorner(r.X, r.Y),
      alongTop(r.X + r.W / 4, r.Y);
  ClickStage({-100, -100});  // clears any selection a new object starts with
  ASSERT_TRUE(Doc().SelectedSlots.none());
  const QColor own = CanvasAt(centre);
  const QColor edge = CanvasAt(alongTop);

  ClickStage(centre);
  ASSERT_TRUE(Doc().SelectedSlots.test(1));
  EXPECT_EQ(CanvasAt(centre), own) << "the object keeps its own colour";
  EXPECT_EQ(CanvasAt(topCorner), QColor(255, 255, 255)) << "a handle on the corner";
  EXPECT_EQ(CanvasAt(alongTop), QColor(0, 90, 200)) << "the outline along the edge";

  // A colour change shows at once, while the object stays selected.
  Doc().Frames[1].Slots.Edit(1).Color = project::RGB(200, 30, 40);
  Editor().RebuildPreview();
  window_->ShowState();
  EXPECT_EQ(CanvasAt(centre), QColor(200, 30, 40));

  ClickStage(centre);  // a second click clears the selection and its outline
  ASSERT_TRUE(Doc().SelectedSlots.none());
  EXPECT_EQ(CanvasAt(alongTop), edge);
}

TEST_F(WindowUsability, EditModesAreAMenuGroupWithShortcuts) {
  AddObject(project::skRectangle);
  struct Row {
    const char* action;
    const char* shortcut;
    TEditMode mode;
    const char* pane;
  } rows[] = {{"actModeLocked", "Ctrl+2", TEditMode::emLocked, "LOCKED MODE"},
              {"actModeAllFrames", "Ctrl+3", TEditMode::emAllFrames, "ALL FRAMES EDITING"},
              {"actModeAnimation", "Ctrl+1", TEditMode::emAnimation, "ANIMATION MODE"}};
  QActionGroup* group = Act("actModeAnimation")->actionGroup();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(group->actions().size(), 3);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.action);
    QAction* item = Act(r.action);
    EXPECT_TRUE(item->text().endsWith(QString("\t") + r.shortcut));
    EXPECT_TRUE(item->isVisible() && item->isEnabled());
    // The menu item, then the mode's key from the canvas and from a number field.
    SetUpModeElsewhere(r.mode);
    item->trigger();
    EXPECT_EQ(Editor().EditMode(), r.mode);
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(window_->Status()->Pane(2), r.pane);
    const int key = Qt::Key_1 + int(r.shortcut[5] - '1');
    for (QWidget* focus : {static_cast<QWidget*>(Player()), Control(editor::SE11)}) {
      SetUpModeElsewhere(r.mode);
      Press(focus, key, Qt::ControlModifier);
      EXPECT_EQ(Editor().EditMode(), r.mode);
      EXPECT_TRUE(item->isChecked());
    }
  }
  // The Edit menu holds the group.
  QMenu* edit = nullptr;
  for (QAction* top : window_->menuBar()->actions())
    if (top->text().remove('&') == "Edit") edit = top->menu();
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->actions().contains(Act("actModeAllFrames")));
}

TEST_F(WindowUsability, FrameKeysWorkUnlessATextFieldHasTheFocus) {
  AddObject(project::skRectangle);
  struct Row {
    const char* action;
    const char* shortcut;
    int key;
    int from, to;
  } rows[] = {{"actLast", "End", Qt::Key_End, 3, 20},
              {"actFirst", "Home", Qt::Key_Home, 3, 1},
              {"actNext", "PgDown", Qt::Key_PageDown, 3, 4},
              {"actPrev", "PgUp", Qt::Key_PageUp, 3, 2},
              {"actPrev", "PgUp", Qt::Key_PageUp, 1, 20}};
  QWidget* combo = Control(editor::CBox7);  // a list: the frame keys still move
  for (const Row& r : rows) {
    SCOPED_TRACE(r.shortcut);
    EXPECT_TRUE(Act(r.action)->text().endsWith(QString("\t") + r.shortcut));
    for (QWidget* focus : {static_cast<QWidget*>(Player()), combo}) {
      while (Doc().CurrentFrame != r.from) Act("actNext")->trigger();
      window_->PanelView()->setCurrentIndex(int(editor::TPage::Objects));
      Press(focus, r.key);
      EXPECT_EQ(Doc().CurrentFrame, r.to);
    }
  }
  // In a text field the keys move the cursor, not the frame.
  window_->PanelView()->setCurrentIndex(int(editor::TPage::Movie));
  auto* url = qobject_cast<QLineEdit*>(Control(editor::MainURL));
  ASSERT_NE(url, nullptr);
  const int frame = Doc().CurrentFrame;
  url->setFocus();
  QTest::keyClicks(url, "http://a.example");
  Press(url, Qt::Key_Home);
  EXPECT_EQ(url->cursorPosition(), 0);
  Press(url, Qt::Key_End);
  EXPECT_EQ(url->cursorPosition(), int(url->text().size()));
  EXPECT_EQ(Doc().CurrentFrame, frame);
}

TEST_F(WindowUsability, PanelHeightStaysWhenTheCurrentObjectChangesKind) {
  AddObject(project::skRectangle);
  AddObject(project::skText);
  AddObject(project::skStar);
  auto* selector = qobject_cast<QComboBox*>(Control(editor::CBox7));
  ASSERT_NE(selector, nullptr);
  ASSERT_EQ(selector->count(), 3);
  gui::TPropertyPanelView* panel = window_->PanelView();
  // The canvas's height, the panel's top and height, the tab bar's top.
  const auto where = [&] {
    QApplication::processEvents();
    return std::vector<int>{window_->Canvas()->height(), panel->y(), panel->height(),
                            panel->tabBar()->mapTo(window_.get(), QPoint(0, 0)).y()};
  };
  const auto first = where();
  for (int pick : {1, 0, 2, 1}) {
    SCOPED_TRACE(pick);
    emit selector->activated(pick);
    ASSERT_EQ(selector->currentIndex(), pick);
    EXPECT_EQ(where(), first);
  }
  for (int page : {0, 1, 2}) {
    panel->setCurrentIndex(page);
    EXPECT_EQ(where(), first) << "page " << page;
  }
}

}  // namespace
