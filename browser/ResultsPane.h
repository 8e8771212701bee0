#pragma once
// The results pane of the main window: the result browser (tile grid, list
// grid and their scroll bar; the carousel's canvas lies in the same frame)
// and the browser toolbar with the history combo, the progress strip and the
// result counts. It owns these controls and the browser's procedures:
// showing, selecting, sorting and paging the results, painting their
// thumbnails, the grids' keys, mouse and wheel, the views and the link to the
// carousel, and drops on the browsers. What it needs of the library tree it
// asks through ILibraryTreeLink.
//
// Tile i of the tile grid lies in row (i - 1) div T and column
// (i - 1) mod T + 1 (T tiles per row; column 0 and the last column are
// margins); row r of the list grid shows the result whose index its column 0
// holds.
#include "browser/BrowserHosts.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/VScrollBar.h"

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CarouselPane;
class InspectorPane;
class QAction;
class QMenu;
class QTimer;
class cFlatControl;
class cMouseTrack;
class cToolTipHost;
struct DragState;
struct ResultItem;

// Tiles per row and whole tile rows that fit the tile grid; the main
// window's pane layout sets them.
extern float gTileColumns;
extern float gTileRowsVisible;

class ResultsPane final : public IResultsLink {
 public:
  // Makes the result browser, the browser toolbar, the preview timer and
  // the list's column chooser in `window` as they stand before any code runs.
  ResultsPane(IBrowserHost& host, QWidget* window, DragState& drag);
  ~ResultsPane() override;
  ResultsPane(const ResultsPane&) = delete;
  ResultsPane& operator=(const ResultsPane&) = delete;
  // The panes the browser hands results to and shows in place of its grids,
  // and the library tree whose nodes are dropped on it; before any event
  // arrives.
  void Attach(CarouselPane& carousel, InspectorPane& inspector, ILibraryTreeLink& tree);

  // ---- Controls ----
  // The result browser.
  ctl::PictureBox* picRight;
  ctl::PictureBox* picRightFrame;
  ctl::PictureBox* picFlexFrame;
  ctl::FlexGrid* flexThumbsTiled;
  ctl::FlexGrid* flexThumbsList;
  ctl::VScrollBar* scrollFlex;
  ctl::PictureBox* picBlankTile;
  // The browser toolbar.
  ctl::Toolbar* tbFileBrowser;
  ctl::ImageCombo* cmbBrowserHistory;
  ctl::Label* lblHistoryMeasure;
  ctl::Frame* Frame3;
  ctl::PictureBox* picProgress;
  ctl::Label* lblResultSize;
  ctl::Label* lblSelectCount;
  // The preview poll, which also blinks the current result.
  ctl::TimerControl* Timer1;
  // The list's column chooser, items 3 to 10 (the list columns they show).
  QMenu* mnuListViewColumnsPopUp;
  std::array<QAction*, 11> mnuListViewCol{};

  // Hover tips of the result grids, their tracking and the combo's flat border.
  std::unique_ptr<cToolTipHost> m_cToolTips;
  std::unique_ptr<cMouseTrack> m_FlexMouseTrack;
  std::unique_ptr<cFlatControl> m_cFlatHistory;

  // ---- Set-up when the main window loads, in its order ----
  void InitBrowserToolbar();
  void InitHistoryCombo();
  void InitCountLabels();
  void InitTileGrid();
  void InitListGrid();
  void InitScrollBar();
  void InitHoverTips();

  // ---- The results ----
  // Sizes both result grids for `itemCount` results, then the scroll bar.
  void LayoutThumbnailGrid(int32_t itemCount);
  void UpdateThumbnailScrollBar(int32_t itemCount);
  // Puts gResults into the grid of the browser view and its labels; every
  // failure of one pass is reported once.
  void ShowSearchResults();
  // Paints the thumbnails of the visible results of the browser view.
  void DrawGridImages();
  // Pads the history combo's entries so that their "[...]" parts line up.
  void AlignBrowserHistory() override;
  // Colours the pane frames and focuses the control of the browser view.
  void SetFocusToBrowser();

