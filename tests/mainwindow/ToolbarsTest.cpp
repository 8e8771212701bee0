// The main toolbar and the browser toolbar, clicked as the user clicks them:
// each button does what its menu item does; the storage filter and the
// auto-refresh entry keep their state in the buttons.
#include "carousel/cCarousel.h"
#include "options/frmProgramOptions.h"
#include "tests/mainwindow/CommandRun.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class ToolbarsTest : public rwtest::CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    watch.shown.clear();
  }

  // A click on the button's face, away from a drop-down arrow.
  static void Click(ctl::Toolbar* toolbar, const char* key) {
    const ctl::Button& button = toolbar->Buttons(QLatin1String(key));
    const QPoint face(static_cast<int>(button.Left() + button.Width() / 4),
                      static_cast<int>(button.Top() + button.Height() / 2));
    QTest::mouseClick(toolbar, Qt::LeftButton, Qt::NoModifier, face);
  }
  static void ClickMain(const char* key) { Click(gMainForm->tbMain, key); }
  static void ClickBrowser(const char* key) { Click(gMainForm->Results().tbFileBrowser, key); }
  static ctl::Button& BrowserButton(const char* key) { return gMainForm->Results().tbFileBrowser->Buttons(QLatin1String(key)); }

  rwtest::ScriptedFileDialogs dialogs;
  rwtest::ModalWatch watch;
};

TEST_F(ToolbarsTest, MainButtonsSendTheCommandsOfTheirMenuItems) {
  int16_t optionGroup = 0;
  watch.inside = [&](QWidget& window) {
    if (auto* options = dynamic_cast<frmProgramOptions*>(&window)) optionGroup = options->OptionGroup;
  };
  const struct {
    const char* button;
    std::function<void()> before;
    std::function<void()> check;
  } cases[] = {
      {"NEW_LIB", [&] { dialogs.Cancel(); }, [&] { EXPECT_EQ(dialogs.Last().kind, FileDialogKind::Save); }},
      {"OPEN_LIB", [&] { dialogs.Cancel(); },
       [&] { EXPECT_EQ(dialogs.Last().title, QStringLiteral("Choose Library")); }},
      {"ADD_FILES", [] {}, [&] { EXPECT_EQ(dialogs.Count(), 2); }},
      {"UI-ALTERNATE", [] {}, [] { EXPECT_EQ(Form().m_GUILayout, 2); }},
      {"UI-STANDARD", [] {}, [] { EXPECT_EQ(Form().m_GUILayout, 1); }},
      {"INSPECTOR", [] {}, [] { EXPECT_FALSE(Checked("mnuViewInspector")); }},
      {"CLOUD", [] {}, [] { EXPECT_TRUE(gTagCloudShown); }},
      {"BACKWARD", [] {}, [] { EXPECT_EQ(gCarousel->WipeDirection, QStringLiteral("L")); }},
      {"FORWARD", [] {}, [] { EXPECT_EQ(gCarousel->WipeDirection, QStringLiteral("M")); }},
      {"REFRESH", [] { gLibrary->ResultCount = 4; }, [] { EXPECT_EQ(gLibrary->ResultCount, 0); }},
      {"SEARCH", [] {}, [&] { EXPECT_TRUE(watch.shown.isEmpty()) << "no library open"; }},
      {"POSTER", [] { gCurrentItem.SegmentID = 3; }, [] { EXPECT_EQ(gSavedItem.SegmentID, 3); }},
      {"PLAY_SHOW", [] {}, [&] { EXPECT_TRUE(watch.shown.isEmpty()) << "no results"; }},
      {"SHUFFLE", [] {}, [] { EXPECT_TRUE(gRandomPlayback); }},
      {"LIST_VIEW", [] {}, [] { EXPECT_EQ(gBrowserMode, 2); }},
      {"CAROUSEL_VIEW", [] {}, [] { EXPECT_EQ(gBrowserMode, 3); }},
      {"TILE_VIEW", [] {}, [] { EXPECT_EQ(gBrowserMode, 1); }},
      {"OPTIONS", [] {}, [&] { EXPECT_EQ(optionGroup, 1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    // The dimming window and the modeless tag-cloud window are no dialogs.
    watch.shown.removeAll(QStringLiteral("frmGlass"));
    watch.shown.removeAll(QStringLiteral("frmTagCloud"));
    c.before();
    ClickMain(c.button);
    c.check();
  }
  // The check buttons show their menu items' marks.
  EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("INSPECTOR")).Value(), ctl::tbrUnpressed);
  EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("CLOUD")).Value(), ctl::tbrPressed);
  EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("SHUFFLE")).Value(), ctl::tbrPressed);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ToolbarsTest, MediaInfoReportsOnTheBrowsersItemAndHistoryButtonDoesNothing) {
  // An item of its own: an earlier test of the same run may leave an offline one.
  gCurrentItem = ResultItem{};
  gCurrentItem.SegmentID = 5;
  gInspectedItem.SegmentID = 6;
  ClickMain("MEDIAINFO");
  EXPECT_EQ(gSavedItem.SegmentID, 5);

  const QStringList before = MenuState();
  gLibrary->ResultCount = 4;
  ClickMain("HISTORY");
  EXPECT_EQ(MenuState(), before);
  EXPECT_EQ(gLibrary->ResultCount, 4);
  EXPECT_TRUE(watch.shown.isEmpty());
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ToolbarsTest, StorageFilterButtonCyclesOnlineOfflineAll) {
  const struct {
    const char* image;
    const char* toolTip;
    StorageFilter filter;
    const char* item;
  } steps[] = {
      {"ONLINE_DISKS", "Currently showing Online files only", StorageFilter::Online, "mnuBrowserStorageOnline"},
      {"OFFLINE_DISKS", "Currently showing Offline files only", StorageFilter::Offline, "mnuBrowserStorageOffline"},
      {"ALL_DISKS", "Currently showing all files (Online and Offline)", StorageFilter::All, "mnuBrowserStorageAll"},
  };
  for (const auto& step : steps) {
    gLibrary->ResultCount = 4;
    ClickBrowser("SD_FILTER");
    const ctl::Button& button = BrowserButton("SD_FILTER");
    EXPECT_EQ(button.Image(), QLatin1String(step.image));
    EXPECT_EQ(button.ToolTipText(), QLatin1String(step.toolTip));
    EXPECT_EQ(gOnlineFilter, step.filter);
    EXPECT_TRUE(Radio(step.item));
    EXPECT_EQ(gLibrary->ResultCount, 0) << "the view ran again";
  }
}

