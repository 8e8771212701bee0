// The main window's menu, the menu and tool bands, and the tool-button style.
#include "mainwindow/frmReelwise.h"

#include "core/modReelwise.h"
#include "mainwindow/cPopupMenu.h"
#include "ui/SchemeColours.h"
#include "resources/Resources.h"

#include <QMenu>

#include <algorithm>

namespace {

enum MenuFlag : unsigned {
  kNone = 0,
  kHeader = 1,         // a header: flagged and hidden
  kDisabled = 2,
  kChecked = 4,
  kRadioOn = 8,
  kRadioOff = 16,
  kWorkspace = 32,     // checked when the workspace is saved
  kExternalApps = 64,  // stands for the 31 external-application items
};

struct MenuEntry {
  int level;  // 0 the menu bar, 1 a menu's item, 2 a sub-menu's item
  const char* caption;
  const char* key;
  const char* icon;  // key in imglstMenus, or none
  unsigned flags;
};

// The menu tree in the order the items are added. A shortcut follows the
// caption's tab.
constexpr MenuEntry kMainMenu[] = {
    {0, "&Library", "mnuLibrary", nullptr, kNone},
    {1, "-LIBRARY", "mnuLibraryHeader", nullptr, kHeader},
    {1, "&New", "mnuLibraryNew", "NEW_LIB", kNone},
    {1, "&Open...", "mnuLibraryOpen", "OPEN_LIB", kNone},
    {1, "Save As...\tF12", "mnuLibrarySaveAs", nullptr, kDisabled},
    {1, "-", "", nullptr, kNone},
    {1, "Add Files...", "mnuLibraryAddFiles", "ADD_FILES", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Library Info...", "mnuLibraryInfo", "INFO", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Save Workspace", "mnuLibrarySaveWorkspace", nullptr, kWorkspace},
    {1, "-", "", nullptr, kNone},
    {1, "Quit Reelwise II\tCtrl+Q", "mnuLibraryQuitRW2", nullptr, kNone},

    {0, "&Browser", "mnuBrowser", nullptr, kNone},
    {1, "-BROWSER", "mnuBrowserHeader", nullptr, kHeader},
    {1, "Refresh\tF5", "mnuBrowserRefresh", "REFRESH", kNone},
    {1, "Go Back\tF4", "mnuBrowserBack", "BACKWARD", kNone},
    {1, "Go Forward\tF6", "mnuBrowserForward", "FORWARD", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Select All\tCtrl+A", "mnuBrowserSelectAll", "SELECT_ALL", kNone},
    {1, "Select None\tCtrl+N", "mnuBrowserSelectNone", "SELECT_NONE", kNone},
    {1, "Invert Selection\tCtrl+I", "mnuBrowserSelectInverse", "SELECT_INVERSE", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Show Matching Files", "mnuBrowserMatchingFiles", "SHOW_FILES", kRadioOn},
    {1, "Show Segments from Matching Files", "mnuBrowserSegmentsFromFiles", "SEGS_IN_FILES", kNone},
    {1, "Show Matching Segments", "mnuBrowserMatchingSegments", "SHOW_SEGS", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Show All Files", "mnuBrowserStorageAll", nullptr, kRadioOn},
    {1, "Show Online Files Only", "mnuBrowserStorageOnline", nullptr, kNone},
    {1, "Show Offline Files Only", "mnuBrowserStorageOffline", nullptr, kNone},

    {0, "&Tools", "mnuTools", nullptr, kNone},
    {1, "-TOOLS", "mnuToolsHeader", nullptr, kHeader},
    {1, "Find Files...\tCtrl+F", "mnuToolsFindFiles", "SEARCH", kNone},
    {1, "Library Maintenance", "mnuToolsLibraryMaintenance", "SPANNER", kNone},
    {2, "Show 'Duplicate File' Candidates", "mnuToolsShowDuplicates", nullptr, kNone},
    {2, "Show Missing Files", "mnuToolsShowMissing", nullptr, kNone},
    {2, "Show Files that have no Thumbnail", "mnuToolsShowMissingThumbs", nullptr, kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Run Playlist\tCtrl+P", "mnuToolsRunPlaylist", "PLAY_SHOW", kNone},
    {1, "Random Playback\tCtrl+R", "mnuToolsRandomPlayback", "SHUFFLE", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Export View data to CSV file...", "mnuToolsExportCSV", nullptr, kNone},
    {1, "View detailed File information...", "mnuToolsMediaInfo", "MEDIAINFO", kNone},
    {1, "Create Story Board...\tCtrl+S", "mnuToolsCreatePoster", "POSTER", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "External Applications", "mnuToolsExternalApps", nullptr, kNone},
    {2, "None defined for this menu", "mnuToolsExternalApps", nullptr, kExternalApps},
    {2, "-", "", nullptr, kNone},
    {2, "Setup...", "mnuToolsExternalAppSetup", nullptr, kNone},
    {1, "Options...\tCtrl+O", "mnuToolsOptions", "OPTIONS", kNone},

    {0, "&View", "mnuView", nullptr, kNone},
    {1, "-VIEW", "mnuViewHeader", nullptr, kHeader},
    {1, "Tile View\tCtrl+T", "mnuViewTile", "TILE_VIEW", kRadioOn},
    {1, "List View\tCtrl+L", "mnuViewList", "LIST_VIEW", kRadioOff},
    {1, "Carousel View\tCtrl+C", "mnuViewCarousel", "CAROUSEL_VIEW", kRadioOff},
    {1, "-", "", nullptr, kNone},
    {1, "File Inspector\tF3", "mnuViewInspector", "INSPECTOR", kChecked},
    {1, "Tab Visibility", "mnuViewTabVisibility", nullptr, kNone},
    {2, "Expand Specifications Tab\tAlt+1", "mnuViewExpandSpecs", nullptr, kNone},
    {2, "Expand Preview Tab\tAlt+2", "mnuViewExpandPreview", nullptr, kChecked},
    {2, "Expand Segments Tab\tAlt+3", "mnuViewExpandSegments", nullptr, kChecked},
    {2, "Expand Cataloguing Tab\tAlt+4", "mnuViewExpandCataloguing", nullptr, kChecked},
    {1, "-", "", nullptr, kNone},
    {1, "Tag Cloud\tF9", "mnuViewTagCloud", "CLOUD", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "TV-Out Mode\tF10", "mnuTV-Out", "TV", kNone},
    {1, "Full Screen\tF11", "mnuViewFullScreen", nullptr, kNone},

    {0, "&Help", "mnuHelp", nullptr, kNone},
    {1, "-HELP", "mnuHelpHeader", nullptr, kHeader},
    {1, "User Guide", "mnuHelpUserGuide", "HELP", kNone},
    {1, "Reelwise II Forum", "mnuHelpForum", "FORUM", kNone},
    {1, "Reelwise II Blog", "mnuHelpBlog", "BLOG", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "Tip of the Day...\tF1", "mnuHelpDailyTip", "BULB", kNone},
    {1, "-", "", nullptr, kNone},
    {1, "About Reelwise II...", "mnuHelpAbout", nullptr, kNone},
};

}  // namespace

void frmReelwise::BuildMainMenu() {
  m_cMenu = std::make_unique<cPopupMenu>(this);
  m_cMenu->SetImageList(&imglstMenus);
  m_cMenu->Click = [this](int item) { m_cMenu_Click(item); };
  // An icon is found by its key's place in the stored order of the list.
  const QStringList iconKeys = ImageListKeys(QStringLiteral("imglstMenus"));
  auto icon = [&](const char* key) { return key ? static_cast<int>(iconKeys.indexOf(QLatin1String(key))) : -1; };

  int parents[3] = {0, 0, 0};  // the last item added at each level
  for (const MenuEntry& entry : kMainMenu) {
    const int parent = entry.level > 0 ? parents[entry.level - 1] : 0;
    const bool checked = (entry.flags & kChecked) || ((entry.flags & kWorkspace) && gSaveWorkspace);
    auto add = [&](const QString& key) {
      return m_cMenu->AddItem(QString::fromUtf8(entry.caption), QString(), 0, parent, icon(entry.icon), checked,
                              true, key);
    };
    if (entry.flags & kExternalApps) {
      for (int n = 0; n <= kExternalAppCount; ++n) add(QLatin1String(entry.key) + QString::number(n));
      continue;
    }
    const int item = add(QLatin1String(entry.key));
    parents[entry.level] = item;
    if (entry.flags & kHeader) {
      m_cMenu->SetHeader(item, true);
      m_cMenu->SetVisible(item, false);
    }
    if (entry.flags & kDisabled) m_cMenu->SetEnabled(item, false);
    if (entry.flags & (kRadioOn | kRadioOff)) m_cMenu->SetRadioChecked(item, (entry.flags & kRadioOn) != 0);
  }

  cToolbar1->Buttons.Clear();
  cToolbar1->Buttons.Add(0, QStringLiteral("Dummy"), QStringLiteral("NULL"));
  cToolbar1->SetHeight(tbMain->Height());
  // The menu bar: one button per top-level item.
  tbrMenu->Buttons.Clear();
  for (int item : m_cMenu->TopLevelItems()) {
    tbrMenu->Buttons.Add(0, m_cMenu->ItemKey(item), m_cMenu->Caption(item).remove(QLatin1Char('&')));
  }
  BuildRebar();
}

// The rebar is as high as its tallest band; the main toolbar lies over it
// from just under the menu bar's text.
void frmReelwise::BuildRebar() {
  if (!m_cMenu) return;
  const int h = m_cMenu->ItemHeight(m_cMenu->IndexForKey(QStringLiteral("mnuLibrary")));
  m_cMenu->SetCustomColours(true, gSchemeColour1, gSchemeColour4, gSchemeColour2);

  // The band background: the top-left corner of the toolbar pattern, stretched.
  const QImage pattern = LoadResPicture(QStringLiteral("TB_BG"), kResBitmap);
  const QImage corner = pattern.copy(0, 0, 4, 4).scaled(5, std::max(1, h - 2));
  cReBar1->SetPicture(QPixmap::fromImage(corner));

  tbrMenu->SetHeight(h);
  const double rebarHeight = std::max(tbrMenu->Height(), cToolbar1->Height());
  cReBar1->Move(0, 0, picHolder->Width(), rebarHeight);
  tbrMenu->Move(0, 0, picHolder->Width(), h);
  picHolder->SetHeight(tbrMenu->Height() + rebarHeight - 4);
  tbMain->SetTop(tbrMenu->Height() - 4);
  // The toolbar covers the tool band and the menu bar's blank lower edge.
  tbMain->raise();
}

void frmReelwise::tbrMenu_ButtonClick(ctl::Button& Button) {
  QMenu* menu = m_cMenu ? m_cMenu->Menu(m_cMenu->IndexForKey(Button.Key())) : nullptr;
  if (menu) menu->popup(tbrMenu->mapToGlobal(QPoint(static_cast<int>(Button.Left()), tbrMenu->height())));
}

void frmReelwise::m_cMenu_Click(int ItemNumber) { MainToolbarHandler(m_cMenu->ItemKey(ItemNumber)); }

// Errors are passed over: a button without a picture of its own key keeps its picture.
void frmReelwise::SetInterfaceStyle() {
  tbMain->SetImageList(&imglistToolBar);
  for (const auto& button : tbMain->Buttons) {
    if (imglistToolBar.ListImages.Exists(button->Key())) button->SetImage(button->Key());
  }
  tbMain->Buttons(QStringLiteral("UI-STANDARD")).SetValue(m_GUILayout == 1 ? ctl::tbrPressed : ctl::tbrUnpressed);
  tbMain->Buttons(QStringLiteral("UI-ALTERNATE")).SetValue(m_GUILayout == 2 ? ctl::tbrPressed : ctl::tbrUnpressed);
}
