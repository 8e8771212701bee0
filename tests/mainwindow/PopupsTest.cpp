// The results' and the file tags' context menus: their items, the similar
// files submenu, and each command with a recording desktop and scripted
// boxes, in the running program.
#include "inspector/InspectorPane.h"
#include "library/HistoryEntry.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/ListView.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/TestVideo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

using rwtest::CommandTest;

struct FolderDesktop : rwtest::RecordingDesktop {
  QStringList shownInFolder;
  bool answers = true;  // false: no file manager, nothing for folders
  bool ShowItemInFolder(const QString& path) override {
    shownInFolder << path;
    return answers;
  }
};

class PopupsTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    auto desktop = std::make_unique<FolderDesktop>();
    folders_ = desktop.get();
    shellBefore_ = SetDesktopShell(std::move(desktop));
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  }
  void TearDown() override {
    SetDesktopShell(std::move(shellBefore_));
    gResultKind = ResultScope::File;
    CommandTest::TearDown();
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  // A file of the library with its whole-file segment (SegmentID = FileID).
  static void LibraryFile(int id, const QString& name) {
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) "
                                "VALUES (%1, '1A2B3C4D', 'films\\', '%2', '/films/')")
                     .arg(id)
                     .arg(name));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                                "Online, Rating) VALUES (%1, %1, 'Y', 0, 60, 1, 0)")
                     .arg(id));
  }
  static int FilesInLibrary() {
    SqlRecordset rows(Db(), QStringLiteral("SELECT COUNT(*) FROM VideoFiles"));
    return rows.Value(0).toInt();
  }
  static QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (const QAction* action : menu.actions()) captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
  }
  static void SaveItem(int fileId, bool fileRow = true) {
    gSavedItem = ResultItem{};
    gSavedItem.FileID = fileId;
    gSavedItem.SegmentID = fileId;
    gSavedItem.IsFileRow = fileRow;
  }

  FolderDesktop* folders_ = nullptr;
  std::unique_ptr<DesktopShell> shellBefore_;
};

TEST_F(PopupsTest, TheMenusHoldTheirItemsInOrder) {
  EXPECT_EQ(Captions(*Form().mnuResultsPopUp),
            QStringList({"Recent Files", "Clear Selections", "-", "Remove from Library", "Delete to Recycle Bin", "-",
                         "External Apps", "-", "Analyze with MediaInfo...", "File Properties...",
                         "Open Containing Folder...", "-", "Find Similar Files", "-", "Create Story Board..."}));
  EXPECT_EQ(Captions(*Form().mnuFindSimilar), QStringList({"Category 1"}));
  EXPECT_EQ(Captions(*Form().mnuFileTagsPopUp),
            QStringList({"Find Other Files With These Tags", "Locate this Tag in the Tree"}));
}

