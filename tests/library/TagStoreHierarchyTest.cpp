// The tag tree's rows: creating tags and links, refusing links that would
// break the tree, deleting branches, and the behaviours and categories
// derived from where each node sits.
#include "tests/library/TagStoreFixture.h"

#include "library/TagStore_Placement.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "tests/support/FaultTrigger.h"

#include <QRegularExpression>

#include <iterator>
#include <random>

namespace {

using namespace TagStore;
using rwtest::TagStoreTest;

TEST(ConvertToT9Test, LettersBecomeKeypadDigits) {
  EXPECT_EQ(ConvertToT9(QStringLiteral("BOB")), QStringLiteral("262"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("Hello hELLO")), QStringLiteral("43556 43556"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("abc def ghi jkl mno pqrs tuv wxyz")),
            QStringLiteral("222 333 444 555 666 7777 888 9999"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("R2-D2's 1st")), QStringLiteral("72-32'7 178"));
}

// Type-ahead finds a name by the keys its letters are printed on: an
// accented letter is its base letter, in either case and however deeply it
// decomposes; other characters stay.
TEST(ConvertToT9Test, AnAccentedLetterTakesItsBaseLettersKey) {
  EXPECT_EQ(ConvertToT9(QStringLiteral("Éte")), QStringLiteral("383"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("Café")), QStringLiteral("2233"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("Ærø Łódź Ǖ Đ")), QStringLiteral("Æ76 5639 8 3"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("ñ ç ü å")), QStringLiteral("6 2 8 2"));
  EXPECT_EQ(ConvertToT9(QStringLiteral("日本 №5 ½")), QStringLiteral("日本 №5 ½"));
}

TEST_F(TagStoreTest, CreateTagWritesTheRowAndItsParentLink) {
  const int32_t genre = CreateTag(Db(), QStringLiteral("Rock 'n' Roll"), QStringLiteral("C"), QString());
  const int32_t tag = CreateTag(Db(), QStringLiteral("Live"), QStringLiteral("T"), QString::number(genre));
  EXPECT_EQ(genre, 5);
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM Tags WHERE TagID > 4")),
            QStringList({"5|Rock 'n' Roll|C|NULL|NULL|7625 '6' 7655", "6|Live|T|NULL|NULL|5483"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM TagLinks")), QStringList({QStringLiteral("%1|5|P").arg(tag)}));
}

TEST_F(TagStoreTest, CreateTagRefusesAParentThatIsNoTagBeforeWriting) {
  const QStringList before = Everything();
  for (const char* parent : {"abc", "5x", "99"}) {
    try {
      CreateTag(Db(), QStringLiteral("Lost"), QStringLiteral("T"), QString::fromLatin1(parent));
      ADD_FAILURE() << parent;
    } catch (const RWError& e) {
      EXPECT_EQ(e.Number(), QByteArray(parent) == "99" ? kErrInvalidArgument : 13) << parent;
    }
  }
  EXPECT_EQ(Everything(), before);
  EXPECT_FALSE(Db().InTransaction());
}

// Another program numbered a tag with the last row number a library keeps:
// SQLite would number the next one beyond it, which would read as another.
TEST_F(TagStoreTest, ATagPastTheLastRowNumberIsRefusedUnwritten) {
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (2147483647, 'Last', 'T')"));
  const QStringList before = Everything();
  try {
    CreateTag(Db(), QStringLiteral("Next"), QStringLiteral("T"), QString());
    ADD_FAILURE();
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrDatabase);
    EXPECT_TRUE(e.Description().contains(QStringLiteral("no row number left"))) << e.Description().toStdString();
  }
  EXPECT_EQ(Everything(), before);
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(TagStoreTest, LinkingTakesTheNowImpliedTagOffSegments) {
  Tag(10, QStringLiteral("Beach"));
  Tag(11, QStringLiteral("Holiday"));
  Tag(12, QStringLiteral("Sea"));
  Put(100, 10);
  Put(100, 11);  // carries both: loses Holiday
  Put(101, 11);  // carries Holiday only: keeps it
  Put(102, 12);
  Put(102, 10);

  const LinkOutcome parent = CreateTagRelationship(Db(), 10, 11, QStringLiteral("P"));
  EXPECT_TRUE(parent.stored);
  EXPECT_EQ(TagsOf(100), QStringList({"10"}));
  EXPECT_EQ(TagsOf(101), QStringList({"11"}));
  // A cross link implies just the same.
  EXPECT_TRUE(CreateTagRelationship(Db(), 10, 12, QStringLiteral("L")).stored);
  EXPECT_EQ(TagsOf(102), QStringList({"10"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM TagLinks ORDER BY LinkedTag")), QStringList({"10|11|P", "10|12|L"}));

  // The same link again stores nothing and leaves the segments alone.
  Put(100, 11);
  EXPECT_FALSE(CreateTagRelationship(Db(), 10, 11, QStringLiteral("P")).stored);
  EXPECT_EQ(TagsOf(100), QStringList({"10", "11"}));
  EXPECT_EQ(Count(QStringLiteral("TagLinks")), 2);
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(TagStoreTest, EqualTagsDoNothing) {
  Tag(10, QStringLiteral("Beach"));
  Put(100, 10);
  const QStringList before = Everything();
  const LinkOutcome outcome = CreateTagRelationship(Db(), 10, 10, QStringLiteral("P"));
  EXPECT_FALSE(outcome.stored);
  EXPECT_EQ(outcome.check, ParentLinkCheck::SameTag);
  EXPECT_TRUE(ParentLinkRefusal(outcome.check).isEmpty()) << "nothing to tell the user";
  EXPECT_EQ(Everything(), before);
}

TEST_F(TagStoreTest, ParentLinksThatWouldBreakTheTreeAreRefusedUnchanged) {
  Tag(10, QStringLiteral("Top"));
  Tag(11, QStringLiteral("Middle"), "T", 10);
  Tag(12, QStringLiteral("Bottom"), "T", 11);
  Tag(13, QStringLiteral("Elsewhere"));
  Put(100, 10);
  Put(100, 12);
  const QStringList before = Everything();

  // Top under Bottom would close a circle; so would a node under itself.
  const LinkOutcome cycle = CreateTagRelationship(Db(), 10, 12, QStringLiteral("P"));
  EXPECT_FALSE(cycle.stored);
  EXPECT_EQ(cycle.check, ParentLinkCheck::ClosesCycle);
  EXPECT_FALSE(ParentLinkRefusal(cycle.check).isEmpty());
  // Bottom has a parent already.
  const LinkOutcome second = CreateTagRelationship(Db(), 12, 13, QStringLiteral("P"));
  EXPECT_FALSE(second.stored);
  EXPECT_EQ(second.check, ParentLinkCheck::SecondParent);
  EXPECT_FALSE(ParentLinkRefusal(second.check).isEmpty());
  EXPECT_EQ(Everything(), before);

  // A move replaces the parent, so only a circle stops it.
  EXPECT_EQ(CheckParentLink(Db(), 12, 13, true), ParentLinkCheck::Allowed);
  EXPECT_EQ(CheckParentLink(Db(), 10, 12, true), ParentLinkCheck::ClosesCycle);
  // Cross links are no parents: the same pair may be linked across.
  EXPECT_TRUE(CreateTagRelationship(Db(), 10, 12, QStringLiteral("L")).stored);
}

TEST_F(TagStoreTest, TheCycleCheckEndsOnLinksThatCircleAlready) {
  Tag(10, QStringLiteral("A"));
  Tag(11, QStringLiteral("B"), "T", 10);
  Link(10, 11, "P");  // an old library's circle
  Tag(12, QStringLiteral("C"));
  EXPECT_EQ(CheckParentLink(Db(), 12, 10), ParentLinkCheck::Allowed);
  EXPECT_EQ(CheckParentLink(Db(), 10, 11, true), ParentLinkCheck::ClosesCycle);
}

TEST_F(TagStoreTest, DeleteTagRelationshipRemovesBothDirections) {
  Tag(10, QStringLiteral("A"));
  Tag(11, QStringLiteral("B"));
  Tag(12, QStringLiteral("C"));
  Link(10, 11, "L");
  Link(11, 10, "L");
  Link(12, 11, "P");
  DeleteTagRelationship(Db(), 11, 10);
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM TagLinks")), QStringList({"12|11|P"}));
}

class DeleteTreeNodeTest : public TagStoreTest {
 protected:
  void SetUp() override {
    TagStoreTest::SetUp();
    Tag(10, QStringLiteral("Genre"), "C");
    Tag(11, QStringLiteral("Rock"), "T", 10);
    Tag(12, QStringLiteral("Punk"), "T", 11);
    Tag(13, QStringLiteral("Best of"), "S", 11);  // a saved search inside the branch
    Exec(QStringLiteral("INSERT INTO Views VALUES ('|_T:11', 'S', 13)"));
    Tag(20, QStringLiteral("Mood"), "C");
    Tag(21, QStringLiteral("Loud"), "T", 20);
    Link(21, 12, "L");  // from outside into the branch
    Link(11, 21, "L");  // from the branch outwards
    Tag(30, QStringLiteral("Party mix"), "L", 11);  // a playlist: the tree shows it under Saved Playlists
    Put(100, 12);
    Put(100, 21);
    Put(101, 11);
  }
};

TEST_F(DeleteTreeNodeTest, TheBranchGoesAndWhatIsLinkedToItStays) {
  DeleteTreeNode(Db(), QStringLiteral("ID10"));
  EXPECT_EQ(Rows(QStringLiteral("SELECT TagID FROM Tags WHERE TagID > 4 ORDER BY TagID")),
            QStringList({"20", "21", "30"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM TagLinks")), QStringList({"21|20|P"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM SegmentTags")), QStringList({"100|21"}));
  EXPECT_EQ(Count(QStringLiteral("Views")), 0);
  EXPECT_EQ(Count(QStringLiteral("Tags"), QStringLiteral("TagID <= 4")), 4);
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(DeleteTreeNodeTest, AKeyThatIsNoNumberChangesNothing) {
  const QStringList before = Everything();
  try {
    DeleteTreeNode(Db(), QStringLiteral("LINK11-21"));
    ADD_FAILURE();
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), 13);
  }
  DeleteTreeNode(Db(), QStringLiteral("ID999"));  // no such node: nothing to delete
  EXPECT_EQ(Everything(), before);
}

TEST_F(DeleteTreeNodeTest, AFailureHalfWayUndoesEverythingAndClosesTheTransaction) {
  // The last statement fails.
  rwtest::AddFaultTrigger(
      Db(), QStringLiteral("CREATE TRIGGER KeepViews BEFORE DELETE ON Views BEGIN SELECT RAISE(ABORT, 'kept'); END"));
  const QStringList before = Everything();
  EXPECT_THROW(DeleteTreeNode(Db(), QStringLiteral("ID10")), RWError);
  EXPECT_FALSE(Db().InTransaction());
  EXPECT_EQ(Everything(), before);
}

class NodeBehavioursTest : public TagStoreTest {
 protected:
  QStringList Derived() {
    return Rows(QStringLiteral("SELECT TagID, Behaviour, CategoryID FROM Tags ORDER BY TagID"));
  }
};

TEST_F(NodeBehavioursTest, DerivedFromWhereEachNodeSits) {
  Tag(10, QStringLiteral("Genre"), "C");
  Tag(11, QStringLiteral("Sub-genre"), "C", 10);  // a category under a category
  Tag(12, QStringLiteral("Rock"), "T", 11);
  Tag(13, QStringLiteral("Folder"), "F", 12);  // a folder under a tag
  Tag(14, QStringLiteral("Deep"), "C", 13);    // a category under a tag
  Tag(20, QStringLiteral("Archive"), "F");
  Tag(21, QStringLiteral("Old"), "T", 20);
  Tag(30, QStringLiteral("Mix"), "L", 12);  // shown under Saved Playlists
  Tag(31, QStringLiteral("In mix"), "T", 30);
  Tag(40, QStringLiteral("Broken"), "F", 1);  // below the fixed "Unplayable", which is no tag here
  Tag(41, QStringLiteral("Best of"), "S", 3);
  Tag(50, QStringLiteral("Linked"), "C");  // only a cross link: no place in the tree
  Link(50, 12, "L");
  Tag(51, QStringLiteral("Under it"), "T", 50);

  SetNodeBehaviours(Db(), false);
  EXPECT_EQ(Derived(), QStringList({"1|T|NULL",  "2|F|NULL",  "3|F|NULL",  "4|F|NULL",  "10|C|NULL", "11|C|10",
                                    "12|T|10",   "13|T|10",   "14|T|10",   "20|F|NULL", "21|T|NULL", "30|L|NULL",
                                    "31|T|NULL", "40|F|NULL", "41|S|NULL", "50|C|NULL", "51|T|50"}));
}

// Many rows to place are derived from one read of every tag, a few from the
// tags they ask about: both give the same rows.
TEST_F(NodeBehavioursTest, ManyRowsToPlaceAreDerivedAsAFewAre) {
  Tag(10, QStringLiteral("Genre"), "C");
  Tag(11, QStringLiteral("Sub-genre"), "C", 10);
  Tag(12, QStringLiteral("Rock"), "T", 11);
  Tag(13, QStringLiteral("Folder"), "F", 12);
  Tag(20, QStringLiteral("Archive"), "F");
  Tag(21, QStringLiteral("Old"), "T", 20);
  Tag(30, QStringLiteral("Mix"), "L", 12);
  Tag(31, QStringLiteral("In mix"), "T", 30);
  SetNodeBehaviours(Db(), true);
  const QStringList few = Derived();
  ASSERT_EQ(few.mid(4), QStringList({"10|C|NULL", "11|C|10", "12|T|10", "13|T|10", "20|F|NULL", "21|T|NULL",
                                     "30|L|NULL", "31|T|NULL"}));
  Exec(QStringLiteral("UPDATE Tags SET Behaviour = NULL, CategoryID = NULL"));
  for (int id = 100; id < 140; ++id) Tag(id, QStringLiteral("Loose %1").arg(id), "T", id % 2 ? 13 : 0);
  SetNodeBehaviours(Db(), true);
  const QStringList many = Derived();
  EXPECT_EQ(many.mid(0, few.size()), few);
  EXPECT_EQ(many.mid(few.size()).filter(QStringLiteral("|T|10")).size(), 20) << "the loose tags below the folder";
}

// Each node sees what is above it from its own place: below a circle of an
// old library's parent links the outermost category is the one the walk up
// meets last, and on the circle each node sees the others. A chain thousands
// deep under a category puts every tag of it in that category.
TEST_F(NodeBehavioursTest, CirclesAndDeepChainsAreDerivedFromEachNodesPlace) {
  Tag(70, QStringLiteral("Genre"), "C", 71);
  Tag(71, QStringLiteral("Style"), "C", 70);
  Tag(72, QStringLiteral("Rock"), "T", 71);
  Tag(73, QStringLiteral("Punk"), "T", 72);
  Tag(80, QStringLiteral("Loop"), "T", 81);
  Tag(81, QStringLiteral("Ring"), "F", 80);
  Tag(100, QStringLiteral("Top"), "C");
  Exec(
      QStringLiteral("WITH RECURSIVE N(i) AS (SELECT 101 UNION ALL SELECT i + 1 FROM N WHERE i < 3100) "
                     "INSERT INTO Tags (TagID, Tag, Type) SELECT i, 'Level ' || i, 'T' FROM N;"
                     "INSERT INTO TagLinks SELECT TagID, TagID - 1, 'P' FROM Tags WHERE TagID > 100"));
  SetNodeBehaviours(Db(), false);
  const QStringList derived = Derived();
  EXPECT_EQ(derived.mid(4, 7),
            QStringList({"70|C|71", "71|C|70", "72|T|70", "73|T|70", "80|T|NULL", "81|T|NULL", "100|C|NULL"}));
  EXPECT_EQ(derived.mid(11).filter(QRegularExpression(QStringLiteral("^\\d+\\|T\\|100$"))).size(), 3000);
}

// The levels of every tag derived at once, from one read of the tags and
// links (as the tree derives them from its own read), are what the
// placement derives tag by tag, on hierarchies of every kind of node: the
// fixed nodes, playlists, folders and searches, tags without a type,
// parents that are no tag, several parents, and circles of parent links,
// with a few links whose ends another program stored as text.
TEST_F(NodeBehavioursTest, EveryTagDerivedAtOnceIsWhatThePlacementDerivesTagByTag) {
  std::mt19937 random(72);
  const char* types[] = {"T", "T", "T", "C", "C", "F", "L", "S", "V", nullptr};
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    QString sql = QStringLiteral("BEGIN; DELETE FROM Tags WHERE TagID > 4; DELETE FROM TagLinks;");
    const int count = 30 + round * 10;
    for (int id = 10; id < 10 + count; ++id) {
      const char* type = types[random() % std::size(types)];
      sql += QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID) VALUES (%1, 'N%1', %2, %3, %4);")
               .arg(id)
               .arg(type ? QStringLiteral("'%1'").arg(QLatin1String(type)) : QStringLiteral("NULL"))
               .arg(random() % 3 ? QStringLiteral("NULL") : QStringLiteral("'T'"))
               .arg(random() % 3 ? QStringLiteral("NULL") : QString::number(10 + random() % count));
      // Most nodes have a parent, some two, some one that is no tag or a fixed node.
      for (int p = 0; p < 1 + static_cast<int>(random() % 4 == 0); ++p) {
        if (random() % 5 == 0) continue;
        const int parent = random() % 10 == 0 ? static_cast<int>(random() % 6) : 10 + static_cast<int>(random() % (count + 3));
        const QString end = random() % 25 == 0 ? QStringLiteral("'n%1'").arg(parent) : QString::number(parent);
        sql += QStringLiteral("INSERT OR IGNORE INTO TagLinks VALUES (%1, %2, 'P');").arg(id).arg(end);
      }
    }
    Exec(sql + QStringLiteral("COMMIT"));
    QStringList expected;
    {
      const TagPlacement placement(Db());
      SqlRecordset rows(Db(), QStringLiteral("SELECT TagID, Type FROM Tags ORDER BY TagID"));
      for (; !rows.Eof(); rows.MoveNext()) {
        const TagPlacement::Derived derived = placement.Derive(rows.Value(0).toInt());
        const QString behaviour = derived.underTag ? QStringLiteral("T")
                                  : rows.Value(1).IsNull() ? QStringLiteral("NULL")
                                                           : rows.Value(1).toString();
        expected << QStringLiteral("%1|%2|%3")
                        .arg(rows.Value(0).toInt())
                        .arg(behaviour, derived.categoryId ? QString::number(derived.categoryId) : QStringLiteral("NULL"));
      }
    }
    SetNodeBehaviours(Db(), false);
    EXPECT_EQ(Derived(), expected);
  }
}

TEST_F(NodeBehavioursTest, AFullPassClearsACategoryThatNoLongerApplies) {
  Tag(10, QStringLiteral("Genre"), "C");
  Tag(11, QStringLiteral("Rock"), "T", 10);
  Tag(12, QStringLiteral("Punk"), "T", 11);
  SetNodeBehaviours(Db(), false);
  ASSERT_EQ(Derived().mid(4), QStringList({"10|C|NULL", "11|T|10", "12|T|10"}));

  Exec(QStringLiteral("DELETE FROM TagLinks WHERE TagID = 11"));  // Rock moved to the top
  SetNodeBehaviours(Db(), false);
  EXPECT_EQ(Derived().mid(4), QStringList({"10|C|NULL", "11|T|NULL", "12|T|NULL"}));
}

TEST_F(NodeBehavioursTest, OnlyUnsetTouchesRowsThatHaveNoValues) {
  Tag(10, QStringLiteral("Genre"), "C");
  Tag(11, QStringLiteral("Rock"), "T", 10);
  Tag(12, QStringLiteral("Folder"), "F", 11);
  Exec(QStringLiteral("UPDATE Tags SET Behaviour = 'X', CategoryID = 99 WHERE TagID = 11"));
  Exec(QStringLiteral("UPDATE Tags SET Behaviour = 'F' WHERE TagID = 12"));
  SetNodeBehaviours(Db(), true);
  // Rock keeps what it had; the folder keeps its Behaviour but, having no
  // category yet, is derived (and under a tag).
  EXPECT_EQ(Derived().mid(4), QStringList({"10|C|NULL", "11|X|99", "12|T|10"}));
}

}  // namespace
