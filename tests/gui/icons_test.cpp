// The painted icons, offscreen: every icon at the sizes and pixel ratios the
// tool bars ask for, its disabled look, crisp straight edges and the mode
// colours. DISABLED_WritesContactSheet draws all of them into one picture
// for a look by eye.
#include "gui/icons.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <set>

namespace {

using gui::TIcon;

class Icons : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "icons_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = new QApplication(argc, argv);
  }

  // In device pixels, at ratio 1, so images of both ratios compare and draw alike.
  static QImage Draw(TIcon which, int size, qreal ratio = 1, QIcon::Mode mode = QIcon::Normal) {
    QImage image = gui::MakeIcon(which).pixmap(QSize(size, size), ratio, mode).toImage();
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_ARGB32);
  }

  static int DistinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    }
    return static_cast<int>(colours.size());
  }

  static inline QApplication* app_ = nullptr;
};

constexpr int kSizes[] = {16, 24, 32};
constexpr qreal kRatios[] = {1, 2};

TEST_F(Icons, EveryIconPaintsAtEverySizeAndRatio) {
  for (TIcon which : gui::AllIcons()) {
    for (int size : kSizes) {
      for (qreal ratio : kRatios) {
        SCOPED_TRACE(testing::Message()
                     << "icon " << static_cast<int>(which) << " at " << size << " x" << ratio);
        const QPixmap pixmap = gui::MakeIcon(which).pixmap(QSize(size, size), ratio);
        EXPECT_EQ(pixmap.size(), QSize(size, size) * ratio);
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        const QImage image = pixmap.toImage();
        EXPECT_GT(DistinctColours(image), 2) << "blank or a single colour";
        EXPECT_NE(image, Draw(which, size, ratio, QIcon::Disabled)) << "disabled looks the same";
      }
    }
  }
}

TEST_F(Icons, NoTwoIconsLookAlike) {
  std::vector<QImage> drawn;
  for (TIcon which : gui::AllIcons()) {
    const QImage image = Draw(which, 16);
    for (size_t other = 0; other < drawn.size(); ++other) {
      EXPECT_NE(image, drawn[other]) << "icons " << other + 1 << " and " << int(which);
    }
    drawn.push_back(image);
  }
}

// An outline on a pixel boundary is one full row of ink, not two rows at
// half strength.
TEST_F(Icons, StraightEdgesAreCrisp) {
  const TIcon boxed[] = {TIcon::Rectangle, TIcon::Text, TIcon::InsertFrame, TIcon::NewProject};
  for (TIcon which : boxed) {
    for (int pixels : {16, 20, 24, 32, 48, 64}) {
      SCOPED_TRACE(testing::Message() << "icon " << static_cast<int>(which) << " at " << pixels);
      const QImage image = Draw(which, pixels);
      const int middle = pixels / 2 - 1;
      int top = 0;
      while (top < pixels && qAlpha(image.pixel(middle, top)) == 0) ++top;
      ASSERT_LT(top, pixels);
      EXPECT_EQ(qAlpha(image.pixel(middle, top)), 255);
      int left = 0;
      const int row = pixels * 2 / 3;
      while (left < pixels && qAlpha(image.pixel(left, row)) == 0) ++left;
      ASSERT_LT(left, pixels);
      EXPECT_EQ(qAlpha(image.pixel(left, row)), 255);
    }
  }
}

TEST_F(Icons, PaintFollowsThePaintersPixelRatio) {
  QImage target(QSize(48, 48), QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(2);
  target.fill(Qt::transparent);
  {
    QPainter painter(&target);
    gui::MakeIcon(TIcon::Star).paint(&painter, QRect(0, 0, 24, 24));
  }
  target.setDevicePixelRatio(1);
  EXPECT_TRUE(target.convertToFormat(QImage::Format_ARGB32) == Draw(TIcon::Star, 24, 2));
}

// The mode button shows the mode's colour: blue, red, green.
TEST_F(Icons, ModeLooksCarryTheModeColours) {
  struct TRow {
    project::TEditMode mode;
    int (*channel)(QRgb);
  };
  const TRow rows[] = {{project::TEditMode::emAnimation, qBlue},
                       {project::TEditMode::emLocked, qRed},
                       {project::TEditMode::emAllFrames, qGreen}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.mode));
    const QImage image = Draw(gui::ModeIcon(row.mode), 32);
    long sums[3] = {0, 0, 0};
    long own = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qAlpha(pixel) < 255) continue;
        sums[0] += qRed(pixel);
        sums[1] += qGreen(pixel);
        sums[2] += qBlue(pixel);
        own += row.channel(pixel);
      }
    }
    EXPECT_EQ(own, *std::max_element(sums, sums + 3));
  }
}

TEST_F(Icons, PaletteIconsFollowTheShapeKinds) {
  EXPECT_EQ(gui::PaletteIcon(project::skRectangle), TIcon::Rectangle);
  EXPECT_EQ(gui::PaletteIcon(project::skStar), TIcon::Star);
  EXPECT_EQ(gui::PaletteIcon(project::skButton), TIcon::Button);
}

// Run with --gtest_also_run_disabled_tests; writes /tmp/vellumet-icons.png
// (every icon at 16, 24 and 32 at 1x and 2x, then disabled, on a light and
// a dark window) and /tmp/vellumet-icons-zoom.png (1x pixels enlarged 6x).
TEST_F(Icons, DISABLED_WritesContactSheet) {
  const QColor backgrounds[] = {QColor(0xef, 0xef, 0xef), QColor(0x2a, 0x2c, 0x30)};
  constexpr int kCell = 70;
  const int columns = 7;
  QImage sheet(QSize(2 * columns * kCell, gui::kIconCount * kCell), QImage::Format_ARGB32);
  QImage zoom(QSize(2 * 3 * 6 * 34, gui::kIconCount * 6 * 34), QImage::Format_ARGB32);
  QPainter paint(&sheet);
  QPainter paintZoom(&zoom);
  for (int half = 0; half < 2; ++half) {
    paint.fillRect(half * columns * kCell, 0, columns * kCell, sheet.height(), backgrounds[half]);
    paintZoom.fillRect(half * zoom.width() / 2, 0, zoom.width() / 2, zoom.height(),
                       backgrounds[half]);
  }
  for (int row = 0; row < gui::kIconCount; ++row) {
    const TIcon which = gui::AllIcons()[row];
    for (int half = 0; half < 2; ++half) {
      int column = half * columns;
      for (qreal ratio : kRatios) {
        for (int size : kSizes) {
          paint.drawImage(column++ * kCell + 2, row * kCell + 2, Draw(which, size, ratio));
        }
      }
      paint.drawImage(column * kCell + 2, row * kCell + 2, Draw(which, 32, 1, QIcon::Disabled));
      int x = half * zoom.width() / 2;
      for (int size : kSizes) {
        const QImage image = Draw(which, size);
        paintZoom.drawImage(QRect(x + 6, row * 6 * 34 + 6, size * 6, size * 6), image);
        x += 6 * 34;
      }
    }
  }
  paint.end();
  paintZoom.end();
  ASSERT_TRUE(sheet.save("/tmp/vellumet-icons.png"));
  ASSERT_TRUE(zoom.save("/tmp/vellumet-icons-zoom.png"));
}

}  // namespace
