// The selection over a change of the results in the running program: a
// step that narrows the view keeps the flags of the rows that stay and a new
// view starts with none; an inversion over a sorted list follows each row's
// own result and survives a fetch of the same rows; removing a selected file
// leaves the other selected results selected and counted. In each case the
// flags, the flags by segment, the cells' state codes, the library's count
// and the count label must tell the same selection. A mount change keeps
// the carousel's front card on its result.
#include "browser/ResultGrids.h"
#include "carousel/CarouselPane.h"
#include "core/modShellNotifs.h"
#include "platform/DragController.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/SearchFixture.h"
#include "tests/support/EventLoopWaits.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using SearchTest = rwtest::SearchTestOn<rwtest::RunningProgramTest>;

class SelectionKeptTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    // The cursor blink would rewrite the current cell while a test reads it.
    Results().Timer1->SetInterval(24 * 3600 * 1000);
    // Shift, Ctrl and Alt as a drop reads them.
    previousKeys_ = ctl::SetKeyStateFunction(
        [this](int key) { return key >= 16 && key <= 18 && held ? static_cast<int16_t>(0xFF80) : int16_t{0}; });
  }

  void TearDown() override {
    ctl::SetKeyStateFunction(previousKeys_);
    gSelectedById.Reset();
    SearchTest::TearDown();
  }

  static ResultsPane& Results() { return gMainForm->Results(); }
  static ctl::FlexGrid& Tiles() { return *Results().flexThumbsTiled; }
  static ctl::FlexGrid& List() { return *Results().flexThumbsList; }

  // Drops the tag's node on the browser: a new view, or with Shift, Ctrl
  // and Alt held a step that takes the tag's files out of the view and keeps
  // the selection.
  void DropTag(int tag, bool exclude) {
    held = exclude;
    Tree().SetSelectedItem(&Tree().Nodes.Item(QStringLiteral("ID%1").arg(tag)));
    Results().BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), QString());
    held = false;
  }

  // Every file's whole-file row, fetched and shown.
  static void AllFiles() {
    gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?I:00:00:00-0"), QString());
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }

  static QString Code(int i, bool selected) {
    return QString::number(gResults[static_cast<size_t>(i)].DisplayState - (selected ? 1 : 0));
  }
  static QString TileCode(int i) {
    const int columns = ResultGrids::TileColumns();
    return Tiles().TextMatrix((i - 1) / columns, (i - 1) % columns + 1);
  }

  // The flag, the flag by segment and the tile code of every result agree
  // with `selected`, and the count and its label with their number.
  static void ExpectTiles(const std::function<bool(int)>& selected) {
    int count = 0;
    for (int i = 1; i <= gLibrary->ResultCount; ++i) {
      const ResultItem& item = gResults[static_cast<size_t>(i)];
      EXPECT_EQ(item.Selected, selected(i)) << i;
      EXPECT_EQ(gSelectedById[item.SegmentID] != 0, selected(i)) << i;
      EXPECT_EQ(TileCode(i), Code(i, selected(i))) << i;
      if (selected(i)) ++count;
    }
    EXPECT_EQ(gLibrary->SelectedCount, count);
    EXPECT_EQ(Results().lblSelectCount->Caption(), QStringLiteral("[%1 Selected]").arg(count));
  }

  // The same over the list, row by row through the index each row holds;
  // every result is on one row. A fetch writes the codes of the rows in view
  // only: those up to `lastCoded`.
  static void ExpectListRows(const std::function<bool(int)>& selected, int lastCoded = 1 << 30) {
    int count = 0;
    std::map<int, int> seen;
    for (int row = 1; row <= gLibrary->ResultCount; ++row) {
      const int i = ResultGrids::ListIndex(List(), row);
      ASSERT_TRUE(ResultGrids::IsResult(i)) << row;
      ++seen[i];
      const ResultItem& item = gResults[static_cast<size_t>(i)];
      EXPECT_EQ(item.Selected, selected(i)) << i;
      EXPECT_EQ(gSelectedById[item.SegmentID] != 0, selected(i)) << i;
      if (row <= lastCoded) {
        EXPECT_EQ(List().TextMatrix(row, 1), Code(i, selected(i))) << "row " << row;
      }
      if (selected(i)) ++count;
    }
    EXPECT_EQ(static_cast<int>(seen.size()), gLibrary->ResultCount);
    EXPECT_EQ(gLibrary->SelectedCount, count);
    EXPECT_EQ(Results().lblSelectCount->Caption(), QStringLiteral("[%1 Selected]").arg(count));
  }

  // The segments of the results now selected.
  static rwtest::RowSet SelectedSegments() {
    rwtest::RowSet segments;
    for (int i = 1; i <= gLibrary->ResultCount; ++i) {
      if (gResults[static_cast<size_t>(i)].Selected) segments.insert(gResults[static_cast<size_t>(i)].SegmentID);
    }
    return segments;
  }

  bool held = false;

 private:
  ctl::KeyStateFunction previousKeys_;
};

TEST_F(SelectionKeptTest, SelectAllOverAnAddedStepStaysOnTheRowsThatRemainAndANewViewStartsWithNone) {
  AllFiles();
  ASSERT_EQ(gLibrary->ResultCount, 6);
  Results().ApplySelection(QStringLiteral("Select"), 0, 0);
  ExpectTiles([](int) { return true; });

  DropTag(11, true);  // without Anna: fewer rows, all of them selected before
  ASSERT_GE(gLibrary->ResultCount, 1);
  ASSERT_LT(gLibrary->ResultCount, 6) << gViewSpec.toStdString();
  ExpectTiles([](int) { return true; });

  DropTag(13, false);  // Ben, as a new view
  ASSERT_GE(gLibrary->ResultCount, 1);
  ExpectTiles([](int) { return false; });
  EXPECT_EQ(gSelectedById.Count(), 0);
}

