// The tags a file or segment carries, explicit and implied, with their
// categories, in TEMP_FileTagStructure and as text.
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"

#include <QHash>

namespace TagStore {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Adds the tags reached from one explicit tag over links of either letter,
// one tier per pass, each at the tier where it is first reached; the NOT
// EXISTS test also ends the walk where links run in a circle.
void AddImpliedTags(SqlCommand& addTier, SqlConnection& db, int32_t explicitTag, int tier) {
  addTier.Bind(2, explicitTag);
  do {
    addTier.Bind(1, ++tier);
    addTier.Execute();
  } while (db.RowsChanged() > 0);
}

// Phase 1: the explicit tags of the scope and what they imply; returns, per
// explicit tag, whether it comes through a sub-segment. A tag on both the
// whole-file segment and a sub-segment counts as on the file: the ordering
// reads the file's row first and the second one is passed over.
QHash<int32_t, bool> CollectTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  db.Execute(QStringLiteral("DELETE from TEMP_FileTagStructure"));
  const QString file = QString::number(fileId);
  const QString scope = wholeFile ? QStringLiteral("AND VS.FileID = ") + file
                                  : QStringLiteral("AND ((VS.FileFlag = 'Y' AND VS.FileID = %1) OR VS.SegmentID = %2)")
                                        .arg(file, QString::number(segmentId));
  SqlRecordset explicitTags(db, QStringLiteral("SELECT DISTINCT ST.TagID AS TagID, T.Tag AS Tag, Type, VS.FileFlag AS "
                                               "FileFlag FROM SegmentTags ST, Tags T, VideoSegments VS Where "
                                               "ST.TagID = T.TagID AND ST.SegmentID = VS.SegmentID ") +
                                    scope + QStringLiteral(" ORDER BY ST.TagID, FileFlag DESC"));
  auto addTier = db.Prepare(QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (TagID, Tag, Tier, ExplicitTagID, Type) SELECT DISTINCT TL.LinkedTag AS "
      "TagID, T.Tag as Tag, ?1 as Tier, ?2 as ExplicitTagID, T.Type FROM TagLinks TL, Tags T, TEMP_FileTagStructure "
      "FTS WHERE TL.TagID = FTS.TagID AND TL.LinkedTag = T.TagID AND FTS.ExplicitTagID = ?2 AND NOT EXISTS "
      "(SELECT 1 FROM TEMP_FileTagStructure WHERE TagID = TL.LinkedTag AND ExplicitTagID = ?2)"));
  QHash<int32_t, bool> viaSegment;
  for (; !explicitTags.Eof(); explicitTags.MoveNext()) {
    const int32_t tag = explicitTags.Value(0).toInt();
    if (viaSegment.contains(tag)) continue;
    const QString flag = explicitTags.Value(3).toString();
    const SqlValue& type = explicitTags.Value(2);
    viaSegment.insert(tag, flag.isEmpty());
    db.Execute(QStringLiteral("INSERT INTO TEMP_FileTagStructure (ExplicitTagID, TagID, Tag, Tier, Type, FileFlag) "
                              "VALUES (%1, %1, %2, 1, %3, %4)")
                   .arg(QString::number(tag), SqlQuote(explicitTags.Value(1).toString()),
                        type.IsNull() ? QStringLiteral("NULL") : SqlQuote(type.toString()), SqlQuote(flag)));
    // What lies above a folder is shown as if put on the segment itself.
    AddImpliedTags(*addTier, db, tag, type.toString() == QLatin1String("F") ? 0 : 1);
  }
  // Categories, folders, playlists and saved items carried the walk upwards
  // but are no tags themselves.
  db.Execute(QStringLiteral("DELETE from TEMP_FileTagStructure WHERE Type <> 'T'"));
  return viaSegment;
}

// Phase 2: each row's category and that of its explicit tag. The explicit
// tag's own values are used even when its row is gone (a category, folder or
// playlist put on the segment), so no row borrows another tag's values.
void FillCategories(SqlConnection& db, const QHash<int32_t, bool>& viaSegment) {
  const TagPlacement placement(db);
  SqlRecordset rows(db, QStringLiteral("SELECT ExplicitTagID, TagID FROM TEMP_FileTagStructure"));
  auto update = db.Prepare(QStringLiteral("UPDATE TEMP_FileTagStructure SET TagCategory = ?, ExplicitTagCategory = "
                                          "?, ViaSegment = ? WHERE ExplicitTagID = ? AND TagID = ?"));
  for (; !rows.Eof(); rows.MoveNext()) {
    const int32_t explicitTag = rows.Value(0).toInt();
    const int32_t tag = rows.Value(1).toInt();
    update->Bind(1, placement.CategoryName(tag));
    update->Bind(2, placement.CategoryName(explicitTag));
    update->Bind(3, viaSegment.value(explicitTag));
    update->Bind(4, explicitTag);
    update->Bind(5, tag);
    update->Execute();
  }
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
  FillCategories(db, CollectTags(db, wholeFile, fileId, segmentId));
  guard.Commit();
  return structureOnly ? QString() : TagText(db, verbose);
}

}  // namespace TagStore
