// The library object's view on the main window: what the library shows of
// itself lands in the window's controls.
#include "carousel/frmTagCloud.h"
#include "library/ILibraryView.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/cPopupMenu.h"
#include "tests/app/ProgramRun.h"
#include "ui/cwProgress.h"

#include <gtest/gtest.h>

namespace {

class LibraryViewTest : public rwtest::RunningProgramTest {
 protected:
  static ILibraryView& View() { return gLibrary->View(); }
  static bool SaveAsEnabled() {
    return gMainForm->m_cMenu->Enabled(gMainForm->m_cMenu->IndexForKey(QStringLiteral("mnuLibrarySaveAs")));
  }
};

TEST_F(LibraryViewTest, TheOpenLibraryShowsInTheTitleBarAndOpensTheWindow) {
  View().ShowLibraryCaption(QStringLiteral("Films"));
  EXPECT_EQ(gMainForm->lblCaption->Caption(), QStringLiteral("Films"));
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - Films"));

  View().ShowLibraryLoaded(true);
  EXPECT_FALSE(gMainForm->picWelcomeHolder->isVisibleTo(gMainForm));
  EXPECT_TRUE(SaveAsEnabled());
  EXPECT_TRUE(gMainForm->Tree().tvwLibrary->isEnabled());
  View().ShowLibraryLoaded(false);
  EXPECT_TRUE(gMainForm->picWelcomeHolder->isVisibleTo(gMainForm));
  EXPECT_FALSE(SaveAsEnabled());
}

TEST_F(LibraryViewTest, ProgressAndBusyDisplayAreTheWindows) {
  View().SetProgressMax(10);
  View().ShowProgress(QStringLiteral("Working..."), 4);
  EXPECT_TRUE(gMainForm->Results().picProgress->isVisibleTo(gMainForm));
  EXPECT_EQ(gMainForm->progProgress->Caption(), QStringLiteral("Working..."));
  EXPECT_EQ(gMainForm->progProgress->Value(), 4);
  EXPECT_EQ(gMainForm->progProgress->Max(), 10.0);
  View().ProgressOff();
  EXPECT_TRUE(gMainForm->progProgress->Caption().isEmpty());

  View().ShowBusyIndicator(true);
  EXPECT_TRUE(gMainForm->picBusyIndicator->isVisibleTo(gMainForm));
  View().ShowBusyIndicator(false);
  EXPECT_FALSE(gMainForm->picBusyIndicator->isVisibleTo(gMainForm));
  View().SetBrowserControlsEnabled(false);
  EXPECT_FALSE(gMainForm->Results().picRight->isEnabled());
  View().SetBrowserControlsEnabled(true);
  EXPECT_TRUE(gMainForm->Results().picRight->isEnabled());
}

TEST_F(LibraryViewTest, TheHistoryGoesToTheComboAndTheHistoryMenu) {
  View().AddHistoryComboItem(QStringLiteral("'People' [3]"), QStringLiteral("_T"));
  View().AddHistoryComboItem(QStringLiteral("'Beach' [+2]"), QStringLiteral("&T"));
  EXPECT_EQ(View().HistoryComboCount(), 2);
  EXPECT_EQ(View().HistoryComboSelectedIndex(), 2) << "the item added last is selected";
  View().ClearHistoryCombo();
  View().SetHistoryComboText(QStringLiteral("Missing Files"));
  EXPECT_EQ(HistoryCombo().Text(), QStringLiteral("Missing Files"));

  View().AddHistoryMenuItem(QStringLiteral("Item1"), QStringLiteral("People"), QStringLiteral("|_T:10"));
  View().AddHistoryMenuItem(QStringLiteral("Item1"), QStringLiteral("ignored"), QStringLiteral("|_T:11"));
  ASSERT_EQ(HistoryMenu().Count(), 1) << "an item of the key is used again";
  EXPECT_EQ(HistoryMenu().Item(1).Text(), QStringLiteral("People"));
  EXPECT_EQ(HistoryMenu().Item(1).Tag(), QStringLiteral("|_T:11"));
  View().SetHistoryMenuCaption(1, QStringLiteral("People  [plus Filters]"));
  View().SetHistoryMenuCaption(7, QStringLiteral("no such item"));
  EXPECT_EQ(HistoryMenu().Item(1).Text(), QStringLiteral("People  [plus Filters]"));
  View().ClearHistoryMenu();
  EXPECT_EQ(HistoryMenu().Count(), 0);
}

TEST_F(LibraryViewTest, TheTreeTheGridsAndTheTagCloudAreTheWindows) {
  EXPECT_EQ(View().LibraryTree(), gMainForm->Tree().tvwLibrary);
  View().StartTreeEditTimer();
  EXPECT_TRUE(gMainForm->Tree().tvwEditTimer->Enabled());

  gBrowserMode = 3;
  EXPECT_EQ(View().BrowserTopRow(), -1) << "the carousel has no rows";
  gBrowserMode = 1;
  EXPECT_EQ(View().BrowserTopRow(), gMainForm->Results().flexThumbsTiled->TopRow());

  View().ShowTagCloud({{QStringLiteral("7"), QStringLiteral("Anna"), 3}}, 3, {});
  ASSERT_GE(TagCloudForm().TagLabelUBound(), 1);
  EXPECT_EQ(TagCloudForm().lblTag[1]->Caption(), QStringLiteral("Anna"));
  EXPECT_EQ(TagCloudForm().lblTag[1]->Tag(), QStringLiteral("7"));
}

}  // namespace
