// Segments and files: creating, moving and removing segments, tags and ratings
// on them, removing files from the library (and the disk), the result set.
#include "library/TagStore.h"

#include "core/modLaunchDoc.h"
#include "platform/ErrorGuard.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <cmath>
#include <optional>

namespace TagStore {

namespace {

const QString kSource = QStringLiteral("clsRWLibrary");

QString Number(int64_t value) { return QString::number(value); }

QString IdList(const std::vector<int32_t>& ids) {
  QStringList texts;
  for (int32_t id : ids) texts << Number(id);
  return QLatin1Char('(') + texts.join(QLatin1Char(',')) + QLatin1Char(')');
}

void RequireSeconds(double seconds) {
  if (!std::isfinite(seconds)) {
    throw RWError(kErrInvalidArgument, QStringLiteral("A segment bound must be a number of seconds"), kSource);
  }
}

void DropCached(ThumbnailCache& cache, int32_t segmentId) {
  if (cache.Exists(segmentId)) cache.Remove(segmentId);
}

// Sub-segments of the file with exactly these bounds. The bounds are compared
// as the doubles they are: text would not always read back to the same value.
std::vector<int32_t> SameBounds(SqlConnection& db, int32_t fileId, double start, double end) {
  SqlRecordset rows(db, QStringLiteral("SELECT SegmentID, SelectionStart, SelectionEnd FROM VideoSegments WHERE "
                                       "(FileFlag IS NULL OR FileFlag <> 'Y') AND FileID = %1 ORDER BY SegmentID")
                            .arg(Number(fileId)));
  std::vector<int32_t> ids;
  for (; !rows.Eof(); rows.MoveNext()) {
    if (rows.Value(1).toDouble() == start && rows.Value(2).toDouble() == end) ids.push_back(rows.Value(0).toInt());
  }
  return ids;
}

// The new row takes over what the user gave the segment it replaces.
int32_t AddSegmentRow(SqlConnection& db, int32_t fileId, double start, double end, const std::vector<int32_t>& old) {
  SqlValue rating = 0;
  SqlValue alias;
  SqlValue description;
  if (!old.empty()) {
    SqlRecordset first(db, QStringLiteral("SELECT Rating, FileAlias, Description FROM VideoSegments WHERE "
                                          "SegmentID = ") + Number(old.front()));
    rating = first.Value(0);
    alias = first.Value(1);
    description = first.Value(2);
    db.Execute(QStringLiteral("DELETE FROM VideoSegments WHERE SegmentID IN ") + IdList(old));
  }
  SqlRecordset row(db, QStringLiteral("SELECT * from VideoSegments WHERE 1=0"));
  row.AddNew();
  row.Fields(QStringLiteral("FileID")).SetValue(fileId);
  row.Fields(QStringLiteral("SelectionStart")).SetValue(start);
  row.Fields(QStringLiteral("SelectionEnd")).SetValue(end);
  row.Fields(QStringLiteral("Online")).SetValue(1);
  row.Fields(QStringLiteral("Rating")).SetValue(rating);
  row.Fields(QStringLiteral("FileAlias")).SetValue(alias);
  row.Fields(QStringLiteral("Description")).SetValue(description);
  row.Update();
  return db.LastInsertRowNumber();
}

// Tags of the replaced segments move to the new one; their result and
// thumbnail rows go, so a later segment with the same number inherits nothing.
void ReplaceSegments(SqlConnection& db, const std::vector<int32_t>& old, int32_t segmentId) {
  const QString ids = IdList(old);
  const QString id = Number(segmentId);
  db.Execute(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) SELECT %1, TagID FROM SegmentTags "
                            "WHERE SegmentID IN %2")
                 .arg(id, ids));
  db.Execute(QStringLiteral("DELETE FROM SegmentTags WHERE SegmentID IN %1 AND SegmentID <> %2").arg(ids, id));
  db.Execute(QStringLiteral("DELETE FROM SearchResults WHERE SegmentID IN ") + ids);
  db.Execute(QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID IN ") + ids);
}

}  // namespace

