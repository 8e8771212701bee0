#include "library/LibraryUpgrade.h"

#include "library/LibraryFile.h"
#include "library/ResultRows.h"
#include "library/TagCircles.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"

#include <QStringList>

#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

namespace {

// A feature exists when a statement naming it compiles: SQLite reports a
// missing table or column while preparing, so nothing is read.
bool Has(SqlConnection& db, const QString& probe) {
  try {
    db.Prepare(probe);
    return true;
  } catch (const RWError&) {
    return false;
  }
}

// Runs an upgrade statement; a failure leaves that part of the schema as it was.
bool Try(SqlConnection& db, const QString& sql) {
  try {
    db.Execute(sql);
    return true;
  } catch (const RWError&) {
    return false;
  }
}

// Runs statements in turn, each whatever became of the one before; true when all worked.
bool TryAll(SqlConnection& db, std::initializer_list<QString> statements) {
  bool all = true;
  for (const QString& sql : statements) all = Try(db, sql) && all;
  return all;
}

void AddVersionTable(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT * from VersionData WHERE 1=0"))) return;
  Try(db, QStringLiteral("CREATE TABLE VersionData ( Major     integer, Minor     integer, Revision  integer, "
                         "ReleaseStatus Text)"));
}

void AddTagBehaviour(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT Behaviour from Tags WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE Tags ADD COLUMN Behaviour varchar(1)"));
}

void RebuildTagCloudTable(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT LinkedTag from TagCloud WHERE 1=0"))) return;
  TryAll(db, {QStringLiteral("DROP TABLE TagCloud"),
              QStringLiteral("CREATE TABLE TagCloud (TagID      integer, LinkedTag  integer, TagCount   integer, "
                             "iteration  integer);")});
}

void AddFileRating(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT Rating from VideoFiles WHERE 1=0"))) return;
  TryAll(db, {QStringLiteral("ALTER table VideoFiles Add Rating integer NOT NULL DEFAULT 0"),
              // A file without a whole-file segment keeps 0 instead of failing the whole update.
              QStringLiteral("UPDATE VideoFiles SET Rating = IFNULL((SELECT Rating FROM VideoSegments WHERE "
                             "VideoFiles.FileId = VideoSegments.FileID AND VideoSegments.FileFlag='Y'), 0)")});
}

void AddDeviceFriendlyName(SqlConnection& db) {
  // Libraries without the old device table fail here too; nothing reads it later.
  if (Has(db, QStringLiteral("SELECT FriendlyName from StorageDevices WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE StorageDevices ADD COLUMN FriendlyName text;"));
}

void AddFileLocations(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT 1 from FileLocations"))) return;
  TryAll(db, {QStringLiteral("CREATE TABLE FileLocations (DiskSerialNo  text NOT NULL, DiskLabel     text, "
                             "PhysicalPath  text NOT NULL, LogicalPath   text NOT NULL, DiskType      text, "
                             "FriendlyName  text, Online        boolean, Primary Key(DiskSerialNo, PhysicalPath, "
                             "LogicalPath));"),
              QStringLiteral("UPDATE VideoFiles SET FilePath = Replace(FilePath, ':\\', '')"),
              QStringLiteral("ALTER TABLE VideoFiles ADD COLUMN CurrentPath text;"),
              QStringLiteral("INSERT INTO FileLocations (DiskSerialNo, DiskLabel, DiskType, FriendlyName, "
                             "PhysicalPath, LogicalPath) SELECT DiskSerialNo, DiskLabel, DiskType, FriendlyName, "
                             "':\\', '[Offline] :\\' From StorageDevices")});
}

void AddSegmentOnline(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT Online from VideoSegments WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE VideoSegments ADD COLUMN Online Boolean NOT NULL DEFAULT 0;"));
}

// Ratings, aliases and descriptions lived on files; they move to the segments.
// Only a layout of that age is moved, whose segments have neither alias nor
// description and whose files have both: the copy would otherwise put the
// files' values over the segments' (their ratings among them). The open
// refuses any other layout (LibraryLayout::NeitherOldNorCurrent).
void MoveFileDetailsToSegments(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT Description from VideoSegments WHERE 1=0")) ||
      Has(db, QStringLiteral("SELECT FileAlias from VideoSegments WHERE 1=0")) ||
      !Has(db, QStringLiteral("SELECT FileAlias, Description from VideoFiles WHERE 1=0"))) {
    return;
  }
  // A segment whose file is gone has no rating to take: it keeps 0 rather
  // than failing the update for every segment (the ratings would be lost).
  auto copy = [](const char* column, const char* fallback) {
    return QStringLiteral("UPDATE VideoSegments SET %1 = IFNULL((SELECT VF.%1 FROM VideoFiles VF, VideoSegments VS "
                          "Where VF.FileID = VS.FileID AND VS.FileFlag='Y' AND VideoSegments.FileID = VF.FileID), %2)")
        .arg(QLatin1String(column), QLatin1String(fallback));
  };
  TryAll(db, {QStringLiteral("ALTER TABLE VideoSegments ADD COLUMN Rating integer NOT NULL DEFAULT 0;"),
              QStringLiteral("ALTER TABLE VideoSegments ADD COLUMN FileAlias text;"),
              QStringLiteral("ALTER TABLE VideoSegments ADD COLUMN Description text;"), copy("Rating", "0"),
              copy("FileAlias", "NULL"), copy("Description", "NULL"),
              QStringLiteral("UPDATE VideoSegments SET Rating = 0, FileAlias = NULL, Description = NULL WHERE "
                             "FileFlag IS NULL")});
}

void AddTagStructureFileFlag(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT FileFlag from TEMP_FileTagStructure WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE TEMP_FileTagStructure ADD COLUMN FileFlag varchar(1) NOT NULL DEFAULT 'N';"));
}

// The pictures of the old table move to the whole-file segments of their
// files a few hundred files at a time, each share removed from the old
// table as it is copied: the pages it frees take the next share, so the
// file grows by one share, not by every picture again. A share that cannot
// be copied puts every picture back where it was; false then.
bool MovePictures(SqlConnection& db) {
  constexpr int kFilesAtOnce = 256;
  TransactionGuard move(db, QStringLiteral("MovePictures"));
  try {
    SqlCommand copy(db, QStringLiteral("INSERT INTO SegmentThumbnails SELECT SegmentID, T.Thumbnail, T.FileID FROM "
                                       "VideoSegments VS, Thumbnails T Where VS.FileID = T.FileID AND VS.FileFlag = "
                                       "'Y' AND T.FileID > ?1 AND T.FileID <= ?2"));
    SqlCommand remove(db, QStringLiteral("DELETE FROM Thumbnails WHERE FileID > ?1 AND FileID <= ?2"));
    for (int64_t after = std::numeric_limits<int64_t>::min();;) {
      const SqlValue upTo = SqlRecordset(db, QStringLiteral("SELECT max(FileID) FROM (SELECT FileID FROM Thumbnails "
                                                            "WHERE FileID > %1 ORDER BY FileID LIMIT %2)")
                                                 .arg(after)
                                                 .arg(kFilesAtOnce))
                                .Value(0);
      if (upTo.IsNull()) break;
      for (SqlCommand* share : {&copy, &remove}) {
        share->BindInt(1, after);
        share->BindInt(2, upTo.toInt64());
        share->Execute();
      }
      after = upTo.toInt64();
    }
  } catch (const RWError&) {
    move.Rollback();
    return false;
  }
  move.Commit();
  return true;
}

// Thumbnails move from one row per file to one row per segment. The old table
// is dropped only once its pictures were moved, so a failed move loses nothing.
void MoveThumbnailsToSegments(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT 1 from SegmentThumbnails WHERE 1=0"))) return;
  const bool moved = Try(db, QStringLiteral("CREATE TABLE SegmentThumbnails (SegmentID  integer PRIMARY KEY NOT NULL, "
                                            "Thumbnail  blob, FileID     integer NOT NULL)")) &&
                     MovePictures(db) &&
                     Try(db, QStringLiteral("INSERT INTO SegmentThumbnails SELECT SegmentID, NULL, FileID FROM "
                                            "VideoSegments VS Where VS.FileFlag Is Null"));
  Try(db, QStringLiteral("CREATE INDEX SegmentThumbnails_Index01 ON SegmentThumbnails (FileID);"));
  if (moved) Try(db, QStringLiteral("DROP TABLE Thumbnails"));
}

void AddTagCategory(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT CategoryID from Tags WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE Tags ADD COLUMN CategoryID integer;"));
}

void AddKeypadText(SqlConnection& db) {
  if (Has(db, QStringLiteral("SELECT T9Text from Tags WHERE 1=0"))) return;
  Try(db, QStringLiteral("ALTER TABLE Tags ADD COLUMN T9Text text;"));
  Try(db, QStringLiteral("UPDATE Tags SET T9Text = UPPER(Tag)"));
  static const char kDigits[] = "22233344455566677778889999";
  for (int i = 0; i < 26; ++i) {
    Try(db, QStringLiteral("UPDATE Tags SET T9Text = REPLACE(T9Text,'%1','%2')")
                .arg(QChar(u'A' + i))
                .arg(QLatin1Char(kDigits[i])));
  }
}

// Files are renumbered so that each FileID equals the SegmentID of the file's
// whole-file segment. Every file first gets a whole-file segment when it lacks
// one (else its row would be lost in the rebuild), and the whole step is undone
// when a statement that moves data fails.
bool RenumberFiles(SqlConnection& db) {
  // Schema additions that may already exist: failures are harmless.
  const QStringList optional = {QStringLiteral("ALTER TABLE TEMP_FileTagStructure ADD COLUMN ViaSegment boolean;")};
  const QStringList essential = {
      ResultRows::ViewStatement(),
      QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, Online, Rating) "
                     "SELECT (SELECT IFNULL(MAX(SegmentID), 0) FROM VideoSegments) + ROW_NUMBER() OVER (ORDER BY "
                     "FileID), FileID, 'Y', 0, 0, IFNULL(Rating, 0) FROM VideoFiles VF WHERE NOT EXISTS (SELECT 1 "
                     "FROM VideoSegments VS WHERE VS.FileID = VF.FileID AND VS.FileFlag = 'Y')"),
      // Segments of files that are gone would block the renumbering (their new
      // file number is unknown) and are removed by every open anyway.
      QStringLiteral("DELETE FROM VideoSegments WHERE NOT EXISTS (SELECT 1 FROM VideoFiles WHERE FileID = "
                     "VideoSegments.FileID)"),
      QStringLiteral("DELETE FROM SegmentThumbnails WHERE Thumbnail IS NULL;"),
      QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID NOT IN (SELECT SegmentID FROM VideoSegments);"),
      QStringLiteral("ALTER TABLE VideoFiles ADD COLUMN FileSegmentID integer;"),
      QStringLiteral("Update VideoFiles SET FileSegmentID = (SELECT SegmentID FROM VideoSegments WHERE "
                     "VideoFiles.FileID = VideoSegments.FileID AND VideoSegments.FileFlag='Y');"),
      QStringLiteral("Update VideoSegments SET FileID = (SELECT FileSegmentID FROM VideoFiles WHERE VideoFiles.FileId "
                     "= VideoSegments.FileID);"),
      QStringLiteral("Update SegmentThumbnails SET FileID = (SELECT VideoSegments.FileID From VideoSegments WHERE "
                     "VideoSegments.SegmentID = SegmentThumbnails.SegmentID);"),
      QStringLiteral("CREATE TABLE VideoFiles01(FileID, DiskSerialNo, FilePath, FileName, DateTime, FileFormat, "
                     "FileSize, Dimensions, Bitrate, FrameRate, CurrentPath,Rating);"),
      QStringLiteral("INSERT INTO VideoFiles01 SELECT FileSegmentID, DiskSerialNo, FilePath, FileName, DateTime, "
                     "FileFormat, FileSize, Dimensions, Bitrate, FrameRate, CurrentPath, Rating FROM VideoFiles;"),
      QStringLiteral("DROP TABLE VideoFiles;"),
      QStringLiteral("CREATE TABLE VideoFiles ( FileID         integer PRIMARY KEY NOT NULL,DiskSerialNo   text NOT "
                     "NULL, FilePath       text NOT NULL, FileName       text NOT NULL, DateTime       date, "
                     "FileFormat     text, FileSize       integer NOT NULL DEFAULT 0, Dimensions     text, Bitrate   "
                     "     integer, FrameRate      real, CurrentPath    text, Rating         integer NOT NULL DEFAULT "
                     "0 );"),
      QStringLiteral("CREATE INDEX idx_VF_DiskSerialNo ON VideoFiles (DiskSerialNo);"),
      QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, DateTime, FileFormat, "
                     "FileSize, Dimensions, Bitrate, FrameRate, CurrentPath, Rating) SELECT FileID, DiskSerialNo, "
                     "FilePath, FileName, DateTime, FileFormat, FileSize, Dimensions, Bitrate, FrameRate, CurrentPath, "
                     "Rating FROM VideoFiles01;"),
      QStringLiteral("DROP TABLE VideoFiles01;")};

  const QString name = QStringLiteral("v1.6.0");
  db.BeginTrans(name);
  try {
    db.Execute(essential.front());
    for (const QString& sql : optional) Try(db, sql);
    for (qsizetype i = 1; i < essential.size(); ++i) db.Execute(essential[i]);
    db.CommitTrans(name);
    return true;
  } catch (const RWError&) {
    try {
      db.RollbackTrans(name);
    } catch (const RWError&) {
    }
    return false;
  }
}

}  // namespace

