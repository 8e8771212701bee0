// The browser's views and the mouse wheel: the carousel switch, one row per
// wheel message in whichever grid has the focus (the browser's bar following
// only the browser's own grid), the carousel turned by one entry, and the
// history combo's click.
#include "tests/browser/BrowserTestSupport.h"

#include "carousel/CarouselPane.h"
#include "carousel/ucCanvas.h"
#include "inspector/InspectorPane.h"
#include "platform/controls/VScrollBar.h"

#include <QAction>
#include <QApplication>
#include <QWheelEvent>

namespace rwtest {
namespace {

class ViewsWheelTest : public GridTest {
 protected:
  void TearDown() override {
    gTVOutMode = false;
    gAutoRefresh = saveAutoRefresh_;
    GridTest::TearDown();
  }

  // A wheel notch turned with the widget focused. The grids ignore the
  // wheel, so the window system's event goes on up to the main window; Qt
  // does not pass a made-up event on, so the test hands it to the window.
  static void Turn(QWidget& widget, QPoint delta, Qt::KeyboardModifiers keys = {}) {
    widget.setFocus(Qt::OtherFocusReason);
    QApplication::setActiveWindow(widget.window());
    const QPointF at(5, 5);
    QWheelEvent ignored(at, widget.mapToGlobal(at), QPoint(), delta, Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &ignored);
    EXPECT_FALSE(ignored.isAccepted() && dynamic_cast<ctl::FlexGrid*>(&widget)) << "a grid leaves the wheel alone";
    QWheelEvent wheel(widget.mapTo(widget.window(), at), widget.mapToGlobal(at), QPoint(), delta, Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget.window(), &wheel);
  }
  static ctl::VScrollBar& Bar() { return *gMainForm->Results().scrollFlex; }

  bool saveAutoRefresh_ = gAutoRefresh;
};

TEST_F(ViewsWheelTest, TheCarouselSwitchKeepsTheCurrentResultAndASecondAskChangesNothing) {
  ShowResults(30);
  gCurrentItem = gResults[17];
  Send("mnuViewCarousel");
  EXPECT_EQ(gBrowserMode, 3);
  EXPECT_EQ(gBrowserIndex, 17) << "the carousel's cursor on the current result";
  EXPECT_TRUE(gMainForm->Carousel().ucCarouselCanvas->isVisible());
  EXPECT_FALSE(Tiles().isVisible());
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_TRUE(gMainForm->Results().Timer1->Enabled());
  EXPECT_TRUE(gMainForm->Results().picRight->updatesEnabled());

  gBrowserIndex = 3;  // a second ask leaves even the carousel's cursor alone
  Send("mnuViewCarousel");
  EXPECT_EQ(gBrowserIndex, 3);

  gTVOutMode = true;
  Send("mnuViewList");
  Send("mnuViewCarousel");
  EXPECT_EQ(gBrowserMode, 3);
  EXPECT_TRUE(gMainForm->Results().picRight->updatesEnabled());
  Send("mnuViewTile");
  EXPECT_EQ(gCurrentItem.SegmentID, 17);
  EXPECT_EQ(TileText(17).toInt() % 2, 1) << "the cursor is back on result 17 in the tiles";
}

TEST_F(ViewsWheelTest, OneRowPerWheelMessageWithinTheGridsLimits) {
  ShowResults(400, 2);
  ctl::FlexGrid& list = List();
  list.SetTopRow(10);
  Turn(list, QPoint(0, -240));
  EXPECT_EQ(list.TopRow(), 11) << "down one row, whatever the delta";
  EXPECT_EQ(Bar().Value(), 11);
  Turn(list, QPoint(0, 15));
  EXPECT_EQ(list.TopRow(), 10) << "a touchpad's small delta: up one row";
  Turn(list, QPoint(-120, 0), Qt::AltModifier);
  EXPECT_EQ(list.TopRow(), 11) << "Alt held: still down";
  Turn(list, QPoint(120, 0));
  EXPECT_EQ(list.TopRow(), 11) << "a tilt scrolls nothing";

  list.SetTopRow(list.Rows() - 2);
  Bar().SetValue(Bar().Max());
  Turn(list, QPoint(0, -120));
  Turn(list, QPoint(0, -120));
  EXPECT_EQ(list.TopRow(), list.Rows() - 1) << "no further than the last row";
  EXPECT_EQ(Bar().Value(), Bar().Max()) << "the bar stays at its end meanwhile";
  list.SetTopRow(list.FixedRows());
  Turn(list, QPoint(0, 120));
  EXPECT_EQ(list.TopRow(), list.FixedRows());

  ShowResults(400, 1);
  Tiles().SetTopRow(0);
  Turn(Tiles(), QPoint(0, -120));
  EXPECT_EQ(Tiles().TopRow(), 1);
  EXPECT_EQ(Bar().Value(), 1);
}

TEST_F(ViewsWheelTest, TheWheelScrollsOnlyTheFocusedGridOrTurnsTheCarousel) {
  ShowResults(400, 1);
  Tiles().SetTopRow(5);
  Bar().SetValue(5);
  Turn(*gMainForm->Tree().tvwLibrary, QPoint(0, -120));
  EXPECT_EQ(Tiles().TopRow(), 5) << "the tree takes no wheel here";

  ctl::FlexGrid& segments = *gMainForm->Inspector().flexSegments;
  segments.SetTopRow(segments.FixedRows());
  Turn(segments, QPoint(0, -120));
  EXPECT_EQ(Tiles().TopRow(), 5);
  EXPECT_EQ(Bar().Value(), 5) << "the browser's bar follows only the browser's grid";

  Send("mnuViewCarousel");
  gBrowserIndex = 399;
  Turn(*gMainForm->Carousel().ucCarouselCanvas, QPoint(0, -120));
  EXPECT_EQ(gBrowserIndex, 400);
  Turn(*gMainForm->Carousel().ucCarouselCanvas, QPoint(0, -120));
  EXPECT_EQ(gBrowserIndex, 400) << "clamped by the carousel";
  Turn(*gMainForm->Carousel().ucCarouselCanvas, QPoint(0, 120));
  EXPECT_EQ(gBrowserIndex, 399);
}

TEST_F(ViewsWheelTest, TheHistoryComboRefreshesOnlyWithAutoRefreshThenTakesTheFocus) {
  ShowResults(4);
  ctl::ImageCombo& combo = *gMainForm->Results().cmbBrowserHistory;
  combo.ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  gAutoRefresh = false;
  gMainForm->Results().cmbBrowserHistory_Click();
  EXPECT_EQ(gLibrary->ResultCount, 4);
  EXPECT_TRUE(combo.hasFocus() || combo.isAncestorOf(QApplication::focusWidget()));
  gAutoRefresh = true;
  gMainForm->Results().cmbBrowserHistory_Click();
  EXPECT_EQ(gLibrary->ResultCount, 0) << "the (empty) view is run again";
}

}  // namespace
}  // namespace rwtest
