// Segments, tags and ratings on them, and removing files from the library
// and the disk.
#include "tests/library/TagStoreFixture.h"

#include "core/modRegistry.h"
#include "platform/RWError.h"
#include "tests/support/DeadMount.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/ScriptedDialogs.h"
#include "platform/WholeFile.h"

#include <QDir>

#include <cmath>
#include <random>
#include <string>

namespace {

using namespace TagStore;
using rwtest::TagStoreTest;

QByteArray Picture(const char* name) { return QByteArray(name); }

class SegmentsTest : public TagStoreTest {
 protected:
  void SetUp() override {
    TagStoreTest::SetUp();
    File(1);
    Tag(10, QStringLiteral("Beach"));
    Tag(11, QStringLiteral("Sunset"));
  }
  QStringList SegmentsOf(int file) {
    return Rows(QStringLiteral("SELECT SegmentID, FileFlag, SelectionStart, SelectionEnd, Online, Rating, FileAlias "
                               "FROM VideoSegments WHERE FileID = %1 ORDER BY SegmentID")
                    .arg(file));
  }
  ThumbnailCache cache_;
};

TEST_F(SegmentsTest, CreateSegmentAddsARowWithTheSourcePicture) {
  Thumbnail(2, 1);  // a stale thumbnail of a number used before
  cache_.Add(Picture("source"), 1);
  cache_.Add(Picture("stale"), 2);

  const NewSegment created = CreateSegment(Db(), 12.5, 30, 1, 1, cache_);
  EXPECT_EQ(created.result, 1) << "the segment editor selects the source again";
  EXPECT_EQ(created.segmentId, 2);
  EXPECT_EQ(SegmentsOf(1), QStringList({"1|Y|0|600|1|0|NULL", "2|NULL|12.5|30|1|0|NULL"}));
  EXPECT_EQ(Count(QStringLiteral("SegmentThumbnails")), 0);
  EXPECT_EQ(cache_.Item(2), Picture("source"));

  // A source without a picture leaves none: the file's shows instead.
  CreateSegment(Db(), 40, 50, 1, 2000, cache_);
  EXPECT_FALSE(cache_.Exists(3));
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(SegmentsTest, SavingTheSameBoundsKeepsOneSegmentWithItsTags) {
  Segment(20, 1, 10, 20);
  Put(20, 10);
  Put(20, 11);
  Exec(QStringLiteral("UPDATE VideoSegments SET Rating = 4, FileAlias = 'The pier' WHERE SegmentID = 20"));
  InResults(20, 1);
  Thumbnail(20, 1);
  cache_.Add(Picture("old"), 20);
  Segment(21, 1, 10, 25);  // other bounds: untouched
  Put(1, 10);

  const NewSegment created = CreateSegment(Db(), 10, 20, 1, 1, cache_);
  EXPECT_EQ(created.segmentId, 22);
  EXPECT_EQ(SegmentsOf(1), QStringList({"1|Y|0|600|1|0|NULL", "21|NULL|10|25|1|0|NULL",
                                        "22|NULL|10|20|1|4|The pier"}));
  EXPECT_EQ(TagsOf(22), QStringList({"10", "11"}));
  EXPECT_EQ(Count(QStringLiteral("SegmentTags"), QStringLiteral("SegmentID = 20")), 0);
  EXPECT_EQ(Count(QStringLiteral("SearchResults")), 0);
  EXPECT_EQ(Count(QStringLiteral("SegmentThumbnails")), 0);
  EXPECT_FALSE(cache_.Exists(20));

  // The whole-file segment is never taken for a duplicate.
  CreateSegment(Db(), 0, 600, 1, 1, cache_);
  EXPECT_EQ(Count(QStringLiteral("VideoSegments"), QStringLiteral("FileID = 1 AND FileFlag = 'Y'")), 1);
  EXPECT_EQ(TagsOf(1), QStringList({"10"}));
}

TEST_F(SegmentsTest, AReusedNumberKeepsTheReplacedSegmentsTags) {
  Segment(2, 1, 10, 20);  // the highest number: the new row takes it again
  Put(2, 10);
  InResults(2, 1);
  const NewSegment created = CreateSegment(Db(), 10, 20, 1, 1, cache_);
  EXPECT_EQ(created.segmentId, 2);
  EXPECT_EQ(TagsOf(2), QStringList({"10"}));
  EXPECT_EQ(Count(QStringLiteral("VideoSegments")), 2);
}

// Bounds reached by frame stepping, and ones whose shortest text SQLite would
// read back as a neighbouring number, must still find their duplicate.
TEST_F(SegmentsTest, DuplicatesAreFoundWhateverTheBounds) {
  double start = 0;
  for (int frame = 0; frame < 4321; ++frame) start += 1001.0 / 30000.0;
  double end = start;
  for (int frame = 0; frame < 77; ++frame) end += 1.0 / 29.97;
  std::vector<std::pair<double, double>> bounds = {{start, end}, {1.0 / 3.0, 2.0 / 3.0}};

  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> seconds(0, 100000);
  for (int tries = 0; tries < 300000; ++tries) {
    const double value = seconds(random);
    SqlRecordset rs(Db(), QStringLiteral("SELECT ") + SqlReal(value));
    if (rs.Value(0).toDouble() != value) {
      bounds.emplace_back(value, value + 1);
      break;
    }
  }
  for (const auto& [a, b] : bounds) {
    CreateSegment(Db(), a, b, 1, 1, cache_);
    const NewSegment again = CreateSegment(Db(), a, b, 1, 1, cache_);
    EXPECT_EQ(Count(QStringLiteral("VideoSegments"), QStringLiteral("FileFlag IS NULL")), 1) << SqlReal(a).toStdString();
    RemoveSegment(Db(), again.segmentId, cache_);
  }
}

TEST_F(SegmentsTest, BoundsUnderADecimalCommaLocale) {
  rwtest::DecimalCommaLocale german;
  if (!german.Switched()) GTEST_SKIP() << rwtest::kNoGermanLocale;
  ASSERT_EQ(german.TwoAndAHalf(), "2,5") << "the C library should write a decimal comma under de_DE.UTF-8";
  Segment(2, 1, 1.5, 2.25);
  Put(2, 10);
  const NewSegment created = CreateSegment(Db(), 1.5, 2.25, 1, 1, cache_);
  UpdateSegmentAB(Db(), 1, 0.5, 599.75);
  german.Restore();

  EXPECT_EQ(SegmentsOf(1), QStringList({"1|Y|0.5|599.75|1|0|NULL", "2|NULL|1.5|2.25|1|0|NULL"}));
  EXPECT_EQ(created.segmentId, 2);
  EXPECT_EQ(TagsOf(2), QStringList({"10"}));
}

TEST_F(SegmentsTest, UpdateSegmentABStoresTheExactBounds) {
  Segment(20, 1, 10, 20);
  const double a = 0.1 + 0.2;
  UpdateSegmentAB(Db(), 20, a, 1e-7);
  SqlRecordset rs(Db(), QStringLiteral("SELECT SelectionStart, SelectionEnd FROM VideoSegments WHERE SegmentID = 20"));
  EXPECT_EQ(rs.Value(0).toDouble(), a);
  EXPECT_EQ(rs.Value(1).toDouble(), 1e-7);
  EXPECT_THROW(UpdateSegmentAB(Db(), 20, std::nan(""), 1), RWError);
}

TEST_F(SegmentsTest, RemoveSegmentTakesItsRowsAndPicture) {
  Segment(20, 1, 10, 20);
  Segment(21, 1, 30, 40);
  for (int segment : {20, 21}) {
    Put(segment, 10);
    Thumbnail(segment, 1);
    InResults(segment, 1);
    cache_.Add(Picture("thumb"), segment);
  }
  RemoveSegment(Db(), 20, cache_);
  EXPECT_EQ(Rows(QStringLiteral("SELECT SegmentID FROM VideoSegments ORDER BY 1")), QStringList({"1", "21"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT SegmentID FROM SegmentTags")), QStringList({"21"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT SegmentID FROM SegmentThumbnails")), QStringList({"21"}));
  EXPECT_EQ(Rows(QStringLiteral("SELECT SegmentID FROM SearchResults")), QStringList({"21"}));
  EXPECT_FALSE(cache_.Exists(20));
  EXPECT_TRUE(cache_.Exists(21));
}

TEST_F(SegmentsTest, TaggingTwiceOrUntaggingTwiceIsNoError) {
  EXPECT_TRUE(TagSegment(Db(), 1, 10, false));
  EXPECT_FALSE(TagSegment(Db(), 1, 10, false));
  EXPECT_EQ(TagsOf(1), QStringList({"10"}));
  EXPECT_TRUE(TagSegment(Db(), 1, 10, true));
  EXPECT_FALSE(TagSegment(Db(), 1, 10, true));
  EXPECT_TRUE(TagsOf(1).isEmpty());

  // Only the key's conflict means the pair is there already: a rule another
  // program added to the table refuses the tag, and that is raised, not
  // taken for "already tagged".
  Db().Execute(QStringLiteral(
      "CREATE TABLE Strict (SegmentID integer, TagID integer CHECK (TagID <> 11), PRIMARY KEY (SegmentID, TagID));"
      "INSERT INTO Strict SELECT * FROM SegmentTags; DROP TABLE SegmentTags;"
      "ALTER TABLE Strict RENAME TO SegmentTags"));
  try {
    TagSegment(Db(), 1, 11, false);
    ADD_FAILURE() << "the refused tag passed for one there already";
  } catch (const RWError& error) {
    EXPECT_EQ(error.Kind(), FaultKind::Refused);
  }
  EXPECT_TRUE(TagsOf(1).isEmpty());
}

TEST_F(SegmentsTest, RatingsAndTheResultSet) {
  Segment(20, 1, 10, 20);
  EXPECT_TRUE(RateSegment(Db(), 5, 20));
  EXPECT_FALSE(RateSegment(Db(), 3, 999));
  EXPECT_EQ(Rows(QStringLiteral("SELECT SegmentID, Rating FROM VideoSegments ORDER BY 1")),
            QStringList({"1|0", "20|5"}));

  InResults(1, 1);
  InResults(20, 1);
  DeleteSearchResults(Db());
  EXPECT_EQ(Count(QStringLiteral("SearchResults")), 0);
  EXPECT_FALSE(Db().InTransaction());
}

// ------------------------------------------------------------------ RemoveFile

class RemoveFileTest : public SegmentsTest {
 protected:
  void SetUp() override {
    SegmentsTest::SetUp();
    File(2, QStringLiteral("Second.mkv"));
    File(3, QStringLiteral("Third.mkv"));
    for (int file : {1, 2, 3}) {
      Segment(10 + file, file, 1, 2);
      Put(file, 10);
      Put(10 + file, 11);
      Thumbnail(file, file);
      Thumbnail(10 + file, file);
      InResults(file, file);
      InResults(10 + file, file);
      cache_.Add(Picture("file"), file);
      cache_.Add(Picture("segment"), 10 + file);
    }
  }
  QStringList Files() { return Rows(QStringLiteral("SELECT FileID FROM VideoFiles ORDER BY 1")); }
  // Nothing of the file is left in any table or in the cache.
  void ExpectGone(int file) {
    for (const char* table : {"VideoFiles", "VideoSegments", "SearchResults", "SegmentThumbnails"}) {
      EXPECT_EQ(Count(QLatin1String(table), QStringLiteral("FileID = %1").arg(file)), 0) << table;
    }
    EXPECT_EQ(Count(QStringLiteral("SegmentTags"), QStringLiteral("SegmentID IN (%1, %2)").arg(file).arg(10 + file)), 0);
    EXPECT_FALSE(cache_.Exists(file));
    EXPECT_FALSE(cache_.Exists(10 + file));
  }
  // File 2 on the test's disk, recorded as online at its folder.
  QString RealSecondFile() {
    const QString path = ScratchPath(QStringLiteral("Second.mkv"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("video");
    out.close();
    Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = %1 WHERE FileID = %2")
             .arg(SqlQuote(Scratch() + QLatin1Char('/')))
             .arg(2));
    return path;
  }
};

TEST_F(RemoveFileTest, NoSelectionRemovesNothing) {
  const QStringList before = Everything();
  RemoveFileRequest request;
  request.results = {{1, false}, {2, false}, {3, false}};
  std::vector<int32_t> progress;
  request.progress = [&](int32_t value) { progress.push_back(value); };
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_TRUE(result.removed.empty());
  EXPECT_EQ(progress, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(cache_.Count(), 6);
}

TEST_F(RemoveFileTest, SelectedFilesGoWithEveryRowAndPicture) {
  int released = 0;
  RemoveFileRequest request;
  request.results = {{1, true}, {2, false}, {1, true}, {3, true}};
  request.inspectedFileId = 3;
  request.releaseInspected = [&] {
    ++released;
    EXPECT_EQ(Count(QStringLiteral("VideoFiles"), QStringLiteral("FileID = 3")), 1) << "before its rows go";
  };
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_EQ(result.removed, (std::vector<int32_t>{1, 3}));
  EXPECT_TRUE(result.messages.isEmpty());
  EXPECT_EQ(released, 1);
  ExpectGone(1);
  ExpectGone(3);
  EXPECT_EQ(Files(), QStringList({"2"}));
  EXPECT_EQ(TagsOf(12), QStringList({"11"}));
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(RemoveFileTest, AFileThatFailsKeepsAllItsRowsAndTheOthersGo) {
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TRIGGER Stuck BEFORE DELETE ON SegmentThumbnails WHEN "
                                               "OLD.FileID = 2 BEGIN SELECT RAISE(ABORT, 'stuck'); END"));
  const QStringList kept = Rows(QStringLiteral("SELECT * FROM VideoSegments WHERE FileID = 2"));
  RemoveFileRequest request;
  request.results = {{1, true}, {2, true}, {3, true}};
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_EQ(result.removed, (std::vector<int32_t>{1, 3}));
  ASSERT_EQ(result.messages.size(), 1);
  // The program's words for a change another program's rule refused, not SQLite's.
  EXPECT_TRUE(result.messages[0].contains(QStringLiteral("refused this change"))) << result.messages[0].toStdString();
  EXPECT_FALSE(result.messages[0].contains(QStringLiteral("2147221504"))) << result.messages[0].toStdString();
  EXPECT_FALSE(result.messages[0].contains(QStringLiteral("stuck"))) << result.messages[0].toStdString();
  EXPECT_EQ(Rows(QStringLiteral("SELECT * FROM VideoSegments WHERE FileID = 2")), kept);
  EXPECT_EQ(Files(), QStringList({"2"}));
  EXPECT_EQ(TagsOf(2), QStringList({"10"}));
  EXPECT_FALSE(Db().InTransaction());
}

TEST_F(RemoveFileTest, ANewFileWithAReusedNumberShowsNoOldThumbnail) {
  RemoveFileRequest request;
  request.fileId = 3;
  RemoveFile(Db(), request, cache_);
  File(3, QStringLiteral("Newcomer.mkv"));
  EXPECT_EQ(Count(QStringLiteral("SegmentThumbnails"), QStringLiteral("SegmentID = 3 OR FileID = 3")), 0);
  EXPECT_FALSE(cache_.Exists(3));
}

TEST_F(RemoveFileTest, DeletedFromDiskToTheTrash) {
  gDeleteToRecycleBin = true;
  const QString path = RealSecondFile();
  RemoveFileRequest request;
  request.fileId = 2;
  request.deleteFromDisk = true;
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_EQ(result.removed, std::vector<int32_t>{2});
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(QDir(HomePath(QStringLiteral(".local/share/Trash/files"))).exists(QStringLiteral("Second.mkv")));
  ExpectGone(2);

  // Two more, the library's disk full at the second's rows: the first is
  // gone from the library and the disk, the second stays in both, and the
  // fault is handed back to be told.
  Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = %1").arg(SqlQuote(Scratch() + QLatin1Char('/'))));
  QStringList paths;
  for (const QString& name : Rows(QStringLiteral("SELECT FileName FROM VideoFiles ORDER BY FileID"))) {
    paths << ScratchPath(name);
    ASSERT_TRUE(WriteFileWhole(paths.last(), "video"));
  }
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TRIGGER Full BEFORE DELETE ON SegmentThumbnails WHEN "
                                               "OLD.FileID = 3 BEGIN SELECT rw_fault(13); END"));
  request.fileId = 0;
  request.results = {{1, true}, {3, true}};
  const RemoveFileResult more = RemoveFile(Db(), request, cache_);
  EXPECT_EQ(more.removed, std::vector<int32_t>{1});
  ASSERT_TRUE(more.fault.has_value());
  EXPECT_EQ(more.fault->Error().Kind(), FaultKind::DiskFull);
  ExpectGone(1);
  EXPECT_FALSE(QFile::exists(paths.first()));
  EXPECT_EQ(Files(), QStringList({"3"}));
  EXPECT_TRUE(QFile::exists(paths.last())) << "the file whose rows stayed stays on its disk";
}

TEST_F(RemoveFileTest, AFileAlreadyGoneFromDiskIsRemovedSilently) {
  rwtest::ScriptedMessageBoxes boxes;
  Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = %1").arg(SqlQuote(Scratch() + QStringLiteral("/gone/"))));
  RemoveFileRequest request;
  request.fileId = 2;
  request.deleteFromDisk = true;
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_EQ(result.removed, std::vector<int32_t>{2});
  EXPECT_TRUE(result.messages.isEmpty());
  EXPECT_EQ(boxes.Count(), 0);
  ExpectGone(2);
}

TEST_F(RemoveFileTest, FilesThatCannotBeDeletedStayInTheLibrary) {
  Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = '[Offline] Archive:\\films\\' WHERE FileID = 1"));
  Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = NULL WHERE FileID = 3"));
  const QString path = RealSecondFile();
  // The trash cannot be made: its place is taken by a file.
  QFile blocker(HomePath(QStringLiteral(".local/share/Trash")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  gDeleteToRecycleBin = true;
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);

  const QStringList before = Everything();
  RemoveFileRequest request;
  request.results = {{1, true}, {2, true}, {3, true}};
  request.deleteFromDisk = true;
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_TRUE(result.removed.empty());
  EXPECT_EQ(Everything(), before);
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(boxes.Count(), 1) << "the failed move to the trash is reported where it happens";
  ASSERT_EQ(result.messages.size(), 2);
  EXPECT_TRUE(result.messages[0].contains(QLatin1String("offline"))) << result.messages[0].toStdString();
  EXPECT_TRUE(result.messages[1].contains(QLatin1String("Third.mkv"))) << result.messages[1].toStdString();
}

// Run in a mount namespace of its own: the file's folder is covered by a file
// server that answers for its root alone, as a share whose server went away.
// The file is kept, as an offline one is, instead of freezing the window.
TEST_F(RemoveFileTest, AFileOnAMountThatStopsAnsweringStaysInTheLibrary) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString folder = ScratchPath(QStringLiteral("share"));
  ASSERT_TRUE(QDir().mkpath(folder));
  Exec(QStringLiteral("UPDATE VideoFiles SET CurrentPath = %1 WHERE FileID = 2").arg(SqlQuote(folder + '/')));
  System().Mount(folder, QStringLiteral("fuse.sshfs"), QStringLiteral("nas:/films"));
  System().Write();
  rwtest::DeadMount dead(folder);
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const QStringList before = Everything();
  const rwtest::WaitWatch watch;
  RemoveFileRequest request;
  request.fileId = 2;
  request.deleteFromDisk = true;
  const RemoveFileResult result = RemoveFile(Db(), request, cache_);
  EXPECT_FALSE(dead.Released()) << "the removal came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  EXPECT_TRUE(result.removed.empty());
  EXPECT_EQ(Everything(), before);
  ASSERT_EQ(result.messages.size(), 1);
  EXPECT_TRUE(result.messages[0].contains(QLatin1String("does not answer"))) << result.messages[0].toStdString();
}

}  // namespace
