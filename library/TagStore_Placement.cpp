#include "library/TagStore_Placement.h"

#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <QSet>

namespace TagStore {

TagPlacement::TagPlacement(SqlConnection& db) {
  SqlRecordset tags(db, QStringLiteral("SELECT TagID, Tag, Type FROM Tags"));
  nodes_.reserve(tags.RecordCount());
  for (; !tags.Eof(); tags.MoveNext()) {
    nodes_.insert(tags.Value(0).toInt(), Node{tags.Value(1).toString(), tags.Value(2).toString(), 0});
  }
  SqlRecordset parents(
      db, QStringLiteral("SELECT TagID, MIN(LinkedTag) FROM TagLinks WHERE Relationship = 'P' GROUP BY TagID"));
  for (; !parents.Eof(); parents.MoveNext()) {
    auto node = nodes_.find(parents.Value(0).toInt());
    if (node != nodes_.end()) node->parent = parents.Value(1).toInt();
  }
}

int32_t TagPlacement::Parent(int32_t tagId) const {
  if (IsFixedNode(tagId)) return 0;
  const auto node = nodes_.constFind(tagId);
  if (node == nodes_.cend()) return 0;
  if (node->type == QLatin1String("L")) return kSavedPlaylistsTag;
  return node->parent;
}

template <typename Visit>
void TagPlacement::ForEachAncestor(int32_t tagId, Visit visit) const {
  QSet<int32_t> seen{tagId};
  for (int32_t id = Parent(tagId); id != 0 && !seen.contains(id); id = Parent(id)) {
    seen.insert(id);
    visit(id);
  }
}

bool TagPlacement::IsCategory(int32_t tagId) const {
  const auto node = nodes_.constFind(tagId);
  return node != nodes_.cend() && !IsFixedNode(tagId) && node->type == QLatin1String("C");
}

// The tree shows every type but these as a tag.
bool TagPlacement::IsTag(int32_t tagId) const {
  const auto node = nodes_.constFind(tagId);
  if (node == nodes_.cend() || IsFixedNode(tagId)) return false;
  static const QSet<QString> kNotTags = {QStringLiteral("F"), QStringLiteral("C"), QStringLiteral("L"),
                                         QStringLiteral("S"), QStringLiteral("V")};
  return !kNotTags.contains(node->type);
}

TagPlacement::Derived TagPlacement::Derive(int32_t tagId) const {
  Derived derived;
  ForEachAncestor(tagId, [&](int32_t id) {
    if (IsTag(id)) derived.underTag = true;
    if (IsCategory(id)) derived.categoryId = id;  // higher ones overwrite lower ones
  });
  return derived;
}

QString TagPlacement::CategoryName(int32_t tagId) const {
  int32_t category = IsCategory(tagId) ? tagId : 0;
  const int32_t above = Derive(tagId).categoryId;
  if (above != 0) category = above;
  return category != 0 ? nodes_.value(category).name : QStringLiteral("Orphan Tag");
}

}  // namespace TagStore
