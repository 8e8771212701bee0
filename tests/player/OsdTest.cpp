// The on-screen display over a playing clip: the band's size, what the full
// and the plain display draw and in which colours, its opacity, and where it
// never shows (grabbed frames, the compact window). With RW_SCREENSHOT set,
// the tagging display is saved as the video window shows it.
#include "tests/player/PlayerFixture.h"
#include "app/UpwardCalls.h"

#include "carousel/cCarousel.h"
#include "core/modRegistry.h"
#include "player/modMainPlayer.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <QTest>

#include <functional>

namespace rwtest {
namespace {

constexpr int kVideoWidth = 1024;
constexpr int kVideoHeight = 576;
constexpr COLORREF kBand = RGB(200, 200, 120);
constexpr COLORREF kDark = RGB(0, 0, 200);
constexpr COLORREF kCursor = RGB(255, 128, 0);

QRgb Rgb(COLORREF colour) { return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

class OsdTest : public PlayerTest {
 protected:
  static void SetUpTestSuite() {
    PlayerTest::SetUpTestSuite();
    RegisterProgramFonts();
  }

  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    modMainPlayer::SetOsdPaletteSource([] { return OsdPalette{kBand, kDark}; });
    gCursorColour = kCursor;
    gWindowMode = 1;
    gOsdIcon.clear();
    host_->resize(kVideoWidth, kVideoHeight);
    ASSERT_EQ(player_->OpenFile(Clip576(), 0, 0, kVideoWidth, kVideoHeight, host_.get(), true), QString());
    player_->SetPosition(1.0);
    player_->SetVisible(true);
    host_->show();
  }

  void TearDown() override {
    modReelwise::DisconnectUpwardCalls();
    modMainPlayer::SetOsdPaletteSource({});
    gWindowMode = 1;
    gOsdIcon.clear();
    PlayerTest::TearDown();
  }

  static QString Clip576() {
    TestVideoSpec spec;
    spec.seconds = 2;
    spec.width = kVideoWidth;
    spec.height = kVideoHeight;
    spec.frameIndex = true;
    return Clip(QStringLiteral("pal.mkv"), spec);
  }

  // The band as the display draws it for these texts, at full opacity.
  QImage Band(const QString& icon, const QString& text, const QString& mark, bool full = true) {
    gOsdIcon = icon;
    player_->OverlayText(text, 1.0, mark, full);
    return player_->VideoWindow()->OverlayPicture();
  }
  // What the video window shows.
  QImage Shown() { return player_->VideoWindow()->Picture().convertToFormat(QImage::Format_RGB32); }

  double IconWidth() const { return player_->OverlayLayout().iconSize; }
};

// Whether any pixel of column x differs from the blank band.
std::vector<bool> DrawnColumns(const QImage& band, const QImage& blank) {
  std::vector<bool> drawn(band.width(), false);
  for (int x = 0; x < band.width(); ++x) {
    for (int y = 0; y < band.height() && !drawn[x]; ++y) drawn[x] = ColourDistance(band.pixel(x, y), blank.pixel(x, y)) > 8;
  }
  return drawn;
}

bool AnyIn(const std::vector<bool>& columns, double from, double to) {
  for (int x = std::max(0, static_cast<int>(from)); x < std::min<int>(columns.size(), static_cast<int>(to)); ++x) {
    if (columns[x]) return true;
  }
  return false;
}

// The columns that hold a pixel within 12 of the colour.
std::vector<int> ColumnsOf(const QImage& image, QRgb colour) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (ColourDistance(image.pixel(x, y), colour) <= 12) {
        columns.push_back(x);
        break;
      }
    }
  }
  return columns;
}

TEST_F(OsdTest, TheBandIsAFourteenthOfTheVideoUntilASettledSeekMakesItATwelfth) {
  const OsdLayout layout = player_->OverlayLayout();
  EXPECT_NEAR(layout.fontSize, 576 / 12.0 / 2.2, 1e-9);
  EXPECT_NEAR(layout.iconSize, 0.9 * 41, 1e-9);
  EXPECT_NEAR(layout.margin, 0.05 * 41, 1e-9);
  EXPECT_EQ(Band(QStringLiteral("OV_PLAY"), QStringLiteral("Clip"), {}).size(), QSize(kVideoWidth, 41));

  player_->BlackoutVideo();
  EXPECT_EQ(player_->VideoWindow()->OverlayPicture().size(), QSize(kVideoWidth, kVideoHeight));
  EXPECT_EQ(player_->VideoWindow()->OverlayOpacity(), 1.0);
  EXPECT_LE(ColourDistance(Shown().pixel(kVideoWidth / 2, 400), qRgb(0, 0, 0)), 2) << "the whole video is black";

  player_->ForcePosition(1.5);
  EXPECT_EQ(player_->VideoWindow()->OverlayOpacity(), 0.0) << "the settled seek leaves the display unseen";
  EXPECT_EQ(Band(QStringLiteral("OV_PLAY"), QStringLiteral("Clip"), {}).size(), QSize(kVideoWidth, 48));
  EXPECT_NEAR(player_->OverlayLayout().iconSize, layout.iconSize, 1e-9) << "the layout stays";
}