bool NeedsRenumbering(SqlConnection& db) {
  try {
    return db.OpenRecordset(QStringLiteral("select * from sqlite_master where name = 'vw_SearchResults'"))
               ->RecordCount() == 0;
  } catch (const RWError&) {
    return false;
  }
}

namespace {

// The name of the index the upgrade makes for its own statements.
const QString kUpgradeIndex = QStringLiteral("rw2_Upgrade_SegmentsByFile");

// The upgrade's statements look each file's segments up by FileID: a rating
// taken from a file's whole-file segment, details moved from files to their
// segments, each file's whole-file segment found when files are renumbered.
// Layouts older than the index of segments by file have none, and each
// look-up then read every segment: the upgrade grew with the square of the
// library (minutes for 20,000 files). Such a layout gets an index of the
// upgrade's own, dropped again at its end (DropUpgradeIndex), so that the
// stored layout is the one the upgrade makes. True when it was made.
bool MakeUpgradeIndex(SqlConnection& db) {
  try {
    SqlRecordset led(db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM pragma_index_list('VideoSegments') L, "
                                        "pragma_index_info(L.name) I WHERE I.seqno = 0 AND "
                                        "lower(I.name) = 'fileid')"));
    if (led.Value(0).toInt() == 1) return false;
  } catch (const RWError&) {
    return false;
  }
  return Try(db, QStringLiteral("CREATE INDEX %1 ON VideoSegments (FileID, FileFlag)").arg(kUpgradeIndex));
}

