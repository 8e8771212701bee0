#include "platform/controls/FlexGrid.h"

#include "platform/Twips.h"
#include "platform/controls/ControlErrors.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ctl {

namespace {

const QString kSource = QStringLiteral("FlexGrid");

}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : Control(parent) {
  setFocusPolicy(Qt::StrongFocus);
  // Every paint fills the whole grid: what lies under it (the frame it sits
  // in) need not be painted first, as it would be on every page.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  SetEventUnits(ScaleUnits::Twips);
  SetClickOnAnyButton(true);
  model_.Resize(2, 2);
  row_ = col_ = rowSel_ = colSel_ = topRow_ = 1;
}

// --- structure ---------------------------------------------------------------

void FlexGrid::SetRows(int rows) {
  if (rows < 0) RaiseControlError(kErrInvalidRowValue, kSource);
  model_.Resize(rows, Cols());
  ClampState();
  Changed();
}

void FlexGrid::SetCols(int cols) {
  if (cols < 0) RaiseControlError(kErrInvalidColValue, kSource);
  model_.Resize(Rows(), cols);
  ClampState();
  Changed();
}

void FlexGrid::SetFixedRows(int rows) {
  if (rows < 0 || rows > Rows()) RaiseControlError(kErrInvalidRowValue, kSource);
  // A grid shown from its first scrolling row stays so: with fewer fixed
  // rows, the rows freed from the top are shown, not scrolled out of view.
  if (topRow_ == fixedRows_) topRow_ = rows;
  fixedRows_ = rows;
  ClampState();
  Changed();
}

void FlexGrid::SetFixedCols(int cols) {
  if (cols < 0 || cols > Cols()) RaiseControlError(kErrInvalidColValue, kSource);
  fixedCols_ = cols;
  ClampState();
  Changed();
}

void FlexGrid::ClampState() {
  fixedRows_ = std::min(fixedRows_, Rows());
  fixedCols_ = std::min(fixedCols_, Cols());
  const auto clampRow = [this](int row) { return std::clamp(row, 0, std::max(0, Rows() - 1)); };
  const auto clampCol = [this](int col) { return std::clamp(col, 0, std::max(0, Cols() - 1)); };
  row_ = clampRow(row_);
  rowSel_ = clampRow(rowSel_);
  col_ = clampCol(col_);
  colSel_ = clampCol(colSel_);
  topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, Rows() - 1));
  mouseRow_ = clampRow(mouseRow_);
  mouseCol_ = clampCol(mouseCol_);
}

void FlexGrid::CheckRow(int row) const {
  if (row < 0 || row >= Rows()) RaiseControlError(kErrInvalidRowValue, kSource);
}

void FlexGrid::CheckCol(int col) const {
  if (col < 0 || col >= Cols()) RaiseControlError(kErrInvalidColValue, kSource);
}

void FlexGrid::Changed() {
  if (redraw_) update();
}

// --- current cell ------------------------------------------------------------

void FlexGrid::SetRow(int row) {
  CheckRow(row);
  row_ = rowSel_ = row;
  Changed();
}

void FlexGrid::SetCol(int col) {
  CheckCol(col);
  col_ = colSel_ = col;
  Changed();
}

void FlexGrid::SetRowSel(int row) {
  CheckRow(row);
  rowSel_ = row;
  Changed();
}

void FlexGrid::SetColSel(int col) {
  CheckCol(col);
  colSel_ = col;
  Changed();
}

void FlexGrid::SetTopRow(int row) {
  CheckRow(row);
  topRow_ = std::clamp(row, fixedRows_, std::max(fixedRows_, Rows() - 1));
  Changed();
}

const FlexCell& FlexGrid::Current() const {
  CheckRow(row_);
  CheckCol(col_);
  return model_.Cell(row_, col_);
}

// --- text --------------------------------------------------------------------

QString FlexGrid::TextMatrix(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= Cols()) RaiseControlError(kErrSubscriptOutOfRange, kSource);
  return model_.Text(row, col);
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text) {
  if (row < 0 || row >= Rows() || col < 0 || col >= Cols()) RaiseControlError(kErrSubscriptOutOfRange, kSource);
  model_.EditCell(row, col).text = text;
  model_.NotifyCell(row, col);
  Changed();
}

