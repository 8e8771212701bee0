// The library tree's context menu and keys in the running program, on a
// small fixture library: the menu's captions and enabled states per kind of
// node, the menu key, F2, Delete (links, synonyms, a missing twin, every answer of the
// question), Enter on a link, the saved searches' tool tips, where drags
// start, a renamed node kept in view, and the menu's commands read back from
// the library; and the road from an empty library to a first tagged file.
// One test can leave a picture of the menu on a tag (see docs/DEVELOPING.md).
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "inspector/InspectorPane.h"
#include "platform/DragController.h"
#include "platform/Twips.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/TreeFixture.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/SchemeColours.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Genre (category) holds Drama and Comedy and the folder Places with Berlin;
// Drama links one way to Comedy; Film and Movie are synonyms; a playlist,
// two saved searches (file names and descriptions; no field at all) and a
// saved view; one file on one device.
const char* const kLibrary =
    "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Genre', 'C'), (11, 'Drama', 'T'), (12, 'Comedy', 'T'), "
    "(13, 'Places', 'F'), (14, 'Berlin', 'T'), (15, 'Film', 'T'), (16, 'Movie', 'T'), (17, 'Party', 'L'), "
    "(18, 'Clips', 'S'), (19, 'Odd', 'S'), (20, 'Best', 'V');"
    "INSERT INTO TagLinks VALUES (11, 10, 'P'), (12, 10, 'P'), (13, 10, 'P'), (14, 13, 'P'), (11, 12, 'L'), "
    "(15, 16, 'L'), (16, 15, 'L'), (18, 3, 'P'), (19, 3, 'P'), (20, 4, 'P');"
    "INSERT INTO Views VALUES ('|_?F2D:clip', 'S', 18), ('|_?123:x', 'S', 19), ('|_T:11', 'V', 20);";

class TreeMenuTest : public rwtest::OpenLibraryTestOn<rwtest::RunningProgramTest> {
 protected:
  void SetUp() override {
    OpenLibraryTestOn::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gMainForm));
    OpenWith(QLatin1String(kLibrary) + FileRow(5));
    Exec(QStringLiteral("INSERT OR REPLACE INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/films/', "
                        "'Fixed Disk', 'Films', 1)"));
    gLibrary->LoadStorageDeviceNodes();
  }

  void TearDown() override {
    ctl::DragController::Instance().End(false);
    TreePane().mnuTree->hide();
    gMainForm->m_DragState.Clear();
    OpenLibraryTestOn::TearDown();
  }

  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ResultsPane& Results() { return gMainForm->Results(); }
  static QWidget* Viewport() { return Tree().Viewport(); }

  // A point on the node's label, in viewport pixels (the node shown first).
  static QPoint LabelOf(ctl::Node& node) {
    node.EnsureVisible();
    QWidget* viewport = Viewport();
    for (int y = 0; y < viewport->height(); ++y) {
      int flags = 0;
      if (Tree().HitTestInfo(viewport->width() / 2, y, &flags) != &node) continue;
      for (int x = 0; x < viewport->width(); ++x) {
        if (Tree().HitTestInfo(x, y + 3, &flags) == &node && flags == ctl::tvhtOnItemLabel) return {x + 4, y + 3};
      }
    }
    ADD_FAILURE() << "no label for " << node.Key().toStdString();
    return {};
  }
  static QPoint StateIconOf(ctl::Node& node) {
    const QPoint label = LabelOf(node);
    for (int x = 0; x < label.x(); ++x) {
      int flags = 0;
      if (Tree().HitTestInfo(x, label.y(), &flags) == &node && flags == ctl::tvhtOnItemStateIcon) return {x + 2, label.y()};
    }
    ADD_FAILURE() << "no state icon for " << node.Key().toStdString();
    return {};
  }
  // The height of the first pixel row below the last node shown.
  static int BelowTheNodes() {
    int y = Viewport()->height() - 1;
    while (y > 0 && Tree().HitTestInfo(10, y - 1, nullptr) == nullptr) --y;
    return y + 2;
  }

  static void RightClick(const QString& key) {
    TreePane().mnuTree->hide();
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, LabelOf(Node(key)));
  }
  static void Press(Qt::Key key) { QTest::keyClick(Tree().focusProxy(), key); }
  static void Select(const QString& key) { Tree().SetSelectedItem(&Node(key)); }
  // A move as the window system reports it, with the buttons held.
  static void Move(const QPoint& at, Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent event(QEvent::MouseMove, at, Viewport()->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &event);
  }

  // The six items a node decides, as "caption:enabled".
  static QStringList MenuItems() {
    QStringList items;
    for (QAction* item : {TreePane().mnuRenameTag, TreePane().mnuDeleteTag, TreePane().mnuCreateTag, TreePane().mnuNewFolder,
                          TreePane().mnuNewCategory, TreePane().mnuMakeRoot}) {
      items << item->text() + (item->isEnabled() ? QStringLiteral(":y") : QStringLiteral(":n"));
    }
    return items;
  }

  // A hundred more top-level tags, so that the tree scrolls.
  static void MakeTreeTall() {
    for (int i = 0; i < 100; ++i) {
      Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, 'Extra %1', 'T')").arg(100 + i));
    }
    gLibrary->PopulateTree();
    gLibrary->SortTree();
  }

  static QStringList Links() { return Column(QStringLiteral("SELECT TagID || '-' || LinkedTag FROM TagLinks "
                                                            "WHERE Relationship = 'L' ORDER BY 1")); }
};

