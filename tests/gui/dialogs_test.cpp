// The editor's prompts on real Qt widgets, driven offscreen: the number and
// frame range dialogs through key events, message boxes, file, font and
// colour dialogs, the clipboard and the settings store.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "editor/color_dialog.h"
#include "editor/small_dialogs.h"
#include "gui/file_dialog.h"
#include "gui/gui_support.h"
#include "gui/limits_dialog.h"
#include "gui/number_dialog.h"
#include "gui/qt_prompts.h"
#include "gui/qt_services.h"
#include "support/bytes.h"

namespace {

using namespace editor;
using gui::TfrmLimits;
using gui::TfrmNumber;
using gui::TQtPrompts;

class Dialogs : public testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }

  static QLineEdit* Field(QWidget* dialog, const char* name) {
    auto* field = dialog->findChild<QLineEdit*>(name);
    EXPECT_TRUE(field) << name;
    return field;
  }

  // Replaces the field's text with typed keys and leaves it with Tab;
  // returns what the field shows afterwards.
  static QString TypeAndLeave(QWidget* dialog, const char* name, const char* keys) {
    QLineEdit* field = Field(dialog, name);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, keys);
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_FALSE(field->hasFocus()) << name;
    return field->text();
  }

  static void Click(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QPushButton*>(button);
    ASSERT_TRUE(b) << button;
    b->click();
  }

  // An arrow of an up-down control ("UD1", "UpDown2"), +1 up, -1 down.
  static void ClickArrow(QWidget* dialog, const char* upDown, int delta) {
    QWidget* arrows = dialog->findChild<QWidget*>(upDown);
    ASSERT_TRUE(arrows) << upDown;
    for (QToolButton* b : arrows->findChildren<QToolButton*>())
      if (b->arrowType() == (delta > 0 ? Qt::UpArrow : Qt::DownArrow)) b->click();
  }
};

TEST_F(Dialogs, TheNumberFieldTakesDigitsAndIsCorrectedWhenLeft) {
  struct Row {
    const char *keys, *shown;
  };
  const Row rows[] = {{"5000", "1000"}, {"0", "1"}, {"1a2-b.", "12"}, {"\b", ""}, {"7", "7"}};
  TfrmNumber form;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.keys);
    TNumberDialog d;
    d.Info = "Enter the number of frames to insert:";
    d.SetPosition(20);
    QString shown;
    auto script = vtest::OnNextModal([&](QWidget* w) {
      EXPECT_EQ(w, &form);
      EXPECT_EQ(w->windowTitle(), "Number of frames");
      EXPECT_EQ(w->findChild<QLabel*>("L_Info")->text(), "Enter the number of frames to insert:");
      EXPECT_EQ(Field(w, "E_Number")->text(), "20");
      shown = TypeAndLeave(w, "E_Number", r.keys);
      Click(w, "OK");
    });
    EXPECT_TRUE(form.Execute(d));
    EXPECT_EQ(shown, r.shown);
    EXPECT_EQ(d.Number, r.shown);
  }
}

TEST_F(Dialogs, TheNumberArrowsStayInTheLimitsAndCancelAnswersFalse) {
  TfrmNumber form;
  TNumberDialog d;
  d.SetPosition(999);
  std::vector<QString> shown;
  auto script = vtest::TModalScript({
      [&](QWidget* w) {
        ClickArrow(w, "UD1", +1);
        ClickArrow(w, "UD1", +1);
        shown.push_back(Field(w, "E_Number")->text());
        QTest::keyClick(Field(w, "E_Number"), Qt::Key_Down);
        shown.push_back(Field(w, "E_Number")->text());
        QTest::keyClick(w, Qt::Key_Escape);
      },
      [&](QWidget* w) {
        Field(w, "E_Number")->selectAll();
        QTest::keyClicks(Field(w, "E_Number"), "1");
        ClickArrow(w, "UD1", -1);
        shown.push_back(Field(w, "E_Number")->text());
        Click(w, "Cancel");
      },
  });
  EXPECT_FALSE(form.Execute(d));
  EXPECT_FALSE(form.Execute(d));
  EXPECT_EQ(shown, (std::vector<QString>{"1000", "999", "1"}));
}

