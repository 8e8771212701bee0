// The drawing layer over Cairo and Pango: colours, paths, patterns, text and
// the keyed image list, checked by sampling the pixels they draw.
#include "platform/RWError.h"
#include "ui/CairoContext.h"
#include "ui/CairoObject.h"
#include "ui/PictureFit.h"
#include "ui/modCairo.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

int Alpha(const CairoSurface& surface, int x, int y) {
  surface.Surface().Flush();
  return qAlpha(surface.Surface().Image().pixel(x, y));
}

COLORREF Pixel(const CairoSurface& surface, int x, int y) { return surface.Surface().PixelColorRef(x, y); }

// Columns that carry any ink in the rows given.
std::pair<int, int> InkColumns(const CairoSurface& surface, int top, int bottom) {
  int first = -1;
  int last = -1;
  for (int x = 0; x < surface.Width(); ++x) {
    for (int y = top; y < bottom; ++y) {
      if (Alpha(surface, x, y) > 0) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

QByteArray PngOf(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

TEST(CairoObjectTest, OneSharedObjectSetUpOnce) {
  auto first = modCairo::GetCairo();
  auto second = modCairo::GetCairo();
  EXPECT_EQ(first.get(), second.get());
  EXPECT_TRUE(first->Initialised());
  auto surface = first->CreateSurface(4, 3);
  EXPECT_EQ(surface->Width(), 4);
  EXPECT_EQ(surface->Height(), 3);
  EXPECT_EQ(Alpha(*surface, 1, 1), 0) << "a new surface is transparent";
}

TEST(CairoContextTest, AColourRefFillReadsBackInItsOwnChannels) {
  auto surface = modCairo::GetCairo()->CreateSurface(10, 10);
  auto cc = surface->Context();
  cc->SetSourceColour(kRed);
  cc->Paint();
  EXPECT_EQ(Pixel(*surface, 5, 5), kRed);

  ImageSurface target(20, 20);
  target.Fill(kBlue);
  surface->DrawToDC(target);
  EXPECT_EQ(target.PixelColorRef(9, 9), kRed);
  EXPECT_EQ(target.PixelColorRef(10, 10), kBlue);
}

TEST(CairoContextTest, PathsTransformsAndTheStateStack) {
  auto surface = modCairo::GetCairo()->CreateSurface(60, 60);
  auto cc = surface->Context();
  cc->SetSourceColour(kBlue);
  cc->RoundedRect(0, 0, 40, 40, 10);
  cc->Fill();
  EXPECT_EQ(Alpha(*surface, 0, 0), 0) << "rounded corner";
  EXPECT_EQ(Pixel(*surface, 20, 20), kBlue);
  EXPECT_EQ(Alpha(*surface, 39, 20), 255);

  cc->Save();
  cc->Translate(45, 45);
  cc->SetSourceColour(kRed);
  cc->Rectangle(0, 0, 10, 10);
  cc->Fill();
  cc->Restore();
  EXPECT_EQ(Pixel(*surface, 50, 50), kRed);
  // Restore brings back the blue source and the untranslated origin.
  cc->Rectangle(45, 0, 10, 10);
  cc->Fill();
  EXPECT_EQ(Pixel(*surface, 50, 5), kBlue);

  cc->Save();
  cc->Translate(30, 50);
  cc->RotateDegrees(90);
  cc->Rectangle(0, 0, 8, 2);  // turned upright: x 28..30, y 50..58
  cc->Fill();
  cc->Restore();
  EXPECT_EQ(Alpha(*surface, 29, 55), 255);
  EXPECT_EQ(Alpha(*surface, 35, 51), 0);
}

TEST(CairoContextTest, PatternsFillWithoutReplacingTheSource) {
  auto cairo = modCairo::GetCairo();
  auto surface = cairo->CreateSurface(10, 31);
  auto cc = surface->Context();
  auto pattern = cairo->CreateLinearPattern(0, 0, 0, 30);
  pattern->AddThreeColourStops(kRed, RGB(0, 255, 0), kBlue, 1, 1, 1, 0.4);
  cc->SetSourceColour(RGB(255, 255, 255));
  cc->Rectangle(0, 0, 10, 31);
  cc->Fill(true, pattern.get());
  EXPECT_GT(GetRValue(Pixel(*surface, 5, 0)), 240);
  EXPECT_EQ(GetBValue(Pixel(*surface, 5, 0)), 0);
  EXPECT_NEAR(GetGValue(Pixel(*surface, 5, 12)), 255, 12);
  EXPECT_NEAR(GetBValue(Pixel(*surface, 5, 30)), 255, 10);
  cc->Stroke();  // the kept path, in the source colour
  EXPECT_EQ(Pixel(*surface, 0, 15), RGB(255, 255, 255));

  auto radial = cairo->CreateRadialPattern(5, 5, 0, 5, 5, 5);
  radial->AddTwoColourStops(kRed, kBlue, 1, 1);
  cc->Arc(5, 5, 5, 0, 2 * std::numbers::pi);
  cc->Fill(false, radial.get());
  EXPECT_GT(GetRValue(Pixel(*surface, 5, 5)), 200);
}

TEST(CairoContextTest, TextIsMeasuredAndDrawnInTheFontColour) {
  auto surface = modCairo::GetCairo()->CreateSurface(200, 60);
  auto cc = surface->Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kRed, true);
  const TextSize shortText = cc->MeasureText(QStringLiteral("Loading"));
  const TextSize longText = cc->MeasureText(QStringLiteral("Loading Thumbnails..."));
  EXPECT_GT(shortText.Width, 20);
  EXPECT_GT(longText.Width, shortText.Width * 2);
  EXPECT_NEAR(cc->FontHeight(), shortText.Height, 0.01);
  EXPECT_GT(cc->FontHeight(), 9);
  EXPECT_LT(cc->FontHeight(), 20);

  cc->Save();
  cc->SelectFont(QStringLiteral("Tahoma"), 20);
  EXPECT_GT(cc->FontHeight(), 20);
  cc->Restore();
  EXPECT_LT(cc->FontHeight(), 20) << "Restore brings the font back";

  cc->DrawText(0, 0, 200, 30, QStringLiteral("WWWW"), true, kAlignCentre);
  const auto [first, last] = InkColumns(*surface, 0, 30);
  ASSERT_GE(first, 0);
  EXPECT_NEAR((first + last) / 2.0, 100, 3) << "centred";
  bool red = false;
  for (int x = first; x <= last && !red; ++x) red = GetRValue(Pixel(*surface, x, 8)) > 200 && Alpha(*surface, x, 8) > 200;
  EXPECT_TRUE(red) << "drawn in the font colour";
}

TEST(CairoContextTest, DrawTextStaysInItsBoxAndWrapsUnlessSingleLine) {
  auto surface = modCairo::GetCairo()->CreateSurface(200, 100);
  auto cc = surface->Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 10, 0);
  const QString text = QStringLiteral("A caption far too wide for the little box it is drawn in");
  cc->DrawText(50, 0, 60, 40, text, true, kAlignCentre);
  const auto [first, last] = InkColumns(*surface, 0, 40);
  EXPECT_EQ(first, 50) << "cut at the left edge";
  EXPECT_EQ(last, 109) << "and at the right edge";
  EXPECT_EQ(InkColumns(*surface, 20, 40).first, -1) << "one line only";

  cc->DrawText(0, 40, 80, 60, text, false, kAlignLeft);
  EXPECT_GE(InkColumns(*surface, 60, 100).first, 0) << "wrapped onto further lines";
  EXPECT_LT(InkColumns(*surface, 40, 100).second, 80);
}

TEST(CairoContextTest, APreparedTextMeasuresAsTheTextAndDrawsInItsOwnColourInItsBox) {
  auto surface = modCairo::GetCairo()->CreateSurface(200, 80);
  auto cc = surface->Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kRed);
  const CairoText text = cc->PrepareText(QStringLiteral("WWWW\r\nW"));
  EXPECT_EQ(text.LineCount(), 2);
  EXPECT_NEAR(text.Size().Width, cc->MeasureText(QStringLiteral("WWWW")).Width, 0.5);
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kBlue);  // the text keeps the colour it was made in

  cc->DrawText(0, 0, 200, 40, text, kAlignCentre);
  const auto [first, last] = InkColumns(*surface, 0, 40);
  ASSERT_GE(first, 0);
  EXPECT_NEAR((first + last) / 2.0, 100, 3) << "the block centred";
  bool red = false;
  for (int x = first; x <= last && !red; ++x) red = GetRValue(Pixel(*surface, x, 6)) > 200 && Alpha(*surface, x, 6) > 200;
  EXPECT_TRUE(red);

  cc->DrawText(20, 50, 10, 8, text, kAlignLeft);
  const auto [left, right] = InkColumns(*surface, 50, 80);
  EXPECT_GE(left, 20);
  EXPECT_LE(right, 29) << "cut at the box";
}

