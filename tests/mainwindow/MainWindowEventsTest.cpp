// What reaches the running main window: its own window messages, menu
// choices and the busy display.
#include "core/modShellNotifs.h"
#include "library/clsRWLibrary.h"
#include "platform/cPopupMenu.h"
#include "tests/app/ProgramRun.h"
#include "ui/ISubclass.h"
#include "ui/SchemeColours.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

class MainWindowEventsTest : public rwtest::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(Start());
    gDeviceChangePending = false;
    gMainFormInactive = false;
  }

  static void PostDeviceChange(intptr_t event) {
    cSubclasser::PostWindowMessage(gMainForm, kShellNotifyMessage, 0, event);
    QCoreApplication::processEvents();
  }
};

TEST_F(MainWindowEventsTest, DeviceChangeRefreshesAtOnceOnlyWhileTheWindowIsActive) {
  gMainForm->Browser().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  gLibrary->ResultCount = 4;  // the refresh fetches the (empty) results again
  PostDeviceChange(SHCNE_MEDIAREMOVED);
  EXPECT_FALSE(gDeviceChangePending);
  EXPECT_EQ(gLibrary->ResultCount, 0);

  gMainFormInactive = true;
  gLibrary->ResultCount = 4;
  PostDeviceChange(SHCNE_DRIVEADD);
  EXPECT_TRUE(gDeviceChangePending) << "left to the next activation";
  EXPECT_EQ(gLibrary->ResultCount, 4);
}

TEST_F(MainWindowEventsTest, OtherShellEventsChangeNothing) {
  gLibrary->ResultCount = 4;
  PostDeviceChange(0x2);  // an item renamed
  EXPECT_FALSE(gDeviceChangePending);
  EXPECT_EQ(gLibrary->ResultCount, 4);
}

TEST_F(MainWindowEventsTest, MinimumSizeIsAskedAgainWhenTheHookIsReattached) {
  gMainForm->m_MinTrackWidth = 400;
  gMainForm->m_MinTrackHeight = 300;
  gSubclasser.DetachWindowMessage(gMainForm, gMainForm, WM_GETMINMAXINFO);
  gSubclasser.AttachWindowMessage(gMainForm, gMainForm, WM_GETMINMAXINFO);
  EXPECT_EQ(gMainForm->minimumSize(), QSize(400, 300));
}

TEST_F(MainWindowEventsTest, MenuChoicesReachTheDispatcherByKey) {
  cPopupMenu& menu = *gMainForm->m_cMenu;
  const int item = menu.IndexForKey(QStringLiteral("mnuLibrarySaveWorkspace"));
  ASSERT_GT(item, 0);
  EXPECT_EQ(menu.ItemKey(item), QStringLiteral("mnuLibrarySaveWorkspace"));
  EXPECT_EQ(menu.IndexForKey(QStringLiteral("mnuNoSuchItem")), 0);
  QMenu* library = menu.Menu(menu.IndexForKey(QStringLiteral("mnuLibrary")));
  ASSERT_NE(library, nullptr);
  QAction* saveWorkspace = nullptr;
  for (QAction* action : library->actions()) {
    if (action->text() == QStringLiteral("Save Workspace")) saveWorkspace = action;
  }
  ASSERT_NE(saveWorkspace, nullptr);
  saveWorkspace->trigger();
  EXPECT_TRUE(gSaveWorkspace);
  EXPECT_TRUE(saveWorkspace->isChecked());
  EXPECT_EQ(gMainForm->tbrMenu->Buttons.Count(), 5) << "one menu-bar button per top-level item";
  EXPECT_EQ(gMainForm->tbrMenu->Buttons(1).Caption(), QStringLiteral("Library"));
}

TEST_F(MainWindowEventsTest, BusyDisplayShowsInTheTitleBarButNotInTvOutMode) {
  gMainForm->ShowBusyIndicator(true);
  EXPECT_TRUE(gMainForm->picBusyIndicator->isVisible());
  EXPECT_TRUE(gMainForm->RWBusyInd->Playing());
  EXPECT_EQ(gMainForm->picBusyIndicator->BackColor(), gSchemeColour2);
  gMainForm->ShowBusyIndicator(false);
  EXPECT_FALSE(gMainForm->picBusyIndicator->isVisible());
  EXPECT_FALSE(gMainForm->RWBusyInd->Playing());
  gTVOutMode = true;
  gMainForm->ShowBusyIndicator(true);
  EXPECT_FALSE(gMainForm->picBusyIndicator->isVisible());
  gTVOutMode = false;
}

}  // namespace
