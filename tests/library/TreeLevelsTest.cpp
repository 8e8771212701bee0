// The tag levels and the format nodes of the library tree on awkward rows:
// nested levels, tags with parents on different levels, empty groups, links
// that point nowhere, and file formats with odd values, with and without the
// library's format index.
#include "library/TagStore.h"
#include "tests/library/TreeFixture.h"
#include "ui/SchemeColours.h"

#include <iterator>
#include <random>

namespace {

using rwtest::OpenLibraryTest;

class TreeLevelsTest : public OpenLibraryTest {
 protected:
  // Formats that differ only in case, a number, a blob, the empty text and
  // NULL (which share "Undetermined") and the word "Undetermined" itself.
  static QString OddFormats() {
    return FileRow(5, "a", "'mpeg'") + FileRow(6, "b", "'MPEG'") + FileRow(7, "c", "NULL") + FileRow(8, "d", "''") +
           FileRow(9, "e", "42") + FileRow(10, "f", "x'4156'") + FileRow(11, "g", "'Undetermined'") +
           FileRow(12, "h", "'mpeg'") + FileRow(13, "i", "'AV'") + FileRow(14, "j", "'MPEG'");
  }
};

constexpr COLORREF kRed = 255;

// A node's subtree as shown: "Text{child,child{grandchild}}".
QString Outline(const ctl::Node& node) {
  QStringList children;
  for (ctl::Node* child = node.Child(); child; child = child->Next()) children << Outline(*child);
  return children.isEmpty() ? node.Text() : node.Text() + u'{' + children.join(u',') + u'}';
}

void Rebuild() {
  gLibrary->PopulateTree();
  gLibrary->SortTree();
}

const char* const kHierarchy =
    "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Genres', 'C'), (11, 'Drama', 'T'), (12, 'Crime', 'F'), "
    "(13, 'Noir', 'T'), (14, 'Heist', 'T'), (15, 'Neo', 'T'), (16, 'Caper', 'T'), (17, 'Empty', 'C'), "
    "(18, 'Shelf', 'F'), (19, 'Mix', 'L'), (20, 'Side', 'T'), (21, 'Bare', 'F'), (22, 'Thriller', 'T');"
    // Heist hangs below Crime (second level) and below Caper (third level);
    // Thriller below Genres and below its sibling Drama.
    "INSERT INTO TagLinks VALUES (11, 10, 'P'), (12, 10, 'P'), (13, 12, 'P'), (14, 12, 'P'), (14, 16, 'P'), "
    "(15, 13, 'P'), (16, 11, 'P'), (18, 11, 'L'), (19, 13, 'P'), (20, 19, 'P'), (21, 10, 'P'), (22, 10, 'P'), "
    "(22, 11, 'P')";

TEST_F(TreeLevelsTest, NestedLevelsShowEachTagOnceAtItsHighestPlace) {
  OpenWith(QLatin1String(kHierarchy));
  EXPECT_EQ(boxes.Count(), 0) << "a tag below two parents is no circle";
  EXPECT_EQ(Outline(Node("ID10")), QStringLiteral("Genres{Bare,Crime{Heist,Noir{Neo}},Drama{Caper},Thriller}"));
  EXPECT_EQ(Node("ID12").Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_EQ(Node("ID21").Image(), QStringLiteral("FOLDERCLOSED")) << "an empty folder keeps its kind";
  EXPECT_EQ(Node("ID21").StateImage(), 3) << "and shows no expander";
  EXPECT_EQ(Outline(Node("ID17")), QStringLiteral("Empty"));
  EXPECT_EQ(Node("ID17").Image(), QStringLiteral("CATEGORY"));
  EXPECT_EQ(Outline(Node("ID18")), QStringLiteral("Shelf{Drama}")) << "a folder holding only a link";
  EXPECT_EQ(Node("LINK18-11").Image(), QStringLiteral("LINK"));
  // A playlist goes under the saved playlists, its own children with it.
  EXPECT_EQ(Node("ID19").Parent()->Key(), QStringLiteral("ID2"));
  EXPECT_EQ(Outline(Node("ID19")), QStringLiteral("Mix{Side}"));
  EXPECT_EQ(Shown("ID13"), QStringList{"Neo"});
  EXPECT_EQ(Shown().mid(0, 4), (QStringList{"Empty", "Genres", "Shelf", "Unplayable"}));
  // Every tag of the library has a node.
  for (const QString& tagId : Column("SELECT TagID FROM Tags")) EXPECT_TRUE(Tree().Nodes.Exists("ID" + tagId)) << tagId.toStdString();
}

TEST_F(TreeLevelsTest, TheTreeIsTheSameWhenBuiltAgain) {
  OpenWith(QLatin1String(kHierarchy));
  const QString first = Outline(Node("ID10")) + Outline(Node("ID2")) + Outline(Node("ID18"));
  Rebuild();
  EXPECT_EQ(Outline(Node("ID10")) + Outline(Node("ID2")) + Outline(Node("ID18")), first);
  EXPECT_EQ(boxes.Count(), 0);
}

// The tree derives every tag's behaviour and category from its own read of
// the hierarchy, mending levels another program left stale, as the full
// pass over the file derives them: on random hierarchies with circles,
// several parents and parents that are no tag (which the tree leaves to the
// full pass).
TEST_F(TreeLevelsTest, TheTreeMendsEveryTagsLevelsAsTheFullPassDerivesThem) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  OpenWith(QString());
  std::mt19937 random(7);
  const char* types[] = {"'T'", "'T'", "'C'", "'C'", "'F'", "'L'", "'S'", "NULL"};
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    const int count = 40 + 20 * round;
    QString sql = QStringLiteral("BEGIN; DELETE FROM Tags WHERE TagID > 4; DELETE FROM TagLinks;");
    for (int id = 10; id < 10 + count; ++id) {
      sql += QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, 'N%1', %2);")
                 .arg(id)
                 .arg(QLatin1String(types[random() % std::size(types)]));
      for (int p = 0; p < 1 + static_cast<int>(random() % 4 == 0); ++p) {
        if (random() % 5 == 0) continue;
        // Parents that are no tag only in every other round.
        const int parent = 10 + static_cast<int>(random() % (count + (round % 2 ? 3 : 0)));
        sql += QStringLiteral("INSERT OR IGNORE INTO TagLinks VALUES (%1, %2, 'P');").arg(id).arg(parent);
      }
    }
    Exec(sql + QStringLiteral("COMMIT"));
    TagStore::SetNodeBehaviours(gLibrary->Connection(), false);
    const QStringList derived = Column("SELECT TagID || '|' || ifnull(Behaviour, '-') || '|' || "
                                       "ifnull(CategoryID, '-') FROM Tags ORDER BY TagID");
    // Stale levels, as another program may leave them.
    Exec(QStringLiteral("UPDATE Tags SET Behaviour = CASE TagID % 3 WHEN 0 THEN NULL WHEN 1 THEN 'T' ELSE Type END, "
                        "CategoryID = CASE TagID % 4 WHEN 0 THEN NULL WHEN 1 THEN 10 ELSE CategoryID END"));
    Rebuild();
    EXPECT_EQ(Column("SELECT TagID || '|' || ifnull(Behaviour, '-') || '|' || ifnull(CategoryID, '-') FROM Tags "
                     "ORDER BY TagID"),
              derived);
  }
}

