// The flat frame around the history combo: lit by the mouse and unlit soon
// after it leaves, lit by the focus across the opening and closing of the
// list; its button at the right, at the left for right-to-left, only a grey
// arrow when disabled; refused for what has no window.
#include "core/modRegistry.h"
#include "platform/RWError.h"
#include "platform/controls/ImageCombo.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/SchemeColours.h"
#include "ui/cFlatControl.h"
#include "ui/modBlendColorAlpha.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kScheme4 = RGB(20, 60, 120);
constexpr COLORREF kCursor = RGB(230, 120, 0);

QRgb Rgb(uint32_t colour) { return ColorRefToQColor(colour).rgb(); }

class FlatControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {gSchemeColour4, gCursorColour};
    gSchemeColour4 = kScheme4;
    gCursorColour = kCursor;
    top_.resize(400, 200);
    combo_ = new ctl::ImageCombo(&top_);
    combo_->setGeometry(20, 20, 200, 22);
    combo_->ComboItems.Add(0, QStringLiteral("a"), QStringLiteral("First step"));
    other_ = new QLineEdit(&top_);
    other_->setGeometry(20, 100, 100, 22);
    top_.show();
    top_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&top_));
    other_->setFocus();
    QTest::mouseMove(&top_, QPoint(350, 170));
    flat_.Attach(combo_);
  }
  void TearDown() override { std::tie(gSchemeColour4, gCursorColour) = saved_; }

  QComboBox* Box() const { return combo_->Box(); }
  QImage Shot() const { return Box()->grab().toImage(); }
  QRgb Frame() const { return Shot().pixel(0, Box()->height() / 2); }
  int Mid() const { return 1 + (Box()->height() - 2) / 2; }
  int ButtonWidth() const { return Box()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Box()); }
  static QRgb Face() { return Rgb(BlendColor(0x8000000D, 0x80000005, 70)); }
  // The 5-3-1 pixel arrow centred at (cx, cy).
  static bool ShowsArrow(const QImage& shot, int cx, int cy, QRgb colour) {
    bool ok = shot.pixel(cx, cy + 1) == colour && shot.pixel(cx, cy + 2) != colour;
    for (int dx = -2; dx <= 2; ++dx) ok = ok && shot.pixel(cx + dx, cy - 1) == colour;
    return ok && shot.pixel(cx - 1, cy) == colour && shot.pixel(cx + 1, cy) == colour &&
           shot.pixel(cx - 2, cy) != colour && shot.pixel(cx + 2, cy) != colour;
  }

  QWidget top_;
  ctl::ImageCombo* combo_ = nullptr;
  QLineEdit* other_ = nullptr;
  cFlatControl flat_;
  std::pair<COLORREF, COLORREF> saved_;
};

TEST_F(FlatControlTest, TheMouseLightsTheFrameUntilSoonAfterThePointerLeaves) {
  EXPECT_EQ(Frame(), Rgb(kScheme4));
  QTest::mouseMove(Box(), QPoint(60, 10));
  EXPECT_EQ(Frame(), Rgb(kCursor)) << "not lit by the first move";
  EXPECT_EQ(Shot().pixel(Box()->width() - 1, Box()->height() - 1), Rgb(kCursor));
  rwtest::RunTimersDueWithin(60);  // the pointer's place has been polled a few times
  EXPECT_EQ(Frame(), Rgb(kCursor)) << "unlit while the pointer is still over the combo";
  QTest::mouseMove(&top_, QPoint(350, 170));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Frame() == Rgb(kScheme4); }, rwtest::kWaitCeilingMs))
      << "still lit after leaving";
}

TEST_F(FlatControlTest, AFocusedComboStaysLitWhenItsListOpensAndCloses) {
  combo_->SetFocus();
  EXPECT_EQ(Frame(), Rgb(kCursor));
  Box()->showPopup();
  EXPECT_TRUE(flat_.DroppedDown());
  EXPECT_EQ(Frame(), Rgb(kCursor));
  Box()->hidePopup();
  // The focus comes back once the window is active again.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Box()->hasFocus() && Frame() == Rgb(kCursor); }, rwtest::kWaitCeilingMs));
  other_->setFocus();
  EXPECT_EQ(Frame(), Rgb(kScheme4));
}

TEST_F(FlatControlTest, TheButtonSitsAtTheRightOrLeftAndDisabledLeavesOnlyAGreyArrow) {
  const int right = Box()->width() - 1;
  const int cx = right - ButtonWidth() + ButtonWidth() / 2;
  QImage shot = Shot();
  EXPECT_EQ(shot.pixel(1, Mid()), Rgb(TranslateColor(0x80000005))) << "inner frame";
  EXPECT_EQ(shot.pixel(right - 1, Mid()), Face());
  EXPECT_EQ(shot.pixel(right - 1 - ButtonWidth(), Mid()), Face()) << "edge line";
  EXPECT_NE(shot.pixel(3, Mid()), Face());
  EXPECT_TRUE(ShowsArrow(shot, cx, Mid(), Rgb(kScheme4)));

  combo_->setEnabled(false);
  shot = Shot();
  EXPECT_TRUE(ShowsArrow(shot, cx, Mid(), Rgb(TranslateColor(0x80000010))));
  EXPECT_NE(shot.pixel(cx + 4, Mid()), Face());
  EXPECT_NE(Frame(), Rgb(kScheme4));

  combo_->setEnabled(true);
  combo_->setLayoutDirection(Qt::RightToLeft);
  shot = Shot();
  EXPECT_EQ(shot.pixel(2, Mid()), Face());
  EXPECT_EQ(shot.pixel(ButtonWidth() + 1, Mid()), Face()) << "edge line";
  EXPECT_NE(shot.pixel(right - 2, Mid()), Face());
  EXPECT_TRUE(ShowsArrow(shot, 1 + (ButtonWidth() - 1) / 2, Mid(), Rgb(kScheme4)));
}

TEST_F(FlatControlTest, AttachingWhatHasNoWindowRaisesAndLeavesTheFrameDetached) {
  QObject notAWidget;
  for (QObject* thing : {static_cast<QObject*>(nullptr), &notAWidget}) {
    try {
      flat_.Attach(thing);
      ADD_FAILURE() << "no error raised";
    } catch (const RWError& error) {
      EXPECT_EQ(error.Number(), static_cast<int32_t>(0x80040419u));
      EXPECT_EQ(error.Description(), QStringLiteral("Incorrect control type passed to 'Attach' parameter - must be "
                                                    "a control with a hWnd property."));
      EXPECT_EQ(error.Source(), QCoreApplication::applicationName() + QStringLiteral(".cFlatControl"));
    }
  }
  QTest::mouseMove(Box(), QPoint(60, 10));
  EXPECT_NE(Frame(), Rgb(kCursor));
  EXPECT_NE(Frame(), Rgb(kScheme4));
}

}  // namespace
