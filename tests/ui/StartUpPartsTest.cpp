// What the start-up sequence sets up for the windows: the program's fonts and
// the scheme colours.
#include "platform/FontRegistry.h"
#include "resources/Resources.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"
#include "ui/modCairo.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramFontsTest, TahomaResolvesForQtAndPango) {
  if (!QFileInfo::exists(QString::fromLatin1(kWineFontFolder) + QStringLiteral("/tahoma.ttf"))) {
    GTEST_SKIP() << "fonts-wine is not installed";
  }
  EXPECT_TRUE(RegisterProgramFonts());
  EXPECT_TRUE(PangoHasFontFamily(QStringLiteral("Webdings")));
  QFont bold(QStringLiteral("Tahoma"), 9);
  bold.setBold(true);
  EXPECT_EQ(QFontInfo(bold).family(), QStringLiteral("Tahoma"));
  EXPECT_TRUE(QFontInfo(bold).bold());
}

// Another test of this binary may have registered the fonts already: the
// check then runs in a new process of this binary, where nothing has.
TEST(ProgramFontsTest, MissingFontsFallBackWithoutFailing) {
  if (QtHasFontFamily(QStringLiteral("Tahoma"))) {
    if (qEnvironmentVariableIsSet("RW_TEST_NEW_PROCESS")) GTEST_SKIP() << "Tahoma is installed on this machine";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("RW_TEST_NEW_PROCESS"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=ProgramFontsTest.MissingFontsFallBackWithoutFailing")});
    ASSERT_TRUE(child.waitForFinished(rwtest::kWaitCeilingMs));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    if (output.contains(QStringLiteral("[  SKIPPED ]"))) GTEST_SKIP() << "Tahoma is installed on this machine";
    return;
  }
  QTemporaryDir empty;
  EXPECT_FALSE(RegisterProgramFonts(empty.path()));
  EXPECT_FALSE(QFontInfo(QFont(QStringLiteral("Tahoma"), 10)).family().isEmpty());
  // Text in "Tahoma" is still measured and drawn, in the stand-in font.
  auto surface = modCairo::GetCairo()->CreateSurface(10, 10);
  auto cc = surface->Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 10);
  EXPECT_GT(cc->MeasureText(QStringLiteral("Tahoma")).Width, 20);
}

TEST(SchemeColoursTest, SampledAtTheFourPixelsOfThePlayerSkin) {
  QImage skin(324, 316, QImage::Format_RGB32);
  skin.fill(Qt::black);
  skin.setPixelColor(8, 5, QColor(10, 20, 30));
  skin.setPixelColor(50, 50, QColor(40, 50, 60));
  skin.setPixelColor(75, 255, QColor(70, 80, 90));
  skin.setPixelColor(174, 313, QColor(100, 110, 120));
  const auto colours = SampleSchemeColours(skin);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours->colour1, RGB(10, 20, 30));
  EXPECT_EQ(colours->colour2, RGB(40, 50, 60));
  EXPECT_EQ(colours->colour3, RGB(70, 80, 90));
  EXPECT_EQ(colours->colour4, RGB(100, 110, 120));
  EXPECT_FALSE(SampleSchemeColours(skin.copy(0, 0, 174, 313)));
  EXPECT_FALSE(SampleSchemeColours(QImage()));
}

TEST(SchemeColoursTest, LoadingSetsTheProgramWideColoursFromTheSkinOrTheTable) {
  gSchemeColour1 = gSchemeColour2 = gSchemeColour3 = gSchemeColour4 = 0;
  const bool fromSkin = LoadSchemeColours();
  EXPECT_EQ(fromSkin, ResourceExists(QStringLiteral("MPLAYER"), QStringLiteral("CUSTOM")));
  if (!fromSkin) {
    const SchemeColours defaults = DefaultSchemeColours();
    EXPECT_EQ(gSchemeColour1, defaults.colour1);
    EXPECT_EQ(gSchemeColour4, defaults.colour4);
  }
  // Whatever their source, the four colours are set and the label colour
  // stands out from the panel colour.
  EXPECT_NE(gSchemeColour1, gSchemeColour4);
}

}  // namespace
