// Libraries written by earlier versions of the program are brought up to the
// current layout in place: each older layout is built here from SQL and upgraded.
#include "core/modReelwise.h"
#include "library/LibraryLayout.h"
#include "library/LibraryUpgrade.h"
#include "tests/library/OldLibraries.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QTemporaryDir>

#include <random>

#include <gtest/gtest.h>

namespace {

class LibraryUpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  std::unique_ptr<SqlConnection> FromScript(const char* sql) {
    auto db = SqlConnection::Create(dir_.filePath(QStringLiteral("old%1.rw2").arg(++n_)));
    db->Execute(QString::fromUtf8(sql));
    return db;
  }

  std::unique_ptr<SqlConnection> FromTemplate() {
    const QString path = dir_.filePath(QStringLiteral("current%1.rw2").arg(++n_));
    modReelwise::ExtractTemplateLibrary(path);
    return SqlConnection::Open(path);
  }

  // What an open does to the file, without the windows around it.
  UpgradeReport HouseKeep(SqlConnection& db) {
    TransactionGuard guard(db, QStringLiteral("HouseKeep"));
    const UpgradeReport report = UpgradeLibrarySchema(db);
    StampLibraryVersion(db);
    if (!report.renumberingFailed) RemoveOrphanRows(db);
    guard.Commit();
    return report;
  }

  static SqlValue One(SqlConnection& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    return rs->RecordCount() ? rs->Value(0) : SqlValue();
  }
  static int Count(SqlConnection& db, const QString& sql) { return One(db, sql).toInt(); }
  static bool HasColumn(SqlConnection& db, const char* table, const char* column) {
    return Count(db, QStringLiteral("SELECT count(*) FROM pragma_table_info('%1') WHERE name = '%2'")
                         .arg(QLatin1String(table), QLatin1String(column))) == 1;
  }

  // Every row of the catalogue tables as text, to compare two states of a file.
  static QString Dump(SqlConnection& db) {
    QString dump;
    for (const char* table : {"Tags", "TagLinks", "SegmentTags", "Views", "FileLocations", "SegmentThumbnails",
                              "VideoSegments", "VideoFiles"}) {
      auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
      for (; !rs->Eof(); rs->MoveNext()) {
        dump += QLatin1String(table);
        for (int c = 0; c < rs->FieldCount(); ++c) dump += QLatin1Char('|') + rs->Value(c).toString();
        dump += QLatin1Char('\n');
      }
    }
    return dump;
  }

  QTemporaryDir dir_;
  int n_ = 0;
};

// The clean-up stated row by row, as the plainest reading of what goes: a
// row is tested against the rest of the library one at a time.
void RemoveOrphanRowsOneByOne(SqlConnection& db) {
  db.Execute(QStringLiteral(
      "DELETE FROM SegmentThumbnails WHERE SegmentID NOT IN (SELECT SegmentID FROM VideoSegments);"
      "DELETE FROM SegmentThumbnails WHERE Thumbnail IS NULL;"
      "DELETE FROM TagLinks WHERE NOT EXISTS (SELECT 1 FROM Tags WHERE TagID = TagLinks.TagID);"
      "DELETE FROM TagLinks WHERE NOT EXISTS (SELECT 1 FROM Tags WHERE TagID = TagLinks.LinkedTag);"
      "DELETE FROM VideoSegments WHERE NOT EXISTS (SELECT 1 FROM VideoFiles WHERE FileID = VideoSegments.FileID);"
      "DELETE FROM SegmentTags WHERE NOT EXISTS (SELECT 1 FROM VideoSegments WHERE SegmentID = "
      "SegmentTags.SegmentID);"
      "CREATE TEMP TABLE Reach (FromTag, ToTag);"
      "WITH RECURSIVE R(FromTag, ToTag) AS (SELECT TagID, LinkedTag FROM TagLinks UNION SELECT R.FromTag, "
      "L.LinkedTag FROM R, TagLinks L WHERE L.TagID = R.ToTag) INSERT INTO temp.Reach SELECT * FROM R;"
      "DELETE FROM SegmentTags WHERE EXISTS (SELECT 1 FROM TagLinks L, SegmentTags Y WHERE Y.SegmentID = "
      "SegmentTags.SegmentID AND Y.TagID = L.TagID AND L.LinkedTag = SegmentTags.TagID AND L.TagID <> "
      "SegmentTags.TagID AND (NOT EXISTS (SELECT 1 FROM temp.Reach WHERE FromTag = SegmentTags.TagID AND ToTag = "
      "L.TagID) OR EXISTS (SELECT 1 FROM SegmentTags Z, temp.Reach A, temp.Reach B WHERE Z.SegmentID = "
      "SegmentTags.SegmentID AND Z.TagID < SegmentTags.TagID AND A.FromTag = Z.TagID AND A.ToTag = "
      "SegmentTags.TagID AND B.FromTag = SegmentTags.TagID AND B.ToTag = Z.TagID)));"
      "DROP TABLE temp.Reach;"));
}

