// The About box over a stand-in main window on the offscreen screen: its
// texts and logo, the dimming behind it, and the credits scroller driven
// tick by tick.
#include "platform/FontRegistry.h"
#include "platform/controls/Label.h"
#include "tests/support/RealInput.h"
#include "ui/ProgramFonts.h"
#include "ui/frmAboutReelwise.h"
#include "ui/frmGlass.h"
#include "tests/support/TestFonts.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class AboutBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterProgramFonts(); }

  void SetUp() override {
    frmAboutReelwise::BlinkCount = 0;
    main_ = std::make_unique<QWidget>();
    main_->setGeometry(460, 190, 1000, 700);
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
  }

  void TearDown() override { UnloadGlass(); }

  // Opens a box owned by the main window, as the main window's modal show does.
  std::unique_ptr<frmAboutReelwise> Open() {
    auto box = std::make_unique<frmAboutReelwise>();
    box->setParent(main_.get(), box->windowFlags() | Qt::Dialog);
    box->show();
    return box;
  }

  static QString Tick(frmAboutReelwise& box) {
    box.Timer1_Timer();
    return box.lblCredits->Caption();
  }

  static QStringList Lines() { return frmAboutReelwise::kCredits.split(QLatin1Char('|')); }

  std::unique_ptr<QWidget> main_;
};

TEST_F(AboutBoxTest, ShowsItsTextsAndLogoOverTheDimmedMainWindow) {
  auto box = Open();
  EXPECT_EQ(box->windowTitle(), QStringLiteral("About Reelwise"));
  EXPECT_EQ(box->Label1[0]->Caption(), QStringLiteral("Find it. Play it..."));
  EXPECT_EQ(box->Label1[1]->Caption(), QStringLiteral("powered by Cairo, SQLite and MediaInfo"));
  EXPECT_EQ(box->Label2->Caption(), QStringLiteral("Thanks:"));
  EXPECT_EQ(box->lblCredits->Caption(), QStringLiteral("Thanks:")) << "until the first tick";
  EXPECT_EQ(box->lblVersion->Caption(), QStringLiteral("Version: 1.6.5"));
  for (const ctl::Label* line : box->lblDisclaimer) EXPECT_FALSE(line->Caption().isEmpty());

  const QPixmap logo = box->imgWelcomeLogo->pixmap();
  EXPECT_EQ(logo.size(), box->imgWelcomeLogo->size()) << "drawn at the image's size";
  EXPECT_NE(logo.toImage().pixelColor(logo.width() / 2, logo.height() / 2), QColor(Qt::white)) << "not blank";

  EXPECT_TRUE(box->Timer1->isActive());
  EXPECT_EQ(box->Timer1->interval(), 100);
  ASSERT_TRUE(gGlassForm) << "the box dims the main window behind it";
  EXPECT_TRUE(gGlassForm->isVisible());
  EXPECT_EQ(gGlassForm->parentWidget(), main_.get());

  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    for (int tick = 0; tick < 15; ++tick) box->Timer1_Timer();
    QImage picture = main_->grab().toImage();
    QPainter painter(&picture);
    painter.drawPixmap(box->geometry().topLeft() - main_->geometry().topLeft(), box->grab());
    painter.end();
    picture.save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }

  box->cmdOK->click();
  EXPECT_FALSE(box->isVisible());
  EXPECT_FALSE(box->Timer1->isActive());
  EXPECT_TRUE(gGlassForm) << "the caller unloads the overlay";
  // Esc and Enter close it as its button does.
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    box->show();
    ASSERT_TRUE(rwtest::FocusOn(*box->cmdOK));
    // A window over its owner counts as active with it: the keys go to the box.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == box->windowHandle(); }));
    ASSERT_TRUE(rwtest::TypeKey(key));
    EXPECT_FALSE(box->isVisible()) << key;
  }
}

TEST_F(AboutBoxTest, CreditsAreSevenLinesThatFitTheScroller) {
  rwtest::AlsoWithNotoFonts();
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 7);
  auto box = Open();
  if (QtHasFontFamily(QStringLiteral("Fixedsys"))) {
    EXPECT_EQ(QFontInfo(box->lblCredits->font()).family(), QStringLiteral("Fixedsys"));
    EXPECT_EQ(QFontInfo(box->Label2->font()).family(), QStringLiteral("Fixedsys"));
  }
  const QFontMetrics metrics(box->lblCredits->font());
  for (const QString& line : lines) {
    EXPECT_FALSE(line.isEmpty());
    EXPECT_LE(metrics.horizontalAdvance(line + QLatin1Char('_')), box->lblCredits->width()) << line.toStdString();
  }
}

// A line of n characters is typed on ticks 1 to n + 1 with a steady cursor,
// then shows complete for 13 ticks while the cursor blinks.
TEST_F(AboutBoxTest, ScrollerTypesEachLineThenBlinksAndWraps) {
  auto box = Open();
  const QStringList lines = Lines();
  const QString first = lines[0];
  const int n = static_cast<int>(first.size());
  EXPECT_EQ(Tick(*box), QStringLiteral("_"));
  for (int tick = 2; tick < n; ++tick) Tick(*box);
  EXPECT_EQ(Tick(*box), first.left(n - 1) + QLatin1Char('_')) << "tick n: not yet complete";
  EXPECT_EQ(Tick(*box), first + QLatin1Char('_')) << "tick n + 1: complete";
  EXPECT_EQ(Tick(*box), first) << "the cursor blinks off";
  EXPECT_EQ(Tick(*box), first + QLatin1Char('_'));
  for (int tick = n + 4; tick < n + 13; ++tick) Tick(*box);
  EXPECT_EQ(Tick(*box), first + QLatin1Char('_')) << "tick n + 13: still complete";
  EXPECT_EQ(Tick(*box), QStringLiteral("_")) << "the next line begins";
  EXPECT_EQ(Tick(*box), lines[1].left(1) + QLatin1Char('_'));

  // Through the remaining lines, then the first again.
  for (int tick = 2; tick < lines[1].size() + 13; ++tick) Tick(*box);
  for (int line = 2; line < lines.size(); ++line) {
    EXPECT_EQ(Tick(*box), QStringLiteral("_")) << line;
    for (int tick = 2; tick <= lines[line].size() + 1; ++tick) Tick(*box);
    EXPECT_EQ(box->lblCredits->Caption(), lines[line] + QLatin1Char('_')) << line;
    for (int tick = 0; tick < 12; ++tick) Tick(*box);
  }
  EXPECT_EQ(Tick(*box), QStringLiteral("_"));
  EXPECT_EQ(Tick(*box), first.left(1) + QLatin1Char('_')) << "the list starts again";
}

// The blink count belongs to the program, not to one box: a box closed while
// the cursor was off starts the next one with the cursor off.
TEST_F(AboutBoxTest, BlinkCountCarriesOverToTheNextOpening) {
  const QString first = Lines()[0];
  const int n = static_cast<int>(first.size());
  {
    auto box = Open();
    for (int tick = 0; tick < n + 1; ++tick) Tick(*box);
    box->cmdOK->click();
  }
  UnloadGlass();
  auto box = Open();
  EXPECT_EQ(Tick(*box), QString()) << "starts on the first line, cursor off";
  EXPECT_EQ(Tick(*box), first.left(1));
  for (int tick = 3; tick <= n + 12; ++tick) Tick(*box);
  EXPECT_EQ(box->lblCredits->Caption(), first + QLatin1Char('_'));
  EXPECT_EQ(Tick(*box), QStringLiteral("_")) << "one tick sooner to the next line";
}

}  // namespace
