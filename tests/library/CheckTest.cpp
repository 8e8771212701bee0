// The library checks: duplicate candidates, segments without a thumbnail and
// files missing from their folders, as rows of SearchResults; the history
// combo's title; the view and history left alone; errors leaving no
// transaction open; mounts that do not answer passed over.
#include "library/HistoryEntry.h"
#include "library/TagStore.h"
#include "platform/MountProbe.h"
#include "library/ViewSpec.h"
#include "platform/RWError.h"
#include "tests/library/TreeFixture.h"
#include "tests/support/DeadMount.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FaultTrigger.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <condition_variable>
#include <tuple>
#include <memory>
#include <mutex>

namespace {

class CheckTest : public rwtest::OpenLibraryTest {
 protected:
  void TearDown() override {
    MountProbe::SetRootProbe(nullptr);
    rwtest::OpenLibraryTest::TearDown();
  }
  static QStringList Results() {
    return Column(QStringLiteral("SELECT SegmentID || ':' || FileID FROM SearchResults ORDER BY SegmentID"));
  }
  static QString HistoryTitle() { return HistoryCombo().Text(); }
  // A file of the given size, bitrate and length, with its whole-file segment.
  static QString Video(int id, int64_t size, const QString& bitrate, double length) {
    return QStringLiteral(
               "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, Bitrate) VALUES (%1, 'D', "
               "'x\\', 'File %1.avi', %2, %3);"
               "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) "
               "VALUES (%1, %1, 'Y', 0, %4, 1, 0);")
        .arg(id)
        .arg(size)
        .arg(bitrate)
        .arg(length);
  }
  // A state of the view and history that the checks must leave as it is.
  static void RememberAView() {
    gViewSpec = QStringLiteral("|_T:1");
    gHistory.assign(2, HistoryEntry{});
    gHistory[1] = {QStringLiteral("|_T:1"), QStringLiteral("Unplayable"), QStringLiteral("Unplayable")};
    HistoryCombo().ComboItems.Add(0, QString(), QStringLiteral("Unplayable"));
  }
  static void ExpectViewUnchanged() {
    EXPECT_EQ(gViewSpec, QStringLiteral("|_T:1"));
    ASSERT_EQ(gHistory.size(), 2u);
    EXPECT_EQ(gHistory[1].ViewSpec, QStringLiteral("|_T:1"));
    EXPECT_EQ(gLibrary->HistoryIndex(), 0);
    EXPECT_EQ(HistoryCombo().ComboItems.Count(), 0) << "the combo shows only the check's title";
  }
  // Every field a result row shows.
  static auto Shown(const ResultItem& r) {
    return std::tuple(r.SegmentID, r.FileID, r.FileAlias.toStdString(), r.Description.toStdString(),
                      r.CurrentPath.toStdString(), r.FileName.toStdString(), r.FileSize, r.IsFileRow, r.FrameRate,
                      r.Bitrate, r.Dimensions.toStdString(), r.Duration, r.SelectionStart, r.SelectionEnd, r.Selected,
                      r.DisplayState, r.Rating, r.FileFormat.toStdString());
  }
  static void RefuseResults() {
    rwtest::AddFaultTrigger(gLibrary->Connection(), QStringLiteral("CREATE TRIGGER Refuse BEFORE INSERT ON "
                                                                   "SearchResults BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  }
};

TEST_F(CheckTest, IdenticalFilesAreDuplicateCandidatesButEmptyOrRatelessOnesNot) {
  OpenWith(Video(1, 5000, "800", 60) + Video(2, 5000, "800", 60) + Video(3, 5000, "800", 60) +
           Video(4, 5000, "800", 61) + Video(5, 0, "800", 30) + Video(6, 0, "800", 30) + Video(7, 900, "NULL", 30) +
           Video(8, 900, "NULL", 30) + Video(9, 5000, "900", 60) +
           QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, Rating) "
                          "VALUES (20, 1, 0, 60, 1, 0)"));
  // An index left by an interrupted run does no harm and goes too.
  Exec(QStringLiteral("CREATE INDEX idx_1 ON VideoFiles (Bitrate)"));
  RememberAView();
  Exec(QStringLiteral("INSERT INTO SearchResults VALUES (9, 9)"));
  gLibrary->GetPotentialDuplicates();
  EXPECT_EQ(Results(), (QStringList{"1:1", "2:2", "3:3"})) << "one row per file, by its whole-file segment";
  EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name IN ('idx_1', 'idx_2', 'idx_3')"), 0);
  EXPECT_EQ(HistoryTitle(), QStringLiteral("Potential Duplicate Files"));
  ExpectViewUnchanged();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(CheckTest, MissingThumbnailsFollowTheResultScope) {
  OpenWith(FileRow(5) + FileRow(6) + FileRow(7) +
           QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, Rating) "
                          "VALUES (50, 5, 1, 2, 1, 0), (51, 5, 3, 4, 1, 0), (52, 6, 3, 4, 1, 0);"
                          "INSERT INTO SegmentThumbnails VALUES (5, X'FFD8', 5), (50, X'FFD8', 5)"));
  // The open's upkeep drops empty thumbnail rows; these come after it.
  Exec(QStringLiteral("INSERT INTO SegmentThumbnails VALUES (6, NULL, 6), (52, NULL, 6)"));
  RememberAView();
  gResultKind = ResultScope::File;
  gLibrary->GetMissingThumnails();
  EXPECT_EQ(Results(), QStringList{"7:7"}) << "an empty thumbnail row is a thumbnail";
  EXPECT_EQ(HistoryTitle(), QStringLiteral("Files without a Thumbnail"));
  for (const ResultScope scope : {ResultScope::SegmentsOfFiles, ResultScope::Segment}) {
    gResultKind = scope;
    gLibrary->GetMissingThumnails();
    EXPECT_EQ(Results(), QStringList{"51:5"}) << static_cast<int>(scope);
    EXPECT_EQ(HistoryTitle(), QStringLiteral("Files without a Thumbnail"));
  }
  gResultKind = ResultScope::File;
  ExpectViewUnchanged();
}

class MissingFilesTest : public CheckTest {
 protected:
  // Three files in a folder of the test, on device 1A2B3C4D mounted at the
  // scratch folder; the second is deleted.
  void SetUp() override {
    CheckTest::SetUp();
    folder_ = ScratchPath(QStringLiteral("films/"));
    ASSERT_TRUE(QDir().mkpath(folder_));
    QString sql;
    for (int id = 1; id <= 3; ++id) {
      const QString name = QStringLiteral("Film %1 d'été.avi").arg(id);
      QFile file(folder_ + name);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("data");
      sql += QStringLiteral(
                 "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (%1, "
                 "'1A2B3C4D', 'films\\', %2, %3);"
                 "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                 "Rating) VALUES (%1, %1, 'Y', 0, 60, 1, 0);")
                 .arg(id)
                 .arg(SqlQuote(name), SqlQuote(folder_));
    }
    sql += QStringLiteral(
               "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (4, 'OFF', "
               "'x\\', 'gone.avi', '/nowhere/');"
               "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) "
               "VALUES (4, 4, 'Y', 0, 60, 0, 0), (40, 2, NULL, 1, 2, 1, 0);"
               "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', %1, 'Fixed Disk', NULL, 1), "
               "('OFF', 'OLD', ':\\', '/nowhere/', 'Removable drive', NULL, 0);")
               .arg(SqlQuote(Scratch() + QLatin1Char('/')));
    System().MountDisk(Scratch(), QStringLiteral("vfat"),
                       {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("1A2B-3C4D")});
    System().Write();
    OpenWith(sql);
    ASSERT_TRUE(QFile::remove(folder_ + QStringLiteral("Film 2 d'été.avi")));
  }
  QString folder_;
};

TEST_F(MissingFilesTest, FilesGoneFromAnOnlineDeviceAreListed) {
  RememberAView();
  gLibrary->GetMissingFiles();
  EXPECT_EQ(Results(), QStringList{"2:2"}) << "the offline device is not tested";
  EXPECT_EQ(HistoryTitle(), QStringLiteral("Missing Files"));
  ExpectViewUnchanged();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());

