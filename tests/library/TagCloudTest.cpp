// The tag cloud: counts over the results along parent and cross links, and
// the tags the view is given to show, in name order and by category.
#include "tests/library/TreeFixture.h"
#include "tests/support/TestTickClock.h"

#include <map>

namespace {

class TagCloudTest : public rwtest::OpenLibraryTest {
 protected:
  void TearDown() override {
    gTagCloudCategories.clear();
    rwtest::OpenLibraryTest::TearDown();
  }
  // Segments first..last carry the tag and are results.
  static void Tagged(int tag, int first, int last) {
    for (int s = first; s <= last; ++s) {
      Exec(
          QStringLiteral("INSERT OR IGNORE INTO SearchResults VALUES (%1, %1); INSERT INTO SegmentTags VALUES (%1, %2)")
              .arg(s)
              .arg(tag));
    }
  }
  // The cloud count of every tag that has one.
  static std::map<int, int> Counts() {
    gLibrary->PopulateTagCloudTable();
    std::map<int, int> counts;
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT LinkedTag, SUM(TagCount) FROM TagCloud GROUP BY LinkedTag"));
    for (; !rs->Eof(); rs->MoveNext()) counts[rs->Value(0).toInt()] = rs->Value(1).toInt();
    return counts;
  }
  // The tags the view was last given, "name=count".
  static QStringList Shown() {
    QStringList shown;
    for (const TagCloudEntry& tag : View().cloud) shown << tag.Tag + QLatin1Char('=') + QString::number(tag.TagCount);
    return shown;
  }
};

TEST_F(TagCloudTest, ChildCountsReachTheParentAndASegmentWithBothCountsOnce) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Animals', 'T'), (11, 'Cats', 'T');"
                     "INSERT INTO TagLinks VALUES (11, 10, 'P')"));
  Tagged(10, 1, 3);
  Tagged(11, 4, 5);
  EXPECT_EQ(Counts(), (std::map<int, int>{{10, 5}, {11, 2}}));
  Tagged(10, 6, 6);
  Tagged(11, 6, 6);
  EXPECT_EQ(Counts(), (std::map<int, int>{{10, 6}, {11, 3}}));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

// Each tag counts the result segments it covers itself or through any tag
// below it or linked to it, at any depth, each segment once: along two roads
// to the same tag, between synonyms and round a circle of links. The counts
// are the same whether the results' tags are read side by side or looked up,
// and the view is given them with the result count.
TEST_F(TagCloudTest, EachTagCountsTheDistinctSegmentsItOrATagThatImpliesItCovers) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (20, 'Holiday', 'T'), (21, 'Places', 'T'), "
                     "(22, 'Beach', 'T'), (23, 'Film', 'T'), (24, 'Movie', 'T'), (25, 'Sea', 'T'), (26, 'Loop', 'T'), "
                     "(27, 'Ring', 'T');"
                     "INSERT INTO TagLinks VALUES (21, 20, 'P'), (22, 21, 'P'), (23, 24, 'L'), (24, 23, 'L'), "
                     "(25, 20, 'P'), (25, 22, 'L'), (27, 26, 'P'), (26, 27, 'L')"));
  Tagged(21, 1, 2);
  Tagged(22, 3, 5);
  const std::map<int, int> holiday{{20, 5}, {21, 5}, {22, 3}};
  EXPECT_EQ(Counts(), holiday) << "Holiday covers all five";
  gLibrary->ResultCount = 5;
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown(), (QStringList{"Beach=3", "Holiday=5", "Places=5"}));

  Tagged(23, 6, 6);     // one synonym
  Tagged(23, 7, 7);     // both synonyms
  Tagged(24, 7, 7);
  Tagged(25, 8, 8);     // Sea reaches Holiday straight and through Beach
  Tagged(27, 9, 9);     // a circle: Ring below Loop, Loop linked to Ring
  Tagged(22, 10, 10);   // a tag and the tag above it
  Tagged(21, 10, 10);
  const std::map<int, int> all{{20, 7}, {21, 7}, {22, 5}, {23, 2}, {24, 2}, {25, 1}, {26, 1}, {27, 1}};
  EXPECT_EQ(Counts(), all);
  // Many tags of other segments: the results now look their tags up.
  for (int s = 100; s < 300; ++s) Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (%1, 22)").arg(s));
  EXPECT_EQ(Counts(), all);
  // A link to a TagID that is no integer leaves the counting to SQL, which
  // counts alike.
  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (27, 'x', 'L')"));
  std::map<int, int> withText = all;
  withText[0] = 1;  // segment 9, from Ring; 'x' reads as 0
  EXPECT_EQ(Counts(), withText);
}