TEST_F(PopupsTest, SimilarFilesListTheFilesTagsOrDisableTheItem) {
  LibraryFile(1, QStringLiteral("a.avi"));
  SaveItem(1);
  Form().InitSimilarFilesMenu();
  EXPECT_FALSE(Form().mnuFindSimilar->menuAction()->isEnabled());
  EXPECT_TRUE(Form().mnuCategory[0]->isVisible());
  EXPECT_EQ(Form().mnuCategory.size(), 1u);

  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (50, 'People', 'C'), (51, 'Ann', 'T'), "
                              "(52, 'Bob', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO TagLinks VALUES (51, 50, 'P'), (52, 50, 'P')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags VALUES (1, 51), (1, 52)"));
  gResultKind = ResultScope::SegmentsOfFiles;
  Form().InitSimilarFilesMenu();
  EXPECT_TRUE(Form().mnuFindSimilar->menuAction()->isEnabled());
  EXPECT_EQ(Form().mnuFindSimilar->menuAction()->text(), QStringLiteral("Find Similar Segments"));
  ASSERT_EQ(Form().mnuCategory.size(), 3u);
  EXPECT_FALSE(Form().mnuCategory[0]->isVisible());
  QStringList items;
  for (size_t i = 1; i < 3; ++i) items << Form().mnuCategory[i]->text() + QLatin1Char('=') + Form().mnuCategory[i]->data().toString();
  items.sort();
  EXPECT_EQ(items, QStringList({"People: Ann=ID51", "People: Bob=ID52"}));

  // A rebuild for a file without tags drops the items again.
  LibraryFile(2, QStringLiteral("b.avi"));
  SaveItem(2);
  gResultKind = ResultScope::File;
  Form().InitSimilarFilesMenu();
  EXPECT_EQ(Form().mnuCategory.size(), 1u);
  EXPECT_EQ(Form().mnuFindSimilar->menuAction()->text(), QStringLiteral("Find Similar Files"));

  // A category item runs a new search and leaves no transaction open.
  SaveItem(1);
  Form().InitSimilarFilesMenu();
  Form().mnuCategory[1]->trigger();
  EXPECT_TRUE(gViewSpec.startsWith(QStringLiteral("|_T:5"))) << gViewSpec.toStdString();
  EXPECT_FALSE(Db().InTransaction());
}

// The results' popup and its similar-files submenu over the window; with
// RW_SCREENSHOT set, the two menus are saved there ("-submenu" for the second).
TEST_F(PopupsTest, ThePopupAndItsSubmenuShow) {
  LibraryFile(1, QStringLiteral("a.avi"));
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (50, 'People', 'C'), (51, 'Ann', 'T'), "
                              "(52, 'Bob', 'T'), (60, 'Places', 'C'), (61, 'Harbour', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO TagLinks VALUES (51, 50, 'P'), (52, 50, 'P'), (61, 60, 'P')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags VALUES (1, 51), (1, 52), (1, 61)"));
  gCurrentItem = ResultItem{};
  gCurrentItem.FileID = 1;
  gCurrentItem.SegmentID = 1;
  gCurrentItem.IsFileRow = true;
  gCurrentItem.FileName = QStringLiteral("a.avi");
  Form().ShowResultsPopup();
  ASSERT_TRUE(Form().mnuResultsPopUp->isVisible());
  EXPECT_EQ(Form().mnuCategory.size(), 4u);
  const QRect item = Form().mnuResultsPopUp->actionGeometry(Form().mnuFindSimilar->menuAction());
  Form().mnuResultsPopUp->setActiveAction(Form().mnuFindSimilar->menuAction());
  Form().mnuFindSimilar->popup(Form().mnuResultsPopUp->mapToGlobal(item.topRight()));
  ASSERT_TRUE(Form().mnuFindSimilar->isVisible());
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    QApplication::processEvents();
    QString path = qEnvironmentVariable("RW_SCREENSHOT");
    Form().mnuResultsPopUp->grab().save(path, "PNG");
    path.insert(path.lastIndexOf(QLatin1Char('.')), QStringLiteral("-submenu"));
    Form().mnuFindSimilar->grab().save(path, "PNG");
  }
  Form().mnuFindSimilar->hide();
  Form().mnuResultsPopUp->hide();
}

TEST_F(PopupsTest, AFailingCategorySearchIsReportedOnceAndLeavesNothingOpen) {
  LibraryFile(1, QStringLiteral("a.avi"));
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (51, 'Ann', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags VALUES (1, 51)"));
  SaveItem(1);
  Form().InitSimilarFilesMenu();
  ASSERT_EQ(Form().mnuCategory.size(), 2u);
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER NoResults BEFORE INSERT ON SearchResults "
                                               "BEGIN SELECT RAISE(ABORT, 'no room for results'); END"));
  boxes.Clear();
  Form().mnuCategory[1]->trigger();
  Db().Execute(QStringLiteral("DROP TRIGGER NoResults"));
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_FALSE(Db().InTransaction()) << "\"CatClick\" is not left open";
  EXPECT_FALSE(Form().picBusyIndicator->Visible());
}