// A small library of random rows: links (cycles, self-links, links to tags
// that do not exist), segments of missing files, tags of missing segments or
// of none, thumbnails without a picture or a segment.
void FillAtRandom(SqlConnection& db, std::mt19937& random) {
  auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  db.Execute(QStringLiteral("DELETE FROM Tags; DELETE FROM TagLinks; DELETE FROM VideoFiles; DELETE FROM "
                            "VideoSegments; DELETE FROM SegmentTags; DELETE FROM SegmentThumbnails"));
  const int tags = pick(2, 14);
  for (int t = 1; t <= tags; ++t) {
    if (pick(0, 9) > 0) db.Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, 'T', 'T')").arg(t));
  }
  for (int n = pick(0, 24); n > 0; --n) {
    db.Execute(
        QStringLiteral("INSERT OR IGNORE INTO TagLinks VALUES (%1, %2, 'L')").arg(pick(1, tags)).arg(pick(1, tags)));
  }
  for (int f = 1; f <= 6; ++f) {
    if (pick(0, 5) > 0) {
      db.Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (%1, 'S', "
                                "'', 'f')")
                     .arg(f));
    }
  }
  for (int s = 1; s <= 10; ++s) {
    if (pick(0, 4) == 0) continue;
    db.Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (%1, %2, 1, 0)")
                   .arg(s)
                   .arg(pick(1, 7)));
    if (pick(0, 2) > 0) {
      db.Execute(QStringLiteral("INSERT INTO SegmentThumbnails VALUES (%1, %2, 1)")
                     .arg(s)
                     .arg(pick(0, 4) ? QStringLiteral("X'01'") : QStringLiteral("NULL")));
    }
  }
  db.Execute(QStringLiteral("INSERT INTO SegmentThumbnails VALUES (12, X'02', 1)"));
  for (int n = pick(0, 50); n > 0; --n) {
    const QString segment = pick(0, 30) ? QString::number(pick(1, 12)) : QStringLiteral("NULL");
    db.Execute(QStringLiteral("INSERT OR IGNORE INTO SegmentTags VALUES (%1, %2)").arg(segment).arg(pick(1, tags)));
  }
}

