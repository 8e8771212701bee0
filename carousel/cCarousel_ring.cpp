// The ring: making a result current and turning the ring to it frame by
// frame, drawing the cards and the counter, composing the canvas, loading
// the thumbnails around the current result and the empty card.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/Rounding.h"
#include "resources/Resources.h"
#include "ui/modBlendColorAlpha.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRestImageAlpha = 0.4;

// A For loop of the index from start to stop by step, whose body may move
// the index itself: the end test is made on the index as it then stands.
bool InRange(int32_t index, int32_t stop, int step) { return step > 0 ? index <= stop : index >= stop; }

}  // namespace

bool cCarousel::SetCarouselIndex(int32_t NewIndex, bool Animate, bool SlowTimer) {
  // 1. A fresh start: no details yet, no menu.
  SaveContext();
  m_Scrolling = true;
  m_DetailsDrawn = false;
  double imageAlpha = kRestImageAlpha;
  m_SlowTimer = SlowTimer;
  m_Pose.LastStep = false;
  m_Pose.FastMode = false;
  SetMenuMode(QStringLiteral("NULL"));
  // Play waits until the details have found the new front file.
  if (CarouselMenuEntry* play = MenuEntry(CarouselCommand::PlayFile)) play->Enabled = false;
  // 2.
  SetCarouselTimer(SlowTimer ? 100 : 10, false);
  // 3. The target, clamped to the results, and the way there.
  const int32_t count = OpenSegmentCount();
  int32_t target = NewIndex;
  int direction = 0;
  if (count <= 0) {
    target = 0;
    gBrowserIndex = 0;
    direction = -1;
  } else if (NewIndex < 1) {
    target = 1;
    direction = -1;
  } else if (NewIndex > count) {
    target = count;
    direction = 1;
  } else if (NewIndex == gBrowserIndex) {
    direction = 0;
    Animate = false;
  } else {
    direction = NewIndex < gBrowserIndex ? -1 : 1;
  }
  m_Pose.Direction = direction;
  // 4. The last step ends one short of the target, whose cards are loaded last.
  const int32_t stop = target - direction;
  const int32_t start = gBrowserIndex;
  if (std::abs(start - stop) > 12) m_Pose.FastMode = true;
  // 5.
  m_Pose.RadiusX = CarouselRing::RestRadiusX;
  m_Pose.RadiusY = CarouselRing::RestRadiusY;
  // 6. The destination's background, faded in over the last step.
  if (target >= 1) PrepareBackground(target);
  // 7.
  if (Animate && direction != 0) {
    if (std::abs(stop - start) > 1 && m_BackgroundSurface) {
      m_BackgroundSurface->Context()->SetSourceColour(lBGColour);
      m_BackgroundSurface->Context()->Paint(0.3);
    }
    ScrollSteps(start, stop, imageAlpha);
  }
  // 8. At rest on the target.
  gBrowserIndex = target;
  if (target >= 1 && target < static_cast<int32_t>(gResults.size())) gCurrentItem = gResults[static_cast<size_t>(target)];
  LoadEntries(target);
  DrawFrame();
  m_Pose = CarouselRing::RestPose(m_Entries);
  DrawRing(kRestImageAlpha, 1);
  // 9. The details follow one timer period later.
  if (m_ResultsWipedIn == 0) WipeInResults();
  if (gAppReady) RefreshCanvas();
  SyncMenuState();
  SetCarouselTimer(SlowTimer ? 100 : 10, true);
  return Animate;
}

