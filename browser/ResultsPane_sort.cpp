// Sorting the list grid by several detail columns and the column chooser.
// Each sort key moves to the next place after the keys before it (columns 3
// on), so the keys read left to right in the order they were added, and
// equal neighbouring texts in the key columns merge. gListColumns follows
// where each detail field stands, so that a new result set is filled into
// the right columns and sorted the same way.
//
// The columns of text (path, name, format) compare case-sensitively, upper
// case before lower case. The columns of numbers (size, duration,
// resolution, frame rate, bit rate) are padded texts whose text order breaks
// once a number outgrows the padding ("117737.000 MB" would come before
// "47683.000 MB", "10h:00m:00s" before "1h:00m:00s"), so they compare by the
// number the text shows.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"
#include "platform/Twips.h"
#include "platform/controls/ControlErrors.h"

#include <QAction>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kFirstDetailColumn = 3;
constexpr int kLastDetailColumn = 10;
constexpr int kShownWidthTwips = 1000;
constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// How the cells of a key column turn into a number; Text: they do not.
enum class KeyValue { Text, Decimal, Duration, PixelCount };

// The number at `at` in a text (digits with at most one decimal separator,
// `point` as the cells are shown), moving `at` past it; no digits: NaN.
double ReadNumber(QStringView text, qsizetype& at, QChar point) {
  double whole = 0;
  double scale = 1;
  bool digits = false;
  bool decimals = false;
  for (; at < text.size(); ++at) {
    const char16_t c = text[at].unicode();
    if (c >= u'0' && c <= u'9') {
      whole = whole * 10 + (c - u'0');
      if (decimals) scale *= 10;
      digits = true;
    } else if (c == point && !decimals) {
      decimals = true;
    } else {
      break;
    }
  }
  return digits ? whole / scale : kNoNumber;
}

void SkipBlanks(QStringView text, qsizetype& at) {
  while (at < text.size() && text[at] == u' ') ++at;
}

// "  47683.000 MB", "   800 kbps", "29.97": the leading number.
double DecimalValue(QStringView text, QChar point) {
  qsizetype at = 0;
  SkipBlanks(text, at);
  return ReadNumber(text, at, point);
}

// "1h:02m:05s" (or "1:02:05"): the seconds; each part after a colon counts 60
// of the next.
double DurationValue(QStringView text, QChar point) {
  qsizetype at = 0;
  SkipBlanks(text, at);
  double seconds = ReadNumber(text, at, point);
  while (!std::isnan(seconds)) {
    while (at < text.size() && text[at].isLetter()) ++at;
    if (at >= text.size() || text[at] != u':') break;
    const double part = ReadNumber(text, ++at, point);
    seconds = std::isnan(part) ? kNoNumber : seconds * 60 + part;
  }
  return seconds;
}

// "640x480": the pixels of the picture.
double PixelCountValue(QStringView text) {
  qsizetype at = 0;
  SkipBlanks(text, at);
  const double width = ReadNumber(text, at, QChar());
  if (std::isnan(width) || at >= text.size() || text[at] != u'x') return kNoNumber;
  return width * ReadNumber(text, ++at, QChar());
}

double ValueOf(KeyValue kind, QStringView text, QChar point) {
  switch (kind) {
    case KeyValue::Decimal:
      return DecimalValue(text, point);
    case KeyValue::Duration:
      return DurationValue(text, point);
    case KeyValue::PixelCount:
      return PixelCountValue(text);
    case KeyValue::Text:
      break;
  }
  return kNoNumber;
}

// The detail field shown in a grid column, none for a column of no field.
std::optional<DetailField> FieldInColumn(int column) {
  for (size_t k = 0; k < gListColumns.size(); ++k) {
    if (gListColumns[k].Column == column) return static_cast<DetailField>(k);
  }
  return std::nullopt;
}

KeyValue KeyValueOf(int column) {
  switch (FieldInColumn(column).value_or(DetailField::Path)) {
    case DetailField::Size:
    case DetailField::FrameRate:
    case DetailField::Bitrate:
      return KeyValue::Decimal;
    case DetailField::Duration:
      return KeyValue::Duration;
    case DetailField::Resolution:
      return KeyValue::PixelCount;
    default:
      return KeyValue::Text;
  }
}

