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
#include <memory>
#include <optional>
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

// Each tag's count: the distinct result segments that carry it or a tag that
// implies it (one below it, or linked to it across the tree, at any depth).
// Tags are numbered densely as they are met; what a tag implies is followed
// over its TagLinks rows (both letters) once, when a result first needs it,
// and kept. A segment with one tag (the usual case) is added up by tag and
// spread over what that tag implies once at the end; a segment with several
// marks what their implied tags share so that it counts once at each.
class CloudCounter {
 public:
  explicit CloudCounter(SqlConnection& db)
      : links_(db.Prepare(QStringLiteral(
            "SELECT LinkedTag, typeof(LinkedTag) = 'integer' FROM TagLinks WHERE TagID = ?"))) {}

  // One result segment's tags. False when a link leads to a TagID that is no
  // integer (an old or damaged file): the caller then counts in SQL.
  bool AddSegment(const std::vector<int64_t>& tags) {
    if (tags.size() == 1) {
      ++single_[static_cast<size_t>(Index(tags.front()))];
      return true;
    }
    ++segment_;
    for (const int64_t tag : tags) {
      const int32_t index = Index(tag);
      if (!Implied(index)) return false;
      for (const int32_t implied : implied_[static_cast<size_t>(index)]) {
        if (marks_[static_cast<size_t>(implied)] == segment_) continue;
        marks_[static_cast<size_t>(implied)] = segment_;
        ++counts_[static_cast<size_t>(implied)];
      }
    }
    return true;
  }

  // Every counted tag with its count, in TagID order; nullopt as AddSegment.
  std::optional<std::vector<std::pair<int64_t, int64_t>>> Counts() {
    for (size_t index = 0; index < single_.size(); ++index) {
      if (single_[index] == 0) continue;
      if (!Implied(static_cast<int32_t>(index))) return std::nullopt;
      for (const int32_t implied : implied_[index]) counts_[static_cast<size_t>(implied)] += single_[index];
    }
    std::vector<std::pair<int64_t, int64_t>> counts;
    for (size_t index = 0; index < ids_.size(); ++index) {
      if (counts_[index] > 0) counts.emplace_back(ids_[index], counts_[index]);
    }
    std::sort(counts.begin(), counts.end());
    return counts;
  }

 private:
  int32_t Index(int64_t tag) {
    const auto [at, added] = index_.try_emplace(tag, static_cast<int32_t>(ids_.size()));
    if (added) {
      ids_.push_back(tag);
      for (auto* column : {&single_, &counts_, &marks_}) column->push_back(0);
      implied_.emplace_back();
      linked_.emplace_back();
      state_.push_back(kUnread);
    }
    return at->second;
  }

  // The tags a tag's own links lead to, read once.
  bool Linked(int32_t index) {
    if (state_[static_cast<size_t>(index)] != kUnread) return true;
    state_[static_cast<size_t>(index)] = kLinksRead;
    links_->BindInt(1, ids_[static_cast<size_t>(index)]);
    std::vector<int32_t> linked;
    while (links_->Step()) {
      if (links_->ColumnInt(1) == 0) return false;
      linked.push_back(Index(links_->ColumnInt(0)));
    }
    linked_[static_cast<size_t>(index)] = std::move(linked);
    return true;
  }

  // The tag itself and every tag reached from it, each once, even where
  // links run in a circle.
  bool Implied(int32_t index) {
    if (state_[static_cast<size_t>(index)] == kImpliedKnown) return true;
    ++walk_;
    std::vector<int32_t> implied;
    std::vector<int32_t> pending{index};
    walked_.resize(ids_.size(), 0);
    walked_[static_cast<size_t>(index)] = walk_;
    while (!pending.empty()) {
      const int32_t tag = pending.back();
      pending.pop_back();
      implied.push_back(tag);
      if (!Linked(tag)) return false;
      walked_.resize(ids_.size(), 0);
      for (const int32_t next : linked_[static_cast<size_t>(tag)]) {
        if (walked_[static_cast<size_t>(next)] == walk_) continue;
        walked_[static_cast<size_t>(next)] = walk_;
        pending.push_back(next);
      }
    }
    implied_[static_cast<size_t>(index)] = std::move(implied);
    state_[static_cast<size_t>(index)] = kImpliedKnown;
    return true;
  }

  enum State : uint8_t { kUnread, kLinksRead, kImpliedKnown };

  std::unique_ptr<SqlCommand> links_;
  std::unordered_map<int64_t, int32_t> index_;
  std::vector<int64_t> ids_;
  std::vector<int64_t> single_;  // segments that carry this tag alone
  std::vector<int64_t> counts_;
  std::vector<int64_t> marks_;  // the last segment of several tags counted at this tag
  std::vector<std::vector<int32_t>> implied_;
  std::vector<std::vector<int32_t>> linked_;
  std::vector<State> state_;
  std::vector<int64_t> walked_;
  int64_t segment_ = 0;
  int64_t walk_ = 0;
};

