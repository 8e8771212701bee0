// The command dispatcher: every menu key, toolbar button, shortcut, the
// welcome page, the carousel's menus, the tag cloud, the options dialog and
// start-up hand it a menu key, which the main menu's table maps to its
// command. Keys are compared exactly; a key that names no command does
// nothing.
//
// The menu items' marks are the state of the toggles and modes: a toggle
// reads its item's mark and sets the negation, and the program-wide flag,
// the toolbar button and the window follow. Modes set their marks and
// buttons before the results are run again, so the controls already show the
// new mode while the library works.
#include "mainwindow/frmReelwise.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "browser/frmFindFiles.h"
#include "carousel/cCarousel.h"
#include "carousel/frmTagCloud.h"
#include "core/DesktopShell.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/MainMenu.h"
#include "options/OptionsPane.h"
#include "options/frmProgramOptions.h"
#include "platform/ErrorGuard.h"
#include "platform/InputGate.h"
#include "platform/RWError.h"
#include "platform/cPopupMenu.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "ui/WorkArea.h"
#include "ui/frmAboutReelwise.h"
#include "ui/frmGlass.h"

#include <QApplication>
#include <QEventLoop>
#include <QWindow>

namespace {

// The program's web pages.
const QString kForumSite = QStringLiteral("https://forum.reelwise.example/");
const QString kBlogSite = QStringLiteral("https://blog.reelwise.example/");

constexpr int kErrObjectNotSet = 91;

clsRWLibrary& Library() {
  if (!gLibrary) throw RWError(kErrObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
  return *gLibrary;
}

bool LibraryOpen() { return Library().LibraryPath != gPlaceholderLibraryPath; }

// Holds the program's one redraw lock while a command changes the window,
// and releases it on every way out, but only when this command took it.
class RedrawLock {
 public:
  explicit RedrawLock(QWidget* window) : window_(window), taken_(modReelwise::SetWindowRedraw(window, true)) {}
  ~RedrawLock() {
    if (taken_) modReelwise::SetWindowRedraw(window_, false);
  }
  RedrawLock(const RedrawLock&) = delete;
  RedrawLock& operator=(const RedrawLock&) = delete;

 private:
  QWidget* window_;
  bool taken_;
};

// Ends a nested loop when its window is hidden or closed.
class ModalEnd : public QObject {
 public:
  ModalEnd(QWidget& window, QEventLoop& loop) : loop_(loop) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide || event->type() == QEvent::Close) loop_.quit();
    return false;
  }

 private:
  QEventLoop& loop_;
};

// Shows the window modally with the owner as its owner and returns when it
// has been closed. Timers, device events and further commands keep running.
void RunModal(QWidget& window, QWidget* owner) {
  window.setParent(owner, window.windowFlags() | Qt::Dialog);
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  if (window.isVisible()) {
    QEventLoop loop;
    ModalEnd end(window, loop);
    loop.exec(QEventLoop::DialogExec);
  }
  window.hide();
  window.setParent(nullptr);
}

}  // namespace

int frmReelwise::ExternalAppNumber(const QString& key) {
  static const QString prefix = QStringLiteral("mnuToolsExternalApps");
  if (!key.startsWith(prefix)) return 0;
  const QStringView rest = QStringView(key).mid(prefix.size());
  if (rest.isEmpty() || rest.size() > 2) return 0;
  for (QChar c : rest) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return 0;
  }
  const int n = rest.toInt();
  return n >= 1 && n <= kExternalAppCount ? n : 0;
}

// Every command asks the input gate first: while work the user steers holds
// it (the add-files run, the full-screen run, the playback engine's wait) a
// command would run inside that work, and is refused. Quitting is a request
// to close, which the window carries out once the work has stopped.
void frmReelwise::MainToolbarHandler(const QString& sCommand) {
  if (!InputGate::Admits() && sCommand != QLatin1String("mnuLibraryQuitRW2")) return;
  ErrorGuard().Run([&] { RunCommand(sCommand); });
}

