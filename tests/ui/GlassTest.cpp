// The dimming overlay over a stand-in main window on the offscreen screen:
// what the main window's picture shows while it is loaded, where its label
// sits, and that it measures the main window only when it loads.
#include "platform/FontRegistry.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/ProgramFonts.h"
#include "ui/frmGlass.h"

#include <QFontInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The main window's colour under the overlay: a face and a darker panel.
const QColor kFace(230, 200, 120);
const QColor kPanel(20, 90, 200);

QColor Blend(const QColor& under, COLORREF sheet) {
  const auto mix = [](int a, int b) { return (a * (255 - frmGlass::kAlpha) + b * frmGlass::kAlpha) / 255; };
  return QColor(mix(under.red(), GetRValue(sheet)), mix(under.green(), GetGValue(sheet)),
                mix(under.blue(), GetBValue(sheet)));
}

::testing::AssertionResult Near(const QColor& seen, const QColor& expected) {
  const int tolerance = 3;
  if (std::abs(seen.red() - expected.red()) <= tolerance && std::abs(seen.green() - expected.green()) <= tolerance &&
      std::abs(seen.blue() - expected.blue()) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "seen " << seen.name().toStdString() << ", expected "
                                       << expected.name().toStdString();
}

QWidget* Filled(QWidget* widget, const QColor& colour) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  return widget;
}

class GlassTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterProgramFonts(); }

  void SetUp() override {
    main_.reset(Filled(new QWidget, kFace));
    main_->setWindowFlag(Qt::FramelessWindowHint);
    main_->setGeometry(100, 80, 640, 480);
    panel_ = Filled(new QWidget(main_.get()), kPanel);
    panel_->setGeometry(400, 300, 200, 150);
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
  }

  void TearDown() override { UnloadGlass(); }

  QImage Picture() const { return main_->grab().toImage(); }

  std::unique_ptr<QWidget> main_;
  QWidget* panel_ = nullptr;
};

TEST_F(GlassTest, DimsTheWholeMainWindowAndItsControls) {
  ShowGlass(main_.get());
  ASSERT_TRUE(gGlassForm);
  EXPECT_EQ(gGlassForm->objectName(), QStringLiteral("frmGlass"));
  EXPECT_EQ(gGlassForm->windowTitle(), QStringLiteral("Reelwise II - Waiting..."));
  EXPECT_EQ(gGlassForm->BackColor(), RGB(50, 50, 50));
  const QImage picture = Picture();
  const QColor face = Blend(kFace, RGB(50, 50, 50));
  EXPECT_TRUE(Near(picture.pixelColor(0, 0), face)) << "top left corner";
  EXPECT_TRUE(Near(picture.pixelColor(639, 479), face)) << "bottom right corner";
  EXPECT_TRUE(Near(picture.pixelColor(20, 400), face));
  EXPECT_TRUE(Near(picture.pixelColor(500, 380), Blend(kPanel, RGB(50, 50, 50)))) << "a control under the sheet";

  // A colour scheme recolours the sheet; it keeps its opacity.
  const COLORREF scheme = RGB(120, 20, 60);
  gGlassForm->SetBackColor(scheme);
  EXPECT_TRUE(Near(Picture().pixelColor(20, 20), Blend(kFace, scheme)));

  UnloadGlass();
  EXPECT_FALSE(gGlassForm);
  EXPECT_TRUE(Near(Picture().pixelColor(20, 20), kFace)) << "unloading removes the dimming";
}

TEST_F(GlassTest, WaitLabelIsCentredWhateverTheMainWindowsSize) {
  const auto expectCentred = [&](const char* what) {
    SCOPED_TRACE(what);
    ShowGlass(main_.get());
    ASSERT_TRUE(gGlassForm);
    EXPECT_EQ(gGlassForm->geometry(), main_->rect()) << "covers the main window exactly";
    const QLabel* label = gGlassForm->lblInfo;
    EXPECT_EQ(label->text(), QStringLiteral("Wait....."));
    EXPECT_LE(std::abs(label->geometry().center().x() - main_->width() / 2), 1);
    EXPECT_LE(std::abs(label->geometry().center().y() - main_->height() / 2), 1);
    EXPECT_GT(label->width(), 20) << "the label is sized to its text";
    UnloadGlass();
  };
  expectCentred("as opened");
  main_->resize(1001, 333);
  ASSERT_TRUE(QTest::qWaitFor([&] { return main_->size() == QSize(1001, 333); }, rwtest::kWaitCeilingMs));
  expectCentred("resized");
  main_->showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return main_->width() > 1001; }, rwtest::kWaitCeilingMs));
  expectCentred("maximised");
}

TEST_F(GlassTest, LabelIsInMsSansSerif) {
  if (!QtHasFontFamily(QStringLiteral("MS Sans Serif"))) GTEST_SKIP() << "fonts-wine is not installed";
  ShowGlass(main_.get());
  EXPECT_EQ(QFontInfo(gGlassForm->lblInfo->font()).family(), QStringLiteral("MS Sans Serif"));
}

// The main window's size is read only when the overlay loads; making it
// visible again keeps that size but brings it above newer controls.
TEST_F(GlassTest, MeasuresTheMainWindowOnlyWhenItLoads) {
  ShowGlass(nullptr);
  EXPECT_FALSE(gGlassForm) << "nothing to lay it over";

  ShowGlass(main_.get());
  const QPointer<frmGlass> first = gGlassForm;
  main_->resize(800, 600);
  QWidget* later = Filled(new QWidget(main_.get()), kPanel);
  later->setGeometry(600, 440, 100, 100);
  later->show();
  ShowGlass(nullptr);
  EXPECT_EQ(gGlassForm, first) << "still the one loaded overlay";
  EXPECT_EQ(gGlassForm->size(), QSize(640, 480));
  const QImage picture = Picture();
  EXPECT_TRUE(Near(picture.pixelColor(300, 470), Blend(kFace, RGB(50, 50, 50))));
  EXPECT_TRUE(Near(picture.pixelColor(790, 590), kFace)) << "beyond the measured size";
  EXPECT_TRUE(Near(picture.pixelColor(690, 530), kPanel)) << "beyond the measured size";
  EXPECT_TRUE(Near(picture.pixelColor(620, 460), Blend(kPanel, RGB(50, 50, 50)))) << "raised over the new control";

  UnloadGlass();
  ShowGlass(main_.get());
  EXPECT_EQ(gGlassForm->size(), QSize(800, 600)) << "loaded afresh";
  EXPECT_EQ(gGlassForm->BackColor(), RGB(50, 50, 50));
}

}  // namespace
