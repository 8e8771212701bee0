// The tree view: keyed nodes, relationships and order, sorting, moving and
// removing, expansion events, hit testing in twips, clicks, label editing and
// the two looks (lines and plus/minus, or state icons), and updates of many
// nodes at once.
#include "platform/controls/ControlErrors.h"
#include "platform/controls/TreeView.h"
#include "tests/platform/controls/ControlTestSupport.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TurkishCharacters.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace {

using ctl::Node;
using ctl::TreeView;

QStringList Texts(Node* first) {
  QStringList texts;
  for (Node* node = first; node; node = node->Next()) texts << node->Text();
  return texts;
}

class TreeViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    images.ListImages.Add("TAG", rwtest::Square(QColor(0, 0, 255)));
    images.ListImages.Add("CATEGORY", rwtest::Square(QColor(0, 200, 0)));
    states.ListImages.Add("", rwtest::Square(QColor(255, 0, 0)));
    states.ListImages.Add("", rwtest::Square(QColor(255, 255, 0)));
    tree.SetImageList(&images);
    tree.resize(300, 400);
  }

  // Root "Cat" with children "Beta" and "alpha", root "Tags".
  void Populate() {
    tree.Nodes.Add("", 0, "ID1", "Cat", "CATEGORY");
    tree.Nodes.Add("ID1", ctl::tvwChild, "ID2", "Beta", "TAG");
    tree.Nodes.Add("ID1", ctl::tvwChild, "ID3", "alpha", "TAG");
    tree.Nodes.Add("", 0, "ID4", "Tags", "TAG");
  }

  void Show() {
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  }
  // The nodes shown with pictures and a collapsed-state icon on the first;
  // the first row's rectangle.
  QRect ShowWithStateIcon() {
    Populate();
    tree.SetStyle(ctl::tvwPictureText);
    tree.SetStateImageList(&states);
    tree.Nodes("ID1").SetStateImage(1);
    Show();
    return View()->visualRect(View()->model()->index(0, 0));
  }

  QTreeView* View() { return tree.findChild<QTreeView*>(); }
  QWidget* Viewport() { return View()->viewport(); }

  ctl::ImageList images;
  ctl::ImageList states;
  TreeView tree;
  rwtest::EventLog log;
};

TEST_F(TreeViewTest, NodesAreFoundByKeyAndIndexInTheOrderOfAddition) {
  Populate();
  tree.Nodes.Add("ID2", ctl::tvwPrevious, "ID5", "Before beta", "TAG");
  EXPECT_EQ(tree.Nodes.Count(), 5);
  EXPECT_EQ(tree.Nodes(5).Key(), "ID5");
  EXPECT_EQ(tree.Nodes("ID3").Index(), 3);
  EXPECT_EQ(Texts(tree.Nodes("ID1").Child()), QStringList({"Before beta", "Beta", "alpha"}));
  EXPECT_EQ(tree.Nodes("ID3").Parent(), &tree.Nodes("ID1"));
  EXPECT_EQ(tree.Nodes("ID1").Children(), 3);
  EXPECT_EQ(tree.Nodes("ID4").Parent(), nullptr);
  EXPECT_EQ(tree.Nodes("ID4").FirstSibling(), &tree.Nodes("ID1"));
  EXPECT_EQ(tree.Nodes("ID3").FullPath(), "Cat\\alpha");
  QStringList keys;
  for (const auto& node : tree.Nodes) keys << node->Key();
  EXPECT_EQ(keys.join(","), "ID1,ID2,ID3,ID4,ID5");
}

TEST_F(TreeViewTest, UsedKeysAndMissingRelativesRaiseTheControlErrors) {
  Populate();
  EXPECT_EQ(rwtest::ErrorNumber([&] { tree.Nodes.Add("", 0, "ID2", "Again"); }), ctl::kErrKeyNotUnique);
  EXPECT_EQ(rwtest::ErrorNumber([&] { tree.Nodes.Add("ID99", ctl::tvwChild, "ID98", "Orphan"); }),
            ctl::kErrElementNotFound);
  EXPECT_EQ(rwtest::ErrorNumber([&] { tree.Nodes("id2"); }), ctl::kErrElementNotFound) << "keys match exactly";
  EXPECT_EQ(rwtest::ErrorNumber([&] { tree.Nodes(9); }), ctl::kErrIndexOutOfBounds);
  EXPECT_EQ(tree.Nodes.Count(), 4);
}