TEST_F(TreeLevelsTest, LinksToMissingTagsCostNoNodeOfTheRest) {
  OpenWith(QLatin1String(kHierarchy));
  // Rows the upkeep would remove, written after the open: a child link from a
  // tag that does not exist, and a parent link to nothing.
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (30, 'Lone', 'T'), (31, 'Lost', 'T');"
                      "INSERT INTO TagLinks VALUES (30, 10, 'P'), (99, 30, 'P'), (31, NULL, 'P'), (98, 17, 'P')"));
  Rebuild();
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Outline(Node("ID10")), QStringLiteral("Genres{Bare,Crime{Heist,Noir{Neo}},Drama{Caper},Lone,Thriller}"));
  EXPECT_EQ(Outline(Node("ID17")), QStringLiteral("Empty"));
  EXPECT_FALSE(Tree().Nodes.Exists("ID31")) << "a tag whose only parent is missing has no place";
  EXPECT_TRUE(Tree().Nodes.Exists("ID4"));
}

TEST_F(TreeLevelsTest, ACircleBelowAFolderIsReportedOnceAndTheRestIsBuilt) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  OpenWith(QLatin1String(kHierarchy) +
           QStringLiteral(";INSERT INTO Tags (TagID, Tag, Type) VALUES (40, 'Ring', 'T'), (41, 'Round', 'T');"
                          "INSERT INTO TagLinks VALUES (40, 21, 'P'), (40, 41, 'P'), (41, 40, 'P')"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Ring, Round"))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Outline(Node("ID21")), QStringLiteral("Bare{Ring{Round}}"));
  EXPECT_EQ(Outline(Node("ID12")), QStringLiteral("Crime{Heist,Noir{Neo}}"));
}

// Each level of a chain is one tag deep: the build visits each level's own
// links only, so thousands of levels cost what as many tags side by side do.
TEST_F(TreeLevelsTest, AChainThousandsDeepHangsEachTagBelowTheOneBefore) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Top', 'C');"
                     "WITH RECURSIVE N(i) AS (SELECT 11 UNION ALL SELECT i + 1 FROM N WHERE i < 3010) "
                     "INSERT INTO Tags (TagID, Tag, Type) SELECT i, 'Level ' || i, 'T' FROM N;"
                     "INSERT INTO TagLinks SELECT TagID, TagID - 1, 'P' FROM Tags WHERE TagID > 10"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Node("ID10").Parent(), nullptr);
  int misplaced = 0;
  for (int id = 11; id <= 3010; ++id) {
    misplaced += Node(QStringLiteral("ID%1").arg(id)).Parent() != &Node(QStringLiteral("ID%1").arg(id - 1)) ? 1 : 0;
  }
  EXPECT_EQ(misplaced, 0);
  EXPECT_EQ(Node("ID3009").StateImage(), 1) << "a collapsed node with a child";
  EXPECT_EQ(Node("ID3010").StateImage(), 3) << "the last tag has none";
  EXPECT_EQ(Count("SELECT count(*) FROM Tags WHERE CategoryID = 10"), 3000);
}

