// The drawn slider: its value against the knob's place, the drag's snapping,
// the groove's one-step presses and the knob's colour; and the drag shapes it
// is built on.
#include "platform/RWError.h"
#include "ui/CairoContext.h"
#include "ui/DragShape.h"
#include "ui/cwSlider.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr double kHeight = 24;
// Where the slider lies in its panel.
constexpr int kLeft = 30;
constexpr int kTop = 30;

int Luminance(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }
// The ball's colours run from dark red to pale orange; the body and groove are grey.
bool Warm(COLORREF c) { return GetRValue(c) > GetBValue(c) + 40; }
bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A slider from 4 to 8 on a white panel, its ValueChanged recorded.
class SliderTest : public ::testing::Test {
 protected:
  SliderTest() {
    panel.resize(300, 100);
    panel.SetBackColour(kWhite);
    slider->ValueChanged = [this](double value) { changes.push_back(value); };
  }

  void Place(double width, double value, const QString& left = QStringLiteral("Less"),
             const QString& right = QStringLiteral("More")) {
    slider->Init(width, kHeight, left, right, QStringLiteral("Number of Carousel Images"), 4, 8, 1, value);
    if (!panel.Widgets().Exists(QStringLiteral("Slider"))) {
      panel.Widgets().Add(slider, QStringLiteral("Slider"), kLeft, kTop, width, kHeight + 14);
    }
    changes.clear();
  }

  // A groove exactly 100 pixels long (25 per value unit), whatever the caption font measures.
  void PlaceWithTrack100(double value) {
    Place(200, value);
    Place(slider->LeftCaptionWidth() + slider->RightCaptionWidth() + 2 * slider->R() + 100, value);
  }

  double KnobY() const { return kHeight / 2 + 14; }
  QPoint At(double x, double y) const { return QPoint(qRound(kLeft + x), qRound(kTop + y)); }
  COLORREF Pixel(double x, double y) {
    return panel.WidgetRoot().Render()->PixelColorRef(qRound(kLeft + x), qRound(kTop + y));
  }
  void Show() {
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  }

  ucCarouselOptionsPanel panel;
  std::shared_ptr<cwSlider> slider = std::make_shared<cwSlider>();
  std::vector<double> changes;
};

TEST_F(SliderTest, ValueOutsideTheRangeSitsAtTheNearerEndAndIsReportedOnce) {
  Place(180, 20);
  EXPECT_DOUBLE_EQ(slider->Value(), 8);
  EXPECT_DOUBLE_EQ(slider->KnobX(), slider->TrackLeft() + slider->TrackWidth());
  Place(180, -3);
  EXPECT_DOUBLE_EQ(slider->Value(), 4);
  EXPECT_DOUBLE_EQ(slider->CenterDrag()->X(), slider->TrackLeft());

  Place(180, 6);
  slider->SetValue(6);
  EXPECT_TRUE(changes.empty()) << "the same value again";
  slider->SetValue(20);
  slider->SetValue(20);
  slider->SetValue(8);
  ASSERT_EQ(changes.size(), 1u) << "a clamped value written again moves nothing";
  EXPECT_DOUBLE_EQ(changes[0], 8);
  EXPECT_DOUBLE_EQ(slider->CenterDrag()->X(), slider->KnobX());
}

TEST_F(SliderTest, RangeWithoutLengthIsRefused) {
  try {
    slider->Init(180, kHeight, QString(), QString(), QString(), 5, 5, 1, 5);
    FAIL() << "Init accepted Min equal to Max";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Number(), 5);
    EXPECT_TRUE(error.Source().endsWith(QStringLiteral(".cwSlider")));
  }
  Place(180, 6);
  EXPECT_THROW(slider->SetMax(4), RWError);
  EXPECT_DOUBLE_EQ(slider->Max(), 8);
  EXPECT_DOUBLE_EQ(slider->Value(), 6);
}