TEST_F(TagCloudTest, TheViewGetsEveryRealTagInNameOrderWithItsCount) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (30, 'Ten', 'T'), (31, 'Eleven', 'T'), "
                     "(32, 'Seventy', 'T'), (36, 'Playlist', 'L');"));
  Tagged(30, 1, 10);
  Tagged(31, 1, 11);
  Tagged(32, 1, 70);
  Tagged(36, 1, 5);
  gLibrary->ResultCount = 100;
  gLibrary->ShowTagCloud(true);
  EXPECT_EQ(Shown(), (QStringList{"Eleven=11", "Seventy=70", "Ten=10"})) << "a playlist is no tag";
  EXPECT_EQ(View().cloud[2].TagID, QStringLiteral("30"));
  EXPECT_EQ(View().cloudResults, 100);
  EXPECT_FALSE(View().progressCaptions.contains(QStringLiteral("Drawing Tag Cloud..."))) << "a quick cloud";

  // Without repopulating, the counts of the last population are shown again.
  Exec(QStringLiteral("DELETE FROM SegmentTags"));
  gLibrary->ResultCount = 5;
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown().size(), 3);
  EXPECT_EQ(View().cloudResults, 5);
  gLibrary->ShowTagCloud(true);
  EXPECT_TRUE(View().cloud.empty()) << "an empty cloud is shown too, so old labels go";
  EXPECT_EQ(View().clouds, 3);
  EXPECT_EQ(boxes.Count(), 0);
  // A cloud that holds the window past the grace shows its labels' count.
  Tagged(30, 1, 10);
  Tagged(31, 1, 11);
  rwtest::TestTickClock clock;
  clock.stepPerRead = 300;
  QStringList reports;
  View().onProgress = [&](const QString&) {
    reports << QStringLiteral("%1/%2").arg(View().progressValue).arg(View().progressMax);
  };
  gLibrary->ShowTagCloud(true);
  View().onProgress = nullptr;
  EXPECT_EQ(reports.join(' '), QStringLiteral("2/2"));
  EXPECT_EQ(View().progressCaptions.mid(View().progressCaptions.size() - 2),
            (QStringList{"Drawing Tag Cloud...", "<off>"}));
}

TEST_F(TagCloudTest, CategoryFilterLeavesOutOtherCategoriesAndNonTags) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (40, 'People', 'C'), (41, 'Places', 'C'), "
                     "(42, 'Anna', 'T'), (43, 'Rome', 'T'), (44, 'Loose', 'T');"
                     "INSERT INTO TagLinks VALUES (42, 40, 'P'), (43, 41, 'P')"));
  Tagged(42, 1, 2);
  Tagged(43, 3, 4);
  Tagged(44, 5, 5);
  gLibrary->ResultCount = 5;
  gLibrary->ShowTagCloud(true);
  EXPECT_EQ(Shown().size(), 3) << "the categories that receive counts are no tags";
  gTagCloudCategories = QStringLiteral("(40)");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown(), QStringList{"Anna=2"});
  gTagCloudCategories = QStringLiteral("(40, 41)");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown().size(), 2);
  gTagCloudCategories = QStringLiteral("(40) OR 1=1");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown().size(), 3) << "a filter that is no list of ids filters nothing";
}

