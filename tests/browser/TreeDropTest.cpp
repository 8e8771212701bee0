// Drops on the library tree in the running program: results tagged,
// untagged and rated by the node they land on, tree nodes moved and linked,
// and the feedback while a drag is over the tree (highlight, icons, status,
// scrolling, a node opening after a second on the injected clock). One test
// drags a tag onto another with the mouse through the drag controller and
// can leave a picture of the tree (see docs/DEVELOPING.md).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <cstring>
#include <functional>

#include "library/TagStore.h"
#include "platform/ErrorGuard.h"
#include "platform/DragController.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/SearchFixture.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/SmallDisk.h"
#include "ui/DragState.h"
#include "ui/cwProgress.h"

namespace {

using rwtest::RowSet;
using SearchTest = rwtest::SearchTestOn<rwtest::RunningProgramTest>;

class TreeDropTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    gMainForm->Results().Timer1->SetInterval(24 * 3600 * 1000);
    previousKeys_ = ctl::SetKeyStateFunction(
        [this](int key) { return key == 17 && ctrl ? static_cast<int16_t>(0xFF80) : int16_t{0}; });
    previousClock_ = ctl::SetTickCountFunction([this] { return now; });
  }

  void TearDown() override {
    ctl::DragController::Instance().End(false);
    ctl::SetKeyStateFunction(previousKeys_);
    ctl::SetTickCountFunction(previousClock_);
    gSelectedById.Reset();
    SearchTest::TearDown();
  }

  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ResultsPane& Results() { return gMainForm->Results(); }
  static QWidget* Viewport() { return Tree().Viewport(); }

  // A point of the node's label in viewport pixels (the node scrolled into view).
  static QPoint LabelPixel(ctl::Node& node) {
    node.EnsureVisible();
    for (int y = 0; y < Viewport()->height(); y += 2) {
      for (int x = 0; x < Viewport()->width(); x += 2) {
        int flags = 0;
        if (Tree().HitTestInfo(x, y, &flags) == &node && (flags & ctl::tvhtOnItemLabel)) return QPoint(x + 6, y);
      }
    }
    ADD_FAILURE() << "node not shown: " << node.Text().toStdString();
    return QPoint(-1, -1);
  }
  // The same point in the twips of the tree's drag events.
  static QPointF At(ctl::Node& node) {
    const QPoint p = LabelPixel(node);
    return QPointF(p.x() * gTwipsPerPixelX, p.y() * gTwipsPerPixelY);
  }

  void Over(ctl::Control& source, const QString& key, int state = ctl::vbOver) {
    const QPointF at = At(Node(key));
    TreePane().tvwLibrary_DragOver(source, at.x(), at.y(), state);
  }
  void DropOn(ctl::Control& source, const QString& key) {
    const QPointF at = At(Node(key));
    TreePane().tvwLibrary_DragDrop(source, at.x(), at.y());
  }
  // A tree node dragged onto another.
  void MoveNode(const QString& dragged, const QString& target) {
    Tree().SetSelectedItem(&Node(dragged));
    DropOn(Tree(), target);
  }

  // Results as a browser drag leaves them: the rows shown, those at the
  // given indexes selected, and result `dragged` the dragged one.
  void DragResults(const RowSet& rows, std::initializer_list<int> selected, int dragged) {
    SetSearchResults(rows);
    gLibrary->FetchSearchResults();
    gLibrary->ShowSearchResults();
    for (int i : selected) Results().ApplySelection(QStringLiteral("Select"), i, i);
    DragState& drag = gMainForm->m_DragState;
    drag.Source = QStringLiteral("Browser");
    drag.SegmentID = gResults[static_cast<size_t>(dragged)].SegmentID;
    drag.ItemSelected = gResults[static_cast<size_t>(dragged)].Selected ? 1 : 0;
  }

  static RowSet TaggedWith(int tag) {
    RowSet rows;
    for (const QString& id : Column(QStringLiteral("SELECT SegmentID FROM SegmentTags WHERE TagID = %1").arg(tag))) {
      rows.insert(id.toInt());
    }
    return rows;
  }
  static QStringList Links() {
    return Column(QStringLiteral("SELECT TagID || '>' || LinkedTag || Relationship FROM TagLinks ORDER BY 1"));
  }
  static QStringList TreeShape() {
    QStringList shape;
    for (const auto& node : Tree().Nodes) shape << node->FullPath() + QLatin1Char('=') + node->Image();
    return shape;
  }
  static QString Status() { return gMainForm->progProgress->Caption(); }
  static QImage IconOf(const ctl::Control& control) { return control.DragIcon().pixmap().toImage(); }
  static QImage Icon(const char* key) { return gMainForm->imglstDragIcons.Picture(QLatin1String(key)).toImage(); }

  static SqlValue One(const QString& sql) {
    auto rs = gLibrary->Connection().OpenRecordset(sql);
    return rs->RecordCount() ? rs->Value(0) : SqlValue();
  }
  static QStringList Column(const QString& sql) {
    QStringList values;
    auto rs = gLibrary->Connection().OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) values << rs->Value(0).toString();
    return values;
  }
  static ctl::Node& Node(const QString& key) { return Tree().Nodes.Item(key); }

  bool ctrl = false;
  uint64_t now = 0;

 private:
  ctl::KeyStateFunction previousKeys_;
  ctl::TickCountFunction previousClock_;
};