NewSegment CreateSegment(SqlConnection& db, double start, double end, int32_t fileId, int32_t sourceSegmentId,
                         ThumbnailCache& cache) {
  RequireSeconds(start);
  RequireSeconds(end);
  TransactionGuard guard(db, QStringLiteral("CreateSegment"));
  const std::vector<int32_t> old = SameBounds(db, fileId, start, end);
  NewSegment created{sourceSegmentId, AddSegmentRow(db, fileId, start, end, old)};
  if (!old.empty()) ReplaceSegments(db, old, created.segmentId);
  db.Execute(QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = ") + Number(created.segmentId));
  guard.Commit();

  for (int32_t id : old) DropCached(cache, id);
  DropCached(cache, created.segmentId);
  if (cache.Exists(sourceSegmentId)) cache.Add(cache.Item(sourceSegmentId), created.segmentId);
  return created;
}

void UpdateSegmentAB(SqlConnection& db, int32_t segmentId, double start, double end) {
  RequireSeconds(start);
  RequireSeconds(end);
  auto update =
      db.Prepare(QStringLiteral("UPDATE VideoSegments SET SelectionStart = ?, SelectionEnd = ? WHERE SegmentID = ?"));
  update->Bind(1, start);
  update->Bind(2, end);
  update->Bind(3, segmentId);
  update->Execute();
}

void RemoveSegment(SqlConnection& db, int32_t segmentId, ThumbnailCache& cache) {
  const QString id = Number(segmentId);
  TransactionGuard guard(db, QStringLiteral("RemoveSegment"));
  db.Execute(QStringLiteral("DELETE FROM VideoSegments WHERE SegmentID = ") + id);
  db.Execute(QStringLiteral("DELETE FROM SegmentThumbnails WHERE SegmentID = ") + id);
  db.Execute(QStringLiteral("DELETE FROM SegmentTags WHERE SegmentID = ") + id);
  db.Execute(QStringLiteral("DELETE FROM SearchResults WHERE SegmentID = ") + id);
  guard.Commit();
  DropCached(cache, segmentId);
}

bool TagSegment(SqlConnection& db, int32_t segmentId, int32_t tagId, bool remove) {
  try {
    if (remove) {
      db.Execute(QStringLiteral("DELETE from SegmentTags WHERE SegmentID = %1 AND TagID =  %2")
                     .arg(Number(segmentId), Number(tagId)));
    } else {
      db.Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (%1,%2)")
                     .arg(Number(segmentId), Number(tagId)));
    }
  } catch (const RWError& e) {
    if (!SqlConnection::IsKeyConflict(e)) throw;
    return false;  // the pair was there already
  }
  return db.RowsChanged() > 0;
}

bool RateSegment(SqlConnection& db, int16_t rating, int32_t segmentId) {
  db.Execute(QStringLiteral("Update VideoSegments SET Rating = %1 WHERE SegmentID = %2")
                 .arg(Number(rating), Number(segmentId)));
  return db.RowsChanged() > 0;
}

void DeleteSearchResults(SqlConnection& db) {
  TransactionGuard guard(db, QStringLiteral("DSR"));
  db.Execute(QStringLiteral("DELETE FROM SearchResults"));
  guard.Commit();
}

// ------------------------------------------------------------------ RemoveFile

