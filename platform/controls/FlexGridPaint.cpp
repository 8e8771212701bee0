// Geometry and painting of the flex grid: only the rows from TopRow down to
// the bottom edge (after the fixed rows) are visited.
#include "platform/controls/FlexGrid.h"

#include "platform/ErrorGuard.h"
#include "platform/RWError.h"
#include "platform/Twips.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace ctl {

namespace {

constexpr int kTextMargin = 2;

Qt::Alignment AlignmentFlags(int alignment, bool numeric) {
  if (alignment < 0 || alignment > 8) alignment = numeric ? flexAlignRightCenter : flexAlignLeftCenter;
  static constexpr Qt::AlignmentFlag kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  static constexpr Qt::AlignmentFlag kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
  return kHorizontal[alignment / 3] | kVertical[alignment % 3];
}

QRect Aligned(const QSize& size, const QRect& box, int alignment) {
  const Qt::Alignment flags = AlignmentFlags(alignment, false);
  int x = box.left();
  int y = box.top();
  if (flags & Qt::AlignHCenter) x += (box.width() - size.width()) / 2;
  if (flags & Qt::AlignRight) x = box.right() + 1 - size.width();
  if (flags & Qt::AlignVCenter) y += (box.height() - size.height()) / 2;
  if (flags & Qt::AlignBottom) y = box.bottom() + 1 - size.height();
  return QRect(QPoint(x, y), size);
}

// Whether a picture alignment puts the picture at the left or right side of
// the cell, where the text keeps clear of it.
bool AtASide(int pictureAlignment) {
  if (pictureAlignment < 0 || pictureAlignment > 8) return false;
  return (AlignmentFlags(pictureAlignment, false) & Qt::AlignHCenter) == 0;
}

// Fills `rect` but `hole` (empty, or within it): the strips above and below
// the hole and those beside it.
void FillAround(QPainter& painter, const QRect& rect, const QRect& hole, const QColor& colour) {
  if (hole.isEmpty()) {
    painter.fillRect(rect, colour);
    return;
  }
  const QRect strips[] = {
      QRect(QPoint(rect.left(), rect.top()), QPoint(rect.right(), hole.top() - 1)),
      QRect(QPoint(rect.left(), hole.bottom() + 1), QPoint(rect.right(), rect.bottom())),
      QRect(QPoint(rect.left(), hole.top()), QPoint(hole.left() - 1, hole.bottom())),
      QRect(QPoint(hole.right() + 1, hole.top()), QPoint(rect.right(), hole.bottom())),
  };
  for (const QRect& strip : strips) {
    if (!strip.isEmpty()) painter.fillRect(strip, colour);
  }
}

}  // namespace

int FlexGrid::CellFittingPixels(int row, int col) const {
  CheckRow(row);
  CheckCol(col);
  const FlexCell& cell = model_.Cell(row, col);
  const QString text = model_.Text(row, col);
  const QFontMetrics metrics(cell.fontId >= 0 ? model_.Font(cell.fontId) : font());
  int textWidth = 0;
  for (const QString& part : wordWrap_ ? text.split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList{text}) {
    textWidth = std::max(textWidth, metrics.horizontalAdvance(part));
  }
  const int picture = !cell.picture.isNull() && AtASide(cell.pictureAlignment) ? cell.picture.width() : 0;
  const int gridLine = gridLines_ != flexGridNone ? 1 : 0;
  return textWidth + 2 * kTextMargin + picture + gridLine;
}

int FlexGrid::ColPixels(int col) const {
  const int twips = model_.Column(col).widthTwips;
  return std::max(0, TwipsToPixelsX(twips >= 0 ? twips : kDefaultColWidthTwips));
}

int FlexGrid::DefaultRowPixels() const { return QFontMetrics(font()).height() + 3; }

int FlexGrid::RowPixels(int row) const {
  const int twips = model_.RowInfo(row).heightTwips;
  const int pixels = twips >= 0 ? std::max(0, TwipsToPixelsY(twips)) : DefaultRowPixels();
  // A hidden row stays hidden; any other is at least RowHeightMin high.
  return pixels == 0 ? 0 : std::max(pixels, TwipsToPixelsY(rowHeightMin_));
}

std::vector<FlexGrid::Span> FlexGrid::VisibleRows() const {
  std::vector<Span> rows;
  int y = 0;
  for (int r = 0; r < fixedRows_ && y < height(); ++r) {
    rows.push_back({r, y, RowPixels(r)});
    y += rows.back().size;
  }
  for (int r = topRow_; r < Rows() && y < height(); ++r) {
    const int size = RowPixels(r);
    if (size > 0) rows.push_back({r, y, size});
    y += size;
  }
  return rows;
}

std::vector<FlexGrid::Span> FlexGrid::VisibleCols() const {
  std::vector<Span> cols;
  int x = 0;
  for (int c = 0; c < Cols() && x < width(); ++c) {
    const int size = ColPixels(c);
    if (size > 0) cols.push_back({c, x, size});
    x += size;
  }
  return cols;
}