// One key column read once before the sort: in a number column the cells'
// numbers (NaN for a text that shows none), and the cells' texts where a
// comparison may read them (every text of a text or resolution column, and
// the texts of cells without a number); the list keeps none of them.
struct SortKey {
  KeyValue kind = KeyValue::Text;
  std::optional<DetailField> field;
  std::vector<QString> texts;
  std::vector<double> values;
};

// What every key cell is read with: the locale's decimal point and whether
// the locale writes sizes in plain digits with a one-character decimal
// point (see DirectValue).
struct KeyReading {
  QChar point;
  bool plainLocale;
};

KeyReading ReadingNow() {
  const QLocale locale;
  return {ShownNumbers::DecimalPoint(), locale.decimalPoint().size() == 1 && locale.zeroDigit() == QLatin1String("0")};
}

// The number a detail field of a result shows in the list, worked out from
// the result where that is the very number its text shows, so that a sort
// need not write and read back the texts: a size of at least 0 bytes (in
// whole thousandths of a megabyte, in a plain locale), a duration (in whole
// seconds, none below 0) and a bit rate of at least 0. NaN where the text
// must be read; the bounds keep the numbers exact.
double DirectValue(const ResultItem& item, std::optional<DetailField> field, bool plainLocale) {
  constexpr double kExact = 1125899906842624.0;  // 2^50
  switch (field.value_or(DetailField::Path)) {
    case DetailField::Size: {
      const double thousandths = std::round(item.FileSize / 1024 / 1024 * 1000);
      return plainLocale && item.FileSize >= 0 && thousandths < kExact ? thousandths / 1000 : kNoNumber;
    }
    case DetailField::Duration:
      if (!(item.Duration > 0)) return 0;
      return item.Duration < kExact ? std::floor(item.Duration) : kNoNumber;
    case DetailField::Bitrate:
      return item.Bitrate >= 0 ? item.Bitrate : kNoNumber;
    default:
      return kNoNumber;
  }
}

// Row `row` of one key column: its number from its result where it can be
// worked out, else from its text.
void ReadKeyCell(SortKey& key, const ctl::FlexGridModel& model, int row, int column, const KeyReading& reading) {
  double value = kNoNumber;
  const int32_t index = model.RowInfo(row).data;
  if (key.kind != KeyValue::Text && ResultGrids::IsResult(index) && model.Cell(row, column).text.isEmpty()) {
    value = DirectValue(ResultGrids::ResultAt(index), key.field, reading.plainLocale);
  }
  QString text;
  if (std::isnan(value)) {
    text = model.Text(row, column);
    value = ValueOf(key.kind, text, reading.point);
  }
  const bool textRead = key.kind == KeyValue::Text || key.kind == KeyValue::PixelCount || std::isnan(value);
  key.texts.push_back(textRead ? std::move(text) : QString());
  if (key.kind != KeyValue::Text) key.values.push_back(value);
}

// The key columns of the data rows (1 on), read row by row.
std::vector<SortKey> ReadKeys(ctl::FlexGridModel& model, const std::vector<int>& keyColumns) {
  const size_t rows = static_cast<size_t>(std::max(0, model.Rows() - 1));
  std::vector<SortKey> keys;
  for (const int column : keyColumns) {
    keys.push_back({KeyValueOf(column), FieldInColumn(column), {}, {}});
    keys.back().texts.reserve(rows);
    if (keys.back().kind != KeyValue::Text) keys.back().values.reserve(rows);
  }
  const KeyReading reading = ReadingNow();
  for (int r = 1; r < model.Rows(); ++r) {
    for (size_t k = 0; k < keys.size(); ++k) ReadKeyCell(keys[k], model, r, keyColumns[k], reading);
  }
  return keys;
}

// -1, 0 or 1 for rows a and b (offsets in the key): a text that shows no
// number comes before every number, as blank comes first among texts.
// Sizes, durations, frame rates and bit rates are written from their
// numbers in one format each, so equal numbers show equal texts; a
// resolution is shown as stored ("1080x1920" and "1920x1080" have as many
// pixels), so there, and between texts without numbers, the text decides.
int CompareRows(const SortKey& key, size_t a, size_t b) {
  if (key.kind != KeyValue::Text) {
    const double x = key.values[a];
    const double y = key.values[b];
    if (std::isnan(x) != std::isnan(y)) return std::isnan(x) ? -1 : 1;
    if (x < y) return -1;
    if (y < x) return 1;
    if (x == y && key.kind != KeyValue::PixelCount) return 0;
  }
  const int byText = key.texts[a].compare(key.texts[b], Qt::CaseSensitive);
  return (byText > 0) - (byText < 0);
}

