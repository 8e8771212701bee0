// The result grids' cursor: the current cell, the current result
// (gCurrentItem) and its blinking code, the wrap of the tile cursor over the
// margin columns, paging by the scroll bar, focus, double clicks, the hover
// tip and the hand-over of drags and drops to the browser's drop handling.
//
// The grids move their cursor themselves on an arrow key or a left click and
// then raise LeaveCell and SelChange; the handlers here bring the cell codes
// and gCurrentItem in line. Timer1 blinks the current cell, so it is stopped
// while a handler rewrites cell codes.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "core/modReelwise.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "core/modRegistry.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/Rounding.h"
#include "ui/SchemeColours.h"
#include "ui/cMouseTrack.h"

#include <QAction>
#include <QCursor>

using namespace ResultGrids;

void ResultsPane::WireBrowserEvents() {
  ctl::FlexGrid* tiles = flexThumbsTiled;
  ctl::FlexGrid* list = flexThumbsList;
  tiles->LeaveCell = [this] { flexThumbsTiled_LeaveCell(); };
  list->LeaveCell = [this] { flexThumbsList_LeaveCell(); };
  tiles->SelChange = [this] { flexThumbsTiled_SelChange(); };
  list->SelChange = [this] { flexThumbsList_SelChange(); };
  tiles->KeyDown = [this](int& key, int shift) { flexThumbsTiled_KeyDown(key, shift); };
  list->KeyDown = [this](int& key, int shift) { flexThumbsList_KeyDown(key, shift); };
  tiles->MouseDown = [this](int b, int s, double x, double y) { flexThumbsTiled_MouseDown(b, s, x, y); };
  list->MouseDown = [this](int b, int s, double x, double y) { flexThumbsList_MouseDown(b, s, x, y); };
  tiles->MouseMove = [this](int b, int s, double x, double y) { flexThumbsTiled_MouseMove(b, s, x, y); };
  list->MouseMove = [this](int b, int s, double x, double y) { flexThumbsList_MouseMove(b, s, x, y); };
  tiles->DblClick = [this] { flexThumbsTiled_DblClick(); };
  list->DblClick = [this] { flexThumbsList_DblClick(); };
  tiles->Click = [this] { flexThumbsTiled_Click(); };
  list->Click = [this] { flexThumbsList_Click(); };
  tiles->DragDrop = [this](ctl::Control& s, double x, double y) { flexThumbsTiled_DragDrop(s, x, y); };
  list->DragDrop = [this](ctl::Control& s, double x, double y) { flexThumbsList_DragDrop(s, x, y); };
  tiles->DragOver = [this](ctl::Control& s, double x, double y, int st) { flexThumbsTiled_DragOver(s, x, y, st); };
  list->DragOver = [this](ctl::Control& s, double x, double y, int st) { flexThumbsList_DragOver(s, x, y, st); };
  tiles->GotFocus = [this] { flexThumbsTiled_GotFocus(); };
  list->GotFocus = [this] { flexThumbsList_GotFocus(); };
  tiles->LostFocus = [this] { flexThumbsTiled_LostFocus(); };
  list->LostFocus = [this] { flexThumbsList_LostFocus(); };
  scrollFlex->Change = [this] { scrollFlex_Change(); };
  scrollFlex->Scroll = [this] { scrollFlex_Scroll(); };
  Timer1->Timer = [this] { Timer1_Timer(); };
  for (int16_t i = 3; i <= 10; ++i) {
    QAction* item = mnuListViewCol[static_cast<size_t>(i)];
    QObject::connect(item, &QAction::triggered, item, [this, item, i](bool checked) {
      // The menu has already flipped the mark; the handler flips it itself.
      item->setChecked(!checked);
      ErrorGuard().Run([&] { mnuListViewCol_Click(i); });
    });
  }
}

// ---- Leaving a cell and the new current cell ----

void ResultsPane::flexThumbsTiled_LeaveCell() {
  if (ResultCount() == 0) return;
  Timer1->SetEnabled(false);
  flexThumbsTiled->SetText(RestingCode(gCurrentItem));
  Timer1->SetEnabled(true);
}

