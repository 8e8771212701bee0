// The main menu as built at start-up, its marks, its shortcuts and the menu
// and tool bands.
#include "ui/SchemeColours.h"
#include "platform/ColorRef.h"
#include "tests/mainwindow/CommandRun.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using rwtest::CommandTest;

// The menu icons in their stored order: an icon's index is its place here.
const char* const kMenuIcons[] = {
    "TILE_VIEW",  "SPANNER",     "CAROUSEL_VIEW", "POSTER",      "MEDIAINFO",   "INSPECTOR",     "OPTIONS",
    "SEARCH",     "FORWARD",     "REFRESH",       "BACKWARD",    "CLOUD",       "NEW_LIB",       "OPEN_LIB",
    "ADD_FILES",  "LIST_VIEW",   "SAVE",          "DELETE_FILE", "DELETE",      "HEART",         "REMOVE_FILE",
    "REMOVE_TAG", "EDIT",        "PLAY_SHOW",     "SHUFFLE",     "SHOW_FILES",  "SHOW_SEGS",     "SEGS_IN_FILES",
    "SELECT_ALL", "SELECT_NONE", "SELECT_INVERSE", "INFO",       "BULB",        "HELP",          "FORUM",
    "BLOG",       "TV",          "UI-ALTERNATE",  "UI-STANDARD"};

int IconIndexOf(const char* key) {
  if (!key) return -1;
  for (int i = 0; i < static_cast<int>(std::size(kMenuIcons)); ++i) {
    if (qstrcmp(kMenuIcons[i], key) == 0) return i;
  }
  return -2;
}

struct Expected {
  const char* parent;  // the parent's key; "" for the menu bar
  const char* caption;
  const char* key;
  const char* icon;
};

