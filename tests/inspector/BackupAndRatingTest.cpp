// The back-up note's Delete, Restore and Swap on a file and its ".RWBAK"
// copy, and rating the shown segment with the stars.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "tests/support/DroppedFileCapabilities.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <vector>

namespace rwtest {
namespace {

class BackupAndRatingTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    folder_ = ScratchPath(QStringLiteral("films/"));
    QDir().mkpath(folder_);
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '%1', 'Fixed Disk', "
                                "NULL, 1)")
                     .arg(folder_));
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "CurrentPath) VALUES (1, 'AB12', '', 'Film.avi', 4, '%1')")
                     .arg(folder_));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                                "Rating) VALUES (1, 1, 'Y', 10, 1, 0)"));
    Write(file(), "film");
    Write(backup(), "copy");
    Inspect();
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  QString file() const { return folder_ + QStringLiteral("Film.avi"); }
  QString backup() const { return file() + QStringLiteral(".RWBAK"); }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
  }
  static QByteArray Read(const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
  }
  static void Inspect() {
    ResultItem item;
    item.SegmentID = 1;
    item.FileID = 1;
    bool loaded = false;
    gMainForm->Inspector().LoadInspector(item, loaded);
  }
  static InspectorPane& Pane() { return gMainForm->Inspector(); }
  static bool NoteShown() { return Pane().frameBackupOptions->isVisibleTo(Pane().frameBackupOptions->parentWidget()); }
  static int StoredRating() {
    return Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 1"))->Value(0).toInt();
  }
  // A left click at a point of the cataloguing tab, on the widget there.
  static void ClickTab(const QPoint& at) {
    QWidget* tab = Pane().picInspector[3];
    QWidget* target = tab->childAt(at);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(tab, at));
  }

  QString folder_;
};

TEST_F(BackupAndRatingTest, DeleteRemovesTheCopyAndRestorePutsItInTheFilesPlace) {
  ASSERT_TRUE(NoteShown());
  Pane().lblRemoveBackup_Click(2);
  EXPECT_EQ(Read(file()), QByteArray("copy"));
  EXPECT_FALSE(QFile::exists(backup()));
  EXPECT_FALSE(NoteShown());
  Write(backup(), "older");
  Inspect();
  Pane().lblRemoveBackup_Click(1);
  EXPECT_FALSE(QFile::exists(backup()));
  EXPECT_EQ(Read(file()), QByteArray("copy")) << "the file itself stays";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(BackupAndRatingTest, SwapExchangesFileAndCopyAndSwappingAgainPutsThemBack) {
  Pane().lblRemoveBackup_Click(3);
  EXPECT_EQ(Read(file()), QByteArray("copy"));
  EXPECT_EQ(Read(backup()), QByteArray("film"));
  EXPECT_TRUE(NoteShown());
  Pane().lblRemoveBackup_Click(3);
  EXPECT_EQ(Read(file()), QByteArray("film"));
  EXPECT_EQ(Read(backup()), QByteArray("copy"));
  EXPECT_EQ(QDir(folder_).entryList(QDir::Files).size(), 2) << "no parked file left over";
}

TEST_F(BackupAndRatingTest, ASwapOrRestoreThatCannotBeDoneLeavesBothFilesAsTheyWere) {
  ReadOnlyFolder locked(folder_);
  DroppedFileCapabilities asUser;  // root writes anywhere otherwise
  if (QFile(folder_ + "probe").open(QIODevice::WriteOnly)) GTEST_SKIP() << "the folder stays writable here";
  boxes.AnswerAll([](const MessageBoxRequest&) { return 1; });
  Pane().lblRemoveBackup_Click(3);
  Pane().lblRemoveBackup_Click(2);
  EXPECT_EQ(Read(file()), QByteArray("film"));
  EXPECT_EQ(Read(backup()), QByteArray("copy"));
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_TRUE(boxes.Last().prompt.contains(QLatin1Char(':'))) << "number: description";
  // In the program's words, naming the file, not the C library's.
  EXPECT_TRUE(boxes.Last().prompt.contains(file())) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("Permission denied")));
}

TEST_F(BackupAndRatingTest, TheLeftButtonRatesTheSegmentShown) {
  Pane().imgRating_MouseDown(3, 2, 0, 0, 0);
  EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 1"))->Value(0).toInt(),
            0)
      << "the right button does not rate";
  Pane().imgRating_MouseDown(3, 1, 0, 0, 0);
  EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 1"))->Value(0).toInt(),
            3);
  EXPECT_EQ(Pane().imgRating[3]->property("Star").toString(), QStringLiteral("STAR"));
  EXPECT_EQ(Pane().imgRating[4]->property("Star").toString(), QStringLiteral("UNSTAR"));
  EXPECT_EQ(gEditedSegment.Rating, 3);
}

// A rating the library cannot store (its disk full) is told once in the
// program's words, and the stars keep showing the stored rating.
TEST_F(BackupAndRatingTest, ARatingTheLibraryCannotStoreIsToldOnceAndTheStarsStayAsStored) {
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER Full BEFORE UPDATE OF Rating ON VideoSegments "
                                               "BEGIN SELECT rw_fault(13); END"));
  boxes.Clear();
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  std::vector<QRect> stars;
  for (const ctl::Image* image : Pane().imgRating) {
    if (!image->Picture().isNull()) stars.push_back(image->geometry());
  }
  ASSERT_FALSE(stars.empty());
  std::sort(stars.begin(), stars.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
  ClickTab(stars.back().center());
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(StoredRating(), 0);
  EXPECT_EQ(gEditedSegment.Rating, 0);
  for (int star = 1; star <= 5; ++star) {
    EXPECT_EQ(Pane().imgRating[static_cast<size_t>(star)]->property("Star").toString(), QStringLiteral("UNSTAR"));
  }
}

TEST_F(BackupAndRatingTest, TheNthStarShownRatesNAndTheCellBeforeTheStarsClearsTheRating) {
  std::vector<QRect> stars;
  for (const ctl::Image* image : Pane().imgRating) {
    if (!image->Picture().isNull()) stars.push_back(image->geometry());
  }
  ASSERT_EQ(stars.size(), 5u) << "five stars and nothing else that looks like one";
  std::sort(stars.begin(), stars.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
  for (int n = 1; n <= 5; ++n) {
    ClickTab(stars[static_cast<size_t>(n - 1)].center());
    EXPECT_EQ(StoredRating(), n) << "star " << n;
  }
  ClickTab(QPoint(stars[0].left() - 3, stars[0].center().y()));
  EXPECT_EQ(StoredRating(), 0) << "the cell left of the first star clears the rating";
  for (int star = 1; star <= 5; ++star) {
    EXPECT_EQ(Pane().imgRating[static_cast<size_t>(star)]->property("Star").toString(), QStringLiteral("UNSTAR"));
  }
}

}  // namespace
}  // namespace rwtest