TEST(CairoContextTest, TextAsPathAddsOutlinesOnly) {
  auto surface = modCairo::GetCairo()->CreateSurface(100, 30);
  auto cc = surface->Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 12, kBlue);
  cc->TextOut(2, 2, QStringLiteral("Less"), 1.0, true);
  EXPECT_EQ(InkColumns(*surface, 0, 30).first, -1);
  cc->Fill();
  EXPECT_GE(InkColumns(*surface, 0, 30).first, 2);
}

TEST(CairoImageListTest, KeyedPicturesAreDrawnByName) {
  auto cairo = modCairo::GetCairo();
  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(QColor(0, 0, 255));
  cairo->ImageList().AddFromBytes(QStringLiteral("TipStar"), PngOf(picture));
  picture.fill(QColor(255, 0, 0));
  cairo->ImageList().AddFromBytes(QStringLiteral("TipStar"), PngOf(picture), 8, 8);  // replaces
  EXPECT_EQ(cairo->ImageList().Item(QStringLiteral("tipstar"))->Width(), 8);

  auto surface = cairo->CreateSurface(30, 30);
  auto cc = surface->Context();
  cc->RenderSurface(QStringLiteral("TipStar"), 10, 10, 16, 16);
  EXPECT_EQ(Pixel(*surface, 18, 18), kRed);
  EXPECT_EQ(Alpha(*surface, 5, 5), 0);

  cairo->ImageList().Remove(QStringLiteral("TipStar"));
  EXPECT_FALSE(cairo->ImageList().Exists(QStringLiteral("TipStar")));
  EXPECT_THROW(cc->RenderSurface(QStringLiteral("TipStar"), 0, 0), RWError);
  try {
    cairo->ImageList().AddFromBytes(QStringLiteral("Bad"), QByteArray("not a picture"));
    ADD_FAILURE();
  } catch (const RWError& error) {
    EXPECT_EQ(error.Number(), kErrInvalidPicture);
  }
}