TEST_F(TreeViewTest, SortingOrdersALevelWithoutRegardToCaseAndKeepsLaterNodesInOrder) {
  Populate();
  tree.Nodes("ID1").SetSorted(true);
  EXPECT_EQ(Texts(tree.Nodes("ID1").Child()), QStringList({"alpha", "Beta"}));
  tree.Nodes.Add("ID1", ctl::tvwChild, "ID6", "Always", "TAG");
  EXPECT_EQ(Texts(tree.Nodes("ID1").Child()), QStringList({"alpha", "Always", "Beta"}));
  tree.Nodes("ID1").SetSorted(false);
  tree.Nodes.Add("ID1", ctl::tvwChild, "ID7", "Aardvark", "TAG");
  EXPECT_EQ(Texts(tree.Nodes("ID1").Child()).last(), "Aardvark") << "an unsorted level appends";

  // The library tree sorts on prefixed texts, then strips the prefixes.
  tree.Nodes("ID4").SetText(" 222Tags");
  tree.Nodes("ID1").SetText(" 000Cat");
  tree.SetSorted(true);
  tree.Nodes("ID4").SetText("Tags");
  tree.Nodes("ID1").SetText("Cat");
  EXPECT_EQ(Texts(&tree.Nodes("ID1")), QStringList({"Cat", "Tags"}));
  tree.Nodes("ID1").SetText("Zoo");
  tree.SetSorted(true);
  EXPECT_EQ(Texts(tree.Nodes("ID4").FirstSibling()), QStringList({"Tags", "Zoo"})) << "setting True sorts again";

  // Texts of every kind come in the order QString::compare gives them without
  // regard to case: signs on both sides of the letters ("_" between "Z" and
  // "a"), accents, characters beyond U+FFFF, the Kelvin sign and the long s
  // (which fold to ASCII letters), prefixes of one another. A level sorted at
  // once and one that keeps later nodes in order both agree with it.
  const QStringList pieces = {"a", "A", "_", "[", "~", "1", " ", "k", "S", QString::fromUtf8("é"),
                              QString::fromUtf8("É"), QString::fromUtf8("ß"), QString::fromUtf8("\xf0\x9d\x84\x9e"),
                              QString::fromUtf8("\xee\x80\x80"), QString::fromUtf8("\xe2\x84\xaa"),
                              QString::fromUtf8("\xc5\xbf")};
  std::mt19937 random(7);
  QStringList texts;
  for (int i = 0; i < 400; ++i) {
    QString text;
    for (int n = static_cast<int>(random() % 5); n > 0; --n) text += pieces[static_cast<int>(random() % pieces.size())];
    texts << text;
  }
  const auto before = [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  };
  tree.Nodes.Add("", ctl::tvwLast, "MIX", "Mix");
  tree.Nodes.Add("", ctl::tvwLast, "KEPT", "Kept");
  tree.Nodes("KEPT").SetSorted(true);
  QStringList kept;
  for (int i = 0; i < texts.size(); ++i) {
    tree.Nodes.Add("MIX", ctl::tvwChild, QStringLiteral("M%1").arg(i), texts[i]);
    tree.Nodes.Add("KEPT", ctl::tvwChild, QStringLiteral("K%1").arg(i), texts[i]);
    kept.insert(std::upper_bound(kept.begin(), kept.end(), texts[i], before) - kept.begin(), texts[i]);
  }
  tree.Nodes("MIX").SetSorted(true);
  QStringList sorted = texts;
  std::stable_sort(sorted.begin(), sorted.end(), before);
  EXPECT_EQ(Texts(tree.Nodes("MIX").Child()), sorted);
  EXPECT_EQ(Texts(tree.Nodes("KEPT").Child()), kept);
}

TEST_F(TreeViewTest, RemovingANodeRemovesItsChildrenAndRenumbers) {
  Populate();
  tree.SetSelectedItem(&tree.Nodes("ID3"));
  tree.Nodes.Remove("ID1");
  EXPECT_EQ(tree.Nodes.Count(), 1);
  EXPECT_EQ(tree.Nodes(1).Key(), "ID4");
  EXPECT_FALSE(tree.Nodes.Exists("ID2"));
  ASSERT_NE(tree.SelectedItem(), nullptr);
  EXPECT_EQ(tree.SelectedItem()->Key(), "ID4") << "the selection passes to the next sibling";
  tree.Nodes.Clear();
  EXPECT_EQ(tree.Nodes.Count(), 0);
  EXPECT_EQ(tree.SelectedItem(), nullptr);
}

