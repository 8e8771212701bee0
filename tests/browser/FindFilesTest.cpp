// The Find dialog on the fixture library: the step it builds from its
// options and text and what that step finds (GLOB wildcards, quotes, an
// unclosed "["), its refusals, its settings across openings and a restart,
// and saved searches made, edited (Enter) and left (Esc) from the tree. One
// test can leave a picture of the dialog (see docs/DEVELOPING.md).
#include "browser/frmFindFiles.h"
#include "core/modReelwise.h"
#include "platform/controls/TextBox.h"
#include "tests/library/SearchFixture.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/EventLoopWaits.h"
#include "ui/frmGlass.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using rwtest::RowSet;

class FindFilesTest : public rwtest::SearchTestOn<rwtest::RunningProgramTest> {
 protected:
  void SetUp() override {
    SearchTestOn::SetUp();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  }
  void TearDown() override {
    gFindFilesMode.clear();
    UnloadGlass();
    SearchTestOn::TearDown();
  }

  // The dialog as the Find command opens it: loaded, then shown.
  static std::unique_ptr<frmFindFiles> Open() {
    auto find = std::make_unique<frmFindFiles>();
    find->show();
    return find;
  }
  static void LookIn(frmFindFiles& find, bool names, bool aliases, bool descriptions) {
    find.chkSearchFileNames->setChecked(names);
    find.chkSearchAliases->setChecked(aliases);
    find.chkSearchDescriptions->setChecked(descriptions);
  }
  // Runs a search for the text with the look-in flags "F", "A", "D" given.
  static void Search(const QString& flags, const QString& text, bool withinResults = false) {
    auto find = Open();
    LookIn(*find, flags.contains(QLatin1Char('F')), flags.contains(QLatin1Char('A')), flags.contains(QLatin1Char('D')));
    find->chkSearchInResults->setChecked(withinResults);
    find->txtSearchExpression->SetText(text);
    find->lblFind_Click();
  }
  static QString Value(const QString& sql) {
    SqlRecordset rs(gLibrary->Connection(), sql);
    return rs.Eof() ? QStringLiteral("<none>") : rs.Value(0).toString();
  }
  static QString SavedSearches() {
    return Value(
        QStringLiteral("SELECT group_concat(T.Tag || '=' || V.ViewSpec, ',') FROM Tags T, Views V, TagLinks L "
                       "WHERE T.TagID = V.TagID AND L.TagID = T.TagID AND L.LinkedTag = 3"));
  }
  static QStringList SearchNodes() {
    QStringList texts;
    for (ctl::Node* n = Tree().Nodes.Item(QStringLiteral("ID3")).Child(); n; n = n->Next()) texts << n->Text();
    return texts;
  }
};

