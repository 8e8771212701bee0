// Selecting results and placing the browser's cursor on a result. The
// selection lives in three places that ApplySelection keeps equal: the
// results' Selected flags, the flags by segment (gSelectedById, which
// outlive a fetch) and the state codes of the active grid's cells (the
// carousel has none).
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "ui/DragState.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

using namespace ResultGrids;

namespace {

// What a mode does to a selected flag.
enum class FlagChange { Keep, Select, Deselect, Invert };

FlagChange ChangeFor(const QString& mode) {
  if (mode == QLatin1String("Invert")) return FlagChange::Invert;
  if (mode == QLatin1String("Select")) return FlagChange::Select;
  if (mode == QLatin1String("De-select")) return FlagChange::Deselect;
  return FlagChange::Keep;  // "Refresh"
}

bool Changed(FlagChange change, bool selected) {
  switch (change) {
    case FlagChange::Invert:
      return !selected;
    case FlagChange::Select:
      return true;
    case FlagChange::Deselect:
      return false;
    case FlagChange::Keep:
      break;
  }
  return selected;
}

// How many rows ahead the list's walk fetches the results its rows lead to
// and the cells it writes. A sorted list leads to the results in any order
// and keeps its rows' cells anywhere in the grid's store, and even in order
// each row's cell lies a whole row of cells past the last; the walk would
// wait on memory for each unless it is fetched while earlier rows are
// worked on (the fields the walk reads share the result's first cache
// line). The cells, a cache line each, are fetched further ahead.
constexpr int32_t kResultsAhead = 32;
constexpr int32_t kCellsAhead = 64;

// A result's fields the walk reads lie within its first 16 bytes, which
// may straddle two cache lines: both ends are fetched (one fetch when they
// share a line).
void FetchAhead(const ResultItem& item) {
  __builtin_prefetch(&item.SegmentID, 1);
  __builtin_prefetch(&item.DisplayState, 1);
}

void Mark(ResultItem& item, FlagChange change) {
  item.Selected = Changed(change, item.Selected);
  gSelectedById.Set(item.SegmentID, item.Selected ? 1 : 0);
}

// The codes in use are single digits, shared so that writing one
// allocates nothing; their texts are literals, so copying one counts no
// reference either.
const std::array<QString, 10> kDigits = {
    QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
    QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")};

// Sets a text to the resting state code of a result (see RestingCode).
inline void SetCodeText(QString& text, const ResultItem& item) {
  const int32_t code = item.DisplayState - (item.Selected ? 1 : 0);
  if (code >= 0 && code <= 9) {
    text = kDigits[static_cast<size_t>(code)];
  } else {
    text = QString::number(code);
  }
}

// Writes state codes into a grid frozen meanwhile, straight into its cells;
// the grid's model is told of the change once at the end and the grid
// repaints when it is unfrozen. Thousands of codes cost little more than
// their texts.
// With `ownCellsOnly` only the rows with cells of their own take a code: the
// others show the code their text source makes from the result.
class CodeWriter {
 public:
  explicit CodeWriter(ctl::FlexGrid& grid, bool ownCellsOnly = false)
      : grid_(grid),
        model_(grid.Model()),
        rows_(grid.Rows()),
        cols_(grid.Cols()),
        redraw_(grid.Redraw()),
        ownCellsOnly_(ownCellsOnly) {
    grid_.SetRedraw(false);
  }
  ~CodeWriter() {
    if (written_) model_.NotifyAll();
    grid_.SetRedraw(redraw_);
  }
  CodeWriter(const CodeWriter&) = delete;
  CodeWriter& operator=(const CodeWriter&) = delete;

  void Write(int64_t row, int64_t col, const ResultItem& item) {
    if (row >= rows_ || col >= cols_) return;
    if (ownCellsOnly_ && !model_.HasOwnCells(static_cast<int>(row))) return;
    SetCodeText(model_.EditCell(static_cast<int>(row), static_cast<int>(col)).text, item);
    written_ = true;
  }
  // Fetches the cell a later Write goes to.
  void FetchAhead(int64_t row, int64_t col) const {
    if (row < rows_ && col < cols_) __builtin_prefetch(&model_.Cell(static_cast<int>(row), static_cast<int>(col)), 1);
  }

 private:
  ctl::FlexGrid& grid_;
  ctl::FlexGridModel& model_;
  int64_t rows_;
  int64_t cols_;
  bool redraw_;
  bool ownCellsOnly_;
  bool written_ = false;
};

// The row of gResults the current result was copied from (its own row, else
// the carousel's, else the first with its segment); 0 when none holds it.
int32_t CurrentResultRow(int32_t n) {
  const int32_t id = gCurrentItem.SegmentID;
  if (id == 0) return 0;
  for (const int32_t k : {gCurrentItem.BrowserRow, gBrowserIndex}) {
    if (k >= 1 && k <= n && gResults[static_cast<size_t>(k)].SegmentID == id) return k;
  }
  for (int32_t k = 1; k <= n; ++k) {
    if (gResults[static_cast<size_t>(k)].SegmentID == id) return k;
  }
  return 0;
}

// The tiles of results first..last take the change and their codes; every
// selected result is counted.
int32_t MarkTiles(ctl::FlexGrid& grid, FlagChange change, int32_t first, int32_t last, int32_t n) {
  CodeWriter cells(grid);
  const int32_t columns = TileColumns();
  int32_t selected = 0;
  // The results and the cells are walked in the order they lie in memory,
  // which the processor fetches ahead by itself.
  for (int32_t k = 1; k <= n; ++k) {
    ResultItem& item = gResults[static_cast<size_t>(k)];
    if (k >= first && k <= last) {
      Mark(item, change);
      cells.Write((k - 1) / columns, (k - 1) % columns + 1, item);
    }
    if (item.Selected) ++selected;
  }
  return selected;
}

// The same over the list's rows first..last (rows, not result indices).
// Each row leads to its result by the index it keeps as its row data (as
// ResultGrids::ListIndex reads it); the indices lie side by side in row
// order, so reading them costs next to nothing.
int32_t MarkListRows(ctl::FlexGrid& grid, FlagChange change, int32_t first, int32_t last, int32_t n) {
  CodeWriter cells(grid, true);
  const ctl::FlexGridModel& model = grid.Model();
  const int32_t rows = std::min(n, static_cast<int32_t>(grid.Rows()) - 1);
  const auto resultOf = [&model, n](int32_t row) {
    const int32_t index = model.RowInfo(row).data;
    return index >= 1 && index <= n ? index : 0;
  };
  int32_t selected = 0;
  // The rows before and after the range are only counted.
  const auto count = [&](int32_t from, int32_t to) {
    for (int32_t row = from; row <= to; ++row) {
      if (const int32_t i = resultOf(row)) selected += gResults[static_cast<size_t>(i)].Selected ? 1 : 0;
    }
  };
  const int32_t from = std::max(first, 1);
  const int32_t to = std::min(last, rows);
  count(1, std::min(rows, from - 1));
  for (int32_t row = from; row <= to; ++row) {
    if (row + kResultsAhead <= to) {
      if (const int32_t k = resultOf(row + kResultsAhead)) FetchAhead(gResults[static_cast<size_t>(k)]);
    }
    if (row + kCellsAhead <= to) cells.FetchAhead(row + kCellsAhead, 1);
    const int32_t i = resultOf(row);
    if (i == 0) continue;
    ResultItem& item = gResults[static_cast<size_t>(i)];
    Mark(item, change);
    cells.Write(row, 1, item);
    if (item.Selected) ++selected;
  }
  count(std::max(from, to + 1), rows);
  return selected;
}

// The carousel shows no cells: the current result's new flag goes to its row
// and the store, and every selected result is counted.
int32_t MarkCurrentResult(FlagChange change, int32_t n) {
  if (const int32_t k = CurrentResultRow(n)) {
    ResultItem& item = gResults[static_cast<size_t>(k)];
    if (change != FlagChange::Keep) item.Selected = gCurrentItem.Selected;
    gSelectedById.Set(item.SegmentID, item.Selected ? 1 : 0);
  }
  return static_cast<int32_t>(std::count_if(gResults.begin() + 1, gResults.begin() + n + 1,
                                            [](const ResultItem& item) { return item.Selected; }));
}

}  // namespace

void ResultsPane::ApplySelection(const QString& mode, int32_t first, int32_t last) {
  drag_.Clear();
  gPlayQueueBuilt = false;
  if (first == 0) first = 1;
  if (last == 0) last = static_cast<int32_t>(gResults.size()) - 1;
  if (first > last) std::swap(first, last);
  const FlagChange change = ChangeFor(mode);
  gCurrentItem.Selected = Changed(change, gCurrentItem.Selected);
  const int32_t n = ResultCount();
  int32_t selected = 0;
  if (gBrowserMode == 1) {
    selected = MarkTiles(*flexThumbsTiled, change, first, last, n);
  } else if (gBrowserMode == 2) {
    selected = MarkListRows(*flexThumbsList, change, first, last, n);
  } else if (gBrowserMode == 3) {
    selected = MarkCurrentResult(change, n);
  }
  if (gLibrary) gLibrary->SelectedCount = selected;
  ShowResultCounts(selected);
}

void ResultsPane::SetBrowserIndex(int32_t SegmentID) {
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