void DropUpgradeIndex(SqlConnection& db) { Try(db, QStringLiteral("DROP INDEX IF EXISTS %1").arg(kUpgradeIndex)); }

}  // namespace

UpgradeReport UpgradeLibrarySchema(SqlConnection& db) {
  UpgradeReport report;
  const bool indexed = MakeUpgradeIndex(db);
  AddVersionTable(db);
  AddTagBehaviour(db);
  RebuildTagCloudTable(db);
  AddFileRating(db);
  AddDeviceFriendlyName(db);
  AddFileLocations(db);
  AddSegmentOnline(db);
  MoveFileDetailsToSegments(db);
  AddTagStructureFileFlag(db);
  MoveThumbnailsToSegments(db);
  AddTagCategory(db);
  AddKeypadText(db);
  if (NeedsRenumbering(db) && !RenumberFiles(db)) {
    report.renumberingFailed = true;
    report.problem = QStringLiteral(
        "This Library could not be converted to the current file numbering, so it has been left as it was.");
  }
  if (!Has(db, QStringLiteral("SELECT DateAdded from VideoFiles"))) {
    TryAll(db, {QStringLiteral("ALTER TABLE VideoFiles ADD COLUMN DateAdded date;"),
                QStringLiteral("UPDATE VideoFiles SET DateAdded = DateTime;")});
    report.resizeThumbnails = true;
  }
  if (indexed) DropUpgradeIndex(db);
  return report;
}

