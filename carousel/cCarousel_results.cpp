// The frame around the ring: a new result set, the wipe-in of new results,
// announcements across the canvas, the start-up splash of TV-Out mode, the
// canvas's snapshot and its repaint.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "platform/Rounding.h"
#include "resources/Resources.h"
#include "ui/CairoObject.h"
#include "ui/CairoPattern.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/modCairo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>

using std::chrono::milliseconds;

namespace {

const QString kGlyphFont = QStringLiteral("RW2dings");
const QString kPleaseWait = QStringLiteral("Please Wait...");
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr double kEdgeShadow = 60;  // the width of the wipe's leading shadow

// The canvas copied 1:1 onto `copy`, made on first use.
void CopyCanvas(CairoContext& canvas, CairoSurfacePtr& copy, int width, int height) {
  if (!copy) copy = modCairo::GetCairo()->CreateSurface(width, height);
  copy->Surface().Fill(0, 0);
  copy->Surface().MarkDirty();
  canvas.Surface().Flush();
  copy->Context()->RenderSurface(canvas.Surface(), 0, 0);
}

// One line of text centred across the canvas on the band's middle, whatever
// the font's height (a 72-point line is taller than its band).
void DrawCentredLine(CairoContext& context, const QString& text, double bandTop, double bandBottom, double width,
                     double opacity) {
  const double height = context.FontHeight();
  const double top = (bandTop + bandBottom - height) / 2;
  context.DrawText(0, top, width, height, text, true, kAlignCentre, opacity);
}

// A percentage from the callers' arithmetic, kept to 0..100.
double Percent(double value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0, 100.0); }

}  // namespace

void cCarousel::NewResults() {
  gBrowserIndex = 0;
  m_ResultsWipedIn = 0;
  m_MenuShown = false;
}

// ---- Snapshot and repaint ----

void cCarousel::SaveContext() { CopyCanvas(*m_CanvasContext, m_SnapshotSurface, m_CanvasWidth, m_CanvasHeight); }

void cCarousel::RestoreContext() {
  if (!m_SnapshotSurface) return;
  m_CanvasContext->RenderSurface(*m_SnapshotSurface, 0, 0);
  RefreshCanvas();
}

void cCarousel::RefreshCanvas() {
  if (m_Pane) m_Pane->ucCarouselCanvas->Refresh();
}

int cCarousel::FrameSteps() const { return std::max<int>(1, m_ScrollIncrements); }

// ---- Glyphs ----

void cCarousel::DrawBigGlyph(CairoContext& context, const QString& glyph, double opacity) {
  if (glyph.isEmpty()) return;
  const struct {
    int size;
    COLORREF colour;
  } layers[2] = {{700, m_TintColour[0]}, {400, m_TintColour[4]}};
  for (const auto& layer : layers) {
    context.SelectFont(kGlyphFont, layer.size, layer.colour);
    const TextSize size = context.MeasureText(glyph);
    context.TextOut((m_CanvasWidth - size.Width) / 2, (m_CanvasHeight - size.Height) / 2, glyph, opacity);
  }
}

ImageSurfacePtr cCarousel::Logo() {
  if (!m_Logo) {
    try {
      m_Logo = DecodePicture(LoadResData(QStringLiteral("LOGO"), kResCustom));
    } catch (const std::exception&) {
      return nullptr;  // a missing picture leaves the logo out
    }
  }
  return m_Logo;
}

// ---- Wipe-in ----

void cCarousel::WipeInResults() {
  m_ResultsWipedIn = 1;
  if (!gTVOutMode || !gAppReady) return;
  const int direction = BroadcastMsg == QLatin1String("L") ? 1 : -1;
  // The new picture is on the canvas now; SaveContext kept the old one.
  CopyCanvas(*m_CanvasContext, m_WipeSurface, m_CanvasWidth, m_CanvasHeight);
  const int frames = std::max(1, static_cast<int>(FrameSteps() * 1.6));
  const double step = static_cast<double>(m_CanvasWidth) / frames;
  for (int k = 1; k <= frames; ++k) {
    m_Pacer->BeginFrame();
    const double left = k == frames ? 0 : -direction * (m_CanvasWidth - k * step);
    DrawWipeFrame(left, direction);
    RefreshCanvas();
    m_Pacer->EndFrame();
  }
}

// The old canvas under a grey veil with the command's glyph, and the new
// picture sliding in at `left`, a shadow of the tints before its edge.
void cCarousel::DrawWipeFrame(double left, int direction) {
  CairoContext& canvas = *m_CanvasContext;
  if (m_SnapshotSurface) {
    canvas.RenderSurface(*m_SnapshotSurface, 0, 0);
  } else {
    canvas.SetSourceColour(lBGColour);
    canvas.Paint();
  }
  canvas.SetSourceColour(RGB(108, 108, 108));
  canvas.Paint(0.5);
  DrawBigGlyph(canvas, BroadcastMsg, 1.0);
  const double edge = direction < 0 ? left : left + m_CanvasWidth;
  auto shadow = modCairo::GetCairo()->CreateLinearPattern(edge, 0, edge + direction * kEdgeShadow, 0);
  shadow->AddTwoColourStops(m_TintColour[3], m_TintColour[0], 0.6, 0);
  canvas.Rectangle(direction < 0 ? edge - kEdgeShadow : edge, 0, kEdgeShadow, m_CanvasHeight);
  canvas.Fill(false, shadow.get());
  canvas.RenderSurface(*m_WipeSurface, left, 0);
}

