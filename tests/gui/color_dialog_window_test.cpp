// The colour dialog window driven offscreen with real clicks, drags and keys;
// what it shows is read back from its widgets and their pixels.
#include "gui/color_dialog_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "editor/color_dialog.h"
#include "editor/editor_fixture.h"
#include "gui/color_picker_area.h"
#include "gui/gui_app.h"

namespace {

using editor::TColorDialog;
using project::RGB;
using project::TColor;
using vtest::PaintedColor;

constexpr int kMargin = gui::TPickerArea::Margin;

class ColorDialogWindow : public testing::Test {
 protected:
  // Opens the dialog over `color` and runs `steps` while it is up; returns
  // what Execute returned. A dialog the steps leave open is cancelled.
  bool Run(TColor color, const std::function<void()>& steps) {
    dialog_.DialogColor = color;
    dialog_.Open();
    QTimer::singleShot(0, window_.get(), [&] {
      window_->activateWindow();
      EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
      steps();
      if (window_->isVisible()) window_->reject();
    });
    return window_->Execute(dialog_);
  }

  template <class W = QWidget>
  W* Find(const char* name) {
    W* w = window_->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
  QString Text(const char* name) { return Find<QLineEdit>(name)->text(); }
  QStringList Fields() { return {Text("PickerR"), Text("PickerG"), Text("PickerB")}; }
  QColor Swatch(const char* name) { return PaintedColor(Find(name)); }
  QWidget* Focused() { return QApplication::focusWidget(); }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = Focused() ? Focused() : window_.get();
    QTest::keyClick(target, Qt::Key(key), modifiers);
  }

  // Presses the left button at `from`, drags to `to` and lets go, in the
  // picker area's own pixels.
  void Drag(const char* name, QPoint from, QPoint to) {
    QWidget* area = Find(name);
    auto send = [area](QEvent::Type type, QPoint p, Qt::MouseButtons held) {
      const QPointF pos(p + QPoint(kMargin, kMargin));
      const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
      QMouseEvent event(type, pos, area->mapToGlobal(pos), button, held, Qt::NoModifier);
      QApplication::sendEvent(area, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
  }

  QApplication& app_ = vtest::GuiApp();
  vtest::TFakePrompts prompts_;
  TColorDialog dialog_{prompts_};
  std::unique_ptr<gui::TfrmColDlg> window_ = std::make_unique<gui::TfrmColDlg>();
};

TEST_F(ColorDialogWindow, ASwatchClickShowsItsColourAndEnterKeepsIt) {
  EXPECT_TRUE(Run(RGB(1, 2, 3), [&] {
    EXPECT_EQ(window_->windowTitle(), "Select Color");
    EXPECT_EQ(Text("E1"), "#010203");
    Click("RP17");
    EXPECT_EQ(Text("E1"), "#FF0000");
    EXPECT_EQ(Fields(), QStringList({"255", "0", "0"}));
    EXPECT_EQ(PaintedColor(Find("OutColor")), QColor(255, 0, 0));
    EXPECT_EQ(Swatch("RP17"), QColor(255, 0, 0));
    // Sunken while selected, raised under the pointer, flat otherwise: the
    // looks differ at the edge, whatever the colour.
    auto corner = [&](const char* name) { return PaintedColor(Find(name), {0, 0}); };
    const QColor flat = corner("RP18");
    EXPECT_EQ(corner("RP19"), flat);
    EXPECT_NE(corner("RP17"), flat);
    QTest::mouseMove(Find("RP19"));
    EXPECT_NE(corner("RP19"), flat);
    EXPECT_NE(corner("RP19"), corner("RP17"));
    Click("RP18");
    EXPECT_EQ(corner("RP17"), flat);
    Key(Qt::Key_Return);
  }));
  EXPECT_EQ(dialog_.DialogColor, RGB(255, 136, 34));  // RP18, the last one clicked
}

TEST_F(ColorDialogWindow, CancelKeepsTheColourTheDialogOpenedWith) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Cancel button", [&] { Click("B2"); }},
      {"Esc", [&] { Key(Qt::Key_Escape); }},
  };
  for (const auto& [way, cancel] : ways) {
    SCOPED_TRACE(way);
    EXPECT_FALSE(Run(RGB(1, 2, 3), [&] {
      Click("RP40");
      EXPECT_EQ(Text("E1"), "#FFFFFF");
      cancel();
      EXPECT_FALSE(window_->isVisible());
    }));
    EXPECT_EQ(dialog_.DialogColor, RGB(1, 2, 3));
  }
}

TEST_F(ColorDialogWindow, TheCodeFieldTakesOnlyColourCodes) {
  struct Row {
    const char* typed;
    const char* shown;
    TColor color;
  };
  const Row rows[] = {
      {"#F", "#F", RGB(240, 0, 0)},
      {"#12345", "#12345", RGB(18, 52, 80)},
      {"#1g2z! ", "#12", RGB(18, 0, 0)},  // other characters are refused
      {"ff00aa", "FF00AA", RGB(255, 0, 170)},
      {"#", "#", RGB(0, 0, 0)},
      {"#1234567", "#123456", RGB(0x12, 0x34, 0x56)},  // seven characters at most
  };
  Run(RGB(9, 9, 9), [&] {
    auto* code = Find<QLineEdit>("E1");
    code->setFocus();
    for (const Row& row : rows) {
      SCOPED_TRACE(row.typed);
      QTest::keyClick(code, Qt::Key_End);
      for (int i = 0; i < 7; ++i) QTest::keyClick(code, Qt::Key_Backspace);
      QTest::keyClicks(code, row.typed);
      EXPECT_EQ(code->text(), row.shown);
      EXPECT_EQ(
          PaintedColor(Find("OutColor")),
          QColor(project::Red(row.color), project::Green(row.color), project::Blue(row.color)));
      EXPECT_EQ(dialog_.Picker.Color(), row.color);
      EXPECT_EQ(Fields()[0], QString::number(project::Red(row.color)));
    }
    EXPECT_TRUE(prompts_.Messages.empty());

    QApplication::clipboard()->setText("#GG0000");
    code->selectAll();
    QTest::keyClick(code, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(code->text(), "#GG0000");  // the user's text stays
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0].Text,
              "#GG0000 is not a valid color value. Enter a HEX value (#RRGGBB).");
    EXPECT_EQ(prompts_.Messages[0].Title, "Error");
    EXPECT_EQ(dialog_.Preview, RGB(0, 0, 0));
    Click("B1");
  });
  EXPECT_EQ(dialog_.DialogColor, RGB(0, 0, 0));
}

