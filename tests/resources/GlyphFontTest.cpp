#include "resources/GlyphFont.h"

#include "platform/FontRegistry.h"
#include "platform/RWError.h"
#include "resources/Resources.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTemporaryDir>

#include <pango/pangocairo.h>

#include <gtest/gtest.h>

namespace {

class GlyphFontTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir();
    path_ = new QString(RegisterGlyphFont(folder_->path() + QStringLiteral("/Temp")));
  }
  static void TearDownTestSuite() {
    delete path_;
    delete folder_;
  }
  static QTemporaryDir* folder_;
  static QString* path_;
};
QTemporaryDir* GlyphFontTest::folder_ = nullptr;
QString* GlyphFontTest::path_ = nullptr;

QStringList GlyphCharacters() {
  QStringList characters;
  for (const ResourceInfo& info : ResourceManifest())
    if (info.type == kResGlyph) characters << info.name;
  return characters;
}

int InkInCentre(const QImage& image, const QRect& box) {
  int ink = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) ink += qAlpha(image.pixel(x, y)) > 64;
  return ink;
}

TEST_F(GlyphFontTest, WrittenToTheFolderAndResolvedUnderBothSpellings) {
  EXPECT_TRUE(QFileInfo::exists(*path_));
  EXPECT_EQ(QFileInfo(*path_).fileName(), QStringLiteral("RW2Dings.ttf"));
  for (const QString family : {"RW2Dings", "RW2dings"}) {
    SCOPED_TRACE(family.toStdString());
    EXPECT_TRUE(QtHasFontFamily(family));
    EXPECT_TRUE(PangoHasFontFamily(family));
    EXPECT_EQ(QFontInfo(QFont(family, 20)).family(), kGlyphFontFamily);
  }
}

TEST_F(GlyphFontTest, PangoDrawsWithTheFontItselfUnderBothSpellings) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  for (const char* family : {"RW2dings", "RW2Dings"}) {
    PangoFontDescription* wanted = pango_font_description_from_string(family);
    pango_font_description_set_absolute_size(wanted, 48 * PANGO_SCALE);
    PangoFont* font = pango_font_map_load_font(map, context, wanted);
    ASSERT_NE(font, nullptr);
    PangoFontDescription* got = pango_font_describe(font);
    EXPECT_STREQ(pango_font_description_get_family(got), "RW2Dings") << family;
    pango_font_description_free(got);
    g_object_unref(font);
    pango_font_description_free(wanted);
  }
  g_object_unref(context);
}

TEST_F(GlyphFontTest, EveryGlyphTheProgramDrawsHasAnOutline) {
  const QRawFont raw(*path_, 48);
  ASSERT_TRUE(raw.isValid());
  const QStringList characters = GlyphCharacters();
  EXPECT_GE(characters.size(), 50);
  for (const QString& c : characters) {
    SCOPED_TRACE(c.toStdString());
    const QList<quint32> glyphs = raw.glyphIndexesForString(c);
    ASSERT_EQ(glyphs.size(), 1);
    ASSERT_NE(glyphs.first(), 0u) << "not in the font";
    EXPECT_FALSE(raw.pathForGlyph(glyphs.first()).isEmpty());
  }
}

TEST_F(GlyphFontTest, GridMarksFrameTheThumbnailWithoutCoveringIt) {
  // Tile cells are 104 x 79 with the mark drawn at 72 points (96 pixels) over a
  // 100 x 75 thumbnail: the marks live at the edges and corners.
  QFont font(QStringLiteral("RW2Dings"));
  font.setPixelSize(96);
  for (const QString code : {"0", "1", "2", "3", "4", "5", "8", "9"}) {
    SCOPED_TRACE(code.toStdString());
    QImage cell(104, 79, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    QPainter p(&cell);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(cell.rect(), Qt::AlignCenter, code);
    p.end();
    EXPECT_EQ(InkInCentre(cell, QRect(22, 16, 60, 47)), 0) << "covers the picture";
    EXPECT_GT(InkInCentre(cell, cell.rect()), 40) << "draws nothing";
    EXPECT_LT(InkInCentre(cell, cell.rect()), 104 * 79 / 2) << "a solid shape";
  }
}

TEST(GlyphFontErrorsTest, UnwritableFolderIsReported) {
  QTemporaryDir dir;
  QFile blocker(dir.filePath(QStringLiteral("file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  try {
    RegisterGlyphFont(dir.filePath(QStringLiteral("file/Temp")));
    FAIL() << "no error";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrFileAccess);
  }
}

}  // namespace
