// The frame behind the ring (the greyed thumbnail of the front file, or with
// no results the logo wallpaper and a message) and the details panel: drawn
// on a work surface of its own, laid on the canvas at once or faded in after
// a slow move, and followed by a rubber stamp for a file that cannot be played.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/Rounding.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kDetailsWidth = 1200;
constexpr int kDetailsHeight = 500;
constexpr double kDetailsX = 40;
constexpr double kDetailsY = 220;

// The wallpaper: logo tiles of 260 x 217, every other column raised.
constexpr double kTileWidth = 260;
constexpr double kTileHeight = 217;
constexpr double kFirstTileX = -197;

// Between the frames of a fade or of the stamp's fall the event loop goes
// round, so that a key (a new move) ends the animation: the animation holds
// the input gate meanwhile, the canvas its own control. Inside other work
// that holds the gate the frames follow each other without a turn.
class BetweenFrames {
 public:
  explicit BetweenFrames(QWidget* canvas) {
    if (canvas && InputGate::Admits()) gate_.emplace(InputGate::Controls{.own = {canvas}, .escape = {}});
  }
  void Turn() {
    if (gate_) InputGate::Turn();
  }

 private:
  std::optional<InputGate::Hold> gate_;
};

}  // namespace

void cCarousel::DrawFrame() {
  m_BackgroundSurface = std::make_shared<CairoSurface>(m_CanvasWidth, m_CanvasHeight);
  auto context = m_BackgroundSurface->Context();
  if (OpenSegmentCount() == 0) {
    DrawEmptyFrame(*context);
  } else {
    const QString key = QStringLiteral("BkGrnd");
    PaintBackground(*context, m_Images.Exists(key) ? m_Images.Item(key) : nullptr);
  }
  PaintViewStrip(*context, 0.5);
  m_StampShown = false;
}

void cCarousel::DrawEmptyFrame(CairoContext& Context) {
  Context.Save();
  Context.Translate(-0.5, -0.5);
  Context.SetSourceColour(BlendColor(lMenuColour1, lMenuColour3, 128));
  Context.Paint();
  DrawLogoWallpaper(Context);
  auto gradient = modCairo::GetCairo()->CreateLinearPattern(0, 50, 0, m_CanvasHeight);
  gradient->AddThreeColourStops(m_TintColour[0], lColour3, m_TintColour[2], 0.4, 0.4, 0.4, 0.5);
  // Above y 50 the gradient's first colour goes on, so its top leaves no edge.
  Context.Paint(1.0, gradient.get());
  Context.SetSourceColour(m_TintColour[3]);
  Context.Paint(0.25);
  if (gAppReady) DrawFrameMessage(Context);
  Context.Restore();
}

void cCarousel::DrawLogoWallpaper(CairoContext& Context) {
  const QString key = QStringLiteral("Logo");
  if (!m_Images.Exists(key)) {
    try {
      m_Images.AddFromBytes(key, LoadResData(QStringLiteral("LOGO"), QStringLiteral("CUSTOM")));
    } catch (const std::exception&) {
      return;  // no picture, no wallpaper
    }
  }
  const ImageSurfacePtr logo = m_Images.Item(key);
  for (double x = kFirstTileX; x <= m_CanvasWidth; x += kTileWidth) {
    const double shift = CLng(x / 294) % 2 == 0 ? 127 : 0;
    for (double y = 0; y <= m_CanvasHeight; y += kTileHeight) {
      Context.RenderSurface(*logo, x, y - shift, kTileWidth, kTileHeight, (y / 260 + 2) * 0.035);
    }
  }
}

// "No Matches" after a search that found nothing, "No Open Library!" when no
// library is open; nothing for an open library without a search.
void cCarousel::DrawFrameMessage(CairoContext& Context) {
  QString message;
  if (!gViewSpec.isEmpty()) {
    message = QStringLiteral("No Matches");
  } else if (!gLibrary || gLibrary->LibraryName.isEmpty()) {
    message = QStringLiteral("No Open Library!");
  }
  if (message.isEmpty()) return;
  Context.SelectFont(QStringLiteral("Arial"), 72, m_TintColour[0], true, true);
  Context.DrawText(0, 360, m_CanvasWidth, 440, message, true, kAlignCentre, 0.4);
}

// ---- The details panel ----

void cCarousel::NewDetailsSurface() {
  m_DetailsSurface = std::make_shared<CairoSurface>(kDetailsWidth, kDetailsHeight);
  m_DetailsContext = m_DetailsSurface->Context();
}

void cCarousel::DrawDetails() {
  if (gBrowserIndex == 0) return;
  const uint64_t generation = ++m_DetailsGeneration;
  NewDetailsSurface();
  DrawTags();
  DrawTitle();
  DrawRating();
  DrawDescriptionBlock();
  DrawFileStatus();
  m_DetailsContext->Surface().Flush();
  ComposeUnderDetails();
  const QString stamp = m_FileOffline ? QStringLiteral("OFFLINE") : m_FileMissing ? QStringLiteral("MISSING") : QString();
  if (!m_SlowTimer) {
    // Drawn at once, the panel carries its stamp as it lies after landing:
    // the same picture after a dialog, a new tint or a choice in another view.
    m_CanvasContext->RenderSurface(*m_CompositionSurface, 0, 0);
    m_CanvasContext->RenderSurface(*m_DetailsSurface, kDetailsX, kDetailsY, kDetailsWidth, kDetailsHeight);
    if (!stamp.isEmpty()) LayStamp(stamp);
    return;
  }
  if (!FadeInDetails(generation)) return;
  if (!stamp.isEmpty()) DrawStamp(stamp);
}

