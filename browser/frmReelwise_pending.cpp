// Result-browser services of the main window whose full versions come with
// the browser's own work. Each does the least its callers rely on, and its
// comment says what the full version does.
#include "mainwindow/frmReelwise.h"

#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/cPopupMenu.h"
#include "player/clsRWPlayer.h"

#include <algorithm>

namespace {

// The view's radio mark and pressed button, gBrowserMode and the one
// visible browser control.
void SwitchToView(frmReelwise& form, int32_t mode) {
  const char* keys[] = {"", "mnuViewTile", "mnuViewList", "mnuViewCarousel"};
  const char* buttons[] = {"", "TILE_VIEW", "LIST_VIEW", "CAROUSEL_VIEW"};
  for (int m = 1; m <= 3; ++m) {
    form.m_cMenu->SetRadioChecked(form.m_cMenu->IndexForKey(QLatin1String(keys[m])), m == mode);
  }
  form.tbMain->Buttons(QLatin1String(buttons[mode])).SetValue(ctl::tbrPressed);
  gBrowserMode = mode;
  form.flexThumbsTiled->SetVisible(mode == 1);
  form.flexThumbsList->SetVisible(mode == 2);
  form.ucCarouselCanvas->SetVisible(mode == 3);
}

int32_t Results() { return gLibrary ? gLibrary->ResultCount : 0; }

}  // namespace

// Switches to the tile grid, re-laid and refilled; the current result stays.
void frmReelwise::ShowTileView() {
  SwitchToView(*this, 1);
  modReelwise::LayoutThumbnailGrid(Results());
  modReelwise::UpdateThumbnailScrollBar(Results());
  if (gLibrary) gLibrary->ShowSearchResults();
  SetFocusToBrowser();
}

// Switches to the list grid, refilled; the current result stays.
void frmReelwise::ShowListView() {
  SwitchToView(*this, 2);
  modReelwise::UpdateThumbnailScrollBar(Results());
  if (gLibrary) gLibrary->ShowSearchResults();
  SetFocusToBrowser();
}

// Switches to the carousel; nothing when it is shown already.
void frmReelwise::ShowCarouselView() {
  if (gBrowserMode == 3) return;
  SwitchToView(*this, 3);
  scrollFlex->SetVisible(true);
  SetFocusToBrowser();
}

// Changes the selected flag of results first..last and keeps the selection
// store and the count in line; the full version also repaints the cells.
void frmReelwise::ApplySelection(const QString& mode, int32_t first, int32_t last) {
  const int32_t count = static_cast<int32_t>(gResults.size()) - 1;
  first = std::max(first == 0 ? 1 : first, 1);
  last = std::min(last == 0 ? count : last, count);
  for (int32_t i = first; i <= last; ++i) {
    ResultItem& item = gResults[static_cast<size_t>(i)];
    if (mode == QLatin1String("Select")) {
      item.Selected = true;
    } else if (mode == QLatin1String("De-select")) {
      item.Selected = false;
    } else if (mode == QLatin1String("Invert")) {
      item.Selected = !item.Selected;
    }
    gSelectedById.Set(item.SegmentID, item.Selected ? 1 : 0);
  }
  const auto selected = gResults.empty() ? 0
                                         : std::count_if(gResults.begin() + 1, gResults.end(),
                                                         [](const ResultItem& item) { return item.Selected; });
  if (gLibrary) gLibrary->SelectedCount = static_cast<int32_t>(selected);
  lblSelectCount->SetCaption(QStringLiteral("[%1 Selected]").arg(selected));
  gPlayQueueBuilt = false;
}

// Moves the active browser's cursor to the result of the segment.
void frmReelwise::SetBrowserIndex(int32_t) {}

// Sorts the list grid by a column, or cancels the sort with 0.
void frmReelwise::SortListColumn(int16_t) {}

// Gives the grid's cursor cell its resting code.
void frmReelwise::flexThumbsTiled_LeaveCell() {}
void frmReelwise::flexThumbsList_LeaveCell() {}