// The results' tags, segment by segment, into the counter. Both tables are
// read in SegmentID order: when the results are many, side by side, each
// read once from front to back; when they are few, each result looks up its
// tags in SegmentTags' key. (Looking up every result of a large view costs
// more per row as the library grows.) Either way a segment's tags come
// together. Only rows whose SegmentID is an integer can equal a result's
// number. False when a TagID met is no integer.
bool CountResultTags(SqlConnection& db, CloudCounter& counter) {
  const int64_t results = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM SearchResults"))->Value(0).toInt64();
  const int64_t tags = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM SegmentTags"))->Value(0).toInt64();
  std::vector<int64_t> carried;
  int64_t segment = 0;
  const auto take = [&](int64_t nextSegment, int64_t tag) {
    if (!carried.empty() && nextSegment != segment) {
      if (!counter.AddSegment(carried)) return false;
      carried.clear();
    }
    segment = nextSegment;
    carried.push_back(tag);
    return true;
  };
  if (results * 16 < tags) {
    auto rows = db.Prepare(QStringLiteral(
        "SELECT SR.SegmentID, ST.TagID, typeof(ST.TagID) = 'integer' FROM SearchResults SR CROSS JOIN SegmentTags "
        "ST WHERE ST.SegmentID = SR.SegmentID"));
    while (rows->Step()) {
      if (rows->ColumnInt(2) == 0 || !take(rows->ColumnInt(0), rows->ColumnInt(1))) return false;
    }
  } else {
    auto result = db.Prepare(QStringLiteral("SELECT SegmentID FROM SearchResults ORDER BY SegmentID"));
    auto tag = db.Prepare(QStringLiteral(
        "SELECT SegmentID, TagID, typeof(TagID) = 'integer' FROM SegmentTags WHERE typeof(SegmentID) = 'integer' "
        "ORDER BY SegmentID"));
    bool more = result->Step();
    while (more && tag->Step()) {
      const int64_t tagged = tag->ColumnInt(0);
      while (more && result->ColumnInt(0) < tagged) more = result->Step();
      if (!more || result->ColumnInt(0) != tagged) continue;
      if (tag->ColumnInt(2) == 0 || !take(tagged, tag->ColumnInt(1))) return false;
    }
  }
  return carried.empty() || counter.AddSegment(carried);
}

// One TagCloud row per tag the results cover, in TagID order. A TagID that
// is no integer (NULL or text in an old or damaged file), in the results'
// tags or along a link, leaves the counting to one recursive statement,
// which compares such values as SQL does: every (segment, tag) pair a result
// reaches over the links, each once, counted by tag.
void InsertCounts(SqlConnection& db) {
  std::optional<std::vector<std::pair<int64_t, int64_t>>> counts;
  {
    CloudCounter counter(db);
    if (CountResultTags(db, counter)) counts = counter.Counts();
  }
  if (!counts) {
    db.Execute(QStringLiteral(
        "WITH RECURSIVE Covered(SegmentID, TagID) AS (SELECT ST.SegmentID, ST.TagID FROM SearchResults SR, "
        "SegmentTags ST WHERE ST.SegmentID = SR.SegmentID UNION SELECT C.SegmentID, TL.LinkedTag FROM Covered C, "
        "TagLinks TL WHERE TL.TagID = C.TagID) INSERT INTO TagCloud SELECT 0, TagID, count(1), 1 FROM Covered "
        "GROUP BY TagID"));
    return;
  }
  auto insert = db.Prepare(QStringLiteral("INSERT INTO TagCloud VALUES (0, ?, ?, 1)"));
  for (const auto& [tag, count] : *counts) {
    insert->BindInt(1, tag);
    insert->BindInt(2, count);
    insert->Execute();
  }
}

}  // namespace

// A tag's count is the sum of its TagCount rows: here one row per tag, with
// the distinct result segments the tag covers itself or through the tags
// that imply it.
void clsRWLibrary::PopulateTagCloudTable() {
  RunInTransaction(QStringLiteral("Cloud"), [this] {
    m_Connection->Execute(QStringLiteral("DELETE from TagCloud"));
    InsertCounts(*m_Connection);
  });
}

// A cloud that has held the window past the grace shows how many of its
// labels are laid out; a quicker one leaves the progress strip alone.
void clsRWLibrary::ShowTagCloud(bool Repopulate) {
  LongWork::Pacer own;
  if (Repopulate) PopulateTagCloudTable();
  std::vector<TagCloudEntry> tags;
  ErrorGuard(Reporting()).Run([&] { tags = ReadCloudTags(*m_Connection); });
  bool reported = false;
  View().ShowTagCloud(tags, ResultCount, [&](int laidOut) {
    if (own.ElapsedMs() < LongWork::kGraceMs || !ProgressDue(own)) return;
    if (!reported) SetProgressMax(static_cast<int32_t>(tags.size()));
    reported = true;
    ShowProgress(QStringLiteral("Drawing Tag Cloud..."), laidOut);
  });
  if (!reported) return;
  SetProgressMax(0);
  if (!m_OpenPacer) ProgressOff();
}
