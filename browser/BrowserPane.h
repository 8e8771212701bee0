#pragma once
// The library browser's part of the main window: the library tree pane, the
// result browser (tile grid, list grid and their scroll bar; the carousel's
// canvas lies in the same frame) and the browser toolbar with the history
// combo, the progress strip and the result counts. It owns these controls
// and the browser's procedures: showing, selecting, sorting and paging the
// results, painting their thumbnails, and opening tree nodes as searches.
//
// Tile i of the tile grid lies in row (i - 1) div T and column
// (i - 1) mod T + 1 (T tiles per row; column 0 and the last column are
// margins); row r of the list grid shows the result whose index its column 0
// holds.
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/VScrollBar.h"
#include "ui/AnimatedPicture.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class CarouselPane;
class InspectorPane;
class QAction;
class QMenu;
class QTimer;
class cFlatControl;
class cMouseTrack;
class cToolTipHost;
class cwProgress;
struct DragState;
struct ResultItem;

// Tiles per row and whole tile rows that fit the tile grid; the main
// window's pane layout sets them.
extern float gTileColumns;
extern float gTileRowsVisible;
// The library tree.
extern ctl::TreeView* gTreeHwnd;

// What the browser asks of the window it sits in.
class IBrowserHost {
 public:
  virtual ~IBrowserHost() = default;
  // The command dispatcher.
  virtual void MainToolbarHandler(const QString& sCommand) = 0;
  // The marks of the browser view's menu item and toolbar button.
  virtual void MarkBrowserView(int32_t mode) = 0;
  // The results' context menu for gCurrentItem at the pointer.
  virtual void ShowResultsPopup() = 0;
  // Opens (true) or closes the browser, tree and inspector to the user.
  virtual void SetBrowserControlsEnabled(bool on) = 0;
  // The busy animation of the title bar.
  virtual void ShowBusyIndicator(bool on) = 0;
  // A plain progress strip again.
  virtual void ProgressOff() = 0;
  // The main window's progress strip (progProgress), where drags show their status.
  virtual cwProgress& Progress() = 0;
  // The window's image lists the browser draws from.
  virtual ctl::ImageList& imglistToolBar() = 0;
  virtual ctl::ImageList& imglstReelwise() = 0;
  virtual ctl::ImageList& ilStateIcons() = 0;
  virtual ctl::ImageList& imglstDragIcons() = 0;
  virtual ctl::ImageList& imglstViewSpec() = 0;
  // Runs external application Index on gSavedItem's file (-1 its default program).
  virtual void LaunchExternalApp(int16_t& Index) = 0;
  // After the full-screen player: the window active and repainted, and the
  // inspector reloaded when it shows a file.
  virtual void AfterFullScreenPlayer() = 0;
};

class BrowserPane {
 public:
  // Makes the tree pane, the result browser and the browser toolbar in
  // `window` as they stand before any code runs.
  BrowserPane(IBrowserHost& host, QWidget* window, DragState& drag);
  ~BrowserPane();
  BrowserPane(const BrowserPane&) = delete;
  BrowserPane& operator=(const BrowserPane&) = delete;
  // The panes the browser hands results to and shows in place of its grids;
  // before any event arrives.
  void Attach(CarouselPane& carousel, InspectorPane& inspector);

  // ---- Controls ----
  // The library tree pane.
  ctl::PictureBox* picLeft;
  ctl::PictureBox* picLeftFrame;
  ctl::TreeView* tvwLibrary;
  ctl::AnimatedPicture* gifTreeLoading;
  ctl::PictureBox* picGrip;
  // Hidden; the speed-tagging drag over the tree drags it.
  ctl::Label* lblRepeatTagging;
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
  // The preview poll, which also blinks the current result, and the tree's
  // label-edit timer.
  ctl::TimerControl* Timer1;
  ctl::TimerControl* tvwEditTimer;
  // The tree's context menu and the list's column chooser, items 3 to 10
  // (the list columns they show).
  QMenu* mnuTree;
  QAction* mnuCollapseAll;
  QAction* mnuExpandAll;
  QAction* mnuRenameTag;
  QAction* mnuDeleteTag;
  QAction* mnuCreateTag;
  QAction* mnuNewFolder;
  QAction* mnuNewCategory;
  QAction* mnuMakeRoot;
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
  void InitTree();
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
  void AlignBrowserHistory();
  // The loading animation over the tree pane (see ILibraryView).
  void SetLoadingState(bool& starting);
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

  // Adds a node to the library tree with the program's look (see
  // modReelwise::AddTreeNode).
  ctl::Node* AddTreeNode(const QString& sText, const QString& sKey, const QString& sParentKey,
                         const QString& sImageKey, uint32_t lColour, bool bBold);