void StampLibraryVersion(SqlConnection& db) {
  Try(db, QStringLiteral("DELETE FROM VersionData"));
  Try(db, QStringLiteral("INSERT INTO VersionData VALUES (%1,%2,%3, '%4')")
              .arg(kProgramMajor)
              .arg(kProgramMinor)
              .arg(kProgramRevision)
              .arg(QLatin1String(kProgramReleaseStatus)));
}

namespace {

// The tags that reach one another over links (a synonym pair, a cycle of
// links), with their circle's number, in a table of the connection's own.
// Links whose ends are not whole numbers lead to no tag (the clean-up before
// removes them). A failure leaves the table missing, and with it the
// removal of implied tags below.
void WriteTagCircles(SqlConnection& db) {
  try {
    db.Execute(
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS TagCircles (TagID INTEGER PRIMARY KEY, Circle integer);"
                       "DELETE FROM temp.TagCircles"));
    std::vector<std::pair<int64_t, int64_t>> links;
    SqlCommand rows(db, QStringLiteral("SELECT TagID, LinkedTag FROM TagLinks WHERE typeof(TagID) = 'integer' AND "
                                       "typeof(LinkedTag) = 'integer'"));
    while (rows.Step()) links.emplace_back(rows.ColumnInt(0), rows.ColumnInt(1));
    SqlCommand insert(db, QStringLiteral("INSERT INTO temp.TagCircles VALUES (?, ?)"));
    for (const auto& [tagId, circle] : TagCircles(links)) {
      insert.Bind(1, tagId);
      insert.Bind(2, circle);
      insert.Execute();
    }
  } catch (const RWError&) {
    Try(db, QStringLiteral("DROP TABLE temp.TagCircles"));
  }
}

// A tag is removed from a segment when another tag of the segment links to it.
// Tags that imply each other (a synonym pair, a cycle of links) would all go
// that way; of such a group the one with the lowest TagID stays.
//
// The rows to remove are found in one pass over the segment tags in key order
// (the IS NOT NULL lets SQLite walk the key's index, which no match can miss).
// Only a tag that some link points at can be implied, which a look in the
// small list of link targets tells; for such a tag the other tags of its
// segment, read beside it, are checked for a link to it. Asking "is this row
// implied?" of every row looked the row's segment up anew, in no order, which
// grew faster than the library. A tag linked to from another reaches it back
// only when both are on one circle of links, so the circles, found once,
// answer every question of reach; a list of every tag's whole reach grew
// with the square of the depth of the hierarchy.
void RemoveImpliedSegmentTags(SqlConnection& db) {
  WriteTagCircles(db);
  TryAll(db, {QStringLiteral(
                  "DELETE FROM SegmentTags WHERE (SegmentID, TagID) IN (SELECT S.SegmentID, S.TagID FROM "
                  "SegmentTags S CROSS JOIN SegmentTags Y CROSS JOIN TagLinks L WHERE S.SegmentID IS NOT NULL AND "
                  "S.TagID IN (SELECT LinkedTag FROM TagLinks) AND Y.SegmentID = S.SegmentID AND L.TagID = Y.TagID "
                  "AND L.LinkedTag = S.TagID AND L.TagID <> S.TagID AND (NOT EXISTS (SELECT 1 FROM temp.TagCircles "
                  "A, temp.TagCircles B WHERE A.TagID = S.TagID AND B.TagID = L.TagID AND B.Circle = A.Circle) OR "
                  "EXISTS (SELECT 1 FROM temp.TagCircles A, SegmentTags Z, temp.TagCircles B WHERE A.TagID = "
                  "S.TagID AND Z.SegmentID = S.SegmentID AND Z.TagID < S.TagID AND B.TagID = Z.TagID AND B.Circle "
                  "= A.Circle)))"),
              QStringLiteral("DROP TABLE temp.TagCircles")});
}

