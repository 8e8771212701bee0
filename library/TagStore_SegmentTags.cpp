// The tags a file or segment carries, explicit and implied, with their
// categories, in TEMP_FileTagStructure and as text.
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <tuple>
#include <vector>

namespace TagStore {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// An explicit tag of the scope: a tag on both the whole-file segment and a
// sub-segment counts as on the file (the highest flag, 'Y', is kept; a
// missing flag reads as '').
struct ExplicitTag {
  int32_t tagId = 0;
  QString fileFlag;
  bool viaSegment = false;
};

std::vector<ExplicitTag> ReadExplicitTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  const QString file = QString::number(fileId);
  const QString scope = wholeFile ? QStringLiteral("AND VS.FileID = ") + file
                                  : QStringLiteral("AND ((VS.FileFlag = 'Y' AND VS.FileID = %1) OR VS.SegmentID = %2)")
                                        .arg(file, QString::number(segmentId));
  SqlRecordset rows(db, QStringLiteral("SELECT ST.TagID, MAX(IFNULL(VS.FileFlag, '')) FROM SegmentTags ST, Tags T, "
                                       "VideoSegments VS WHERE ST.TagID = T.TagID AND ST.SegmentID = VS.SegmentID ") +
                            scope + QStringLiteral(" GROUP BY ST.TagID ORDER BY ST.TagID"));
  std::vector<ExplicitTag> tags;
  for (; !rows.Eof(); rows.MoveNext()) {
    const QString flag = rows.Value(1).toString();
    tags.push_back({rows.Value(0).toInt(), flag, flag.isEmpty()});
  }
  return tags;
}

QString IdList(const std::vector<int32_t>& ids) {
  QString list;
  for (int32_t id : ids) {
    if (!list.isEmpty()) list += u',';
    list += QString::number(id);
  }
  return list;
}

// The links out of the tags met, to tags that exist.
class Links {
 public:
  void Add(int32_t from, int32_t to) { links_[from].push_back(to); }
  const std::vector<int32_t>& From(int32_t tag) const {
    static const std::vector<int32_t> kNone;
    const auto it = links_.constFind(tag);
    return it == links_.cend() ? kNone : *it;
  }

 private:
  QHash<int32_t, std::vector<int32_t>> links_;
};

// Every tag the explicit tags reach over links of either letter, read in one
// recursive query with what the walk and the categories need of it: its
// row, its lowest parent and its links to tags that exist.
void ReadReachableTags(SqlConnection& db, const QString& explicitTags, Links& links,
                       QHash<int32_t, TagPlacement::Node>& nodes) {
  SqlRecordset rows(
      db, QStringLiteral("WITH RECURSIVE Reachable(TagID) AS (SELECT TagID FROM Tags WHERE TagID IN (") +
              explicitTags +
              QStringLiteral(") UNION SELECT TL.LinkedTag FROM Reachable R, TagLinks TL, Tags T WHERE TL.TagID = "
                             "R.TagID AND T.TagID = TL.LinkedTag) SELECT T.TagID, T.Tag, T.Type, (SELECT "
                             "MIN(LinkedTag) FROM TagLinks TL WHERE TL.TagID = T.TagID AND TL.Relationship = 'P'), "
                             "(SELECT group_concat(TL.LinkedTag) FROM TagLinks TL, Tags L WHERE TL.TagID = T.TagID "
                             "AND L.TagID = TL.LinkedTag) FROM Reachable R, Tags T WHERE T.TagID = R.TagID"));
  for (; !rows.Eof(); rows.MoveNext()) {
    const int32_t tag = rows.Value(0).toInt();
    nodes.insert(tag, TagPlacement::Node{rows.Value(1).toString(), rows.Value(2).toString(), rows.Value(3).toInt(),
                                         true, rows.Value(2).IsNull()});
    const QString linked = rows.Value(4).toString();
    for (const QStringView to : QStringView(linked).split(u',', Qt::SkipEmptyParts)) links.Add(tag, to.toInt());
  }
}

