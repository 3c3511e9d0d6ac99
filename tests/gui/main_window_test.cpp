// The editor window driven as a user drives it, offscreen: palette, fields of
// each page, canvas drags in the three modes, frame and object commands with
// the clipboard, undo and redo, open, save, the unsaved-changes question and
// the recent files. Settings and files live in temporary folders.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QToolButton>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>

#include "editor/editor.h"
#include "gui/editor_window_fixture.h"
#include "gui/gui_support.h"
#include "gui/canvas.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/palette_strip.h"
#include "gui/panel_widgets.h"
#include "gui/property_panel.h"
#include "gui/qt_services.h"
#include "gui/status_bar.h"
#include "player/player_widget.h"

namespace {

using editor::TCtl;
using project::TEditMode;

using TDialogScript = vtest::TModalScript;
using TStep = vtest::TModalAction;

void ClickButton(QWidget* dialog, const QString& caption) {
  for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
    if (b->text().remove('&') == caption && b->isVisible()) return b->click();
  ADD_FAILURE() << "no button " << caption.toStdString();
}

TStep Ok() {
  return [](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) return box->button(QMessageBox::Ok)->click();
    ClickButton(w, "OK");
  };
}

TStep Answer(QMessageBox::StandardButton button, QString* text = nullptr) {
  return [button, text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    if (text) *text = box->text();
    box->button(button)->click();
  };
}

TStep ChooseFile(const QString& path) {
  return [path](QWidget* w) { vtest::ChooseFileIn(w, path); };
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  void SetUp() override { Open({}); }

  void Open(std::vector<std::string> args) {
    window_.reset();
    window_ = vtest::ShowEditorWindow(home_, std::move(args),
                                      [this](const std::string& path) { opened_.push_back(path); });
    Settle();
  }

  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  editor::TEditor& Editor() { return window_->Editor(); }
  project::TProjectDocument& Doc() { return Editor().Doc(); }
  const project::TShapeRec& Slot(int frame, int slot) {
    return Doc().Frames[size_t(frame)].Slots[slot];
  }
  player::TPlayerWidget* Player() { return window_->Canvas()->Player(); }
  QImage Canvas() { return Player()->grab().toImage(); }
  QAction* Act(const char* name) { return window_->Actions()->Action(name); }
  template <class W>
  W* Control(TCtl c) {
    return qobject_cast<W*>(window_->PanelView()->Control(c));
  }

  // Keys reach the canvas only while its window is active.
  void FocusPlayer() {
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    Player()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), Player());
  }

  void SetMode(TEditMode mode) {
    while (Editor().EditMode() != mode) Act("actMode")->trigger();
  }

  // A palette click in animation mode asks for the frame range: take it.
  void AddShape(int kind) {
    TDialogScript script({Ok()});
    window_->Canvas()->Palette()->Button(kind)->click();
  }

  void TypeInto(QWidget* field, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(field);
    if (!edit) edit = field->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), Player()->mapToGlobal(QPointF(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(Player(), &event);
  }

  void Drag(QPoint from, QPoint by) {
    Mouse(QEvent::MouseMove, from, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int i = 1; i <= 3; ++i) Mouse(QEvent::MouseMove, from + by * i / 3, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, from + by, Qt::NoButton);
  }

  QTemporaryDir home_;
  std::vector<std::string> opened_;
  std::unique_ptr<gui::TfrmMain> window_;
};

TEST_F(MainWindowTest, PaletteAddsEveryKindAndTheCanvasShowsIt) {
  QImage empty = Canvas();
  for (int kind = 1; kind <= 7; ++kind) AddShape(kind);
  QString picture = VELLUMET_TEST_DATA_DIR "/bmp-24bit.bmp";
  {
    TDialogScript script({ChooseFile(picture), Ok()});
    window_->Canvas()->Palette()->Button(8)->click();
  }
  {
    TDialogScript script({ChooseFile(VELLUMET_SAMPLES_DIR "/media/button.bmp"), Ok()});
    window_->Canvas()->Palette()->Button(9)->click();
  }
  for (int kind = 1; kind <= 9; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(Slot(1, kind).Object, kind);
    EXPECT_EQ(Slot(Doc().FrameCount, kind).Object, kind);
  }
  EXPECT_EQ(Control<QComboBox>(editor::CBox7)->count(), 9);
  EXPECT_NE(Canvas(), empty);
  EXPECT_EQ(window_->PanelView()->currentIndex(), int(editor::TPage::Objects));
}