// A reference the clean-up keeps true: every row of `table` names in
// `column` a `key` of `parent`; a row naming none is removed by `step`, as is
// a row whose `needed` column is empty (a thumbnail without a picture), so
// only the rows that hold one are looked up (from the index of pictures, in
// the order of their numbers).
struct Reference {
  unsigned step;
  QString table;
  QString column;
  QString parent;
  QString key;
  QString needed;
};

// In the clean-up's order: thumbnails, links, segments, segment tags.
const std::vector<Reference>& References() {
  static const std::vector<Reference> references = {
      {kSweepThumbnails, QStringLiteral("SegmentThumbnails"), QStringLiteral("SegmentID"),
       QStringLiteral("VideoSegments"), QStringLiteral("SegmentID"), QStringLiteral("Thumbnail")},
      {kSweepLinks, QStringLiteral("TagLinks"), QStringLiteral("TagID"), QStringLiteral("Tags"),
       QStringLiteral("TagID"), QString()},
      {kSweepLinks, QStringLiteral("TagLinks"), QStringLiteral("LinkedTag"), QStringLiteral("Tags"),
       QStringLiteral("TagID"), QString()},
      {kSweepSegments, QStringLiteral("VideoSegments"), QStringLiteral("FileID"), QStringLiteral("VideoFiles"),
       QStringLiteral("FileID"), QString()},
      {kSweepSegmentTags, QStringLiteral("SegmentTags"), QStringLiteral("SegmentID"),
       QStringLiteral("VideoSegments"), QStringLiteral("SegmentID"), QString()}};
  return references;
}

// The distinct numbers the rows refer to that name nothing, read in order
// from the column's index, so each is looked up once and in order, not once
// per row at random; a row without a number refers to nothing too.
QString Dangling(const Reference& r) {
  const QString kept = r.needed.isEmpty() ? QString() : QStringLiteral(" WHERE %1 IS NOT NULL").arg(r.needed);
  return QStringLiteral("SELECT D.%2 FROM (SELECT DISTINCT %2 FROM %1%5) D LEFT JOIN %3 P ON P.%4 = D.%2 WHERE P.%4 IS "
                        "NULL")
      .arg(r.table, r.column, r.parent, r.key, kept);
}

// Thumbnails without a picture exist when the table holds more rows than its
// pictures: both counted from indexes, without reading a picture.
constexpr const char* kThumbnailsWithoutPicture =
    "SELECT (SELECT count(*) FROM SegmentThumbnails) - (SELECT count(*) FROM SegmentThumbnails WHERE Thumbnail IS "
    "NOT NULL)";

// A segment tag can be implied only when its tag is one another tag links
// to; the tag steps' index on tags, once made, finds those without reading
// every row.
constexpr const char* kTagsLinkedTo =
    "SELECT EXISTS (SELECT 1 FROM SegmentTags WHERE TagID IN (SELECT LinkedTag FROM TagLinks))";

bool TableWritten(const SqlWrites& writes, const QString& table) {
  const QString name = table.toLower();
  if (writes.rowsAdded.contains(name) || writes.rowsRemoved.contains(name)) return true;
  const QString prefix = name + QLatin1Char('.');
  for (const QString& column : writes.columnsUpdated) {
    if (column.startsWith(prefix)) return true;
  }
  return false;
}

bool ColumnsUpdated(const SqlWrites& writes, const char* table, std::initializer_list<const char*> columns) {
  for (const char* column : columns) {
    if (writes.Updated(QLatin1String(table), QLatin1String(column))) return true;
  }
  return false;
}

}  // namespace

