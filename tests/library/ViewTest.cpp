// Saved views and searches: the rows and the tree node SaveView makes, and
// reading a spec back by the node's key.
#include "platform/RWError.h"
#include "tests/library/TreeFixture.h"
#include "ui/SchemeColours.h"

namespace {

using ViewTest = rwtest::OpenLibraryTest;

TEST_F(ViewTest, NamedSearchIsStoredAndShownUnderSavedSearches) {
  OpenWith();
  const QString spec = QStringLiteral("|_?D:D-07d|+?R:5");
  gLibrary->SaveView(spec, QStringLiteral("Trips"), true);
  const int id = Count("SELECT max(TagID) FROM Tags");
  EXPECT_EQ(Column(QStringLiteral("SELECT Tag || '|' || Type || '|' || T9Text FROM Tags WHERE TagID = %1").arg(id)),
            QStringList{"Trips|S|87477"});
  EXPECT_EQ(Column(QStringLiteral("SELECT LinkedTag || Relationship FROM TagLinks WHERE TagID = %1").arg(id)),
            QStringList{"3P"});
  EXPECT_EQ(Column(QStringLiteral("SELECT ViewSpec || '#' || Type FROM Views WHERE TagID = %1").arg(id)),
            QStringList{spec + "#S"});

  ctl::Node& node = Node(QStringLiteral("ID%1").arg(id));
  EXPECT_EQ(node.Parent()->Key(), QStringLiteral("ID3"));
  EXPECT_EQ(node.Text(), QStringLiteral("Trips"));
  EXPECT_EQ(node.Image(), QStringLiteral("SEARCH"));
  EXPECT_EQ(node.Tag(), spec);
  EXPECT_TRUE(node.Bold());
  EXPECT_EQ(node.ForeColor(), gSchemeColour4);
  EXPECT_TRUE(node.Selected());
  EXPECT_TRUE(Node("ID3").Expanded());
  EXPECT_EQ(gPendingRenameNode, nullptr);
  EXPECT_FALSE(View().treeEditTimer);

  QString key = node.Key();
  EXPECT_EQ(gLibrary->GetViewSpec(key), spec);
  EXPECT_EQ(key, QString::number(id)) << "the key is given back as the TagID";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(ViewTest, UnnamedViewIsCalledNewViewAndItsLabelEditIsAskedFor) {
  OpenWith();
  gLibrary->SaveView(QStringLiteral("|_T:1"), QString(), false);
  const int id = Count("SELECT max(TagID) FROM Tags");
  EXPECT_EQ(Column(QStringLiteral("SELECT '[' || Tag || ']' || Type FROM Tags WHERE TagID = %1").arg(id)),
            QStringList{"[]V"});
  EXPECT_EQ(Count(QStringLiteral("SELECT LinkedTag FROM TagLinks WHERE TagID = %1").arg(id)), 4);
  ctl::Node& node = Node(QStringLiteral("ID%1").arg(id));
  EXPECT_EQ(node.Text(), QStringLiteral("New View"));
  EXPECT_EQ(node.Image(), QStringLiteral("VIEW"));
  EXPECT_EQ(node.Tag(), QString());
  EXPECT_EQ(node.Parent()->Key(), QStringLiteral("ID4"));
  EXPECT_EQ(gPendingRenameNode, &node);
  EXPECT_TRUE(View().treeEditTimer);

  // Rebuilding the tree forgets the node that waited for its edit.
  gLibrary->PopulateTree();
  gLibrary->SortTree();
  EXPECT_EQ(gPendingRenameNode, nullptr);
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(id)).Text(), QString());
}

TEST_F(ViewTest, ViewThatCannotBeStoredLeavesNoTag) {
  OpenWith();
  const int next = Count("SELECT max(TagID) FROM Tags") + 1;
  Exec(QStringLiteral("INSERT INTO Views VALUES ('|_T:1', 'V', %1)").arg(next));
  const int tags = Count("SELECT count(*) FROM Tags");
  EXPECT_THROW(gLibrary->SaveView(QStringLiteral("|_T:2"), QStringLiteral("Clash"), false), RWError);
  EXPECT_EQ(Count("SELECT count(*) FROM Tags"), tags);
  EXPECT_EQ(Count("SELECT count(*) FROM TagLinks"), 0);
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("ID%1").arg(next)));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

TEST_F(ViewTest, UnknownOrMalformedKeysAnswerEmptyWithAMessage) {
  OpenWith(QStringLiteral("INSERT INTO Views VALUES ('|_T:1', 'V', 57)"));
  QString key = QStringLiteral("ID57");
  EXPECT_EQ(gLibrary->GetViewSpec(key), QStringLiteral("|_T:1"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  for (const char* text : {"ID58", "ID57 OR 1=1", "ID57; DELETE FROM Views", "IDx"}) {
    key = QLatin1String(text);
    EXPECT_EQ(gLibrary->GetViewSpec(key), QString()) << text;
    EXPECT_EQ(boxes.Last().prompt, QStringLiteral("There was an unexpected problem processing this View"));
    EXPECT_EQ(boxes.Last().style, vbExclamation);
    EXPECT_EQ(boxes.Last().title, QString());
  }
  EXPECT_EQ(boxes.Count(), 4);
  EXPECT_EQ(Count("SELECT count(*) FROM Views"), 1);
}

}  // namespace