TEST_F(TreeMenuTest, TheMenuHoldsItsItemsInOrderAndEachKindOfNodeSetsThem) {
  QStringList shown;
  for (QAction* item : TreePane().mnuTree->actions()) shown << (item->isSeparator() ? QStringLiteral("-") : item->text());
  EXPECT_EQ(shown, (QStringList{"Collapse All", "Expand All", "-", "Rename Tag", "Delete Tag", "-", "New Tag",
                                "New Folder", "-", "New Tag Category", "Move to Root"}));

  RightClick(QStringLiteral("ID11"));
  EXPECT_TRUE(TreePane().mnuTree->isVisible());
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID11")));
  EXPECT_EQ(Tree().DropHighlight(), &Node(QStringLiteral("ID11")));
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Tag:y", "Delete Tag:y", "New Sub-Tag:y", "New Sub-Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));
  TreePane().mnuTree->hide();

  RightClick(QStringLiteral("ID10"));
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Category:y", "Delete Category:y", "New Tag:y", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:y"}));
  RightClick(QStringLiteral("ID2"));
  // A node that holds no folder offers the top level's "New Folder", and
  // every node "New Tag Category", as empty space does.
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Playlist:n", "Delete Playlist:n", "New Playlist:y", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));
  EXPECT_TRUE(TreePane().mnuCollapseAll->isEnabled() && TreePane().mnuExpandAll->isEnabled());
  RightClick(QStringLiteral("M-1A2B3C4D"));
  EXPECT_EQ(MenuItems(), (QStringList{"Assign 'Friendly' Name:y", "Delete View:n", "New Search...:n", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));
  RightClick(QStringLiteral("LINK15-16"));
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Tag:n", "Remove Synonym:y", "New Tag:n", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));
  // Dates offer nothing of their own, like the other fixed groups.
  RightClick(QStringLiteral("D-03d"));
  EXPECT_EQ(MenuItems(), (QStringList{"Rename View:n", "Delete View:n", "New Search...:n", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));

  // A left click on empty space keeps the selection; a right press there
  // selects nothing and offers what belongs at the top level, whatever node
  // was clicked before.
  TreePane().mnuCollapseAll->trigger();
  RightClick(QStringLiteral("ID11"));
  TreePane().mnuTree->hide();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, LabelOf(Node(QStringLiteral("ID13"))));
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID13")));
  EXPECT_EQ(Tree().DropHighlight(), nullptr) << "a click takes the highlight to the selection";
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(20, BelowTheNodes()));
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID13")));
  for (const char* key : {"ID13", "ID-1", "ID2"}) {
    TreePane().mnuTree->hide();
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, LabelOf(Node(QLatin1String(key))));
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, QPoint(20, BelowTheNodes()));
    EXPECT_TRUE(TreePane().mnuTree->isVisible()) << key;
    EXPECT_EQ(Tree().SelectedItem(), nullptr) << key;
    EXPECT_EQ(Tree().DropHighlight(), nullptr) << key;
    // The items a node would offer are greyed under their own captions,
    // not those of the node clicked before.
    EXPECT_EQ(MenuItems(), (QStringList{"Rename Tag:n", "Delete Tag:n", "New Tag:n", "New Folder:y",
                                        "New Tag Category:y", "Move to Root:n"}))
        << key;
  }
  // Untagged after a saved view offers no "Rename View".
  TreePane().mnuTree->hide();
  RightClick(QStringLiteral("ID20"));
  EXPECT_EQ(MenuItems().first(), QStringLiteral("Rename View:y"));
  TreePane().mnuTree->hide();
  RightClick(QStringLiteral("ID-1"));
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Tag:n", "Delete Tag:n", "New Tag:n", "New Folder:y",
                                      "New Tag Category:y", "Move to Root:n"}));
  TreePane().mnuTree->hide();
  Tree().SetSelectedItem(&Node(QStringLiteral("ID13")));
  TreePane().tvwLibrary_MouseDown(0, 0, 0, 0);
  EXPECT_EQ(MenuItems(), (QStringList{"Rename Folder:y", "Delete Folder:y", "New Tag:y", "New Sub-Folder:y",
                                      "New Tag Category:y", "Move to Root:y"}));
  EXPECT_FALSE(TreePane().mnuTree->isVisible()) << "button 0 only prepares";

  if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) {
    RightClick(QStringLiteral("ID11"));
    // As if pressed at the label's end, which stays in sight.
    TreePane().mnuTree->popup(Viewport()->mapToGlobal(LabelOf(Node(QStringLiteral("ID11"))) + QPoint(40, 6)));
    QImage picture = gMainForm->grab().toImage();
    QPainter painter(&picture);
    painter.drawPixmap(gMainForm->mapFromGlobal(TreePane().mnuTree->pos()), TreePane().mnuTree->grab());
    painter.end();
    picture.save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeMenuTest, F2RenamesWhatTheMenuWouldOfferAndNothingElse) {
  for (const char* key : {"ID4", "FORMATS"}) {
    Select(QLatin1String(key));
    Press(Qt::Key_F2);
    rwtest::RunTimersDueWithin(TreePane().tvwEditTimer->Interval());  // a rename would have begun its edit
    EXPECT_EQ(gPendingRenameNode, nullptr) << key;
    EXPECT_EQ(Tree().findChild<QLineEdit*>(), nullptr) << key;
  }
  Select(QStringLiteral("ID11"));
  Press(Qt::Key_F2);
  EXPECT_EQ(gPendingRenameNode, &Node(QStringLiteral("ID11")));
  // Esc ends the rename with the node's text as it stands.
  Press(Qt::Key_Escape);
  EXPECT_EQ(gPendingRenameNode, nullptr);
  EXPECT_EQ(Node(QStringLiteral("ID11")).Text(), QStringLiteral("Drama"));
  // A device's label edit starts at once.
  Select(QStringLiteral("M-1A2B3C4D"));
  Press(Qt::Key_F2);
  auto* editor = Tree().findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), QStringLiteral("Films"));
}