TEST_F(TreeViewTest, MovingANodeTakesItsChildrenAndKeepsThemOpen) {
  Populate();
  tree.Nodes.Add("ID2", ctl::tvwChild, "ID8", "Leaf", "TAG");
  tree.Nodes("ID1").SetExpanded(true);
  tree.Nodes("ID2").SetExpanded(true);
  tree.Nodes("ID4").SetSorted(true);
  tree.Nodes.Add("ID4", ctl::tvwChild, "ID9", "Zebra", "TAG");
  tree.Nodes("ID2").SetParent(&tree.Nodes("ID4"));
  EXPECT_EQ(tree.Nodes("ID8").FullPath(), "Tags\\Beta\\Leaf");
  EXPECT_EQ(Texts(tree.Nodes("ID4").Child()), QStringList({"Beta", "Zebra"})) << "in order under a sorted parent";
  EXPECT_TRUE(View()->isExpanded(View()->model()->index(0, 0, View()->model()->index(1, 0))));
  EXPECT_EQ(rwtest::ErrorNumber([&] { tree.Nodes("ID4").SetParent(&tree.Nodes("ID8")); }), kErrInvalidArgument);
}

TEST_F(TreeViewTest, ExpandingByCodeOrByTheUserRaisesTheEvents) {
  Populate();
  tree.Expand = [&](Node* node) { log.Add("Expand " + node->Key()); };
  tree.Collapse = [&](Node* node) { log.Add("Collapse " + node->Key()); };
  tree.Nodes("ID1").SetExpanded(true);
  tree.Nodes("ID1").SetExpanded(true);
  tree.Nodes("ID4").SetExpanded(true);  // no children: only the flag
  tree.Nodes("ID4").SetExpanded(false);
  EXPECT_EQ(log.Joined(), "Expand ID1 | Expand ID4 | Collapse ID4");
  Show();
  log.Clear();
  const QRect first = View()->visualRect(View()->model()->index(0, 0));
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, first.center());
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(log.Joined(), "Collapse ID1");
  EXPECT_FALSE(tree.Nodes("ID1").Expanded());
}

TEST_F(TreeViewTest, ChildrenOfANodeSetExpandedEarlierShowOnceAdded) {
  tree.Nodes.Add("", 0, "ID1", "Cat", "CATEGORY");
  tree.Nodes("ID1").SetExpanded(true);
  tree.Nodes.Add("ID1", ctl::tvwChild, "ID2", "Tag", "TAG");
  EXPECT_TRUE(View()->isExpanded(View()->model()->index(0, 0)));
}

TEST_F(TreeViewTest, HitTestFindsTheNodeUnderAPointInTwips) {
  Populate();
  tree.Nodes("ID1").SetExpanded(true);
  Show();
  const QRect second = View()->visualRect(View()->model()->index(0, 0, View()->model()->index(0, 0)));
  const QPoint onLabel = second.topLeft() + QPoint(30, second.height() / 2);
  Node* hit = tree.HitTest(onLabel.x() * 15.0, onLabel.y() * 15.0);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->Key(), "ID2");
  EXPECT_EQ(tree.HitTest(onLabel.x() * 15.0, 390 * 15.0), nullptr) << "below the last node";
  EXPECT_EQ(tree.HitTest(290 * 15.0, onLabel.y() * 15.0), nullptr) << "right of the label";
}

TEST_F(TreeViewTest, StateIconsAreHitAndPaintedLeftOfTheNodePicture) {
  const QRect first = ShowWithStateIcon();
  int flags = 0;
  EXPECT_EQ(tree.HitTestInfo(first.left() + 8, first.center().y(), &flags), &tree.Nodes("ID1"));
  EXPECT_EQ(flags, ctl::tvhtOnItemStateIcon);
  tree.HitTestInfo(first.left() + 25, first.center().y(), &flags);
  EXPECT_EQ(flags, ctl::tvhtOnItemIcon);
  const QImage shot = Viewport()->grab().toImage();
  EXPECT_EQ(shot.pixelColor(first.left() + 8, first.center().y()), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(first.left() + 25, first.center().y()), QColor(0, 200, 0));
  tree.Nodes("ID1").SetStateImage(2);
  EXPECT_EQ(Viewport()->grab().toImage().pixelColor(first.left() + 8, first.center().y()), QColor(255, 255, 0));
}