unsigned UpkeepAfterWrites(const SqlWrites& writes) {
  unsigned steps = TableWritten(writes, QStringLiteral("VersionData")) ? kUpgradeSchema : 0u;
  for (const Reference& r : References()) {
    if (writes.rowsAdded.contains(r.table.toLower()) || writes.Updated(r.table.toLower(), r.column.toLower()) ||
        writes.rowsRemoved.contains(r.parent.toLower()) || writes.Updated(r.parent.toLower(), r.key.toLower())) {
      steps |= r.step;
    }
  }
  if (writes.rowsAdded.contains(QStringLiteral("segmentthumbnails")) ||
      ColumnsUpdated(writes, "segmentthumbnails", {"thumbnail"})) {
    steps |= kSweepThumbnails;
  }
  if (writes.rowsAdded.contains(QStringLiteral("segmenttags")) ||
      writes.rowsAdded.contains(QStringLiteral("taglinks")) ||
      ColumnsUpdated(writes, "segmenttags", {"segmentid", "tagid"}) ||
      ColumnsUpdated(writes, "taglinks", {"tagid", "linkedtag"})) {
    steps |= kSweepImpliedTags;
  }
  if (TableWritten(writes, QStringLiteral("FileLocations")) ||
      writes.rowsAdded.contains(QStringLiteral("videofiles")) ||
      writes.rowsAdded.contains(QStringLiteral("videosegments")) ||
      ColumnsUpdated(writes, "videofiles", {"fileid", "diskserialno", "filepath", "currentpath"}) ||
      ColumnsUpdated(writes, "videosegments", {"fileid", "online"})) {
    steps |= kMapPaths;
  }
  return steps;
}

namespace {

// The first table whose row numbers reach beyond 32 bits, or down to 0 or
// below, as "Table.Column"; each table's smallest and largest number are the
// ends of its tree. The program numbers rows from 1 and takes 0 for "none":
// a row numbered 0 or below would be read as no row, or be left out of every
// view without a word.
std::optional<TableColumn> KeyOutOfRange(SqlConnection& db) {
  const std::pair<const char*, const char*> keys[] = {
      {"VideoFiles", "FileID"}, {"VideoSegments", "SegmentID"}, {"Tags", "TagID"}};
  for (const auto& [table, column] : keys) {
    try {
      // One look-up each: SQLite reads a lone max() or min() off the tree's
      // end, but scans the table for the two together.
      SqlRecordset found(db, QStringLiteral("SELECT ifnull((SELECT max(%2) FROM %1) > 2147483647, 0) OR "
                                            "ifnull((SELECT min(%2) FROM %1) < 1, 0)")
                                 .arg(QLatin1String(table), QLatin1String(column)));
      if (found.Value(0).toInt() == 1) return TableColumn{QLatin1String(table), QLatin1String(column)};
    } catch (const RWError& error) {
      // A layout without the table or column: the open's other checks tell.
      // Any other failure is no answer to the question, and is told.
      if (error.Kind() != FaultKind::Mismatch) throw;
    }
  }
  return std::nullopt;
}

// The condition of a partial index, as its statement in the file states it:
// what follows the list of its columns. Empty when there is none, or when
// the statement does not read as one (the index is then left to SQLite's
// own comparison).
QString PartialCondition(const QString& statement) {
  qsizetype at = statement.indexOf(QLatin1Char('('));
  if (at < 0) return QString();
  int depth = 0;
  QChar quote;
  for (; at < statement.size(); ++at) {
    const QChar c = statement.at(at);
    if (!quote.isNull()) {
      if (c == quote) quote = QChar();
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
      quote = c;
    } else if (c == QLatin1Char('[')) {
      quote = QLatin1Char(']');
    } else if (c == QLatin1Char('(')) {
      ++depth;
    } else if (c == QLatin1Char(')') && --depth == 0) {
      break;
    }
  }
  const QString rest = statement.mid(at + 1).trimmed();
  if (!rest.startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive) || rest.size() < 6 || !rest.at(5).isSpace()) {
    return QString();
  }
  return rest.mid(6).trimmed();
}

// The indexes of `table` whose entries can be compared with its rows by a
// fold: each a plain list of the table's columns, over every row or, for a
// partial index, over the rows its condition holds. A UNIQUE index is folded
// as any other: a row another program wrote past it is missing from it,
// whatever its rule. Empty when any index of the table lists an expression,
// or has a condition that cannot be read: the table is then left to SQLite's
// own comparison.
struct FoldedIndex {
  QString name;
  QString columns;    // the indexed columns and the row number, as the index holds them
  QString condition;  // a partial index's; empty for one over every row
};

std::vector<FoldedIndex> FoldableIndexes(SqlConnection& db, const QString& table, bool& foldable) {
  std::vector<FoldedIndex> indexes;
  foldable = true;
  SqlRecordset list(db, QStringLiteral("SELECT L.name, L.partial, M.sql FROM pragma_index_list(%1) L LEFT JOIN "
                                       "main.sqlite_master M ON M.type = 'index' AND M.name = L.name")
                            .arg(SqlQuote(table)));
  for (; !list.Eof() && foldable; list.MoveNext()) {
    FoldedIndex index{list.Value(0).toString(), QString(), QString()};
    if (list.Value(1).toInt() != 0) {
      index.condition = PartialCondition(list.Value(2).toString());
      if (index.condition.isEmpty()) foldable = false;
    }
    SqlRecordset columns(
        db, QStringLiteral("SELECT cid, name FROM pragma_index_info(%1) ORDER BY seqno").arg(SqlQuote(index.name)));
    for (; !columns.Eof() && foldable; columns.MoveNext()) {
      if (columns.Value(0).toInt() < 0) foldable = false;  // an expression, not a column
      index.columns += SqlIdentifier(columns.Value(1).toString()) + QLatin1Char(',');
    }
    index.columns += QLatin1String("_rowid_");
    indexes.push_back(index);
  }
  return indexes;
}

