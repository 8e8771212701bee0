// The result set: the fetch into gResults (fields, selection, display state,
// thumbnails by policy) and what the view is told of it.
#include "tests/library/SearchFixture.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"

#include <QLocale>
#include <QScopeGuard>

namespace {

using rwtest::RowSet;

class ResultsTest : public rwtest::SearchTest {
 protected:
  // Every file's whole-file row, in FileID order.
  static void AllFiles() { gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?I:00:00:00-0"), QString()); }
  static void FetchAndShow() {
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
  }
  static void Thumbnail(int segment, int file, const char* bytes) {
    gLibrary->Connection().Execute(QStringLiteral("INSERT INTO SegmentThumbnails VALUES (%1, X'%2', %3)")
                                       .arg(segment)
                                       .arg(QString::fromLatin1(QByteArray(bytes).toHex()))
                                       .arg(file));
  }
  static QByteArray Cached(int key) {
    return gLibrary->ThumbnailCache.Exists(key) ? gLibrary->ThumbnailCache.Item(key) : QByteArray("none");
  }
};

TEST(ResultListTextTest, ColumnsShowSizesRatesAndPathsAsTheListWantsThem) {
  ResultItem item;
  item.CurrentPath = QStringLiteral("/films/Year 2020/");
  item.FileName = QStringLiteral("Clip.mkv");
  item.FileAlias = QStringLiteral("My clip");
  item.FileSize = 1572864;
  item.Duration = 3725.9;
  item.Dimensions = QStringLiteral("640x480");
  item.FrameRate = 29.97f;
  item.Bitrate = 800;
  item.FileFormat = QStringLiteral("MPEG-4");
  EXPECT_EQ(ResultListText(item, DetailField::Path), QStringLiteral(u"/\u200Bfilms/\u200BYear 2020/\u200B"));
  EXPECT_EQ(ResultListText(item, DetailField::Size), QStringLiteral("    1.500 MB"));
  EXPECT_EQ(ResultListText(item, DetailField::Duration), QStringLiteral("1h:02m:05s"));
  EXPECT_EQ(ResultListText(item, DetailField::Resolution), QStringLiteral("640x480"));
  EXPECT_EQ(ResultListText(item, DetailField::FrameRate), QStringLiteral("29.97"));
  EXPECT_EQ(ResultListText(item, DetailField::Bitrate), QStringLiteral("   800 kbps"));
  EXPECT_EQ(ResultListText(item, DetailField::Format), QStringLiteral("MPEG-4"));

  const bool aliases = gTooltipAliases;
  gTooltipAliases = false;
  EXPECT_EQ(ResultListText(item, DetailField::Name), QStringLiteral("Clip.mkv"));
  gTooltipAliases = true;
  EXPECT_EQ(ResultListText(item, DetailField::Name), QStringLiteral("My clip"));
  gTooltipAliases = aliases;

  item.CurrentPath = QStringLiteral("[Offline] Archive:\\films\\");
  EXPECT_EQ(ResultListText(item, DetailField::Path), QStringLiteral(u"[Offline] Archive:\\\u200Bfilms\\\u200B"));
  item.FrameRate = 23.976f;
  EXPECT_EQ(ResultListText(item, DetailField::FrameRate), QStringLiteral("23.976"));
  item.FrameRate = 25;
  EXPECT_EQ(ResultListText(item, DetailField::FrameRate), QStringLiteral("25"));
  item.FileSize = 65536;  // 0.0625 MB: the format rounds the half up
  EXPECT_EQ(ResultListText(item, DetailField::Size), QStringLiteral("    0.063 MB"));
  item.FileSize = 123456789012.0;
  EXPECT_EQ(ResultListText(item, DetailField::Size), QStringLiteral("117737.569 MB")) << "a longer text is not cut";
  item.Bitrate = 12345678;
  EXPECT_EQ(ResultListText(item, DetailField::Bitrate), QStringLiteral("12,345,678 kbps")) << "grouped as every count";

  // In French, with the decimal comma the statistics and the inspector use
  // too; the sizes' digits are not grouped.
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  EXPECT_EQ(ResultListText(item, DetailField::Size), QStringLiteral("117737,569 MB"));
  item.FileSize = 1572864;
  EXPECT_EQ(ResultListText(item, DetailField::Size), QStringLiteral("    1,500 MB"));
  item.FrameRate = 29.97f;
  EXPECT_EQ(ResultListText(item, DetailField::FrameRate), QStringLiteral("29,97"));
  EXPECT_EQ(ResultListText(item, DetailField::Duration), QStringLiteral("1h:02m:05s"));
}

TEST_F(ResultsTest, FetchReadsEveryFieldOfTheRows) {
  gResultKind = ResultScope::Segment;
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?R:Unrated"), QString());
  gPlayQueueBuilt = true;
  const int newResults = View().carouselNewResults;
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, 4);
  ASSERT_EQ(gResults.size(), 5u);
  std::vector<int> order;
  for (size_t i = 1; i < gResults.size(); ++i) order.push_back(gResults[i].SegmentID);
  EXPECT_EQ(order, (std::vector<int>{101, 301, 501, 601})) << "in FileID order";