// ---- Files dropped on the tree ----

// The one box of a command the library's full disk refused: under "Disk
// Full", naming the library's file, in the program's words.
void ExpectToldDiskFullOnce(const rwtest::ScriptedMessageBoxes& boxes) {
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("\r\n") + gLibrary->LibraryPath + QStringLiteral("\r\n")))
      << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("2147221504"))) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

TEST_F(TreeDropTest, ASelectedResultTagsEverySelectedResultAnUnselectedOneItselfAndCtrlRemoves) {
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  DragResults({1, 2, 3, 4}, {1, 3}, 1);
  const RowSet selected = {gResults[1].SegmentID, gResults[3].SegmentID};
  const RowSet before = TaggedWith(13);
  DropOn(tiles, QStringLiteral("ID13"));
  RowSet expected = before;
  expected.insert(selected.begin(), selected.end());
  EXPECT_EQ(TaggedWith(13), expected);
  EXPECT_FALSE(gLibrary->Connection().InTransaction()) << "\"Tagging\" is committed";

  gMainForm->m_DragState.SegmentID = gResults[2].SegmentID;
  gMainForm->m_DragState.ItemSelected = 0;
  DropOn(tiles, QStringLiteral("ID13"));
  expected.insert(gResults[2].SegmentID);
  EXPECT_EQ(TaggedWith(13), expected) << "the unselected result alone";

  ctrl = true;
  gMainForm->m_DragState.SegmentID = gResults[1].SegmentID;
  gMainForm->m_DragState.ItemSelected = 1;
  DropOn(tiles, QStringLiteral("ID13"));
  for (int segment : selected) expected.erase(segment);
  EXPECT_EQ(TaggedWith(13), expected) << "Ctrl removes from every selected result";
  EXPECT_TRUE(Status().isEmpty());
  EXPECT_EQ(boxes.Count(), 0);
}

// Counted by the statement that empties the cloud's counts.
int CloudRecounts(const std::function<void()>& work) {
  int recounts = 0;
  const auto count = [](unsigned, void* context, void*, void* sql) -> int {
    if (std::strstr(static_cast<const char*>(sql), "DELETE from TagCloud")) ++*static_cast<int*>(context);
    return 0;
  };
  sqlite3_trace_v2(gLibrary->Connection().Handle(), SQLITE_TRACE_STMT, count, &recounts);
  work();
  sqlite3_trace_v2(gLibrary->Connection().Handle(), 0, nullptr, nullptr);
  return recounts;
}