TEST_F(OsdTest, TheFullBandLiesOverTheVideoAtItsOpacityButNeverInAGrabbedFrame) {
  const QImage before = Shown();
  player_->OverlayText(QStringLiteral("Hi"), 1.0, {}, true);
  const QImage shown = Shown();
  EXPECT_LE(ColourDistance(shown.pixel(kVideoWidth / 2, 20), Rgb(kBand)), 6) << "the band's colour at its middle";
  EXPECT_GT(qGray(shown.pixel(kVideoWidth / 2, 0)), qGray(shown.pixel(kVideoWidth / 2, 40))) << "lit at the top";
  EXPECT_LE(ColourDistance(shown.pixel(kVideoWidth / 2, 60), before.pixel(kVideoWidth / 2, 60)), 4)
      << "the video below the band";
  EXPECT_EQ(FrameIndexIn(player_->GrabFrame(), kVideoWidth), 25) << "a grabbed frame shows the index squares the band covers";

  player_->OverlayText(QStringLiteral("Hi"), 0.5, {}, true);
  const QRgb half = Shown().pixel(kVideoWidth / 2, 20);
  const QRgb video = before.pixel(kVideoWidth / 2, 20);
  const QRgb mixed = qRgb((qRed(video) + 200) / 2, (qGreen(video) + 200) / 2, (qBlue(video) + 120) / 2);
  EXPECT_LE(ColourDistance(half, mixed), 6) << "half band, half video";

  player_->VideoWindow()->resize(kVideoWidth / 2, kVideoHeight / 2);
  player_->OverlayText(QStringLiteral("Hi"), 1.0, {}, true);
  const QImage small = Shown();
  EXPECT_LE(ColourDistance(small.pixel(kVideoWidth / 4, 10), Rgb(kBand)), 8);
  EXPECT_GT(ColourDistance(small.pixel(kVideoWidth / 4, 24), Rgb(kBand)), 30) << "the band scales with the video";
}

// A rating shows as many stars as it gives, then its digit.
TEST_F(OsdTest, ARatingShowsItsNumberOfStarsAndItsDigitAndTheMarkABNoTime) {
  const QImage blank = Band({}, {}, {});
  const double icon = IconWidth();
  const COLORREF display = player_->OverlayLayout().displayColour;
  for (int stars : {1, 2, 4, 5}) {
    const QImage band = Band(QStringLiteral("OV_STAR"), QString::number(stars), {});
    const auto rating = DrawnColumns(band, blank);
    for (int i = 0; i < stars; ++i) {
      EXPECT_TRUE(AnyIn(rating, 6 + i * icon, 6 + (i + 1) * icon)) << stars << ": star " << i + 1;
    }
    const std::vector<int> digit = ColumnsOf(band, Rgb(display));
    ASSERT_FALSE(digit.empty()) << stars << ": the digit is drawn";
    EXPECT_GE(digit.front(), stars * icon + 5) << stars << ": after the stars";
    EXPECT_LT(digit.back(), stars * icon + 5 + icon) << stars;
    EXPECT_FALSE(AnyIn(rating, stars * icon + 5 + icon, kVideoWidth)) << stars << ": nothing more";
  }

  const auto digit = DrawnColumns(Band(QStringLiteral("OV_PLAY"), QStringLiteral("4"), {}), blank);
  EXPECT_TRUE(AnyIn(digit, icon + 5, icon + 30)) << "another icon shows the text after itself";
  const auto oneStar = DrawnColumns(Band(QStringLiteral("OV_STAR"), {}, {}), blank);
  EXPECT_FALSE(AnyIn(oneStar, 8 + icon, kVideoWidth)) << "one star without a text";

  const double timeLeft = kVideoWidth - 5 - player_->OverlayLayout().timeWidth;
  EXPECT_TRUE(AnyIn(DrawnColumns(Band({}, {}, QStringLiteral("0h:01m:05.00s")), blank), timeLeft, kVideoWidth - 4));
  EXPECT_FALSE(AnyIn(DrawnColumns(Band({}, {}, QStringLiteral("AB")), blank), 0, kVideoWidth));
}

