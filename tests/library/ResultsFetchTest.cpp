// The result fetch's rows: every row as a recordset of the view reads it, in
// the view's order, result rows the view drops, and a view another program
// changed (their order on its own: ResultRowsTest.cpp).
#include "tests/library/SearchFixture.h"

#include "library/ResultRows.h"
#include "platform/SqlRecordset.h"

namespace {

class ResultsFetchTest : public rwtest::SearchTest {
 protected:
  // Every segment of every file.
  static void AllSegments() {
    gResultKind = ResultScope::Segment;
    gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?I:00:00:00-0"), QString());
  }
  static int StoredResults() {
    return gLibrary->Connection().OpenRecordset(QStringLiteral("SELECT count(*) FROM SearchResults"))->Value(0).toInt();
  }
};

TEST_F(ResultsFetchTest, EveryRowHoldsTheViewsFieldsInTheViewsOrder) {
  AllSegments();
  gLibrary->Connection().Execute(
      QStringLiteral("UPDATE VideoSegments SET Description = 'cut ' || SegmentID WHERE SegmentID % 2 = 0"));
  // Files whose numbers another program made negative come first, and a
  // file's segments stay in segment order wherever they sit in the table.
  gLibrary->Connection().Execute(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (-7, 'AAAA1111', "
      "'films\\', 'Neg.mkv', '/films/'), (-3, 'AAAA1111', 'films\\', 'Neg2.mkv', '/films/');"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) VALUES "
      "(900, -3, 'Y', 0, 5, 1, 0), (901, -7, 'Y', 0, 5, 1, 0), (902, -7, NULL, 1, 2, 1, 0), (903, 1, NULL, 1, 2, 1, 0);"
      "INSERT INTO SearchResults VALUES (900, -3), (901, -7), (902, -7), (903, 1)"));
  gLibrary->FetchSearchResults();
  ASSERT_GE(gLibrary->ResultCount, 4);
  EXPECT_EQ(gResults[1].SegmentID, 901);
  EXPECT_EQ(gResults[2].SegmentID, 902);
  EXPECT_EQ(gResults[3].SegmentID, 900);
  auto view = gLibrary->Connection().OpenRecordset(QStringLiteral("SELECT * FROM vw_SearchResults"));
  ASSERT_GE(view->RecordCount(), 8);
  ASSERT_EQ(gLibrary->ResultCount, view->RecordCount());
  for (int i = 1; !view->Eof(); view->MoveNext(), ++i) {
    const ResultItem& item = gResults[static_cast<size_t>(i)];
    SCOPED_TRACE(i);
    EXPECT_EQ(item.SegmentID, view->Value(QStringLiteral("SegmentID")).toInt());
    EXPECT_EQ(item.FileID, view->Value(QStringLiteral("FileID")).toInt());
    EXPECT_EQ(item.FileName, view->Value(QStringLiteral("FileName")).toString());
    EXPECT_EQ(item.FileAlias, view->Value(QStringLiteral("FileAlias")).toString());
    EXPECT_EQ(item.Description, view->Value(QStringLiteral("Description")).toString());
    EXPECT_EQ(item.CurrentPath, view->Value(QStringLiteral("CurrentPath")).toString());
    EXPECT_EQ(item.Dimensions, view->Value(QStringLiteral("Dimensions")).toString());
    EXPECT_EQ(item.FileFormat, view->Value(QStringLiteral("FileFormat")).toString());
    EXPECT_EQ(item.FileSize, view->Value(QStringLiteral("FileSize")).toDouble());
    EXPECT_EQ(item.Bitrate, view->Value(QStringLiteral("Bitrate")).toInt());
    EXPECT_EQ(item.SelectionStart, view->Value(QStringLiteral("SelectionStart")).toDouble());
    EXPECT_EQ(item.SelectionEnd, view->Value(QStringLiteral("SelectionEnd")).toDouble());
    EXPECT_EQ(item.Rating, view->Value(QStringLiteral("Rating")).toInt());
    EXPECT_EQ(item.IsFileRow, view->Value(QStringLiteral("FileFlag")).toString() == QLatin1String("Y"));
  }
}

