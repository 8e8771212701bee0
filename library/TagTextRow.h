#pragma once
// One tag of the text GetSegmentTags gives for a file or segment, with the
// keys the text is ordered by, and the text itself. Shared by the single
// lookup and the many-files pass, so both read alike. Internal to the
// TagStore functions.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <tuple>
#include <vector>

namespace TagStore {

struct TagTextRow {
  // The keys, in order: file tags (viaSegment false) before those of a
  // sub-segment, then the explicit tag's category and id, the tier, the
  // tag's category, name and id. Texts are compared as their UTF-8, as
  // SQLite compares them.
  bool viaSegment = false;
  QByteArray explicitCategory;
  int32_t explicitTag = 0;
  int tier = 0;
  QByteArray categoryKey;
  QByteArray tagKey;
  int32_t tagId = 0;
  // The texts shown (the category only by the verbose text).
  QString category;
  QString tag;

  auto Key() const { return std::tie(viaSegment, explicitCategory, explicitTag, tier, categoryKey, tagKey, tagId); }
};

// Verbose: lines grouped by category; compact: a ", " list with implied
// tags (tier above 1) in "***". The rows are sorted by their keys first.
QString TagText(std::vector<TagTextRow> rows, bool verbose);

}  // namespace TagStore
