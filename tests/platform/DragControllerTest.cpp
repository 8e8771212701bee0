// Drag and drop between controls: DragOver with enter, over and leave on the
// control under the pointer, the drop there, the source's drag icon as the
// pointer (changed by a target), the end of a drag, the mouse events a drag
// keeps from the source, and the replaceable key state.
#include "platform/DragController.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/TreeView.h"
#include "tests/platform/controls/ControlTestSupport.h"
#include "tests/support/ScriptedDialogs.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using ctl::Control;

// A mouse event as the window system delivers it, with the buttons held.
void SendMouse(QWidget& widget, QEvent::Type type, const QPoint& at, Qt::MouseButton button = Qt::NoButton,
               Qt::MouseButtons held = Qt::LeftButton) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

class DragControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(400, 200);
    for (Control* control : {&a, &b}) control->setParent(&window);
    a.setObjectName(QStringLiteral("a"));
    b.setObjectName(QStringLiteral("b"));
    a.Move(0, 0, 200, 100);
    b.Move(200, 0, 200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (Control* control : {&a, &b}) {
      control->DragOver = [this, control](Control& source, double x, double y, int state) {
        log.Add(QStringLiteral("%1 over %2 from %3 at %4,%5").arg(control->objectName()).arg(state)
                    .arg(source.objectName()).arg(x).arg(y));
      };
      control->DragDrop = [this, control](Control& source, double x, double y) {
        log.Add(QStringLiteral("%1 drop from %2 at %3,%4")
                    .arg(control->objectName(), source.objectName())
                    .arg(x)
                    .arg(y));
      };
      control->MouseMove = [this, control](int, int, double, double) { log.Add(control->objectName() + " move"); };
      control->MouseUp = [this, control](int, int, double, double) { log.Add(control->objectName() + " up"); };
    }
  }

  void TearDown() override {
    ctl::DragController::Instance().End(false);
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  }

  QWidget window;
  Control a;
  Control b;
  rwtest::EventLog log;
};

TEST_F(DragControllerTest, TheControlUnderThePointerGetsEnterOverLeaveAndTheDropInItsOwnCoordinates) {
  a.Drag();
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  SendMouse(a, QEvent::MouseMove, QPoint(250, 10));  // the source holds the mouse: events arrive there
  SendMouse(a, QEvent::MouseMove, QPoint(260, 20));
  SendMouse(a, QEvent::MouseMove, QPoint(30, 40));
  SendMouse(a, QEvent::MouseButtonRelease, QPoint(40, 50), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(log.Entries(), QStringList({"b over 0 from a at 50,10", "b over 2 from a at 60,20",
                                        "b over 1 from a at -170,40", "a over 0 from a at 30,40",
                                        "a drop from a at 40,50"}))
      << log.Joined();
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DragControllerTest, PositionsAreInTheTargetsEventUnitsAndFollowTheCellUnderThePointer) {
  ctl::FlexGrid grid(&window);
  grid.setObjectName(QStringLiteral("grid"));
  grid.SetRows(5);
  grid.SetCols(3);
  grid.SetFixedRows(0);
  grid.SetFixedCols(0);
  grid.SetColWidth(-1, 1500);  // 100 pixels
  grid.SetRowHeight(-1, 300);  // 20 pixels
  grid.Move(0, 100, 400, 100);
  grid.SetTopRow(0);
  grid.show();
  double dropX = 0;
  int dropRow = -1;
  int dropCol = -1;
  grid.DragDrop = [&](Control&, double x, double) {
    dropX = x;
    dropRow = grid.MouseRow();
    dropCol = grid.MouseCol();
  };
  b.Drag();
  SendMouse(b, QEvent::MouseButtonRelease, QPoint(-50, 150), Qt::LeftButton, Qt::NoButton);  // (150, 150) in the window
  EXPECT_DOUBLE_EQ(dropX, 150 * 15.0) << "twips, as the grid's mouse events";
  EXPECT_EQ(dropRow, 2);
  EXPECT_EQ(dropCol, 1);
}

TEST_F(DragControllerTest, TheSourcesDragIconIsThePointerAndATargetMayChangeIt) {
  const QCursor fileIcon(rwtest::Square(Qt::red, 32, 32));
  const QCursor openIcon(rwtest::Square(Qt::green, 32, 32));
  a.SetDragIcon(fileIcon);
  b.DragOver = [&](Control& source, double, double, int) { source.SetDragIcon(openIcon); };
  a.Drag();
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(), fileIcon.pixmap().toImage());
  SendMouse(a, QEvent::MouseMove, QPoint(250, 10));
  EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(), openIcon.pixmap().toImage());
  a.Drag(ctl::vbCancel);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DragControllerTest, CancelDropsNothingEndDropsAtThePointerAndOnlyTheSourceEndsItsDrag) {
  a.Drag();
  SendMouse(a, QEvent::MouseMove, QPoint(250, 10));
  b.Drag(ctl::vbCancel);
  EXPECT_TRUE(ctl::DragController::Instance().Dragging()) << "b is not the source";
  a.Drag(ctl::vbCancel);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(log.Entries(), QStringList({"b over 0 from a at 50,10", "b over 1 from a at 50,10"}))
      << "a cancel leaves the control the drag was over: " << log.Joined();

  log.Clear();
  a.Drag();
  SendMouse(a, QEvent::MouseMove, QPoint(260, 10));
  a.Drag(ctl::vbEndDrag);
  EXPECT_EQ(log.Entries().last(), QStringLiteral("b drop from a at 60,10"));
}