TEST_F(TreeLevelsTest, OddFormatsShowOnceEachInTheirFilesOrder) {
  OpenWith(OddFormats());
  EXPECT_EQ(Shown("FORMATS"), (QStringList{"42", "AV", "mpeg", "MPEG", "Undetermined"}));
  EXPECT_EQ(Node("F-Undetermined").ForeColor(), kRed);
  EXPECT_EQ(Node("F-42").ForeColor(), gSchemeColour4);
  EXPECT_EQ(Node("F-MPEG").Image(), QStringLiteral("COG"));
}

TEST_F(TreeLevelsTest, FormatsAreTheSameWithoutTheFormatIndex) {
  // The first file with each case of the name decides their order.
  OpenWith(OddFormats() + QStringLiteral(";UPDATE VideoFiles SET FileID = FileID + 100 WHERE FileID = 5"));
  ASSERT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name = 'rw2_VideoFiles_FileFormat'"), 1)
      << "the open's upkeep adds the format index";
  const QStringList indexed = Shown("FORMATS");
  EXPECT_EQ(indexed, (QStringList{"42", "AV", "MPEG", "mpeg", "Undetermined"}));
  Exec(QStringLiteral("DROP INDEX rw2_VideoFiles_FileFormat"));
  Rebuild();
  EXPECT_EQ(Shown("FORMATS"), indexed);
  EXPECT_EQ(Node("F-Undetermined").ForeColor(), kRed);
}

TEST_F(TreeLevelsTest, FormatsFollowTheFilesAddedAndRemoved) {
  OpenWith(OddFormats());
  Exec(QStringLiteral("DELETE FROM VideoFiles WHERE FileFormat IN ('mpeg', '', 'Undetermined');"
                      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileFormat) VALUES "
                      "(50, '1A2B3C4D', 'x', 'y', 'WebM'), (51, '1A2B3C4D', 'x', 'z', 'Zip')"));
  Rebuild();
  EXPECT_EQ(Shown("FORMATS"), (QStringList{"42", "AV", "MPEG", "Undetermined", "WebM", "Zip"}));
  EXPECT_EQ(Node("F-Undetermined").ForeColor(), kRed) << "a file without a format is left";
  Exec(QStringLiteral("DELETE FROM VideoFiles WHERE FileFormat IS NULL"));
  Rebuild();
  EXPECT_EQ(Shown("FORMATS"), (QStringList{"42", "AV", "MPEG", "WebM", "Zip"}));
  Exec(QStringLiteral("DELETE FROM VideoFiles"));
  Rebuild();
  EXPECT_TRUE(Shown("FORMATS").isEmpty());
}

