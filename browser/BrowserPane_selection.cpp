// Selecting results and placing the browser's cursor on a result. The
// selection lives in three places that ApplySelection keeps equal: the
// results' Selected flags, the flags by segment (gSelectedById, which
// outlive a fetch) and the state codes of the active grid's cells.
#include "browser/BrowserPane.h"

#include "browser/ResultGrids.h"
#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "ui/DragState.h"

#include <algorithm>

using namespace ResultGrids;

namespace {

// Whether a result's flag becomes selected under the mode; "Refresh" keeps it.
bool SelectedUnder(const QString& mode, bool selected) {
  if (mode == QLatin1String("Invert")) return !selected;
  if (mode == QLatin1String("Select")) return true;
  if (mode == QLatin1String("De-select")) return false;
  return selected;
}

// The grid draws the whole change at once.
class FrozenGrid {
 public:
  explicit FrozenGrid(ctl::FlexGrid& grid) : grid_(grid), redraw_(grid.Redraw()) { grid_.SetRedraw(false); }
  ~FrozenGrid() { grid_.SetRedraw(redraw_); }
  FrozenGrid(const FrozenGrid&) = delete;
  FrozenGrid& operator=(const FrozenGrid&) = delete;

 private:
  ctl::FlexGrid& grid_;
  bool redraw_;
};

void SetCellCode(ctl::FlexGrid& grid, int64_t row, int64_t col, const ResultItem& item) {
  if (row < grid.Rows() && col < grid.Cols()) {
    grid.SetTextMatrix(static_cast<int>(row), static_cast<int>(col), RestingCode(item));
  }
}

void Mark(ResultItem& item, const QString& mode) {
  item.Selected = SelectedUnder(mode, item.Selected);
  gSelectedById.Set(item.SegmentID, item.Selected ? 1 : 0);
}

}  // namespace

void BrowserPane::ApplySelection(const QString& mode, int32_t first, int32_t last) {
  drag_.Clear();
  gPlayQueueBuilt = false;
  if (first == 0) first = 1;
  if (last == 0) last = static_cast<int32_t>(gResults.size()) - 1;
  if (first > last) std::swap(first, last);
  gCurrentItem.Selected = SelectedUnder(mode, gCurrentItem.Selected);
  const int32_t n = ResultCount();
  int32_t selected = 0;
  if (gBrowserMode == 1) {
    ctl::FlexGrid& grid = *flexThumbsTiled;
    const FrozenGrid frozen(grid);
    const int32_t columns = TileColumns();
    for (int32_t k = 1; k <= n; ++k) {
      ResultItem& item = gResults[static_cast<size_t>(k)];
      if (k >= first && k <= last) {
        Mark(item, mode);
        SetCellCode(grid, (k - 1) / columns, (k - 1) % columns + 1, item);
      }
      if (item.Selected) ++selected;
    }
  } else if (gBrowserMode == 2) {
    ctl::FlexGrid& grid = *flexThumbsList;
    const FrozenGrid frozen(grid);
    for (int32_t row = 1; row <= n && row < grid.Rows(); ++row) {
      const int32_t i = ListIndex(grid, row);
      if (!IsResult(i)) continue;
      ResultItem& item = gResults[static_cast<size_t>(i)];
      if (row >= first && row <= last) {
        Mark(item, mode);
        SetCellCode(grid, row, 1, item);
      }
      if (item.Selected) ++selected;
    }
  }
  if (gLibrary) gLibrary->SelectedCount = selected;
  ShowResultCounts(selected);
}

void BrowserPane::SetBrowserIndex(int32_t SegmentID) {
  const int32_t n = ResultCount();
  if (n == 0) {
    for (ctl::FlexGrid* grid : {flexThumbsTiled, flexThumbsList}) {
      grid->SetCol(0);
      grid->SetRow(0);
    }
    return;
  }
  if (SegmentID == 0) SegmentID = gResults[1].SegmentID;
  const auto first = std::find_if(gResults.begin() + 1, gResults.begin() + n + 1,
                                  [SegmentID](const ResultItem& item) { return item.SegmentID == SegmentID; });
  const auto k = static_cast<int32_t>(first - gResults.begin());
  if (gBrowserMode == 1) {
    if (k > n) return;
    ctl::FlexGrid& grid = *flexThumbsTiled;
    const int32_t columns = TileColumns();
    const int32_t row = (k - 1) / columns;
    if (row >= grid.Rows()) return;
    grid.SetRow(row);
    grid.SetCol(k % columns == 0 ? columns : k % columns);
    // The row is brought into view when it lies above or below the rows
    // shown. The view is painted before the cursor's code is written, so
    // that the painting does not cover it.
    if (row < grid.TopRow() || grid.TopRow() + gTileRowsVisible <= row) grid.SetTopRow(row);
    scrollFlex->SetValue(grid.TopRow());
    flexThumbsTiled_SelChange();
    scrollFlex->SetValue(grid.TopRow());
  } else if (gBrowserMode == 2) {
    ctl::FlexGrid& grid = *flexThumbsList;
    for (int32_t r = 1; r < grid.Rows(); ++r) {
      const int32_t i = ListIndex(grid, r);
      if (!IsResult(i) || gResults[static_cast<size_t>(i)].SegmentID != SegmentID) continue;
      grid.SetRow(r);
      grid.SetTopRow(r);
      scrollFlex->SetValue(grid.TopRow());
      flexThumbsList_SelChange();
      return;
    }
  } else if (gBrowserMode == 3) {
    if (k <= n) gBrowserIndex = k;
    if (gCarousel) gCarousel->SetCarouselIndex(gBrowserIndex, true, false);
  }
}