QRect FlexGrid::CellRect(int row, int col) const {
  int x = 0;
  for (int c = 0; c < col; ++c) x += ColPixels(c);
  int y = 0;
  if (row < fixedRows_) {
    for (int r = 0; r < row; ++r) y += RowPixels(r);
  } else {
    for (int r = 0; r < fixedRows_; ++r) y += RowPixels(r);
    for (int r = topRow_; r < row; ++r) y += RowPixels(r);
    for (int r = row; r < topRow_; ++r) y -= RowPixels(r);
  }
  return QRect(x, y, ColPixels(col), RowPixels(row));
}

FlexGrid::Hit FlexGrid::CellAt(const QPointF& point) const {
  Hit hit{std::max(0, Rows() - 1), std::max(0, Cols() - 1), false};
  bool rowFound = false;
  for (const Span& row : VisibleRows()) {
    if (point.y() < row.start + row.size) {
      hit.row = row.index;
      rowFound = point.y() >= 0 || row.index == 0;
      break;
    }
  }
  bool colFound = false;
  for (const Span& col : VisibleCols()) {
    if (point.x() < col.start + col.size) {
      hit.col = col.index;
      colFound = point.x() >= 0 || col.index == 0;
      break;
    }
  }
  hit.onCell = rowFound && colFound && point.x() >= 0 && point.y() >= 0;
  return hit;
}

bool FlexGrid::MergesDown(int row, int col) const {
  if (mergeCells_ == flexMergeNever || row < fixedRows_ || row + 1 >= Rows()) return false;
  // Empty cells (the rows after the last item) have nothing to share.
  if (!model_.Column(col).merge) return false;
  const QString text = model_.Text(row, col);
  if (text.isEmpty() || text != model_.Text(row + 1, col)) return false;
  if (mergeCells_ == flexMergeRestrictColumns || mergeCells_ == flexMergeRestrictAll) {
    // A cell merges only where the merging columns to its left merge too.
    for (int c = 0; c < col; ++c) {
      if (model_.Column(c).merge && !MergesDown(row, c)) return false;
    }
  }
  return true;
}

bool FlexGrid::Highlighted(int row, int col) const {
  if (highLight_ == flexHighlightNever || (highLight_ == flexHighlightWithFocus && !hasFocus())) return false;
  if (row == row_ && col == col_) return false;
  const Range range = Selection();
  return row >= range.top && row <= range.bottom && col >= range.left && col <= range.right;
}

// The cells fill the grid from its top left corner to the last visible row
// and column; only the rest shows the background colour.
void FlexGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const std::vector<Span> rows = VisibleRows();
  const std::vector<Span> cols = VisibleCols();
  const int right = cols.empty() ? 0 : cols.back().start + cols.back().size;
  const int bottom = rows.empty() ? 0 : rows.back().start + rows.back().size;
  const QColor background = ColorRefToQColor(backColorBkg_);
  if (right < width()) painter.fillRect(QRect(right, 0, width() - right, height()), background);
  if (bottom < height()) painter.fillRect(QRect(0, bottom, std::min(right, width()), height() - bottom), background);
  for (const Span& column : cols) PaintColumn(painter, column, rows);
}

void FlexGrid::PaintColumn(QPainter& painter, const Span& column, const std::vector<Span>& rows) {
  for (size_t first = 0; first < rows.size();) {
    size_t last = first;
    while (last + 1 < rows.size() && rows[last + 1].index == rows[last].index + 1 &&
           MergesDown(rows[last].index, column.index)) {
      ++last;
    }
    PaintCell(painter, column, std::span<const Span>(rows).subspan(first, last - first + 1));
    first = last + 1;
  }
}

// A merged cell spans the rows of its group with one text. Each row keeps
// its own highlight: a selected row colours its own part of the cell, and
// the whole cell (text included) only when every row of the group is
// selected; while only some are, the text keeps clear of them.
void FlexGrid::PaintCell(QPainter& painter, const Span& column, std::span<const Span> group) {
  const int row = group.front().index;
  const int col = column.index;
  const QRect rect(column.start, group.front().start, column.size,
                   group.back().start + group.back().size - group.front().start);
  const FlexCell& cell = model_.Cell(row, col);
  const bool fixed = row < fixedRows_ || col < fixedCols_;
  const auto rowHighlighted = [&](const Span& span) { return !fixed && Highlighted(span.index, col); };
  const bool highlighted = std::all_of(group.begin(), group.end(), rowHighlighted);
  const COLORREF back = highlighted      ? backColorSel_
                        : cell.backColor ? cell.backColor
                        : fixed          ? backColorFixed_
                                         : backColor_;
  const bool lines = gridLines_ != flexGridNone;
  const QRect inner = lines ? rect.adjusted(0, 0, -1, -1) : rect;
  const bool partly = !highlighted && std::any_of(group.begin(), group.end(), rowHighlighted);
  const auto [content, contentHighlighted] = partly ? TextBand(cell, col, group, inner) : std::pair{inner, highlighted};
  // Under an opaque picture the cell's colour would not show.
  FillAround(painter, rect, OpaquePictureRect(cell, content), ColorRefToQColor(back));
  if (!highlighted) {
    for (const Span& span : group) {
      if (rowHighlighted(span)) {
        painter.fillRect(QRect(rect.left(), span.start, rect.width(), span.size), ColorRefToQColor(backColorSel_));
      }
    }
  }
  bool drawn = false;
  if (OwnerDrawCell) {
    painter.save();
    painter.setClipRect(inner);
    // A message box cannot open inside a paint; it follows once painting
    // ends, one for the failures of a paint.
    ErrorGuard painting(
        {.owner = window(), .silent = [this] { return paintErrorPending_; }, .deferred = true, .background = true});
    const FlexCellPaint info{row, col, inner, cell, row == row_ && col == col_, fixed};
    if (!painting.Run([&] { drawn = OwnerDrawCell(painter, info); })) {
      paintErrorPending_ = true;
      QTimer::singleShot(0, this, [this] { paintErrorPending_ = false; });
    }
    painter.restore();
  }
  if (!drawn) PaintContent(painter, cell, model_.Text(row, col), col, content, contentHighlighted, fixed);
  if (lines) {
    painter.setPen(ColorRefToQColor(fixed ? gridColorFixed_ : gridColor_));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  }
}

