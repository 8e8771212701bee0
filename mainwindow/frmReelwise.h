#pragma once
// The main window: the program's own title bar, the menu and tool bands and
// the welcome page, with one pane per subsystem laid out around them: the
// library tree, the results (result grids, browser toolbar), the inspector with
// the preview transport bar, the carousel's canvas, the import's and the
// options' parts. The window composes the panes, lays them out, routes
// commands and keys, and keeps the window-wide state; each pane owns its
// controls and procedures, reached as gMainForm->Tree()... The form works
// in pixels.
//
// Loading runs Form_Initialize, then Form_Load, whose first act is
// InitMainWindow. Closing runs Form_QueryUnload, then Form_Unload, which
// hands over to the program's shut-down.
#include "library/ViewSpec.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/Toolbar.h"
#include "ui/AnimatedPicture.h"
#include "ui/DragState.h"
#include "ui/ISubclass.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace MainMenu {
struct Entry;
}
namespace ctl {
class Node;
class TreeView;
}  // namespace ctl
class LibraryTreePane;
class ResultsPane;
class CarouselPane;
class ImportPane;
class InspectorPane;
class OptionsPane;
class MainWindowHosts;
class QAction;
class QKeyEvent;
class QMenu;
class cMDISplit;
class cPopupMenu;
class cwProgress;

class frmReelwise : public QWidget, public ISubclass {
 public:
  frmReelwise();
  ~frmReelwise() override;

  // Loads the form: Form_Initialize, then Form_Load. Failures reach the caller.
  void Load();

  // The panes.
  LibraryTreePane& Tree() const { return *tree_; }
  ResultsPane& Results() const { return *results_; }
  InspectorPane& Inspector() const { return *inspector_; }
  CarouselPane& Carousel() const { return *carousel_; }
  ImportPane& Import() const { return *import_; }
  OptionsPane& Options() const { return *options_; }

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
  // The hidden picture holding the rebar's band, the banner logo beside the
  // menu bar and the trim under it, all in the colour scheme.
  ctl::PictureBox* Picture1;
  ctl::PictureBox* picBannerLogo;
  ctl::Image* imgBanner;
  ctl::PictureBox* shpMenuTrim;
  ctl::Toolbar* tbrMenu;
  ctl::Toolbar* cToolbar1;
  ctl::Toolbar* tbMain;
  // Welcome page, over the tree pane while no library is open.
  ctl::PictureBox* picWelcomeHolder;
  ctl::PictureBox* picWelcome;
  std::array<ctl::Image*, 2> imgWelcome{};
  std::array<ctl::Label*, 2> lblWelcome{};
  ctl::Label* lblWelcomeTitle;
  ctl::Label* lblWelcomeBegin;
  ctl::Image* imgWelcomeLogo;
  // Image lists.
  ctl::ImageList imglistToolBar;
  ctl::ImageList imglstMenus;
  ctl::ImageList imglstReelwise;
  ctl::ImageList ilStateIcons;
  ctl::ImageList imglstDragIcons;
  ctl::ImageList imglstControlBoxNormal;
  ctl::ImageList imglstViewSpec;
  // The results' and the file tags' context menus.
  QMenu* mnuResultsPopUp;
  QMenu* mnuFileTagsPopUp;
  QAction* mnuRecentFiles;
  QAction* mnuClearSelections;
  QAction* mnuDeleteFile;
  QAction* mnuRemoveFile;
  QAction* mnuDefault;
  // The external applications in "External Apps": items 1 to 30 stand for
  // the entries of gExternalApps, item 0 is never shown.
  std::vector<QAction*> mnuApp;
  QAction* mnuOpenWith;
  QAction* mnuAnalyze;
  QAction* mnuFileProperties;
  QAction* mnuOpenFolder;
  QMenu* mnuFindSimilar;
  // Item 0 is the template ("Category 1"); 1 to n the tags of gSavedItem's
  // file, each carrying "ID" and its TagID as data.
  std::vector<QAction*> mnuCategory;
  QAction* mnuFilePoster;
  QAction* mnuGetSimilarFiles;
  QAction* mnuLocateTag;