TEST_F(LibraryUpgradeTest, OldestLayoutBecomesTheCurrentOne) {
  auto db = FromScript(kOldestLibrary);
  const UpgradeReport report = HouseKeep(*db);
  EXPECT_FALSE(report.renumberingFailed);
  EXPECT_TRUE(report.resizeThumbnails) << "no DateAdded: thumbnails of that age are resized";

  for (const auto& [table, column] :
       {std::pair{"Tags", "Behaviour"}, {"Tags", "CategoryID"}, {"Tags", "T9Text"}, {"TagCloud", "LinkedTag"},
        {"TagCloud", "iteration"}, {"VideoFiles", "CurrentPath"}, {"VideoFiles", "DateAdded"},
        {"VideoFiles", "Rating"}, {"VideoSegments", "Online"}, {"VideoSegments", "Description"},
        {"TEMP_FileTagStructure", "FileFlag"}, {"TEMP_FileTagStructure", "ViaSegment"},
        {"SegmentThumbnails", "FileID"}, {"FileLocations", "FriendlyName"}, {"VersionData", "ReleaseStatus"}}) {
    EXPECT_TRUE(HasColumn(*db, table, column)) << table << "." << column;
  }
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Thumbnails'")), 0);
  EXPECT_EQ(db->OpenRecordset(QStringLiteral("SELECT * FROM vw_SearchResults"))->FieldCount(), 16);

  // Version stamped, keypad text made, device rows made from the old table.
  auto version = db->OpenRecordset(QStringLiteral("SELECT * FROM VersionData"));
  ASSERT_EQ(version->RecordCount(), 1);
  EXPECT_EQ(version->Value(QStringLiteral("Revision")).toInt(), 5);
  EXPECT_EQ(version->Value(QStringLiteral("ReleaseStatus")).toString(), QStringLiteral("Final"));
  EXPECT_EQ(One(*db, QStringLiteral("SELECT T9Text FROM Tags WHERE TagID = 10")).toString(), QStringLiteral("4654329"));
  EXPECT_EQ(One(*db, QStringLiteral("SELECT T9Text FROM Tags WHERE TagID = 11")).toString(), QStringLiteral("96Ë"));
  auto device = db->OpenRecordset(QStringLiteral("SELECT * FROM FileLocations"));
  ASSERT_EQ(device->RecordCount(), 1);
  EXPECT_EQ(device->Value(QStringLiteral("PhysicalPath")).toString(), QStringLiteral(":\\"));
  EXPECT_EQ(device->Value(QStringLiteral("LogicalPath")).toString(), QStringLiteral("[Offline] :\\"));
  EXPECT_EQ(One(*db, QStringLiteral("SELECT FilePath FROM VideoFiles WHERE FileName = 'Summer.avi'")).toString(),
            QStringLiteral("Films\\"));
}

TEST_F(LibraryUpgradeTest, FilesAreRenumberedToTheirWholeFileSegments) {
  auto db = FromScript(kOldestLibrary);
  HouseKeep(*db);
  // File 7's whole-file segment is 12: the file becomes 12 and everything follows.
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID = 7")), 0);
  auto file = db->OpenRecordset(QStringLiteral("SELECT * FROM VideoFiles WHERE FileID = 12"));
  ASSERT_EQ(file->RecordCount(), 1);
  EXPECT_EQ(file->Value(QStringLiteral("FileName")).toString(), QStringLiteral("Summer.avi"));
  EXPECT_EQ(file->Value(QStringLiteral("DateAdded")).toString(), QStringLiteral("2009-07-01"));
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoSegments WHERE FileID = 12")), 3);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID = 13")), 1);

  // Rating, alias and description moved to the whole-file segment; cut segments start clean.
  auto whole = db->OpenRecordset(QStringLiteral("SELECT * FROM VideoSegments WHERE SegmentID = 12"));
  EXPECT_EQ(whole->Value(QStringLiteral("Rating")).toInt(), 4);
  EXPECT_EQ(whole->Value(QStringLiteral("FileAlias")).toString(), QStringLiteral("Our summer"));
  EXPECT_EQ(whole->Value(QStringLiteral("Description")).toString(), QStringLiteral("Beach"));
  auto cut = db->OpenRecordset(QStringLiteral("SELECT * FROM VideoSegments WHERE SegmentID = 20"));
  EXPECT_EQ(cut->Value(QStringLiteral("Rating")).toInt(), 0);
  EXPECT_TRUE(cut->Value(QStringLiteral("FileAlias")).IsNull());

  // The file's thumbnail is the whole-file segment's; empty ones are gone.
  auto thumbs = db->OpenRecordset(QStringLiteral("SELECT * FROM SegmentThumbnails"));
  ASSERT_EQ(thumbs->RecordCount(), 1);
  EXPECT_EQ(thumbs->Value(QStringLiteral("SegmentID")).toInt(), 12);
  EXPECT_EQ(thumbs->Value(QStringLiteral("FileID")).toInt(), 12);
  EXPECT_EQ(thumbs->Value(QStringLiteral("Thumbnail")).toBytes(), QByteArray("\xFF\xD8\xFF\xE0", 4));

  // The segment of a file that never existed, and its tag, are removed.
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoSegments WHERE SegmentID = 99")), 0);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags WHERE SegmentID = 99")), 0);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags")), 2);

  // Many files' pictures: each moves to its whole-file segment, and the
  // file does not keep the old table's pages free beside them.
  auto many = FromScript(kOldestLibrary);
  many->Execute(QStringLiteral(
      "WITH RECURSIVE n(f) AS (SELECT 100 UNION ALL SELECT f + 1 FROM n WHERE f < 1599) "
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) SELECT f, 'S', 'x\\', f || '.avi' FROM n;"
      "INSERT INTO VideoSegments SELECT FileID + 5000, FileID, 'Y', 0, 9 FROM VideoFiles WHERE FileID >= 100;"
      "INSERT INTO Thumbnails SELECT FileID, CAST(printf('%02000d', FileID) AS BLOB) FROM VideoFiles WHERE FileID >= 100"));
  HouseKeep(*many);
  EXPECT_EQ(Count(*many, QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID = FileID AND "
                                        "Thumbnail = CAST(printf('%02000d', FileID - 5000) AS BLOB)")),
            1500);
  EXPECT_LT(Count(*many, QStringLiteral("SELECT freelist_count * 4 FROM pragma_freelist_count")),
            Count(*many, QStringLiteral("SELECT page_count FROM pragma_page_count")));
}

