// The frame strip, the onion skin and playing on the canvas, driven in the
// real window offscreen: cells follow every frame command, a click or an
// arrow goes to a frame, thumbnails follow edits and match the canvas,
// dragging a cell moves the frame as one undo step, the onion skin shows the
// neighbours only while it is on, and Play walks the frames by their Delays.
#include "gui/frame_strip.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QWheelEvent>

#include "editor/editor.h"
#include "gui/canvas_play.h"
#include "gui/editor_window_fixture.h"
#include "gui/frame_tools.h"
#include "gui/main_actions.h"
#include "gui/status_bar.h"
#include "player/player_widget.h"

namespace {

using editor::TCtl;

class FrameStripTest : public vtest::EditorWindowTest {
 protected:
  editor::TEditor& Editor() { return window_->Editor(); }
  project::TProjectDocument& Doc() { return Editor().Doc(); }
  gui::TFrameStrip* Strip() { return window_->FrameTools()->Strip(); }
  QAction* Act(const char* name) { return window_->findChild<QAction*>(name); }
  QImage Canvas() {
    return window_->Canvas()->Player()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  void Type(TCtl field, int value) {
    Editor().SetText(field, std::to_string(value));
    Editor().FieldExit(field);
    window_->ShowState();
  }
  void GoTo(int32_t frame) {
    Editor().GoToFrame(frame);
    window_->ShowState();
  }
  // Frame f gets Delay delays[f - 1], in locked mode so only that frame changes.
  void Delays(const std::vector<int>& delays) {
    Editor().ChooseEditMode(project::TEditMode::emLocked);
    for (size_t i = 0; i < delays.size(); ++i) {
      GoTo(int32_t(i) + 1);
      Type(editor::CDelay, delays[i]);
    }
  }
  std::vector<int> DelaysNow(int count) {
    std::vector<int> d;
    for (int f = 1; f <= count; ++f) d.push_back(Doc().Frames[size_t(f)].Delay);
    return d;
  }
  void WaitForThumbnails() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return Strip()->ThumbnailsCurrent(); }, 20000));
  }
  void ClickCell(int32_t frame) {
    Strip()->scrollToItem(Strip()->item(frame - 1));
    QTest::mouseClick(Strip()->viewport(), Qt::LeftButton, {}, Strip()->CellRect(frame).center());
  }
  // The names a screen reader hears for the strip's cells.
  QStringList CellNames() {
    QStringList names;
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(Strip());
    for (int i = 0; strip && i < strip->childCount(); ++i)
      if (QAccessibleInterface* cell = strip->child(i))
        if (cell->text(QAccessible::Name).startsWith("Frame "))
          names << cell->text(QAccessible::Name);
    return names;
  }
  // The mean difference per channel of two pictures of the same size.
  static double Difference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) {
        QRgb p = a.pixel(x, y), q = b.pixel(x, y);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
               std::abs(qBlue(p) - qBlue(q));
      }
    return sum / (3.0 * a.width() * a.height());
  }
  // The canvas of `frame` scaled as its thumbnail is.
  QImage CanvasAsThumbnail(int32_t frame, QSize size) {
    GoTo(frame);
    return Canvas().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
};

TEST_F(FrameStripTest, OneNamedCellPerFrameAfterEveryFrameCommand) {
  EXPECT_EQ(Strip()->count(), 20);
  EXPECT_EQ(CellNames().size(), 20);
  EXPECT_EQ(CellNames().value(0), "Frame 1, 50 ms");
  Delays({50, 50, 70});
  Act("actInsertFrame")->trigger();  // a copy of frame 3 after it
  EXPECT_EQ(Strip()->count(), 21);
  EXPECT_EQ(Strip()->currentRow(), 3);
  EXPECT_EQ(CellNames().value(3), "Frame 4, 70 ms");
  Act("actRemoveFrame")->trigger();
  EXPECT_EQ(Strip()->count(), 20);
  Act("actReverse")->trigger();
  EXPECT_EQ(CellNames().value(17), "Frame 18, 70 ms");
  EXPECT_EQ(CellNames().value(2), "Frame 3, 50 ms");
  {
    vtest::TModalScript script({[](QWidget* w) {
      auto* edit = w->findChild<QLineEdit*>();
      ASSERT_NE(edit, nullptr);
      edit->selectAll();
      QTest::keyClicks(edit, "12");
      for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        if (b->text().remove('&') == "OK") return b->click();
    }});
    Editor().CFramesChange();
    window_->ShowState();
  }
  EXPECT_EQ(Strip()->count(), 12);
  EXPECT_EQ(CellNames().size(), 12);
}

