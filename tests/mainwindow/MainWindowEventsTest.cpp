// What reaches the running main window: its own window messages, menu
// choices and the busy display.
#include "core/modShellNotifs.h"
#include "library/clsRWLibrary.h"
#include "platform/QuitRequest.h"
#include "platform/cPopupMenu.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/ISubclass.h"
#include "ui/SchemeColours.h"
#include "ui/cWindowMgr.h"

#include <QAction>
#include <QMenu>
#include <QTest>

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
  gMainForm->Results().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
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
  EXPECT_EQ(gMainForm->tbrMenu->Buttons(1).Caption(), QStringLiteral("&Library"));
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

TEST_F(MainWindowEventsTest, ChangesWhileInactiveRefreshOnceAtTheNextActivation) {
  gMainForm->Results().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  QApplication::setActiveWindow(gMainForm);
  QCoreApplication::processEvents();  // the activation of the start-up is over
  gMainFormInactive = true;
  gLibrary->ResultCount = 4;
  PostDeviceChange(SHCNE_MEDIAREMOVED);
  PostDeviceChange(SHCNE_MEDIAINSERTED);
  EXPECT_EQ(gLibrary->ResultCount, 4) << "nothing behind a dialog";
  QEvent activation(QEvent::ActivationChange);
  gMainForm->activateWindow();
  QApplication::setActiveWindow(gMainForm);
  QApplication::sendEvent(gMainForm, &activation);
  ASSERT_TRUE(gMainForm->isActiveWindow());
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_FALSE(gDeviceChangePending);
  EXPECT_FALSE(gMainFormInactive);
  gLibrary->ResultCount = 4;
  QApplication::sendEvent(gMainForm, &activation);
  EXPECT_EQ(gLibrary->ResultCount, 4) << "one refresh for both changes";
}

// The system menu's own items and the end of a move or resize, as the
// window manager and the desktop deliver them.
TEST_F(MainWindowEventsTest, SystemMenuItemsMaximiseAndRestoreAndAMoveIsRemembered) {
  gMainForm->setGeometry(60, 70, 700, 600);
  cSubclasser::PostWindowMessage(gMainForm, WM_EXITSIZEMOVE, 0, 0);
  QCoreApplication::processEvents();
  const QRect moved = gMainForm->geometry();
  cSubclasser::PostWindowMessage(gMainForm, WM_SYSCOMMAND, 2, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(gWindowMgr->WindowState(), 2);
  // A maximised window's end of move is not its library rectangle.
  cSubclasser::PostWindowMessage(gMainForm, WM_EXITSIZEMOVE, 0, 0);
  QCoreApplication::processEvents();
  cSubclasser::PostWindowMessage(gMainForm, WM_SYSCOMMAND, 1, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(gWindowMgr->WindowState(), 0);
  EXPECT_EQ(gMainForm->geometry(), moved);
  cSubclasser::PostWindowMessage(gMainForm, WM_SYSCOMMAND, 61472, 0);  // minimise: the desktop's
  QCoreApplication::processEvents();
  EXPECT_EQ(gMainForm->geometry(), moved);
}

TEST_F(MainWindowEventsTest, CompactKeysDoNothingInLibraryMode) {
  const QRect before = gMainForm->geometry();
  QTest::keyClick(gMainForm, Qt::Key_2, Qt::KeypadModifier);
  QTest::keyClick(gMainForm, Qt::Key_Escape);
  EXPECT_EQ(gMainForm->geometry(), before);
  EXPECT_EQ(gWindowMode, 1);
}

// Closing while files are added asks the run to stop after the file in hand
// (it reads the request between two files) and closes the window, asking
// nothing, once the run is over (AddFilesGateTest tries it in a real run).
TEST_F(MainWindowEventsTest, ClosingWhileFilesAreAddedEndsTheRunFirstThenClosesTheWindow) {
  gAddingFiles = true;
  {
    const QuitRequest::LongWork run;
    gMainForm->close();
    ASSERT_TRUE(gMainForm);
    EXPECT_TRUE(gMainForm->isVisible()) << "the run ends first";
    EXPECT_TRUE(QuitRequest::Requested()) << "the run is asked to stop";
    rwtest::RunEventLoopPasses();
    ASSERT_TRUE(gMainForm);
    EXPECT_TRUE(gMainForm->isVisible());
    gAddingFiles = false;
  }
  EXPECT_TRUE(QTest::qWaitFor([] { return gMainForm.isNull(); }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(boxes.Count(), 0);
}

// Round after round the window ends with the focus in a pane, alone, under an
// open menu or in a drag from it.
TEST_F(MainWindowEventsTest, EndingTheWindowRunsNoHandlerOfAPaneAlreadyGone) {
  const char* const views[] = {"mnuViewTile", "mnuViewTile", "mnuViewList", "mnuViewCarousel", "mnuViewTile"};
  for (int round = 0; round < 15; ++round, EndProgram()) {
    ASSERT_TRUE(gMainForm || Start());
    frmReelwise& form = *gMainForm;
    form.MainToolbarHandler(QLatin1String(views[round % 5]));
    ctl::Control* const panes[] = {form.Tree().tvwLibrary, form.Results().flexThumbsTiled, form.Results().flexThumbsList,
                                   form.Carousel().ucCarouselCanvas, form.Inspector().txtCell};
    ctl::Control& pane = *panes[round % 5];
    pane.SetVisible(true);  // the inspector's box shows while a cell is edited
    QApplication::setActiveWindow(&form);
    pane.SetFocus();
    ASSERT_TRUE(pane.hasFocus()) << round;
    if (round % 3 == 1) form.mnuResultsPopUp->popup(form.geometry().center());
    if (round % 3 == 2) ctl::DragController::Instance().Begin(pane);
  }
}

TEST_F(MainWindowEventsTest, ClosingTheWindowGivesThePointerBack) {
  QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  EndProgram();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