  // Form-level state.
  std::unique_ptr<cwProgress> progProgress;
  std::unique_ptr<cPopupMenu> m_cMenu;
  std::unique_ptr<cMDISplit> m_cSplitLeft;
  int32_t m_GUILayout = 1;
  int32_t m_MinTrackWidth = 0;
  int32_t m_MinTrackHeight = 0;
  // What a drag inside the window carries, shared by the panes.
  DragState m_DragState;

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
  // The main menu's items and commands, in the order the menu shows them.
  static std::span<const MainMenu::Entry> MainMenuTable();
  // Lays the menu and tool bands out and colours the menu in the scheme
  // colours; runs again whenever the colour scheme changes.
  void BuildRebar();
  // Lays the panes out for the window's size; sets gTileColumns and
  // gTileRowsVisible.
  void LayoutPanes();
  // Puts the tag cloud beside the window, or inside it under its title bar,
  // menus and toolbar, on the work area; a cloud put before stays where it
  // is while it lies clear of those bands.
  void PlaceTagCloud(QWidget& cloud) const;
  // Lays out the preview panel and transport bar (-1: library-mode geometry).
  void ResizeCompactGUI(int32_t lFlag);
  // The external-application menu items for a file in a context.
  void InitExternalAppMenus(const QString& FileName, int16_t Context, bool ToolsOnly);
  // Rebuilds the "Find Similar Files" submenu for gSavedItem.
  void InitSimilarFilesMenu();
  // The results' context menu for gCurrentItem at the pointer.
  void ShowResultsPopup();
  // The same menu for the inspected item, which the inspector put in gSavedItem.
  void ShowInspectorPopup();
  // The busy animation of the title bar.
  void ShowBusyIndicator(bool on);
  // Opens (true) or closes the browser, tree and inspector to the user while
  // a library loads or the view switches.
  void SetBrowserControlsEnabled(bool on);
  // Flips the mark of a menu item; returns the new mark.
  bool ToggleMenuCheck(const QString& key);