TEST_F(SelectionKeptTest, InvertOverASortedListFollowsEachRowsResultAndOutlivesAFetchOfTheSameRows) {
  AllFiles();
  ASSERT_EQ(gLibrary->ResultCount, 6);
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewList"));
  ASSERT_EQ(gBrowserMode, 2);
  Results().ApplySelection(QStringLiteral("Select"), 1, 2);  // rows 1 and 2: results 1 and 2
  Results().SortListColumn(4);                               // by file name: the rows lead elsewhere
  ASSERT_NE(ResultGrids::ListIndex(List(), 1), 1);
  Results().ApplySelection(QStringLiteral("Invert"), 0, 0);
  const auto invertedOfFirstTwo = [](int i) { return i > 2; };
  ExpectListRows(invertedOfFirstTwo);
  const rwtest::RowSet selected = SelectedSegments();

  // The same rows fetched again keep their flags by segment, and the list,
  // sorted again, shows them on their rows.
  gLibrary->FetchSearchResults();
  gLibrary->ShowSearchResults();
  EXPECT_EQ(SelectedSegments(), selected);
  const int inView = static_cast<int>(gTileRowsVisible);
  ASSERT_GE(inView, 2);
  ExpectListRows([&](int i) { return selected.count(gResults[static_cast<size_t>(i)].SegmentID) != 0; }, inView);
}

TEST_F(SelectionKeptTest, RemovingFilesLeavesTheOtherSelectedResultsSelectedAndCounted) {
  AllFiles();
  ASSERT_EQ(gLibrary->ResultCount, 6);
  Results().ApplySelection(QStringLiteral("Select"), 1, 3);
  const int removed = gResults[2].FileID;
  const rwtest::RowSet kept = {gResults[1].SegmentID, gResults[3].SegmentID};

  gLibrary->RemoveFile(removed, false);
  ASSERT_EQ(gLibrary->ResultCount, 5);
  EXPECT_EQ(SelectedSegments(), kept);
  ExpectTiles([&](int i) { return kept.count(gResults[static_cast<size_t>(i)].SegmentID) != 0; });

  // Every selected file at once: none of them stays, none is left selected.
  gLibrary->RemoveFile(0, false);
  ASSERT_EQ(gLibrary->ResultCount, 3);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(kept.count(gResults[static_cast<size_t>(i)].SegmentID), 0u) << i;
  ExpectTiles([](int) { return false; });
}

// A device that comes back while the carousel shows the online files: the
// view is run again with its files in it, and the front card stays on the
// result it showed, now further along; a result its device took away
// leaves the carousel at the first card.
TEST_F(SelectionKeptTest, AMountChangeKeepsTheCarouselsFrontCardOnItsResult) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
  // A second apart, so the carousel's key gate lets each key through.
  const ctl::TickCountFunction clock = ctl::SetTickCountFunction([n = uint64_t{0}]() mutable { return n += 1000; });
  const auto restore = qScopeGuard([&clock] {
    ctl::SetTickCountFunction(clock);
    gOnlineFilter = StorageFilter::All;
  });
  gOnlineFilter = StorageFilter::Online;
  AllFiles();
  ASSERT_EQ(gLibrary->ResultCount, 4) << "the files of the absent disk BBBB2222 left out";
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewCarousel"));
  ASSERT_EQ(gBrowserMode, 3);
  ucCanvas& canvas = *gMainForm->Carousel().ucCarouselCanvas;
  canvas.setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return canvas.isAncestorOf(QApplication::focusWidget()) ||
                                           QApplication::focusWidget() == &canvas; }, rwtest::kWaitCeilingMs));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  ASSERT_TRUE(QTest::qWaitFor([] { return gBrowserIndex == 2; }, rwtest::kWaitCeilingMs));
  const int front = gResults[2].SegmentID;
  ASSERT_GT(gResults[2].FileID, 2) << "a file after those of the absent disk";

  const QString winter = System().MountPoint(QStringLiteral("winter"));
  System().MountDisk(winter, QStringLiteral("vfat"),
                     {.device = QStringLiteral("/dev/sdc1"), .uuid = QStringLiteral("BBBB-2222"), .removable = true,
                      .minor = 33});
  System().Write();
  ASSERT_TRUE(modShellNotifs::RecheckDevices());
  ASSERT_TRUE(QTest::qWaitFor([] { return gLibrary->ResultCount == 6; }, rwtest::kWaitCeilingMs));
  EXPECT_GT(gBrowserIndex, 2) << "the files of the disk that came back go before it";
  EXPECT_EQ(gResults[static_cast<size_t>(gBrowserIndex)].SegmentID, front);
  EXPECT_EQ(gCurrentItem.SegmentID, front);

  gMainForm->Carousel().ucCarouselCanvas->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
  ASSERT_TRUE(QTest::qWaitFor([] { return gBrowserIndex == 1; }, rwtest::kWaitCeilingMs));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  ASSERT_TRUE(QTest::qWaitFor([] { return gBrowserIndex == 2; }, rwtest::kWaitCeilingMs));
  ASSERT_EQ(gResults[2].FileID, 2) << "a file of the disk that came back";
  System().Unmount(winter);
  System().Write();
  ASSERT_TRUE(modShellNotifs::RecheckDevices());
  ASSERT_TRUE(QTest::qWaitFor([] { return gLibrary->ResultCount == 4; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(gBrowserIndex, 1);
  EXPECT_EQ(gCurrentItem.SegmentID, gResults[1].SegmentID);
}

}  // namespace