TEST_F(TreeDropTest, TaggingManySelectedResultsRecountsTheShownTagCloudOnce) {
  gTagCloudShown = true;
  DragResults({1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 1);
  EXPECT_EQ(CloudRecounts([&] { DropOn(*Results().flexThumbsTiled, QStringLiteral("ID14")); }), 1);
  EXPECT_EQ(TaggedWith(14), (RowSet{1, 2, 3, 4, 5, 6}));
  gTagCloudShown = false;
  EXPECT_EQ(CloudRecounts([&] { DropOn(*Results().flexThumbsTiled, QStringLiteral("ID13")); }), 0);
}

TEST_F(TreeDropTest, RatingNodesRateByTheLastCharacterOfTheirKey) {
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  DragResults({1, 3, 4}, {1, 2}, 2);
  DropOn(tiles, QStringLiteral("R-5"));
  for (int i : {1, 2}) {
    EXPECT_EQ(
        One(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(gResults[i].SegmentID)).toInt(),
        5);
    EXPECT_EQ(gResults[static_cast<size_t>(i)].Rating, 5);
  }
  const int unselected = gResults[3].SegmentID;
  EXPECT_EQ(One(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(unselected)).toInt(),
            Segment(unselected).rating);

  gMainForm->m_DragState.SegmentID = unselected;
  gMainForm->m_DragState.ItemSelected = 0;
  DropOn(tiles, QStringLiteral("R-0"));  // "Unrated"
  EXPECT_EQ(
      One(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(gResults[1].SegmentID)).toInt(),
      5);
  EXPECT_EQ(One(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = %1").arg(unselected)).toInt(), 0);
  EXPECT_EQ(boxes.Count(), 0);
}

// The library's disk fills up part way through a drop, a move or a
// synonym: the whole drop is undone (no result keeps a rating or tag, no
// link is half made), the windows show what is stored, and it is told once.
TEST_F(TreeDropTest, ADropThatFailsPartWayIsUndoneWholeAndToldOnce) {
  const auto failOn = [](const QString& when) {
    rwtest::AddFaultTrigger(gLibrary->Connection(),
                            QStringLiteral("DROP TRIGGER IF EXISTS temp.Full; CREATE TEMP TRIGGER Full ") + when +
                                QStringLiteral(" BEGIN SELECT rw_fault(13); END"));
  };
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  DragResults({1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 1);
  const QStringList ratings = Column(QStringLiteral("SELECT SegmentID || ':' || Rating FROM VideoSegments ORDER BY 1"));
  failOn(QStringLiteral("BEFORE UPDATE OF Rating ON VideoSegments WHEN NEW.SegmentID = %1").arg(gResults[4].SegmentID));
  DropOn(tiles, QStringLiteral("R-5"));
  ExpectToldDiskFullOnce(boxes);
  EXPECT_EQ(Column(QStringLiteral("SELECT SegmentID || ':' || Rating FROM VideoSegments ORDER BY 1")), ratings);
  for (size_t i = 1; i < gResults.size(); ++i) EXPECT_EQ(gResults[i].Rating, Segment(gResults[i].SegmentID).rating);

  boxes.Clear();
  const RowSet tagged = TaggedWith(13);
  failOn(QStringLiteral("BEFORE INSERT ON SegmentTags WHEN NEW.SegmentID = %1").arg(gResults[4].SegmentID));
  DropOn(tiles, QStringLiteral("ID13"));
  ExpectToldDiskFullOnce(boxes);
  EXPECT_EQ(TaggedWith(13), tagged);

  // A move whose categories cannot be stored keeps its old parent link too.
  gMainForm->m_DragState.Clear();  // a tree node is dragged now, not results
  boxes.Clear();
  const QStringList links = Links();
  const QStringList shape = TreeShape();
  failOn(QStringLiteral("BEFORE UPDATE OF CategoryID ON Tags"));
  MoveNode(QStringLiteral("ID13"), QStringLiteral("ID14"));
  ExpectToldDiskFullOnce(boxes);
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(TreeShape(), shape);

  // A synonym whose second link cannot be stored keeps neither.
  boxes.Clear();
  boxes.AnswerAll([](const MessageBoxRequest& box) { return box.title == QLatin1String("Create Synonym?") ? vbYes : vbOK; });
  ctrl = true;
  failOn(QStringLiteral("BEFORE INSERT ON TagLinks WHEN NEW.TagID = 13"));
  MoveNode(QStringLiteral("ID11"), QStringLiteral("ID13"));
  ASSERT_EQ(boxes.Count(), 2) << "the question, then the failure";
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(TreeShape(), shape);
}

// A rule another program added to the library's tables (a CHECK) refuses a
// drop and a command of the tree's menu: each is told once, titled, naming
// the command and the file in the program's words, and nothing is written.
TEST_F(TreeDropTest, ARuleAnotherProgramAddedRefusesADropOrATreeCommandWhichIsToldOnceNamingIt) {
  AddTreeNodes();
  SqlConnection& db = gLibrary->Connection();
  db.Execute(QStringLiteral(
      "PRAGMA ignore_check_constraints = ON;"
      "CREATE TABLE StrictTags (SegmentID integer, TagID integer CHECK (TagID <> 13), PRIMARY KEY (SegmentID, TagID));"
      "INSERT INTO StrictTags SELECT * FROM SegmentTags; DROP TABLE SegmentTags;"
      "ALTER TABLE StrictTags RENAME TO SegmentTags;"
      "CREATE TABLE StrictLinks (TagID integer, LinkedTag integer CHECK (LinkedTag <> 10), Relationship text NOT NULL, "
      "PRIMARY KEY (TagID, LinkedTag));"
      "INSERT INTO StrictLinks SELECT * FROM TagLinks; DROP TABLE TagLinks; ALTER TABLE StrictLinks RENAME TO TagLinks;"
      "PRAGMA ignore_check_constraints = OFF"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const auto expectRefusedOnce = [&](const QString& command) {
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Change Refused"));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("\"%1\"").arg(command))) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
    for (const char* raw : {"CHECK", "constraint", "2147221504"}) {
      EXPECT_FALSE(boxes.Last().prompt.contains(QLatin1String(raw))) << boxes.Last().prompt.toStdString();
    }
    EXPECT_FALSE(gLibrary->Connection().InTransaction());
  };
  const RowSet tagged = TaggedWith(13);
  DragResults({1, 2, 3}, {1, 2, 3}, 1);
  DropOn(*Results().flexThumbsTiled, QStringLiteral("ID13"));
  expectRefusedOnce(QStringLiteral("Drag and Drop"));
  EXPECT_EQ(TaggedWith(13), tagged);

  gMainForm->m_DragState.Clear();
  boxes.Clear();
  const QStringList links = Links();
  const QStringList tags = Column(QStringLiteral("SELECT TagID FROM Tags ORDER BY 1"));
  Tree().SetSelectedItem(&Node(QStringLiteral("ID10")));
  TreePane().mnuCreateTag->trigger();
  expectRefusedOnce(QStringLiteral("New Tag"));
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(Column(QStringLiteral("SELECT TagID FROM Tags ORDER BY 1")), tags);
}

// On a library whose disk is really full, every tree command that writes
// the library (drops on a rating and a tag, a move, a rename, a delete, a
// new tag, a move to the top level) is told in one box and changes nothing.
TEST_F(TreeDropTest, OnAFullLibraryDiskEachTreeCommandIsToldOnceAndChangesNothing) {
  rwtest::SmallDisk disk(1024);
  if (!disk.Here()) return;
  const QString path = disk.Path(QStringLiteral("Search.rw2"));
  ASSERT_TRUE(QFile::copy(gLibrary->LibraryPath, path));
  gLibrary->OpenLibrary(path, true);
  ASSERT_EQ(gLibrary->LibraryPath, path);
  AddTreeNodes();
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  DragResults({1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 1);
  const auto stored = [] {
    return Column(QStringLiteral("SELECT group_concat(SegmentID || ':' || Rating) FROM VideoSegments")) + Links() +
           Column(QStringLiteral("SELECT group_concat(SegmentID || '>' || TagID) FROM SegmentTags")) +
           Column(QStringLiteral("SELECT group_concat(TagID || Tag || ifnull(CategoryID, '')) FROM Tags"));
  };
  const QStringList before = stored();
  const QStringList shape = TreeShape();
  disk.Fill();
  const struct {
    const char* name;
    int questions;  // boxes the command asks before it writes
    std::function<void()> run;
  } commands[] = {
      {"rating", 0, [&] { DropOn(tiles, QStringLiteral("R-5")); }},
      {"tag", 0, [&] { DropOn(tiles, QStringLiteral("ID13")); }},
      {"move", 0, [&] { MoveNode(QStringLiteral("ID13"), QStringLiteral("ID14")); }},
      {"rename", 0, [&] {
         // As the tree's end of an edit runs it.
         gPendingRenameNode = &Node(QStringLiteral("ID13"));
         int cancel = 0;
         QString name = QStringLiteral("Aaron");
         ErrorGuard().Run([&] { TreePane().tvwLibrary_AfterLabelEdit(cancel, name); });
       }},
      {"delete", 1, [&] {
         Tree().SetSelectedItem(&Node(QStringLiteral("ID12")));
         TreePane().mnuDeleteTag->trigger();
       }},
      {"new tag", 0, [&] {
         Tree().SetSelectedItem(&Node(QStringLiteral("ID10")));
         TreePane().mnuCreateTag->trigger();
       }},
      {"to the top level", 0, [&] {
         Tree().SetSelectedItem(&Node(QStringLiteral("ID12")));
         TreePane().mnuMakeRoot->trigger();
       }},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.name);
    boxes.Clear();
    command.run();
    QStringList shown;
    for (const MessageBoxRequest& box : boxes.Shown()) shown << box.title + QStringLiteral(": ") + box.prompt;
    ASSERT_EQ(boxes.Count(), command.questions + 1) << shown.join(QStringLiteral("\n")).toStdString();
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
    EXPECT_TRUE(boxes.Last().prompt.contains(path)) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(gLibrary->Connection().InTransaction());
  }
  EXPECT_EQ(TreeShape(), shape);
  EXPECT_EQ(Node(QStringLiteral("ID13")).Text(), QStringLiteral("Ben"));
  for (size_t i = 1; i < gResults.size(); ++i) EXPECT_EQ(gResults[i].Rating, Segment(gResults[i].SegmentID).rating);
  disk.Free();
  EXPECT_EQ(stored(), before);
}

TEST_F(TreeDropTest, FilesDroppedOnUntaggedViewsDatesFormatsAndDevicesChangeNothing) {
  gLibrary->SaveView(QStringLiteral("|_T:10"), QStringLiteral("People view"), false);
  TreePane().tvwEditTimer->SetEnabled(false);
  const QString view = Tree().SelectedItem()->Key();
  DragResults({1, 3}, {1, 2}, 1);
  const QStringList tags = Column(QStringLiteral("SELECT SegmentID || '-' || TagID FROM SegmentTags ORDER BY 1"));
  const QStringList ratings = Column(QStringLiteral("SELECT Rating FROM VideoSegments ORDER BY SegmentID"));
  for (const QString& key : {QStringLiteral("ID-1"), view, QStringLiteral("D-07d"), QStringLiteral("F-MPEG-4"),
                             QStringLiteral("M-AAAA1111"), QStringLiteral("RATINGS")}) {
    DropOn(*Results().flexThumbsList, key);
    EXPECT_EQ(Column(QStringLiteral("SELECT SegmentID || '-' || TagID FROM SegmentTags ORDER BY 1")), tags)
        << key.toStdString();
  }
  EXPECT_EQ(Column(QStringLiteral("SELECT Rating FROM VideoSegments ORDER BY SegmentID")), ratings);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeDropTest, FileDragsShowWhatADropWouldDoInTheIconAndTheProgressStrip) {
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  Over(tiles, QStringLiteral("ID13"));
  EXPECT_EQ(Status(), QStringLiteral("Tag with 'Ben'"));
  EXPECT_EQ(IconOf(tiles), Icon("TAGFILE"));
  EXPECT_EQ(Tree().DropHighlight(), &Node(QStringLiteral("ID13")));
  ctrl = true;
  Over(tiles, QStringLiteral("ID13"));
  EXPECT_EQ(Status(), QStringLiteral("Remove tag ' Ben'")) << "a blank after the quote";
  EXPECT_EQ(IconOf(tiles), Icon("UNTAGFILE"));
  Over(tiles, QStringLiteral("ID10"));
  EXPECT_EQ(Status(), QStringLiteral("Remove from Category 'People'"));
  Over(tiles, QStringLiteral("ID20"));
  EXPECT_EQ(Status(), QStringLiteral("Remove from this playlist"));
  ctrl = false;
  Over(tiles, QStringLiteral("R-5"));
  EXPECT_EQ(Status(), QStringLiteral("Assign 5 star rating"));
  EXPECT_EQ(IconOf(tiles), Icon("RATE"));
  Over(tiles, QStringLiteral("D-07d"));
  EXPECT_TRUE(Status().isEmpty());
  EXPECT_EQ(IconOf(tiles), Icon("NO_DROP"));

  // Right of a label lies no node.
  ctl::Label& repeat = *TreePane().lblRepeatTagging;
  gMainForm->m_DragState.SpeedTagging = 1;
  const QPoint beside(Viewport()->width() - 3, LabelPixel(Node(QStringLiteral("ID13"))).y());
  TreePane().tvwLibrary_DragOver(repeat, beside.x() * gTwipsPerPixelX, beside.y() * gTwipsPerPixelY, ctl::vbOver);
  EXPECT_EQ(Status(), QStringLiteral("Speed Tagging Active..."));
  EXPECT_EQ(IconOf(repeat), Icon("FILE"));
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  Over(repeat, QStringLiteral("ID13"), ctl::vbLeave);
  EXPECT_EQ(IconOf(repeat), Icon("FILE")) << "only a drag over the tree says more";
}

// ---- Tree nodes dropped on the tree ----

TEST_F(TreeDropTest, ACtrlDragBetweenTagsOfOneCategoryAsksForASynonymAndALinkIsShownOnlyWhenStored) {
  ctrl = true;
  boxes.Answer(vbNo);
  MoveNode(QStringLiteral("ID12"), QStringLiteral("ID13"));  // Anna Jr onto Ben, both under People
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Create Synonym?"));
  EXPECT_EQ(boxes.Last().style, 36);
  EXPECT_EQ(Node(QStringLiteral("LINK12-13")).Image(), QStringLiteral("LINK"));
  EXPECT_EQ(Node(QStringLiteral("LINK12-13")).Parent(), &Node(QStringLiteral("ID12")));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK13-12")));
  EXPECT_TRUE(Links().contains(QStringLiteral("12>13L")));

  boxes.Answer(vbYes);
  MoveNode(QStringLiteral("ID11"), QStringLiteral("ID13"));
  EXPECT_EQ(Node(QStringLiteral("LINK11-13")).Image(), QStringLiteral("AKA"));
  EXPECT_EQ(Node(QStringLiteral("LINK13-11")).Image(), QStringLiteral("AKA"));
  EXPECT_EQ(Node(QStringLiteral("LINK13-11")).Text(), QStringLiteral("Anna"));
  EXPECT_TRUE(Links().contains(QStringLiteral("11>13L")));
  EXPECT_TRUE(Links().contains(QStringLiteral("13>11L")));

  // Anna Jr is Anna's child already: the link row is refused and no node says otherwise.
  const QStringList links = Links();
  boxes.Answer(vbNo);
  MoveNode(QStringLiteral("ID12"), QStringLiteral("ID11"));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK12-11")));
  EXPECT_EQ(Links(), links);

  // Beach lies outside People: a plain link without a question.
  boxes.Clear();
  MoveNode(QStringLiteral("ID14"), QStringLiteral("ID13"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Node(QStringLiteral("LINK14-13")).Image(), QStringLiteral("LINK"));
}

TEST_F(TreeDropTest, AMoveRewritesTheParentLinkAndTheCategoryAndCtrlOverACategoryStillMoves) {
  ASSERT_EQ(One(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = 13")).toInt(), 10);
  MoveNode(QStringLiteral("ID13"), QStringLiteral("ID14"));  // Ben under Beach
  EXPECT_EQ(Node(QStringLiteral("ID13")).Parent(), &Node(QStringLiteral("ID14")));
  EXPECT_TRUE(Links().contains(QStringLiteral("13>14P")));
  EXPECT_FALSE(Links().contains(QStringLiteral("13>10P")));
  EXPECT_TRUE(One(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = 13")).IsNull())
      << "the moved tag has left the category";

  ctrl = true;
  Tree().SetSelectedItem(&Node(QStringLiteral("ID14")));
  Over(Tree(), QStringLiteral("ID10"));
  EXPECT_EQ(IconOf(Tree()), Icon("LINKTAG"));
  DropOn(Tree(), QStringLiteral("ID10"));  // Beach had no parent: its link is added
  EXPECT_EQ(Node(QStringLiteral("ID14")).Parent(), &Node(QStringLiteral("ID10")));
  EXPECT_TRUE(Links().contains(QStringLiteral("14>10P")));
  EXPECT_EQ(One(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = 13")).toInt(), 10);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeDropTest, ADropOnTheOwnParentSaysNothingAndOnAParentWithTheSameNameRefuses) {
  const QStringList links = Links();
  const QStringList shape = TreeShape();
  MoveNode(QStringLiteral("ID11"), QStringLiteral("ID10"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(TreeShape(), shape);

  const int32_t twin = gLibrary->CreateTag(QStringLiteral("Anna Jr"), QStringLiteral("T"), 13);
  TreePane().AddTreeNode(QStringLiteral("Anna Jr"), QStringLiteral("ID%1").arg(twin), QStringLiteral("ID13"),
                        QStringLiteral("TAG"), 0, true);
  const QStringList withTwin = Links();
  boxes.Answer(vbOK);
  MoveNode(QStringLiteral("ID12"), QStringLiteral("ID13"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("This operation has been denied as it would create a duplicate entry"));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Illegal Move"));
  EXPECT_EQ(boxes.Last().style, 48);
  EXPECT_EQ(Links(), withTwin);
  EXPECT_EQ(Node(QStringLiteral("ID12")).Parent(), &Node(QStringLiteral("ID11")));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("DUMMY")));
}

TEST_F(TreeDropTest, ATagDroppedOnItsOwnDescendantIsRefusedWithLibraryAndTreeUnchanged) {
  const QStringList links = Links();
  const QStringList shape = TreeShape();
  const QStringList categories =
      Column(QStringLiteral("SELECT TagID || ':' || ifnull(CategoryID, '') FROM Tags ORDER BY TagID"));
  boxes.Answer(vbOK);
  MoveNode(QStringLiteral("ID11"), QStringLiteral("ID12"));  // Anna into her child Anna Jr
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, TagStore::ParentLinkRefusal(TagStore::ParentLinkCheck::ClosesCycle));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Illegal Move"));
  EXPECT_EQ(boxes.Last().style, 48);
  EXPECT_EQ(Links(), links);
  EXPECT_EQ(TreeShape(), shape);
  EXPECT_EQ(Column(QStringLiteral("SELECT TagID || ':' || ifnull(CategoryID, '') FROM Tags ORDER BY TagID")),
            categories);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

// ---- Hovering and scrolling ----

TEST_F(TreeDropTest, ACollapsedNodeOpensAfterASecondOnTheClockEvenAcrossThe32BitWrap) {
  ctl::Node& people = Node(QStringLiteral("ID10"));
  people.SetExpanded(false);
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  now = 0xFFFFFFFFull - 400;  // 49.7 days after start
  Over(tiles, QStringLiteral("ID10"));
  now += 1000;
  Over(tiles, QStringLiteral("ID10"));
  EXPECT_FALSE(people.Expanded()) << "not later than the expand time yet";

  // Leaving the node forgets it; coming back starts the second again.
  const QPoint beside(Viewport()->width() - 3, LabelPixel(people).y());
  TreePane().tvwLibrary_DragOver(tiles, beside.x() * gTwipsPerPixelX, beside.y() * gTwipsPerPixelY, ctl::vbOver);
  now += 1;
  Over(tiles, QStringLiteral("ID10"));
  now += 1000;
  Over(tiles, QStringLiteral("ID10"));
  EXPECT_FALSE(people.Expanded());
  now += 1;
  Over(tiles, QStringLiteral("ID10"));
  EXPECT_TRUE(people.Expanded());
  EXPECT_EQ(people.Image(), QStringLiteral("CATEGORY"));

  ctl::Node& beach = Node(QStringLiteral("ID14"));
  beach.SetExpanded(false);
  Over(Tree(), QStringLiteral("ID14"));
  now += 1001;
  Over(Tree(), QStringLiteral("ID14"));
  EXPECT_TRUE(beach.Expanded()) << "a dragged tree node opens nodes too";
}

TEST_F(TreeDropTest, ADragNearTheTopOrBottomEdgeScrollsTheTreeByALine) {
  for (const auto& node : Tree().Nodes) node->SetExpanded(true);
  static_cast<ctl::Control&>(Tree()).SetHeight(80);
  QScrollBar* bar = Tree().findChild<QTreeView*>()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 2) << "the tree is taller than its view";
  bar->setValue(2);
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  TreePane().tvwLibrary_DragOver(tiles, 30 * gTwipsPerPixelX, 5 * gTwipsPerPixelY, ctl::vbOver);
  EXPECT_EQ(bar->value(), 1);
  TreePane().tvwLibrary_DragOver(tiles, 30 * gTwipsPerPixelX, (Viewport()->height() - 5) * gTwipsPerPixelY, ctl::vbOver);
  EXPECT_EQ(bar->value(), 2);
  TreePane().tvwLibrary_DragOver(tiles, 30 * gTwipsPerPixelX, (Viewport()->height() / 2) * gTwipsPerPixelY, ctl::vbOver);
  EXPECT_EQ(bar->value(), 2);
}

// ---- With the mouse ----

// Saves a picture of the main window when RW_SCREENSHOT names a file.
void Picture() {
  const QString path = qEnvironmentVariable("RW_SCREENSHOT");
  if (!path.isEmpty()) {
    EXPECT_TRUE(gMainForm->grab().save(path, "PNG"));
  }
}

TEST_F(TreeDropTest, ATagDraggedWithTheMouseOntoAnotherTagMovesUnderIt) {
  ctl::Node& ben = Node(QStringLiteral("ID13"));
  ctl::Node& beach = Node(QStringLiteral("ID14"));
  const QPoint from = LabelPixel(ben);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
  QTest::mouseMove(Viewport(), from + QPoint(3, 1));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  const QPoint to = LabelPixel(beach);
  QTest::mouseMove(Viewport(), to);
  EXPECT_EQ(Tree().DropHighlight(), &beach);
  EXPECT_EQ(IconOf(Tree()), Icon("MOVETAG"));
  Picture();
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  EXPECT_EQ(ben.Parent(), &beach);
  EXPECT_TRUE(ben.Bold());
  EXPECT_EQ(Tree().DropHighlight(), nullptr);
  EXPECT_TRUE(Links().contains(QStringLiteral("13>14P")));
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