// A picture keeps its shown shape in a box of another: as large as fits,
// centred on whole pixels, the rest left for bars; a shape within a pixel of
// the box's fills it.
TEST(PictureFitTest, APictureKeepsItsShownShapeInABoxOfAnother) {
  const QRectF thumb(0, 0, 100, 75);
  EXPECT_EQ(FitPictureInBox(QSizeF(640, 480), thumb), thumb);
  EXPECT_EQ(FitPictureInBox(QSizeF(702, 525), thumb), thumb) << "74.8 high: within a pixel";
  EXPECT_EQ(FitPictureInBox(QSizeF(1080, 1920), thumb), QRectF(29, 0, 42, 75)) << "portrait phone clip";
  EXPECT_EQ(FitPictureInBox(QSizeF(1920, 804), thumb), QRectF(0, 16, 100, 42)) << "2.39:1";
  // 720 x 480 stored, shown 16:9 (853 x 480), in a story-board tile at (10, 20).
  EXPECT_EQ(FitPictureInBox(QSizeF(853.33, 480), QRectF(10, 20, 200, 150)), QRectF(10, 38, 200, 113));
  EXPECT_EQ(FitPictureInBox(QSizeF(), thumb), thumb) << "no shape known: the whole box";
  EXPECT_EQ(FitPictureInBox(QSizeF(1, 4000), thumb), QRectF(49, 0, 1, 75)) << "never thinner than a pixel";
}

}  // namespace
