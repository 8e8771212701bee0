// Switching the browser between the tile grid, the list grid and the
// carousel. The current result stays current across the switch.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "carousel/CarouselPane.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"

void ResultsPane::MarkBrowserView(int32_t mode) {
  host_.MarkBrowserView(mode);
  gBrowserMode = mode;
}

void ResultsPane::ShowBrowserControl(int32_t mode) {
  flexThumbsTiled->SetVisible(mode == 1);
  flexThumbsList->SetVisible(mode == 2);
  carousel_->ucCarouselCanvas->SetVisible(mode == 3);
}

// The grid is laid out and filled again, the cursor put on the current
// result, and only then shown, with the browser frozen meanwhile.
void ResultsPane::ShowGridView(int32_t mode) {
  host_.SetBrowserControlsEnabled(false);
  const bool frozen = modReelwise::SetWindowRedraw(picRight, true);
  MarkBrowserView(mode);
  Timer1->SetEnabled(false);
  flexThumbsTiled_LeaveCell();
  flexThumbsList_LeaveCell();
  const int32_t count = gLibrary ? gLibrary->ResultCount : 0;
  LayoutThumbnailGrid(count);
  if (gLibrary) gLibrary->ShowSearchResults();
  SetBrowserIndex(gCurrentItem.SegmentID);
  ShowBrowserControl(mode);
  if (frozen) modReelwise::SetWindowRedraw(picRight, false);
  host_.SetBrowserControlsEnabled(true);
  SetFocusToBrowser();
  Timer1->SetEnabled(true);
}

void ResultsPane::ShowTileView() { ShowGridView(1); }

void ResultsPane::ShowListView() { ShowGridView(2); }

// The carousel keeps its own entries: it is shown, then its cursor put on
// the current result. Outside TV-Out mode the browser is frozen meanwhile.
void ResultsPane::ShowCarouselView() {
  if (gBrowserMode == 3) return;
  host_.SetBrowserControlsEnabled(false);
  const bool frozen = !gTVOutMode && modReelwise::SetWindowRedraw(picRight, true);
  MarkBrowserView(3);
  Timer1->SetEnabled(false);
  scrollFlex->SetVisible(true);
  ShowBrowserControl(3);
  SetBrowserIndex(gCurrentItem.SegmentID);
  picRight->repaint();
  if (frozen) modReelwise::SetWindowRedraw(picRight, false);
  host_.SetBrowserControlsEnabled(true);
  SetFocusToBrowser();
  Timer1->SetEnabled(true);
}
