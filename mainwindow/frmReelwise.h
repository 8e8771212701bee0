#pragma once
// The main window: the program's own title bar, the menu and tool bands, the
// library tree, the result browser (tile grid, list grid, carousel), the
// browser toolbar with the progress strip and the history combo, and the
// inspector with the preview transport bar. Its controls are members under
// their design names; the form works in pixels.
//
// Loading runs Form_Initialize, then Form_Load, whose first act is
// InitMainWindow. Closing runs Form_QueryUnload, then Form_Unload, which shuts
// the program down.
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/VScrollBar.h"
#include "ui/AnimatedPicture.h"
#include "ui/ISubclass.h"

#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

class QAction;
class QMenu;
class QPushButton;
class cFlatControl;
class cMDISplit;
class cMouseTrack;
class cPopupMenu;
class cToolTipHost;
class cwProgress;
class ucCanvas;
struct ResultItem;

// Geometry of one inspector tab in pixels, three values in record order.
struct InspectorTab {
  int32_t MinWidth = 0;
  int32_t CollapsedWidth = 0;
  int32_t FullWidth = 0;
};

class frmReelwise : public QWidget, public ISubclass {
 public:
  frmReelwise();
  ~frmReelwise() override;

  // Loads the form: Form_Initialize, then Form_Load. Failures reach the caller.
  void Load();

  // Title bar and control box.
  ctl::PictureBox* picWindowHeader;
  ctl::PictureBox* picCaption;
  ctl::Label* lblCaption;
  ctl::PictureBox* picSysMenu;
  ctl::Image* imgSysMenu;
  ctl::Toolbar* tbControlBox;
  ctl::PictureBox* picBusyIndicator;
  ctl::AnimatedPicture* RWBusyInd;
  // Menu and tool bands.
  ctl::PictureBox* picHolder;
  ctl::PictureBox* cReBar1;
  ctl::Toolbar* tbrMenu;
  ctl::Toolbar* cToolbar1;
  ctl::Toolbar* tbMain;
  // Library tree pane.
  ctl::PictureBox* picLeft;
  ctl::PictureBox* picLeftFrame;
  ctl::TreeView* tvwLibrary;
  ctl::AnimatedPicture* gifTreeLoading;
  ctl::PictureBox* picGrip;
  // Result browser pane.
  ctl::PictureBox* picRight;
  ctl::PictureBox* picRightFrame;
  ctl::PictureBox* picFlexFrame;
  ctl::FlexGrid* flexThumbsTiled;
  ctl::FlexGrid* flexThumbsList;
  ctl::VScrollBar* scrollFlex;
  ucCanvas* ucCarouselCanvas;
  ctl::PictureBox* picBlankTile;
  // Browser toolbar.
  ctl::Toolbar* tbFileBrowser;
  ctl::ImageCombo* cmbBrowserHistory;
  ctl::Label* lblHistoryMeasure;
  ctl::Frame* Frame3;
  ctl::PictureBox* picProgress;
  ctl::Label* lblResultSize;
  ctl::Label* lblSelectCount;
  QPushButton* cmdAbortScan;
  // Welcome page.
  ctl::PictureBox* picWelcomeHolder;
  ctl::PictureBox* picWelcome;
  std::array<ctl::Image*, 2> imgWelcome{};
  std::array<ctl::Label*, 2> lblWelcome{};
  ctl::Label* lblWelcomeTitle;
  ctl::Label* lblWelcomeBegin;
  ctl::Image* imgWelcomeLogo;
  // Inspector, tabs 1 to 4 (element 0 unused).
  ctl::PictureBox* picBottom;
  ctl::PictureBox* picBottomFrame;
  std::array<ctl::PictureBox*, 5> picInspector{};
  std::array<ctl::Label*, 5> lblCollapseTab{};
  std::array<ctl::Image*, 5> imgTab{};
  ctl::PictureBox* picTabBG;
  // Preview transport bar, buttons 1 to 15 (element 0 unused).
  std::array<ctl::PictureBox*, 16> picMediaControl{};
  ctl::PictureBox* picSlider;
  ctl::Image* imgSliderThumb;
  ctl::PictureBox* picVolume;
  ctl::PictureBox* picVolumeThumb;
  ctl::Image* imgSelection;
  ctl::PictureBox* picSelection;
  ctl::Label* lblStartPoint;
  ctl::Label* lblEndPoint;
  ctl::PictureBox* picMPlayerSkin;
  ctl::PictureBox* picOpenFile;
  ctl::Frame* framPreview;
  ctl::Label* lblOpenFileStatus;
  ctl::AnimatedPicture* RWLoadingInd;
  // Inspector content.
  ctl::FlexGrid* flexFileDetails;
  std::array<ctl::Label*, 15> lblFileData{};
  std::array<ctl::Label*, 9> lblFileSpec{};
  ctl::Image* imgDeviceType;
  ctl::PictureBox* picThumbnail;
  ctl::PictureBox* picUnplayable;
  std::array<ctl::Image*, 5> imgRating{};
  ctl::ListView* lstFileTags;
  std::array<ctl::Label*, 2> lblTagListScroll{};
  ctl::FlexGrid* flexSegments;
  std::array<ctl::Label*, 2> lblSegmentsScroll{};
  ctl::Frame* frameBackupOptions;
  std::array<ctl::Label*, 3> lblRemoveBackup{};
  ctl::PictureBox* picAutoTag;
  ctl::Label* lblAutoTag;
  ctl::Toolbar* tbFileSpecs;
  ctl::Toolbar* tbSegments;
  ctl::Toolbar* tbCataloguing;
  // Image lists.
  ctl::ImageList imglistToolBar;
  ctl::ImageList imglstMenus;
  ctl::ImageList imglstReelwise;
  ctl::ImageList ilStateIcons;
  ctl::ImageList imglstDragIcons;
  ctl::ImageList imglstControlBoxNormal;
  ctl::ImageList imglstViewSpec;
  // Timers.
  ctl::TimerControl* Timer1;
  ctl::TimerControl* Timer2;
  ctl::TimerControl* NonT9Timer;
  ctl::TimerControl* CarouselTimer;
  ctl::TimerControl* timerFilePreview;
  ctl::TimerControl* tvwEditTimer;
  // Context menus.
  QMenu* mnuResultsPopUp;
  QMenu* mnuTree;
  QMenu* mnuFileTagsPopUp;
  QMenu* mnuListViewColumnsPopUp;
  QAction* mnuRecentFiles;
  QAction* mnuClearSelections;
  QAction* mnuDeleteFile;
  QAction* mnuRemoveFile;
  // The list's column chooser, items 3 to 10 (the list columns they show).
  std::array<QAction*, 11> mnuListViewCol{};