void ResultsPane::flexThumbsList_LeaveCell() {
  if (ResultCount() == 0 || flexThumbsList->Col() == 0 || flexThumbsList->Row() < 1) return;
  Timer1->SetEnabled(false);
  flexThumbsList->SetText(RestingCode(gCurrentItem));
  Timer1->SetEnabled(true);
}

// The cursor never rests on a margin column: off the right margin it goes on
// with tile 1 of the next row, off the left margin with the last tile of the
// row above, scrolling when that row is out of view; past the last result it
// stops on the last one.
void ResultsPane::flexThumbsTiled_SelChange() {
  ctl::FlexGrid& grid = *flexThumbsTiled;
  Timer1->SetEnabled(false);
  const int32_t n = ResultCount();
  const int32_t columns = TileColumns();
  if (n < 1) {
    grid.SetCol(0);
    grid.SetRow(0);
  } else {
    const int32_t row = grid.Row();
    const int32_t col = grid.Col();
    const int32_t lastCol = grid.Cols() - 1;
    const auto scroll = [this](int code) { flexThumbsTiled_KeyDown(code, 0); };
    if (row == 0 && col == 0) {
      grid.SetCol(1);
    } else if (col == lastCol && row == grid.Rows() - 1) {
      grid.SetCol(col - 1);
    } else if (col == lastCol) {
      grid.SetCol(1);
      grid.SetRow(row + 1);
      if (grid.Row() >= grid.TopRow() + gTileRowsVisible) scroll(ctl::vbKeyDown);
    } else if (col == 0 && row >= 1) {
      grid.SetCol(lastCol - 1);
      grid.SetRow(row - 1);
      if (grid.Row() == grid.TopRow() - 1) scroll(ctl::vbKeyUp);
    }
  }
  int64_t i = TileIndex(grid.Row(), grid.Col());
  if (i > n) {
    int32_t row = n / columns;
    int32_t col = n % columns;
    if (col == 0) {
      col = columns;
      row -= 1;
    }
    grid.SetRow(std::max(row, 0));
    grid.SetCol(col);
    i = n;
  }
  MakeCurrent(i);
  grid.SetText(CursorCode(gCurrentItem));
  Timer1->SetEnabled(true);
}

// A cursor below the last result rests on the last data row.
void ResultsPane::flexThumbsList_SelChange() {
  ctl::FlexGrid& grid = *flexThumbsList;
  const int32_t n = ResultCount();
  if (n == 0) {
    grid.SetRow(0);
    grid.SetCol(0);
    return;
  }
  if (grid.Row() == 0) return;
  grid.SetCol(1);
  if (grid.Row() > n) {
    grid.SetCellPicture(QPixmap());
    grid.SetRow(n);
  }
  MakeCurrent(ListIndex(grid, grid.Row()));
  grid.SetText(CursorCode(gCurrentItem));
  Timer1->SetEnabled(true);
}

// ---- Double clicks, focus, drops ----

void ResultsPane::flexThumbsTiled_DblClick() {
  CancelClickOpen();
  BrowserDblClick(static_cast<int32_t>(TileIndex(flexThumbsTiled->Row(), flexThumbsTiled->Col())));
}

void ResultsPane::flexThumbsList_DblClick() {
  CancelClickOpen();
  if (flexThumbsList->Row() >= 1) BrowserDblClick(ListIndex(*flexThumbsList, flexThumbsList->Row()));
}

void ResultsPane::flexThumbsTiled_GotFocus() { SetFocusToBrowser(); }
void ResultsPane::flexThumbsList_GotFocus() { SetFocusToBrowser(); }
void ResultsPane::flexThumbsTiled_LostFocus() { picRightFrame->SetBackColor(gSchemeColour3); }
void ResultsPane::flexThumbsList_LostFocus() { picRightFrame->SetBackColor(gSchemeColour3); }

void ResultsPane::flexThumbsTiled_DragDrop(ctl::Control& Source, double, double) {
  BrowserDragDrop(flexThumbsTiled->MouseRow(), flexThumbsTiled->MouseCol(), Source.objectName(), QString());
}