TEST_F(Dialogs, EnterTakesOkAfterTheExitRule) {
  TfrmNumber form;
  TNumberDialog d;
  auto script = vtest::OnNextModal([&](QWidget* w) {
    QLineEdit* field = Field(w, "E_Number");
    field->selectAll();
    QTest::keyClicks(field, "5000");
    QTest::keyClick(field, Qt::Key_Return);
  });
  EXPECT_TRUE(form.Execute(d));
  EXPECT_EQ(d.Number, "1000");
}

TEST_F(Dialogs, OnlyDigitsArePasted) {
  gui::TQtClipboard clipboard;
  TfrmNumber form;
  TNumberDialog d;
  std::vector<QString> shown;
  auto script = vtest::OnNextModal([&](QWidget* w) {
    QLineEdit* field = Field(w, "E_Number");
    for (const char* pasted : {"12x", "-5", "42"}) {
      clipboard.SetText(pasted);
      field->selectAll();
      QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
      shown.push_back(field->text());
    }
    Click(w, "OK");
  });
  EXPECT_TRUE(form.Execute(d));
  EXPECT_EQ(shown, (std::vector<QString>{"20", "20", "42"}));
  EXPECT_EQ(d.Number, "42");
}

TEST_F(Dialogs, TheRangeFieldsAreHeldInTheFramesButNotCompared) {
  TfrmLimits form;
  TLimitsDialog d;
  d.Setup("Specifying the Target Frames",
          "Object 1 - Rectangle will be inserted into the frames:", 12, 3, 12);
  QString from, to;
  auto script = vtest::TModalScript({
      [&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Specifying the Target Frames");
        EXPECT_EQ(Field(w, "E_From")->text(), "3");
        EXPECT_EQ(Field(w, "E_To")->text(), "12");
        from = TypeAndLeave(w, "E_From", "0");
        EXPECT_TRUE(Field(w, "E_To")->hasFocus());  // the tab order goes from: -> to:
        to = TypeAndLeave(w, "E_To", "40");
        Click(w, "OK");
      },
      [&](QWidget* w) {
        TypeAndLeave(w, "E_From", "9");
        TypeAndLeave(w, "E_To", "3");
        Click(w, "OK");
      },
      [&](QWidget* w) {
        ClickArrow(w, "UpDown1", -1);
        ClickArrow(w, "UpDown2", +1);
        from = Field(w, "E_From")->text();
        to = Field(w, "E_To")->text();
        Click(w, "Cancel");
      },
  });
  ASSERT_TRUE(form.Execute(d));
  EXPECT_EQ(from, "1");
  EXPECT_EQ(to, "12");
  EXPECT_EQ(d.From, "1");
  EXPECT_EQ(d.To, "12");
  ASSERT_TRUE(form.Execute(d));
  EXPECT_EQ(d.From, "9");
  EXPECT_EQ(d.To, "3");
  d.Setup("Specifying the Frames to be Deleted", "", 12, 1, 12);
  EXPECT_FALSE(form.Execute(d));
  EXPECT_EQ(from, "1");
  EXPECT_EQ(to, "12");
}

// The helper the window tests rely on: a dialog nobody closes, a dialog
// that never comes and an action that never runs each fail the test.
TEST_F(Dialogs, TheModalScriptNeverLetsATestHang) {
  static TfrmNumber* form;
  static TNumberDialog* d;
  static bool ok;
  TfrmNumber f;
  TNumberDialog values;
  form = &f;
  d = &values;
  ok = true;
  EXPECT_NONFATAL_FAILURE(
      {
        vtest::TModalScript script({[](QWidget*) {}}, 100);
        ok = form->Execute(*d);
      },
      "stayed open");
  EXPECT_FALSE(ok);
  EXPECT_NONFATAL_FAILURE(
      {
        vtest::TModalScript script({[](QWidget*) {}}, 100);
        QTest::qWait(300);
      },
      "No modal window appeared");
  EXPECT_NONFATAL_FAILURE({ vtest::TModalScript script({[](QWidget*) {}}); }, "never ran");
}

