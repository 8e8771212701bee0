#pragma once
// The hierarchical flex grid: a grid of Rows x Cols text cells, the first
// FixedRows rows and FixedCols columns fixed (headers), with per-cell
// pictures, colours, fonts and alignment, a current cell (Row, Col) and a
// selection reaching to (RowSel, ColSel), scrolled by TopRow. Column widths
// and row heights are in twips, as are the mouse coordinates of its events
// and CellLeft/CellTop/CellWidth/CellHeight.
//
// Cursor movement: a left click on a scrollable cell and the arrow keys move
// the current cell by themselves, raising LeaveCell, then moving, then
// EnterCell, RowColChange and SelChange; after that the MouseDown or KeyDown
// handler runs and sees the new cell. Other buttons and keys do not move it.
// Tab and Shift+Tab move the focus to the next or previous control, unless
// TabBehavior is flexTabCells: then they move the current cell to the next
// or previous scrollable cell the same way, row by row, and move the focus
// on only from the last cell (the first, going back).
// Code that sets Row, Col, RowSel, ColSel or TopRow raises no event. With
// ScrollBars none (the default) the grid never scrolls by itself: a key move
// may leave the cursor outside the view, and the program scrolls with TopRow.
//
// The cells live in a table model (FlexGridModel); only the visible cells are
// painted. OwnerDrawCell lets a form paint a cell's content itself.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/FlexGridModel.h"
#include "platform/controls/TextLayerCache.h"

#include <QFont>
#include <QPixmap>

#include <functional>
#include <span>
#include <utility>

namespace ctl {

// Cell and column alignment.
inline constexpr int flexAlignLeftTop = 0;
inline constexpr int flexAlignLeftCenter = 1;
inline constexpr int flexAlignLeftBottom = 2;
inline constexpr int flexAlignCenterTop = 3;
inline constexpr int flexAlignCenterCenter = 4;
inline constexpr int flexAlignCenterBottom = 5;
inline constexpr int flexAlignRightTop = 6;
inline constexpr int flexAlignRightCenter = 7;
inline constexpr int flexAlignRightBottom = 8;
inline constexpr int flexAlignGeneral = 9;
// Picture alignment beyond the nine positions.
inline constexpr int flexPicAlignStretch = 9;
inline constexpr int flexPicAlignTile = 10;

inline constexpr int flexFillSingle = 0;
inline constexpr int flexFillRepeat = 1;

inline constexpr int flexMergeNever = 0;
inline constexpr int flexMergeFree = 1;
inline constexpr int flexMergeRestrictRows = 2;
inline constexpr int flexMergeRestrictColumns = 3;
inline constexpr int flexMergeRestrictAll = 4;

inline constexpr int flexSortGenericAscending = 1;
inline constexpr int flexSortGenericDescending = 2;
inline constexpr int flexSortNumericAscending = 3;
inline constexpr int flexSortNumericDescending = 4;
inline constexpr int flexSortStringNoCaseAscending = 5;
inline constexpr int flexSortStringNoCaseDescending = 6;
inline constexpr int flexSortStringAscending = 7;
inline constexpr int flexSortStringDescending = 8;

inline constexpr int flexHighlightNever = 0;
inline constexpr int flexHighlightAlways = 1;
inline constexpr int flexHighlightWithFocus = 2;

inline constexpr int flexScrollBarNone = 0;
inline constexpr int flexScrollBarHorizontal = 1;
inline constexpr int flexScrollBarVertical = 2;
inline constexpr int flexScrollBarBoth = 3;

inline constexpr int flexSelectionFree = 0;
inline constexpr int flexSelectionByRow = 1;
inline constexpr int flexSelectionByColumn = 2;

inline constexpr int flexTabControls = 0;
inline constexpr int flexTabCells = 1;

inline constexpr int flexGridNone = 0;
inline constexpr int flexGridFlat = 1;

// What OwnerDrawCell is given: the cell, its rectangle in pixels (a merged
// cell's covers its rows) and whether it is the current or a fixed cell.
struct FlexCellPaint {
  int row;
  int col;
  QRect rect;
  const FlexCell& cell;
  bool current;
  bool fixed;
};

class FlexGrid : public Control {
 public:
  explicit FlexGrid(QWidget* parent = nullptr);

  FlexGridModel& Model() { return model_; }

