// The frame around the ring: a new result set, the wipe-in, announcements,
// the start-up splash, the canvas's snapshot and its repaint.
#include "carousel/cCarousel.h"

#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

void cCarousel::NewResults() {
  gBrowserIndex = 0;
  m_ResultsWipedIn = 0;
}

void cCarousel::WipeInResults() { m_ResultsWipedIn = 1; }

void cCarousel::AppStartUp(bool, bool) {
  gAppReady = true;
  gAppReady = false;
}

void cCarousel::SaveContext() {
  m_SnapshotSurface = modCairo::GetCairo()->CreateSurface(m_CanvasWidth, m_CanvasHeight);
  m_CanvasContext->Surface().Flush();
  m_SnapshotSurface->Context()->RenderSurface(m_CanvasContext->Surface(), 0, 0);
}

void cCarousel::RestoreContext() {
  if (!m_SnapshotSurface) return;
  m_CanvasContext->RenderSurface(*m_SnapshotSurface, 0, 0);
  RefreshCanvas();
}

void cCarousel::RefreshCanvas() {
  if (m_Pane) m_Pane->ucCarouselCanvas->Refresh();
}

