// The view history and the operations that run whole views: entries and
// the "HISTORY" menu, Back and Forward with their clamping, replays that
// record nothing, ShowView, and RefreshResults up to a chosen step.
#include "tests/library/SearchFixture.h"

namespace {

using rwtest::RowSet;

class HistoryTest : public rwtest::SearchTest {
 protected:
  static void Open(const char* tag, const QString& caption) {
    gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID") + QLatin1String(tag), false, caption);
  }
  static void Filter(const char* op, const char* tag) {
    gLibrary->BuildSearchResults(QLatin1String(op), QStringLiteral("ID") + QLatin1String(tag), true, QString());
  }
  static void MoveTo(int n) {
    auto index = static_cast<int16_t>(n);
    gLibrary->SetHistoryIndex(index);
  }
  // Three views: Anna, Ben, Beach.
  static void ThreeViews() {
    Open("11", QStringLiteral("Anna"));
    Open("13", QStringLiteral("Ben"));
    Open("14", QStringLiteral("Beach"));
  }
};

TEST_F(HistoryTest, ANewViewAddsAnEntryAndItsFiltersMarkItOnce) {
  Open("11", QStringLiteral("Anna"));
  ASSERT_EQ(gHistory.size(), 2u);
  EXPECT_EQ(gLibrary->HistoryIndex(), 1);
  EXPECT_EQ(gHistory[1].Caption, QStringLiteral("Anna"));
  EXPECT_EQ(gHistory[1].ViewSpec, QStringLiteral("|_T:11"));
  EXPECT_EQ(gHistory[1].Description, QStringLiteral(" 'Anna'"));
  ASSERT_EQ(HistoryMenu().Count(), 1);
  EXPECT_EQ(HistoryMenu()(1).Key(), QStringLiteral("Item1"));
  EXPECT_EQ(HistoryMenu()(1).Text(), QStringLiteral("Anna"));
  EXPECT_EQ(HistoryMenu()(1).Tag(), QStringLiteral("|_T:11"));

  Filter("+", "10");
  Filter("-", "12");
  EXPECT_EQ(gHistory.size(), 2u);
  EXPECT_EQ(gHistory[1].Caption, QStringLiteral("Anna  [plus Filters]"));
  EXPECT_EQ(gHistory[1].ViewSpec, QStringLiteral("|_T:11|+T:10|-T:12"));
  EXPECT_EQ(HistoryMenu()(1).Text(), QStringLiteral("Anna  [plus Filters]"));
  EXPECT_EQ(HistoryMenu()(1).Tag(), QStringLiteral("|_T:11")) << "the view as it was opened";

  Open("14", QString());
  EXPECT_EQ(gHistory[2].Caption, QStringLiteral("  [plus Filters]"));
  EXPECT_EQ(MenuTexts(), (QStringList{"Anna  [plus Filters]", "  [plus Filters]"}));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

TEST_F(HistoryTest, TheFirstStepOfAnEmptyHistoryOpensAnEntryWhateverItsOperator) {
  gLibrary->BuildSearchResults(QStringLiteral("&"), QStringLiteral("ID11"), true, QStringLiteral("Anna"));
  ASSERT_EQ(gHistory.size(), 2u);
  EXPECT_EQ(gLibrary->HistoryIndex(), 1);
  EXPECT_EQ(MenuTexts(), QStringList{"Anna"});
  gLibrary->ExecuteSearch(QStringLiteral("-"), QStringLiteral("?R:5"), QString());
  EXPECT_EQ(gHistory.size(), 2u) << "later filters update that entry";
  EXPECT_EQ(gHistory[1].ViewSpec, QStringLiteral("|&T:11|-?R:5"));
  EXPECT_EQ(MenuTexts(), QStringList{"Anna  [plus Filters]"});
  EXPECT_TRUE(gHistory[0].ViewSpec.isEmpty()) << "entry 0 is never used";
}

TEST_F(HistoryTest, BackAndForwardStopAtTheEndsAndClampTheIndex) {
  ThreeViews();
  EXPECT_TRUE(gLibrary->NoFurtherHistory());

  int16_t n = 0;
  gLibrary->SetHistoryIndex(n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(gLibrary->HistoryIndex(), 1);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11"));
  EXPECT_EQ(SearchResults(), (RowSet{1, 2, 6}));
  EXPECT_FALSE(gLibrary->NoFurtherHistory());

  // Back from the first entry replays nothing.
  gLibrary->Connection().Execute(QStringLiteral("DELETE FROM SearchResults"));
  n = -5;
  gLibrary->SetHistoryIndex(n);
  EXPECT_EQ(n, 1);
  EXPECT_TRUE(SearchResults().empty());

  n = 99;
  gLibrary->SetHistoryIndex(n);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:14"));
  EXPECT_TRUE(gLibrary->NoFurtherHistory());
  EXPECT_EQ(gHistory.size(), 4u) << "a replay records nothing";
  EXPECT_EQ(MenuTexts(), (QStringList{"Anna", "Ben", "Beach"}));
  EXPECT_EQ(ComboTexts().size(), 1);
}

TEST_F(HistoryTest, AnEmptyHistoryClampsToNothing) {
  int16_t n = 3;
  gLibrary->SetHistoryIndex(n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(gLibrary->HistoryIndex(), 0);
  EXPECT_TRUE(gLibrary->NoFurtherHistory());
}

TEST_F(HistoryTest, ANewViewAfterGoingBackIsAppendedAndTheLaterEntriesStay) {
  ThreeViews();
  MoveTo(1);
  Open("10", QStringLiteral("People"));
  EXPECT_EQ(gLibrary->HistoryIndex(), 4);
  EXPECT_EQ(MenuTexts(), (QStringList{"Anna", "Ben", "Beach", "People"}));
  EXPECT_EQ(HistoryMenu()(4).Key(), QStringLiteral("Item4"));
  EXPECT_EQ(gHistory[2].ViewSpec, QStringLiteral("|_T:13"));
}

TEST_F(HistoryTest, AReplayedTextStepRewritesTheEntrysCaptionButNotItsMenuItem) {
  gLibrary->ShowView(QStringLiteral("|_T:11|+?F23:beach"), QStringLiteral("View: Mine"));
  const QString description = QStringLiteral("'beach'  (look in Filenames)");
  EXPECT_EQ(gHistory[1].Caption, description) << "the text step's description became the caption";
  Open("13", QStringLiteral("Ben"));
  gHistory[1].Caption = QStringLiteral("Old");
  MoveTo(1);
  EXPECT_EQ(gHistory[1].Caption, description);
  EXPECT_EQ(HistoryMenu()(1).Text(), description);
  EXPECT_EQ(SearchResults(), RowSet{1});
}

TEST_F(HistoryTest, ShowViewRunsEveryStepInOneTransaction) {
  gLibrary->ShowView(QStringLiteral("|_T:10|-T:13|X:ignored|+?R:5"), QStringLiteral("View: Mix"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:10|-T:13|+?R:5")) << "a step of no known kind is skipped";
  EXPECT_EQ(SearchResults(), RowSet{6});
  EXPECT_EQ(gLibrary->ResultCount, 1);
  EXPECT_EQ(gResults[1].SegmentID, 6);
  EXPECT_EQ(ComboTexts().size(), 3);
  EXPECT_EQ(gHistory[1].Caption, QStringLiteral("View: Mix"));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_FALSE(View().busy);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(HistoryTest, RefreshRunsTheViewUpToTheSelectedStepAndKeepsTheSelection) {
  Open("10", QStringLiteral("People"));
  Filter("&", "14");
  Filter("-", "13");
  Filter("+", "11");
  gLibrary->FetchSearchResults();
  const RowSet all = SearchResults();
  ASSERT_EQ(ComboTexts().size(), 4);

  // Steps 1 and 2 only.
  gSelectedById.Set(3, 1);
  HistoryCombo().SetSelectedItem(&HistoryCombo().ComboItems(2));
  gLibrary->RefreshResults();
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:10|&T:14"));
  EXPECT_EQ(ComboTexts().size(), 2);
  EXPECT_EQ(SearchResults(), (RowSet{1, 2, 3, 6}));
  EXPECT_EQ(gSelectedById[3], 1);
  EXPECT_EQ(gLibrary->SelectedCount, 1);
  EXPECT_EQ(gHistory.size(), 2u) << "nothing recorded";
  EXPECT_EQ(gHistory[1].ViewSpec, QStringLiteral("|_T:10|&T:14|-T:13|+T:11"));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());

  // The whole view again from the entry: every step, the last one selected.
  gViewSpec = gHistory[1].ViewSpec;
  HistoryCombo().ComboItems.Add(0, QString(), QStringLiteral("x"));
  HistoryCombo().ComboItems.Add(0, QString(), QStringLiteral("y"));
  HistoryCombo().SetSelectedItem(&HistoryCombo().ComboItems(4));
  gLibrary->RefreshResults();
  EXPECT_EQ(gViewSpec, gHistory[1].ViewSpec);
  EXPECT_EQ(SearchResults(), all);
  EXPECT_EQ(ComboTexts().size(), 4);
}

TEST_F(HistoryTest, RefreshScrollsTheBrowserBackToItsTopRow) {
  gLibrary->ShowView(QStringLiteral("|_?I:00:00:00-0"), QStringLiteral("All"));
  View().topRow = 4;
  gLibrary->RefreshResults();
  EXPECT_EQ(View().restoredTopRow, 4);
  EXPECT_EQ(gLibrary->ResultCount, 6);

  // A browser view without a grid (the carousel) has no row to keep.
  View().topRow = -1;
  View().restoredTopRow = -1;
  gLibrary->RefreshResults();
  EXPECT_EQ(View().restoredTopRow, -1);
}

TEST_F(HistoryTest, RefreshWithAnEmptyComboDoesNothing) {
  Open("11", QStringLiteral("Anna"));
  HistoryCombo().ComboItems.Clear();
  gLibrary->Connection().Execute(QStringLiteral("DELETE FROM SearchResults"));
  gLibrary->RefreshResults();
  EXPECT_TRUE(SearchResults().empty());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11"));
}

TEST_F(HistoryTest, ANewViewStartsTheViewAndTheComboAfresh) {
  Open("11", QStringLiteral("Anna"));
  Filter("&", "13");
  ASSERT_EQ(ComboTexts().size(), 2);
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?R:4"), QStringLiteral("Rated 4"));
  EXPECT_EQ(ComboTexts().size(), 1);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?R:4"));
  EXPECT_EQ(gViewDescription, QStringLiteral(" '4'"));
  EXPECT_EQ(SearchResults(), RowSet{3});
  EXPECT_EQ(gHistory[2].Caption, QStringLiteral("Rated 4"));
}

TEST_F(HistoryTest, OpeningALibraryReplaysTheViewItWasLeftIn) {
  gViewSpec = QStringLiteral("|_T:11|+?R:5");
  gLibrary->OpenLibrary(gLibrary->LibraryPath, true);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11|+?R:5"));
  EXPECT_EQ(gLibrary->ResultCount, 1);
  EXPECT_EQ(gResults[1].SegmentID, 6);
  EXPECT_EQ(ComboTexts().size(), 2);
  ASSERT_EQ(gHistory.size(), 2u);
  EXPECT_EQ(gHistory[1].Caption, QStringLiteral("  [plus Filters]"));
  EXPECT_EQ(MenuTexts(), QStringList{"  [plus Filters]"});
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
