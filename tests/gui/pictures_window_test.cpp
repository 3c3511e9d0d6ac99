// Pictures, buttons and their media in the editor window, offscreen: the
// size fields after a picture comes or changes, picture files the program
// cannot use, media missing from an opened project, and the small fields
// around them (the frame count's limit, Loop Playback's accessibility action).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "editor/editor.h"
#include "gui/canvas.h"
#include "gui/editor_window_fixture.h"
#include "gui/gui_support.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/palette_strip.h"
#include "gui/preview_window.h"
#include "gui/property_panel.h"
#include "gui/qt_services.h"
#include "support/pictures.h"

namespace {

namespace fs = std::filesystem;
using editor::TCtl;
using TStep = vtest::TModalAction;

TStep Ok(QString* text = nullptr) {
  return [text](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      if (text) *text = box->text();
      return box->button(QMessageBox::Ok)->click();
    }
    ASSERT_EQ(text, nullptr) << "a message box was expected";
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
      if (b->text().remove('&') == "OK" && b->isVisible()) return b->click();
    ADD_FAILURE() << "no OK button";
  };
}

TStep ChooseFile(const QString& path) {
  return [path](QWidget* w) { vtest::ChooseFileIn(w, path); };
}

// A plain 24-bit BMP of the size, black.
vtest::Bytes BlackBmp(int w, int h) {
  vtest::BmpFile bmp;
  bmp.Width = w;
  bmp.Height = h;
  bmp.Pixels.assign(size_t((w * 3 + 3) & ~3) * size_t(h), 0);
  return vtest::MakeBmp(bmp);
}

// A JPEG whose headers read well but whose frame names a quantisation table
// the file lacks: it passes the check when it is chosen, and no player can
// decode it.
vtest::Bytes UndecodableJpeg() {
  vtest::Bytes jpeg = vtest::MakeJpeg(16, 16, false);
  for (size_t i = 0; i + 12 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 12] = 3;  // the first component's table
      break;
    }
  return jpeg;
}

class PicturesWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::GuiApp(); }
  void SetUp() override { Open({}); }

  void Open(std::vector<std::string> args) {
    window_.reset();
    window_ = vtest::ShowEditorWindow(home_, std::move(args));
  }

  QString Write(const QString& name, const vtest::Bytes& bytes) {
    const QString path = home_.filePath(name);
    vtest::WriteText(path.toStdString(), std::string(bytes.begin(), bytes.end()));
    return path;
  }

  editor::TEditor& Editor() { return window_->Editor(); }
  project::TProjectDocument& Doc() { return Editor().Doc(); }
  QWidget* Control(TCtl c) { return window_->PanelView()->Control(c); }
  QString Shown(TCtl c) {
    QWidget* w = Control(c);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    auto* edit = w->findChild<QLineEdit*>();
    return edit ? edit->text() : QString();
  }
  QString StatusPane(int n) {
    auto* pane = window_->findChild<QLabel*>(QString("pane%1").arg(n));
    return pane ? pane->text() : QString();
  }
  void AddPicture(int kind, const QString& path) {
    vtest::TModalScript script({ChooseFile(path), Ok()});  // the file, then the frames
    window_->Canvas()->Palette()->Button(kind)->click();
  }

  QAction* Act(const char* name) { return window_->Actions()->Action(name); }
  QString PreviewMessage() {
    auto* preview = window_->findChild<gui::TfrmSWF*>();
    return preview ? preview->findChild<QLabel*>("Pane4")->text() : QString();
  }
  // The players report after they paint.
  static void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  QTemporaryDir home_;
  std::unique_ptr<gui::TfrmMain> window_;
};

// W and H show the stored size as soon as the picture comes or changes,
// also when it is larger than the fields' limits for drawn shapes; the new
// picture is the object the selection and the status bar speak of.
TEST_F(PicturesWindowTest, SizeFieldsShowThePicturesStoredSizeAtOnce) {
  {
    vtest::TModalScript range({Ok()});
    window_->Canvas()->Palette()->Button(project::skRectangle)->click();
  }
  Doc().SelectedSlots.set(1);
  const project::TShapeRec& rectangle = Doc().Frames[1].Slots[1];
  Editor().SWF1MouseMove(rectangle.X + 2, rectangle.Y + 2);  // the pointer over it
  ASSERT_NE(Editor().Panel().StatusPanes[3].find("Rectangle"), std::string::npos);
  AddPicture(project::skPicture, Write("small.jpg", vtest::MakeJpeg(120, 60, false)));
  EXPECT_EQ(Shown(editor::SE13), "120");
  EXPECT_EQ(Shown(editor::SE14), "60");
  EXPECT_TRUE(Doc().SelectedSlots.none());
  EXPECT_EQ(StatusPane(4).toStdString(), Editor().Panel().StatusPanes[3]);
  EXPECT_EQ(Editor().Panel().StatusPanes[3].find("Rectangle"), std::string::npos);

  const QString wide = Write("wide.bmp", BlackBmp(2000, 20));
  {
    vtest::TModalScript script({ChooseFile(wide)});
    qobject_cast<QAbstractButton*>(Control(editor::btnReplacePicture))->click();
  }
  EXPECT_EQ(Doc().Frames[1].Slots[2].W, 2000);
  EXPECT_EQ(Shown(editor::SE13), "2000");
  EXPECT_EQ(Shown(editor::SE14), "20");
}