TEST_F(TreeMenuTest, DeleteAsksAndOnlyOkRemovesALinkOrBothNodesOfASynonym) {
  Select(QStringLiteral("LINK11-12"));
  for (int answer : {vbCancel, 0}) {
    boxes.Answer(answer);
    Press(Qt::Key_Delete);
  }
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Are you sure you want to delete the item\r\n'Comedy'"));
  EXPECT_EQ(boxes.Last().style, 33);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Confirm Delete"));
  EXPECT_EQ(Links(), (QStringList{"11-12", "15-16", "16-15"})) << "Cancel and a box closed unanswered delete nothing";
  EXPECT_TRUE(Tree().Nodes.Exists(QStringLiteral("LINK11-12")));

  boxes.Answer(vbOK);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Links(), (QStringList{"15-16", "16-15"}));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK11-12")));
  EXPECT_EQ(Node(QStringLiteral("ID11")).StateImage(), 3) << "Drama has no children left";
  EXPECT_TRUE(Tree().Nodes.Exists(QStringLiteral("ID12"))) << "the linked tag stays";

  // The menu's item takes the same road; a synonym goes with its twin.
  Select(QStringLiteral("LINK16-15"));
  boxes.Answer(vbOK);
  TreePane().mnuDeleteTag->trigger();
  EXPECT_EQ(Links(), QStringList());
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK16-15")));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK15-16")));
  EXPECT_EQ(boxes.Count(), 4);
}

TEST_F(TreeMenuTest, ASynonymWhoseTwinIsNotShownIsStillRemoved) {
  Tree().Nodes.Remove(QStringLiteral("LINK16-15"));
  Select(QStringLiteral("LINK15-16"));
  boxes.Answer(vbOK);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Links(), (QStringList{"11-12"}));
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK15-16")));
  EXPECT_EQ(boxes.Count(), 1) << "no error";
}

TEST_F(TreeMenuTest, DeletingATagTakesItsSubtreeAndTheLinksToItOutOfTheTree) {
  Select(QStringLiteral("ID13"));
  boxes.Answer(vbOK);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Column(QStringLiteral("SELECT TagID FROM Tags WHERE TagID IN (13, 14)")), QStringList());
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("ID14")));
  EXPECT_EQ(Shown(QStringLiteral("ID10")), (QStringList{"Comedy", "Drama"}));

  Select(QStringLiteral("ID12"));
  boxes.Answer(vbOK);
  Press(Qt::Key_Delete);
  EXPECT_FALSE(Tree().Nodes.Exists(QStringLiteral("LINK11-12"))) << "the link under Drama pointed at Comedy";
  EXPECT_EQ(Links(), (QStringList{"15-16", "16-15"}));

  // Nodes that are no library items are never offered for deletion.
  for (const char* key : {"ID4", "D-03d", "M-1A2B3C4D"}) {
    Select(QLatin1String(key));
    Press(Qt::Key_Delete);
  }
  EXPECT_EQ(boxes.Count(), 2);
}