void cCarousel::ScrollSteps(int32_t Start, int32_t Stop, double& ImageAlpha) {
  const int direction = m_Pose.Direction;
  double delta = -0.05;
  for (gBrowserIndex = Start; InRange(gBrowserIndex, Stop, direction); gBrowserIndex += direction) {
    LoadEntries(gBrowserIndex);
    const int frames = CarouselRing::FramesOfStep(m_Frames, gBrowserIndex, Start, Stop, m_Pose.FastMode);
    if (m_Pose.FastMode) {
      ImageAlpha += delta;
      // Six steps out, a jump to six steps before the target, and on from there.
      if (gBrowserIndex == Start + 6 * direction) {
        gBrowserIndex = Stop - 6 * direction;
        delta = -delta;
      }
    }
    const bool first = gBrowserIndex == Start && Start != Stop;
    const bool last = gBrowserIndex == Stop && Start != Stop;
    for (int k = 1; k <= frames - 1; ++k) {
      if (gBrowserIndex == Stop) m_Pose.LastStep = true;
      m_Pacer->BeginFrame();
      CarouselRing::AdvanceFrame(m_Pose, m_Entries, k, frames, first, last);
      DrawRing(ImageAlpha, 2 * ImageAlpha + 0.3);
      RefreshCanvas();
      m_Pacer->EndFrame();
    }
    m_Pose.BaseAngle = CarouselRing::RestBaseAngle(m_Entries);
  }
}

// ---- Drawing ----

void cCarousel::DrawRing(double ImageAlpha, double RingOpacity) {
  using namespace CarouselRing;
  if (!m_RingSurface) {
    m_RingSurface = std::make_shared<CairoSurface>(SurfaceWidth, SurfaceHeight);
    m_RingContext = m_RingSurface->Context();
  }
  // The ring surface is cleared rather than made anew: the same pixels each frame.
  m_RingSurface->Surface().Fill(0, 0);
  m_RingSurface->Surface().MarkDirty();
  DrawCounter(ImageAlpha);
  const std::vector<Slot> places = Slots(m_Entries, m_Pose);
  for (const CardDraw& card : DrawOrder(m_Entries, m_Pose, ImageAlpha)) {
    const Slot& place = places[static_cast<size_t>(card.Slot)];
    COLORREF frameColour = BlendColor(lTextColour, BlendColor(lTextColour, RGB(128, 128, 128), card.Greyness), 128);
    DrawCard(m_SlotImages[static_cast<size_t>(card.Slot)], place.X, place.Y, place.Width, place.Height, card.Opacity,
             card.ImageAlpha, frameColour);
  }
  ComposeCanvas(RingOpacity);
}

// The current result's number among the results. Without results it is 0,
// whatever result an earlier set (or another library's) was left at.
QString cCarousel::CounterText() const {
  const int32_t current = m_ResultTotal > 0 ? std::clamp(gBrowserIndex, 0, m_ResultTotal) : 0;
  return ShownNumbers::Count(current) + QStringLiteral(" of ") + ShownNumbers::Count(std::max(0, m_ResultTotal));
}

// The counter is centred in the band between y 22 and a little above the
// front card's top at rest, so no card hides any of it. A canvas shown lower
// than its own height (the carousel in a small window) squeezes it: the
// counter is drawn as much higher, up to the band above the card, so that it
// keeps its rows on the screen ("10 of 10" lost its tops and feet).
void cCarousel::DrawCounter(double ImageAlpha) {
  CairoContext& ring = *m_RingContext;
  ring.SelectFont(QStringLiteral("Verdana"), 10, lTextColour, true);
  const QString text = CounterText();
  constexpr double kBandTop = 22;
  constexpr double kLeastTop = 2;
  constexpr double kBandBottom =
      CarouselRing::CentreY + CarouselRing::RestRadiusY - CarouselRing::CardHeight / 2 - 4;
  const double fontHeight = ring.FontHeight();
  const double shown = m_Pane ? m_Pane->ucCarouselCanvas->height() / static_cast<double>(m_CanvasHeight) : 1.0;
  const double stretch =
      std::clamp(shown > 0 ? 1 / shown : 1.0, 1.0, std::max(1.0, (kBandBottom - kLeastTop) / fontHeight));
  const double height = fontHeight * stretch;
  const double room = kBandBottom - kBandTop - height;
  const double top = room >= 0 ? kBandTop + room / 2 : kBandBottom - height;
  ring.Save();
  ring.Translate(0, top);
  ring.Scale(1, stretch);
  ring.DrawText(0, 0, CarouselRing::SurfaceWidth, fontHeight, text, true, kAlignCentre,
                m_Pose.FastMode ? ImageAlpha + 0.0001 : 1.0);
  ring.Restore();
}

