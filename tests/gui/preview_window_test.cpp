// The preview window offscreen: a real movie loaded, the window sized around
// it, its status panes, the "Save SWF..." button and closing.
#include "gui/preview_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "gui/gui_app.h"
#include "player/player_error.h"
#include "player/player_widget.h"
#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;
using vtest::PaintedColor;

class PreviewWindow : public testing::Test {
 protected:
  // A request for the 250 x 120 showcase movie, copied into a file of its
  // own as the editor's build would leave it.
  editor::TPreviewRequest Request(int width = 250, int height = 120) {
    const std::string path = vtest::TestTempDir() + "/preview.swf";
    fs::copy_file(vtest::TestDataPath("player/showcase.swf"), path,
                  fs::copy_options::overwrite_existing);
    return {path, 0x336699, 0x008080, width, height, "File Size: 545 bytes"};
  }

  template <class W = QWidget>
  W* Find(const char* name) {
    W* w = window_.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  player::TPlayerWidget* Player() { return Find<player::TPlayerWidget>("SWFPlayer"); }
  int StatusHeight() { return window_.findChild<QStatusBar*>()->height(); }

  QApplication& app_ = vtest::GuiApp();
  gui::TfrmSWF window_;
};

TEST_F(PreviewWindow, ShowsTheMovieInAWindowSizedAroundIt) {
  const editor::TPreviewRequest request = Request();
  window_.Show(request);
  fs::remove(request.MoviePath);  // the player has read it whole
  ASSERT_TRUE(window_.IsOpen());
  EXPECT_EQ(window_.windowTitle(), "SWF Preview");
  EXPECT_TRUE(window_.isWindow());
  EXPECT_GE(Player()->FrameCount(), 1);
  EXPECT_TRUE(Player()->IsPlaying());
  EXPECT_EQ(Player()->BackgroundColor(), 0x336699);

  const int status = StatusHeight();
  EXPECT_EQ(Player()->size(), QSize(250, 120));
  EXPECT_EQ(window_.size(), QSize(250 + 30, 120 + status + 30));
  EXPECT_EQ(window_.minimumSize(), QSize(250, 120 + status));
  EXPECT_EQ(Player()->pos(), QPoint(15, 15));
  EXPECT_EQ(PaintedColor(&window_, {3, 3}), QColor(0, 128, 128));  // the site's colour

  const QRect screen = window_.screen()->geometry();
  const QSize outer = window_.frameGeometry().size();
  EXPECT_EQ(window_.pos(), QPoint(screen.x() + (screen.width() - outer.width()) / 2,
                                  screen.y() + (screen.height() - outer.height()) / 2));

  const char* texts[] = {"OK", "File Size: 545 bytes", "", ""};
  const char* roles[] = {"State", "File size", "Status", "Message"};
  const int widths[] = {150, 150, 81};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    auto* pane = Find<QLabel>(("Pane" + std::to_string(i + 1)).c_str());
    EXPECT_EQ(pane->text(), texts[i]);
    // A screen reader reads the pane's text, not only what the pane is.
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(pane);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->text(QAccessible::Name), texts[i]);
    EXPECT_EQ(reader->text(QAccessible::Description), roles[i]);
    if (i < 3) {
      EXPECT_EQ(pane->width(), widths[i]);
    }
  }
  // The button stays in view although the panes are wider than the window.
  EXPECT_TRUE(window_.rect().contains(Find("SaveSWF")->geometry().translated(
      Find("SaveSWF")->parentWidget()->mapTo(&window_, QPoint(0, 0)))));
  EXPECT_TRUE(Find<QPushButton>("SaveSWF")->font().bold());
  EXPECT_EQ(Find<QPushButton>("SaveSWF")->text(), "Save SWF...");
  EXPECT_TRUE(window_.HasSaveButton());
}

TEST_F(PreviewWindow, KeepsThePlayerCentredWhenResized) {
  window_.Show(Request());
  const int status = StatusHeight();
  struct Row {
    QSize window;
    QPoint player;
  };
  const Row rows[] = {
      {{401, 300}, {(401 - 250) / 2, (300 - status - 120) / 2}},
      {{200, 100 + status}, {-25, -10}},  // smaller than the movie: offsets go negative
      {{251, 121 + status}, {0, 0}},      // halves round toward zero
  };
  window_.setMinimumSize(1, 1);  // as small as the user may drag it on some desktops
  for (const Row& row : rows) {
    SCOPED_TRACE(row.window.width());
    window_.resize(row.window);
    EXPECT_EQ(Player()->pos(), row.player);
  }
}

TEST_F(PreviewWindow, TheButtonSavesAndClosingStopsThePlayer) {
  int saves = 0, closes = 0;
  window_.OnSaveClicked = [&] { ++saves; };
  window_.OnClosed = [&] { ++closes; };
  window_.Show(Request());
  QTest::mouseClick(Find("SaveSWF"), Qt::LeftButton);
  EXPECT_EQ(saves, 1);

  window_.Stop();
  EXPECT_FALSE(Player()->IsPlaying());
  window_.Play();
  EXPECT_TRUE(Player()->IsPlaying());

  window_.close();  // as the user closes it
  EXPECT_FALSE(window_.IsOpen());
  EXPECT_FALSE(Player()->IsPlaying());
  EXPECT_EQ(closes, 1);

  window_.Show(Request());
  EXPECT_TRUE(Player()->IsPlaying());
  window_.Close();  // as the editor closes it: the editor knows already
  EXPECT_FALSE(window_.IsOpen());
  EXPECT_FALSE(Player()->IsPlaying());
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(saves, 1);
}

TEST_F(PreviewWindow, ASecondPreviewStaysWhereTheUserLeftTheWindow) {
  window_.Show(Request());
  window_.move(40, 30);
  window_.close();
  window_.Show(Request(100, 50));
  EXPECT_EQ(window_.pos(), QPoint(40, 30));
  EXPECT_EQ(window_.size(), QSize(100 + 30, 50 + StatusHeight() + 30));
  EXPECT_EQ(Player()->size(), QSize(100, 50));
}

TEST_F(PreviewWindow, AnUnreadableMovieLeavesTheWindowAsItWas) {
  editor::TPreviewRequest broken = Request(300, 200);
  broken.MoviePath += ".missing";
  EXPECT_THROW(window_.Show(broken), player::EPlayerError);
  EXPECT_FALSE(window_.IsOpen());

  window_.Show(Request());
  const QSize size = window_.size();
  vtest::WriteText(broken.MoviePath, "FWS not a movie");
  EXPECT_THROW(window_.Show(broken), player::EPlayerError);
  EXPECT_EQ(window_.size(), size);
  EXPECT_EQ(Player()->size(), QSize(250, 120));
  EXPECT_TRUE(Player()->IsPlaying());
}

}  // namespace
