// The progress strip: drawn at once into its picture box, bar and ticks in
// proportion to the value, and never failing the operation that reports.
#include "platform/LongWork.h"
#include "platform/controls/PictureBox.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/TestTickClock.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr COLORREF kPanel = RGB(0, 0, 120);
constexpr COLORREF kBar = RGB(250, 250, 0);
constexpr COLORREF kText = RGB(0, 200, 0);

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {gSchemeColour1, gSchemeColour2, gSchemeColour3, gSchemeColour4};
    gSchemeColour1 = kPanel;
    gSchemeColour2 = kBar;
    gSchemeColour3 = RGB(128, 128, 128);
    gSchemeColour4 = kText;
    picProgress.resize(800, 22);
    progress.SetHost(&picProgress);
  }
  void TearDown() override {
    gSchemeColour1 = saved_[0];
    gSchemeColour2 = saved_[1];
    gSchemeColour3 = saved_[2];
    gSchemeColour4 = saved_[3];
  }

  COLORREF At(int x, int y) { return picProgress.Surface().PixelColorRef(x, y); }
  bool IsPanel(int x, int y) { return At(x, y) == kPanel; }
  // Near its top the bar's yellow gloss covers the panel colour.
  bool IsBar(int x) { return GetRValue(At(x, kGlossRow)) > 100 && GetGValue(At(x, kGlossRow)) > 100; }
  static constexpr int kGlossRow = 4;

  ctl::PictureBox picProgress;
  cwProgress progress;
  std::array<COLORREF, 4> saved_{};
};

TEST_F(ProgressTest, NoBarWithoutAValueOrARange) {
  progress.BroadcastProgress(QString(), 0, kText);
  for (int x : {0, 200, 400, 799}) EXPECT_TRUE(IsPanel(x, 11)) << x;
  progress.BroadcastProgress(QString(), 10, kText);  // Max still 0
  for (int x : {0, 5, 400}) EXPECT_TRUE(IsPanel(x, 11)) << x;
  EXPECT_EQ(progress.Value(), 10);
}

TEST_F(ProgressTest, HalfABarWithTicksOnlyInsideIt) {
  progress.SetMax(100);
  progress.BroadcastProgress(QString(), 50, kText);
  const double step = 800.0 / 21;
  for (int k = 1; (k + 0.5) * step < 395; ++k) {
    const int tick = static_cast<int>(std::lround(k * step));
    const int between = static_cast<int>(std::lround((k + 0.5) * step));
    EXPECT_TRUE(IsBar(between)) << between;
    EXPECT_NE(At(tick, 11), At(between, 11)) << "tick " << k;
    EXPECT_EQ(At(tick, 1), At(between, 1)) << "ticks start 3 pixels down";
  }
  for (int k = 11; k * step <= 800; ++k) EXPECT_TRUE(IsPanel(static_cast<int>(std::lround(k * step)), 11)) << k;
  EXPECT_TRUE(IsPanel(402, 11));
  EXPECT_TRUE(IsPanel(600, 11));
}

TEST_F(ProgressTest, FullAndBeyondFillTheWholeStrip) {
  progress.SetMax(40);
  progress.BroadcastProgress(QString(), 40, kText);
  for (int x : {20, 400, 797}) EXPECT_TRUE(IsBar(x)) << x;
  progress.BroadcastProgress(QString(), 400, kText);
  EXPECT_TRUE(IsBar(796));
  // Min and Max keep their values for the next operation.
  EXPECT_EQ(progress.Max(), 40);
  progress.SetMin(40);
  progress.BroadcastProgress(QString(), 20, kText);
  EXPECT_TRUE(IsPanel(400, 11)) << "a range of no length draws no bar";
}

// Work that reports no position pulses: a band a fifth of the strip wide
// sweeps across and back under the caption; a report of the work's own
// ends it, and a pulse just after a report leaves the strip as reported.
TEST_F(ProgressTest, ThePulseSweepsABandAcrossAndAReportOfTheWorksOwnKeepsItsBar) {
  progress.SetMax(100);
  progress.BroadcastProgress(QStringLiteral("Compacting Library..."), 50, kText);
  progress.Pulse(0);
  EXPECT_TRUE(IsBar(300)) << "a pulse just after a report leaves its bar";
  // Once the report is a moment old, the pulse draws.
  ASSERT_TRUE(QTest::qWaitFor([this] {
    progress.Pulse(0);
    return !IsBar(300);
  }));
  EXPECT_TRUE(IsBar(10));
  EXPECT_TRUE(IsPanel(400, 11));
  progress.Pulse(500);
  EXPECT_TRUE(IsBar(400));
  EXPECT_FALSE(IsBar(10));
  progress.Pulse(1000);
  EXPECT_TRUE(IsBar(700));
  EXPECT_FALSE(IsBar(400));
  progress.Pulse(1500);
  EXPECT_TRUE(IsBar(400)) << "and back";
  EXPECT_EQ(progress.Caption(), QStringLiteral("Compacting Library..."));
  progress.BroadcastProgress(QStringLiteral("Compacting Library..."), 10, kText);
  EXPECT_TRUE(IsBar(40));
  EXPECT_TRUE(IsPanel(400, 11));
}

