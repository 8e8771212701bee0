// Colour blending, gradient fill and bevel, checked on the pixels they produce.
#include "platform/ImageSurface.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modGradientFill.h"
#include "ui/modImageBevel.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

int Grey(ImageSurface& surface, int x, int y) {
  const COLORREF c = surface.PixelColorRef(x, y);
  EXPECT_EQ(GetRValue(c), GetGValue(c)) << x << "," << y;
  EXPECT_EQ(GetGValue(c), GetBValue(c)) << x << "," << y;
  return GetRValue(c);
}

TEST(BlendColorTest, AlphaWeighsTheTwoColours) {
  EXPECT_EQ(BlendColor(RGB(10, 20, 30), RGB(200, 100, 50), 0), RGB(200, 100, 50));
  EXPECT_EQ(BlendColor(RGB(10, 20, 30), RGB(200, 100, 50), 255), RGB(10, 20, 30));
  EXPECT_EQ(BlendColor(0xFFFFFF, 0, 128), 0x808080u);
  // Red stays in the low byte: mixing pure red with black keeps a pure red.
  EXPECT_EQ(BlendColor(RGB(255, 0, 0), 0, 128), RGB(128, 0, 0));
}

TEST(BlendColorTest, SystemColoursAreTranslatedAndInvalidOnesMixAsWhite) {
  EXPECT_EQ(TranslateColor(RGB(1, 2, 3)), static_cast<int32_t>(RGB(1, 2, 3)));
  EXPECT_EQ(TranslateColor(0x8000000Fu), static_cast<int32_t>(RGB(240, 240, 240)));  // button face
  EXPECT_EQ(TranslateColor(0x80000005u), static_cast<int32_t>(RGB(255, 255, 255)));  // window
  EXPECT_EQ(TranslateColor(0x80000063u), -1);                                     // no such index
  EXPECT_EQ(TranslateColor(0x12345678u), -1);
  EXPECT_EQ(BlendColor(0x8000000Fu, 0, 255), RGB(240, 240, 240));
  EXPECT_EQ(BlendColor(0x8000000Fu, 0, 128), RGB(120, 120, 120));
  EXPECT_EQ(BlendColor(0x12345678u, 0, 255), RGB(255, 255, 255));
  EXPECT_EQ(BlendColor(0, 0x80000063u, 0), RGB(255, 255, 255));
}

TEST(DrawGradientTest, HorizontalRampFollowsTheColumnRule) {
  ImageSurface target(300, 50);
  target.Fill(kRed);
  ASSERT_TRUE(DrawGradient(target, 220, 40, 35, 0, 0xFFFFFF, false));
  EXPECT_EQ(Grey(target, 0, 0), 0);
  for (int x = 1; x <= 35; ++x) EXPECT_EQ(Grey(target, x, 20), 1) << x;
  for (int i = 1; i <= 219; ++i) {
    const int expected = static_cast<int>(std::nearbyint((i - 1) * 255.0 / 220.0));
    EXPECT_EQ(Grey(target, 35 + i, 39), expected) << i;
  }
  EXPECT_EQ(Grey(target, 254, 0), 253);
  // Nothing outside the (Width + Band) x Height area changes.
  EXPECT_EQ(target.PixelColorRef(255, 10), kRed);
  EXPECT_EQ(target.PixelColorRef(100, 40), kRed);
}

TEST(DrawGradientTest, EqualColoursGiveAUniformAreaAndRampsRunBetweenSchemeColours) {
  ImageSurface target(120, 30);
  ASSERT_TRUE(DrawGradient(target, 100, 30, 20, RGB(10, 100, 200), RGB(10, 100, 200), false));
  for (int x : {0, 1, 20, 21, 60, 119}) EXPECT_EQ(target.PixelColorRef(x, 15), RGB(10, 100, 200)) << x;

  // The message box's call: Band 30, the face from one scheme colour to the other.
  ImageSurface face(300, 60);
  ASSERT_TRUE(DrawGradient(face, 300, 60, 30, RGB(0, 0, 200), RGB(200, 0, 0), false));
  EXPECT_EQ(face.PixelColorRef(0, 30), RGB(0, 0, 200));
  EXPECT_EQ(face.PixelColorRef(31, 30), RGB(0, 0, 200));
  const COLORREF right = face.PixelColorRef(299, 30);
  EXPECT_NEAR(GetRValue(right), 200 * 268 / 300, 2);
  EXPECT_NEAR(GetBValue(right), 200 - 200 * 268 / 300, 2);
}