// The menu tree in the order the items are added, with the command of each
// key. A shortcut follows the caption's tab.
std::span<const MainMenu::Entry> frmReelwise::MainMenuTable() {
  using namespace MainMenu;
  static const Entry table[] = {
      {0, "&Library", "mnuLibrary", nullptr, kNone, nullptr},
      {1, "-LIBRARY", "mnuLibraryHeader", nullptr, kHeader, nullptr},
      {1, "&New", "mnuLibraryNew", "NEW_LIB", kNone,
       [](frmReelwise&) { Library().SaveLibraryAsDialog(true); }},
      {1, "&Open...", "mnuLibraryOpen", "OPEN_LIB", kNone,
       [](frmReelwise& f) { f.OpenLibraryDialog(); }},
      {1, "Save As...\tF12", "mnuLibrarySaveAs", nullptr, kDisabled,
       [](frmReelwise&) { Library().SaveLibraryAsDialog(false); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Add Files...", "mnuLibraryAddFiles", "ADD_FILES", kNone,
       [](frmReelwise& f) {
         if (LibraryOpen()) f.Import().AddScannedFiles();
       }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Library Info...", "mnuLibraryInfo", "INFO", kNone,
       [](frmReelwise& f) { f.ShowOptions(5); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Save Workspace", "mnuLibrarySaveWorkspace", nullptr, kWorkspace,
       [](frmReelwise& f) { gSaveWorkspace = f.ToggleMenuCheck(QStringLiteral("mnuLibrarySaveWorkspace")); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Quit Reelwise II\tCtrl+Q", "mnuLibraryQuitRW2", nullptr, kNone,
       [](frmReelwise& f) { f.close(); }},
      {0, "&Browser", "mnuBrowser", nullptr, kNone, nullptr},
      {1, "-BROWSER", "mnuBrowserHeader", nullptr, kHeader, nullptr},
      {1, "Refresh\tF5", "mnuBrowserRefresh", "REFRESH", kNone,
       [](frmReelwise&) { Library().RefreshResults(); }},
      {1, "Go Back\tF4", "mnuBrowserBack", "BACKWARD", kNone,
       [](frmReelwise&) {
         if (gCarousel) gCarousel->WipeDirection = QStringLiteral("L");
         int16_t index = static_cast<int16_t>(Library().HistoryIndex() - 1);
         Library().SetHistoryIndex(index);
       }},
      {1, "Go Forward\tF6", "mnuBrowserForward", "FORWARD", kNone,
       [](frmReelwise&) {
         if (gCarousel) gCarousel->WipeDirection = QStringLiteral("M");
         int16_t index = static_cast<int16_t>(Library().HistoryIndex() + 1);
         Library().SetHistoryIndex(index);
       }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Select All\tCtrl+A", "mnuBrowserSelectAll", "SELECT_ALL", kNone,
       [](frmReelwise& f) { f.Results().ApplySelection(QStringLiteral("Select"), 0, 0); }},
      {1, "Select None\tCtrl+N", "mnuBrowserSelectNone", "SELECT_NONE", kNone,
       [](frmReelwise& f) { f.Results().ApplySelection(QStringLiteral("De-select"), 0, 0); }},
      {1, "Invert Selection\tCtrl+I", "mnuBrowserSelectInverse", "SELECT_INVERSE", kNone,
       [](frmReelwise& f) { f.Results().ApplySelection(QStringLiteral("Invert"), 0, 0); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Show Matching Files", "mnuBrowserMatchingFiles", "SHOW_FILES", kRadioOn,
       [](frmReelwise& f) { f.SetResultKind(ResultScope::File, "mnuBrowserMatchingFiles", "FILE"); }},
      {1, "Show Segments from Matching Files", "mnuBrowserSegmentsFromFiles", "SEGS_IN_FILES", kNone,
       [](frmReelwise& f) {
         f.SetResultKind(ResultScope::SegmentsOfFiles, "mnuBrowserSegmentsFromFiles", "SEGMENT_FROM_FILE");
       }},
      {1, "Show Matching Segments", "mnuBrowserMatchingSegments", "SHOW_SEGS", kNone,
       [](frmReelwise& f) { f.SetResultKind(ResultScope::Segment, "mnuBrowserMatchingSegments", "SEGMENT"); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Show All Files", "mnuBrowserStorageAll", nullptr, kRadioOn,
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::All, "mnuBrowserStorageAll", "ALL_DISKS",
                            "Currently showing all files (Online and Offline)");
       }},
      {1, "Show Online Files Only", "mnuBrowserStorageOnline", nullptr, kNone,
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::Online, "mnuBrowserStorageOnline", "ONLINE_DISKS",
                            "Currently showing Online files only");
       }},
      {1, "Show Offline Files Only", "mnuBrowserStorageOffline", nullptr, kNone,
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::Offline, "mnuBrowserStorageOffline", "OFFLINE_DISKS",
                            "Currently showing Offline files only");
       }},
      {0, "&Tools", "mnuTools", nullptr, kNone, nullptr},
      {1, "-TOOLS", "mnuToolsHeader", nullptr, kHeader, nullptr},
      {1, "Find Files...\tCtrl+F", "mnuToolsFindFiles", "SEARCH", kNone,
       [](frmReelwise& f) {
         if (!LibraryOpen()) return;
         frmFindFiles find;
         f.ShowDialogOverGlass(find);
         f.RestoreFocus();
       }},
      {1, "Library Maintenance", "mnuToolsLibraryMaintenance", "SPANNER", kNone, nullptr},
      {2, "Show 'Duplicate File' Candidates", "mnuToolsShowDuplicates", nullptr, kNone,
       [](frmReelwise& f) { f.ShowDuplicates(); }},
      {2, "Show Missing Files", "mnuToolsShowMissing", nullptr, kNone,
       [](frmReelwise&) { Library().GetMissingFiles(); }},
      {2, "Show Files that have no Thumbnail", "mnuToolsShowMissingThumbs", nullptr, kNone,
       [](frmReelwise&) { Library().GetMissingThumnails(); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Run Playlist\tCtrl+P", "mnuToolsRunPlaylist", "PLAY_SHOW", kNone,
       [](frmReelwise& f) { f.RunPlaylist(); }},
      {1, "Random Playback\tCtrl+R", "mnuToolsRandomPlayback", "SHUFFLE", kNone,
       [](frmReelwise& f) {
         gRandomPlayback = f.ToggleMenuCheck(QStringLiteral("mnuToolsRandomPlayback"));
         f.tbMain->Buttons(QStringLiteral("SHUFFLE")).SetValue(gRandomPlayback ? ctl::tbrPressed : ctl::tbrUnpressed);
         gPlayQueueBuilt = false;
       }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Export View data to CSV file...", "mnuToolsExportCSV", nullptr, kNone,
       [](frmReelwise& f) { f.ExportBrowserToCSV(); }},
      {1, "View detailed File information...", "mnuToolsMediaInfo", "MEDIAINFO", kNone,
       [](frmReelwise& f) {
         gSavedItem = gCurrentItem;
         f.mnuAnalyze_Click();
       }},
      {1, "Create Story Board...\tCtrl+S", "mnuToolsCreatePoster", "POSTER", kNone,
       [](frmReelwise& f) {
         gSavedItem = gCurrentItem;
         f.mnuFilePoster_Click();
       }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "External Applications", "mnuToolsExternalApps", nullptr, kNone, nullptr},
      {2, "None defined for this menu", "mnuToolsExternalApps", nullptr, kExternalApps, nullptr},
      {2, "-", "", nullptr, kNone, nullptr},
      {2, "Setup...", "mnuToolsExternalAppSetup", nullptr, kNone,
       [](frmReelwise& f) { f.ShowOptions(2); }},
      {1, "Options...\tCtrl+O", "mnuToolsOptions", "OPTIONS", kNone,
       [](frmReelwise& f) {
         f.Results().flexThumbsTiled_LeaveCell();
         f.Results().flexThumbsList_LeaveCell();
         f.ShowOptions(1);
       }},
      {0, "&View", "mnuView", nullptr, kNone, nullptr},
      {1, "-VIEW", "mnuViewHeader", nullptr, kHeader, nullptr},
      {1, "Tile View\tCtrl+T", "mnuViewTile", "TILE_VIEW", kRadioOn,
       [](frmReelwise& f) { f.Results().ShowTileView(); }},
      {1, "List View\tCtrl+L", "mnuViewList", "LIST_VIEW", kRadioOff,
       [](frmReelwise& f) { f.Results().ShowListView(); }},
      {1, "Carousel View\tCtrl+C", "mnuViewCarousel", "CAROUSEL_VIEW", kRadioOff,
       [](frmReelwise& f) { f.Results().ShowCarouselView(); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "File Inspector\tF3", "mnuViewInspector", "INSPECTOR", kChecked,
       [](frmReelwise& f) { f.ShowOrHideInspector(); }},
      {1, "Tab Visibility", "mnuViewTabVisibility", nullptr, kNone, nullptr},
      {2, "Expand Specifications Tab\tAlt+1", "mnuViewExpandSpecs", nullptr, kNone,
       [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(1); }},
      {2, "Expand Preview Tab\tAlt+2", "mnuViewExpandPreview", nullptr, kChecked,
       [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(2); }},
      {2, "Expand Segments Tab\tAlt+3", "mnuViewExpandSegments", nullptr, kChecked,
       [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(4); }},
      {2, "Expand Cataloguing Tab\tAlt+4", "mnuViewExpandCataloguing", nullptr, kChecked,
       [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(3); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Tag Cloud\tF9", "mnuViewTagCloud", "CLOUD", kNone,
       [](frmReelwise& f) { f.ShowOrHideTagCloud(); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "TV-Out Mode\tF10", "mnuTV-Out", "TV", kNone,
       [](frmReelwise& f) { f.ToggleTVOutMode(f.ToggleMenuCheck(QStringLiteral("mnuTV-Out"))); }},
      {1, "Full Screen\tF11", "mnuViewFullScreen", nullptr, kNone,
       [](frmReelwise& f) { f.ToggleFullScreen(true, false); }},
      {1, "", "mnuViewGUIStandard", nullptr, kNoItem, [](frmReelwise& f) { f.SetGUILayout(1); }},
      {1, "", "mnuViewGUIAlternate", nullptr, kNoItem, [](frmReelwise& f) { f.SetGUILayout(2); }},
      {0, "&Help", "mnuHelp", nullptr, kNone, nullptr},
      {1, "-HELP", "mnuHelpHeader", nullptr, kHeader, nullptr},
      {1, "User Guide", "mnuHelpUserGuide", "HELP", kNone,
       [](frmReelwise& f) { f.OpenHelpPage(kForumSite + QStringLiteral("index-of-content-t50.html")); }},
      {1, "Reelwise II Forum", "mnuHelpForum", "FORUM", kNone,
       [](frmReelwise& f) { f.OpenHelpPage(kForumSite); }},
      {1, "Reelwise II Blog", "mnuHelpBlog", "BLOG", kNone,
       [](frmReelwise& f) { f.OpenHelpPage(kBlogSite); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "Tip of the Day...\tF1", "mnuHelpDailyTip", "BULB", kNone,
       [](frmReelwise&) { modReelwise::ShowTipOfTheDay(); }},
      {1, "-", "", nullptr, kNone, nullptr},
      {1, "About Reelwise II...", "mnuHelpAbout", nullptr, kNone,
       [](frmReelwise& f) {
         frmAboutReelwise about;
         f.ShowDialogOverGlass(about);
       }},
  };
  return table;
}

void frmReelwise::RunCommand(const QString& sCommand) {
  for (const MainMenu::Entry& entry : MainMenuTable()) {
    if (entry.run && sCommand == QLatin1String(entry.key)) {
      entry.run(*this);
      return;
    }
  }
  // The Tools menu's external applications; its placeholder item 0 starts nothing.
  int16_t app = static_cast<int16_t>(ExternalAppNumber(sCommand));
  if (app > 0) Options().LaunchExternalApp(app);
}

bool frmReelwise::ToggleMenuCheck(const QString& key) {
  if (!m_cMenu) return false;
  const int item = m_cMenu->IndexForKey(key);
  m_cMenu->SetChecked(item, !m_cMenu->Checked(item));
  return m_cMenu->Checked(item);
}

void frmReelwise::SetRadioGroup(std::initializer_list<const char*> keys, const char* chosen) {
  for (const char* key : keys) {
    m_cMenu->SetRadioChecked(m_cMenu->IndexForKey(QLatin1String(key)), qstrcmp(key, chosen) == 0);
  }
}

void frmReelwise::MarkBrowserView(int32_t mode) {
  static const char* const keys[] = {"", "mnuViewTile", "mnuViewList", "mnuViewCarousel"};
  static const char* const buttons[] = {"", "TILE_VIEW", "LIST_VIEW", "CAROUSEL_VIEW"};
  if (mode < 1 || mode > 3) return;
  SetRadioGroup({keys[1], keys[2], keys[3]}, keys[mode]);
  tbMain->Buttons(QLatin1String(buttons[mode])).SetValue(ctl::tbrPressed);
}

// The result kind runs the view again even when it was the kind already shown.
void frmReelwise::SetResultKind(ResultScope kind, const char* key, const char* button) {
  gResultKind = kind;
  Results().tbFileBrowser->Buttons(QLatin1String(button)).SetValue(ctl::tbrPressed);
  SetRadioGroup({"mnuBrowserMatchingFiles", "mnuBrowserSegmentsFromFiles", "mnuBrowserMatchingSegments"}, key);
  Library().RefreshResults();
}

// The filter lives in gOnlineFilter, not in the view spec, so it holds for
// every later refresh.
void frmReelwise::SetStorageFilter(StorageFilter filter, const char* key, const char* image, const char* toolTip) {
  ctl::Button& button = Results().tbFileBrowser->Buttons(QStringLiteral("SD_FILTER"));
  button.SetImage(QLatin1String(image));
  button.SetToolTipText(QLatin1String(toolTip));
  SetRadioGroup({"mnuBrowserStorageAll", "mnuBrowserStorageOnline", "mnuBrowserStorageOffline"}, key);
  gOnlineFilter = filter;
  Library().RefreshResults();
}

void frmReelwise::ShowOptions(int16_t group) {
  frmProgramOptions options;
  options.OptionGroup = group;
  ShowDialogOverGlass(options);
  RestoreFocus();
}

// The overlay is unloaded on every way out, so a failing dialog leaves the
// main window undimmed.
void frmReelwise::ShowDialogOverGlass(QWidget& dialog) {
  struct GlassUnloader {
    ~GlassUnloader() { UnloadGlass(); }
  } unloader;
  ShowGlass(this);
  RunModal(dialog, this);
}

// Qt raises nothing here, so there is no error to pass over.
void frmReelwise::RestoreFocus() {
  if (QWidget* control = focusWidget()) control->setFocus(Qt::OtherFocusReason);
}

// The full-screen player plays the queue of the current results; afterwards
// the browser and the inspector show the segment it played last.
void frmReelwise::RunPlaylist() {
  if (Library().ResultCount <= 0) return;
  Results().flexThumbsTiled_LeaveCell();
  Results().flexThumbsList_LeaveCell();
  gPlayStartIndex = 0;
  if (gCarousel) {
    gCarousel->SaveContext();
    gCarousel->Broadcast(QStringLiteral("O"), 0, 50);
  }
  modMainPlayer::ShowFullScreenPlayer(this);
  Results().SetBrowserIndex(gCurrentItem.SegmentID);
  bool loaded = false;
  Inspector().LoadInspector(gInspectedItem, loaded);
}

void frmReelwise::ShowOrHideInspector() {
  RedrawLock lock(this);
  const bool shown = ToggleMenuCheck(QStringLiteral("mnuViewInspector"));
  tbMain->Buttons(QStringLiteral("INSPECTOR")).SetValue(shown ? ctl::tbrPressed : ctl::tbrUnpressed);
  Inspector().picBottom->SetHeight(shown ? 338 : 0);
  if (gPlayer) gPlayer->Pause();
  LayoutPanes();
  Library().DrawGridImages();
}

void frmReelwise::RevealTreeNode(ctl::TreeView& tree, ctl::Node* node) {
  Tree().SetTreeViewFirstVisibleNode(tree, node);
}

void frmReelwise::ShowOrHideTagCloud() {
  gTagCloudShown = ToggleMenuCheck(QStringLiteral("mnuViewTagCloud"));
  ctl::Button& cloud = tbMain->Buttons(QStringLiteral("CLOUD"));
  cloud.SetValue(ctl::tbrPressed);
  if (gTagCloudShown) {
    // A tool window of the main window: the window system keeps it above
    // it (without an owner it went under the main window).
    frmTagCloud& tagCloud = TagCloudForm();
    tagCloud.winId();
    if (QWindow* owner = windowHandle()) tagCloud.windowHandle()->setTransientParent(owner);
    PlaceTagCloud(tagCloud);
    tagCloud.show();
    WorkArea::Keep(&tagCloud);
    Library().ShowTagCloud(true);
  } else {
    if (gTagCloudForm) {
      gTagCloudForm->lower();
      gTagCloudForm->hide();
    }
    cloud.SetValue(ctl::tbrUnpressed);
  }
  setFocus(Qt::OtherFocusReason);
}

// The duplicate search runs first; the switch to the list and its sorting
// are one repaint.
void frmReelwise::ShowDuplicates() {
  Library().GetPotentialDuplicates();
  RedrawLock lock(this);
  Results().ShowListView();
  for (int16_t column : {0, 5, 9, 7}) Results().SortListColumn(column);
}

void frmReelwise::SetGUILayout(int32_t layout) {
  m_GUILayout = layout;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegGeneral, QStringLiteral("GUILayout"), layout);
  Form_Resize();
}

void frmReelwise::OpenHelpPage(const QString& address) { TheDesktopShell().OpenUrl(address); }
