// The widget kit: roots bound to Qt widgets paint their widgets and route
// mouse input to them; widget forms and library timers.
#include "platform/RWError.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/ScriptedDialogs.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/LibraryTimer.h"
#include "ui/WidgetFormObject.h"
#include "ui/modCairo.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A widget class as the kit's users write them: it paints itself red and
// records the events it receives.
class RecordingWidget : public WidgetClass {
 public:
  void W_Paint(CairoContext& cc, double, double, double, double) override {
    ++paints;
    cc.SetSourceColour(kRed);
    cc.Paint();
  }
  void W_MouseDown(int button, int shift, double x, double y) override { events.push_back({"down", button, x, y}); }
  void W_MouseMove(int button, int, double x, double y) override { events.push_back({"move", button, x, y}); }
  void W_MouseUp(int button, int, double x, double y) override { events.push_back({"up", button, x, y}); }
  void W_MouseLeave() override { events.push_back({"leave", 0, 0, 0}); }

  struct Event {
    std::string kind;
    int button;
    double x;
    double y;
  };
  int paints = 0;
  std::vector<Event> events;
};

COLORREF Shown(WidgetRootObject& root, int x, int y) { return root.Render()->PixelColorRef(x, y); }

void SendMouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

TEST(WidgetKitTest, PanelBackColourCreatesAndBindsTheRootFirst) {
  ucCarouselOptionsPanel panel;
  panel.resize(200, 120);
  panel.SetBackColour(kBlue);
  EXPECT_EQ(panel.WidgetRoot().Control(), &panel);
  EXPECT_EQ(Shown(panel.WidgetRoot(), 100, 60), kBlue);

  auto slider = panel.Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("CarouselEntriesSlider"),
                                    30, 30, 50, 20);
  EXPECT_EQ(Shown(panel.WidgetRoot(), 35, 35), kRed);
  EXPECT_EQ(Shown(panel.WidgetRoot(), 29, 35), kBlue);
  EXPECT_EQ(Shown(panel.WidgetRoot(), 80, 35), kBlue);
  EXPECT_EQ(&slider->Widget(), &panel.Widgets().Item(QStringLiteral("CarouselEntriesSlider")));
  EXPECT_THROW(panel.Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("CarouselEntriesSlider"), 0,
                                   0, 5, 5),
               RWError);

  panel.Widgets().RemoveAll();
  EXPECT_EQ(Shown(panel.WidgetRoot(), 35, 35), kBlue);
  EXPECT_EQ(slider->Widget().Root(), nullptr);
}

TEST(WidgetKitTest, RefreshRepaintsAtOnceOnlyWhileShown) {
  ucCarouselOptionsPanel panel;
  panel.resize(200, 120);
  auto widget = panel.Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("W"), 10, 10, 40, 40);
  widget->Widget().Refresh();
  EXPECT_EQ(widget->paints, 0) << "a hidden widget is painted only when it is shown";

  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  const int afterShow = widget->paints;
  EXPECT_GT(afterShow, 0);
  widget->Widget().Refresh();
  EXPECT_EQ(widget->paints, afterShow + 1) << "painted without a return to the event loop";

  widget->Widget().SetVisible(false);
  const int hidden = widget->paints;
  widget->Widget().Refresh();
  EXPECT_EQ(widget->paints, hidden);
}

