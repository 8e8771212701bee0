// The colour-scheme model without a window: the two passes' pixel rules, the
// key colour, alpha, the conversions, the presets and the saved settings.
#include "options/ColourSchemeModel.h"

#include "core/modRegistry.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

namespace {

QImage OnePixel(QRgb colour) {
  QImage image(1, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, colour);
  return image;
}

QRgb Recoloured(QRgb colour, const ColourScheme& scheme) { return AdjustImageColours(OnePixel(colour), scheme).pixel(0, 0); }

ColourScheme Rgb(int red, int green, int blue) {
  ColourScheme scheme;
  scheme.Red = red, scheme.Green = green, scheme.Blue = blue, scheme.AdjRGB = 1;
  return scheme;
}

ColourScheme Colourise(int hue, int sat) {
  ColourScheme scheme;
  scheme.Hue = hue, scheme.Sat = sat, scheme.AdjHLS = 1;
  return scheme;
}

TEST(ColourSchemeModelTest, PixelRules) {
  struct Case {
    const char* what;
    QRgb in;
    ColourScheme scheme;
    QRgb out;
  };
  const Case cases[] = {
      {"neutral gains", qRgb(12, 130, 250), Rgb(100, 100, 100), qRgb(12, 130, 250)},
      {"Red 200 doubles and clamps", qRgb(100, 10, 10), Rgb(200, 100, 100), qRgb(200, 10, 10)},
      {"Red 200 clamps at 255", qRgb(200, 10, 10), Rgb(200, 100, 100), qRgb(255, 10, 10)},
      {"Red 0", qRgb(200, 10, 10), Rgb(0, 100, 100), qRgb(0, 10, 10)},
      {"channels by name", qRgb(10, 20, 30), Rgb(100, 200, 0), qRgb(10, 40, 0)},
      {"halves to even", qRgb(1, 3, 5), Rgb(150, 150, 150), qRgb(2, 4, 8)},
      {"green kept by RGB", qRgb(0, 255, 0), Rgb(0, 0, 0), qRgb(0, 255, 0)},
      // Hue 300 is green itself: 400 (cyan) would move any other green.
      {"green kept by Colourise", qRgb(0, 255, 0), Colourise(400, 100), qRgb(0, 255, 0)},
      {"black under Colourise", qRgb(0, 0, 0), Colourise(400, 80), qRgb(0, 0, 0)},
      {"white under Colourise", qRgb(255, 255, 255), Colourise(400, 80), qRgb(255, 255, 255)},
      {"Sat 0 gives grey", qRgb(200, 100, 0), Colourise(250, 0), qRgb(100, 100, 100)},
      {"both passes off", qRgb(1, 2, 3), ColourScheme{}, qRgb(1, 2, 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(Recoloured(c.in, c.scheme), c.out) << c.what;
}

TEST(ColourSchemeModelTest, AlphaIsKept) {
  const QRgb out = Recoloured(qRgba(100, 50, 25, 77), Rgb(200, 100, 100));
  EXPECT_EQ(qAlpha(out), 77);
  EXPECT_EQ(qRed(out), 200);
}

TEST(ColourSchemeModelTest, HueEndsGiveTheSameMagenta) {
  for (QRgb colour : {qRgb(40, 90, 200), qRgb(128, 128, 128), qRgb(250, 10, 10)}) {
    const QRgb low = Recoloured(colour, Colourise(0, 60));
    EXPECT_EQ(low, Recoloured(colour, Colourise(600, 60)));
    EXPECT_EQ(qRed(low), qBlue(low));
    EXPECT_GT(qRed(low), qGreen(low));
  }
}

TEST(ColourSchemeModelTest, ConversionsRoundTrip) {
  float h = 0, s = 0, l = 0;
  RGBToHLS(255, 0, 0, h, s, l);
  EXPECT_FLOAT_EQ(h, 0);
  EXPECT_FLOAT_EQ(s, 1);
  EXPECT_FLOAT_EQ(l, 0.5f);
  RGBToHLS(255, 0, 128, h, s, l);
  EXPECT_LT(h, 0);  // not wrapped
  for (QRgb colour : {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(30, 200, 90), qRgb(77, 77, 77)}) {
    RGBToHLS(qRed(colour), qGreen(colour), qBlue(colour), h, s, l);
    int32_t r = 0, g = 0, b = 0;
    HLSToRGB(h, s, l, r, g, b);
    EXPECT_EQ(qRgb(r, g, b), colour);
  }
}

TEST(ColourSchemeModelTest, Presets) {
  const QStringList names = ColourSchemePresetNames();
  ASSERT_EQ(names.size(), 15);
  EXPECT_EQ(names.first(), "Aqua");
  EXPECT_EQ(names.last(), "XP Silver");
  EXPECT_EQ(ColourSchemePresetText("Sense of Fern"), "|151|100|80|214|16|1|0");
  const ColourScheme blues = ColourSchemeFromText(ColourSchemePresetText("Reelwise Blues"));
  EXPECT_EQ(blues, (ColourScheme{35, 60, 60, 456, 41, 1, 0}));
  const ColourScheme other = ColourSchemeFromText(ColourSchemePresetText("reelwise blues"));
  EXPECT_EQ(other, (ColourScheme{105, 112, 109, 0, 9, 0, 0}));
}

class ColourSchemeSettingsTest : public rwtest::TempHomeTest {};

TEST_F(ColourSchemeSettingsTest, SavedAndReadBack) {
  modRegistry::EnsureDefaultSettings();
  EXPECT_EQ(ReadColourScheme(), ColourScheme{});
  const ColourScheme fern{151, 100, 80, 214, 16, 1, 0};
  SaveColourScheme(fern);
  EXPECT_EQ(ReadColourScheme(), fern);
}

}  // namespace
