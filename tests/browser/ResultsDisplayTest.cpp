// The result set in the browser: the rows of gResults in the grid of the
// browser view, the current cell and result, the counts below the grids, and
// one message per display pass.
#include "tests/app/ProgramRun.h"
#include "tests/library/SearchFixture.h"

#include "platform/Twips.h"
#include "ui/SchemeColours.h"
#include "ui/cwProgress.h"

namespace {

class ResultsDisplayTest : public rwtest::SearchTestOn<rwtest::RunningProgramTest> {
 protected:
  // Every file's whole-file row, in FileID order.
  static void AllFiles() { gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?I:00:00:00-0"), QString()); }
  static void FetchAndShow() {
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }
  static QStringList ListColumn(int col) {
    QStringList texts;
    for (int row = 1; row <= gLibrary->ResultCount; ++row) {
      texts << gMainForm->Results().flexThumbsList->TextMatrix(row, col);
    }
    return texts;
  }
};

TEST_F(ResultsDisplayTest, ShowingMakesTheFirstRowCurrentAndCountsTheRows) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID10"), false, QString());
  gCurrentItem.FileID = 77;
  FetchAndShow();
  ASSERT_EQ(gLibrary->ResultCount, 4);
  EXPECT_EQ(gCurrentItem.SegmentID, gResults[1].SegmentID);
  EXPECT_EQ(gCurrentItem.FileID, gResults[1].FileID);
  EXPECT_EQ(gCurrentItem.BrowserRow, 1);
  EXPECT_EQ(gMainForm->Results().lblResultSize->Caption(), QStringLiteral("4 File(s)"));
  EXPECT_EQ(gMainForm->Results().lblResultSize->ToolTipText(), gLibrary->GetPlayListStats(true));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->Caption(), QStringLiteral("[0 Selected]"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->ForeColor(), gSchemeColour4);
  EXPECT_EQ(gMainForm->Results().flexThumbsTiled->Row(), 0);
  EXPECT_EQ(gMainForm->Results().flexThumbsTiled->Col(), 1);
  EXPECT_TRUE(gMainForm->Results().scrollFlex->Tag().isEmpty());
  EXPECT_TRUE(gMainForm->progProgress->Caption().isEmpty());