TEST_F(TreeMenuTest, EnterOnALinkOpensTheLinkedTagAndShowsItAtTheTop) {
  MakeTreeTall();
  Node(QStringLiteral("ID10")).SetExpanded(false);
  Select(QStringLiteral("LINK11-12"));
  Press(Qt::Key_Return);
  ctl::Node& comedy = Node(QStringLiteral("ID12"));
  EXPECT_EQ(Tree().SelectedItem(), &comedy);
  EXPECT_EQ(Tree().DropHighlight(), &comedy);
  EXPECT_EQ(Tree().HitTestInfo(30, 1, nullptr), &comedy) << "the first node shown";
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:12"));

  Select(QStringLiteral("ID14"));
  Press(Qt::Key_Return);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:14"));
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID14")));
}

TEST_F(TreeMenuTest, ASavedSearchNamesItsFieldsAndTextInItsToolTip) {
  Select(QStringLiteral("ID10"));
  Move(LabelOf(Node(QStringLiteral("ID18"))));
  EXPECT_EQ(Tree().ToolTipText(), QStringLiteral("Search Filenames, Descriptions for 'clip'"));
  Move(LabelOf(Node(QStringLiteral("ID19"))));
  EXPECT_EQ(Tree().ToolTipText(), QStringLiteral("Search  for 'x'")) << "no field: two blanks";
  Move(LabelOf(Node(QStringLiteral("ID11"))));
  EXPECT_EQ(Tree().ToolTipText(), QString());
  Move(LabelOf(Node(QStringLiteral("ID19"))));
  Move(LabelOf(Node(QStringLiteral("ID3"))));
  EXPECT_EQ(Tree().ToolTipText(), QString()) << "a group";
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
}

TEST_F(TreeMenuTest, DragsStartOnNodesNeverFromAnExpandIconAndSpeedTaggingOnlyPast50Pixels) {
  ctl::Node& genre = Node(QStringLiteral("ID10"));
  genre.SetExpanded(false);
  const QPoint icon = StateIconOf(genre);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, icon);
  Move(icon + QPoint(0, 1), Qt::LeftButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging());
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, icon + QPoint(0, 1));

  const QPoint label = LabelOf(Node(QStringLiteral("ID15")));
  gMainForm->m_DragState.Source = QStringLiteral("Browser");
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, label);
  Move(label + QPoint(2, 0), Qt::LeftButton);
  EXPECT_EQ(ctl::DragController::Instance().Source(), static_cast<ctl::Control*>(&Tree()));
  EXPECT_EQ(gMainForm->m_DragState.Source, QString()) << "a node drag forgets the last file drag";
  ctl::DragController::Instance().End(false);

  // Over empty space, with the last file drag still recorded.
  gMainForm->m_DragState.Source = QStringLiteral("Browser");
  const int y = BelowTheNodes();
  TreePane().tvwLibrary_MouseMove(ctl::vbLeftButton, 0, 50 * gTwipsPerPixelX, y * gTwipsPerPixelY);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "50 pixels from the edge";
  EXPECT_EQ(gMainForm->m_DragState.SpeedTagging, 0);
  TreePane().tvwLibrary_MouseMove(0, 0, 120 * gTwipsPerPixelX, y * gTwipsPerPixelY);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "no button held";
  Move(QPoint(51, y), Qt::LeftButton);
  EXPECT_EQ(ctl::DragController::Instance().Source(), static_cast<ctl::Control*>(TreePane().lblRepeatTagging));
  EXPECT_NE(gMainForm->m_DragState.SpeedTagging, 0);
}

// A press on a node's label drags the node once the pointer has gone the
// drag distance, even when the very first move already left the label (a
// short label, a quick hand); a shorter way off the label drags nothing.
TEST_F(TreeMenuTest, ANodeDragStartsAtTheDragDistanceWhereverTheFirstMoveWent) {
  ctl::Node& film = Node(QStringLiteral("ID15"));
  const QPoint label = LabelOf(film);
  int right = label.x();
  int flags = ctl::tvhtOnItemLabel;
  while (Tree().HitTestInfo(right + 1, label.y(), &flags) == &film && flags == ctl::tvhtOnItemLabel) ++right;
  const QPoint pressed(right - 1, label.y());
  const int distance = QApplication::startDragDistance();

  QTest::mousePress(Viewport(), Qt::LeftButton, {}, pressed);
  ASSERT_EQ(Tree().SelectedItem(), &film);
  Move(pressed + QPoint(distance / 2, 0), Qt::LeftButton);
  ASSERT_EQ(Tree().HitTest((pressed.x() + distance / 2) * gTwipsPerPixelX, pressed.y() * gTwipsPerPixelY), nullptr)
      << "the first move has left the label";
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "within the drag distance";
  Move(pressed + QPoint(distance + 4, 0), Qt::LeftButton);
  EXPECT_EQ(ctl::DragController::Instance().Source(), static_cast<ctl::Control*>(&Tree()));
  EXPECT_EQ(Tree().SelectedItem(), &film) << "the pressed node is the one dragged";
  ctl::DragController::Instance().End(false);

  // A press beside the labels (no node) or on an expand icon drags nothing.
  Tree().SetSelectedItem(&film);
  const int below = BelowTheNodes();
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, QPoint(60, below));
  Move(QPoint(60 + 3 * distance, below), Qt::LeftButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "pressed on empty space";
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, QPoint(60 + 3 * distance, below));
  ctl::Node& genre = Node(QStringLiteral("ID10"));
  const QPoint icon = StateIconOf(genre);
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, icon);
  Move(icon + QPoint(-3 * distance, 3 * distance), Qt::LeftButton);
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "pressed on an expand icon";
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, icon + QPoint(-3 * distance, 3 * distance));
}

