// The carousel canvas in the running program: clicks and drags count only
// on the front card; the right button opens the results' menu there, the
// middle one goes back to the tiles, a drag starts 10 pixels from where the
// pointer first moved, and the carousel's own drag dropped elsewhere is lost.
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "inspector/InspectorPane.h"
#include "tests/browser/BrowserTestSupport.h"

namespace {

class CarouselCanvasTest : public rwtest::GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    ShowResults(20);
    gCurrentItem = gResults[5];
    Send("mnuViewCarousel");
    ASSERT_EQ(gBrowserMode, 3);
    ASSERT_EQ(gBrowserIndex, 5);
  }

  static ctl::PictureBox& Inspector() { return *gMainForm->Inspector().picBottom; }
  static ucCanvas& Canvas() { return *gMainForm->Carousel().ucCarouselCanvas; }
  // The middle of the front card, and a point of the canvas beside it.
  static QPoint OnCard() { return QPoint(Canvas().width() / 2, Canvas().height() * 138 / 720); }
  static QPoint OffCard() { return QPoint(8, Canvas().height() - 8); }
};

TEST_F(CarouselCanvasTest, TheRightButtonOpensTheResultsMenuOnlyOnTheFrontCard) {
  QTest::mouseClick(&Canvas(), Qt::RightButton, {}, OffCard());
  EXPECT_FALSE(Form().mnuResultsPopUp->isVisible());
  QTest::mouseClick(&Canvas(), Qt::LeftButton, {}, OnCard());
  EXPECT_FALSE(Form().mnuResultsPopUp->isVisible()) << "the left button does nothing here";
  QTest::mouseClick(&Canvas(), Qt::RightButton, {}, OnCard());
  EXPECT_TRUE(Form().mnuResultsPopUp->isVisible());
  EXPECT_EQ(Form().mnuResultsPopUp->property("Tag").toString(), QStringLiteral("Browser"));
  EXPECT_EQ(gSavedItem.SegmentID, gResults[5].SegmentID);
}

TEST_F(CarouselCanvasTest, TheMiddleButtonOnTheFrontCardGoesBackToTheTiles) {
  QTest::mouseClick(&Canvas(), Qt::MiddleButton, {}, OffCard());
  EXPECT_EQ(gBrowserMode, 3);
  QTest::mouseClick(&Canvas(), Qt::MiddleButton, {}, OnCard());
  EXPECT_EQ(gBrowserMode, 1);
}

TEST_F(CarouselCanvasTest, ADragStartsTenPixelsFromTheFirstMoveAndIsLostOffTheCard) {
  // The inspector collapsed: a counted drop opens it to inspect the result.
  if (Inspector().Height() >= 338) gMainForm->MainToolbarHandler(QStringLiteral("mnuViewInspector"));
  ASSERT_LT(Inspector().Height(), 338);
  const QPoint from = OnCard();
  QTest::mousePress(&Canvas(), Qt::LeftButton, {}, from);
  Move(Canvas(), from, Qt::LeftButton);
  Move(Canvas(), from + QPoint(9, -9), Qt::LeftButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "9 pixels are not yet a drag";
  Move(Canvas(), from + QPoint(10, 0), Qt::LeftButton);
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(Form().m_DragState.Source, QStringLiteral("Browser"));
  EXPECT_EQ(Form().m_DragState.SegmentID, gResults[5].SegmentID);

  ctl::DragController::Instance().DropAt(Canvas().mapToGlobal(OffCard()));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_LT(Inspector().Height(), 338) << "dropped beside the card, the drag does nothing";

  Move(Canvas(), from, Qt::NoButton);  // no button: the origin is forgotten
  Move(Canvas(), from + QPoint(20, 0), Qt::LeftButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "a new origin, from where the button went down";
  Move(Canvas(), from + QPoint(30, 0), Qt::LeftButton);
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  ctl::DragController::Instance().DropAt(Canvas().mapToGlobal(from));
  EXPECT_EQ(Inspector().Height(), 338) << "dropped on the card, it is inspected";
}

TEST_F(CarouselCanvasTest, LeftAndRightTurnTheRingAndTheDetailsFollowOnTheTimer) {
  QTest::keyClick(&Canvas(), Qt::Key_Right);
  EXPECT_EQ(gBrowserIndex, 6);
  EXPECT_EQ(gCurrentItem.SegmentID, gResults[6].SegmentID);
  EXPECT_TRUE(gMainForm->Carousel().CarouselTimer->Enabled());
  EXPECT_EQ(gMainForm->Carousel().CarouselTimer->Interval(), 100) << "a key's move lets the details wait longer";
  QTRY_VERIFY(gCarousel->DetailsDrawn());
  EXPECT_FALSE(gMainForm->Carousel().CarouselTimer->Enabled()) << "one shot";
  QTest::keyClick(&Canvas(), Qt::Key_Left);
  QTest::keyClick(&Canvas(), Qt::Key_Left);
  EXPECT_EQ(gBrowserIndex, 4);
}

}  // namespace