// The menu tree in order; the 31 external-application items are checked apart.
const Expected kTree[] = {
    {"", "&Library", "mnuLibrary", nullptr},
    {"mnuLibrary", "-LIBRARY", "mnuLibraryHeader", nullptr},
    {"mnuLibrary", "&New", "mnuLibraryNew", "NEW_LIB"},
    {"mnuLibrary", "&Open...", "mnuLibraryOpen", "OPEN_LIB"},
    {"mnuLibrary", "Save As...\tF12", "mnuLibrarySaveAs", nullptr},
    {"mnuLibrary", "-", "", nullptr},
    {"mnuLibrary", "Add Files...", "mnuLibraryAddFiles", "ADD_FILES"},
    {"mnuLibrary", "-", "", nullptr},
    {"mnuLibrary", "Library Info...", "mnuLibraryInfo", "INFO"},
    {"mnuLibrary", "-", "", nullptr},
    {"mnuLibrary", "Save Workspace", "mnuLibrarySaveWorkspace", nullptr},
    {"mnuLibrary", "-", "", nullptr},
    {"mnuLibrary", "Quit Reelwise II\tCtrl+Q", "mnuLibraryQuitRW2", nullptr},
    {"", "&Browser", "mnuBrowser", nullptr},
    {"mnuBrowser", "-BROWSER", "mnuBrowserHeader", nullptr},
    {"mnuBrowser", "Refresh\tF5", "mnuBrowserRefresh", "REFRESH"},
    {"mnuBrowser", "Go Back\tF4", "mnuBrowserBack", "BACKWARD"},
    {"mnuBrowser", "Go Forward\tF6", "mnuBrowserForward", "FORWARD"},
    {"mnuBrowser", "-", "", nullptr},
    {"mnuBrowser", "Select All\tCtrl+A", "mnuBrowserSelectAll", "SELECT_ALL"},
    {"mnuBrowser", "Select None\tCtrl+N", "mnuBrowserSelectNone", "SELECT_NONE"},
    {"mnuBrowser", "Invert Selection\tCtrl+I", "mnuBrowserSelectInverse", "SELECT_INVERSE"},
    {"mnuBrowser", "-", "", nullptr},
    {"mnuBrowser", "Show Matching Files", "mnuBrowserMatchingFiles", "SHOW_FILES"},
    {"mnuBrowser", "Show Segments from Matching Files", "mnuBrowserSegmentsFromFiles", "SEGS_IN_FILES"},
    {"mnuBrowser", "Show Matching Segments", "mnuBrowserMatchingSegments", "SHOW_SEGS"},
    {"mnuBrowser", "-", "", nullptr},
    {"mnuBrowser", "Show All Files", "mnuBrowserStorageAll", nullptr},
    {"mnuBrowser", "Show Online Files Only", "mnuBrowserStorageOnline", nullptr},
    {"mnuBrowser", "Show Offline Files Only", "mnuBrowserStorageOffline", nullptr},
    {"", "&Tools", "mnuTools", nullptr},
    {"mnuTools", "-TOOLS", "mnuToolsHeader", nullptr},
    {"mnuTools", "Find Files...\tCtrl+F", "mnuToolsFindFiles", "SEARCH"},
    {"mnuTools", "Library Maintenance", "mnuToolsLibraryMaintenance", "SPANNER"},
    {"mnuToolsLibraryMaintenance", "Show 'Duplicate File' Candidates", "mnuToolsShowDuplicates", nullptr},
    {"mnuToolsLibraryMaintenance", "Show Missing Files", "mnuToolsShowMissing", nullptr},
    {"mnuToolsLibraryMaintenance", "Show Files that have no Thumbnail", "mnuToolsShowMissingThumbs", nullptr},
    {"mnuTools", "-", "", nullptr},
    {"mnuTools", "Run Playlist\tCtrl+P", "mnuToolsRunPlaylist", "PLAY_SHOW"},
    {"mnuTools", "Random Playback\tCtrl+R", "mnuToolsRandomPlayback", "SHUFFLE"},
    {"mnuTools", "-", "", nullptr},
    {"mnuTools", "Export View data to CSV file...", "mnuToolsExportCSV", nullptr},
    {"mnuTools", "View detailed File information...", "mnuToolsMediaInfo", "MEDIAINFO"},
    {"mnuTools", "Create Story Board...\tCtrl+S", "mnuToolsCreatePoster", "POSTER"},
    {"mnuTools", "-", "", nullptr},
    {"mnuTools", "External Applications", "mnuToolsExternalApps", nullptr},
    // ... the 31 items "mnuToolsExternalApps0" to "mnuToolsExternalApps30" ...
    {"mnuToolsExternalApps", "-", "", nullptr},
    {"mnuToolsExternalApps", "Setup...", "mnuToolsExternalAppSetup", nullptr},
    {"mnuTools", "Options...\tCtrl+O", "mnuToolsOptions", "OPTIONS"},
    {"", "&View", "mnuView", nullptr},
    {"mnuView", "-VIEW", "mnuViewHeader", nullptr},
    {"mnuView", "Tile View\tCtrl+T", "mnuViewTile", "TILE_VIEW"},
    {"mnuView", "List View\tCtrl+L", "mnuViewList", "LIST_VIEW"},
    {"mnuView", "Carousel View\tCtrl+C", "mnuViewCarousel", "CAROUSEL_VIEW"},
    {"mnuView", "-", "", nullptr},
    {"mnuView", "File Inspector\tF3", "mnuViewInspector", "INSPECTOR"},
    {"mnuView", "Tab Visibility", "mnuViewTabVisibility", nullptr},
    {"mnuViewTabVisibility", "Expand Specifications Tab\tAlt+1", "mnuViewExpandSpecs", nullptr},
    {"mnuViewTabVisibility", "Expand Preview Tab\tAlt+2", "mnuViewExpandPreview", nullptr},
    {"mnuViewTabVisibility", "Expand Segments Tab\tAlt+3", "mnuViewExpandSegments", nullptr},
    {"mnuViewTabVisibility", "Expand Cataloguing Tab\tAlt+4", "mnuViewExpandCataloguing", nullptr},
    {"mnuView", "-", "", nullptr},
    {"mnuView", "Tag Cloud\tF9", "mnuViewTagCloud", "CLOUD"},
    {"mnuView", "-", "", nullptr},
    {"mnuView", "TV-Out Mode\tF10", "mnuTV-Out", "TV"},
    {"mnuView", "Full Screen\tF11", "mnuViewFullScreen", nullptr},
    {"", "&Help", "mnuHelp", nullptr},
    {"mnuHelp", "-HELP", "mnuHelpHeader", nullptr},
    {"mnuHelp", "User Guide", "mnuHelpUserGuide", "HELP"},
    {"mnuHelp", "Reelwise II Forum", "mnuHelpForum", "FORUM"},
    {"mnuHelp", "Reelwise II Blog", "mnuHelpBlog", "BLOG"},
    {"mnuHelp", "-", "", nullptr},
    {"mnuHelp", "Tip of the Day...\tF1", "mnuHelpDailyTip", "BULB"},
    {"mnuHelp", "-", "", nullptr},
    {"mnuHelp", "About Reelwise II...", "mnuHelpAbout", nullptr},
};