// The frame and the ring at rest, as the panel lies on them.
void cCarousel::ComposeUnderDetails() {
  m_CompositionSurface = std::make_shared<CairoSurface>(m_CanvasWidth, m_CanvasHeight);
  auto context = m_CompositionSurface->Context();
  if (m_BackgroundSurface) {
    context->RenderSurface(*m_BackgroundSurface, 0, 0);
  } else {
    context->SetSourceColour(lBGColour);
    context->Paint();
  }
  if (m_RingSurface) {
    const CarouselRing::Box ring = CarouselRing::StretchedRing(m_CanvasWidth);
    context->RenderSurface(*m_RingSurface, ring.X, ring.Y, ring.Width, ring.Height);
  }
}

// A new move, or a panel drawn meanwhile (by the events let through between
// frames), ends an animation at once.
bool cCarousel::AnimationInterrupted(uint64_t Generation) const {
  return m_Scrolling || Generation != m_DetailsGeneration;
}

// From blurred (3, 2, 1) and clear to sharp and opaque in as many frames as a
// step of the ring; False when it was interrupted.
bool cCarousel::FadeInDetails(uint64_t Generation) {
  const int steps = std::max(1, m_Frames.Frame);
  const CairoSurfacePtr panel = m_DetailsSurface;
  BetweenFrames between(m_Pane ? m_Pane->ucCarouselCanvas : nullptr);
  for (int k = 0; k <= steps; ++k) {
    const double t = 100.0 - 100.0 * k / steps;
    const int radius = t >= 40 ? CLng(t) / 33 : 0;
    CairoSurfacePtr frame = panel;
    if (radius > 0) {
      frame = std::make_shared<CairoSurface>(kDetailsWidth, kDetailsHeight);
      frame->Context()->RenderSurface(*panel, 0, 0);
      frame->Blur(radius);
    }
    m_Pacer->BeginFrame();
    m_CanvasContext->RenderSurface(*m_CompositionSurface, 0, 0);
    m_CanvasContext->RenderSurface(*frame, kDetailsX, kDetailsY, kDetailsWidth, kDetailsHeight,
                                   std::abs((t - 100) / 100));
    RefreshCanvas();
    m_Pacer->EndFrame();
    between.Turn();
    if (AnimationInterrupted(Generation)) return false;
  }
  return true;
}

// The text in red, turned 30 degrees up, on a small surface of its own.
CairoSurfacePtr cCarousel::MakeStamp(const QString& Text) const {
  auto stamp = std::make_shared<CairoSurface>(160, 100);
  auto context = stamp->Context();
  context->RotateDegrees(-30);
  context->SelectFont(QStringLiteral("Armalite Rifle"), 24, RGB(255, 0, 0));
  context->DrawText(-60, 70, 200, 90, Text, true, kAlignCentre);
  return stamp;
}

// The stamp on the canvas at a scale of its size, centred below the panel's
// middle.
void cCarousel::PaintStamp(const CairoSurface& Stamp, double Scale) {
  const double width = CLng(160 * Scale);
  const double height = CLng(100 * Scale);
  const double centreX = m_CanvasWidth / 2.0;
  const double centreY = m_CanvasHeight / 2.0 + 140;
  m_CanvasContext->RenderSurface(Stamp, centreX - width / 2, centreY - height / 2, width, height);
}

// The scale at t, as the stamp comes down from t = 60 to its landing at 2.
double cCarousel::StampScale(double T) { return T * T / 50 + 2; }

// The stamp comes down from far above the panel and lands below its middle.
void cCarousel::DrawStamp(const QString& Text) {
  if (m_StampShown) return;
  const uint64_t generation = m_DetailsGeneration;
  const CairoSurfacePtr stamp = MakeStamp(Text);
  auto scene = std::make_shared<CairoSurface>(m_CanvasWidth, m_CanvasHeight);
  {
    auto context = scene->Context();
    context->RenderSurface(*m_CompositionSurface, 0, 0);
    context->RenderSurface(*m_DetailsSurface, kDetailsX, kDetailsY, kDetailsWidth, kDetailsHeight);
  }
  const int steps = std::max(1, m_Frames.Frame);
  BetweenFrames between(m_Pane ? m_Pane->ucCarouselCanvas : nullptr);
  for (int k = 0; k <= steps; ++k) {
    m_Pacer->BeginFrame();
    m_CanvasContext->RenderSurface(*scene, 0, 0);
    PaintStamp(*stamp, StampScale(60.0 - 58.0 * k / steps));
    RefreshCanvas();
    m_Pacer->EndFrame();
    between.Turn();
    if (AnimationInterrupted(generation)) return;
  }
  m_StampShown = true;
}

// The stamp as it lies after landing, without the fall.
void cCarousel::LayStamp(const QString& Text) {
  PaintStamp(*MakeStamp(Text), StampScale(2));
  m_StampShown = true;
}
