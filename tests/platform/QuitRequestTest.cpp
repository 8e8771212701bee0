// A request to end the program while long work runs, the termination
// signals that make it, and the waits that must go on working once the
// program's event loop has been told to end.
#include "platform/QuitRequest.h"
#include "platform/LongWork.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

namespace {

class QuitRequestTest : public ::testing::Test {
 protected:
  void TearDown() override { QuitRequest::Reset(); }

  int ended = 0;
  std::function<void()> EndLoop() {
    return [this] { ++ended; };
  }
};

TEST_F(QuitRequestTest, WithoutLongWorkTheLoopEndsAtOnceAndOnlyOnce) {
  EXPECT_FALSE(QuitRequest::Requested());
  QuitRequest::Request(EndLoop());
  EXPECT_TRUE(QuitRequest::Requested());
  EXPECT_EQ(ended, 1);
  QuitRequest::Request(EndLoop());
  EXPECT_EQ(ended, 1) << "a second signal changes nothing";
  QuitRequest::Reset();
  EXPECT_FALSE(QuitRequest::Requested());
}

TEST_F(QuitRequestTest, LongWorkIsToldToStopAndTheLoopEndsWhenTheLastWorkIsOver) {
  int stops = 0;
  std::optional<QuitRequest::LongWork> outer(std::in_place, [&] { ++stops; });
  {
    const QuitRequest::LongWork inner;  // work without a stop action of its own
    QuitRequest::Request(EndLoop());
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(ended, 0) << "not while work runs";
    const QuitRequest::LongWork late([&] { stops += 10; });
    EXPECT_EQ(stops, 11) << "work begun after the request is stopped at once";
  }
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(QuitRequest::WorkUnderWay());
  outer.reset();
  EXPECT_FALSE(QuitRequest::WorkUnderWay());
  EXPECT_EQ(ended, 1);
  { const QuitRequest::LongWork again; }
  EXPECT_EQ(ended, 1);
}

// The first signal waits for the event loop; a second one ends the process by
// its default action even though the loop never runs again, as in a program
// whose window no longer answers. A signal taken by an earlier object does
// not count towards the next one.
TEST(TerminationSignalsTest, ASecondSignalEndsTheProcessWhoseEventLoopNoLongerRuns) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        {
          const TerminationSignals earlier([](int) { std::_Exit(3); });
          ::raise(SIGINT);
        }
        const TerminationSignals current([](int) { std::_Exit(3); });
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGTERM), "");
}

// Once QCoreApplication::exit has been called, every QEventLoop::exec returns
// at once; the wait for a helper thread must still wait for its answer, and
// runs nothing of the program's own meanwhile.
TEST(LongWorkWaitTest, TheWaitGetsItsAnswerAfterTheLoopWasToldToEndAndRunsNothingInside) {
  QCoreApplication::exit(0);
  bool timerRan = false;
  QTimer::singleShot(0, [&] { timerRan = true; });
  LongWork::Done done;
  int answer = 0;
  // The answer comes once the wait has begun: its grace given, it paints at once.
  LongWork::Done waiting;
  std::thread helper([&] {
    std::unique_lock<std::mutex> lock(waiting.mutex);
    waiting.finished.wait(lock, [&] { return waiting.done; });
    answer = 42;
    done.Finish();
  });
  const bool finished = LongWork::Wait([&] { waiting.Finish(); }, LongWork::kGraceMs).For(done, -1);
  helper.join();
  const bool timerRanDuringTheWait = timerRan;
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();  // makes Qt forget the end
  EXPECT_TRUE(finished);
  EXPECT_EQ(answer, 42);
  EXPECT_FALSE(timerRanDuringTheWait);
  EXPECT_TRUE(timerRan) << "it runs after";
}

}  // namespace