TEST_F(TreeViewTest, APressOnAStateIconReachesMouseDownAtAPointThatHitsTheIcon) {
  const QRect first = ShowWithStateIcon();
  tree.MouseDown = [&](int button, int, double x, double y) {
    int flags = 0;
    Node* node = tree.HitTestInfo(qRound(x / 15), qRound(y / 15), &flags);
    log.Add(QStringLiteral("MouseDown %1 %2 %3").arg(button).arg(node ? node->Key() : "-").arg(flags));
  };
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(first.left() + 8, first.center().y()));
  EXPECT_EQ(log.Joined(), QStringLiteral("MouseDown 1 ID1 %1").arg(ctl::tvhtOnItemStateIcon).toStdString());

  // Over a disabled tree (its pane switched off while files are added) the
  // move goes up from the list to the tree widget itself, the list's parent:
  // its point is still the point in the list.
  log.Clear();
  tree.MouseMove = [&](int, int, double x, double y) {
    log.Add(QStringLiteral("MouseMove %1 %2").arg(qRound(x / 15)).arg(qRound(y / 15)));
  };
  View()->setEnabled(false);
  QTest::mouseMove(Viewport(), QPoint(40, 12));
  EXPECT_TRUE(log.Joined().empty() || log.Joined() == "MouseMove 40 12") << log.Joined();
}

// The tree paints the selected node's label itself; the indent of a selected
// child keeps the background, with the focus or without it.
TEST_F(TreeViewTest, ASelectedChildIsHighlightedOnItsLabelOnlyAndOnlyWithTheFocus) {
  Populate();
  tree.SetStyle(ctl::tvwPictureText);
  tree.Nodes("ID1").SetExpanded(true);
  Show();
  const QRect child = View()->visualRect(View()->model()->index(0, 0, View()->model()->index(0, 0)));
  ASSERT_GT(child.left(), 10);
  const QPoint indent(child.left() / 2, child.center().y());
  const QPoint label(child.left() + 30, child.center().y());
  const QColor highlight = Viewport()->palette().color(QPalette::Active, QPalette::Highlight);
  const auto colourAt = [&](const QPoint& at) { return Viewport()->grab().toImage().pixelColor(at).name(); };
  tree.activateWindow();
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, label);
  ASSERT_EQ(tree.SelectedItem(), &tree.Nodes("ID2"));
  const QString background = ColorRefToQColor(tree.BackColor()).name();
  const QPoint labelTop = label - QPoint(0, child.height() / 2 - 1);
  ASSERT_TRUE(View()->hasFocus());
  EXPECT_EQ(colourAt(labelTop), highlight.name());
  EXPECT_EQ(colourAt(indent), background);
  View()->clearFocus();
  EXPECT_EQ(colourAt(indent), background);
  EXPECT_EQ(colourAt(labelTop), background);
}

TEST_F(TreeViewTest, ClassicStyleDrawsPlusMinusBoxesAndPictureStyleNone) {
  Populate();
  Show();
  const QRect first = View()->visualRect(View()->model()->index(0, 0));
  const QPoint boxEdge(first.left() - 19 + 9 - 4, first.center().y());  // the left edge of the 9-pixel box
  const auto grey = [&] {
    const QColor pixel = Viewport()->grab().toImage().pixelColor(boxEdge);
    return std::abs(pixel.red() - 128) < 30 && std::abs(pixel.green() - 128) < 30;
  };
  EXPECT_TRUE(grey()) << "style 7 shows a plus box";
  tree.SetStyle(ctl::tvwPictureText);
  EXPECT_EQ(View()->visualRect(View()->model()->index(0, 0)).left(), 0) << "style 1 has no root decoration";
}

TEST_F(TreeViewTest, LeftClickSelectsAndRaisesNodeClickRightClickOnlyReports) {
  Populate();
  Show();
  tree.SetSelectedItem(&tree.Nodes("ID1"));
  tree.MouseDown = [&](int button, int, double x, double y) {
    log.Add(QStringLiteral("MouseDown %1 selected %2")
                .arg(button)
                .arg(tree.SelectedItem() ? tree.SelectedItem()->Key() : "-"));
  };
  tree.NodeClick = [&](Node* node) { log.Add("NodeClick " + node->Key()); };
  const QRect second = View()->visualRect(View()->model()->index(1, 0));
  const QPoint label = second.topLeft() + QPoint(30, second.height() / 2);
  QTest::mouseClick(Viewport(), Qt::RightButton, {}, label);
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, label);
  EXPECT_EQ(log.Joined(), "MouseDown 2 selected ID1 | MouseDown 1 selected ID4 | NodeClick ID4");
}