void ResultsPane::flexThumbsList_DragDrop(ctl::Control& Source, double, double) {
  BrowserDragDrop(flexThumbsList->MouseRow(), flexThumbsList->MouseCol(), Source.objectName(), QString());
}

void ResultsPane::flexThumbsTiled_DragOver(ctl::Control& Source, double, double, int State) {
  BrowserDragOver(Source.objectName(), State);
}

void ResultsPane::flexThumbsList_DragOver(ctl::Control& Source, double, double, int State) {
  BrowserDragOver(Source.objectName(), State);
}

// ---- Paging and the hover tip ----

// The scroll bar's value is the top row of the grid shown; while the library
// refills the grids ("BUSY") its changes are theirs.
void ResultsPane::scrollFlex_Change() {
  if (scrollFlex->Tag() == QLatin1String("BUSY")) return;
  ctl::FlexGrid* grid = gBrowserMode == 1 ? flexThumbsTiled : gBrowserMode == 2 ? flexThumbsList : nullptr;
  if (!grid || grid->Rows() < 1) return;
  grid->SetTopRow(std::clamp(scrollFlex->Value(), 0, grid->Rows() - 1));
  if (gLibrary) gLibrary->DrawGridImages();
}

void ResultsPane::scrollFlex_Scroll() { scrollFlex_Change(); }

// No tip while a menu is open: it would lie over the menu.
void ResultsPane::m_FlexMouseTrack_MouseHover(int, int, double, double) {
  if (gHoverItem.FileID == -1) return;
  const QPoint at = QCursor::pos();
  if (gBrowserMode == 1) {
    m_cToolTips->Show(flexThumbsTiled, at.x(), at.y());
  } else if (gBrowserMode == 2) {
    m_cToolTips->Show(flexThumbsList, at.x(), at.y());
  }
}

void ResultsPane::m_FlexMouseTrack_MouseLeave() {
  m_FlexMouseTrack->DetachMouseTracking();
  m_cToolTips->DestroyTip();
}

// The grids were laid out for new results: the result under the pointer is
// another one now, so the next move arms its tip afresh.
void ResultsPane::ForgetHoveredResult() {
  m_TilePointer.Hovered = 0;
  m_ListPointer.Hovered = 0;
  gHoverItem.FileID = -1;
  if (m_cToolTips) m_cToolTips->DestroyTip();
}

// Arms the hover tip for a result under the mouse (none outside 1..n).
void ResultsPane::HoverResult(ctl::FlexGrid& grid, GridPointer& pointer, int32_t index) {
  if (index == pointer.Hovered) return;
  m_cToolTips->DestroyTip();
  if (IsResult(index)) {
    gHoverItem = ResultAt(index);
    m_FlexMouseTrack->AttachMouseTracking(&grid, -1, gPopupDelayMs);
    m_FlexMouseTrack->StartMouseTracking();
    pointer.Hovered = index;
  } else {
    gHoverItem.FileID = -1;
    pointer.Hovered = -1;
  }
}

// The preview poll, every 300 ms: the inspector's slider, buttons and time;
// then, outside compact mode, the current result's cell blinks in both grids
// between its resting code and its cursor code (the online resting codes 5
// and 4 blink as 3 and 2).
void ResultsPane::Timer1_Timer() {
  if (gTVOutMode) return;
  Timer1->SetInterval(300);
  if (inspector_) inspector_->ShowPreviewPosition();
  if (gWindowMode == 2) return;
  m_BlinkPhase = static_cast<int16_t>((m_BlinkPhase + 1) % 2);
  if (ResultGrids::ResultCount() < 1) return;
  int code = m_BlinkPhase == 0 ? gCurrentItem.DisplayState - (gCurrentItem.Selected ? 1 : 0)
                               : (gCurrentItem.Selected ? 0 : 1);
  if (code == 5 || code == 4) code -= 2;
  const QString text = QString::number(code);
  const int tileCol = flexThumbsTiled->Col();
  if (tileCol >= 1 && tileCol < flexThumbsTiled->Cols() - 1) flexThumbsTiled->SetText(text);
  if (flexThumbsList->Row() >= 1 && flexThumbsList->Col() == 1) flexThumbsList->SetText(text);
}
