// The result grids' mouse: clicks that make a result current and select
// (Ctrl toggles, Ctrl+Shift extends from the last click), the right button's
// results menu, the middle button's switch to the other grid, the hover tip,
// the start of a drag once the mouse has moved more than 10 pixels with the
// left button alone, a plain click that opens the result in the inspector,
// and the list's header clicks (sort, column chooser).
//
// The top-left margin of the tile grid and the rows and cells without a
// result are no result: a click or a drag there selects and drags nothing.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/Rounding.h"
#include "ui/DragState.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTimer>

#include <cmath>
#include <utility>

using namespace ResultGrids;

namespace {

constexpr int kDragThresholdPixels = 10;
// How soon a click's opening that waited for the input gate asks again.
constexpr int kClickOpenRetryMs = 50;

QString SelectOrDeselect(bool selected) {
  return selected ? QStringLiteral("Select") : QStringLiteral("De-select");
}

}  // namespace

// Button and keys of a click on result x (a list row or a tile's result
// index), whose result is now gCurrentItem; `anchorSelected` tells whether
// the result of the last click is selected.
void ResultsPane::GridClick(int Button, int Shift, int32_t x, int32_t anchor, bool anchorSelected,
                            const char* otherView) {
  if (Button == ctl::vbLeftButton && Shift == (ctl::vbShiftMask | ctl::vbCtrlMask)) {
    ApplySelection(SelectOrDeselect(anchorSelected), x, anchor);
  } else if (Button == ctl::vbLeftButton && Shift == ctl::vbCtrlMask) {
    ApplySelection(SelectOrDeselect(!gCurrentItem.Selected), x, x);
  } else if (Button == ctl::vbRightButton) {
    host_.ShowResultsPopup();
  } else if (Button == ctl::vbMiddleButton) {
    host_.MainToolbarHandler(QLatin1String(otherView));
  }
}

void ResultsPane::flexThumbsTiled_MouseDown(int Button, int Shift, double, double) {
  ctl::FlexGrid& grid = *flexThumbsTiled;
  CancelClickOpen();
  m_TilePointer.PlainPress = Button == ctl::vbLeftButton && Shift == 0;
  drag_.Clear();
  m_cToolTips->DestroyTip();
  const int32_t n = ResultCount();
  if (n == 0) return;
  if (Button != ctl::vbLeftButton) {
    flexThumbsTiled_LeaveCell();
    grid.SetRow(grid.MouseRow());
    grid.SetCol(grid.MouseCol());
    flexThumbsTiled_SelChange();
  }
  const int64_t i = TileIndex(grid.MouseRow(), grid.MouseCol());
  if (i < 1) return;
  if (i > n) {
    // A click after the last tile goes to the last result, as End does.
    MakeCurrent(n);
    gCurrentItem.DisplayState = 5;
    gCurrentItem.Selected = false;
    int end = ctl::vbKeyEnd;
    flexThumbsTiled_KeyDown(end, 0);
    return;
  }
  const auto x = static_cast<int32_t>(i);
  MakeCurrent(x);
  const int32_t anchor = IsResult(m_TilePointer.Anchor) ? m_TilePointer.Anchor : x;
  GridClick(Button, Shift, x, anchor, ResultAt(anchor).Selected, "mnuViewList");
  m_TilePointer.Anchor = x;
}

void ResultsPane::flexThumbsList_MouseDown(int Button, int Shift, double, double) {
  ctl::FlexGrid& grid = *flexThumbsList;
  CancelClickOpen();
  m_ListPointer.PlainPress = Button == ctl::vbLeftButton && Shift == 0;
  drag_.Clear();
  m_cToolTips->DestroyTip();
  grid.SetCol(1);
  if (grid.MouseRow() == 0 || grid.Row() == 0) return;
  if (Button != ctl::vbLeftButton) {
    flexThumbsList_LeaveCell();
    grid.SetRow(grid.MouseRow());
    flexThumbsList_SelChange();
    grid.SetRow(grid.MouseRow());
    grid.SetCol(1);
  }
  const int32_t n = ResultCount();
  const int32_t row = grid.MouseRow();
  const int32_t i = ListIndex(grid, row);
  if (row > n || !IsResult(i)) return;
  MakeCurrent(i);
  const int32_t anchor = m_ListPointer.Anchor >= 1 && m_ListPointer.Anchor <= n ? m_ListPointer.Anchor : row;
  GridClick(Button, Shift, row, anchor, ResultAt(ListIndex(grid, anchor)).Selected, "mnuViewTile");
  m_ListPointer.Anchor = row;
}