TEST_F(DragControllerTest, TheSourceSeesNoMovesAndNoReleaseDuringTheDrag) {
  a.Drag();
  SendMouse(a, QEvent::MouseMove, QPoint(20, 10));
  SendMouse(a, QEvent::MouseButtonRelease, QPoint(20, 10), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(log.Entries().contains(QStringLiteral("a move")));
  EXPECT_FALSE(log.Entries().contains(QStringLiteral("a up")));
  SendMouse(a, QEvent::MouseMove, QPoint(25, 10), Qt::NoButton, Qt::NoButton);
  EXPECT_TRUE(log.Entries().contains(QStringLiteral("a move"))) << "after the drop the source's own events resume";
}

TEST_F(DragControllerTest, ADropOutsideEveryControlDoesNothingAndDisabledControlsTakeNoDrop) {
  b.setEnabled(false);
  a.Drag();
  SendMouse(a, QEvent::MouseButtonRelease, QPoint(250, 10), Qt::LeftButton, Qt::NoButton);
  a.Drag();
  SendMouse(a, QEvent::MouseButtonRelease, QPoint(100, 150), Qt::LeftButton, Qt::NoButton);  // the window's own area
  EXPECT_TRUE(log.Entries().isEmpty()) << log.Joined();
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
}

TEST_F(DragControllerTest, AFailingDropHandlerIsReportedAndTheDragStillEnds) {
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(1);
  b.DragDrop = [](Control&, double, double) { throw RWError(5, QStringLiteral("Invalid procedure call")); };
  a.Drag();
  SendMouse(a, QEvent::MouseButtonRelease, QPoint(250, 10), Qt::LeftButton, Qt::NoButton);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: Invalid procedure call"));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
}

TEST_F(DragControllerTest, ADestroyedSourceEndsTheDrag) {
  auto* source = new Control(&window);
  source->Drag();
  delete source;
  SendMouse(a, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton, Qt::NoButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_TRUE(log.Entries().contains(QStringLiteral("a move")));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(KeyStateTest, TheKeyStateFunctionCanBeReplacedAndRestored) {
  auto previous = ctl::SetKeyStateFunction([](int key) { return static_cast<int16_t>(key == 18 ? 0xFF80 : 0); });
  EXPECT_NE(ctl::GetKeyState(18) & 0x80, 0);
  EXPECT_LT(ctl::GetKeyState(18), 0);
  EXPECT_EQ(ctl::GetKeyState(17), 0);
  ctl::SetKeyStateFunction(previous);
  ctl::SetKeyStateFunction({});
  EXPECT_EQ(ctl::GetKeyState(18), 0) << "no key is held in the test run";
}

}  // namespace
