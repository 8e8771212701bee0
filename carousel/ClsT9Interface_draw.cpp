// The keypad panel's picture: a static frame drawn once per Show, the panel
// (glyph, caption, match line, counter or cursor, arrows) drawn on a copy of
// it for every change, and the panel shown at 540 x 120 in the middle of the
// canvas over the dimmed snapshot of what the canvas showed.
#include "carousel/ClsT9Interface.h"

#include "carousel/CarouselPacer.h"
#include "carousel/cCarousel.h"
#include "platform/Rounding.h"
#include "platform/SqlRecordset.h"
#include "ui/CairoContext.h"
#include "ui/modBlendColorAlpha.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

namespace {

const QString kGlyphFont = QStringLiteral("RW2dings");
const QString kFace = QStringLiteral("Tahoma");
constexpr COLORREF kDimming = RGB(20, 20, 20);
constexpr int kCanvasWidth = 1280;
constexpr int kCanvasHeight = 720;
constexpr int kPanelWidth = 720;
constexpr int kPanelHeight = 160;

// A colour made darker (factor below 0) or lighter towards white (above 0)
// by the factor's share of the way.
COLORREF Shade(COLORREF colour, double factor) {
  auto channel = [factor](int value) {
    const double shaded = factor < 0 ? value * (1 + factor) : value + (255 - value) * factor;
    return static_cast<int>(RoundHalfEven(shaded));
  };
  return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

// A box lit from the top in its colour and shaded by the factor at the bottom.
void ShadedBox(CairoContext& cc, double x, double y, double width, double height, COLORREF colour, double factor) {
  auto pattern = modCairo::GetCairo()->CreateLinearPattern(0, y, 0, y + height);
  pattern->AddTwoColourStops(colour, Shade(colour, factor));
  cc.Rectangle(x, y, width, height);
  cc.Fill(false, pattern.get());
}

void FillDisc(CairoContext& cc, double cx, double cy, double radius, COLORREF colour) {
  cc.SetSourceColour(colour);
  cc.Arc(cx, cy, radius, 0, 2 * 3.14159265358979323846);
  cc.Fill();
}

void ClearSurface(ImageSurface& surface) {
  surface.Flush();
  surface.Fill(0, 0);
  surface.MarkDirty();
}

void FillRect(CairoContext& cc, double x, double y, double width, double height, COLORREF colour) {
  cc.SetSourceColour(colour);
  cc.Rectangle(x, y, width, height);
  cc.Fill();
}

}  // namespace

void ClsT9Interface::DrawPanelFrame() {
  m_ShadowColour = BlendColor(m_Carousel.lMenuColour2, RGB(100, 100, 100), 128);
  m_TextColour = BlendColor(m_Carousel.lMenuColour3, RGB(80, 80, 80), 128);
  m_FrameColour = BlendColor(m_ShadowColour, RGB(240, 240, 240), 128);
  if (!m_FrameSurface) m_FrameSurface = modCairo::GetCairo()->CreateSurface(kPanelWidth, kPanelHeight);
  ClearSurface(m_FrameSurface->Surface());
  const std::shared_ptr<CairoContext> context = m_FrameSurface->Context();
  CairoContext& cc = *context;
  cc.SetSourceColour(m_FrameColour);
  cc.RoundedRect(0, 0, kPanelWidth, kPanelHeight, 8);
  cc.Fill();
  cc.SetSourceColour(m_TextColour);
  cc.RoundedRect(10, 10, 700, 100, 4);
  cc.Fill();
  ShadedBox(cc, 14, 14, 692, 92, m_ShadowColour, -0.2);
  // The glyph's well.
  FillDisc(cc, 50, 90, 64, m_TextColour);
  FillDisc(cc, 50, 90, 60, m_FrameColour);
  FillRect(cc, 0, 40, 10, 110, m_FrameColour);
  FillRect(cc, 10, 110, 630, 46, m_FrameColour);
  // The sheen over the whole panel, and its edge.
  auto sheen = modCairo::GetCairo()->CreateLinearPattern(0, 0, kPanelWidth, kPanelHeight);
  sheen->AddThreeColourStops(m_TextColour, m_ShadowColour, m_ShadowColour, 0.2, 0.4, 0.1, 0.3);
  cc.RoundedRect(0, 0, kPanelWidth, kPanelHeight, 8);
  cc.Fill(true, sheen.get());
  cc.SetLineWidth(1.5);
  cc.SetSourceColour(BlendColor(RGB(255, 255, 255), m_FrameColour, 128));
  cc.Stroke();
}

void ClsT9Interface::DrawPanel() {
  // Hidden, the canvas belongs to the carousel again.
  if (!m_Visible || !m_Backdrop || !m_FrameSurface) return;
  CairoContext& canvas = m_Carousel.Canvas();
  PaintBackdrop(canvas);
  canvas.SetSourceColour(kDimming);
  canvas.Paint(0.5);
  CairoContext& panel = *m_PanelContext;
  ClearSurface(m_PanelSurface->Surface());
  panel.RenderSurface(*m_FrameSurface, 0, 0);
  panel.SelectFont(kGlyphFont, 64, m_ShadowColour);
  panel.TextOut(19, 39, m_KindGlyph);
  panel.SelectFont(kGlyphFont, 64, m_TextColour);
  panel.TextOut(20, 40, m_KindGlyph);
  panel.SelectFont(kFace, 24, m_ShadowColour);
  panel.TextOut(19, 114, m_Caption);
  panel.SelectFont(kFace, 24, m_TextColour);
  panel.TextOut(20, 115, m_Caption);
  DrawMatchLine(panel);
  if (m_TagMode) {
    DrawCounter(panel);
    DrawArrows(panel);
  }
  if (!m_Shown) return;
  PaintPanelOnCanvas(canvas, 1.0);
  RefreshCanvas();
}

// Before and after in the plain style with a faint shadow, the matched
// letters (or the committed text) outlined in the carousel's highlight.
void ClsT9Interface::DrawMatchLine(CairoContext& panel) {
  panel.SelectFont(kFace, 28, m_TextColour, true);
  const double width = panel.MeasureText(m_Before + m_Match + m_After).Width;
  double x = (780 - width) / 2;
  DrawShadowedText(panel, m_Before, x, 36);
  x += panel.MeasureText(m_Before).Width;
  if (!m_Match.isEmpty()) {
    double opacity = 0.4;
    m_Carousel.OutlinedTextOut(m_Match, kFace, 28, true, false, 3, x, 36, opacity, m_Carousel.HighlightColour,
                               m_TextColour, panel);
    panel.SelectFont(kFace, 28, m_TextColour, true);
    x += panel.MeasureText(m_Match).Width;
  }
  DrawShadowedText(panel, m_After, x, 36);
  if (!m_TagMode && m_CursorOn) DrawCursor(panel, x);
}

void ClsT9Interface::DrawShadowedText(CairoContext& panel, const QString& text, double x, double y) {
  if (text.isEmpty()) return;
  panel.TextOut(x + 1, y + 1, text, 0.3);
  panel.TextOut(x, y, text);
}

// Under the pending letter, or as wide as "_" where none is pending.
void ClsT9Interface::DrawCursor(CairoContext& panel, double x) {
  const QString shape = m_After.trimmed().isEmpty() ? QStringLiteral("_") : m_After;
  const double width = panel.MeasureText(shape).Width;
  FillRect(panel, x, 84, width, 4, m_TextColour);
}

void ClsT9Interface::DrawCounter(CairoContext& panel) {
  panel.SelectFont(kFace, 16, BlendColor(m_ShadowColour, m_TextColour, 128), true, true);
  panel.DrawText(200, 125, 510, 160, m_Counter, true, kAlignRight);
}

// Up and down arrows, the one that leads nowhere new in the frame's colour.
void ClsT9Interface::DrawArrows(CairoContext& panel) {
  const int rows = m_Matches ? m_Matches->RecordCount() : 0;
  if (rows < 2 || m_Matches->Eof() || m_Matches->Bof()) return;
  const int row = m_Matches->AbsolutePosition();
  const COLORREF up = row == 1 ? m_FrameColour : m_TextColour;
  const COLORREF down = row == rows ? m_FrameColour : m_TextColour;
  panel.SelectFont(kGlyphFont, 22, up, true);
  const double x = (785 - panel.MeasureText(QStringLiteral("0")).Width) / 2;
  panel.TextOut(x, 12, QStringLiteral("("));
  panel.SelectFont(kGlyphFont, 22, down, true);
  panel.TextOut(x, 82, QStringLiteral(")"));
}

// The snapshot in place of what the target held (the canvas need not be
// opaque everywhere, and the last panel must not show through).
void ClsT9Interface::PaintBackdrop(CairoContext& target) {
  ClearSurface(target.Surface());
  target.RenderSurface(*m_Backdrop, 0, 0);
}

void ClsT9Interface::PaintPanelOnCanvas(CairoContext& target, double opacity) {
  target.RenderSurface(*m_PanelSurface, (kCanvasWidth - m_PanelWidth) / 2, (kCanvasHeight - m_PanelHeight) / 2,
                       m_PanelWidth, m_PanelHeight, opacity, kFilterGood);
}

// One frame of a fade: the snapshot, dimmed by `dimming`, the panel at twice
// that opacity, drawn aside and then put on the canvas whole.
void ClsT9Interface::DrawFadeFrame(double dimming) {
  CarouselPacer& pacer = *m_Pacer;
  pacer.BeginFrame();
  if (!m_Scratch) {
    m_Scratch = modCairo::GetCairo()->CreateSurface(kCanvasWidth, kCanvasHeight);
    m_ScratchContext = m_Scratch->Context();
  }
  CairoContext& scratch = *m_ScratchContext;
  PaintBackdrop(scratch);
  scratch.SetSourceColour(kDimming);
  scratch.Paint(dimming);
  PaintPanelOnCanvas(scratch, 2 * dimming);
  m_Scratch->Surface().Flush();
  CairoContext& canvas = m_Carousel.Canvas();
  ClearSurface(canvas.Surface());
  canvas.RenderSurface(*m_Scratch, 0, 0);
  RefreshCanvas();
  pacer.EndFrame();
  pacer.Wait(std::chrono::milliseconds(10));
}