  // ---- Opening tree nodes as searches ----
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
  void tvwLibrary_MouseDown(int Button, int Shift, double X, double Y);
  void tvwLibrary_MouseMove(int Button, int Shift, double X, double Y);
  void tvwLibrary_Expand(ctl::Node* Node);
  void tvwLibrary_Collapse(ctl::Node* Node);
  void tvwLibrary_KeyDown(int& KeyCode, int Shift);
  // The carousel canvas's events (BrowserPane_carousel.cpp): like the
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
  void tvwLibrary_KeyPress(int& KeyAscii);
  void tvwLibrary_KeyUp(int& KeyCode, int Shift);
  void tvwLibrary_NodeClick(ctl::Node* Node);
  void tvwLibrary_GotFocus();
  void tvwLibrary_LostFocus();

  // ---- The tree's context menu and its commands ----
  void mnuCollapseAll_Click();
  void mnuExpandAll_Click();
  void mnuCreateTag_Click();
  void mnuNewFolder_Click();
  void mnuNewCategory_Click();
  void mnuMakeRoot_Click();
  void mnuDeleteTag_Click();
  // The inspector's tag list: shows its selected tag in the tree.
  void mnuLocateTag_Click();
  // Makes Node the selected, highlighted and first visible node of TV.
  void SetTreeViewFirstVisibleNode(ctl::TreeView& TV, ctl::Node* Node);
  void tvwLibrary_DragOver(ctl::Control& Source, double X, double Y, int State);
  void tvwLibrary_DragDrop(ctl::Control& Source, double X, double Y);

  // ---- Renaming tree items ----
  // Starts renaming the selected node (menu item and F2).
  void mnuRenameTag_Click();
  // One-shot: starts the label edit of the node a rename waits on.
  void tvwEditTimer_Timer();
  // The end of a label edit (also Esc from the tree's KeyUp): checks the
  // name, writes it and re-sorts the tree, or restarts the edit.
  void tvwLibrary_AfterLabelEdit(int& Cancel, QString& NewString);
  // Writes the new name of the node keyed sKey to the library.
  void RenameTreeItem(const QString& sKey, const QString& sNewName);
  // True when no other node of the tree has Node's full path.
  bool IsUniqueTreeNode(const ctl::Node& Node);
  // The edit timer's tick and the tree's end of a label edit.
  void WireRenameEvents();
  // The inspector's tag list shows a renamed tag under its new name.
  void ShowRenamedFileTag(const QString& sKey, const QString& sNewName);

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

  void CreateTreePane(QWidget* window);
  void CreateBrowserPane(QWidget* window);
  void CreateBrowserToolbar(QWidget* window);
  void CreateMenus(QWidget* window);
  void WireBrowserEvents();

  // Browser view `mode` (1 tiles, 2 list, 3 carousel): its marks and
  // gBrowserMode, then its control as the one shown.
  void MarkBrowserView(int32_t mode);
  void ShowBrowserControl(int32_t mode);
  void ShowGridView(int32_t mode);
  void SortListGrid();
  void DrawListImages(int32_t Top);
  void DrawTileImages(int32_t Top);
  void ShowResultCounts(int32_t selected);

  void GridClick(int Button, int Shift, int32_t x, int32_t anchor, bool anchorSelected, const char* otherView);
  bool StartGridDrag(ctl::FlexGrid& grid, GridPointer& pointer, double X, double Y);
  void HoverResult(ctl::FlexGrid& grid, GridPointer& pointer, int32_t index);
  void ForgetHoveredResult();
  void OpenNodeAsSearch(const QString& op);
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

  // The tree's events and context menu (BrowserPane_treedrag.cpp,
  // BrowserPane_treemenu.cpp): the menu's items and their handlers, the
  // other tree events, the captions and enabled states for the selected node.
  void CreateTreeMenu();
  void WireTreeEvents();
  void PrepareTreeMenu();
  void DeleteSelectedNode();
  // The Index of the node whose tool tip the tree's mouse move set last
  // (-1 none, 0 before the first move).
  int32_t m_TreeTipIndex = 0;
  // Where the left button was last pressed on a node (not its expand icon),
  // in twips, while it may still start that node's drag; none otherwise.
  std::optional<QPointF> m_TreeNodePress;
  // True when the pointer, the left button held since a press on a node,
  // has gone the drag distance from the press (wherever it is now).
  bool TreeNodeDraggedAway(double X, double Y) const;

  // The tree's drag and drop (BrowserPane_treedrop.cpp). The node a drag
  // last hovered and the tick (ms) at which it expands.
  struct TreeHover {
    QString Key;
    uint64_t ExpandAt = 0;
  };
  void HoverExpand(ctl::Node* node);
  void FileDragOver(ctl::Control& Source, const ctl::Node* node, int State);
  void NodeDragOver(const ctl::Node* node);
  void ShowDragStatus(const QString& text);
  void DropFiles(const ctl::Node& target);
  void DropTreeNode(ctl::Node& target);
  void LinkTreeNodes(ctl::Node& dragged, ctl::Node& target);
  void MoveTreeNode(ctl::Node& dragged, ctl::Node& target);
  void DropAutoTag(ctl::Node& target);
  TreeHover m_TreeHover;
};