// The frame layer over the whole canvas (a plain shade before there is one).
void cCarousel::PaintFrameLayer() {
  CairoContext& canvas = *m_CanvasContext;
  if (m_BackgroundSurface) {
    canvas.RenderSurface(*m_BackgroundSurface, 0, 0);
  } else {
    canvas.SetSourceColour(lBGColour);
    canvas.Paint();
  }
}

void cCarousel::ComposeCanvas(double RingOpacity) {
  CairoContext& canvas = *m_CanvasContext;
  PaintFrameLayer();
  if (m_Pose.LastStep && m_NextBackgroundSurface) {
    canvas.RenderSurface(*m_NextBackgroundSurface, 0, 0, 0, 0, std::max(0.0, m_Pose.StepFraction - 0.15));
  }
  const CarouselRing::Box ring = CarouselRing::StretchedRing(m_CanvasWidth);
  canvas.RenderSurface(*m_RingSurface, ring.X, ring.Y, ring.Width, ring.Height, std::min(1.0, RingOpacity));
}

// ---- Thumbnails ----

// The thumbnail of a result through the library's one lookup (its own, else
// its file's, else "NO_THUMB"), decoded here once per step.
ImageSurfacePtr cCarousel::ThumbnailOf(const ResultItem& item) const {
  QImage picture;
  if (gLibrary) gLibrary->ThumbnailToPicture(item.SegmentID, item.FileID, picture);
  if (picture.isNull()) picture = QImage::fromData(m_NoThumb);
  if (picture.isNull()) picture = QImage(100, 75, QImage::Format_ARGB32_Premultiplied);
  return SurfaceFromImage(picture);
}

bool cCarousel::HasResult(int32_t Index) const {
  return Index >= 1 && Index <= m_ResultTotal && Index < static_cast<int32_t>(gResults.size());
}

void cCarousel::LoadEntries(int32_t Index) {
  DrawViewStrip();
  m_ResultTotal = OpenSegmentCount();
  m_Images.Clear();
  if (m_ResultTotal >= 1) {
    ImageSurfacePtr background = ThumbnailOf(gCurrentItem);
    CairoSurface(background).Blur(1);
    m_Images.AddSurface(QStringLiteral("BkGrnd"), background);
  }
  int slot = 1;
  for (int32_t k = Index + m_FrontSlot - 1; k >= Index - m_FrontSlot + 1 && slot <= m_Entries; --k, ++slot) {
    const QString key = QStringLiteral("Thumb") + QString::number(slot);
    if (HasResult(k)) {
      m_Images.AddSurface(key, ThumbnailOf(gResults[static_cast<size_t>(k)]));
    } else if (m_CardTileSurface) {
      m_Images.AddSurface(key, m_CardTileSurface->SharedSurface());
    }
    m_SlotImages[static_cast<size_t>(slot)] = slot;
  }
  if (HasResult(Index)) {
    gCurrentItem = gResults[static_cast<size_t>(Index)];
    gCurrentItem.BrowserRow = Index;
  }
}

void cCarousel::BuildCardTile() {
  QImage tile;
  try {
    tile = LoadResPicture(QStringLiteral("TILE"), QStringLiteral("CUSTOM"));
  } catch (const std::exception&) {
  }
  if (tile.isNull()) {
    tile = QImage(100, 75, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::gray);
  }
  tile = tile.scaled(100, 75, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  m_Images.AddSurface(QStringLiteral("TMP"), SurfaceFromImage(tile));
  ImageSurfacePtr grey = m_Images.Item(QStringLiteral("TMP"));
  GreyPixels(*grey);
  m_CardTileSurface = std::make_shared<CairoSurface>(grey);
  auto context = m_CardTileSurface->Context();
  context->SetSourceColour(m_TintColour[3]);
  context->Paint(0.1);
  m_Images.Remove(QStringLiteral("TMP"));
}
