// The tags a file or segment carries, explicit and implied, with their
// categories, in TEMP_FileTagStructure and as text.
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

namespace TagStore {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Phase 1 in set-based statements: the explicit tags of the scope, then
// every tag their links reach (links of either letter), one link further
// per statement for all explicit tags at once, each tag at the number of
// links it is first reached over; the walk's primary key passes over a tag
// already reached, which also ends the walk where links run in a circle.
// The work lives in the temporary database for the length of one request.
void PrepareWork(SqlConnection& db) {
  db.Execute(QStringLiteral(
      "CREATE TEMP TABLE IF NOT EXISTS rw2_ExplicitTag (TagID INTEGER PRIMARY KEY, Type TEXT, FileFlag TEXT, "
      "ViaSegment INTEGER); "
      "CREATE TEMP TABLE IF NOT EXISTS rw2_TagWalk (ExplicitTagID INTEGER, TagID INTEGER, Steps INTEGER, "
      "PRIMARY KEY (ExplicitTagID, TagID)) WITHOUT ROWID; "
      "CREATE TEMP TABLE IF NOT EXISTS rw2_TagCategory (TagID INTEGER PRIMARY KEY, Category TEXT); "
      "DELETE FROM temp.rw2_ExplicitTag; DELETE FROM temp.rw2_TagWalk; DELETE FROM temp.rw2_TagCategory"));
}

// One row per explicit tag. A tag on both the whole-file segment and a
// sub-segment counts as on the file: the highest flag ('Y') is kept, and a
// missing flag reads as ''.
void ReadExplicitTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  const QString file = QString::number(fileId);
  const QString scope = wholeFile ? QStringLiteral("AND VS.FileID = ") + file
                                  : QStringLiteral("AND ((VS.FileFlag = 'Y' AND VS.FileID = %1) OR VS.SegmentID = %2)")
                                        .arg(file, QString::number(segmentId));
  db.Execute(QStringLiteral("INSERT INTO temp.rw2_ExplicitTag (TagID, Type, FileFlag, ViaSegment) SELECT ST.TagID, "
                            "T.Type, MAX(IFNULL(VS.FileFlag, '')), MAX(IFNULL(VS.FileFlag, '')) = '' FROM "
                            "SegmentTags ST, Tags T, VideoSegments VS WHERE ST.TagID = T.TagID AND ST.SegmentID = "
                            "VS.SegmentID ") +
             scope + QStringLiteral(" GROUP BY ST.TagID"));
}

void WalkLinks(SqlConnection& db) {
  db.Execute(QStringLiteral("INSERT INTO temp.rw2_TagWalk SELECT TagID, TagID, 0 FROM temp.rw2_ExplicitTag"));
  auto step = db.Prepare(QStringLiteral(
      "INSERT OR IGNORE INTO temp.rw2_TagWalk (ExplicitTagID, TagID, Steps) SELECT W.ExplicitTagID, TL.LinkedTag, ?1 "
      "FROM temp.rw2_TagWalk W, TagLinks TL, Tags T WHERE W.Steps = ?1 - 1 AND TL.TagID = W.TagID AND T.TagID = "
      "TL.LinkedTag"));
  for (int steps = 1;; ++steps) {
    step->Bind(1, steps);
    if (step->Execute() == 0) break;
  }
}

// Phase 2: the category of every tag the walk met, explicit ones included,
// so no row borrows another tag's values (a category, folder or playlist put
// on the segment leaves no row of its own).
void NameCategories(SqlConnection& db) {
  const TagPlacement placement(db, QStringLiteral("SELECT TagID FROM temp.rw2_TagWalk"));
  SqlRecordset tags(db, QStringLiteral("SELECT DISTINCT TagID FROM temp.rw2_TagWalk"));
  auto add = db.Prepare(QStringLiteral("INSERT INTO temp.rw2_TagCategory (TagID, Category) VALUES (?, ?)"));
  for (; !tags.Eof(); tags.MoveNext()) {
    const int32_t tag = tags.Value(0).toInt();
    add->Bind(1, tag);
    add->Bind(2, placement.CategoryName(tag));
    add->Execute();
  }
}

// The rows, explicit tag by explicit tag, tier by tier. The tiers of a
// folder's ancestors start at 1 (what lies above a folder is shown as if put
// on the segment itself), those of other tags at 2; implied rows take the
// column's default flag 'N'. Categories, folders, playlists and saved items
// carried the walk upwards but are no tags themselves, so they get no row.
void FillStructure(SqlConnection& db) {
  db.Execute(QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (ExplicitTagID, TagID, Tag, Tier, Type, FileFlag, ViaSegment, TagCategory, "
      "ExplicitTagCategory) SELECT W.ExplicitTagID, W.TagID, T.Tag, CASE WHEN W.Steps = 0 THEN 1 ELSE W.Steps + "
      "(E.Type IS NOT 'F') END AS Tier, T.Type, CASE WHEN W.Steps = 0 THEN E.FileFlag ELSE 'N' END, E.ViaSegment, "
      "C.Category, EC.Category FROM temp.rw2_TagWalk W, Tags T, temp.rw2_ExplicitTag E, temp.rw2_TagCategory C, "
      "temp.rw2_TagCategory EC WHERE T.TagID = W.TagID AND IFNULL(T.Type, 'T') = 'T' AND E.TagID = "
      "W.ExplicitTagID AND C.TagID = W.TagID AND EC.TagID = W.ExplicitTagID ORDER BY W.ExplicitTagID, Tier, "
      "W.TagID"));
}

void CollectTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  db.Execute(QStringLiteral("DELETE from TEMP_FileTagStructure"));
  PrepareWork(db);
  ReadExplicitTags(db, wholeFile, fileId, segmentId);
  WalkLinks(db);
  NameCategories(db);
  FillStructure(db);
}

// Phase 3. File tags (ViaSegment 0) come before those of a sub-segment (1);
// name and id settle what the grouping leaves open.
QString TagText(SqlConnection& db, bool verbose) {
  SqlRecordset rows(db, QStringLiteral("SELECT ExplicitTagID, TagID, Tag, TagCategory, Tier from "
                                       "TEMP_FileTagStructure ORDER BY ViaSegment, ExplicitTagCategory, "
                                       "ExplicitTagID, Tier, TagCategory, Tag, TagID"));
  if (rows.Eof()) return verbose ? kCrLf + QStringLiteral("No Tags") + kCrLf : QStringLiteral("--No Tags");
  QString text;
  QString previousCategory;
  for (; !rows.Eof(); rows.MoveNext()) {
    const QString tag = rows.Value(2).toString();
    const QString category = rows.Value(3).toString();
    const bool implied = rows.Value(4).toInt() > 1;
    if (!verbose) {
      text += implied ? QStringLiteral(", ***") + tag + QStringLiteral("***") : QStringLiteral(", ") + tag;
    } else if (!implied) {
      text += kCrLf + kCrLf + category + QStringLiteral(": ") + tag;
    } else if (category != previousCategory) {
      text += kCrLf + QStringLiteral("        - ") + category + QStringLiteral(": ") + tag;
    } else {
      text += QStringLiteral(", ") + tag;
    }
    previousCategory = category;
  }
  return verbose ? text.mid(2) + kCrLf : text;
}

}  // namespace

QString GetSegmentTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId, bool verbose,
                       bool structureOnly) {
  TransactionGuard guard(db, QStringLiteral("GST"));
  CollectTags(db, wholeFile, fileId, segmentId);
  guard.Commit();
  return structureOnly ? QString() : TagText(db, verbose);
}

}  // namespace TagStore
