// The window-message service: messages made from Qt events with their
// packing, the three responses and their order against the window's own
// handling, timers, combo notifications, and registrations that die with
// their client or their window.
#include "ui/ISubclass.h"

#include "platform/controls/ImageCombo.h"
#include "tests/support/EventLoopWaits.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A window that notes when its own handlers run.
class NotingWidget : public QWidget {
 public:
  std::vector<QString>* log = nullptr;

 protected:
  void mousePressEvent(QMouseEvent*) override { log->push_back(QStringLiteral("window")); }
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Qt::blue);
    log->push_back(QStringLiteral("window paints"));
  }
};

struct Seen {
  int32_t message;
  intptr_t wParam;
  intptr_t lParam;
};

class Client : public ISubclass {
 public:
  Client(std::vector<QString>& log, int32_t response) : log_(log), response_(response) {}
  std::vector<Seen> seen;
  // Paints a red square in the corner when it sees WM_PAINT.
  bool paints = false;

  int32_t ISubclass_MsgResponse() override { return response_; }
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override {
    seen.push_back({iMsg, wParam, lParam});
    log_.push_back(QStringLiteral("client %1").arg(iMsg));
    if (iMsg == WM_PAINT && paints) QPainter(hWnd).fillRect(0, 0, 5, 5, Qt::red);
    return 0;
  }

 private:
  std::vector<QString>& log_;
  int32_t response_;
};

class SubclasserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<NotingWidget>();
    window_->log = &log_;
    window_->setGeometry(50, 50, 200, 100);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    log_.clear();
  }

  std::vector<QString> log_;
  std::unique_ptr<NotingWidget> window_;
};

TEST_F(SubclasserTest, MouseMessagesCarryTheClientPositionAndTheButtonAndKeyFlags) {
  Client client(log_, 1);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_LBUTTONDOWN);
  QTest::mousePress(window_.get(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(17, 42));
  ASSERT_EQ(client.seen.size(), 1u);
  EXPECT_EQ(LowWord(client.seen[0].lParam), 17);
  EXPECT_EQ(HighWord(client.seen[0].lParam), 42);
  EXPECT_EQ(client.seen[0].wParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(log_, (std::vector<QString>{"client 513", "window"})) << "response 1: the client, then the window";
  gSubclasser.DetachWindowMessage(&client, window_.get(), WM_LBUTTONDOWN);
}

// X11 gives a notch turned with Alt held as a horizontal one; a tilt of the
// wheel has no vertical part and is no WM_MOUSEWHEEL.
TEST_F(SubclasserTest, TheWheelCarriesTheSignedVerticalNotchAlsoWithAltAndATiltIsNone) {
  Client client(log_, 1);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_MOUSEWHEEL);
  const auto turn = [this](QPoint delta, Qt::KeyboardModifiers keys) {
    const QPointF at(10, 20);
    QWheelEvent wheel(at, window_->mapToGlobal(at), QPoint(), delta, Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window_.get(), &wheel);
  };
  turn(QPoint(0, -120), Qt::ControlModifier);
  turn(QPoint(-120, 0), Qt::AltModifier);
  turn(QPoint(120, 0), Qt::NoModifier);
  ASSERT_EQ(client.seen.size(), 2u) << "the tilt is not passed on";
  EXPECT_EQ(HighWord(client.seen[0].wParam), -120);
  EXPECT_EQ(LowWord(client.seen[0].wParam), MK_CONTROL);
  EXPECT_EQ(HighWord(client.seen[1].wParam), -120) << "down, with Alt held too";
  const QPoint screen = window_->mapToGlobal(QPoint(10, 20));
  EXPECT_EQ(LowWord(client.seen[1].lParam), screen.x());
  EXPECT_EQ(HighWord(client.seen[1].lParam), screen.y());
  gSubclasser.DetachWindowMessage(&client, window_.get(), WM_MOUSEWHEEL);
}