// The data rows (1 on) ordered by the key columns, most significant first:
// entry i is the row that goes to row i + 1. Equal rows keep their order.
std::vector<int> SortedRows(ctl::FlexGridModel& model, const std::vector<int>& keyColumns) {
  const std::vector<SortKey> keys = ReadKeys(model, keyColumns);
  std::vector<int> order(static_cast<size_t>(std::max(0, model.Rows() - 1)));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
    for (const SortKey& key : keys) {
      const int result = CompareRows(key, static_cast<size_t>(a), static_cast<size_t>(b));
      if (result != 0) return result < 0;
    }
    return false;
  });
  for (int& row : order) ++row;
  return order;
}

// The data rows (1 on) in the order of the results they lead to (their row
// data; a row without a result, 0, first): entry i is the row that goes to
// row i + 1. Equal rows keep their order.
std::vector<int> RowsInResultOrder(const ctl::FlexGrid& grid) {
  std::vector<int> order(static_cast<size_t>(std::max(0, grid.Rows() - 1)));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&grid](int a, int b) { return grid.RowData(a) < grid.RowData(b); });
  return order;
}

// A new arrangement of the grid: column c takes the cells and settings of
// column columns[c], data row i + 1 the cells of row rows[i]. The grid's
// model takes both in one step, without moving a cell.
struct Arrangement {
  std::vector<int> columns;
  std::vector<int> rows;
};

// The columns as they stand, and as they stand after `column` moved to
// `position` (the columns between shift one place).
std::vector<int> Unmoved(int cols) {
  std::vector<int> columns(static_cast<size_t>(cols));
  std::iota(columns.begin(), columns.end(), 0);
  return columns;
}

std::vector<int> AfterMove(int cols, int column, int position) {
  std::vector<int> columns = Unmoved(cols);
  columns.erase(columns.begin() + column);
  columns.insert(columns.begin() + position, column);
  return columns;
}

void Arrange(ctl::FlexGrid& grid, const Arrangement& arrangement) {
  ctl::FlexGridModel& model = grid.Model();
  model.Rearrange(arrangement.columns, arrangement.rows);
  if (grid.Redraw()) grid.update();
}

// The grid's own error for a column it does not have.
void CheckColumn(const ctl::FlexGrid& grid, int column) {
  if (column < 0 || column >= grid.Cols()) ctl::RaiseControlError(ctl::kErrInvalidColValue, QStringLiteral("FlexGrid"));
}

// A rearrangement places every column once; one that would not (a
// gListColumns out of step with the grid) is refused before any cell moves.
void CheckColumns(const ctl::FlexGrid& grid, std::vector<int> columns) {
  std::sort(columns.begin(), columns.end());
  if (columns != Unmoved(grid.Cols())) ctl::RaiseControlError(ctl::kErrInvalidColValue, QStringLiteral("FlexGrid"));
}

void SetHeaderPicture(ctl::FlexGrid& grid, int col, const QPixmap& picture, int alignment) {
  grid.SetRow(0);
  grid.SetCol(col);
  grid.SetCellPicture(picture);
  grid.SetCellPictureAlignment(alignment);
}

// A key column too narrow for its header beside the sort mark ("Resolution",
// "Frame Rate" at 1000 twips) is widened until the header shows whole; a
// hidden column stays hidden.
void WidenForHeader(ctl::FlexGrid& grid, int col) {
  if (grid.ColWidth(col) <= 0) return;
  const int needed = grid.CellFittingPixels(0, col);
  if (TwipsToPixelsX(grid.ColWidth(col)) < needed) grid.SetColWidth(col, static_cast<int>(PixelsToTwipsX(needed)));
}

// The scroll bar shows the list's new top row, so that paging goes on from
// there; the grid is already scrolled, so the bar's change is not followed.
void ScrollBarToTopRow(ctl::VScrollBar& bar, const ctl::FlexGrid& grid) {
  const QString tag = bar.Tag();
  bar.SetTag(QStringLiteral("BUSY"));
  bar.SetValue(grid.TopRow());
  bar.SetTag(tag);
}

}  // namespace