TEST_F(MainWindowTest, FieldsOfEachPageReachTheModelAndTheCanvas) {
  TypeInto(window_->PanelView()->Control(editor::CWidth), "300");
  EXPECT_EQ(Doc().Settings.MWidth, 300);
  EXPECT_EQ(Player()->width(), 300);

  QImage before = Canvas();
  window_->PanelView()->setCurrentIndex(int(editor::TPage::CurrentFrame));
  QTest::mouseClick(Control<QCheckBox>(editor::ChBox1), Qt::LeftButton, {},
                    QPoint(5, Control<QCheckBox>(editor::ChBox1)->height() / 2));
  EXPECT_EQ(Doc().Frames[1].AddGrad, 1);
  EXPECT_EQ(Doc().Frames[20].AddGrad, 1);  // animation mode copies switches
  EXPECT_NE(Canvas(), before);

  AddShape(project::skRectangle);
  before = Canvas();
  TypeInto(window_->PanelView()->Control(editor::SE11), "40");
  EXPECT_EQ(Slot(1, 1).X, 40);
  EXPECT_NE(Canvas(), before);
  EXPECT_EQ(window_->windowTitle().left(12), "untitled.sw0");
  EXPECT_TRUE(window_->windowTitle().contains('*'));
}

TEST_F(MainWindowTest, DraggingMovesTheFramesTheModeReaches) {
  struct TCase {
    TEditMode Mode;
    int Frame;  // where the drag happens
    bool FirstMoves, LastMoves, MiddleMoves;
  };
  const TCase cases[] = {
      {TEditMode::emLocked, 10, false, false, false},
      {TEditMode::emAllFrames, 10, true, true, true},
      {TEditMode::emAnimation, 10, false, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Mode));
    if (Doc().Modified) {
      TDialogScript script({Answer(QMessageBox::No)});
      Act("actNew")->trigger();
    }
    AddShape(project::skRectangle);
    const int x0 = Slot(1, 1).X, y0 = Slot(1, 1).Y;
    SetMode(c.Mode);
    while (Doc().CurrentFrame != c.Frame) Act("actNext")->trigger();
    Drag(QPoint(x0 + 5, y0 + 5), QPoint(30, 0));
    EXPECT_EQ(Slot(c.Frame, 1).X, x0 + 30);
    EXPECT_EQ(Slot(c.Frame, 1).Y, y0);
    EXPECT_EQ(Slot(1, 1).X != x0, c.FirstMoves);
    EXPECT_EQ(Slot(20, 1).X != x0, c.LastMoves);
    EXPECT_EQ(Slot(5, 1).X != x0, c.MiddleMoves);
    if (c.Mode == TEditMode::emAnimation) {
      EXPECT_LT(Slot(5, 1).X, x0 + 30);
    }
    EXPECT_FALSE(Editor().Dragging());
  }
}

// The captions take the legend colours of the edit mode each time it changes,
// back and forth; the style's text colour where the legend has none.
TEST_F(MainWindowTest, CaptionsFollowTheEditMode) {
  AddShape(project::skRectangle);
  gui::TPropertyPanelView* panel = window_->PanelView();
  const auto shown = [&](QWidget* w) {
    return w->palette().color(QPalette::Active, QPalette::WindowText);
  };
  QWidget* xLabel = panel->Label(editor::SE11);
  QWidget* gradient = panel->Control(editor::ChBox1);  // a check box, its own caption
  const QColor text =
      xLabel->parentWidget()->palette().color(QPalette::Active, QPalette::WindowText);
  const QColor blue(0, 0, 255), green(0, 128, 0);
  struct TCase {
    TEditMode Mode;
    QColor X, Gradient;
  };
  const TCase cases[] = {
      {TEditMode::emAllFrames, green, green},
      {TEditMode::emLocked, text, text},
      {TEditMode::emAnimation, blue, text},
      {TEditMode::emAllFrames, green, green},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Mode));
    SetMode(c.Mode);
    EXPECT_EQ(shown(xLabel), c.X);
    EXPECT_EQ(shown(gradient), c.Gradient);
  }
}