// A rename sorts the node among its siblings; it is scrolled into view there.
TEST_F(TreeMenuTest, ARenamedNodeSortedOutOfViewIsScrolledIntoView) {
  MakeTreeTall();
  Tree().SetFirstVisible(&Node(QStringLiteral("ID100")));
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, LabelOf(Node(QStringLiteral("ID100"))));
  QApplication::setActiveWindow(gMainForm);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; }, 10000))
      << "the label edit has started";
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Zulu"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  const QString renamed = QStringLiteral("SELECT Tag FROM Tags WHERE TagID = 100");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Column(renamed) == QStringList{"Zulu"}; }, 10000));
  bool shown = false;
  for (int y = 0; y < Viewport()->height() && !shown; ++y) {
    shown = Tree().HitTestInfo(Viewport()->width() / 2, y, nullptr) == &Node(QStringLiteral("ID100"));
  }
  EXPECT_TRUE(shown) << "the renamed node is in view";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeMenuTest, NewItemsAreMadeInTheLibraryBoldInTheLabelColourAndEditedAtOnce) {
  Select(QStringLiteral("ID11"));
  TreePane().mnuCreateTag->trigger();
  const int tag = One(QStringLiteral("SELECT max(TagID) FROM Tags")).toInt();
  EXPECT_EQ(Column(QStringLiteral("SELECT Tag || Type FROM Tags WHERE TagID = %1").arg(tag)), QStringList{"New TagT"});
  EXPECT_EQ(Count(QStringLiteral("SELECT LinkedTag FROM TagLinks WHERE Relationship = 'P' AND TagID = %1").arg(tag)), 11);
  ctl::Node& node = Node(QStringLiteral("ID%1").arg(tag));
  EXPECT_EQ(node.Parent(), &Node(QStringLiteral("ID11")));
  EXPECT_TRUE(node.Bold());
  EXPECT_EQ(node.ForeColor(), gSchemeColour4);
  EXPECT_EQ(Node(QStringLiteral("ID11")).StateImage(), 2) << "the parent shows it has a child, open";
  EXPECT_EQ(gPendingRenameNode, &node);
  EXPECT_EQ(Count(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = %1").arg(tag)), 10);
  ASSERT_TRUE(QTest::qWaitFor([] { return Tree().findChild<QLineEdit*>() != nullptr; }, rwtest::kWaitCeilingMs))
      << "the label edit has started";
  auto* editor = Tree().findChild<QLineEdit*>();
  EXPECT_EQ(editor->selectedText(), QStringLiteral("New Tag"));
  // The editor's own keys are no commands of the tree: Enter takes the name
  // and opens nothing.
  const QString spec = gViewSpec;
  editor->setText(QStringLiteral("Thriller"));
  QTest::keyClick(editor, Qt::Key_Return);
  const QString renamed = QStringLiteral("SELECT Tag FROM Tags WHERE TagID = %1").arg(tag);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Column(renamed) == QStringList{"Thriller"}; }, rwtest::kWaitCeilingMs))
      << Column(renamed).join(u',').toStdString();
  EXPECT_EQ(gViewSpec, spec);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeMenuTest, PlaylistsFoldersAndCategoriesGoWhereTheMenuSays) {
  const auto newest = [] { return One(QStringLiteral("SELECT max(TagID) FROM Tags")).toInt(); };
  const auto parentOf = [](int id) {
    return Column(QStringLiteral("SELECT LinkedTag FROM TagLinks WHERE Relationship = 'P' AND TagID = %1").arg(id));
  };
  Select(QStringLiteral("ID2"));
  TreePane().mnuCreateTag->trigger();
  EXPECT_EQ(Column(QStringLiteral("SELECT Tag || Type FROM Tags WHERE TagID = %1").arg(newest())),
            QStringList{"New PlaylistL"});
  EXPECT_EQ(parentOf(newest()), QStringList()) << "a playlist has no parent link";
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(newest())).Parent(), &Node(QStringLiteral("ID2")));

  Tree().SetSelectedItem(nullptr);
  TreePane().mnuNewFolder->trigger();
  EXPECT_EQ(Column(QStringLiteral("SELECT Tag || Type FROM Tags WHERE TagID = %1").arg(newest())),
            QStringList{"New FolderF"});
  EXPECT_EQ(parentOf(newest()), QStringList());
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(newest())).Parent(), nullptr);
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(newest())).Image(), QStringLiteral("FOLDERCLOSED"));

  Select(QStringLiteral("ID14"));
  TreePane().mnuNewFolder->trigger();
  EXPECT_EQ(parentOf(newest()), QStringList{"14"});
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(newest())).Parent(), &Node(QStringLiteral("ID14")));

  Select(QStringLiteral("ID14"));
  TreePane().mnuNewCategory->trigger();
  EXPECT_EQ(Column(QStringLiteral("SELECT Tag || Type FROM Tags WHERE TagID = %1").arg(newest())),
            QStringList{"New Tag CategoryC"});
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(newest())).Parent(), nullptr) << "always at the top level";
  EXPECT_EQ(gPendingRenameNode, &Node(QStringLiteral("ID%1").arg(newest())));
}