TEST_F(OsdTest, TheTaggingLayoutShowsTheMatchInWhiteAndTheCounterAtTheRight) {
  const QImage band = Band(QStringLiteral("OV_TAG"), QStringLiteral("Hol//IDA//ys//2/5"), {});
  const COLORREF display = BlendColor(0, BlendColor(kDark, RGB(100, 100, 100), 128), 128);
  EXPECT_EQ(player_->OverlayLayout().displayColour, display);
  const std::vector<int> white = ColumnsOf(band, qRgb(255, 255, 255));
  const std::vector<int> texts = ColumnsOf(band, Rgb(display));
  const std::vector<int> counter = ColumnsOf(band, Rgb(kDark));
  ASSERT_FALSE(white.empty());
  ASSERT_FALSE(texts.empty());
  ASSERT_FALSE(counter.empty());
  EXPECT_GE(texts.front(), IconWidth() + 5);
  EXPECT_LT(texts.front(), white.front()) << "the part before the match";
  EXPECT_GT(texts.back(), white.back()) << "the part after it";
  EXPECT_GT(counter.front(), kVideoWidth - 80);
  EXPECT_LE(counter.back(), kVideoWidth - 10);

  const QImage message = Band(QStringLiteral("OV_TAG"), QStringLiteral("////No Matches//"), {});
  EXPECT_TRUE(ColumnsOf(message, qRgb(255, 255, 255)).empty());
  EXPECT_FALSE(ColumnsOf(message, Rgb(display)).empty()) << "the message is the third part";

  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  if (!path.isEmpty()) {
    Band(QStringLiteral("OV_TAG"), QStringLiteral("Hol//IDA//ys//2/5"), {});
    Shown().save(path, "PNG");
  }
}

TEST_F(OsdTest, ThePlainDisplayIsTheShadowedTextOnBlack) {
  const QImage band = Band(QStringLiteral("OV_PLAY"), QStringLiteral("0:00:01"), QStringLiteral("1"), false);
  EXPECT_EQ(band.height(), 41);
  EXPECT_LE(ColourDistance(band.pixel(kVideoWidth / 2, 20), qRgb(0, 0, 0)), 0) << "no icon, no mark";
  const std::vector<int> text = ColumnsOf(band, Rgb(kCursor));
  const std::vector<int> shadow = ColumnsOf(band, Rgb(BlendColor(kCursor, RGB(60, 60, 60), 128)));
  ASSERT_FALSE(text.empty());
  ASSERT_FALSE(shadow.empty());
  EXPECT_LT(shadow.front(), text.front()) << "the shadow lies one pixel up and left";
  EXPECT_LT(text.back(), 200);
}

TEST_F(OsdTest, TheCarouselLendsTheBandItsColourAndWithoutItTheSchemeGivesIt) {
  // The display asks the carousel for its colours as start-up connects it.
  modReelwise::ConnectUpwardCalls();
  gCarousel = std::make_unique<cCarousel>();
  EXPECT_EQ(modMainPlayer::OsdColours().lMenuColour2, modMainPlayer::DefaultOsdPalette().lMenuColour2);
  EXPECT_EQ(gCarousel->lMenuColour3, gSchemeColour4);
  gCarousel->lMenuColour2 = RGB(90, 160, 40);
  EXPECT_LE(ColourDistance(Band({}, QStringLiteral("Hi"), {}).pixel(kVideoWidth / 2, 20), qRgb(90, 160, 40)), 3);
  gCarousel.reset();
  const COLORREF scheme = modMainPlayer::DefaultOsdPalette().lMenuColour2;
  EXPECT_LE(ColourDistance(Band({}, QStringLiteral("Hi"), {}).pixel(kVideoWidth / 2, 20), Rgb(scheme)), 3);
}

TEST_F(OsdTest, TheCompactWindowNeverShowsTheDisplay) {
  gWindowMode = 2;
  player_->OverlayText(QStringLiteral("Clip"), 1.0, QStringLiteral("0:00:01"), true);
  EXPECT_EQ(player_->VideoWindow()->OverlayOpacity(), 0.0);
  player_->OverlayText(QStringLiteral("Clip"), 1.0, {}, false);
  EXPECT_EQ(player_->VideoWindow()->OverlayOpacity(), 0.0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return FrameIndexIn(Shown(), kVideoWidth) == 25; }, rwtest::kWaitCeilingMs))
      << "the index squares stay in sight";
}

TEST_F(OsdTest, NothingIsDrawnWithoutVideoOrWhileFilesAreAdded) {
  gAddingFiles = true;
  ASSERT_EQ(player_->OpenFile(Clip576(), 0, 0, kVideoWidth, kVideoHeight, host_.get(), true), QString());
  gAddingFiles = false;
  player_->BlackoutVideo();
  player_->OverlayText(QStringLiteral("Clip"), 1.0, {}, true);
  EXPECT_TRUE(player_->VideoWindow()->OverlayPicture().isNull());

  ASSERT_EQ(Open(AudioClip()), QString());
  player_->OverlayText(QStringLiteral("Clip"), 1.0, {}, true);
  player_->BlackoutVideo();
  player_->CleanUp();
  player_->OverlayText(QStringLiteral("Clip"), 1.0, {}, true);
}

}  // namespace
}  // namespace rwtest