// A tag reached from an explicit tag over `steps` links, the fewest it can
// be reached over.
struct Reached {
  int32_t explicitTag = 0;
  int32_t tagId = 0;
  int steps = 0;
};

// Phase 1: from every explicit tag, each tag its links reach (links of
// either letter), level by level; a tag already reached from the same
// explicit tag is passed over, which also ends the walk where links run in a
// circle.
std::vector<Reached> Walk(const Links& links, const std::vector<ExplicitTag>& explicitTags) {
  std::vector<Reached> reached;
  std::vector<QSet<int32_t>> seen(explicitTags.size());
  std::vector<std::vector<int32_t>> frontier(explicitTags.size());
  for (size_t e = 0; e < explicitTags.size(); ++e) {
    const int32_t tag = explicitTags[e].tagId;
    reached.push_back({tag, tag, 0});
    seen[e].insert(tag);
    frontier[e].push_back(tag);
  }
  for (int steps = 1;; ++steps) {
    bool any = false;
    for (size_t e = 0; e < explicitTags.size(); ++e) {
      std::vector<int32_t> next;
      for (int32_t from : frontier[e]) {
        for (int32_t to : links.From(from)) {
          if (seen[e].contains(to)) continue;
          seen[e].insert(to);
          next.push_back(to);
          reached.push_back({explicitTags[e].tagId, to, steps});
        }
      }
      any = any || !next.empty();
      frontier[e] = std::move(next);
    }
    if (!any) break;
  }
  return reached;
}

// Phases 1 and 2 into TEMP_FileTagStructure: one row per explicit tag and
// tag it reaches, with both tags' categories (an explicit tag's own is used
// even when its row is left out: a category, folder or playlist put on the
// segment). The tiers of a folder's ancestors start at 1 (what lies above a
// folder is shown as if put on the segment itself), those of other tags at
// 2. Categories, folders, playlists and saved items carried the walk upwards
// but are no tags themselves, so they get no row.
// One row of the text, with the keys the structure's rows are read in:
// SQLite compares text as UTF-8 bytes.
struct TextRow {
  bool viaSegment = false;
  QByteArray explicitCategory;
  int32_t explicitTag = 0;
  int tier = 0;
  QByteArray categoryKey;
  QByteArray tagKey;
  int32_t tagId = 0;
  QString category;
  QString tag;

  auto Key() const { return std::tie(viaSegment, explicitCategory, explicitTag, tier, categoryKey, tagKey, tagId); }
};