  // The result export and opening a library (frmReelwise_export.cpp).
  void OpenLibraryDialog();
  void ExportBrowserToCSV();
  // The context menus' commands (frmReelwise_popups.cpp), on gSavedItem
  // unless said otherwise.
  void mnuCategory_Click(int Index);
  void mnuGetSimilarFiles_Click();
  void mnuClearSelections_Click();
  void mnuDefault_Click();
  void mnuApp_Click(int16_t Index);
  void mnuOpenWith_Click();
  void mnuFileProperties_Click();
  void mnuOpenFolder_Click();
  void mnuAnalyze_Click();
  // The story board command (frmReelwise_storyboard.cpp).
  void mnuFilePoster_Click();
  // The poster of gSavedItem over the glass; an offline or empty item opens
  // nothing (false). The story board shows it when the options turned to the
  // poster.
  bool ShowPoster();
  // TV-Out and full-screen modes (frmReelwise_tvout.cpp). TV-Out: true
  // enters, false leaves. Full screen: Force enters even when it is on;
  // Layout lays the panes out afterwards.
  void ToggleTVOutMode(bool On);
  void ToggleFullScreen(bool Layout, bool Force);
  // Deletes the file of gSavedItem (or every selected file) from disk and
  // library, or removes it from the library only, after asking.
  void mnuDeleteFile_Click();
  void mnuRemoveFile_Click();
  // The window's Tag: "REDO" while the story board asks to be shown again.
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }

  // The title bar and the window modes (frmReelwise_titlebar.cpp).
  // Switches to "COMPACT" (the preview panel alone, as a small player
  // window) or back to "LIBRARY"; any other text, or the mode the window is
  // in, changes nothing. m_RequestedWindowMode is the mode last switched to.
  void SetWindowMode(const QString& Mode);
  QString m_RequestedWindowMode;
  // A left press on the caption moves the window once the pointer moves on.
  void picCaption_MouseDown(int Button, int Shift, double X, double Y);
  void lblCaption_MouseDown(int Button, int Shift, double X, double Y);
  // Compact mode: the preview's video full screen; library mode: maximise
  // or restore.
  void picCaption_DblClick();
  void lblCaption_DblClick();
  // "MIN", "RESTORE", "CLOSE" and "MODE"; other keys do nothing.
  void tbControlBox_ButtonClick(ctl::Button& Button);
  // The tray icon's mouse messages arrive as moves whose X is the message:
  // a left press (513) brings the window back and removes the icon.
  void picWindowHeader_MouseMove(int Button, int Shift, double X, double Y);
  void picWindowHeader_Resize();

  // ISubclass: the main window's own window messages.
  int32_t ISubclass_MsgResponse() override;
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override;

  // Called with each step number of InitMainWindow before the step runs, so
  // that a test can follow the construction or make a step fail.
  static std::function<void(int step)> LoadStepHook;
  // The program's shut-down, which Form_Unload hands over to; start-up
  // connects it (app/UpwardCalls.cpp).
  static std::function<void(const QString& formName)> ShutDownHook;
  // Closes the window as the user would, but asks nothing: the program is
  // told to end (the session logs out, a terminal's Ctrl+C).
  void CloseWithoutQuestions();

  // What the layers below ask of this window. Start-up connects their hooks
  // to these (app/UpwardCalls.cpp); nothing here sets a hook.
  // The full-screen player: the position timer (Browser Timer1) and the
  // display's fade timer (Inspector Timer2).
  void SetPositionTimer(bool on);
  void RestartFade();
  void StopFade();
  void SetFadeInterval(int ms);
  // The options dialog: a new colour scheme repaints the panes and the
  // carousel; the delete command's caption follows the recycle-bin setting;
  // the results' cursor colour follows a new choice at once.
  void RepaintInScheme();
  void SetDeleteMenuCaption(bool toRecycleBin);
  void FollowCursorColour(COLORREF colour);
  // The external applications' page: the caption of mnuApp item n.
  void SetAppCaption(int n, const QString& caption);
  // The external-application launcher: gInspectedItem loaded again after a
  // program has run.
  void ReloadInspector();
  // The tag cloud: the node selected in the library tree and scrolled to the
  // top of its view.
  void RevealTreeNode(ctl::TreeView& tree, ctl::Node* node);
  // The story board: the options dialog on its page, and the focus back to
  // the control that had it.
  void ShowOptions(int16_t group);
  void RestoreFocus();

  // The menu bar by keyboard: Alt with a caption's underlined letter opens
  // its menu, Left and Right in an open menu go to the menu beside it. The
  // keys of an earlier call go, so a menu bar built again keeps one of each.
  void ConnectMenuBarKeys();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  friend class MainWindowHosts;
  QString tag_;

  // The title bar's events and the two halves of a mode switch
  // (frmReelwise_titlebar.cpp).
  void ConnectTitleBar();
  // Ctrl+Q and the title bar's close box reach the window while work holds
  // the input gate (platform/InputGate.h; frmReelwise_lifecycle.cpp).
  void ConnectInputGate();
  // True when a full-screen run must end before the window closes
  // (frmReelwise_lifecycle.cpp).
  bool CloseAfterFullScreenRun();
  bool closeAfterRun_ = false;
  // True when long work (the add-files run, a story board) must end before
  // the window closes.
  bool CloseAfterLongWork();
  void EnterCompactMode();
  void EnterLibraryMode();
  void ShowLibraryControls(bool show);
  void EnterTVOutMode();
  void LeaveTVOutMode();
  // The window manager's WindowState and the tree pane's width, taken when a
  // mode that changes them is entered, so that leaving it goes back to the
  // window and the splitter the user left.
  struct WindowReturn {
    int32_t State = 0;
    double TreeWidth = 0;
  };
  WindowReturn CurrentWindowReturn() const;
  void ReturnTo(const WindowReturn& back);
  // Taken when compact mode was entered, and when TV-Out or full-screen mode
  // was entered from the plain library window.
  WindowReturn m_BeforeCompact;
  WindowReturn m_BeforeFullScreen;
  // The widget that had the focus when compact mode was entered.
  QPointer<QWidget> m_FocusBeforeCompact;
  // True while SetWindowMode runs.
  bool m_SwitchingMode = false;

  // Design-time controls and their properties (frmReelwise_design.cpp).
  void CreateControls();
  void CreateTitleBar();
  void CreateWelcomePage();
  void CreateMenus();
  void CreateExternalAppItems(QMenu* apps);
  void InitToolsAppMenu();
  void ConnectPopupCommands();
  void LoadImageLists();

  // Construction (frmReelwise_init.cpp).
  void Form_Initialize();
  void Form_Load();
  void InitMainWindow();
  void InitTitleBar();
  void InitWelcomePage();
  // The panels in the scheme colours, after a colour scheme is applied.
  void PaintInSchemeColours();

  // The colour scheme's pictures and colours (frmReelwise_scheme.cpp).
  void CreateSchemeControls();
  void ApplySchemePictures();
  void PaintSchemeGrids();
  void PaintSchemeCaption();
  void PaintLibraryTree();
  void PlaceBannerLogo();

  // Pane layout (frmReelwise_layout.cpp).
  void LayoutBottomToolbars();
  void SnapSplitterRequest();
  void picBottom_Resize();
  void picBottomFrame_Resize();
  void picFlexFrame_GotFocus();
  void ConnectLayoutEvents();

  // Lifecycle (frmReelwise_lifecycle.cpp).
  bool Form_QueryUnload();
  void Form_Unload();
  void Form_Resize();
  void Form_Activate();
  void Form_Deactivate();
  // Compact mode's keys: play or pause, leave full screen or compact mode,
  // the compact sizes, and the transport's jumps.
  void Form_KeyDown(int KeyCode, int Shift);
  // The welcome page's links: 0 opens a library, 1 makes a new one.
  void imgWelcome_Click(int Index);
  void lblWelcome_Click(int Index);
  void m_cSplitLeft_SplitterResized();
  void OnSystemCommand(intptr_t command);
  void SubclassMessages(bool attach);

  // Menus (frmReelwise_menu.cpp).
  void BuildMainMenu();
  void SetInterfaceStyle();
  void m_cMenu_Click(int ItemNumber);
  void tbrMenu_ButtonClick(ctl::Button& Button);
  // The keys ConnectMenuBarKeys made last, with the menus' filter.
  QPointer<QObject> m_menuBarKeys;
  // Opens the menu of the menu bar's item `key` under its button; opened by
  // the keyboard, its first item is highlighted.
  void OpenMenuBarMenu(const QString& key, bool byKeyboard);
  void StepMenuBar(QMenu* from, int step);

  // The command dispatcher's steps (frmReelwise_commands.cpp).
  void RunCommand(const QString& sCommand);
  void SetRadioGroup(std::initializer_list<const char*> keys, const char* chosen);
  void SetResultKind(ResultScope kind, const char* key, const char* button);
  void SetStorageFilter(StorageFilter filter, const char* key, const char* image, const char* toolTip);
  void ShowDialogOverGlass(QWidget& dialog);
  void RunPlaylist();
  void ShowOrHideInspector();
  void ShowOrHideTagCloud();
  void ShowDuplicates();
  void SetGUILayout(int32_t layout);
  void OpenHelpPage(const QString& address);
  // The marks of the browser view's menu item and toolbar button.
  void MarkBrowserView(int32_t mode);

  // Toolbars (frmReelwise_toolbars.cpp).
  void tbMain_ButtonClick(ctl::Button& Button);
  void tbMain_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu);
  void tbFileBrowser_ButtonClick(ctl::Button& Button);
  void tbFileBrowser_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu);

  std::unique_ptr<MainWindowHosts> hosts_;
  std::unique_ptr<LibraryTreePane> tree_;
  std::unique_ptr<ResultsPane> results_;
  std::unique_ptr<CarouselPane> carousel_;
  std::unique_ptr<InspectorPane> inspector_;
  std::unique_ptr<ImportPane> import_;
  std::unique_ptr<OptionsPane> options_;
  int32_t m_MsgResponse = 0;
  bool unloading_ = false;
  bool unattended_ = false;
};

// The main window's single instance.
extern QPointer<frmReelwise> gMainForm;
