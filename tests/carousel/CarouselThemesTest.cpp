// The carousel's palettes: the program's own scheme, the single tints, the
// greys and the two stored colours, each plain and inverted, and the theme
// remembered in TV-Out mode only.
#include "tests/carousel/CarouselFixture.h"
#include "ui/modBlendColorAlpha.h"

namespace {

class CarouselThemesTest : public rwtest::CarouselFixture {
 protected:
  void TearDown() override {
    gTVOutMode = false;
    rwtest::CarouselFixture::TearDown();
  }
  static int32_t Stored(const char* name) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name)).ToLong(-1);
  }
  static void Store(const char* name, const QVariant& value) {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name), value);
  }
};

TEST_F(CarouselThemesTest, ARedTintRampsFromPinkToDarkRedWithTheOrangeHighlight) {
  MakeCarousel();
  gCarousel->SetColourScheme(1);
  EXPECT_EQ(gCarousel->TintColour(0), RGB(255, 128, 128));
  EXPECT_EQ(gCarousel->TintColour(3), RGB(128, 0, 0));
  EXPECT_EQ(gCarousel->TintColour(4), RGB(255, 0, 0)) << "one input: the base tint is it";
  EXPECT_EQ(gCarousel->HighlightColour, RGB(255, 128, 0));
  EXPECT_EQ(gCarousel->lMenuColour3, RGB(128, 0, 0));
  EXPECT_EQ(gCarousel->lTextColour, BlendColor(gCarousel->TintColour(1), RGB(255, 255, 255), 60));
  EXPECT_EQ(gCarousel->lBGColour, BlendColor(gCarousel->lColour3, RGB(0, 0, 0), 60));
}

TEST_F(CarouselThemesTest, InvertingExchangesTheRampAfterTheMenuColoursAreTaken) {
  MakeCarousel();
  gCarousel->SetColourScheme(7);
  const COLORREF menu1 = gCarousel->lMenuColour1;
  const COLORREF menu3 = gCarousel->lMenuColour3;
  const COLORREF light = gCarousel->TintColour(0);
  const COLORREF dark = gCarousel->TintColour(3);
  EXPECT_EQ(dark, BlendColor(RGB(75, 75, 75), RGB(0, 0, 0), 128));
  gCarousel->SetInvert(true);
  gCarousel->SetColourScheme(7);
  EXPECT_EQ(gCarousel->TintColour(0), dark);
  EXPECT_EQ(gCarousel->TintColour(3), light);
  EXPECT_EQ(gCarousel->lMenuColour1, menu1) << "menu colours from the ramp before the exchange";
  EXPECT_EQ(gCarousel->lMenuColour3, menu3);
  EXPECT_EQ(gCarousel->lBGColour, BlendColor(gCarousel->lColour3, RGB(255, 255, 255), 100));
  EXPECT_EQ(gCarousel->TintColour(4), RGB(180, 180, 180)) << "inverted: the light input is the base";
}

TEST_F(CarouselThemesTest, TheProgramSchemeAndTheStoredColoursTakeTextAndShadeFromTheRamp) {
  MakeCarousel();
  gCarousel->SetColourScheme(0);
  EXPECT_EQ(gCarousel->HighlightColour, gCursorColour);
  EXPECT_EQ(gCarousel->lTextColour, gSchemeColour2);
  EXPECT_EQ(gCarousel->lBGColour, gSchemeColour4);

  Store("TV-Out Colour1", static_cast<int>(RGB(0, 40, 80)));
  Store("TV-Out Colour2", static_cast<int>(RGB(250, 220, 60)));
  gCarousel->SetColourScheme(8);
  EXPECT_EQ(gCarousel->lTextColour, gCarousel->TintColour(0));
  EXPECT_EQ(gCarousel->lBGColour, gCarousel->TintColour(3));
  EXPECT_EQ(gCarousel->TintColour(0), BlendColor(RGB(255, 255, 255), RGB(250, 220, 60), 128));
  gCarousel->SetInvert(true);
  gCarousel->SetColourScheme(8);
  EXPECT_EQ(gCarousel->lTextColour, gCarousel->TintColour(0)) << "after the exchange";
  EXPECT_EQ(gCarousel->TintColour(0), BlendColor(RGB(0, 40, 80), RGB(0, 0, 0), 128));

  Store("TV-Out Colour1", QString());
  Store("TV-Out Colour2", QString());
  gCarousel->SetInvert(false);
  gCarousel->SetColourScheme(8);
  EXPECT_EQ(gCarousel->TintColour(3), RGB(0, 0, 0)) << "empty colours count as black";
  EXPECT_EQ(gCarousel->TintColour(0), RGB(128, 128, 128));
}

TEST_F(CarouselThemesTest, OnlyTVOutModeRemembersTheTheme) {
  MakeCarousel();
  Store("TV-Out Theme", 5);
  Store("Invert Colours", 0);
  gCarousel->SetInvert(true);
  gCarousel->SetColourScheme(3);
  EXPECT_EQ(Stored("TV-Out Theme"), 5);
  EXPECT_EQ(Stored("Invert Colours"), 0);
  gTVOutMode = true;
  gCarousel->SetColourScheme(3);
  EXPECT_EQ(Stored("TV-Out Theme"), 3);
  EXPECT_EQ(Stored("Invert Colours"), 1);
}

}  // namespace