// ---- Announcements ----

void cCarousel::Broadcast(const QString& Message, double From, double To) {
  if (!gTVOutMode || !gAppReady) return;
  ++m_ResultsWipedIn;
  if (!m_SnapshotSurface) SaveContext();
  From = Percent(From);
  To = Percent(To);
  const int32_t last = CLng(To);
  int32_t step = CLng(std::abs(From - To) / FrameSteps() + 1);
  if (From > To) step = -step;
  for (int32_t value = CLng(From); step > 0 ? value <= last : value >= last; value += step) {
    m_Pacer->BeginFrame();
    DrawBroadcastFrame(Message, (value + 0.001) / 100);
    RefreshCanvas();
    m_Pacer->EndFrame();
  }
}

void cCarousel::DrawBroadcastFrame(const QString& Message, double opacity) {
  CairoContext& canvas = *m_CanvasContext;
  canvas.RenderSurface(*m_SnapshotSurface, 0, 0);
  canvas.SetSourceColour(lBGColour);
  canvas.Paint(0.5 * opacity);
  if (Message == kPleaseWait) {
    if (ImageSurfacePtr logo = Logo()) canvas.RenderSurface(*logo, m_CanvasWidth / 2 - 260, 40, 520, 434, opacity);
    canvas.SelectFont(QStringLiteral("Arial"), 72, m_TintColour[4], true, true);
    DrawCentredLine(canvas, QStringLiteral("    ") + kPleaseWait, 520, 600, m_CanvasWidth, opacity);
    return;
  }
  const QString glyph = Message == QLatin1String("BUSY") ? QStringLiteral("w") : Message;
  DrawBigGlyph(canvas, glyph, opacity);
  canvas.SelectFont(QStringLiteral("RW2Dings"), 200);
  const TextSize size = canvas.MeasureText(glyph);
  double textOpacity = opacity;
  OutlinedTextOut(glyph, QStringLiteral("RW2Dings"), 200, false, false, 4, (m_CanvasWidth - size.Width) / 2,
                  (m_CanvasHeight - size.Height) / 2, textOpacity, lMenuColour1, lMenuColour1, canvas);
}

// ---- Start-up splash ----

void cCarousel::AppStartUp(bool First, bool Second) {
  gAppReady = true;
  if (First) SplashPleaseWait();
  if (Second) SplashWelcome();
  gAppReady = false;
  m_Pacer->Wait(milliseconds(500));
}

void cCarousel::SplashPleaseWait() {
  const ImageSurfacePtr logo = Logo();
  for (int value = 0; value <= 100; ++value) {
    DrawSplashFrame(logo, value);
    m_Pacer->Wait(milliseconds(5));
  }
  for (int value = 0; value <= 100; value += 2) {
    DrawSplashFrame(logo, value);
    m_Pacer->Wait(milliseconds(10));
  }
  m_Pacer->Wait(milliseconds(200));
}

// The canvas darkens a little more each frame behind the logo and the text.
void cCarousel::DrawSplashFrame(const ImageSurfacePtr& logo, int value) {
  m_Pacer->BeginFrame();
  CairoContext& canvas = *m_CanvasContext;
  canvas.SetSourceColour(BlendColor(m_TintColour[3], kBlack, 128));
  canvas.Paint(value / 200.0 + 0.01);
  if (logo) canvas.RenderSurface(*logo, m_CanvasWidth / 2 - 300, 40, 520, 434);
  const COLORREF colour = BlendColor(m_TintColour[0], kBlack, 128);
  double opacity = 1;
  OutlinedTextOut(kPleaseWait, QStringLiteral("Arial"), 32, true, true, 4, 520, 505, opacity, colour, colour, canvas);
  RefreshCanvas();
  m_Pacer->EndFrame();
}

void cCarousel::SplashWelcome() {
  CopyCanvas(*m_CanvasContext, m_WipeSurface, m_CanvasWidth, m_CanvasHeight);
  for (int value = 1; value <= 100; value += 2) {
    DrawWelcomeFrame(value);
    m_Pacer->Wait(milliseconds(30));
  }
  m_Pacer->Wait(milliseconds(200));
  for (int value = 100; value >= 1; --value) {
    DrawWelcomeFrame(value);
    m_Pacer->Wait(milliseconds(5));
  }
}

// "Welcome" at value percent over the canvas as the splash left it.
void cCarousel::DrawWelcomeFrame(int value) {
  m_Pacer->BeginFrame();
  CairoContext& canvas = *m_CanvasContext;
  canvas.RenderSurface(*m_WipeSurface, 0, 0);
  canvas.SelectFont(QStringLiteral("Arial"), 72, m_TintColour[0], true, true);
  DrawCentredLine(canvas, QStringLiteral("Welcome"), 360, 440, m_CanvasWidth, value / 100.0);
  RefreshCanvas();
  m_Pacer->EndFrame();
}