TEST_F(TreeLevelsTest, ALibraryWithoutFilesHasAnEmptyFormatGroup) {
  OpenWith(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Only', 'T')"));
  EXPECT_TRUE(Shown("FORMATS").isEmpty());
  EXPECT_EQ(Node("FORMATS").StateImage(), 3);
  EXPECT_EQ(Node("ID10").Parent(), nullptr);
}

// Random hierarchies whose tags share names in every way the order can tell
// apart (case, accents, characters on both sides of the UTF-16 surrogates,
// the same name twice, no name, no type, long names alike in their first
// units and apart after them), many with a second parent: every
// parent's children come in the order of their type and name, then parent,
// then TagID, as the database orders them; a tag with two parents hangs
// below the one met first; and no circle is reported where there is none.
TEST_F(TreeLevelsTest, ChildrenComeInTheDatabasesOrderOfTypeAndName) {
  const QStringList names = {
      QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"), QString::fromUtf8("é"), QString::fromUtf8("É"),
      QString::fromUtf8("\xee\x80\x80"), QString::fromUtf8("\xf0\x9d\x84\x9e"), QStringLiteral("ab"),
      QStringLiteral(""), QStringLiteral("Tag 1"), QStringLiteral("Tag 10"), QStringLiteral("Tag 2"),
      QStringLiteral("Tag"), QStringLiteral("tag 1"), QString::fromUtf8("Tag \xf0\x9d\x84\x9e"),
      QString::fromUtf8("Tag \xee\x80\x80")};
  const QStringList types = {QStringLiteral("'T'"), QStringLiteral("'F'"), QStringLiteral("'C'"),
                             QStringLiteral("NULL")};
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    QStringList sql;
    constexpr int kTags = 70;
    for (int id = 10; id < 10 + kTags; ++id) {
      const QString name = pick(10) == 0 ? QStringLiteral("NULL") : SqlQuote(names[pick(names.size())]);
      sql << QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, %2, %3)")
                 .arg(id)
                 .arg(name, types[pick(types.size())]);
      // Parents have lower numbers, so no link goes round.
      if (id >= 15) sql << QStringLiteral("INSERT INTO TagLinks VALUES (%1, %2, 'P')").arg(id).arg(10 + pick(id - 10));
      if (id >= 20 && pick(3) == 0) {
        sql << QStringLiteral("INSERT OR IGNORE INTO TagLinks VALUES (%1, %2, 'P')").arg(id).arg(10 + pick(id - 10));
      }
    }
    OpenWith(sql.join(u';'), QStringLiteral("Random%1.rw2").arg(seed));
    EXPECT_EQ(boxes.Count(), 0) << "seed " << seed;
    gLibrary->PopulateTree();  // unsorted: each level in the order the build adds it
    for (int parent = 10; parent < 10 + kTags; ++parent) {
      QStringList expected;
      for (const QString& child : Column(QStringLiteral(
               "SELECT TL.TagID FROM TagLinks TL JOIN Tags C ON C.TagID = TL.TagID WHERE TL.Relationship = 'P' "
               "AND TL.LinkedTag = %1 ORDER BY C.Type, C.Tag, TL.LinkedTag, TL.TagID")
                                             .arg(parent))) {
        // A tag with two parents is shown below the first one the levels meet.
        if (Node("ID" + child).Parent() == &Node(QStringLiteral("ID%1").arg(parent))) expected << "ID" + child;
      }
      QStringList shown;
      for (ctl::Node* child = Node(QStringLiteral("ID%1").arg(parent)).Child(); child; child = child->Next()) {
        shown << child->Key();
      }
      EXPECT_EQ(shown, expected) << "seed " << seed << ", parent " << parent;
    }
    for (int id = 15; id < 10 + kTags; ++id) {
      // The parent first met: the shallowest, and of those the first in the order above.
      const QString parents = Column(QStringLiteral("SELECT LinkedTag FROM TagLinks WHERE TagID = %1 AND "
                                                    "Relationship = 'P' ORDER BY LinkedTag")
                                         .arg(id))
                                  .join(u',');
      const ctl::Node* parent = Node(QStringLiteral("ID%1").arg(id)).Parent();
      ASSERT_NE(parent, nullptr) << "seed " << seed << ", tag " << id;
      EXPECT_TRUE(parents.split(u',').contains(parent->Key().mid(2))) << "seed " << seed << ", tag " << id;
    }
  }
}

}  // namespace