  // ---- Views, selection, sorting ----
  void ShowTileView();
  void ShowListView();
  void ShowCarouselView();
  // mode "Select", "De-select", "Invert" or "Refresh" on results first..last
  // (list rows in the list view; 0 and 0: all).
  void ApplySelection(const QString& mode, int32_t first, int32_t last);
  // Moves the active browser's cursor to the result of the segment (0: the first).
  void SetBrowserIndex(int32_t SegmentID);
  // Opens result iIndex (full-screen player or default application).
  void BrowserDblClick(int32_t iIndex);
  // The mouse wheel over the main window: the keys held (MK_ flags), the
  // signed notch (-120 a notch down) and the pointer's screen position.
  void OnMouseWheel(int32_t Keys, int32_t Delta, int32_t X, int32_t Y);
  void WheelScrollBar(ctl::FlexGrid& grid, int32_t Delta);
  void WheelCarousel(int32_t Delta);
  // A view chosen in the history combo: the view re-run when gAutoRefresh
  // is on, then the combo takes the focus.
  void cmbBrowserHistory_Click();
  // Adds a sort key of the list (column 3 to 10), or cancels the sort (0, 1).
  void SortListColumn(int16_t column);
  // The list's rows in the order of the sort keys standing in columns 3 to
  // lastColumn (after a new result set is filled in).
  void SortRowsByKeys(int lastColumn);
  void mnuListViewCol_Click(int16_t Index);

  // ---- Drops on the browsers ----
  // Opens the tree's selected node as a search step with the operator sMode
  // ("_", "&", "+", "-"; empty: from the modifier keys), or a result released
  // on its own browser in the inspector. iRow and iCol are the grid cell
  // under the pointer (0, 0 from other callers).
  void BrowserDragDrop(int32_t iRow, int32_t iCol, const QString& sSource, QString sMode);
  // Drag feedback over a browser: the source's drag icon (State 0 enter,
  // 1 leave, 2 over).
  void BrowserDragOver(const QString& sSource, int State);
  // A plain click on a result waits out the double-click time before the
  // inspector opens it: true while it waits.
  bool ClickOpenPending() const;

  // ---- Events ----
  void flexThumbsTiled_LeaveCell();
  void flexThumbsList_LeaveCell();
  void flexThumbsTiled_SelChange();
  void flexThumbsList_SelChange();
  void flexThumbsTiled_KeyDown(int& KeyCode, int Shift);
  void flexThumbsList_KeyDown(int& KeyCode, int Shift);
  void flexThumbsTiled_MouseDown(int Button, int Shift, double X, double Y);
  void flexThumbsList_MouseDown(int Button, int Shift, double X, double Y);
  void flexThumbsTiled_MouseMove(int Button, int Shift, double X, double Y);
  void flexThumbsList_MouseMove(int Button, int Shift, double X, double Y);
  void flexThumbsTiled_DblClick();
  void flexThumbsList_DblClick();
  void flexThumbsTiled_Click();
  void flexThumbsList_Click();
  void flexThumbsTiled_DragDrop(ctl::Control& Source, double X, double Y);
  void flexThumbsList_DragDrop(ctl::Control& Source, double X, double Y);
  void flexThumbsTiled_DragOver(ctl::Control& Source, double X, double Y, int State);
  void flexThumbsList_DragOver(ctl::Control& Source, double X, double Y, int State);
  void flexThumbsTiled_GotFocus();
  void flexThumbsList_GotFocus();
  void flexThumbsTiled_LostFocus();
  void flexThumbsList_LostFocus();
  void m_FlexMouseTrack_MouseHover(int Button, int Shift, double x, double y);
  void m_FlexMouseTrack_MouseLeave();
  void scrollFlex_Change();
  void scrollFlex_Scroll();
  void Timer1_Timer();
  // The carousel canvas's events (ResultsPane_carousel.cpp): like the
  // grids', they act on the current result, but only on the front card.
  void WireCarouselCanvas();
  void ucCarouselCanvas_DblClick();
  void ucCarouselCanvas_KeyDown(int& KeyCode);
  void ucCarouselCanvas_GotFocus();
  void ucCarouselCanvas_LostFocus();
  void ucCarouselCanvas_MouseDown(int Button, int Shift, double X, double Y);
  void ucCarouselCanvas_MouseMove(int Button, int Shift, double X, double Y);
  void ucCarouselCanvas_DragOver(ctl::Control& Source, double X, double Y, int State);
  void ucCarouselCanvas_DragDrop(ctl::Control& Source, double X, double Y);