// The longest run of rows that are not highlighted, where the text neither
// covers a highlighted row's colour nor is covered by it; when no run is
// high enough for a line of text, the first highlighted row, where the text
// shows in the selection's colours.
std::pair<QRect, bool> FlexGrid::TextBand(const FlexCell& cell, int col, std::span<const Span> group,
                                          const QRect& inner) const {
  QRect longest;
  QRect run;
  QRect firstHighlighted;
  for (const Span& span : group) {
    const QRect row(inner.left(), span.start, inner.width(), span.size);
    if (Highlighted(span.index, col)) {
      if (firstHighlighted.isNull()) firstHighlighted = row;
      run = QRect();
      continue;
    }
    run = run.isNull() ? row : run.united(row);
    if (run.height() > longest.height()) longest = run;
  }
  const QFont font = cell.fontId >= 0 ? model_.Font(cell.fontId) : this->font();
  if (longest.height() >= QFontMetrics(font).height()) return {longest & inner, false};
  return {firstHighlighted & inner, true};
}

// Where the cell's picture covers every pixel it is drawn on: an opaque
// picture drawn at its own size, which nothing drawn before the content (an
// owner's drawing) may show through. Empty when there is none.
QRect FlexGrid::OpaquePictureRect(const FlexCell& cell, const QRect& content) const {
  if (OwnerDrawCell || cell.picture.isNull() || cell.picture.hasAlphaChannel() ||
      cell.picture.devicePixelRatio() != 1.0 || cell.pictureAlignment == flexPicAlignStretch ||
      cell.pictureAlignment == flexPicAlignTile) {
    return QRect();
  }
  return Aligned(cell.picture.size(), content, cell.pictureAlignment) & content;
}

void FlexGrid::PaintContent(QPainter& painter, const FlexCell& cell, const QString& text, int col, const QRect& rect,
                            bool highlighted, bool fixed) {
  painter.save();
  painter.setClipRect(rect);
  // A picture at a side of the cell (a header's sort mark) keeps the text
  // beside it, never under it.
  QRect textRect = rect;
  if (!cell.picture.isNull()) {
    if (cell.pictureAlignment == flexPicAlignStretch) {
      painter.drawPixmap(rect, cell.picture);
    } else if (cell.pictureAlignment == flexPicAlignTile) {
      painter.drawTiledPixmap(rect, cell.picture);
    } else {
      const QRect at = Aligned(cell.picture.size(), rect, cell.pictureAlignment);
      painter.drawPixmap(at, cell.picture);
      if (AtASide(cell.pictureAlignment)) {
        const bool left = AlignmentFlags(cell.pictureAlignment, false) & Qt::AlignLeft;
        left ? textRect.setLeft(at.right() + 1) : textRect.setRight(at.left() - 1);
      }
    }
  }
  if (!text.isEmpty()) {
    const COLORREF fore = highlighted      ? foreColorSel_
                          : cell.foreColor ? cell.foreColor
                          : fixed          ? foreColorFixed_
                                           : foreColor_;
    const int alignment = cell.alignment >= 0 ? cell.alignment : model_.Column(col).alignment;
    painter.setFont(cell.fontId >= 0 ? model_.Font(cell.fontId) : font());
    painter.setPen(ColorRefToQColor(fore));
    // Whether the text is a number matters only to the general alignment.
    const bool general = alignment < 0 || alignment > 8;
    const int flags =
        AlignmentFlags(alignment, general && FlexGridModel::IsNumber(text)) | (wordWrap_ ? Qt::TextWordWrap : 0);
    textLayers_.DrawText(painter, rect, textRect.adjusted(kTextMargin, 0, -kTextMargin, 0), flags, text);
  }
  painter.restore();
}

}  // namespace ctl