TEST_F(Dialogs, EveryControlHasAnAccessibleName) {
  TfrmNumber number;
  TfrmLimits limits;
  for (QDialog* dialog : {static_cast<QDialog*>(&number), static_cast<QDialog*>(&limits)}) {
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
      if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractButton*>(control)) continue;
      EXPECT_FALSE(control->accessibleName().isEmpty())
          << dialog->objectName().toStdString() << " " << control->objectName().toStdString();
    }
  }
}

TEST_F(Dialogs, FileFiltersBecomeQtNameFilters) {
  struct Row {
    const char* filter;
    QStringList expected;
  };
  const Row rows[] = {
      {"sw0 - Vellumet Project Format|*.sw0", {"sw0 - Vellumet Project Format (*.sw0)"}},
      {"All supported Graphic Files|*.jpg;*.jpeg;*.bmp|Bitmaps (*.BMP)|*.bmp",
       {"All supported Graphic Files (*.jpg *.jpeg *.bmp)", "Bitmaps (*.BMP) (*.bmp)"}},
      {"A|*.a;;*.b |B|", {"A (*.a *.b)", "B (*)"}},
      {"Everything", {"Everything (*)"}},
      {"", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.filter);
    EXPECT_EQ(gui::QtNameFilters(r.filter), r.expected);
  }
}

// Checks the file dialog's folder, filters and preset name, then types
// `typed` and takes it, or cancels when `typed` is null.
vtest::TModalAction FileDialogStep(const std::string& dir, QString preset, const char* typed) {
  return [=](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), dir);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"sw0 - Vellumet Project Format (*.sw0)"});
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->text(), preset);
    if (!typed) return QTest::keyClick(dialog, Qt::Key_Escape);
    name->selectAll();
    QTest::keyClicks(name, typed);
    QTest::keyClick(name, Qt::Key_Return);
  };
}

TEST_F(Dialogs, FileDialogsStartInTheFolderAndAddTheDefaultExtension) {
  const std::string dir = vtest::TestTempDir();
  vtest::WriteText(dir + "/old.sw0", "kept");
  TQtPrompts prompts(nullptr);
  const std::string filter = "sw0 - Vellumet Project Format|*.sw0";
  const TFileDialogRequest request{dir, "banner", filter, ".sw0", false, "Save Project As"};
  {
    auto script = vtest::OnNextModal(FileDialogStep(dir, "banner", "new"));
    EXPECT_EQ(prompts.SaveFileDialog(request), dir + "/new.sw0");
  }
  {  // no question unless asked for
    auto script = vtest::OnNextModal(FileDialogStep(dir, "banner", "old"));
    EXPECT_EQ(prompts.SaveFileDialog(request), dir + "/old.sw0");
  }
  {
    TFileDialogRequest asking = request;
    asking.OverwritePrompt = true;
    auto script = vtest::TModalScript({FileDialogStep(dir, "banner", "old"), [](QWidget* w) {
                                         auto* box = qobject_cast<QMessageBox*>(w);
                                         ASSERT_TRUE(box);
                                         box->button(QMessageBox::Yes)->click();
                                       }});
    EXPECT_EQ(prompts.SaveFileDialog(asking), dir + "/old.sw0");
  }
  {  // an empty preset clears the name; no folder and no name keep the last ones
    auto script = vtest::TModalScript(
        {FileDialogStep(dir, "", nullptr), FileDialogStep(dir, "old.sw0", "old.sw0")});
    EXPECT_EQ(prompts.OpenFileDialog({dir, "", filter, ".sw0", false}), std::nullopt);
    EXPECT_EQ(prompts.OpenFileDialog({"", "", filter, ".sw0", false}), dir + "/old.sw0");
  }
  EXPECT_EQ(vtest::ReadText(dir + "/old.sw0"), "kept");
}