TEST_F(LibraryUpgradeTest, FileWithoutWholeFileSegmentLosesNothing) {
  auto db = FromScript(kOldestLibrary);
  db->Execute(QStringLiteral("DELETE FROM VideoSegments WHERE SegmentID = 13"));  // file 8 has no whole-file row
  db->Execute(QStringLiteral("INSERT INTO VideoSegments VALUES (30, 8, NULL, 5, 6)"));
  const UpgradeReport report = HouseKeep(*db);
  EXPECT_FALSE(report.renumberingFailed) << report.problem.toStdString();
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  auto file = db->OpenRecordset(QStringLiteral(
      "SELECT VF.FileID, VS.SegmentID, VS.Rating FROM VideoFiles VF, VideoSegments VS WHERE VS.FileID = VF.FileID AND "
      "VS.FileFlag = 'Y' AND VF.FileName = 'It''s.mpg'"));
  ASSERT_EQ(file->RecordCount(), 1) << "the file got a whole-file segment";
  EXPECT_EQ(file->Value(QStringLiteral("FileID")).toInt(), file->Value(QStringLiteral("SegmentID")).toInt());
  EXPECT_EQ(file->Value(QStringLiteral("Rating")).toInt(), 2);
  const int fileId = file->Value(QStringLiteral("FileID")).toInt();
  EXPECT_EQ(One(*db, QStringLiteral("SELECT FileID FROM VideoSegments WHERE SegmentID = 30")).toInt(), fileId)
      << "its cut segment follows it";
}

TEST_F(LibraryUpgradeTest, FailedRenumberingLeavesTheFileAsItWas) {
  auto db = FromScript(kOldestLibrary);
  // A table in the way of the rebuild makes the renumbering fail part-way.
  db->Execute(QStringLiteral("CREATE TABLE VideoFiles01 (x)"));
  const UpgradeReport report = HouseKeep(*db);
  EXPECT_TRUE(report.renumberingFailed);
  EXPECT_FALSE(report.problem.isEmpty());
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID IN (7, 8)")), 2);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoSegments")), 5) << "no orphan clean-up either";
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'vw_SearchResults'")), 0);
  EXPECT_FALSE(db->InTransaction());
}