std::vector<TextRow> CollectTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  db.Execute(QStringLiteral("DELETE from TEMP_FileTagStructure"));
  const std::vector<ExplicitTag> explicitTags = ReadExplicitTags(db, wholeFile, fileId, segmentId);
  if (explicitTags.empty()) return {};
  std::vector<int32_t> ids;
  for (const ExplicitTag& tag : explicitTags) ids.push_back(tag.tagId);
  Links links;
  QHash<int32_t, TagPlacement::Node> nodes;
  ReadReachableTags(db, IdList(ids), links, nodes);
  const std::vector<Reached> reached = Walk(links, explicitTags);
  const TagPlacement placement(db, std::move(nodes));
  QHash<int32_t, QString> categories;
  const auto category = [&](int32_t tag) -> const QString& {
    auto it = categories.constFind(tag);
    if (it == categories.cend()) it = categories.insert(tag, placement.CategoryName(tag));
    return *it;
  };
  QHash<int32_t, const ExplicitTag*> byTag;
  for (const ExplicitTag& tag : explicitTags) byTag.insert(tag.tagId, &tag);

  // The rows GetSegmentTags keeps: tags of type 'T' or none.
  const auto isTag = [&](int32_t tag) {
    const TagPlacement::Node* node = placement.Find(tag);
    return node && (node->typeIsNull || node->type == QLatin1String("T"));
  };
  const auto isFolder = [&](int32_t tag) {
    const TagPlacement::Node* node = placement.Find(tag);
    return node && node->type == QLatin1String("F");
  };
  struct Row {
    const Reached* reached;
    int tier;
  };
  std::vector<Row> rows;
  rows.reserve(reached.size());
  for (const Reached& r : reached) {
    if (!isTag(r.tagId)) continue;
    rows.push_back({&r, r.steps == 0 ? 1 : r.steps + (isFolder(r.explicitTag) ? 0 : 1)});
  }
  // Explicit tag by explicit tag, tier by tier.
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return std::tie(a.reached->explicitTag, a.tier, a.reached->tagId) <
           std::tie(b.reached->explicitTag, b.tier, b.reached->tagId);
  });
  auto insert = db.Prepare(QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (ExplicitTagID, TagID, Tag, Tier, Type, FileFlag, ViaSegment, TagCategory, "
      "ExplicitTagCategory) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  std::vector<TextRow> text;
  text.reserve(rows.size());
  for (const Row& row : rows) {
    const Reached& r = *row.reached;
    const ExplicitTag& from = *byTag.value(r.explicitTag);
    const TagPlacement::Node& node = *placement.Find(r.tagId);
    insert->Bind(1, r.explicitTag);
    insert->Bind(2, r.tagId);
    insert->Bind(3, node.name);
    insert->Bind(4, row.tier);
    insert->Bind(5, node.typeIsNull ? SqlValue() : SqlValue(node.type));
    insert->Bind(6, r.steps == 0 ? from.fileFlag : QStringLiteral("N"));
    insert->Bind(7, from.viaSegment);
    insert->Bind(8, category(r.tagId));
    insert->Bind(9, category(r.explicitTag));
    insert->Execute();
    const QString tagCategory = category(r.tagId);
    const QString explicitCategory = category(r.explicitTag);
    text.push_back({from.viaSegment, explicitCategory.toUtf8(), r.explicitTag, row.tier, tagCategory.toUtf8(),
                    node.name.toUtf8(), r.tagId, tagCategory, node.name});
  }
  return text;
}

// Phase 3, from the rows just written, in the order of ViaSegment,
// ExplicitTagCategory, ExplicitTagID, Tier, TagCategory, Tag and TagID: file
// tags (ViaSegment 0) before those of a sub-segment (1); name and id settle
// what the grouping leaves open.
QString TagText(std::vector<TextRow> rows, bool verbose) {
  if (rows.empty()) return verbose ? kCrLf + QStringLiteral("No Tags") + kCrLf : QStringLiteral("--No Tags");
  std::sort(rows.begin(), rows.end(), [](const TextRow& a, const TextRow& b) { return a.Key() < b.Key(); });
  QString text;
  QString previousCategory;
  for (const TextRow& row : rows) {
    const bool implied = row.tier > 1;
    if (!verbose) {
      text += implied ? QStringLiteral(", ***") + row.tag + QStringLiteral("***") : QStringLiteral(", ") + row.tag;
    } else if (!implied) {
      text += kCrLf + kCrLf + row.category + QStringLiteral(": ") + row.tag;
    } else if (row.category != previousCategory) {
      text += kCrLf + QStringLiteral("        - ") + row.category + QStringLiteral(": ") + row.tag;
    } else {
      text += QStringLiteral(", ") + row.tag;
    }
    previousCategory = row.category;
  }
  return verbose ? text.mid(2) + kCrLf : text;
}

}  // namespace

QString GetSegmentTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId, bool verbose,
                       bool structureOnly) {
  TransactionGuard guard(db, QStringLiteral("GST"));
  std::vector<TextRow> rows = CollectTags(db, wholeFile, fileId, segmentId);
  guard.Commit();
  return structureOnly ? QString() : TagText(std::move(rows), verbose);
}

}  // namespace TagStore