using MainMenuTest = CommandTest;

TEST_F(MainMenuTest, MenuTreeHoldsTheItemsInOrderWithTheirKeysCaptionsAndIcons) {
  const cPopupMenu& menu = Menu();
  int i = 0;
  for (const Expected& e : kTree) {
    ++i;
    if (qstrcmp(e.key, "mnuToolsExternalApps") == 0 && qstrcmp(e.caption, "-") != 0) {
      // The sub-menu, then its 31 items.
      for (int n = 0; n <= 30; ++n) {
        const int item = i + 1 + n;
        EXPECT_EQ(menu.ItemKey(item), QStringLiteral("mnuToolsExternalApps%1").arg(n));
        // With no external application set up, only the placeholder shows.
        EXPECT_EQ(menu.Caption(item), n == 0 ? QStringLiteral("None defined for this menu") : QString());
        EXPECT_EQ(menu.Visible(item), n == 0);
        EXPECT_EQ(menu.Parent(item), i);
        EXPECT_EQ(menu.IconIndex(item), -1);
      }
    }
    SCOPED_TRACE(e.caption);
    ASSERT_LE(i, menu.Count());
    EXPECT_EQ(menu.ItemKey(i), QLatin1String(e.key));
    EXPECT_EQ(menu.Caption(i), QString::fromUtf8(e.caption));
    EXPECT_EQ(menu.Parent(i), *e.parent ? menu.IndexForKey(QLatin1String(e.parent)) : 0);
    EXPECT_EQ(menu.IconIndex(i), IconIndexOf(e.icon));
    if (qstrcmp(e.key, "mnuToolsExternalApps") == 0 && qstrcmp(e.caption, "-") != 0) i += 31;
  }
  EXPECT_EQ(i, menu.Count());
  EXPECT_EQ(menu.IndexForKey(QStringLiteral("mnuViewGUIStandard")), 0) << "a toolbar key only";
}

