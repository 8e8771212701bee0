// The busy animation runs on its own thread: its frames move on while the
// user-interface thread is blocked, and Hide stops and joins the thread. On
// a real X server (an Xvfb of the test's own) it is shown and hidden many
// times over, each showing through an X connection of its own.
#include "tests/support/EventLoopWaits.h"
#include "tests/support/OwnXServer.h"
#include "ui/cBusyIndicator.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Waits, running no events, until the indicator has drawn `frames` more.
bool DrawsFrames(const cBusyIndicator& busy, int frames) {
  const int64_t from = busy.FrameCount();
  const QDeadlineTimer deadline(rwtest::kWaitCeilingMs);
  while (busy.FrameCount() - from < frames && !deadline.hasExpired()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return busy.FrameCount() - from >= frames;
}

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
  EXPECT_GE(busy.FrameCount(), 1) << "Show returns with its first frame drawn";
  const QImage first = busy.LastFrame();
  EXPECT_TRUE(DrawsFrames(busy, 4)) << "while the interface thread runs no events";
  const QImage later = busy.LastFrame();
  ASSERT_EQ(later.size(), QSize(470, 50));
  EXPECT_NE(first, later) << "the light has moved";
  busy.Hide();
  EXPECT_FALSE(busy.Showing());
  const int64_t stopped = busy.FrameCount();
  // A thread still drawing would draw while another indicator draws four
  // frames, whatever the machine's load.
  cBusyIndicator witness;
  witness.Show(1, 2, 100, 150, 40, 0, nullptr);
  EXPECT_TRUE(DrawsFrames(witness, 4));
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

// The colour of the screen's pixel at (x, y), read through a connection of
// the test's own; 0xFFFFFFFF when it cannot be read.
uint32_t ScreenPixel(int x, int y) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  uint32_t pixel = 0xFFFFFFFF;
  if (!xcb_connection_has_error(connection)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), 1, 1, ~0u),
        nullptr);
    if (reply && xcb_get_image_data_length(reply) >= 4) {
      std::memcpy(&pixel, xcb_get_image_data(reply), 4);
      pixel &= 0xFFFFFF;
    }
    std::free(reply);
  }
  xcb_disconnect(connection);
  return pixel;
}

// Cairo's memory of each showing's connection used to outlive it, and a
// later showing whose connection came at the same address aborted the
// program in Cairo after a few showings.
TEST(BusyIndicatorTest, ShownAndHiddenAHundredTimesOnARealXServerItDrawsItsStripEachTime) {
  RW_ON_OWN_X_SERVER("the busy indicator is not tried on X");
  ASSERT_EQ(QGuiApplication::platformName(), QLatin1String("xcb"));
  cBusyIndicator busy;
  for (int showing = 1; showing <= 100; ++showing) {
    SCOPED_TRACE(showing);
    busy.Show(0, 0, 100, 150, 40, 0, nullptr);
    const auto args = busy.Arguments();
    ASSERT_EQ(args[0], (1280 - 470) / 2);
    // Show returns with its first frame on the server: the strip's top rows
    // are its dark ground, on the screen as in its frames.
    ASSERT_FALSE(busy.LastFrame().isNull());
    const uint32_t ground = busy.LastFrame().pixel(5, 2) & 0xFFFFFF;
    if (showing == 1 || showing == 100) {
      EXPECT_EQ(ScreenPixel(args[0] + 5, args[1] + 2), ground);
    }
    busy.Hide();
  }
  EXPECT_EQ(ScreenPixel((1280 - 470) / 2 + 5, qRound(720 * 0.9) + 2), 0u) << "the strip's window has gone";
}

}  // namespace