 private:
  // What a grid's mouse handlers keep between calls: the last click (a list
  // row, a tile's result index), whether its press was a plain left one, the
  // last pointer position, the drag start point and the result last hovered.
  struct GridPointer {
    int32_t Anchor = 0;
    bool PlainPress = false;
    QPointF Position{-1, -1};
    bool DragArmed = false;
    QPointF DragStart;
    int32_t Hovered = 0;
  };

  void CreateResultBrowser(QWidget* window);
  void CreateBrowserToolbar(QWidget* window);
  void CreateTimerAndMenu(QWidget* window);
  void WireBrowserEvents();

  // Browser view `mode` (1 tiles, 2 list, 3 carousel): its marks and
  // gBrowserMode, then its control as the one shown.
  void MarkBrowserView(int32_t mode);
  void ShowBrowserControl(int32_t mode);
  void ShowGridView(int32_t mode);
  void SortListGrid();
  void DrawListImages(int32_t Top);
  void DrawTileImages(int32_t Top);
  void ReadTilePicturesAhead(int firstRow, int lastRow, int columns, int results);
  void ShowResultCounts(int32_t selected);

  void GridClick(int Button, int Shift, int32_t x, int32_t anchor, bool anchorSelected, const char* otherView);
  bool StartGridDrag(ctl::FlexGrid& grid, GridPointer& pointer, double X, double Y);
  void HoverResult(ctl::FlexGrid& grid, GridPointer& pointer, int32_t index);
  void ForgetHoveredResult();
  void OpenInInspector(bool repaintFirst);
  // The click on the grid's cell under the pointer opens its result once no
  // second click has come (a double click plays it instead, and a preview
  // opened first would be cut short); a press or double click cancels it.
  void OpenClickedResult(const ctl::FlexGrid& grid);
  void CancelClickOpen();
  void AddSortKey(int16_t column);
  void CancelSort();

  IBrowserHost& host_;
  DragState& drag_;
  CarouselPane* carousel_ = nullptr;
  InspectorPane* inspector_ = nullptr;
  ILibraryTreeLink* tree_ = nullptr;
  GridPointer m_TilePointer;
  GridPointer m_ListPointer;
  // The click waiting to open its result: the grid's name and cell.
  QTimer* clickOpenTimer_ = nullptr;
  QString clickSource_;
  int32_t clickRow_ = 0;
  int32_t clickCol_ = 0;
  GridPointer m_CarouselPointer;
  // The list sort: the grid position of the last key (2: none) and whether
  // the columns start from their home order.
  int16_t m_SortLastKey = 2;
  bool m_SortStarted = false;
  int16_t m_BlinkPhase = 0;
  // The tile rows that may hold pictures since the last screen was drawn:
  // the rows it showed and its blank rows.
  std::vector<int> m_TileRowsPainted;
  // The pictures of the tiles in view on the last screen, by their pixmaps'
  // cache keys: the thumbnail bytes each was made from.
  std::unordered_map<qint64, QByteArray> m_TileSources;
  // The list rows painted by the last screen, while the list's rows stay in
  // the places they had then (its model's arrangement).
  std::vector<int> m_ListRowsPainted;
  uint32_t m_ListArrangementPainted = 0;
};