  // The row shown is the file's row as the result view gives it.
  Exec(QStringLiteral(
      "UPDATE VideoFiles SET FileSize = 12345678, Dimensions = '720x576', Bitrate = 900, FrameRate = 25, "
      "FileFormat = 'AVI' WHERE FileID = 2; UPDATE VideoSegments SET Description = 'Beach', Rating = 4, Online = 0 "
      "WHERE SegmentID = 2"));
  gSelectedById.Set(2, 1);
  gLibrary->GetMissingFiles();
  ASSERT_EQ(gResults.size(), 2u);
  const ResultItem shown = gResults[1];
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gResults.size(), 2u);
  EXPECT_EQ(Shown(shown), Shown(gResults[1]));
  EXPECT_EQ(gLibrary->SelectedCount, 1);
  gSelectedById.Reset();
  // A row written to while the files are looked for is shown as it is then.
  MountProbe::SetRootProbe([](const QString&) {
    gLibrary->Connection().Execute(QStringLiteral("UPDATE VideoSegments SET Description = 'Dunes' WHERE SegmentID = 2"));
    return true;
  });
  gLibrary->GetMissingFiles();
  ASSERT_EQ(gResults.size(), 2u);
  EXPECT_EQ(gResults[1].Description, QStringLiteral("Dunes"));
  MountProbe::SetRootProbe(nullptr);

  // A device with a second drive row still lists each file once.
  Exec(
      QStringLiteral("INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/media/other/', 'Fixed Disk', "
                     "NULL, 1)"));
  gLibrary->GetMissingFiles();
  EXPECT_EQ(Results(), QStringList{"2:2"});

  Exec(QStringLiteral("UPDATE FileLocations SET Online = 0"));
  gLibrary->GetMissingFiles();
  EXPECT_TRUE(Results().isEmpty()) << "with every device offline nothing is tested";
  EXPECT_EQ(HistoryTitle(), QStringLiteral("Missing Files"));
  EXPECT_EQ(boxes.Count(), 0);
}