TEST_F(PopupsTest, SelectedFileTagsMakeOneNewStepAndAddSteps) {
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (7, 'Seven', 'T'), (8, 'Eight', 'T'), "
                              "(9, 'Nine', 'T'), (12, 'Twelve', 'T')"));
  ctl::ListView& list = *Form().Inspector().lstFileTags;
  ASSERT_TRUE(list.MultiSelect()) << "the inspector's tag list takes several tags";
  list.ListItems.Clear();
  for (const auto& [id, name] : {std::pair{7, "Seven"}, {8, "Eight"}, {9, "Nine"}, {12, "Twelve"}}) {
    ctl::ListItem& item = list.ListItems.Add();
    item.SetTag(QString::number(id));
    item.SetSubItems(1, QLatin1String(name));
  }
  for (int i : {1, 3, 4}) list.ListItems(i).SetSelected(true);
  list.ListItems(2).SetSelected(false);
  Form().mnuGetSimilarFiles->trigger();
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:7|+T:9|+T:12"));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Seven"));
}

TEST_F(PopupsTest, DeleteAndRemoveAskAboutTheRightFileAndOnlyYesGoesAhead) {
  LibraryFile(1, QStringLiteral("One.avi"));
  LibraryFile(2, QStringLiteral("Two.avi"));
  FakeResults(5);
  for (int i = 1; i <= 5; ++i) gResults[static_cast<size_t>(i)].Selected = true;
  gLibrary->SelectedCount = 5;
  gCurrentItem = ResultItem{};
  gCurrentItem.FileID = 2;
  gCurrentItem.FileName = QStringLiteral("Two.avi");
  gInspectedItem = ResultItem{};
  gInspectedItem.FileID = 1;
  gInspectedItem.FileName = QStringLiteral("One.avi");
  Form().mnuResultsPopUp->setProperty("Tag", QStringLiteral("Browser"));

  // The focused row is not selected: only its file is offered, by name.
  for (int answer : {vbNo, 0}) {
    boxes.Clear();
    boxes.Answer(answer);
    Form().mnuDeleteFile->trigger();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Are you sure you want to delete \r\n'Two.avi' ?"));
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Confirm Delete"));
    EXPECT_EQ(boxes.Last().style, 36);
    EXPECT_EQ(FilesInLibrary(), 2) << "answer " << answer;
  }

  // From the inspector's toolbar: the inspected file, whatever the last popup was.
  boxes.Clear();
  boxes.Answer(vbYes);
  gSavedItem = gInspectedItem;
  Form().Inspector().tbFileSpecs_ButtonClick(2);
  ASSERT_GE(boxes.Count(), 1);
  EXPECT_EQ(boxes.Shown()[0].prompt,
            QStringLiteral("This action will remove \r\n\r\n'One.avi'\r\n\r\nfrom this Library.\r\n\r\nContinue?"));
  EXPECT_EQ(FilesInLibrary(), 1);

  // Nothing inspected and no current result: nothing to act on.
  gInspectedItem = ResultItem{};
  boxes.Clear();
  Form().mnuRemoveFile->trigger();
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(FilesInLibrary(), 1);
}

TEST_F(PopupsTest, RemovingAllSelectedFilesKeepsThemOnDisk) {
  const QString folder = QDir::homePath() + QStringLiteral("/films/");
  QDir().mkpath(folder);
  QFile(folder + QStringLiteral("Two.avi")).open(QIODevice::WriteOnly);
  LibraryFile(2, QStringLiteral("Two.avi"));
  FakeResults(2);
  gResults[1].FileID = 2;
  gResults[2].FileID = 2;
  gResults[1].Selected = gResults[2].Selected = true;
  gLibrary->SelectedCount = 2;
  gCurrentItem = gResults[1];
  Form().mnuResultsPopUp->setProperty("Tag", QStringLiteral("Browser"));
  boxes.Answer(vbYes);
  Form().mnuRemoveFile->trigger();
  ASSERT_GE(boxes.Count(), 1);
  EXPECT_EQ(boxes.Shown()[0].prompt,
            QStringLiteral("This action will remove all selected files from this Library.\r\n\r\nContinue?"));
  EXPECT_EQ(FilesInLibrary(), 0);
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("Two.avi")));
}

