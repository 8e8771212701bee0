// The command dispatcher: every menu key, toolbar button, shortcut, the
// welcome page, the carousel's menus, the tag cloud, the options dialog and
// start-up hand it a menu key. Keys are compared exactly; a key that names
// no command does nothing.
//
// The menu items' marks are the state of the toggles and modes: a toggle
// reads its item's mark and sets the negation, and the program-wide flag,
// the toolbar button and the window follow. Modes set their marks and
// buttons before the results are run again, so the controls already show the
// new mode while the library works.
#include "mainwindow/frmReelwise.h"

#include "platform/ErrorGuard.h"
#include "browser/BrowserPane.h"
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
#include "mainwindow/cPopupMenu.h"
#include "options/OptionsPane.h"
#include "options/frmProgramOptions.h"
#include "platform/RWError.h"
#include "player/clsRWPlayer.h"
#include "player/frmDSSink.h"
#include "ui/frmAboutReelwise.h"
#include "ui/frmGlass.h"

#include <QApplication>
#include <QEventLoop>

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

void frmReelwise::MainToolbarHandler(const QString& sCommand) {
  ErrorGuard().Run([&] { RunCommand(sCommand); });
}

void frmReelwise::RunCommand(const QString& sCommand) {
  using Run = void (*)(frmReelwise&);
  struct Command {
    const char* key;
    Run run;
  };
  static const Command commands[] = {
      {"mnuLibraryNew", [](frmReelwise&) { Library().SaveLibraryAsDialog(true); }},
      {"mnuLibraryOpen", [](frmReelwise& f) { f.OpenLibraryDialog(); }},
      {"mnuLibrarySaveAs", [](frmReelwise&) { Library().SaveLibraryAsDialog(false); }},
      {"mnuLibraryAddFiles",
       [](frmReelwise& f) {
         if (LibraryOpen()) f.Import().AddScannedFiles();
       }},
      {"mnuLibraryInfo", [](frmReelwise& f) { f.ShowOptions(5); }},
      {"mnuLibrarySaveWorkspace",
       [](frmReelwise& f) { gSaveWorkspace = f.ToggleMenuCheck(QStringLiteral("mnuLibrarySaveWorkspace")); }},
      {"mnuLibraryQuitRW2", [](frmReelwise& f) { f.close(); }},
      {"mnuBrowserRefresh", [](frmReelwise&) { Library().RefreshResults(); }},
      {"mnuBrowserBack",
       [](frmReelwise&) {
         if (gCarousel) gCarousel->WipeDirection = QStringLiteral("L");
         int16_t index = static_cast<int16_t>(Library().HistoryIndex() - 1);
         Library().SetHistoryIndex(index);
       }},
      {"mnuBrowserForward",
       [](frmReelwise&) {
         if (gCarousel) gCarousel->WipeDirection = QStringLiteral("M");
         int16_t index = static_cast<int16_t>(Library().HistoryIndex() + 1);
         Library().SetHistoryIndex(index);
       }},
      {"mnuBrowserSelectAll", [](frmReelwise& f) { f.Browser().ApplySelection(QStringLiteral("Select"), 0, 0); }},
      {"mnuBrowserSelectNone", [](frmReelwise& f) { f.Browser().ApplySelection(QStringLiteral("De-select"), 0, 0); }},
      {"mnuBrowserSelectInverse", [](frmReelwise& f) { f.Browser().ApplySelection(QStringLiteral("Invert"), 0, 0); }},
      {"mnuBrowserMatchingFiles",
       [](frmReelwise& f) { f.SetResultKind(ResultScope::File, "mnuBrowserMatchingFiles", "FILE"); }},
      {"mnuBrowserSegmentsFromFiles",
       [](frmReelwise& f) {
         f.SetResultKind(ResultScope::SegmentsOfFiles, "mnuBrowserSegmentsFromFiles", "SEGMENT_FROM_FILE");
       }},
      {"mnuBrowserMatchingSegments",
       [](frmReelwise& f) { f.SetResultKind(ResultScope::Segment, "mnuBrowserMatchingSegments", "SEGMENT"); }},
      {"mnuBrowserStorageAll",
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::All, "mnuBrowserStorageAll", "ALL_DISKS",
                            "Currently showing all files (Online and Offline)");
       }},
      {"mnuBrowserStorageOnline",
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::Online, "mnuBrowserStorageOnline", "ONLINE_DISKS",
                            "Currently showing Online files only");
       }},
      {"mnuBrowserStorageOffline",
       [](frmReelwise& f) {
         f.SetStorageFilter(StorageFilter::Offline, "mnuBrowserStorageOffline", "OFFLINE_DISKS",
                            "Currently showing Offline files only");
       }},
      {"mnuToolsFindFiles",
       [](frmReelwise& f) {
         if (!LibraryOpen()) return;
         frmFindFiles find;
         f.ShowDialogOverGlass(find);
         f.RestoreFocus();
       }},
      {"mnuToolsShowDuplicates", [](frmReelwise& f) { f.ShowDuplicates(); }},
      {"mnuToolsShowMissing", [](frmReelwise&) { Library().GetMissingFiles(); }},
      {"mnuToolsShowMissingThumbs", [](frmReelwise&) { Library().GetMissingThumnails(); }},
      {"mnuToolsRunPlaylist", [](frmReelwise& f) { f.RunPlaylist(); }},
      {"mnuToolsRandomPlayback",
       [](frmReelwise& f) {
         gRandomPlayback = f.ToggleMenuCheck(QStringLiteral("mnuToolsRandomPlayback"));
         f.tbMain->Buttons(QStringLiteral("SHUFFLE")).SetValue(gRandomPlayback ? ctl::tbrPressed : ctl::tbrUnpressed);
         gPlayQueueBuilt = false;
       }},
      {"mnuToolsExportCSV", [](frmReelwise& f) { f.ExportBrowserToCSV(); }},
      {"mnuToolsMediaInfo",
       [](frmReelwise& f) {
         gSavedItem = gCurrentItem;
         f.mnuAnalyze_Click();
       }},
      {"mnuToolsCreatePoster",
       [](frmReelwise& f) {
         gSavedItem = gCurrentItem;
         f.mnuFilePoster_Click();
       }},
      {"mnuToolsExternalAppSetup", [](frmReelwise& f) { f.ShowOptions(2); }},
      {"mnuToolsOptions",
       [](frmReelwise& f) {
         f.Browser().flexThumbsTiled_LeaveCell();
         f.Browser().flexThumbsList_LeaveCell();
         f.ShowOptions(1);
       }},
      {"mnuViewGUIStandard", [](frmReelwise& f) { f.SetGUILayout(1); }},
      {"mnuViewGUIAlternate", [](frmReelwise& f) { f.SetGUILayout(2); }},
      {"mnuViewTile", [](frmReelwise& f) { f.Browser().ShowTileView(); }},
      {"mnuViewList", [](frmReelwise& f) { f.Browser().ShowListView(); }},
      {"mnuViewCarousel", [](frmReelwise& f) { f.Browser().ShowCarouselView(); }},
      {"mnuViewInspector", [](frmReelwise& f) { f.ShowOrHideInspector(); }},
      {"mnuViewExpandSpecs", [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(1); }},
      {"mnuViewExpandPreview", [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(2); }},
      {"mnuViewExpandCataloguing", [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(3); }},
      {"mnuViewExpandSegments", [](frmReelwise& f) { f.Inspector().lblCollapseTab_Click(4); }},
      {"mnuViewTagCloud", [](frmReelwise& f) { f.ShowOrHideTagCloud(); }},
      {"mnuTV-Out", [](frmReelwise& f) { f.ToggleTVOutMode(f.ToggleMenuCheck(QStringLiteral("mnuTV-Out"))); }},
      {"mnuViewFullScreen", [](frmReelwise& f) { f.ToggleFullScreen(true, false); }},
      {"mnuHelpUserGuide",
       [](frmReelwise& f) { f.OpenHelpPage(kForumSite + QStringLiteral("index-of-content-t50.html")); }},
      {"mnuHelpForum", [](frmReelwise& f) { f.OpenHelpPage(kForumSite); }},
      {"mnuHelpBlog", [](frmReelwise& f) { f.OpenHelpPage(kBlogSite); }},
      {"mnuHelpDailyTip", [](frmReelwise&) { modReelwise::ShowTipOfTheDay(); }},
      {"mnuHelpAbout",
       [](frmReelwise& f) {
         frmAboutReelwise about;
         f.ShowDialogOverGlass(about);
       }},
  };
  for (const Command& command : commands) {
    if (sCommand == QLatin1String(command.key)) {
      command.run(*this);
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
  Browser().tbFileBrowser->Buttons(QLatin1String(button)).SetValue(ctl::tbrPressed);
  SetRadioGroup({"mnuBrowserMatchingFiles", "mnuBrowserSegmentsFromFiles", "mnuBrowserMatchingSegments"}, key);
  Library().RefreshResults();
}

// The filter lives in gOnlineFilter, not in the view spec, so it holds for
// every later refresh.
void frmReelwise::SetStorageFilter(StorageFilter filter, const char* key, const char* image, const char* toolTip) {
  ctl::Button& button = Browser().tbFileBrowser->Buttons(QStringLiteral("SD_FILTER"));
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

void frmReelwise::ShowDialogOverGlass(QWidget& dialog) {
  frmGlass glass;
  glass.ShowOver(this);
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
  Browser().flexThumbsTiled_LeaveCell();
  Browser().flexThumbsList_LeaveCell();
  gPlayStartIndex = 0;
  if (gCarousel) {
    gCarousel->SaveContext();
    gCarousel->Broadcast(QStringLiteral("O"), 0, 50);
  }
  frmDSSink player;
  RunModal(player, this);
  Browser().SetBrowserIndex(gCurrentItem.SegmentID);
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

void frmReelwise::ShowOrHideTagCloud() {
  gTagCloudShown = ToggleMenuCheck(QStringLiteral("mnuViewTagCloud"));
  ctl::Button& cloud = tbMain->Buttons(QStringLiteral("CLOUD"));
  cloud.SetValue(ctl::tbrPressed);
  if (gTagCloudShown) {
    TagCloudForm().show();
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
  Browser().ShowListView();
  for (int16_t column : {0, 5, 9, 7}) Browser().SortListColumn(column);
}

void frmReelwise::SetGUILayout(int32_t layout) {
  m_GUILayout = layout;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegGeneral, QStringLiteral("GUILayout"), layout);
  Form_Resize();
}

void frmReelwise::OpenHelpPage(const QString& address) { TheDesktopShell().OpenUrl(address); }
