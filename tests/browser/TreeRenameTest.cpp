// Renaming items of the library tree through its label editor: the checks
// (length, blank, full path) and how a refusal restarts the edit, what is
// written to Tags and FileLocations (read back from the library), the
// inspector's tag list, keys that name nothing, Esc outside a rename, a
// node removed while its rename waits and a rename overtaken by another
// library. One test can leave a picture of the open label editor (see the
// README).
#include "inspector/InspectorPane.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/SearchFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TreeRenameTest : public rwtest::SearchTestOn<rwtest::RunningProgramTest> {
 protected:
  void SetUp() override {
    SearchTestOn::SetUp();
    // The test ticks the edit timer itself.
    TreePane().tvwEditTimer->SetInterval(24 * 3600 * 1000);
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    // The tree hands an ended edit to the pane once the editor has gone;
    // counting those hand-overs tells the test when an edit has ended.
    Tree().AfterLabelEdit = [handler = Tree().AfterLabelEdit, this](int& cancel, QString& newString) {
      const auto ended = qScopeGuard([this] { ++editsEnded_; });  // also when the handler fails
      handler(cancel, newString);
    };
  }

  static LibraryTreePane& TreePane() { return gMainForm->Tree(); }
  static ResultsPane& Results() { return gMainForm->Results(); }
  static ctl::Node& Node(const QString& key) { return Tree().Nodes.Item(key); }
  static QString Value(const QString& sql) {
    SqlRecordset rs(gLibrary->Connection(), sql);
    return rs.Eof() ? QStringLiteral("<none>") : rs.Value(0).toString();
  }
  static QString TagRow(int id) {
    return Value(QStringLiteral("SELECT Tag || '|' || ifnull(T9Text, '') FROM Tags WHERE TagID = %1").arg(id));
  }

  // The open label editor; nullptr when none is open.
  static QLineEdit* Editor() {
    for (QLineEdit* editor : Tree().findChildren<QLineEdit*>()) {
      if (editor->isVisible()) return editor;
    }
    return nullptr;
  }
  static void StartRename(const QString& key) {
    Tree().SetSelectedItem(&Node(key));
    TreePane().mnuRenameTag_Click();
  }
  static void Tick() {
    ASSERT_TRUE(TreePane().tvwEditTimer->Enabled()) << "the edit timer is armed";
    TreePane().tvwEditTimer_Timer();
  }
  // Types the name into the open editor and ends the edit with Enter.
  void Type(const QString& name) {
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr) << "a label edit is open";
    editor->setText(name);
    const int ended = editsEnded_;
    // The key goes where a typed key would go: the editor must hold the focus.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == editor; }, rwtest::kWaitCeilingMs))
        << "the label editor holds the keyboard focus";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The edit ends once the editor has gone; the closed editor is deleted.
    ASSERT_TRUE(QTest::qWaitFor([&] { return editsEnded_ > ended; }, rwtest::kWaitCeilingMs))
        << "the edit of " << name.toStdString() << " ended";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void ExpectRefusal(const QString& title, const QString& name) {
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, title);
    EXPECT_EQ(boxes.Last().style, vbExclamation);
    boxes.Clear();
    EXPECT_EQ(Node("ID13").Text(), name) << "the refused name stays for correction";
    EXPECT_EQ(TagRow(13), QStringLiteral("Ben|")) << "nothing is written";
    Tick();
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), name);
    EXPECT_EQ(Editor()->selectedText(), name);
  }

  int editsEnded_ = 0;
};