// A file that is no picture the program can use is refused before the
// frame range is asked, in a message naming the file the user chose.
TEST_F(PicturesWindowTest, UnusablePictureFilesAreRefusedNamingTheChosenFile) {
  struct TCase {
    const char* Name;
    std::string Content;
    const char* Reason;
  } cases[] = {
      {"notes.jpg", "Just some words.\n", "not a picture"},
      {"photo.jpg", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\0'), "PNG"},
      {"broken.bmp", "BM\x10\0\0\0", "BMP"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString path = Write(c.Name, vtest::Bytes(c.Content.begin(), c.Content.end()));
    QString message;
    {
      vtest::TModalScript script({ChooseFile(path), Ok(&message)});
      window_->Canvas()->Palette()->Button(project::skPicture)->click();
    }
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains(c.Reason)) << message.toStdString();
    EXPECT_EQ(Doc().Frames[1].Slots.LastUsed(), 0);
  }
}

// A picture no player can decode is said on the canvas while its frame is
// shown and in the preview while that movie plays; the next preview and
// the canvas without it say nothing more.
TEST_F(PicturesWindowTest, PicturesThatCannotBeDecodedAreSaid) {
  AddPicture(project::skPicture, Write("damaged.jpg", UndecodableJpeg()));
  ASSERT_EQ(Doc().Frames[1].Slots.LastUsed(), 1);
  Settle();
  EXPECT_TRUE(StatusPane(1).contains("A picture in this frame cannot be shown"))
      << StatusPane(1).toStdString();
  Act("actPreview")->trigger();
  Settle();
  EXPECT_TRUE(PreviewMessage().contains("A picture in the movie cannot be shown"))
      << PreviewMessage().toStdString();

  Act("actUndo")->trigger();
  Settle();
  EXPECT_EQ(Doc().Frames[1].Slots.LastUsed(), 0);
  EXPECT_FALSE(StatusPane(1).contains("cannot be shown")) << StatusPane(1).toStdString();
  Act("actPreview")->trigger();
  Settle();
  EXPECT_EQ(PreviewMessage().toStdString(), "");
}

// A project whose background sound and button picture and sound are gone:
// one message names them after opening with the button that chooses each
// again, and the fields show no file.
TEST_F(PicturesWindowTest, MissingMediaAreNamedOnceAfterOpening) {
  const QString glyph = Write("glyph.bmp", BlackBmp(30, 10));
  AddPicture(project::skButton, glyph);
  for (int32_t i = 1; i <= Doc().FrameCount; ++i)
    Doc().Frames[size_t(i)].Slots.Edit(1).SoundEv = home_.filePath("gone/click.wav").toStdString();
  Doc().Settings.MBkgrSound = home_.filePath("gone/music.mp3").toStdString();
  fs::remove(glyph.toStdString());
  const std::string project = home_.filePath("missing.sw0").toStdString();
  Doc().SaveMV_NEW(project);
  Doc().Modify(false);

  QString message;
  {
    vtest::TModalScript script({Ok(&message)});
    Open({project});
  }
  EXPECT_TRUE(message.contains("glyph.bmp")) << message.toStdString();
  EXPECT_TRUE(message.contains("click.wav")) << message.toStdString();
  EXPECT_TRUE(
      message.contains("music.mp3 (the background sound: choose it again with "
                       "\"Replace Sound...\" on the Movie page)"))
      << message.toStdString();
  EXPECT_TRUE(message.contains("\"Replace Glyph...\" on the Objects page"))
      << message.toStdString();
  EXPECT_TRUE(message.contains("\"Replace Sound...\" on the Objects page"))
      << message.toStdString();
  window_->PanelView()->setCurrentIndex(int(editor::TPage::Objects));
  EXPECT_EQ(Shown(editor::EPL1), "=No glyph selected=");
  EXPECT_EQ(Shown(editor::EPL3), "=No sound selected=");
  EXPECT_EQ(Shown(editor::EPL4), "=No sound selected=");
}

// The frame count's limit is said, not silently applied; Loop Playback
// ticked through the accessibility action is kept like a click.
TEST_F(PicturesWindowTest, FrameLimitIsSaidAndLoopTakesTheAccessibilityAction) {
  QString message;
  {
    vtest::TModalScript script({[](QWidget* w) {
                                  auto* edit = w->findChild<QLineEdit*>();
                                  ASSERT_NE(edit, nullptr);
                                  edit->selectAll();
                                  QTest::keyClicks(edit, "3000");
                                  Ok()(w);
                                },
                                Ok(&message)});
    Editor().CFramesChange();
  }
  EXPECT_EQ(Doc().FrameCount, 1000);
  EXPECT_TRUE(message.contains("1000")) << message.toStdString();

  auto* loop = qobject_cast<QCheckBox*>(Control(editor::ChLoop));
  ASSERT_NE(loop, nullptr);
  const bool before = Doc().Settings.MLoop == 1;
  QAccessibleInterface* access = QAccessible::queryAccessibleInterface(loop);
  ASSERT_NE(access, nullptr);
  ASSERT_NE(access->actionInterface(), nullptr);
  access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(Doc().Settings.MLoop == 1, !before);
}

}  // namespace