TEST_F(SliderTest, EmptyEndCaptionsShowTheRangeEnds) {
  Place(180, 6, QString(), QString());
  EXPECT_EQ(slider->CaptionLeft(), QStringLiteral("   4  "));
  EXPECT_EQ(slider->CaptionRight(), QStringLiteral("  8   "));
  const int32_t digitWidth = slider->LeftCaptionWidth();
  Place(180, 6);
  EXPECT_EQ(slider->CaptionLeft(), QStringLiteral("   Less  "));
  EXPECT_EQ(slider->CaptionRight(), QStringLiteral("  More   "));
  EXPECT_GT(slider->LeftCaptionWidth(), digitWidth) << "each caption is measured as stored";
}

TEST_F(SliderTest, DropSnapsToAWholeValueOnTheKnobsLine) {
  PlaceWithTrack100(4);
  ASSERT_NEAR(slider->TrackWidth(), 100, 1e-9);
  Show();
  const double left = slider->TrackLeft();
  QTest::mousePress(&panel, Qt::LeftButton, {}, At(left, KnobY()));
  QTest::mouseMove(&panel, At(left + 30, KnobY() - 3));
  // 60 % of the groove (6.4), and off the knob's line.
  QTest::mouseMove(&panel, At(left + 60, KnobY() + 6));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, At(left + 60, KnobY() + 6));

  EXPECT_DOUBLE_EQ(slider->Value(), 6);
  EXPECT_DOUBLE_EQ(slider->KnobX(), left + 50);
  EXPECT_DOUBLE_EQ(slider->CenterDrag()->X(), left + 50);
  EXPECT_DOUBLE_EQ(slider->CenterDrag()->Y(), KnobY());
  EXPECT_EQ(changes, (std::vector<double>{5, 6})) << "whole values, each once";

  EXPECT_TRUE(Warm(Pixel(left + 50, KnobY()))) << "the ball is drawn where the knob is";
  EXPECT_FALSE(Warm(Pixel(left, KnobY())));

  // The knob stays where it was dropped once the pointer moves on.
  QTest::mouseMove(&panel, At(left + 90, KnobY()));
  EXPECT_DOUBLE_EQ(slider->Value(), 6);

  if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) {
    panel.WidgetRoot().Render()->Image().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
}

TEST_F(SliderTest, GroovePressStepsBallValueAndValuePartTogether) {
  PlaceWithTrack100(6);
  Show();
  const double left = slider->TrackLeft();
  const double between = left + 62.5;  // past the knob at 6, inside the value part at 7
  const int before = Luminance(Pixel(between, KnobY()));

  QTest::mouseClick(&panel, Qt::LeftButton, {}, At(left + 95, KnobY()));
  EXPECT_DOUBLE_EQ(slider->Value(), 7);
  EXPECT_DOUBLE_EQ(slider->KnobX(), left + 75);
  EXPECT_DOUBLE_EQ(slider->CenterDrag()->X(), slider->KnobX());
  EXPECT_EQ(changes, (std::vector<double>{7}));
  EXPECT_TRUE(Warm(Pixel(left + 75, KnobY())));
  EXPECT_LT(Luminance(Pixel(between, KnobY())), before) << "the value part reaches the new knob";

  // Towards the pointer: one step back from a press on the left.
  QTest::mouseClick(&panel, Qt::LeftButton, {}, At(left + 10, KnobY()));
  EXPECT_DOUBLE_EQ(slider->Value(), 6);

  // At an end the press steps nowhere and reports nothing.
  slider->SetValue(8);
  changes.clear();
  QTest::mouseClick(&panel, Qt::LeftButton, {}, At(left + 98, KnobY()));
  EXPECT_DOUBLE_EQ(slider->Value(), 8);
  EXPECT_TRUE(changes.empty());

  // A press on the knob itself starts a drag, not a step.
  QTest::mouseClick(&panel, Qt::LeftButton, {}, At(slider->KnobX(), KnobY()));
  EXPECT_DOUBLE_EQ(slider->Value(), 8);
}