// More missing files than one insert statement takes, with file numbers
// apart from their segments', on a device with two drive roots: each file is
// listed once, under its own file.
TEST_F(MissingFilesTest, ManyMissingFilesAreEachListedWithTheirFile) {
  const QString numbers =
      QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1234) ");
  Exec(numbers +
       QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) "
                      "SELECT 5000 + i, '1A2B3C4D', 'films\\', 'never ' || i || '.avi', %1 FROM n")
           .arg(SqlQuote(folder_)));
  // Each file's whole-file segment, and a cut of it that is not looked for.
  Exec(numbers + QStringLiteral(
                     "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                     "Rating) SELECT 20000 + i, 5000 + i, 'Y', 0, 60, 1, 0 FROM n UNION ALL "
                     "SELECT 40000 + i, 5000 + i, NULL, 1, 2, 1, 0 FROM n"));
  Exec(QStringLiteral(
      "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/media/films/', 'Fixed Disk', NULL, 1)"));
  QStringList expected{QStringLiteral("2:2")};
  for (int i = 1; i <= 1234; ++i) expected << QStringLiteral("%1:%2").arg(20000 + i).arg(5000 + i);
  gLibrary->GetMissingFiles();
  EXPECT_EQ(Results(), expected);
  EXPECT_EQ(gLibrary->ResultCount, expected.size());
  EXPECT_EQ(boxes.Count(), 0);

  // The result size's statistics are those of the list's query, a segment
  // without an end adding nothing, and follow what is written afterwards.
  Exec(QStringLiteral("UPDATE VideoSegments SET SelectionEnd = SegmentID / 7.0 WHERE SegmentID > 20000; "
                      "UPDATE VideoSegments SET SelectionStart = 1000, SelectionEnd = NULL WHERE SegmentID = 20005"));
  gLibrary->GetMissingFiles();
  const QString stats = TagStore::GetPlayListStats(gLibrary->Connection(), true);
  EXPECT_EQ(stats, QStringLiteral("6w 0d 0h:49m:32s"));
  EXPECT_EQ(gLibrary->GetPlayListStats(true), stats);
  Exec(QStringLiteral("DELETE FROM SearchResults WHERE SegmentID > 21000"));
  EXPECT_EQ(gLibrary->GetPlayListStats(true), TagStore::GetPlayListStats(gLibrary->Connection(), true));
  EXPECT_NE(gLibrary->GetPlayListStats(true), stats);
}

