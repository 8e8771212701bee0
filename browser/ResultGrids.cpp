#include "browser/ResultGrids.h"

#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/Rounding.h"

#include <algorithm>

namespace ResultGrids {

int32_t ResultCount() {
  if (!gLibrary || gResults.empty()) return 0;
  return std::clamp(gLibrary->ResultCount, 0, static_cast<int32_t>(gResults.size()) - 1);
}

int32_t TileColumns() { return std::max(1, static_cast<int32_t>(RoundHalfEven(gTileColumns))); }

bool IsResult(int64_t index) { return index >= 1 && index <= ResultCount(); }

const ResultItem& ResultAt(int64_t index) {
  static const ResultItem empty;
  if (IsResult(index)) return gResults[static_cast<size_t>(index)];
  return gResults.empty() ? empty : gResults.front();
}

int64_t TileIndex(int32_t row, int32_t col) { return static_cast<int64_t>(TileColumns()) * row + col; }

int32_t ListIndex(const ctl::FlexGrid& list, int32_t row) {
  if (row < 1 || row >= list.Rows()) return 0;
  return list.RowData(row);
}

QString ListText(int32_t index, int col) {
  if (!IsResult(index)) return QString();
  const ResultItem& item = gResults[static_cast<size_t>(index)];
  if (col == 0) return QString::number(index);
  if (col == 1) return RestingCode(item);
  for (size_t k = 0; k < gListColumns.size(); ++k) {
    if (gListColumns[k].Column == col) return ResultListText(item, static_cast<DetailField>(k));
  }
  return QString();
}

QString RestingCode(const ResultItem& item) { return QString::number(item.DisplayState - (item.Selected ? 1 : 0)); }

QString CursorCode(const ResultItem& item) { return item.Selected ? QStringLiteral("0") : QStringLiteral("1"); }

void MakeCurrent(int64_t index) {
  const int32_t shown = IsResult(index) ? static_cast<int32_t>(index) : 0;
  gCurrentItem = ResultAt(shown);
  gCurrentItem.BrowserRow = shown;
}

}  // namespace ResultGrids
