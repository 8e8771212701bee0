// Switching the browser between the tile and the list grid. The current
// result stays current across the switch.
#include "mainwindow/frmReelwise.h"

#include "browser/ResultGrids.h"
#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/cPopupMenu.h"

namespace ResultGrids {

void MarkBrowserView(frmReelwise& form, int32_t mode) {
  static const char* const keys[] = {"", "mnuViewTile", "mnuViewList", "mnuViewCarousel"};
  static const char* const buttons[] = {"", "TILE_VIEW", "LIST_VIEW", "CAROUSEL_VIEW"};
  for (int m = 1; m <= 3; ++m) {
    form.m_cMenu->SetRadioChecked(form.m_cMenu->IndexForKey(QLatin1String(keys[m])), m == mode);
  }
  form.tbMain->Buttons(QLatin1String(buttons[mode])).SetValue(ctl::tbrPressed);
  gBrowserMode = mode;
}

void ShowBrowserControl(frmReelwise& form, int32_t mode) {
  form.flexThumbsTiled->SetVisible(mode == 1);
  form.flexThumbsList->SetVisible(mode == 2);
  form.ucCarouselCanvas->SetVisible(mode == 3);
}

}  // namespace ResultGrids

namespace {

// The grid is laid out and filled again, the cursor put on the current
// result, and only then shown, with the browser frozen meanwhile.
void ShowGridView(frmReelwise& form, int32_t mode) {
  modReelwise::SetBrowserControlsEnabled(false);
  const bool frozen = modReelwise::SetWindowRedraw(form.picRight, true);
  ResultGrids::MarkBrowserView(form, mode);
  form.Timer1->SetEnabled(false);
  form.flexThumbsTiled_LeaveCell();
  form.flexThumbsList_LeaveCell();
  const int32_t count = gLibrary ? gLibrary->ResultCount : 0;
  if (mode == 1) modReelwise::LayoutThumbnailGrid(count);
  modReelwise::UpdateThumbnailScrollBar(count);
  if (gLibrary) gLibrary->ShowSearchResults();
  form.SetBrowserIndex(gCurrentItem.SegmentID);
  ResultGrids::ShowBrowserControl(form, mode);
  if (frozen) modReelwise::SetWindowRedraw(form.picRight, false);
  modReelwise::SetBrowserControlsEnabled(true);
  form.SetFocusToBrowser();
  form.Timer1->SetEnabled(true);
}

}  // namespace

void frmReelwise::ShowTileView() { ShowGridView(*this, 1); }

void frmReelwise::ShowListView() { ShowGridView(*this, 2); }