  const ResultItem& swim = gResults[1];
  EXPECT_EQ(swim.FileID, 1);
  EXPECT_EQ(swim.FileAlias, QStringLiteral("Anna's swim"));
  EXPECT_EQ(swim.Description, QStringLiteral("at the BEACH"));
  EXPECT_EQ(swim.CurrentPath, QStringLiteral("/films/"));
  EXPECT_EQ(swim.FileName, QStringLiteral("Summer Beach.mkv"));
  EXPECT_EQ(swim.FileSize, 1572864.0);
  EXPECT_FALSE(swim.IsFileRow);
  EXPECT_EQ(swim.FrameRate, 29.97f);
  EXPECT_EQ(swim.Bitrate, 800);
  EXPECT_EQ(swim.Dimensions, QStringLiteral("640x480"));
  EXPECT_EQ(swim.SelectionStart, 10.0);
  EXPECT_EQ(swim.SelectionEnd, 70.5);
  EXPECT_EQ(swim.Duration, 60.5);
  EXPECT_EQ(swim.Rating, 0);
  EXPECT_EQ(swim.FileFormat, QStringLiteral("MPEG-4"));
  EXPECT_EQ(swim.DisplayState, 5);
  EXPECT_EQ(swim.BrowserRow, 0);
  EXPECT_EQ(gResults[4].FileAlias, QStringLiteral("Été à Nice.mkv")) << "a segment without alias is titled by its file";
  EXPECT_FALSE(gPlayQueueBuilt);
  EXPECT_EQ(View().progressCaption, QStringLiteral("Fetching Data..."));
  EXPECT_EQ(View().progressValue, 5);
  EXPECT_EQ(View().progressMax, 5);
  EXPECT_EQ(View().carouselNewResults, newResults + 1) << "the carousel forgets the old results";
  EXPECT_EQ(View().laidOutCount, 4) << "the grids are sized for the rows";
}

TEST_F(ResultsTest, OfflineRowsAreMarkedOnlyWhenAskedFor) {
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?M:BBBB2222"), QString());
  gIndicateOffline = true;
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, 2);
  EXPECT_EQ(gResults[1].DisplayState, 9);
  gIndicateOffline = false;
  gLibrary->FetchSearchResults();
  EXPECT_EQ(gResults[1].DisplayState, 5);
}

TEST_F(ResultsTest, EmptyTextsReadAsEmptyWithoutAMessage) {
  gLibrary->Connection().Execute(QStringLiteral(
      "UPDATE VideoFiles SET CurrentPath = NULL, Dimensions = NULL, FileFormat = NULL, FrameRate = NULL, Bitrate = "
      "NULL; UPDATE VideoSegments SET SelectionEnd = NULL"));
  AllFiles();
  FetchAndShow();
  ASSERT_EQ(gLibrary->ResultCount, 6);
  for (size_t i = 1; i < gResults.size(); ++i) {
    EXPECT_TRUE(gResults[i].CurrentPath.isEmpty());
    EXPECT_TRUE(gResults[i].Dimensions.isEmpty());
    EXPECT_TRUE(gResults[i].FileFormat.isEmpty());
    EXPECT_EQ(gResults[i].Duration, -10.0);
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ResultsTest, SegmentsBeyondFiftyThousandCanBeSelected) {
  gLibrary->Connection().Execute(QStringLiteral(
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) VALUES "
      "(60000, 6, NULL, 0, 5, 1, 0); INSERT INTO SearchResults VALUES (60000, 6)"));
  gSelectedById.Set(60000, 1);
  const int shows = View().shows;
  FetchAndShow();
  ASSERT_EQ(gLibrary->ResultCount, 1);
  EXPECT_TRUE(gResults[1].Selected);
  EXPECT_EQ(gLibrary->SelectedCount, 1);
  EXPECT_EQ(View().shows, shows + 1);
  EXPECT_EQ(boxes.Count(), 0);
}

