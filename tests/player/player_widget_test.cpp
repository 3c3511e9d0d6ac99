// The player widget, driven offscreen: loading, going to a frame, scaling,
// pointer events in stage pixels, and a button's states and link.
#include "player/player_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <cstdio>
#include <filesystem>

#include "player/button_movie.h"
#include "player/player_error.h"
#include "player/sound_support.h"
#include "player/swf_builder.h"
#include "player/swf_reader.h"
#include "support/bytes.h"

namespace {

using namespace player;

class PlayerWidget : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "player_widget_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = new QApplication(argc, argv);
  }

  // Writes the movie to a file, loads it and deletes the file at once.
  void LoadFromFile(TPlayerWidget& w, const vtest::SwfBytes& swf) {
    const std::string path = vtest::KeepSwfForParserCheck("player-widget.swf", swf);
    const std::string copy = vtest::TestTempDir() + "/movie.swf";
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    w.LoadMovie(QString::fromStdString(copy));
    std::filesystem::remove(copy);
  }

  static QRgb PixelAt(TPlayerWidget& w, int x, int y) { return w.grab().toImage().pixel(x, y); }

  static void Send(TPlayerWidget& w, QEvent::Type type, QPointF pos) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
  }

  static inline QApplication* app_ = nullptr;
};

TEST_F(PlayerWidget, LoadsShowsAndScalesTheMovie) {
  TPlayerWidget w;
  w.resize(100, 100);
  LoadFromFile(w, vtest::ButtonMovie());
  EXPECT_EQ(w.FrameCount(), 1);
  EXPECT_TRUE(w.IsPlaying());
  EXPECT_EQ(w.sizeHint(), QSize(100, 100));
  EXPECT_EQ(PixelAt(w, 50, 50), qRgb(255, 0, 0));  // 1:1, button up state
  EXPECT_EQ(PixelAt(w, 20, 20), qRgb(255, 255, 255));
  w.resize(200, 100);  // ShowAll: the stage is centred at x 50..150
  EXPECT_EQ(PixelAt(w, 100, 50), qRgb(255, 0, 0));
  EXPECT_EQ(PixelAt(w, 75, 50), qRgb(255, 255, 255));
  w.SetBackgroundColor(0x123456);
  EXPECT_EQ(PixelAt(w, 10, 50), qRgb(0x12, 0x34, 0x56));  // around the stage
  EXPECT_EQ(w.ToStage(QPointF(100, 50)), QPointF(50, 50));
  w.GotoFrame(0);
  w.Stop();
  EXPECT_FALSE(w.IsPlaying());
  EXPECT_THROW(w.LoadMovie(QString("/nonexistent/movie.swf")), EPlayerError);
  EXPECT_EQ(w.FrameCount(), 1);  // the movie stays
}

// The button is placed again in every frame, as this program's movies do:
// its over and down states stay on through the frames, and the release
// hands the link to the desktop's opener (a double here).
TEST_F(PlayerWidget, ReportsThePointerInStagePixelsAndDrivesButtons) {
  TPlayerWidget w;
  w.resize(200, 200);  // twice the stage: widget pixels are half stage pixels
  std::vector<QUrl> opened;
  w.SetLinkOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  LoadFromFile(w, vtest::ButtonMovie(2));
  w.Stop();
  std::vector<QPointF> moves, presses, releases;
  std::vector<QString> urls;
  QObject::connect(&w, &TPlayerWidget::mouseMoved, [&](QPointF p) { moves.push_back(p); });
  QObject::connect(&w, &TPlayerWidget::mousePressed, [&](QPointF p) { presses.push_back(p); });
  QObject::connect(&w, &TPlayerWidget::mouseReleased, [&](QPointF p) { releases.push_back(p); });
  QObject::connect(
      &w, &TPlayerWidget::urlRequested,
      [&](const QString& url, const QString& target) { urls.push_back(url + " " + target); });
  Send(w, QEvent::MouseMove, QPointF(20, 20));
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0], QPointF(10, 10));
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

  Send(w, QEvent::MouseMove, QPointF(100, 100));  // over the button
  EXPECT_EQ(w.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(PixelAt(w, 100, 100), qRgb(0, 255, 0));  // over state
  w.GotoFrame(1);
  EXPECT_EQ(PixelAt(w, 100, 100), qRgb(0, 255, 0));
  Send(w, QEvent::MouseButtonPress, QPointF(100, 100));
  EXPECT_EQ(PixelAt(w, 100, 100), qRgb(0, 0, 255));  // down state
  w.GotoFrame(0);
  EXPECT_EQ(PixelAt(w, 100, 100), qRgb(0, 0, 255));
  EXPECT_TRUE(opened.empty());
  Send(w, QEvent::MouseButtonRelease, QPointF(100, 100));
  ASSERT_EQ(presses.size(), 1u);
  EXPECT_EQ(presses[0], QPointF(50, 50));
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(urls, std::vector<QString>{"http://example.com/ _blank"});
  EXPECT_EQ(opened, std::vector<QUrl>{QUrl("http://example.com/")});
  EXPECT_EQ(PixelAt(w, 100, 100), qRgb(0, 255, 0));

  QStringList failed;  // an opener that cannot start the browser is reported
  QObject::connect(&w, &TPlayerWidget::linkFailed, [&](const QString& url) { failed << url; });
  w.SetLinkOpener([](const QUrl&) { return false; });
  Send(w, QEvent::MouseButtonPress, QPointF(100, 100));
  Send(w, QEvent::MouseButtonRelease, QPointF(100, 100));
  EXPECT_EQ(failed, QStringList{"http://example.com/"});
}