TEST_F(TreeMenuTest, TagIdsBeyondSixteenBitsMakeChildrenAndLeaveLinks) {
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (70000, 'Wide', 'T'), (70001, 'Wider', 'T');"
                      "INSERT INTO TagLinks VALUES (70000, 70001, 'L')"));
  gLibrary->PopulateTree();
  gLibrary->SortTree();
  Select(QStringLiteral("ID70000"));
  TreePane().mnuCreateTag->trigger();
  Select(QStringLiteral("ID70000"));
  TreePane().mnuNewFolder->trigger();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks WHERE Relationship = 'P' AND LinkedTag = 70000")), 2);

  Select(QStringLiteral("LINK70000-70001"));
  boxes.Answer(vbOK);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks WHERE Relationship = 'L' AND TagID = 70000")), 0);
}

TEST_F(TreeMenuTest, MoveToRootTakesAFolderWithItsContentOutOfItsCategory) {
  EXPECT_EQ(Count(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = 14")), 10);
  Select(QStringLiteral("ID13"));
  TreePane().mnuMakeRoot->trigger();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM TagLinks WHERE TagID = 13")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT LinkedTag FROM TagLinks WHERE TagID = 14")), 13);
  EXPECT_EQ(Node(QStringLiteral("ID13")).Parent(), nullptr);
  EXPECT_EQ(Node(QStringLiteral("ID14")).Parent(), &Node(QStringLiteral("ID13")));
  EXPECT_EQ(Shown(QStringLiteral("ID10")), (QStringList{"Comedy", "Drama"}));
  EXPECT_TRUE(One(QStringLiteral("SELECT CategoryID FROM Tags WHERE TagID = 14")).IsNull())
      << "the moved folder's content belongs to no category now";
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID13")));
}