TEST_F(Dialogs, MessageBoxesMapIconsButtonsAndAnswers) {
  struct Row {
    TMsgIcon icon;
    TMsgButtons buttons;
    int press;  // a key, or a QMessageBox::StandardButton to click
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButtons qtButtons;
    TMsgResult answer;
  };
  using M = QMessageBox;
  const Row rows[] = {
      {TMsgIcon::Warning, TMsgButtons::Ok, Qt::Key_Return, M::Warning, M::Ok, TMsgResult::Ok},
      {TMsgIcon::Error, TMsgButtons::Ok, Qt::Key_Escape, M::Critical, M::Ok, TMsgResult::Ok},
      {TMsgIcon::Information, TMsgButtons::OkCancel, Qt::Key_Escape, M::Information,
       M::Ok | M::Cancel, TMsgResult::Cancel},
      {TMsgIcon::Information, TMsgButtons::OkCancel, Qt::Key_Return, M::Information,
       M::Ok | M::Cancel, TMsgResult::Ok},
      {TMsgIcon::Question, TMsgButtons::YesNo, Qt::Key_Escape, M::Question, M::Yes | M::No,
       TMsgResult::No},
      {TMsgIcon::Question, TMsgButtons::YesNo, Qt::Key_Return, M::Question, M::Yes | M::No,
       TMsgResult::Yes},
      {TMsgIcon::Question, TMsgButtons::YesNoCancel, M::No, M::Question, M::Yes | M::No | M::Cancel,
       TMsgResult::No},
      {TMsgIcon::Question, TMsgButtons::YesNoCancel, Qt::Key_Escape, M::Question,
       M::Yes | M::No | M::Cancel, TMsgResult::Cancel},
      {TMsgIcon::None, TMsgButtons::OkCancel, M::Cancel, M::NoIcon, M::Ok | M::Cancel,
       TMsgResult::Cancel},
  };
  TQtPrompts prompts(nullptr);
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &r - rows);
    auto script = vtest::OnNextModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->windowTitle(), "Vellumet");
      EXPECT_EQ(box->text(), "Project <b>Ünï</b>.sw0 has been modified. Save it?");
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      EXPECT_EQ(box->icon(), r.qtIcon);
      EXPECT_EQ(box->standardButtons(), r.qtButtons);
      if (r.press == Qt::Key_Return || r.press == Qt::Key_Escape)
        QTest::keyClick(box, Qt::Key(r.press));
      else
        box->button(QMessageBox::StandardButton(r.press))->click();
    });
    EXPECT_EQ(prompts.MessageBox("Project <b>Ünï</b>.sw0 has been modified. Save it?", "Vellumet",
                                 r.icon, r.buttons),
              r.answer);
  }
}

TEST_F(Dialogs, PromptsReuseTheSmallDialogs) {
  TQtPrompts prompts(nullptr);
  TNumberDialog number;
  TLimitsDialog limits;
  limits.Setup("Specifying the Frames to be Deleted", "", 5, 2, 4);
  std::vector<QWidget*> windows;
  auto ok = [&](QWidget* w) {
    windows.push_back(w);
    Click(w, "OK");
  };
  auto script = vtest::TModalScript({ok, ok, ok});
  EXPECT_TRUE(prompts.NumberDialog(number));
  EXPECT_TRUE(prompts.LimitsDialog(limits));
  EXPECT_TRUE(prompts.NumberDialog(number));
  ASSERT_EQ(windows.size(), 3u);
  EXPECT_EQ(windows[0], windows[2]);
  EXPECT_TRUE(qobject_cast<TfrmLimits*>(windows[1]));
  EXPECT_EQ(limits.From, "2");
  EXPECT_EQ(limits.To, "4");
}