TEST_F(TagCloudTest, NoCategoryChosenShowsNoTagAndAnEmptyFilterEveryTag) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (40, 'People', 'C'), (42, 'Anna', 'T'), "
                     "(44, 'Loose', 'T');"
                     "INSERT INTO TagLinks VALUES (42, 40, 'P')"));
  Tagged(42, 1, 2);
  Tagged(44, 3, 3);
  gLibrary->ResultCount = 3;
  gTagCloudCategories = QStringLiteral("(-1)");
  gLibrary->ShowTagCloud(true);
  EXPECT_TRUE(Shown().isEmpty()) << "\"(-1)\" is the list of no category";
  gTagCloudCategories = QStringLiteral("(40,-1)");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown(), QStringList{"Anna=2"});
  gTagCloudCategories.clear();
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Shown(), (QStringList{"Anna=2", "Loose=1"})) << "no filter shows the tags in no category too";
}

// The own counts come in TagID order and cover only the results; a TagID
// that is no integer (an old or damaged file) is counted apart, as SQL
// groups it.
TEST_F(TagCloudTest, OwnCountsCoverTheResultsOnlyInTagOrder) {
  OpenWith(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (50, 'Sea', 'T'), (51, 'Sky', 'T')"));
  Tagged(51, 1, 1);
  Tagged(50, 2, 4);
  Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (9, 50), (9, 51)"));  // segment 9 is no result
  const auto ownRows = [] {
    gLibrary->PopulateTagCloudTable();
    QStringList rows;
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT TagID, quote(LinkedTag), TagCount FROM TagCloud WHERE iteration = 1 ORDER BY rowid"));
    for (; !rs->Eof(); rs->MoveNext()) {
      rows << rs->Value(0).toString() + QLatin1Char('|') + rs->Value(1).toString() + QLatin1Char('|') +
                  rs->Value(2).toString();
    }
    return rows;
  };
  EXPECT_EQ(ownRows(), (QStringList{"0|50|3", "0|51|1"}));
  Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (1, NULL), (2, NULL), (3, 'x'), (9, 'x')"));
  EXPECT_EQ(ownRows(), (QStringList{"0|NULL|2", "0|50|3", "0|51|1", "0|'x'|1"}));
}


// The own counts are taken side by side when the results are many and by
// lookups when they are few: both must count what the grouped join counts,
// passing over segment numbers that are no integer.
TEST_F(TagCloudTest, OwnCountsOfFewAndOfManyResultsAreTheGroupedJoinsCounts) {
  OpenWith(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (60, 'A', 'T'), (61, 'B', 'T'), (62, 'C', 'T')"));
  for (int s = 1; s <= 60; ++s) {
    Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(s).arg(60 + s % 3));
    if (s % 4 == 0) Exec(QStringLiteral("INSERT OR IGNORE INTO SegmentTags VALUES (%1, 62)").arg(s));
  }
  Exec(QStringLiteral("INSERT OR IGNORE INTO SegmentTags VALUES ('abc', 60), (2.5, 61), (NULL, 62), (-3, 60)"));
  const auto own = [] {
    gLibrary->PopulateTagCloudTable();
    std::map<int, int> counts;
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT LinkedTag, TagCount FROM TagCloud WHERE iteration = 1"));
    for (; !rs->Eof(); rs->MoveNext()) counts[rs->Value(0).toInt()] = rs->Value(1).toInt();
    return counts;
  };
  const auto grouped = [] {
    std::map<int, int> counts;
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT ST.TagID, count(1) FROM SearchResults SR, SegmentTags ST WHERE ST.SegmentID = "
                       "SR.SegmentID GROUP BY ST.TagID"));
    for (; !rs->Eof(); rs->MoveNext()) counts[rs->Value(0).toInt()] = rs->Value(1).toInt();
    return counts;
  };
  Exec(QStringLiteral("INSERT INTO SearchResults VALUES (4, 4), (7, 7)"));  // few: looked up
  EXPECT_EQ(own(), grouped());
  EXPECT_EQ(own(), (std::map<int, int>{{61, 2}, {62, 1}}));
  Exec(QStringLiteral("DELETE FROM SearchResults"));
  for (int s = -3; s <= 70; s += 1) Exec(QStringLiteral("INSERT INTO SearchResults VALUES (%1, %1)").arg(s));
  EXPECT_EQ(own(), grouped());  // many: read side by side
  EXPECT_EQ(own()[60], 21) << "20 of segments 1..60 and segment -3";
}

}  // namespace