namespace {

enum class DiskOutcome { ToDelete, AlreadyGone, Kept };

// Where the file is deleted from the disk, found without changing anything.
// A file on an offline device, or at no usable path, is kept (with a
// message), as one on a drive that does not answer.
struct DiskTarget {
  DiskOutcome outcome = DiskOutcome::AlreadyGone;
  QString path;
};

DiskTarget FindOnDisk(SqlConnection& db, int32_t fileId, QStringList& messages) {
  SqlRecordset rs(db, QStringLiteral("SELECT CurrentPath, FileName from VideoFiles VF WHERE FileID = ") +
                          Number(fileId));
  if (rs.Eof()) return {};  // removed already (a file listed twice)
  const QString folder = rs.Value(0).toString();
  const QString name = rs.Value(1).toString();
  if (folder.startsWith(QLatin1String("[Offline]"))) {
    messages << QStringLiteral("'%1' cannot be deleted as its storage device is offline:\r\n\r\n%2\r\n\r\n"
                               "It has been kept in this Library.")
                    .arg(name, folder);
    return {DiskOutcome::Kept, QString()};
  }
  const QString path = folder + name;
  if (folder.isEmpty() || QDir::isRelativePath(path)) {
    messages << QStringLiteral("'%1' cannot be deleted as its location is not known.\r\n\r\n"
                               "It has been kept in this Library.")
                    .arg(name);
    return {DiskOutcome::Kept, QString()};
  }
  auto gone = [path] { return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink(); };
  // Asked through the mount probe: a drive that does not answer keeps the
  // file, as an offline one does, instead of holding the window up.
  const std::optional<bool> goneAlready = MountProbe::CallOnPath(path, gone);
  if (!goneAlready) {
    messages << QStringLiteral("'%1' cannot be deleted as its storage device does not answer:\r\n\r\n%2\r\n\r\n"
                               "It has been kept in this Library.")
                    .arg(name, folder);
    return {DiskOutcome::Kept, QString()};
  }
  if (*goneAlready) return {};
  return {DiskOutcome::ToDelete, path};
}

// The file to the trash; false when it is still there (DeleteFileToBin has
// reported why).
bool DeleteFromDisk(const QString& path) {
  if (modLaunchDoc::DeleteFileToBin(path, false, false)) return true;
  return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
}

// Deletes the file's rows; answers its segments, whose cached pictures go
// once the rows are gone for good.
std::vector<int32_t> RemoveFileRows(SqlConnection& db, int32_t fileId) {
  const QString id = Number(fileId);
  std::vector<int32_t> segments;
  SqlRecordset rs(db, QStringLiteral("SELECT SegmentID FROM VideoSegments WHERE FileID = %1 UNION "
                                     "SELECT SegmentID FROM SegmentThumbnails WHERE FileID = %1")
                          .arg(id));
  for (; !rs.Eof(); rs.MoveNext()) segments.push_back(rs.Value(0).toInt());

  db.Execute(QStringLiteral("DELETE FROM VideoFiles WHERE FileID = ") + id);
  db.Execute(QStringLiteral("DELETE FROM SegmentTags WHERE SegmentID IN (SELECT SegmentID FROM VideoSegments "
                            "WHERE FileID = %1)")
                 .arg(id));
  db.Execute(QStringLiteral("DELETE FROM VideoSegments WHERE FileID = ") + id);
  db.Execute(QStringLiteral("DELETE FROM SearchResults WHERE FileID = ") + id);
  // Segment numbers are reused: a thumbnail left behind would show on the
  // next file or segment that gets one of them.
  db.Execute(QStringLiteral("DELETE FROM SegmentThumbnails WHERE FileID = ") + id);
  return segments;
}

// The rows of a file, read before they go: a file the trash refuses once
// they went gets them back as they were.
struct KeptRows {
  struct Table {
    QString name;
    std::vector<std::vector<SqlValue>> rows;
  };
  std::vector<Table> tables;
};

KeptRows ReadFileRows(SqlConnection& db, int32_t fileId) {
  const QString id = Number(fileId);
  const std::pair<const char*, QString> tables[] = {
      {"VideoFiles", QStringLiteral("FileID = ") + id},
      {"VideoSegments", QStringLiteral("FileID = ") + id},
      {"SegmentTags", QStringLiteral("SegmentID IN (SELECT SegmentID FROM VideoSegments WHERE FileID = %1)").arg(id)},
      {"SearchResults", QStringLiteral("FileID = ") + id},
      {"SegmentThumbnails", QStringLiteral("FileID = ") + id},
  };
  KeptRows kept;
  for (const auto& [table, where] : tables) {
    KeptRows::Table& rows = kept.tables.emplace_back(KeptRows::Table{QLatin1String(table), {}});
    SqlRecordset rs(db, QStringLiteral("SELECT * FROM %1 WHERE %2").arg(rows.name, where));
    for (; !rs.Eof(); rs.MoveNext()) {
      std::vector<SqlValue>& row = rows.rows.emplace_back();
      for (int c = 0; c < rs.FieldCount(); ++c) row.push_back(rs.Value(c));
    }
  }
  return kept;
}

void PutBackRows(SqlConnection& db, const KeptRows& kept) {
  TransactionGuard guard(db, QStringLiteral("PutBackFileRows"));
  for (const KeptRows::Table& table : kept.tables) {
    if (table.rows.empty()) continue;
    QStringList marks;
    for (size_t c = 0; c < table.rows.front().size(); ++c) marks << QStringLiteral("?");
    SqlCommand insert(db, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table.name, marks.join(QLatin1Char(','))));
    for (const std::vector<SqlValue>& row : table.rows) {
      for (size_t c = 0; c < row.size(); ++c) insert.Bind(static_cast<int>(c + 1), row[c]);
      insert.Execute();
    }
  }
  guard.Commit();
}