TEST_F(Dialogs, TheFontDialogStartsAtTheFontAndKeepsItsColour) {
  TQtPrompts prompts(nullptr);
  TFontChoice font{"DejaVu Sans", 14, project::RGB(1, 2, 3), true, true};
  auto script = vtest::TModalScript({
      [](QWidget* w) {
        auto* dialog = qobject_cast<QFontDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->currentFont().family(), "DejaVu Sans");
        EXPECT_EQ(dialog->currentFont().pointSize(), 14);
        EXPECT_TRUE(dialog->currentFont().bold());
        EXPECT_TRUE(dialog->currentFont().italic());
        QFont serif("DejaVu Serif", 20);
        serif.setStyleName("Book");  // the plain style in the dialog's list
        dialog->setCurrentFont(serif);
        dialog->accept();
      },
      [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); },
  });
  ASSERT_TRUE(prompts.FontDialog(font));
  const TFontChoice chosen{"DejaVu Serif", 20, project::RGB(1, 2, 3), false, false};
  auto same = [](const TFontChoice& a, const TFontChoice& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Color == b.Color && a.Bold == b.Bold &&
           a.Italic == b.Italic;
  };
  EXPECT_TRUE(same(font, chosen));
  EXPECT_FALSE(prompts.FontDialog(font));
  EXPECT_TRUE(same(font, chosen));
}

TEST_F(Dialogs, TheColourDialogUsesTheHookOrAPlainColourDialog) {
  TQtPrompts prompts(nullptr);
  TColorDialog colors(prompts);
  colors.DialogColor = project::RGB(10, 20, 30);
  colors.Open();
  auto script = vtest::TModalScript({
      [](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->currentColor(), QColor(10, 20, 30));
        dialog->setCurrentColor(QColor(200, 100, 50));
        dialog->accept();
      },
      [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); },
  });
  ASSERT_TRUE(prompts.ColorDialog(colors));
  EXPECT_EQ(colors.DialogColor, project::RGB(200, 100, 50));
  EXPECT_FALSE(prompts.ColorDialog(colors));
  EXPECT_EQ(colors.DialogColor, project::RGB(200, 100, 50));

  TColorDialog* handled = nullptr;
  prompts.ColorDialogHandler = [&](TColorDialog& d) {
    handled = &d;
    return false;
  };
  EXPECT_FALSE(prompts.ColorDialog(colors));
  EXPECT_EQ(handled, &colors);
}

TEST_F(Dialogs, TheClipboardCarriesUnicodeText) {
  gui::TQtClipboard clipboard;
  const std::string text = "[Object]\r\nÜber – “Vellumet” ✓\r\n";
  clipboard.SetText(text);
  EXPECT_EQ(clipboard.Text(), text);
  clipboard.SetText("");
  EXPECT_EQ(clipboard.Text(), "");
}

TEST_F(Dialogs, SettingsRoundTripThroughAnIniFile) {
  vtest::TTempSettingsFile file;
  const std::pair<std::string, std::string> values[] = {
      {"LastDir", "/home/jürgen/Banners, 2024/"},
      {"L", "-8"},
      {"Tips", "true"},
      {"MRUD1", "C:\\A\\B.sw0"},
      {"MRUD2", ""},
  };
  {
    gui::TQtSettingsStore store(file.Path());
    EXPECT_FALSE(store.OpenKey(false));  // nothing stored yet
    ASSERT_TRUE(store.OpenKey(true));
    for (const auto& [name, value] : values) store.Write(name, value);
  }
  gui::TQtSettingsStore store(file.Path());
  ASSERT_TRUE(store.OpenKey(false));
  for (const auto& [name, value] : values) EXPECT_EQ(store.Read(name), value) << name;
  EXPECT_EQ(store.Read("T"), std::nullopt);

  gui::TQtSettingsStore unreachable(file.Path() + "/below-a-file.ini");
  EXPECT_FALSE(unreachable.OpenKey(true));
}

}  // namespace
