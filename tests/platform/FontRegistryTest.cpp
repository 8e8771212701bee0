#include "platform/FontRegistry.h"

#include <QFileInfo>
#include <QFont>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts");

TEST(FontRegistryTest, WineFontsResolveInQtAndPango) {
  if (!QFileInfo::exists(kWineFonts + QStringLiteral("/tahoma.ttf"))) GTEST_SKIP() << "fonts-wine is not installed";
  EXPECT_TRUE(RegisterFontFile(kWineFonts + QStringLiteral("/tahoma.ttf")));
  EXPECT_TRUE(RegisterFontFile(kWineFonts + QStringLiteral("/webdings.ttf")));
  EXPECT_TRUE(QtHasFontFamily(QStringLiteral("Tahoma")));
  EXPECT_TRUE(PangoHasFontFamily(QStringLiteral("Tahoma")));
  EXPECT_TRUE(PangoHasFontFamily(QStringLiteral("webdings")));
  EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Tahoma"), 8)).family(), QStringLiteral("Tahoma"));
}

TEST(FontRegistryTest, MissingFilesAreRefusedWithoutHarm) {
  EXPECT_FALSE(RegisterFontFile(QStringLiteral("/nonexistent/font.ttf")));
  EXPECT_FALSE(QtHasFontFamily(QStringLiteral("No Such Family 12345")));
  EXPECT_FALSE(PangoHasFontFamily(QStringLiteral("No Such Family 12345")));
}

}  // namespace