TEST_F(ColorDialogWindow, DraggingInTheSquareAndOnTheHueBarPicks) {
  Run(RGB(255, 0, 0), [&] {
    // s = 255 * 44 / 88 = 128 (halves to even), v = 255 * 66 / 88 = 191
    Drag("PickerSquare", {44, 22}, {44, 22});
    EXPECT_EQ(Fields(), QStringList({"191", "96", "96"}));
    // s = 191, v = 128; the drag follows the pointer
    Drag("PickerSquare", {10, 10}, {66, 44});
    EXPECT_EQ(Fields(), QStringList({"128", "33", "33"}));
    EXPECT_EQ(Text("E1"), "#802121");
    Drag("PickerHue", {44, 4}, {44, 4});  // hue 180
    EXPECT_EQ(Fields(), QStringList({"33", "128", "128"}));
    EXPECT_EQ(PaintedColor(Find("OutColor")), QColor(33, 128, 128));
    // The square is painted for hue 180, value rising upwards.
    QWidget* square = Find("PickerSquare");
    EXPECT_EQ(PaintedColor(square, {kMargin + 87, kMargin}), QColor(3, 255, 255));
    EXPECT_EQ(PaintedColor(square, {kMargin, kMargin + 87}), QColor(3, 3, 3));
    EXPECT_EQ(PaintedColor(Find("PickerHue"), {kMargin, kMargin + 4}), QColor(255, 0, 0));
    Drag("PickerHue", {44, 4}, {500, 4});  // held at the bar's end: hue 360 is red again
    EXPECT_EQ(Fields(), QStringList({"128", "33", "33"}));
    // The arrow keys move the marker one pixel: x 66 -> 65 gives s = 188.
    square->setFocus();
    Key(Qt::Key_Left);
    EXPECT_EQ(Fields(), QStringList({"128", "34", "34"}));
  });
}

TEST_F(ColorDialogWindow, TypingInTheRgbFieldsPicks) {
  Run(RGB(10, 20, 30), [&] {
    auto* green = Find<QLineEdit>("PickerG");
    green->setFocus();
    green->selectAll();
    QTest::keyClicks(green, "300x");  // letters are refused, values held at 255
    EXPECT_EQ(green->text(), "255");
    EXPECT_EQ(Text("E1"), "#0AFF1E");
    green->selectAll();
    Key(Qt::Key_Backspace);
    EXPECT_EQ(green->text(), "");  // stays empty while the user types
    Key(Qt::Key_Tab);
    EXPECT_EQ(green->text(), "0");
    EXPECT_EQ(Text("E1"), "#0A001E");
  });
}