TEST_F(MainMenuTest, OnlySaveAsStartsDisabledAndTheMarksAreTheInitialOnes) {
  for (int i = 1; i <= Menu().Count(); ++i) {
    EXPECT_EQ(Menu().Enabled(i), Menu().ItemKey(i) != QLatin1String("mnuLibrarySaveAs")) << i;
    EXPECT_EQ(Menu().Header(i), Menu().Caption(i).startsWith(QLatin1String("-")) && Menu().Caption(i).size() > 1);
    const bool unusedApp = frmReelwise::ExternalAppNumber(Menu().ItemKey(i)) > 0;
    EXPECT_EQ(Menu().Visible(i), !Menu().Header(i) && !unusedApp) << "headers and unused applications are hidden";
  }
  QStringList checked;
  QStringList radio;
  for (int i = 1; i <= Menu().Count(); ++i) {
    if (Menu().Checked(i)) checked << Menu().ItemKey(i);
    if (Menu().RadioChecked(i)) radio << Menu().ItemKey(i);
  }
  EXPECT_EQ(checked, QStringList({"mnuViewInspector", "mnuViewExpandPreview", "mnuViewExpandSegments",
                                  "mnuViewExpandCataloguing"}));
  EXPECT_EQ(radio, QStringList({"mnuBrowserMatchingFiles", "mnuBrowserStorageAll", "mnuViewTile"}));
  // The shown entries carry the same marks and states.
  QAction* saveAs = Menu().Action(Item("mnuLibrarySaveAs"));
  EXPECT_FALSE(saveAs->isEnabled());
  EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::Key_F12));
  EXPECT_TRUE(Menu().Action(Item("mnuViewTile"))->isChecked());
  EXPECT_FALSE(Menu().Action(Item("mnuLibraryHeader"))->isVisible());
  EXPECT_EQ(Menu().Action(Item("mnuLibraryHeader"))->text(), QStringLiteral("LIBRARY"));
}

TEST_F(MainMenuTest, ToolsMenuOffersTheEnabledApplicationsMeantForIt) {
  const auto saved = gExternalApps;
  gExternalApps[12] = {QStringLiteral("/usr/bin/trim"), QString(), QStringLiteral("Trim Clip"), QStringLiteral("*"), 4, 1};
  gExternalApps[3] = {QString(), QString(), QStringLiteral("Convert"), QStringLiteral("AVI"), 7, 0};
  gExternalApps[5] = {QString(), QString(), QStringLiteral("Inspect"), QStringLiteral("AVI"), 2, 1};
  gExternalApps[7] = {QString(), QString(), QStringLiteral("Everywhere"), QStringLiteral("AVI"), 7, 1};
  Form().InitExternalAppMenus(QString(), 0, true);
  auto item = [](int n) { return Menu().IndexForKey(QStringLiteral("mnuToolsExternalApps%1").arg(n)); };
  EXPECT_TRUE(Menu().Visible(item(12)));
  EXPECT_EQ(Menu().Caption(item(12)), QStringLiteral("Trim Clip"));
  EXPECT_TRUE(Menu().Visible(item(7)));
  EXPECT_FALSE(Menu().Visible(item(3))) << "disabled";
  EXPECT_EQ(Menu().Caption(item(3)), QStringLiteral("Convert")) << "the caption is written all the same";
  EXPECT_FALSE(Menu().Visible(item(5))) << "for the browser's context menu only";
  EXPECT_FALSE(Menu().Visible(item(0)));

  gExternalApps = saved;
  Form().InitExternalAppMenus(QString(), 0, true);
  EXPECT_TRUE(Menu().Visible(item(0)));
  EXPECT_FALSE(Menu().Visible(item(12)));
}

TEST_F(MainMenuTest, SavedWorkspaceStartsWithItsItemChecked) {
  EndProgram();
  SetOther("SaveWorkspace", QStringLiteral("somewhere.rw2 |"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Checked("mnuLibrarySaveWorkspace"));
  EXPECT_TRUE(gSaveWorkspace);
}

TEST_F(MainMenuTest, ChoosingAnItemChangesItsMarkOnceWhicheverMarkItHad) {
  QAction* random = Menu().Action(Item("mnuToolsRandomPlayback"));
  random->trigger();
  EXPECT_TRUE(gRandomPlayback);
  EXPECT_TRUE(Checked("mnuToolsRandomPlayback"));
  EXPECT_TRUE(random->isChecked());
  random->trigger();
  EXPECT_FALSE(gRandomPlayback);
  EXPECT_FALSE(random->isChecked());

  QAction* inspector = Menu().Action(Item("mnuViewInspector"));
  inspector->trigger();
  EXPECT_FALSE(Checked("mnuViewInspector"));
  EXPECT_FALSE(inspector->isChecked());
  EXPECT_EQ(Form().Inspector().picBottom->Height(), 0);
  inspector->trigger();
  EXPECT_TRUE(inspector->isChecked());
  EXPECT_EQ(Form().Inspector().picBottom->Height(), 338);
}

class ShortcutTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    QApplication::setActiveWindow(gMainForm);
    ASSERT_TRUE(gMainForm->isActiveWindow());
  }
  static void Press(QKeyCombination key) { QTest::keyClick(gMainForm, key.key(), key.keyboardModifiers()); }
};

