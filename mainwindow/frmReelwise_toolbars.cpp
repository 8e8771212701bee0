// The main toolbar and the browser toolbar: a button sends the menu key of
// its menu item, so that both do exactly the same. Keys are compared exactly.
#include "mainwindow/frmReelwise.h"

#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"

namespace {

struct ButtonCommand {
  const char* button;
  const char* command;
};

constexpr ButtonCommand kMainButtons[] = {
    {"NEW_LIB", "mnuLibraryNew"},
    {"OPEN_LIB", "mnuLibraryOpen"},
    {"ADD_FILES", "mnuLibraryAddFiles"},
    {"UI-STANDARD", "mnuViewGUIStandard"},
    {"UI-ALTERNATE", "mnuViewGUIAlternate"},
    {"INSPECTOR", "mnuViewInspector"},
    {"CLOUD", "mnuViewTagCloud"},
    {"BACKWARD", "mnuBrowserBack"},
    {"REFRESH", "mnuBrowserRefresh"},
    {"FORWARD", "mnuBrowserForward"},
    {"SEARCH", "mnuToolsFindFiles"},
    {"POSTER", "mnuToolsCreatePoster"},
    {"MEDIAINFO", "mnuToolsMediaInfo"},
    {"PLAY_SHOW", "mnuToolsRunPlaylist"},
    {"SHUFFLE", "mnuToolsRandomPlayback"},
    {"TILE_VIEW", "mnuViewTile"},
    {"LIST_VIEW", "mnuViewList"},
    {"CAROUSEL_VIEW", "mnuViewCarousel"},
    {"OPTIONS", "mnuToolsOptions"},
};

constexpr ButtonCommand kBrowserButtons[] = {
    {"FILE", "mnuBrowserMatchingFiles"},
    {"SEGMENT_FROM_FILE", "mnuBrowserSegmentsFromFiles"},
    {"SEGMENT", "mnuBrowserMatchingSegments"},
};

constexpr ButtonCommand kStorageEntries[] = {
    {"ALL_SDs", "mnuBrowserStorageAll"},
    {"ONLINE_SDs", "mnuBrowserStorageOnline"},
    {"OFFLINE_SDs", "mnuBrowserStorageOffline"},
};

// The command of a key in a table; empty when the key is not there.
template <size_t N>
QString CommandOf(const ButtonCommand (&table)[N], const QString& key) {
  for (const ButtonCommand& entry : table) {
    if (key == QLatin1String(entry.button)) return QLatin1String(entry.command);
  }
  return QString();
}

const QString kAutoRefreshOff = QStringLiteral("Turn ON Auto-Refresh");
const QString kAutoRefreshOn = QStringLiteral("Turn OFF Auto-Refresh");

}  // namespace

// "HISTORY" itself sends nothing: its entries are on its drop-down.
void frmReelwise::tbMain_ButtonClick(ctl::Button& Button) {
  // The information is about the browser's current result, not the inspected one.
  if (Button.Key() == QLatin1String("MEDIAINFO")) gSavedItem = gCurrentItem;
  MainToolbarHandler(CommandOf(kMainButtons, Button.Key()));
  tbMain->Refresh();
}

// A history entry's 1-based place is its history index.
void frmReelwise::tbMain_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu) {
  int16_t index = static_cast<int16_t>(ButtonMenu.Index());
  if (gLibrary) gLibrary->SetHistoryIndex(index);
}

void frmReelwise::tbFileBrowser_ButtonClick(ctl::Button& Button) {
  const QString& key = Button.Key();
  if (key == QLatin1String("REFRESH")) {
    if (gLibrary) gLibrary->RefreshResults();
  } else if (key == QLatin1String("SD_FILTER")) {
    // The filters take turns: all, online, offline, all.
    const QString& image = Button.Image();
    const char* next = image == QLatin1String("ALL_DISKS")      ? "ONLINE_SDs"
                       : image == QLatin1String("ONLINE_DISKS") ? "OFFLINE_SDs"
                                                                : "ALL_SDs";
    tbFileBrowser_ButtonMenuClick(Button.ButtonMenus(QLatin1String(next)));
  } else {
    const QString command = CommandOf(kBrowserButtons, key);
    if (!command.isEmpty()) MainToolbarHandler(command);
  }
}

// The auto-refresh entry's text offers the other state and so stores the
// current one; the refresh button's picture and gAutoRefresh follow it.
void frmReelwise::tbFileBrowser_ButtonMenuClick(ctl::ButtonMenu& ButtonMenu) {
  const QString& key = ButtonMenu.Key();
  if (key == QLatin1String("SAVE_VIEW")) {
    if (gLibrary) gLibrary->SaveView(gViewSpec, QString(), false);
  } else if (key == QLatin1String("AUTO_REFRESH")) {
    gAutoRefresh = ButtonMenu.Text() != kAutoRefreshOn;
    ButtonMenu.SetText(gAutoRefresh ? kAutoRefreshOn : kAutoRefreshOff);
    Results().tbFileBrowser->Buttons(QStringLiteral("REFRESH"))
        .SetImage(gAutoRefresh ? QStringLiteral("AUTO_REFRESH") : QStringLiteral("REFRESH"));
  } else {
    const QString command = CommandOf(kStorageEntries, key);
    if (!command.isEmpty()) MainToolbarHandler(command);
  }
}
