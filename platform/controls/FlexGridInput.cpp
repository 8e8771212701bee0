// The flex grid's own cursor movement. A left click on a scrollable cell and
// the arrow keys move the current cell first (LeaveCell, move, EnterCell,
// RowColChange, SelChange); the MouseDown or KeyDown handler then runs and
// sees the new cell, which is what the program's handlers are written for.
#include "platform/controls/FlexGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

namespace ctl {

void FlexGrid::TrackMouse(const QPointF& point) {
  const Hit hit = CellAt(point);
  mouseRow_ = hit.row;
  mouseCol_ = hit.col;
}

void FlexGrid::MoveByUser(int row, int col) {
  if (row == row_ && col == col_) {
    if (rowSel_ != row || colSel_ != col) {
      rowSel_ = row;
      colSel_ = col;
      Changed();
      Raise(SelChange);
    }
    return;
  }
  Raise(LeaveCell);
  row_ = rowSel_ = row;
  col_ = colSel_ = col;
  if (scrollBars_ & flexScrollBarVertical) BringIntoView(row);
  Changed();
  Raise(EnterCell);
  Raise(RowColChange);
  Raise(SelChange);
}

void FlexGrid::BringIntoView(int row) {
  if (row < fixedRows_) return;
  int top = topRow_;
  if (row < top) {
    top = row;
  } else {
    int fixedHeight = 0;
    for (int r = 0; r < fixedRows_; ++r) fixedHeight += RowPixels(r);
    // Scroll down until the row's bottom edge is inside the grid.
    auto bottomOf = [&](int first) {
      int y = fixedHeight;
      for (int r = first; r <= row; ++r) y += RowPixels(r);
      return y;
    };
    while (top < row && bottomOf(top) > height()) ++top;
  }
  if (top == topRow_) return;
  topRow_ = top;
  Raise(Scroll);
}

bool FlexGrid::ArrowMove(int keyCode) {
  int row = row_;
  int col = col_;
  switch (keyCode) {
    case vbKeyUp:
      row = std::max(fixedRows_, row - 1);
      break;
    case vbKeyDown:
      row = std::min(Rows() - 1, std::max(fixedRows_, row + 1));
      break;
    case vbKeyLeft:
      col = std::max(fixedCols_, col - 1);
      break;
    case vbKeyRight:
      col = std::min(Cols() - 1, std::max(fixedCols_, col + 1));
      break;
    default:
      return false;
  }
  if (Rows() <= fixedRows_ || Cols() <= fixedCols_) return true;
  if (row != row_ || col != col_) MoveByUser(row, col);
  return true;
}

// The next (or previous) scrollable cell, row by row; false from the last
// (first) cell, where the focus moves on.
bool FlexGrid::TabMove(bool forward) {
  const int cols = Cols() - fixedCols_;
  if (Rows() <= fixedRows_ || cols <= 0) return false;
  const int at = (std::max(row_, fixedRows_) - fixedRows_) * cols + std::max(col_, fixedCols_) - fixedCols_;
  const int next = at + (forward ? 1 : -1);
  if (next < 0 || next >= (Rows() - fixedRows_) * cols) return false;
  MoveByUser(fixedRows_ + next / cols, fixedCols_ + next % cols);
  return true;
}

// Tab reaches the widget's own event handling as a focus move; with
// flexTabCells the grid takes it first, as it takes the arrow keys.
bool FlexGrid::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress && tabBehavior_ == flexTabCells) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool back =
        key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && key->modifiers() & Qt::ShiftModifier);
    if (plain && (key->key() == Qt::Key_Tab || back) && TabMove(!back)) {
      RaiseKeyDown(key);
      return true;
    }
  }
  return Control::event(event);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
  TrackMouse(event->position());
  const Hit hit = CellAt(event->position());
  if (event->button() == Qt::LeftButton && hit.onCell && hit.row >= fixedRows_ && hit.col >= fixedCols_) {
    MoveByUser(hit.row, hit.col);
  }
  RaiseMousePress(event, this);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
  TrackMouse(event->position());
  RaiseMouse(MouseMove, event, this);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
  TrackMouse(event->position());
  RaiseMouseRelease(event, this);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  TrackMouse(event->position());
  Control::mouseDoubleClickEvent(event);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
  ArrowMove(VbKeyCode(event));
  if (RaiseKeyDown(event) != 0 || VbKeyCode(event) == 0) RaiseKeyPress(event);
}

void FlexGrid::wheelEvent(QWheelEvent* event) {
  // The grid does not scroll itself; the window's wheel handling does.
  event->ignore();
}

}  // namespace ctl