TEST_F(ShortcutTest, KeysActForEnabledItemsOnly) {
  rwtest::ScriptedFileDialogs dialogs;
  Press(Qt::Key_F12);
  EXPECT_EQ(dialogs.Count(), 0) << "Save As is disabled while no library is open";

  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_TRUE(gRandomPlayback);
  EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("SHUFFLE")).Value(), ctl::tbrPressed);

  // TV-Out mode disables view items: their keys do nothing either.
  Menu().SetEnabled(Item("mnuViewList"), false);
  Press(Qt::CTRL | Qt::Key_L);
  EXPECT_EQ(gBrowserMode, 1);
  Menu().SetEnabled(Item("mnuViewList"), true);
  Press(Qt::CTRL | Qt::Key_L);
  EXPECT_EQ(gBrowserMode, 2);

  // An item in a disabled menu is out of reach too.
  Menu().SetEnabled(Item("mnuTools"), false);
  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_TRUE(gRandomPlayback);
  Menu().SetEnabled(Item("mnuTools"), true);
  Press(Qt::CTRL | Qt::Key_R);
  EXPECT_FALSE(gRandomPlayback);
}

TEST_F(ShortcutTest, KeysWorkInCompactModeAndReachSubMenuItems) {
  gWindowMode = 2;
  Press(Qt::ALT | Qt::Key_1);
  EXPECT_TRUE(Checked("mnuViewExpandSpecs"));
  Press(Qt::Key_F10);
  EXPECT_TRUE(gTVOutMode);
  EXPECT_TRUE(Checked("mnuTV-Out"));
  gWindowMode = 1;
}

TEST_F(MainMenuTest, RebarCanBeBuiltAgainAndKeepsEveryMark) {
  Send("mnuToolsRandomPlayback");
  Send("mnuBrowserStorageOffline");
  Send("mnuViewList");
  Send("mnuViewExpandSpecs");
  Menu().SetEnabled(Item("mnuLibrarySaveAs"), true);
  const QStringList before = MenuState();

  gSchemeColour1 = RGB(10, 20, 30);
  Form().BuildRebar();
  Form().BuildRebar();
  EXPECT_EQ(MenuState(), before);
  EXPECT_EQ(Menu().Menu(Item("mnuLibrary"))->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(Form().tbrMenu->Buttons.Count(), 5) << "the menu bar is not built twice";

  const double menuBar = Form().tbrMenu->Height();
  EXPECT_EQ(menuBar, Menu().ItemHeight(Item("mnuLibrary")));
  EXPECT_EQ(Form().picHolder->Height(), menuBar + Form().cReBar1->Height() - 4);
  EXPECT_EQ(Form().tbMain->Top(), menuBar - 4);
  EXPECT_GE(Form().picHolder->Height(), Form().tbMain->Top() + Form().tbMain->Height()) << "the toolbar fits";
}

TEST_F(MainMenuTest, MenuBarButtonsOpenTheirMenus) {
  ASSERT_EQ(Form().tbrMenu->Buttons.Count(), 5);
  const char* captions[] = {"Library", "Browser", "Tools", "View", "Help"};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(Form().tbrMenu->Buttons(i).Caption(), QLatin1String(captions[i - 1]));
  ctl::Button& tools = Form().tbrMenu->Buttons(QStringLiteral("mnuTools"));
  Form().tbrMenu->ButtonClick(tools);
  QMenu* menu = Menu().Menu(Item("mnuTools"));
  EXPECT_TRUE(menu->isVisible());
  menu->close();
}

}  // namespace
