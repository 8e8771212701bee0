// Faults of the disk and of the library's file met while a library is open:
// each is told in the program's box under a title, in a sentence a user
// understands, and what was stored before is kept.
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "tests/library/TreeFixture.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class LibraryFaultsTest : public rwtest::OpenLibraryTest {
 protected:
  void SetUp() override {
    rwtest::OpenLibraryTest::SetUp();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  }

  // One box was shown, titled `title`, with no raw error number in it.
  void ExpectOneToldBox(const QString& title, const QString& says) {
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, title);
    EXPECT_TRUE(boxes.Last().prompt.contains(says)) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QString::number(kErrDatabase))) << boxes.Last().prompt.toStdString();
  }
};

// A copy or a new library onto a full disk: one titled box, the open library
// stays open, and nothing half-written is left on the disk.
TEST_F(LibraryFaultsTest, SaveAsOntoAFullDiskSaysTheDiskIsFull) {
  rwtest::SmallDisk disk(256);
  if (!disk.Here()) return;
  OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")), QStringLiteral("Films.rw2"));
  const QString films = gLibrary->LibraryPath;
  disk.Fill();
  for (const bool isNew : {false, true}) {
    SCOPED_TRACE(isNew ? "new library" : "copy");
    boxes.Clear();
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({disk.Path(QStringLiteral("Copy.rw2"))});
    gLibrary->SaveLibraryAsDialog(isNew);
    ExpectOneToldBox(QStringLiteral("Disk Full"), QStringLiteral("The disk is full"));
    EXPECT_EQ(gLibrary->LibraryPath, films);
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
    EXPECT_EQ(QDir(disk.Folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral(".filler")});
  }
}

// A copy or a new library into a folder that does not exist names the file
// and the reason; it is not taken for the open library's file going away.
TEST_F(LibraryFaultsTest, SaveAsIntoAMissingFolderNamesTheFileAndTheReason) {
  OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")), QStringLiteral("Films.rw2"));
  const QString films = gLibrary->LibraryPath;
  const QString target = gLibrariesFolder + QStringLiteral("Gone/Copy.rw2");
  for (const bool isNew : {false, true}) {
    SCOPED_TRACE(isNew ? "new library" : "copy");
    boxes.Clear();
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({target});
    gLibrary->SaveLibraryAsDialog(isNew);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_NE(boxes.Last().title, QStringLiteral("Library Not Available"));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The folder does not exist"))) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(target));
    EXPECT_EQ(gLibrary->LibraryPath, films);
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  }
}

// The library's folder deleted while it is open: a change is refused with a
// sentence saying so, not SQLite's raw words.
TEST_F(LibraryFaultsTest, AWriteAfterTheLibrarysFolderWasDeletedIsToldPlainly) {
  ASSERT_TRUE(QDir().mkpath(gLibrariesFolder + QStringLiteral("Shelf")));
  OpenWith(FileRow(1), QStringLiteral("Shelf/Films.rw2"));
  ASSERT_TRUE(QDir(gLibrariesFolder + QStringLiteral("Shelf")).removeRecursively());
  boxes.Clear();
  EXPECT_FALSE(ErrorGuard().Run([] { gLibrary->RateSegment(3, 1); }));
  ExpectOneToldBox(QStringLiteral("Library Not Available"), QStringLiteral("folder was deleted"));
}

}  // namespace

namespace {

// A library whose table another program replaced by a view without some of
// its columns is refused before anything is done, in one titled sentence
// (not a "Mapping Failed" box and raw "no such column" errors).
TEST_F(LibraryFaultsTest, ALibraryWhoseTableWasReplacedByAViewIsToldPlainly) {
  const QString path = gLibrariesFolder + QStringLiteral("Altered.rw2");
  modReelwise::ExtractTemplateLibrary(path);
  SqlConnection::Open(path)->Execute(FileRow(1) + QStringLiteral(
      "ALTER TABLE VideoFiles RENAME TO OldFiles;"
      "CREATE VIEW VideoFiles AS SELECT FileID, FileName FROM OldFiles;"));
  OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")), QStringLiteral("Films.rw2"));
  const QString films = gLibrary->LibraryPath;
  boxes.Clear();
  gLibrary->OpenLibrary(path, true);
  ExpectOneToldBox(QStringLiteral("Damaged Library"), QStringLiteral("\"VideoFiles\" was replaced"));
  EXPECT_TRUE(boxes.Last().prompt.contains(path));
  EXPECT_EQ(gLibrary->LibraryPath, films) << "the open library stays open";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
}

// Triggers another program stored in the file run nothing while the program
// has it: not at the open's clean-up and path mapping, not at an edit.
TEST_F(LibraryFaultsTest, TriggersAnotherProgramStoredInTheFileRunNothing) {
  OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")) + QStringLiteral(
      "INSERT INTO SegmentTags VALUES (77, 1);"
      "CREATE TABLE Log (what text);"
      "CREATE TRIGGER FileChanged AFTER UPDATE ON VideoFiles BEGIN INSERT INTO Log VALUES ('file'); END;"
      "CREATE TRIGGER TagGone AFTER DELETE ON SegmentTags BEGIN INSERT INTO Log VALUES ('tag'); END;"
      "CREATE TRIGGER TagMade AFTER INSERT ON Tags BEGIN INSERT INTO Log VALUES ('made'); END;"));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags")), 0) << "the clean-up ran";
  EXPECT_NE(One(QStringLiteral("SELECT CurrentPath FROM VideoFiles")).toString(), QStringLiteral("/films/"))
      << "the mapping rewrote the paths";
  gLibrary->CreateTag(QStringLiteral("New"), QStringLiteral("T"), QVariant());
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Log")), 0);
}

}  // namespace
