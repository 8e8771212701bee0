// The carousel's canvas: its 1280 x 720 surface exists from construction and
// is shown scaled to whatever size the control has; keys arrive as the
// program's key codes, mouse and drag events in the control's pixels.
#include "carousel/ucCanvas.h"
#include "platform/DragController.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void SendMouse(QWidget& widget, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
               Qt::MouseButtons held) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(700, 400);
    canvas = new ucCanvas(&window);
    source = new ctl::Control(&window);
    canvas->Move(0, 0, 640, 360);
    source->Move(650, 0, 40, 40);
    source->setObjectName(QStringLiteral("source"));
  }
  void TearDown() override { ctl::DragController::Instance().End(false); }

  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  // Red left half, blue right half, a green block in the bottom right corner.
  void DrawPattern() {
    CairoContext& cc = *canvas->Context();
    cc.SetSourceColour(RGB(255, 0, 0));
    cc.Paint();
    cc.SetSourceColour(RGB(0, 0, 255));
    cc.Rectangle(640, 0, 640, 720);
    cc.Fill();
    cc.SetSourceColour(RGB(0, 255, 0));
    cc.Rectangle(960, 540, 320, 180);
    cc.Fill();
  }

  // The colours shown at a quarter, three quarters and near the corner.
  QStringList Samples() {
    canvas->Refresh();
    const QImage shown = canvas->grab().toImage();
    const int w = shown.width();
    const int h = shown.height();
    QStringList names;
    for (const QPoint at : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w - 5, h - 5)}) {
      names.append(shown.pixelColor(at).name());
    }
    return names;
  }

  QWidget window;
  ucCanvas* canvas;
  ctl::Control* source;
  QStringList log;
};

TEST_F(CanvasTest, TheSurfaceIs1280By720FromConstructionAndShowsScaledAtAnySize) {
  const ucCanvas fresh;
  ASSERT_TRUE(fresh.Surface() && fresh.Context());
  EXPECT_EQ(fresh.Surface()->Width(), 1280);
  EXPECT_EQ(fresh.Surface()->Height(), 720);
  EXPECT_EQ(&fresh.Context()->Surface(), &fresh.Surface()->Surface());

  canvas->RefreshContents = [this](CairoContext& cc) {
    log.append(&cc == canvas->Context().get() ? "same context" : "other context");
  };
  DrawPattern();
  Show();
  const QStringList expected = {"#ff0000", "#0000ff", "#00ff00"};
  EXPECT_EQ(Samples(), expected);
  window.resize(1920, 1080);
  canvas->Move(0, 0, 1920, 1080);
  EXPECT_EQ(canvas->grab().size(), QSize(1920, 1080));
  EXPECT_EQ(Samples(), expected);
  EXPECT_EQ(canvas->Surface()->Width(), 1280);
  EXPECT_EQ(canvas->Shown().pixelColor(1919, 1079).name(), "#00ff00");
  EXPECT_FALSE(log.isEmpty());
  EXPECT_FALSE(log.contains("other context"));
}

TEST_F(CanvasTest, KeysArriveAsKeyCodesAndTheMouseInPixels) {
  canvas->KeyDown = [this](int& keyCode, int) { log.append(QStringLiteral("key %1").arg(keyCode)); };
  canvas->MouseDown = [this](int button, int shift, double x, double y) {
    log.append(QStringLiteral("down %1 %2 %3,%4").arg(button).arg(shift).arg(x).arg(y));
  };
  canvas->MouseMove = [this](int button, int, double x, double y) {
    log.append(QStringLiteral("move %1 %2,%3").arg(button).arg(x).arg(y));
  };
  canvas->DblClick = [this] { log.append(QStringLiteral("double")); };
  // The container may count in twips: the canvas still reports pixels.
  canvas->SetContainerUnits(ctl::ScaleUnits::Twips);
  Show();
  canvas->SetFocus();
  QTest::keyClick(canvas, Qt::Key_Left);
  QTest::keyClick(canvas, Qt::Key_A);
  SendMouse(*canvas, QEvent::MouseButtonPress, QPoint(30, 40), Qt::RightButton, Qt::RightButton);
  SendMouse(*canvas, QEvent::MouseMove, QPoint(45, 50), Qt::NoButton, Qt::LeftButton);
  SendMouse(*canvas, QEvent::MouseButtonDblClick, QPoint(45, 50), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(log, QStringList({"key 37", "key 65", "down 2 0 30,40", "move 1 45,50", "double"}));
}

TEST_F(CanvasTest, ADropThroughTheDragControllerReachesTheCanvasInPixels) {
  canvas->DragOver = [this](ctl::Control& from, double x, double y, int state) {
    log.append(QStringLiteral("over %1 %2 %3,%4").arg(from.objectName()).arg(state).arg(x).arg(y));
  };
  canvas->DragDrop = [this](ctl::Control& from, double x, double y) {
    log.append(QStringLiteral("drop %1 %2,%3").arg(from.objectName()).arg(x).arg(y));
  };
  Show();
  source->Drag();
  ctl::DragController::Instance().MoveTo(canvas->mapToGlobal(QPoint(100, 120)));
  ctl::DragController::Instance().DropAt(canvas->mapToGlobal(QPoint(110, 130)));
  EXPECT_EQ(log, QStringList({"over source 0 100,120", "drop source 110,130"}));
}

}  // namespace