TEST_F(TreeMenuTest, CollapseAndExpandAllReachEveryNode) {
  TreePane().mnuExpandAll->trigger();
  for (const char* key : {"ID10", "ID13", "DATES", "RATINGS", "ID2", "ID3"}) {
    EXPECT_TRUE(Node(QLatin1String(key)).Expanded()) << key;
  }
  EXPECT_EQ(Node(QStringLiteral("ID13")).Image(), QStringLiteral("FOLDEROPEN"));
  TreePane().mnuCollapseAll->trigger();
  for (const auto& node : Tree().Nodes) EXPECT_FALSE(node->Expanded()) << node->Key().toStdString();
  EXPECT_EQ(Node(QStringLiteral("ID13")).Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_EQ(Tree().SelectedItem(), Tree().Nodes(1).FirstSibling()) << "the first node shown";
}

TEST_F(TreeMenuTest, LocateTagShowsTheInspectorsSelectedTagAndNothingWithoutOne) {
  ctl::ListView& tags = *gMainForm->Inspector().lstFileTags;
  tags.ListItems.Clear();
  ctl::ListItem& item = tags.ListItems.Add();
  item.SetTag(QStringLiteral("14"));
  Select(QStringLiteral("ID11"));
  gMainForm->mnuLocateTag->trigger();
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID11"))) << "nothing selected in the list";

  tags.SetSelectedItem(&item);
  MakeTreeTall();
  gMainForm->mnuLocateTag->trigger();
  EXPECT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID14")));
  EXPECT_EQ(Tree().HitTestInfo(30, 1, nullptr), &Node(QStringLiteral("ID14")));
}

TEST_F(TreeMenuTest, NewSearchOpensTheFindDialogToSaveOne) {
  rwtest::ModalWatch watch;
  QString during;
  watch.inside = [&](QWidget&) { during = gFindFilesMode; };
  Select(QStringLiteral("ID3"));
  TreePane().mnuCreateTag->trigger();
  EXPECT_EQ(during, QStringLiteral("SAVE"));
  EXPECT_EQ(gFindFilesMode, QString());
}

// From an empty library to the first tagged file, as a new user goes with
// the mouse and the keyboard: whatever node was clicked first, a right click
// on empty tree space offers a new tag category; the category is named in
// place, a tag and a folder are made in it from its own menu, and a file
// dragged from the tiles onto the new tag is tagged with it.
class FirstTagTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    OpenWith(FileRow(1, QStringLiteral("Holiday.mkv")), QStringLiteral("Empty.rw2"));
    QApplication::setActiveWindow(gMainForm);
  }

  // Chooses the item of the tree's open menu with the mouse.
  static void Choose(QAction* item) {
    QMenu* menu = TreePane().mnuTree;
    ASSERT_TRUE(menu->isVisible());
    ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
    // The menu takes a release as a choice once the pointer has moved in it.
    const QRect area = menu->actionGeometry(item);
    QTest::mouseMove(menu, area.topLeft() + QPoint(2, 2));
    QTest::mouseMove(menu, area.center());
    QTest::mouseClick(menu, Qt::LeftButton, {}, area.center());
  }
  // Types the name into the label editor the new node opens and takes it.
  static void Name(const QString& name) {
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr; }, 10000))
        << "the label edit has started; focus on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing")
        << " active " << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString() : "");
    QTest::keyClicks(QApplication::focusWidget(), name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QString named = QStringLiteral("SELECT COUNT(*) FROM Tags WHERE Tag = '%1'").arg(name);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(named) == 1; }, 10000)) << name.toStdString();
  }
  static int TagId(const QString& name) {
    return Count(QStringLiteral("SELECT TagID FROM Tags WHERE Tag = '%1'").arg(name));
  }
  static QStringList Parent(const QString& name) {
    return Column(QStringLiteral("SELECT P.Tag FROM Tags T, TagLinks L, Tags P WHERE T.Tag = '%1' AND "
                                 "L.TagID = T.TagID AND L.Relationship = 'P' AND P.TagID = L.LinkedTag")
                      .arg(name));
  }
  static QPoint TreePointOn(QWidget* widget, const QString& key) {
    return widget->mapFromGlobal(Viewport()->mapToGlobal(LabelOf(Node(key))));
  }
  // A key as the keyboard sends it: to the open menu, else to the focused widget.
  static void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* to = popup ? popup : QApplication::focusWidget();
    ASSERT_NE(to, nullptr) << "nothing has the keyboard";
    QTest::keyClick(to, key, modifiers);
  }
  // Goes down the tree's open menu to the item and takes it with Enter.
  static void ChooseByKeys(QAction* item) {
    QMenu* menu = TreePane().mnuTree;
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    for (int i = 0; i < menu->actions().size() && menu->activeAction() != item; ++i) Type(Qt::Key_Down);
    ASSERT_EQ(menu->activeAction(), item) << item->text().toStdString();
    Type(Qt::Key_Return);
    // The offscreen platform makes the closed menu's window the active one;
    // on a desktop a menu never is, and the main window keeps the keys.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(gMainForm);
  }
};