TEST_F(FrameStripTest, AClickOrAnArrowGoesToTheFrameWithItsPanel) {
  Delays({50, 50, 50, 50, 120});
  GoTo(1);
  ClickCell(5);
  EXPECT_EQ(Doc().CurrentFrame, 5);
  EXPECT_TRUE(window_->Status()->Pane(1).startsWith("Frame 5 of 20"));
  EXPECT_EQ(Editor().Panel()[editor::CDelay].Text, "120");
  QTest::keyClick(Strip(), Qt::Key_Right);
  EXPECT_EQ(Doc().CurrentFrame, 6);
  EXPECT_TRUE(window_->Status()->Pane(1).startsWith("Frame 6 of 20"));
  EXPECT_EQ(Editor().Panel()[editor::CDelay].Text, "50");
  // The tool bar's navigation moves the strip's mark.
  Act("actLast")->trigger();
  EXPECT_EQ(Strip()->currentRow(), 19);
}

// An edit that reaches every frame (a new object in animation mode) redraws
// every thumbnail, each like the canvas of its frame.
TEST_F(FrameStripTest, ThumbnailsFollowAnEditAndShowWhatTheCanvasShows) {
  WaitForThumbnails();
  const QImage before = Strip()->Thumbnail(3);
  ASSERT_FALSE(before.isNull());
  const QImage blank20 = Strip()->Thumbnail(20);
  AddObject(1);
  const int slot = Editor().CurrentObject();
  GoTo(20);
  Type(editor::SE11, 300);
  WaitForThumbnails();
  const QImage after = Strip()->Thumbnail(3);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_GT(Difference(after.convertToFormat(QImage::Format_RGB32),
                       before.convertToFormat(QImage::Format_RGB32)),
            2.0);
  EXPECT_NE(Strip()->Thumbnail(20), blank20);
  for (int32_t frame : {3, 20}) {
    SCOPED_TRACE(frame);
    const QImage thumb = Strip()->Thumbnail(frame).convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(Difference(thumb, CanvasAsThumbnail(frame, thumb.size())), 4.0);
  }
  EXPECT_NE(Doc().Frames[3].Slots[slot].X, Doc().Frames[20].Slots[slot].X);
  EXPECT_LE(Strip()->ThumbnailCount(), gui::TFrameStrip::kCapacity);
}

// Reversed frames take the thumbnails already made of their pictures (the
// very images, not new renders of them).
TEST_F(FrameStripTest, ReversedFramesKeepTheirThumbnails) {
  Delays({110, 120, 130, 140});
  WaitForThumbnails();
  std::vector<qint64> keys;
  for (int32_t f = 1; f <= 4; ++f) keys.push_back(Strip()->Thumbnail(f).cacheKey());
  Act("actReverse")->trigger();
  WaitForThumbnails();
  for (int32_t f = 1; f <= 4; ++f) EXPECT_EQ(Strip()->Thumbnail(21 - f).cacheKey(), keys[f - 1]);
}

// Frame 2 dropped on the right half of frame 4 becomes frame 4: one step,
// which undo takes back.
TEST_F(FrameStripTest, DraggingACellMovesTheFrameAsOneUndoStep) {
  Delays({110, 120, 130, 140});
  ClickCell(2);
  std::unique_ptr<QMimeData> mime(Strip()->model()->mimeData({Strip()->model()->index(1, 0)}));
  const QRect cell4 = Strip()->CellRect(4);
  const QPoint at(cell4.right() - 3, cell4.center().y());
  QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Strip()->viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Strip()->viewport(), &drop);
  window_->ShowState();
  EXPECT_EQ(DelaysNow(5), (std::vector<int>{110, 130, 140, 120, 50}));
  EXPECT_EQ(Doc().CurrentFrame, 4);
  EXPECT_EQ(Strip()->currentRow(), 3);
  EXPECT_EQ(CellNames().value(3), "Frame 4, 120 ms");
  Act("actUndo")->trigger();
  EXPECT_EQ(DelaysNow(5), (std::vector<int>{110, 120, 130, 140, 50}));
  EXPECT_EQ(CellNames().value(1), "Frame 2, 120 ms");
}

TEST_F(FrameStripTest, TheContextMenuOffersTheFrameCommandsForTheClickedFrame) {
  const QRect cell = Strip()->CellRect(3);
  QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(),
                          Strip()->viewport()->mapToGlobal(cell.center()));
  QApplication::sendEvent(Strip()->viewport(), &event);
  EXPECT_EQ(Doc().CurrentFrame, 3);
  auto* menu = window_->findChild<QMenu*>("menuFrames");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_TRUE(menu->actions().contains(Act("actInsertFrame")));
  menu->hide();
  Act("actInsertFrame")->trigger();
  EXPECT_EQ(Strip()->count(), 21);
  EXPECT_EQ(Doc().CurrentFrame, 4);
}