// The canvas stays silent; with an output the roll-over sound is written
// as the pointer comes on, Stop and loading silence it at once, and muted
// it is written as silence.
TEST_F(PlayerWidget, PlaysSoundsOnlyWithAudioAndStopSilencesThem) {
  TPlayerWidget w;
  w.resize(100, 100);
  EXPECT_FALSE(w.AudioEnabled());
  const auto movie = vtest::RollOverSoundMovie(4410);
  w.LoadMovie(movie);
  auto capture = std::make_unique<TCaptureOutput>(44100, 8192);
  TCaptureOutput& out = *capture;
  w.SetAudioOutput(std::move(capture));
  EXPECT_TRUE(w.AudioEnabled());

  Send(w, QEvent::MouseMove, {20, 20});
  EXPECT_GT(out.Queued(), 0u) << "written at once";
  w.Stop();
  EXPECT_EQ(out.Queued(), 0u);

  w.Play();
  Send(w, QEvent::MouseMove, {80, 80});
  Send(w, QEvent::MouseMove, {20, 20});
  EXPECT_GT(out.Queued(), 0u);
  w.LoadMovie(movie);
  EXPECT_EQ(out.Queued(), 0u) << "another movie silences the last one";

  w.SetMuted(true);
  EXPECT_TRUE(w.Muted());
  Send(w, QEvent::MouseMove, {80, 80});
  Send(w, QEvent::MouseMove, {20, 20});
  const size_t queued = out.Queued();
  EXPECT_GT(queued, 0u) << "muted sounds go on";
  out.Play(queued);
  for (int16_t v : out.Heard()) ASSERT_EQ(v, 0);
  w.SetAudioOutput(nullptr);
  EXPECT_FALSE(w.AudioEnabled());
}

// A 20 x 20 stage filled with picture 7, whose JPEG data is cut short in its
// frame header, so it cannot be decoded.
std::shared_ptr<const TMovie> DamagedPictureMovie() {
  vtest::TSwfBuilder b(20, 20);
  b.Tag(swf::tagDefineBitsJPEG2, {7, 0, 0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08});
  vtest::TShapeBody s(2, 2, {0, 400, 0, 400});
  s.Style(0, s.BitmapFill(0x41, 7, vtest::Affine(20, 0, 0, 20, 0, 0)), 0, 0, 0);
  s.Rect(0, 0, 400, 400);
  b.Tag(swf::tagDefineShape2, s.Finish());
  b.Place(2, 1);
  b.ShowFrame();
  return std::make_shared<const TMovie>(ReadMovie(b.Build()));
}

// The count of pictures the player cannot decode follows the paints: it
// comes with the first paint of every movie (0 too, so that a message can
// be taken back) and again only when it changes.
TEST_F(PlayerWidget, ReportsThePicturesItCannotDecode) {
  TPlayerWidget w;
  w.resize(100, 100);
  QSignalSpy counts(&w, &TPlayerWidget::undrawablePictures);
  w.LoadMovie(DamagedPictureMovie());
  w.grab();
  w.grab();
  w.LoadMovie(DamagedPictureMovie());
  w.grab();
  LoadFromFile(w, vtest::ButtonMovie());
  w.grab();
  ASSERT_EQ(counts.size(), 3);
  EXPECT_EQ(counts[0][0].toInt(), 1);
  EXPECT_EQ(counts[1][0].toInt(), 1);
  EXPECT_EQ(counts[2][0].toInt(), 0);
}

}  // namespace