TEST_F(TreeViewTest, LabelEditEndsThroughAfterLabelEdit) {
  Populate();
  Show();
  tree.SetSelectedItem(&tree.Nodes("ID4"));
  tree.AfterLabelEdit = [&](int& cancel, QString& newString) {
    log.Add("After " + newString);
    tree.SelectedItem()->SetText(newString + "!");
    cancel = newString.size() > 5;
  };
  tree.StartLabelEdit();
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText(), "Tags");
  QTest::keyClicks(editor, "Longer");
  QTest::keyClick(editor, Qt::Key_Return);
  // The edit ends once the editor has gone.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !log.Joined().empty(); }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(log.Joined(), "After Longer");
  EXPECT_EQ(tree.Nodes("ID4").Text(), "Longer!") << "a cancelled edit keeps the handler's text";

  log.Clear();
  tree.StartLabelEdit();
  QTest::keyClicks(QApplication::focusWidget(), "Short");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !log.Joined().empty(); }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(tree.Nodes("ID4").Text(), "Short");
}

TEST_F(TreeViewTest, EscapeDropsTheEditAndReachesTheTreeAsKeyUp) {
  Populate();
  Show();
  tree.SetSelectedItem(&tree.Nodes("ID4"));
  tree.AfterLabelEdit = [&](int&, QString&) { log.Add("After"); };
  tree.KeyUp = [&](int& key, int) { log.Add(QStringLiteral("KeyUp %1").arg(key)); };
  tree.StartLabelEdit();
  QWidget* editor = QApplication::focusWidget();
  QTest::keyClicks(editor, "Typed");
  QTest::keyPress(editor, Qt::Key_Escape);
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Escape);
  // An edit that ended would reach AfterLabelEdit through the event loop.
  rwtest::RunEventLoopPasses();
  EXPECT_EQ(log.Joined(), "KeyUp 27");
  EXPECT_EQ(tree.Nodes("ID4").Text(), "Tags");
}

TEST_F(TreeViewTest, KeysReachTheHandlerBeforeTheTreeMovesTheSelection) {
  Populate();
  Show();
  tree.SetSelectedItem(&tree.Nodes("ID1"));
  tree.setFocus();
  tree.KeyDown = [&](int& key, int) {
    log.Add(QStringLiteral("KeyDown %1 on %2").arg(key).arg(tree.SelectedItem()->Key()));
  };
  QTest::keyClick(View(), Qt::Key_Down);
  QTest::keyClick(View(), Qt::Key_F2);
  EXPECT_EQ(log.Joined(), "KeyDown 40 on ID1 | KeyDown 113 on ID4");
}

TEST_F(TreeViewTest, TheFocusChoosesNoNodeAndEndHomeAndTypedLettersThenGoToTheNodesShown) {
  Populate();
  tree.Nodes.Add("ID4", ctl::tvwChild, "ID5", "Hidden", "TAG");
  tree.Nodes.Add("ID1", ctl::tvwChild, "ID6", QStringLiteral("İstanbul"), "TAG");
  tree.Nodes("ID1").SetExpanded(true);
  Show();
  tree.setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return tree.isAncestorOf(QApplication::focusWidget()); }, 5000));
  EXPECT_EQ(tree.SelectedItem(), nullptr) << "the focus arriving chooses no node";
  auto press = [&](Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
    return tree.SelectedItem() ? tree.SelectedItem()->Key() : QStringLiteral("none");
  };
  EXPECT_EQ(press(Qt::Key_End), "ID4") << "the last root: its child is not shown";
  EXPECT_EQ(press(Qt::Key_Home), "ID1");
  tree.Nodes("ID4").SetExpanded(true);
  EXPECT_EQ(press(Qt::Key_End), "ID5");
  // Type-ahead by the user's case rules: under Turkish ones "ist" reaches "İstanbul".
  const rwtest::TurkishCharacters turkish;
  if (!turkish.Switched()) GTEST_SKIP() << rwtest::kNoTurkishLocale;
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ist"));
  EXPECT_EQ(tree.SelectedItem()->Key(), "ID6");
}