TEST(DrawGradientTest, VerticalRampRunsByRowsAndLeavesTheBandColumnsUndrawn) {
  ImageSurface target(60, 20);
  target.Fill(kRed);
  ASSERT_TRUE(DrawGradient(target, 40, 20, 10, 0, 0xFFFFFF, true));
  EXPECT_EQ(Grey(target, 5, 1), 0);            // the ramp's second row is Colour1
  EXPECT_EQ(Grey(target, 5, 0), 13);           // its first row keeps the strip's pen
  EXPECT_EQ(Grey(target, 5, 19), 230);         // 18 steps of 255 / 20, 229.5 to even
  EXPECT_EQ(target.PixelColorRef(45, 10), 0u);  // copied without being drawn
}

TEST(DrawGradientTest, AnAreaThatCannotBeMadeDrawsNothing) {
  ImageSurface target(50, 50);
  target.Fill(kRed);
  EXPECT_FALSE(DrawGradient(target, 220, 40, 1 << 30, 0, 0xFFFFFF, false));
  EXPECT_FALSE(DrawGradient(target, 0, 40, 35, 0, 0xFFFFFF, false));
  EXPECT_FALSE(DrawGradient(target, 220, 40, -1, 0, 0xFFFFFF, false));
  EXPECT_EQ(target.PixelColorRef(0, 0), kRed);
  EXPECT_EQ(target.PixelColorRef(49, 49), kRed);
}

TEST(BevelPictureTest, EdgesBlendHalfWayAndFadeOutAtDepth) {
  ImageSurface picture(100, 75);
  picture.Fill(RGB(128, 128, 128));
  BevelPicture(picture, 0.2f, 3);
  EXPECT_NEAR(Grey(picture, 0, 37), 192, 1);  // half-way to white
  EXPECT_NEAR(Grey(picture, 1, 37), 170, 2);
  EXPECT_EQ(Grey(picture, 3, 37), 128);       // the band ends at Depth
  EXPECT_EQ(Grey(picture, 50, 37), 128);
  EXPECT_NEAR(Grey(picture, 99, 37), 64, 1);  // half-way to black
  EXPECT_EQ(Grey(picture, 96, 37), 128);
  EXPECT_NEAR(Grey(picture, 50, 0), 192, 1);
  EXPECT_NEAR(Grey(picture, 50, 74), 64, 1);
  // Corners lie on mitre lines and are blended by both bands.
  EXPECT_NEAR(Grey(picture, 0, 0), 224, 1);
  EXPECT_NEAR(Grey(picture, 99, 74), 32, 1);
}

TEST(BevelPictureTest, MixColourLimitsAndTheInvalidColour) {
  using modImageBevel::MixColour;
  EXPECT_EQ(MixColour(0x102030, 0xFFFFFF, 1.5f), 0xFFFFFF);
  EXPECT_EQ(MixColour(0x102030, 0xFFFFFF, 0.0f), 0x102030);
  EXPECT_EQ(MixColour(-1, 0xFFFFFF, 0.5f), 0x808080);  // -1 mixes as black
  EXPECT_EQ(modImageBevel::RedOf(-1), 0);

  ImageSurface picture(10, 10);
  picture.Fill(RGB(128, 128, 128));
  BevelPicture(picture, 0.2f, 0);
  EXPECT_EQ(picture.PixelColorRef(0, 0), RGB(128, 128, 128));
  // A depth wider than the picture reaches outside it without harm.
  BevelPicture(picture, 0.2f, 30);
  EXPECT_GT(Grey(picture, 0, 5), 128);
}

}  // namespace