void FlexGrid::SetText(const QString& text) {
  ForTargetCells([&](FlexCell& cell) { cell.text = text; });
}

// --- cell formats --------------------------------------------------------------

template <typename Change>
void FlexGrid::ForTargetCells(Change change) {
  CheckRow(row_);
  CheckCol(col_);
  if (fillStyle_ == flexFillRepeat) {
    const Range range = Selection();
    if (range.top == fixedRows_ && range.bottom == Rows() - 1) {
      // Every data row: the rows without cells of their own share the change.
      for (int c = range.left; c <= range.right; ++c) model_.FillColumn(c, fixedRows_, change);
      model_.NotifyAll();
      Changed();
      return;
    }
    // Whether a view listens is asked once for the whole range, not per cell.
    const bool notify = model_.Watched();
    for (int r = range.top; r <= range.bottom; ++r) {
      for (int c = range.left; c <= range.right; ++c) {
        change(model_.EditCell(r, c));
        if (notify) model_.NotifyCell(r, c);
      }
    }
  } else {
    change(model_.EditCell(row_, col_));
    model_.NotifyCell(row_, col_);
  }
  Changed();
}

void FlexGrid::SetCellBackColor(COLORREF colour) {
  ForTargetCells([&](FlexCell& cell) { cell.backColor = colour; });
}

void FlexGrid::SetCellForeColor(COLORREF colour) {
  ForTargetCells([&](FlexCell& cell) { cell.foreColor = colour; });
}

void FlexGrid::SetCellPicture(const QPixmap& picture) {
  ForTargetCells([&](FlexCell& cell) { cell.picture = picture; });
}

void FlexGrid::SetCellPictureAlignment(int alignment) {
  ForTargetCells([&](FlexCell& cell) { cell.pictureAlignment = alignment; });
}

int FlexGrid::CellAlignment() const {
  const int alignment = Current().alignment;
  return alignment >= 0 ? alignment : ColAlignment(col_);
}

void FlexGrid::SetCellAlignment(int alignment) {
  ForTargetCells([&](FlexCell& cell) { cell.alignment = alignment; });
}

template <typename Edit>
void FlexGrid::ChangeCellFonts(Edit edit) {
  // The cells of a range mostly share a font: each font they start from is
  // copied, changed and looked up once, and the cells that had it take the
  // same result, as they would one by one.
  std::vector<std::pair<int, int>> changedIds;  // (font before, font after)
  ForTargetCells([&](FlexCell& cell) {
    auto known = std::find_if(changedIds.begin(), changedIds.end(),
                              [&](const std::pair<int, int>& ids) { return ids.first == cell.fontId; });
    if (known == changedIds.end()) {
      QFont changed = cell.fontId >= 0 ? model_.Font(cell.fontId) : font();
      edit(changed);
      changedIds.emplace_back(cell.fontId, model_.FontId(changed));
      known = changedIds.end() - 1;
    }
    cell.fontId = known->second;
  });
}

QFont FlexGrid::CellFont() const {
  const FlexCell& cell = Current();
  return cell.fontId >= 0 ? model_.Font(cell.fontId) : font();
}

void FlexGrid::SetCellFontName(const QString& name) {
  ChangeCellFonts([&](QFont& changed) { changed.setFamily(name); });
}

void FlexGrid::SetCellFontSize(double points) {
  ChangeCellFonts([&](QFont& changed) { changed.setPointSizeF(points); });
}

void FlexGrid::SetCellFontBold(bool bold) {
  ChangeCellFonts([&](QFont& changed) { changed.setBold(bold); });
}

double FlexGrid::CellLeft() const { return PixelsToTwipsX(CellRect(row_, col_).left()); }
double FlexGrid::CellTop() const { return PixelsToTwipsY(CellRect(row_, col_).top()); }
double FlexGrid::CellWidth() const { return PixelsToTwipsX(ColPixels(col_)); }
double FlexGrid::CellHeight() const { return PixelsToTwipsY(RowPixels(row_)); }

// --- columns and rows ------------------------------------------------------------

int FlexGrid::ColWidth(int col) const {
  CheckCol(col);
  const int twips = model_.Column(col).widthTwips;
  return twips >= 0 ? twips : kDefaultColWidthTwips;
}