TEST_F(TreeRenameTest, TheTimerEditsTheNodeAndEnterRenamesTheTagAndResortsItsLevel) {
  StartRename(QStringLiteral("ID13"));
  EXPECT_EQ(gPendingRenameNode, &Node("ID13"));
  EXPECT_EQ(Editor(), nullptr) << "the edit waits for the timer";
  Tick();
  EXPECT_FALSE(TreePane().tvwEditTimer->Enabled());
  EXPECT_EQ(Tree().DropHighlight(), &Node("ID13"));
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->selectedText(), QStringLiteral("Ben"));
  if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) {
    Editor()->setText(QStringLiteral("Benjamin"));
    EXPECT_TRUE(gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG"));
  }
  Type(QStringLiteral("Aaron"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(TagRow(13), QStringLiteral("Aaron|22766"));
  EXPECT_EQ(Node("ID13").Text(), QStringLiteral("Aaron"));
  EXPECT_EQ(Node("ID10").Child(), &Node("ID13")) << "now first among People";
  EXPECT_EQ(gPendingRenameNode, nullptr) << "the rename has ended";
}

// A name the library cannot store (its disk full) is told once, in the
// program's words naming the library's file; the tag keeps its name in the
// library and in the tree, and the rename ends.
TEST_F(TreeRenameTest, ANameTheLibraryCannotStoreIsToldOnceAndTheTreeKeepsTheStoredName) {
  rwtest::AddFaultTrigger(gLibrary->Connection(),
                          QStringLiteral("CREATE TEMP TRIGGER Full BEFORE UPDATE OF Tag ON Tags BEGIN "
                                         "SELECT rw_fault(13); END"));
  StartRename(QStringLiteral("ID13"));
  Tick();
  Type(QStringLiteral("Aaron"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(TagRow(13), QStringLiteral("Ben|"));
  EXPECT_EQ(Node("ID13").Text(), QStringLiteral("Ben"));
  EXPECT_EQ(gPendingRenameNode, nullptr) << "the rename has ended";
  EXPECT_FALSE(TreePane().tvwEditTimer->Enabled());
}

TEST_F(TreeRenameTest, LongBlankAndTakenNamesAreRefusedUntilOneOf30CharactersPasses) {
  StartRename(QStringLiteral("ID13"));
  Tick();
  const QString thirty(30, QLatin1Char('x'));
  Type(thirty + QLatin1Char('y'));
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Name is restricted to 30 characters maximum"));
  ExpectRefusal(QStringLiteral("Label too long!"), thirty + QLatin1Char('y'));
  Type(QStringLiteral("Anna"));
  ExpectRefusal(QStringLiteral("Invalid Name"), QStringLiteral("Anna"));
  Type(QStringLiteral("   "));
  ExpectRefusal(QStringLiteral("Invalid Name"), QStringLiteral("   "));
  Type(thirty);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(TagRow(13), thirty + QLatin1Char('|') + QString(30, QLatin1Char('9')));
}

TEST_F(TreeRenameTest, OnlyTheSameFullPathBlocksAName) {
  StartRename(QStringLiteral("ID13"));
  Tick();
  Type(QStringLiteral("anna"));
  StartRename(QStringLiteral("ID15"));
  Tick();
  Type(QStringLiteral("Anna"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Value(QStringLiteral("SELECT group_concat(Tag, ',') FROM Tags WHERE TagID IN (11, 13, 15)")),
            QStringLiteral("Anna,anna,Anna"));
}

TEST_F(TreeRenameTest, AnApostropheIsStoredOnceTheKeypadTextFollowsAndTheInspectorShowsTheName) {
  ctl::ListView& tags = *gMainForm->Inspector().lstFileTags;
  for (const char* id : {"13", "11"}) {
    ctl::ListItem& item = tags.ListItems.Add();
    item.SetTag(QLatin1String(id));
    item.ListSubItems.Add(0, QString(), Node(QStringLiteral("ID") + QLatin1String(id)).Text());
  }
  StartRename(QStringLiteral("ID13"));
  Tick();
  Type(QStringLiteral("O'Brien"));
  EXPECT_EQ(TagRow(13), QStringLiteral("O'Brien|6'27436"));
  EXPECT_EQ(Node("ID13").Text(), QStringLiteral("O'Brien"));
  EXPECT_EQ(tags.ListItems.Item(1).SubItems(1), QStringLiteral("O'Brien"));
  EXPECT_EQ(tags.ListItems.Item(2).SubItems(1), QStringLiteral("Anna"));
  StartRename(QStringLiteral("ID13"));
  Tick();
  Type(QStringLiteral("BOB"));
  EXPECT_EQ(TagRow(13), QStringLiteral("BOB|262"));
}

TEST_F(TreeRenameTest, ADeviceNameGoesToEveryRowOfItsSerialAtOnce) {
  gLibrary->Connection().Execute(QStringLiteral(
      "INSERT INTO FileLocations VALUES ('AAAA1111', 'Disk AAAA1111', ':\\films\\', '/mnt/films/', 'Fixed Disk', "
      "NULL, 1)"));
  StartRename(QStringLiteral("M-AAAA1111"));
  EXPECT_FALSE(TreePane().tvwEditTimer->Enabled());
  Type(QStringLiteral("Films"));
  StartRename(QStringLiteral("M-CC'33"));
  Type(QStringLiteral("Card's"));
  EXPECT_EQ(Value(QStringLiteral("SELECT group_concat(DiskSerialNo || '=' || ifnull(FriendlyName, '-'), ',') FROM "
                                 "(SELECT * FROM FileLocations ORDER BY DiskSerialNo, LogicalPath)")),
            QStringLiteral("AAAA1111=Films,AAAA1111=Films,BBBB2222=-,CC'33=Card's"));
}

TEST_F(TreeRenameTest, KeysThatNameNoTagOrDeviceWriteNothing) {
  const QString tags = QStringLiteral("SELECT group_concat(Tag, ',') FROM Tags");
  const QString names = QStringLiteral("SELECT count(FriendlyName) FROM FileLocations");
  const QString before = Value(tags);
  for (const char* key : {"ID13 OR 1=1", "IDx", "ID", "R-5", "DISKS", "M-"})
    TreePane().RenameTreeItem(QLatin1String(key), "X");
  TreePane().RenameTreeItem(QStringLiteral("M-AAAA1111' OR '1'='1"), QStringLiteral("X"));
  EXPECT_EQ(Value(tags), before);
  EXPECT_EQ(Value(names), QStringLiteral("0"));
}

TEST_F(TreeRenameTest, EscChecksOnlyARenameUnderWayAndARemovedNodeIsNotEdited) {
  int esc = 27;
  Tree().SetSelectedItem(&Node("M-AAAA1111"));
  TreePane().tvwLibrary_KeyUp(esc, 0);
  EXPECT_EQ(Value(QStringLiteral("SELECT count(FriendlyName) FROM FileLocations")), QStringLiteral("0"));

  // Esc drops the editor, and the node's own text is checked and kept.
  StartRename(QStringLiteral("ID13"));
  Tick();
  QTest::keyClick(Editor(), Qt::Key_Escape);
  TreePane().tvwLibrary_KeyUp(esc, 0);
  EXPECT_EQ(TagRow(13), QStringLiteral("Ben|236"));
  EXPECT_EQ(gPendingRenameNode, nullptr);

  StartRename(QStringLiteral("ID12"));
  Tree().Nodes.Remove(QStringLiteral("ID12"));
  const ctl::Node* selected = Tree().SelectedItem();
  Tick();
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Tree().SelectedItem(), selected);
  EXPECT_EQ(boxes.Count(), 0);
}

// The open of another library disables the window's panes, and with them
// the label editor, which hands its text on as it loses the focus; a long
// open then lets the window's events through, the other library's file
// already in use and a tree pane too narrow for the loading animation still
// showing the tree. The rename began in the library open before: nothing of
// it is written into the other one, whose tag of the same number is another
// tag, and the edit has ended.
TEST_F(TreeRenameTest, ARenameOvertakenByAnotherLibraryWritesNothingIntoIt) {
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  gLibrary->Connection().CopyTo(other);
  SqlConnection::Open(other)->Execute(QStringLiteral("UPDATE Tags SET Tag = 'Zoe' WHERE TagID = 13"));
  TreePane().picLeft->SetWidth(60);
  gMainForm->LayoutPanes();
  ASSERT_GT(TreePane().gifTreeLoading->Width() + 10, TreePane().picLeftFrame->Width()) << "the tree stays in the open";
  StartRename(QStringLiteral("ID13"));
  Tick();
  ASSERT_NE(Editor(), nullptr);
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() == Editor(); }, rwtest::kWaitCeilingMs));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Aaron"));
  // The program's clock stands still until the other library's file is in
  // use, then every reading is a second later: the open handles the events.
  const uint64_t before = gLibrary->ConnectionCount();
  uint64_t now = 1'000'000;
  const ctl::TickCountFunction clock = ctl::SetTickCountFunction(
      [&] { return now += gLibrary && gLibrary->ConnectionCount() != before ? 1000 : 0; });
  const auto restore = qScopeGuard([&] { ctl::SetTickCountFunction(clock); });
  rwtest::ScriptedFileDialogs dialogs;
  dialogs.Choose({other});
  gMainForm->MainToolbarHandler(QStringLiteral("mnuLibraryOpen"));
  rwtest::RunEventLoopPasses();
  ASSERT_EQ(gLibrary->LibraryPath, other);
  EXPECT_EQ(TagRow(13), QStringLiteral("Zoe|"));
  EXPECT_EQ(Node("ID13").Text(), QStringLiteral("Zoe"));
  EXPECT_EQ(gPendingRenameNode, nullptr);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