TEST_F(LibraryUpgradeTest, EachMissingFeatureIsAddedToAnOtherwiseCurrentLibrary) {
  struct Case {
    const char* name;
    const char* remove;
    const char* table;
    const char* column;
    bool resizes = false;  // the rebuild of VideoFiles drops DateAdded, which then triggers resizing
  };
  const Case cases[] = {
      {"no Behaviour", "ALTER TABLE Tags DROP COLUMN Behaviour", "Tags", "Behaviour"},
      {"no VersionData", "DROP TABLE VersionData", "VersionData", "Major"},
      // The view names the column, so it goes first (and the renumbering runs as a no-op).
      {"no segment Online", "DROP VIEW vw_SearchResults; ALTER TABLE VideoSegments DROP COLUMN Online",
       "VideoSegments", "Online", true},
      {"no CategoryID", "ALTER TABLE Tags DROP COLUMN CategoryID", "Tags", "CategoryID"},
      {"no FileLocations", "DROP TABLE FileLocations", "FileLocations", "DiskSerialNo"},
      {"old TagCloud", "DROP TABLE TagCloud; CREATE TABLE TagCloud (TagID integer, TagCount integer)", "TagCloud",
       "LinkedTag"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto db = FromTemplate();
    db->Execute(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, DateAdded) VALUES (5, 'S', 'F\\', 'a.mkv', "
        "'2026-01-01'); INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating) VALUES "
        "(5, 5, 'Y', 10, 1, 3)"));
    db->Execute(QString::fromLatin1(c.remove));
    const UpgradeReport report = HouseKeep(*db);
    EXPECT_TRUE(HasColumn(*db, c.table, c.column));
    EXPECT_EQ(report.resizeThumbnails, c.resizes);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VersionData")), 1);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoSegments")), 1);
  }
}

// The layout the program expects is the empty library's, table by table. A
// layout is judged whole: the program's, the oldest one and a current one
// lacking any one feature the upgrade adds are upgraded; one with a column
// another program renamed or dropped is neither old nor current, and is
// named by table and column. Its upgrade copies nothing over the ratings.
TEST_F(LibraryUpgradeTest, ALayoutIsJudgedWholeAndOneNeitherOldNorCurrentIsNamed) {
  auto fresh = FromTemplate();
  QStringList reference;
  for (const LibraryLayout::Table& table : LibraryLayout::Reference()) {
    for (const QString& column : table.columns) reference << table.name + QLatin1Char('.') + column;
  }
  QStringList stored;
  auto columns = fresh->OpenRecordset(QStringLiteral(
      "SELECT T.name || '.' || C.name FROM sqlite_master T, pragma_table_info(T.name) C WHERE T.type = 'table'"));
  for (; !columns->Eof(); columns->MoveNext()) stored << columns->Value(0).toString();
  reference.sort();
  stored.sort();
  EXPECT_EQ(reference, stored);
  EXPECT_FALSE(LibraryLayout::Missing(*fresh));
  EXPECT_FALSE(LibraryLayout::NeitherOldNorCurrent(*fresh));
  EXPECT_FALSE(LibraryLayout::NeitherOldNorCurrent(*FromScript(kOldestLibrary)));

  const struct {
    const char* change;
    const char* table = nullptr;  // none: an upgradable layout
    const char* column = "";
  } cases[] = {
      {"ALTER TABLE Tags DROP COLUMN Behaviour"},
      {"DROP TABLE VersionData"},
      {"DROP VIEW vw_SearchResults; ALTER TABLE VideoSegments DROP COLUMN Online"},
      {"DROP TABLE FileLocations"},
      {"DROP VIEW vw_SearchResults; ALTER TABLE VideoFiles DROP COLUMN DateAdded; ALTER TABLE VideoFiles DROP "
       "COLUMN Rating"},
      {"DROP TABLE SegmentThumbnails"},
      {"ALTER TABLE VideoSegments RENAME COLUMN Description TO Notes", "VideoSegments", "Description"},
      {"DROP VIEW vw_SearchResults; ALTER TABLE VideoSegments DROP COLUMN Rating", "VideoSegments", "Rating"},
      {"ALTER TABLE Tags RENAME COLUMN Tag TO Name", "Tags", "Tag"},
      {"ALTER TABLE VersionData DROP COLUMN Revision", "VersionData", "Revision"},
      {"ALTER TABLE VideoFiles RENAME COLUMN CurrentPath TO NowAt", "VideoFiles", "CurrentPath"},
      {"ALTER TABLE SegmentThumbnails RENAME COLUMN FileID TO File", "SegmentThumbnails", "FileID"},
      {"DROP TABLE Views", "Views"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    auto db = FromTemplate();
    db->Execute(QLatin1String(c.change));
    const std::optional<LayoutGap> gap = LibraryLayout::NeitherOldNorCurrent(*db);
    if (!c.table) {
      EXPECT_FALSE(gap) << gap->table.toStdString() << "." << gap->column.toStdString();
      continue;
    }
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->table, QLatin1String(c.table));
    EXPECT_EQ(gap->column, QLatin1String(c.column));
  }

  auto renamed = FromTemplate();
  renamed->Execute(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, Rating) VALUES (5, 'S', 'F\\', 'a.mkv', 1);"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating) VALUES (5, 5, 'Y', 10, "
      "1, 4), (6, 5, NULL, 5, 1, 3);"
      "ALTER TABLE VideoSegments RENAME COLUMN Description TO Notes"));
  HouseKeep(*renamed);
  EXPECT_EQ(Count(*renamed, QStringLiteral("SELECT sum(Rating) FROM VideoSegments")), 7) << "no rating copied over";
}

