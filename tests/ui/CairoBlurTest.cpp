// Surface blur and images drawn into a rectangle at an opacity with a chosen
// resampling filter, checked by sampling the pixels.
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

QRgb Argb(const CairoSurface& surface, int x, int y) {
  surface.Surface().Flush();
  return surface.Surface().Image().pixel(x, y);
}

int Red(const CairoSurface& surface, int x, int y) { return qRed(Argb(surface, x, y)); }

// A black surface with one white pixel.
CairoSurface Spot(int width, int height, int x, int y) {
  CairoSurface surface(width, height);
  surface.Surface().Fill(kBlack);
  auto cc = surface.Context();
  cc->SetSourceColour(kWhite);
  cc->Rectangle(x, y, 1, 1);
  cc->Fill();
  return surface;
}

TEST(CairoBlurTest, SpreadsAPixelSymmetricallyKeepingItsBrightness) {
  CairoSurface surface = Spot(21, 21, 10, 10);
  surface.Blur(2);
  int total = 0;
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 21; ++x) {
      total += Red(surface, x, y);
      EXPECT_EQ(qAlpha(Argb(surface, x, y)), 255);
      EXPECT_EQ(Argb(surface, x, y), Argb(surface, 20 - x, y));
      EXPECT_EQ(Argb(surface, x, y), Argb(surface, y, x));
    }
  }
  EXPECT_GT(Red(surface, 8, 8), 0) << "reaches the radius";
  EXPECT_EQ(Red(surface, 7, 10), 0) << "and no further";
  EXPECT_NEAR(total, 255, 10);
}

TEST(CairoBlurTest, EdgesAverageOnlyPixelsInsideTheSurface) {
  CairoSurface corner = Spot(8, 6, 0, 0);
  corner.Blur(1);
  EXPECT_NEAR(Red(corner, 0, 0), 255 / 4, 1) << "a 2 x 2 window at the corner";
  EXPECT_EQ(Red(corner, 2, 0), 0);

  CairoSurface flat(7, 5);
  flat.Surface().Fill(RGB(40, 120, 200), 0.5);
  const QRgb before = Argb(flat, 3, 2);
  flat.Blur(INT_MAX);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(Argb(flat, x, y), before) << x << "," << y;
  }
}

TEST(CairoBlurTest, RadiusZeroOrLessLeavesTheSurfaceAlone) {
  CairoSurface surface = Spot(9, 9, 4, 4);
  surface.Blur(0);
  surface.Blur(-3);
  EXPECT_EQ(Red(surface, 4, 4), 255);
  EXPECT_EQ(Red(surface, 3, 4), 0);
}

TEST(CairoRenderSurfaceTest, OpacityHalvesTheImageOverBlack) {
  CairoSurface image(4, 4);
  image.Surface().Fill(kWhite);
  CairoSurface target(10, 10);
  target.Surface().Fill(kBlack);
  target.Context()->RenderSurface(image, 0, 0, 10, 10, 0.5, kFilterBest);
  EXPECT_NEAR(Red(target, 5, 5), 128, 1);
  EXPECT_NEAR(Red(target, 0, 9), 128, 1) << "the corners too";
}

TEST(CairoRenderSurfaceTest, ScaledImageCoversExactlyItsRectangle) {
  CairoSurface image(4, 4);
  image.Surface().Fill(kRed);
  for (int filter : {kFilterFast, kFilterGood, kFilterBest, kFilterNearest, kFilterBilinear, 99}) {
    CairoSurface target(40, 40);
    target.Context()->RenderSurface(image, 10, 10, 16, 16, 1.0, filter);
    for (int i = 10; i < 26; ++i) {
      EXPECT_EQ(Argb(target, 10, i), qRgb(255, 0, 0)) << "filter " << filter << " left edge row " << i;
      EXPECT_EQ(Argb(target, 25, i), qRgb(255, 0, 0)) << "filter " << filter << " right edge row " << i;
      EXPECT_EQ(Argb(target, i, 25), qRgb(255, 0, 0)) << "filter " << filter << " bottom edge column " << i;
      EXPECT_EQ(qAlpha(Argb(target, 9, i)), 0);
      EXPECT_EQ(qAlpha(Argb(target, 26, i)), 0);
      EXPECT_EQ(qAlpha(Argb(target, i, 26)), 0);
    }
  }
}

TEST(CairoRenderSurfaceTest, FilterChoosesHowPixelsAreResampled) {
  CairoSurface image(2, 1);
  auto cc = image.Context();
  cc->SetSourceColour(kRed);
  cc->Rectangle(0, 0, 1, 1);
  cc->Fill();
  cc->SetSourceColour(kBlue);
  cc->Rectangle(1, 0, 1, 1);
  cc->Fill();

  CairoSurface sharp(20, 2);
  sharp.Context()->RenderSurface(image, 0, 0, 20, 2, 1.0, kFilterNearest);
  EXPECT_EQ(Argb(sharp, 9, 0), qRgb(255, 0, 0));
  EXPECT_EQ(Argb(sharp, 10, 0), qRgb(0, 0, 255));

  CairoSurface smooth(20, 2);
  smooth.Context()->RenderSurface(image, 0, 0, 20, 2, 1.0, kFilterBilinear);
  EXPECT_GT(Red(smooth, 9, 0), 0);
  EXPECT_LT(Red(smooth, 9, 0), 255);
  EXPECT_EQ(Argb(smooth, 0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(Argb(smooth, 19, 0), qRgb(0, 0, 255));
}

}  // namespace