  // Structure.
  int Rows() const { return model_.Rows(); }
  void SetRows(int rows);
  int Cols() const { return model_.Cols(); }
  void SetCols(int cols);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int rows);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int cols);

  // Current cell and selection; a value outside the grid raises 30009/30010.
  // Setting Row also sets RowSel to it, setting Col sets ColSel, so a block
  // is selected by setting Row, RowSel, Col, ColSel in any order that sets
  // each Sel after its own axis.
  int Row() const { return row_; }
  void SetRow(int row);
  int Col() const { return col_; }
  void SetCol(int col);
  int RowSel() const { return rowSel_; }
  void SetRowSel(int row);
  int ColSel() const { return colSel_; }
  void SetColSel(int col);
  // First scrollable row shown; clamped to the scrollable rows.
  int TopRow() const { return topRow_; }
  void SetTopRow(int row);
  // The cell under the mouse at its latest event; beyond the last row or
  // column the last one.
  int MouseRow() const { return mouseRow_; }
  int MouseCol() const { return mouseCol_; }

  // Text; outside the grid raises 381.
  QString TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);
  // The current cell's text; setting it with FillStyle repeat fills the selection.
  QString Text() const { return TextMatrix(row_, col_); }
  void SetText(const QString& text);

  // Sizes in twips; index -1 sets every column or row.
  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  // The pixels column `col` needs for the text of cell (row, col) to show
  // whole beside the cell's picture at its left or right: the widest word
  // when the grid wraps its texts, else the whole text, with the margins.
  int CellFittingPixels(int row, int col) const;
  int RowHeight(int row) const;
  void SetRowHeight(int row, int twips);
  int RowHeightMin() const { return rowHeightMin_; }
  void SetRowHeightMin(int twips);
  // The number kept with a row (see FlexRow::data); outside the grid raises
  // 30009.
  int32_t RowData(int row) const;
  void SetRowData(int row, int32_t value);
  int ColAlignment(int col) const;
  void SetColAlignment(int col, int alignment);
  // Moves a column to another position; the columns between shift.
  void SetColPosition(int col, int position);
  bool MergeCol(int col) const;
  void SetMergeCol(int col, bool merge);
  int MergeCells() const { return mergeCells_; }
  void SetMergeCells(int mode);

  // Cell formats: read from the current cell, written to it or, with FillStyle
  // repeat, to every selected cell. A colour of 0 means the grid's colour.
  int FillStyle() const { return fillStyle_; }
  void SetFillStyle(int style) { fillStyle_ = style; }
  COLORREF CellBackColor() const { return Current().backColor; }
  void SetCellBackColor(COLORREF colour);
  COLORREF CellForeColor() const { return Current().foreColor; }
  void SetCellForeColor(COLORREF colour);
  QPixmap CellPicture() const { return Current().picture; }
  void SetCellPicture(const QPixmap& picture);
  int CellPictureAlignment() const { return Current().pictureAlignment; }
  void SetCellPictureAlignment(int alignment);
  int CellAlignment() const;
  void SetCellAlignment(int alignment);
  QString CellFontName() const { return CellFont().family(); }
  void SetCellFontName(const QString& name);
  double CellFontSize() const { return CellFont().pointSizeF(); }
  void SetCellFontSize(double points);
  bool CellFontBold() const { return CellFont().bold(); }
  void SetCellFontBold(bool bold);
  // The current cell's place and size in twips, relative to the grid.
  double CellLeft() const;
  double CellTop() const;
  double CellWidth() const;
  double CellHeight() const;

  // Sorts the selected rows (Row to RowSel) by the selected columns (Col to
  // ColSel), left to right, in one of the flexSort modes.
  void SetSort(int mode);

  // Look.
  bool Redraw() const { return redraw_; }
  void SetRedraw(bool redraw);
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  COLORREF BackColorFixed() const { return backColorFixed_; }
  void SetBackColorFixed(COLORREF colour);
  COLORREF ForeColorFixed() const { return foreColorFixed_; }
  void SetForeColorFixed(COLORREF colour);
  COLORREF BackColorSel() const { return backColorSel_; }
  void SetBackColorSel(COLORREF colour);
  COLORREF ForeColorSel() const { return foreColorSel_; }
  void SetForeColorSel(COLORREF colour);
  COLORREF BackColorBkg() const { return backColorBkg_; }
  void SetBackColorBkg(COLORREF colour);
  COLORREF GridColor() const { return gridColor_; }
  void SetGridColor(COLORREF colour);
  COLORREF GridColorFixed() const { return gridColorFixed_; }
  void SetGridColorFixed(COLORREF colour);
  int GridLines() const { return gridLines_; }
  void SetGridLines(int lines);
  int HighLight() const { return highLight_; }
  void SetHighLight(int mode);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);
  // By row (1) or by column (2), the selection always spans every scrollable
  // column (row): fills, sorting and highlighting cover the whole row.
  int SelectionMode() const { return selectionMode_; }
  void SetSelectionMode(int mode);
  int ScrollBars() const { return scrollBars_; }
  void SetScrollBars(int bars) { scrollBars_ = bars; }
  int TabBehavior() const { return tabBehavior_; }
  void SetTabBehavior(int behavior) { tabBehavior_ = behavior; }

  // Events beyond the common ones.
  std::function<void()> LeaveCell;
  std::function<void()> EnterCell;
  std::function<void()> RowColChange;
  std::function<void()> SelChange;
  std::function<void()> Scroll;
  // Paints a cell's content over its background; true skips the grid's own
  // picture and text.
  std::function<bool(QPainter& painter, const FlexCellPaint& cell)> OwnerDrawCell;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void DragPointerMoved(const QPointF& at) override { TrackMouse(at); }

 private:
  static constexpr int kDefaultColWidthTwips = 960;

  struct Span {
    int index;
    int start;
    int size;
  };
  struct Range {
    int top;
    int left;
    int bottom;
    int right;
  };
  struct Hit {
    int row;
    int col;
    bool onCell;
  };

  // Structure and state (FlexGrid.cpp).
  void CheckRow(int row) const;
  void CheckCol(int col) const;
  void ClampState();
  const FlexCell& Current() const;
  Range Selection() const;
  QFont CellFont() const;
  template <typename Change>
  void ForTargetCells(Change change);
  // Changes the font of the target cells by `edit` (a function of QFont&).
  template <typename Edit>
  void ChangeCellFonts(Edit edit);
  void Changed();

  // Geometry (FlexGridPaint.cpp).
  int ColPixels(int col) const;
  int RowPixels(int row) const;
  int DefaultRowPixels() const;
  std::vector<Span> VisibleRows() const;
  std::vector<Span> VisibleCols() const;
  QRect CellRect(int row, int col) const;
  Hit CellAt(const QPointF& point) const;
  bool MergesDown(int row, int col) const;
  void PaintColumn(QPainter& painter, const Span& column, const std::vector<Span>& rows);
  void PaintCell(QPainter& painter, const Span& column, std::span<const Span> group);
  void PaintContent(QPainter& painter, const FlexCell& cell, const QString& text, int col, const QRect& rect,
                    bool highlighted, bool fixed);
  // The part of a merged cell whose rows are partly highlighted that its
  // text goes into, and whether it is drawn in the selection's colours.
  QRect OpaquePictureRect(const FlexCell& cell, const QRect& content) const;
  std::pair<QRect, bool> TextBand(const FlexCell& cell, int col, std::span<const Span> group, const QRect& inner) const;
  bool Highlighted(int row, int col) const;

  // The grid's own cursor movement (FlexGridInput.cpp).
  void TrackMouse(const QPointF& point);
  void MoveByUser(int row, int col);
  bool ArrowMove(int keyCode);
  bool TabMove(bool forward);
  void BringIntoView(int row);

  FlexGridModel model_;
  int fixedRows_ = 1;
  int fixedCols_ = 1;
  int row_ = 0;
  int col_ = 0;
  int rowSel_ = 0;
  int colSel_ = 0;
  int topRow_ = 0;
  int mouseRow_ = 0;
  int mouseCol_ = 0;
  int rowHeightMin_ = 0;
  int fillStyle_ = flexFillSingle;
  int mergeCells_ = flexMergeNever;
  bool redraw_ = true;
  COLORREF backColor_ = RGB(255, 255, 255);
  COLORREF foreColor_ = RGB(0, 0, 0);
  COLORREF backColorFixed_ = RGB(240, 240, 240);
  COLORREF foreColorFixed_ = RGB(0, 0, 0);
  COLORREF backColorSel_ = RGB(0, 120, 215);
  COLORREF foreColorSel_ = RGB(255, 255, 255);
  COLORREF backColorBkg_ = RGB(128, 128, 128);
  COLORREF gridColor_ = RGB(192, 192, 192);
  COLORREF gridColorFixed_ = RGB(128, 128, 128);
  int gridLines_ = flexGridFlat;
  int highLight_ = flexHighlightAlways;
  bool wordWrap_ = false;
  int scrollBars_ = flexScrollBarNone;
  int selectionMode_ = flexSelectionFree;
  int tabBehavior_ = flexTabControls;
  bool paintErrorPending_ = false;
  // The tiles' large state glyphs, drawn once each rather than per cell.
  TextLayerCache textLayers_;
};

}  // namespace ctl