TEST_F(LibraryUpgradeTest, MissingDateAddedIsTheOnlyTriggerOfThumbnailResizing) {
  auto db = FromTemplate();
  db->Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, \"DateTime\") VALUES "
                             "(5, 'S', '', 'a.mkv', '2020-02-03')"));
  db->Execute(QStringLiteral("ALTER TABLE VideoFiles DROP COLUMN DateAdded"));
  const UpgradeReport report = HouseKeep(*db);
  EXPECT_TRUE(report.resizeThumbnails);
  EXPECT_EQ(One(*db, QStringLiteral("SELECT DateAdded FROM VideoFiles")).toString(), QStringLiteral("2020-02-03"));
  EXPECT_FALSE(HouseKeep(*db).resizeThumbnails) << "only once";
}

TEST_F(LibraryUpgradeTest, SecondOpenChangesNothingButTheVersion) {
  auto db = FromScript(kOldestLibrary);
  HouseKeep(*db);
  const QString before = Dump(*db);
  db->Execute(QStringLiteral("UPDATE VersionData SET Revision = 0, ReleaseStatus = 'Beta'"));
  const UpgradeReport again = HouseKeep(*db);
  EXPECT_FALSE(again.resizeThumbnails);
  EXPECT_FALSE(again.renumberingFailed);
  EXPECT_EQ(Dump(*db), before);
  EXPECT_EQ(One(*db, QStringLiteral("SELECT ReleaseStatus FROM VersionData")).toString(), QStringLiteral("Final"));

  auto fresh = FromTemplate();
  const QString empty = Dump(*fresh);
  HouseKeep(*fresh);
  EXPECT_EQ(Dump(*fresh), empty) << "a current library gains only its version stamp";
  EXPECT_EQ(Count(*fresh, QStringLiteral("SELECT Revision FROM VersionData")), 5);
}

