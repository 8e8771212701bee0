// One pass over Tags, TagLinks and SegmentTags that gives each file the
// compact text of GetSegmentTags: the walk of every explicit tag is made
// once and shared by every file that carries it.
#include "library/FileTagLists.h"
#include "library/TagStore_Placement.h"
#include "library/TagTextRow.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QSet>

#include <vector>

namespace TagStore {

namespace {

struct TagRow {
  QString name;
  QByteArray key;  // the name's UTF-8, which SQLite's ordering compares
  bool isTag = false;  // Type 'T' or none: the rows GetSegmentTags keeps
  bool isFolder = false;
};

// A tag reached from an explicit tag, at the tier where it is first reached.
struct Reached {
  int32_t tagId = 0;
  int tier = 0;
};

class TagWalker {
 public:
  explicit TagWalker(SqlConnection& db) : placement_(db) {
    SqlRecordset tags(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags"));
    for (; !tags.Eof(); tags.MoveNext()) {
      const QString type = tags.Value(2).toString();
      TagRow row{tags.Value(1).toString(), {}, tags.Value(2).IsNull() || type == QLatin1String("T"),
                 type == QLatin1String("F")};
      row.key = row.name.toUtf8();
      tags_.insert(tags.Value(0).toInt(), row);
    }
    SqlRecordset links(db, QStringLiteral("SELECT TagID, LinkedTag FROM TagLinks"));
    for (; !links.Eof(); links.MoveNext()) {
      const int32_t to = links.Value(1).toInt();
      if (tags_.contains(to)) links_[links.Value(0).toInt()].push_back(to);
    }
  }

  const TagRow* Tag(int32_t tagId) const {
    const auto it = tags_.constFind(tagId);
    return it == tags_.constEnd() ? nullptr : &*it;
  }

  const QByteArray& Category(int32_t tagId) {
    auto it = categories_.find(tagId);
    if (it == categories_.end()) it = categories_.insert(tagId, placement_.CategoryName(tagId).toUtf8());
    return *it;
  }

  // The explicit tag at tier 1 and everything its links reach, tier by tier
  // (a folder's own links count as the folder itself: tier 1).
  const std::vector<Reached>& Walk(int32_t explicitTag) {
    auto it = walks_.find(explicitTag);
    if (it != walks_.end()) return *it;
    std::vector<Reached> reached{{explicitTag, 1}};
    QSet<int32_t> seen{explicitTag};
    size_t begin = 0;
    int tier = Tag(explicitTag)->isFolder ? 0 : 1;
    while (begin < reached.size()) {
      const size_t end = reached.size();
      ++tier;
      for (size_t i = begin; i < end; ++i) {
        for (int32_t to : links_.value(reached[i].tagId)) {
          if (!seen.contains(to)) {
            seen.insert(to);
            reached.push_back({to, tier});
          }
        }
      }
      begin = end;
    }
    return *walks_.insert(explicitTag, reached);
  }

 private:
  TagPlacement placement_;
  QHash<int32_t, TagRow> tags_;
  QHash<int32_t, std::vector<int32_t>> links_;
  QHash<int32_t, QByteArray> categories_;
  QHash<int32_t, std::vector<Reached>> walks_;
};

// The explicit tags of one file with, per tag, whether it comes only
// through a sub-segment (its first row, whole-file rows first, has no flag).
using ExplicitTags = std::vector<std::pair<int32_t, bool>>;

QHash<int32_t, ExplicitTags> ReadExplicitTags(SqlConnection& db, const QSet<int32_t>& wanted) {
  SqlRecordset rows(db, QStringLiteral("SELECT DISTINCT VS.FileID, ST.TagID, VS.FileFlag FROM SegmentTags ST, Tags T, "
                                       "VideoSegments VS WHERE ST.TagID = T.TagID AND ST.SegmentID = VS.SegmentID "
                                       "ORDER BY VS.FileID, ST.TagID, VS.FileFlag DESC"));
  QHash<int32_t, ExplicitTags> files;
  for (; !rows.Eof(); rows.MoveNext()) {
    const int32_t fileId = rows.Value(0).toInt();
    if (!wanted.contains(fileId)) continue;
    ExplicitTags& tags = files[fileId];
    const int32_t tag = rows.Value(1).toInt();
    if (!tags.empty() && tags.back().first == tag) continue;
    tags.emplace_back(tag, rows.Value(2).toString().isEmpty());
  }
  return files;
}

QString CompactText(TagWalker& walker, const ExplicitTags& explicitTags) {
  std::vector<TagTextRow> rows;
  for (const auto& [explicitTag, viaSegment] : explicitTags) {
    for (const Reached& reached : walker.Walk(explicitTag)) {
      const TagRow* tag = walker.Tag(reached.tagId);
      if (!tag->isTag) continue;
      rows.push_back({viaSegment, walker.Category(explicitTag), explicitTag, reached.tier,
                      walker.Category(reached.tagId), tag->key, reached.tagId, QString(), tag->name});
    }
  }
  return TagText(std::move(rows), false);
}

}  // namespace

QHash<int32_t, QString> FileTagLists(SqlConnection& db, const std::vector<int32_t>& fileIds) {
  const QSet<int32_t> wanted(fileIds.begin(), fileIds.end());
  TagWalker walker(db);
  const QHash<int32_t, ExplicitTags> files = ReadExplicitTags(db, wanted);
  QHash<int32_t, QString> lists;
  for (int32_t fileId : wanted) lists.insert(fileId, CompactText(walker, files.value(fileId)));
  return lists;
}

}  // namespace TagStore