// The menu key, or Shift+F10, shows the menu a right click on the selected
// node would, under it; without a selected node that of empty tree space.
TEST_F(FirstTagTest, TheMenuKeyMakesAFirstCategoryAndTagWithTheKeyboardAlone) {
  Tree().SetFocus();
  ASSERT_TRUE(QTest::qWaitFor([] { return Tree().isAncestorOf(QApplication::focusWidget()); }, 10000));
  ASSERT_EQ(Tree().SelectedItem(), nullptr) << "the focus chooses no node";
  Type(Qt::Key_Menu);
  ASSERT_EQ(QApplication::activePopupWidget(), TreePane().mnuTree) << "the menu key shows the tree's menu";
  ASSERT_NO_FATAL_FAILURE(ChooseByKeys(TreePane().mnuNewCategory));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Genre")));
  const QString genre = QStringLiteral("ID%1").arg(TagId(QStringLiteral("Genre")));
  ASSERT_EQ(Tree().SelectedItem(), &Node(genre));

  Type(Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_EQ(QApplication::activePopupWidget(), TreePane().mnuTree);
  EXPECT_LT(std::abs(TreePane().mnuTree->y() - Viewport()->mapToGlobal(LabelOf(Node(genre))).y()), 30)
      << "under the selected node";
  ASSERT_NO_FATAL_FAILURE(ChooseByKeys(TreePane().mnuCreateTag));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Drama")));
  EXPECT_EQ(Parent(QStringLiteral("Drama")), QStringList{"Genre"});
  EXPECT_FALSE(gTVOutMode) << "Shift+F10 is not F10";
  EXPECT_EQ(boxes.Count(), 0);
}

// On a fixed node, which holds nothing of the user's, the menu key offers
// what empty tree space offers the mouse: a category and a folder at the
// top level.
TEST_F(FirstTagTest, OnAFixedNodeTheMenuKeyMakesATopLevelCategoryAndFolder) {
  Tree().SetFocus();
  ASSERT_TRUE(QTest::qWaitFor([] { return Tree().isAncestorOf(QApplication::focusWidget()); }, 10000));
  Type(Qt::Key_Home);
  ASSERT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID1"))) << "Unplayable";
  Type(Qt::Key_Menu);
  ASSERT_EQ(QApplication::activePopupWidget(), TreePane().mnuTree);
  ASSERT_NO_FATAL_FAILURE(ChooseByKeys(TreePane().mnuNewCategory));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Genre")));
  EXPECT_EQ(Column(QStringLiteral("SELECT Type FROM Tags WHERE Tag = 'Genre'")), QStringList{"C"});
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(TagId(QStringLiteral("Genre")))).Parent(), nullptr);

  Type(Qt::Key_End);
  ASSERT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID4"))) << "Saved Views";
  Type(Qt::Key_Menu);
  ASSERT_EQ(QApplication::activePopupWidget(), TreePane().mnuTree);
  ASSERT_NO_FATAL_FAILURE(ChooseByKeys(TreePane().mnuNewFolder));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Trips")));
  EXPECT_EQ(Column(QStringLiteral("SELECT Type FROM Tags WHERE Tag = 'Trips'")), QStringList{"F"});
  EXPECT_TRUE(Parent(QStringLiteral("Trips")).isEmpty());
  EXPECT_EQ(Node(QStringLiteral("ID%1").arg(TagId(QStringLiteral("Trips")))).Parent(), nullptr);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(FirstTagTest, AFirstCategoryTagAndFolderAndAFileTaggedByDragging) {
  ASSERT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Tags WHERE TagID > 4")), 0) << "only the fixed groups";
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, LabelOf(Node(QStringLiteral("ID-1"))));
  ASSERT_EQ(Tree().SelectedItem(), &Node(QStringLiteral("ID-1"))) << "a click on Untagged";
  QTest::mouseClick(Viewport(), Qt::RightButton, {}, QPoint(20, BelowTheNodes()));
  ASSERT_NO_FATAL_FAILURE(Choose(TreePane().mnuNewCategory));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Genre")));
  const QString genre = QStringLiteral("ID%1").arg(TagId(QStringLiteral("Genre")));
  EXPECT_EQ(Column(QStringLiteral("SELECT Type FROM Tags WHERE Tag = 'Genre'")), QStringList{"C"});
  EXPECT_EQ(Node(genre).Parent(), nullptr);

  RightClick(genre);
  ASSERT_NO_FATAL_FAILURE(Choose(TreePane().mnuCreateTag));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Drama")));
  EXPECT_EQ(Parent(QStringLiteral("Drama")), QStringList{"Genre"});
  RightClick(genre);
  ASSERT_NO_FATAL_FAILURE(Choose(TreePane().mnuNewFolder));
  ASSERT_NO_FATAL_FAILURE(Name(QStringLiteral("Places")));
  EXPECT_EQ(Parent(QStringLiteral("Places")), QStringList{"Genre"});
  EXPECT_EQ(Column(QStringLiteral("SELECT Type FROM Tags WHERE Tag = 'Places'")), QStringList{"F"});
  const QString drama = QStringLiteral("ID%1").arg(TagId(QStringLiteral("Drama")));
  EXPECT_EQ(Node(drama).Parent(), &Node(genre));

  // "Untagged" dragged onto the tiles shows the file; the file dragged onto
  // the tag is tagged with it.
  ctl::FlexGrid& tiles = *Results().flexThumbsTiled;
  const QPoint untagged = LabelOf(Node(QStringLiteral("ID-1")));
  const QPoint overTiles = Viewport()->mapFromGlobal(tiles.mapToGlobal(QPoint(150, 40)));
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, untagged);
  QTest::mouseMove(Viewport(), untagged + QPoint(3, 1));
  QTest::mouseMove(Viewport(), overTiles);
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, overTiles);
  ASSERT_TRUE(QTest::qWaitFor([] { return gLibrary->ResultCount == 1; }, 10000)) << "the untagged file is shown";

  const QPoint tile(TwipsToPixelsX(tiles.ColWidth(0)) + TwipsToPixelsX(tiles.ColWidth(1)) / 2,
                    TwipsToPixelsY(tiles.RowHeight(0)) / 2);
  QTest::mousePress(&tiles, Qt::LeftButton, {}, tile);
  QTest::mouseMove(&tiles, tile + QPoint(1, 0));
  QTest::mouseMove(&tiles, tile + QPoint(1, 15));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging()) << "the tile drags";
  QTest::mouseMove(&tiles, TreePointOn(&tiles, drama));
  QTest::mouseRelease(&tiles, Qt::LeftButton, {}, TreePointOn(&tiles, drama));
  EXPECT_EQ(Column(QStringLiteral("SELECT T.Tag FROM SegmentTags S, Tags T WHERE S.SegmentID = 1 AND "
                                  "T.TagID = S.TagID")),
            QStringList{"Drama"});
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
