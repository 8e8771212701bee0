#pragma once
// The cell store behind the flex grid: text, picture, colours, font and
// alignment per cell, width and alignment per column, height per row. It is a
// table model, so a view or test can read the grid through the standard
// roles; the grid itself paints only the visible cells from it.
//
// A row keeps cells of its own only once one of them is written: until then
// (and again after ReleaseRow) it reads, in each column, the column's blank
// cell, which a format given to every data row of the column at once
// changes (FillColumn), so that a grid of many rows costs per row little
// more than its order, height and data. A text source may supply the texts
// of cells that have none of their own from their row's data.
#include "platform/ColorRef.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ctl {

struct FlexCell {
  QString text;
  QPixmap picture;
  COLORREF backColor = 0;  // 0: the grid's colour
  COLORREF foreColor = 0;  // 0: the grid's colour
  int fontId = -1;         // -1: the grid's font
  int alignment = -1;      // -1: the column's alignment
  int pictureAlignment = 0;
};

struct FlexColumn {
  int widthTwips = -1;  // -1: the default width
  int alignment = 9;    // general: text left, numbers right
  bool merge = false;
  // What the rows without cells of their own read in this column: `blank`
  // for the rows stored before `blankRows` (those there when it was set),
  // an empty cell for the others.
  FlexCell blank;
  int blankRows = 0;
};

struct FlexRow {
  int heightTwips = -1;  // -1: the default height
  // A number the program keeps with the row (0 until set): it moves with
  // its row in a sort or a rearrangement, as the row's cells do, and a row
  // that comes new has 0.
  int32_t data = 0;
};

class FlexGridModel : public QAbstractTableModel {
 public:
  explicit FlexGridModel(QObject* parent = nullptr);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  // Keeps the cells that remain; new cells are empty. Rows that go give
  // their cells back; the room of the row lists is kept for rows that come
  // again (see ReleaseUnused).
  void Resize(int rows, int cols);
  // Gives back the memory kept for rows that went.
  void ReleaseUnused();

  const FlexCell& Cell(int row, int col) const {
    const size_t stored = static_cast<size_t>(rowOrder_[static_cast<size_t>(row)]);
    if (const FlexCell* cells = rowCells_[stored].get()) return cells[colOrder_[static_cast<size_t>(col)]];
    return BlankCell(stored, col);
  }
  // The cell to change: its row takes cells of its own first.
  FlexCell& EditCell(int row, int col);
  bool HasOwnCells(int row) const { return RowCells(row) != nullptr; }
  // The row gives its own cells back and reads the columns' blank cells.
  void ReleaseRow(int row);
  // `change` applied to column col of every row from firstRow on, the rows
  // to come excepted: the rows without cells of their own share it in the
  // column's blank cell. The rows before firstRow take cells of their own
  // first, so that they keep what they show.
  void FillColumn(int col, int firstRow, const std::function<void(FlexCell&)>& change);

  // The text shown in a cell: its own, else the text source's for its row's
  // data (rows whose data is 0 have none).
  QString Text(int row, int col) const;
  using TextSource = std::function<QString(int32_t rowData, int col)>;
  void SetTextSource(TextSource source) { textSource_ = std::move(source); }
  FlexColumn& Column(int col) { return columns_[static_cast<size_t>(col)]; }
  const FlexColumn& Column(int col) const { return columns_[static_cast<size_t>(col)]; }
  FlexRow& RowInfo(int row) { return rowInfo_[static_cast<size_t>(row)]; }
  const FlexRow& RowInfo(int row) const { return rowInfo_[static_cast<size_t>(row)]; }

  // Fonts are shared between cells by id.
  int FontId(const QFont& font);
  const QFont& Font(int id) const { return fonts_[static_cast<size_t>(id)]; }

  // Moves a column with its cells and settings; the columns between shift.
  void MoveColumn(int from, int to);
  // A new arrangement in one step: column c takes the cells and settings of
  // column columns[c], data row i + 1 the cells and settings of row
  // dataRows[i] (row 0 stays). Both must be permutations. Cells are not
  // moved: the model keeps the order in which its rows and columns are seen,
  // so this costs as little as the two lists.
  void Rearrange(const std::vector<int>& columns, const std::vector<int>& dataRows);
  // Sorts the rows first..last by the key columns keyFirst..keyLast, left to
  // right, in one of the grid's sort modes (1 to 8); rows keep their cells.
  void SortRows(int first, int last, int keyFirst, int keyLast, int mode);
  // A number that changes whenever cells change places (a sort, a
  // rearrangement, a moved column), so that a caller who remembers cells by
  // their row and column knows when to look for them again.
  uint32_t Arrangement() const { return arrangement_; }

  // Whether a text reads as a number (the general alignment puts numbers right).
  static bool IsNumber(const QString& text);

  // Tells attached views that a cell changed (only when one listens).
  void NotifyCell(int row, int col);
  // Whether a view listens for changed cells.
  bool Watched() const;
  void NotifyAll();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  // True when data row r lies in row r of the store, for every row.
  bool RowsInStoredOrder() const;
  // The cells of row `row` (none: it reads the blanks).
  const std::unique_ptr<FlexCell[]>& RowCells(int row) const {
    return rowCells_[static_cast<size_t>(rowOrder_[static_cast<size_t>(row)])];
  }
  std::unique_ptr<FlexCell[]>& RowCells(int row) {
    return rowCells_[static_cast<size_t>(rowOrder_[static_cast<size_t>(row)])];
  }
  // What stored row `stored` without cells of its own reads in column col.
  const FlexCell& BlankCell(size_t stored, int col) const;
  // Whether a stored row without cells of its own reads some column's blank.
  bool ReadsABlank(size_t stored) const;
  // Row `row` takes cells of its own, equal to what it reads now.
  void OwnCells(int row);
  void ShareOneBlank(FlexColumn& column, int firstRow);

  int rows_ = 0;
  int cols_ = 0;
  // Per stored row its cells, in stored column order; none: the blanks.
  std::vector<std::unique_ptr<FlexCell[]>> rowCells_;
  std::vector<int> rowOrder_;
  std::vector<int> colOrder_;
  std::vector<FlexColumn> columns_;
  std::vector<FlexRow> rowInfo_;
  std::vector<QFont> fonts_;
  TextSource textSource_;
  uint32_t arrangement_ = 0;
};

}  // namespace ctl