TEST_F(LibraryUpgradeTest, OrphanRowsAreRemoved) {
  auto db = FromTemplate();
  db->Execute(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'A', 'T'), (11, 'B', 'T');"
      "INSERT INTO TagLinks VALUES (10, 11, 'L'), (10, 77, 'L'), (78, 11, 'P');"
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'S', '', 'a.mkv');"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) VALUES (5, 5, 'Y', 1, 0), (6, 44, NULL, "
      "1, 0);"
      "INSERT INTO SegmentTags VALUES (5, 11), (6, 10), (50, 10);"
      "INSERT INTO SegmentThumbnails VALUES (5, X'01', 5), (6, X'02', 44), (7, NULL, 5)"));
  HouseKeep(*db);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM TagLinks")), 1) << "links to or from a missing tag go";
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM VideoSegments")), 1);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags")), 1);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentThumbnails")), 2)
      << "thumbnails are cleaned before segments, so a removed segment's thumbnail waits for the next open";
  HouseKeep(*db);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentThumbnails")), 1);
}

TEST_F(LibraryUpgradeTest, ImpliedTagsGoButOneOfEachSynonymGroupStays) {
  auto db = FromTemplate();
  db->Execute(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (20, 'Parent', 'T'), (21, 'Child', 'T'), (30, 'Film', 'T'), "
      "(31, 'Movie', 'T'), (40, 'X', 'T'), (41, 'Y', 'T'), (42, 'Z', 'T');"
      "INSERT INTO TagLinks VALUES (21, 20, 'P'), (30, 31, 'L'), (31, 30, 'L'), (40, 41, 'L'), (41, 42, 'L'), "
      "(42, 40, 'L');"
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'S', '', 'a.mkv');"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) VALUES (5, 5, 'Y', 1, 0);"
      "INSERT INTO SegmentTags VALUES (5, 20), (5, 21), (5, 30), (5, 31), (5, 40), (5, 41), (5, 42)"));
  HouseKeep(*db);
  auto tags = db->OpenRecordset(QStringLiteral("SELECT TagID FROM SegmentTags ORDER BY TagID"));
  QStringList kept;
  for (; !tags->Eof(); tags->MoveNext()) kept << tags->Value(0).toString();
  EXPECT_EQ(kept.join(QLatin1Char(',')), QStringLiteral("21,30,40"))
      << "the parent implied by its child goes; of the pair and of the cycle the lowest stays";
  HouseKeep(*db);
  EXPECT_EQ(Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags")), 3) << "and survives every later open";
}

TEST_F(LibraryUpgradeTest, DeepAndCrossingHierarchiesLoseOnlyDirectlyImpliedTags) {
  auto db = FromTemplate();
  // A chain 101 -> 102 -> 103 -> 104; a diamond 110 -> 111, 112 -> 113, so 113
  // is implied by two paths; a pair 120 <-> 121 with 121 -> 122 hanging off it.
  db->Execute(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (101, 'T', 'T'), (102, 'T', 'T'), (103, 'T', 'T'), "
      "(104, 'T', 'T'), (110, 'T', 'T'), (111, 'T', 'T'), (112, 'T', 'T'), (113, 'T', 'T'), (120, 'T', 'T'), "
      "(121, 'T', 'T'), (122, 'T', 'T');"
      "INSERT INTO TagLinks VALUES (101, 102, 'P'), (102, 103, 'P'), (103, 104, 'P'), (110, 111, 'P'), "
      "(110, 112, 'P'), (111, 113, 'P'), (112, 113, 'P'), (120, 121, 'L'), (121, 120, 'L'), (121, 122, 'P');"
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (1, 'S', '', 'a.mkv');"
      "INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (1, 1, 1, 0), (2, 1, 1, 0), "
      "(3, 1, 1, 0), (4, 1, 1, 0), (5, 1, 1, 0), (6, 1, 1, 0), (7, 1, 1, 0);"
      "INSERT INTO SegmentTags VALUES (1, 101), (1, 102), (1, 103), (1, 104), (2, 101), (2, 103), (3, 110), "
      "(3, 111), (3, 112), (3, 113), (4, 111), (4, 112), (4, 113), (5, 120), (5, 121), (5, 122), (6, 121), "
      "(6, 122), (7, 104)"));
  HouseKeep(*db);
  auto rows = db->OpenRecordset(QStringLiteral("SELECT SegmentID || ':' || TagID FROM SegmentTags ORDER BY 1"));
  QStringList kept;
  for (; !rows->Eof(); rows->MoveNext()) kept << rows->Value(0).toString();
  EXPECT_EQ(kept.join(QLatin1Char(' ')), QStringLiteral("1:101 2:101 2:103 3:110 4:111 4:112 5:120 6:121 7:104"))
      << "each tag linked from another tag of its segment goes, the whole chain at once; a tag two links away "
         "stays; a tag implied twice goes once; the pair keeps its lower tag, and its hanging tag goes";
}

