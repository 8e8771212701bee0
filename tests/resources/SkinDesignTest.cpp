// Design rules the windows rely on when they lay the skin and the glyphs out.
#include "resources/GlyphFont.h"
#include "resources/Resources.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int Distance(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

QColor SchemeColour(int n) {
  static const QImage skin = LoadResPicture(QStringLiteral("MPLAYER"), kResCustom);
  static const QPoint points[] = {{8, 5}, {50, 50}, {75, 255}, {174, 313}};
  return skin.pixelColor(points[n - 1]);
}

TEST(SkinDesignTest, SchemeColoursAreTheDocumentedOnes) {
  EXPECT_LE(Distance(SchemeColour(1), QColor(150, 166, 190)), 6);
  EXPECT_LE(Distance(SchemeColour(2), QColor(238, 242, 247)), 6);
  EXPECT_LE(Distance(SchemeColour(3), QColor(116, 134, 159)), 6);
  EXPECT_LE(Distance(SchemeColour(4), QColor(20, 26, 38)), 6);
}

TEST(SkinDesignTest, BannersContinueTheDialogGradient) {
  // The dialogs paint colour 4 at the left running to colour 1 over the banner's width.
  for (const QString name : {"OPTIONS_BANNER", "ADD_FILES_BANNER", "SEARCH_BANNER"}) {
    SCOPED_TRACE(name.toStdString());
    const QImage banner = LoadResPicture(name, kResCustom);
    EXPECT_LE(Distance(banner.pixelColor(0, 2), SchemeColour(4)), 12);
    EXPECT_LE(Distance(banner.pixelColor(banner.width() - 1, 2), SchemeColour(1)), 16);
  }
}

TEST(SkinDesignTest, SelectionBandTilesWithoutASeam) {
  // Tiles are laid side by side every 182 pixels; the stripes repeat every 14.
  const QImage tile = LoadResPicture(QStringLiteral("SEL_TRACK"), kResBitmap);
  for (int y = 3; y < 7; ++y)
    for (int x = 0; x < tile.width(); ++x)
      ASSERT_LE(Distance(tile.pixelColor(x, y), tile.pixelColor((x + 14) % tile.width(), y)), 6) << x << "," << y;
}

TEST(SkinDesignTest, ButtonStatesLookDifferent) {
  for (int i = 1; i <= 15; ++i) {
    const QImage normal = LoadResPicture(QString::number(i) + QStringLiteral("_NORMAL"), kResBitmap);
    const QImage hover = LoadResPicture(QString::number(i) + QStringLiteral("_HOVER"), kResBitmap);
    const QImage down = LoadResPicture(QString::number(i) + QStringLiteral("_DOWN"), kResBitmap);
    EXPECT_EQ(normal.size(), hover.size()) << i;
    EXPECT_EQ(normal.size(), down.size()) << i;
    EXPECT_NE(normal, hover) << i;
    if (i != 15) {  // 15 is a picture beside the volume, not a button
      EXPECT_NE(normal, down) << i;
    }
  }
  // Play and pause lie on top of each other.
  EXPECT_EQ(LoadResPicture(QStringLiteral("3_NORMAL"), kResBitmap).size(),
            LoadResPicture(QStringLiteral("14_NORMAL"), kResBitmap).size());
}

TEST(SkinDesignTest, SoundsAreAudibleAndUnclipped) {
  for (const QString name : {"BEEP", "CLICK", "SCRAPE", "WHIP"}) {
    const QByteArray wav = LoadResData(name, kResSound);
    int peak = 0;
    for (int i = 44; i + 1 < wav.size(); i += 2)
      peak = std::max(peak, std::abs(int(qint16(uchar(wav[i]) | uchar(wav[i + 1]) << 8))));
    EXPECT_GT(peak, 4000) << name.toStdString();
    EXPECT_LE(peak, 32000) << name.toStdString();
  }
}

QImage DrawGlyph(const QString& text) {
  QImage image(120, 120, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  QFont font(kGlyphFontFamily);
  font.setPixelSize(96);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(10, 90, text);
  return image;
}

TEST(SkinDesignTest, ColourPatchFillsTheWellOfThePalette) {
  // The carousel draws "Q" in the named colour over "P" at the same place.
  QTemporaryDir folder;
  RegisterGlyphFont(folder.path());
  const QImage palette = DrawGlyph(QStringLiteral("P")), patch = DrawGlyph(QStringLiteral("Q"));
  int patchInk = 0, overlap = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x) {
      if (qAlpha(patch.pixel(x, y)) < 128) continue;
      ++patchInk;
      overlap += qAlpha(palette.pixel(x, y)) >= 128;
    }
  EXPECT_GT(patchInk, 200);
  EXPECT_LT(overlap, patchInk / 4);
}

}  // namespace