void FlexGrid::SetColWidth(int col, int twips) {
  if (col == -1) {
    for (int c = 0; c < Cols(); ++c) model_.Column(c).widthTwips = twips;
  } else {
    CheckCol(col);
    model_.Column(col).widthTwips = twips;
  }
  Changed();
}

int FlexGrid::RowHeight(int row) const {
  CheckRow(row);
  return static_cast<int>(PixelsToTwipsY(RowPixels(row)));
}

void FlexGrid::SetRowHeight(int row, int twips) {
  if (row == -1) {
    for (int r = 0; r < Rows(); ++r) model_.RowInfo(r).heightTwips = twips;
  } else {
    CheckRow(row);
    model_.RowInfo(row).heightTwips = twips;
  }
  Changed();
}

void FlexGrid::SetRowHeightMin(int twips) {
  rowHeightMin_ = std::max(0, twips);
  Changed();
}

int32_t FlexGrid::RowData(int row) const {
  CheckRow(row);
  return model_.RowInfo(row).data;
}

// Nothing shown depends on it: no repaint.
void FlexGrid::SetRowData(int row, int32_t value) {
  CheckRow(row);
  model_.RowInfo(row).data = value;
}

int FlexGrid::ColAlignment(int col) const {
  CheckCol(col);
  return model_.Column(col).alignment;
}

void FlexGrid::SetColAlignment(int col, int alignment) {
  if (col == -1) {
    for (int c = 0; c < Cols(); ++c) model_.Column(c).alignment = alignment;
  } else {
    CheckCol(col);
    model_.Column(col).alignment = alignment;
  }
  Changed();
}

void FlexGrid::SetColPosition(int col, int position) {
  CheckCol(col);
  CheckCol(position);
  model_.MoveColumn(col, position);
  Changed();
}

bool FlexGrid::MergeCol(int col) const {
  CheckCol(col);
  return model_.Column(col).merge;
}

void FlexGrid::SetMergeCol(int col, bool merge) {
  CheckCol(col);
  model_.Column(col).merge = merge;
  Changed();
}

void FlexGrid::SetMergeCells(int mode) {
  mergeCells_ = mode;
  Changed();
}

void FlexGrid::SetSort(int mode) {
  const Range range = Selection();
  model_.SortRows(range.top, range.bottom, range.left, range.right, mode);
  Changed();
}

FlexGrid::Range FlexGrid::Selection() const {
  Range range{std::min(row_, rowSel_), std::min(col_, colSel_), std::max(row_, rowSel_), std::max(col_, colSel_)};
  if (selectionMode_ == flexSelectionByRow) {
    range.left = fixedCols_;
    range.right = Cols() - 1;
  } else if (selectionMode_ == flexSelectionByColumn) {
    range.top = fixedRows_;
    range.bottom = Rows() - 1;
  }
  return range;
}

// --- look ----------------------------------------------------------------------

void FlexGrid::SetRedraw(bool redraw) {
  redraw_ = redraw;
  if (redraw_) update();
}

void FlexGrid::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  Changed();
}

void FlexGrid::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  Changed();
}

void FlexGrid::SetBackColorFixed(COLORREF colour) {
  backColorFixed_ = colour;
  Changed();
}

void FlexGrid::SetForeColorFixed(COLORREF colour) {
  foreColorFixed_ = colour;
  Changed();
}

void FlexGrid::SetBackColorSel(COLORREF colour) {
  backColorSel_ = colour;
  Changed();
}

void FlexGrid::SetForeColorSel(COLORREF colour) {
  foreColorSel_ = colour;
  Changed();
}

void FlexGrid::SetBackColorBkg(COLORREF colour) {
  backColorBkg_ = colour;
  Changed();
}

void FlexGrid::SetGridColor(COLORREF colour) {
  gridColor_ = colour;
  Changed();
}

void FlexGrid::SetGridColorFixed(COLORREF colour) {
  gridColorFixed_ = colour;
  Changed();
}

void FlexGrid::SetGridLines(int lines) {
  gridLines_ = lines;
  Changed();
}

void FlexGrid::SetHighLight(int mode) {
  highLight_ = mode;
  Changed();
}

void FlexGrid::SetSelectionMode(int mode) {
  selectionMode_ = mode;
  Changed();
}

void FlexGrid::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Changed();
}

}  // namespace ctl