// The store keeps the usual IDs in place and the others apart; either way a
// flag set twice counts once and a cleared one not at all.
TEST(SelectionFlagsTest, FlagsAndTheirCountOnBothSidesOfTheDenseRange) {
  SelectionFlags flags;
  for (const int32_t id : {0, 7, SelectionFlags::kDenseIds, SelectionFlags::kDenseIds + 1, -3, 900000}) {
    flags.Set(id, 1);
    flags.Set(id, -1);
    EXPECT_EQ(flags[id], -1) << id;
  }
  EXPECT_EQ(flags.Count(), 6);
  flags.Set(7, 0);
  flags.Set(900000, 0);
  flags.Set(12, 0);  // never set
  EXPECT_EQ(flags.Count(), 4);
  EXPECT_EQ(flags[7], 0);
  EXPECT_EQ(flags[123456], 0);
  flags.Reset();
  EXPECT_EQ(flags.Count(), 0);
  EXPECT_EQ(flags[SelectionFlags::kDenseIds], 0);
}

// Selecting tens of thousands of results reads each one's segment, flag and
// display state; kept together at the start of a result, they cost one fetch
// from memory for nearly every result rather than three.
TEST(ResultItemTest, TheFieldsASelectionReadsLieTogetherAtTheStart) {
  const ResultItem item;
  const auto end = [&item](const auto& field) {
    return reinterpret_cast<const char*>(&field) + sizeof(field) - reinterpret_cast<const char*>(&item);
  };
  EXPECT_LE(end(item.SegmentID), 16);
  EXPECT_LE(end(item.Selected), 16);
  EXPECT_LE(end(item.DisplayState), 16);
}

TEST_F(ResultsTest, MoreSelectedRowsThanASixteenBitCountHolds) {
  gLibrary->ThumbnailPolicy = 0;
  gLibrary->Connection().Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 100000 UNION ALL SELECT i + 1 FROM n WHERE i < 133000) "
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) "
      "SELECT i, 6, NULL, 0, 1, 1, 0 FROM n; "
      "INSERT INTO SearchResults SELECT SegmentID, FileID FROM VideoSegments WHERE SegmentID >= 100000"));
  for (int id = 100000; id <= 133000; ++id) gSelectedById.Set(id, 1);
  gLibrary->FetchSearchResults();
  EXPECT_EQ(gLibrary->ResultCount, 33001);
  EXPECT_EQ(gLibrary->SelectedCount, 33001);
}

TEST_F(ResultsTest, ThumbnailsAreCachedByPolicy) {
  Thumbnail(1, 1, "own1");
  Thumbnail(3, 3, "file3");
  Thumbnail(301, 3, "own301");
  gResultKind = ResultScope::SegmentsOfFiles;
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
  gLibrary->Connection().Execute(QStringLiteral("INSERT INTO SearchResults VALUES (1, 1)"));

  gLibrary->ThumbnailPolicy = 0;
  gLibrary->ThumbnailCache.Clear();
  gLibrary->FetchSearchResults();
  EXPECT_EQ(gLibrary->ThumbnailCache.Count(), 0) << "everything was loaded when the library opened";

  gLibrary->ThumbnailPolicy = 1;
  gLibrary->ThumbnailCache.Add(QByteArray("kept"), 301);
  gLibrary->ThumbnailCache.Add(QByteArray("other"), 999);
  gLibrary->FetchSearchResults();
  EXPECT_EQ(Cached(1), QByteArray("own1"));
  EXPECT_EQ(Cached(301), QByteArray("kept")) << "a cached row is not read again";
  EXPECT_EQ(Cached(302), QByteArray("file3")) << "a segment without its own shows its file's";
  EXPECT_EQ(Cached(999), QByteArray("other"));

  gLibrary->Connection().Execute(QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = 3"));
  gLibrary->ThumbnailPolicy = 2;
  gLibrary->FetchSearchResults();
  EXPECT_EQ(Cached(999), QByteArray("none")) << "the cache holds only the current results";
  EXPECT_EQ(Cached(301), QByteArray("own301"));
  EXPECT_EQ(Cached(302), QByteArray("none")) << "neither its own nor its file's";
  EXPECT_EQ(gLibrary->ThumbnailCache.Count(), 2);
}

TEST_F(ResultsTest, AFailingFetchIsReportedOnceAndLeavesAnEmptySet) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  AllFiles();
  // Another program took a column the results show from the file.
  gLibrary->Connection().Execute(
      QStringLiteral("DROP VIEW temp.vw_SearchResults; DROP VIEW main.vw_SearchResults; ALTER TABLE VideoSegments "
                     "DROP COLUMN Description"));
  gLibrary->FetchSearchResults();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Fetching View Data"));
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_EQ(gResults.size(), 1u);
}

}  // namespace