TEST_F(SliderTest, KnobKeepsTheColourItHadAtInit) {
  auto plain = std::make_shared<cwSlider>();
  auto tintedFirst = std::make_shared<cwSlider>();
  tintedFirst->SetColour(kBlue);
  for (const auto& other : {plain, tintedFirst}) {
    other->Init(180, kHeight, QStringLiteral("Less"), QStringLiteral("More"), QString(), 4, 8, 1, 6);
  }
  Place(180, 6);
  slider->SetColour(kBlue);  // as the options dialog does, after Init
  panel.Widgets().Add(plain, QStringLiteral("Plain"), 0, 0, 180, kHeight + 14);
  panel.Widgets().Add(tintedFirst, QStringLiteral("Tinted"), 0, kTop + kHeight + 20, 180, kHeight + 14);
  ImageSurfacePtr shown = panel.WidgetRoot().Render();

  const int knobX = qRound(slider->KnobX());
  const int knobY = qRound(KnobY());
  const COLORREF afterInit = shown->PixelColorRef(kLeft + knobX, kTop + knobY);
  const COLORREF untinted = shown->PixelColorRef(knobX, knobY);
  const COLORREF beforeInit = shown->PixelColorRef(knobX, kTop + kHeight + 20 + knobY);
  EXPECT_EQ(afterInit, untinted);
  EXPECT_GT(GetBValue(beforeInit), GetBValue(untinted) + 20) << "the handle took the colour set before Init";

  // The body does take the later colour.
  const int bodyX = qRound(slider->TrackLeft() + slider->TrackWidth() / 2);
  const COLORREF body = shown->PixelColorRef(kLeft + bodyX, kTop + 16);
  const COLORREF plainBody = shown->PixelColorRef(bodyX, 16);
  EXPECT_GT(GetBValue(body), GetBValue(plainBody) + 40);
}

TEST(SliderDragShapeTest, ShapesDrawAsDiscsAndMoveOnlyWhenDragged) {
  DragShapeCollection shapes;
  auto area = shapes.Add(QStringLiteral("Area"), 50, 20, RGB(0, 255, 0), 10, 1.0);
  area->SetSize(80, 10);
  auto handle = shapes.Add(QStringLiteral("Handle"), 30, 20, RGB(255, 0, 0), 20, 0.5);
  int raised = 0;
  handle->PositionChanging = [&raised](double& x, double& y) {
    ++raised;
    y = 20;  // kept on its line
  };

  auto surface = std::make_shared<ImageSurface>(100, 40);
  surface->Fill(kWhite);
  {
    CairoContext cc(surface);
    shapes.Draw(cc);
  }
  EXPECT_TRUE(Near(surface->PixelColorRef(30, 20), RGB(128, 128, 0))) << "half-opaque red over green";
  EXPECT_TRUE(Near(surface->PixelColorRef(30, 12), RGB(255, 128, 128))) << "a disc of diameter 20";
  EXPECT_EQ(surface->PixelColorRef(38, 12), kWhite) << "round, not square";
  EXPECT_EQ(surface->PixelColorRef(85, 20), RGB(0, 255, 0));
  EXPECT_EQ(surface->PixelColorRef(50, 27), kWhite) << "the area is 10 high";

  EXPECT_EQ(shapes.MouseMove(31, 21, false), handle.get()) << "the later shape lies on top";
  EXPECT_EQ(shapes.MouseMove(80, 20, false), area.get());
  EXPECT_EQ(shapes.MouseMove(95, 20, false), nullptr);

  handle->SetX(35);
  EXPECT_EQ(raised, 0) << "placing from code raises nothing";

  handle->BeginDrag(36, 21);
  EXPECT_DOUBLE_EQ(handle->X(), 35) << "a press alone moves nothing";
  shapes.MouseMove(46, 31, false);
  EXPECT_DOUBLE_EQ(handle->X(), 35) << "a hit test moves nothing";
  bool changed = false;
  shapes.MouseMove(46, 31, true, &changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(raised, 1);
  EXPECT_DOUBLE_EQ(handle->X(), 45) << "it keeps its offset to the pointer";
  EXPECT_DOUBLE_EQ(handle->Y(), 20) << "the handler's position is applied";

  shapes.MouseUp();
  shapes.MouseMove(70, 20, true, &changed);
  EXPECT_DOUBLE_EQ(handle->X(), 45);
  EXPECT_EQ(raised, 1);
}

}  // namespace