  // Form-level state.
  std::unique_ptr<cwProgress> progProgress;
  std::unique_ptr<cPopupMenu> m_cMenu;
  std::unique_ptr<cMDISplit> m_cSplitLeft;
  std::unique_ptr<cToolTipHost> m_cToolTips;
  std::unique_ptr<cFlatControl> m_cFlatHistory;
  std::unique_ptr<cMouseTrack> m_FlexMouseTrack;
  std::unique_ptr<cMouseTrack> m_picThisButton;
  std::unique_ptr<cMouseTrack> m_picScollbar;
  int32_t m_GUILayout = 1;
  int32_t m_MinTrackWidth = 0;
  int32_t m_MinTrackHeight = 0;
  int16_t m_HoverButton = 0;
  std::array<InspectorTab, 4> m_InspectorTabs{};

  // Ends a progress display: an empty caption and a plain strip.
  void ProgressOff();
  // The command dispatcher: every menu key, toolbar button and shortcut. A
  // key that names no command is ignored; a failing command is reported in
  // the program's message box and the program goes on. Modal steps run
  // nested event loops, in which further commands may arrive.
  void MainToolbarHandler(const QString& sCommand);
  // The number n of an external-application key "mnuToolsExternalApps" & n
  // (1 to 30); 0 for any other key.
  static int ExternalAppNumber(const QString& key);
  // Lays the menu and tool bands out and colours the menu in the scheme
  // colours; runs again whenever the colour scheme changes.
  void BuildRebar();
  // Colours the pane frames and focuses the control of the browser view.
  void SetFocusToBrowser();
  // Lays the panes out for the window's size; sets gTileColumns and
  // gTileRowsVisible.
  void LayoutPanes();
  // Lays out the preview panel and transport bar (-1: library-mode geometry).
  void ResizeCompactGUI(int32_t lFlag);
  // The external-application menu items for a file in a context.
  void InitExternalAppMenus(const QString& FileName, int16_t Context, bool ToolsOnly);
  // Inspector services.
  void ArrangeInspector();
  void ClearInspector();
  void ResetInspectorHistory();
  void LoadInspector(ResultItem& Item, bool& Loaded);
  // Expands or collapses inspector tab 1 to 4.
  void lblCollapseTab_Click(int16_t Index);

