// The result grids driven as the user drives them: clicks and keys move the
// cursor and make a result current with its state code, Ctrl and Ctrl+Shift
// select, the cursor wraps over the tile grid's margins, paging stays in the
// scroll bar's range, a drag starts past 10 pixels, the margin cell and an
// empty result set are no result, and 100,000 results browse like 10.
#include "tests/browser/BrowserTestSupport.h"

#include "platform/cPopupMenu.h"
#include "ui/SchemeColours.h"

#include <gtest/gtest.h>

namespace {

using rwtest::GridTest;

class TileGridTest : public GridTest {};
class ListGridTest : public GridTest {};

TEST_F(TileGridTest, AClickOnATileMakesItsResultCurrentWithTheCursorCode) {
  ShowResults(30);
  ASSERT_EQ(gCurrentItem.SegmentID, 1);
  EXPECT_EQ(TileText(1), QStringLiteral("1"));
  const int index = T() + 2;
  Click(Tiles(), TileCentre(index));
  EXPECT_EQ(gCurrentItem.SegmentID, index);
  EXPECT_EQ(gCurrentItem.BrowserRow, index);
  EXPECT_EQ(TileText(index), QStringLiteral("1")) << "current, not selected";
  EXPECT_EQ(TileText(1), QStringLiteral("5")) << "the cell left rests: online, not selected";

  gResults[4].Selected = true;
  gResults[5].DisplayState = 9;
  Click(Tiles(), TileCentre(4));
  EXPECT_EQ(TileText(4), QStringLiteral("0")) << "current and selected";
  EXPECT_EQ(TileText(index), QStringLiteral("5"));
  Click(Tiles(), TileCentre(5));
  EXPECT_EQ(TileText(4), QStringLiteral("4")) << "selected at rest";
  Click(Tiles(), TileCentre(6));
  EXPECT_EQ(TileText(5), QStringLiteral("9")) << "offline at rest";
}

TEST_F(TileGridTest, TheCursorWrapsOverTheMarginsAndHomeLandsOnTileOne) {
  ShowResults(30);
  Click(Tiles(), TileCentre(T()));  // the last tile of the first row
  Key(Tiles(), Qt::Key_Right);
  EXPECT_EQ(gCurrentItem.SegmentID, T() + 1) << "on to tile 1 of the next row";
  EXPECT_EQ(Tiles().Col(), 1);
  Key(Tiles(), Qt::Key_Left);
  EXPECT_EQ(gCurrentItem.SegmentID, T()) << "back to the last tile of the row above";
  EXPECT_EQ(Tiles().Col(), T());

  Key(Tiles(), Qt::Key_End);
  EXPECT_EQ(gCurrentItem.SegmentID, 30);
  EXPECT_EQ(Tiles().Row(), 29 / T());
  EXPECT_EQ(Tiles().Col(), 29 % T() + 1);
  Key(Tiles(), Qt::Key_Right);
  Key(Tiles(), Qt::Key_Down);
  EXPECT_EQ(gCurrentItem.SegmentID, 30) << "the cursor stops on the last result";

  Key(Tiles(), Qt::Key_Home);
  EXPECT_EQ(gCurrentItem.SegmentID, 1);
  EXPECT_EQ(Tiles().Row(), 0);
  EXPECT_EQ(Tiles().Col(), 1);
  EXPECT_EQ(gMainForm->Results().scrollFlex->Value(), gMainForm->Results().scrollFlex->Min());
}

TEST_F(TileGridTest, TheBottomRightMarginStepsBackAndARowBelowTheViewScrollsIntoIt) {
  ShowResults(5 * T());  // every row full
  ctl::FlexGrid& grid = Tiles();
  grid.SetRow(grid.Rows() - 1);
  grid.SetCol(grid.Cols() - 1);
  gMainForm->Results().flexThumbsTiled_SelChange();
  EXPECT_EQ(grid.Col(), T());
  EXPECT_EQ(gCurrentItem.SegmentID, 5 * T());

  Key(grid, Qt::Key_Home);
  const int lastVisible = static_cast<int>(gTileRowsVisible) - 1;
  Click(grid, CellCentre(grid, lastVisible, T()));
  Key(grid, Qt::Key_Right);
  EXPECT_EQ(grid.Row(), lastVisible + 1);
  EXPECT_EQ(gMainForm->Results().scrollFlex->Value(), 1) << "the row wrapped onto is scrolled into view";
  EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(TileGridTest, PageKeysStayWithinTheScrollBarsRangeAndLeaveTheCursor) {
  ShowResults(500);
  ctl::VScrollBar& bar = *gMainForm->Results().scrollFlex;
  ASSERT_GT(bar.Max(), 10);
  Key(Tiles(), Qt::Key_PageDown);
  EXPECT_EQ(bar.Value(), static_cast<int>(gTileRowsVisible));
  EXPECT_EQ(Tiles().TopRow(), bar.Value());
  EXPECT_EQ(gCurrentItem.SegmentID, 1) << "paging moves the view, not the cursor";
  for (int i = 0; i < 40; ++i) Key(Tiles(), Qt::Key_PageDown);
  EXPECT_EQ(bar.Value(), bar.Max());
  Key(Tiles(), Qt::Key_PageUp);
  EXPECT_EQ(bar.Value(), bar.Max() - static_cast<int>(gTileRowsVisible));
  for (int i = 0; i < 40; ++i) Key(Tiles(), Qt::Key_PageUp);
  EXPECT_EQ(bar.Value(), bar.Min());
}

TEST_F(TileGridTest, ATenPixelDragStartsNothingAndAnElevenPixelDragDoes) {
  ShowResults(30);
  const QPoint start = TileCentre(3);
  QTest::mousePress(&Tiles(), Qt::LeftButton, {}, start);
  QTest::mouseMove(&Tiles(), start + QPoint(1, 0));  // arms the drag here
  QTest::mouseMove(&Tiles(), start + QPoint(11, 0));
  QTest::mouseMove(&Tiles(), start + QPoint(1, 10));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "10 pixels";
  EXPECT_TRUE(Form().m_DragState.Source.isEmpty());
  QTest::mouseMove(&Tiles(), start + QPoint(1, 11));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging()) << "11 pixels";
  EXPECT_EQ(ctl::DragController::Instance().Source(), &Tiles());
  EXPECT_EQ(Form().m_DragState.Source, QStringLiteral("Browser"));
  EXPECT_EQ(Form().m_DragState.SegmentID, 3);
  EXPECT_EQ(Form().m_DragState.ItemSelected, 0);
  EXPECT_EQ(Tiles().Tag(), QStringLiteral("0")) << "the top row when the drag began";
  QTest::mouseRelease(&Tiles(), Qt::LeftButton, {}, TileCentre(9));  // on another result: nothing
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(gCurrentItem.SegmentID, 3);

  Move(Tiles(), start);  // a move without the button disarms
  QTest::mousePress(&Tiles(), Qt::LeftButton, Qt::ControlModifier, TileCentre(4));
  QTest::mouseMove(&Tiles(), TileCentre(4) + QPoint(1, 0));
  QTest::mouseRelease(&Tiles(), Qt::LeftButton, {}, TileCentre(4) + QPoint(1, 0));
  QTest::mousePress(&Tiles(), Qt::LeftButton, Qt::ControlModifier, TileCentre(4));
  for (int dx = 5; dx <= 60; dx += 5) {
    const QPoint at = TileCentre(4) + QPoint(dx, 0);
    QMouseEvent move(QEvent::MouseMove, at, Tiles().mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(&Tiles(), &move);
  }
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "a Ctrl-move never drags";
  QTest::mouseRelease(&Tiles(), Qt::LeftButton, {}, TileCentre(4));
}

TEST_F(TileGridTest, CtrlClickTogglesTheSelectionCodeAndCountsIt) {
  ShowResults(30);
  Click(Tiles(), TileCentre(3), Qt::ControlModifier);
  EXPECT_TRUE(gResults[3].Selected);
  EXPECT_NE(gSelectedById[3], 0);
  EXPECT_EQ(TileText(3), QStringLiteral("4"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->Caption(), QStringLiteral("[1 Selected]"));
  EXPECT_EQ(gLibrary->SelectedCount, 1);
  Click(Tiles(), TileCentre(3), Qt::ControlModifier);
  EXPECT_FALSE(gResults[3].Selected);
  EXPECT_EQ(gSelectedById[3], 0);
  EXPECT_EQ(TileText(3), QStringLiteral("5"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->Caption(), QStringLiteral("[0 Selected]"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->ForeColor(), gSchemeColour4);
}

TEST_F(TileGridTest, CtrlShiftClickExtendsFromTheLastClickAndShiftClickSelectsNoRange) {
  ShowResults(30);
  Click(Tiles(), TileCentre(2), Qt::ControlModifier);
  Click(Tiles(), TileCentre(6), Qt::ControlModifier | Qt::ShiftModifier);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(gResults[i].Selected, i >= 2 && i <= 6) << i;
  // From an unselected result the range is de-selected.
  Click(Tiles(), TileCentre(9));
  Click(Tiles(), TileCentre(4), Qt::ControlModifier | Qt::ShiftModifier);
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(gResults[i].Selected, i >= 2 && i <= 3) << i;
  Click(Tiles(), TileCentre(20), Qt::ShiftModifier);
  EXPECT_EQ(gLibrary->SelectedCount, 2);
}

TEST_F(TileGridTest, CtrlShiftClickWithoutAnEarlierClickInTheseResultsChangesOnlyWhatItCovers) {
  ShowResults(30);
  Click(Tiles(), TileCentre(25));  // the last click, in a result set about to go
  ShowResults(10);
  gMainForm->Results().ApplySelection(QStringLiteral("Select"), 0, 0);
  Click(Tiles(), TileCentre(3), Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gLibrary->SelectedCount, 10) << "no range reaches to the end of the results";
  Click(Tiles(), TileCentre(6), Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gLibrary->SelectedCount, 10) << "from tile 3, selected: 3 to 6 stay selected";
}

TEST_F(TileGridTest, TheTopLeftMarginCellIsNoResult) {
  ShowResults(30);
  Click(Tiles(), QPoint(0, 5), Qt::ControlModifier);  // column 0 is one pixel wide
  EXPECT_EQ(gCurrentItem.SegmentID, 1) << "the cursor goes on to tile 1, never to the empty record";
  EXPECT_EQ(gLibrary->SelectedCount, 0);
  for (int i = 1; i <= 30; ++i) ASSERT_FALSE(gResults[i].Selected);
  Click(Tiles(), QPoint(0, 5), Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gLibrary->SelectedCount, 0);
  QTest::mousePress(&Tiles(), Qt::LeftButton, {}, QPoint(0, 5));
  QTest::mouseMove(&Tiles(), QPoint(0, 6));
  QTest::mouseMove(&Tiles(), QPoint(0, 40));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "nothing to drag from the margin";
  QTest::mouseRelease(&Tiles(), Qt::LeftButton, {}, QPoint(0, 40));
  EXPECT_EQ(gCurrentItem.SegmentID, 1);
}

TEST_F(TileGridTest, AClickAfterTheLastTileGoesToTheLastResult) {
  ShowResults(10);  // the second row ends after tile 10
  Click(Tiles(), TileCentre(12));
  EXPECT_EQ(gCurrentItem.SegmentID, 10);
  EXPECT_EQ(Tiles().Row(), 9 / T());
  EXPECT_EQ(Tiles().Col(), 9 % T() + 1);
}

TEST_F(TileGridTest, AnEmptyResultSetIsSafe) {
  ShowResults(0);
  EXPECT_EQ(Tiles().Row(), 0);
  EXPECT_EQ(Tiles().Col(), 0);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home,
                      Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down}) {
    Key(Tiles(), key);
  }
  Click(Tiles(), TileCentre(1), Qt::ControlModifier);
  Click(Tiles(), TileCentre(1), {}, Qt::RightButton);
  QTest::mouseDClick(&Tiles(), Qt::LeftButton, {}, TileCentre(2));
  Move(Tiles(), TileCentre(3));
  gMainForm->Results().BrowserDragDrop(0, 1, QStringLiteral("flexThumbsTiled"), QString());
  gMainForm->Results().ApplySelection(QStringLiteral("Invert"), 0, 0);
  gMainForm->Results().SetBrowserIndex(0);
  EXPECT_EQ(gCurrentItem.SegmentID, 0);
  EXPECT_EQ(Tiles().Row(), 0);
  EXPECT_EQ(Tiles().Col(), 0);
  EXPECT_FALSE(gMainForm->mnuResultsPopUp->isVisible());
  EXPECT_EQ(boxes.Count(), 0);

  Send("mnuViewList");
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_PageDown}) Key(List(), key);
  Click(List(), CellCentre(List(), 1, 1));
  EXPECT_EQ(List().Row(), 0);
  EXPECT_EQ(gCurrentItem.SegmentID, 0);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TileGridTest, TheRightButtonOpensTheResultsMenuOnTheClickedResult) {
  ShowResults(30);
  Click(Tiles(), TileCentre(7), {}, Qt::RightButton);
  EXPECT_EQ(gCurrentItem.SegmentID, 7);
  EXPECT_EQ(TileText(7), QStringLiteral("1")) << "the cursor moved there first";
  EXPECT_EQ(gSavedItem.SegmentID, 7);
  EXPECT_TRUE(gMainForm->mnuResultsPopUp->isVisible());
  EXPECT_EQ(gMainForm->mnuResultsPopUp->property("Tag").toString(), QStringLiteral("Browser"));
  EXPECT_TRUE(gMainForm->mnuClearSelections->isVisible());
  EXPECT_FALSE(gMainForm->mnuRecentFiles->isVisible());
}

TEST_F(TileGridTest, TheMiddleButtonSwitchesToTheListOnTheSameResult) {
  ShowResults(30);
  Click(Tiles(), TileCentre(12), {}, Qt::MiddleButton);
  EXPECT_EQ(gBrowserMode, 2);
  EXPECT_TRUE(Radio("mnuViewList"));
  EXPECT_EQ(gCurrentItem.SegmentID, 12);
  EXPECT_EQ(List().Row(), 12);
  EXPECT_EQ(CellText(List(), 12, 1), QStringLiteral("1"));
  Click(List(), CellCentre(List(), List().TopRow(), 4), {}, Qt::MiddleButton);
  EXPECT_EQ(gBrowserMode, 1);
  EXPECT_EQ(gCurrentItem.SegmentID, 12);
}

TEST_F(TileGridTest, HoveringAResultArmsItsTipAndAnEmptyCellNone) {
  ShowResults(10);
  Move(Tiles(), TileCentre(4));
  EXPECT_EQ(gHoverItem.SegmentID, 4);
  Move(Tiles(), TileCentre(12));
  EXPECT_EQ(gHoverItem.FileID, -1);
  Move(Tiles(), TileCentre(5));
  EXPECT_EQ(gHoverItem.SegmentID, 5);
}

TEST_F(TileGridTest, TheBusyScrollBarDoesNotScrollTheGrid) {
  ShowResults(500);
  ctl::VScrollBar& bar = *gMainForm->Results().scrollFlex;
  bar.SetTag(QStringLiteral("BUSY"));
  bar.SetValue(7);
  EXPECT_EQ(Tiles().TopRow(), 0);
  bar.SetTag(QString());
  bar.SetValue(9);
  EXPECT_EQ(Tiles().TopRow(), 9);
  EXPECT_FALSE(Tiles().Model().Cell(9, 1).picture.isNull()) << "the rows scrolled into view are painted";
  EXPECT_TRUE(Tiles().Model().Cell(0, 1).picture.isNull()) << "the rows scrolled out give their pictures back";
}

TEST_F(TileGridTest, TheCurrentCellBlinksBetweenItsCodes) {
  ShowResults(5);
  gMainForm->Results().Timer1_Timer();
  const QString first = TileText(1);
  gMainForm->Results().Timer1_Timer();
  const QString second = TileText(1);
  EXPECT_EQ(QStringList({first, second}), QStringList({"1", "3"})) << "the cursor code, then 5 blinks as 3";
  gResults[1].Selected = gCurrentItem.Selected = true;
  gMainForm->Results().Timer1_Timer();
  gMainForm->Results().Timer1_Timer();
  EXPECT_TRUE(TileText(1) == "0" || TileText(1) == "2");
}

TEST_F(TileGridTest, AHundredThousandResultsBrowseAsTenDo) {
  ShowResults(100000);
  Key(Tiles(), Qt::Key_End);
  EXPECT_EQ(gCurrentItem.SegmentID, 100000);
  EXPECT_EQ(gCurrentItem.BrowserRow, 100000);
  EXPECT_EQ(Tiles().Row(), 99999 / T());
  gMainForm->Results().scrollFlex->SetValue(gMainForm->Results().scrollFlex->Max());
  Click(Tiles(), TileCentre(99990), Qt::ControlModifier);
  EXPECT_EQ(gCurrentItem.SegmentID, 99990);
  EXPECT_TRUE(gResults[99990].Selected);
  EXPECT_EQ(TileText(99990), QStringLiteral("4"));
  Click(Tiles(), TileCentre(99995), Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(gLibrary->SelectedCount, 6);
  gMainForm->Results().SetBrowserIndex(40000);
  EXPECT_EQ(gCurrentItem.SegmentID, 40000);
  EXPECT_EQ(Tiles().Row(), 39999 / T());
  EXPECT_LE(Tiles().TopRow(), Tiles().Row());
  EXPECT_GT(Tiles().TopRow() + gTileRowsVisible, Tiles().Row());
}

TEST_F(TileGridTest, SelectingByCommandMarksCountsAndRewritesTheCells) {
  ShowResults(20);
  gMainForm->Results().ApplySelection(QStringLiteral("Select"), 0, 0);
  EXPECT_EQ(gMainForm->Results().lblSelectCount->Caption(), QStringLiteral("[20 Selected]"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->ForeColor(), Tiles().ForeColor());
  EXPECT_EQ(TileText(20), QStringLiteral("4"));
  gMainForm->Results().ApplySelection(QStringLiteral("De-select"), 8, 3);  // the ends exchanged
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(gResults[i].Selected, i < 3 || i > 8) << i;
  EXPECT_EQ(gMainForm->Results().lblResultSize->Caption(), QStringLiteral("20 File(s)"));
  gSelectedById.Reset();
  gResults[5].Selected = true;
  gMainForm->Results().ApplySelection(QStringLiteral("Refresh"), 0, 0);
  EXPECT_EQ(gLibrary->SelectedCount, 15);
  EXPECT_NE(gSelectedById[5], 0) << "the store follows the flags again";
}

// ---- The list grid ----

TEST_F(ListGridTest, AClickOnARowMakesItsResultCurrentAndSpaceSelectsIt) {
  ShowResults(30, 2);
  ASSERT_EQ(gBrowserMode, 2);
  Click(List(), CellCentre(List(), 3, 4));
  EXPECT_EQ(gCurrentItem.SegmentID, 3);
  EXPECT_EQ(List().Col(), 1);
  EXPECT_EQ(CellText(List(), 3, 1), QStringLiteral("1"));
  EXPECT_EQ(CellText(List(), 1, 1), QStringLiteral("5"));
  Key(List(), Qt::Key_Space);
  EXPECT_TRUE(gResults[3].Selected);
  EXPECT_EQ(CellText(List(), 3, 1), QStringLiteral("4"));
  Key(List(), Qt::Key_Down);
  EXPECT_EQ(gCurrentItem.SegmentID, 4);
  Click(List(), CellCentre(List(), 2, 4), Qt::ControlModifier | Qt::ShiftModifier);  // from row 3, selected
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(gResults[i].Selected, i >= 2 && i <= 3) << i;
}

TEST_F(ListGridTest, ACursorBelowTheLastResultRestsOnTheLastDataRow) {
  ShowResults(5, 2);
  List().SetRows(9);
  List().SetRow(8);
  gMainForm->Results().flexThumbsList_SelChange();
  EXPECT_EQ(List().Row(), 5);
  EXPECT_EQ(gCurrentItem.SegmentID, 5);
  EXPECT_EQ(CellText(List(), 5, 1), QStringLiteral("1"));
}

TEST_F(ListGridTest, EndHomeAndTheSelectedRowsFollowTheRowsNotTheResults) {
  ShowResults(30, 2);
  Key(List(), Qt::Key_End);
  EXPECT_EQ(gCurrentItem.SegmentID, 30);
  EXPECT_EQ(gMainForm->Results().scrollFlex->Value(), gMainForm->Results().scrollFlex->Max());
  Key(List(), Qt::Key_Home);
  EXPECT_EQ(gCurrentItem.SegmentID, 1);
  // Sorted by file name as text, "Clip 10.avi" comes before "Clip 2.avi".
  gMainForm->Results().SortListColumn(4);
  EXPECT_EQ(List().TextMatrix(2, 0), QStringLiteral("10"));
  gMainForm->Results().ApplySelection(QStringLiteral("Select"), 2, 2);
  EXPECT_TRUE(gResults[10].Selected);
  EXPECT_FALSE(gResults[2].Selected);
  gMainForm->Results().SetBrowserIndex(2);
  EXPECT_EQ(List().TextMatrix(List().Row(), 0), QStringLiteral("2"));
  EXPECT_EQ(gCurrentItem.SegmentID, 2);
  gMainForm->Results().SortListColumn(0);
}

TEST_F(ListGridTest, HeaderClicksSortAddKeysInOrderAndCancel) {
  ShowResults(12, 2);
  gResults[3].FileSize = gResults[4].FileSize = 5e6;
  Send("mnuViewList");
  Click(List(), CellCentre(List(), 0, 5));  // "File Size"
  EXPECT_EQ(List().TextMatrix(0, 3), QStringLiteral("File Size"));
  EXPECT_EQ(gListColumns[2].Column, 3);
  EXPECT_NE(gListColumns[2].SortFlag, 0);
  EXPECT_EQ(gListColumns[0].Column, 4) << "File Path moved one place right";
  Click(List(), CellCentre(List(), 0, 6));  // "Duration"
  EXPECT_EQ(List().TextMatrix(0, 4), QStringLiteral("Duration"));
  EXPECT_TRUE(List().MergeCol(3));
  EXPECT_FALSE(List().Model().Cell(0, 3).picture.isNull()) << "SORTED";
  EXPECT_FALSE(List().Model().Cell(0, 1).picture.isNull()) << "CANCEL_SORT";
  Click(List(), CellCentre(List(), 0, 2));  // "Description" sorts nothing
  EXPECT_EQ(List().TextMatrix(0, 2), QStringLiteral("Description"));

  Click(List(), CellCentre(List(), 0, 3), {}, Qt::RightButton);
  ASSERT_TRUE(gMainForm->Results().mnuListViewColumnsPopUp->isVisible());
  QAction* size = gMainForm->Results().mnuListViewCol[5];
  EXPECT_TRUE(size->isChecked());
  EXPECT_FALSE(size->isEnabled()) << "a sort key cannot be hidden";
  EXPECT_TRUE(gMainForm->Results().mnuListViewCol[3]->isEnabled());
  gMainForm->Results().mnuListViewCol[3]->trigger();  // hide "File Path"
  EXPECT_EQ(List().ColWidth(gListColumns[0].Column), 0);
  EXPECT_FALSE(gMainForm->Results().mnuListViewCol[3]->isChecked());
  gMainForm->Results().mnuListViewCol[3]->trigger();
  EXPECT_EQ(List().ColWidth(gListColumns[0].Column), 1000);

  Click(List(), CellCentre(List(), 0, 1));  // cancel
  for (int c = 3; c <= 10; ++c) EXPECT_EQ(gListColumns[c - 3].Column, c);
  EXPECT_EQ(List().TextMatrix(0, 5), QStringLiteral("File Size"));
  for (int r = 1; r <= 12; ++r) EXPECT_EQ(List().TextMatrix(r, 0), QString::number(r));
  EXPECT_TRUE(List().Model().Cell(0, 1).picture.isNull());
  EXPECT_FALSE(List().MergeCol(3));
}

TEST_F(ListGridTest, TheDuplicateListingsKeysLandInTheOrderTheyWereAdded) {
  ShowResults(6, 2);
  for (int16_t column : {0, 5, 9, 7}) gMainForm->Results().SortListColumn(column);
  QStringList headers;
  for (int c = 3; c <= 7; ++c) headers << List().TextMatrix(0, c);
  EXPECT_EQ(headers, QStringList({"File Size", "Bitrate", "Duration", "File Path", "File Name"}));
  EXPECT_EQ(gListColumns[6].Column, 4);
  gMainForm->Results().SortListColumn(4);  // "Bitrate" again: already a key
  EXPECT_EQ(List().TextMatrix(0, 4), QStringLiteral("Bitrate"));
  gMainForm->Results().SortListColumn(1);
}

}  // namespace