TEST_F(MissingFilesTest, MountThatDoesNotAnswerIsPassedOverAndNamed) {
  QStringList asked;
  const QString root = Scratch() + QLatin1Char('/');
  MountProbe::SetRootProbe([&](const QString& path) {
    asked << path;
    return path != root;
  });
  boxes.Answer(vbOK);
  gLibrary->GetMissingFiles();
  EXPECT_EQ(asked, QStringList{root}) << "each mount is asked once";
  EXPECT_TRUE(Results().isEmpty());
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(root));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Missing Files"));
}

// Run in a mount namespace of its own: the device's folder is covered by a
// file server whose root answers but whose files never do, as a network
// share's whose server went away.
TEST_F(MissingFilesTest, AMountWhoseFilesStopAnsweringIsPassedOverWhileTheWindowGoesOn) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  rwtest::DeadMount dead(Scratch());
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const rwtest::WaitWatch watch;
  boxes.Answer(vbOK);
  gLibrary->GetMissingFiles();
  EXPECT_FALSE(dead.Released()) << "the check came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  EXPECT_TRUE(Results().isEmpty()) << "files out of reach are not called missing";
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(Scratch() + QLatin1Char('/'))) << boxes.Last().prompt.toStdString();

  // The dead mount is remembered: a second check sends it nothing more, nor
  // does the open of a library on it, which is refused in one message while
  // the library open stays.
  const int waiting = dead.Unanswered();
  boxes.Answer(vbOK);
  gLibrary->GetMissingFiles();
  EXPECT_EQ(boxes.Count(), 2);
  const QString open = gLibrary->LibraryPath;
  boxes.Answer(vbOK);
  gLibrary->OpenLibrary(Scratch() + QStringLiteral("/Away.rw2"), true);
  EXPECT_EQ(dead.Unanswered(), waiting);
  ASSERT_EQ(boxes.Count(), 3);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library not opened"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("does not answer"))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(gLibrary->LibraryPath, open);
}

TEST_F(MissingFilesTest, FailedChecksLeaveNoTransactionOpen) {
  RefuseResults();
  EXPECT_THROW(gLibrary->GetMissingFiles(), RWError);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  gResultKind = ResultScope::File;
  EXPECT_THROW(gLibrary->GetMissingThumnails(), RWError);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  // The duplicate check passes over every failure.
  gLibrary->GetPotentialDuplicates();
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name LIKE 'idx__'"), 0);
}

// The hanging work ends only when the test lets it go, after the probe has
// answered: an answer at all shows that the probe gave up.
TEST(MountProbeTest, WorkThatHangsIsGivenUpAfterTheTimeLimit) {
  struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
  };
  const auto gate = std::make_shared<Gate>();
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(MountProbe::FinishesWithin(
      [gate] {
        std::unique_lock<std::mutex> lock(gate->mutex);
        gate->opened.wait(lock, [&] { return gate->open; });
      },
      50));
  EXPECT_GE(clock.elapsed(), 50) << "the time limit was waited for";
  {
    const std::lock_guard<std::mutex> lock(gate->mutex);
    gate->open = true;
  }
  gate->opened.notify_all();
  EXPECT_TRUE(MountProbe::FinishesWithin([] {}, rwtest::kWaitCeilingMs));
  EXPECT_TRUE(MountProbe::RootAnswers(QStringLiteral("/no/such/folder/")));
  EXPECT_TRUE(MountProbe::RootAnswers(QDir::tempPath()));
}

}  // namespace
