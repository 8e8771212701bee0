#pragma once
// The cell store behind the flex grid: text, picture, colours, font and
// alignment per cell, width and alignment per column, height per row. It is a
// table model, so a view or test can read the grid through the standard
// roles; the grid itself paints only the visible cells from it.
#include "platform/ColorRef.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <cstdint>
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
  // Keeps the cells that remain; new cells are empty. The memory of rows
  // that go is kept for rows that come again (see ReleaseUnused).
  void Resize(int rows, int cols);
  // Gives back the memory kept for rows that went.
  void ReleaseUnused();

  FlexCell& Cell(int row, int col) { return cells_[Index(row, col)]; }
  const FlexCell& Cell(int row, int col) const { return cells_[Index(row, col)]; }
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
  // Where cell (row, col) is stored: rows and columns are seen in the order
  // rowOrder_ and colOrder_ give.
  size_t Index(int row, int col) const {
    return static_cast<size_t>(rowOrder_[static_cast<size_t>(row)]) * static_cast<size_t>(cols_) +
           static_cast<size_t>(colOrder_[static_cast<size_t>(col)]);
  }

  int rows_ = 0;
  int cols_ = 0;
  std::vector<FlexCell> cells_;
  std::vector<int> rowOrder_;
  std::vector<int> colOrder_;
  std::vector<FlexColumn> columns_;
  std::vector<FlexRow> rowInfo_;
  std::vector<QFont> fonts_;
  uint32_t arrangement_ = 0;
};

}  // namespace ctl
