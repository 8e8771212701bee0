// Libraries the program must not open, refused before anything in them is
// changed and with the previous library still open; the lock that keeps a
// library to one copy of the program; the work tables that never reach the
// library file.
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "tests/library/TreeFixture.h"
#include "tests/support/ReadOnlyFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

class LibraryRefusalTest : public rwtest::OpenLibraryTest {
 protected:
  void SetUp() override {
    rwtest::OpenLibraryTest::SetUp();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
    OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")), QStringLiteral("Films.rw2"));
    films_ = gLibrary->LibraryPath;
    boxes.Clear();
  }

  // A library `name` in the Libraries folder with one file, changed by `sql`.
  static QString MakeLibrary(const QString& name, const QString& sql = QString()) {
    const QString path = gLibrariesFolder + name;
    modReelwise::ExtractTemplateLibrary(path);
    SqlConnection::Open(path)->Execute(FileRow(7, QStringLiteral("Seventh.mkv")));
    if (!sql.isEmpty()) SqlConnection::Open(path)->Execute(sql);
    return path;
  }
  static QByteArray Checksum(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
  }

  // Opening `path` is refused with one box titled `title` whose text holds
  // `says` and names the file; the file is unchanged and Films stays open.
  void ExpectRefused(const QString& path, const QString& title, const QString& says) {
    const QByteArray before = Checksum(path);
    boxes.Clear();
    gLibrary->OpenLibrary(path, true);
    ASSERT_EQ(boxes.Count(), 1) << "one clear message, no raw database errors";
    EXPECT_EQ(boxes.Last().title, title);
    EXPECT_TRUE(boxes.Last().prompt.contains(says)) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(path));
    EXPECT_EQ(Checksum(path), before) << "the refused file is byte for byte as it was";
    ExpectFilmsStillOpen();
  }

  void ExpectFilmsStillOpen() {
    EXPECT_EQ(gLibrary->LibraryPath, films_);
    EXPECT_EQ(View().loaded, 1);
    EXPECT_TRUE(View().browserEnabled);
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2) << "the previous library still answers";
  }

  QString films_;
};