// One candidate file; true when its rows went. Its rows go, committed,
// before the file leaves the disk, so a library that cannot be written
// keeps the file on its disk too, and a failure later leaves no file in the
// trash that the library still lists. A file the trash refuses (which
// DeleteFileToBin tells) gets its rows back, so it stays in the library as
// on its disk; should they not go back, the message says the file stays in
// its folder, out of the library. A failure of the file's rows is reported
// and leaves every row of it, and the next file is taken; a full disk or a
// library file that cannot be written ends the whole removal.
bool RemoveOneFile(SqlConnection& db, int32_t file, const RemoveFileRequest& request,
                   std::vector<int32_t>& segments, QStringList& messages) {
  try {
    DiskTarget disk;
    if (request.deleteFromDisk) disk = FindOnDisk(db, file, messages);
    if (disk.outcome == DiskOutcome::Kept) return false;
    if (file == request.inspectedFileId && request.releaseInspected) request.releaseInspected();
    const bool fromDisk = disk.outcome == DiskOutcome::ToDelete;
    const KeptRows kept = fromDisk ? ReadFileRows(db, file) : KeptRows();
    TransactionGuard guard(db, QStringLiteral("RemoveFileRows"));
    const std::vector<int32_t> gone = RemoveFileRows(db, file);
    guard.Commit();
    if (fromDisk && !DeleteFromDisk(disk.path)) {
      try {
        PutBackRows(db, kept);
      } catch (...) {
        messages << QStringLiteral("'%1' could not be moved to the Trash, and it could not be put back in this "
                                   "Library: the file stays in its folder. Add Files adds it to the Library again.")
                        .arg(QDir::toNativeSeparators(disk.path));
        segments.insert(segments.end(), gone.begin(), gone.end());
        throw;
      }
      return false;
    }
    segments.insert(segments.end(), gone.begin(), gone.end());
    return true;
  } catch (const RWError& e) {
    messages << ErrorGuard::InOwnWords(e, Number(e.Number()) + QLatin1Char(' ') + e.Description());
    return false;
  }
}

}  // namespace

// Without the disk, the files' rows go in one transaction. With it, each
// file's rows are committed on their own before the file goes to the trash:
// a fault met at a later file leaves the files before it removed from both,
// and is handed back for the caller to tell once it has shown what is left.
RemoveFileResult RemoveFile(SqlConnection& db, const RemoveFileRequest& request, ThumbnailCache& cache) {
  RemoveFileResult result;
  const bool selection = request.fileId == 0;
  const size_t candidates = selection ? request.results.size() : 1;
  QSet<int32_t> tried;  // a file may be selected on several rows
  std::vector<int32_t> segments;
  std::optional<TransactionGuard> whole;
  if (!request.deleteFromDisk) whole.emplace(db, QStringLiteral("RemoveFile"));
  try {
    for (size_t i = 0; i < candidates; ++i) {
      const int32_t file =
          selection ? (request.results[i].selected ? request.results[i].fileId : 0) : request.fileId;
      if (file > 0 && !tried.contains(file)) {
        tried.insert(file);
        if (RemoveOneFile(db, file, request, segments, result.messages)) result.removed.push_back(file);
      }
      if (request.progress) request.progress(selection ? static_cast<int32_t>(i + 1) : request.fileId);
    }
    if (whole) whole->Commit();
  } catch (const StorageFault& fault) {
    if (whole) throw;
    result.fault = fault;
  }
  for (int32_t segment : segments) DropCached(cache, segment);
  return result;
}

}  // namespace TagStore
