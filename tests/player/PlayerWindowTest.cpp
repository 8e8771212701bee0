// The video window: where it sits, what it shows, full screen, a new owner,
// events handed to another window, and its destruction.
#include "tests/player/PlayerFixture.h"

#include "player/cVideoWindow.h"
#include "tests/support/EventLoopWaits.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

namespace rwtest {
namespace {

using PlayerWindowTest = PlayerTest;

// Counts the mouse presses and keys a window receives, and where.
class Drain : public QWidget {
 public:
  int presses = 0;
  int keys = 0;
  QPoint lastPress;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    ++presses;
    lastPress = event->position().toPoint();
  }
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

TEST_F(PlayerWindowTest, TheVideoWindowSitsHiddenAtTheRectangleAndShowsThePausedFrame) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 30, 20, 320, 180, host_.get(), true), QString());
  cVideoWindow* window = player_->VideoWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->parentWidget(), host_.get());
  EXPECT_EQ(window->geometry(), QRect(20, 30, 320, 180));
  EXPECT_TRUE(window->isHidden());
  EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);
  player_->ForcePosition(2.0);
  player_->SetVisible(true);
  host_->show();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return FrameIndexIn(host_->grab(QRect(20, 30, 320, 180)).toImage(), kWidth) == 50; },
                      rwtest::kWaitCeilingMs))
      << "the host shows frame 50, scaled to the rectangle";
  EXPECT_TRUE(player_->Visible());
}

TEST_F(PlayerWindowTest, FullScreenShowsTheVideoAloneAndResizingBringsItBack) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetVisible(true);
  player_->SetFullScreen(true);
  EXPECT_TRUE(player_->FullScreen());
  EXPECT_TRUE(player_->VideoWindow()->isWindow());
  player_->ResizeWindow(320, 180);
  EXPECT_FALSE(player_->FullScreen());
  EXPECT_EQ(player_->VideoWindow()->parentWidget(), host_.get());
  EXPECT_EQ(player_->VideoWindow()->size(), QSize(320, 180));
  EXPECT_TRUE(player_->Visible());
}

TEST_F(PlayerWindowTest, ANewOwnerTakesTheWindowWhereItWas) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 10, 10, 320, 180, host_.get(), true), QString());
  QWidget other;
  player_->SetOwner(&other);
  EXPECT_EQ(player_->Owner(), &other);
  EXPECT_EQ(player_->VideoWindow()->parentWidget(), &other);
  EXPECT_EQ(player_->VideoWindow()->geometry(), QRect(10, 10, 320, 180));
  player_->CleanUp();
  EXPECT_EQ(player_->Owner(), &other) << "the owner stays after the file goes";
}

TEST_F(PlayerWindowTest, TheMessageDrainGetsTheVideoWindowsMouseAndKeys) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 40, 50, 320, 180, host_.get(), true), QString());
  Drain drain;
  drain.setParent(host_.get());
  drain.setGeometry(0, 0, kWidth, kHeight);
  host_->show();
  player_->SetVisible(true);
  player_->VideoWindow()->raise();
  player_->SetMessageDrain(&drain);
  QTest::mouseClick(player_->VideoWindow(), Qt::LeftButton, {}, QPoint(5, 6));
  QTest::keyClick(player_->VideoWindow(), Qt::Key_Space);
  EXPECT_EQ(drain.presses, 1);
  EXPECT_EQ(drain.lastPress, QPoint(55, 46)) << "in the drain's own coordinates";
  EXPECT_EQ(drain.keys, 1);
}

TEST_F(PlayerWindowTest, DestroyingTheWindowDropsControlButKeepsTheFile) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetVisible(true);
  player_->DestroyWindow();
  EXPECT_EQ(player_->VideoWindow(), nullptr);
  EXPECT_FALSE(player_->Visible());
  EXPECT_TRUE(player_->FileLoaded());
  player_->Play();
  EXPECT_EQ(player_->PlayState(), 0) << "no control of the transport";
  EXPECT_NEAR(player_->Duration(), 4.0, 0.05);
}

}  // namespace
}  // namespace rwtest
