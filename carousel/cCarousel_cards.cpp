// The card painter and the background builder: one card of the ring on a
// small surface of its own, and the greyed, washed enlargement of a result's
// thumbnail that lies behind the ring.
#include "carousel/cCarousel.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "platform/ImageSurface.h"
#include "platform/Rounding.h"

#include <algorithm>

void GreyPixels(ImageSurface& image) {
  image.Flush();
  for (int y = 0; y < image.Height(); ++y) {
    uchar* pixel = image.Bits() + static_cast<ptrdiff_t>(y) * image.Stride();
    for (int x = 0; x < image.Width(); ++x, pixel += 4) {
      // Bytes in memory: blue, green, red, alpha.
      const double luminance = 0.3 * pixel[2] + 0.59 * pixel[1] + 0.11 * pixel[0];
      const auto grey = static_cast<uchar>(std::clamp(RoundHalfEven(luminance), 0.0, 255.0));
      pixel[0] = pixel[1] = pixel[2] = grey;
    }
  }
  image.MarkDirty();
}

void cCarousel::DrawCard(int ImageNumber, int32_t X, int32_t Y, double Width, double Height, double Opacity,
                         double ImageAlpha, COLORREF& FrameColour) {
  // With the ring focused the card is framed in the highlight, its picture opaque.
  const bool focused = m_MenuMode == QLatin1String("Carousel");
  if (focused) {
    FrameColour = HighlightColour;
    ImageAlpha = 1;
  }
  if (Opacity <= 0) return;  // nothing of it would show
  auto card = std::make_shared<ImageSurface>(CLng(Width), CLng(Height));
  {
    CairoContext context(card);
    context.SetSourceColour(FrameColour);
    context.Paint();
    const QString key = QStringLiteral("Thumb") + QString::number(ImageNumber);
    if (m_Images.Exists(key)) {
      const ImageSurface& thumbnail = *m_Images.Item(key);
      if (focused) {
        context.RenderSurface(thumbnail, 2, 4, Width - 4, Height - 8, ImageAlpha);
      } else {
        context.RenderSurface(thumbnail, 0, 0, Width, Height, ImageAlpha);
      }
    }
  }
  m_RingContext->RenderSurface(*card, X, Y, Width, Height, Opacity);
}

void cCarousel::PrepareBackground(int32_t Index) {
  m_ResultTotal = OpenSegmentCount();
  if (m_ResultTotal > 0 && HasResult(Index)) {
    ImageSurfacePtr thumbnail = ThumbnailOf(gResults[static_cast<size_t>(Index)]);
    // The same softening as the current background, so the fade-in matches it.
    CairoSurface(thumbnail).Blur(1);
    m_Images.AddSurface(QStringLiteral("NextBkGrnd"), thumbnail);
  }
  m_NextBackgroundSurface = std::make_shared<CairoSurface>(m_CanvasWidth, m_CanvasHeight);
  auto context = m_NextBackgroundSurface->Context();
  const QString key = QStringLiteral("NextBkGrnd");
  PaintBackground(*context, m_Images.Exists(key) ? m_Images.Item(key) : nullptr);
  if (gTVOutMode) PaintViewStrip(*context, 0.5);
}

// With no thumbnail (no results, none prepared yet) a plain shaded surface.
void cCarousel::PaintBackground(CairoContext& context, const ImageSurfacePtr& thumbnail) {
  if (thumbnail) {
    GreyPixels(*thumbnail);
    context.RenderSurface(*thumbnail, 0, 0, m_CanvasWidth, m_CanvasHeight);
  } else {
    context.SetSourceColour(lBGColour);
    context.Paint();
  }
  context.SetSourceColour(RGB(128, 128, 128));
  context.Paint(0.2);
  context.SetSourceColour(lBGColour);
  context.Paint(0.6);
}
