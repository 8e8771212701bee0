// The tag cloud of the current results: how many result segments each tag
// covers (its own and those of the tags below or linked to it); the view
// shows one label per tag on the tag-cloud window, larger and darker the
// more of the results it covers.
#include "library/clsRWLibrary.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QRegularExpression>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The category filter is a list of TagIDs the window's menu writes, "(3,7)",
// or "(-1)" when no category is chosen, which no tag belongs to, so the
// cloud shows none; anything else is no list and filters nothing, so it
// never reaches the statement.
QString CategoryFilter() {
  static const QRegularExpression list(QStringLiteral(R"(^\(\s*(-?\d+(\s*,\s*-?\d+)*)?\s*\)$)"));
  if (gTagCloudCategories.isEmpty() || !list.match(gTagCloudCategories).hasMatch()) return QString();
  return QStringLiteral("AND T.CategoryID IN ") + gTagCloudCategories;
}

std::vector<TagCloudEntry> ReadCloudTags(SqlConnection& db) {
  SqlRecordset rows(db, QStringLiteral("SELECT TagID, Tag, SUM(TagCount) AS TagCount FROM (SELECT T.TagID AS TagID, "
                                       "T.Tag AS Tag, TC.TagCount AS TagCount FROM TagCloud TC, Tags T WHERE T.TagID = "
                                       "TC.LinkedTag ") +
                            CategoryFilter() + QStringLiteral(" AND T.Type = 'T')GROUP BY TagID, Tag ORDER BY Tag"));
  std::vector<TagCloudEntry> tags;
  tags.reserve(static_cast<size_t>(rows.RecordCount()));
  for (; !rows.Eof(); rows.MoveNext()) {
    tags.push_back({rows.Value(0).toString(), rows.Value(1).toString(), rows.Value(2).toDouble()});
  }
  return tags;
}

// The tags of the results, counted by TagID. Both tables are read in
// SegmentID order: when the results are many, side by side, each read once
// from front to back; when they are few, each result looks up its tags in
// SegmentTags' key. (Looking up every result of a large view costs more per
// row as the library grows; grouping in SQL would sort every result's tag.)
// Only rows whose SegmentID is an integer can equal a result's number.
// Returns false when a matched TagID is no integer.
bool CountResultTags(SqlConnection& db, std::unordered_map<int64_t, int64_t>& counts) {
  const int64_t results = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM SearchResults"))->Value(0).toInt64();
  const int64_t tags = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM SegmentTags"))->Value(0).toInt64();
  if (results * 16 < tags) {
    auto rows = db.Prepare(QStringLiteral(
        "SELECT ST.TagID, typeof(ST.TagID) = 'integer' FROM SearchResults SR CROSS JOIN SegmentTags ST WHERE "
        "ST.SegmentID = SR.SegmentID"));
    while (rows->Step()) {
      if (rows->ColumnInt(1) == 0) return false;
      ++counts[rows->ColumnInt(0)];
    }
    return true;
  }
  auto result = db.Prepare(QStringLiteral("SELECT SegmentID FROM SearchResults ORDER BY SegmentID"));
  auto tag = db.Prepare(QStringLiteral(
      "SELECT SegmentID, TagID, typeof(TagID) = 'integer' FROM SegmentTags WHERE typeof(SegmentID) = 'integer' "
      "ORDER BY SegmentID"));
  bool more = result->Step();
  while (more && tag->Step()) {
    const int64_t segment = tag->ColumnInt(0);
    while (more && result->ColumnInt(0) < segment) more = result->Step();
    if (!more || result->ColumnInt(0) != segment) continue;
    if (tag->ColumnInt(2) == 0) return false;
    ++counts[tag->ColumnInt(1)];
  }
  return true;
}

// Own counts, one TagCloud row per tag the results carry (iteration 1), in
// TagID order, counted in memory. A TagID that is no integer (NULL or text in
// an old or damaged file) leaves the counting to the grouped statement, which
// groups such values as SQL does.
void InsertOwnCounts(SqlConnection& db) {
  std::unordered_map<int64_t, int64_t> counts;
  if (!CountResultTags(db, counts)) {
    db.Execute(QStringLiteral("INSERT INTO TagCloud SELECT 0, ST.TagID, Count(1), 1 FROM SearchResults SR, "
                              "SegmentTags ST WHERE ST.SegmentID = SR.SegmentID GROUP BY ST.TagID"));
    return;
  }
  std::vector<std::pair<int64_t, int64_t>> sorted(counts.begin(), counts.end());
  std::sort(sorted.begin(), sorted.end());
  auto insert = db.Prepare(QStringLiteral("INSERT INTO TagCloud VALUES (0, ?, ?, 1)"));
  for (const auto& [tag, count] : sorted) {
    insert->Bind(1, tag);
    insert->Bind(2, count);
    insert->Execute();
  }
}

}  // namespace

// A tag's count is the sum of its TagCount rows. Own counts come first; then
// every count that reached a tag in the last round is pushed along each of
// its links to the linked tag, unless that pair carries counts already, so
// the rounds end even where links run in a circle.
void clsRWLibrary::PopulateTagCloudTable() {
  RunInTransaction(QStringLiteral("Cloud"), [this] {
    m_Connection->Execute(QStringLiteral("DELETE from TagCloud"));
    InsertOwnCounts(*m_Connection);
    // The pairs that carry counts already are listed once per round and
    // looked up through an index SQLite makes for the list (a correlated
    // test would scan the whole table once per candidate).
    for (int n = 1;; ++n) {
      m_Connection->Execute(QStringLiteral("INSERT INTO TagCloud SELECT C.LinkedTag, TL.LinkedTag, C.TagCount, %1 FROM "
                                           "TagLinks TL JOIN TagCloud C ON C.LinkedTag = TL.TagID LEFT JOIN (SELECT "
                                           "DISTINCT TagID AS FromTag, LinkedTag AS ToTag FROM TagCloud) Used ON "
                                           "Used.FromTag = C.LinkedTag AND Used.ToTag = TL.LinkedTag WHERE C.iteration "
                                           "= %2 AND Used.FromTag IS NULL")
                                .arg(n + 1)
                                .arg(n));
      if (m_Connection->RowsChanged() == 0) break;
    }
  });
}

void clsRWLibrary::ShowTagCloud(bool Repopulate) {
  if (Repopulate) PopulateTagCloudTable();
  std::vector<TagCloudEntry> tags;
  ErrorGuard(Reporting()).Run([&] { tags = ReadCloudTags(*m_Connection); });
  View().ShowTagCloud(tags, ResultCount);
}