// A chain of tags a thousand links deep costs the clean-up work in
// proportion to its tags. The rows it writes are counted, not timed: a list
// of every tag's whole reach took a row for each pair of tags on the chain.
TEST_F(LibraryUpgradeTest, ADeepChainCostsTheCleanUpRowsInProportionToItsTags) {
  auto db = FromTemplate();
  constexpr int kDepth = 1000;
  db->Execute(
      QStringLiteral("WITH RECURSIVE N(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM N WHERE i < %1) "
                     "INSERT INTO Tags (TagID, Tag, Type) SELECT i, 'Level ' || i, 'T' FROM N;"
                     "INSERT INTO TagLinks SELECT TagID, TagID - 1, 'P' FROM Tags WHERE TagID > 10;"
                     // The top two tags are synonyms as well, a circle at the far end of the chain.
                     "INSERT INTO TagLinks VALUES (10, 11, 'L');"
                     "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (1, 'S', '', 'a.mkv');"
                     "INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (1, 1, 1, 0), (2, 1, 1, 0);"
                     "INSERT INTO SegmentTags VALUES (1, 10), (1, 11), (1, 500), (1, 501), (2, 12), (2, %1)")
          .arg(9 + kDepth));
  const int64_t before = db->TotalChanges();
  RemoveOrphanRows(*db);
  EXPECT_LT(db->TotalChanges() - before, kDepth / 10);
  auto rows = db->OpenRecordset(QStringLiteral("SELECT SegmentID || ':' || TagID FROM SegmentTags ORDER BY 1"));
  QStringList kept;
  for (; !rows->Eof(); rows->MoveNext()) kept << rows->Value(0).toString();
  EXPECT_EQ(kept.join(QLatin1Char(' ')), QStringLiteral("1:10 1:501 2:1009 2:12"))
      << "the parent below its child goes, the lower of the synonyms stays, and tags far apart stay";
}

TEST_F(LibraryUpgradeTest, CleanUpRemovesWhatTheRowByRowReadingRemoves) {
  auto db = FromTemplate();
  std::mt19937 random(4601);
  int removed = 0;
  for (int round = 0; round < 200; ++round) {
    // A round is one transaction: the rounds are many and a file commit is slow.
    db->BeginTrans(QStringLiteral("Round"));
    FillAtRandom(*db, random);
    const int before = Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags"));
    db->BeginTrans(QStringLiteral("Reading"));
    RemoveOrphanRowsOneByOne(*db);
    const QString expected = Dump(*db);
    db->RollbackTrans(QStringLiteral("Reading"));
    // Only the sweeps the survey finds work for, as an open runs them.
    db->BeginTrans(QStringLiteral("Surveyed"));
    const OrphanSurvey survey = SurveyOrphans(*db, kOrphanSweeps | kSweepImpliedTags);
    EXPECT_FALSE(survey.damagedKey);
    RemoveOrphanRows(*db, survey.sweeps);
    ASSERT_EQ(Dump(*db), expected) << "round " << round << ", the surveyed sweeps";
    db->RollbackTrans(QStringLiteral("Surveyed"));
    RemoveOrphanRows(*db);
    ASSERT_EQ(Dump(*db), expected) << "round " << round;
    removed += before - Count(*db, QStringLiteral("SELECT count(*) FROM SegmentTags"));
    db->CommitTrans(QStringLiteral("Round"));
  }
  EXPECT_GT(removed, 200) << "the rounds remove segment tags, so the comparison means something";
}

}  // namespace
