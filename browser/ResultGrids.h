#pragma once
// What the result grids' handlers share: the result count and the results
// they may read, the tile arithmetic and the cell state codes.
//
// Tile i of the tile grid lies in row (i - 1) div T and column
// (i - 1) mod T + 1 (T tiles per row; column 0 and the last column are
// margins), so cell (r, c) shows result r * T + c. Row r of the list grid
// shows the result whose index the row keeps as its row data (the list fill
// writes it there); the number moves with its row when the list is sorted or
// its columns move. The list keeps no texts of its own for its rows: it asks
// ListText for them when it shows or sorts them.
#include "library/ResultItem.h"

#include <QString>

#include <cstdint>

namespace ctl {
class FlexGrid;
}

namespace ResultGrids {

// The rows of the current results that can be read: 1 to this.
int32_t ResultCount();
// Tiles per row as a whole number, at least 1.
int32_t TileColumns();
bool IsResult(int64_t index);
// Result `index`, or the empty element 0 for an index outside the results.
const ResultItem& ResultAt(int64_t index);
// The result shown in tile cell (row, col): row * T + col.
int64_t TileIndex(int32_t row, int32_t col);
// The result shown in row `row` of the list (its row data); 0 for the
// header or a row without a result.
int32_t ListIndex(const ctl::FlexGrid& list, int32_t row);

// The text of list column `col` for result `index`: the index itself in
// column 0, the resting code in column 1 and, in the column where detail
// field k stands (gListColumns), the result's text of that field; none for
// an index outside the results.
QString ListText(int32_t index, int col);

// A result cell at rest: the display state (5 online, 9 offline), one less
// when selected.
QString RestingCode(const ResultItem& item);
// The current cell: "0" selected, "1" not.
QString CursorCode(const ResultItem& item);

// The item made current by a grid, remembering the result index it came from.
void MakeCurrent(int64_t index);

}  // namespace ResultGrids