// A file the program could not write is refused before any write, saying
// why: read-only (by its modes, its folder's or a header byte), too deep a
// path, a folder in its journal's place.
TEST_F(LibraryRefusalTest, AFileTheProgramCouldNotWriteIsRefusedBeforeAnyWriteSayingWhy) {
  const QString file = MakeLibrary(QStringLiteral("Locked.rw2"));
  ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  ExpectRefused(file, QStringLiteral("Read-only Library"), QStringLiteral("the file or its folder is read-only"));
  {
    SCOPED_TRACE("in a read-only folder");
    const QString shelf = gLibrariesFolder + QStringLiteral("Shelf");
    ASSERT_TRUE(QDir().mkpath(shelf));
    const QString inFolder = MakeLibrary(QStringLiteral("Shelf/Shelved.rw2"));
    const rwtest::ReadOnlyFolder readOnly(shelf);
    ASSERT_TRUE(readOnly.Made());
    ExpectRefused(inFolder, QStringLiteral("Read-only Library"), QStringLiteral("the file or its folder is read-only"));
  }
  {
    // One header byte (the file format's write version) makes SQLite open the
    // file read-only, whatever the file's modes.
    SCOPED_TRACE("a file SQLite only reads");
    const QString later = MakeLibrary(QStringLiteral("Later.rw2"));
    QFile header(later);
    ASSERT_TRUE(header.open(QIODevice::ReadWrite));
    ASSERT_TRUE(header.seek(18));
    ASSERT_EQ(header.write("\x05", 1), 1);
    header.close();
    ExpectRefused(later, QStringLiteral("Read-only Library"), QStringLiteral("read-only"));
  }
  {
    SCOPED_TRACE("a path too long for SQLite");
    QString folder = Scratch();
    while (QFile::encodeName(folder).size() < 600) folder += QLatin1Char('/') + QString(120, QLatin1Char('x'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = MakeLibrary(QStringLiteral("Short.rw2"));
    const QString deep = folder + QStringLiteral("/Deep.rw2");
    ASSERT_TRUE(QFile::rename(path, deep));
    ExpectRefused(deep, QStringLiteral("Path too long"), QStringLiteral("its path is too long"));
  }
  // A folder of the user's named like the journal or log makes every read
  // fail as an I/O error: named, not taken for damage; gone, the file opens.
  const QString sound = MakeLibrary(QStringLiteral("X.rw2"));
  for (const char* beside : {"-journal", "-wal"}) {
    SCOPED_TRACE(beside);
    const QString folder = sound + QLatin1String(beside);
    ASSERT_TRUE(QDir().mkpath(folder));
    ExpectRefused(sound, QStringLiteral("Library not opened"), folder);
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Rename or move it"))) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("damaged")));
    ASSERT_TRUE(QDir(folder).removeRecursively());
  }
  gLibrary->OpenLibrary(sound, true);
  EXPECT_EQ(gLibrary->LibraryPath, sound);
}

// A damaged file, or one that is no library, gets its own message: a copy
// cut short, another program's database, an index another program made
// disagree with its table (named by the table).
TEST_F(LibraryRefusalTest, ADamagedOrForeignFileIsRefusedInItsOwnWords) {
  QFile whole(films_);
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QByteArray bytes = whole.readAll();
  const QString cut = gLibrariesFolder + QStringLiteral("Cut copy.rw2");
  QFile copy(cut);
  ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
  copy.write(bytes.left(bytes.size() / 2 / 4096 * 4096));
  copy.close();
  ExpectRefused(cut, QStringLiteral("Damaged Library"), QStringLiteral("is damaged"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Nothing in the file was changed")));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("not a Reelwise II Library")));

  const QString foreign = gLibrariesFolder + QStringLiteral("Recipes.rw2");
  SqlConnection::Create(foreign)->Execute(QStringLiteral("CREATE TABLE Recipes (Name text)"));
  ExpectRefused(foreign, QStringLiteral("Incompatible Library"), QStringLiteral("is not a Reelwise II Library"));

  // A change made while an index was hidden from SQLite: a row gone whose
  // entry stays (the counts differ), a row changed whose entry keeps the old
  // value (they agree), and the segment tags' and thumbnails' indexes lacking
  // a row. The quick check passes; the open's survey finds it.
  const struct {
    const char* index;
    const char* change;
    const char* table;
    const char* before = "";
  } damages[] = {{"idx_VS_FileID", "DELETE FROM VideoSegments WHERE SegmentID = 8", "VideoSegments"},
                 {"idx_VF_DiskSerialNo", "UPDATE VideoFiles SET DiskSerialNo = 'ELSEWHERE' WHERE FileID = 9",
                  "VideoFiles"},
                 {"rw2_SegmentTags_TagID", "INSERT INTO SegmentTags VALUES (9, 1)", "SegmentTags",
                  "CREATE INDEX rw2_SegmentTags_TagID ON SegmentTags (TagID, SegmentID);"
                  "INSERT INTO SegmentTags VALUES (7, 1), (8, 1);"},
                 {"SegmentThumbnails_Index01", "INSERT INTO SegmentThumbnails VALUES (9, X'FFD8FFE0', 9)",
                  "SegmentThumbnails", "INSERT INTO SegmentThumbnails VALUES (8, X'FFD8FFE0', 8);"}};
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.index);
    const QString path = MakeLibrary(
        QStringLiteral("Stale %1.rw2").arg(damage.index),
        FileRow(8, QStringLiteral("Eighth.mkv")) + FileRow(9, QStringLiteral("Ninth.mkv")) + damage.before);
    QString indexRow;
    {
      auto db = SqlConnection::Open(path);
      sqlite3_db_config(db->Handle(), SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
      SqlRecordset row(*db, QStringLiteral("SELECT quote(type) || ',' || quote(name) || ',' || quote(tbl_name) || "
                                           "',' || rootpage || ',' || quote(sql) FROM sqlite_master WHERE name = "
                                           "'%1'")
                                .arg(QLatin1String(damage.index)));
      ASSERT_FALSE(row.Eof());
      indexRow = row.Value(0).toString();
      db->Execute(QStringLiteral("PRAGMA writable_schema = ON; DELETE FROM sqlite_master WHERE name = '%1'")
                      .arg(QLatin1String(damage.index)));
    }
    SqlConnection::Open(path)->Execute(QLatin1String(damage.change));
    {
      auto db = SqlConnection::Open(path);
      sqlite3_db_config(db->Handle(), SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
      db->Execute(QStringLiteral("PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES (%1)").arg(indexRow));
    }
    {
      auto db = SqlConnection::Open(path);
      ASSERT_EQ(SqlRecordset(*db, QStringLiteral("PRAGMA quick_check")).Value(0).toString(), QStringLiteral("ok"));
      ASSERT_NE(SqlRecordset(*db, QStringLiteral("PRAGMA integrity_check")).Value(0).toString(),
                QStringLiteral("ok"));
    }
    ExpectRefused(path, QStringLiteral("Damaged Library"),
                  QStringLiteral("its table \"%1\" has an index that no longer matches its rows")
                      .arg(QLatin1String(damage.table)));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Nothing in the file was changed")));
  }
}

// A layout or reference another program damaged (a catalogue table dropped,
// a column renamed, a reference that is no row number) is refused by table
// and column before the upgrade or upkeep writes; references to rows gone
// are the program's own history's, and an open removes them.
TEST_F(LibraryRefusalTest, ALayoutOrReferenceAnotherProgramDamagedIsRefusedByTableAndColumn) {
  for (const QString& table : {QStringLiteral("VideoFiles"), QStringLiteral("VideoSegments"),
                              QStringLiteral("SegmentTags")}) {
    SCOPED_TRACE(table.toStdString());
    const QString path =
        MakeLibrary(QStringLiteral("Without %1.rw2").arg(table), QStringLiteral("DROP TABLE %1").arg(table));
    ExpectRefused(path, QStringLiteral("Damaged Library"), QStringLiteral("\"%1\" is missing").arg(table));
  }

  // A column renamed: a layout neither current nor old (the descriptions
  // renamed would pass for the old one, whose upgrade copies the files'
  // ratings over the segments'), or lacking a column no upgrade adds.
  const struct {
    const char* change;
    const char* table;
    const char* column;
  } renamed[] = {
      {"ALTER TABLE VideoSegments RENAME COLUMN Description TO Notes", "VideoSegments", "Description"},
      {"ALTER TABLE VideoSegments RENAME COLUMN Description TO Notes; ALTER TABLE VideoSegments RENAME COLUMN "
       "FileAlias TO Alias",
       "VideoSegments", "FileAlias"},
      {"ALTER TABLE VideoFiles RENAME COLUMN FileFormat TO Container", "VideoFiles", "FileFormat"},
      {"ALTER TABLE FileLocations RENAME COLUMN Online TO Mounted", "FileLocations", "Online"},
  };
  for (const auto& c : renamed) {
    SCOPED_TRACE(c.change);
    const QString path = MakeLibrary(
        QStringLiteral("Renamed %1 %2.rw2").arg(QLatin1String(c.table), QLatin1String(c.column)),
        FileRow(8, QStringLiteral("Eighth.mkv")) +
        QStringLiteral("UPDATE VideoSegments SET Rating = 4;"
                       "INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, Rating) "
                       "VALUES (20, 8, 5, 9, 1, 2), (21, 8, 10, 20, 1, 5);") +
        QLatin1String(c.change));
    ExpectRefused(path, QStringLiteral("Damaged Library"),
                  QStringLiteral("its table \"%1\" lacks its column \"%2\"")
                      .arg(QLatin1String(c.table), QLatin1String(c.column)));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Nothing in the file was changed")));
    auto file = SqlConnection::Open(path);
    EXPECT_EQ(file->OpenRecordset(QStringLiteral("SELECT group_concat(SegmentID || '=' || Rating) FROM (SELECT * "
                                                 "FROM VideoSegments ORDER BY SegmentID)"))
                  ->Value(0)
                  .toString(),
              QStringLiteral("7=4,8=4,20=2,21=5"));
  }

  // Text or a fraction where a row's number belongs refers to nothing: the
  // clean-up would remove its rows (the whole column's, at worst).
  const struct {
    const char* table;
    const char* column;
    const char* damage;
  } damaged[] = {{"VideoSegments", "FileID", "UPDATE VideoSegments SET FileID = 'seven'"},
                 {"SegmentTags", "SegmentID", "INSERT INTO SegmentTags VALUES (7, 1), ('7a', 1)"},
                 {"TagLinks", "LinkedTag", "INSERT INTO TagLinks VALUES (1, 2.5, 'L')"},
                 // Row numbers beyond 32 bits would be read as other rows' numbers.
                 {"VideoSegments", "SegmentID",
                  "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (3000, 'S', "
                  "'a\\', 'b.mkv', '/a/'); INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES "
                  "(4294967297, 3000, 1, 0)"},
                 {"Tags", "TagID",
                  "INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID) VALUES (-2147483649, 'x', 'C', 'C', "
                  "-2147483649)"},
                 // The first number past 32 bits.
                 {"VideoFiles", "FileID",
                  "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (2147483648, "
                  "'S', 'a\\', 'b.mkv', '/a/')"},
                 // Numbers the program reads as "none": such rows would be in
                 // no view and no export.
                 {"VideoFiles", "FileID",
                  "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (0, 'S', "
                  "'a\\', 'b.mkv', '/a/'); INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) "
                  "VALUES (3001, 0, 'Y', 1, 0)"},
                 {"VideoSegments", "SegmentID",
                  "INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (-5, 7, 1, 0)"},
                 {"Tags", "TagID", "INSERT INTO Tags (TagID, Tag, Type) VALUES (0, 'Zero', 'T')"}};
  for (const auto& c : damaged) {
    SCOPED_TRACE(c.damage);
    const QString path = MakeLibrary(
        QStringLiteral("Damaged %1 %2.rw2").arg(QLatin1String(c.table), QLatin1String(c.column)),
        QLatin1String(c.damage));
    ExpectRefused(path, QStringLiteral("Damaged Library"),
                  QStringLiteral("table \"%1\" holds in its column \"%2\"")
                      .arg(QLatin1String(c.table), QLatin1String(c.column)));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Nothing in the file was changed")));
  }

  // References to rows that are gone, or to none.
  const QString orphans = MakeLibrary(QStringLiteral("Orphans.rw2"), QStringLiteral(
      "INSERT INTO SegmentTags VALUES (7, 1), (99, 1), (NULL, 1);"
      "INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (8, 55, 1, 0)"));
  boxes.Clear();
  gLibrary->OpenLibrary(orphans, true);
  EXPECT_EQ(boxes.Count(), 0);
  ASSERT_EQ(gLibrary->LibraryPath, orphans);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags")), 1);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments")), 1);
}

// Two library objects in one process stand for two copies of the program:
// the lock is per open of the file, as between processes. The second copy
// neither opens nor replaces the library the first has open.
TEST_F(LibraryRefusalTest, ALibraryIsOpenInOneCopyAtATimeAndNotReplacedByAnother) {
  clsRWLibrary second;
  second.OpenLibrary(films_, true);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library in use"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("is open in another window of Reelwise II")));
  EXPECT_TRUE(second.Unsaved()) << "the second copy opens nothing";

  const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
  if (!flock.isEmpty()) {
    EXPECT_EQ(QProcess::execute(flock, {QStringLiteral("--nonblock"), films_, QStringLiteral("true")}), 1)
        << "another process finds the library locked";
  }

  // Reopening the library this copy has open keeps its lock and works.
  gLibrary->OpenLibrary(films_, true);
  EXPECT_EQ(boxes.Count(), 1);
  ExpectFilmsStillOpen();

  // The second copy's Save As onto it.
  rwtest::ScriptedFileDialogs dialogs;
  const QByteArray before = Checksum(films_);
  for (const bool isNew : {true, false}) {
    SCOPED_TRACE(isNew ? "new library" : "copy");
    boxes.Clear();
    dialogs.Choose({films_});
    second.SaveLibraryAsDialog(isNew);
    ASSERT_EQ(boxes.Count(), 1) << "no question to replace it";
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Library in use"));
    EXPECT_TRUE(second.Unsaved());
  }
  EXPECT_EQ(Checksum(films_), before);
  ExpectFilmsStillOpen();

  // Once the first copy has another library open, the second may open Films.
  gLibrary->OpenLibrary(MakeLibrary(QStringLiteral("Other.rw2")), true);
  boxes.Clear();
  second.OpenLibrary(films_, true);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(second.LibraryPath, films_);
}

// Another program reading the file while this copy works sees every stored
// table and none of this copy's work; work tables an earlier version left in
// a file go at its open.
TEST_F(LibraryRefusalTest, WorkTablesNeverReachTheLibraryFileAndThoseLeftThereGoAtOpen) {
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Drama', 'T'), (11, 'Noir', 'T');"
                      "INSERT INTO TagLinks VALUES (11, 10, 'P');"
                      "INSERT INTO SegmentTags VALUES (1, 11);"));
  gLibrary->PopulateTree();
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?I:00:00:00-0"), QString());
  gLibrary->FetchSearchResults();
  gLibrary->ShowTagCloud(true);
  ASSERT_EQ(gLibrary->ResultCount, 2);
  auto reader = SqlConnection::Open(films_);
  auto count = [&](const QString& sql) { return reader->OpenRecordset(sql)->Value(0).toInt(); };
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('SearchResults', "
                                 "'TagCloud', 'TEMP_FileTagStructure', 'vw_SearchResults')")),
            4);
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'tempTAGS'")), 0);
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SearchResults")), 0);
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM TagCloud")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM vw_SearchResults")), 2) << "this copy sees its own results";
  EXPECT_GT(Count(QStringLiteral("SELECT count(*) FROM TagCloud")), 0);

  // Left by an earlier version.
  const QString old = MakeLibrary(
      QStringLiteral("Old.rw2"),
      QStringLiteral("CREATE TABLE tempTAGS (TagID integer, Tag text); INSERT INTO tempTAGS VALUES (1, 'x');"
                     "INSERT INTO SearchResults VALUES (7, 7); INSERT INTO TagCloud VALUES (1, 1, 1, 1);"));
  gLibrary->OpenLibrary(old, true);
  ASSERT_EQ(gLibrary->LibraryPath, old);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE name = 'tempTAGS'")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM main.SearchResults")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM main.TagCloud")), 0);
}

}  // namespace
