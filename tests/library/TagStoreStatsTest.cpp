// Total playing time of the results or the library, and whether a view has
// been refined.
#include "tests/library/TagStoreFixture.h"

namespace {

using namespace TagStore;
using rwtest::TagStoreTest;

constexpr double kDay = 24 * 60 * 60;

TEST_F(TagStoreTest, PlayListStatsOfTheLibraryAndTheResults) {
  EXPECT_EQ(GetPlayListStats(Db(), false), QStringLiteral("0h:00m:00s"));
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("0h:00m:00s"));

  File(1, QStringLiteral("Long.mkv"), QStringLiteral("/films/"), 8 * kDay);
  File(2, QStringLiteral("Short.mkv"), QStringLiteral("/films/"), kDay + 3 * 3600);
  Segment(20, 1, 100, 165);  // 65 seconds
  EXPECT_EQ(GetPlayListStats(Db(), false), QStringLiteral("1w 2d 3h:00m:00s"));

  InResults(20, 1);
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("0h:01m:05s"));
  Exec(QStringLiteral("UPDATE VideoSegments SET SelectionStart = 0, SelectionEnd = %1 WHERE SegmentID = 20")
           .arg(SqlReal(14 * kDay)));
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("2w 0d 0h:00m:00s"));
  Exec(QStringLiteral("UPDATE VideoSegments SET SelectionEnd = %1 WHERE SegmentID = 20").arg(SqlReal(5 * kDay + 1)));
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("5d 0h:00m:01s"));
  // A segment stored back to front adds nothing rather than a day of negative time.
  Exec(QStringLiteral("UPDATE VideoSegments SET SelectionStart = 30, SelectionEnd = 20 WHERE SegmentID = 20"));
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("0h:00m:00s"));

  Exec(QStringLiteral("DROP TABLE SearchResults"));  // a failing query shows no time
  EXPECT_EQ(GetPlayListStats(Db(), true), QStringLiteral("0h:00m:00s"));
}

TEST(ViewModifiedTest, TwoOrMoreStepsAreAModifiedView) {
  EXPECT_FALSE(ViewModified(QString()));
  EXPECT_FALSE(ViewModified(QStringLiteral("|_T:12")));
  EXPECT_TRUE(ViewModified(QStringLiteral("|_T:12|+T:14")));
  EXPECT_TRUE(ViewModified(QStringLiteral("|_T:12|+T:14|-?R:5")));
}

}  // namespace