TEST(WidgetKitTest, MouseInputGoesToTheWidgetUnderThePointerInItsOwnPixels) {
  ucCarouselOptionsPanel panel;
  panel.resize(200, 120);
  auto back = panel.Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("Back"), 0, 0, 200, 120);
  auto front = panel.Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("Front"), 30, 30, 50, 20);

  SendMouse(&panel, QEvent::MouseMove, QPointF(40, 35), Qt::NoButton, Qt::NoButton);
  SendMouse(&panel, QEvent::MouseButtonPress, QPointF(40, 35), Qt::LeftButton, Qt::LeftButton);
  // Held down, the pointer leaves the widget: the widget keeps the input.
  SendMouse(&panel, QEvent::MouseMove, QPointF(150, 100), Qt::NoButton, Qt::LeftButton);
  SendMouse(&panel, QEvent::MouseButtonRelease, QPointF(150, 100), Qt::LeftButton, Qt::NoButton);
  SendMouse(&panel, QEvent::MouseMove, QPointF(150, 100), Qt::NoButton, Qt::NoButton);

  ASSERT_GE(front->events.size(), 5u);
  EXPECT_EQ(front->events[0].kind, "move");
  EXPECT_EQ(front->events[1].kind, "down");
  EXPECT_EQ(front->events[1].button, 1);
  EXPECT_DOUBLE_EQ(front->events[1].x, 10);
  EXPECT_DOUBLE_EQ(front->events[1].y, 5);
  EXPECT_EQ(front->events[2].kind, "move");
  EXPECT_DOUBLE_EQ(front->events[2].x, 120);
  EXPECT_EQ(front->events[3].kind, "up");
  EXPECT_EQ(front->events[4].kind, "leave");
  ASSERT_FALSE(back->events.empty());
  EXPECT_EQ(back->events.back().kind, "move");
  EXPECT_DOUBLE_EQ(back->events.back().x, 150);
}

TEST(WidgetKitTest, FailuresInWidgetEventsAreReportedNotThrownIntoQt) {
  struct Failing : RecordingWidget {
    void W_MouseDown(int, int, double, double) override { throw RWError(5, QStringLiteral("Broken slider")); }
  };
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  ucCarouselOptionsPanel panel;
  panel.resize(100, 100);
  panel.Widgets().Add(std::make_shared<Failing>(), QStringLiteral("F"), 0, 0, 100, 100);
  SendMouse(&panel, QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("5: Broken slider"));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
}

TEST(WidgetKitTest, FormsArePlacedInScreenPixelsAndShowOnlyTheirWidgets) {
  auto form = modCairo::GetCairo()->WidgetForms().Create();
  form->WidgetRoot().SetBackColour(-1);
  auto tip = form->Widgets().Add(std::make_shared<RecordingWidget>(), QStringLiteral("Tooltip"), 0, 0, 100, 100);
  tip->Widget().Move(0, 0, 60, 40);
  form->Move(300, 200, 80, 50);
  int moves = 0;
  form->SetMouseMove([&moves](int, int, double, double) { ++moves; });
  form->Show(false, nullptr);
  EXPECT_TRUE(form->Window()->isVisible());
  EXPECT_EQ(form->Window()->geometry(), QRect(300, 200, 80, 50));

  ImageSurfacePtr shown = form->WidgetRoot().Render();
  EXPECT_EQ(shown->PixelColorRef(30, 20), kRed);
  EXPECT_EQ(qAlpha(shown->Image().pixel(70, 45)), 0) << "no back colour";

  SendMouse(form->Window(), QEvent::MouseMove, QPointF(10, 10), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(moves, 1);
  form->Close();
  EXPECT_FALSE(form->Window()->isVisible());
}

TEST(WidgetKitTest, LibraryTimersTickWhileEnabled) {
  WidgetRootObject root;
  auto timer = root.NewTimer(10, false);
  int ticks = 0;
  timer->Timer = [&ticks] { ++ticks; };
  rwtest::RunTimersDueWithin(40);
  EXPECT_EQ(ticks, 0);
  timer->SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, rwtest::kWaitCeilingMs));
  timer->SetEnabled(false);
  const int stopped = ticks;
  rwtest::RunTimersDueWithin(40);
  EXPECT_EQ(ticks, stopped);
  timer->SetInterval(20);
  EXPECT_EQ(timer->Interval(), 20);
  EXPECT_FALSE(timer->Enabled());
}

}  // namespace
