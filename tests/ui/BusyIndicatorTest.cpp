// The busy animation runs on its own thread: its frames move on while the
// user-interface thread is blocked, and Hide stops and joins the thread.
#include "tests/support/EventLoopWaits.h"
#include "ui/cBusyIndicator.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

TEST(BusyIndicatorTest, FramesMoveOnWhileTheInterfaceThreadIsBlocked) {
  cBusyIndicator busy;
  EXPECT_TRUE(busy.ThreadName().startsWith(QStringLiteral("RW2:")));
  busy.Show(1, 2, 100, 150, 40, 0, nullptr);
  ASSERT_TRUE(busy.Showing());
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const auto args = busy.Arguments();
  EXPECT_EQ(args[0], (screen.width() - 470) / 2) << "centred";
  EXPECT_EQ(args[1], qRound(screen.height() * 0.9));
  EXPECT_EQ(args[2], 100);
  EXPECT_EQ(args[3], 150);
  EXPECT_EQ(args[4], 50);
  const int64_t before = busy.FrameCount();
  const QImage first = busy.LastFrame();
  // The interface thread runs no events while it waits for four frames.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto ceiling = std::chrono::milliseconds(rwtest::kWaitCeilingMs);
  while (busy.FrameCount() - before < 4 && Clock::now() - start < ceiling) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const Clock::duration fourFrames = Clock::now() - start;
  EXPECT_GE(busy.FrameCount() - before, 4);
  const QImage later = busy.LastFrame();
  ASSERT_EQ(later.size(), QSize(470, 50));
  EXPECT_NE(first, later) << "the light has moved";
  busy.Hide();
  EXPECT_FALSE(busy.Showing());
  const int64_t stopped = busy.FrameCount();
  // A thread still drawing would draw about four frames in the time the
  // four above took, whatever the machine's load.
  std::this_thread::sleep_for(std::max<Clock::duration>(fourFrames, std::chrono::milliseconds(200)));
  EXPECT_EQ(busy.FrameCount(), stopped) << "the thread has ended";
}

TEST(BusyIndicatorTest, ShowingAgainRestartsAndDestructionStopsTheThread) {
  auto busy = std::make_unique<cBusyIndicator>();
  busy->Show(0, 0, 500, 100, 0, 40, nullptr);
  busy->Show(0, 0, 500, 100, 0, 40, nullptr);
  EXPECT_TRUE(busy->Showing());
  busy.reset();  // joins, never leaves a thread drawing into freed memory
  SUCCEED();
}

}  // namespace