bool TableMatchesItsIndexes(SqlConnection& db, const QString& table) {
  SqlRecordset check(db, QStringLiteral("PRAGMA integrity_check(%1)").arg(SqlIdentifier(table)));
  return check.Eof() || check.Value(0).toString() == QLatin1String("ok");
}

// Whether the entries of every index of `table` are its rows: the rows read
// off the table (in one pass, each partial index's share by its condition)
// and off each index, folded (rw_fold), must agree in number and
// fingerprint. This is the comparison SQLite's integrity check makes,
// without looking up every row in every index; the pages themselves are the
// page check's to look at. A condition SQLite cannot read the index by
// leaves the table to SQLite's own comparison. The pass over the table
// answers `question` (an aggregate over its rows) as well, into `answer`;
// a question the layout cannot answer is left unanswered.
bool IndexesMatchRows(SqlConnection& db, const QString& table, const QString& question,
                      std::optional<int64_t>& answer) {
  bool foldable = false;
  const std::vector<FoldedIndex> indexes = FoldableIndexes(db, table, foldable);
  if (!foldable) return TableMatchesItsIndexes(db, table);
  if (indexes.empty()) return true;
  QString folds;
  for (const FoldedIndex& index : indexes) {
    const QString share =
        index.condition.isEmpty() ? QString() : QStringLiteral(" FILTER (WHERE %1)").arg(index.condition);
    folds += QStringLiteral(", count(*)%2, rw_fold(%1)%2").arg(index.columns, share);
  }
  try {
    SqlRecordset rows(db, QStringLiteral("SELECT %1%2 FROM %3 NOT INDEXED")
                              .arg(question.isEmpty() ? QStringLiteral("0") : question, folds, SqlIdentifier(table)));
    if (!question.isEmpty()) answer = rows.Value(0).toInt64();
    for (size_t i = 0; i < indexes.size(); ++i) {
      const FoldedIndex& index = indexes[i];
      const QString where = index.condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + index.condition;
      SqlRecordset entries(db, QStringLiteral("SELECT count(*), rw_fold(%1) FROM %2 INDEXED BY %3%4")
                                   .arg(index.columns, SqlIdentifier(table), SqlIdentifier(index.name), where));
      const int at = 1 + 2 * static_cast<int>(i);
      if (entries.Value(0).toInt64() != rows.Value(at).toInt64() ||
          entries.Value(1).toInt64() != rows.Value(at + 1).toInt64()) {
        return false;
      }
    }
  } catch (const RWError& error) {
    if (!question.isEmpty() && error.Kind() == FaultKind::Mismatch) return IndexesMatchRows(db, table, {}, answer);
    if (error.Kind() != FaultKind::ProgramError) throw;
    return TableMatchesItsIndexes(db, table);
  }
  return true;
}

// The folds read each table and index once, in order, and not again: a small
// cache serves them as well as the connection's large one, and the large one
// is not filled (its memory first touched, page by page) with pages read
// once. The connection's own size comes back on every way out.
class CacheForOnePass {
 public:
  explicit CacheForOnePass(SqlConnection& db) : db_(db) {
    own_ = SqlRecordset(db_, QStringLiteral("PRAGMA cache_size")).Value(0).toInt64();
    db_.Execute(QStringLiteral("PRAGMA cache_size = -1024"));
  }
  ~CacheForOnePass() {
    try {
      db_.Execute(QStringLiteral("PRAGMA cache_size = %1").arg(own_));
    } catch (...) {
      // A connection that cannot take a pragma fails its next statement too.
    }
  }
  CacheForOnePass(const CacheForOnePass&) = delete;
  CacheForOnePass& operator=(const CacheForOnePass&) = delete;

 private:
  SqlConnection& db_;
  int64_t own_ = 0;
};

// The clean-up's two questions about every row of a table, answered in the
// comparison's pass over it when that pass is made: segment tags whose tag
// another tag links to (see kTagsLinkedTo), and thumbnails without a picture
// (see kThumbnailsWithoutPicture).
constexpr const char* kTagsLinkedToInPass = "count(*) FILTER (WHERE TagID IN (SELECT LinkedTag FROM TagLinks))";
constexpr const char* kThumbnailsWithoutPictureInPass = "count(*) - count(Thumbnail)";

struct PassAnswers {
  std::optional<int64_t> linkedTo;
  std::optional<int64_t> withoutPicture;
};

