#include "platform/controls/FlexGridModel.h"

#include <QLocale>
#include <QMetaMethod>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace ctl {

namespace {

// The leading number of a text, 0 when there is none ("12 MB" gives 12).
double LeadingNumber(const QString& text) {
  static const QRegularExpression number(QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
  const QRegularExpressionMatch match = number.match(text);
  return match.hasMatch() ? QLocale::c().toDouble(match.captured(0).trimmed()) : 0.0;
}

// -1, 0 or 1 for two key texts in one sort mode (ascending; the caller flips).
int CompareKeys(const QString& a, const QString& b, int mode) {
  switch (mode) {
    case 3:
    case 4: {
      const double x = LeadingNumber(a);
      const double y = LeadingNumber(b);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case 5:
    case 6:
      return QString::compare(a, b, Qt::CaseInsensitive);
    case 7:
    case 8:
      return QString::compare(a, b, Qt::CaseSensitive);
    default:
      if (FlexGridModel::IsNumber(a) && FlexGridModel::IsNumber(b)) return CompareKeys(a, b, 3);
      return QString::compare(a, b, Qt::CaseInsensitive);
  }
}

bool Descending(int mode) { return mode == 2 || mode == 4 || mode == 6 || mode == 8; }

}  // namespace

bool FlexGridModel::IsNumber(const QString& text) {
  bool ok = false;
  QLocale::c().toDouble(text.trimmed(), &ok);
  return ok;
}

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void FlexGridModel::Resize(int rows, int cols) {
  rows = std::max(0, rows);
  cols = std::max(0, cols);
  if (rows == rows_ && cols == cols_) return;
  beginResetModel();
  if (cols == cols_ && RowsInStoredOrder()) {
    // Only rows come or go, and the rows lie in the store in their own
    // order: the store grows or shrinks at its end. The rows that come read
    // empty cells, not the blanks set before them.
    rowCells_.resize(static_cast<size_t>(rows));
    rowOrder_.resize(static_cast<size_t>(rows));
    std::iota(rowOrder_.begin(), rowOrder_.end(), 0);
    rowInfo_.resize(static_cast<size_t>(rows));
    for (FlexColumn& column : columns_) column.blankRows = std::min(column.blankRows, rows);
    rows_ = rows;
    endResetModel();
    return;
  }
  // The store is laid out anew in the rows' and columns' own order; the rows
  // kept that read blanks take cells of their own, and the blanks go.
  std::vector<std::unique_ptr<FlexCell[]>> cells(static_cast<size_t>(rows));
  const int keepRows = std::min(rows, rows_);
  const int keepCols = std::min(cols, cols_);
  for (int r = 0; r < keepRows; ++r) {
    const size_t stored = static_cast<size_t>(rowOrder_[static_cast<size_t>(r)]);
    if (!rowCells_[stored] && !ReadsABlank(stored)) continue;
    cells[static_cast<size_t>(r)] = std::make_unique<FlexCell[]>(static_cast<size_t>(cols));
    for (int c = 0; c < keepCols; ++c) cells[static_cast<size_t>(r)][c] = Cell(r, c);
  }
  rowCells_ = std::move(cells);
  rowOrder_.resize(static_cast<size_t>(rows));
  std::iota(rowOrder_.begin(), rowOrder_.end(), 0);
  colOrder_.resize(static_cast<size_t>(cols));
  std::iota(colOrder_.begin(), colOrder_.end(), 0);
  columns_.resize(static_cast<size_t>(cols));
  for (FlexColumn& column : columns_) {
    column.blank = FlexCell();
    column.blankRows = 0;
  }
  rowInfo_.resize(static_cast<size_t>(rows));
  rows_ = rows;
  cols_ = cols;
  endResetModel();
}

void FlexGridModel::ReleaseUnused() {
  rowCells_.shrink_to_fit();
  rowOrder_.shrink_to_fit();
  rowInfo_.shrink_to_fit();
}

const FlexCell& FlexGridModel::BlankCell(size_t stored, int col) const {
  static const FlexCell empty;
  const FlexColumn& column = columns_[static_cast<size_t>(col)];
  return stored < static_cast<size_t>(column.blankRows) ? column.blank : empty;
}

bool FlexGridModel::ReadsABlank(size_t stored) const {
  return std::any_of(columns_.begin(), columns_.end(),
                     [stored](const FlexColumn& column) { return stored < static_cast<size_t>(column.blankRows); });
}

void FlexGridModel::OwnCells(int row) {
  auto cells = std::make_unique<FlexCell[]>(static_cast<size_t>(cols_));
  for (int c = 0; c < cols_; ++c) cells[colOrder_[static_cast<size_t>(c)]] = Cell(row, c);
  RowCells(row) = std::move(cells);
}

FlexCell& FlexGridModel::EditCell(int row, int col) {
  if (!HasOwnCells(row)) OwnCells(row);
  return RowCells(row)[colOrder_[static_cast<size_t>(col)]];
}

void FlexGridModel::ReleaseRow(int row) { RowCells(row).reset(); }

void FlexGridModel::FillColumn(int col, int firstRow, const std::function<void(FlexCell&)>& change) {
  firstRow = std::clamp(firstRow, 0, rows_);
  for (int r = 0; r < firstRow; ++r) {
    if (!HasOwnCells(r)) OwnCells(r);
  }
  FlexColumn& column = columns_[static_cast<size_t>(col)];
  if (column.blankRows == 0) column.blank = FlexCell();
  if (column.blankRows > 0 && column.blankRows < rows_) ShareOneBlank(column, firstRow);
  change(column.blank);
  column.blankRows = rows_;
  const size_t stored = static_cast<size_t>(colOrder_[static_cast<size_t>(col)]);
  for (int r = firstRow; r < rows_; ++r) {
    if (FlexCell* cells = RowCells(r).get()) change(cells[stored]);
  }
}

// The rows stored before blankRows read the blank, those that came after it
// an empty cell: the fewer of the two keep what they read by cells of their
// own, and the blank becomes what the others read.
void FlexGridModel::ShareOneBlank(FlexColumn& column, int firstRow) {
  const auto readsBlank = [&](int r) { return rowOrder_[static_cast<size_t>(r)] < column.blankRows; };
  int blankReaders = 0;
  int emptyReaders = 0;
  for (int r = firstRow; r < rows_; ++r) {
    if (!HasOwnCells(r)) ++(readsBlank(r) ? blankReaders : emptyReaders);
  }
  const bool ownBlankReaders = blankReaders <= emptyReaders;
  for (int r = firstRow; r < rows_; ++r) {
    if (!HasOwnCells(r) && readsBlank(r) == ownBlankReaders) OwnCells(r);
  }
  if (ownBlankReaders) column.blank = FlexCell();
}

QString FlexGridModel::Text(int row, int col) const {
  const QString& own = Cell(row, col).text;
  if (!own.isEmpty() || !textSource_) return own;
  const int32_t data = rowInfo_[static_cast<size_t>(row)].data;
  return data != 0 ? textSource_(data, col) : QString();
}

bool FlexGridModel::RowsInStoredOrder() const {
  for (size_t r = 0; r < rowOrder_.size(); ++r) {
    if (rowOrder_[r] != static_cast<int>(r)) return false;
  }
  return true;
}

int FlexGridModel::FontId(const QFont& font) {
  const auto found = std::find(fonts_.begin(), fonts_.end(), font);
  if (found != fonts_.end()) return static_cast<int>(found - fonts_.begin());
  fonts_.push_back(font);
  return static_cast<int>(fonts_.size()) - 1;
}

namespace {

// Moves element `from` to `to`, the ones between shifting one place.
template <typename T>
void MoveElement(std::vector<T>& items, int from, int to) {
  if (from < to) {
    std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
  } else {
    std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
  }
}

// items rearranged so that position i holds what stood at order[i - offset]
// for the positions from `offset` on.
template <typename T>
void Permute(std::vector<T>& items, const std::vector<int>& order, size_t offset) {
  std::vector<T> arranged(items.begin(), items.begin() + static_cast<ptrdiff_t>(offset));
  arranged.reserve(items.size());
  for (const int from : order) arranged.push_back(std::move(items[static_cast<size_t>(from)]));
  items = std::move(arranged);
}

}  // namespace

void FlexGridModel::MoveColumn(int from, int to) {
  if (from == to) return;
  beginResetModel();
  MoveElement(colOrder_, from, to);
  MoveElement(columns_, from, to);
  ++arrangement_;
  endResetModel();
}

void FlexGridModel::Rearrange(const std::vector<int>& columns, const std::vector<int>& dataRows) {
  if (columns.size() != colOrder_.size() || dataRows.size() + 1 != rowOrder_.size()) return;
  beginResetModel();
  Permute(colOrder_, columns, 0);
  Permute(columns_, columns, 0);
  Permute(rowOrder_, dataRows, 1);
  Permute(rowInfo_, dataRows, 1);
  ++arrangement_;
  endResetModel();
}

void FlexGridModel::SortRows(int first, int last, int keyFirst, int keyLast, int mode) {
  if (first >= last || mode < 1 || mode > 8) return;
  std::vector<int> order(static_cast<size_t>(last - first + 1));
  std::iota(order.begin(), order.end(), first);
  const bool descending = Descending(mode);
  // The key texts, read once: a supplied text is made anew at each reading.
  const size_t keys = static_cast<size_t>(std::max(0, keyLast - keyFirst + 1));
  std::vector<QString> texts(static_cast<size_t>(rows_) * keys);
  const auto key = [&](int row, int c) -> QString& {
    return texts[static_cast<size_t>(row) * keys + static_cast<size_t>(c - keyFirst)];
  };
  for (const int r : order) {
    for (int c = keyFirst; c <= keyLast; ++c) key(r, c) = Text(r, c);
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (int c = keyFirst; c <= keyLast; ++c) {
      const int result = CompareKeys(key(a, c), key(b, c), mode);
      if (result != 0) return descending ? result > 0 : result < 0;
    }
    return false;
  });
  beginResetModel();
  std::vector<int> rows;
  std::vector<FlexRow> infos;
  for (const int r : order) {
    rows.push_back(rowOrder_[static_cast<size_t>(r)]);
    infos.push_back(rowInfo_[static_cast<size_t>(r)]);
  }
  std::copy(rows.begin(), rows.end(), rowOrder_.begin() + first);
  std::copy(infos.begin(), infos.end(), rowInfo_.begin() + first);
  ++arrangement_;
  endResetModel();
}

void FlexGridModel::NotifyCell(int row, int col) {
  if (Watched()) emit dataChanged(index(row, col), index(row, col));
}

bool FlexGridModel::Watched() const {
  static const QMetaMethod changed = QMetaMethod::fromSignal(&QAbstractItemModel::dataChanged);
  return isSignalConnected(changed);
}

void FlexGridModel::NotifyAll() {
  static const QMetaMethod changed = QMetaMethod::fromSignal(&QAbstractItemModel::dataChanged);
  if (isSignalConnected(changed) && rows_ > 0 && cols_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
  }
}

int FlexGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int FlexGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant FlexGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
  const FlexCell& cell = Cell(index.row(), index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Text(index.row(), index.column());
    case Qt::DecorationRole:
      return cell.picture.isNull() ? QVariant() : QVariant(cell.picture);
    case Qt::BackgroundRole:
      return cell.backColor ? QVariant(ColorRefToQColor(cell.backColor)) : QVariant();
    case Qt::ForegroundRole:
      return cell.foreColor ? QVariant(ColorRefToQColor(cell.foreColor)) : QVariant();
    case Qt::FontRole:
      return cell.fontId >= 0 ? QVariant(Font(cell.fontId)) : QVariant();
    default:
      return {};
  }
}

}  // namespace ctl
