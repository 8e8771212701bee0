// The tags of a file or segment, explicit and implied, with their categories,
// as rows of TEMP_FileTagStructure and as the verbose and compact texts.
#include "tests/library/TagStoreFixture.h"

namespace {

using namespace TagStore;
using rwtest::TagStoreTest;

// Genre > B > A, and B linked across to C, which sits in Mood.
class SegmentTagsTest : public TagStoreTest {
 protected:
  void SetUp() override {
    TagStoreTest::SetUp();
    Tag(100, QStringLiteral("Genre"), "C");
    Tag(101, QStringLiteral("Mood"), "C");
    Tag(111, QStringLiteral("B"), "T", 100);
    Tag(110, QStringLiteral("A"), "T", 111);
    Tag(120, QStringLiteral("C"), "T", 101);
    Link(111, 120, "L");
    Tag(130, QStringLiteral("Rock 'n' Roll"));  // top level, no category
    File(1);
    Segment(20, 1, 10, 20);
    Segment(21, 1, 30, 40);
  }
  QString Verbose(int segment, bool wholeFile = false) { return GetSegmentTags(Db(), wholeFile, 1, segment, true, false); }
  QString Compact(int segment, bool wholeFile = false) {
    return GetSegmentTags(Db(), wholeFile, 1, segment, false, false);
  }
  QStringList Structure() {
    return Rows(QStringLiteral("SELECT ExplicitTagID, TagID, Tag, Tier, FileFlag, TagCategory, ExplicitTagCategory, "
                               "ViaSegment FROM TEMP_FileTagStructure ORDER BY ExplicitTagID, Tier, TagID"));
  }
};

TEST_F(SegmentTagsTest, ImpliedTagsAreListedUnderTheirCategories) {
  Put(1, 110);
  EXPECT_EQ(Verbose(1), QStringLiteral("\r\nGenre: A, B\r\n        - Mood: C\r\n"));
  EXPECT_EQ(Compact(1), QStringLiteral(", A, ***B***, ***C***"));
  EXPECT_EQ(Structure(), QStringList({"110|110|A|1|Y|Genre|Genre|0", "110|111|B|2|N|Genre|Genre|0",
                                      "110|120|C|3|N|Mood|Genre|0"}));
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(SegmentTagsTest, NoTagsAndOrphanTags) {
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nNo Tags\r\n"));
  EXPECT_EQ(Compact(20), QStringLiteral("--No Tags"));
  Put(20, 130);
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nOrphan Tag: Rock 'n' Roll\r\n"));
  EXPECT_EQ(Compact(20), QStringLiteral(", Rock 'n' Roll"));
}

TEST_F(SegmentTagsTest, FileTagsComeFirstThenThoseOfTheSegment) {
  Put(20, 110);
  Put(1, 130);
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nOrphan Tag: Rock 'n' Roll\r\n\r\nGenre: A, B\r\n        - Mood: C\r\n"));
  EXPECT_EQ(Compact(20), QStringLiteral(", Rock 'n' Roll, A, ***B***, ***C***"));
  EXPECT_EQ(Structure().first(), QStringLiteral("110|110|A|1||Genre|Genre|1"));
}

TEST_F(SegmentTagsTest, ATagOnTheFileAndTheSegmentCountsOnceOnTheFile) {
  Put(20, 130);
  Put(1, 130);
  GetSegmentTags(Db(), false, 1, 20, false, true);
  EXPECT_EQ(Structure(), QStringList({"130|130|Rock 'n' Roll|1|Y|Orphan Tag|Orphan Tag|0"}));
}

TEST_F(SegmentTagsTest, TheScopeIsTheFileOrTheSegmentWithTheFile) {
  Put(1, 130);
  Put(20, 120);
  Put(21, 111);
  EXPECT_EQ(Compact(20), QStringLiteral(", Rock 'n' Roll, C"));
  EXPECT_EQ(Compact(-1, true), QStringLiteral(", Rock 'n' Roll, B, ***C***, C"))
      << "a tag implied by one explicit tag and put on another segment is listed for each";
}

TEST_F(SegmentTagsTest, EachTagOnceAtItsLowestTierAndCirclesEnd) {
  Link(110, 100, "L");  // Genre again, one step closer: not a tag, dropped
  Link(110, 120, "L");  // C reached at tier 2 now, besides tier 3 over B
  Link(120, 110, "L");  // and back again: a circle
  Put(20, 110);
  GetSegmentTags(Db(), false, 1, 20, true, true);
  EXPECT_EQ(Structure(), QStringList({"110|110|A|1||Genre|Genre|1", "110|111|B|2|N|Genre|Genre|1",
                                      "110|120|C|2|N|Mood|Genre|1"}));
  EXPECT_EQ(Compact(20), QStringLiteral(", A, ***B***, ***C***"));
}

TEST_F(SegmentTagsTest, OnlyRealTagsAreListedForOtherNodesOnASegment) {
  Tag(140, QStringLiteral("Road trip"), "L");  // a playlist
  Link(140, 130, "L");
  Tag(150, QStringLiteral("Concerts"), "F", 111);  // a folder under B
  Put(20, 140);
  Put(21, 150);
  Put(21, 100);  // a category itself
  // Above a folder come its tags as if put on the segment.
  EXPECT_EQ(Compact(21), QStringLiteral(", B, ***C***"));
  EXPECT_EQ(Verbose(21), QStringLiteral("\r\nGenre: B\r\n        - Mood: C\r\n"));
  // A playlist's linked tag is implied; it takes the playlist's own category.
  EXPECT_EQ(Compact(20), QStringLiteral(", ***Rock 'n' Roll***"));
  EXPECT_EQ(Structure(), QStringList({"140|130|Rock 'n' Roll|2|N|Orphan Tag|Orphan Tag|1"}));
}

TEST_F(SegmentTagsTest, TheCategoryIsTheBranchRootOnlyWhenThatIsACategory) {
  Tag(160, QStringLiteral("Archive"), "F");
  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (101, 160, 'P')"));  // Mood moved into a folder
  Put(20, 120);
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nOrphan Tag: C\r\n"));
  Tag(170, QStringLiteral("Media"), "C");
  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (100, 170, 'P')"));  // Genre filed in another category
  Put(20, 110);
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nMedia: A, B\r\n        - Orphan Tag: C\r\n\r\nOrphan Tag: C\r\n"));
  GetSegmentTags(Db(), false, 1, 20, true, true);
  EXPECT_EQ(Structure(), QStringList({"110|110|A|1||Media|Media|1", "110|111|B|2|N|Media|Media|1",
                                      "110|120|C|3|N|Orphan Tag|Media|1", "120|120|C|1||Orphan Tag|Orphan Tag|1"}));
}

TEST_F(SegmentTagsTest, ATagWithoutTypeIsListedAndAParentWithoutRowMakesItAnOrphan) {
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (180, 'Untyped', NULL)"));
  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (180, 999, 'P'), (180, 111, 'L')"));  // 999 has no row
  Put(20, 180);
  EXPECT_EQ(Verbose(20), QStringLiteral("\r\nOrphan Tag: Untyped\r\n        - Genre: B\r\n        - Mood: C\r\n"));
  EXPECT_EQ(Rows(QStringLiteral("SELECT TagID, quote(Type), Tier FROM TEMP_FileTagStructure ORDER BY Tier, TagID")),
            QStringList({"180|NULL|1", "111|'T'|2", "120|'T'|3"}));
}

// A tag with several parents is filed under the lowest TagID among them,
// whether or not that parent has a row; the tags it links to are walked
// only where they have one.
TEST_F(SegmentTagsTest, TheLowestParentPlacesATagEvenWithoutARow) {
  Tag(190, QStringLiteral("Jazz"), "T", 101);
  Link(190, 100, "P");  // Genre is the lower parent
  Tag(191, QStringLiteral("Lost"), "T", 100);
  Link(191, 99, "P");     // 99 has no row, yet is the lowest parent
  Link(191, 98, "L");     // nor has 98: nothing to walk
  Link(98, 111, "L");     // a link out of a missing tag leads nowhere
  Put(20, 190);
  Put(20, 191);
  GetSegmentTags(Db(), false, 1, 20, true, true);
  EXPECT_EQ(Structure(), QStringList({"190|190|Jazz|1||Genre|Genre|1", "191|191|Lost|1||Orphan Tag|Orphan Tag|1"}));
}

// Many rows are written in the order of explicit tag, tier and TagID, each
// with its own values.
TEST_F(SegmentTagsTest, AWideTagWritesARowForEachTagItReaches) {
  Tag(300, QStringLiteral("Wide"));
  QStringList expected{QStringLiteral("300|Wide|1|Y")};
  for (int id = 370; id > 300; --id) {  // made in falling order
    Tag(id, QStringLiteral("Tag %1").arg(id), "T", 100);
    Link(300, id, "L");
  }
  for (int id = 301; id <= 370; ++id) expected << QStringLiteral("%1|Tag %1|2|N").arg(id);
  Put(1, 300);
  GetSegmentTags(Db(), true, 1, -1, false, true);
  EXPECT_EQ(Rows(QStringLiteral("SELECT TagID, Tag, Tier, FileFlag FROM TEMP_FileTagStructure ORDER BY rowid")),
            expected);
  EXPECT_EQ(Rows(QStringLiteral("SELECT DISTINCT ExplicitTagID, TagCategory, ExplicitTagCategory, ViaSegment FROM "
                                "TEMP_FileTagStructure WHERE TagID > 300")),
            QStringList{"300|Genre|Orphan Tag|0"});
}

TEST_F(SegmentTagsTest, StructureOnlyLeavesTheRowsAndReturnsNothing) {
  Put(1, 110);
  EXPECT_EQ(GetSegmentTags(Db(), true, 1, -1, true, true), QString());
  EXPECT_EQ(Structure().size(), 3);
  // The next request starts afresh.
  GetSegmentTags(Db(), false, 1, 21, true, true);
  EXPECT_EQ(Structure().size(), 3) << "the file's own tags still apply to its segment";
  Exec(QStringLiteral("DELETE FROM SegmentTags"));
  GetSegmentTags(Db(), false, 1, 21, true, true);
  EXPECT_TRUE(Structure().isEmpty());
}

}  // namespace