TEST_F(ProgressTest, CaptionIsDrawnCentredInItsColourAndClearedByProgressOff) {
  progress.BroadcastProgress(QStringLiteral("Compacting Library..."), 0, kText);
  int green = 0;
  int left = 800;
  int right = 0;
  for (int x = 0; x < 800; ++x) {
    for (int y = 0; y < 22; ++y) {
      const COLORREF c = At(x, y);
      if (GetGValue(c) > 150 && GetRValue(c) < 60) {
        ++green;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  EXPECT_GT(green, 20);
  EXPECT_NEAR((left + right) / 2.0, 400, 4);

  progress.BroadcastProgress(QString(), 0, 0);
  for (int x = 0; x < 800; x += 7) EXPECT_TRUE(IsPanel(x, 10)) << x;
}

TEST_F(ProgressTest, ShowsWithoutReturningToTheEventLoop) {
  picProgress.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&picProgress));
  rwtest::PaintCounter counter(&picProgress);
  progress.SetMax(10);
  for (int i = 1; i <= 3; ++i) progress.BroadcastProgress(QStringLiteral("Loading Thumbnails..."), i, kText);
  EXPECT_EQ(counter.paints, 3);

  // Inside paced long work the pacer paints it, past the grace, and nothing
  // else does: a report painted at once would paint the whole window.
  rwtest::TestTickClock clock;
  {
    LongWork::Pacer pacer;
    progress.BroadcastProgress(QStringLiteral("Loading Thumbnails..."), 4, kText);
    EXPECT_EQ(counter.paints, 3) << "within the grace";
    clock.now += LongWork::kGraceMs;
    progress.BroadcastProgress(QStringLiteral("Loading Thumbnails..."), 5, kText);
    EXPECT_EQ(counter.paints, 3);
    EXPECT_TRUE(pacer.Due());
    EXPECT_EQ(counter.paints, 4) << "painted by the pacer";
  }
  progress.BroadcastProgress(QStringLiteral("Loading Thumbnails..."), 6, kText);
  EXPECT_EQ(counter.paints, 5) << "at once again once the work is over";
}

TEST_F(ProgressTest, AReportThatChangesNothingOnTheStripIsNotDrawnAgain) {
  picProgress.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&picProgress));
  rwtest::PaintCounter counter(&picProgress);
  progress.SetMax(51000);  // far more positions than the strip has pixels
  for (int i = 20; i <= 400; i += 20) progress.BroadcastProgress(QStringLiteral("Fetching..."), i, kText);
  EXPECT_LT(counter.paints, 10) << "twenty reports within seven pixels";
  EXPECT_GE(counter.paints, 1);
  const int before = counter.paints;
  progress.BroadcastProgress(QStringLiteral("Fetching..."), 400, RGB(200, 0, 0));
  EXPECT_EQ(counter.paints, before + 1) << "a new colour is drawn";
  gSchemeColour2 = RGB(0, 250, 250);
  progress.BroadcastProgress(QStringLiteral("Fetching..."), 400, RGB(200, 0, 0));
  EXPECT_EQ(counter.paints, before + 2) << "so is a new scheme";
  gSchemeColour2 = kBar;
  progress.BroadcastProgress(QStringLiteral("Fetching..."), 51000, RGB(200, 0, 0));
  EXPECT_TRUE(IsBar(790)) << "the end is always drawn";
}

TEST_F(ProgressTest, AStripWithoutWidthOrAFailingDrawLeavesTheCallerAlone) {
  picProgress.resize(0, 22);
  EXPECT_NO_THROW(progress.BroadcastProgress(QStringLiteral("Searching..."), 1, kText));
  EXPECT_EQ(progress.Caption(), QStringLiteral("Searching..."));

  // Cairo makes no image this wide: the draw fails inside, the caller goes on.
  picProgress.resize(40000, 22);
  progress.SetMax(10);
  EXPECT_NO_THROW(progress.BroadcastProgress(QStringLiteral("Fetching Data..."), 5, kText));
  EXPECT_EQ(progress.Value(), 5);

  cwProgress unhosted;
  EXPECT_NO_THROW(unhosted.BroadcastProgress(QStringLiteral("Searching..."), 0, kText));
}

}  // namespace