  // Commands of the main window (mainwindow/frmReelwise_pending.cpp).
  void OpenLibraryDialog();
  void ExportBrowserToCSV();
  void mnuAnalyze_Click();
  void mnuFilePoster_Click();
  void ToggleTVOutMode(bool On);
  void ToggleFullScreen(bool Layout, bool Force);
  // Runs external application 1 to 30 on gSavedItem's file; -1 its default program.
  void LaunchExternalApp(int16_t& Index);
  // The Add Files command: the add-files dialog, then the run.
  void AddScannedFiles();

  // ---- Result browser and library tree (browser/) ----
  // The window's drag state, read by the tree's drop handlers: where the
  // dragged files come from ("Browser" a result browser, "Inspector" the
  // inspector's thumbnail, empty otherwise), the dragged segment, whether it
  // was selected (the drop then acts on every selected result) and the
  // speed-tagging flag.
  struct DragState {
    QString Source;
    int32_t SegmentID = 0;
    int16_t ItemSelected = 0;
    int16_t SpeedTagging = 0;
  };
  DragState m_DragState;
  // Empties the drag source and clears the speed-tagging flag.
  void ClearDragState();

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
  // Adds a sort key of the list (column 3 to 10), or cancels the sort (0, 1).
  void SortListColumn(int16_t column);
  void mnuListViewCol_Click(int16_t Index);
  // Opens the tree's selected node as a search step with the operator sMode
  // ("_", "&", "+", "-"; empty: from the modifier keys), or a result released
  // on its own browser in the inspector. iRow and iCol are the grid cell
  // under the pointer (0, 0 from other callers).
  void BrowserDragDrop(int32_t iRow, int32_t iCol, const QString& sSource, QString sMode);
  // Drag feedback over a browser: the source's drag icon (State 0 enter,
  // 1 leave, 2 over).
  void BrowserDragOver(const QString& sSource, int State);
  // The result grids' and the scroll bar's events.
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
  // The preview poll, which also blinks the current result's cell.
  void Timer1_Timer();
  // The library tree's events.
  void tvwLibrary_MouseMove(int Button, int Shift, double X, double Y);
  void tvwLibrary_KeyDown(int& KeyCode, int Shift);
  void tvwLibrary_KeyPress(int& KeyAscii);
  void tvwLibrary_DragOver(ctl::Control& Source, double X, double Y, int State);
  void tvwLibrary_DragDrop(ctl::Control& Source, double X, double Y);
  // Rebuilds the "Find Similar Files" submenu for gSavedItem.
  void InitSimilarFilesMenu();

  // ISubclass: the main window's own window messages.
  int32_t ISubclass_MsgResponse() override;
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override;

  // Called with each step number of InitMainWindow before the step runs, so
  // that a test can follow the construction or make a step fail.
  static std::function<void(int step)> LoadStepHook;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Design-time controls and their properties (frmReelwise_design.cpp).
  void CreateControls();
  void CreateTitleBar();
  void CreateTreePane();
  void CreateBrowserPane();
  void CreateBrowserToolbar();
  void CreateWelcomePage();
  void CreateInspector();
  void CreateTransportBar();
  void CreateInspectorContent();
  void CreateTimersAndMenus();
  void LoadImageLists();