TEST_F(FrameStripTest, CtrlWheelZoomsAndTheStripsPlaceAndZoomAreRemembered) {
  const int width = Strip()->CellRect(1).width();
  const QPointF at = Strip()->CellRect(1).center();
  QWheelEvent wheel(at, Strip()->viewport()->mapToGlobal(at), {}, {0, 240}, Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Strip()->viewport(), &wheel);
  EXPECT_EQ(Strip()->Zoom(), gui::TFrameStrip::kDefaultZoom + 2 * gui::TFrameStrip::kZoomStep);
  EXPECT_EQ(Strip()->CellRect(1).width(), width + 2 * gui::TFrameStrip::kZoomStep);
  Act("actFrameStrip")->trigger();
  EXPECT_FALSE(window_->FrameTools()->Dock()->isVisible());
  window_.reset();
  SetUp();
  EXPECT_EQ(Strip()->Zoom(), gui::TFrameStrip::kDefaultZoom + 2 * gui::TFrameStrip::kZoomStep);
  EXPECT_FALSE(window_->FrameTools()->Dock()->isVisible());
  EXPECT_FALSE(Act("actFrameStrip")->isChecked());
}

// A rectangle moving right over the frames; on frame 10 the onion skin shows
// frame 9's rectangle in the earlier tint left of it and frame 11's in the
// later tint right of it, with frame 10's own rectangle unchanged on top.
TEST_F(FrameStripTest, OnionSkinShowsTintedNeighboursUnderTheFrameAndOffShowsTheCanvas) {
  AddObject(1);
  const int slot = Editor().CurrentObject();
  GoTo(20);
  Type(editor::SE11, 400);
  GoTo(10);
  const project::TShapeRec& r9 = Doc().Frames[9].Slots[slot];
  const project::TShapeRec& r10 = Doc().Frames[10].Slots[slot];
  const project::TShapeRec& r11 = Doc().Frames[11].Slots[slot];
  ASSERT_LT(r9.X + 2, r10.X);
  ASSERT_GT(r11.X + r11.W - 2, r10.X + r10.W);
  const int y = r10.Y + r10.H / 2;
  const QPoint earlier(r9.X + 1, y), later(r11.X + r11.W - 2, y), own(r10.X + 2, y);
  const QImage off = Canvas();
  const uint64_t revision = Editor().Revision();

  window_->findChild<QAction*>("actOnion1")->trigger();
  Act("actOnionSkin")->trigger();
  const QImage on = Canvas();
  const QRgb back = off.pixel(earlier);
  EXPECT_EQ(off.pixel(later), back);
  for (QPoint p : {earlier, later}) EXPECT_NE(on.pixel(p), back) << p.x();
  EXPECT_GT(qRed(on.pixel(earlier)), qBlue(on.pixel(earlier)));
  EXPECT_GT(qBlue(on.pixel(later)), qRed(on.pixel(later)));
  EXPECT_EQ(on.pixel(own), off.pixel(own));

  QTest::keyClick(window_->Canvas()->Player(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(Act("actOnionSkin")->isChecked());
  EXPECT_EQ(Canvas(), off);
  // It is the canvas's alone: the document never changed.
  EXPECT_EQ(Editor().Revision(), revision);
}

// Frames 2 and 3 stand 300 ms each; Space on the canvas stops, and the editor stays on
// the frame shown, ready to edit.
TEST_F(FrameStripTest, PlayWalksTheFramesByTheirDelaysAndStopKeepsTheFrameShown) {
  Delays({50, 300, 300});
  GoTo(1);
  QWidget* canvas = window_->Canvas()->Player();
  canvas->setFocus();
  QTest::keyClick(canvas, Qt::Key_Space);
  EXPECT_TRUE(Act("actPlayCanvas")->isChecked());
  const gui::TCanvasPlay& play = window_->FrameTools()->Player();
  EXPECT_EQ(play.FrameEnds(), 50);
  // Each frame ends its Delay after the one before it ended, however late
  // the window drew it; the schedule is read rather than timed.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Doc().CurrentFrame == 2; }, 5000));
  EXPECT_EQ(play.FrameEnds(), 350);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Doc().CurrentFrame == 3; }, 5000));
  EXPECT_EQ(play.FrameEnds(), 650);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Doc().CurrentFrame >= 5; }, 5000));
  QTest::keyClick(canvas, Qt::Key_Space);
  EXPECT_FALSE(play.Playing());
  EXPECT_FALSE(Act("actPlayCanvas")->isChecked());
  const int32_t stopped = Doc().CurrentFrame;
  QTest::qWait(150);
  EXPECT_EQ(Doc().CurrentFrame, stopped);
  EXPECT_TRUE(window_->Status()->Pane(1).startsWith(QString("Frame %1 of 20").arg(stopped)));
  EXPECT_EQ(Strip()->currentRow(), stopped - 1);
  // The panel shows the frame stopped on.
  EXPECT_EQ(Editor().Panel()[editor::CDelay].Text, "50");
}

}  // namespace