TEST_F(PopupsTest, FileCommandsReachTheDesktopAndMediaInfo) {
  RW_REQUIRE_FFMPEG();
  // A name that is not ASCII: the path reaches MediaInfo as UTF-8.
  const QString name = QStringLiteral("clip 東京 é.mp4");
  const std::optional<QString> made = rwtest::MakeTestVideo(QDir::homePath(), name);
  ASSERT_TRUE(made);
  const QString video = QDir::homePath() + QLatin1Char('/') + name;
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = QDir::homePath() + QLatin1Char('/');
  gSavedItem.FileName = name;
  gCurrentItem = gSavedItem;
  Form().mnuOpenFolder->trigger();
  EXPECT_EQ(folders_->shownInFolder, QStringList({video}));

  boxes.Clear();
  Form().mnuAnalyze->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("MediaInfo Report"));
  EXPECT_EQ(boxes.Last().style, 1);
  EXPECT_EQ(boxes.Last().fontName, QStringLiteral("Courier"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("MPEG-4"))) << boxes.Last().prompt.toStdString();

  // A file MediaInfo cannot read is named in a message.
  gSavedItem.FileName = QStringLiteral("missing.mp4");
  boxes.Clear();
  Form().mnuAnalyze->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().style, 48);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("missing.mp4")));

  // No current folder in the browser: nothing.
  gCurrentItem.CurrentPath.clear();
  boxes.Clear();
  Form().mnuAnalyze->trigger();
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(PopupsTest, FileCommandsOnAnOfflineFileGiveTheOfflineMessageOfADoubleClick) {
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = QStringLiteral("[Offline] Archive:\\Old\\");
  gSavedItem.FileName = QStringLiteral("Holiday on Ice.mp4");
  gCurrentItem = gSavedItem;
  for (QAction* command : {Form().mnuFileProperties, Form().mnuOpenFolder, Form().mnuAnalyze}) {
    SCOPED_TRACE(command->text().toStdString());
    boxes.Clear();
    command->trigger();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Offline Volume: Archive"));
    EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("'Holiday on Ice.mp4'\r\n\r\nThis file is most likely")))
        << boxes.Last().prompt.toStdString();
  }
  // A file at the root of a disk without a label.
  gSavedItem.CurrentPath = QStringLiteral("[Offline] (no label):\\");
  gCurrentItem = gSavedItem;
  boxes.Clear();
  Form().mnuFileProperties->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Offline Volume: (no label)"));
  EXPECT_TRUE(folders_->shownInFolder.isEmpty()) << "no file manager is asked for a folder out of reach";
}

TEST_F(PopupsTest, OpenContainingFolderAndPropertiesSaySoWhenTheyCannotShowAnything) {
  const QString folder = QDir::homePath() + QLatin1Char('/');
  QFile(folder + QStringLiteral("clip.mkv")).open(QIODevice::WriteOnly);
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = folder;
  gSavedItem.FileName = QStringLiteral("clip.mkv");
  folders_->answers = false;
  boxes.Clear();
  Form().mnuOpenFolder->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Open Containing Folder"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QDir::toNativeSeparators(folder))) << boxes.Last().prompt.toStdString();
  folders_->answers = true;
  boxes.Clear();
  Form().mnuOpenFolder->trigger();
  EXPECT_EQ(boxes.Count(), 0) << "a file manager that answers needs no word";

  gSavedItem.FileName = QStringLiteral("gone.mkv");
  Form().mnuFileProperties->trigger();
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("File doesn't exist!"))) << "the properties of a missing file";
}

}  // namespace