TEST_F(ToolbarsTest, ResultKindButtonsPressOneAndSetTheKind) {
  ClickBrowser("SEGMENT");
  EXPECT_EQ(gResultKind, ResultScope::Segment);
  EXPECT_EQ(BrowserButton("FILE").Value(), ctl::tbrUnpressed);
  ClickBrowser("SEGMENT_FROM_FILE");
  EXPECT_EQ(gResultKind, ResultScope::SegmentsOfFiles);
  EXPECT_TRUE(Radio("mnuBrowserSegmentsFromFiles"));
  ClickBrowser("FILE");
  EXPECT_EQ(gResultKind, ResultScope::File);
  EXPECT_EQ(BrowserButton("SEGMENT").Value(), ctl::tbrUnpressed);
}

TEST_F(ToolbarsTest, AutoRefreshEntryTogglesAndTheRefreshButtonLeavesItAlone) {
  ctl::ButtonMenu& entry = BrowserButton("REFRESH").ButtonMenus(QStringLiteral("AUTO_REFRESH"));
  Form().Results().tbFileBrowser->ButtonMenuClick(entry);
  EXPECT_TRUE(gAutoRefresh);
  EXPECT_EQ(entry.Text(), QStringLiteral("Turn OFF Auto-Refresh"));
  EXPECT_EQ(BrowserButton("REFRESH").Image(), QStringLiteral("AUTO_REFRESH"));

  gLibrary->ResultCount = 4;
  ClickBrowser("REFRESH");
  EXPECT_EQ(gLibrary->ResultCount, 0) << "the view ran again";
  EXPECT_TRUE(gAutoRefresh);
  EXPECT_EQ(entry.Text(), QStringLiteral("Turn OFF Auto-Refresh"));

  Form().Results().tbFileBrowser->ButtonMenuClick(entry);
  EXPECT_FALSE(gAutoRefresh);
  EXPECT_EQ(entry.Text(), QStringLiteral("Turn ON Auto-Refresh"));
  EXPECT_EQ(BrowserButton("REFRESH").Image(), QStringLiteral("REFRESH"));
}

}  // namespace