TEST_F(MainWindowTest, FrameAndObjectCommandsWithTheClipboard) {
  AddShape(project::skStar);
  Act("actInsertFrame")->trigger();
  EXPECT_EQ(Doc().FrameCount, 21);
  EXPECT_EQ(Doc().CurrentFrame, 2);

  FocusPlayer();
  QTest::keyClick(Player(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith("[Object]"));
  QTest::keyClick(Player(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Slot(2, 2).Object, project::skStar);
  EXPECT_EQ(Slot(2, 2).X, 30);  // a pasted star lands at (30, 30)

  QGuiApplication::clipboard()->setText("not an object");
  QTest::keyClick(Player(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Slot(2, 3).Object, 0);

  QMenu* edit = nullptr;
  for (QAction* a : window_->menuBar()->actions())
    if (a->text() == "&Edit") edit = a->menu();
  ASSERT_NE(edit, nullptr);
  Act("actCopyFrame")->trigger();
  Act("actNext")->trigger();
  emit edit->aboutToShow();
  ASSERT_TRUE(Act("actPasteFrame")->isEnabled());
  Act("actPasteFrame")->trigger();
  EXPECT_EQ(Slot(3, 2).Object, project::skStar);

  FocusPlayer();
  ASSERT_TRUE(window_->PanelView()->Control(editor::btnClearShapeLayer)->isEnabled());
  {
    TDialogScript script({Answer(QMessageBox::Yes)});
    QTest::keyClick(Player(), Qt::Key_Delete);
  }
  EXPECT_EQ(Control<QComboBox>(editor::CBox7)->count(), 1);
}

TEST_F(MainWindowTest, UndoAndRedoThroughTheMenuRepaintTheCanvas) {
  AddShape(project::skEllipse);
  QImage placed = Canvas();
  TypeInto(window_->PanelView()->Control(editor::SE11), "60");
  window_->PanelView()->setFocus();
  QImage moved = Canvas();
  ASSERT_NE(moved, placed);
  Act("actUndo")->trigger();
  EXPECT_NE(Slot(1, 1).X, 60);
  EXPECT_EQ(Canvas(), placed);
  Act("actRedo")->trigger();
  EXPECT_EQ(Slot(1, 1).X, 60);
  EXPECT_EQ(Canvas(), moved);
}

TEST_F(MainWindowTest, SaveOpenAskAndRecentFiles) {
  QString path = home_.filePath("first.sw0");
  AddShape(project::skCircle);
  {
    TDialogScript script({ChooseFile(path)});
    Act("actSaveAs")->trigger();
  }
  ASSERT_TRUE(std::filesystem::exists(path.toStdString()));
  EXPECT_EQ(window_->windowTitle(), "first.sw0 - Vellumet");

  TypeInto(window_->PanelView()->Control(editor::SE12), "33");
  QString question;
  {
    TDialogScript script({Answer(QMessageBox::Cancel, &question)});
    window_->close();
  }
  EXPECT_EQ(question, "Project first.sw0 has been modified. Save it?");
  EXPECT_TRUE(window_->isVisible());
  {
    TDialogScript script({Answer(QMessageBox::No)});
    Act("actNew")->trigger();
  }
  EXPECT_EQ(Slot(1, 3).Object, 0);
  window_->close();

  Open({});  // a new run with the same settings
  QAction* recent = Act("actRecent1");
  ASSERT_TRUE(recent->isVisible());
  EXPECT_EQ(recent->text(), "&1 " + path);
  recent->trigger();
  EXPECT_EQ(Doc().ProjectFileName, path.toStdString());
  EXPECT_EQ(Slot(1, 1).Object, project::skCircle);
  EXPECT_EQ(Slot(1, 1).Y, Slot(2, 1).Y);  // the unsaved 33 was never written
  EXPECT_EQ(Editor().EditMode(), TEditMode::emLocked);
}

TEST_F(MainWindowTest, ArrowKeysOnTheCanvasNudgeTheCurrentObject) {
  AddShape(project::skRectangle);
  const int x0 = Slot(1, 1).X, y0 = Slot(1, 1).Y;
  FocusPlayer();
  QTest::keyClick(Player(), Qt::Key_Right);
  QTest::keyClick(Player(), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Slot(1, 1).X, x0 + 1);
  EXPECT_EQ(Slot(1, 1).Y, y0 + 10);
}

TEST_F(MainWindowTest, DroppedPicturesBecomeObjectsAndADroppedProjectOpens) {
  auto drop = [this](const QString& path, QPoint at) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QPoint onCanvas = Player()->geometry().topLeft() + at;
    QDragEnterEvent enter(onCanvas, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_->Canvas(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(onCanvas), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_->Canvas(), &event);
  };
  {
    TDialogScript script({Ok()});  // the frames the picture goes into
    drop(VELLUMET_TEST_DATA_DIR "/bmp-24bit.bmp", QPoint(40, 12));
  }
  EXPECT_EQ(Slot(1, 1).Object, project::skPicture);
  EXPECT_EQ(Slot(1, 1).X, 40);
  EXPECT_EQ(Slot(20, 1).Y, 12);
  {
    TDialogScript script({Answer(QMessageBox::No)});  // the unsaved picture
    drop(VELLUMET_SAMPLES_DIR "/shapes.sw0", QPoint(5, 5));
  }
  EXPECT_EQ(Doc().ProjectFileName, VELLUMET_SAMPLES_DIR "/shapes.sw0");
}

TEST_F(MainWindowTest, TheStageNeverOutgrowsTheVisibleCanvas) {
  for (const char* typed : {"700", "5000"}) {
    SCOPED_TRACE(typed);
    TypeInto(window_->PanelView()->Control(editor::CWidth), typed);
    QRect canvas = window_->Canvas()->rect();
    QRect player = Player()->geometry();
    EXPECT_EQ(player.width(), Doc().Settings.MWidth);
    EXPECT_TRUE(canvas.contains(player)) << player.x() << "," << player.width() << " in "
                                         << canvas.width();
    EXPECT_GE(player.left(), window_->Canvas()->PaletteWidth());
  }
  EXPECT_LT(Doc().Settings.MWidth, 5000);  // held to what the work area lets the canvas show
}

TEST_F(MainWindowTest, CommandLineProjectOpensOnceTheWindowShows) {
  Open({VELLUMET_SAMPLES_DIR "/shapes.sw0"});
  EXPECT_EQ(Doc().ProjectFileName, VELLUMET_SAMPLES_DIR "/shapes.sw0");
  EXPECT_GT(Control<QComboBox>(editor::CBox7)->count(), 0);
  EXPECT_EQ(window_->Status()->Pane(2), "LOCKED MODE");
}

TEST_F(MainWindowTest, ADragAndTypingEndInTheFramesOfTheFinalValueSetOnce) {
  AddShape(project::skStar);  // frames 1..20
  const int x0 = Slot(1, 1).X, y0 = Slot(1, 1).Y;
  for (int frame = 1; frame < 11; ++frame) Act("actNext")->trigger();
  TypeInto(window_->PanelView()->Control(editor::SE11), "230");
  FocusPlayer();
  Act("actFirst")->trigger();
  auto xs = [this] {
    std::vector<int> v;
    for (int i = 1; i <= 20; ++i) v.push_back(Slot(i, 1).X);
    return v;
  };
  const std::vector<int> bent = xs();
  auto drag = [&](int moves) {
    QPoint from(x0, y0);
    Mouse(QEvent::MouseMove, from, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int i = 1; i <= moves; ++i)
      Mouse(QEvent::MouseMove, from + QPoint(40 * i / moves, 0), Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, from + QPoint(40, 0), Qt::NoButton);
  };
  struct TWay {
    const char* Name;
    std::function<void()> Run;
  };
  const TWay ways[] = {
      {"typed", [&] { TypeInto(window_->PanelView()->Control(editor::SE11), QString::number(x0 + 40)); }},
      {"one move", [&] { drag(1); }},
      {"40 moves", [&] { drag(40); }},
  };
  // Frame 1 moves; frames 2..19 lie on the line from there to the last frame
  // as it stood, which then follows frame 1 (it was still at the old place).
  std::vector<int> expected{x0 + 40};
  for (int i = 2; i < 20; ++i) expected.push_back(int(std::nearbyint(x0 + 40 - (i - 1) * 40.0 / 19)));
  expected.push_back(x0 + 40);
  for (const TWay& way : ways) {
    SCOPED_TRACE(way.Name);
    way.Run();
    FocusPlayer();
    EXPECT_EQ(xs(), expected);
    Act("actUndo")->trigger();  // one step
    EXPECT_EQ(xs(), bent);
  }
}

TEST_F(MainWindowTest, BorderFieldsShowTheStoredWidthsAfterEachEdit) {
  window_->PanelView()->setCurrentIndex(int(editor::TPage::CurrentFrame));
  auto* check = Control<QCheckBox>(editor::ChBox3);
  auto expectShownIsStored = [this](const char* after) {
    SCOPED_TRACE(after);
    const project::TFrameRec& f = Doc().Frames[size_t(Doc().CurrentFrame)];
    EXPECT_EQ(Control<gui::TSpinEdit>(editor::SE20)->Text(), QString::number(f.BevelW));
    EXPECT_EQ(Control<gui::TSpinEdit>(editor::SE21)->Text(), QString::number(f.BorderW));
  };
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
  expectShownIsStored("Add Borders");
  TypeInto(window_->PanelView()->Control(editor::SE20), "14");
  expectShownIsStored("Bevel 14");
  TypeInto(window_->PanelView()->Control(editor::SE21), "9");
  expectShownIsStored("Border 9");
  TypeInto(window_->PanelView()->Control(editor::CDelay), "60");
  expectShownIsStored("Delay 60");
  EXPECT_EQ(Doc().Frames[1].BevelW, 14);
  TypeInto(window_->PanelView()->Control(editor::SE21), "0");
  TypeInto(window_->PanelView()->Control(editor::SE20), "15");
  expectShownIsStored("Border 0, Bevel 15");
  {
    TDialogScript script({Answer(QMessageBox::No)});
    Act("actNew")->trigger();
  }
  expectShownIsStored("New Project");
  QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
  for (int i = 1; i <= Doc().FrameCount; ++i) EXPECT_EQ(Doc().Frames[size_t(i)].BorderW, 3) << i;
}

TEST_F(MainWindowTest, TheFontDialogKeepsTheStoredFace) {
  AddShape(project::skText);
  const std::string face = "Vellumet Missing Face";
  for (int i = 1; i <= Doc().FrameCount; ++i) Doc().Frames[size_t(i)].Slots.Edit(1).Font = face;
  Editor().DAT(false);
  window_->ShowState();
  QString title;
  int effects = -1;
  {
    TDialogScript script({[&](QWidget* w) {
      title = w->windowTitle();
      effects = 0;
      for (QCheckBox* box : w->findChildren<QCheckBox*>()) effects += box->isVisible();
      for (QComboBox* box : w->findChildren<QComboBox*>()) effects += box->isVisible();
      ClickButton(w, "OK");
    }});
    Control<QPushButton>(editor::RZB1)->click();
  }
  EXPECT_TRUE(title.endsWith(QString::fromStdString(" stands in for " + face))) << title.toStdString();
  EXPECT_EQ(effects, 0);  // no strike-out, underline or writing system
  for (int i = 1; i <= Doc().FrameCount; ++i) EXPECT_EQ(Slot(i, 1).Font, face) << i;
}

TEST_F(MainWindowTest, CtrlSOnANewProjectAsksForAName) {
  FocusPlayer();
  bool asked = false;
  {
    TDialogScript script({[&](QWidget* w) {
      asked = qobject_cast<QFileDialog*>(w) != nullptr;
      static_cast<QDialog*>(w)->reject();
    }});
    QTest::keyClick(Player(), Qt::Key_S, Qt::ControlModifier);
  }
  EXPECT_TRUE(asked);
}

TEST_F(MainWindowTest, EscInAFieldGivesBackTheStoredValueAndKeepsTheWindow) {
  QWidget* width = window_->PanelView()->Control(editor::CWidth);
  FocusPlayer();
  width->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), width);
  QTest::keyClick(width, Qt::Key_Escape);  // nothing unsaved: Esc elsewhere would close
  Settle();
  EXPECT_TRUE(window_->isVisible());

  AddShape(project::skRectangle);
  const int x0 = Slot(1, 1).X;
  QWidget* x = window_->PanelView()->Control(editor::SE11);
  FocusPlayer();
  TypeInto(x, "45");
  ASSERT_EQ(QApplication::focusWidget(), x);
  ASSERT_EQ(Slot(1, 1).X, 45);
  QTest::keyClick(x, Qt::Key_Escape);
  EXPECT_EQ(Slot(1, 1).X, x0);
  EXPECT_EQ(Control<gui::TSpinEdit>(editor::SE11)->Text(), QString::number(x0));
  EXPECT_TRUE(window_->isVisible());
}

}  // namespace