void ResultsPane::SortListColumn(int16_t column) {
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
    if (gBrowserMode == 2) ScrollBarToTopRow(*scrollFlex, grid);
    grid.SetTag(QString());
    if (gLibrary) gLibrary->DrawGridImages();
  });
  if (!sorted) grid.SetTag(QString());
}

// The column moves behind the keys before it and the rows are sorted by the
// keys, in one rearrangement of the grid; gListColumns then follows.
void ResultsPane::AddSortKey(int16_t column) {
  ctl::FlexGrid& grid = *flexThumbsList;
  SetHeaderPicture(grid, 1, host_.imglstDragIcons().Picture(QStringLiteral("CANCEL_SORT")), ctl::flexAlignCenterCenter);
  SetHeaderPicture(grid, column, host_.imglstDragIcons().Picture(QStringLiteral("SORTED")), ctl::flexAlignRightCenter);
  WidenForHeader(grid, column);
  const int16_t key = ++m_SortLastKey;
  grid.SetMergeCells(ctl::flexMergeRestrictColumns);
  grid.SetMergeCol(column, true);
  CheckColumn(grid, key);
  Arrangement arrangement{AfterMove(grid.Cols(), column, key), {}};
  const std::vector<int> keys(arrangement.columns.begin() + kFirstDetailColumn, arrangement.columns.begin() + key + 1);
  arrangement.rows = SortedRows(grid.Model(), keys);
  Arrange(grid, arrangement);
  for (ListColumn& field : gListColumns) {
    if (field.Column == column) {
      field.Column = key;
      field.SortFlag = 1;
    } else if (field.Column >= key && field.Column < column) {
      field.Column = static_cast<int16_t>(field.Column + 1);
    }
  }
}

// The fields go back to their home columns and the rows to the order of
// the result set (the index each row keeps), in one rearrangement of the grid.
void ResultsPane::CancelSort() {
  ctl::FlexGrid& grid = *flexThumbsList;
  SetHeaderPicture(grid, 1, QPixmap(), ctl::flexAlignCenterCenter);
  Arrangement arrangement{Unmoved(grid.Cols()), RowsInResultOrder(grid)};
  for (int home = kFirstDetailColumn; home <= kLastDetailColumn; ++home) {
    CheckColumn(grid, home);
    const ListColumn& field = gListColumns[static_cast<size_t>(home - kFirstDetailColumn)];
    arrangement.columns[static_cast<size_t>(home)] = field.Column;
  }
  CheckColumns(grid, arrangement.columns);
  Arrange(grid, arrangement);
  for (int home = kFirstDetailColumn; home <= kLastDetailColumn; ++home) {
    gListColumns[static_cast<size_t>(home - kFirstDetailColumn)] = {static_cast<int16_t>(home), 0};
    SetHeaderPicture(grid, home, QPixmap(), ctl::flexAlignRightCenter);
    grid.SetMergeCol(home, false);
  }
  m_SortStarted = false;
}

// The rows put in the order of the key columns 3 to lastColumn, compared as
// a sort compares them; the columns stay where they are.
void ResultsPane::SortRowsByKeys(int lastColumn) {
  ctl::FlexGrid& grid = *flexThumbsList;
  std::vector<int> keys;
  for (int column = kFirstDetailColumn; column <= lastColumn && column < grid.Cols(); ++column) keys.push_back(column);
  if (keys.empty() || grid.Rows() < 3) return;
  Arrange(grid, {Unmoved(grid.Cols()), SortedRows(grid.Model(), keys)});
}

// Shows (1000 twips wide) or hides the column of the item's detail field.
void ResultsPane::mnuListViewCol_Click(int16_t Index) {
  if (Index < kFirstDetailColumn || Index > kLastDetailColumn) return;
  QAction* item = mnuListViewCol[static_cast<size_t>(Index)];
  const int column = gListColumns[static_cast<size_t>(Index - kFirstDetailColumn)].Column;
  flexThumbsList->SetColWidth(column, item->isChecked() ? 0 : kShownWidthTwips);
  item->setChecked(!item->isChecked());
}