TEST_F(SubclasserTest, ResponseZeroConsumesAndResponseTwoComesAfterTheWindow) {
  Client first(log_, 0);
  gSubclasser.AttachWindowMessage(&first, window_.get(), WM_LBUTTONDOWN);
  QTest::mousePress(window_.get(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(log_, std::vector<QString>{"client 513"}) << "the window's own handling does not run";
  gSubclasser.DetachClient(&first);

  log_.clear();
  Client painter(log_, 2);
  painter.paints = true;
  gSubclasser.AttachWindowMessage(&painter, window_.get(), WM_PAINT);
  window_->repaint();
  EXPECT_EQ(log_, (std::vector<QString>{"window paints", "client 15"}));
  const QImage shown = window_->grab().toImage();
  EXPECT_EQ(shown.pixelColor(2, 2), QColor(Qt::red)) << "the client paints over the window";
  EXPECT_EQ(shown.pixelColor(50, 50), QColor(Qt::blue));
}

TEST_F(SubclasserTest, RegistrationsDieWithTheirClientOrTheirWindow) {
  auto client = std::make_unique<Client>(log_, 1);
  gSubclasser.AttachWindowMessage(client.get(), window_.get(), WM_LBUTTONDOWN);
  gSubclasser.AttachWindowMessage(client.get(), window_.get(), WM_TIMER);
  gSubclasser.SetTimer(window_.get(), 7, 5);
  client.reset();  // without detaching
  QTest::mousePress(window_.get(), Qt::LeftButton, {}, QPoint(5, 5));
  rwtest::RunTimersDueWithin(30);  // the timer has ticked
  EXPECT_EQ(log_, std::vector<QString>{"window"}) << "nothing reached the client that is gone";

  Client survivor(log_, 1);
  auto other = std::make_unique<QWidget>();
  gSubclasser.AttachWindowMessage(&survivor, other.get(), WM_TIMER);
  gSubclasser.SetTimer(other.get(), 1, 5);
  other.reset();
  rwtest::RunTimersDueWithin(30);
  EXPECT_TRUE(survivor.seen.empty());
}

TEST_F(SubclasserTest, TimersTickUntilKilled) {
  Client client(log_, 1);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_TIMER);
  gSubclasser.SetTimer(window_.get(), 3, 10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return client.seen.size() >= 2; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(client.seen[0].wParam, 3);
  gSubclasser.KillTimer(window_.get(), 3);
  const size_t ticks = client.seen.size();
  rwtest::RunTimersDueWithin(50);
  EXPECT_EQ(client.seen.size(), ticks);
}

TEST_F(SubclasserTest, ACombosListReportsItsOpeningClosingAndChoice) {
  QComboBox combo(window_.get());
  combo.addItems({QStringLiteral("one"), QStringLiteral("two")});
  combo.show();
  Client client(log_, 1);
  gSubclasser.AttachWindowMessage(&client, &combo, WM_COMMAND);
  combo.showPopup();
  combo.setCurrentIndex(1);
  combo.hidePopup();
  std::vector<int> codes;
  for (const Seen& seen : client.seen) {
    codes.push_back(HighWord(seen.wParam));
    EXPECT_EQ(seen.lParam, reinterpret_cast<intptr_t>(&combo));
  }
  EXPECT_EQ(codes, (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_CLOSEUP}));
}

TEST_F(SubclasserTest, AControlHearsItsInnerCombosNotificationsThoughTheComboHasClientsOfItsOwn) {
  ctl::ImageCombo control(window_.get());
  control.Box()->addItem(QStringLiteral("one"));  // an empty list does not open
  control.show();
  Client painter(log_, 2);
  Client listener(log_, 1);
  gSubclasser.AttachWindowMessage(&painter, control.Box(), WM_PAINT);
  gSubclasser.AttachWindowMessage(&listener, &control, WM_COMMAND);
  control.Box()->showPopup();
  control.Box()->hidePopup();
  ASSERT_EQ(listener.seen.size(), 2u);
  EXPECT_EQ(HighWord(listener.seen[0].wParam), CBN_DROPDOWN);
  EXPECT_EQ(HighWord(listener.seen[1].wParam), CBN_CLOSEUP);
  EXPECT_EQ(listener.seen[1].lParam, reinterpret_cast<intptr_t>(&control));
}

TEST_F(SubclasserTest, AHoverRequestOutlivesADetachAndAttachOfItsWindow) {
  cSubclasser::SetHoverTime(60);
  QCursor::setPos(window_->mapToGlobal(QPoint(30, 30)));
  QTest::mouseMove(window_.get(), QPoint(30, 30));
  Client client(log_, 2);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_MOUSEHOVER);
  gSubclasser.TrackMouseEvent(window_.get(), TME_HOVER | TME_LEAVE, HOVER_DEFAULT);
  gSubclasser.DetachWindowMessage(&client, window_.get(), WM_MOUSEHOVER);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_MOUSEHOVER);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !client.seen.empty(); }, rwtest::kWaitCeilingMs));
  cSubclasser::SetHoverTime(400);
}

TEST_F(SubclasserTest, AMoveOrResizeEndsOnceWhenNoOtherFollows) {
  Client client(log_, 1);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_EXITSIZEMOVE);
  window_->move(60, 60);
  window_->resize(220, 110);
  window_->move(70, 70);
  EXPECT_TRUE(client.seen.empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !client.seen.empty(); }, rwtest::kWaitCeilingMs));
  rwtest::RunTimersDueWithin(300);  // longer than the wait for the end of a move
  EXPECT_EQ(client.seen.size(), 1u);
}

TEST_F(SubclasserTest, HoverComesAfterTheRestAndLeaveWhenThePointerGoes) {
  cSubclasser::SetHoverTime(60);
  Client client(log_, 2);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_MOUSEHOVER);
  gSubclasser.AttachWindowMessage(&client, window_.get(), WM_MOUSELEAVE);
  QCursor::setPos(window_->mapToGlobal(QPoint(20, 20)));
  QTest::mouseMove(window_.get(), QPoint(20, 20));
  ASSERT_TRUE(gSubclasser.TrackMouseEvent(window_.get(), TME_HOVER | TME_LEAVE, HOVER_DEFAULT));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !client.seen.empty(); }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(client.seen[0].message, WM_MOUSEHOVER);
  EXPECT_EQ(LowWord(client.seen[0].lParam), 20);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(window_.get(), &leave);
  ASSERT_EQ(client.seen.size(), 2u);
  EXPECT_EQ(client.seen[1].message, WM_MOUSELEAVE) << "after the hover the leave stays armed";
  QApplication::sendEvent(window_.get(), &leave);
  EXPECT_EQ(client.seen.size(), 2u) << "one request, one answer";
  cSubclasser::SetHoverTime(400);
}

}  // namespace