  // Construction (frmReelwise_init.cpp).
  void Form_Initialize();
  void Form_Load();
  void InitMainWindow();
  void InitBrowserToolbar();
  void InitTitleAndTree();
  void InitWelcomePage();
  void InitResultGrids();
  void InitInspector();
  void InitTransportBar();
  void InitSegmentsAndCataloguing();
  void PlaceMediaControl(int Index);
  double ScaledFont(double points) const;
  double ScaledWidth(double pixels) const;

  // Lifecycle (frmReelwise_lifecycle.cpp).
  bool Form_QueryUnload();
  void Form_Unload();
  void Form_Resize();
  void Form_Activate();
  void Form_Deactivate();
  void SubclassMessages(bool attach);
  void tbControlBox_ButtonClick(ctl::Button& Button);
  void picWindowHeader_Resize();

  // Menus (frmReelwise_menu.cpp).
  void BuildMainMenu();
  void SetInterfaceStyle();
  void m_cMenu_Click(int ItemNumber);
  void tbrMenu_ButtonClick(ctl::Button& Button);

  // The command dispatcher's steps (frmReelwise_commands.cpp).
  void RunCommand(const QString& sCommand);
  bool ToggleMenuCheck(const QString& key);
  void SetRadioGroup(std::initializer_list<const char*> keys, const char* chosen);
  void SetResultKind(const char* kind, const char* key, const char* button);
  void SetStorageFilter(const char* filter, const char* key, const char* image, const char* toolTip);
  void ShowOptions(int16_t group);
  void ShowDialogOverGlass(QWidget& dialog);
  void RestoreFocus();
  void RunPlaylist();
  void ShowOrHideInspector();
  void ShowOrHideTagCloud();
  void ShowDuplicates();
  void SetGUILayout(int32_t layout);
  void OpenHelpPage(const QString& address);

  // Toolbars (frmReelwise_toolbars.cpp).
  void tbMain_ButtonClick(ctl::Button& Button);
  void tbMain_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu);
  void tbFileBrowser_ButtonClick(ctl::Button& Button);
  void tbFileBrowser_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu);

  // The result browsers' and the tree's events (browser/).
  void WireBrowserEvents();
  // What a grid's mouse handlers keep between calls: the last click (a list
  // row, a tile's result index), the last pointer position, the drag start
  // point and the result last hovered.
  struct GridPointer {
    int32_t Anchor = 0;
    QPointF Position{-1, -1};
    bool DragArmed = false;
    QPointF DragStart;
    int32_t Hovered = 0;
  };
  void GridClick(int Button, int Shift, int32_t x, int32_t anchor, bool anchorSelected, const char* otherView);
  bool StartGridDrag(ctl::FlexGrid& grid, GridPointer& pointer, double X, double Y);
  void HoverResult(ctl::FlexGrid& grid, GridPointer& pointer, int32_t index);
  void ShowResultsPopup();
  void OpenNodeAsSearch(const QString& op);
  void OpenInInspector(bool repaintFirst);
  void AddSortKey(int16_t column);
  void CancelSort();
  GridPointer m_TilePointer;
  GridPointer m_ListPointer;
  // The list sort: the grid position of the last key (2: none) and whether
  // the columns start from their home order.
  int16_t m_SortLastKey = 2;
  bool m_SortStarted = false;
  int16_t m_BlinkPhase = 0;

  int32_t m_MsgResponse = 0;
  bool unloading_ = false;
};

// The main window's single instance.
extern QPointer<frmReelwise> gMainForm;

// Program-wide state of the main window shell.
extern int32_t gWindowMode;       // 1 library, 2 compact
extern bool gTVOutMode;
extern int32_t gBrowserMode;      // 1 tiles, 2 list, 3 carousel
extern int32_t gBrowserIndex;     // current result, 1-based; 0 none
extern float gTileColumns;        // tiles per row
extern float gTileRowsVisible;    // whole tile rows that fit the tile grid
extern ctl::TreeView* gTreeHwnd;  // the library tree
extern bool gAddingFiles;         // an add-files run is in progress
extern bool gCategoryMenuBuilt;   // the find-similar category menu is current
