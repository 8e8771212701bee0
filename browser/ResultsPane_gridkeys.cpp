// The result grids' keys. The grids have moved the cursor themselves by the
// time an arrow key arrives here; these handlers scroll to follow it, page
// with the scroll bar (which moves the view, not the cursor), jump to the
// first and last result, select with Space and open with Enter. Keys outside
// 13 to 40 are left to the grid.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "platform/Rounding.h"

#include <algorithm>

using namespace ResultGrids;

namespace {

bool BrowserKey(int keyCode) { return keyCode >= ctl::vbKeyReturn && keyCode <= ctl::vbKeyDown; }

// Page Up/Down, and the arrows scrolling by one row when the cursor has left
// the view. Page sizes are the whole rows the tile grid shows.
void ScrollForKey(ctl::VScrollBar& bar, const ctl::FlexGrid& grid, int keyCode) {
  const int32_t value = bar.Value();
  const double page = gTileRowsVisible;
  switch (keyCode) {
    case ctl::vbKeyPageUp:
      bar.SetValue(value - page < 0 ? bar.Min() : std::max(bar.Min(), CLng(value - page)));
      break;
    case ctl::vbKeyPageDown:
      bar.SetValue(value + page <= bar.Max() ? CLng(value + page) : bar.Max());
      break;
    case ctl::vbKeyUp:
      if (grid.Row() < 1) {
        bar.SetValue(bar.Min());
      } else if (grid.Row() == grid.TopRow() - 1) {
        bar.SetValue(value - 1);
      }
      break;
    case ctl::vbKeyDown:
      if (grid.TopRow() + page <= grid.Row()) bar.SetValue(value + 1);
      break;
    default:
      break;
  }
}

}  // namespace

void ResultsPane::flexThumbsTiled_KeyDown(int& KeyCode, int) {
  if (!BrowserKey(KeyCode)) return;
  ctl::FlexGrid& grid = *flexThumbsTiled;
  switch (KeyCode) {
    case ctl::vbKeyReturn:
      flexThumbsTiled_DblClick();
      break;
    case ctl::vbKeySpace: {
      const int64_t i = TileIndex(grid.Row(), grid.Col());
      if (IsResult(i)) ApplySelection(QStringLiteral("Invert"), static_cast<int32_t>(i), static_cast<int32_t>(i));
      break;
    }
    case ctl::vbKeyEnd:
      scrollFlex->SetValue(scrollFlex->Max());
      flexThumbsTiled_LeaveCell();
      grid.SetRow(grid.Rows() - 1);
      grid.SetCol(std::min(TileColumns(), grid.Cols() - 1));
      flexThumbsTiled_SelChange();
      break;
    case ctl::vbKeyHome:
      // Cell (0, 0) is a margin; the cursor goes on to tile 1.
      scrollFlex->SetValue(scrollFlex->Min());
      flexThumbsTiled_LeaveCell();
      grid.SetRow(0);
      grid.SetCol(0);
      flexThumbsTiled_SelChange();
      break;
    default:
      ScrollForKey(*scrollFlex, grid, KeyCode);
      break;
  }
}

void ResultsPane::flexThumbsList_KeyDown(int& KeyCode, int) {
  if (!BrowserKey(KeyCode)) return;
  ctl::FlexGrid& grid = *flexThumbsList;
  switch (KeyCode) {
    case ctl::vbKeyReturn:
      flexThumbsList_DblClick();
      break;
    case ctl::vbKeySpace:
      if (grid.Row() >= 1 && ResultCount() > 0) {
        ApplySelection(gCurrentItem.Selected ? QStringLiteral("De-select") : QStringLiteral("Select"), grid.Row(),
                       grid.Row());
      }
      break;
    case ctl::vbKeyEnd:
      scrollFlex->SetValue(scrollFlex->Max());
      flexThumbsList_LeaveCell();
      grid.SetRow(grid.Rows() - 1);
      grid.SetCol(1);
      flexThumbsList_SelChange();
      break;
    case ctl::vbKeyHome:
      scrollFlex->SetValue(scrollFlex->Min());
      flexThumbsList_LeaveCell();
      grid.SetRow(std::min(1, grid.Rows() - 1));
      grid.SetCol(1);
      flexThumbsList_SelChange();
      break;
    default:
      ScrollForKey(*scrollFlex, grid, KeyCode);
      break;
  }
}
