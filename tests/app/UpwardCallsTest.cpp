// The calls of the lower layers to the higher ones, as start-up connects them:
// they reach the running program's main window and carousel, do nothing (or
// give the default) while these are gone, and are emptied at shut-down.
#include "app/UpwardCalls.h"
#include "carousel/cCarousel.h"
#include "options/ExternalAppCommand.h"
#include "options/frmProgramOptions.h"
#include "player/frmFilePreview.h"
#include "player/modMainPlayer.h"
#include "tests/app/ProgramRun.h"

#include <QAction>

#include <gtest/gtest.h>

namespace {

using rwtest::ProgramTest;

class UpwardCallsTest : public ProgramTest {
 protected:
  // After the program's end, which runs through the shut-down hook.
  void TearDown() override {
    ProgramTest::TearDown();
    modReelwise::DisconnectUpwardCalls();
  }

  // True when the program's own box answers ShowMessageBox; the handler is
  // put back as it was.
  static bool MessageBoxHandlerSet() {
    MessageBoxHandler handler = SetMessageBoxHandler(nullptr);
    const bool set = static_cast<bool>(handler);
    SetMessageBoxHandler(std::move(handler));
    return set;
  }
};

TEST_F(UpwardCallsTest, TheRunningProgramAnswersThroughItsMainWindowAndCarousel) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(gMainForm);
  EXPECT_TRUE(MessageBoxHandlerSet());
  EXPECT_EQ(frmProgramOptions::SchemeWindow(), gMainForm.data());

  ASSERT_TRUE(frmProgramOptions::Main.SetDeleteMenu);
  frmProgramOptions::Main.SetDeleteMenu(false);
  EXPECT_EQ(gMainForm->mnuDeleteFile->text(), QStringLiteral("Delete File"));
  frmProgramOptions::Main.SetDeleteMenu(true);
  EXPECT_EQ(gMainForm->mnuDeleteFile->text(), QStringLiteral("Delete to Recycle Bin"));

  ASSERT_TRUE(GetStoryBoardHooks().SetMainTag);
  GetStoryBoardHooks().SetMainTag(QStringLiteral("REDO"));
  EXPECT_EQ(gMainForm->Tag(), QStringLiteral("REDO"));
  gExternalAppHost().setMainWindowTag(QStringLiteral("/films/a.mkv"));
  EXPECT_EQ(gMainForm->Tag(), QStringLiteral("/films/a.mkv"));
  EXPECT_EQ(gExternalAppHost().mainWindowTag(), QStringLiteral("/films/a.mkv"));

  ASSERT_TRUE(frmProgramOptions::ExternalApps.SetAppCaption);
  frmProgramOptions::ExternalApps.SetAppCaption(3, QStringLiteral("Run Me"));
  EXPECT_EQ(gMainForm->mnuApp[3]->text(), QStringLiteral("Run Me"));
  frmProgramOptions::ExternalApps.SetAppCaption(999, QStringLiteral("nowhere"));  // out of range: nothing

  ASSERT_TRUE(gCarousel);
  gCarousel->lMenuColour2 = RGB(90, 160, 40);
  EXPECT_EQ(modMainPlayer::OsdColours().lMenuColour2, RGB(90, 160, 40));
  ASSERT_TRUE(frmProgramOptions::Main.CarouselEntries);
  EXPECT_EQ(frmProgramOptions::Main.CarouselEntries(), gCarousel->CarouselEntries());
  EXPECT_EQ(boxes.Count(), 0);
}

// A hook asked while the window it reaches does not exist (before the main
// window is made, after it is gone) does nothing and gives the default.
TEST_F(UpwardCallsTest, WithoutTheWindowsEveryHookDoesNothingAndGivesTheDefault) {
  ASSERT_FALSE(gMainForm);
  ASSERT_FALSE(gCarousel);
  modReelwise::ConnectUpwardCalls();
  EXPECT_TRUE(MessageBoxHandlerSet());
  EXPECT_EQ(frmProgramOptions::SchemeWindow(), nullptr);
  frmProgramOptions::RepaintInScheme();
  const frmProgramOptions::MainWindowHooks& main = frmProgramOptions::Main;
  main.MainToolbarHandler(QStringLiteral("mnuBrowserRefresh"));
  main.SetDeleteMenu(false);
  main.CursorColourChanged(RGB(1, 2, 3));
  EXPECT_EQ(main.CarouselEntries(), 11);
  main.SetCarouselEntries(13);
  EXPECT_EQ(main.ScrollIncrements(), 10);
  main.SetScrollIncrements(5);
  frmProgramOptions::ExternalApps.InitExternalAppMenus(QString(), 0, true);
  frmProgramOptions::ExternalApps.SetAppCaption(1, QStringLiteral("App"));

  const modMainPlayer::PlayerHooks& player = modMainPlayer::Hooks();
  player.SetPositionTimer(true);
  player.RestartFade();
  player.StopFade();
  player.SetFadeInterval(40);
  player.CarouselMusic(true);
  EXPECT_EQ(modMainPlayer::OsdColours().lMenuColour2, modMainPlayer::DefaultOsdPalette().lMenuColour2);

  const StoryBoardHooks& board = GetStoryBoardHooks();
  board.SetMainTag(QStringLiteral("REDO"));
  board.ShowOptions();
  board.CarouselBusy(50);
  board.RestoreFocus();

  // The launcher keeps the path itself while no main window holds it.
  gExternalAppHost().setMainWindowTag(QStringLiteral("/films/b.mkv"));
  EXPECT_EQ(gExternalAppHost().mainWindowTag(), QStringLiteral("/films/b.mkv"));
  gExternalAppHost().reloadInspector();
  EXPECT_EQ(boxes.Count(), 0);
}

// Shut-down empties every hook, so none keeps what the run made; the
// launcher takes back its window-less defaults and never calls an empty
// function.
TEST_F(UpwardCallsTest, ShutDownEmptiesEveryHookAndTheLauncherStillKeepsItsPath) {
  ASSERT_TRUE(Start());
  EndProgram();
  ASSERT_FALSE(gMainForm);
  EXPECT_FALSE(MessageBoxHandlerSet());
  EXPECT_FALSE(frmReelwise::ShutDownHook);
  EXPECT_FALSE(frmProgramOptions::SchemeWindow);
  EXPECT_FALSE(frmProgramOptions::RepaintInScheme);
  EXPECT_FALSE(frmProgramOptions::Main.MainToolbarHandler);
  EXPECT_FALSE(frmProgramOptions::ExternalApps.SetAppCaption);
  EXPECT_FALSE(modMainPlayer::Hooks().SetPositionTimer);
  EXPECT_FALSE(GetStoryBoardHooks().SetMainTag);
  EXPECT_EQ(modMainPlayer::OsdColours().lMenuColour2, modMainPlayer::DefaultOsdPalette().lMenuColour2);

  ASSERT_TRUE(gExternalAppHost().setMainWindowTag && gExternalAppHost().mainWindowTag &&
              gExternalAppHost().reloadInspector);
  gExternalAppHost().setMainWindowTag(QStringLiteral("/films/c.mkv"));
  EXPECT_EQ(gExternalAppHost().mainWindowTag(), QStringLiteral("/films/c.mkv"));
}

}  // namespace
