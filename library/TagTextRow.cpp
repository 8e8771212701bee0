#include "library/TagTextRow.h"

#include <algorithm>

namespace TagStore {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

// In the order of ViaSegment, ExplicitTagCategory, ExplicitTagID, Tier,
// TagCategory, Tag and TagID: name and id settle what the grouping leaves
// open.
QString TagText(std::vector<TagTextRow> rows, bool verbose) {
  if (rows.empty()) return verbose ? kCrLf + QStringLiteral("No Tags") + kCrLf : QStringLiteral("--No Tags");
  std::sort(rows.begin(), rows.end(), [](const TagTextRow& a, const TagTextRow& b) { return a.Key() < b.Key(); });
  QString text;
  QString previousCategory;
  for (const TagTextRow& row : rows) {
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

}  // namespace TagStore