  // A current item survives a display without a fetch.
  gCurrentItem = gResults[3];
  gCurrentItem.BrowserRow = 3;
  gLibrary->ShowSearchResults();
  EXPECT_EQ(gCurrentItem.BrowserRow, 3);
}


TEST_F(ResultsDisplayTest, AnEmptyResultCountsNothingAndLeavesNoCurrentCell) {
  gResultKind = ResultScope::SegmentsOfFiles;
  gCurrentItem.FileID = 77;
  gCurrentItem.SegmentID = 5;
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID20"), false, QString());
  gLibrary->BuildSearchResults(QStringLiteral("-"), QStringLiteral("ID20"), true, QString());
  FetchAndShow();
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_EQ(gResults.size(), 1u);
  EXPECT_EQ(gMainForm->Results().lblResultSize->Caption(), QStringLiteral("0 Segment(s)")) << "segments of files are segments";
  EXPECT_EQ(gMainForm->Results().flexThumbsTiled->Col(), 0);
  EXPECT_EQ(gMainForm->Results().flexThumbsList->Col(), 0);
  EXPECT_EQ(gCurrentItem.SegmentID, 0);
  EXPECT_EQ(gCurrentItem.FileID, 77);
  EXPECT_EQ(boxes.Count(), 0);
}


TEST_F(ResultsDisplayTest, ListViewShowsTheRowsSortedByTheStoredSortColumns) {
  gBrowserMode = 2;
  AllFiles();
  FetchAndShow();
  EXPECT_EQ(ListColumn(0), (QStringList{"1", "2", "3", "4", "5", "6"})) << "without a sort column, FileID order";
  EXPECT_EQ(ListColumn(3)[0], QStringLiteral(u"/\u200Bfilms/\u200B"));
  EXPECT_EQ(ListColumn(4)[3], QStringLiteral("O'Brien.mov"));
  EXPECT_EQ(ListColumn(5)[0], QStringLiteral("    1.500 MB"));
  EXPECT_EQ(ListColumn(6)[0], QStringLiteral("0h:01m:00s"));
  EXPECT_EQ(ListColumn(8)[0], QStringLiteral("29.97"));
  EXPECT_EQ(ListColumn(9)[0], QStringLiteral("   800 kbps"));
  EXPECT_EQ(ListColumn(10)[4], QStringLiteral("Matroska"));
  EXPECT_TRUE(gMainForm->Results().flexThumbsList->Redraw());
  EXPECT_TRUE(gMainForm->Results().flexThumbsList->Enabled());
  EXPECT_EQ(gMainForm->Results().flexThumbsList->Col(), 1);

  // The file name sorts within equal paths: the disk at "/", the card's
  // folder, the absent disk's offline text.
  gListColumns[1].SortFlag = 1;
  FetchAndShow();
  EXPECT_EQ(ListColumn(0), (QStringList{"3", "1", "6", "4", "5", "2"})) << "case-sensitive text order";
  EXPECT_EQ(ListColumn(4)[0], QStringLiteral("Party [2019].mp4"));
  EXPECT_EQ(gMainForm->Results().flexThumbsList->Col(), 1);
  EXPECT_EQ(boxes.Count(), 0);
}


// A path longer than its column wraps onto the next lines of its row at its
// separators, where nothing shows: no blank follows a "/".
TEST_F(ResultsDisplayTest, ALongPathWrapsInItsCellWithoutVisibleBlanks) {
  gMainForm->MainToolbarHandler(QStringLiteral("mnuViewList"));
  AllFiles();
  gLibrary->FetchSearchResults();
  const QString path = QStringLiteral("/media/films/Year 2020/Drama and Comedy/Favourites/");
  gResults[2].CurrentPath = path;
  gLibrary->ShowSearchResults();
  ctl::FlexGrid& list = *gMainForm->Results().flexThumbsList;
  const QString shown = list.TextMatrix(2, 3);
  EXPECT_FALSE(shown.contains(QStringLiteral("/ "))) << shown.toStdString();
  EXPECT_EQ(QString(shown).remove(QChar(0x200B)), path);

  // The cell of row 2, column 3, and the rows of its painted text.
  int left = 0;
  for (int col = 0; col < 3; ++col) left += TwipsToPixelsX(list.ColWidth(col));
  const QRect cell(left, TwipsToPixelsY(list.RowHeight(0)) + TwipsToPixelsY(list.RowHeight(1)),
                   TwipsToPixelsX(list.ColWidth(3)) - 1, TwipsToPixelsY(list.RowHeight(2)) - 1);
  ASSERT_GT(QFontMetrics(list.font()).horizontalAdvance(path), cell.width()) << "longer than its column";
  const QImage shot = list.grab().toImage();
  const QColor back = shot.pixelColor(cell.left() + 1, cell.top() + 1);
  int top = cell.bottom();
  int bottom = cell.top();
  for (int y = cell.top(); y <= cell.bottom(); ++y) {
    for (int x = cell.left(); x <= cell.right(); ++x) {
      const QColor pixel = shot.pixelColor(x, y);
      if (std::abs(pixel.red() - back.red()) + std::abs(pixel.green() - back.green()) +
              std::abs(pixel.blue() - back.blue()) > 150) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  EXPECT_GT(bottom - top, QFontMetrics(list.font()).height() * 3 / 2) << "the path is painted on one line";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ResultsDisplayTest, AFailingDisplayIsReportedOncePerPass) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  gBrowserMode = 2;
  gListColumns[0].Column = 99;  // a column the list does not have
  AllFiles();
  FetchAndShow();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error While Attempting to Display Results"));
  EXPECT_EQ(ListColumn(0).size(), 6);
  EXPECT_EQ(gMainForm->Results().lblResultSize->Caption(), QStringLiteral("6 File(s)")) << "the display goes on";
  gListColumns[0].Column = 3;
}

TEST_F(ResultsDisplayTest, SelectedRowsAreCountedInTheGridsTextColour) {
  gLibrary->Connection().Execute(QStringLiteral(
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) VALUES "
      "(60000, 6, NULL, 0, 5, 1, 0); INSERT INTO SearchResults VALUES (60000, 6)"));
  gSelectedById.Set(60000, 1);
  FetchAndShow();
  EXPECT_EQ(gMainForm->Results().lblSelectCount->Caption(), QStringLiteral("[1 Selected]"));
  EXPECT_EQ(gMainForm->Results().lblSelectCount->ForeColor(), gMainForm->Results().flexThumbsTiled->ForeColor());
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ResultsDisplayTest, RefreshKeepsTheListScrolled) {
  gBrowserMode = 2;
  gLibrary->ShowView(QStringLiteral("|_?I:00:00:00-0"), QStringLiteral("All"));
  ctl::FlexGrid& list = *gMainForm->Results().flexThumbsList;
  ASSERT_EQ(list.Rows(), 7);
  list.SetTopRow(4);
  gLibrary->RefreshResults();
  EXPECT_EQ(list.TopRow(), 4);
  EXPECT_EQ(gLibrary->ResultCount, 6);
}

}  // namespace