TEST_F(FindFilesTest, SearchRunsTheStepOfItsOptionsAndText) {
  Search(QStringLiteral("A"), QStringLiteral("an"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?1A3:an"));
  const RowSet first =
      ExpectedSearchStep(QStringLiteral("_"), QStringLiteral("?1A3:an"), ResultScope::File, StorageFilter::All, {});
  EXPECT_EQ(SearchResults(), first);
  Search(QStringLiteral("FD"), QStringLiteral("beach"), true);
  EXPECT_TRUE(gViewSpec.endsWith(QStringLiteral("|+?F2D:beach")));
  EXPECT_EQ(SearchResults(), ExpectedSearchStep(QStringLiteral("+"), QStringLiteral("?F2D:beach"), ResultScope::File,
                                                StorageFilter::All, first));
  // The dialog hides and the search runs with nothing else handled: a call
  // queued before Find runs after the search.
  QString seen = QStringLiteral("<not run>");
  QMetaObject::invokeMethod(qApp, [&seen] { seen = gViewSpec; }, Qt::QueuedConnection);
  Search(QStringLiteral("F"), QString());
  EXPECT_EQ(seen, QStringLiteral("<not run>"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?F23:"));
  EXPECT_EQ(SearchResults(), RowSet({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&seen] { return seen == QStringLiteral("|_?F23:"); }, rwtest::kWaitCeilingMs));
}

TEST_F(FindFilesTest, TheTextKeepsGlobWildcardsAndQuotesAndAnUnclosedBracketFindsNothing) {
  const std::pair<const char*, RowSet> cases[] = {{"s*beach", {1}}, {"?inter", {2}}, {"[[]2019]", {3}},
                                                  {"o'brien", {4}}, {"[w]", {2}},    {"[2019", {}}};
  for (const auto& [text, rows] : cases) {
    Search(QStringLiteral("F"), QLatin1String(text));
    EXPECT_EQ(SearchResults(), rows) << text;
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(FindFilesTest, RefusalsKeepTheDialogOpenAndSearchNothing) {
  gViewSpec = QStringLiteral("|_T:11");
  const QString searches = SavedSearches();
  auto find = Open();
  LookIn(*find, false, false, false);
  find->lblFind_Click();
  find->chkSearchFileNames->setChecked(true);
  find->txtSearchExpression->SetText(QStringLiteral("dog|_T:11"));
  find->lblFind_Click();
  find->txtSearchExpression->SetText(QStringLiteral("dog"));
  find->chkSaveSearch->setChecked(true);
  find->txtSearchName->SetText(QString());
  find->lblFind_Click();
  ASSERT_EQ(boxes.Count(), 3);
  EXPECT_EQ(boxes.Shown()[0].title, QStringLiteral("Nothing to look for"));
  EXPECT_EQ(boxes.Shown()[0].prompt, QStringLiteral("You have not selected any of the 'Look In' options!"));
  EXPECT_EQ(boxes.Shown()[1].title, QStringLiteral("Invalid Search Text"));
  EXPECT_EQ(boxes.Shown()[2].title, QStringLiteral("No name specified!"));
  for (const MessageBoxRequest& box : boxes.Shown()) EXPECT_EQ(box.style, vbExclamation);
  EXPECT_TRUE(find->isVisible());
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11"));
  EXPECT_EQ(SavedSearches(), searches);
}

TEST_F(FindFilesTest, TheLastOptionsAndTextComeBackAndOnlyTheOptionsAfterARestart) {
  Search(QStringLiteral("FD"), QStringLiteral("dog"));
  EXPECT_EQ(Other("SearchSettings").Text(), QStringLiteral("F2D:"));
  auto again = Open();
  EXPECT_TRUE(again->chkSearchFileNames->isChecked());
  EXPECT_FALSE(again->chkSearchAliases->isChecked());
  EXPECT_TRUE(again->chkSearchDescriptions->isChecked());
  EXPECT_EQ(again->txtSearchExpression->Text(), QStringLiteral("dog"));
  EXPECT_EQ(again->txtSearchExpression->SelText(), QStringLiteral("dog"));
  again.reset();

  EndProgram();
  ASSERT_TRUE(Start());
  auto restarted = Open();
  EXPECT_EQ(restarted->LookInFlags(), QStringLiteral("F2D"));
  EXPECT_EQ(restarted->txtSearchExpression->Text(), QString());
}

TEST_F(FindFilesTest, ASavedSearchIsMadeThenReplacedWholeOrNotAtAll) {
  gFindFilesMode = QStringLiteral("SAVE");
  auto find = Open();
  EXPECT_EQ(find->txtSearchName->Text(), QStringLiteral("New Search"));
  EXPECT_TRUE(find->chkSaveSearch->isChecked() && find->chkSaveSearch->isEnabled());
  LookIn(*find, true, false, true);
  find->txtSearchExpression->SetText(QStringLiteral("dog"));
  find->txtSearchName->SetText(QStringLiteral("Dogs"));
  find->lblFind_Click();
  EXPECT_EQ(SavedSearches(), QStringLiteral("Dogs=|_?F2D:dog"));

  // Editing: the options of the saved flags are ticked, one absent keeps
  // its state from the last search (titles here).
  gSearchSettings = QStringLiteral("1A3:cat");
  ctl::Node* dogs = Tree().Nodes.Item(QStringLiteral("ID3")).Child();
  const QString oldKey = dogs->Key();
  Tree().SetSelectedItem(dogs);
  gFindFilesMode = dogs->Tag();
  auto edit = Open();
  EXPECT_EQ(edit->LookInFlags(), QStringLiteral("FAD"));
  EXPECT_EQ(edit->txtSearchExpression->Text(), QStringLiteral("dog"));
  EXPECT_EQ(edit->txtSearchName->Text(), QStringLiteral("Dogs"));
  EXPECT_TRUE(edit->chkSaveSearch->isChecked() && !edit->chkSaveSearch->isEnabled());

  // A save that fails leaves the old search as it was.
  const int next = Value(QStringLiteral("SELECT max(TagID) + 1 FROM Tags")).toInt();
  gLibrary->Connection().Execute(QStringLiteral("INSERT INTO Views VALUES ('|_T:1', 'V', %1)").arg(next));
  edit->txtSearchName->SetText(QStringLiteral("Cats"));
  edit->lblFind_Click();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error Initialising Search"));
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(SavedSearches(), QStringLiteral("Dogs=|_?F2D:dog"));
  EXPECT_EQ(SearchNodes(), QStringList{QStringLiteral("Dogs")});

  gLibrary->Connection().Execute(QStringLiteral("DELETE FROM Views WHERE TagID = %1").arg(next));
  edit->lblFind_Click();
  EXPECT_EQ(SavedSearches(), QStringLiteral("Cats=|_?FAD:dog"));
  EXPECT_EQ(SearchNodes(), QStringList{QStringLiteral("Cats")});
  EXPECT_FALSE(Tree().Nodes.Exists(oldKey));
}

TEST_F(FindFilesTest, EditSearchFromTheTreeEscLeavesItAndEnterReplacesIt) {
  gLibrary->SaveView(QStringLiteral("|_?F2D:dog"), QStringLiteral("Dogs"), true);
  ctl::Node* dogs = Tree().Nodes.Item(QStringLiteral("ID3")).Child();
  rwtest::ModalWatch watch;
  QString name;
  watch.inside = [&](QWidget& window) {
    auto& find = dynamic_cast<frmFindFiles&>(window);
    name = find.txtSearchName->Text();
    if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) {
      EXPECT_TRUE(find.grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG"));
    }
    QTest::keyClick(find.txtSearchExpression->Edit(), Qt::Key_Escape);
  };
  Tree().SetSelectedItem(dogs);
  gMainForm->Tree().mnuRenameTag_Click();
  EXPECT_EQ(name, QStringLiteral("Dogs"));
  EXPECT_EQ(gFindFilesMode, QString());
  EXPECT_EQ(SavedSearches(), QStringLiteral("Dogs=|_?F2D:dog"));
  EXPECT_EQ(watch.shown, QStringList({"frmGlass", "frmFindFiles"}));

  watch.inside = [](QWidget& window) {
    auto& find = dynamic_cast<frmFindFiles&>(window);
    find.txtSearchExpression->SetText(QStringLiteral("cat"));
    QTest::keyClick(find.txtSearchExpression->Edit(), Qt::Key_Return);
  };
  Tree().SetSelectedItem(dogs);
  gMainForm->Tree().mnuRenameTag_Click();
  EXPECT_EQ(SavedSearches(), QStringLiteral("Dogs=|_?F2D:cat"));
  EXPECT_EQ(SearchNodes(), QStringList{QStringLiteral("Dogs")});
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?F2D:cat"));
  EXPECT_EQ(boxes.Count(), 0);
}

}  // namespace
