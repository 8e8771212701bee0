// The pacing of long work on the user-interface thread: progress reports at
// most once an interval, and past the work's grace the window's events
// handled at those moments, but not timers (nor the user's input or sockets).
#include "platform/RunOffUiThread.h"
#include "platform/WorkPacer.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TestTickClock.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(WorkPacerTest, ReportsOnceAnIntervalAndHandlesPostedEventsOnlyPastItsGrace) {
  rwtest::TestTickClock clock;
  WorkPacer pacer(500, 100);
  WorkPacer quiet(WorkPacer::kNoEvents, 100);
  int posted = 0;
  int timers = 0;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, [&timers] { ++timers; });
  timer.start(0);
  QMetaObject::invokeMethod(QCoreApplication::instance(), [&posted] { ++posted; }, Qt::QueuedConnection);

  EXPECT_TRUE(pacer.Due()) << "the first report";
  EXPECT_TRUE(quiet.Due());
  clock.now += 99;
  EXPECT_FALSE(pacer.Due());
  clock.now += 1;
  EXPECT_TRUE(pacer.Due());
  EXPECT_EQ(posted, 0) << "within the grace nothing is handled";
  clock.now += 400;
  EXPECT_TRUE(quiet.Due());
  EXPECT_EQ(posted, 0) << "a pacer without events never handles any";
  EXPECT_TRUE(pacer.Due());
  EXPECT_EQ(posted, 1) << "past the grace what was posted is handled";
  EXPECT_EQ(timers, 0) << "timers wait for the work's end";

  // A wait for work on a helper thread goes by the same pace.
  QMetaObject::invokeMethod(QCoreApplication::instance(), [&posted] { ++posted; }, Qt::QueuedConnection);
  clock.stepPerRead = 100;
  std::atomic<bool> seen{false};
  const int answer = RunOffUiThreadWaiting(
      [&seen] {
        while (!seen.load()) std::this_thread::yield();
        return 42;
      },
      [&](OffUiOutcome& outcome) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&seen] { seen = true; }, Qt::QueuedConnection);
        pacer.Wait(outcome);
      });
  EXPECT_EQ(answer, 42) << "the work ended only once the wait had handled what was posted";
  EXPECT_EQ(posted, 2);
  EXPECT_EQ(timers, 0);
  EXPECT_TRUE(QTest::qWaitFor([&timers] { return timers == 1; }, rwtest::kWaitCeilingMs)) << "and then fires";
}

}  // namespace
