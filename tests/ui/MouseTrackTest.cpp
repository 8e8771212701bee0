// Hover and leave tracking of one window: a pointer resting within 4 x 4
// pixels is told once as a hover, its leaving as a leave; a second start
// sends no new request, unless the owner has moved on to another window;
// buttons and keys are added up; letting go of the window stops its
// notifications. The hover's wait runs on the test's clock.
#include "platform/RWError.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/ui/ManualTickClock.h"
#include "ui/cMouseTrack.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The hover waits run on a clock the test advances by hand.
class MouseTrackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cSubclasser::SetHoverTime(40);
    cSubclasser::SetHoverClockFactory([this] {
      auto clock = std::make_unique<rwtest::ManualTickClock>();
      clock_ = clock.get();
      return clock;
    });
    top_.resize(300, 200);
    target_ = new QWidget(&top_);
    target_->setGeometry(20, 20, 120, 80);
    top_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top_));
    QTest::mouseMove(&top_, QPoint(250, 150));
    // Each event as "button shift x y", or "leave".
    track_.MouseHover = [this](int b, int s, double x, double y) {
      events_ << QStringLiteral("%1 %2 %3 %4").arg(b).arg(s).arg(x).arg(y);
    };
    track_.MouseLeave = [this] { events_ << QStringLiteral("leave"); };
  }
  void TearDown() override {
    cSubclasser::SetHoverClockFactory(nullptr);
    cSubclasser::SetHoverTime(400);
  }
  bool WaitFor(qsizetype count) {
    return QTest::qWaitFor([&] { return events_.size() >= count; }, rwtest::kWaitCeilingMs);
  }

  QWidget top_;
  QWidget* target_ = nullptr;
  cMouseTrack track_;
  QStringList events_;
  // The hover wait of the window tracked last.
  rwtest::ManualTickClock* clock_ = nullptr;
};

TEST_F(MouseTrackTest, ARestingPointerIsToldOnceAsHoverThenItsLeaving) {
  QTest::mouseMove(target_, QPoint(30, 40));
  track_.AttachMouseTracking(target_, -1, 0);  // the desktop's hover time
  track_.StartMouseTracking();
  EXPECT_TRUE(track_.Tracking());
  ASSERT_NE(clock_, nullptr);
  EXPECT_EQ(clock_->interval, 40) << "the desktop's hover time";
  EXPECT_TRUE(events_.isEmpty()) << "no hover before the time has passed";
  clock_->Tick();
  ASSERT_TRUE(WaitFor(1));
  EXPECT_FALSE(track_.Tracking());
  EXPECT_FALSE(clock_->Running()) << "one hover a request";
  clock_->Tick();
  QTest::mouseMove(&top_, QPoint(250, 150));
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(events_, QStringList({"0 0 30 40", "leave"}));
}

TEST_F(MouseTrackTest, HoverWaitsForThePointerToRestWithinFourPixels) {
  QTest::mouseMove(target_, QPoint(10, 10));
  track_.AttachMouseTracking(target_, -1, 80);
  track_.StartMouseTracking();
  ASSERT_NE(clock_, nullptr);
  EXPECT_EQ(clock_->interval, 80);
  const int started = clock_->starts;
  for (int step = 1; step <= 15; ++step) {
    QTest::mouseMove(target_, QPoint(10 + 5 * step, 10));
    EXPECT_EQ(clock_->starts, started + step) << "a step of 5 pixels is no rest: the wait begins again";
  }
  const int moved = clock_->starts;
  for (int step = 1; step <= 10; ++step) QTest::mouseMove(target_, QPoint(85 + step % 2, 10));
  EXPECT_EQ(clock_->starts, moved) << "a pointer trembling by a pixel rests";
  EXPECT_TRUE(events_.isEmpty());
  clock_->Tick();
  EXPECT_TRUE(WaitFor(1));
}

TEST_F(MouseTrackTest, ASecondStartBeforeTheAnswerSendsNoNewRequest) {
  QTest::mouseMove(target_, QPoint(30, 30));
  track_.AttachMouseTracking(target_, -1, 600);
  track_.StartMouseTracking();
  ASSERT_NE(clock_, nullptr);
  const int started = clock_->starts;
  track_.StartMouseTracking();
  EXPECT_EQ(clock_->starts, started) << "a new request would wait the whole 600 ms again";
  EXPECT_TRUE(events_.isEmpty());
  clock_->Tick();
  ASSERT_TRUE(WaitFor(1));
  EXPECT_EQ(events_.size(), 1);
}

// The owner may move on to another window before a request is answered
// (the browser's tiles and list): that answer goes to the old window, so the
// window attached now asks anew and its hover comes.
TEST_F(MouseTrackTest, AStartForAnotherWindowAsksAnewThoughTheOldRequestIsUnanswered) {
  auto* other = new QWidget(&top_);
  other->setGeometry(160, 20, 120, 80);
  other->show();
  QTest::mouseMove(target_, QPoint(30, 30));
  track_.AttachMouseTracking(target_, -1, 5000);
  track_.StartMouseTracking();
  track_.AttachMouseTracking(other, -1, 40);
  QTest::mouseMove(other, QPoint(20, 25));
  track_.StartMouseTracking();
  ASSERT_NE(clock_, nullptr);
  clock_->Tick();
  ASSERT_TRUE(WaitFor(1)) << "the window attached now was never asked for";
  EXPECT_EQ(events_.first(), QStringLiteral("0 0 20 25"));
}

TEST_F(MouseTrackTest, BothButtonsGiveThreeAndCtrlWithShiftGivesThree) {
  track_.AttachMouseTracking(target_, -1, 50);
  const int both = MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL;
  gSubclasser.SendWindowMessage(target_, WM_MOUSEHOVER, both, MakeLParam(7, 90));
  gSubclasser.SendWindowMessage(target_, WM_MOUSEHOVER, MK_MBUTTON | MK_CONTROL, MakeLParam(1, 2));
  EXPECT_EQ(events_, QStringList({"3 3 7 90", "4 2 1 2"}));
}

TEST_F(MouseTrackTest, AttachingNoWindowOrLosingItEndsTheNotifications) {
  track_.AttachMouseTracking(target_, 1, 50);
  track_.AttachMouseTracking(nullptr, -1, 50);
  EXPECT_EQ(track_.Method(), 0);
  gSubclasser.SendWindowMessage(target_, WM_MOUSEHOVER, 0, 0);
  gSubclasser.SendWindowMessage(target_, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(events_.isEmpty());

  // A window destroyed after attaching cannot be tracked: the start fails.
  auto gone = std::make_unique<QWidget>(&top_);
  track_.AttachMouseTracking(gone.get(), -1, 50);
  gone.reset();
  try {
    track_.StartMouseTracking();
    ADD_FAILURE() << "no error raised";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Source(), QCoreApplication::applicationName() + QStringLiteral(".cMouseTrack"));
  }
  EXPECT_FALSE(track_.Tracking());
}

}  // namespace