TEST_F(ColorDialogWindow, TheGradientCalculatorSpreadsBetweenItsEnds) {
  const QColor face = window_->palette().color(QPalette::Button);
  const QColor red(255, 0, 0);
  Run(RGB(255, 255, 255), [&] {
    const int narrow = window_->width();
    EXPECT_FALSE(Find("RP41")->isVisible());
    Click("B3");
    QApplication::processEvents();
    EXPECT_TRUE(Find("RP41")->isVisible());
    EXPECT_FALSE(Find("B3")->isEnabled());
    EXPECT_GT(window_->width(), narrow + 10 * 18);
    // From the opening colour (start) to blue (end): 255 - 24 * 255 / 49 = 130.
    EXPECT_EQ(Swatch("RP41"), QColor(255, 255, 255));
    EXPECT_EQ(Swatch("RP65"), QColor(130, 130, 255));
    EXPECT_EQ(Swatch("RP90"), QColor(0, 0, 255));
    EXPECT_EQ(PaintedColor(Find("RP91"), {0, 0}), red);
    EXPECT_EQ(PaintedColor(Find("RP92"), {0, 0}), face);

    Click("RP92");  // the end follows the colour now
    EXPECT_EQ(PaintedColor(Find("RP91"), {0, 0}), face);
    EXPECT_EQ(PaintedColor(Find("RP92"), {0, 0}), red);
    Click("RP17");
    EXPECT_EQ(Swatch("RP90"), red);
    EXPECT_EQ(Swatch("RP92"), red);
    EXPECT_EQ(Swatch("RP65"), QColor(255, 130, 130));

    Click("RP50");                     // picking an intermediate colour freezes the gradient
    EXPECT_EQ(Text("E1"), "#FFD0D0");  // 255 - 9 * 255 / 49 = 208
    EXPECT_FALSE(Find("B4")->isEnabled());
    EXPECT_EQ(PaintedColor(Find("RP92"), {0, 0}), face);
    Click("RP1");
    EXPECT_EQ(Swatch("RP65"), QColor(255, 130, 130));
    EXPECT_EQ(Swatch("RP90"), red);

    Click("RP91");  // the start follows again
    EXPECT_TRUE(Find("B4")->isEnabled());
    EXPECT_EQ(PaintedColor(Find("RP91"), {0, 0}), red);
    Click("B4");
    EXPECT_FALSE(Find("B4")->isEnabled());
    EXPECT_EQ(PaintedColor(Find("RP91"), {0, 0}), face);
    Click("B1");
  });
  Run(RGB(0, 0, 0), [&] {  // the calculator stays open and frozen
    EXPECT_TRUE(Find("RP41")->isVisible());
    EXPECT_FALSE(Find("B3")->isEnabled());
    EXPECT_EQ(Swatch("RP41"), QColor(255, 255, 255));
  });
}

TEST_F(ColorDialogWindow, WorksFromTheKeyboard) {
  Run(RGB(0, 0, 0), [&] {
    Find("RP1")->setFocus();
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);  // eight colours to a row
    EXPECT_EQ(Focused()->objectName(), "RP10");
    Key(Qt::Key_Space);
    EXPECT_EQ(Text("E1"), "#DD6600");
    const QStringList order = {"PickerSquare", "PickerHue", "PickerR", "PickerG", "PickerB",
                               "E1",           "B1",        "B2",      "B3",      "RP10"};
    for (const QString& name : order) {
      Key(Qt::Key_Tab);
      EXPECT_EQ(Focused()->objectName(), name);
    }
    Click("B3");
    QApplication::processEvents();
    for (const char* name : {"RP41", "RP91", "RP92", "B4"}) {
      Find(name)->setFocus();
      EXPECT_TRUE(Find(name)->hasFocus()) << name;
    }
  });
}

TEST_F(ColorDialogWindow, EveryControlHasAnAccessibleName) {
  Run(RGB(0, 0, 0), [&] {
    Click("B3");
    const QList<QWidget*> all = window_->findChildren<QWidget*>();
    int controls = 0;
    for (QWidget* w : all) {
      if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton*>(w) &&
          w->objectName() != "OutColor")
        continue;
      ++controls;
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      ASSERT_NE(a, nullptr);
      EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_EQ(controls, 92 + 2 + 3 + 1 + 1 + 4);  // swatches, areas, fields, patch, code, buttons
  });
}

}  // namespace

namespace {

TEST_F(ColorDialogWindow, CtrlAAndTypingReplaceAFullCode) {
  Run(RGB(255, 0, 0), [&] {
    auto* code = Find<QLineEdit>("E1");
    code->setFocus();
    ASSERT_EQ(code->text(), "#FF0000");  // full: seven characters
    QTest::keyClick(code, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(code, "#00ff00");
    EXPECT_EQ(code->text(), "#00FF00");
    Click("B1");
  });
  EXPECT_EQ(dialog_.DialogColor, RGB(0, 255, 0));
}

}  // namespace