// The first move with the left button alone arms the drag; it starts once
// the mouse is more than 10 pixels away from there, taking away a tip the
// pointer's rest asked for meanwhile. True when it started.
bool ResultsPane::StartGridDrag(ctl::FlexGrid& grid, GridPointer& pointer, double X, double Y) {
  if (!pointer.DragArmed) {
    pointer.DragArmed = true;
    pointer.DragStart = QPointF(CLng(X), CLng(Y));
    return false;
  }
  const bool far = std::abs(X - pointer.DragStart.x()) > kDragThresholdPixels * gTwipsPerPixelX ||
                   std::abs(Y - pointer.DragStart.y()) > kDragThresholdPixels * gTwipsPerPixelY;
  if (!far) return false;
  grid.SetTag(QString::number(grid.TopRow()));
  drag_.Source = QStringLiteral("Browser");
  drag_.SegmentID = gCurrentItem.SegmentID;
  drag_.ItemSelected = gCurrentItem.Selected ? 1 : 0;
  m_cToolTips->DestroyTip();
  grid.Drag(ctl::vbBeginDrag);
  return true;
}

void ResultsPane::flexThumbsTiled_MouseMove(int Button, int Shift, double X, double Y) {
  ctl::FlexGrid& grid = *flexThumbsTiled;
  GridPointer& pointer = m_TilePointer;
  if (QPointF(X, Y) == pointer.Position) return;
  pointer.Position = QPointF(X, Y);
  const int64_t i = TileIndex(grid.MouseRow(), grid.MouseCol());
  if (Button == ctl::vbLeftButton && Shift == 0 && IsResult(i)) {
    StartGridDrag(grid, pointer, X, Y);
    return;
  }
  pointer.DragArmed = false;
  grid.Drag(ctl::vbCancel);
  HoverResult(grid, pointer, IsResult(i) ? static_cast<int32_t>(i) : -1);
}

// Only the thumbnail column shows a tip or starts a drag; leaving it keeps
// the result last hovered, so that coming back arms no new tip.
void ResultsPane::flexThumbsList_MouseMove(int Button, int Shift, double X, double Y) {
  ctl::FlexGrid& grid = *flexThumbsList;
  GridPointer& pointer = m_ListPointer;
  if (QPointF(X, Y) == pointer.Position) return;
  pointer.Position = QPointF(X, Y);
  if (ResultCount() == 0 || grid.MouseRow() == 0 || grid.MouseCol() != 1) {
    gHoverItem.FileID = -1;
    m_cToolTips->DestroyTip();
    return;
  }
  const int32_t i = ListIndex(grid, grid.MouseRow());
  if (Button == ctl::vbLeftButton && Shift == 0 && IsResult(i)) {
    StartGridDrag(grid, pointer, X, Y);
    return;
  }
  pointer.DragArmed = false;
  grid.Drag(ctl::vbCancel);
  HoverResult(grid, pointer, IsResult(i) ? i : -1);
}

// A plain press and release on one result, with no drag between, is the
// result released on itself: the inspector opens it. (A drag takes the
// release itself, and the release after a double click is no click.)
void ResultsPane::flexThumbsTiled_Click() {
  if (std::exchange(m_TilePointer.PlainPress, false)) OpenClickedResult(*flexThumbsTiled);
}

void ResultsPane::OpenClickedResult(const ctl::FlexGrid& grid) {
  if (!clickOpenTimer_) {
    clickOpenTimer_ = new QTimer(picRight);
    clickOpenTimer_->setSingleShot(true);
    QObject::connect(clickOpenTimer_, &QTimer::timeout, picRight, [this] {
      // A click's opening is a command: while the playback engine waits
      // inside another command it waits too; while work the user steers
      // holds the input gate it is dropped (platform/InputGate.h).
      if (!InputGate::Admits()) {
        if (!InputGate::Steered()) clickOpenTimer_->start(kClickOpenRetryMs);
        return;
      }
      BrowserDragDrop(clickRow_, clickCol_, clickSource_, QString());
    });
  }
  clickSource_ = grid.objectName();
  clickRow_ = grid.MouseRow();
  clickCol_ = grid.MouseCol();
  clickOpenTimer_->start(QApplication::doubleClickInterval());
}

void ResultsPane::CancelClickOpen() {
  if (clickOpenTimer_) clickOpenTimer_->stop();
}

bool ResultsPane::ClickOpenPending() const { return clickOpenTimer_ && clickOpenTimer_->isActive(); }

// A click on a row opens its result as a tile's does. A click on the header:
// with the right button the column chooser (a sort key cannot be hidden),
// else a sort by the column; "Description" does not sort.
void ResultsPane::flexThumbsList_Click() {
  ctl::FlexGrid& grid = *flexThumbsList;
  const bool plain = std::exchange(m_ListPointer.PlainPress, false);
  if (grid.MouseRow() >= 1) {
    if (plain) OpenClickedResult(grid);
    return;
  }
  if (grid.LastMouseButton() == ctl::vbRightButton) {
    for (size_t i = 3; i <= 10; ++i) {
      QAction* item = mnuListViewCol[i];
      const ListColumn& column = gListColumns[i - 3];
      const bool shown = grid.ColWidth(column.Column) >= 1;
      item->setChecked(shown);
      item->setEnabled(!shown || column.SortFlag == 0);
    }
    mnuListViewColumnsPopUp->popup(QCursor::pos());
  } else if (grid.MouseCol() != 2) {
    SortListColumn(static_cast<int16_t>(grid.MouseCol()));
  }
}
