// The pane splitter driven with the mouse on the offscreen screen: the
// sizing arrow's strip, outline drags with their limits, the end of a drag
// when the window loses the activation, and live sizing in full-drag mode.
#include "ui/cMDISplit.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class SplitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->setGeometry(100, 100, 800, 600);
    pane_ = new QWidget(window_.get());
    pane_->setGeometry(0, 65, 200, 400);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    split_.MinSize = 50;
    split_.MaxSize = 300;
    split_.SplitterResized = [this] { ++resized_; };
  }

  void TearDown() override {
    split_.Detach();
    window_.reset();
  }

  // Moves the pointer to `x` (pane coordinates) on the pane's middle row.
  void MoveTo(int x, Qt::MouseButtons held = Qt::NoButton) {
    const QPoint at(x, 200);
    QCursor::setPos(pane_->mapToGlobal(at));
    QMouseEvent move(QEvent::MouseMove, at, pane_->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(pane_, &move);
  }
  void Press(int x) {
    MoveTo(x);
    QTest::mousePress(pane_, Qt::LeftButton, {}, QPoint(x, 200));
  }
  void Release(int x) { QTest::mouseRelease(pane_, Qt::LeftButton, {}, QPoint(x, 200)); }
  QWidget* Bar() const { return window_->findChild<QWidget*>(QStringLiteral("SplitterBar")); }
  // The bar's right edge in pane coordinates.
  int BarRight() const { return Bar()->geometry().right() + 1 - pane_->x(); }

  std::unique_ptr<QWidget> window_;
  QWidget* pane_ = nullptr;
  cMDISplit split_;
  int resized_ = 0;
};

TEST_F(SplitterTest, TheArrowShowsOverTheLastSplitSizePixelsOnly) {
  split_.Attach(pane_);
  split_.SetFullDrag(false);
  MoveTo(196);
  EXPECT_EQ(pane_->cursor().shape(), Qt::SizeHorCursor);
  MoveTo(195);
  EXPECT_EQ(pane_->cursor().shape(), Qt::ArrowCursor) << "one pixel further left: the pane's own cursor";
  split_.SetSplitSize(10);
  MoveTo(190);
  EXPECT_EQ(pane_->cursor().shape(), Qt::SizeHorCursor) << "a new SplitSize applies from the next move";
}

TEST_F(SplitterTest, AnOutlineDragMovesABarAndSizesThePaneOnRelease) {
  split_.SetFullDrag(false);
  split_.Attach(pane_);
  Press(198);
  ASSERT_TRUE(split_.Dragging());
  ASSERT_NE(Bar(), nullptr);
  EXPECT_TRUE(Bar()->isVisible());
  EXPECT_EQ(BarRight(), 200);
  MoveTo(238, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 240);
  EXPECT_EQ(pane_->width(), 200) << "the pane waits for the release";
  Release(238);
  EXPECT_FALSE(split_.Dragging());
  EXPECT_FALSE(Bar()->isVisible());
  EXPECT_EQ(pane_->geometry(), QRect(0, 65, 240, 400));
  EXPECT_EQ(resized_, 1);
}

TEST_F(SplitterTest, PastTheLimitTheBarWaitsUntilTheCursorIsBackWhereItWasLastAccepted) {
  split_.SetFullDrag(false);
  split_.Attach(pane_);
  Press(198);
  MoveTo(288, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 290);
  MoveTo(348, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 300) << "held at MaxSize";
  MoveTo(318, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 300) << "still beyond the last accepted position";
  MoveTo(288, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 300) << "back at the last accepted position";
  MoveTo(278, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 290) << "from there it follows the cursor, starting at the limit";
  MoveTo(0, Qt::LeftButton);
  EXPECT_EQ(BarRight(), 50) << "held at MinSize";
  Release(0);
  EXPECT_EQ(pane_->width(), 50);
}

TEST_F(SplitterTest, LosingTheActivationEndsTheDragAsARelease) {
  split_.SetFullDrag(false);
  split_.Attach(pane_);
  Press(198);
  MoveTo(258, Qt::LeftButton);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(window_.get(), &activate);
  EXPECT_TRUE(split_.Dragging()) << "the activation a press on an inactive window brings keeps the drag";
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(window_.get(), &deactivate);
  EXPECT_FALSE(split_.Dragging());
  EXPECT_EQ(pane_->width(), 260);
  EXPECT_EQ(resized_, 1);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the mouse is free again";
}

TEST_F(SplitterTest, AFullDragSizesThePaneLiveWithinItsLimits) {
  split_.Attach(pane_);  // full drag is the default
  MoveTo(197);
  EXPECT_EQ(pane_->cursor().shape(), Qt::SizeHorCursor) << "the edge answers as a sizable border";
  Press(197);
  MoveTo(227, Qt::LeftButton);
  EXPECT_EQ(pane_->width(), 230) << "sized as the mouse moves, the edge 3 pixels right of the pointer";
  MoveTo(10, Qt::LeftButton);
  EXPECT_EQ(pane_->geometry(), QRect(0, 65, 50, 400)) << "widened to MinSize at its left edge";
  MoveTo(600, Qt::LeftButton);
  EXPECT_EQ(pane_->width(), 300);
  Release(600);
  EXPECT_EQ(resized_, 0) << "the outline mode's event only";
  MoveTo(100);
  EXPECT_NE(pane_->cursor().shape(), Qt::SizeHorCursor);
}

TEST_F(SplitterTest, ChangingTheModeOfADetachedSplitterAttachesNothing) {
  split_.SetFullDrag(false);
  split_.SetFullDrag(true);
  MoveTo(198);
  EXPECT_NE(pane_->cursor().shape(), Qt::SizeHorCursor);
  Press(198);
  MoveTo(250, Qt::LeftButton);
  Release(250);
  EXPECT_EQ(pane_->width(), 200);
}

}  // namespace