TEST_F(ResultsFetchTest, ResultsWhoseSegmentIsGoneAreLeftOutAndTheProgressEndsFull) {
  AllSegments();
  const int shown = StoredResults();
  gLibrary->Connection().Execute(QStringLiteral("INSERT INTO SearchResults VALUES (99998, 1), (99999, 99999)"));
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, shown);
  EXPECT_EQ(gResults.size(), static_cast<size_t>(shown) + 1);
  for (size_t i = 1; i < gResults.size(); ++i) EXPECT_LT(gResults[i].SegmentID, 99998);
  EXPECT_EQ(View().progressMax, shown + 1) << "the range is the rows read";
  EXPECT_EQ(View().progressValue, shown + 1);
  EXPECT_EQ(View().laidOutCount, shown);
  EXPECT_EQ(boxes.Count(), 0);
}

// A file's rows read far apart, more files' texts between them than the
// read's cache of texts holds, hold the file's texts once.
TEST_F(ResultsFetchTest, AFilesRowsReadFarApartHoldItsTextsOnce) {
  gLibrary->Connection().Execute(QStringLiteral(
      "DELETE FROM SearchResults;"
      "WITH RECURSIVE n(i) AS (SELECT 5000 UNION ALL SELECT i + 1 FROM n WHERE i < 5400) "
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath, Dimensions, FileFormat) "
      "SELECT i, 'AAAA1111', 'f\\', 'F' || i, '/f/' || i || '/', i || 'x9', 'AVI ' || i FROM n;"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) "
      "SELECT FileID, FileID, 'Y', 0, 5, 1, 0 FROM VideoFiles WHERE FileID >= 5000;"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileAlias, SelectionStart, SelectionEnd, Online, Rating) VALUES "
      "(9000, 5000, 'F5000', 1, 2, 1, 0), (9001, 5000, 'Own', 1, 2, 1, 0);"
      "INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments WHERE FileID >= 5000"));
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, 403);
  const ResultItem& file = gResults[1];
  ASSERT_EQ(gResults[3].SegmentID, 9001);
  for (const ResultItem& item : {gResults[2], gResults[3]}) {
    EXPECT_TRUE(item.CurrentPath.isSharedWith(file.CurrentPath));
    EXPECT_TRUE(item.FileName.isSharedWith(file.FileName));
    EXPECT_TRUE(item.Dimensions.isSharedWith(file.Dimensions));
    EXPECT_TRUE(item.FileFormat.isSharedWith(file.FileFormat));
  }
  EXPECT_TRUE(gResults[2].FileAlias.isSharedWith(file.FileName)) << "an alias that is the file's name";
  EXPECT_EQ(gResults[3].FileAlias, QStringLiteral("Own"));
}

TEST_F(ResultsFetchTest, AViewAnotherProgramChangedChangesNothingTheResultsShow) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  AllSegments();
  gLibrary->FetchSearchResults();
  const std::vector<ResultItem> before = gResults;
  gLibrary->Connection().Execute(QStringLiteral(
      "DROP VIEW temp.vw_SearchResults; CREATE TEMP VIEW vw_SearchResults AS SELECT SegmentID, FileID FROM "
      "SearchResults ORDER BY SegmentID DESC"));
  gLibrary->FetchSearchResults();
  EXPECT_EQ(boxes.Count(), 0);
  ASSERT_EQ(gResults.size(), before.size());
  for (size_t i = 1; i < gResults.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(gResults[i].SegmentID, before[i].SegmentID);
    EXPECT_EQ(gResults[i].FileName, before[i].FileName);
    EXPECT_EQ(gResults[i].SelectionEnd, before[i].SelectionEnd);
  }
}

}  // namespace
