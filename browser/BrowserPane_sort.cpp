// Sorting the list grid by several detail columns and the column chooser.
// Each sort key moves to the next place after the keys before it (columns 3
// on), so the keys read left to right in the order they were added, and
// equal neighbouring texts in the key columns merge. gListColumns follows
// where each detail field stands, so that a new result set is filled into
// the right columns and sorted the same way.
#include "browser/BrowserPane.h"

#include "browser/ResultGrids.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"

#include <QAction>

namespace {

constexpr int kFirstDetailColumn = 3;
constexpr int kLastDetailColumn = 10;
constexpr int kShownWidthTwips = 1000;

// Sorts the data rows by the key columns; the list selects whole rows, which
// would make every column a key, so the selection is free meanwhile.
void SortDataRows(ctl::FlexGrid& grid, int firstKey, int lastKey, int mode) {
  if (grid.Rows() < 2) return;
  const int selectionMode = grid.SelectionMode();
  grid.SetSelectionMode(ctl::flexSelectionFree);
  grid.SetRow(1);
  grid.SetRowSel(grid.Rows() - 1);
  grid.SetCol(firstKey);
  grid.SetColSel(lastKey);
  grid.SetSort(mode);
  grid.SetSelectionMode(selectionMode);
}

void SetHeaderPicture(ctl::FlexGrid& grid, int col, const QPixmap& picture, int alignment) {
  grid.SetRow(0);
  grid.SetCol(col);
  grid.SetCellPicture(picture);
  grid.SetCellPictureAlignment(alignment);
}

}  // namespace

void BrowserPane::SortListColumn(int16_t column) {
  ctl::FlexGrid& grid = *flexThumbsList;
  // A failure shows its description alone; the grid keeps the order and the
  // column places it has reached.
  ErrorGuard sorting(
      {.owner = ProgramMessageOwner(), .text = [](const RWError& error) { return error.Description(); }});
  const bool sorted = sorting.Run([&] {
    flexThumbsList_LeaveCell();
    if (!m_SortStarted) {
      m_SortLastKey = 2;
      for (size_t k = 0; k < gListColumns.size(); ++k) gListColumns[k] = {static_cast<int16_t>(k + 3), 0};
      m_SortStarted = true;
    }
    if (column > 1) {
      if (grid.MergeCol(column)) return;
      AddSortKey(column);
    } else {
      CancelSort();
    }
    grid.SetCol(1);
    if (ResultGrids::ResultCount() > 0) {
      grid.SetRow(1);
      grid.SetTopRow(1);
    } else {
      grid.SetCol(0);
    }
    grid.SetTag(QString());
    if (gLibrary) gLibrary->DrawGridImages();
  });
  if (!sorted) grid.SetTag(QString());
}

void BrowserPane::AddSortKey(int16_t column) {
  ctl::FlexGrid& grid = *flexThumbsList;
  SetHeaderPicture(grid, 1, host_.imglstDragIcons().Picture(QStringLiteral("CANCEL_SORT")), ctl::flexAlignCenterCenter);
  SetHeaderPicture(grid, column, host_.imglstDragIcons().Picture(QStringLiteral("SORTED")), ctl::flexAlignRightCenter);
  const int16_t key = ++m_SortLastKey;
  grid.SetMergeCells(ctl::flexMergeRestrictColumns);
  grid.SetMergeCol(column, true);
  grid.SetColPosition(column, key);
  SortDataRows(grid, kFirstDetailColumn, key, ctl::flexSortStringAscending);
  for (ListColumn& field : gListColumns) {
    if (field.Column == column) {
      field.Column = key;
      field.SortFlag = 1;
    } else if (field.Column >= key && field.Column < column) {
      field.Column = static_cast<int16_t>(field.Column + 1);
    }
  }
}

// The fields go back to their home columns one by one, and the rows to the
// order of the result set.
void BrowserPane::CancelSort() {
  ctl::FlexGrid& grid = *flexThumbsList;
  SetHeaderPicture(grid, 1, QPixmap(), ctl::flexAlignCenterCenter);
  for (int home = kFirstDetailColumn; home <= kLastDetailColumn; ++home) {
    ListColumn& field = gListColumns[static_cast<size_t>(home - kFirstDetailColumn)];
    field.SortFlag = 0;
    const int16_t from = field.Column;
    grid.SetColPosition(from, home);
    for (ListColumn& other : gListColumns) {
      if (other.Column >= home && other.Column < from) other.Column = static_cast<int16_t>(other.Column + 1);
    }
    field.Column = static_cast<int16_t>(home);
    SetHeaderPicture(grid, home, QPixmap(), ctl::flexAlignRightCenter);
    grid.SetMergeCol(home, false);
  }
  SortDataRows(grid, 0, 0, ctl::flexSortNumericAscending);
  m_SortStarted = false;
}

// Shows (1000 twips wide) or hides the column of the item's detail field.
void BrowserPane::mnuListViewCol_Click(int16_t Index) {
  if (Index < kFirstDetailColumn || Index > kLastDetailColumn) return;
  QAction* item = mnuListViewCol[static_cast<size_t>(Index)];
  const int column = gListColumns[static_cast<size_t>(Index - kFirstDetailColumn)].Column;
  flexThumbsList->SetColWidth(column, item->isChecked() ? 0 : kShownWidthTwips);
  item->setChecked(!item->isChecked());
}
