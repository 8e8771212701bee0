// The tags a file or segment carries, explicit and implied, with their
// categories, in TEMP_FileTagStructure and as text.
#include "library/TagStore.h"
#include "library/TagStore_Placement.h"
#include "library/TagTextRow.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace TagStore {

namespace {

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

TagPlacement::Node ReadNode(const SqlCommand& row, int first) {
  return TagPlacement::Node{QString::fromUtf8(row.ColumnBytes(first)), QString::fromUtf8(row.ColumnBytes(first + 1)),
                            0, true, row.ColumnInt(first + 2) != 0};
}

// A JSON array of the ids, for json_each.
QString JsonList(const std::vector<int32_t>& ids) {
  QString list = QStringLiteral("[");
  for (int32_t id : ids) {
    if (list.size() > 1) list += u',';
    list += QString::number(id);
  }
  return list + u']';
}

// Every tag the explicit tags reach over links of either letter, with what
// the walk and the categories need of it: its row, its lowest parent and its
// links to tags that exist. The tags are visited breadth first, a level at a
// time: one prepared query reads the links of the whole level with their
// linked tags' rows, and a tag is put on the next level when first met, so
// each is read once however many links lead to it. (A recursive query would
// keep its queue and the tags met in temporary tables, and read every tag
// and link a second time for its result.)
void ReadReachableTags(SqlConnection& db, const std::vector<int32_t>& explicitTags, Links& links,
                       QHash<int32_t, TagPlacement::Node>& nodes) {
  std::vector<int32_t> level;
  auto seeds = db.Prepare(QStringLiteral(
      "SELECT TagID, Tag, Type, Type IS NULL FROM Tags WHERE TagID IN (SELECT value FROM json_each(?))"));
  seeds->Bind(1, JsonList(explicitTags));
  while (seeds->Step()) {
    const int32_t tag = static_cast<int32_t>(seeds->ColumnInt(0));
    nodes.insert(tag, ReadNode(*seeds, 1));
    level.push_back(tag);
  }
  auto out = db.Prepare(QStringLiteral(
      "SELECT TL.TagID, TL.LinkedTag, TL.Relationship = 'P', T.TagID IS NOT NULL, T.Tag, T.Type, T.Type IS NULL "
      "FROM json_each(?) J CROSS JOIN TagLinks TL LEFT JOIN Tags T ON T.TagID = TL.LinkedTag WHERE TL.TagID = "
      "J.value AND TL.LinkedTag IS NOT NULL"));
  QHash<int32_t, int32_t> lowestParent;  // over 'P' links, to tags that exist or not
  while (!level.empty()) {
    std::vector<int32_t> next;
    out->Bind(1, JsonList(level));
    while (out->Step()) {
      const int32_t from = static_cast<int32_t>(out->ColumnInt(0));
      const int32_t to = static_cast<int32_t>(out->ColumnInt(1));
      if (out->ColumnInt(2) != 0) {
        const auto parent = lowestParent.find(from);
        if (parent == lowestParent.end()) {
          lowestParent.insert(from, to);
        } else if (to < *parent) {
          *parent = to;
        }
      }
      if (out->ColumnInt(3) == 0) continue;  // no such tag
      links.Add(from, to);
      if (!nodes.contains(to)) {
        nodes.insert(to, ReadNode(*out, 4));
        next.push_back(to);
      }
    }
    level = std::move(next);
  }
  for (auto parent = lowestParent.cbegin(); parent != lowestParent.cend(); ++parent) {
    nodes[parent.key()].parent = parent.value();
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

// A category's name and its UTF-8, the form it is sorted by.
struct Category {
  QString name;
  QByteArray key;
};

// One row of TEMP_FileTagStructure.
struct StructureRow {
  int32_t explicitTag = 0;
  int32_t tagId = 0;
  QString tag;
  int tier = 0;
  SqlValue type;
  QString fileFlag;
  bool viaSegment = false;
  const Category* category = nullptr;
  const Category* explicitCategory = nullptr;
};

constexpr int kColumns = 9;
// Rows per INSERT: a statement of a few dozen rows is run far more cheaply
// than as many one-row statements, while a much longer one costs more to
// compile than it saves.
constexpr size_t kRowsPerInsert = 32;

std::unique_ptr<SqlCommand> PrepareInsert(SqlConnection& db, size_t rows) {
  QString sql = QStringLiteral(
      "INSERT INTO TEMP_FileTagStructure (ExplicitTagID, TagID, Tag, Tier, Type, FileFlag, ViaSegment, TagCategory, "
      "ExplicitTagCategory) VALUES ");
  for (size_t i = 0; i < rows; ++i) {
    if (i > 0) sql += u',';
    sql += QStringLiteral("(?,?,?,?,?,?,?,?,?)");
  }
  return db.Prepare(sql);
}

void BindRow(SqlCommand& insert, int first, const StructureRow& row) {
  insert.Bind(first + 1, row.explicitTag);
  insert.Bind(first + 2, row.tagId);
  insert.Bind(first + 3, row.tag);
  insert.Bind(first + 4, row.tier);
  insert.Bind(first + 5, row.type);
  insert.Bind(first + 6, row.fileFlag);
  insert.Bind(first + 7, row.viaSegment);
  insert.Bind(first + 8, row.category->name);
  insert.Bind(first + 9, row.explicitCategory->name);
}

// The rows in the order given, so they keep that order on disk.
void WriteStructure(SqlConnection& db, const std::vector<StructureRow>& rows) {
  std::unique_ptr<SqlCommand> full;
  for (size_t first = 0; first < rows.size(); first += kRowsPerInsert) {
    const size_t count = std::min(kRowsPerInsert, rows.size() - first);
    std::unique_ptr<SqlCommand> rest;
    SqlCommand* insert = nullptr;
    if (count == kRowsPerInsert) {
      if (!full) full = PrepareInsert(db, count);
      insert = full.get();
    } else {
      rest = PrepareInsert(db, count);
      insert = rest.get();
    }
    for (size_t i = 0; i < count; ++i) BindRow(*insert, static_cast<int>(i) * kColumns, rows[first + i]);
    insert->Execute();
  }
}

// Phases 1 and 2: one row per explicit tag and tag it reaches, with both
// tags' categories (an explicit tag's own is used even when its row is left
// out: a category, folder or playlist put on the segment), explicit tag by
// explicit tag, tier by tier. The tiers of a folder's ancestors start at 1
// (what lies above a folder is shown as if put on the segment itself), those
// of other tags at 2. Categories, folders, playlists and saved items carried
// the walk upwards but are no tags themselves, so they get no row.
std::vector<StructureRow> StructureRows(const TagPlacement& placement, const std::vector<ExplicitTag>& explicitTags,
                                        const std::vector<Reached>& reached,
                                        std::unordered_map<int32_t, Category>& categories) {
  const auto category = [&](int32_t tag) -> const Category* {
    auto it = categories.find(tag);
    if (it == categories.end()) {
      const QString name = placement.CategoryName(tag);
      it = categories.emplace(tag, Category{name, name.toUtf8()}).first;
    }
    return &it->second;
  };
  QHash<int32_t, const ExplicitTag*> byTag;
  for (const ExplicitTag& tag : explicitTags) byTag.insert(tag.tagId, &tag);
  std::vector<StructureRow> rows;
  rows.reserve(reached.size());
  for (const Reached& r : reached) {
    const TagPlacement::Node* explicitNode = placement.Find(r.explicitTag);
    const bool fromFolder = explicitNode && explicitNode->type == QLatin1String("F");
    // The rows GetSegmentTags keeps: tags of type 'T' or none. (A node is
    // copied before the placement is asked anything else.)
    const TagPlacement::Node* found = placement.Find(r.tagId);
    if (!found || !(found->typeIsNull || found->type == QLatin1String("T"))) continue;
    const TagPlacement::Node node = *found;
    const ExplicitTag& from = *byTag.value(r.explicitTag);
    rows.push_back({r.explicitTag, r.tagId, node.name, r.steps == 0 ? 1 : r.steps + (fromFolder ? 0 : 1),
                    node.typeIsNull ? SqlValue() : SqlValue(node.type),
                    r.steps == 0 ? from.fileFlag : QStringLiteral("N"), from.viaSegment, category(r.tagId),
                    category(r.explicitTag)});
  }
  std::sort(rows.begin(), rows.end(), [](const StructureRow& a, const StructureRow& b) {
    return std::tie(a.explicitTag, a.tier, a.tagId) < std::tie(b.explicitTag, b.tier, b.tagId);
  });
  return rows;
}

// The structure of the scope into TEMP_FileTagStructure, and its rows as
// the text reads them.
std::vector<TagTextRow> CollectTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId) {
  db.Execute(QStringLiteral("DELETE from TEMP_FileTagStructure"));
  const std::vector<ExplicitTag> explicitTags = ReadExplicitTags(db, wholeFile, fileId, segmentId);
  if (explicitTags.empty()) return {};
  std::vector<int32_t> ids;
  for (const ExplicitTag& tag : explicitTags) ids.push_back(tag.tagId);
  Links links;
  QHash<int32_t, TagPlacement::Node> nodes;
  ReadReachableTags(db, ids, links, nodes);
  const std::vector<Reached> reached = Walk(links, explicitTags);
  const TagPlacement placement(db, std::move(nodes));
  std::unordered_map<int32_t, Category> categories;
  const std::vector<StructureRow> rows = StructureRows(placement, explicitTags, reached, categories);
  WriteStructure(db, rows);
  std::vector<TagTextRow> text;
  text.reserve(rows.size());
  for (const StructureRow& row : rows) {
    text.push_back({row.viaSegment, row.explicitCategory->key, row.explicitTag, row.tier, row.category->key,
                    row.tag.toUtf8(), row.tagId, row.category->name, row.tag});
  }
  return text;
}

}  // namespace

QString GetSegmentTags(SqlConnection& db, bool wholeFile, int32_t fileId, int32_t segmentId, bool verbose,
                       bool structureOnly) {
  TransactionGuard guard(db, QStringLiteral("GST"));
  std::vector<TagTextRow> rows = CollectTags(db, wholeFile, fileId, segmentId);
  guard.Commit();
  return structureOnly ? QString() : TagText(std::move(rows), verbose);
}

}  // namespace TagStore