// The first table whose indexes do not match its rows: the tables of files,
// segments, tags, links, devices and saved views, whose indexes the survey
// and the open look rows up through, and the segment tags and thumbnails,
// whose indexes the tree's nodes, the searches and the thumbnails' look-ups
// read (an index lacking rows would leave tagged files out of their node and
// thumbnails out of reach, while the clean-up and every change went on into
// the damaged file). The thumbnails' rows are read without their pictures.
QString IndexMismatch(SqlConnection& db, PassAnswers& answers) {
  const CacheForOnePass cache(db);
  for (const char* table : {"VideoFiles", "VideoSegments", "Tags", "TagLinks", "FileLocations", "Views", "SegmentTags",
                            "SegmentThumbnails"}) {
    const QString name = QLatin1String(table);
    const bool tags = name == QLatin1String("SegmentTags");
    const bool thumbnails = name == QLatin1String("SegmentThumbnails");
    const QString question = tags ? QLatin1String(kTagsLinkedToInPass)
                             : thumbnails ? QLatin1String(kThumbnailsWithoutPictureInPass)
                                          : QString();
    std::optional<int64_t> unasked;
    std::optional<int64_t>& answer = tags ? answers.linkedTo : thumbnails ? answers.withoutPicture : unasked;
    try {
      if (!IndexesMatchRows(db, name, question, answer)) return name;
    } catch (const RWError& error) {
      // A layout without the table: the open's other checks tell.
      if (error.Kind() != FaultKind::Mismatch) throw;
    }
  }
  return QString();
}

}  // namespace

OrphanSurvey SurveyOrphans(SqlConnection& db, unsigned steps) {
  OrphanSurvey survey;
  PassAnswers answers;
  // Only a file another program may have written is looked at: the
  // program's own new rows are numbered through LastInsertRowNumber.
  if (steps & kOrphanSweeps) {
    survey.damagedIndex = IndexMismatch(db, answers);
    survey.keyOutOfRange = KeyOutOfRange(db);
  }
  survey.sweeps = steps & kSweepImpliedTags;
  for (const Reference& r : References()) {
    if (!(steps & r.step)) continue;
    try {
      SqlRecordset found(db, QStringLiteral("SELECT count(*), ifnull(max(typeof(%1) NOT IN ('integer', 'null')), 0) "
                                            "FROM (%2)")
                                 .arg(r.column, Dangling(r)));
      if (found.Value(0).toInt() > 0) survey.sweeps |= r.step;
      if (found.Value(1).toInt() == 1 && !survey.damagedKey) survey.damagedKey = TableColumn{r.table, r.column};
    } catch (const RWError& error) {
      if (error.Kind() != FaultKind::Mismatch) throw;
      survey.sweeps |= r.step;  // a layout without the column: the sweep tries it
    }
  }
  const auto found = [&db](const char* sql, const std::optional<int64_t>& answered) {
    if (answered) return *answered > 0;
    try {
      return SqlRecordset(db, QLatin1String(sql)).Value(0).toInt() > 0;
    } catch (const RWError& error) {
      if (error.Kind() != FaultKind::Mismatch) throw;
      return true;  // a layout without the table: the sweep tries it
    }
  };
  if ((steps & kSweepThumbnails) && found(kThumbnailsWithoutPicture, answers.withoutPicture)) {
    survey.sweeps |= kSweepThumbnails;
  }
  if ((steps & kSweepImpliedTags) && !found(kTagsLinkedTo, answers.linkedTo)) survey.sweeps &= ~kSweepImpliedTags;
  return survey;
}

namespace {

// The statement that removes the rows of a reference that refer to nothing.
// Rows with an empty `needed` column go in the same pass, in which each row
// is looked up in key order, as a pass over thumbnails reads every stored
// picture anyway.
QString Sweep(const Reference& r) {
  if (!r.needed.isEmpty()) {
    return QStringLiteral("DELETE FROM %1 WHERE %5 IS NULL OR %2 NOT IN (SELECT %4 FROM %3)")
        .arg(r.table, r.column, r.parent, r.key, r.needed);
  }
  return QStringLiteral("DELETE FROM %1 WHERE %2 IS NULL OR %2 IN (%3 AND D.%2 IS NOT NULL)")
      .arg(r.table, r.column, Dangling(r));
}

}  // namespace

// Should a pass fail (a library without segments), rows with an empty
// `needed` column still go on their own.
void RemoveOrphanRows(SqlConnection& db, unsigned steps) {
  for (const Reference& r : References()) {
    if (!(steps & r.step)) continue;
    if (!Try(db, Sweep(r))) {
      if (!r.needed.isEmpty()) Try(db, QStringLiteral("DELETE FROM %1 WHERE %2 IS NULL").arg(r.table, r.needed));
      continue;
    }
    // Segments removed leave their tags referring to nothing.
    if (r.step == kSweepSegments && db.RowsChanged() > 0) steps |= kSweepSegmentTags;
  }
  if (steps & kSweepImpliedTags) RemoveImpliedSegmentTags(db);
}

void AddPictureIndex(SqlConnection& db) {
  Try(db, QStringLiteral("CREATE INDEX IF NOT EXISTS rw2_SegmentThumbnails_Pictures ON SegmentThumbnails "
                         "(SegmentID) WHERE Thumbnail IS NOT NULL"));
}