// Rows "Row 1".."Row n" at the top level, each with one child "Child i".
void AddRows(TreeView& tree, int count) {
  for (int i = 1; i <= count; ++i) {
    tree.Nodes.Add("", ctl::tvwLast, QStringLiteral("R%1").arg(i), QStringLiteral("Row %1").arg(i), "TAG");
    tree.Nodes.Add(QStringLiteral("R%1").arg(i), ctl::tvwChild, QStringLiteral("C%1").arg(i),
                   QStringLiteral("Child %1").arg(i), "TAG");
  }
}

Node* FirstShown(QTreeView* view) {
  const QModelIndex index = view->indexAt(QPoint(1, 1));
  return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

TEST_F(TreeViewTest, AnUpdateShowsItsChangesAtOnceKeepingExpansionSelectionAndPlace) {
  AddRows(tree, 80);
  Show();
  tree.Nodes("R3").SetExpanded(true);
  tree.Nodes("R40").SetExpanded(true);
  tree.SetFirstVisible(&tree.Nodes("R30"));
  tree.SetSelectedItem(&tree.Nodes("C40"));
  ASSERT_EQ(FirstShown(View()), &tree.Nodes("R30"));
  tree.Expand = [&](Node* node) { log.Add("Expand " + node->Key()); };
  tree.Collapse = [&](Node* node) { log.Add("Collapse " + node->Key()); };

  tree.BeginUpdate();
  tree.BeginUpdate();  // updates nest: only the outer end shows the nodes
  EXPECT_EQ(View()->model()->rowCount(), 0) << "the view holds no node while the update runs";
  EXPECT_EQ(tree.HitTest(100, 100), nullptr);
  for (const auto& node : tree.Nodes) node->SetText(node->Text().toUpper());
  tree.Nodes.Add("R50", ctl::tvwChild, "N1", "NEW", "TAG");
  tree.Nodes("R50").SetExpanded(true);
  tree.Nodes.Remove("R79");
  tree.SetSorted(true);
  tree.EndUpdate();
  EXPECT_EQ(View()->model()->rowCount(), 0);
  tree.EndUpdate();

  EXPECT_EQ(log.Joined(), "Expand R50") << "only the code's own expansion is an event";
  EXPECT_EQ(View()->model()->rowCount(), 79);
  EXPECT_EQ(tree.Nodes("R50").Children(), 2);
  for (const QString key : {"R3", "R40", "R50", "R4"}) {
    Node& node = tree.Nodes(key);
    int row = 0;
    for (Node* up = node.Previous(); up; up = up->Previous()) ++row;
    EXPECT_EQ(View()->isExpanded(View()->model()->index(row, 0)), node.Expanded()) << key.toStdString();
  }
  EXPECT_EQ(tree.SelectedItem(), &tree.Nodes("C40"));
  EXPECT_EQ(static_cast<Node*>(View()->currentIndex().internalPointer()), &tree.Nodes("C40"));
  rwtest::RunEventLoopPasses();
  EXPECT_EQ(FirstShown(View()), &tree.Nodes("R30")) << "the node first shown stays first";
  EXPECT_EQ(tree.Nodes("R30").Text(), "ROW 30");
}

TEST_F(TreeViewTest, AnUpdateThatRebuildsTheTreeShowsTheNodeSelectedMeanwhile) {
  AddRows(tree, 80);
  Show();
  tree.SetFirstVisible(&tree.Nodes("R60"));
  tree.SetSelectedItem(&tree.Nodes("R61"));
  tree.BeginUpdate();
  tree.StartLabelEdit();  // refused while the view holds no node
  tree.Nodes.Clear();
  AddRows(tree, 70);
  tree.SetSelectedItem(&tree.Nodes("C70"));
  EXPECT_EQ(tree.SelectedItem(), &tree.Nodes("C70"));
  tree.EndUpdate();
  rwtest::RunEventLoopPasses();
  EXPECT_EQ(QApplication::focusWidget() ? qobject_cast<QLineEdit*>(QApplication::focusWidget()) : nullptr, nullptr);
  EXPECT_EQ(View()->model()->rowCount(), 70);
  EXPECT_EQ(static_cast<Node*>(View()->currentIndex().internalPointer()), &tree.Nodes("C70"));
  EXPECT_TRUE(View()->isExpanded(View()->model()->index(69, 0))) << "the selected node's parent opens to show it";
  const QRect shown = View()->visualRect(View()->currentIndex());
  EXPECT_TRUE(View()->viewport()->rect().contains(shown)) << "the selected node is scrolled into view";
}

}  // namespace
